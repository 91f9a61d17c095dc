#!/usr/bin/env bash
# Tray clicks while a modal box waits are held, not lost: with the freeing
# error's box open (the address space limited as in freeing_error), a left
# double-click on the tray entry leaves the window alone until OK and then
# hides it; a right click made during the box opens the pop-up after OK.
# The box still holds the window itself: its File menu does not open.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_modal_box "$1" prlimit

e2e_start
main=$(e2e_main_window)
e2e_expect_tray 1

vm_kb=$(awk '/^VmSize:/ { print $2 }' "/proc/$E2E_PID/status")
prlimit --pid "$E2E_PID" --as="$(((vm_kb + 65536) * 1024))" ||
  e2e_fail "prlimit could not limit the program"
open_error_box() {
  e2e_key "$main" ctrl+f
  vk_wait_window 10 Error || e2e_fail "no box titled Error appeared after Ctrl+F"
}

box=$(open_error_box)
before=$(e2e_mapped_windows)
read -r x y _ _ <<<"$(vk_geometry "$main")"
xdotool mousemove $((x + 20)) $((y + 9)) click 1
e2e_double_click_tray
e2e_sync "$main"
e2e__new_window "$before" >/dev/null && e2e_fail "a click on File opened its menu while the box waited"
vk_window_present Velkrom || e2e_fail "the double-click hid the window while the box waited"
e2e_key "$box" Return
vk_wait_until 5 vk_window_absent Velkrom ||
  e2e_fail "the double-click made during the box did not hide the window after OK"

# Shown again from the tray, then a right click during the next box.
e2e_double_click_tray
main=$(e2e_main_window 5)
box=$(open_error_box)
before=$(e2e_mapped_windows)
vk_click_at "$(e2e_tray_icon)" 3 || e2e_fail "could not click the tray entry"
e2e_sync "$main"
e2e__new_window "$before" >/dev/null && e2e_fail "the pop-up opened while the box waited"
e2e_key "$box" Return
vk_wait_until 5 vk_window_absent_id "$box" || e2e_fail "Enter did not close the error box"
popup=$(e2e_wait_new_window 5 "$before") ||
  e2e_fail "the right click made during the box opened no pop-up after OK"
e2e_screenshot tray-modal-box-popup
xdotool key Escape
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "Esc did not close the pop-up"
vk_window_present Velkrom || e2e_fail "the pop-up changed the window"

e2e_key "$main" ctrl+x
e2e_expect_exit 5 0
e2e_expect_tray 0
e2e_log "pass"
