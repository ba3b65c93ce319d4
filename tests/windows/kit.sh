# The kit with MinGW, for scripts/stage-windows: a Windows build installed into a prefix
# of its own and examples/plugins/grouptools built against it with the same toolchain,
# as README's "Writing a plug-in" says; the module's tables are checked as the shipped
# module's are.
#   check_kit BUILD TOOLCHAIN TRIPLE: sets kit_passed and kit_failed.
check_kit() {
  local build=$1 toolchain=$2 triple=$3 kit=$1/kit out line
  kit_passed=0
  kit_failed=0
  rm -rf "$kit"
  mkdir -p "$kit"
  if ! { cmake --install "$build" --prefix "$kit/prefix" &&
         cmake -S "$ROOT/examples/plugins/grouptools" -B "$kit/build" \
           -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain" \
           -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" -Dfxt_DIR="$kit/prefix/lib/cmake/fxt" &&
         cmake --build "$kit/build"; } >"$kit/build.log" 2>&1; then
    tail -n 30 "$kit/build.log" >&2
    kit_failed=1
    return
  fi
  out=$("$ROOT/tests/windows/check_pe_module.sh" "$triple" "$kit/build/grouptools.fxt")
  grep '^FAIL' <<<"$out" >&2
  line=$(tail -n 1 <<<"$out")
  kit_passed=$(sed -E 's/^([0-9]+) passed.*/\1/' <<<"$line")
  kit_failed=$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")
}
