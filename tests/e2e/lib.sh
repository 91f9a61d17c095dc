# shellcheck shell=bash
# Shared by the end-to-end tests. A test sources this file, calls
# `e2e_begin NAME PROGRAM`, and gets its own private Xvfb with the trayer tray
# host; everything it started is stopped when it exits, on every path.
#
# Exit status: 0 pass, 1 fail, 77 skip (ctest's SKIP_RETURN_CODE). A test is
# never re-run; every wait polls its condition against a deadline.

E2E_SKIP=77
E2E_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=scripts/desktop.sh
source "$E2E_REPO/scripts/desktop.sh"

e2e_skip() {
  echo "SKIP: $*"
  exit "$E2E_SKIP"
}

e2e_log() { echo "[$E2E_NAME] $*"; }

e2e_fail() {
  echo "FAIL [$E2E_NAME]: $*" >&2
  e2e__evidence >&2
  exit 1
}

# Leaves what is needed to understand a failure: a screenshot, the window
# tree and the program's own output.
e2e__evidence() {
  [[ -n ${DISPLAY:-} ]] || return 0
  local shot=$E2E_OUT/$E2E_NAME-failure.png
  vk_screenshot "$shot" 2>/dev/null && echo "screenshot: $shot"
  echo "--- windows"
  xwininfo -root -tree 2>/dev/null | sed -n '1,60p'
  if [[ -f ${E2E_PROGRAM_LOG:-} ]]; then
    echo "--- program output"
    tail -n 40 "$E2E_PROGRAM_LOG"
  fi
}

# e2e_begin NAME PROGRAM [TOOL...]: skips when a desktop tool or an extra
# TOOL is missing, otherwise starts the private desktop. PROGRAM is empty for
# a test of the desktop itself.
e2e_begin() {
  E2E_NAME=$1
  E2E_PROGRAM=$2
  shift 2
  E2E_OUT=${VK_E2E_OUT:-$E2E_REPO/out/e2e}
  mkdir -p "$E2E_OUT"
  rm -f "$E2E_OUT/$E2E_NAME-failure.png"
  local missing tool
  if missing=$(vk_desktop_missing); then
    e2e_skip "$missing is not installed (scripts/setup-debian.sh test installs it)"
  fi
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 ||
      e2e_skip "$tool is not installed (scripts/setup-debian.sh test installs it)"
  done
  [[ -z $E2E_PROGRAM || -x $E2E_PROGRAM ]] || e2e_fail "no program at '$E2E_PROGRAM'"
  vk_desktop_start || e2e_fail "the private desktop did not start"
  vk_on_exit e2e__stop_program
  e2e_log "desktop $DISPLAY"
}

# Starts the program with the given arguments; E2E_PID is its pid.
E2E_PID=''
e2e_start() {
  E2E_PROGRAM_LOG=$VK_DESKTOP_DIR/program.log
  echo "--- velkrom $*" >>"$E2E_PROGRAM_LOG"
  "$E2E_PROGRAM" "$@" >>"$E2E_PROGRAM_LOG" 2>&1 &
  E2E_PID=$!
  E2E_STARTED_US=$(vk__now_us)
}
# Ends the program (SIGTERM, its normal exit) and waits until its tray
# entry is gone, ready for the next start.
e2e_stop_program() {
  e2e__stop_program
  e2e_expect_tray 0
}
e2e__stop_program() {
  [[ -n $E2E_PID ]] && vk_stop_pid "$E2E_PID"
  E2E_PID=''
}

# Milliseconds since the program was started.
e2e_elapsed_ms() { echo $((($(vk__now_us) - E2E_STARTED_US) / 1000)); }

# e2e_expect_exit SECS STATUS: the program ends by itself within SECS seconds
# with the given exit status.
e2e_expect_exit() {
  local secs=$1 want=$2 status=0
  vk_wait_until "$secs" vk__gone "$E2E_PID" ||
    e2e_fail "the program was still running after $secs s"
  wait "$E2E_PID" || status=$?
  E2E_PID=''
  ((status == want)) || e2e_fail "the program ended with status $status, expected $want"
}

# Waits until the main window is mapped and drawn, and prints its id. A
# look at a window that is mapped but not yet painted sees only its
# background: a status line's digest taken then is not the text's.
e2e_main_window() {
  local main
  main=$(vk_wait_window "${1:-20}" Velkrom) || e2e_fail "the main window did not appear"
  vk_wait_until 10 e2e_drawn "$main" || e2e_fail "the main window $main was not drawn"
  echo "$main"
}

# Waits until the tray host holds exactly N entries.
e2e_expect_tray() {
  local n=$1 secs=${2:-10}
  vk_wait_until "$secs" vk_tray_count_is "$n" ||
    e2e_fail "the tray host holds $(vk_tray_count) entries, expected $n"
}

# The one tray entry's window, once it has been drawn. The tray host lists
# an entry as soon as it has taken the entry's window in, which may be before
# the window is mapped there: a click then reaches the host, not the entry.
e2e_tray_icon() {
  local icon
  icon=$(vk_tray_icons | head -n 1)
  [[ -n $icon ]] || e2e_fail "there is no tray entry"
  vk_wait_until 10 e2e_drawn "$icon" || e2e_fail "the tray entry $icon was not drawn"
  echo "$icon"
}

