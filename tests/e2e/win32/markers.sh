#!/usr/bin/env bash
# Ctrl+F runs a freeing pass of the Windows program; on the next refresh the
# bars show the darker before-freeing markers, which go about 5 seconds
# later. A marker is due only when free memory has not fallen across a pixel
# of its bar during the run (a pixel is about 100 MB here); on a busy
# machine it may have, so the pass is made up to four times, and the test is
# skipped (with the reason) when no marker was due in any of them. It holds
# the free-memory lock (tests/e2e/lib.sh) but while the markers go, as the
# Qt markers tests may run at the same time.
#
#   markers.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin markers "$@"

e2e_hold_free_memory
e2e_start
main=$(e2e_main_window 30)
e2e_expect_tray 1
w32_markers_hidden "$main" || e2e_fail "a marker shows before any freeing run"
shown=false
for attempt in 1 2 3 4; do
  e2e_key "$main" ctrl+f
  if vk_wait_until 5 w32_markers_shown "$main"; then
    shown=true
    break
  fi
  e2e_log "run $attempt: no marker showed; free memory must have fallen during the run"
done
$shown || e2e_skip "free memory fell during each of 4 runs, so no marker was due"
e2e_screenshot markers
e2e_release_free_memory
vk_wait_until 10 w32_markers_hidden "$main" || e2e_fail "the markers did not go after 5 seconds"
e2e_hold_free_memory
e2e_stop_program
e2e_log "pass"
