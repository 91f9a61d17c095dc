#!/usr/bin/env bash
# The whole argument text is the command line, and Qt takes none of its own
# options out of it: "-reverse /QUIT" and "/AUTO -name x" are normal starts.
# The window shows with "Ready" as a plain start's status line (a /QUIT
# start would read "Freeing up memory..." or count down, and Qt's -reverse
# would mirror the line), and File's Ctrl+X ends the program (a /QUIT start
# disables File).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin command_line "$1"

e2e_start
main=$(e2e_main_window)
ready=$(e2e_status_digest "$main")
e2e_stop_program

for arguments in "-reverse /QUIT" "/AUTO -name x"; do
  # shellcheck disable=SC2086  # the words are the program's arguments
  e2e_start $arguments
  main=$(e2e_main_window) || e2e_fail "'$arguments' did not show the window"
  e2e_expect_tray 1
  vk_wait_until 5 e2e_status_is "$main" "$ready" ||
    e2e_fail "'$arguments': the status line does not read Ready"
  e2e_key "$main" ctrl+x
  e2e_expect_exit 5 0
  e2e_expect_tray 0
  e2e_log "'$arguments': a normal start"
done
e2e_log "pass"
