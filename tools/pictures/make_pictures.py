#!/usr/bin/env python3
# Makes Kestrovar's built-in pictures: the glow sprite, the two bullet sprites and the space backdrop, into res/.
# Standard library only (zlib for PNG); the backdrop's JPEG is written by ImageMagick's `convert`.
import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RES = os.path.join(ROOT, "res")

# The glow sprite's alpha down its centre column, texel y = 0 … 63: a faint halo, a one-texel ring of 34 and a
# 2 x 2 core. Across a neon strip this column is the tube's profile.
GLOW_SIZE = 64
GLOW_COLUMN = [1, 1, 2, 2, 3, 4, 4, 5, 6, 7, 8, 9, 11, 12, 13, 15, 16, 17, 19, 20, 21, 22, 24, 25, 26, 26, 27, 28,
               28, 29, 34, 170, 169, 34, 29, 28, 28, 27, 26, 26, 25, 24, 22, 21, 20, 19, 17, 16, 15, 13, 12, 11, 9,
               8, 7, 6, 5, 4, 4, 3, 2, 2, 1, 1]
GLOW_CENTRE = 32.0   # between texels 31 and 32
CORE_REACH = 1.0     # the 2 x 2 core
RING_REACH = 2.0     # the one-texel ring around it
HALO_FADE = 1.0      # units past the column's last texel over which the halo's last level fades to 0

BACKDROP_WIDTH = 1024
BACKDROP_HEIGHT = 768
BACKDROP_QUALITY = 84
BACKDROP_SEED = 7741
STAR_COUNT = 900
BRIGHT_STARS = 24


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, width, height, channels, pixels):
    """pixels: rows of bytes, channels 3 (RGB) or 4 (RGBA), 8 bits each."""
    colour_type = {3: 2, 4: 6}[channels]
    raw = b"".join(b"\x00" + bytes(row) for row in pixels)
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    data += png_chunk(b"IDAT", zlib.compress(raw, 9))
    data += png_chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(data)


def glow_alpha(x, y):
    dx = x + 0.5 - GLOW_CENTRE
    dy = y + 0.5 - GLOW_CENTRE
    if abs(dx) < CORE_REACH and abs(dy) < CORE_REACH:
        return GLOW_COLUMN[y]  # 170 over 169, as the column has it
    if abs(dx) < RING_REACH and abs(dy) < RING_REACH:
        return GLOW_COLUMN[int(GLOW_CENTRE) - 2]
    # Outside the ring the alpha depends on the distance only: the column's texels are the knots, straight lines
    # between them, so the centre column reproduces its own profile exactly.
    r = math.hypot(dx, dy)
    half = GLOW_SIZE // 2
    knots = [(math.hypot(0.5, k + 0.5), GLOW_COLUMN[half - 1 - k]) for k in range(half)]
    for (r0, a0), (r1, a1) in zip(knots, knots[1:]):
        if r <= r1:
            t = max(0.0, (r - r0) / (r1 - r0))
            return int(a0 + (a1 - a0) * t + 0.5)
    last_r, last_a = knots[-1]
    return int(max(0.0, last_a * (1.0 - (r - last_r) / HALO_FADE)) + 0.5)


def make_glow_dot():
    rows = []
    for y in range(GLOW_SIZE):
        row = []
        for x in range(GLOW_SIZE):
            row += [255, 255, 255, glow_alpha(x, y)]
        rows.append(row)
    column = [rows[y][4 * 32 + 3] for y in range(GLOW_SIZE)]
    assert column == GLOW_COLUMN, column
    assert rows[0][3] == 0 and rows[0][-1] == 0 and rows[-1][3] == 0 and rows[-1][-1] == 0
    assert rows[0][4 * 32 + 3] == 1
    write_png(os.path.join(RES, "glowing_dot6.png"), GLOW_SIZE, GLOW_SIZE, 4, rows)


def make_player_shots():
    # Two 3 x 3 round shots side by side: cell 0 white on grey for the grey palette, cell 1 a hot yellow core in an
    # orange rim for the coloured one.
    grey = {"core": (255, 255, 255), "edge": (168, 168, 168), "corner": (72, 72, 72)}
    warm = {"core": (255, 255, 214), "edge": (255, 176, 48), "corner": (150, 60, 16)}
    rows = []
    for y in range(3):
        row = []
        for cell in (grey, warm):
            for x in range(3):
                part = "core" if (x, y) == (1, 1) else "edge" if x == 1 or y == 1 else "corner"
                row += cell[part]
        rows.append(row)
    write_png(os.path.join(RES, "playershots.png"), 6, 3, 3, rows)


