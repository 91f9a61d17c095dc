# shellcheck shell=bash
# A private desktop for the real program: Xvfb on a free display with the
# trayer tray host, plus the waits and probes that scripts/run.sh and the
# end-to-end tests share. Source it; it defines functions only.
#
#   vk_desktop_start        start Xvfb (VK_SCREEN, default 1024x768x24), the
#                           probe's server + trayer (none with
#                           VK_TRAY_HOST=none), export DISPLAY, stop them on exit
#   vk_tray_host_start      start trayer (again); vk_tray_host_stop ends it
#   vk_wm_start             start the openbox window manager
#   vk_wait_until SECS CMD  run CMD until it succeeds or SECS pass
#   vk_window NAME          ids of mapped top-level windows titled exactly NAME
#   vk_wait_window SECS NAME
#   vk_tray_icons           ids of the client windows embedded in the tray host
#   vk_screenshot FILE      PNG of the whole screen
#   vk_xprobe ARGS...       the X11 probe (scripts/xprobe.cpp): window queries
#
# Every wait polls a condition against a deadline; nothing sleeps a fixed time.
# The waits poll many times a second, so each poll is one request to the
# probe's server, where a pipeline of xwininfo, awk and grep took five to ten
# processes: starting a process is what the end-to-end tests spent most of
# their time on.

VK_DESKTOP_TOOLS=(Xvfb trayer xdotool xwininfo xprop import c++)
VK_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Prints the first missing desktop tool and fails, or succeeds quietly.
vk_desktop_missing() {
  local tool
  for tool in "${VK_DESKTOP_TOOLS[@]}"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "$tool"
      return 0
    fi
  done
  if [[ ! -f /usr/include/X11/Xlib.h ]]; then
    echo libx11-dev
    return 0
  fi
  return 1
}

# The probe, built from its source with the machine's compiler on first use
# and again when the source changed, into build/tools (VK_BUILD_ROOT moves
# build/). One build at a time: tests that start together wait on a lock.
# Built here rather than by CMake: the desktop serves the Qt trees, the
# Windows trees (whose compiler makes Windows programs) and scripts that
# build nothing, and the probe must never carry a sanitizer's start-up cost.
VK_XPROBE=''
vk_xprobe_build() {
  local dir=${VK_BUILD_ROOT:-$VK_SCRIPTS/../build}/tools
  local source=$VK_SCRIPTS/xprobe.cpp
  VK_XPROBE=$dir/vk_xprobe
  [[ -x $VK_XPROBE && ! $source -nt $VK_XPROBE ]] && return 0
  mkdir -p "$dir" || return 1
  local lock status=0
  exec {lock}>"$dir/vk_xprobe.lock"
  flock "$lock"
  if [[ ! -x $VK_XPROBE || $source -nt $VK_XPROBE ]]; then
    c++ -std=c++17 -O2 -Wall -Wextra -Wpedantic -Werror -Wshadow -Wold-style-cast \
      -static-libstdc++ -static-libgcc \
      "$source" -o "$VK_XPROBE.$$" -lX11 &&
      mv -f "$VK_XPROBE.$$" "$VK_XPROBE" || status=1
    rm -f "$VK_XPROBE.$$"
  fi
  exec {lock}>&-
  ((status == 0)) || echo "desktop: the X11 probe ($source) did not build" >&2
  return "$status"
}
# A probe command: asked of this desktop's probe server (vk_xprobe_serve)
# while it runs, otherwise run as a process of its own; its output and its
# messages come out on stdout and stderr either way. The whole answer is
# read before any of it is printed, so a caller reading the output through
# a pipe can ask the server again at once. Under vk_capture the output goes
# to VK__ANSWER instead.
VK_XPROBE_PID='' VK_XPROBE_TO='' VK_XPROBE_FROM='' VK__CAPTURE=false
vk_xprobe() {
  [[ -n $VK_XPROBE ]] || vk_xprobe_build || return 1
  local capture=$VK__CAPTURE status=0
  VK__CAPTURE=false
  vk__xprobe_ask "$@" || status=$?
  if $VK__SERVED; then
    $capture || printf '%s' "$VK__ANSWER"
    return "$status"
  fi
  # The process's status is the function's (a bare `return` would not do:
  # in the exit trap's cleanups it gives the status from before the trap).
  if $capture; then
    VK__ANSWER=$("$VK_XPROBE" "$@")
  else
    "$VK_XPROBE" "$@"
  fi
}
# vk_capture VAR LOOK [ARG...]: VAR=$(LOOK ARG...) for a look, a function
# that is one vk_xprobe call (vk_xprobe itself among them), its status the
# look's, but with no subshell while the server answers: a look that a wait
# repeats every 20 ms then starts no process (a fork costs some
# milliseconds of CPU here).
vk_capture() {
  local -n vk__into=$1
  shift
  local vk__status=0
  VK__ANSWER=''
  VK__CAPTURE=true
  "$@" || vk__status=$?
  VK__CAPTURE=false
  vk__into=$VK__ANSWER
  while [[ $vk__into == *$'\n' ]]; do vk__into=${vk__into%$'\n'}; done
  return "$vk__status"
}
# Asks the server, when it runs and the command can go to it: VK__SERVED
# tells whether it answered, VK__ANSWER holds its output, its messages go
# to stderr, and the status is the command's.
vk__xprobe_ask() {
  VK__SERVED=false
  VK__ANSWER=''
  [[ -n $VK_XPROBE_PID && $* != *[$'\t\n']* ]] || return 0
  ! vk__gone "$VK_XPROBE_PID" || return 0
  local IFS=$'\t' line said='' status=''
  printf '%s\n' "$*" >&"$VK_XPROBE_TO"
  while IFS= read -r -u "$VK_XPROBE_FROM" line; do
    case $line in
      $'\036'*) status=${line#?} && break ;;
      $'\035'*) said+=${line#?}$'\n' ;;
      *) VK__ANSWER+=$line$'\n' ;;
    esac
  done
  [[ -n $status ]] || return 0
  VK__SERVED=true
  [[ -z $said ]] || printf '%s' "$said" >&2
  return "$status"
}

