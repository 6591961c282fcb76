#!/usr/bin/env bash
# Builds everything and starts talq-manager against a simulated printer on a
# pseudo-terminal that stands in for COM1. Every other COM and LPT name points
# at a path that does not exist, so the demo never opens a real device.
# Closing the window stops the simulator. Without a display it serves the
# simulator to the command line instead and says how to open the window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

model="${TALQ_DEMO_MODEL:-KTV-520plus}"
link="${TALQ_DEMO_LINK:-/tmp/talq-com1}"

build/sim/talq-printer-sim --model "$model" --link "$link" >/dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "$link" ] && break
  kill -0 "$sim" 2>/dev/null || { echo "talq-printer-sim did not start" >&2; exit 1; }
  sleep 0.1
done
[ -e "$link" ] || { echo "talq-printer-sim did not make $link" >&2; exit 1; }

export TALQ_COM1="$link"
nowhere=/nonexistent/talq-demo
for n in 2 3 4 5 6 7 8 9 10; do export "TALQ_COM$n=$nowhere/COM$n"; done
for n in 1 2 3; do export "TALQ_LPT$n=$nowhere/LPT$n"; done
echo "Simulated $model printer on COM1 ($link)."

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting talq-manager: choose \"$model\", SERIAL, COM1 and press Check Communication."
  build/src/app/talq-manager
  exit 0
fi

echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set)."
if [ -x build/src/cli/talq ]; then
  echo "Reading the printer with the command line instead:"
  echo "  build/src/cli/talq get --model $model --port COM1"
  build/src/cli/talq get --model "$model" --port COM1
else
  echo "The command line program build/src/cli/talq is not built in this tree; skipping it."
fi
echo "To open the window, run this on a desktop, or with a virtual display:"
echo "  xvfb-run ./scripts/demo.sh     (xvfb-run comes with the Debian package xvfb)"
