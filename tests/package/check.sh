#!/usr/bin/env bash
# shellcheck disable=SC2317  # the checks' functions are called through check()
# Checks the Debian package as its users and Debian's validators see it:
#
#   tests/package/check.sh DEB
#
#  - what it holds: the program, the menu entry, the icon in eight sizes, the
#    AppStream metadata, the manual page and the copyright, all owned by root;
#    dependencies computed from the program, so the Qt libraries among them;
#  - desktop-file-validate, appstreamcli validate --no-net, the copyright file
#    read by Debian's own parser, and lintian reporting no error;
#  - the icons: each as large as its folder says, the 32-pixel one the
#    program's picture, every other one that picture scaled by whole pixels;
#  - unpacked into a scratch root (dpkg -x), the menu entry's command with
#    /QUIT runs on a private Xvfb with trayer, shows its window and tray entry
#    and ends by itself with status 0.
#
# Every check runs; the exit status is 1 when any failed.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=scripts/desktop.sh
source "$repo/scripts/desktop.sh"
# shellcheck source=tests/package/lib.sh
source "$repo/tests/package/lib.sh"

deb=${1:?usage: $0 DEB}
[[ -f $deb ]] || {
  echo "package check: no package at '$deb'" >&2
  exit 1
}

id=io.github.velkrom.Velkrom
sizes=(16 22 24 32 48 64 128 256)

pkg_work_dir velkrom-package
root=$work/root

# --- what the package holds -------------------------------------------------

listing=$(dpkg-deb -c "$deb")
# The mode of a file in the package ("-rwxr-xr-x"), or nothing.
mode_of() { awk -v path="./$1" '$6 == path { print $1 }' <<<"$listing"; }
holds() { [[ $(mode_of "$1") == -* ]]; }
all_root() { ! awk '$2 != "root/root" { found = 1 } END { exit !found }' <<<"$listing"; }
only_usr() { ! awk '$6 !~ /^\.\/usr\// { found = 1 } END { exit !found }' <<<"$listing"; }

expected=(
  usr/bin/velkrom
  "usr/share/applications/$id.desktop"
  "usr/share/metainfo/$id.metainfo.xml"
  usr/share/man/man1/velkrom.1.gz
  usr/share/doc/velkrom/copyright
)
for size in "${sizes[@]}"; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for path in "${expected[@]}"; do
  check "holds /$path" holds "$path"
done
check "the program is executable by everyone" test "$(mode_of usr/bin/velkrom)" = -rwxr-xr-x
check "every file is owned by root" all_root
check "everything lies under /usr" only_usr
depends=$(dpkg-deb -f "$deb" Depends)
echo "     Depends: $depends"
check "depends on the Qt libraries the program links" grep -q 'libqt6widgets6' <<<"$depends"

# --- validators ---------------------------------------------------------------

dpkg-deb -x "$deb" "$root" || {
  echo "FAIL dpkg-deb -x could not unpack the package"
  exit 1
}
desktop=$root/usr/share/applications/$id.desktop
check "desktop-file-validate accepts the menu entry" desktop-file-validate "$desktop"
check "appstreamcli accepts the metadata" \
  appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
# The metadata launches the entry the package installs, and the entry shows
# the icon it installs.
check "the metadata's launchable is the installed entry" grep -q \
  "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" \
  "$root/usr/share/metainfo/$id.metainfo.xml"
icon=$(sed -n 's/^Icon=//p' "$desktop")
check "the entry's icon ($icon) is in the icon theme" \
  test -f "$root/usr/share/icons/hicolor/32x32/apps/$icon.png"

# The copyright file parses as machine-readable, and its licence is the
# project's LICENSE, word for word.
copyright_matches_license() {
  /usr/bin/python3 - "$root/usr/share/doc/velkrom/copyright" "$repo/LICENSE" <<'EOF'
import sys
from debian.copyright import Copyright
with open(sys.argv[1], encoding="utf-8") as f:
    parsed = Copyright(f, strict=True)
files = parsed.find_files_paragraph("usr/bin/velkrom")
licence = next(p.license for p in parsed.all_license_paragraphs())
words = lambda text: " ".join(text.split())
source = open(sys.argv[2], encoding="utf-8").read()
body = source[source.index("Permission is hereby granted"):]
sys.exit(0 if files and files.license.synopsis == licence.synopsis == "Expat"
         and words(licence.text.replace("\n.\n", "\n")) == words(body) else 1)
EOF
}
check "the copyright file is machine-readable and carries LICENSE" copyright_matches_license

