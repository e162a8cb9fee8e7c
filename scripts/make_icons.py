#!/usr/bin/env python3
"""Draws the example radial-menu icons: simple 64x64 white glyphs on transparency.

Run from the repository root; writes examples/resources/Dial/<name>.png. The PNGs are committed,
so building never needs this script; it is here so that the icons can be remade or extended.
"""
import math
import os
import struct
import sys
import zlib

SIZE = 64


def png(pixels):
    """Encodes rows of (r, g, b, a) tuples as an RGBA PNG."""
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def render(coverage):
    """Samples coverage(x, y) -> 0..1 four times per pixel into white with alpha."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            total = sum(coverage(x + dx, y + dy) for dx in (0.25, 0.75) for dy in (0.25, 0.75))
            row.append((255, 255, 255, int(round(255 * min(1.0, total / 4)))))
        rows.append(row)
    return rows


def disc(cx, cy, r):
    return lambda x, y: 1.0 if (x - cx) ** 2 + (y - cy) ** 2 <= r * r else 0.0


def ring(cx, cy, r0, r1):
    return lambda x, y: 1.0 if r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1 else 0.0


def union(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def rect(x0, y0, x1, y1):
    return lambda x, y: 1.0 if x0 <= x <= x1 and y0 <= y <= y1 else 0.0


def wedge(cx, cy, r, a0, a1):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return 1.0 if d <= r and a0 <= a <= a1 else 0.0
    return inside


ICONS = {
    # A big and a small dot: size.
    "brush_size": union(disc(24, 34, 16), disc(50, 18, 6)),
    # A half-filled ring: opacity.
    "brush_opacity": union(ring(32, 32, 20, 26), wedge(32, 32, 20, 90, 270)),
    # A solid disc inside a thin ring: hardness.
    "brush_hardness": union(disc(32, 32, 14), ring(32, 32, 22, 26)),
    # Three falling drops: flow.
    "brush_flow": union(disc(18, 20, 6), disc(32, 34, 7), disc(46, 48, 8)),
    # Dots along a line: spacing.
    "brush_spacing": union(*(disc(8 + 12 * i, 32, 4) for i in range(5))),
    # A bar between two ticks: width.
    "brush_width": union(rect(10, 28, 54, 36), rect(8, 18, 11, 46), rect(53, 18, 56, 46)),
    # Three stacked sectors: colour.
    "colour": union(wedge(32, 32, 26, 0, 110), wedge(32, 32, 22, 120, 230), wedge(32, 32, 18, 240, 350)),
    # A rewinding arrow: history.
    "history": union(ring(32, 32, 18, 24), rect(8, 14, 22, 20)),
    # A tilted square: view rotation.
    "view_rotation": lambda x, y: 1.0 if abs((x - 32) + (y - 32)) + abs((x - 32) - (y - 32)) <= 36 else 0.0,
    # Two overlapping discs: blend mode.
    "blend_mode": union(ring(24, 32, 14, 18), disc(40, 32, 16)),
}


def main():
    out = os.path.join("examples", "resources", "Dial")
    os.makedirs(out, exist_ok=True)
    for name, shape in ICONS.items():
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(png(render(shape)))
    print(f"wrote {len(ICONS)} icons to {out}", file=sys.stderr)


if __name__ == "__main__":
    main()
