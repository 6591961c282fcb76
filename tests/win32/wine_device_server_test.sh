#!/usr/bin/env bash
# talq.exe's network transport under Wine (Winsock over the host's sockets): Debian's ser2net
# on loopback in front of a simulated printer's pseudo-terminal, reached by address and
# through a ports file mapping, raw and with the COM port control option; a server that
# refuses the option, and one that is not there.
#   wine_device_server_test.sh SIM TALQ_EXE
#   (inside the prefix: wine_device_server_test.sh --steps WORK TALQ_EXE RAW COMPORT PLAIN GONE)
set -uo pipefail

if [ "${1:-}" = --steps ]; then
  work=$2 talq=$3 raw=$4 comport=$5 plain=$6 gone=$7
  failures=0
  fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
  talq() { timeout 120 "$WINE" "$talq" "$@"; }
  cd "$work" || exit 1

  talq check --model 0 --port "$comport" --baud 9600 >c.out 2>c.err || fail "check over rfc2217: $(cat c.err)"
  talq map COM8 "$raw" >map.out 2>&1 || fail "talq map COM8 $raw: $(cat map.out)"
  talq check --model 0 --port COM8 >m.out 2>m.err || fail "check on COM8 = $raw: $(cat m.err)"
  # Refused within the bounds (3 s to connect, 1 s for the option), Wine's start included.
  refused() {
    local start code ms
    start=$(date +%s%N)
    talq check --model 0 --port "$1" >r.out 2>r.err
    code=$? ms=$((($(date +%s%N) - start) / 1000000))
    [ $code = 3 ] || fail "check on $1: exit $code, $(cat r.err)"
    grep -qF "$1 cannot be opened: $2" r.err || fail "check on $1 said: $(cat r.err)"
    [ $ms -lt 8000 ] || fail "check on $1 took $ms ms"
  }
  refused "$plain" "the device server refuses the COM port control option"
  refused "$gone" ""
  exit $((failures > 0))
fi

here=$(cd "$(dirname "$0")" && pwd)
sim=$1 talq=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/talq-wine-net.XXXXXX")
pids=()
finish() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT

"$sim" --model KTV-520plus --baud 9600 --link "$work/printer" >"$work/printer.out" &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/printer" ] && break; sleep 0.05; done
device=$(readlink "$work/printer") || { echo "the simulated printer did not start" >&2; exit 1; }

# Four loopback ports the system has free now; the last stays unserved ("not there").
read -r raw comport plain gone < <(python3 -c '
import socket
held = [socket.socket() for _ in range(4)]
for s in held: s.bind(("127.0.0.1", 0))
print(*(s.getsockname()[1] for s in held))')
{
  echo '%YAML 1.1'
  echo ---
  n=0
  # The printer runs at 9600: the raw port's line is the server's own 9600, and the RFC 2217
  # port's starts at 19200, so a check there answers only when the option set the speed.
  for accepter in "tcp,127.0.0.1,$raw 9600" "telnet(rfc2217),tcp,127.0.0.1,$comport 19200" \
                  "telnet,tcp,127.0.0.1,$plain 19200"; do
    printf 'connection: &c%d\n  accepter: %s\n  connector: serialdev,%s,%sn81,local\n' \
      $((n++)) "${accepter% *}" "$device" "${accepter##* }"
  done
} >"$work/ser2net.yaml"
/usr/sbin/ser2net -n -u -c "$work/ser2net.yaml" >"$work/ser2net.log" 2>&1 &
pids+=($!)
# Serving once each port is listening and ser2net's own.
for _ in $(seq 100); do
  served=0
  for port in $raw $comport $plain; do
    ss -Hltnp "sport = :$port" | grep -q "pid=${pids[1]}," && served=$((served + 1))
  done
  [ $served = 3 ] && break
  sleep 0.05
done
[ $served = 3 ] || { echo "ser2net did not serve: $(cat "$work/ser2net.log")" >&2; exit 1; }

"$here/../../scripts/wine-run.sh" --script "$0" --steps "$work" "$talq" \
  "tcp:127.0.0.1:$raw" "rfc2217:127.0.0.1:$comport" "rfc2217:127.0.0.1:$plain" \
  "rfc2217:127.0.0.1:$gone"
