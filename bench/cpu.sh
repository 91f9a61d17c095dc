#!/usr/bin/env bash
# CPU share and wake-ups of the real program beside a minimal program of the
# same toolkit (bench/anchor_qt.cpp, bench/anchor_win32.cpp: one window, six
# labels, a 10 ms timer), all running at the same time on one private
# desktop, so the machine's load weighs on each alike:
#   shown   the program with its window shown, and beside it the anchor and
#           anchor18, the anchor asking the system as often as the program's
#           refresh does (each of its figures afresh: eighteen queries a
#           tick, VK_ANCHOR_QUERIES=18), so that the ratio to anchor18 is what
#           the rest of the program costs over the toolkit's least;
#   hidden  a normal start hidden with Ctrl+T (the watch off);
#   auto    a /AUTO start (hidden, the watch on).
#
#   bench/cpu.sh [SECONDS] [linux|wine|both]
#
# Programs (defaults: the release and mingw-x86_64 builds):
#   VK_QT_PROGRAM, VK_QT_ANCHOR, VK_WIN32_PROGRAM, VK_WIN32_ANCHOR
# Per process it prints the CPU share of one core (the scheduler's
# nanoseconds over all its threads), wake-ups per second (its threads'
# context switches: each time one of them was put to sleep or taken off the
# processor), the refresh ticks per second of the shown ones (their own count,
# VELKROM_STATS=1) and the shown program's ratios to both anchors. Under Wine
# each runs in a prefix of its own, and its wineserver's share is named
# beside it: every message and timer of a Windows program is a request there
# (idle.server: a prefix's server with no program of ours). Wake-ups count
# context switches, so a wake-up of a Windows program that makes requests to
# its server counts several times.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
which=${2:-both}
qt_program=${VK_QT_PROGRAM:-$repo/build/release/velkrom}
qt_anchor=${VK_QT_ANCHOR:-$repo/build/release/bench/anchor_qt}
win_program=${VK_WIN32_PROGRAM:-$repo/build/mingw-x86_64/velkrom.exe}
win_anchor=${VK_WIN32_ANCHOR:-$repo/build/mingw-x86_64/bench/anchor_win32.exe}
# shellcheck source=scripts/desktop.sh
source "$repo/scripts/desktop.sh"
if missing=$(vk_desktop_missing); then echo "skipped: $missing is not installed" >&2; exit 77; fi

# Sums printed as whole numbers: mawk prints a sum above 2^31 as 2.9e+09,
# which the shell cannot subtract.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { printf "%.0f\n", s }'
}
# The tick rate a program printed at its end, or "-".
rate() { grep -o '([0-9.]* per second)' "$1" 2>/dev/null | tr -d '(' | awk '{ print $1 }' || echo -; }

