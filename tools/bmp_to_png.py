#!/usr/bin/env python3
"""Converts an uncompressed 24- or 32-bit .bmp into a .png, with the standard
library alone. Usage: bmp_to_png.py IN.bmp OUT.png [SCALE]"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, 'rb').read()
    if data[:2] != b'BM':
        raise ValueError(f'{path}: not a bitmap')
    offset = struct.unpack_from('<I', data, 10)[0]
    width, height, _planes, bits, compression = struct.unpack_from('<iiHHI', data, 18)
    if bits not in (24, 32) or compression not in (0, 3):
        raise ValueError(f'{path}: {bits} bits, compression {compression} not supported')
    step = bits // 8
    stride = (width * step + 3) & ~3
    top_down = height < 0
    height = abs(height)
    rows = []
    for y in range(height):
        source = y if top_down else height - 1 - y
        start = offset + source * stride
        row = bytearray()
        for x in range(width):
            b, g, r = data[start + x * step:start + x * step + 3]
            row += bytes((r, g, b))
        rows.append(bytes(row))
    return width, height, rows


def scaled(width, height, rows, scale):
    out = []
    for row in rows:
        wide = b''.join(row[x * 3:x * 3 + 3] * scale for x in range(width))
        out.extend([wide] * scale)
    return width * scale, height * scale, out


def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))


def write_png(path, width, height, rows):
    raw = b''.join(b'\0' + row for row in rows)
    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', header))
        f.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        f.write(chunk(b'IEND', b''))


def main():
    source, target = sys.argv[1], sys.argv[2]
    scale = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    width, height, rows = read_bmp(source)
    if scale > 1:
        width, height, rows = scaled(width, height, rows, scale)
    write_png(target, width, height, rows)


if __name__ == '__main__':
    main()
