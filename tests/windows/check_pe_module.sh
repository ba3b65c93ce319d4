#!/usr/bin/env bash
# Checks a Windows build of the plug-in module with the MinGW binutils:
#   check_pe_module.sh TRIPLE MODULE      (TRIPLE: i686-w64-mingw32 or x86_64-w64-mingw32)
# One line per check, "ok: ..." or "FAIL: ...", and at the end "N passed, N failed";
# the exit status is non-zero when a check failed.
set -uo pipefail
triple=$1
module=$2
objdump=$triple-objdump
nm=$triple-nm
passed=0
failed=0

check() {  # check DESCRIPTION STATUS [DETAIL]
  if [ "$2" -eq 0 ]; then
    echo "ok: $1"
    passed=$((passed + 1))
  else
    echo "FAIL: $1${3:+: $3}"
    failed=$((failed + 1))
  fi
}

headers=$("$objdump" -p "$module" 2>&1)

# The format: a DLL of the target's architecture.
case $triple in
  i686-*) magic="010b" ;;
  *) magic="020b" ;;
esac
grep -qE "^Magic[[:space:]]+$magic" <<<"$headers"
check "$triple format (magic $magic)" $? "$(grep -E '^Magic' <<<"$headers")"
characteristics=$(sed -nE 's/^Characteristics[[:space:]]+0x([0-9a-fA-F]+).*/\1/p' <<<"$headers")
[ -n "$characteristics" ] && [ $((0x$characteristics & 0x2000)) -ne 0 ]
check "a DLL" $? "characteristics 0x$characteristics"

# The export table: exactly the six entry points, undecorated.
expected_exports="FinaleExtensionEnumerate
FinaleExtensionGetMenuStatus
FinaleExtensionInit
FinaleExtensionInvoke
FinaleExtensionTerminate
FinaleExtensionVersion"
exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
  sed -nE 's/^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]+(.*)$/\1/p' | sort)
[ "$exports" = "$expected_exports" ]
check "exports exactly the six entry points by name" $? "$(tr '\n' ' ' <<<"$exports")"

# On x86 each exported name is the __stdcall function with its argument bytes.
if [ "$magic" = "010b" ]; then
  symbols=$("$nm" "$module" 2>&1)
  for entry in FinaleExtensionVersion@4 FinaleExtensionInit@8 FinaleExtensionEnumerate@12 \
               FinaleExtensionInvoke@16 FinaleExtensionTerminate@4 FinaleExtensionGetMenuStatus@4; do
    name=${entry%@*}
    decorated=$(awk -v s="_$entry" '$3 == s && $2 == "T" { print $1 }' <<<"$symbols")
    plain=$(awk -v s="_$name" '$3 == s && $2 == "T" { print $1 }' <<<"$symbols")
    [ -n "$decorated" ] && [ "$decorated" = "$plain" ]
    check "$name is __stdcall with ${entry#*@} bytes of arguments" $? \
      "decorated at '${decorated}', exported at '${plain}'"
  done
fi

# Imports: Windows' own DLLs only, no compiler runtime DLL.
system_dlls=" kernel32.dll user32.dll msvcrt.dll advapi32.dll gdi32.dll shell32.dll ole32.dll
  oleaut32.dll version.dll comctl32.dll comdlg32.dll ws2_32.dll ntdll.dll "
imports=$(sed -nE 's/^[[:space:]]*DLL Name: (.*)$/\1/p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
foreign=""
for dll in $imports; do
  case $system_dlls in
    *" $dll "* | *" $dll"$'\n'*) ;;
    *) case $dll in api-ms-win-*) ;; *) foreign="$foreign $dll" ;; esac ;;
  esac
done
[ -n "$imports" ] && [ -z "$foreign" ]
status=$?
check "imports only Windows system DLLs ($(echo $imports))" $status "not a system DLL:$foreign"

# Resources: a resource section (its content is read under Wine by Windows' own code).
"$objdump" -h "$module" | grep -qE '[[:space:]]\.rsrc[[:space:]]'
check "has a resource section" $?

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
