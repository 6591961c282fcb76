#!/usr/bin/env bash
# Runs the libFuzzer targets of tests/fuzz, built with clang, ASan and UBSan
# in build-fuzz/.
#
#   scripts/fuzz.sh TARGET SECONDS  one target for that long; its corpus grows
#                                   outside the tree, in $TALQ_FUZZ_DIR/TARGET
#                                   (default /var/tmp/talq-fuzz), seeded from
#                                   tests/fuzz/corpus/TARGET; findings go to
#                                   $TALQ_FUZZ_DIR/findings/
#   scripts/fuzz.sh --ci [RUNS]     every target for RUNS runs (default 50000)
#                                   from the checked-in seeds; the tree is not
#                                   written; skipped when clang has no libFuzzer
#
# TARGET is one of: status_file reply_reader exchanges command_framer status_json
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(status_file reply_reader exchanges command_framer status_json)
build=build-fuzz
usage() { echo "usage: $0 TARGET SECONDS | --ci [RUNS]   (TARGET: ${targets[*]})" >&2; exit 2; }
[ $# -ge 1 ] || usage

build_targets() {
  if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ not found; no fuzz targets"
    return 1
  fi
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALQ_FUZZ=ON -DTALQ_BUILD_TESTS=OFF >/dev/null
  if ! grep -q '^TALQ_HAVE_LIBFUZZER:INTERNAL=1' "$build/CMakeCache.txt"; then
    echo "fuzz: clang++ has no libFuzzer; no fuzz targets"
    return 1
  fi
  cmake --build "$build" --target talq-fuzz
}

# Every target gets the protocol dictionary; a slow input is a finding too.
options=(-dict=tests/fuzz/talq.dict -timeout=25 -rss_limit_mb=2048 -print_final_stats=1)

if [ "$1" = --ci ]; then
  runs="${2:-50000}"
  build_targets || exit 0
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' EXIT
  for target in "${targets[@]}"; do
    mkdir -p "$scratch/$target"
    echo "fuzz: $target, $runs runs"
    "$build/tests/fuzz/fuzz_$target" "${options[@]}" -runs="$runs" -seed=1 \
      -artifact_prefix="$scratch/" "$scratch/$target" "tests/fuzz/corpus/$target" 2>"$scratch/log" ||
      { tail -n 40 "$scratch/log"; mkdir -p "$build/findings"; cp "$scratch"/crash-* "$scratch"/timeout-* \
          "$scratch"/leak-* "$scratch"/oom-* "$build/findings/" 2>/dev/null || true
        echo "fuzz: $target found a fault; the input is in $build/findings/"; exit 1; }
    grep -E 'DONE' "$scratch/log" || true
  done
  exit 0
fi

[ $# -eq 2 ] || usage
target="$1"
seconds="$2"
[[ " ${targets[*]} " == *" $target "* ]] || usage
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
build_targets || exit 1
dir="${TALQ_FUZZ_DIR:-/var/tmp/talq-fuzz}"
mkdir -p "$dir/$target" "$dir/findings"
exec "$build/tests/fuzz/fuzz_$target" "${options[@]}" -max_total_time="$seconds" \
  -artifact_prefix="$dir/findings/" "$dir/$target" "tests/fuzz/corpus/$target"
