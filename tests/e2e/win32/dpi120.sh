#!/usr/bin/env bash
# The Windows program at 120 DPI (the prefix's LogPixels): the client area
# scales to 340 pixels wide (12 twips to the pixel), and a left double-click
# on the tray entry still hides the window and the next shows it.
#
#   dpi120.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin dpi120 "$@" 120

e2e_start
e2e_main_window 30 >/dev/null
e2e_expect_tray 1
read -r width _ <<<"$(w32_client Velkrom)"
[[ $width == 340 ]] || e2e_fail "the client area is $width pixels wide at 120 DPI, expected 340"
e2e_screenshot window-120dpi
e2e_double_click_tray
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "a double-click did not hide the main window"
e2e_double_click_tray
e2e_main_window 5 >/dev/null || e2e_fail "a double-click did not show the main window again"
e2e_stop_program
e2e_log "pass"
