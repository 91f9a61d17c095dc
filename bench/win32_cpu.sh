#!/usr/bin/env bash
# CPU cost and refresh rate of the Windows program under Wine with its
# window shown, measured as bench/qt_cpu.sh measures the Linux program.
#
#   bench/win32_cpu.sh [path/to/velkrom.exe] [seconds] [x86_64|i686]
#
# Runs the program on a private Xvfb with trayer, in a fresh Wine prefix,
# waits until its window is mapped, then measures over the given time
# (default 30 s):
#   - CPU of the program's process (utime + stime of /proc/PID/stat and the
#     scheduler's nanoseconds), as a share of one core;
#   - CPU of the prefix's wineserver over the same time: every message and
#     timer of the program is a request to it, so it is part of the cost;
#   - refresh ticks per second, from the program's own count (VELKROM_STATS=1).
# Closes the program with taskkill (its normal exit) to get the count.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=${1:-build/mingw-x86_64/velkrom.exe}
seconds=${2:-30}
arch=${3:-x86_64}
[[ -f $program ]] || { echo "no program at $program (build it first)" >&2; exit 2; }
# shellcheck source=scripts/desktop.sh
source "$repo/scripts/desktop.sh"
# shellcheck source=scripts/wine.sh
source "$repo/scripts/wine.sh"
# shellcheck source=scripts/wine-desktop.sh
source "$repo/scripts/wine-desktop.sh"
if why=$(vk_wine_missing "$arch"); then echo "skipped: $why" >&2; exit 77; fi
if missing=$(vk_desktop_missing); then echo "skipped: $missing is not installed" >&2; exit 77; fi

vk_desktop_start
vk_wine_prefix_new
vk_on_exit vk_wine_end
vk_wine_serve
vk_wine_desktop "$arch"
stats=$VK_DESKTOP_DIR/stats
VELKROM_STATS=1 vk_wine_start "$arch" "$program" 2>"$stats"
app=$!
vk_on_exit "vk_wine_close $arch $app $(basename "$program")"
vk_wait_until 30 vk_window_present Velkrom || { echo "the window did not show" >&2; exit 1; }

# The wineserver of this prefix, told apart from others by its environment.
server=''
for pid in $(pgrep wineserver); do
  if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
    server=$pid
  fi
done

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
start_app=$(cpu_ticks "$app")
start_app_ns=$(cpu_ns "$app")
start_server_ns=$([[ -n $server ]] && cpu_ns "$server" || echo 0)
start_ns=$(date +%s%N)
sleep "$seconds"
end_app=$(cpu_ticks "$app")
end_app_ns=$(cpu_ns "$app")
end_server_ns=$([[ -n $server ]] && cpu_ns "$server" || echo 0)
end_ns=$(date +%s%N)
vk_wine_close "$arch" "$app" "$(basename "$program")"

elapsed=$(awk -v a="$start_ns" -v b="$end_ns" 'BEGIN { print (b - a) / 1e9 }')
awk -v c=$((end_app - start_app)) -v hz="$hz" -v t="$elapsed" \
  'BEGIN { printf "cpu: %.2f%% of one core (%.2f s of CPU in %.1f s)\n", 100 * c / hz / t, c / hz, t }'
awk -v a="$start_app_ns" -v b="$end_app_ns" -v t="$elapsed" \
  'BEGIN { printf "cpu (scheduler, ns): %.2f%% of one core\n", 100 * (b - a) / 1e9 / t }'
if [[ -n $server ]]; then
  awk -v a="$start_server_ns" -v b="$end_server_ns" -v t="$elapsed" \
    'BEGIN { printf "wineserver (scheduler, ns): %.2f%% of one core\n", 100 * (b - a) / 1e9 / t }'
fi
grep -o 'velkrom: .*' "$stats" || { echo "no tick count reported" >&2; exit 1; }
