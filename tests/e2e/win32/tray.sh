#!/usr/bin/env bash
# The tray entry of the Windows program: a left double-click hides the main
# window and the next shows it again; a right click opens the pop-up menu,
# whose "&Hide" hides the window and whose "&Exit" ends the program with
# status 0 and takes the entry away.
#
#   tray.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin tray "$@"

e2e_start
e2e_main_window 30 >/dev/null
e2e_expect_tray 1
e2e_double_click_tray
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "a double-click did not hide the main window"
e2e_expect_tray 1
e2e_double_click_tray
e2e_main_window 5 >/dev/null || e2e_fail "a double-click did not show the main window again"

popup=$(w32_open_tray_menu)
e2e_screenshot popup
w32_menu_pick "$popup" first
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "the pop-up stayed open after its first item was clicked"
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "the pop-up's &Hide did not hide the window"

popup=$(w32_open_tray_menu)
w32_menu_pick "$popup" last
e2e_expect_exit 10 0
e2e_expect_tray 0
e2e_log "pass"
