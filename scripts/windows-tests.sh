#!/usr/bin/env bash
# The Windows part of the test command:
#  1. cross-builds the win32 preset (i686, the original target: Kestrune.dll
#     and kestrune.exe) and the win64 preset (x86-64: the same and the test
#     suites);
#  2. checks each with the MinGW objdump: PE of the right machine, exports
#     main, imports only system DLLs; and a plug-in exported from the win32
#     DLL by the Linux kestrune carries the stored document as resource
#     "KR1"/165;
#  3. when 64-bit Wine works, runs the win64 test suites under Wine through
#     ctest, and the Windows kestrune.exe against the real Kestrune.dll
#     (LoadLibrary, then main);
#  4. the render comparison: the Windows render under Wine against the Linux
#     render of the same patch and MIDI.
# Nothing 32-bit can run on these machines: the i686 build is checked at
# compile time (record layouts) and by objdump only. setup.sh installs what
# this needs (the MinGW toolchains, libpng built for them, wine64).
# Usage: scripts/windows-tests.sh   (expects build/dev from the Linux build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

WINE=/usr/lib/wine/wine64
export KR_WINEPREFIX=${KR_WINEPREFIX:-$root/build/wine-prefix}
skipped=()
failures=0

log() { printf '\n== %s\n' "$*" >&2; }
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# Keeps the command's status: callers write `timed ... || fail ...`, and
# there `set -e` does not stop at a failing command.
timed() {
  local label=$1; shift
  local start=$SECONDS status=0
  "$@" || status=$?
  printf '   (%s: %ds)\n' "$label" $((SECONDS - start)) >&2
  return $status
}

build_preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# --- objdump checks ---------------------------------------------------------------

# DLLs that every Windows has; anything else (libstdc++-6.dll, libwinpthread-1.dll,
# zlib1.dll, ...) would have to be shipped beside the plug-in.
SYSTEM_DLLS="kernel32.dll msvcrt.dll user32.dll gdi32.dll winmm.dll advapi32.dll shell32.dll ole32.dll
oleaut32.dll comctl32.dll comdlg32.dll ws2_32.dll ucrtbase.dll"

is_system_dll() {
  local name=${1,,}
  [[ $name == api-ms-win-* ]] && return 0
  for d in $SYSTEM_DLLS; do [ "$name" = "$d" ] && return 0; done
  return 1
}

