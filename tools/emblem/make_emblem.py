#!/usr/bin/env python3
# Draws the presenter's emblem the intro zooms in and spins: a kestrel in flight inside a ringed sun, with a
# four-pointed spark above its head that flashes. Writes data/IntroEmblem.txt (standard library only).
#
# The table: the number of segments, then eight integers a segment: packed colour (neon style), x1, y1, x2, y2
# (pixels around the emblem's centre, y down) and red, green, blue (wireframe style). The intro draws every segment
# of the colour 0xFFC8D2DC in a random colour that changes every hundred segments, so the spark is drawn in it.
import math
import os

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "data", "IntroEmblem.txt")

SEGMENTS = 115  # what the intro reads

RING = (0xFF2C6CFF, 44, 108, 255)     # the sun's outer ring
DASHES = (0xFF00B4C8, 0, 180, 200)    # the dashed ring inside it
RAYS = (0xFFFF7A1C, 255, 122, 28)     # the rays around the ring
BIRD = (0xFFFFC040, 255, 192, 64)     # the kestrel
FEATHER = (0xFFE0462A, 224, 70, 42)   # the wing bars and the tail band
SPARK = (0xFFC8D2DC, 200, 210, 220)   # flashes

RING_RADIUS = 188
RING_SEGMENTS = 27
DASH_RADIUS = 170
DASH_COUNT = 14
RAY_INNER, RAY_OUTER = 198, 216
SPARK_CENTRE = (0, -118)
SPARK_LONG, SPARK_SHORT = 22, 5


def polar(radius, degrees):
    # 0 degrees is straight up and angles grow clockwise, as the game counts them.
    a = math.radians(degrees)
    return (round(radius * math.sin(a)), round(-radius * math.cos(a)))


def polyline(points, colour, closed=False):
    pts = list(points) + ([points[0]] if closed else [])
    return [(colour, pts[i], pts[i + 1]) for i in range(len(pts) - 1)]


def mirrored(segments):
    out = []
    for colour, (x1, y1), (x2, y2) in segments:
        out.append((colour, (x1, y1), (x2, y2)))
        out.append((colour, (-x1, y1), (-x2, y2)))
    return out


def ring():
    step = 360 / RING_SEGMENTS
    return [(RING, polar(RING_RADIUS, i * step), polar(RING_RADIUS, (i + 1) * step)) for i in range(RING_SEGMENTS)]


def dashes():
    step = 360 / DASH_COUNT
    return [(DASHES, polar(DASH_RADIUS, i * step + step / 4), polar(DASH_RADIUS, i * step + 3 * step / 4))
            for i in range(DASH_COUNT)]


def rays(count):
    # The sun's rays outside the ring, evenly round it, half a step off the vertical so none meets the spark.
    step = 360 / count
    return [(RAYS, polar(RAY_INNER, step / 2 + i * step), polar(RAY_OUTER, step / 2 + i * step)) for i in range(count)]


def kestrel():
    # The right half, mirrored: head and body down the middle, a swept wing with three primaries, a fanned tail.
    body = polyline([(0, -92), (9, -84), (12, -70), (16, -44), (18, -10), (13, 24), (8, 50)], BIRD)
    beak = polyline([(0, -92), (4, -98), (3, -90)], BIRD)
    wing = polyline([(16, -44), (52, -62), (94, -70), (132, -64), (156, -48), (138, -40), (150, -28),
                     (126, -22), (136, -10), (108, -8), (114, 6), (76, 0), (18, -10)], BIRD)
    bars = [(FEATHER, (60, -50), (70, -12)), (FEATHER, (96, -56), (98, -20))]
    tail = polyline([(8, 50), (30, 92), (10, 100), (0, 96)], BIRD)
    band = [(FEATHER, (20, 74), (4, 80))]
    eye = [(FEATHER, (4, -80), (8, -76))]
    return mirrored(body + beak[:2] + wing + bars + tail + band + eye)


def spark():
    cx, cy = SPARK_CENTRE
    points = []
    for i in range(8):
        length = SPARK_LONG if i % 2 == 0 else SPARK_SHORT
        x, y = polar(length, i * 45)
        points.append((cx + x, cy + y))
    return polyline(points, SPARK, closed=True)


def emblem():
    fixed = ring() + dashes() + kestrel() + spark()
    missing = SEGMENTS - len(fixed)
    if missing < 0:
        raise SystemExit(f"the emblem has {len(fixed)} segments before the rays, more than {SEGMENTS}")
    segments = ring() + rays(missing) + dashes() + kestrel() + spark()
    if len(segments) != SEGMENTS:
        raise SystemExit(f"the emblem has {len(segments)} segments, not {SEGMENTS} (too few rays)")
    return segments


def main():
    segments = emblem()
    lines = [
        "; The presenter's emblem of the intro, made by tools/emblem/make_emblem.py: a kestrel in a ringed sun with a",
        "; flashing spark above it. The number of segments, then each segment: packed colour, x1, y1, x2, y2 (pixels",
        "; around the centre, y down), red, green, blue. Segments in 0xFFC8D2DC flash.",
        "#EmblemData",
        str(len(segments)),
    ]
    for (argb, r, g, b), (x1, y1), (x2, y2) in segments:
        lines.append(f"0x{argb:08X}, {x1}, {y1}, {x2}, {y2}, {r}, {g}, {b}")
    with open(OUT, "w", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")
    flashing = sum(1 for s in segments if s[0][0] == SPARK[0])
    print(f"{OUT}: {len(segments)} segments, {flashing} flashing")


if __name__ == "__main__":
    main()
