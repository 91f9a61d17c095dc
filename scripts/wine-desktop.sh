# shellcheck shell=bash
# Wine for the program's windows. Source it after scripts/wine.sh; it
# defines functions only.
#
#   vk_wine_desktop ARCH   readies $WINEPREFIX for the private Xvfb of
#                          scripts/desktop.sh: vk_wine_windows, and, unless
#                          a window manager runs there (vk_wm_start), Wine
#                          told that the display has none
#   vk_wine_windows        gives $WINEPREFIX the dialog font, for a display
#                          of any kind
#   vk_wine_start ARCH PROGRAM [ARG...]
#                          starts a Windows program in the background with
#                          Wine's loader itself, so $! is the program's pid
#                          and its exit status the program's
#   vk_wine_close ARCH PID NAME
#                          asks the program NAME.exe to close (taskkill:
#                          WM_CLOSE to its windows, its normal exit), then
#                          ends it for sure if it has not within 10 s
#
# Without a window manager on the private Xvfb Wine is told so: its windows
# are unmanaged, so Wine frames and places them itself instead of waiting at
# every show for a window manager that never answers (two seconds each
# time), and the X input focus makes a window the active one, as a click on
# it would.

vk_wine_desktop() {
  local arch=$1 settings status
  vk_wine_windows
  # Under a window manager Wine's own defaults hold: managed windows that
  # the manager activates.
  [[ -z ${VK_WM_PID:-} ]] || return 0
  settings=$(mktemp "${TMPDIR:-/tmp}/velkrom-wine.XXXXXX.reg")
  cat >"$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"UseTakeFocus"="N"
REG
  vk_wine_run "$arch" reg import "$(vk__wine_path "$settings")" >/dev/null 2>&1
  status=$?
  rm -f "$settings"
  return "$status"
}

vk_wine_windows() {
  local fonts=/usr/share/wine/fonts target=$WINEPREFIX/drive_c/windows/Fonts
  # Wine's own fonts (package fonts-wine) where Wine looks for "MS Sans
  # Serif", the face the windows are laid out for.
  [[ -d $fonts ]] || return 0
  mkdir -p "$target"
  cp -l "$fonts"/* "$target"/ 2>/dev/null || cp "$fonts"/* "$target"/
}

vk_wine_start() {
  local arch=$1 loader=$VK_WINE_LOADER64
  shift
  [[ $arch == i686 ]] && loader=$VK_WINE_LOADER32
  WINELOADER=$loader "$loader" "$@" &
}

vk_wine_close() {
  local arch=$1 pid=$2 name=$3
  vk__gone "$pid" && return 0
  vk_wine_run "$arch" taskkill /IM "$name" >/dev/null 2>&1
  vk_wait_until 10 vk__gone "$pid" || kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
}

# A Linux path as Wine's programs see it: on drive Z:, which is /.
vk__wine_path() {
  local path=$1
  echo "Z:${path//\//\\}"
}
