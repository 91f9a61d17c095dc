#!/usr/bin/env bash
# The tray entry of the Windows program: a left double-click hides the main
# window and the next shows it again; a right click opens the pop-up menu,
# whose "&Hide" hides the window and whose "&Exit" ends the program with
# status 0 and takes the entry away. A pop-up dismissed with Esc gives the
# foreground back: F1 typed to the main window then opens the About dialog.
#
#   tray.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin tray "$@"

e2e_start
main=$(e2e_main_window 30)
e2e_expect_tray 1
e2e_double_click_tray
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "a double-click did not hide the main window"
e2e_expect_tray 1
e2e_double_click_tray
main=$(e2e_main_window 5) || e2e_fail "a double-click did not show the main window again"
# The window manager activates the window shown again, and Wine makes it
# the foreground window a moment after it is mapped. A right click on the
# entry before that has the pop-up's owner take the foreground, then lose
# it to the main window, and the open pop-up gets no keys.
vk_wait_until 10 w32_foreground_is Velkrom ||
  e2e_fail "the main window shown again did not become the foreground window ($(w32_probe foreground))"

# The pop-up's hidden owner takes the foreground while the menu is open;
# dismissing the menu must not leave it there.
popup=$(e2e_open_tray_menu)
xdotool key Escape
vk_wait_until 5 vk_window_absent_id "$popup" ||
  e2e_fail "the pop-up stayed open after Esc (Windows' foreground window and focus: $(w32_probe foreground))"
e2e_key "$main" F1
about=$(vk_wait_window 15 "About Velkrom") ||
  e2e_fail "F1 after a dismissed pop-up did not open the About dialog"
e2e_key "$about" Escape
vk_wait_until 5 vk_window_absent "About Velkrom" || e2e_fail "Esc did not close the About dialog"

popup=$(w32_open_tray_menu)
e2e_screenshot popup
w32_menu_pick "$popup" first
vk_wait_until 5 vk_window_absent_id "$popup" || e2e_fail "the pop-up stayed open after its first item was clicked"
vk_wait_until 5 vk_window_absent Velkrom || e2e_fail "the pop-up's &Hide did not hide the window"

popup=$(w32_open_tray_menu)
w32_menu_pick "$popup" last
e2e_expect_exit 10 0
e2e_expect_tray 0
e2e_log "pass"
