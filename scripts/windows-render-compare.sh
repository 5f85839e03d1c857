#!/usr/bin/env bash
# The Windows plug-in plays what the Linux plug-in plays: exports the default
# patch into a copy of the win64 Kestrune.dll, renders the built-in demo phrase
# with the Windows kestrune.exe under Wine (LoadLibrary, main, the document from
# the PE resource), renders the same patch and phrase on Linux, and compares the
# two float WAVE files sample by sample (tolerance 1e-6).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=build/win64/export
mkdir -p "$out"
rm -f "$out"/Demo.dll "$out"/windows.wav "$out"/linux.wav

build/dev/kestrune export examples/default-subtractive.json --plugin build/win64/Kestrune.dll -o "$out/Demo.dll"
# The progress bar goes to a log; it is shown only when the render fails.
build/dev/kestrune render --patch examples/default-subtractive.json --format float -o "$out/linux.wav" \
  >/dev/null 2>"$out/linux-render.log" || { cat "$out/linux-render.log" >&2; exit 1; }
# Relative paths: the Windows program sees the folder as its current directory.
(cd "$out" && cp ../kestrune.exe . && "$root/scripts/wine-run.sh" kestrune.exe render --plugin Demo.dll \
  --format float -o windows.wav) >/dev/null 2>"$out/windows-render.log" ||
  { cat "$out/windows-render.log" >&2; exit 1; }

python3 - "$out/linux.wav" "$out/windows.wav" <<'PY'
import struct, sys

def samples(path):
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"{path}: not a WAVE file")
    pos, fmt, body = 12, None, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        chunk = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", chunk)
        elif tag == b"data":
            body = chunk
        pos += 8 + size + (size & 1)
    if fmt is None or body is None or fmt[0] != 3 or fmt[5] != 32:
        sys.exit(f"{path}: expected 32-bit float samples")
    return fmt[1], struct.unpack(f"<{len(body) // 4}f", body)

(lc, linux), (wc, windows) = samples(sys.argv[1]), samples(sys.argv[2])
if lc != wc or len(linux) != len(windows):
    sys.exit(f"render shapes differ: Linux {lc} ch x {len(linux)}, Windows {wc} ch x {len(windows)}")
worst = max((abs(a - b) for a, b in zip(linux, windows)), default=0.0)
peak = max((abs(a) for a in linux), default=0.0)
if peak == 0.0:
    sys.exit("the Linux render is silent; nothing to compare")
if worst > 1e-6:
    sys.exit(f"Windows and Linux renders differ by up to {worst:g} (tolerance 1e-6)")
print(f"ok: Windows render under Wine equals the Linux render ({len(linux) // lc} frames x {lc} channels, "
      f"largest difference {worst:g}, peak {peak:.3f})")
PY
