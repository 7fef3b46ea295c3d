# Sourced by the real-program scripts from the top folder: fetching the programs, and waiting for a
# program's top-level windows by their window class as vcl_probe.exe --tops lists them. Set probe to the
# path of vcl_probe.exe first; when program_pid is set, the waiting also ends with that program.

# fetch_programs SCRIPT: fetches the programs (fetch-vcl-programs.sh). When they cannot be fetched it
# says SKIPPED and ends the calling script with 77; on any other failure with that failure's code.
fetch_programs() {
  local status=0
  bash tests/real/fetch-vcl-programs.sh || status=$?
  if [ "$status" = 77 ]; then
    echo "$1: SKIPPED: the real programs could not be fetched from the npm registry (see above)"
    exit 77
  fi
  [ "$status" = 0 ] || exit "$status"
}

# wait_for_windows PATTERN...: waits until there is a top-level window of each window class pattern
# (an extended regular expression such as 'TCompileForm|TMainForm'), for at most 90 s.
wait_for_windows() {
  local deadline=$((SECONDS + 90)) tops pattern missing
  while [ "$SECONDS" -lt "$deadline" ]; do
    tops=$(wine "$probe" --tops 2>/dev/null | tr -d "\r" || true)
    missing=0
    for pattern in "$@"; do grep -qE "class=($pattern)\$" <<<"$tops" || missing=1; done
    [ "$missing" = 0 ] && return 0
    if [ -n "${program_pid:-}" ] && ! kill -0 "$program_pid" 2>/dev/null; then return 1; fi
    sleep 0.2
  done
  return 1
}

# wait_for_no_window PATTERN: waits until no top-level window of that class is left, for at most 90 s.
wait_for_no_window() {
  local deadline=$((SECONDS + 90))
  while [ "$SECONDS" -lt "$deadline" ]; do
    wine "$probe" --tops 2>/dev/null | tr -d "\r" | grep -qE "class=($1)\$" || return 0
    sleep 0.2
  done
  return 1
}