# Starts the probe as a server on $DISPLAY, one process and one connection
# for every look of the test (a look as a process of its own costs a
# process start and a connection set-up, some 10 ms of CPU, and the waits
# look many times a second). It ends with the shell, before the X server.
# Requests go through a FIFO that this shell also holds open for reading, so
# a request to a server that has just gone fills a pipe instead of ending
# the shell with SIGPIPE; its answer then ends at once, and the look runs as
# a process of its own. A look's messages come with its answer; the
# server's own (a lost display) go to a log, as every background process
# of the desktop keeps off the output of the test that started it.
vk_xprobe_serve() {
  local to=$VK_DESKTOP_DIR/xprobe.requests from=$VK_DESKTOP_DIR/xprobe.answers
  mkfifo "$to" "$from" || return 1
  exec {VK_XPROBE_TO}<>"$to"
  "$VK_XPROBE" serve <"$to" >"$from" 2>"$VK_DESKTOP_DIR/xprobe.log" &
  VK_XPROBE_PID=$!
  exec {VK_XPROBE_FROM}<"$from"
  vk_on_exit "vk_stop_pid $VK_XPROBE_PID"
}

# Cleanup commands run in reverse order when the shell exits, on any path.
VK_CLEANUPS=()
vk_on_exit() {
  VK_CLEANUPS+=("$*")
  trap vk__cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}
