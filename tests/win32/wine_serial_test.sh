#!/usr/bin/env bash
# The Win32 serial backend and talq.exe against talq-printer-sim, under Wine:
# two simulated printers on pseudo-terminals (one answering, one silent) that
# the Wine prefix presents as COM5 and COM6. The prefix and its links are
# made by scripts/wine-run.sh; the steps inside it are wine_serial_steps.sh. The
# user is Łukasz, so that the profile folder's name lies outside the ANSI code page.
#   wine_serial_test.sh SIM SERIAL_TESTS_EXE TALQ_EXE [LINUX_TALQ]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sim=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/talq-wine-serial.XXXXXX")
pids=()
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT

"$sim" --model KTV-520plus --link "$work/printer" >"$work/printer.out" &
pids+=($!)
"$sim" --model KTV-520plus --link "$work/silent" --fault silent >"$work/silent.out" &
pids+=($!)
for _ in $(seq 100); do
  [ -e "$work/printer" ] && [ -e "$work/silent" ] && break
  sleep 0.05
done
[ -e "$work/printer" ] && [ -e "$work/silent" ] || { echo "the simulated printers did not start" >&2; exit 1; }

# The user's name makes the profile folder, one outside the ANSI code page.
USER=Łukasz TALQ_WINE_PORTS="com5=$work/printer com6=$work/silent" \
  "$here/../../scripts/wine-run.sh" --script "$here/wine_serial_steps.sh" "$work" "${@:2}"
