#!/usr/bin/env bash
# A left double-click on the tray entry hides the main window, and the next
# one shows it again; the entry stays all along.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_toggle "$1"

e2e_start
e2e_main_window >/dev/null
e2e_expect_tray 1

for round in 1 2; do
  e2e_double_click_tray
  vk_wait_until 5 vk_window_absent Velkrom ||
    e2e_fail "double-click $round did not hide the main window"
  e2e_expect_tray 1
  e2e_double_click_tray
  vk_wait_until 5 vk_window_present Velkrom ||
    e2e_fail "double-click $round did not show the main window again"
done

# A single click is not a double-click: the window stays. Opening the pop-up
# afterwards is the fence: the click was handled before the menu opens.
vk_click_at "$(e2e_tray_icon)" 1
popup=$(e2e_open_tray_menu)
vk_window_present Velkrom || e2e_fail "a single click changed the window"
xdotool key Escape
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "Esc did not close the pop-up menu"
e2e_log "pass"
