# The x86 module under 32-bit Wine, sourced by scripts/stage-x86.
#
# Wine's 32-bit programs run with tests/windows/qemu_i386_compat.c preloaded (built by
# the stage into $COMPAT), which makes qemu-i386 behave as Wine needs: without it each
# 32-bit Wine process spends minutes reserving its address space before it starts.
#
# The Wine prefix: one per build directory ($X86/wineprefix), made once and reused. It is
# a 64-bit prefix with Wine's 32-bit half: Wine's own programs (wineboot, services,
# explorer for the desktop) are 64-bit and run natively, and only FINALE.EXE, 32-bit like
# the module, and the 32-bit part of making the prefix run under qemu-i386. A prefix
# counts as made only when the file .fxt-made in it names this Wine's version; anything
# else (a prefix left half made, or made by another Wine) is removed and made again.
#
# The runs: one batch file (fxthost batch) holds the menu, every case of
# examples/cases and the small-range question answered yes and no, so that the
# emulator's start-up is paid once. FINALE.EXE runs it under Wine in a copy of the
# examples, the native fxthost runs it in another copy, and each run counts once:
#   - its printed output (CR LF ends lines on Windows) and exit status equal native's;
#   - every file it writes equals the file native wrote, and a case's document and
#     report also equal the case's expected files;
#   - the question runs' reports show the question answered as told.
# Then the strings of resources/strings.def must each appear in what the x86 module
# answered (the menu, the alerts of the reports, the names of the split groups), all but
# those only a refusing host or an impossible selection brings out.
# FXT_X86_PLUGIN=PATH runs FINALE.EXE's side with that module instead of its own (to see
# how the stage reports a module that fails, such as the crashing one).
#
# Needs ROOT, BUILD_ROOT, X86, PREFIX, WORK, WINE32, WINE64, WINESERVER, COMPAT,
# RUNS_TIMEOUT, CRASH_TIMEOUT, CRASHING and lib.sh; x86_runs sets runs_passed and
# runs_failed.

export WINEPREFIX=$PREFIX
export WINEARCH=win64
export WINEDEBUG=-all
export WINESERVER
# No Mono, Gecko or menu builder; and no debugger: a crash ends the program at once with
# Wine's message, instead of starting winedbg under the emulator.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d"

# with_compat COMMAND...: the command with the compatibility library preloaded ($LIB picks
# the i386 or the x86_64 build of it, for each program the command starts).
with_compat() {
  LD_PRELOAD="$COMPAT/\$LIB/fxt-qemu-i386-compat.so${LD_PRELOAD:+:$LD_PRELOAD}" "$@"
}

x86_prefix_ready() {
  local stamp=$PREFIX/.fxt-made made
  made="$("$WINE64" --version 2>/dev/null) $(uname -m)"
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$made" ] && return 0
  "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "$PREFIX"
  mkdir -p "$(dirname "$PREFIX")"
  local log=$X86/wineprefix.log
  {
    with_compat timeout 600 "$WINE64" wineboot --init &&
      # Windows are not handed to a window manager (there is none on the virtual display,
      # and Wine would wait for one whenever a window closes).
      with_compat "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
      timeout 600 "$WINESERVER" -w
  } >"$log" 2>&1
  local status=$?
  if [ $status -ne 0 ] || [ ! -f "$PREFIX/system.reg" ] ||
     [ ! -d "$PREFIX/drive_c/windows/syswow64" ]; then
    "$WINESERVER" -k >/dev/null 2>&1
    tail -n 20 "$log" >&2
    return 1
  fi
  echo "$made" >"$stamp"
}

# The native fxthost: its build directory configured as it is (or anew) and fxthost
# brought up to date.
x86_native_fxthost() {
  local native=$BUILD_ROOT/native
  {
    cmake -S "$ROOT" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
      cmake --build "$native" --parallel "$JOBS" --target fxthost
  } >"$WORK/native-build.log" 2>&1 || {
    tail -n 40 "$WORK/native-build.log" >&2
    return 1
  }
  echo "$native/bin/fxthost"
}

runs_failed_because() {  # runs_failed_because NAME REASON
  echo "x86 $1: $2" >&2
  runs_failed=$((runs_failed + 1))
}

