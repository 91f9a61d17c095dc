#!/usr/bin/env bash
# Without a tray host there is no entry to come back from, so hiding
# minimises the main window instead (under openbox): Ctrl+T and a "/AUTO"
# start both leave it on the window list, iconic. Brought back from there
# (xdotool windowactivate, windowmap) it counts as shown: once a tray host
# appears and holds the entry, the first tray double-click hides the window
# for real (a window still taken as hidden would be shown instead).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
VK_TRAY_HOST=none e2e_begin no_tray "$1" openbox
vk_wm_start || e2e_fail "the window manager did not start"

# Back from the window list, then a host appears: the tray double-click hides.
reads_as_shown() {
  local main=$1 how=$2
  e2e_expect_wm_state "$main" Normal "after $how"
  vk_tray_host_start || e2e_fail "the tray host did not start"
  e2e_expect_tray 1
  e2e_double_click_tray
  e2e_expect_wm_state "$main" Withdrawn "a tray double-click after $how"
  e2e_double_click_tray
  e2e_expect_wm_state "$main" Normal "the second tray double-click"
}

e2e_start
main=$(e2e_wait_client_window 20 Velkrom)
e2e_expect_wm_state "$main" Normal "a normal start"
e2e_key "$main" ctrl+t
e2e_expect_wm_state "$main" Iconic "Ctrl+T without a tray host"
# openbox's window list (a middle click on the desktop) names it, in
# brackets as a minimised window.
e2e_window_list no-tray-minimised
xdotool windowactivate "$main" || e2e_fail "windowactivate failed"
reads_as_shown "$main" windowactivate
e2e_stop_program
vk_tray_host_stop || e2e_fail "the tray host did not end"

e2e_start /AUTO
main=$(e2e_wait_client_window 20 Velkrom)
e2e_expect_wm_state "$main" Iconic "a /AUTO start without a tray host"
xdotool windowmap "$main" || e2e_fail "windowmap failed"
reads_as_shown "$main" windowmap
e2e_log "pass"
