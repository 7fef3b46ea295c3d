#!/usr/bin/env bash
# Checks that includes between the folders of src/ run downward only (see src/README.md).
set -euo pipefail
cd "$(dirname "$0")/../src"

allowed() {  # folder -> the folders its files may include
  case "$1" in
    base) echo "base" ;;
    ui) echo "ui base" ;;
    components) echo "components ui base" ;;
    window | alien | peinfo | color | link) echo "$1 components ui base" ;;
    app) echo "*" ;;
    *) echo "" ;;
  esac
}
# Operations of one subsystem that another may use.
shared_across='alien:color/ColorNames.h'

status=0
for dir in */; do
  dir=${dir%/}
  may=$(allowed "$dir")
  [ "$may" = "*" ] && continue
  while IFS=: read -r file line include; do
    target=${include#*\"}; target=${target%%\"*}
    top=${target%%/*}
    [ "$top" = "$target" ] && continue   # same-folder or generated header (Resource.h)
    case " $may " in *" $top "*) continue ;; esac
    case " $shared_across " in *" $dir:$target "*) continue ;; esac
    echo "includes: $file:$line includes $target, above $dir" >&2
    status=1
  done < <(grep -Hn '^#include "' -r "$dir" --include='*.h' --include='*.cpp' || true)
  if [ "$dir" = base ] && grep -rln --include='*.h' --include='*.cpp' '#include <windows.h>' base >/dev/null; then
    echo "includes: base must stay portable (no <windows.h>)" >&2
    status=1
  fi
done
exit $status
