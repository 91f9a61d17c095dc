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

# The free bars' widths before a run, keyed by the bar's top row, and the
# narrowest each has been seen since.
declare -A before=() narrowest=()
free_bars_seen() {
  local bars top width
  vk_capture bars vk_xprobe bars "$main" 0 255 0 || true
  while read -r top width; do
    [[ -n $top ]] || continue
    if [[ -z ${before[$top]:-} ]]; then
      before[$top]=$width
      narrowest[$top]=$width
    elif ((width < narrowest[$top])); then
      narrowest[$top]=$width
    fi
  done <<<"$bars"
}
# Markers show, or 1.5 s after the key every free bar has been seen narrower
# than before and none shows: the run comes 10 ms after the key and the
# refresh right after it decides the markers, so a marker that was due
# shows by then; the run need not wait out its 5 s.
markers_shown_or_not_due() {
  w32_markers_shown "$main" && return 0
  free_bars_seen
  ((${EPOCHREALTIME/./} - pressed_us >= 1500000)) || return 1
  local top
  for top in "${!before[@]}"; do
    ((narrowest[$top] < before[$top])) || return 1
  done
}

shown=false
for attempt in 1 2 3 4; do
  before=()
  narrowest=()
  free_bars_seen
  ((${#before[@]} == 2)) || e2e_fail "expected two free bars, found ${#before[@]}"
  e2e_key "$main" ctrl+f
  pressed_us=${EPOCHREALTIME/./}
  if vk_wait_until 5 markers_shown_or_not_due && w32_markers_shown "$main"; then
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
