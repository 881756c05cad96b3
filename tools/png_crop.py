#!/usr/bin/env python3
"""Crop a panel picture to what was drawn on it.

Usage: png_crop.py IN.png OUT.png [MARGIN]

Reads an 8-bit RGB or RGBA PNG (as corvane-sim's `png` step writes them),
finds the box of non-black pixels, widens it by MARGIN pixels (default 40) and
to at least 480 x 480, and writes that part as an RGB PNG. A picture with
nothing drawn is written whole. Standard library only.
"""
import struct
import sys
import zlib


def read(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        sys.exit('%s: not a PNG' % path)
    pos, idat = 8, b''
    while pos < len(data):
        n = struct.unpack('>I', data[pos:pos + 4])[0]
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b'IHDR':
            w, h, depth, colour = struct.unpack('>IIBB', body[:10])
            if depth != 8 or colour not in (2, 6):
                sys.exit('%s: only 8-bit RGB or RGBA' % path)
        elif kind == b'IDAT':
            idat += body
    bpp = 3 if colour == 2 else 4
    raw, stride = zlib.decompress(idat), w * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(h):
        f, row = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = row[x - bpp] if x >= bpp else 0
            b, c = prev[x], (prev[x - bpp] if x >= bpp else 0)
            if f == 1:
                row[x] = (row[x] + a) & 255
            elif f == 2:
                row[x] = (row[x] + b) & 255
            elif f == 3:
                row[x] = (row[x] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[x] = (row[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        prev = row
    return w, h, bpp, rows


def write(path, w, h, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff)
    raw = b''.join(b'\0' + bytes(r) for r in rows)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    margin = int(sys.argv[3]) if len(sys.argv) == 4 else 40
    w, h, bpp, rows = read(sys.argv[1])
    x0, y0, x1, y1 = w, h, -1, -1
    for y, row in enumerate(rows):
        for x in range(w):
            if any(row[x * bpp:x * bpp + 3]):
                x0, y0, x1, y1 = min(x0, x), min(y0, y), max(x1, x), max(y1, y)
    if x1 < 0:
        x0, y0, x1, y1 = 0, 0, w - 1, h - 1
    for lo, hi, size in ((0, 2, w), (1, 3, h)):
        box = [x0, y0, x1, y1]
        a, b = box[lo] - margin, box[hi] + margin
        if b - a + 1 < 480:
            grow = 480 - (b - a + 1)
            a, b = a - grow // 2, b + grow - grow // 2
        a, b = max(0, a), min(size - 1, b)
        if lo == 0:
            x0, x1 = a, b
        else:
            y0, y1 = a, b
    out = [bytes(r[x * bpp:x * bpp + 3]) for r in rows[y0:y1 + 1] for x in range(x0, x1 + 1)]
    cw, ch = x1 - x0 + 1, y1 - y0 + 1
    write(sys.argv[2], cw, ch, [b''.join(out[i * cw:(i + 1) * cw]) for i in range(ch)])


if __name__ == '__main__':
    main()
