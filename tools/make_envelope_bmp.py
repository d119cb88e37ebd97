#!/usr/bin/env python3
"""Draws bitmap 101: an open envelope with a letter, 48 x 48, 24 bits,
on a plain 232/232/232 background. Writes src/ui/envelope.bmp."""
import struct
import sys

W = H = 48
BACKGROUND = (232, 232, 232)
OUTLINE = (70, 70, 90)
ENVELOPE = (214, 178, 112)
INSIDE = (176, 140, 80)
LETTER = (255, 255, 255)
INK = (90, 110, 170)

pixels = [[BACKGROUND] * W for _ in range(H)]   # pixels[y][x], y = 0 at the top


def fill(x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            pixels[y][x] = colour


def line(x0, y0, x1, y1, colour):
    steps = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(steps + 1):
        pixels[round(y0 + (y1 - y0) * i / steps)][round(x0 + (x1 - x0) * i / steps)] = colour


# The open flap behind the letter, the letter, then the front of the envelope.
for y in range(10, 24):
    half = (y - 10) * 20 // 13
    fill(24 - half, y, 23 + half, y, INSIDE)
fill(11, 6, 36, 30, LETTER)
line(11, 6, 36, 6, OUTLINE); line(11, 6, 11, 30, OUTLINE); line(36, 6, 36, 30, OUTLINE)
for y in (11, 15, 19, 23):
    line(15, y, 32, y, INK)
fill(4, 24, 43, 42, ENVELOPE)
line(4, 24, 43, 24, OUTLINE); line(4, 42, 43, 42, OUTLINE)
line(4, 24, 4, 42, OUTLINE); line(43, 24, 43, 42, OUTLINE)
line(4, 24, 23, 35, OUTLINE); line(43, 24, 24, 35, OUTLINE)
line(4, 42, 18, 32, OUTLINE); line(43, 42, 29, 32, OUTLINE)

row_bytes = W * 3                       # 144, already a multiple of 4
image = bytearray()
for y in reversed(range(H)):            # bottom-up rows
    for r, g, b in pixels[y]:
        image += bytes((b, g, r))
header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(image), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(image), 2835, 2835, 0, 0)
out = sys.argv[1] if len(sys.argv) > 1 else 'src/ui/envelope.bmp'
with open(out, 'wb') as f:
    f.write(header + info + image)
