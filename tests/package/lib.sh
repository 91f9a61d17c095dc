# shellcheck shell=bash
# What the package checks share. Source it after scripts/desktop.sh.
#
#   check WHAT COMMAND...   runs one check, prints "ok" or "FAIL" and WHAT,
#                           and counts the failures
#   pkg_work_dir PREFIX     a scratch folder removed on exit, in $work
#   pkg_finish NAME         prints how NAME ended; exits 1 when a check failed

failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}

pkg_work_dir() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX") || exit 1
  vk_on_exit "rm -rf '$work'"
}

pkg_finish() {
  if ((failures)); then
    echo "$1: $failures check(s) failed"
    exit 1
  fi
  echo "$1: all passed"
  exit 0
}
