#!/usr/bin/env python3
"""Writes the test skin of the panel tests (tests/data/panels/skins/test/):
a knob whose frame k is filled with its own colour FRAME_COLOURS[k] (so a
test reads which frame a knob shows), a joystick handle, a two-frame image
that tinted images read as a coverage map, an LED as a Windows bitmap with a
mask, a tiled background and a style file. Committed; run only to change."""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(__file__), "skins", "test")
# The knob's 8 frames, 16 x 16 each: a square of the frame's colour on a
# transparent ground, so the panel shows through at the corners.
FRAME_COLOURS = [(255, 0, 0), (0, 160, 0), (0, 0, 255), (255, 200, 0),
                 (0, 200, 200), (200, 0, 200), (120, 60, 0), (255, 255, 255)]


def png(name, w, h, rows):
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    chunk = lambda k, d: struct.pack(">I", len(d)) + k + d + struct.pack(">I", zlib.crc32(k + d) & 0xFFFFFFFF)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    open(os.path.join(OUT, name), "wb").write(data)


def bmp(name, w, h, rows):
    """24-bit, bottom-up."""
    stride = (w * 3 + 3) & ~3
    body = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        body += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    open(os.path.join(OUT, name), "wb").write(header + info + body)


def main():
    os.makedirs(OUT, exist_ok=True)
    rows = []
    for colour in FRAME_COLOURS:
        for y in range(16):
            rows.append([(0, 0, 0, 0) if (x < 2 or x > 13) and (y < 2 or y > 13) else colour + (255,)
                         for x in range(16)])
    png("knob_med.png", 16, 16 * len(FRAME_COLOURS), rows)
    open(os.path.join(OUT, "knob_med.txt"), "w").write("type knob\nframe_size 16 16 ; eight frames\nmouse_response rotary\n")
    # LED: off (dark green) above on (bright green), a round mask: black opaque, white invisible.
    led = [[(0, 60, 0)] * 10 for _ in range(10)] + [[(0, 255, 0)] * 10 for _ in range(10)]
    mask = [[(0, 0, 0) if (x - 4.5) ** 2 + (y % 10 - 4.5) ** 2 <= 20 else (255, 255, 255) for x in range(10)]
            for y in range(20)]
    bmp("led.bmp", 10, 20, led)
    bmp("led_mask.bmp", 10, 20, mask)
    open(os.path.join(OUT, "led.txt"), "w").write("type knob\nframe_size 10 10\nmouse_response click\n")
    # Joystick handle: one 10 x 10 frame, a white ring with a red centre on a transparent ground.
    handle = []
    for y in range(10):
        row = []
        for x in range(10):
            r2 = (x - 4.5) ** 2 + (y - 4.5) ** 2
            row.append((255, 40, 40, 255) if r2 <= 4 else (255, 255, 255, 255) if r2 <= 20 else (0, 0, 0, 0))
        handle.append(row)
    png("joy_handle.png", 10, 10, handle)
    open(os.path.join(OUT, "joy_handle.txt"), "w").write("type knob\nframe_size 10 10\nmouse_response vertical\n")
    # Tint image: two 16 x 16 frames of coverage (the blue byte of an opaque RGB image,
    # alpha kept opaque): a disc with a soft edge, then a ring.
    tint = []
    for frame in range(2):
        for y in range(16):
            row = []
            for x in range(16):
                d = ((x - 7.5) ** 2 + (y - 7.5) ** 2) ** 0.5
                c = max(0, min(255, int((7.5 - d) * 128))) if frame == 0 else (255 if 4 <= d <= 7 else 0)
                row.append((c, c, c, 255))
            tint.append(row)
    png("tint_disc.png", 16, 32, tint)
    open(os.path.join(OUT, "tint_disc.txt"), "w").write("type knob\nframe_size 16 16\nmouse_response click\n")
    png("background.png", 4, 4, [[(40, 40, 60, 255) if (x + y) % 2 else (50, 50, 70, 255) for x in range(4)]
                                 for y in range(4)])
    open(os.path.join(OUT, "background.txt"), "w").write("tiled tile\n")
    open(os.path.join(OUT, "global.txt"), "w").write(
        "FONT_CATEGORY control_label\nfont-family 'DejaVu Sans'\nfont-size 11\nfont-color #00C8FF\n"
        "text-align center\n\nFONT_CATEGORY \"heading 1\"\nfont-family serif, \"DejaVu Serif\"\nfont-size 16\n"
        "font-weight bold\nfont-color #40FF40\n\nFONT_CATEGORY control_edit\nfont-family \"Courier New\"\n"
        "font-size 11\nfont-color #FFFFFF\n")


if __name__ == "__main__":
    main()
