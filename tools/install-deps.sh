#!/usr/bin/env bash
# Installs what building, running and testing Scrutel needs on Debian 12, as root.
# Idempotent: packages already present are left alone, and apt is asked only when one is missing.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

packages=(
  ca-certificates cmake ninja-build make g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 fonts-wine xvfb x11-utils xauth imagemagick
  doctest-dev python3 python3-pefile clang-format
)

if [ "$(id -u)" != 0 ]; then
  echo "install-deps: run as root (apt-get is needed)" >&2
  exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ] || [ "${need_update:-0}" = 1 ]; then
  apt-get update -qq
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
