#!/usr/bin/env bash
# shellcheck disable=SC2317  # the checks' functions are called through check()
# Checks the Windows packages as a user unpacking or installing them sees
# them:
#
#   tests/package/check_windows.sh I686_BUILD X86_64_BUILD
#
# (the build folders of scripts/build.sh mingw-i686 and mingw-x86_64 after
# scripts/package.sh windows).
#
#  - each zip unpacks into one folder velkrom-<version>-win32|win64 holding
#    the program for its machine (with its version record and Windows' own
#    DLLs only), a read-me and the licence, both with Windows line ends;
#  - the installer is a 32-bit program; under Wine it installs silently
#    (/S /AUTOSTART) into Program Files with a Start menu entry, a Startup
#    shortcut that starts the program with /AUTO and an entry for Apps and
#    Features; the program started from that shortcut shows its tray entry;
#    installed again into another folder without the log-on choice, it
#    closes the running program and leaves one installation, no Startup
#    shortcut; the silent uninstaller ends the program started from the
#    Start menu and takes away everything the installer added.
#
# The installer is a 32-bit program. Where 32-bit Wine cannot run, the same
# script is made into a 64-bit installer of the 64-bit program and that one
# is run: what it does is the same, but where it puts the program (the
# 64-bit Program Files and registry view).
#
# Every check runs; the exit status is 1 when any failed.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=scripts/desktop.sh
source "$repo/scripts/desktop.sh"
# shellcheck source=tests/package/lib.sh
source "$repo/tests/package/lib.sh"
# shellcheck source=scripts/wine.sh
source "$repo/scripts/wine.sh"

usage="usage: $0 I686_BUILD X86_64_BUILD"
# Whole paths: makensis reads the files its script names from its own folder.
i686=$(cd "${1:?$usage}" && pwd) || exit 2
x86_64=$(cd "${2:?$usage}" && pwd) || exit 2
version=$(sed -nE 's/^project\(Velkrom VERSION ([0-9.]+).*/\1/p' "$repo/CMakeLists.txt")
# Debian's Python: it has python3-pefile, and starts in a tenth of the time
# of a python3 on the PATH that is a version manager's shim.
py=/usr/bin/python3

pkg_work_dir velkrom-windows-package

# --- the zips ---------------------------------------------------------------

