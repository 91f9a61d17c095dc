# shellcheck shell=bash
# Shared by the end-to-end tests of the Windows program. A test sources this
# file and calls `w32_begin NAME ARCH PROGRAM PROBE`: it gets its own private
# Xvfb with the trayer tray host (as the Qt program's tests do), the openbox
# window manager, as a user's desktop has one, and its own fresh Wine
# prefix, whose server stays up between the program's starts. The windows
# are looked up inside openbox's frames and activated through it
# (tests/e2e/lib.sh, scripts/desktop.sh).
# The waits, the tray and the window helpers are the Qt tests' own
# (tests/e2e/lib.sh); starting and ending the program goes through Wine.
#
# Exit status: 0 pass, 1 fail, 77 skip. Every wait polls its condition.

# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
# shellcheck source=scripts/wine.sh
source "$E2E_REPO/scripts/wine.sh"
# shellcheck source=scripts/wine-desktop.sh
source "$E2E_REPO/scripts/wine-desktop.sh"

# w32_begin NAME ARCH PROGRAM PROBE [LOGPIXELS]: skips when ARCH or a desktop
# tool cannot run here; otherwise starts the desktop and the prefix, at
# LOGPIXELS dots per inch when given.
w32_begin() {
  E2E_NAME=$1-$2
  W32_ARCH=$2
  E2E_PROGRAM=$3
  W32_PROBE=$4
  local dpi=${5:-}
  E2E_OUT=${VK_E2E_OUT:-$E2E_REPO/out/e2e-win32}
  mkdir -p "$E2E_OUT"
  rm -f "$E2E_OUT/$E2E_NAME-failure.png"
  local missing why
  if missing=$(vk_desktop_missing); then
    e2e_skip "$missing is not installed (scripts/setup-debian.sh test installs it)"
  fi
  command -v openbox >/dev/null 2>&1 ||
    e2e_skip "openbox is not installed (scripts/setup-debian.sh test installs it)"
  if why=$(vk_wine_missing "$W32_ARCH"); then
    e2e_skip "$W32_ARCH Windows programs cannot run here: $why"
  fi
  [[ -f $E2E_PROGRAM ]] || e2e_fail "no program at '$E2E_PROGRAM'"
  [[ -f $W32_PROBE ]] || e2e_fail "no probe at '$W32_PROBE'"
  # The tray's panel keeps its width, as a desktop's panel does: one that
  # grows through the window manager while Wine docks an entry into it can
  # leave that entry blank and deaf to clicks.
  VK_TRAY_WIDTH=64 vk_desktop_start || e2e_fail "the private desktop did not start"
  vk_wm_start || e2e_fail "the window manager did not start"
  vk_wine_prefix_new || e2e_fail "no Wine prefix"
  vk_on_exit vk_wine_end
  vk_wine_serve
  vk_wine_desktop "$W32_ARCH" || e2e_fail "the Wine prefix could not be readied"
  if [[ -n $dpi ]]; then
    w32_reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" ||
      e2e_fail "could not set $dpi DPI"
  fi
  vk_on_exit e2e__stop_program
  e2e_log "desktop $DISPLAY, prefix $WINEPREFIX"
}