# section FILE N: what run N printed, between its markers, with CR LF made LF.
section() {
  tr -d '\r' <"$1" | awk -v n="$2" '
    $0 ~ "^== " n ": exit " { exit }
    on { print }
    $0 ~ "^== " n ": " { on = 1 }'
}

# exit_of FILE N: the exit status that run N reported; empty when it never ended.
exit_of() {
  tr -d '\r' <"$1" | sed -n "s/^== $2: exit \([0-9]*\)\$/\1/p"
}

x86_runs() {
  runs_passed=0
  runs_failed=0
  rm -rf "$WORK"
  mkdir -p "$WORK/x86" "$WORK/native"
  local native
  if ! native=$(x86_native_fxthost); then
    runs_failed_because native "the native build failed"
    return
  fi

  # The batch: NAME<TAB>OUTPUT FOLDER<TAB>COMMAND LINE per run, in $WORK/runs.tsv.
  local list=$WORK/runs.tsv args name words answer
  printf 'menu\t-\tmenu\n' >"$list"
  for args in "$ROOT"/examples/cases/*.args; do
    name=$(basename "$args" .args)
    words=$(head -n 1 "$args" | tr -d '\r')
    printf 'case-%s\tout/%s\trun %s -o out/%s/document.json --report out/%s/report.json\n' \
      "$name" "$name" "$words" "$name" "$name" >>"$list"
  done
  for answer in yes no; do
    name=question-$answer
    printf '%s\tout/%s\trun orchestra.json --measures 17-18 --answer %s -o out/%s/document.json --report out/%s/report.json\n' \
      "$name" "$name" "$answer" "$name" "$name" >>"$list"
  done
  # The module under a file name of its own: it must refuse and say how to install it.
  printf 'renamed\tout/renamed\trun orchestra.json --measures 3-6 --plugin ./renamed.fxt -o out/renamed/document.json --report out/renamed/report.json\n' >>"$list"
  cut -f 3 "$list" >"$WORK/runs.txt"
  local plugin=()
  [ -n "${FXT_X86_PLUGIN:-}" ] && plugin=(--plugin "$(realpath "$FXT_X86_PLUGIN")")

  local side dir
  for side in x86 native; do
    cp "$ROOT"/examples/*.json "$WORK/runs.txt" "$WORK/$side/"
    [ $side = x86 ] && [ ${#plugin[@]} -gt 0 ] &&
      sed "s|\$| ${plugin[*]}|" "$WORK/runs.txt" >"$WORK/$side/runs.txt"
    cut -f 2 "$list" | grep -v '^-$' | while read -r dir; do mkdir -p "$WORK/$side/$dir"; done
  done
  cp "$X86/bin/tolleksplitgroups.fxt" "$WORK/x86/renamed.fxt"
  cp "$(dirname "$native")/tolleksplitgroups.fxt" "$WORK/native/renamed.fxt"
  (cd "$WORK/native" && "$native" batch runs.txt >output.txt 2>&1 </dev/null)
  local start=$SECONDS status
  (cd "$WORK/x86" && with_compat timeout "$RUNS_TIMEOUT" "$WINE32" "$X86/bin/FINALE.EXE" batch runs.txt \
     >output.txt 2>&1 </dev/null)
  status=$?
  echo "x86: FINALE.EXE ran the batch in $((SECONDS - start)) s (exit status $status)"
  if [ $status -eq 124 ]; then
    echo "x86: FINALE.EXE did not finish within $RUNS_TIMEOUT s" >&2
  fi

  local n=0 line ended=1
  while IFS=$'\t' read -r name dir line; do
    n=$((n + 1))
    local code differences="" file
    code=$(exit_of "$WORK/x86/output.txt" "$n")
    if [ -z "$code" ]; then
      if [ $ended -eq 1 ]; then
        # The first run that never ended: show what FINALE.EXE printed last (Wine's
        # message when it crashed).
        runs_failed_because "$name" "FINALE.EXE ended during this run (status $status):"
        tr -d '\r' <"$WORK/x86/output.txt" | tail -n 15 >&2
        ended=0
      else
        runs_failed_because "$name" "not run: FINALE.EXE had ended"
      fi
      continue
    fi
    [ "$code" = "$(exit_of "$WORK/native/output.txt" "$n")" ] ||
      differences="$differences exit status $code,"
    cmp -s <(section "$WORK/x86/output.txt" "$n") <(section "$WORK/native/output.txt" "$n") ||
      differences="$differences printed output,"
    if [ "$dir" != - ]; then
      for file in document.json report.json; do
        [ -e "$WORK/x86/$dir/$file" ] || [ -e "$WORK/native/$dir/$file" ] || continue
        cmp -s "$WORK/x86/$dir/$file" "$WORK/native/$dir/$file" ||
          differences="$differences $file,"
      done
    fi
    case $name in
      case-*)
        local expected=$ROOT/examples/cases/${name#case-}
        cmp -s "$WORK/x86/$dir/document.json" "$expected.expected.json" ||
          differences="$differences document against the expected,"
        cmp -s "$WORK/x86/$dir/report.json" "$expected.report.json" ||
          differences="$differences report against the expected,"
        ;;
      question-*)
        local report=$WORK/x86/$dir/report.json answer=${name#question-} result=1
        [ "$answer" = no ] && result=0
        grep -q '"kind": "yesno"' "$report" && grep -q "\"answer\": \"$answer\"" "$report" &&
          grep -q "\"result\": $result," "$report" ||
          differences="$differences the question answered $answer,"
        ;;
    esac
    if [ -n "$differences" ]; then
      runs_failed_because "$name" "differs from native in:${differences%,}"
      diff <(section "$WORK/native/output.txt" "$n") <(section "$WORK/x86/output.txt" "$n") |
        head -n 10 >&2
    else
      runs_passed=$((runs_passed + 1))
    fi
  done <"$list"

  # The strings, as the x86 module answered them. Those the module shows only when the
  # host refuses a call or sends a selection fxthost never makes are left out: the
  # in-process fault tests answer for them.
  local id text missing="" unreachable=" 205 206 207 209 305 306 307 "
  local answered=$WORK/x86/answered.txt
  { section "$WORK/x86/output.txt" 1; cat "$WORK"/x86/out/*/*.json; } >"$answered" 2>/dev/null
  while IFS='|' read -r id text; do
    [[ $unreachable == *" $id "* ]] && continue
    grep -qF -- "$text" "$answered" || missing="$missing $id"
  done < <(sed -n 's/^FXT_STRING(\([0-9]*\), "\(.*\)")$/\1|\2/p' "$ROOT/resources/strings.def")
  if [ -n "$missing" ]; then
    runs_failed_because strings "the x86 module never answered string(s)$missing"
  else
    runs_passed=$((runs_passed + 1))
  fi
}

