#!/usr/bin/env bash
# Serves a simulated KTV-520plus on a pseudo-terminal, presents it as COM5 in a
# Wine prefix of its own (scripts/wine-run.sh) and runs talq-bench-wine-get there.
#   wine_get_bench.sh SIM BENCH_EXE TALQ_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/talq-wine-bench.XXXXXX")
"$1" --model KTV-520plus --link "$work/printer" >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -e "$work/printer" ] && break; sleep 0.05; done
TALQ_WINE_PORTS="com5=$work/printer" "$here/../scripts/wine-run.sh" "$2" "$3"
