#!/usr/bin/env bash
# A freeing run that cannot get its 160,000,000 bytes fails cleanly: with
# the address space limited (prlimit --as on the running program) Ctrl+F
# shows the box titled "Error"; after OK the status line reads "Ready" again
# and the refresh goes on. The program is not killed and does not end.
# SIGTERM while the box waits ends the program at once, without OK.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin freeing_error "$1" prlimit

e2e_start
main=$(e2e_main_window)
e2e_expect_tray 1
ready=$(e2e_status_digest "$main")

# Leave 64 MB of address space above what the program maps now: room for
# the message box, far too little for the block.
vm_kb=$(awk '/^VmSize:/ { print $2 }' "/proc/$E2E_PID/status")
limit=$(((vm_kb + 65536) * 1024))
prlimit --pid "$E2E_PID" --as="$limit" || e2e_fail "prlimit could not limit the program"
e2e_log "address space limited to $((limit >> 20)) MB (mapped now: $((vm_kb >> 10)) MB)"

e2e_key "$main" ctrl+f
box=$(vk_wait_window 10 Error) || e2e_fail "no box titled Error appeared after Ctrl+F"
e2e_screenshot freeing-error-box
held=$(e2e_reads)
# The run wrote its status before it failed; "Ready" comes only after OK.
e2e_status_is "$main" "$ready" && e2e_fail "the status line read Ready while the error box waited"

e2e_ok_goes_on "$box" "$main" "$ready"
e2e_log "reads: $held while the box was up, $E2E_READS_AFTER_OK after OK, $(e2e_reads) now"
e2e_screenshot freeing-error-after
vk_window_present Velkrom || e2e_fail "the main window is gone"

# SIGTERM while the box waits does not wait for OK: the box closes, the
# program ends through its normal exit, status 0, and takes its tray entry
# with it. Within 5 s, as the other exits: a second was too little for the
# sanitizer build beside a compiler.
e2e_key "$main" ctrl+f
vk_wait_window 10 Error >/dev/null || e2e_fail "no box titled Error appeared after the second Ctrl+F"
sent_us=$(vk__now_us)
kill -TERM "$E2E_PID"
e2e_expect_exit 5 0
e2e_log "SIGTERM with the box open: ended after $((($(vk__now_us) - sent_us) / 1000)) ms"
e2e_expect_tray 0
e2e_log "pass"
