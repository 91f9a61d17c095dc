#!/usr/bin/env bash
# F1 opens the About dialog centred on the main window, which takes no input
# while the dialog is open; Esc and Enter close the dialog again, and so does
# Enter after Tab has moved the focus from OK to the icon.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin about "$1"

e2e_start
main=$(e2e_main_window)
e2e_expect_tray 1

for close_key in Escape Return; do
  e2e_key "$main" F1
  about=$(vk_wait_window 5 "About Velkrom") || e2e_fail "F1 did not open the About dialog"
  [[ $close_key == Escape ]] && e2e_screenshot about-dialog

  read -r mx my mw mh <<<"$(vk_geometry "$main")"
  read -r ax ay aw ah <<<"$(vk_geometry "$about")"
  dx=$(((ax + aw / 2) - (mx + mw / 2)))
  dy=$(((ay + ah / 2) - (my + mh / 2)))
  ((dx * dx <= 4 && dy * dy <= 4)) ||
    e2e_fail "the About dialog is off the main window's centre by ($dx, $dy) px"

  # The main window is disabled: its Ctrl+X must not end the program. Keys
  # reach the program in order, so once the dialog has handled its own key
  # the Ctrl+X has been dealt with too.
  e2e_key "$main" ctrl+x
  e2e_key "$about" "$close_key"
  vk_wait_until 5 vk_window_absent "About Velkrom" || e2e_fail "$close_key did not close the About dialog"
  vk__gone "$E2E_PID" && e2e_fail "Ctrl+X reached the main window while the About dialog was open"
  vk_window_present Velkrom || e2e_fail "the main window went away with the About dialog"
done

# Tab goes from OK to the icon; Enter there presses the default button OK
# (on "&System Info..." it would start the tool or show the error box).
e2e_key "$main" F1
about=$(vk_wait_window 5 "About Velkrom") || e2e_fail "F1 did not open the About dialog"
e2e_key "$about" Tab
e2e_screenshot about-icon-focused
e2e_key "$about" Return
vk_wait_until 5 vk_window_absent "About Velkrom" || e2e_fail "F1, Tab, Enter did not close the About dialog"
vk_window_absent Error || e2e_fail "F1, Tab, Enter pressed System Info"

# Enabled again: Ctrl+X now ends the program.
e2e_key "$main" ctrl+x
e2e_expect_exit 5 0
e2e_log "pass"