# measure NAME=PID ...: samples every process over SECONDS and prints
# "NAME cpu% wakeups/s" per line to measured.txt.
measure() {
  local pair name pid
  declare -A cpu0 sw0 cpu1 sw1
  for pair in "$@"; do
    pid=${pair#*=}
    cpu0[$pid]=$(cpu_ns "$pid")
    sw0[$pid]=$(switches "$pid")
  done
  local t0 t1
  t0=$(vk__now_us)
  sleep "$seconds"
  t1=$(vk__now_us)
  for pair in "$@"; do
    pid=${pair#*=}
    cpu1[$pid]=$(cpu_ns "$pid")
    sw1[$pid]=$(switches "$pid")
  done
  for pair in "$@"; do
    name=${pair%%=*}
    pid=${pair#*=}
    awk -v n="$name" -v c=$((cpu1[$pid] - cpu0[$pid])) -v s=$((sw1[$pid] - sw0[$pid])) \
      -v t=$((t1 - t0)) 'BEGIN { printf "%s %.3f %.1f\n", n, 100 * c / 1000 / t, s * 1e6 / t }'
  done >"$VK_DESKTOP_DIR/measured.txt"
}

# report PLATFORM: the table of measured.txt with the tick rates and ratios.
report() {
  local platform=$1
  echo "== $platform, $seconds s, load average $(cut -d' ' -f1-3 /proc/loadavg)"
  printf '%-18s %9s %11s %9s\n' process 'cpu %' 'wake-ups/s' 'ticks/s'
  local name cpu wakes shown_cpu='' anchor_cpu='' anchor18_cpu=''
  while read -r name cpu wakes; do
    printf '%-18s %9s %11s %9s\n' "$name" "$cpu" "$wakes" "$(rate "$VK_DESKTOP_DIR/$name.err")"
    [[ $name == shown ]] && shown_cpu=$cpu
    [[ $name == anchor ]] && anchor_cpu=$cpu
    [[ $name == anchor18 ]] && anchor18_cpu=$cpu
  done <"$VK_DESKTOP_DIR/measured.txt"
  [[ -n $shown_cpu && -n $anchor_cpu ]] &&
    awk -v a="$shown_cpu" -v b="$anchor_cpu" 'BEGIN { if (b > 0) printf "ratio shown / anchor: %.2f\n", a / b }'
  [[ -n $shown_cpu && -n $anchor18_cpu ]] &&
    awk -v a="$shown_cpu" -v b="$anchor18_cpu" 'BEGIN { if (b > 0) printf "ratio shown / anchor18: %.2f\n", a / b }'
  return 0
}

# hide ID PLATFORM: Ctrl+T into the window once it holds the keyboard focus
# (a window just mapped may not take it yet), then waits until it is gone.
hide() {
  local id=$1 platform=$2
  vk_wait_until 10 focus_on "$id" || { echo "$platform: the window did not take the focus" >&2; return 1; }
  xdotool key --clearmodifiers ctrl+t
  vk_wait_until 10 vk_window_absent Velkrom || { echo "$platform: Ctrl+T did not hide" >&2; return 1; }
}
focus_on() {
  xdotool windowfocus "$1" 2>/dev/null
  (($(xdotool getwindowfocus 2>/dev/null || echo 0) == $1))
}

two_anchors() { (($(vk_window Anchor | wc -l) == 2)); }

linux() {
  [[ -x $qt_program && -x $qt_anchor ]] || { echo "linux: build $qt_program and $qt_anchor first" >&2; return 0; }
  (
    vk_desktop_start
    local hidden auto shown anchor anchor18 id
    VELKROM_STATS=1 "$qt_program" 2>"$VK_DESKTOP_DIR/hidden.err" &
    hidden=$!
    vk_on_exit "vk_stop_pid $hidden"
    id=$(vk_wait_window 20 Velkrom) || { echo "linux: the window did not show" >&2; exit 1; }
    hide "$id" linux || exit 1
    VELKROM_STATS=1 "$qt_program" /AUTO 2>"$VK_DESKTOP_DIR/auto.err" &
    auto=$!
    vk_on_exit "vk_stop_pid $auto"
    vk_wait_until 20 vk_tray_count_is 2 || { echo "linux: no tray entry for /AUTO" >&2; exit 1; }
    VELKROM_STATS=1 "$qt_program" 2>"$VK_DESKTOP_DIR/shown.err" &
    shown=$!
    vk_on_exit "vk_stop_pid $shown"
    VELKROM_STATS=1 "$qt_anchor" 2>"$VK_DESKTOP_DIR/anchor.err" &
    anchor=$!
    vk_on_exit "vk_stop_pid $anchor"
    VELKROM_STATS=1 VK_ANCHOR_QUERIES=18 "$qt_anchor" 2>"$VK_DESKTOP_DIR/anchor18.err" &
    anchor18=$!
    vk_on_exit "vk_stop_pid $anchor18"
    if ! vk_wait_window 20 Velkrom >/dev/null || ! vk_wait_until 20 two_anchors; then
      echo "linux: the windows did not show" >&2
      exit 1
    fi
    measure shown="$shown" anchor="$anchor" anchor18="$anchor18" hidden="$hidden" auto="$auto"
    for pid in "$shown" "$anchor" "$anchor18" "$hidden" "$auto"; do vk_stop_pid "$pid"; done
    report "Linux (Qt)"
  )
}

wine_() {
  [[ -f $win_program && -f $win_anchor ]] || { echo "wine: build $win_program and $win_anchor first" >&2; return 0; }
  # shellcheck source=scripts/wine.sh
  source "$repo/scripts/wine.sh"
  # shellcheck source=scripts/wine-desktop.sh
  source "$repo/scripts/wine-desktop.sh"
  if why=$(vk_wine_missing x86_64); then echo "wine: skipped: $why" >&2; return 0; fi
  (
    vk_desktop_start
    declare -A prefix pid server
    local name
    # One prefix (and wineserver) each, readied before anything is measured;
    # "idle" runs no program: its server's share is what Wine's own
    # processes of a prefix cost without ours.
    for name in idle hidden auto shown anchor anchor18; do
      vk_wine_prefix_new
      prefix[$name]=$WINEPREFIX
      vk_on_exit "WINEPREFIX=${prefix[$name]} vk_wine_end"
      vk_wine_serve
      vk_wine_desktop x86_64
    done
    start() {
      local name=$1 program=$2
      shift 2
      export WINEPREFIX=${prefix[$name]}
      VELKROM_STATS=1 vk_wine_start x86_64 "$program" "$@" 2>"$VK_DESKTOP_DIR/$name.err"
      pid[$name]=$!
      vk_on_exit "WINEPREFIX=${prefix[$name]} vk_wine_close x86_64 ${pid[$name]} $(basename "$program")"
    }
    start hidden "$win_program"
    id=$(vk_wait_window 30 Velkrom) || { echo "wine: the window did not show" >&2; exit 1; }
    hide "$id" wine || exit 1
    start auto "$win_program" /AUTO
    vk_wait_until 30 vk_tray_count_is 2 || { echo "wine: no tray entry for /AUTO" >&2; exit 1; }
    start shown "$win_program"
    start anchor "$win_anchor"
    VK_ANCHOR_QUERIES=18 start anchor18 "$win_anchor"
    if ! vk_wait_window 30 Velkrom >/dev/null || ! vk_wait_until 30 two_anchors; then
      echo "wine: the windows did not show" >&2
      exit 1
    fi
    # Each prefix's wineserver, told apart by its environment.
    local s
    for name in idle hidden auto shown anchor anchor18; do
      for s in $(pgrep -x wineserver || pgrep wineserver); do
        { tr '\0' '\n' <"/proc/$s/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=${prefix[$name]}" &&
          server[$name]=$s
      done
    done
    local pairs=()
    for name in shown anchor anchor18 hidden auto idle; do
      [[ -n ${pid[$name]:-} ]] && pairs+=("$name=${pid[$name]}")
      [[ -n ${server[$name]:-} ]] && pairs+=("$name.server=${server[$name]}")
    done
    measure "${pairs[@]}"
    for name in shown anchor anchor18 hidden auto; do
      WINEPREFIX=${prefix[$name]} vk_wine_close x86_64 "${pid[$name]}" \
        "$(basename "$([[ $name == anchor* ]] && echo "$win_anchor" || echo "$win_program")")"
    done
    report "Windows program under Wine (x86_64)"
  )
}

case $which in
  linux) linux ;;
  wine) wine_ ;;
  both) linux && wine_ ;;
  *) echo "usage: $0 [SECONDS] [linux|wine|both]" >&2; exit 2 ;;
esac
