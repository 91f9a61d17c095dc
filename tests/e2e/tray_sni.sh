#!/usr/bin/env bash
# The tray entry under a StatusNotifierItem host (the D-Bus protocol of the
# XFCE, LXQt and KDE panels; Qt uses it whenever a watcher is on the session
# bus): on a private bus with sni_host.py as the panel, the entry exports the
# pop-up as a real menu with "&Hide" and "&Exit", the host's double-click
# hides the window, the menu offers "&Show" whenever the window is hidden
# (also after a double-click on the window, which leaves the caption), its
# "&Show" shows the window and its "&Exit" ends the program with status 0
# and the entry gone.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin tray_sni "$1" dbus-daemon
host_py=(/usr/bin/python3 "$E2E_REPO/tests/e2e/sni_host.py")
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null ||
  e2e_skip "Debian's python3-dbus and python3-gi are not installed (scripts/setup-debian.sh test installs them)"

# A private session bus, and the host on it before the program starts.
e2e_session_bus
items=$VK_DESKTOP_DIR/sni.items
"${host_py[@]}" watch "$items" >"$VK_DESKTOP_DIR/sni_host.log" 2>&1 &
vk_on_exit "vk_stop_pid $!"
vk_wait_until 10 test -e "$items" || e2e_fail "the host did not take the watcher's name"

item_count_is() { [[ $(wc -l <"$items") -eq $1 ]]; }
choose() {
  "${host_py[@]}" click "$item" "$(awk -v label="$1" '$2 == label { print $1 }' <<<"$layout")" ||
    e2e_fail "choosing $1 failed"
}
# A right click as the host makes it: the menu's entries ("ID LABEL" lines)
# after AboutToShow go to $layout; the program opens no pop-up of its own.
expect_menu() {
  local before
  before=$(e2e_mapped_windows)
  layout=$("${host_py[@]}" menu "$item") || e2e_fail "the entry's menu could not be read ($2)"
  [[ $(awk '{ print $2 }' <<<"$layout" | paste -sd ' ') == "$1 - _Exit" ]] ||
    e2e_fail "the menu reads '$(paste -sd '|' <<<"$layout")', expected $1, a separator and _Exit ($2)"
  e2e_sync "$main"
  e2e__new_window "$before" >/dev/null && e2e_fail "the program opened a pop-up of its own ($2)"
  return 0
}

e2e_start
main=$(e2e_main_window)
vk_wait_until 10 item_count_is 1 || e2e_fail "the program registered no entry with the host"
item=$(head -n 1 "$items")
e2e_log "entry $item"
vk_tray_count_is 0 || e2e_fail "the entry went to the XEmbed tray as well"

expect_menu _Hide "window shown"
"${host_py[@]}" activate "$item" 2 || e2e_fail "Activate failed"
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "the host's double-click did not hide the window"
expect_menu _Show "after the host's double-click"
choose _Show
e2e_main_window 5 >/dev/null

# A double-click on the figures hides the window and leaves the caption at
# "&Hide"; the host's menu still offers "&Show".
read -r x y _ _ <<<"$(vk_geometry "$main")"
xdotool mousemove $((x + 200)) $((y + 50)) click --repeat 2 --delay 60 1
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "a double-click on the figures did not hide the window"
expect_menu _Show "after a double-click on the window"
choose _Show
e2e_main_window 5 >/dev/null

expect_menu _Hide "window shown again"
choose _Exit
e2e_expect_exit 5 0
vk_wait_until 5 item_count_is 0 || e2e_fail "the entry stayed with the host after the program ended"
e2e_log "pass"
