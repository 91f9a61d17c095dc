#!/usr/bin/env bash
# A window hidden to a StatusNotifierItem host is never lost with it (under
# openbox, on a private session bus with sni_host.py as the panel): when the
# watcher's name leaves the bus while the window is hidden, the window comes
# back minimised, on the window list, within 2 s. A new host gets the entry
# once, the window stays minimised, and from the window list it shows.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
VK_TRAY_HOST=none e2e_begin tray_sni_host_lost "$1" dbus-daemon openbox
host_py=(/usr/bin/python3 "$E2E_REPO/tests/e2e/sni_host.py")
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null ||
  e2e_skip "Debian's python3-dbus and python3-gi are not installed (scripts/setup-debian.sh test installs them)"
vk_wm_start || e2e_fail "the window manager did not start"

e2e_session_bus
items=$VK_DESKTOP_DIR/sni.items
host_pid=''
host_start() {
  rm -f "$items"
  "${host_py[@]}" watch "$items" >>"$VK_DESKTOP_DIR/sni_host.log" 2>&1 &
  host_pid=$!
  vk_on_exit "vk_stop_pid $host_pid"
  vk_wait_until 10 test -e "$items" || e2e_fail "the host did not take the watcher's name"
}
item_count_is() { [[ $(wc -l <"$items") -eq $1 ]]; }

host_start
e2e_start
main=$(e2e_wait_client_window 20 Velkrom)
vk_wait_until 10 item_count_is 1 || e2e_fail "the program registered no entry with the host"
e2e_key "$main" ctrl+t
e2e_expect_wm_state "$main" Withdrawn "Ctrl+T with a tray host"
vk_stop_pid "$host_pid"
vk_wait_until 2 e2e_wm_state_is "$main" Iconic ||
  e2e_fail "2 s after the host left the bus the window is $(e2e_wm_state "$main"), expected Iconic"

host_start
vk_wait_until 10 item_count_is 1 || e2e_fail "the entry did not come back to the new host"
vk_wait_until 1 e2e_wm_state_is "$main" Iconic || e2e_fail "the window left the window list"
xdotool windowactivate "$main" || e2e_fail "windowactivate failed"
e2e_expect_wm_state "$main" Normal "brought back from the window list"
item_count_is 1 || e2e_fail "the new host holds $(wc -l <"$items") entries, expected 1"
e2e_log "pass"
