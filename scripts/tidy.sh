#!/usr/bin/env bash
# The static check gate: clang-tidy 14 over the project's own sources in
# src/, as the release build compiles them (its compile_commands.json), with
# the checks of .clang-tidy and every warning an error. Qt's generated moc
# files lie in the build folder and are left out, and so are the headers of
# Qt, GoogleTest and the system. Runs one clang-tidy per core.
#
#   scripts/tidy.sh          after scripts/build.sh release
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${VK_BUILD_ROOT:-$repo/build}/release
if [[ ! -f $dir/compile_commands.json ]]; then
  echo "tidy: no $dir/compile_commands.json: run scripts/build.sh release first" >&2
  exit 2
fi
jobs=$(nproc 2>/dev/null || echo 2)
# The repository's path as a regular expression: the sources and the
# headers that count are the ones under its src/.
src=$(printf '%s/src/' "$repo" | sed 's/[][\.*^$+?(){}|]/\\&/g')

# run-clang-tidy prints each file's findings in one piece; it is a Python
# script of the standard library, run by Debian's interpreter. Its colours
# and clang's counts of the (suppressed) warnings in other people's headers
# are taken out of the log.
/usr/bin/python3 "$(command -v run-clang-tidy-14)" -p "$dir" -quiet -j "$jobs" \
  -header-filter "^$src" "^$src" 2>&1 |
  sed -u -e 's/\x1b\[[0-9;]*m//g' -e '/^[0-9]* warnings\{0,1\} generated\.$/d' \
    -e '/^Suppressed [0-9]* warnings/d' -e '/^Use -header-filter=/d'
