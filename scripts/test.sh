#!/usr/bin/env bash
# Builds the whole suite and runs it: the Linux build, then the Windows build
# with its suites under Wine (which use the Linux build's simulated printer).
# TALQ_SANITIZE=1 builds the Linux suite alone with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build
flags=(-DTALQ_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo)
skip=()
if [ "${TALQ_SANITIZE:-0}" = 1 ]; then
  build=build-sanitize
  # No benchmarks: nothing runs them here, and they would only lengthen the sanitized build.
  # Line tables (-g1) are all a sanitizer report needs.
  flags=(-DTALQ_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DTALQ_SANITIZE=ON -DTALQ_BUILD_BENCH=OFF
    -DCMAKE_CXX_FLAGS_DEBUG=-g1)
  export ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
  # The package checks and the Ansible walk run no C++ of their own worth sanitizing.
  skip=(-E '^(packaging|ansible)\.')
fi

command -v ccache >/dev/null && flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths below the checkout reach ccache relative to it, so another clone of the tree on the
# same machine finds what this one compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

start=$SECONDS
cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build"
built=$SECONDS
ctest --test-dir "$build" --output-on-failure --timeout 300 --parallel 2 "${skip[@]}"
echo "$build: build $((built - start)) s, tests $((SECONDS - built)) s"
[ "${TALQ_SANITIZE:-0}" = 1 ] || scripts/test-windows.sh "$build"
