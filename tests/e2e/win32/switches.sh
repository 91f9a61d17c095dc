#!/usr/bin/env bash
# The Windows program's command line and countdown: "/AUTO" starts with the
# tray entry and no window; "/QUIT" frees memory, counts down and ends by
# itself with status 0; so does File "Free memory and &Quit" (Ctrl+Q).
#
#   switches.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin switches "$@"

e2e_start /AUTO
e2e_expect_tray 1 30
vk_window_absent Velkrom || e2e_fail "/AUTO showed the main window"
popup=$(w32_open_tray_menu)
w32_menu_pick "$popup" last
e2e_expect_exit 10 0
e2e_expect_tray 0

e2e_start /QUIT
e2e_main_window 30 >/dev/null
e2e_expect_tray 1
e2e_expect_exit 15 0
e2e_expect_tray 0
e2e_log "/QUIT ended by itself after $(e2e_elapsed_ms) ms"

e2e_start
main=$(e2e_main_window 30)
e2e_expect_tray 1
e2e_key "$main" ctrl+q
e2e_expect_exit 15 0
e2e_expect_tray 0
e2e_log "pass"
