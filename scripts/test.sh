#!/usr/bin/env bash
# Installs what is missing, builds Velkrom and runs every test:
#
#   1. the Release build of the program (build/release) and the static check
#      gate, clang-tidy over src/ as that build compiles it (scripts/tidy.sh)
#   2. the unit and scenario tests under AddressSanitizer + UBSan (build/asan);
#      they run once, in this build: the Release build makes the program
#      and the end-to-end tests' tools, not the unit tests a second time
#   3. the Windows programs cross-compiled with MinGW-w64 (build/mingw-i686,
#      build/mingw-x86_64), every portable header checked beside <windows.h>,
#      and their tests run under Wine (i686 only where 32-bit Wine runs), the
#      Win32 toolkit's contract on a private X display among them
#   4. end-to-end tests of the real Qt program, each on its own Xvfb + trayer,
#      on the Release build and again on the sanitizer build, and those of
#      the Windows programs under Wine, each on its own Xvfb + trayer under
#      openbox
#   5. the Debian package of the Release build, checked as its users and
#      Debian's validators see it (tests/package/check.sh), and the Windows
#      zips and installer, the installer run under Wine
#      (tests/package/check_windows.sh)
#   6. the README's layout names only paths that exist (tests/readme_layout.sh)
#
# The builds and the static check run one at a time, each using every core.
# The end-to-end tests, the Windows unit tests and the package checks run
# after every build: first the markers tests alone, then two lanes side by
# side, the Qt program's end-to-end sets in one, the Windows program's set
# followed by the Windows unit tests and the package checks in the other
# (see the lanes below).
# Every step runs even when an earlier one failed; a summary follows, with
# each step's wall time and the CPU time of its processes, and the exit status is nonzero when any step failed. The
# very last line sums the tests of every step, "N passed, N failed, N
# skipped": each ctest test and each check of the package checks; a step
# that failed without a failed test of its own (a build) counts as one
# failed. Logs: build/logs/.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${VK_BUILD_ROOT:-$repo/build}
logs=$build_root/logs
jobs=$(nproc 2>/dev/null || echo 2)
# The end-to-end tests at a time in each lane, Qt and Windows, on any
# machine: the number they are proven at.
e2e_jobs=2
mkdir -p "$logs"
# A step's status file says it ran in this run.
rm -f "$logs"/*.status
# The Release build without the unit tests, also when the package step
# builds it again (scripts/package.sh release).
export VK_UNIT_TESTS=OFF

# shellcheck source=scripts/wine.sh
source "$repo/scripts/wine.sh"

names=()
results=()
notes=()
failed=0
total_passed=0 total_failed=0 total_skipped=0
start_all=$SECONDS

# measured NAME COMMAND...: runs the command in a shell of its own, which
# writes "STATUS TICKS END START" to build/logs/NAME.status: its exit
# status, the CPU time (user + system, in clock ticks) of itself and of the
# processes it waited for, and the script's SECONDS when it ended and began.
# Until it ends, the file reads "running". (Wine's server, which nothing
# waits for, is not in the CPU time.)
measured() (
  local name=$1 self=$BASHPID start=$SECONDS fields status
  shift
  echo "running 0 0 $start" >"$logs/$name.status"
  "$@"
  status=$?
  read -ra fields < <(sed 's/^.*) //' "/proc/$self/stat")
  echo "$status $((fields[11] + fields[12] + fields[13] + fields[14])) $SECONDS $start" >"$logs/$name.status"
  exit "$status"
)
ticks_per_second=$(getconf CLK_TCK 2>/dev/null || echo 100)

# step NAME COMMAND...: runs one step, its output to the terminal and to
# build/logs/NAME.log, and records how it ended.
step() {
  local name=$1
  shift
  echo
  echo "==== $name"
  measured "$name" "$@" 2>&1 | tee "$logs/$name.log"
  step_recorded "$name"
}

# step_recorded NAME: records how the step NAME ended, from what `measured`
# wrote (a step that never ended failed); returns the step's status.
step_recorded() {
  local name=$1 status ticks end start
  read -r status ticks end start <"$logs/$name.status" 2>/dev/null
  if [[ ! $status =~ ^[0-9]+$ ]]; then
    status=1 ticks=0 end=$SECONDS start=${start:-$SECONDS}
  fi
  record "$name" "$status" $((end - start)) "$ticks"
  return "$status"
}

# step_quiet NAME COMMAND...: runs a step with its output to
# build/logs/NAME.log alone, for steps that run beside others; step_report
# NAME prints that log and records the step as `step` does.
step_quiet() {
  local name=$1
  shift
  measured "$name" "$@" >"$logs/$name.log" 2>&1
}
step_report() {
  echo
  echo "==== $1"
  cat "$logs/$1.log"
  step_recorded "$1"
}

# record NAME STATUS SECONDS TICKS: the step's line in the summary, and its
# tests in the closing line's sums.
record() {
  local name=$1 status=$2 seconds=$3 ticks=$4 result=PASS
  names+=("$name")
  if ((status != 0)); then
    result=FAIL
    failed=1
  fi
  results+=("$(printf '%s %4d s %4d s' "$result" "$seconds" $((ticks / ticks_per_second)))")
  notes+=("$(note_for "$name")")
  local passed failed_tests skipped
  read -r passed failed_tests skipped < <(count_tests "$logs/$name.log")
  # A step that failed with no failed test of its own still fails the sum.
  ((status != 0 && failed_tests == 0)) && failed_tests=1
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed_tests))
  total_skipped=$((total_skipped + skipped))
}

# count_tests LOG: prints "PASSED FAILED SKIPPED" for the tests in LOG, from
# ctest's line per test ("  3/17 Test  #3: e2e_about ....   Passed  2.1 sec")
# and the package checks' line per check ("ok   WHAT", "FAIL WHAT"; an
# end-to-end test's own "FAIL [NAME]: why" is counted by ctest's line). A ctest
# result other than Passed, Skipped or disabled counts as failed (a timeout,
# a crash, an executable that is missing).
count_tests() {
  awk '
    /^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: / {
      if ($0 ~ / Passed +[0-9.]+ sec/) p++
      else if ($0 ~ /\*\*\*Skipped|Not Run \(Disabled\)/) s++
      else f++
      next
    }
    /^ok   / { p++ }
    /^FAIL [^[]/ { f++ }
    END { print p + 0, f + 0, s + 0 }
  ' "$1" 2>/dev/null || echo 0 1 0
}

# A short note for the summary: test counts, and which tests were skipped.
note_for() {
  local log=$logs/$1.log
  [[ -f $log ]] || return 0
  local line skipped
  line=$(grep -m 1 '^SKIPPED: ' "$log")
  if [[ -n $line ]]; then
    echo "${line#SKIPPED: }"
    return 0
  fi
  line=$(grep -E '^[0-9]+% tests passed' "$log" | paste -sd ';' | sed 's/;/; /g')
  # ctest lists them at the end as "<tab>  3 - e2e_about (Skipped)".
  skipped=$(sed -nE 's/^[[:space:]]+[0-9]+ - ([^ ]+) \(Skipped\)$/\1/p' "$log" | tr '\n' ' ')
  echo "${line}${skipped:+; skipped: $skipped}"
}

ctest_in() {
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure --no-tests=error "$@"
}

# wine_ctest ARCH DIR: the cross-built tests in DIR under Wine, all in one
# fresh prefix whose Wine stays up for the run, one architecture at a time;
# says why when ARCH cannot run.
wine_ctest() (
  source "$repo/scripts/wine.sh"
  local why
  if why=$(vk_wine_missing "$1"); then
    echo "SKIPPED: $1 Windows tests not run: $why"
    exit 0
  fi
  local lock
  exec {lock}>"$build_root/wine-unit-tests.lock"
  flock "$lock"
  vk_wine_prefix_new || exit 1
  trap vk_wine_end EXIT
  vk_wine_serve || exit 1
  export VK_WINE_PREFIX=$WINEPREFIX
  ctest_in "$2" -LE e2e -j "$jobs"
)

# The markers tests (Qt and Windows) compare the free bars' widths before
# and after a freeing run, which any other test's programs, Wine prefixes
# and freeing runs would move: they run alone, in a step of their own, and
# the end-to-end sets run without them.
markers='_markers$'

# win32_e2e CTEST-ARGS...: the Windows end-to-end tests of each built
# architecture (windows_built), in turn.
win32_e2e() {
  local arch status=0
  for arch in "${windows_built[@]}"; do
    echo "---- e2e-win32-$arch"
    ctest_in "$build_root/mingw-$arch" -L e2e-win32 "$@" || status=1
  done
  return "$status"
}

# The markers tests of every built tree, one after another.
markers_alone() {
  local status=0
  if $release_built; then
    echo "---- release"
    ctest_in "$build_root/release" -L e2e -R "$markers" || status=1
  fi
  if $asan_built; then
    echo "---- asan"
    asan_ctest "$build_root/asan" -L e2e -R "$markers" || status=1
  fi
  win32_e2e -R "$markers" || status=1
  return "$status"
}

asan_ctest() (
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$repo/tests/e2e/lsan.supp
  ctest_in "$@"
)

# Makes the Debian package of the Release build and checks it.
package_checks() {
  "$repo/scripts/package.sh" release || return 1
  local debs=("$build_root"/release/velkrom_*.deb)
  bash "$repo/tests/package/check.sh" "${debs[0]}"
}

# Makes the Windows zips and installer and checks them.
windows_package_checks() {
  "$repo/scripts/package.sh" windows || return 1
  bash "$repo/tests/package/check_windows.sh" "$build_root/mingw-i686" "$build_root/mingw-x86_64"
}

if step setup "$repo/scripts/setup-debian.sh" test; then
  release_built=false
  asan_built=false
  if step release-build "$repo/scripts/build.sh" release; then
    release_built=true
    step release-tests ctest_in "$build_root/release" -LE e2e -j "$jobs"
    step tidy "$repo/scripts/tidy.sh"
  fi
  if step asan-build "$repo/scripts/build.sh" asan; then
    asan_built=true
    step asan-tests asan_ctest "$build_root/asan" -LE e2e -j "$jobs"
  fi
  # Wine's template prefix, which every Windows test's prefix copies, is
  # made while the Windows programs build: about 10 s, nearly all of it
  # waiting on Wine's own start, which would otherwise hold up the first
  # Windows test. A prefix made before it is done waits for it (flock).
  template_pid=''
  if ! vk_wine_missing x86_64 >/dev/null; then
    vk_wine_template >"$logs/wine-template.log" 2>&1 &
    template_pid=$!
  fi
  # The header check is part of each Windows build. Where the programs of
  # an architecture cannot run, its tests are not built either (they would
  # only be skipped): the program and the header check are.
  windows_built=()
  for arch in i686 x86_64; do
    targets=()
    vk_wine_missing "$arch" >/dev/null && targets=(velkrom vk_windows_header_check)
    if step "mingw-$arch" "$repo/scripts/build.sh" "mingw-$arch" "${targets[@]}"; then
      windows_built+=("$arch")
    fi
  done
  # The template made, or failed: a failure is made again, and reported,
  # by the first test's prefix.
  [[ -z $template_pid ]] || wait "$template_pid"

  # The tests of the built programs, after every build: no build runs
  # beside them, as their timings and memory figures should see no build's
  # load (seen: a countdown and a markers test failing while the sanitizer
  # build ran beside them). Each end-to-end test starts its own private X
  # server and tray host (the Windows ones under openbox, each in its own
  # Wine prefix; a test of an architecture that cannot run here reports
  # itself skipped with the reason).
  # First the markers tests, alone.
  if $release_built || $asan_built || ((${#windows_built[@]})); then
    step e2e-markers markers_alone
  fi
  # Then two lanes side by side, each running two end-to-end tests at a
  # time, as a desktop with a few busy programs; the tests wait on windows
  # and timers far more than they compute (about 1.2, 1.4 and 0.7 of a core
  # for the Release, sanitizer and Windows sets). The Qt lane runs the Qt
  # program's sets, Release then sanitizers; the Windows lane the Windows
  # programs' set, then the Windows unit tests and the two package checks
  # side by side: the unit tests mostly wait on Wine's start (5 CPU-s in
  # 10 s), each package check keeps about half a core busy (packing,
  # validators, one program started), and none times anything the others
  # would disturb (a program's own end within 15 s, an installer run under
  # Wine). The architectures' unit tests take turns (wine_ctest's lock; a
  # step's wall time includes its wait). Each step's log prints when both
  # lanes are done, in a fixed order.
  qt_lane() {
    $release_built &&
      step_quiet e2e-tests ctest_in "$build_root/release" -L e2e -E "$markers" -j "$e2e_jobs"
    $asan_built &&
      step_quiet asan-e2e-tests asan_ctest "$build_root/asan" -L e2e -E "$markers" -j "$e2e_jobs"
    return 0
  }
  windows_lane() {
    ((${#windows_built[@]})) && step_quiet e2e-win32 win32_e2e -E "$markers" -j "$e2e_jobs"
    for arch in "${windows_built[@]}"; do
      step_quiet "mingw-$arch-tests" wine_ctest "$arch" "$build_root/mingw-$arch" &
    done
    $release_built && step_quiet package package_checks &
    ((${#windows_built[@]} == 2)) && step_quiet windows-package windows_package_checks &
    wait
  }
  qt_lane &
  qt_lane_pid=$!
  windows_lane &
  windows_lane_pid=$!
  wait "$qt_lane_pid" "$windows_lane_pid"
  # The i686 tests are reported before the x86_64 ones, so that a run whose
  # i686 tests all skip does not end on them.
  for name in e2e-tests asan-e2e-tests e2e-win32 mingw-i686-tests mingw-x86_64-tests \
    package windows-package; do
    [[ -f $logs/$name.status ]] && step_report "$name"
  done
  step readme-layout bash "$repo/tests/readme_layout.sh" "$repo"
fi

echo
echo "==== summary (logs in $logs): step, result, wall time, CPU time"
for i in "${!names[@]}"; do
  printf '  %-18s %-16s %s\n' "${names[i]}" "${results[i]}" "${notes[i]}"
done
echo "  total wall time $((SECONDS - start_all)) s"
# A run that ran no test at all has not shown that anything works.
if ((total_passed == 0 && total_failed == 0)); then
  echo "RESULT: FAILED: no test ran"
  total_failed=1
  failed=1
elif ((failed || total_failed)); then
  echo "RESULT: FAILED"
  failed=1
else
  echo "RESULT: all steps passed"
fi
# The closing line, which CI reads: alone and last.
echo "$total_passed passed, $total_failed failed, $total_skipped skipped"
exit "$failed"
