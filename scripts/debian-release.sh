# shellcheck shell=bash
# What differs between the Debian releases Velkrom is built and tested on:
# 12 "bookworm" and 13 "trixie". Sourced by setup-debian.sh and tidy.sh.
#
# The release is read from /etc/os-release (VK_OS_RELEASE names another
# file, for a look at what a script would choose elsewhere).

# Prints the release's code name (bookworm, trixie), or nothing.
vk_debian_codename() {
  (
    # shellcheck disable=SC1090,SC1091
    source "${VK_OS_RELEASE:-/etc/os-release}" 2>/dev/null || exit 0
    echo "${VERSION_CODENAME:-}"
  )
}

# Prints the clang-tidy major version a release ships as its default (its
# package clang-tidy-N); status 1 on another release.
vk_release_clang_tidy() {
  case $(vk_debian_codename) in
    bookworm) echo 14 ;;
    trixie) echo 19 ;;
    *) return 1 ;;
  esac
}

# Prints the clang-tidy major version the static check uses: the release's
# default, and on another system the newest clang-tidy-N on PATH.
# Nothing and status 1 when there is none.
vk_clang_tidy_version() {
  vk_release_clang_tidy && return 0
  local dir found=()
  local IFS=:
  for dir in $PATH; do
    found+=("$dir"/clang-tidy-[0-9]*)
  done
  printf '%s\n' "${found[@]}" | sed -n 's|.*/clang-tidy-\([0-9]*\)$|\1|p' |
    sort -n | tail -n 1 | grep .
}
