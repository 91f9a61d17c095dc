#!/usr/bin/env bash
# The tray entry comes back when the tray host restarts: with trayer ended
# and a new one started, the new host holds exactly one entry of ours, and
# its double-click still hides and shows the main window.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_host_restart "$1"

e2e_start
e2e_main_window >/dev/null
e2e_expect_tray 1
vk_tray_host_stop || e2e_fail "the tray host did not end"
vk__gone "$E2E_PID" && e2e_fail "the program ended with its tray host"
vk_tray_host_start || e2e_fail "the tray host did not start again"
e2e_expect_tray 1
e2e_screenshot tray-host-restarted

e2e_double_click_tray
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "a double-click on the new entry did not hide the window"
e2e_double_click_tray
e2e_main_window 5 >/dev/null
vk_tray_count_is 1 || e2e_fail "the new host holds $(vk_tray_count) entries, expected 1"
e2e_log "pass"
