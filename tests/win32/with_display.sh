#!/usr/bin/env bash
# Runs one Windows test program under Wine on a private X display: tests of
# the Win32 toolkit open real windows, and Wine needs X for them.
#
#   tests/win32/with_display.sh ARCH PROGRAM.exe [ARG...]     ARCH: x86_64 or i686
#
# Exits with the program's status, or 77 (skipped) with the reason when
# ARCH or the display cannot run here. Every other failure says which step
# failed: Wine itself is quiet here (WINEDEBUG=-all), so a program that
# could not start would otherwise fail with no output at all.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=scripts/desktop.sh
source "$repo/scripts/desktop.sh"
# shellcheck source=scripts/wine.sh
source "$repo/scripts/wine.sh"
# shellcheck source=scripts/wine-desktop.sh
source "$repo/scripts/wine-desktop.sh"

arch=${1:?usage: $0 x86_64|i686 PROGRAM [ARG...]}
shift
if why=$(vk_wine_missing "$arch"); then
  echo "SKIP: $arch Windows programs cannot run here: $why"
  exit 77
fi
if missing=$(vk_desktop_missing); then
  echo "SKIP: $missing is not installed (scripts/setup-debian.sh test installs it)"
  exit 77
fi
failed() {
  echo "with_display: $1 failed (status $2)" >&2
  exit 1
}
vk_desktop_start || failed "starting the private display" $?
vk_wine_prefix_new || failed "making a Wine prefix" $?
vk_on_exit vk_wine_end
vk_wine_desktop "$arch" || failed "readying Wine for the display" $?
vk_wine_run "$arch" "$@"
status=$?
((status == 0)) || echo "with_display: $(basename "$1") ended with status $status" >&2
exit "$status"
