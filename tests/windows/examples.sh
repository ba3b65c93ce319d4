# End-to-end examples under Wine, sourced by scripts/stage-windows.
#
# An example is examples/NAME.json with expected outputs next to it (any file
# examples/NAME.*.json). Its fxthost run options are the one line of examples/NAME.args
# (none when absent); a run whose options give no --answer is made twice, with
# --answer yes and with --answer no. Each run is made by the native fxthost and by
# FINALE.EXE under Wine, each in a directory of its own with a copy of the document and
# the same relative paths; the saved documents and the reports must be equal byte for
# byte, and so must the exit status and the printed output (compared line for line,
# since the Windows console ends lines with CR LF).
#
# Needs ROOT, BUILD_ROOT, X64, WINE_RUN and lib.sh's configure_and_build; sets
# examples_passed and examples_failed.

native_fxthost() {
  local native=$BUILD_ROOT/native
  if [ ! -x "$native/bin/fxthost" ]; then
    configure_and_build "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo || return 1
  fi
  echo "$native/bin/fxthost"
}

# run_one DIR PROGRAM... : runs "PROGRAM run NAME.json OPTIONS" in DIR; keeps the output
# and the exit status there.
run_one() {
  local dir=$1
  shift
  (cd "$dir" && timeout 300 "$@" run "$example_file" "${options[@]}" \
     -o document.json --report report.json >output.txt 2>&1 </dev/null)
  echo $? >"$dir/status.txt"
}

compare_run() {  # compare_run DIR: 0 when the native and the Wine run agree
  local dir=$1 differences=""
  local file
  for file in document.json report.json status.txt; do
    if [ -e "$dir/native/$file" ] || [ -e "$dir/wine/$file" ]; then
      cmp -s "$dir/native/$file" "$dir/wine/$file" || differences="$differences $file"
    fi
  done
  tr -d '\r' <"$dir/wine/output.txt" >"$dir/wine/output.lf.txt"
  cmp -s "$dir/native/output.txt" "$dir/wine/output.lf.txt" || differences="$differences output"
  if [ -n "$differences" ]; then
    echo "example $(basename "$dir"): Wine differs from native in:$differences" >&2
    for file in document.json report.json; do
      [ -e "$dir/native/$file" ] && [ -e "$dir/wine/$file" ] &&
        diff "$dir/native/$file" "$dir/wine/$file" | head -n 10 >&2
    done
    diff "$dir/native/output.txt" "$dir/wine/output.lf.txt" | head -n 10 >&2
    return 1
  fi
}

run_examples_against_native() {
  examples_passed=0
  examples_failed=0
  local inputs=() path name
  for path in "$ROOT"/examples/*.json; do
    [ -e "$path" ] || continue
    name=$(basename "$path" .json)
    [[ $name == *.* ]] && continue  # an expected output, not an example
    compgen -G "$ROOT/examples/$name.*.json" >/dev/null || continue
    inputs+=("$path")
  done
  if [ ${#inputs[@]} -eq 0 ]; then
    echo "windows examples: none with expected outputs yet"
    return 0
  fi
  local native
  if ! native=$(native_fxthost); then
    echo "windows examples: the native build failed" >&2
    examples_failed=1
    return 0
  fi
  local finale=$X64/bin/FINALE.EXE work=$X64/examples
  rm -rf "$work"
  for path in "${inputs[@]}"; do
    name=$(basename "$path" .json)
    local base_options=()
    if [ -f "$ROOT/examples/$name.args" ]; then
      read -r -a base_options <"$ROOT/examples/$name.args"
    fi
    local answers=("")
    [[ " ${base_options[*]} " == *" --answer "* ]] || answers=(yes no)
    local answer
    for answer in "${answers[@]}"; do
      local run=$work/$name${answer:+-$answer}
      options=("${base_options[@]}")
      [ -n "$answer" ] && options+=(--answer "$answer")
      example_file=$name.json
      mkdir -p "$run/native" "$run/wine"
      cp "$path" "$run/native/" && cp "$path" "$run/wine/"
      run_one "$run/native" "$native"
      run_one "$run/wine" "$WINE_RUN" "$finale"
      if compare_run "$run"; then
        examples_passed=$((examples_passed + 1))
      else
        examples_failed=$((examples_failed + 1))
      fi
    done
  done
}
