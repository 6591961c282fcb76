#!/usr/bin/env bash
# talq-manager.exe started as a user starts it, under Wine with the null
# graphics driver, driven from outside its process (manager_end_to_end.exe)
# against talq-printer-sim on a pseudo-terminal presented as COM1; the status
# file it saves through the file dialog must be byte-identical to the one the
# Linux talq get -o writes for the same printer.
#   manager_end_to_end.sh SIM DRIVER_EXE MANAGER_EXE LINUX_TALQ
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sim=$1 driver=$2 manager=$3 linux_talq=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/talq-wine-manager.XXXXXX")
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

# Typed without an extension: the file dialog adds ".sts".
saved="Z:${work//\//\\}\\saved"
cat >"$work/steps.sh" <<STEPS
set -u
cd "$work"
timeout 120 "\$WINE" "$driver" "$manager" '$saved'
STEPS
TALQ_WINE_GRAPHICS=null TALQ_WINE_PORTS="com1=$work/printer" \
  "$here/../../scripts/wine-run.sh" --script "$work/steps.sh"

# The printer as the Linux build reads it, through the same pseudo-terminal.
TALQ_COM1=$work/printer timeout 60 "$linux_talq" get --model 0 --port COM1 -o "$work/linux.sts" \
  >/dev/null
cmp "$work/saved.sts" "$work/linux.sts"
echo "the status file saved by talq-manager.exe equals the Linux talq's"
