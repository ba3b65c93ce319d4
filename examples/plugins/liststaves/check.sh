#!/bin/sh
# Runs both items of Staff Names on staves.json and compares what fxthost writes with
# the files in expected/. Usage: check.sh FXTHOST MODULE
set -u
if [ $# -ne 2 ]; then
  echo "usage: $0 FXTHOST MODULE" >&2
  exit 2
fi
fxthost=$1
module=$2
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0

run() {  # item, saved document, report
  if ! "$fxthost" run "$here/staves.json" --plugin "$module" --item "$1" \
      -o "$out/$2" --report "$out/$3" >"$out/$3.log" 2>&1; then
    echo "item $1: fxthost failed:" >&2
    cat "$out/$3.log" >&2
    failed=1
  fi
}

same() {  # expected file, file written
  if ! diff -u "$1" "$2"; then
    echo "differs: $2 against $1" >&2
    failed=1
  fi
}

run 0 list.json list.report.json
run 1 rename.json rename.report.json

same "$here/expected/list.report.json" "$out/list.report.json"
same "$here/staves.json" "$out/list.json"  # listing changes nothing
same "$here/expected/rename.expected.json" "$out/rename.json"
same "$here/expected/rename.report.json" "$out/rename.report.json"

if [ "$failed" -eq 0 ]; then echo "check.sh: all outputs as expected"; fi
exit "$failed"
