#!/usr/bin/env bash
# Installs what is missing, builds Velkrom (Release) and starts it.
#
#   scripts/run.sh [/AUTO|/QUIT]                    the Linux program
#   scripts/run.sh --windows[=i686] [/AUTO|/QUIT]   the Windows program under
#                                                   Wine (x86_64 by default)
#
# On a desktop the program opens there. Without one (no DISPLAY) it runs on a
# private Xvfb with the trayer tray host, and a screenshot of its window goes
# to out/velkrom.png. It runs until it ends by itself, until Ctrl+C, or for
# VELKROM_RUN_SECONDS seconds when that is set; then it is closed through its
# normal exit (the tray entry is removed): the Linux program by SIGTERM, the
# Windows program by taskkill (WM_CLOSE). The Windows program runs in a fresh
# Wine prefix of its own, removed afterwards.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/desktop.sh
source "$repo/scripts/desktop.sh"

windows=''
case ${1:-} in
  --windows) windows=x86_64 ;;
  --windows=x86_64 | --windows=i686) windows=${1#--windows=} ;;
  --windows=*)
    echo "run: unknown Windows architecture '${1#--windows=}' (x86_64 or i686)" >&2
    exit 2
    ;;
esac
if [[ -n $windows ]]; then
  shift
  # shellcheck source=scripts/run-windows.sh
  source "$repo/scripts/run-windows.sh"
  vk_run_windows "$windows" "$@"
  exit
fi

"$repo/scripts/setup-debian.sh" run
# The program alone: a run needs neither the tests nor their libraries.
"$repo/scripts/build.sh" package velkrom

build_dir=${VK_BUILD_ROOT:-$repo/build}/package
# The build's own program, not a copy staged for a package (_CPack_Packages).
program=$(find "$build_dir" -name _CPack_Packages -prune -o \
  -type f -name velkrom -perm -u+x -print -quit)
if [[ -z $program ]]; then
  echo "run: the build produced no velkrom program under $build_dir" >&2
  exit 1
fi

headless=false
if [[ -z ${DISPLAY:-} ]]; then
  headless=true
  vk_desktop_start
  echo "run: no DISPLAY, so Velkrom runs on a private Xvfb ($DISPLAY) with trayer"
fi

"$program" "$@" &
pid=$!
vk_on_exit "vk_stop_pid $pid"

if $headless; then
  # /AUTO starts hidden: then the tray entry is what shows it is up.
  if vk_wait_until 20 vk_window_present Velkrom || vk_wait_until 5 vk_tray_count_is 1; then
    vk_screenshot "$repo/out/velkrom.png"
    echo "run: screenshot of the screen saved to $repo/out/velkrom.png"
  else
    echo "run: no Velkrom window or tray entry appeared within 20 s" >&2
  fi
fi

seconds=${VELKROM_RUN_SECONDS:-}
if [[ -n $seconds ]]; then
  echo "run: Velkrom (pid $pid) runs for $seconds s; Ctrl+C ends it sooner"
  if vk_wait_until "$seconds" vk__gone "$pid"; then
    wait "$pid"
    exit $?
  fi
  vk_stop_pid "$pid"
  echo "run: ended after $seconds s"
  exit 0
fi

echo "run: Velkrom (pid $pid) is running; Ctrl+C ends it"
status=0
wait "$pid" || status=$?
exit "$status"
