#!/usr/bin/env python3
"""Draws Kestrune's built-in skin "default" (a dark set): the images, their
descriptors and the style file, into assets/skins/default/. Pure Python
(zlib), antialiased by supersampling. The files are committed; run this only
to change the look:   python3 scripts/make-default-skin.py"""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(__file__), "..", "assets", "skins", "default")
SS = 4  # supersampling per axis


def png(path, w, h, pixels):
    """pixels: list of rows of (r, g, b, a) tuples."""
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(os.path.join(OUT, path), "wb") as f:
        f.write(data)


def text(path, body):
    with open(os.path.join(OUT, path), "w", newline="\n") as f:
        f.write(body)


class Canvas:
    """An RGBA picture drawn with coverage functions at SS x SS samples a pixel."""
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0) for _ in range(w)] for _ in range(h)]

    def paint(self, colour, inside, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self.over(x, y, colour, hits / (SS * SS))

    def over(self, x, y, colour, cover):
        r, g, b, a = colour
        a = a / 255.0 * cover
        dr, dg, db, da = self.px[y][x]
        da /= 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        mix = lambda s, d: round((s * a + d * da * (1 - a)) / oa)
        self.px[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), round(oa * 255))

    def rect(self, colour, x0, y0, x1, y1):
        self.paint(colour, lambda x, y: x0 <= x < x1 and y0 <= y < y1, (int(x0), int(y0), int(math.ceil(x1)), int(math.ceil(y1))))

    def disc(self, colour, cx, cy, r):
        self.paint(colour, lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
                   (int(cx - r) - 1, int(cy - r) - 1, int(cx + r) + 2, int(cy + r) + 2))

    def ring(self, colour, cx, cy, r0, r1, a0=-math.pi, a1=math.pi):
        def inside(x, y):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if not (r0 * r0 <= d <= r1 * r1):
                return False
            a = math.atan2(x - cx, -(y - cy))  # 0 at the top, clockwise
            return a0 <= a <= a1
        self.paint(colour, inside, (int(cx - r1) - 1, int(cy - r1) - 1, int(cx + r1) + 2, int(cy + r1) + 2))

    def segment(self, colour, x0, y0, x1, y1, width):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9
        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx - x, y0 + t * dy - y
            return px * px + py * py <= (width / 2) ** 2
        self.paint(colour, inside, (int(min(x0, x1) - width) - 1, int(min(y0, y1) - width) - 1,
                                    int(max(x0, x1) + width) + 2, int(max(y0, y1) + width) + 2))


def strip(frames):
    """Stacks canvases of one size vertically."""
    w, h = frames[0].w, frames[0].h
    rows = []
    for f in frames:
        rows.extend(f.px)
    return w, h * len(frames), rows


BODY = (58, 62, 70, 255)
BODY_EDGE = (30, 32, 38, 255)
TRACK = (40, 43, 50, 255)
ACCENT = (255, 150, 40, 255)
POINTER = (235, 235, 240, 255)
SWEEP = 0.75 * math.pi  # the pointer sweeps -135 .. +135 degrees


def knob(size, frames, name):
    out = []
    c = size / 2
    for k in range(frames):
        v = k / (frames - 1)
        a = -SWEEP + 2 * SWEEP * v
        cv = Canvas(size, size)
        cv.ring(TRACK, c, c, c - 3.2, c - 0.6, -SWEEP, SWEEP)
        if v > 0:
            cv.ring(ACCENT, c, c, c - 3.2, c - 0.6, -SWEEP, a)
        cv.disc(BODY_EDGE, c, c, c - 4.0)
        cv.disc(BODY, c, c, c - 5.0)
        cv.segment(POINTER, c + math.sin(a) * (c * 0.18), c - math.cos(a) * (c * 0.18),
                   c + math.sin(a) * (c - 6.0), c - math.cos(a) * (c - 6.0), max(1.6, size / 14))
        out.append(cv)
    w, h, px = strip(out)
    png(name + ".png", w, h, px)
    text(name + ".txt", f"type knob\nframe_size {size} {size}\nmouse_response rotary\n")


def rotary(size, frames, name):
    """A pointer going once round the circle: frame k points at k / frames of a turn."""
    out = []
    c = size / 2
    for k in range(frames):
        a = 2 * math.pi * k / frames
        cv = Canvas(size, size)
        cv.disc(BODY_EDGE, c, c, c - 1.0)
        cv.disc(BODY, c, c, c - 2.0)
        cv.segment(ACCENT, c + math.sin(a) * (c * 0.25), c - math.cos(a) * (c * 0.25),
                   c + math.sin(a) * (c - 3.5), c - math.cos(a) * (c - 3.5), max(1.8, size / 12))
        out.append(cv)
    w, h, px = strip(out)
    png(name + ".png", w, h, px)
    text(name + ".txt", f"type knob\nframe_size {size} {size}\nmouse_response step\n")