# The names in a zip, one a line.
zip_names() { "$py" -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$1"; }
holds_exactly() {
  local zip=$1 folder=$2
  [[ $(zip_names "$zip" | sort) == "$(printf '%s\n' "$folder/LICENSE.txt" "$folder/README.txt" "$folder/velkrom.exe")" ]]
}
crlf_only() { "$py" -c 'import sys; d = open(sys.argv[1], "rb").read(); sys.exit(not d or d.count(b"\n") != d.count(b"\r\n"))' "$1"; }
same_text() { cmp -s <(tr -d '\r' <"$1") "$2"; }

for pair in "win32 $i686 i386" "win64 $x86_64 AMD64"; do
  read -r suffix dir machine <<<"$pair"
  name=velkrom-$version-$suffix
  zip=$dir/$name.zip
  if [[ ! -f $zip ]]; then
    check "$name.zip exists" false
    continue
  fi
  check "$name.zip holds $name/ with velkrom.exe, README.txt and LICENSE.txt" holds_exactly "$zip" "$name"
  "$py" -m zipfile -e "$zip" "$work/$suffix"
  unpacked=$work/$suffix/$name
  if "$py" "$repo/tests/win32/check_pe.py" "$unpacked/velkrom.exe" --machine "$machine" \
    --version "$version" --name Velkrom --ico "$repo/src/platform/win32/velkrom.ico" >"$work/pe-$suffix.log" 2>&1; then
    check "the program in $name.zip is the $machine program with its version record and icon" true
  else
    sed 's/^/     /' "$work/pe-$suffix.log"
    check "the program in $name.zip is the $machine program with its version record and icon" false
  fi
  check "$name.zip: LICENSE.txt is the project's licence" same_text "$unpacked/LICENSE.txt" "$repo/LICENSE"
  for text in README.txt LICENSE.txt; do
    check "$name.zip: $text has Windows line ends" crlf_only "$unpacked/$text"
  done
  check "$name.zip: the read-me names version $version and the /AUTO switch" \
    eval "grep -q 'Velkrom $version' '$unpacked/README.txt' && grep -q '/AUTO' '$unpacked/README.txt'"
done

# --- the installer ----------------------------------------------------------

setup=$i686/velkrom-$version-setup.exe
script=$i686/packaging/velkrom.nsi
is_i386() { "$py" -c 'import sys, pefile; sys.exit(pefile.PE(sys.argv[1], fast_load=True).FILE_HEADER.Machine != 0x14C)' "$1"; }
if [[ ! -f $setup ]]; then
  check "velkrom-$version-setup.exe exists" false
  exit 1
else
  check "the installer is a 32-bit program (it runs on every Windows)" is_i386 "$setup"
fi

if why=$(vk_wine_missing x86_64); then
  echo "SKIPPED: the installer was not run: $why"
  ((failures == 0))
  exit
fi
if why=$(vk_wine_missing i686); then
  echo "SKIPPED: the 32-bit installer was not run: $why; its script ran as a 64-bit installer of the 64-bit program"
  arch=x86_64
  payload=$x86_64/packaging/velkrom.exe
  setup=$work/setup64.exe
  makensis -V1 -DVK_TARGET=amd64-unicode "-DVK_PAYLOAD=$payload" "-DVK_OUTFILE=$setup" "$script" || {
    check "makensis makes the 64-bit installer" false
    exit 1
  }
else
  arch=i686
  payload=$i686/packaging/velkrom.exe
fi

vk_desktop_start || exit 1
vk_wine_prefix_new || exit 1
vk_on_exit vk_wine_end
c=$WINEPREFIX/drive_c
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velkrom'
# Everything on drive C:, but the temporary folders (the uninstaller runs
# from a copy there, which Windows removes at the next start).
drive_c_listing() { (cd "$c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune -o -print | sort); }
drive_c_listing >"$work/before.txt"
# A value of the uninstall entry, or nothing.
entry_value() { vk_wine_run "$arch" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -nE "s/^ +$1 +REG_[A-Z]+ +//p"; }
# A Windows path (C:\...) as a path here.
on_c() {
  local path=${1#[Cc]:\\}
  echo "$c/${path//\\//}"
}
links_to() {
  local link=$1 target=$2 arguments=$3 read
  read=$("$py" "$repo/tests/package/shell_link.py" "$link") || return 1
  [[ $read == "$(printf '%s\n%s' "$target" "$arguments")" ]]
}
program_ended() { ! pgrep -f 'Velkrom\\velkrom.exe' >/dev/null; }
listed() {
  [[ $(entry_value DisplayName) == Velkrom && $(entry_value DisplayVersion) == "$version" &&
    -n $(entry_value Publisher) ]]
}
in_program_files() {
  [[ $location == "C:\\Program Files"*"\\Velkrom" ]] && cmp -s "$(on_c "$location")/velkrom.exe" "$payload"
}
uninstaller_named() {
  [[ $(entry_value UninstallString) == "\"$location\\uninstall.exe\"" && -f $(on_c "$location")/uninstall.exe ]]
}
folder_gone() { [[ ! -d $(on_c "$location") ]]; }
entry_gone() { ! vk_wine_run "$arch" reg query "$key" >/dev/null 2>&1; }

vk_wine_run "$arch" "$setup" /S /AUTOSTART >"$work/setup.log" 2>&1
check "the installer runs silently and ends with status 0" [ $? -eq 0 ]
location=$(entry_value InstallLocation)
check "Apps and Features lists Velkrom $version (DisplayName, DisplayVersion, Publisher)" listed
check "the program is installed in Program Files ($location)" in_program_files
check "the uninstall command names the installed uninstaller" uninstaller_named
menu_link="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velkrom.lnk"
check "the Start menu entry starts the installed program" links_to "$menu_link" "$location\\velkrom.exe" ""
startup_link=$(entry_value StartupShortcut)
check "the Startup shortcut starts it with /AUTO" links_to "$(on_c "$startup_link")" "$location\\velkrom.exe" /AUTO

# Started from the Startup shortcut as at log-on, the program is up in the
# notification area.
vk_wine_run "$arch" start "$startup_link" >/dev/null 2>&1
check "started from the Startup shortcut, the program shows its tray entry" vk_wait_until 30 vk_tray_count_is 1

# Installed again into another folder, without the log-on choice: the
# running program is closed first, the earlier folder and the Startup
# shortcut go, and the one entry names the new folder.
old_location=$location
old_startup_link=$startup_link
vk_wine_run "$arch" "$setup" /S '/D=C:\Velkrom' >>"$work/setup.log" 2>&1
check "installed again silently into another folder, status 0" [ $? -eq 0 ]
location=$(entry_value InstallLocation)
moved() { [[ $location == 'C:\Velkrom' ]] && cmp -s "$(on_c "$location")/velkrom.exe" "$payload"; }
check "the entry names the new folder ($location), which holds the program" moved
old_folder_gone() { [[ ! -d $(on_c "$old_location") ]]; }
startup_link_gone() { [[ ! -e $(on_c "$old_startup_link") && -z $(entry_value StartupShortcut) ]]; }
check "the earlier folder is gone" old_folder_gone
check "the Startup shortcut is gone" startup_link_gone
check "the running program was closed first" vk_wait_until 10 program_ended
check "the Start menu entry starts the program in the new folder" links_to "$menu_link" "$location\\velkrom.exe" ""

# Started from the Start menu; the uninstaller closes it before it removes
# its files.
vk_wine_run "$arch" start "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Velkrom.lnk" >/dev/null 2>&1
check "started from the Start menu, the program shows its tray entry" vk_wait_until 30 vk_tray_count_is 1

vk_wine_run "$arch" "$(on_c "$location")/uninstall.exe" /S >"$work/uninstall.log" 2>&1
# The silent uninstaller hands over to its copy in the temporary folder and
# returns at once; the copy removes the installation folder last.
check "the silent uninstaller removes the installation folder" vk_wait_until 30 folder_gone
check "the running program ended" vk_wait_until 10 program_ended
check "its tray entry went with it" vk_wait_until 10 vk_tray_count_is 0
check "the uninstall entry is gone" entry_gone
drive_c_listing >"$work/after.txt"
if ! diff -u "$work/before.txt" "$work/after.txt" >"$work/left.txt"; then
  sed -n '3,$p' "$work/left.txt" | sed 's/^/     /'
  check "drive C: holds the same files as before the installation" false
else
  check "drive C: holds the same files as before the installation" true
fi

pkg_finish "windows package check"
