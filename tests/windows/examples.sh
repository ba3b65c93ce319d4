# End-to-end examples under Wine, sourced by scripts/stage-windows.
#
# A case is examples/cases/CASE.args: one line, the document's file name relative to
# examples/, then the fxthost run options (separated by blanks; none holds a blank).
# Its expected outputs are examples/cases/CASE.expected.json (the document saved with
# -o) and examples/cases/CASE.report.json (the --report); the run must exit with 0.
# Each case is run by FINALE.EXE (x64) under Wine, from examples/, and what it writes
# must equal the expected files byte for byte. Cases without both expected files are
# skipped (named on the error output), so cases can be added one file at a time.
#
# Then the small-range question through a real message box: the orchestra example with
# a two-measure selection, answered yes and answered no, run by FINALE.EXE under Wine and
# by the native fxthost. The report must hold the question with that answer, and the
# saved document, the report, the exit status and the printed output (line for line,
# since the Windows console ends lines with CR LF) must equal the native run's.
#
# Needs ROOT, BUILD_ROOT, X64, WINE_RUN and lib.sh's configure_and_build; sets
# examples_passed and examples_failed. FXT_EXAMPLES_DIR names another examples folder.

EXAMPLES_DIR=${FXT_EXAMPLES_DIR:-$ROOT/examples}

native_fxthost() {
  local native=$BUILD_ROOT/native
  if [ ! -x "$native/bin/fxthost" ]; then
    configure_and_build "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo || return 1
  fi
  echo "$native/bin/fxthost"
}

# run_in FROM OUT PROGRAM... -- DOCUMENT OPTIONS...: runs "PROGRAM run DOCUMENT OPTIONS
# -o OUT/document.json --report OUT/report.json" in the folder FROM (OUT is absolute, or
# relative to FROM); the printed output goes to OUT/output.txt and the exit status to
# OUT/status.txt.
run_in() {
  local from=$1 out=$2
  shift 2
  local program=()
  while [ "$1" != "--" ]; do
    program+=("$1")
    shift
  done
  shift
  (cd "$from" && mkdir -p "$out" &&
     timeout 300 "${program[@]}" run "$@" -o "$out/document.json" \
       --report "$out/report.json" >"$out/output.txt" 2>&1 </dev/null
   echo $? >"$out/status.txt")
}

example_failed() {  # example_failed NAME REASON [DIR]: reports and counts a failure
  echo "example $1: $2" >&2
  [ -n "${3:-}" ] && tail -n 15 "$3/output.txt" >&2
  examples_failed=$((examples_failed + 1))
}

# The cases of examples/cases, under Wine against their expected files.
run_cases() {
  local finale=$1 work=$2 args name case_dir line
  for args in "$EXAMPLES_DIR"/cases/*.args; do
    [ -e "$args" ] || continue
    name=$(basename "$args" .args)
    case_dir=$(dirname "$args")
    if [ ! -f "$case_dir/$name.expected.json" ] || [ ! -f "$case_dir/$name.report.json" ]; then
      echo "example $name: no expected document or report yet, skipped" >&2
      continue
    fi
    line=$(head -n 1 "$args" | tr -d '\r')
    local words=()
    read -r -a words <<<"$line"
    if [ ${#words[@]} -eq 0 ]; then
      example_failed "$name" "$name.args names no document"
      continue
    fi
    local out=$work/cases/$name
    run_in "$EXAMPLES_DIR" "$out" "$WINE_RUN" "$finale" -- "${words[@]}"
    local status differences=""
    status=$(cat "$out/status.txt")
    [ "$status" = 0 ] || differences="$differences exit status $status,"
    cmp -s "$case_dir/$name.expected.json" "$out/document.json" ||
      differences="$differences document,"
    cmp -s "$case_dir/$name.report.json" "$out/report.json" || differences="$differences report,"
    if [ -n "$differences" ]; then
      local shown=""
      [ "$status" = 0 ] || shown=$out  # the message that says why
      example_failed "$name" "under Wine differs from the expected:${differences%,}" $shown
      local file
      for file in expected:document report:report; do
        [ -f "$out/${file#*:}.json" ] &&
          diff "$case_dir/$name.${file%:*}.json" "$out/${file#*:}.json" | head -n 10 >&2
      done
    else
      examples_passed=$((examples_passed + 1))
    fi
  done
}

# The small-range question answered through a real message box, Wine against native.
run_question() {
  local finale=$1 native=$2 work=$3 document=orchestra.json answer
  if [ ! -f "$EXAMPLES_DIR/$document" ]; then
    example_failed question "no $document in the examples"
    return
  fi
  for answer in yes no; do
    local name=question-$answer out=$work/question-$answer
    local options=("$document" --measures 17-18 --answer "$answer")
    # Each run in a folder of its own, with the same relative paths: the printed
    # output names the files.
    mkdir -p "$out/native" "$out/wine"
    cp "$EXAMPLES_DIR/$document" "$out/native/" && cp "$EXAMPLES_DIR/$document" "$out/wine/"
    run_in "$out/native" . "$native" -- "${options[@]}"
    run_in "$out/wine" . "$WINE_RUN" "$finale" -- "${options[@]}"
    local differences="" file
    for file in document.json report.json status.txt; do
      if [ -e "$out/native/$file" ] || [ -e "$out/wine/$file" ]; then
        cmp -s "$out/native/$file" "$out/wine/$file" || differences="$differences $file,"
      fi
    done
    tr -d '\r' <"$out/wine/output.txt" >"$out/wine/output.lf.txt"
    cmp -s "$out/native/output.txt" "$out/wine/output.lf.txt" || differences="$differences output,"
    if [ -n "$differences" ]; then
      example_failed "$name" "Wine differs from native in:${differences%,}" "$out/wine"
      for file in document.json report.json; do
        [ -e "$out/native/$file" ] && [ -e "$out/wine/$file" ] &&
          diff "$out/native/$file" "$out/wine/$file" | head -n 10 >&2
      done
      diff "$out/native/output.txt" "$out/wine/output.lf.txt" | head -n 10 >&2
      continue
    fi
    # The question was asked, and answered as told: yes splits (result 1), no does not.
    local expected_result=1
    [ "$answer" = no ] && expected_result=0
    if ! grep -q '"kind": "yesno"' "$out/wine/report.json" ||
       ! grep -q "\"answer\": \"$answer\"" "$out/wine/report.json" ||
       ! grep -q "\"result\": $expected_result," "$out/wine/report.json"; then
      example_failed "$name" "the report does not show the question answered $answer" "$out/wine"
      cat "$out/wine/report.json" >&2
      continue
    fi
    examples_passed=$((examples_passed + 1))
  done
}

run_examples_against_native() {
  examples_passed=0
  examples_failed=0
  local finale=$X64/bin/FINALE.EXE work=$X64/examples native
  rm -rf "$work"
  mkdir -p "$work"
  run_cases "$finale" "$work"
  if ! native=$(native_fxthost); then
    example_failed question "the native build failed"
    return 0
  fi
  run_question "$finale" "$native" "$work"
}