vk__cleanup() {
  local i
  for ((i = ${#VK_CLEANUPS[@]} - 1; i >= 0; i--)); do
    eval "${VK_CLEANUPS[i]}" || true
  done
  VK_CLEANUPS=()
}

# Ends a process we started, politely and then for sure, and reaps it.
vk_stop_pid() {
  local pid=$1
  [[ -n $pid ]] || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  vk_wait_until 5 vk__gone "$pid" || kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
}
# Gone, or a zombie waiting to be reaped: it has ended either way.
vk__gone() {
  local stat
  kill -0 "$1" 2>/dev/null || return 0
  read -r stat 2>/dev/null <"/proc/$1/stat" || return 0
  stat=${stat##*) }
  [[ ${stat:0:1} == Z ]]
}

# Seconds since the epoch with microseconds, as a whole number of microseconds.
vk__now_us() { echo "${EPOCHREALTIME/./}"; }

# A pipe nobody writes to: reading it with a timeout is a sleep that starts
# no process.
exec {VK_PAUSE_FD}<> <(:)

# Runs "$@" every 20 ms until it succeeds (returns 0) or SECS have passed
# (returns 1). Output of the command is kept so callers can capture it.
# A wait ends on average half a pause after what it waits for, and a test
# waits some twenty times; a look at the desktop costs about a millisecond
# asked of the probe's server: at 50 ms the Qt Release set took 16.5 s, at
# 20 ms 14.9 s for the same CPU time.
vk_wait_until() {
  local secs=$1
  shift
  local deadline=$((${EPOCHREALTIME/./} + ${secs%.*} * 1000000))
  if [[ $secs == *.* ]]; then
    local frac=${secs#*.}000000
    deadline=$((deadline + 10#${frac:0:6}))
  fi
  while true; do
    "$@" && return 0
    ((${EPOCHREALTIME/./} < deadline)) || return 1
    read -rt 0.02 -u "$VK_PAUSE_FD" _ || true
  done
}

# Starts Xvfb on a display it picks itself and trayer on it, and waits until
# the tray host's panel is mapped (it owns the tray selection by then).
vk_desktop_start() {
  local geometry=${VK_SCREEN:-1024x768x24}
  vk_xprobe_build || return 1
  VK_DESKTOP_DIR=$(mktemp -d "${TMPDIR:-/tmp}/velkrom-desktop.XXXXXX")
  vk_on_exit "rm -rf '$VK_DESKTOP_DIR'"
  # Qt wants a private runtime directory; no session bus, so the tray entry
  # goes through XEmbed to trayer and never to a desktop outside this one.
  export XDG_RUNTIME_DIR=$VK_DESKTOP_DIR/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb

  # -displayfd: Xvfb chooses a free display and writes its number once it
  # accepts connections, so there is neither a race for a number nor a guess.
  local fifo=$VK_DESKTOP_DIR/displayfd
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset \
    3>"$fifo" >"$VK_DESKTOP_DIR/xvfb.log" 2>&1 &
  VK_XVFB_PID=$!
  vk_on_exit "vk_stop_pid $VK_XVFB_PID"
  local number=''
  if ! read -r -t 20 number <"$fifo" || [[ -z $number ]]; then
    echo "desktop: Xvfb did not start:" >&2
    cat "$VK_DESKTOP_DIR/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=:$number
  vk_xprobe_serve || return 1

  [[ ${VK_TRAY_HOST:-trayer} == none ]] || vk_tray_host_start
}

vk_desktop_stop() { vk__cleanup; }

# Starts the trayer tray host and waits until its panel is mapped (it owns
# the tray selection by then). The panel is as wide as its entries, or
# VK_TRAY_WIDTH pixels wide when that is set, as a desktop's panel is.
VK_TRAYER_PID=''
vk_tray_host_start() {
  local width=(--widthtype request)
  [[ -z ${VK_TRAY_WIDTH:-} ]] || width=(--widthtype pixel --width "$VK_TRAY_WIDTH")
  trayer --edge top --align right "${width[@]}" --height 32 \
    --transparent false --tint 0xc0c0c0 --SetDockType true --SetPartialStrut true \
    >>"$VK_DESKTOP_DIR/trayer.log" 2>&1 &
  VK_TRAYER_PID=$!
  # Once: it stops whichever tray host runs at the end.
  [[ " ${VK_CLEANUPS[*]} " == *" vk_tray_host_stop "* ]] || vk_on_exit vk_tray_host_stop
  if ! vk_wait_until 20 vk__tray_panel_mapped; then
    echo "desktop: trayer did not come up on $DISPLAY:" >&2
    cat "$VK_DESKTOP_DIR/trayer.log" >&2
    return 1
  fi
}
# Ends the tray host and waits until its panel is gone.
vk_tray_host_stop() {
  [[ -n $VK_TRAYER_PID ]] || return 0
  vk_stop_pid "$VK_TRAYER_PID"
  VK_TRAYER_PID=''
  vk_wait_until 10 vk__tray_panel_gone
}

# Starts openbox and waits until it manages the screen. Under a window
# manager top-level windows sit inside its frames; vk_window looks for them
# there from then on. VK_WM_PID is the manager's pid.
VK_WM_PID=''
vk_wm_start() {
  openbox --sm-disable >"$VK_DESKTOP_DIR/openbox.log" 2>&1 &
  VK_WM_PID=$!
  local pid=$VK_WM_PID
  vk_on_exit "vk_stop_pid $pid"
  if ! vk_wait_until 20 vk__wm_running; then
    echo "desktop: openbox did not come up on $DISPLAY:" >&2
    cat "$VK_DESKTOP_DIR/openbox.log" >&2
    return 1
  fi
}
vk__wm_running() { vk_xprobe wm-running; }

# trayer's panel is the window of WM_CLASS ("panel", "trayer"): a top-level
# window, or inside a window manager's frame.
vk_tray_panel() { vk_xprobe tray-panel || true; }
vk__tray_panel_gone() { ! vk_xprobe tray-panel >/dev/null; }
vk__tray_panel_mapped() { vk_xprobe tray-panel --mapped >/dev/null; }

# The tray host puts one socket window per entry in its panel and the entry's
# own window inside that socket: the grandchildren of the panel are the icons.
vk_tray_icons() { vk_xprobe tray-icons; }
vk_tray_count() {
  local n
  vk__tray_count_into n
  echo "$n"
}
vk__tray_count_into() {
  local -n vk__count=$1
  local icons line
  vk__count=0
  vk_capture icons vk_tray_icons || true
  while read -r line; do
    [[ -z $line ]] || vk__count=$((vk__count + 1))
  done <<<"$icons"
}
vk_tray_count_is() {
  local n
  vk__tray_count_into n
  ((n == $1))
}

# Screen rectangle of a window as "X Y W H" (absolute position).
vk_geometry() { vk_xprobe geometry "$1" 2>/dev/null; }

# Mapped (viewable) top-level windows whose title is exactly NAME. Without a
# window manager top-level windows are the root's own children; under one
# (vk_wm_start) they are the client windows it manages, inside its frames.
# The tray entry's window lives inside the tray host and never matches.
# (xdotool search matches titles case-insensitively, hence no xdotool here.)
vk_window() { vk_xprobe windows --mapped ${VK_WM_PID:+--managed} "$1"; }
# Top-level windows titled exactly NAME, mapped or not.
vk_toplevel() { vk_xprobe windows ${VK_WM_PID:+--managed} "$1"; }
# Windows titled exactly NAME that the window manager handles (they carry
# WM_STATE), anywhere in the tree.
vk__managed() { vk_xprobe windows --managed "$1"; }
vk_window_present() { vk_xprobe windows -q --mapped ${VK_WM_PID:+--managed} "$1"; }
vk_window_absent() { ! vk_window_present "$1"; }
# Whether the window with this id is no longer mapped (or no longer exists).
vk_window_absent_id() { ! vk_xprobe mapped "$1"; }

# Waits until a window titled NAME is mapped and prints its id.
vk_wait_window() {
  local secs=$1 name=$2
  vk_wait_until "$secs" vk_window_present "$name" || return 1
  local ids
  vk_capture ids vk_window "$name" || return 1
  echo "${ids%%$'\n'*}"
}

# The centre of a window on the screen, as "X Y".
vk_centre() {
  local geometry x y w h
  vk_capture geometry vk_geometry "$1" || true
  [[ -n $geometry ]] || return 1
  read -r x y w h <<<"$geometry"
  echo "$((x + w / 2)) $((y + h / 2))"
}

# Clicks at the centre of a window: vk_click_at WINDOW [xdotool click args].
# Move and click go through one xdotool connection, so they arrive in order.
# (Not "mousemove --sync": it waits for a motion that never comes when the
# pointer is already there.)
vk_click_at() {
  local window=$1 centre
  shift
  centre=$(vk_centre "$window") || return 1
  # shellcheck disable=SC2086  # "X Y" splits into two arguments
  xdotool mousemove $centre click "$@"
}

# Writes a PNG of the whole screen.
vk_screenshot() {
  [[ $1 != */* ]] || mkdir -p "${1%/*}"
  import -display "$DISPLAY" -window root "$1"
}
