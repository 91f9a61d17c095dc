#!/usr/bin/env bash
# The layering of src/: a folder includes only from its own level or below.
#
#   app                                 the wiring
#   memory freeing tray about           the features (may use each other)
#   window                              the main window's state
#   platform                            interfaces, dispatcher, loop driver
#
# The portable core of platform/ includes none of its implementations
# (sim/, linux/, qt/, win32/). A program's entry point (main_*.cpp) is the
# top of its program wherever it lives, so it may include anything.
set -uo pipefail
src=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)}

rank() {
  case $1 in
    platform) echo 0 ;;
    window) echo 1 ;;
    memory | freeing | tray | about) echo 2 ;;
    app) echo 3 ;;
    *) echo 99 ;;
  esac
}

bad=0
while IFS= read -r file; do
  rel=${file#"$src"/}
  [[ $(basename "$rel") == main_*.cpp ]] && continue
  folder=${rel%%/*}
  own=$(rank "$folder")
  while IFS= read -r included; do
    target=${included%%/*}
    if (($(rank "$target") > own)); then
      echo "$rel includes $included, from a layer above its own"
      bad=1
    fi
    if [[ $rel == platform/* && $rel != platform/*/* && $included == platform/*/* ]]; then
      echo "$rel includes $included: the portable core names no implementation"
      bad=1
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if ((bad)); then
  exit 1
fi
echo "layers: every include of $(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | wc -l) files keeps to its layer"
