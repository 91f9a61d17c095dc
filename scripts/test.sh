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
#      on the Release build and again on the sanitizer build, then those of
#      the Windows programs under Wine, each on its own Xvfb + trayer under
#      openbox
#   5. the Debian package of the Release build, checked as its users and
#      Debian's validators see it (tests/package/check.sh), and the Windows
#      zips and installer, the installer run under Wine
#      (tests/package/check_windows.sh)
#   6. the README's layout names only paths that exist (tests/readme_layout.sh)
#
# After the Release build, the other builds, the static check and the unit
# tests run in two lanes side by side. The end-to-end sets then run one at a
# time and never beside a build (they wait on windows and timers, and a
# build beside them makes them see a load no desktop has); beside each runs
# one step that times nothing they would disturb: the Debian package check
# beside the Release set, the Windows package check beside the sanitizer
# set, the Windows unit tests beside the Windows set. The three markers
# tests run last, at once, taking turns where they measure free memory.
# Every step runs even when an earlier one failed; a summary follows, with
# each step's wall time and the CPU time of its processes, and the exit
# status is nonzero when any step failed. The
# very last line sums the tests of every step, "N passed, N failed, N
# skipped": each ctest test and each check of the package checks; a step
# that failed without a failed test of its own (a build) counts as one
# failed. Logs: build/logs/.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${VK_BUILD_ROOT:-$repo/build}
logs=$build_root/logs
jobs=$(nproc 2>/dev/null || echo 2)
# The end-to-end tests at a time, Qt and Windows, on any machine: the
# number they are proven at.
e2e_jobs=2
mkdir -p "$logs"
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
# writes "STATUS TICKS START END" to build/logs/NAME.status: its exit status,
# the CPU time (user + system, in clock ticks) of itself and of the processes
# it waited for, and the script's SECONDS when it started and ended.
# (Wine's server, which nothing waits for, is not in it.)
measured() (
  local name=$1 self=$BASHPID start=$SECONDS fields status
  shift
  "$@"
  status=$?
  read -ra fields < <(sed 's/^.*) //' "/proc/$self/stat")
  echo "$status $((fields[11] + fields[12] + fields[13] + fields[14])) $start $SECONDS" >"$logs/$name.status"
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
  rm -f "$logs/$name.status"
  measured "$name" "$@" 2>&1 | tee "$logs/$name.log"
  step_recorded "$name"
}

# step_recorded NAME: records how the step NAME ended, from what `measured`
# wrote (a step that wrote nothing failed); returns the step's status.
step_recorded() {
  local name=$1 status ticks start end
  read -r status ticks start end <"$logs/$name.status" 2>/dev/null ||
    status=1 ticks=0 start=$SECONDS end=$SECONDS
  record "$name" "$status" $((end - start)) "$ticks"
  return "$status"
}

# step_to_log NAME COMMAND...: runs one step as `step` does, its output to
# build/logs/NAME.log alone.
step_to_log() {
  rm -f "$logs/$1.status"
  measured "$@" >"$logs/$1.log" 2>&1
}

# step_begin NAME COMMAND...: starts a step in the background; step_end NAME
# waits for it, prints its log and records the step as `step` does.
declare -A step_pids=()
step_begin() {
  step_to_log "$@" &
  step_pids[$1]=$!
}
step_end() {
  wait "${step_pids[$1]}"
  step_shown "$1"
}
# Prints a step's log that ran in the background and records the step.
step_shown() {
  echo
  echo "==== $1"
  cat "$logs/$1.log"
  step_recorded "$1"
}

