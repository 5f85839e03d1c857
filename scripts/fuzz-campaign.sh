#!/usr/bin/env bash
# A fuzz campaign: runs each target (all, or those named) until it has made
# EXECUTIONS runs or SECONDS have passed, keeping the corpus it grows in
# build/fuzz, and appends one line per target to build/fuzz/campaign.log:
#   date target executions seconds exec/s corpus-units findings
# Findings (crash-*, leak-*, timeout-*, oom-* files) are left in build/fuzz.
#   scripts/fuzz-campaign.sh [-n EXECUTIONS] [-t SECONDS] [target...]
#   (defaults: 10000000 executions, 3600 s)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-targets.sh

executions=10000000
seconds=3600
while getopts "n:t:" option; do
  case $option in
    n) executions=$OPTARG ;;
    t) seconds=$OPTARG ;;
    *) echo "usage: $0 [-n EXECUTIONS] [-t SECONDS] [target...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
wanted=" $* "

fuzz_build
log=$FUZZ_BUILD/campaign.log
for entry in "${FUZZ_TARGETS[@]}"; do
  read -r target max_len seeds _ <<<"$entry"
  [ "$wanted" != "  " ] && [[ $wanted != *" $target "* ]] && continue
  findings_before=$(find "$FUZZ_BUILD" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' \
                      -o -maxdepth 1 -name 'timeout-*' -o -maxdepth 1 -name 'oom-*' | wc -l)
  echo "== $target: up to $executions runs or ${seconds}s" >&2
  start=$SECONDS
  output=$(fuzz_run "$target" "$max_len" "$seeds" -runs="$executions" -max_total_time="$seconds" || true)
  took=$((SECONDS - start))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' <<<"$output" | tail -n 1)
  units=$(find "$FUZZ_BUILD/corpus-${target%_fuzz}" -type f | wc -l)
  findings_after=$(find "$FUZZ_BUILD" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' \
                     -o -maxdepth 1 -name 'timeout-*' -o -maxdepth 1 -name 'oom-*' | wc -l)
  line="$(date -u +%FT%TZ) $target ${runs:-0} $took $(( ${runs:-0} / (took > 0 ? took : 1) )) $units $((findings_after - findings_before))"
  echo "$line" | tee -a "$log"
  [ "$findings_after" -gt "$findings_before" ] && tail -n 30 <<<"$output" >&2
done