def two_state(name, size, draw, response="click", kind="knob"):
    frames = []
    for on in (False, True):
        cv = Canvas(size, size)
        draw(cv, on)
        frames.append(cv)
    w, h, px = strip(frames)
    png(name + ".png", w, h, px)
    text(name + ".txt", f"type {kind}\nframe_size {size} {size}\nmouse_response {response}\n")


def button(cv, on, s=None):
    s = cv.w
    cv.rect(BODY_EDGE, 1, 1, s - 1, s - 1)
    cv.rect(ACCENT if on else BODY, 2, 2, s - 2, s - 2)
    if not on:
        cv.rect((80, 85, 95, 255), 2, 2, s - 2, 3)


def led(cv, on):
    c = cv.w / 2
    cv.disc(BODY_EDGE, c, c, c - 0.5)
    cv.disc((90, 255, 90, 255) if on else (30, 70, 30, 255), c, c, c - 2)
    if on:
        cv.disc((200, 255, 200, 255), c - 1.5, c - 1.5, 1.6)


def arrow(direction):
    def draw(cv, on):
        s = cv.w
        cv.rect(BODY_EDGE, 0, 0, s, s)
        cv.rect(ACCENT if on else BODY, 1, 1, s - 1, s - 1)
        m = s / 2
        if direction == "left":
            tri = [(s * 0.65, s * 0.25), (s * 0.65, s * 0.75), (s * 0.3, m)]
        elif direction == "right":
            tri = [(s * 0.35, s * 0.25), (s * 0.35, s * 0.75), (s * 0.7, m)]
        else:
            tri = [(s * 0.25, s * 0.38), (s * 0.75, s * 0.38), (m, s * 0.7)]
        def inside(x, y):
            (ax, ay), (bx, by), (cx, cy) = tri
            d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by)
            d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy)
            d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay)
            neg = d1 < 0 or d2 < 0 or d3 < 0
            pos = d1 > 0 or d2 > 0 or d3 > 0
            return not (neg and pos)
        cv.paint(POINTER, inside)
    return draw


def slider(name, horizontal):
    length, thick, handle = 80, 20, 12
    track = Canvas(thick, length) if not horizontal else Canvas(length, thick)
    if horizontal:
        track.rect(TRACK, 0, thick / 2 - 2, length, thick / 2 + 2)
        for i in range(9):
            x = 6 + i * (length - 12) / 8
            track.rect((90, 95, 105, 255), x - 0.5, 2, x + 0.5, 5)
        cv = Canvas(length + handle, thick)
        for y in range(thick):
            cv.px[y][:length] = track.px[y]
        cv.rect(BODY_EDGE, length, 0, length + handle, thick)
        cv.rect(BODY, length + 1, 1, length + handle - 1, thick - 1)
        cv.rect(ACCENT, length + handle / 2 - 1, 2, length + handle / 2 + 1, thick - 2)
        png(name + ".png", cv.w, cv.h, cv.px)
        text(name + ".txt", f"type slider\nframe_size {length} {thick}\norientation horizontal\n"
             f"handle_rect {length} 0 {length + handle} {thick}\nhandle_range 0 {length - handle}\n")
    else:
        track.rect(TRACK, thick / 2 - 2, 0, thick / 2 + 2, length)
        for i in range(9):
            y = 6 + i * (length - 12) / 8
            track.rect((90, 95, 105, 255), 2, y - 0.5, 5, y + 0.5)
        cv = Canvas(thick, length + handle)
        for y in range(length):
            cv.px[y] = track.px[y]
        cv.rect(BODY_EDGE, 0, length, thick, length + handle)
        cv.rect(BODY, 1, length + 1, thick - 1, length + handle - 1)
        cv.rect(ACCENT, 2, length + handle / 2 - 1, thick - 2, length + handle / 2 + 1)
        png(name + ".png", cv.w, cv.h, cv.px)
        text(name + ".txt", f"type slider\nframe_size {thick} {length}\norientation vertical\n"
             f"handle_rect 0 {length} {thick} {length + handle}\nhandle_range 0 {length - handle}\n")


