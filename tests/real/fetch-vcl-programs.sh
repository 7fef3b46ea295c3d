#!/usr/bin/env bash
# tests/real/fetch-vcl-programs.sh [--list]: fetches the real VCL programs that the real-program tests
# inspect, from the npm registry (npm pack, pinned versions), into a cache folder outside git:
#   ${SCRUTEL_VCL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/scrutel/vcl-programs}/NAME-VERSION/bin/...
# Each tarball and each program is checked against the SHA-256 below; a folder that is complete is left
# alone, so a second run asks the registry nothing. With --list it prints, per program, the folder
# name, the path of the GUI program and the layout generation measured on it (see README.md here).
#
# Exit codes: 0 every program is in the cache and verified; 77 skipped: npm or the registry could not
# be reached for a program that is not cached yet (said on stderr); 1 anything else (a checksum that
# differs, a package that is gone, a broken tarball).
set -euo pipefail

cache=${SCRUTEL_VCL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/scrutel/vcl-programs}

# package@version | SHA-256 of the tarball | program inside bin/ | its SHA-256 | generation
programs=(
  "innosetup-compiler@5.6.1|70c7bc1bafc58167ac861403a033c7bd013f9b73fb3a67c8eb99aee3f4e98e39|Compil32.exe|81c2c87d106f370e5d0d911d6191c58836efcfea35e6e54c49b7354d05ab8188|2009 or later"
  "innosetup-compiler@6.0.2|a5ff92c0388f85ec255353076dab9639af11d9c088687e7f935cfdff29d45194|Compil32.exe|6c1cb15e2aef2e5af7172ecf5501b0b7db3d6813a580b882a0faa1c365780b48|XE2 or later"
  "innosetup-compiler@6.2.0|b68ba126e5b8475c249f888da33df565b6b9db366f2d8a8327de499076b3c71e|Compil32.exe|b1bf6206a4eaa564cd800b0f228872291887bcb10dcc7a2987dbb6caca7dffaa|XE2 or later"
  "innosetup-compiler@6.3.1|dddd8f1f4ee10c65f88b41cef5f9dd88454e5b23795126264b1b529e2305f0bc|Compil32.exe|795d14bf042d0cbc8406c14ec8f0607b5b6e1c7d474417a00daac663929459cf|XE2 or later"
  "innosetup@6.4.1|fc36b763a729c8964416552d733f4864ac4a4934d0a6569e20c2feb4c29b9684|Compil32.exe|d7d9e5064d0d275c3858374f710535c1b602149ca9dd9c8370b8409c440dc487|XE2 or later"
)

folder_of() { local spec=$1; echo "${spec%@*}-${spec#*@}"; }

if [ "${1:-}" = --list ]; then
  for entry in "${programs[@]}"; do
    IFS='|' read -r spec _ program _ generation <<<"$entry"
    printf '%s\t%s\t%s\n' "$(folder_of "$spec")" "$cache/$(folder_of "$spec")/bin/$program" "$generation"
  done
  exit 0
fi

sha_of() { sha256sum "$1" | cut -d' ' -f1; }

# True when the folder holds the program with the expected checksum.
complete() {
  local dir=$1 program=$2 sum=$3
  [ -f "$dir/.verified" ] && [ -f "$dir/bin/$program" ] && [ "$(sha_of "$dir/bin/$program")" = "$sum" ]
}

unreachable() {
  echo "fetch-vcl-programs: SKIPPED: $1" >&2
  exit 77
}

mkdir -p "$cache"
work=$(mktemp -d "$cache/.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT

for entry in "${programs[@]}"; do
  IFS='|' read -r spec tar_sum program program_sum _ <<<"$entry"
  dir=$cache/$(folder_of "$spec")
  if complete "$dir" "$program" "$program_sum"; then
    echo "fetch-vcl-programs: $spec cached in $dir"
    continue
  fi
  command -v npm >/dev/null || unreachable "npm is not installed, and $spec is not in $dir yet"
  echo "fetch-vcl-programs: fetching $spec"
  rm -rf "$work/pack" && mkdir -p "$work/pack"
  rc=0
  (cd "$work/pack" && timeout 300 npm pack "$spec" --loglevel=error >"$work/pack.out" 2>"$work/pack.err") || rc=$?
  if [ "$rc" != 0 ]; then
    head -n 4 "$work/pack.err" | sed 's/^/  /' >&2
    [ "$rc" = 124 ] && unreachable "npm pack $spec got no answer in 300 s"
    if grep -qiE 'ENOTFOUND|EAI_AGAIN|ETIMEDOUT|ECONNREFUSED|ECONNRESET|ENETUNREACH|EHOSTUNREACH|socket hang up' \
      "$work/pack.err"; then
      unreachable "the npm registry could not be reached for $spec"
    fi
    echo "fetch-vcl-programs: npm pack $spec failed (exit $rc)" >&2
    exit 1
  fi
  tarball=$(find "$work/pack" -maxdepth 1 -name '*.tgz' | head -n 1)
  if [ -z "$tarball" ] || [ "$(sha_of "$tarball")" != "$tar_sum" ]; then
    echo "fetch-vcl-programs: the tarball of $spec differs from the pinned checksum" >&2
    exit 1
  fi
  rm -rf "$work/unpacked" && mkdir -p "$work/unpacked"
  tar -xzf "$tarball" -C "$work/unpacked"
  if [ ! -f "$work/unpacked/package/bin/$program" ] ||
    [ "$(sha_of "$work/unpacked/package/bin/$program")" != "$program_sum" ]; then
    echo "fetch-vcl-programs: $program of $spec differs from the pinned checksum" >&2
    exit 1
  fi
  # Only the programs and their libraries are kept.
  rm -rf "$dir.new" "$dir"
  mkdir -p "$dir.new"
  mv "$work/unpacked/package/bin" "$dir.new/bin"
  echo "$spec" >"$dir.new/.verified"
  mv "$dir.new" "$dir"
  echo "fetch-vcl-programs: $spec verified in $dir"
done