class ValueNoise:
    """Smooth random values on a grid, interpolated with smoothstep: one octave of the nebula."""

    def __init__(self, rng, cells_x, cells_y):
        self.cells_x = cells_x
        self.cells_y = cells_y
        self.grid = [[rng.random() for _ in range(cells_x + 1)] for _ in range(cells_y + 1)]

    def at(self, u, v):
        gx = u * self.cells_x
        gy = v * self.cells_y
        ix = min(int(gx), self.cells_x - 1)
        iy = min(int(gy), self.cells_y - 1)
        fx = gx - ix
        fy = gy - iy
        fx = fx * fx * (3 - 2 * fx)
        fy = fy * fy * (3 - 2 * fy)
        g = self.grid
        top = g[iy][ix] + (g[iy][ix + 1] - g[iy][ix]) * fx
        bottom = g[iy + 1][ix] + (g[iy + 1][ix + 1] - g[iy + 1][ix]) * fx
        return top + (bottom - top) * fy


def fractal(octaves, u, v):
    total = 0.0
    weight = 0.0
    amplitude = 1.0
    for octave in octaves:
        total += octave.at(u, v) * amplitude
        weight += amplitude
        amplitude *= 0.5
    return total / weight


def make_backdrop():
    rng = random.Random(BACKDROP_SEED)
    w, h = BACKDROP_WIDTH, BACKDROP_HEIGHT
    violet = [ValueNoise(rng, 4 << o, 3 << o) for o in range(5)]
    teal = [ValueNoise(rng, 4 << o, 3 << o) for o in range(5)]
    pixels = bytearray(w * h * 3)
    for y in range(h):
        v = y / h
        for x in range(w):
            u = x / w
            # A faint band of gas running from the lower left to the upper right, violet with teal wisps; kept
            # dim (a few tens at most) so the additive neon drawn over it stays the brightest thing on screen.
            band = math.exp(-((v - 0.78 + 0.55 * u) ** 2) / 0.06)
            a = max(0.0, fractal(violet, u, v) - 0.42) * 2.4 * (0.35 + band)
            b = max(0.0, fractal(teal, u, v) - 0.50) * 2.6 * (0.25 + band)
            i = (y * w + x) * 3
            pixels[i] = min(255, int(3 + 38 * a + 4 * b))
            pixels[i + 1] = min(255, int(3 + 8 * a + 26 * b))
            pixels[i + 2] = min(255, int(9 + 44 * a + 34 * b))
    tints = [(1.0, 1.0, 1.0), (0.8, 0.88, 1.0), (1.0, 0.93, 0.78), (0.85, 1.0, 1.0)]

    def add(x, y, level, tint):
        if 0 <= x < w and 0 <= y < h:
            i = (y * w + x) * 3
            for c in range(3):
                pixels[i + c] = min(255, pixels[i + c] + int(level * tint[c]))

    for s in range(STAR_COUNT):
        x = rng.randrange(w)
        y = rng.randrange(h)
        tint = tints[rng.randrange(len(tints))]
        level = 30 + 150 * rng.random() ** 3  # most stars faint
        bright = s < BRIGHT_STARS
        if bright:
            level = 170 + 60 * rng.random()
        add(x, y, level, tint)
        if bright:
            for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                add(x + ox, y + oy, level * 0.35, tint)
    with tempfile.TemporaryDirectory() as work:
        ppm = os.path.join(work, "backdrop.ppm")
        with open(ppm, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (w, h))
            out.write(pixels)
        subprocess.run(["convert", ppm, "-strip", "-interlace", "none", "-sampling-factor", "4:2:0", "-quality",
                        str(BACKDROP_QUALITY), os.path.join(RES, "backdrop3.jpg")], check=True)


def main():
    os.makedirs(RES, exist_ok=True)
    make_glow_dot()
    make_player_shots()
    if "--no-backdrop" not in sys.argv:
        make_backdrop()


if __name__ == "__main__":
    main()
