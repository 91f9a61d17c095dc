#!/usr/bin/env bash
# The About dialog's "&System Info..." of the Windows program: with neither
# registry value it shows the failure box; with the "PATH" value, in the
# registry view of the program's bitness, it starts that program (here the
# probe, which leaves a file next to itself). It is reached by the Tab
# order (OK, the icon, System Info), where Enter presses the focused
# button, and by its access key Alt+S.
#
#   sysinfo.sh ARCH VELKROM.EXE PROBE.EXE
set -euo pipefail
# shellcheck source=tests/e2e/win32/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
w32_begin sysinfo "$@"

tools=$WINEPREFIX/drive_c/tools
mkdir -p "$tools"
cp "$W32_PROBE" "$tools/msinfo32.exe"
started=$tools/started.txt
key='HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO'

e2e_start
main=$(e2e_main_window 30)
e2e_key "$main" F1
about=$(vk_wait_window 5 "About Velkrom") || e2e_fail "F1 did not open the About dialog"
e2e_key "$about" Tab Tab Return
box=$(vk_wait_window 10 Error) ||
  e2e_fail "Tab, Tab, Enter did not press System Info (no failure box without the registry values)"
e2e_screenshot failure-box
e2e_key "$box" Return
vk_wait_until 5 vk_window_absent Error || e2e_fail "Enter did not close the failure box"
vk_window_present "About Velkrom" || e2e_fail "the About dialog closed with the box"
[[ ! -e $started ]] || e2e_fail "a program was started without the registry values"

w32_reg add "$key" /v PATH /t REG_SZ /d 'C:\tools\msinfo32.exe' || e2e_fail "reg add failed"
e2e_key "$about" alt+s
vk_wait_until 10 test -e "$started" || e2e_fail "the program the PATH value names did not start"
vk_window_absent Error || e2e_fail "a failure box although the program started"
# The started program took the foreground while it ran (Wine gives the
# console program a console of its own, a conhost.exe); gone with its
# console, it leaves none behind, as a closed program on Windows does. The
# user comes back by activating the dialog, and after it the main window
# (e2e_key has openbox do that). Until the console's host has ended too,
# its going can still take the foreground from the dialog the user just
# activated, and keys typed there reach no window.
vk_wait_until 10 eval '! w32_running "msinfo32\.exe|conhost\.exe"' ||
  e2e_fail "the started program or its console did not end"

e2e_key "$about" Escape
vk_wait_until 5 vk_window_absent "About Velkrom" ||
  e2e_fail "Esc did not close the About dialog (Windows' foreground window and focus: $(w32_probe foreground))"
e2e_key "$main" ctrl+x
e2e_expect_exit 10 0
e2e_expect_tray 0
e2e_log "pass"