echo "---- lintian"
check "lintian reports no error" lintian --fail-on error --display-info "$deb"
echo "----"

# --- icons --------------------------------------------------------------------

png_of() { echo "$root/usr/share/icons/hicolor/$1x$1/apps/$id.png"; }
icon32=$(png_of 32)

size_is() { [[ $(identify -format '%wx%h' "$(png_of "$1")") == "$1x$1" ]]; }
# The colour of one pixel as RRGGBBAA.
pixel_is() { [[ $(convert "$icon32" -format "%[hex:u.p{$1,$2}]" info:) == "$3" ]]; }
# The 32-pixel picture, scaled to SIDE by nearest neighbour and centred on a
# transparent SIZE canvas, equals the icon of that size pixel for pixel.
# At one half the centre of each new pixel is the corner of four old ones;
# the icon takes the lower right one, and sampling at three quarters across
# each new pixel makes ImageMagick take the same (at whole multiples any
# point inside the pixel gives the same result).
scaled_from_32() {
  local size=$1 side=$2 reference=$work/reference-$1.png differ
  convert "$icon32" -define sample:offset=75 -sample "${side}x${side}" \
    -background none -gravity center \
    -extent "${size}x${size}" "$reference" || return 1
  # compare prints how many pixels differ in any channel, alpha included.
  differ=$(compare -metric AE "$reference" "$(png_of "$size")" null: 2>&1)
  [[ $differ == 0 ]] || {
    echo "     $differ pixels differ"
    return 1
  }
}

# Spots of the program's picture: a blue field, white "MB" letters, a white
# chip with olive pins, a navy shadow and a silver notch.
spots=(
  "0 0 0000FFFF the field's corner"
  "1 1 FFFFFFFF the M"
  "4 1 0000FFFF the field between the M's strokes"
  "20 6 808000FF a pin"
  "29 12 000080FF the shadow"
  "10 24 C0C0C0FF the notch"
)
for spot in "${spots[@]}"; do
  read -r x y rgba what <<<"$spot"
  check "32 px icon at $x,$y is $rgba, $what" pixel_is "$x" "$y" "$rgba"
done
# size, and the side of the picture within it: multiples of 32 are filled,
# other sizes hold the largest whole-pixel scale that fits, centred.
scales=("16 16" "22 16" "24 16" "32 32" "48 32" "64 64" "128 128" "256 256")
for scale in "${scales[@]}"; do
  read -r size side <<<"$scale"
  check "the ${size}x${size} icon is ${size} by ${size} pixels" size_is "$size"
  check "the ${size}x${size} icon is the 32 px picture at ${side} px, centred, unblurred" \
    scaled_from_32 "$size" "$side"
done

# --- the installed program, started as the menu entry starts it --------------

exec_line=$(sed -n 's/^Exec=//p' "$desktop")
read -r -a command <<<"$exec_line"
run_quit() {
  local program pid status=0 started
  program=$(PATH=$root/usr/bin:$PATH command -v "${command[0]}")
  [[ $program == "$root/usr/bin/velkrom" ]] || {
    echo "     the entry's Exec=$exec_line finds '$program', not the packaged program"
    return 1
  }
  vk_desktop_start || return 1
  started=$SECONDS
  "$program" "${command[@]:1}" /QUIT >"$work/program.log" 2>&1 &
  pid=$!
  vk_on_exit "vk_stop_pid $pid"
  vk_wait_until 20 vk_window_present Velkrom || {
    echo "     no Velkrom window within 20 s"
    return 1
  }
  vk_wait_until 10 vk_tray_count_is 1 || {
    echo "     no tray entry within 10 s"
    return 1
  }
  vk_wait_until 15 vk__gone "$pid" || {
    echo "     still running 15 s after its window appeared"
    return 1
  }
  wait "$pid" || status=$?
  echo "     ended by itself after about $((SECONDS - started)) s with status $status"
  ((status == 0)) && vk_tray_count_is 0
}
if missing=$(vk_desktop_missing); then
  check "the desktop tools are installed ($missing is missing)" false
else
  check "the entry's command with /QUIT runs and ends by itself with status 0" run_quit
  if [[ -s $work/program.log ]]; then
    echo "     the program said:"
    sed 's/^/       /' "$work/program.log"
  fi
fi

pkg_finish "package check"
