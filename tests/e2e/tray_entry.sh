#!/usr/bin/env bash
# The program puts exactly one entry in the tray host; a right click on it
# opens the pop-up menu at the pointer, whose "&Hide" hides the main window
# and whose "&Exit" ends the program and takes the entry away.
# (Pop-ups one after another, and the tray entry after a pop-up, are
# tray_popup's.)
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_entry "$1"

e2e_start
e2e_main_window >/dev/null
e2e_expect_tray 1
e2e_screenshot tray-entry

popup=$(e2e_open_tray_menu)
e2e_screenshot popup-menu
read -r px py pw ph <<<"$(vk_geometry "$popup")"
read -r ix iy iw ih <<<"$(vk_geometry "$(e2e_tray_icon)")"
((px <= ix + iw && px + pw >= ix && py <= iy + ih + 2 && py + ph >= iy)) ||
  e2e_fail "the pop-up menu at $px,$py ${pw}x$ph is not at the tray entry ($ix,$iy)"

# Its first entry reads "&Hide" while the window is shown: H chooses it.
xdotool key h
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "pop-up H did not hide the main window"
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "the pop-up stayed open"
e2e_expect_tray 1
e2e_stop_program

# "&Exit" ends the program normally and takes the tray entry with it.
e2e_start
e2e_main_window >/dev/null
e2e_expect_tray 1
e2e_open_tray_menu >/dev/null
xdotool key e
e2e_expect_exit 5 0
e2e_expect_tray 0
e2e_log "pass"
