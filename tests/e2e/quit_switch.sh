#!/usr/bin/env bash
# "velkrom /QUIT" frees memory once, counts down in the status line ("Done,
# quitting in 3..." to "...0...", one second apart) and ends by itself about
# four seconds after the run, with exit status 0 and no tray entry left.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin quit_switch "$1"

e2e_start /QUIT
main=$(e2e_main_window)
# Timed from the window, not from the start: on a busy machine starting the
# program alone can take seconds, which say nothing of the countdown.
shown_us=$(vk__now_us)
e2e_expect_tray 1

# Watch the status line until the program ends: each distinct picture of it
# is one text; the first change of text is photographed.
declare -A texts=()
first=''
watch_status() {
  vk__gone "$E2E_PID" && return 0
  local digest
  e2e_status_digest_into digest "$main" 2>/dev/null || return 1
  [[ -n $digest ]] || return 1
  if [[ -z $first ]]; then
    first=$digest
  elif [[ -z ${texts[$digest]:-} && ${#texts[@]} -eq 1 ]]; then
    e2e_screenshot quit-countdown
  fi
  texts[$digest]=1
  return 1
}
vk_wait_until 8 watch_status || e2e_fail "the program was still running 8 s after its window appeared"
e2e_expect_exit 1 0
elapsed=$((($(vk__now_us) - shown_us) / 1000))
e2e_log "ended by itself ${elapsed} ms after its window appeared ($(e2e_elapsed_ms) ms after its start); ${#texts[@]} status texts seen"
# The countdown runs four one-second ticks after the run. The wait above
# bounds it from the other side (8 s): on a busy machine the run and the
# timer's ticks come late, by up to two seconds in all here.
((elapsed >= 3500)) || e2e_fail "ended after only $elapsed ms, before the countdown ran out"
# "Done, quitting in 3...", "2..." and "1..." last a second each.
((${#texts[@]} >= 3)) || e2e_fail "saw ${#texts[@]} status texts, expected the countdown's"
e2e_expect_tray 0
e2e_log "pass"
