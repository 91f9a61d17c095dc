#!/usr/bin/env bash
# Configures and builds one flavour of Velkrom in its own folder under build/.
#
#   scripts/build.sh release [TARGET...]   optimised program, tests and benchmarks
#                                          (VK_UNIT_TESTS=OFF: the end-to-end tests alone)
#   scripts/build.sh asan [TARGET...]      tests under AddressSanitizer + UBSan
#   scripts/build.sh package [TARGET...]   optimised program alone: for scripts/run.sh and the package
#   scripts/build.sh mingw-x86_64          the 64-bit Windows program, its tests and benchmark
#   scripts/build.sh mingw-i686            the same for 32-bit Windows
#
# Prints nothing but the build's own output; the folder is build/FLAVOUR
# (VK_BUILD_ROOT moves build/ elsewhere). Where ccache is installed a new
# build folder compiles through it (unless CMAKE_CXX_COMPILER_LAUNCHER says
# otherwise), so a build folder made again compiles only what changed.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
flavour=${1:?usage: $0 release|asan|package|mingw-x86_64|mingw-i686 [TARGET...]}
shift
dir=${VK_BUILD_ROOT:-$repo/build}/$flavour

release=(-DCMAKE_BUILD_TYPE=Release)

if [[ -z ${CMAKE_CXX_COMPILER_LAUNCHER+set} ]] && command -v ccache >/dev/null 2>&1; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi

case $flavour in
  release) options=("${release[@]}" "-DVK_UNIT_TESTS=${VK_UNIT_TESTS:-ON}") ;;
  # Line tables only: all a sanitizer's report needs to name file and line,
  # at a fraction of the full debugging information's compile time.
  asan) options=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DVK_SANITIZE=ON
    -DVK_BUILD_BENCH=OFF) ;;
  package) options=("${release[@]}" -DVK_BUILD_TESTS=OFF -DVK_BUILD_BENCH=OFF) ;;
  mingw-x86_64 | mingw-i686)
    # Tests and benchmarks on: a build folder from before they existed for
    # Windows still has them off in its cache.
    options=("${release[@]}" "-DCMAKE_TOOLCHAIN_FILE=$repo/cmake/$flavour.cmake"
      -DVK_BUILD_TESTS=ON -DVK_BUILD_BENCH=ON)
    ;;
  *)
    echo "build: unknown flavour '$flavour'" >&2
    exit 2
    ;;
esac

cmake -S "$repo" -B "$dir" -G Ninja "${options[@]}"
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$dir" "${targets[@]}"
