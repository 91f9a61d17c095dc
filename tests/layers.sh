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

# rank FOLDER: sets RANK to the folder's level, 99 for no layer. A variable,
# not output: the check runs once per include, and a command substitution
# would fork a shell each time.
rank() {
  case $1 in
    platform) RANK=0 ;;
    window) RANK=1 ;;
    memory | freeing | tray | about) RANK=2 ;;
    app) RANK=3 ;;
    *) RANK=99 ;;
  esac
}

mapfile -d '' -t sources < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
if ((${#sources[@]} == 0)); then
  echo "layers: no sources under $src" >&2
  exit 1
fi

# Every quoted include of every file, as "FILE<tab>INCLUDED", from one sed
# over all the files.
bad=0
while IFS=$'\t' read -r file included; do
  rel=${file#"$src"/}
  [[ ${rel##*/} == main_*.cpp ]] && continue
  rank "${rel%%/*}"
  own=$RANK
  rank "${included%%/*}"
  if ((RANK > own)); then
    echo "$rel includes $included, from a layer above its own"
    bad=1
  fi
  if [[ $rel == platform/* && $rel != platform/*/* && $included == platform/*/* ]]; then
    echo "$rel includes $included: the portable core names no implementation"
    bad=1
  fi
done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/; T; F; p' \
  "${sources[@]}" | paste - -)

if ((bad)); then
  exit 1
fi
echo "layers: every include of ${#sources[@]} files keeps to its layer"
