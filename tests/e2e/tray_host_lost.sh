#!/usr/bin/env bash
# A window hidden to the tray is never lost with its tray host (XEmbed,
# under openbox): when trayer ends while the window is hidden, the window
# comes back minimised, on the window list, within 2 s. A new host holds the
# entry once, the window stays minimised, and from the window list it shows.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_host_lost "$1" openbox
vk_wm_start || e2e_fail "the window manager did not start"

e2e_start
main=$(e2e_wait_client_window 20 Velkrom)
e2e_expect_tray 1
e2e_key "$main" ctrl+t
e2e_expect_wm_state "$main" Withdrawn "Ctrl+T with a tray host"
vk_tray_host_stop || e2e_fail "the tray host did not end"
vk_wait_until 2 e2e_wm_state_is "$main" Iconic ||
  e2e_fail "2 s after the tray host ended the window is $(e2e_wm_state "$main"), expected Iconic"
# openbox's window list (a middle click on the desktop) names it, minimised.
e2e_window_list tray-host-lost

vk_tray_host_start || e2e_fail "the tray host did not start again"
e2e_expect_tray 1
vk_wait_until 1 e2e_wm_state_is "$main" Iconic || e2e_fail "the window left the window list"
xdotool windowactivate "$main" || e2e_fail "windowactivate failed"
e2e_expect_wm_state "$main" Normal "brought back from the window list"
vk_tray_count_is 1 || e2e_fail "the new host holds $(vk_tray_count) entries, expected 1"
e2e_log "pass"
