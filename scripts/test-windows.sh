#!/usr/bin/env bash
# Builds the Windows targets (talq.exe, talq-manager.exe, the core and the suites that run
# under Wine) with MinGW-w64, for x64 into build-windows/ and for x86 into build-windows-x86/,
# makes each installer, runs the suites under Wine (the installers' among them; the x86 build
# runs a smaller set, in a 32-bit prefix), and makes the zips. The serial and talq.exe tests
# need the Linux build's talq-printer-sim and talq: pass its folder (default build/) or run
# scripts/test.sh first. Each test makes its own Wine prefix (scripts/wine-run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows

host=${1:-build}
flags=(-DTALQ_WERROR=ON -DCMAKE_BUILD_TYPE=Release)
if [ -x "$host/sim/talq-printer-sim" ] && [ -x "$host/src/cli/talq" ]; then
  flags+=(-DTALQ_HOST_BUILD_DIR="$PWD/$host")
else
  echo "test-windows: no Linux build in $host/: the serial tests under Wine are left out" >&2
fi
command -v ccache >/dev/null && flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths below the checkout reach ccache relative to it, so another clone of the tree on the
# same machine finds what this one compiled.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

# Every Wine run of the suites starts from a copy of one prefix per arch, made once here.
TALQ_WINE_TEMPLATES=$(mktemp -d "${TMPDIR:-/tmp}/talq-wine-templates.XXXXXX")
export TALQ_WINE_TEMPLATES
trap 'rm -rf "$TALQ_WINE_TEMPLATES"' EXIT

summary=()
for target in x64:build-windows:mingw-w64 x86:build-windows-x86:mingw-w64-i686; do
  IFS=: read -r arch build toolchain <<<"$target"
  start=$(date +%s)
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" "${flags[@]}"
  cmake --build "$build"
  cmake --build "$build" --target msi
  built=$(date +%s)
  ctest --test-dir "$build" --output-on-failure --timeout 600 --parallel 2
  tested=$(date +%s)
  (cd "$build" && cpack -G ZIP >/dev/null)
  packages=$(ls "$build"/talquist-manager-*.zip "$build"/talquist-manager-*-"$arch".msi)
  summary+=("$arch: build $((built - start)) s, tests under Wine $((tested - built)) s;"\
" packages: ${packages//$'\n'/ }")
done
printf 'Windows %s\n' "${summary[@]}"
