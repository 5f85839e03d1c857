#!/usr/bin/env bash
# Builds the document reader's fuzz target with clang and runs it briefly
# over the seed corpus in tests/fuzz/corpus/document. New inputs go to the
# build folder, so the checked-in corpus stays as it is.
#   scripts/fuzz-document.sh [seconds]      (default 40)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KR_FUZZ_BUILD:-$root/build/fuzz-document}
seconds=${1:-40}

CC=clang CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" --target document_fuzz -j "${KR_FUZZ_JOBS:-2}"

mkdir -p "$build/corpus"
ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  "$build/document_fuzz" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
  -print_final_stats=1 "$build/corpus" "$root/tests/fuzz/corpus/document"
