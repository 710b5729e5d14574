#!/usr/bin/env bash
# The main job: set up, build, and run the firmware on the virtual board.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
mkdir -p out
build/vboard/vboard run --firmware build/firmware/impact-sensor.elf --seconds "${SECONDS_TO_RUN:-3}" \
  --report out/report.json
