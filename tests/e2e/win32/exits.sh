#!/usr/bin/env bash
# The system's ways to end the Windows program: taskkill without /F (a
# WM_CLOSE to its windows) and the end of the session (wineboot -e); each
# unloads the main window through its normal path, so the program ends with
# status 0 and no tray entry is left.
#
#   exits.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin exits "$@"

name=$(basename "$E2E_PROGRAM")
exit_by_taskkill() { w32_wine taskkill /IM "$name"; }
exit_by_session_end() { w32_wine wineboot -e; }

for way in taskkill session_end; do
  e2e_start
  e2e_main_window 30 >/dev/null
  e2e_expect_tray 1
  "exit_by_$way"
  e2e_expect_exit 10 0
  e2e_expect_tray 0
  e2e_log "$way: ended with status 0, tray entry gone"
done
e2e_log "pass"
