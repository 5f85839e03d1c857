# The fuzz targets, sourced by scripts/fuzz.sh and scripts/fuzz-campaign.sh:
# name, longest input, checked-in seed folder (or "-"), seconds in the test run.
FUZZ_TARGETS=(
  "document_fuzz      65536 document   20"
  "midifile_fuzz       4096 midifile   10"
  "plugin_image_fuzz  65536 -          10"
  "soundfont_fuzz     16384 soundfont  10"
  "wave_fuzz          16384 wave        8"
  "midi_walk_fuzz      4096 midi_walk   8"
  "skin_png_fuzz      16384 skin_png    8"
  "skin_bmp_fuzz       8192 skin_bmp    6"
  "skin_text_fuzz      4096 skin_text   6"
  "skin_block_fuzz    16384 skin_block  8"
  "evaluator_fuzz       400 evaluator   8"
  "chunk_fuzz          8192 chunk       8"
  "fx_bank_fuzz        8192 -           6"
  "patchtext_fuzz     16384 patchtext  10"
)
FUZZ_BUILD=build/fuzz

fuzz_target_names() {
  local entry
  for entry in "${FUZZ_TARGETS[@]}"; do set -- $entry; echo "$1"; done
}

# Builds the targets, and seeds the image reader with the headers of the
# plug-ins built so far.
fuzz_build() {
  cmake --preset fuzz >/dev/null
  # shellcheck disable=SC2046
  cmake --build --preset fuzz --target $(fuzz_target_names)
  mkdir -p "$FUZZ_BUILD/corpus-plugin_image"
  local seed
  for seed in build/win32/Kestrune.dll build/dev/Kestrune.so; do
    [ -f "$seed" ] && head -c 65536 "$seed" >"$FUZZ_BUILD/corpus-plugin_image/$(basename "$seed").head"
  done
  return 0
}

# fuzz_run TARGET MAX_LEN SEEDS [libFuzzer options...]: runs over the kept
# corpus (new inputs go there) and the seeds; prints libFuzzer's final stats.
fuzz_run() {
  local target=$1 max_len=$2 seeds=$3; shift 3
  local corpus=$FUZZ_BUILD/corpus-${target%_fuzz}
  local seed_dirs=()
  [ "$seeds" != "-" ] && seed_dirs=("$(pwd)/tests/fuzz/corpus/$seeds")
  mkdir -p "$corpus"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    "$FUZZ_BUILD/tests/fuzz/$target" -artifact_prefix="$FUZZ_BUILD/" -max_len="$max_len" \
    -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "$@" "$corpus" "${seed_dirs[@]}" 2>&1
}
