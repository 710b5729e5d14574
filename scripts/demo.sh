#!/usr/bin/env bash
# The main job: set up, build, run the firmware on the virtual board with the
# demo accelerometer (at rest, with a few impacts), capture its serial line
# with impact-capture, and show the banner, the summary and the impact events.
#
# Leaves in out/: demo.csv (one row per frame), demo.png (plot), summary.json,
# demo.raw (the raw serial bytes, for replay with impact-capture --input) and
# board-report.json (the virtual board's run report).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

seconds="${DEMO_SECONDS:-10}"
threshold="${DEMO_THRESHOLD_G:-2}"
mkdir -p out
echo "demo: running the firmware for ${seconds} simulated seconds on the virtual board"
build/vboard/vboard run --firmware build/firmware/impact-sensor.elf --sensor demo \
    --seconds "$seconds" --uart1-out - --report out/board-report.json --quiet |
  build/tools/impact-capture/impact-capture --input - --raw out/demo.raw --csv out/demo.csv \
    --plot out/demo.png --threshold "$threshold" --summary out/summary.json --quiet

echo
echo "---- banner (device resets) ----"
jq -r '.resets[] | .text' out/summary.json
echo "---- summary ----"
jq -r '"frames \(.frames) over \(.duration_s) s of device time, \(.mean_rate_hz | floor) frames/s",
       "resyncs \(.resyncs), skipped bytes \(.skipped_bytes), resets \(.resets | length)",
       "elapsed-ms histogram: \(.elapsed_histogram | to_entries | map("\(.key) ms: \(.value)") | join(", "))",
       "peaks: x \(.peaks.x.g) g, y \(.peaks.y.g) g, z \(.peaks.z.g) g, |a| \(.peaks.magnitude.g) g at \(.peaks.magnitude.device_time_ms) ms"' \
  out/summary.json
echo "---- events above ${threshold} g ----"
jq -r '.events[] | "at \(.start_device_time_ms) ms for \(.duration_ms) ms, peak \(.peak_g) g at \(.peak_device_time_ms) ms"' \
  out/summary.json
echo
echo "demo: CSV out/demo.csv, plot out/demo.png, summary out/summary.json, raw bytes out/demo.raw"
