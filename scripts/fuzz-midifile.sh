#!/usr/bin/env bash
# Short libFuzzer run over the Standard MIDI File reader, its tempo map and
# writer. Seeds: the small files in tests/fuzz/corpus/midifile/.
# Usage: scripts/fuzz-midifile.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-25}
out=build/fuzz
mkdir -p "$out/corpus-midifile"
if ! command -v clang++ >/dev/null; then
  echo "clang++ not installed; skipping the MIDI file fuzz run" >&2
  exit 0
fi
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I. \
  tests/fuzz/midifile_fuzz.cpp modules/midifile/{midi_file,merged_events,tempo_map,midi_file_writer}.cpp \
  -o "$out/midifile_fuzz"
cp tests/fuzz/corpus/midifile/* "$out/corpus-midifile/"
"$out/midifile_fuzz" -artifact_prefix="$out/" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
  "$out/corpus-midifile" 2>&1 | tail -n 3
