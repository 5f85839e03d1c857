#!/usr/bin/env bash
# Sets up a Debian machine for Kestrune (installing only what is missing,
# without recommended packages: wine64 must come without the 32-bit wine32),
# builds, and runs one of the jobs:
#   ./setup.sh demo   build the plug-in and run the main job (installs only
#                     what the release build and the render need)
#   ./setup.sh test   build every configuration and run every test
#   ./setup.sh deps   only install what is missing (packages, test files, and
#                     libpng built for the Windows cross-builds)
set -euo pipefail
cd "$(dirname "$0")"

# What the release build and the demo render need.
DEMO_PACKAGES=(
  cmake ninja-build g++ ccache pkg-config
  libpng-dev zlib1g-dev nlohmann-json3-dev libcli11-dev libstb-dev fonts-dejavu-core fonts-dejavu-extra
  libx11-dev libbenchmark-dev libkissfft-dev
)

# What the tests add: GoogleTest, the Windows cross-builds and Wine, clang
# for the fuzzers, Xvfb, the files and programs the tests play with, Ardour,
# Debian's VST 2 plug-ins that the hosting tests host.
TEST_PACKAGES=(
  file libgtest-dev libgmock-dev googletest
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine64 dpkg-dev python3
  clang libclang-rt-14-dev
  xvfb
  timgm6mb-soundfont musescore-general-soundfont-small alsa-utils faust-common fluidsynth sox
  dpf-plugins-vst
  ardour
)

# Files the sample, SoundFont and MIDI file tests play, taken from packages
# whose programs are not needed: unpacked into build/third-party.
THIRD_PARTY=build/third-party

log() { printf '\n== %s\n' "$*" >&2; }

# Installs the packages named that are missing. With KR_SETUP_LIST_ONLY set
# it prints them, one a line, and installs nothing.
install_missing() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ -n "${KR_SETUP_LIST_ONLY:-}" ]; then
    ((${#missing[@]} == 0)) || printf '%s\n' "${missing[@]}"
    return 0
  fi
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  log "installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# freewheeling's small basic.sf2, from the package file alone (apt-get
# download + dpkg -x; the program is not installed).
fetch_test_files() {
  local target=$THIRD_PARTY/freewheeling/usr/share/sounds/sf2/basic.sf2
  [ -f "$target" ] && return 0
  log "unpacking basic.sf2 from freewheeling"
  local tmp
  tmp=$(mktemp -d)
  chmod 755 "$tmp"  # apt downloads as its own user
  (cd "$tmp" && apt-get download freewheeling >/dev/null)
  mkdir -p "$THIRD_PARTY/freewheeling"
  dpkg -x "$tmp"/freewheeling_*.deb "$THIRD_PARTY/freewheeling"
  rm -rf "$tmp"
  [ -f "$target" ] || { echo "basic.sf2 is not in the freewheeling package" >&2; return 1; }
}

timed() {
  local label=$1; shift
  local start=$SECONDS
  "$@"
  printf '   (%s: %ds)\n' "$label" $((SECONDS - start)) >&2
}

build_preset() {
  local preset=$1; shift
  cmake --preset "$preset" "$@" >/dev/null
  cmake --build --preset "$preset"
}

check_linux_exports() {
  local so=build/dev/Kestrune.so
  local syms
  syms=$(nm -D --defined-only "$so" | awk '{print $3}')
  for s in main VSTPluginMain; do
    grep -qx "$s" <<<"$syms" || { echo "FAIL: $so does not export $s" >&2; return 1; }
  done
  echo "ok: $so exports main and VSTPluginMain"
}

# Everything the Windows cross-builds need beyond packages.
prepare_windows_libraries() {
  timed "libpng for Windows" bash scripts/mingw-libpng.sh
  timed "kissfft for Windows" bash scripts/mingw-kissfft.sh
}

run_tests() {
  log "debug build with AddressSanitizer + UndefinedBehaviorSanitizer"
  timed "build dev" build_preset dev
  log "unit and end-to-end tests"
  timed "ctest dev" ctest --preset dev
  check_linux_exports
  # The README's first command: the optimised build (plug-in, program,
  # benchmarks) and the main job, so that a fresh checkout can run it.
  run_demo
  log "torture run of the release build"
  timed "torture release" build/release/kestrune torture --seconds 1 --seed 1
  # A real host: Ardour plays a phrase through "Kestrune Subtractive".
  log "Ardour host check"
  timed "ardour" bash scripts/ardour-check.sh build/release
  # win32 and win64 cross-builds, objdump checks, the Windows suites under Wine.
  timed "windows" bash scripts/windows-tests.sh
  log "ThreadSanitizer run of the threaded audio tests"
  timed "tsan" bash scripts/tsan.sh
  # Short fuzz runs of the readers of untrusted bytes (clang + libFuzzer).
  log "fuzzing the readers of untrusted bytes"
  timed "fuzz" bash scripts/fuzz.sh
}

run_demo() {
  log "release build"
  timed "build release" build_preset release
  log "main job"
  if [ -x build/release/kestrune ]; then
    (cd build/release && ./kestrune "$@")
  else
    echo "build/release/kestrune was not built" >&2
    return 1
  fi
}

job=${1:-demo}
shift || true
case "$job" in
  demo) install_missing "${DEMO_PACKAGES[@]}" ;;
  test|deps) install_missing "${DEMO_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ;;
  *) echo "usage: $0 [demo|test|deps]" >&2; exit 2 ;;
esac
[ -n "${KR_SETUP_LIST_ONLY:-}" ] && exit 0
case "$job" in
  deps) fetch_test_files; prepare_windows_libraries ;;
  demo) run_demo "$@" ;;
  test) fetch_test_files; prepare_windows_libraries; run_tests ;;
esac
