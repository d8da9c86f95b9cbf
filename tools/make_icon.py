#!/usr/bin/env python3
"""Writes the program icon (32x32 and 16x16, 24-bit with mask): a blue rounded tile with a white play
triangle and a small film strip. Run once; the .ico is kept in the tree."""
import struct, sys

def render(size):
    px = []
    r = size // 6
    for y in range(size):
        row = []
        for x in range(size):
            # rounded tile
            cx = min(max(x, r), size - 1 - r); cy = min(max(y, r), size - 1 - r)
            inside = (x - cx) ** 2 + (y - cy) ** 2 <= r * r
            if not inside:
                row.append(None); continue
            col = (40, 90 + 100 * y // size, 200)   # R,G,B gradient
            # play triangle
            tx0, tx1 = size * 0.34, size * 0.74
            half = (x - tx0) / (tx1 - tx0) if tx1 > tx0 else 0
            if tx0 <= x <= tx1 and abs(y - size / 2) <= (1 - half) * size * 0.26:
                col = (255, 255, 255)
            # film perforations along the left edge
            if size * 0.10 <= x <= size * 0.20 and (y // max(2, size // 8)) % 2 == 0 and size * 0.12 < y < size * 0.88:
                col = (230, 230, 230)
            row.append(col)
        px.append(row)
    return px

def dib(size):
    pixels = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    xor = b''
    for row in reversed(pixels):
        line = b''.join(bytes((c[2], c[1], c[0])) if c else b'\0\0\0' for c in row)
        xor += line + b'\0' * ((4 - len(line) % 4) % 4)
    andm = b''
    for row in reversed(pixels):
        bits = 0; line = b''
        for i, c in enumerate(row):
            bits = (bits << 1) | (0 if c else 1)
            if i % 8 == 7: line += bytes((bits,)); bits = 0
        andm += line + b'\0' * ((4 - len(line) % 4) % 4)
    return header + xor + andm

images = [dib(32), dib(16)]
out = struct.pack('<HHH', 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, data in zip((32, 16), images):
    out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 24, len(data), offset)
    offset += len(data)
out += b''.join(images)
open(sys.argv[1], 'wb').write(out)
