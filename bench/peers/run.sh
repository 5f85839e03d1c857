#!/usr/bin/env bash
# The reference patch (16 saw voices -> resonant low-pass -> ADSR -> VCA, 60 s
# at 44.1 kHz, stereo, written to a WAVE file) rendered side by side on this
# machine by Kestrune (kestrune render, through the plug-in's entry), Pure
# Data, Csound and a Faust-compiled C++ program. Prints the CPU seconds (user
# + system) each spends per second of audio, the best of 5 runs, then
# Kestrune's per-block cost: the patch without its filter at host blocks of
# 64 and 16 against 512.
#
#   bench/peers/run.sh [runs]        (default 5; builds the release preset first)
#
# Installs puredata, csound and faust from Debian when they are missing, and
# fails when a peer cannot run.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
runs=${1:-5}
peers=$root/bench/peers

need=()
command -v pd >/dev/null || need+=(puredata)
command -v csound >/dev/null || need+=(csound)
command -v faust >/dev/null || need+=(faust)
command -v g++ >/dev/null || need+=(g++)
if ((${#need[@]})); then
  echo "installing: ${need[*]}" >&2
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

cmake --preset release >/dev/null
cmake --build --preset release --target kestrune Kestrune >/dev/null
kestrune=$root/build/release/kestrune

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$peers"/reference* "$peers"/faust-main.cpp "$work"/
cd "$work"

# 16 notes (keys 36 ... 51) held for 60 s: a format 0 file at 480 ticks a
# quarter, 120 bpm.
python3 - <<'PY'
import struct
def var(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)
track = b""
for key in range(36, 52):
    track += var(0) + bytes([0x90, key, 100])
for i, key in enumerate(range(36, 52)):
    track += var(57600 if i == 0 else 0) + bytes([0x80, key, 0])
track += var(0) + b"\xff\x2f\x00"
with open("held16.mid", "wb") as f:
    f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480))
    f.write(b"MTrk" + struct.pack(">I", len(track)) + track)
PY

# What the peers need before timing: the plug-ins carrying the patches, the
# compiled Faust program.
"$kestrune" export reference.json -o Reference.so >/dev/null
"$kestrune" export reference-nofilter.json -o NoFilter.so >/dev/null
faust -a faust-main.cpp reference.dsp -o reference-faust.cpp
g++ -O3 -std=c++17 reference-faust.cpp -o reference-faust

# CPU seconds (user + system, children included) of one command; fails with
# the command's output when it fails.
cpu_of() {
  local log=$work/last.log t
  TIMEFORMAT='%3U %3S'
  if ! t=$({ time "$@" >"$log" 2>&1; } 2>&1); then
    echo "FAILED: $*" >&2
    cat "$log" >&2
    return 1
  fi
  awk '{ printf "%.4f\n", $1 + $2 }' <<<"$t"
}

best_of() {
  local best="" t
  for ((i = 0; i < runs; i++)); do
    t=$(cpu_of "$@") || return 1
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  echo "$best"
}

# At least 59.9 s of stereo (Pd stops on its 64-sample block grid).
check_wave() {
  local file=$1 least=$(($2 * 999 / 1000))
  local size
  size=$(stat -c %s "$file" 2>/dev/null || echo 0)
  if ((size < least)); then
    echo "FAILED: $file holds $size bytes, fewer than the $least of 59.9 s of stereo" >&2
    return 1
  fi
}

render() { "$kestrune" render --plugin "$1" --midi held16.mid --tail 0 --block "$2" -o "$3"; }

kestrune_s=$(best_of render Reference.so 512 kestrune.wav)
check_wave kestrune.wav $((44100 * 60 * 2 * 2))
pd_s=$(best_of pd -nogui -nosound -nomidi -batch -open reference.pd)
check_wave out.wav $((44100 * 60 * 2 * 2))
csound_s=$(best_of csound -o csound.wav -W reference.csd)
check_wave csound.wav $((44100 * 60 * 2 * 2))
faust_s=$(best_of ./reference-faust faust.wav)
check_wave faust.wav $((44100 * 60 * 2 * 4))

per_audio_second() { awk -v t="$1" 'BEGIN { printf "%.5f", t / 60 }'; }
printf '\nCPU seconds per audio second (best of %d, 60 s at 44.1 kHz, 16 voices, stereo)\n' "$runs"
printf '| %-28s | %8s |\n' "renderer" "CPU-s/s"
printf '|%s|%s|\n' "------------------------------" "----------"
printf '| %-28s | %8s |\n' "Kestrune ($(basename "$kestrune") render)" "$(per_audio_second "$kestrune_s")"
printf '| %-28s | %8s |\n' "Faust $(faust --version | awk 'NR==1 { print $3 }') (g++ -O3)" "$(per_audio_second "$faust_s")"
printf '| %-28s | %8s |\n' "Pure Data $(pd -version 2>&1 | awk 'NR==1 { sub(/^Pd-/, "", $1); print $1 }')" "$(per_audio_second "$pd_s")"
printf '| %-28s | %8s |\n' "Csound $(csound --version 2>&1 | awk '/Csound version/ { print $3; exit }')" "$(per_audio_second "$csound_s")"

printf '\nKestrune per-block cost, the patch without its filter (best of %d)\n' "$runs"
base=$(best_of render NoFilter.so 512 nofilter.wav)
printf '| %-10s | %8s | %8s |\n' "host block" "CPU-s/s" "vs 512"
printf '|%s|%s|%s|\n' "------------" "----------" "----------"
for block in 512 64 16; do
  t=$base
  [ "$block" != 512 ] && t=$(best_of render NoFilter.so "$block" nofilter.wav)
  printf '| %-10s | %8s | %8s |\n' "$block" "$(per_audio_second "$t")" "$(awk -v t="$t" -v b="$base" 'BEGIN { printf "%.2f", t / b }')"
done
