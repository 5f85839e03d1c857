#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, ASan + UBSan)
# and runs each briefly over its seed corpus. New inputs go to the build
# folder, so the checked-in corpora stay as they are.
#   scripts/fuzz.sh [seconds per target]      (default: 20 for the document, 6-10 for the others;
#                                              longer campaigns: scripts/fuzz-campaign.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-targets.sh

fuzz_build
for entry in "${FUZZ_TARGETS[@]}"; do
  read -r target max_len seeds seconds <<<"$entry"
  seconds=${1:-$seconds}
  echo "== $target, ${seconds}s" >&2
  fuzz_run "$target" "$max_len" "$seeds" -max_total_time="$seconds" | tail -n 4
done
