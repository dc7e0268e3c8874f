#!/usr/bin/env python3
"""Draws the program icon (a log page on black with a magnifier ring) as PNG
files of the sizes the desktop and the About box use, and as an SVG drawing
of the same shapes for the scalable icon. Deterministic: run it again after
changing the drawing and commit the pictures.

    python3 res/make_icon.py res/icons
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 64, 128, 256)
SUPERSAMPLE = 4

BACKGROUND = (0x10, 0x10, 0x14)
BORDER = (0x50, 0x50, 0x60)
# Colours of the log view: plain text, an event keyword, names by team.
LINES = [
    ((0xC4, 0xC4, 0xFF), 0.10, 0.62),
    ((0xFF, 0xFF, 0xFF), 0.10, 0.40),
    ((0xFF, 0x19, 0x19), 0.18, 0.78),
    ((0x4C, 0x4C, 0xFF), 0.10, 0.55),
    ((0xFF, 0xFF, 0x00), 0.18, 0.70),
    ((0xC4, 0xC4, 0xFF), 0.10, 0.48),
]
RING = (0xE8, 0xE8, 0xE8)


def colour_at(x, y):
    """Colour and coverage of the point (x, y) in the unit square."""
    # Rounded square.
    r = 0.14
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    d = math.hypot(x - cx, y - cy)
    if d > r:
        return None
    # Magnifier ring and handle over the lines.
    ring_cx, ring_cy, ring_r = 0.60, 0.58, 0.22
    dr = math.hypot(x - ring_cx, y - ring_cy)
    if abs(dr - ring_r) < 0.05:
        return RING
    hx, hy = x - ring_cx, y - ring_cy
    along = (hx + hy) / math.sqrt(2)
    across = (hx - hy) / math.sqrt(2)
    if ring_r < along < ring_r + 0.22 and abs(across) < 0.055:
        return RING
    if d > r - 0.03:
        return BORDER
    for i, (colour, x0, x1) in enumerate(LINES):
        top = 0.16 + i * 0.12
        if top <= y < top + 0.06 and x0 <= x < x1:
            return colour
    return BACKGROUND


def render(size):
    n = size * SUPERSAMPLE
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter: none
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    c = colour_at((px * SUPERSAMPLE + sx + 0.5) / n,
                                  (py * SUPERSAMPLE + sy + 0.5) / n)
                    if c is not None:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            samples = SUPERSAMPLE * SUPERSAMPLE
            if acc[3]:
                row += bytes((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3],
                              255 * acc[3] // samples))
            else:
                row += bytes((0, 0, 0, 0))
        rows.append(bytes(row))
    return b"".join(rows)


def png(size, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b""))


def hex_colour(c):
    return "#%02x%02x%02x" % c


def svg():
    """The same drawing in the unit square, as colour_at paints it."""
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
           'viewBox="0 0 1 1">',
           f'<rect x="0" y="0" width="1" height="1" rx="0.14" fill="{hex_colour(BORDER)}"/>',
           f'<rect x="0.03" y="0.03" width="0.94" height="0.94" rx="0.11" '
           f'fill="{hex_colour(BACKGROUND)}"/>']
    for i, (colour, x0, x1) in enumerate(LINES):
        top = 0.16 + i * 0.12
        out.append(f'<rect x="{x0:g}" y="{top:g}" width="{x1 - x0:g}" height="0.06" '
                   f'fill="{hex_colour(colour)}"/>')
    ring = hex_colour(RING)
    out.append(f'<circle cx="0.6" cy="0.58" r="0.22" fill="none" stroke="{ring}" '
               'stroke-width="0.1"/>')
    out.append('<rect x="0.22" y="-0.055" width="0.22" height="0.11" '
               f'transform="translate(0.6 0.58) rotate(45)" fill="{ring}"/>')
    out.append('</svg>')
    return "\n".join(out) + "\n"


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "icons")
    os.makedirs(out, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(out, f"quarvel-{size}.png"), "wb") as f:
            f.write(png(size, render(size)))
    with open(os.path.join(out, "quarvel.svg"), "w") as f:
        f.write(svg())


if __name__ == "__main__":
    main()