# lane NAME COMMAND... [-- NAME COMMAND...]...: starts steps in the
# background that run one after another, each as step_begin would run it.
# lanes_end waits for every lane; the steps are then shown with step_shown.
lane_pids=()
lane() {
  (
    words=()
    for word in "$@" --; do
      if [[ $word != -- ]]; then
        words+=("$word")
      elif ((${#words[@]})); then
        step_to_log "${words[@]}"
        words=()
      fi
    done
  ) &
  lane_pids+=($!)
}
lanes_end() {
  wait "${lane_pids[@]}"
  lane_pids=()
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
  local dir=$1 status=0
  shift
  rm -f "$dir/Testing/Temporary/LastTest.log"
  ctest --test-dir "$dir" --output-on-failure --no-tests=error "$@" || status=$?
  # ctest shows nothing of a test that skipped but its name: its reason
  # ("SKIP: why"), from the tests' log.
  awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 }
       /^SKIP: / { sub(/^SKIP: /, ""); print "  " name " skipped: " $0 }' \
    "$dir/Testing/Temporary/LastTest.log" 2>/dev/null
  return "$status"
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

# win32_e2e CTEST-ARGS ARCH...: the Windows end-to-end tests that the ctest
# arguments select, of each built architecture in turn.
win32_e2e() {
  local selection=$1 arch status=0
  shift
  for arch in "$@"; do
    echo "---- e2e-win32-$arch"
    # shellcheck disable=SC2086  # the selection is several arguments
    ctest_in "$build_root/mingw-$arch" $selection || status=1
  done
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

# The header check is part of each Windows build. Where the programs of an
# architecture cannot run, its tests are not built either (they would only
# be skipped): the program and the header check are.
build_windows() {
  local targets=()
  vk_wine_missing "$1" >/dev/null && targets=(velkrom vk_windows_header_check)
  "$repo/scripts/build.sh" "mingw-$1" "${targets[@]}"
}
# The unit tests under the sanitizers, in the sanitizer build's lane: where
# that build failed there is nothing to run, which the step says.
asan_unit_tests() {
  local status=1
  read -r status _ <"$logs/asan-build.status" 2>/dev/null
  if ((status != 0)); then
    echo "SKIPPED: the sanitizer build failed"
    return 0
  fi
  asan_ctest "$build_root/asan" -LE e2e -j "$jobs"
}

if step setup "$repo/scripts/setup-debian.sh" test; then
  release_built=false
  if step release-build "$repo/scripts/build.sh" release; then
    release_built=true
  fi
  # Wine's template prefix, which every Windows test's prefix copies, is
  # made while the programs build: about 10 s, nearly all of it waiting on
  # Wine's own start, which would otherwise hold up the first Windows test.
  # A prefix made before it is done waits for it (flock).
  template_pid=''
  if ! vk_wine_missing x86_64 >/dev/null; then
    vk_wine_template >"$logs/wine-template.log" 2>&1 &
    template_pid=$!
  fi
  # The other builds, the static check (which reads what the Release build
  # compiled) and the unit tests under the sanitizers in two lanes side by
  # side, about as long as each other from a fresh clone: after a change to
  # one file each build is mostly a configure step and a link or two, which
  # one after another would leave a core idle. (The unit tests wait on no
  # clock they would miss under a build's load.)
  release_steps=()
  $release_built && release_steps=(tidy "$repo/scripts/tidy.sh"
    -- release-tests ctest_in "$build_root/release" -LE e2e -j "$jobs" --)
  lane asan-build "$repo/scripts/build.sh" asan -- "${release_steps[@]}" asan-tests asan_unit_tests
  lane mingw-i686 build_windows i686 -- mingw-x86_64 build_windows x86_64
  lanes_end
  asan_built=false
  windows_built=()
  step_shown asan-build && asan_built=true
  if $release_built; then
    step_shown tidy
    step_shown release-tests
  fi
  step_shown asan-tests
  for arch in i686 x86_64; do
    step_shown "mingw-$arch" && windows_built+=("$arch")
  done

  # The end-to-end tests: each starts its own private X server and tray
  # host. Two at a time, as a desktop with one other busy program, and never
  # beside a build: their timings and memory figures should see no build's
  # load (seen: a countdown and a markers test failing while the sanitizer
  # build ran beside them). Beside each set runs a step that keeps about
  # half a core busy and times nothing the set would disturb: the sets
  # mostly wait on windows and on the program's timers, and left a core
  # idle about half their time. The Debian package check (whose program
  # ends by itself within 15 s) beside the Release set, the Windows package
  # check (an installer run under Wine) beside the sanitizer set, the
  # Windows unit tests beside the Windows set. The markers tests (label
  # alone) run after all that, the three of them at once and nothing else:
  # they compare the free bars' widths before and after a freeing run, which
  # another program's start or another test's freeing run would move, so
  # they take turns for those parts.
  if $release_built; then
    step_begin package package_checks
    step e2e-tests ctest_in "$build_root/release" -L e2e -LE alone -j "$e2e_jobs"
    step_end package
  fi
  # The template made, or failed: a failure is made again, and reported,
  # by the first test's prefix.
  [[ -z $template_pid ]] || wait "$template_pid"
  ((${#windows_built[@]} == 2)) && step_begin windows-package windows_package_checks
  if $asan_built; then
    step asan-e2e-tests asan_ctest "$build_root/asan" -L e2e -LE alone -j "$e2e_jobs"
  fi
  ((${#windows_built[@]} == 2)) && step_end windows-package
  # The Windows programs end to end, each test in its own Wine prefix under
  # openbox; a test of an architecture that cannot run here reports itself
  # skipped with the reason. The architectures' unit tests take turns
  # (wine_ctest's lock; a step's wall time includes its wait).
  for arch in "${windows_built[@]}"; do
    step_begin "mingw-$arch-tests" wine_ctest "$arch" "$build_root/mingw-$arch"
  done
  if ((${#windows_built[@]})); then
    step e2e-win32 win32_e2e "-L e2e-win32 -LE alone -j $e2e_jobs" "${windows_built[@]}"
  fi
  # The i686 tests are reported first, so that a run whose i686 tests all
  # skip does not end on them.
  for arch in "${windows_built[@]}"; do
    step_end "mingw-$arch-tests"
  done
  # The three markers tests at once, taking turns through their free-memory
  # lock (tests/e2e/lib.sh) for all but their waits for the markers to go.
  $release_built && step_begin e2e-alone ctest_in "$build_root/release" -L alone
  $asan_built && step_begin asan-e2e-alone asan_ctest "$build_root/asan" -L alone
  if ((${#windows_built[@]})); then
    step e2e-win32-alone win32_e2e "-L e2e-win32 -L alone" "${windows_built[@]}"
  fi
  $release_built && step_end e2e-alone
  $asan_built && step_end asan-e2e-alone
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
