#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's logo, resources/logo_orvell.png: a 51 x 53 RGB PNG
(colour type 2, 8 bits per channel, no alpha, not interlaced) with a pHYs chunk
of 2834 pixels per metre on both axes; and the same picture as square desktop
icons, packaging/icons/kalmora-<size>.png, each drawn at its own size rather
than scaled from the small logo. Standard library only, so it can be rerun on
any machine: python3 tools/make_logo.py [OUTPUT_FOLDER]"""

import math
import struct
import sys
import zlib
from pathlib import Path

WIDTH, HEIGHT = 51, 53
SUPERSAMPLE = 4
ROOT = Path(__file__).resolve().parent.parent
LOGO = Path("resources") / "logo_orvell.png"
ICON_SIZES = (48, 128, 256)


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def colour_at(x, y):
    """Colour of the point (x, y) in pixel units: a ring (the residues modulo n)
    around the letter K on a blue gradient."""
    shade = y / HEIGHT
    colour = (int(20 + 30 * shade), int(40 + 60 * shade), int(110 + 70 * shade))
    cx, cy = WIDTH / 2, HEIGHT / 2
    r = math.hypot(x - cx, y - cy)
    if 20.0 <= r <= 23.0:
        colour = (235, 235, 245)
    # Twelve ticks on the ring, one per residue of a clock.
    for k in range(12):
        angle = k * math.pi / 6
        tx, ty = cx + 21.5 * math.cos(angle), cy + 21.5 * math.sin(angle)
        if math.hypot(x - tx, y - ty) <= 2.2:
            colour = (250, 200, 60)
    strokes = [(19, 14, 19, 39), (20, 27, 33, 14), (23, 24, 34, 39)]
    if any(distance_to_segment(x, y, *s) <= 2.4 for s in strokes):
        colour = (250, 200, 60)
    return colour


def pixel(px, py, unit=1.0, left=0.0):
    """Colour of the output pixel (px, py), where one output pixel spans `unit`
    logo pixels and the output's left edge lies at x = `left` in the logo."""
    total = [0, 0, 0]
    for sy in range(SUPERSAMPLE):
        for sx in range(SUPERSAMPLE):
            x = (px + (sx + 0.5) / SUPERSAMPLE) * unit + left
            y = (py + (sy + 0.5) / SUPERSAMPLE) * unit
            c = colour_at(x, y)
            for i in range(3):
                total[i] += c[i]
    return bytes(round(v / SUPERSAMPLE**2) for v in total)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(width, height, pixel_at):
    rows = b"".join(
        b"\0" + b"".join(pixel_at(x, y) for x in range(width)) for y in range(height)
    )
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    data += chunk(b"pHYs", struct.pack(">IIB", 2834, 2834, 1))
    data += chunk(b"IDAT", zlib.compress(rows, 9))
    data += chunk(b"IEND", b"")
    return data


def icon(size):
    """The logo on a square as high as the logo, widened evenly on both sides;
    the background gradient runs top to bottom, so the wider sides continue it."""
    unit = HEIGHT / size
    left = (WIDTH - HEIGHT) / 2
    return png(size, size, lambda x, y: pixel(x, y, unit, left))


def write(root, name, data):
    path = root / name
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)
    print(path)


def main():
    root = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT
    write(root, LOGO, png(WIDTH, HEIGHT, pixel))
    for size in ICON_SIZES:
        write(root, Path("packaging") / "icons" / f"kalmora-{size}.png", icon(size))


if __name__ == "__main__":
    main()
