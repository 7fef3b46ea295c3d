#!/usr/bin/env bash
# Installs what building, running and testing Scrutel needs on Debian 12. Idempotent: it first checks
# what is there, and asks for root (directly, or through sudo) only when something must be installed.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

packages=(
  ca-certificates cmake ninja-build make g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 fonts-wine xvfb x11-utils xauth imagemagick
  doctest-dev python3 python3-pefile clang-format
)

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ] && [ "$need_i386" = 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" != 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=(sudo --preserve-env=DEBIAN_FRONTEND)
  else
    echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
    [ "$need_i386" = 1 ] && echo "install-deps: the i386 architecture must be added too (dpkg --add-architecture i386)" >&2
    exit 1
  fi
fi

if [ "$need_i386" = 1 ]; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
if [ "${#missing[@]}" -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
