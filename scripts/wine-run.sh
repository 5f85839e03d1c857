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
# Headless, unless the caller names an X display (KR_WINE_DISPLAY, set by
# scripts/windows-tests.sh) and asks for it (KR_WINE_USE_DISPLAY=1: the
# session's start and the suites that open windows).
if [ -n "${KR_WINE_DISPLAY:-}" ] && [ "${KR_WINE_USE_DISPLAY:-0}" = 1 ]; then
  export DISPLAY=$KR_WINE_DISPLAY
else
  unset DISPLAY
fi
exec /usr/lib/wine/wine64 "$@"
