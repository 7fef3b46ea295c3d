#!/usr/bin/env bash
# tests/real/probe-vcl-programs.sh: fetches the real VCL programs (fetch-vcl-programs.sh), starts each
# under Wine on its own X display and Wine prefix (in $SCRUTEL_BUILD/real), waits until its main form
# and its welcome dialog are up, and runs vcl_probe.exe against it: the full dump goes to
# $SCRUTEL_BUILD/real/results/NAME.txt, the timed lookups to NAME.bench.txt. Then it closes the welcome
# dialog and opens the "Go to Line" dialog (a form with a label) by typing Escape and Ctrl+G with
# vcl_keys.exe, and dumps again into NAME.goto.txt. Prints one line per dump.
# Exit codes: 0 every probe's cross-checks held; 77 skipped (the registry could not be reached); 1 else.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/wine-env.sh

. tests/real/programs.sh
fetch_programs probe-vcl-programs

real=$build/real
mkdir -p "$real/results"
for tool in vcl_probe vcl_keys; do
  i686-w64-mingw32-g++ -std=c++20 -O2 -Wall -Wextra -Werror -static -o "$real/$tool.exe" \
    "tests/real/$tool.cpp" -luser32
done

program_pid=
stop_all() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  wine_env_stop
}
trap stop_all EXIT
wine_env_start "$real"

probe=$real/vcl_probe.exe

# dump NAME: one full probe into NAME.txt, and its summary line.
dump() {
  local probe_status=0
  wine "$real/vcl_probe.exe" >"$1.txt" 2>/dev/null || probe_status=$?
  echo "probe-vcl-programs: $(basename "$1"): $(tail -n 1 "$1.txt")"
  return "$probe_status"
}

failed=0
while IFS=$'\t' read -r name program generation; do
  (cd "$(dirname "$program")" && exec wine "$program" </dev/null >/dev/null 2>&1) &
  program_pid=$!
  out=$real/results/$name
  # The welcome dialog over the main form (TCompileForm, or TMainForm in later versions).
  if ! wait_for_windows TStartupForm 'TCompileForm|TMainForm'; then
    echo "probe-vcl-programs: $name: its windows did not come up within 90 s"
    failed=1
  else
    echo "probe-vcl-programs: $name, layout generation \"$generation\""
    dump "$out" || failed=1
    wine "$real/vcl_probe.exe" --bench >"$out.bench.txt" 2>/dev/null || true
    sed 's/^/    /' "$out.bench.txt"
    wine "$real/vcl_keys.exe" TStartupForm esc 2>/dev/null || true
    if ! wait_for_no_window TStartupForm; then
      echo "probe-vcl-programs: $name: the welcome dialog did not close"
      failed=1
    else
      wine "$real/vcl_keys.exe" TCompileForm ctrl+g 2>/dev/null || wine "$real/vcl_keys.exe" TMainForm ctrl+g 2>/dev/null ||
        true
      # The dialog of the input query: a TForm in older versions, a TInputQueryForm in later ones.
      if wait_for_windows 'TForm|TInputQueryForm'; then
        dump "$out.goto" || failed=1
      else
        echo "probe-vcl-programs: $name: the Go to Line dialog did not come up"
        failed=1
      fi
    fi
  fi
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=
done < <(bash tests/real/fetch-vcl-programs.sh --list)
exit "$failed"