# The window shows more than one colour: it is mapped and has been drawn.
e2e_drawn() { vk_xprobe drawn "$1"; }

# e2e_key WINDOW KEY...: gives the window the keyboard focus and types the
# key combinations. Without a window manager the test gives it the focus,
# in the same xdotool connection as the keys, so the server handles the
# focus change first. Under one (vk_wm_start) the manager is asked to
# activate the window, as a click on it would, and the keys wait until the
# window holds the focus.
e2e_key() {
  local window=$1
  shift
  if [[ -n $VK_WM_PID ]]; then
    e2e_activate "$window"
    xdotool key --clearmodifiers "$@" || e2e_fail "could not type $* into $window"
  else
    xdotool windowfocus "$window" key --clearmodifiers "$@" || e2e_fail "could not type $* into $window"
  fi
}

# Asks the window manager to activate a window and waits until it holds the
# keyboard focus.
e2e_activate() {
  timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1 ||
    e2e_fail "the window manager did not activate $1"
  vk_wait_until 5 e2e__focused "$1" || e2e_fail "$1 did not get the keyboard focus"
}
e2e__focused() { (($(xdotool getwindowfocus 2>/dev/null || echo 0) == $1)); }

# A left double-click on the tray entry.
e2e_double_click_tray() {
  vk_click_at "$(e2e_tray_icon)" --repeat 2 --delay 60 1 || e2e_fail "could not click the tray entry"
}

e2e_screenshot() {
  vk_screenshot "$E2E_OUT/$1.png" || e2e_fail "screenshot $1 failed"
  e2e_log "screenshot $E2E_OUT/$1.png"
}

# The free-memory lock, for the tests that compare the free bars before and
# after a freeing run: they run at the same time (the Qt, sanitizer and
# Windows ones), each holding the lock from its program's start until its
# markers have been checked, and again from the markers' going until it
# ends. Those are the parts that move free memory (a start, a run of
# 160,000,000 bytes, a screenshot, an exit) or that another test's move
# would spoil; the 5 seconds that each waits for its markers to go need no
# lock. One lock for every build tree on the machine, as free memory is.
# The lock is given back with LOCK_UN, not by closing the file: a program
# started under it holds a copy of the open file, which must not keep it.
E2E_MEMORY_LOCK=${E2E_MEMORY_LOCK:-${TMPDIR:-/tmp}/velkrom-free-memory.lock}
E2E_MEMORY_FD=''
e2e_hold_free_memory() {
  [[ -z $E2E_MEMORY_FD ]] || return 0
  if [[ " ${VK_CLEANUPS[*]} " != *" e2e_release_free_memory "* ]]; then
    # Given back last, after the desktop has gone.
    VK_CLEANUPS=(e2e_release_free_memory "${VK_CLEANUPS[@]}")
  fi
  # Read-only, so that a lock file another user made serves as well.
  [[ -e $E2E_MEMORY_LOCK ]] || : >>"$E2E_MEMORY_LOCK"
  exec {E2E_MEMORY_FD}<"$E2E_MEMORY_LOCK" || e2e_fail "cannot open $E2E_MEMORY_LOCK"
  flock -w 100 "$E2E_MEMORY_FD" ||
    e2e_fail "another test held the free-memory lock ($E2E_MEMORY_LOCK) for 100 s"
}
e2e_release_free_memory() {
  [[ -n $E2E_MEMORY_FD ]] || return 0
  flock -u "$E2E_MEMORY_FD"
  exec {E2E_MEMORY_FD}>&-
  E2E_MEMORY_FD=''
}

# Top-level windows that are mapped now, one id per line.
e2e_mapped_windows() { vk_xprobe windows --mapped; }

# Waits for a mapped top-level window that is not in the list BEFORE (the
# output of e2e_mapped_windows taken earlier) and prints its id.
e2e__new_window() {
  local before=$1 id ids
  vk_capture ids e2e_mapped_windows || true
  for id in $ids; do
    [[ $'\n'$before$'\n' == *$'\n'$id$'\n'* ]] || {
      echo "$id"
      return 0
    }
  done
  return 1
}
# Opens openbox's window list (a middle click on the desktop), keeps a
# screenshot NAME of it and closes it with Esc.
e2e_window_list() {
  local before menu
  before=$(e2e_mapped_windows)
  xdotool mousemove 500 400 click 2
  menu=$(e2e_wait_new_window 5 "$before") || e2e_fail "the window list did not open"
  e2e_screenshot "$1"
  xdotool key Escape
  vk_wait_until 5 vk_window_absent_id "$menu" || e2e_fail "the window list stayed open"
}

e2e_wait_new_window() {
  local secs=$1 before=$2 id
  vk_wait_until "$secs" e2e__new_window "$before" >/dev/null || return 1
  e2e__new_window "$before"
}

