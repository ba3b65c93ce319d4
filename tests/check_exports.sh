#!/bin/sh
# Fails unless the module's dynamic symbol table defines exactly the six entry points.
set -eu
module=$1
expected="FinaleExtensionEnumerate
FinaleExtensionGetMenuStatus
FinaleExtensionInit
FinaleExtensionInvoke
FinaleExtensionTerminate
FinaleExtensionVersion"
actual=$(nm -D --defined-only "$module" | awk '{ print $NF }' | sort)
if [ "$actual" != "$expected" ]; then
  echo "exported symbols differ from the six entry points:"
  echo "$actual"
  exit 1
fi
echo "exports: the six entry points"
