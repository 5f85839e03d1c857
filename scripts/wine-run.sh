#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine, headless and quiet, in the
# project's own Wine prefix (made on first use). Used by ctest in the win64
# build and by scripts/windows-tests.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${KR_WINEPREFIX:-$here/build/wine-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset DISPLAY
exec /usr/lib/wine/wine64 "$@"
