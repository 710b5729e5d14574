#!/usr/bin/env bash
# Power-loss sweep of the configuration store: cuts the supply at every k-th
# instruction of the first-start commit and of a repair commit, powers up
# again and checks each following start (see tests/sweeps/power_loss_sweep.cpp).
# Takes a few minutes; not part of scripts/test.sh.
#
#   scripts/power-loss-sweep.sh [BUILD_DIR] [sweep options...]
#   e.g. scripts/power-loss-sweep.sh build --points 1100 --json sweep.json
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
if [[ $# -gt 0 && $1 != --* ]]; then
  build=$1
  shift
fi
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j2 --target power_loss_sweep firmware
exec "$build/tests/sweeps/power_loss_sweep" "$@"
