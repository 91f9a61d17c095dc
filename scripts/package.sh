#!/usr/bin/env bash
# Installs what is missing, builds Velkrom and makes its Debian package.
#
#   scripts/package.sh [FLAVOUR]
#
# FLAVOUR is a Release flavour of scripts/build.sh: "package" (default) builds
# the program alone in build/package; "release" packages build/release, where
# scripts/test.sh has built the program and its tests. Prints the package's
# path last: build/FLAVOUR/velkrom_<version>_<arch>.deb.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
flavour=${1:-package}
case $flavour in
  package | release) ;;
  *)
    echo "usage: $0 [package|release]" >&2
    exit 2
    ;;
esac
dir=${VK_BUILD_ROOT:-$repo/build}/$flavour

"$repo/scripts/setup-debian.sh" package
"$repo/scripts/build.sh" "$flavour"
# A package left from an earlier version must not be taken for this one.
rm -f "$dir"/velkrom_*.deb
(cd "$dir" && cpack -G DEB)
# CPack's staging tree holds a second, stripped velkrom: gone, it cannot be
# taken for the build's own program.
rm -rf "$dir/_CPack_Packages"
debs=("$dir"/velkrom_*.deb)
if [[ ! -f ${debs[0]} ]]; then
  echo "package: CPack made no velkrom_*.deb in $dir" >&2
  exit 1
fi
echo "package: ${debs[0]}"
