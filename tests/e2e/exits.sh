#!/usr/bin/env bash
# Every way out ends the program normally (exit status 0) and leaves no
# entry in the tray host: File "E&xit" (Ctrl+X), the window's close box, and
# SIGTERM, SIGINT and SIGHUP, which the program turns into its normal exit.
# ("/QUIT" and the pop-up's "&Exit" have their own tests.)
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin exits "$1"

exit_by_ctrl_x() { e2e_key "$1" ctrl+x; }
exit_by_close_box() { vk_xprobe close "$1"; }
exit_by_sigterm() { kill -TERM "$E2E_PID"; }
exit_by_sigint() { kill -INT "$E2E_PID"; }
exit_by_sighup() { kill -HUP "$E2E_PID"; }

for way in ctrl_x close_box sigterm sigint sighup; do
  e2e_start
  main=$(e2e_main_window)
  e2e_expect_tray 1
  "exit_by_$way" "$main"
  e2e_expect_exit 5 0
  e2e_expect_tray 0
  e2e_log "$way: ended with status 0, tray entry gone"
done
e2e_log "pass"
