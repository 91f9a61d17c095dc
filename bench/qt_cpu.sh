#!/bin/bash
# CPU cost and refresh rate of the real Qt program with its window shown.
#
#   bench/qt_cpu.sh [path/to/velkrom] [seconds]
#
# Starts a virtual display (Xvfb) and a tray host (trayer, when installed)
# unless DISPLAY is already set, runs the program there, waits until its
# window is mapped, then measures over the given time (default 30 s):
#   - CPU: utime + stime of /proc/PID/stat, as a share of one core;
#   - refresh ticks per second, from the program's own count (VELKROM_STATS=1).
# Ends the program with SIGTERM, which unloads it through its normal path.
set -euo pipefail

program=${1:-build/release/velkrom}
seconds=${2:-30}
[[ -x $program ]] || { echo "no program at $program (build it first)" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "skipped: xdotool is not installed" >&2; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

if [[ -z ${DISPLAY:-} ]]; then
    command -v Xvfb >/dev/null || { echo "skipped: Xvfb is not installed" >&2; exit 77; }
    # -displayfd picks a free display number and tells it once the server is ready.
    Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
    pids+=("$!")
    for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
    DISPLAY=:$(cat "$work/display")
    export DISPLAY
    if command -v trayer >/dev/null; then
        trayer >/dev/null 2>&1 &
        pids+=("$!")
    fi
fi
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

VELKROM_STATS=1 "$program" 2>"$work/stats" &
app=$!
pids+=("$app")
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^Velkrom$' >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool search --onlyvisible --name '^Velkrom$' >/dev/null || { echo "the window did not show" >&2; exit 1; }

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
# The same time to the nanosecond, summed over the program's threads: the
# clock ticks of /proc/PID/stat are 10 ms coarse, a tenth of what is measured.
cpu_ns() { cat /proc/$app/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s }'; }
start_cpu=$(cpu_ticks)
start_run=$(cpu_ns)
start_ns=$(date +%s%N)
sleep "$seconds"
end_cpu=$(cpu_ticks)
end_run=$(cpu_ns)
end_ns=$(date +%s%N)
kill -TERM "$app"
wait "$app" || true

elapsed=$(awk -v a="$start_ns" -v b="$end_ns" 'BEGIN { print (b - a) / 1e9 }')
awk -v c=$((end_cpu - start_cpu)) -v hz="$hz" -v t="$elapsed" \
    'BEGIN { printf "cpu: %.2f%% of one core (%.2f s of CPU in %.1f s)\n", 100 * c / hz / t, c / hz, t }'
awk -v a="$start_run" -v b="$end_run" -v t="$elapsed" \
    'BEGIN { if (b > a) printf "cpu (scheduler, ns): %.2f%% of one core\n", 100 * (b - a) / 1e9 / t }'
grep -o 'velkrom: .*' "$work/stats" || { echo "no tick count reported" >&2; exit 1; }
