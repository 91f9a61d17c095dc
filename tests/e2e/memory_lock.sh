#!/usr/bin/env bash
# The free-memory lock that the markers tests take turns through: held, no
# other process can take it; given back, another can take it at once, even
# while a program started under it still runs; held at the test's end, it
# is given back after every other cleanup (the program's end, the desktop's)
# and not before.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
E2E_NAME=memory_lock
dir=$(mktemp -d)
vk_on_exit "rm -rf '$dir'"
# A lock of this test's own, so that markers tests running now are not held up.
export E2E_MEMORY_LOCK=$dir/lock
taken_elsewhere() { flock -n "$E2E_MEMORY_LOCK" true; }

e2e_hold_free_memory
! taken_elsewhere || e2e_fail "another process took the lock while it was held"
sleep 60 >/dev/null 2>&1 &
vk_on_exit "kill $!"
e2e_release_free_memory
taken_elsewhere || e2e_fail "the lock stayed held after it was given back, while a program started under it ran"

# A test that ends holding the lock: its cleanups see it held, and once the
# test has ended it is free.
bash -c '
  source "$1"
  vk_on_exit "flock -n \"\$E2E_MEMORY_LOCK\" true && echo free-during-cleanup >\"$2\" || echo held-during-cleanup >\"$2\""
  e2e_hold_free_memory
  sleep 60 >/dev/null 2>&1 &
  echo $! >"$2.program"
' _ "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$dir/cleanup"
vk_on_exit "kill $(<"$dir/cleanup.program")"
[[ $(<"$dir/cleanup") == held-during-cleanup ]] ||
  e2e_fail "the lock was given back before the test's other cleanups: $(<"$dir/cleanup")"
taken_elsewhere || e2e_fail "the lock stayed held after the test holding it ended"
e2e_log "pass"
