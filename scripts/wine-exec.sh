#!/usr/bin/env bash
# Runs one Windows program under Wine: ctest's cross-compiling emulator for
# the MinGW builds, and handy by hand.
#
#   scripts/wine-exec.sh ARCH PROGRAM.exe [ARG...]     ARCH: x86_64 or i686
#
# With VK_WINE_PREFIX set, runs in that prefix (a caller that runs many
# programs makes one with vk_wine_prefix_new and vk_wine_serve, see
# scripts/wine.sh); otherwise in a fresh prefix of its own, removed after.
# Exits with the program's status, or 77 (ctest's skip status where a test
# sets SKIP_RETURN_CODE) with the reason when ARCH cannot run here.
set -uo pipefail
# shellcheck source=scripts/wine.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"

arch=${1:?usage: $0 x86_64|i686 PROGRAM [ARG...]}
shift
if why=$(vk_wine_missing "$arch"); then
  echo "SKIP: $arch Windows programs cannot run here: $why"
  exit 77
fi
if [[ -n ${VK_WINE_PREFIX:-} ]]; then
  export WINEPREFIX=$VK_WINE_PREFIX
  vk__wine_env
  vk_wine_run "$arch" "$@"
  exit
fi
vk_wine_prefix_new || exit 1
trap vk_wine_end EXIT
vk_wine_run "$arch" "$@"
