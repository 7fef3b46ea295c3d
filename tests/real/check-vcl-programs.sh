#!/usr/bin/env bash
# tests/real/check-vcl-programs.sh: Scrutel's own lookup and Delphi-VCL page against real programs of
# the component library (fetch-vcl-programs.sh). For each program, under Wine:
#   1. starts it and, with real_vcl_check.exe, checks its welcome dialog and its main form: every child
#      window of the library by a typed handle, every control without a window found by finder picks;
#   2. types Escape and Ctrl+G (vcl_keys.exe, acting as the user) and checks the "Go to Line" dialog,
#      whose label "Line number:" has no window of its own;
#   3. ends it.
# Prints producer detection's lines for each program too. With --bench it prints the lookup figures of
# alien_bench.exe --real for each program instead of checking. Needs the windows build in
# $build/windows (tools/test.sh makes it); runs in the caller's Wine environment when WINEPREFIX is
# set, else in one of its own under $build.
# Exit codes: 0 every check held; 77 SKIPPED: the programs could not be fetched (said on stdout); 1 else.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/wine-env.sh

bench=
if [ "${1:-}" = --bench ]; then bench=1; fi

. tests/real/programs.sh
fetch_programs check-vcl-programs

bin=$build/windows/bin
for tool in real_vcl_check vcl_keys vcl_probe ${bench:+alien_bench}; do
  if [ ! -f "$bin/$tool.exe" ]; then
    echo "check-vcl-programs: $bin/$tool.exe is missing (cmake --build $build/windows)"
    exit 1
  fi
done

program_pid=
stop_program() {
  if [ -n "$program_pid" ]; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  program_pid=
}
own_env=
if [ -z "${WINEPREFIX:-}" ]; then own_env=1; fi
cleanup() {
  stop_program
  if [ -n "$own_env" ]; then wine_env_stop; fi
}
trap cleanup EXIT
if [ -n "$own_env" ]; then wine_env_start "$build"; fi

probe=$bin/vcl_probe.exe

producer() {
  local pe=$build/native/bin/scrutel-pe
  if [ -x "$pe" ]; then "$pe" "$1"; else wine "$bin/scrutel-pe.exe" "$1" 2>/dev/null | tr -d '\r'; fi |
    grep -E '^(Compiled with|Component library)' | tr '\t' ' ' | paste -sd ';' | sed 's/;/; /g'
}

failed=0
checked=0
while IFS=$'\t' read -r name program generation; do
  # The main form is TCompileForm up to 6.3.1 and TMainForm later; the input dialog a TForm at first,
  # a TInputQueryForm later.
  main=TCompileForm=CompileForm main_class=TCompileForm query_form=TInputQueryForm
  case "$name" in
    innosetup-6.4.*) main=TMainForm=MainForm main_class=TMainForm ;;
    innosetup-compiler-5.*) query_form=TForm ;;
  esac
  echo "== $name: $(producer "$program"); expected generation \"$generation\""
  (cd "$(dirname "$program")" && exec wine "$program" </dev/null >/dev/null 2>&1) &
  program_pid=$!
  started=$SECONDS
  if [ -n "$bench" ]; then
    if wait_for_windows TStartupForm "$main_class"; then
      wine "$bin/alien_bench.exe" --real "$main_class" 2>/dev/null | tr -d '\r' | sed 's/^/  /'
    else
      echo "  the program's windows did not come up"
      failed=1
    fi
    stop_program
    checked=$((checked + 1))
    continue
  fi
  run_status=0
  wine "$bin/real_vcl_check.exe" --generation "$generation" --origins --min-windowed 5 --min-windowless 1 \
    --expect "OKButton: TButton" --expect "CancelButton: TButton" TStartupForm=StartupForm "$main" 2>/dev/null |
    tr -d '\r' | sed 's/^/  /' || run_status=$?
  [ "$run_status" = 0 ] || failed=1
  wine "$bin/vcl_keys.exe" TStartupForm esc 2>/dev/null || true
  if ! wait_for_no_window TStartupForm; then
    echo "  the welcome dialog did not close"
    failed=1
  else
    wine "$bin/vcl_keys.exe" "$main_class" ctrl+g 2>/dev/null || true
    run_status=0
    wine "$bin/real_vcl_check.exe" --generation "$generation" --min-windowed 3 --min-windowless 1 \
      --expect-text "Line number:" "$query_form=*" 2>/dev/null | tr -d '\r' | sed 's/^/  /' || run_status=$?
    [ "$run_status" = 0 ] || failed=1
  fi
  stop_program
  checked=$((checked + 1))
  echo "  ($((SECONDS - started)) s)"
done < <(bash tests/real/fetch-vcl-programs.sh --list)

if [ "$failed" != 0 ]; then
  echo "check-vcl-programs: FAILED"
  exit 1
fi
if [ -n "$bench" ]; then
  echo "check-vcl-programs: figures of $checked real programs"
else
  echo "check-vcl-programs: $checked real programs passed"
fi
