#!/bin/sh
# Builds the decoder fuzz target with clang and libFuzzer (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time.
# Usage: run-fuzz.sh [SECONDS] (default 60). Work files go to $FUZZ_DIR (default
# build-fuzz/ in the repository root); crashes are left there as crash-*.
set -eu

seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
work=${FUZZ_DIR:-$root/build-fuzz}
decoder=$here/../decoder
mkdir -p "$work/corpus"

clang++ -std=c++17 -O1 -g -Wall -Wextra -Werror \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$decoder" "$here/decoder_fuzz.cpp" \
    "$decoder/arrival_times.cpp" "$decoder/capture_stats.cpp" "$decoder/decoder.cpp" \
    "$decoder/frame_sync.cpp" "$decoder/text_lines.cpp" "$decoder/threshold_events.cpp" \
    -o "$work/decoder_fuzz"

# Seeds: a banner followed by frames, and frames whose payload holds a header pattern.
stars='************************************************************'
printf '%s\r\n\t\tSensor de impactos\r\n\tHw 1\tFw 1.0 - pruebas\r\n%s\r\n' "$stars" "$stars" \
    > "$work/corpus/seed-banner"
i=0
while [ $i -lt 8 ]; do
    printf '\377\377\377\002\000\001\000\002\001\000' >> "$work/corpus/seed-banner"
    printf '\377\377\377\002\377\377\377\001\001\000' >> "$work/corpus/seed-payload-header"
    i=$((i + 1))
done

cd "$work"
exec ./decoder_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 corpus
