#!/usr/bin/env bash
# Builds the program and starts it against a simulated printer on a
# pseudo-terminal that stands in for COM1.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target talq-printer-sim

model="${TALQ_DEMO_MODEL:-KTV-520plus}"
link="${TALQ_DEMO_LINK:-/tmp/talq-com1}"
echo "Simulated $model printer; COM1 reaches it with:  export TALQ_COM1=$link"
echo "Press Ctrl+C to stop."
exec build/sim/talq-printer-sim --model "$model" --link "$link"
