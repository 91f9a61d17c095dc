#!/usr/bin/env bash
# Installs the Debian 12 packages Velkrom needs, and only those missing.
#
#   scripts/setup-debian.sh run      build and start the program (default)
#   scripts/setup-debian.sh package  also build the Debian package
#   scripts/setup-debian.sh test     also every test: unit, sanitizers, MinGW, end to end,
#                                    and the checks of the package
#
# When everything is present it returns at once without touching apt, so the
# run and test scripts can call it every time.
set -euo pipefail

profile=${1:-run}

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
# Tests and benchmarks, the MinGW-w64 cross compilers for the Windows core,
# prlimit (util-linux) for the address-space limit of one end-to-end test,
# the openbox window manager for the one that minimises the window, and the
# validators the package is checked with (python3-debian reads the
# machine-readable copyright file).
test_packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 util-linux openbox
  lintian desktop-file-utils appstream python3-debian
)

case $profile in
  run) wanted=("${run_packages[@]}") ;;
  package) wanted=("${run_packages[@]}" "${package_packages[@]}") ;;
  test) wanted=("${run_packages[@]}" "${package_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 [run|package|test]" >&2
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

"${as_root[@]}" apt-get update
# Another apt on the same machine holds dpkg's lock for a while: wait for it
# rather than fail.
"${as_root[@]}" DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
