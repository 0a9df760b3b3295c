#!/usr/bin/env python3
"""Writes a character file from a drawing: a Python module (merlin.py beside this) naming
the character's size, its frames as lists of flat shapes, its animations and the names
they are played by. Run from anywhere:

    python3 make_character.py merlin.py ../CHARS/Merlin.ACS

The file is an uncompressed ustar archive holding character.ini and one PNG (RGBA) per
frame. It is written the same way every time, byte for byte: fixed times and owners, the
manifest first and the frames in their order, the PNGs without time or text chunks and
compressed by zlib at level 9 (a zlib that compresses differently shows up in the check
that rebuilds the file).

Shapes, in the drawing's own pixels (0,0 the top-left corner, floats allowed):
    ("poly", colour, [(x, y), ...])           a filled polygon (even-odd)
    ("ellipse", colour, cx, cy, rx, ry)       a filled ellipse
    ("line", colour, x1, y1, x2, y2, width)   a thick line with round ends
Colours are (r, g, b, a) tuples. Shapes are painted in order, each over the ones before;
edges are smoothed by drawing at three times the size and averaging.
"""

import importlib.util
import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 3
MTIME = 1704067200  # 2024-01-01 00:00:00 UTC, for every entry


# --- Painting -------------------------------------------------------------------------

class Canvas:
    """Colour numbers per sample; number 0 is transparent."""

    def __init__(self, width, height):
        self.w = width * SUPERSAMPLE
        self.h = height * SUPERSAMPLE
        self.samples = bytearray(self.w * self.h)
        self.palette = [(0, 0, 0, 0)]

    def colour(self, rgba):
        if rgba not in self.palette:
            assert len(self.palette) < 256, "too many colours in one frame"
            self.palette.append(rgba)
        return self.palette.index(rgba)

    def span(self, row, x0, x1, number):
        x0 = max(0, x0)
        x1 = min(self.w, x1)
        if 0 <= row < self.h and x0 < x1:
            at = row * self.w
            self.samples[at + x0:at + x1] = bytes([number]) * (x1 - x0)

    def polygon(self, rgba, points):
        number = self.colour(rgba)
        pts = [(x * SUPERSAMPLE, y * SUPERSAMPLE) for x, y in points]
        ys = [p[1] for p in pts]
        for row in range(max(0, int(math.floor(min(ys)))), min(self.h, int(math.ceil(max(ys))) + 1)):
            yc = row + 0.5
            xs = []
            for (xa, ya), (xb, yb) in zip(pts, pts[1:] + pts[:1]):
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                self.span(row, int(round(a)), int(round(b)), number)

    def ellipse(self, rgba, cx, cy, rx, ry):
        number = self.colour(rgba)
        cx, cy, rx, ry = (v * SUPERSAMPLE for v in (cx, cy, rx, ry))
        for row in range(max(0, int(cy - ry) - 1), min(self.h, int(cy + ry) + 2)):
            t = (row + 0.5 - cy) / ry
            if abs(t) >= 1:
                continue
            half = rx * math.sqrt(1 - t * t)
            self.span(row, int(round(cx - half)), int(round(cx + half)), number)

    def line(self, rgba, x1, y1, x2, y2, width):
        r = width / 2
        length = math.hypot(x2 - x1, y2 - y1)
        if length > 0:
            nx, ny = -(y2 - y1) / length * r, (x2 - x1) / length * r
            self.polygon(rgba, [(x1 + nx, y1 + ny), (x2 + nx, y2 + ny),
                                (x2 - nx, y2 - ny), (x1 - nx, y1 - ny)])
        self.ellipse(rgba, x1, y1, r, r)
        self.ellipse(rgba, x2, y2, r, r)

    def paint(self, shapes):
        for shape in shapes:
            kind, rgba, *args = shape
            if kind == "poly":
                self.polygon(rgba, args[0])
            elif kind == "ellipse":
                self.ellipse(rgba, *args)
            elif kind == "line":
                self.line(rgba, *args)
            else:
                raise ValueError("unknown shape " + kind)

    def rgba_rows(self):
        """The picture at its own size: each pixel the average of its samples."""
        n = SUPERSAMPLE
        weight = n * n
        palette = self.palette
        rows = []
        for y in range(self.h // n):
            row = bytearray()
            for x in range(self.w // n):
                numbers = [self.samples[(y * n + j) * self.w + x * n + i]
                           for j in range(n) for i in range(n)]
                if numbers.count(numbers[0]) == weight:
                    row += bytes(palette[numbers[0]])
                    continue
                r = g = b = a = 0
                for k in numbers:
                    pr, pg, pb, pa = palette[k]
                    r += pr * pa
                    g += pg * pa
                    b += pb * pa
                    a += pa
                if a == 0:
                    row += bytes(4)
                else:
                    row += bytes((r // a, g // a, b // a, (a + weight // 2) // weight))
            rows.append(bytes(row))
        return rows


# --- Files ----------------------------------------------------------------------------

def png(width, rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + r for r in rows)  # filter "none" on every row
    header = struct.pack(">IIBBBBB", width, len(rows), 8, 6, 0, 0, 0)  # 8 bits RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ustar(files):
    out = bytearray()
    for name, data in files:
        assert len(name) <= 100
        header = bytearray(512)
        def put(at, length, value):
            header[at:at + len(value)] = value
        put(0, 100, name.encode())
        put(100, 8, b"0000644\0")
        put(108, 8, b"0000000\0")
        put(116, 8, b"0000000\0")
        put(124, 12, b"%011o\0" % len(data))
        put(136, 12, b"%011o\0" % MTIME)
        put(148, 8, b" " * 8)
        put(156, 1, b"0")
        put(257, 8, b"ustar\x0000")
        put(148, 8, b"%06o\0 " % sum(header))
        out += header + data + bytes(-len(data) % 512)
    out += bytes(1024)
    out += bytes(-len(out) % 10240)
    return bytes(out)


def steps(frames_and_ms):
    return ", ".join("%s %d" % (frame, ms) for frame, ms in frames_and_ms)


def manifest(d):
    lines = ["; " + d.NAME + ", written by make_character.py from " + d.SOURCE,
             "[Character]",
             "Name=" + d.NAME,
             "Width=%d" % d.WIDTH,
             "Height=%d" % d.HEIGHT,
             "Balloon=%d,%d" % d.BALLOON,
             "Speaking=" + steps(d.SPEAKING),
             "",
             "[Frames]"]
    lines += ["%s=frames/%s.png" % (name, name) for name, _ in d.FRAMES]
    lines += ["", "[Animations]"]
    lines += ["%s=%s" % (name, steps(s)) for name, s in d.ANIMATIONS]
    lines += ["", "[Names]"]
    lines += ["%s=%s" % (played, animation) for played, animation in d.NAMES]
    lines += ["*=" + d.FALLBACK, ""]
    return "\r\n".join(lines).encode("utf-8")


def main(drawing_path, output_path):
    spec = importlib.util.spec_from_file_location("drawing", drawing_path)
    d = importlib.util.module_from_spec(spec)
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    spec.loader.exec_module(d)
    files = [("character.ini", manifest(d))]
    for name, shapes in d.FRAMES:
        canvas = Canvas(d.WIDTH, d.HEIGHT)
        canvas.paint(shapes)
        files.append(("frames/%s.png" % name, png(d.WIDTH, canvas.rgba_rows())))
    archive = ustar(files)
    temporary = output_path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(archive)
    os.replace(temporary, output_path)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_character.py DRAWING.py OUTPUT.ACS")
    main(sys.argv[1], sys.argv[2])
