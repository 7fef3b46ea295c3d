#!/usr/bin/env bash
# Prints the folder of Wine's x86-64 PE libraries, fetched once into a cache: the amd64 build of the
# library package of the installed Wine, downloaded with apt-get and unpacked with dpkg-deb, never
# installed. Exits 77 (the test's skip code) with the reason on stderr when it cannot be fetched.
# Usage: wine_amd64_libraries.sh [CACHE_DIR]   (default: ${XDG_CACHE_HOME:-~/.cache}/scrutel)
set -euo pipefail
cache=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/scrutel}
skip() { echo "SKIPPED: $*" >&2; exit 77; }

version=$(dpkg-query -W -f='${Version}' wine 2>/dev/null) || skip "wine is not installed, so no package version to fetch"
package="libwine:amd64=$version"
root=$cache/wine-amd64-$version
libraries=$root/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
if [ ! -f "$root/.unpacked" ]; then
  mkdir -p "$cache"
  work=$(mktemp -d "$cache/fetch.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  (cd "$work" && apt-get download "$package" >"$work/apt.log" 2>&1) ||
    skip "apt-get download $package failed: $(tail -1 "$work/apt.log")"
  dpkg-deb -x "$work"/libwine_*_amd64.deb "$work/root" || skip "dpkg-deb -x failed on $package"
  [ -d "$work/root/usr/lib/x86_64-linux-gnu/wine/x86_64-windows" ] || skip "$package holds no x86_64-windows folder"
  rm -rf "$root"
  mv "$work/root" "$root"
  touch "$root/.unpacked"
fi
echo "$libraries"
