#!/usr/bin/env python3
"""Writes an N x N grey 24-bit BMP heightfield of rolling ground that uses
every height: the sum of a sine-cosine swell and a diagonal sine, with the
three wave lengths given in pixels.

Usage: make_heightfield.py OUT.bmp N LENGTH_X LENGTH_Y LENGTH_DIAGONAL
"""
import math
import struct
import sys

path, n, along_x, along_y, diagonal = sys.argv[1], int(sys.argv[2]), *map(float, sys.argv[3:6])
rows = []
for y in range(n):
    row = bytearray()
    for x in range(n):
        v = int(127.5 + 60 * math.sin(x / along_x) * math.cos(y / along_y) + 60 * math.sin((x + y) / diagonal)) & 255
        row += bytes((v, v, v))
    rows.append(bytes(row))
data = b"".join(reversed(rows))
header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, n, n, 1, 24, 0, len(data), 2835, 2835, 0, 0)
open(path, "wb").write(header + info + data)
