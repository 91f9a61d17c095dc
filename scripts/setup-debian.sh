#!/usr/bin/env bash
# Installs the Debian packages Velkrom needs, and only those missing, on
# Debian 12 "bookworm" or 13 "trixie" (names that differ are chosen by the
# release in /etc/os-release; another release gets the names of 13).
#
#   scripts/setup-debian.sh run      build and start the program (default)
#   scripts/setup-debian.sh package  also build the Debian package
#   scripts/setup-debian.sh windows  cross-build the Windows programs and make their
#                                    zips and installer
#   scripts/setup-debian.sh test     also every test: unit, sanitizers, MinGW, end to end,
#                                    and the checks of the package
#   scripts/setup-debian.sh debian13 what scripts/check-debian13.sh needs to make and
#                                    enter its Debian 13 root
#
# When everything is present it returns at once without touching apt, so the
# run and test scripts can call it every time. A package the release's
# archive does not have, or that apt cannot install, does not stop the rest:
# everything else is installed, then the missing ones are named.
#
# Exit status: 0 when every package is present; 1 when some are missing and
# this is neither root nor has sudo (nothing installed; the command is
# printed); 2 on a wrong argument; 3 when some could not be installed (the
# others are).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/debian-release.sh
source "$repo/scripts/debian-release.sh"

profile=${1:-run}

# The names that differ between the releases.
if ! tidy_version=$(vk_release_clang_tidy); then
  echo "setup: $(vk_debian_codename | grep . || echo 'this system') is not Debian 12 or 13; asking for the packages of Debian 13" >&2
  tidy_version=19
fi
clang_tidy=clang-tidy-$tidy_version

# Building and starting the Qt program; Xvfb, the tray host and the X tools
# let scripts/run.sh show it on a private display when there is no desktop.
run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins libx11-dev fonts-dejavu-core
  xvfb xauth trayer xdotool x11-utils imagemagick procps
)
# CPack's Debian package: dpkg-shlibdeps (dpkg-dev) computes the package's
# dependencies from the program, and CPack finds the program with file.
package_packages=(dpkg-dev file)
# The Windows programs: the MinGW-w64 cross compilers in their posix threads
# variant (GCC 12's win32 variant has no std::mutex), the GoogleTest source
# the build makes its Windows tests from (googletest), and NSIS for the
# installer.
windows_packages=(cmake ninja-build googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix nsis)
# Tests and benchmarks; prlimit (util-linux) for the address-space limit of
# one end-to-end test; the validators the package is checked with
# (python3-debian reads the machine-readable copyright file); the openbox
# window manager for the test that minimises the window; the release's
# clang-tidy for the static check gate; a private session bus
# with Debian's Python D-Bus bindings for the end-to-end test that plays a
# StatusNotifierItem host (tests/e2e/sni_host.py); the accessibility bus
# (at-spi2-core) and Debian's pyatspi for the end-to-end test that reads the
# window as a screen reader does (tests/e2e/atspi_reader.py). For the Windows
# programs: Wine to run them and their tests with Wine's own fonts
# (fonts-wine: "MS Sans Serif", the face the windows are laid out for), and
# pefile to check the built files from here.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev util-linux openbox
  lintian desktop-file-utils appstream python3-debian "$clang_tidy"
  dbus-daemon python3-dbus python3-gi at-spi2-core python3-pyatspi
  wine wine64 fonts-wine python3-pefile
)

# scripts/check-debian13.sh: debootstrap makes the root; rsync copies the
# checkout's changed files into it; ip (iproute2) brings up the loopback of
# the tests' own network.
debian13_packages=(debootstrap rsync iproute2)

