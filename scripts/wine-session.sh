#!/usr/bin/env bash
# Begins or ends the Wine session of the project's prefix (see wine-run.sh).
#
# A new session starts background services (services.exe, winedevice.exe, ...)
# that inherit the output of the program that began it and live until the wine
# server ends, 3 s after the last program. Begun by a test suite under ctest,
# they hold that suite's output pipe, so ctest counts the suite as running until
# then and runs the rest one at a time. `start` begins the session on /dev/null
# with a server that waits a minute for the next program (the ctest fixture
# wine_session of the win64 build, scripts/windows-tests.sh); `stop` ends it.
# Usage: scripts/wine-session.sh start|stop
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${KR_WINEPREFIX:-$here/build/wine-prefix}
case ${1:-} in
  start)
    /usr/lib/wine/wineserver -p60 </dev/null >/dev/null 2>&1
    # The session's desktop takes the X display when there is one: only then
    # can the programs that are given it too (KR_WINE_USE_DISPLAY) make windows.
    KR_WINE_USE_DISPLAY=1 "$here/scripts/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
    ;;
  stop) /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
exit 0
