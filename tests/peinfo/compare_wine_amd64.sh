#!/usr/bin/env bash
# The pefile comparison over the x86-64 DLLs of Wine's amd64 library package (fetched into a cache by
# wine_amd64_libraries.sh). Exits 77, the test's skip code, when the package cannot be fetched.
# Usage: compare_wine_amd64.sh SCRUTEL_PE [CACHE_DIR]
set -euo pipefail
here=$(dirname "$0")
folder=$(bash "$here/wine_amd64_libraries.sh" ${2:+"$2"}) || exit $?
mapfile -t dlls < <(find "$folder" -maxdepth 1 -type f -name '*.dll' | sort)
[ "${#dlls[@]}" -gt 0 ] || { echo "no DLLs in $folder" >&2; exit 1; }
exec /usr/bin/python3 "$here/compare_with_pefile.py" "$1" "${dlls[@]}"
