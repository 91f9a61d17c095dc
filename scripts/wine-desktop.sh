# shellcheck shell=bash
# Wine on the private Xvfb desktop of scripts/desktop.sh. Source it after
# scripts/wine.sh; it defines functions only.
#
#   vk_wine_desktop ARCH   readies $WINEPREFIX for windows on a display
#                          without a window manager, with the dialog font,
#                          and gives it registry files of its own
#
# There is no window manager on that display. Wine is told so: its windows
# are unmanaged, so Wine frames and places them itself instead of waiting at
# every show for a window manager that never answers (two seconds each
# time), and the X input focus makes a window the active one, as a click on
# it would. Wine's own fonts (package fonts-wine) are linked into the
# prefix's Fonts folder, where Wine looks for "MS Sans Serif".

vk_wine_desktop() {
  local arch=$1 settings file
  # The registry files become the prefix's own before anything is written:
  # Wine rewrites them in place, which would reach every other prefix
  # through hard links to a shared template.
  for file in "$WINEPREFIX"/*.reg; do
    cp "$file" "$file.own" && mv -f "$file.own" "$file"
  done
  settings=$(mktemp "${TMPDIR:-/tmp}/velkrom-wine.XXXXXX.reg")
  cat >"$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"UseTakeFocus"="N"
REG
  vk_wine_run "$arch" reg import "$(vk__wine_path "$settings")" >/dev/null 2>&1
  local status=$?
  rm -f "$settings"
  vk_wine_fonts
  return "$status"
}

vk_wine_fonts() {
  local fonts=/usr/share/wine/fonts target=$WINEPREFIX/drive_c/windows/Fonts
  [[ -d $fonts ]] || return 0
  mkdir -p "$target"
  cp -l "$fonts"/* "$target"/ 2>/dev/null || cp "$fonts"/* "$target"/
}

# A Linux path as Wine's programs see it: on drive Z:, which is /.
vk__wine_path() {
  local path=$1
  echo "Z:${path//\//\\}"
}
