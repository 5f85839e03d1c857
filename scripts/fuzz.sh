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

# Two lanes, one per core: each runs every other target in turn. Reports
# print in the table's order afterwards: the final stats, or on a finding
# the end of libFuzzer's report.
reports=$(mktemp -d)
trap 'rm -rf "$reports"' EXIT
run_lane() {
  local lane=$1 index=0 failed=0 entry target max_len seeds seconds
  for entry in "${FUZZ_TARGETS[@]}"; do
    ((index++ % 2 == lane)) || continue
    read -r target max_len seeds seconds <<<"$entry"
    seconds=${SECONDS_PER_TARGET:-$seconds}
    if fuzz_run "$target" "$max_len" "$seeds" -max_total_time="$seconds" >"$reports/$target.log"; then
      tail -n 4 "$reports/$target.log" >"$reports/$target"
    else
      { echo "FAIL: $target"; tail -n 60 "$reports/$target.log"; } >"$reports/$target"
      failed=1
    fi
  done
  return $failed
}
SECONDS_PER_TARGET=${1:-}
status=0
run_lane 0 &
lane0=$!
run_lane 1 || status=1
wait "$lane0" || status=1
for entry in "${FUZZ_TARGETS[@]}"; do
  read -r target _ _ seconds <<<"$entry"
  echo "== $target, ${SECONDS_PER_TARGET:-$seconds}s" >&2
  cat "$reports/$target" >&2
done
exit $status
