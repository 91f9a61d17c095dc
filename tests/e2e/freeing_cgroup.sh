#!/usr/bin/env bash
# A freeing run whose 160,000,000 bytes do not fit in the program's v1
# memory cgroup is refused with the box titled "Error" instead of the
# kernel's OOM killer ending the program: the program is moved into a fresh
# child cgroup limited to its usage + 100 MiB, Ctrl+F shows the box, and after
# OK the program is still running, the status line reads "Ready", the refresh
# goes on, the tray entry is there and the cgroup has killed nothing.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin freeing_cgroup "$1"

# The mount of the v1 hierarchy that holds the memory controller: its root
# (the cgroup shown there) and its mount point.
read -r root point < <(awk '{
    for (i = 7; i < NF && $i != "-"; i++) {}
    if ($(i + 1) == "cgroup" && ("," $(i + 3) ",") ~ /,memory,/) { print $4, $5; exit }
  }' /proc/self/mountinfo) || true
[[ -n ${point:-} ]] || e2e_skip "no v1 memory controller is mounted"

# The child goes below the memory cgroup the program starts in (this
# shell's), so every limit it was under still holds.
path=$(awk -F: '$2 ~ /(^|,)memory(,|$)/ { print $3 }' /proc/self/cgroup)
[[ $root == / ]] || path=${path#"$root"}
parent=${point%/}${path%/}
cg=$parent/velkrom-e2e-$$
mkdir "$cg" 2>/dev/null ||
  e2e_skip "cannot create a memory cgroup under $parent (not root, or mounted read-only)"
# Runs before the program is stopped: whatever is still inside goes back to
# the parent, so the empty cgroup can be removed.
cg_remove() {
  local pid
  while read -r pid; do echo "$pid" >"$parent/cgroup.procs"; done <"$cg/cgroup.procs"
  rmdir "$cg"
}
vk_on_exit cg_remove

e2e_start
main=$(e2e_main_window)
e2e_expect_tray 1
ready=$(e2e_status_digest "$main")

echo "$E2E_PID" >"$cg/cgroup.procs" || e2e_fail "could not move the program into $cg"
# What the program used before the move stays charged to the parent; the
# limit leaves 100 MiB for what it charges from now on: room for the box,
# far too little for the block.
usage=$(<"$cg/memory.usage_in_bytes")
echo $((usage + (100 << 20))) >"$cg/memory.limit_in_bytes" ||
  e2e_fail "could not limit $cg"
e2e_log "cgroup $cg limited to $((usage >> 20)) MiB + 100 MiB"

e2e_key "$main" ctrl+f
if ! box=$(vk_wait_window 10 Error); then
  status=running
  if vk__gone "$E2E_PID"; then
    status=0
    wait "$E2E_PID" || status=$?
    E2E_PID=''
  fi
  e2e_fail "no box titled Error appeared after Ctrl+F (program: $status)"
fi
e2e_screenshot freeing-cgroup-box

e2e_ok_goes_on "$box" "$main" "$ready"
e2e_expect_tray 1

# The refusal came from the program, not from the kernel: the cgroup never
# ran out of memory (oom_kill is missing on kernels before 4.13).
grep -qx "$E2E_PID" "$cg/cgroup.procs" || e2e_fail "the program left $cg"
oom=$(<"$cg/memory.oom_control")
e2e_log "$(tr '\n' ' ' <<<"$oom")failcnt $(<"$cg/memory.failcnt")"
grep -qx 'under_oom 0' <<<"$oom" || e2e_fail "the cgroup is out of memory: $oom"
grep -q '^oom_kill [1-9]' <<<"$oom" && e2e_fail "the cgroup's OOM killer ran: $oom"

e2e_stop_program
e2e_log "pass"
