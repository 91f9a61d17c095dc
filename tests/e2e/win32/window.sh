#!/usr/bin/env bash
# The Windows program's main window: "Velkrom" with a client area of 272 x
# 226 pixels at 96 DPI, the free bar showing the free share of physical
# memory, no before-freeing marker, and one entry in the tray host. F1
# opens "About Velkrom" and Esc closes it; File "E&xit" (Ctrl+X) ends the
# program with status 0 and takes the entry away.
#
#   window.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin window "$@"

e2e_start
main=$(e2e_main_window 30)
e2e_expect_tray 1
client=$(w32_client Velkrom)
[[ $client == "272 226" ]] || e2e_fail "the client area is $client pixels, expected 272 226"
vk_wait_until 5 w32_free_bar_is_share ||
  e2e_fail "the free bar is not the free share: $(w32_bars | tr '\n' ';')"
w32_markers_hidden "$main" || e2e_fail "markers shown before any freeing run"
e2e_screenshot window

e2e_key "$main" F1
about=$(vk_wait_window 5 "About Velkrom") || e2e_fail "F1 did not open the About dialog"
e2e_screenshot about
e2e_key "$about" Escape
vk_wait_until 5 vk_window_absent "About Velkrom" || e2e_fail "Esc did not close the About dialog"

e2e_key "$main" ctrl+x
e2e_expect_exit 10 0
e2e_expect_tray 0
e2e_log "pass"
