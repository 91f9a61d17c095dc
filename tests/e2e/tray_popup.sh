#!/usr/bin/env bash
# The tray entry after its pop-up menu: once the pop-up's "&Hide" has hidden
# the main window, one left double-click on the entry shows it again; and a
# pop-up opens on every right click, also on one that comes within the
# double-click interval of the right click before (Qt reports that one as a
# right double-click).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_popup "$1"

e2e_start
e2e_main_window >/dev/null
e2e_expect_tray 1

popup=$(e2e_open_tray_menu)
xdotool key h
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "pop-up H did not hide the main window"
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "the pop-up stayed open"
e2e_double_click_tray
vk_wait_until 5 vk_window_present Velkrom ||
  e2e_fail "one double-click after the pop-up's &Hide did not show the window"

# Back to back: Esc closes each pop-up and the next right click follows at
# once, at the same spot. The log tells how far apart the clicks came.
last=''
for round in 1 2 3; do
  now=$(e2e_elapsed_ms)
  popup=$(e2e_open_tray_menu)
  [[ -z $last ]] || e2e_log "right click $round came about $((now - last)) ms after the one before"
  last=$now
  xdotool key Escape
  vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "pop-up $round did not close on Esc"
done
vk_window_present Velkrom || e2e_fail "closing the pop-ups changed the window"

# The last one still works: "&Exit" ends the program.
e2e_open_tray_menu >/dev/null
xdotool key e
e2e_expect_exit 5 0
e2e_expect_tray 0
e2e_log "pass"