# Whether this kernel runs 32-bit x86 programs. Asked by running one: a
# 96-byte static i386 program that exits with status 42 through int 0x80.
# The kernel's configuration alone does not tell (IA32 emulation can be
# switched off at boot, and /proc/config.gz is often absent), and the
# 32-bit Wine is worth installing only where it can run.
runs_32bit() {
  [[ $(uname -m) == x86_64 || $(uname -m) == i?86 ]] || return 1
  local dir status
  dir=$(mktemp -d) || return 1
  # ELF header, one loadable segment at 0x08048000, then
  # mov eax, 1; mov ebx, 42; int 0x80 (exit(42)).
  printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$dir/exit42"
  chmod +x "$dir/exit42"
  "$dir/exit42" 2>/dev/null
  status=$?
  rm -rf "$dir"
  ((status == 42))
}

case $profile in
  run) wanted=("${run_packages[@]}") ;;
  package) wanted=("${run_packages[@]}" "${package_packages[@]}") ;;
  windows) wanted=("${windows_packages[@]}") ;;
  debian13) wanted=("${debian13_packages[@]}") ;;
  test)
    wanted=("${run_packages[@]}" "${package_packages[@]}" "${windows_packages[@]}" "${test_packages[@]}")
    # The i686 program and its tests run on the 32-bit Wine.
    if runs_32bit; then
      wanted+=(wine32:i386)
    else
      echo "setup: this kernel runs no 32-bit programs; the i686 Windows tests will be skipped"
    fi
    ;;
  *)
    echo "usage: $0 [run|package|windows|test|debian13]" >&2
    exit 2
    ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [[ $status == installed ]] || missing+=("$pkg")
done

if ((${#missing[@]} == 0)); then
  echo "setup: all ${#wanted[@]} Debian packages for '$profile' are present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
if ((EUID == 0)); then
  as_root=(env)
elif command -v sudo >/dev/null; then
  as_root=(sudo env)
else
  echo "setup: these packages are missing and this is not root (no sudo either):" >&2
  echo "  apt-get install ${missing[*]}" >&2
  exit 1
fi

# Packages of another architecture need it added before the lists are read.
for pkg in "${missing[@]}"; do
  arch=${pkg#*:}
  [[ $pkg == *:* ]] || continue
  if ! { dpkg --print-architecture; dpkg --print-foreign-architectures; } | grep -qx "$arch"; then
    "${as_root[@]}" dpkg --add-architecture "$arch"
  fi
done
# Old lists may still serve; a package they lack is named below.
"${as_root[@]}" apt-get update || echo "setup: apt-get update failed; going on with the lists there are" >&2

# A name the archive does not know (or knows only as a virtual package)
# would make apt refuse the whole set: those are left out and named.
known=()
unknown=()
for pkg in "${missing[@]}"; do
  candidate=$(apt-cache policy "$pkg" 2>/dev/null | sed -n 's/^ *Candidate: //p')
  if [[ -n $candidate && $candidate != '(none)' ]]; then
    known+=("$pkg")
  else
    unknown+=("$pkg")
  fi
done

# Another apt on the same machine holds dpkg's lock for a while: wait for it
# rather than fail.
install() {
  "${as_root[@]}" DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=600 "$@"
}
if ((${#known[@]} > 0)) && ! install "${known[@]}"; then
  # One package apt cannot install (a conflict, a broken dependency) makes it
  # install none: then each on its own, so all the others go in.
  echo "setup: apt could not install them together; trying one at a time" >&2
  for pkg in "${known[@]}"; do
    install "$pkg" || true
  done
fi

still_missing=()
for pkg in "${missing[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [[ $status == installed ]] || still_missing+=("$pkg")
done
if ((${#still_missing[@]} == 0)); then
  echo "setup: all ${#wanted[@]} Debian packages for '$profile' are present"
  exit 0
fi
echo "setup: ${#still_missing[@]} of the ${#wanted[@]} Debian packages for '$profile' are missing:" >&2
for pkg in "${still_missing[@]}"; do
  if [[ " ${unknown[*]} " == *" $pkg "* ]]; then
    echo "  $pkg (not in this release's archive)" >&2
  else
    echo "  $pkg (apt could not install it; its messages are above)" >&2
  fi
done
exit 3
