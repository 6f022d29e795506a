#!/usr/bin/env python3
"""Draws the program's logo, resources/logo_orvell.png: a 51 x 53 RGB PNG
(colour type 2, 8 bits per channel, no alpha, not interlaced) with a pHYs chunk
of 2834 pixels per metre on both axes. Standard library only, so it can be rerun
on any machine: python3 tools/make_logo.py"""

import math
import struct
import zlib
from pathlib import Path

WIDTH, HEIGHT = 51, 53
SUPERSAMPLE = 4
OUT = Path(__file__).resolve().parent.parent / "resources" / "logo_orvell.png"


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


def pixel(px, py):
    total = [0, 0, 0]
    for sy in range(SUPERSAMPLE):
        for sx in range(SUPERSAMPLE):
            c = colour_at(px + (sx + 0.5) / SUPERSAMPLE, py + (sy + 0.5) / SUPERSAMPLE)
            for i in range(3):
                total[i] += c[i]
    return bytes(round(v / SUPERSAMPLE**2) for v in total)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def main():
    rows = b"".join(b"\0" + b"".join(pixel(x, y) for x in range(WIDTH)) for y in range(HEIGHT))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0))
    png += chunk(b"pHYs", struct.pack(">IIB", 2834, 2834, 1))
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    OUT.write_bytes(png)
    print(OUT)


if __name__ == "__main__":
    main()