def bar_graph(name):
    w, h, segments, step = 12, 60, 10, 6
    frames = []
    for lit in (True, False):
        cv = Canvas(w, h)
        for i in range(segments):
            y1 = h - i * step
            colour = (90, 230, 90, 255) if i < 7 else (240, 200, 60, 255) if i < 9 else (250, 70, 60, 255)
            if not lit:
                colour = tuple(c // 4 for c in colour[:3]) + (255,)
            cv.rect(colour, 1, y1 - step + 1, w - 1, y1 - 1)
        frames.append(cv)
    fw, fh, px = strip(frames)
    png(name + ".png", fw, fh, px)
    text(name + ".txt", f"type bargraph\nframe_size {w} {h}\nsegment_count {segments - 1}\nsegment 0 {step}\n")


def background():
    s = 64
    cv = Canvas(s, s)
    cv.rect((44, 47, 54, 255), 0, 0, s, s)
    for y in range(s):
        for x in range(s):
            n = ((x * 7 + y * 13) ^ (x * y)) % 5
            r, g, b, a = cv.px[y][x]
            cv.px[y][x] = (r + n - 2, g + n - 2, b + n - 2, 255)
    png("background.png", s, s, cv.px)
    text("background.txt", "tiled tile\n")


def lines():
    """A 3 x 3 grid of cells: rounded corners, straight edges (the middle
    cell is not used); the stroke width is the "line_end_length"."""
    cell, stroke = 8, 2
    colour = (120, 126, 140, 255)
    r = cell - 1
    cv = Canvas(cell * 3, cell * 3)
    def corner(ox, oy, cx, cy):
        cv.paint(colour, lambda x, y: (r - stroke) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
                 (ox, oy, ox + cell, oy + cell))
    corner(0, 0, cell, cell)
    corner(2 * cell, 0, 2 * cell, cell)
    corner(0, 2 * cell, cell, 2 * cell)
    corner(2 * cell, 2 * cell, 2 * cell, 2 * cell)
    top = cell - r
    cv.rect(colour, cell, top, 2 * cell, top + stroke)                     # top edge
    cv.rect(colour, cell, 3 * cell - top - stroke, 2 * cell, 3 * cell - top)  # bottom edge
    cv.rect(colour, top, cell, top + stroke, 2 * cell)                     # left edge
    cv.rect(colour, 3 * cell - top - stroke, cell, 3 * cell - top, 2 * cell)  # right edge
    png("lines.png", cv.w, cv.h, cv.px)
    text("lines.txt", f"frame_size {cell} {cell}\nline_end_length {stroke}\n")


STYLES = """; Kestrune's built-in skin: text styles (font sizes in pixels).
FONT_CATEGORY normal
font-family "DejaVu Sans"
font-size 12
font-color #E6E1DC

FONT_CATEGORY "heading 1"
font-family "DejaVu Sans"
font-size 18
font-weight bold
font-color #E6E1DC

FONT_CATEGORY "heading 2"
font-family "DejaVu Sans"
font-size 15
font-weight bold
font-color #E6E1DC

FONT_CATEGORY "heading 3"
font-family "DejaVu Sans"
font-size 13
font-weight bold
font-color #2896FF

FONT_CATEGORY "user 1"
font-family "DejaVu Sans Mono"
font-size 12
font-color #78FF78
background-color #201C18

FONT_CATEGORY "user 2"
font-family "DejaVu Serif"
font-size 12
font-style italic
font-color #E6E1DC

FONT_CATEGORY "user 3"
font-family "DejaVu Sans"
font-size 10
font-color #A09890

FONT_CATEGORY control_label
font-family "DejaVu Sans"
font-size 11
font-color #DCD7D2
text-align center

FONT_CATEGORY control_edit
font-family "DejaVu Sans Mono"
font-size 11
font-color #F0F0F0

FONT_CATEGORY panel_group
font-family "DejaVu Sans"
font-size 11
font-weight bold
font-color #8C7E78

FONT_CATEGORY switch_label
font-family "DejaVu Sans"
font-size 10
font-color #C8C3BE

FONT_CATEGORY selector_text
font-family "DejaVu Sans"
font-size 11
font-color #2896FF

FONT_CATEGORY tty
font-family "DejaVu Sans Mono"
font-size 11
font-color #78F078
"""


def main():
    os.makedirs(OUT, exist_ok=True)
    knob(32, 64, "knob_med")
    knob(24, 64, "knob_sm")
    rotary(28, 32, "switch_rotary")
    slider("vslider_med", False)
    slider("hslider_med", True)
    two_state("button", 22, button)
    two_state("button_sm", 16, button)
    two_state("led", 14, led)
    two_state("arrow_left", 16, arrow("left"))
    two_state("arrow_right", 16, arrow("right"))
    two_state("drop_down", 16, arrow("down"))
    bar_graph("bar_graph1")
    background()
    lines()
    text("global.txt", STYLES)


if __name__ == "__main__":
    main()
