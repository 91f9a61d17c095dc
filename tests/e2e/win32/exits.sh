#!/usr/bin/env bash
# The system's ways to end the Windows program: taskkill without /F (a
# WM_CLOSE to its windows) and the end of the session (wineboot -e); each
# unloads the main window through its normal path, so the program ends with
# status 0 and no tray entry is left. A session that ends while a message
# box waits (here System Information's failure box) ends the program too,
# the tray entry taken away before Wine ends the process.
#
#   exits.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin exits "$@"

name=$(basename "$E2E_PROGRAM")
exit_by_taskkill() { w32_wine taskkill /IM "$name"; }
exit_by_session_end() { w32_wine wineboot -e; }
exit_by_session_end_during_box() {
  local about
  e2e_key "$1" F1
  about=$(vk_wait_window 5 "About Velkrom") || e2e_fail "F1 did not open the About dialog"
  e2e_key "$about" alt+s
  vk_wait_window 10 Error >/dev/null || e2e_fail "no failure box to end the session under"
  w32_wine wineboot -e
}

for way in taskkill session_end session_end_during_box; do
  e2e_start
  main=$(e2e_main_window 30)
  e2e_expect_tray 1
  "exit_by_$way" "$main"
  e2e_expect_exit 10 0
  e2e_expect_tray 0
  e2e_log "$way: ended with status 0, tray entry gone"
done
e2e_log "pass"
