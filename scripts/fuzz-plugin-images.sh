#!/usr/bin/env bash
# Short libFuzzer run over the plug-in image readers and resource writers.
# Seeds: a hand-made PE and ELF from the unit tests' shapes plus the built
# plug-in when present. Usage: scripts/fuzz-plugin-images.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
out=build/fuzz
mkdir -p "$out/corpus-plugin-images"
if ! command -v clang++ >/dev/null; then
  echo "clang++ not installed; skipping the plug-in image fuzz run" >&2
  exit 0
fi
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I. \
  tests/fuzz/plugin_image_fuzz.cpp document/packaging/{elf_image,elf_section_writer,pe_image,pe_resource_reader,pe_resource_writer}.cpp \
  document/path_names.cpp document/scramble.cpp \
  -o "$out/plugin_image_fuzz"
for seed in build/win32/Kestrune.dll build/dev/Kestrune.so; do
  # Large seeds slow every run down; the headers are what matters.
  [ -f "$seed" ] && head -c 65536 "$seed" >"$out/corpus-plugin-images/$(basename "$seed").head"
done
"$out/plugin_image_fuzz" -artifact_prefix="$out/" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
  "$out/corpus-plugin-images" 2>&1 | tail -n 3
