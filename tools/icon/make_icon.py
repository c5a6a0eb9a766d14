#!/usr/bin/env python3
# Draws the desktop icon from the title logo's own table (data/Logo.txt): the wordmark's two outlines glowing on a
# dark rounded tile, 256 x 256. Writes install/kestrovar.png (standard library only), so a new wordmark needs only
# this run again.
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LOGO = os.path.join(ROOT, "data", "Logo.txt")
OUT = os.path.join(ROOT, "install", "kestrovar.png")

SIZE = 256
MARGIN = 18          # between the tile's edge and the wordmark
CORNER = 40          # the tile's corner radius
CORE = 1.1           # half-width of a line's bright core, in icon pixels
HALO = 5.0           # how far its glow reaches
TILE_TOP = (16, 12, 40)
TILE_BOTTOM = (4, 4, 14)


def read_logo():
    values = []
    started = False
    with open(LOGO, encoding="ascii") as f:
        for line in f:
            text = line.split(";", 1)[0].strip()
            if not text:
                continue
            if text.startswith("#"):
                started = text == "#LogoData"
                continue
            if started:
                values += [int(v, 0) for v in text.replace(",", " ").split()]
    count = values[0]
    lines = []
    for k in range(count):
        _, x1, y1, x2, y2, r, g, b = values[1 + 8 * k:9 + 8 * k]
        lines.append(((x1, y1), (x2, y2), (r, g, b)))
    return lines


def inside_tile(x, y):
    # A rounded square: distance from the inner square of the corners' centres.
    cx = min(max(x, CORNER), SIZE - 1 - CORNER)
    cy = min(max(y, CORNER), SIZE - 1 - CORNER)
    return math.hypot(x - cx, y - cy) <= CORNER


def draw():
    lines = read_logo()
    xs = [p[0] for a, b, _ in lines for p in (a, b)]
    ys = [p[1] for a, b, _ in lines for p in (a, b)]
    scale = (SIZE - 2 * MARGIN) / (max(xs) - min(xs))
    ox = SIZE / 2 - scale * (max(xs) + min(xs)) / 2
    oy = SIZE / 2 - scale * (max(ys) + min(ys)) / 2
    light = [[[0.0, 0.0, 0.0] for _ in range(SIZE)] for _ in range(SIZE)]
    for (x1, y1), (x2, y2), colour in lines:
        ax, ay = ox + scale * x1, oy + scale * y1
        bx, by = ox + scale * x2, oy + scale * y2
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1e-9
        reach = HALO + 1
        for py in range(max(0, int(min(ay, by) - reach)), min(SIZE, int(max(ay, by) + reach) + 1)):
            for px in range(max(0, int(min(ax, bx) - reach)), min(SIZE, int(max(ax, bx) + reach) + 1)):
                t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
                d = math.hypot(px - (ax + t * dx), py - (ay + t * dy))
                if d > HALO:
                    continue
                glow = 1.0 if d <= CORE else 0.55 * math.exp(-(d - CORE) * 1.1)
                cell = light[py][px]
                for c in range(3):
                    cell[c] = max(cell[c], glow * colour[c] / 255.0)
    rows = []
    for y in range(SIZE):
        row = bytearray([0])
        f = y / (SIZE - 1)
        tile = [TILE_TOP[c] * (1 - f) + TILE_BOTTOM[c] * f for c in range(3)]
        for x in range(SIZE):
            if not inside_tile(x, y):
                row += bytes((0, 0, 0, 0))
                continue
            cell = light[y][x]
            # The core burns toward white, as the neon style's tubes do.
            white = max(0.0, max(cell) - 0.8) * 2.5
            rgb = [min(255, int(tile[c] + 255 * cell[c] + 120 * white)) for c in range(3)]
            row += bytes((*rgb, 255))
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    write_png(OUT, draw())
    print(f"{OUT}: {SIZE} x {SIZE}")


if __name__ == "__main__":
    main()