# Whether a process of this test's Wine prefix runs whose command line
# matches the pattern (other tests' prefixes run beside it).
w32_running() {
  local pid
  for pid in $(pgrep -f "$1"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# Wine's reg in the registry view of the program under test.
w32_reg() {
  local view=64
  [[ $W32_ARCH == i686 ]] && view=32
  vk_wine_run "$W32_ARCH" reg "$@" "/reg:$view" /f >/dev/null 2>&1
}

# Starts the program with the given arguments; E2E_PID is its pid and its
# exit status the program's.
e2e_start() {
  E2E_PROGRAM_LOG=$VK_DESKTOP_DIR/program.log
  echo "--- velkrom $*" >>"$E2E_PROGRAM_LOG"
  vk_wine_start "$W32_ARCH" "$E2E_PROGRAM" "$@" >>"$E2E_PROGRAM_LOG" 2>&1
  E2E_PID=$!
  E2E_STARTED_US=$(vk__now_us)
}

# Ends the program and waits until its tray entry is gone. Wine ends it at
# once (no message reaches it), so the tray host loses the entry with its
# window.
e2e_stop_program() {
  e2e__stop_program
  e2e_expect_tray 0
}

# Right-clicks the tray entry and prints the program's pop-up menu's window
# id: a new top-level window of the program's own (the tray entry's tooltip,
# which Wine's explorer.exe shows, may come up too).
w32_open_tray_menu() {
  local before popup
  before=$(e2e_mapped_windows)
  vk_click_at "$(e2e_tray_icon)" 3 || e2e_fail "could not click the tray entry"
  popup=$(vk_wait_until 5 w32__new_program_window "$before") ||
    e2e_fail "no pop-up menu opened on a right click"
  echo "$popup" | tail -n 1
}
w32__new_program_window() {
  local id class
  class="\"$(basename "$E2E_PROGRAM")\""
  for id in $(e2e_mapped_windows); do
    grep -qx "$id" <<<"$1" && continue
    xprop -id "$id" WM_CLASS 2>/dev/null | grep -qF "= $class," || continue
    echo "$id"
    return 0
  done
  return 1
}

# w32_menu_pick POPUP first|last: clicks the first or the last item of the
# open pop-up menu POPUP (the tray's: "&Hide" or "&Show", a separator,
# "&Exit"), 6 pixels inside its edge, within any item's height. With the
# mouse, as a user picks them: under the window manager the keyboard's
# focus stays with the manager's own window while Wine's pop-up is open, so
# typed keys would reach no window of Wine's. The click waits until the
# menu has drawn its items (it takes clicks from then on) and until the
# pointer is on the menu itself (the tray entry's tooltip may lie over it
# until the pointer leaves the entry).
w32_menu_pick() {
  local popup=$1 which=$2 geometry x y w h
  vk_wait_until 5 e2e_drawn "$popup" || e2e_fail "the pop-up menu $popup was not drawn"
  geometry=$(vk_geometry "$popup")
  [[ -n $geometry ]] || e2e_fail "the pop-up menu $popup is gone"
  read -r x y w h <<<"$geometry"
  if [[ $which == first ]]; then y=$((y + 6)); else y=$((y + h - 7)); fi
  xdotool mousemove $((x + w / 2)) "$y" || e2e_fail "could not move onto the pop-up menu"
  vk_wait_until 5 w32__pointer_on "$popup" || e2e_fail "the pointer is not on the pop-up menu"
  xdotool click 1 || e2e_fail "could not click the pop-up menu"
}
# The top-level window under the pointer is WINDOW.
w32__pointer_on() {
  local WINDOW=0
  eval "$(xdotool getmouselocation --shell 2>/dev/null)"
  ((WINDOW == $1))
}

# Runs the probe inside the prefix.
w32_probe() { vk_wine_run "$W32_ARCH" "$W32_PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# The client area of the window TITLE, "W H", once the probe finds the
# window (seen once under load: a probe that answered nothing although the
# window was up).
w32_client() {
  vk_wait_until 10 w32__client_known "$1" || return 0
  w32_probe client "$1"
}
# Windows' foreground window has this title.
w32_foreground_is() { [[ $(w32_probe foreground) == "$1|"* ]]; }
w32__client_known() { [[ -n $(w32_probe client "$1") ]]; }

# Wine's own programs of the prefix, with the program's bitness.
w32_wine() { vk_wine_run "$W32_ARCH" "$@" >/dev/null 2>&1; }

# Types a key combination into the window with this X id.
w32_key() { e2e_key "$@"; }

# The bars as the probe reads them: one line per bar, "BAR FREE" (outer
# widths in pixels), then "memory AVAIL TOTAL".
w32_bars() { w32_probe bars; }

# The physical memory's free bar is the free share of its bar, to within
# two pixels (the figures move a little between the two readings).
w32_free_bar_is_share() {
  w32_bars | awk '
    NR == 1 { bar = $1; free = $2 }
    $1 == "memory" { avail = $2; total = $3 }
    END {
      if (!bar || !total) exit 1
      d = free - avail / total * bar
      exit (d < -2 || d > 2)
    }'
}

# w32_pixels_into VAR WINDOW R G B: how many pixels of the window with this
# X id have exactly the colour, 0 when it cannot be read.
# shellcheck disable=SC2034  # vk__pixels names the caller's variable
w32_pixels_into() {
  local -n vk__pixels=$1
  shift
  vk_capture vk__pixels vk_xprobe count "$@" 2>/dev/null || vk__pixels=0
}
# The before-freeing markers are the only pixels of their colour.
w32_markers_shown() {
  local n
  w32_pixels_into n "$1" 0 192 0
  ((n > 0))
}
w32_markers_hidden() {
  local n
  w32_pixels_into n "$1" 0 192 0
  ((n == 0))
}
