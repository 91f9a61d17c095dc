# shellcheck shell=bash
# The Windows side of scripts/run.sh: builds velkrom.exe with MinGW-w64 and
# runs it under Wine, on the desktop or on a private Xvfb. Sourced by run.sh
# after scripts/desktop.sh.

vk_run_windows() {
  local arch=$1 why program pid headless=false seconds status=0
  shift
  # shellcheck source=scripts/wine.sh
  source "$repo/scripts/wine.sh"
  # shellcheck source=scripts/wine-desktop.sh
  source "$repo/scripts/wine-desktop.sh"

  # The MinGW compilers and Wine come with the test set-up.
  "$repo/scripts/setup-debian.sh" test
  if why=$(vk_wine_missing "$arch"); then
    echo "run: the $arch Windows program cannot run here: $why" >&2
    return 1
  fi
  "$repo/scripts/build.sh" "mingw-$arch" velkrom
  program=${VK_BUILD_ROOT:-$repo/build}/mingw-$arch/velkrom.exe
  [[ -f $program ]] || {
    echo "run: the build produced no $program" >&2
    return 1
  }

  if [[ -z ${DISPLAY:-} ]]; then
    headless=true
    vk_desktop_start
    echo "run: no DISPLAY, so Velkrom runs on a private Xvfb ($DISPLAY) with trayer"
  fi
  vk_wine_prefix_new
  vk_on_exit vk_wine_end
  if $headless; then
    vk_wine_desktop "$arch"
  else
    vk_wine_windows
  fi

  vk_wine_start "$arch" "$program" "$@"
  pid=$!
  vk_on_exit "vk_wine_close $arch $pid velkrom.exe"

  if $headless; then
    # /AUTO starts hidden: then the tray entry is what shows it is up.
    if vk_wait_until 30 vk_window_present Velkrom || vk_wait_until 5 vk_tray_count_is 1; then
      vk_screenshot "$repo/out/velkrom.png"
      echo "run: screenshot of the screen saved to $repo/out/velkrom.png"
    else
      echo "run: no Velkrom window or tray entry appeared within 30 s" >&2
    fi
  fi

  seconds=${VELKROM_RUN_SECONDS:-}
  if [[ -n $seconds ]]; then
    echo "run: Velkrom ($arch, pid $pid) runs for $seconds s; Ctrl+C ends it sooner"
    if vk_wait_until "$seconds" vk__gone "$pid"; then
      wait "$pid" || status=$?
      return "$status"
    fi
    vk_wine_close "$arch" "$pid" velkrom.exe
    echo "run: ended after $seconds s"
    return 0
  fi
  echo "run: Velkrom ($arch, pid $pid) is running under Wine; Ctrl+C ends it"
  wait "$pid" || status=$?
  return "$status"
}
