#!/usr/bin/env bash
# Installs what is missing, builds Velkrom and makes its packages.
#
#   scripts/package.sh [FLAVOUR]
#
# FLAVOUR is a Release flavour of scripts/build.sh: "package" (default) builds
# the program alone in build/package; "release" packages build/release, where
# scripts/test.sh has built the program and its tests. Prints the package's
# path last: build/FLAVOUR/velkrom_<version>_<arch>.deb.
#
#   scripts/package.sh windows
#
# cross-builds both Windows programs (build/mingw-i686, build/mingw-x86_64)
# and makes the zips velkrom-<version>-win32.zip and -win64.zip, one in each
# folder, and the installer velkrom-<version>-setup.exe beside the first.
# Prints their paths last.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
flavour=${1:-package}
case $flavour in
  package | release | windows) ;;
  *)
    echo "usage: $0 [package|release|windows]" >&2
    exit 2
    ;;
esac
root=${VK_BUILD_ROOT:-$repo/build}

if [[ $flavour == windows ]]; then
  "$repo/scripts/setup-debian.sh" windows
  made=()
  for arch in i686 x86_64; do
    dir=$root/mingw-$arch
    targets=(vk_windows_payload)
    [[ $arch == i686 ]] && targets+=(installer)
    "$repo/scripts/build.sh" "mingw-$arch" "${targets[@]}"
    rm -f "$dir"/velkrom-*-win*.zip
    (cd "$dir" && cpack -G ZIP) || exit 1
    rm -rf "$dir/_CPack_Packages"
    made+=("$dir"/velkrom-*-win*.zip)
  done
  made+=("$root"/mingw-i686/velkrom-*-setup.exe)
  for file in "${made[@]}"; do
    [[ -f $file ]] || {
      echo "package: $file was not made" >&2
      exit 1
    }
    echo "package: $file"
  done
  exit 0
fi

dir=$root/$flavour

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
