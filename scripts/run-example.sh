#!/usr/bin/env bash
# Sets up, builds and runs the dial simulator on the bundled example session.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quarn-dial-sim
build/default/tools/sim/quarn-dial-sim --frames build/default/tour-frames examples/paint.json \
    examples/tour.dial
