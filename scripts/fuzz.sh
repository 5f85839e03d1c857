#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, ASan + UBSan)
# and runs each briefly over its seed corpus. New inputs go to the build
# folder, so the checked-in corpora stay as they are.
#   scripts/fuzz.sh [seconds per target]      (default: 20 for the document, 6-10 for the others;
#                                              longer campaigns: bench/fuzz-campaign.md)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=build/fuzz
targets=(document_fuzz midifile_fuzz plugin_image_fuzz soundfont_fuzz wave_fuzz midi_walk_fuzz
         skin_png_fuzz skin_bmp_fuzz skin_text_fuzz skin_block_fuzz evaluator_fuzz chunk_fuzz patchtext_fuzz)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

run() {
  local target=$1 seconds=$2 max_len=$3; shift 3
  local corpus=$build/corpus-${target%_fuzz}
  mkdir -p "$corpus"
  echo "== $target, ${seconds}s" >&2
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    "$build/tests/fuzz/$target" -artifact_prefix="$build/" -max_total_time="$seconds" -max_len="$max_len" \
    -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "$corpus" "$@" 2>&1 | tail -n 4
}

# Seeds for the image readers: the headers of the plug-ins built so far.
mkdir -p "$build/corpus-plugin_image"
for seed in build/win32/Kestrune.dll build/dev/Kestrune.so; do
  [ -f "$seed" ] && head -c 65536 "$seed" >"$build/corpus-plugin_image/$(basename "$seed").head"
done

run document_fuzz "${1:-20}" 65536 "$root/tests/fuzz/corpus/document"
run midifile_fuzz "${1:-10}" 4096 "$root/tests/fuzz/corpus/midifile"
run plugin_image_fuzz "${1:-10}" 65536
run soundfont_fuzz "${1:-10}" 16384 "$root/tests/fuzz/corpus/soundfont"
run wave_fuzz "${1:-8}" 16384 "$root/tests/fuzz/corpus/wave"
run midi_walk_fuzz "${1:-8}" 4096 "$root/tests/fuzz/corpus/midi_walk"
run skin_png_fuzz "${1:-8}" 16384 "$root/tests/fuzz/corpus/skin_png"
run skin_bmp_fuzz "${1:-6}" 8192 "$root/tests/fuzz/corpus/skin_bmp"
run skin_text_fuzz "${1:-6}" 4096 "$root/tests/fuzz/corpus/skin_text"
run skin_block_fuzz "${1:-8}" 16384 "$root/tests/fuzz/corpus/skin_block"
run evaluator_fuzz "${1:-8}" 400 "$root/tests/fuzz/corpus/evaluator"
run chunk_fuzz "${1:-8}" 8192 "$root/tests/fuzz/corpus/chunk"
run patchtext_fuzz "${1:-10}" 16384 "$root/tests/fuzz/corpus/patchtext"
