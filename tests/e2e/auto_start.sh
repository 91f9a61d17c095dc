#!/usr/bin/env bash
# "velkrom /AUTO" starts hidden: the tray entry is there, the main window is
# not mapped, and the pop-up offers "&Show", which brings the window up.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin auto_start "$1"

e2e_start /AUTO
e2e_expect_tray 1 20
# The pop-up opens only after the start-up has run to its end, so by the
# time it is up the window would have been mapped if it were ever shown.
popup=$(e2e_open_tray_menu)
vk_window_absent Velkrom || e2e_fail "/AUTO mapped the main window"
e2e_screenshot auto-start-popup
xdotool key s
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "the pop-up did not close on S"
e2e_main_window 5 >/dev/null
e2e_expect_tray 1
e2e_log "pass"
