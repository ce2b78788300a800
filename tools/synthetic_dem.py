#!/usr/bin/env python3
"""Writes a synthetic elevation raster as an ESRI ASCII grid, for trying the
elevation input where no real data can be had: an island of ridged fractal
relief in metres, sea below 0 m round it, a few no-data cells.

With a second file name, also writes a placement map of the same size as a
colour PNG (rows as the raster's, north at the top), zoned by elevation:
nothing in the sea, palms and ferns on the shore, birches and evergreens
above, firs high up, rocks on the peaks.

Usage: synthetic_dem.py OUT.asc [EDGE] [SEED] [PLACEMENT.png]
       (EDGE defaults to 1201, an SRTM tile's)
"""
import math
import random
import struct
import sys
import zlib


def value_noise(n, cells, rng):
    """Smooth noise on an n x n grid from a random lattice of cells x cells."""
    lattice = [[rng.random() for _ in range(cells + 2)] for _ in range(cells + 2)]
    out = []
    for y in range(n):
        fy = y * cells / n
        iy, ty = int(fy), fy - int(fy)
        sy = ty * ty * (3 - 2 * ty)
        row = []
        for x in range(n):
            fx = x * cells / n
            ix, tx = int(fx), fx - int(fx)
            sx = tx * tx * (3 - 2 * tx)
            a = lattice[iy][ix] + (lattice[iy][ix + 1] - lattice[iy][ix]) * sx
            b = lattice[iy + 1][ix] + (lattice[iy + 1][ix + 1] - lattice[iy + 1][ix]) * sx
            row.append(a + (b - a) * sy)
        out.append(row)
    return out


def write_png(path, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    n = len(rows)
    raw = b"".join(b"\0" + bytes(row) for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 2, 0, 0, 0)) +
                  chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def kind_at(metres, rng):
    """The colour of what grows at this elevation, or black for nothing."""
    if metres <= 2 or rng.random() > 0.0015:
        return (0, 0, 0)
    if metres < 40:
        return rng.choice([(0, 0, 255), (0, 255, 0)])  # palm, fern
    if metres < 350:
        return rng.choice([(0, 0, 196), (0, 128, 0), (0, 128, 0), (0, 0, 128)])  # birch, evergreen, dead tree
    if metres < 800:
        return rng.choice([(0, 64, 0), (0, 64, 0), (196, 0, 0)])  # fir, flat rock
    return rng.choice([(255, 0, 0), (128, 0, 0), (64, 0, 0)])  # boulder, rock, pebbles


def main(argv):
    path = argv[0]
    n = int(argv[1]) if len(argv) > 1 else 1201
    rng = random.Random(int(argv[2]) if len(argv) > 2 else 7)
    height = [[0.0] * n for _ in range(n)]
    amplitude = 1.0
    for octave in range(7):
        layer = value_noise(n, 4 << octave, rng)
        for y in range(n):
            for x in range(n):
                ridge = 1.0 - abs(2.0 * layer[y][x] - 1.0)  # sharp crests
                height[y][x] += amplitude * ridge * ridge
        amplitude *= 0.5
    placement = [] if len(argv) > 3 else None
    with open(path, "w") as out:
        out.write(f"ncols {n}\nnrows {n}\nxllcorner 0\nyllcorner 0\ncellsize 30\nNODATA_value -9999\n")
        for y in range(n):
            cells = []
            colours = bytearray()
            for x in range(n):
                # An island: the land falls away from the middle toward a sea
                # 80 m deep at the edges.
                r = math.hypot(x - n * 0.47, y - n * 0.53) / (n * 0.4) * (1.25 - 0.45 * height[y][x])
                shape = max(0.0, 1.0 - r * r)
                metres = 1400.0 * height[y][x] * shape - 80.0 * (1.0 - shape) - 40.0
                if 0.62 < x / n < 0.63 and 0.30 < y / n < 0.31:
                    cells.append("-9999")  # a hole in the survey
                    metres = 0.0
                else:
                    cells.append(f"{metres:.1f}")
                colours += bytes(kind_at(metres, rng))
            out.write(" ".join(cells) + "\n")
            if placement is not None:
                placement.append(colours)
    if placement is not None:
        write_png(argv[3], placement)


if __name__ == "__main__":
    main(sys.argv[1:])