# check_pe FILE FORMAT [dll]: PE of the given objdump format; a DLL must export main.
check_pe() {
  local file=$1 format=$2 kind=${3:-exe}
  local objdump=objdump
  case $format in
    pei-i386) objdump=i686-w64-mingw32-objdump ;;
    pei-x86-64) objdump=x86_64-w64-mingw32-objdump ;;
  esac
  local dump
  if ! dump=$("$objdump" -p "$file"); then fail "$file: objdump cannot read it"; return; fi
  grep -q "file format $format" <<<"$dump" || { fail "$file is not $format"; return; }
  if [ "$kind" = dll ]; then
    # The export table lists "[ordinal] name" rows after "[Ordinal/Name Pointer] Table".
    local exports
    exports=$(sed -n '/Ordinal\/Name Pointer/,/^$/p' <<<"$dump")
    grep -qE '\] main$' <<<"$exports" || fail "$file does not export main"
    grep -qE '\] VSTPluginMain$' <<<"$exports" || fail "$file does not export VSTPluginMain"
  fi
  local imports bad=()
  imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | sort -u)
  for d in $imports; do is_system_dll "$d" || bad+=("$d"); done
  if ((${#bad[@]})); then fail "$file imports non-system DLLs: ${bad[*]}"; return; fi
  echo "ok: $(basename "$(dirname "$file")")/$(basename "$file") is $format$([ "$kind" = dll ] && echo ", exports main")," \
    "imports only $(tr '\n' ' ' <<<"$imports")"
}

# check_carries_document FILE ARCH: the stored document as resource type "KR1", id 165.
check_carries_document() {
  local file=$1 arch=$2 dump
  dump=$("$arch-w64-mingw32-objdump" -p "$file")
  # objdump prints the resource tree as "Type: ... ]: KR1," and "Entry: ID: 0x0000a5," lines.
  if grep -qF ']: KR1,' <<<"$dump" && grep -qF 'Entry: ID: 0x0000a5,' <<<"$dump"; then
    echo "ok: $(basename "$file") carries resource \"KR1\"/165"
  else
    fail "$file carries no resource \"KR1\"/165"
  fi
}

# --- Wine -------------------------------------------------------------------------

wine_works() {
  if [ ! -x "$WINE" ] && command -v apt-get >/dev/null; then
    # 64-bit Wine only: with the 32-bit packages installed, wine fails here even for
    # 64-bit programs.
    log "installing wine64"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends wine64 >/dev/null 2>&1 ||
      echo "could not install wine64" >&2
  fi
  [ -x "$WINE" ] && "$WINE" --version >/dev/null 2>&1
}

wine_prefix_ready() {
  # The first run creates the prefix (some seconds); do it once, before parallel runs.
  # The registry files appear only when the wine server writes them out as it
  # exits, so wait for it before looking.
  if [ ! -f "$KR_WINEPREFIX/system.reg" ]; then
    scripts/wine-run.sh wineboot --init >/dev/null 2>&1 || true
    WINEPREFIX=$KR_WINEPREFIX /usr/lib/wine/wineserver -w 2>/dev/null || true
  fi
  [ -f "$KR_WINEPREFIX/system.reg" ] || { echo "the Wine prefix $KR_WINEPREFIX could not be made" >&2; return 1; }
}

stop_wine() {
  scripts/wine-session.sh stop
}

# An X display for the suites that open windows under Wine (the editor's,
# tests/CMakeLists.txt): an Xvfb of this run's own on a free display number,
# ended with the run. Without one those tests print SKIPPED and pass.
xvfb_pid=""
start_display() {
  if ! command -v Xvfb >/dev/null; then
    skipped+=("the Win32 editor window under Wine: Xvfb is not installed")
    return
  fi
  local n i
  for n in $(seq 140 180); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 640x480x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for i in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export KR_WINE_DISPLAY=":$n"
      return
    fi
    xvfb_pid=""
  done
  skipped+=("the Win32 editor window under Wine: Xvfb did not start")
}

stop_display() {
  [ -n "$xvfb_pid" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}

run_windows_suites() {
  ctest --preset win64
}

# kestrune.exe loads the real Kestrune.dll through LoadLibrary and main.
run_windows_info() {
  local out status=0
  out=$(cd build/win64 && "$root/scripts/wine-run.sh" kestrune.exe info 2>&1) || status=$?
  echo "$out" | sed 's/^/   /'
  grep -q '^plug-in: .*Kestrune\.dll' <<<"$out" || { fail "kestrune.exe info did not load Kestrune.dll"; return; }
  if grep -q '^unique id:' <<<"$out"; then
    [ "$status" -eq 0 ] || fail "kestrune.exe info exited $status after creating the effect"
  elif grep -q '^main returned null: ' <<<"$out"; then
    echo "ok: kestrune.exe loaded Kestrune.dll under Wine; main returned null and the reason is given"
  else
    fail "kestrune.exe info gave neither an effect nor a reason (exit $status)"
  fi
}

# The Linux kestrune exports a patch into a copy of the 32-bit DLL: the copy
# is still a good PE file and carries the document where Windows looks.
check_win32_export() {
  local out=build/win32/export/Through.dll
  mkdir -p "$(dirname "$out")"
  if ! build/dev/kestrune export examples/stereo_through.json -o "$out" --plugin build/win32/Kestrune.dll >/dev/null; then
    fail "kestrune export into a copy of build/win32/Kestrune.dll"
    return
  fi
  check_pe "$out" pei-i386 dll
  check_carries_document "$out" i686
  # The build's ready instrument, exported by the native kestrune.
  local ready="build/win32/Kestrune Subtractive.dll"
  if [ -f "$ready" ]; then
    check_pe "$ready" pei-i386 dll
    check_carries_document "$ready" i686
  else
    fail "the win32 build made no \"Kestrune Subtractive.dll\""
  fi
}

# The comparison script exports build/win64/export/Demo.dll from the win64
# Kestrune.dll, renders it under Wine and compares with the Linux render.
run_export_and_render() {
  bash scripts/windows-render-compare.sh || fail "exported plug-in or render comparison"
  check_carries_document build/win64/export/Demo.dll x86_64
}

# kestrune.exe panel draws every example's panel as the Linux program does.
run_panel_compare() {
  bash scripts/windows-panel-compare.sh || fail "panels drawn under Wine differ from the Linux panels"
}

# --- the run ----------------------------------------------------------------------

log "32-bit Windows cross-build (i686): Kestrune.dll, kestrune.exe"
timed "build win32" build_preset win32
log "64-bit Windows cross-build (x86-64): Kestrune.dll, kestrune.exe, test suites"
timed "build win64" build_preset win64

log "objdump checks"
check_pe build/win32/Kestrune.dll pei-i386 dll
check_pe build/win32/kestrune.exe pei-i386
check_pe build/win64/Kestrune.dll pei-x86-64 dll
check_pe build/win64/kestrune.exe pei-x86-64
for suite in build/win64/tests/kr_test_*.exe; do
  [ -e "$suite" ] || continue
  check_pe "$suite" pei-x86-64
done
check_win32_export

if wine_works && wine_prefix_ready; then
  trap 'stop_wine; stop_display' EXIT
  # Begun here, the session's services do not hold a suite's output open
  # (scripts/wine-session.sh); ctest begins it too when run on its own. Its
  # desktop takes the display, so a session left from before goes first.
  start_display
  scripts/wine-session.sh stop
  scripts/wine-session.sh start
  log "Windows test suites under Wine ($("$WINE" --version))"
  timed "ctest win64 under Wine" run_windows_suites || fail "Windows test suites under Wine"
  log "kestrune.exe info under Wine"
  timed "kestrune.exe info" run_windows_info
  run_export_and_render
  log "kestrune.exe panel under Wine against the Linux panels"
  timed "panel comparison" run_panel_compare
else
  skipped+=("every Wine run: 64-bit Wine ($WINE) does not work on this machine")
fi

for s in "${skipped[@]}"; do echo "SKIPPED: $s"; done
if ((failures)); then
  echo "Windows checks: $failures failed" >&2
  exit 1
fi
echo "Windows checks passed"