# A module whose command crashes: its run must end within CRASH_TIMEOUT seconds, with a
# failed status and Wine's message, and the stage's own reading must name the crash.
x86_crash_check() {
  local dir=$WORK/crash start status
  mkdir -p "$dir"
  cp "$ROOT/examples/inside.json" "$dir/"
  printf 'run inside.json --plugin %s -o document.json\n' "$CRASHING" >"$dir/runs.txt"
  start=$SECONDS
  (cd "$dir" && with_compat timeout "$CRASH_TIMEOUT" "$WINE32" "$X86/bin/FINALE.EXE" batch runs.txt \
     >output.txt 2>&1 </dev/null)
  status=$?
  local took=$((SECONDS - start))
  if [ $status -eq 124 ]; then
    echo "x86 crash check: the crashing module's run did not end within $CRASH_TIMEOUT s" >&2
    return 1
  fi
  if [ $status -eq 0 ] || [ -n "$(exit_of "$dir/output.txt" 1)" ] ||
     ! grep -q "Unhandled" "$dir/output.txt"; then
    echo "x86 crash check: the crash was not reported as one (status $status):" >&2
    tr -d '\r' <"$dir/output.txt" | tail -n 10 >&2
    return 1
  fi
  echo "x86 crash check: the crashing module ended its run in $took s: $(tr -d '\r' <"$dir/output.txt" | grep -m 1 Unhandled)"
}
