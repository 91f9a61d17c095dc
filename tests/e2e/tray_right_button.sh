#!/usr/bin/env bash
# The right button on the tray entry counts on its release: a press alone
# opens nothing, and a right double-click opens the pop-up once and chooses
# none of its entries, with the window shown and with it hidden. trayer puts
# the entry at the screen's right edge, where Qt moves the pop-up under the
# pointer: the second press of the double-click lands on an entry.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_right_button "$1"

e2e_start
main=$(e2e_main_window)
e2e_expect_tray 1
read -r x y <<<"$(vk_centre "$(e2e_tray_icon)")"

# A press held down: Ctrl+T still reaches the window (a pop-up would have
# taken the keyboard) and is handled after the press. (Not e2e_key: its
# --clearmodifiers would let go of the button for the key and press it again.)
before=$(e2e_mapped_windows)
xdotool mousemove "$x" "$y" mousedown 3
xdotool windowfocus "$main" key ctrl+t
if ! vk_wait_until 5 vk_window_absent Velkrom; then
  e2e__new_window "$before" >/dev/null && e2e_fail "a right press without release opened the pop-up"
  e2e_fail "Ctrl+T with the right button held did not hide the window"
fi
popup=$(e2e__new_window "$before") && e2e_fail "a right press without release opened $popup"
xdotool mouseup 3
popup=$(e2e_wait_new_window 5 "$before") || e2e_fail "the release did not open the pop-up"
e2e_screenshot tray-right-release
xdotool key Escape
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "Esc did not close the pop-up"

# A right double-click: one pop-up, left open, the window as it was; a left
# double-click then toggles it as from that state.
for state in hidden shown; do
  before=$(e2e_mapped_windows)
  xdotool mousemove "$x" "$y" click --repeat 2 --delay 60 3
  popup=$(e2e_wait_new_window 5 "$before") || e2e_fail "no pop-up opened on a right double-click ($state)"
  e2e_sync "$main"
  opened=$(e2e_mapped_windows | grep -cvxF "$before" || true)
  ((opened == 1)) || e2e_fail "a right double-click ($state) left $opened new windows mapped"
  vk_window_absent_id "$popup" && e2e_fail "the second click of a right double-click ($state) closed the pop-up"
  if [[ $state == hidden ]]; then
    vk_window_absent Velkrom || e2e_fail "a right double-click showed the hidden window"
  else
    vk_window_present Velkrom || e2e_fail "a right double-click hid the shown window"
  fi
  e2e_screenshot "tray-right-double-$state"
  xdotool key Escape
  vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "Esc did not close the pop-up ($state)"
  e2e_double_click_tray
  if [[ $state == hidden ]]; then
    vk_wait_until 5 vk_window_present Velkrom || e2e_fail "the left double-click did not show the window"
  else
    vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "the left double-click did not hide the window"
  fi
done

e2e_stop_program
e2e_log "pass"
