#!/usr/bin/env bash
# Hiding and showing: a left double-click on the tray entry hides the main
# window and the next one shows it again; File "&Hide to system tray"
# (Ctrl+T) hides it too. A double-click on the window's background hides the
# window but leaves the pop-up's caption at "&Hide", so the next tray
# double-click takes the "&Hide" branch (the window stays hidden) and the
# pop-up then offers "&Show". A single click does nothing. The tray entry
# stays all along.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_toggle "$1"

e2e_start
main=$(e2e_main_window)
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

e2e_key "$main" ctrl+t
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "Ctrl+T did not hide the main window"
e2e_double_click_tray
main=$(e2e_main_window 5)

# A single click is not a double-click. Keys reach the program after the
# click, so once F1 has opened the About dialog the click has been handled.
vk_click_at "$(e2e_tray_icon)" 1
e2e_key "$main" F1
about=$(vk_wait_window 5 "About Velkrom") || e2e_fail "F1 did not open the About dialog"
vk_window_present Velkrom || e2e_fail "a single click on the tray entry changed the window"
e2e_key "$about" Escape
vk_wait_until 5 vk_window_absent "About Velkrom" || e2e_fail "Esc did not close the About dialog"

# The background: two pixels in from the bottom-left corner, left of the
# status line and below the frames.
read -r x y _ h <<<"$(vk_geometry "$main")"
xdotool mousemove $((x + 2)) $((y + h - 2)) click --repeat 2 --delay 60 1
vk_wait_until 5 vk_window_absent Velkrom ||
  e2e_fail "a double-click on the window's background did not hide it"
e2e_double_click_tray
# The pop-up opens after the double-click has been handled.
popup=$(e2e_open_tray_menu)
vk_window_absent Velkrom || e2e_fail "the tray double-click showed the window; its caption was not left at &Hide"
e2e_screenshot tray-popup-show
xdotool key s
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "the pop-up did not close on S"
e2e_main_window 5 >/dev/null || e2e_fail "the pop-up's &Show did not show the window"
e2e_expect_tray 1
e2e_log "pass"
