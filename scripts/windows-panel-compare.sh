#!/usr/bin/env bash
# The Windows program draws the panels the Linux program draws: kestrune.exe
# panel (win64, under Wine) on every example patch and on the golden test
# patch (its skin read from a skin folder), compared pixel for pixel with
# build/dev/kestrune panel. Fonts and skins are compiled into both, so not a
# pixel may differ.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=build/win64/panels
rm -rf "$out"
mkdir -p "$out/linux" "$out/windows"

patches=(examples/*.json tests/data/panels/golden_panel.json tests/data/panels/golden_widgets.json)
for patch in "${patches[@]}"; do
  stem=$(basename "$patch" .json)
  build/dev/kestrune panel "$patch" -o "$out/linux/$stem.png" --program 1 >/dev/null
  # Relative paths with forward slashes: Wine's program sees the same files.
  scripts/wine-run.sh build/win64/kestrune.exe panel "$patch" -o "$out/windows/$stem.png" --program 1 \
    >"$out/windows/$stem.log" 2>&1 || { cat "$out/windows/$stem.log" >&2; exit 1; }
done

python3 - "$out" "${patches[@]}" <<'PY'
import os, struct, sys, zlib

def pixels(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, idat, head = 8, b"", None
    while pos < len(data):
        size, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + size]
        if kind == b"IHDR":
            head = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + size
    w, h, depth, colour, _, _, interlace = head
    if depth != 8 or colour != 2 or interlace != 0:
        sys.exit(f"{path}: expected 8-bit RGB without interlacing")
    raw, stride, out, prev = zlib.decompress(idat), w * 3, bytearray(), bytearray(w * 3)
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b, c = prev[i], prev[i - 3] if i >= 3 else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += line
        prev = line
    return w, h, bytes(out)

folder, failed = sys.argv[1], 0
for patch in sys.argv[2:]:
    stem = os.path.splitext(os.path.basename(patch))[0]
    lw, lh, linux = pixels(f"{folder}/linux/{stem}.png")
    ww, wh, windows = pixels(f"{folder}/windows/{stem}.png")
    if (lw, lh) != (ww, wh):
        print(f"FAIL: {stem}: Linux {lw} x {lh}, Windows {ww} x {wh}")
        failed += 1
        continue
    differing = sum(1 for i in range(0, len(linux), 3) if linux[i:i + 3] != windows[i:i + 3])
    if differing:
        print(f"FAIL: {stem}: {differing} of {lw * lh} pixels differ")
        failed += 1
    else:
        print(f"ok: {stem}: the Windows panel equals the Linux panel ({lw} x {lh})")
sys.exit(1 if failed else 0)
PY
