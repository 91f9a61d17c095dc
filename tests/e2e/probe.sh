#!/usr/bin/env bash
# The desktop's probe answers every look the same, asked of its server or
# run as a process of its own, its output printed or put in a variable: the
# same output and the same exit status, for
# answers of several lines, none, a title with spaces, a window that is gone
# and a malformed command. Once the server has gone, also while this shell
# still takes it to be running, the looks go on as processes of their own
# and the shell that asked lives on, in its exit cleanups as well.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin probe ''
[[ -n $VK_XPROBE_PID ]] || e2e_fail "the desktop started no probe server"
server=$VK_XPROBE_PID

panel=$(vk_tray_panel)
[[ -n $panel ]] || e2e_fail "the probe found no tray panel"
# One look per line, its words separated by "|".
looks=(
  "tray-panel"
  "tray-panel|--mapped"
  "tray-icons"
  "windows"
  "windows|--mapped"
  "windows|-q|No such window"
  "windows|A title with spaces"
  "geometry|$panel"
  "drawn|$panel"
  "count|$panel|192|192|192"
  "bars|$panel|192|192|192"
  "digest|$panel|0|0|2|2"
  "digest|$panel|0|0|8|8"
  "mapped|0x1"
  "geometry"
  "no-such-command"
)
# answer LOOK: the look's output, exit status and messages, as one text;
# the same whether the output is printed or put in a variable.
answer() {
  local -a words
  local out status=0 into into_status=0 printed
  IFS='|' read -ra words <<<"$1"
  out=$(vk_xprobe "${words[@]}" 2>"$VK_DESKTOP_DIR/said") || status=$?
  printed="$out|$status|$(<"$VK_DESKTOP_DIR/said")"
  vk_capture into vk_xprobe "${words[@]}" 2>"$VK_DESKTOP_DIR/said" || into_status=$?
  [[ "$into|$into_status|$(<"$VK_DESKTOP_DIR/said")" == "$printed" ]] ||
    e2e_fail "'$1' answered '$printed' printed, '$into|$into_status|$(<"$VK_DESKTOP_DIR/said")' into a variable"
  echo "$printed"
}
# Three looks whose answers are known: a window's id, a window that is
# gone, a malformed look.
known_answers() {
  [[ $(answer tray-panel) == "$panel|0|" ]] || e2e_fail "$1: the panel's look answered $(answer tray-panel)"
  [[ $(answer "mapped|0x1") == "|1|" ]] || e2e_fail "$1: a window that is gone answered $(answer "mapped|0x1")"
  [[ $(answer geometry) == "|2|usage: "* ]] || e2e_fail "$1: a malformed look answered $(answer geometry)"
}

for look in "${looks[@]}"; do
  asked=$(answer "$look")
  VK_XPROBE_PID=''
  own=$(answer "$look")
  VK_XPROBE_PID=$server
  [[ $asked == "$own" ]] || e2e_fail "'$look' answered '$asked', and '$own' as a process of its own"
done
known_answers "with the server"
{
  kill -KILL "$server"
  wait "$server"
} 2>/dev/null || true
known_answers "after the server ended"
# A server that ends between the check that it runs and the request: the
# request goes to a pipe nobody reads, the answer ends at once.
VK_XPROBE_PID=$$
known_answers "with the server taken to be running after it ended"
# In a shell's exit cleanups too, after a command that succeeded, a look
# that fails as a process of its own fails.
bash -c 'source "$1"; trap "vk_xprobe mapped 0x1 >/dev/null 2>&1; echo \$? >\"$2\"" EXIT; true' \
  _ "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$VK_DESKTOP_DIR/in-cleanup"
[[ $(<"$VK_DESKTOP_DIR/in-cleanup") == 1 ]] ||
  e2e_fail "a window that is gone answered status $(<"$VK_DESKTOP_DIR/in-cleanup") in the exit cleanups"
e2e_log "pass"
