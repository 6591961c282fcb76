#!/usr/bin/env bash
# talq.exe's serial ports from the device-setup services, under Wine: the Ports class as the
# registry describes it (a USB adapter with a serial number, an FTDI port, a composite device's
# port without one, a port on the board, a printer port), listed by talq map --list and
# talq ports, and a simulated printer on COM12 reached by the adapter's serial number.
#   wine_identity_test.sh SIM TALQ_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sim=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/talq-wine-identity.XXXXXX")
pid=
finish() {
  [ -n "$pid" ] && { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }
  rm -rf "$work"
}
trap finish EXIT

"$sim" --model KTV-520plus --link "$work/printer" >"$work/printer.out" &
pid=$!
for _ in $(seq 100); do [ -e "$work/printer" ] && break; sleep 0.05; done
[ -e "$work/printer" ] || { echo "the simulated printer did not start" >&2; exit 1; }

TALQ_WINE_PORTS="com12=$work/printer" \
  "$here/../../scripts/wine-run.sh" --script "$here/wine_identity_steps.sh" "$work" "${@:2}"
