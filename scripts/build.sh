#!/usr/bin/env bash
# Builds the firmware (cross) and the host side (virtual board, tools, tests) into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
