#!/usr/bin/env bash
# Benchmark of the PE reader (not a test): the time to dump every PE file of a set with scrutel-pe
# (an optimised native build), with python3-pefile reading the same fields (headers, imports, delay
# imports, exports), and with objdump -p, side by side in one run (best of RUNS); then the bytes
# scrutel-pe reads from the three largest files against their size.
# Usage: tools/bench-pe.sh [FOLDER...]   (default: every file of Wine's 32-bit library folder, then
# the DLLs of Wine's x86-64 library folder, fetched into a cache like the pefile comparison does)
# SCRUTEL_BUILD names the build folder (default: build); the benchmark builds into its bench/ folder.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${SCRUTEL_BUILD:-$top/build}
case "$build" in /*) ;; *) build=$top/$build ;; esac
runs=${RUNS:-3}

cmake -S . -B "$build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DSCRUTEL_SANITIZE=OFF >/dev/null
cmake --build "$build/bench" -j2 --target scrutel-pe >/dev/null
scrutel_pe=$build/bench/bin/scrutel-pe

pefile_dump='
import sys, pefile
dirs = [pefile.DIRECTORY_ENTRY[d] for d in ("IMAGE_DIRECTORY_ENTRY_IMPORT", "IMAGE_DIRECTORY_ENTRY_EXPORT",
                                          "IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT")]
out = []
for name in sys.argv[1:]:
    try:
        pe = pefile.PE(name, fast_load=True)
    except pefile.PEFormatError as e:
        out.append(str(e)); continue
    pe.parse_data_directories(directories=dirs)
    out.append(pe.DOS_HEADER.dump_dict()); out.append(pe.FILE_HEADER.dump_dict())
    out.append(pe.OPTIONAL_HEADER.dump_dict())
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) + getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", []):
        out.append([(entry.dll, i.name, i.ordinal, i.hint) for i in entry.imports])
    if hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        out.append([(s.name, s.ordinal, s.address) for s in pe.DIRECTORY_ENTRY_EXPORT.symbols])
    pe.close()
print(len(out))
'

# Prints the best wall time of $runs runs of the command, in seconds.
best_of() {
  local best=
  for _ in $(seq "$runs"); do
    local start end t
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  printf '%.3f' "$best"
}

# bench LABEL OBJDUMP FILE...
bench() {
  local label=$1 objdump=$2
  shift 2
  local files=("$@") size
  size=$(du -ch "${files[@]}" | tail -1 | cut -f1)
  echo "== $label: ${#files[@]} files, $size"
  local t_ours t_pefile t_objdump
  t_ours=$(best_of "$scrutel_pe" --json -- "${files[@]}")
  t_pefile=$(best_of /usr/bin/python3 -c "$pefile_dump" "${files[@]}")
  echo "scrutel-pe --json:            ${t_ours} s"
  echo "python3-pefile, same fields:  ${t_pefile} s  ($(echo "scale=1; $t_pefile / $t_ours" | bc -l) times scrutel-pe)"
  if command -v "$objdump" >/dev/null; then
    t_objdump=$(best_of "$objdump" -p "${files[@]}")
    echo "$objdump -p:  ${t_objdump} s  ($(echo "scale=1; $t_objdump / $t_ours" | bc -l) times scrutel-pe)"
  fi
  echo "bytes read by scrutel-pe from the three largest files:"
  local f
  for f in $(ls -S "${files[@]}" | head -3); do
    "$scrutel_pe" --bytes-read "$f" 2>&1 >/dev/null
  done
}

if [ $# -gt 0 ]; then
  for folder in "$@"; do
    mapfile -t files < <(find "$folder" -maxdepth 1 -type f | sort)
    bench "$folder" objdump "${files[@]}"
  done
else
  mapfile -t files < <(find /usr/lib/i386-linux-gnu/wine/i386-windows -maxdepth 1 -type f | sort)
  bench "Wine's i386 libraries" i686-w64-mingw32-objdump "${files[@]}"
  if x64=$(bash tests/peinfo/wine_amd64_libraries.sh); then
    mapfile -t files < <(find "$x64" -maxdepth 1 -type f -name '*.dll' | sort)
    bench "Wine's x86-64 DLLs" x86_64-w64-mingw32-objdump "${files[@]}"
  fi
fi
