#!/usr/bin/env bash
# What a screen reader gets over AT-SPI, on a private session bus with its
# own accessibility bus: the frames as named groups, every caption and value
# as a label with its text, each value named with its frame and caption and
# labelled by the caption, each bar a progress bar from 0 to 100 holding the
# free share, the status line a status bar; Ctrl+F is announced (the status
# line's new texts reach a listener) and the bars announce only changed
# values; "Free memory when full" is checkable and reads on and off; the
# About dialog is a dialog whose texts and Tab stops are named.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin screen_reader "$1" dbus-daemon dbus-send
launcher=/usr/libexec/at-spi-bus-launcher
[[ -x $launcher ]] ||
  e2e_skip "at-spi2-core is not installed (scripts/setup-debian.sh test installs it)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
  e2e_skip "Debian's python3-pyatspi is not installed (scripts/setup-debian.sh test installs it)"
reader=(/usr/bin/python3 "$E2E_REPO/tests/e2e/atspi_reader.py")

# A private session bus, and on it the launcher of the accessibility bus.
e2e_session_bus
"$launcher" --launch-immediately >"$VK_DESKTOP_DIR/at-spi.log" 2>&1 &
vk_on_exit "vk_stop_pid $!"
a11y_bus_up() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress |
    grep -q unix:
}
vk_wait_until 10 a11y_bus_up || e2e_fail "the accessibility bus did not start"

# The listener first: the program learns at its start who listens.
events=$VK_DESKTOP_DIR/events.log
"${reader[@]}" listen "$events" 2>"$VK_DESKTOP_DIR/listener.log" &
vk_on_exit "vk_stop_pid $!"
vk_wait_until 10 grep -qsx ready "$events" || e2e_fail "the event listener did not start"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
e2e_start
main=$(e2e_main_window)
"${reader[@]}" main || e2e_fail "the main window reads wrong"

# A freeing run is heard: its status text, then Ready.
e2e_key "$main" ctrl+f
heard_run() { grep -s -A1000 -x 'status|Freeing up memory...' "$events" | grep -qx 'status|Ready'; }
vk_wait_until 10 heard_run ||
  e2e_fail "the freeing run was not announced: $(grep '^status' "$events" | paste -sd ' ')"
# A bar speaks only when its whole percent changes, not on each of the
# hundred refreshes a second: a few times a second at the very most.
seconds=$(($(e2e_elapsed_ms) / 1000 + 1))
for bar in "Physical memory" Pagefile; do
  said=$(grep -cx "bar|$bar" "$events" || true)
  ((said <= 4 * seconds)) || e2e_fail "the bar $bar announced $said values in $seconds s"
done

"${reader[@]}" when-full off || e2e_fail "the entry reads wrong before Ctrl+U"
e2e_key "$main" ctrl+u
vk_wait_until 5 "${reader[@]}" when-full on 2>/dev/null ||
  e2e_fail "the entry reads wrong after Ctrl+U: $("${reader[@]}" when-full on 2>&1)"

e2e_key "$main" F1
vk_wait_window 5 "About Velkrom" >/dev/null || e2e_fail "F1 did not open the About dialog"
"${reader[@]}" about || e2e_fail "the About dialog reads wrong"
e2e_log "pass"