# Right-clicks the tray entry and prints the pop-up menu's window id.
e2e_open_tray_menu() {
  local before popup
  before=$(e2e_mapped_windows)
  vk_click_at "$(e2e_tray_icon)" 3 || e2e_fail "could not click the tray entry"
  popup=$(e2e_wait_new_window 5 "$before") || e2e_fail "no pop-up menu opened on a right click"
  echo "$popup"
}

# e2e_session_bus: a private D-Bus session bus for this test, ended with it;
# exports its address for the program and the test's own helpers.
e2e_session_bus() {
  local address_file=$VK_DESKTOP_DIR/bus.address
  dbus-daemon --session --nofork --nopidfile --print-address=1 >"$address_file" 2>&1 &
  vk_on_exit "vk_stop_pid $!"
  vk_wait_until 10 test -s "$address_file" || e2e_fail "the session bus did not start"
  DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$address_file")
  export DBUS_SESSION_BUS_ADDRESS
}

# Returns once the program has handled everything that reached it before
# (xprobe pings the window): a check made after this sees what those events
# did, or that they did nothing.
e2e_sync() { vk_xprobe sync "$1" || e2e_fail "the program did not answer a ping to $1"; }

# Whether a window has pixels of exactly the colour, or none:
# e2e_pixels_present WINDOW R G B, e2e_pixels_absent WINDOW R G B.
e2e_pixels_present() {
  local n
  vk_capture n vk_xprobe count "$@" && ((n > 0))
}
e2e_pixels_absent() {
  local n
  vk_capture n vk_xprobe count "$@" && ((n == 0))
}

# A digest of the window's bottom rows, where the status line is: equal
# digests mean the status line shows the same text.
e2e_status_digest() {
  local digest
  e2e_status_digest_into digest "$1" || return
  echo "$digest"
}
# e2e_status_digest_into VAR WINDOW: the digest in VAR, with no subshell.
e2e_status_digest_into() {
  local geometry x y w h
  vk_capture geometry vk_geometry "$2" || true
  read -r x y w h <<<"$geometry"
  vk_capture "$1" vk_xprobe digest "$2" 0 $((h - 15)) "$w" 14
}
e2e_status_is() {
  local digest
  e2e_status_digest_into digest "$1" && [[ $digest == "$2" ]]
}

# Read system calls made by the program so far. The refresh reads the
# memory figures afresh many times a second, so this grows fast while the
# refresh runs and stalls while it is held up.
e2e_reads() {
  local n
  e2e__reads_into n
  echo "$n"
}
# shellcheck disable=SC2034  # vk__reads names the caller's variable
e2e__reads_into() {
  local -n vk__reads=$1
  local key value
  vk__reads=''
  while read -r key value; do
    if [[ $key == syscr: ]]; then vk__reads=$value; fi
  done <"/proc/$E2E_PID/io"
}
e2e_reads_above() {
  local n
  e2e__reads_into n
  ((n > $1))
}

# e2e_ok_goes_on BOX MAIN READY: Enter on the error box BOX closes it, and
# the program goes on: still running, MAIN's status line back to the
# digest READY, the refresh reading again (a few hundred more reads within
# 5 s). Leaves the read count taken right after OK in E2E_READS_AFTER_OK.
e2e_ok_goes_on() {
  local box=$1 main=$2 ready=$3
  e2e_key "$box" Return
  vk_wait_until 5 vk_window_absent Error || e2e_fail "Enter did not close the error box"
  vk__gone "$E2E_PID" && e2e_fail "the program ended after the failed run"
  vk_wait_until 5 e2e_status_is "$main" "$ready" ||
    e2e_fail "the status line did not return to Ready after OK"
  E2E_READS_AFTER_OK=$(e2e_reads)
  vk_wait_until 5 e2e_reads_above $((E2E_READS_AFTER_OK + 300)) ||
    e2e_fail "the refresh did not go on after OK (reads $E2E_READS_AFTER_OK -> $(e2e_reads))"
}

# Under a window manager (vk_wm_start) top-level windows sit inside its
# frames. Client windows titled exactly NAME that the manager handles (they
# carry WM_STATE), one id per line.
e2e_client_windows() { vk__managed "$1"; }
# Waits for a managed window titled NAME and prints its id.
e2e_wait_client_window() {
  local secs=$1 name=$2
  vk_wait_until "$secs" e2e__has_client_window "$name" ||
    e2e_fail "no window titled $name appeared"
  e2e_client_windows "$name" | head -n 1
}
e2e__has_client_window() {
  local ids
  vk_capture ids e2e_client_windows "$1" || true
  [[ -n $ids ]]
}

# The window manager's state of a client window: Normal, Iconic (minimised)
# or Withdrawn (hidden; the manager has let go of it).
e2e_wm_state() { vk_xprobe wm-state "$1"; }
e2e_wm_state_is() { [[ $(e2e_wm_state "$1") == "$2" ]]; }
# e2e_expect_wm_state WINDOW STATE WHAT: waits until the window is in STATE.
e2e_expect_wm_state() {
  vk_wait_until 5 e2e_wm_state_is "$1" "$2" ||
    e2e_fail "$3: the window is $(e2e_wm_state "$1"), expected $2"
}
