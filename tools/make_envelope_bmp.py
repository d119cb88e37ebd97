#!/usr/bin/env python3
"""Draws bitmap 101: an open envelope with a letter, 48 x 48, 24 bits,
on a plain 232/232/232 background. Writes src/ui/envelope.bmp."""
import struct
import sys

W = H = 48
BACKGROUND = (232, 232, 232)
OUTLINE = (70, 62, 50)
ENVELOPE = (226, 190, 120)
FOLD = (196, 158, 92)
INSIDE = (170, 132, 74)
FLAP = (204, 166, 98)
LETTER = (255, 255, 255)
LETTER_EDGE = (120, 130, 150)
INK = (70, 100, 170)

pixels = [[BACKGROUND] * W for _ in range(H)]   # pixels[y][x], y = 0 at the top


def inside_polygon(x, y, corners):
    """Even-odd test at the pixel's centre."""
    px, py = x + 0.5, y + 0.5
    hit = False
    for (x0, y0), (x1, y1) in zip(corners, corners[1:] + corners[:1]):
        if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
            hit = not hit
    return hit


def polygon(corners, colour, edge=None):
    for y in range(H):
        for x in range(W):
            if inside_polygon(x, y, corners):
                pixels[y][x] = colour
    if edge:
        for start, end in zip(corners, corners[1:] + corners[:1]):
            line(*start, *end, edge)


def line(x0, y0, x1, y1, colour):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        if 0 <= x < W and 0 <= y < H:
            pixels[y][x] = colour


# Back to front: the inside of the envelope, the opened flap, the letter,
# then the front pocket whose V-shaped top lets the letter show.
polygon([(4, 22), (44, 22), (44, 43), (4, 43)], INSIDE)
polygon([(4, 22), (24, 5), (44, 22)], FLAP, OUTLINE)
polygon([(11, 9), (37, 9), (37, 40), (11, 40)], LETTER, LETTER_EDGE)
for y in (14, 18, 22, 26):
    line(15, y, 32 if y != 26 else 26, y, INK)
polygon([(4, 22), (24, 34), (44, 22), (44, 43), (4, 43)], ENVELOPE, OUTLINE)
line(5, 42, 18, 31, FOLD)
line(43, 42, 30, 31, FOLD)
line(5, 43, 44, 43, OUTLINE)

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
