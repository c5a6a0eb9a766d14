#!/usr/bin/env python3
"""Draws the Kestrovar wordmark as the logo table data/Logo.txt: "KESTROVAR" in blocky upright capitals on an arch, as
two outlines. The outer outline (red) traces every letter with a few corners clipped; the inner outline (amber)
runs about six units inside it. Python 3 standard library only.

    python3 tools/logo/make_logo.py [OUT]       (default: data/Logo.txt beside this tool's repository root)
"""
import os
import sys

# Letter boxes in design units: y up from the baseline.
W, H, T = 66, 190, 22  # letter width, height, stroke
MID = H / 2
GAP = (684 - 9 * W) / 8  # spacing so that nine letters fill 684 units
ARCH = 162  # how far the arch the letters stand on rises from the word's ends to its middle
INSET = 6  # the inner outline's distance inside the outer one
CLIP = 6  # the outer outline's clipped corners

OUTER_COLOUR, OUTER_RGB = 0xFFBD0022, (189, 0, 34)
INNER_COLOUR, INNER_RGB = 0xFFFBC200, (251, 194, 0)
OUTER_BOX = (-346, -298, 338, 24)  # left, top, right, bottom in the table's units (y down)
INNER_BOX = (-340, -292, 332, 16)
OUTER_LINES, INNER_LINES = 122, 110

# Each letter: contours as (points, is_hole); a point ending in True is a corner the outer outline clips. Where an
# arm leaves a stem the notch between them ends in a short flat step, so the inner outline turns no needle-sharp
# corner there.
STEP = 8


def letter_k():
    return [([(0, 0), (T, 0), (T, 40), (T + STEP, 40), (W - 26, 0), (W, 0, True), (W - 22, MID - 7),
              (W - 22, MID + 7), (W, H), (W - 26, H), (T + STEP, H - 40), (T, H - 40), (T, H), (0, H, True)], False)]


def letter_e():
    return [([(0, 0), (W, 0, True), (W, T), (T, T), (T, MID - T / 2), (W - 10, MID - T / 2), (W - 10, MID + T / 2),
              (T, MID + T / 2), (T, H - T), (W, H - T), (W, H), (0, H, True)], False)]


def letter_s():
    c = 14
    return [([(0, 0), (W - c, 0), (W, c), (W, MID + T / 2), (T, MID + T / 2), (T, H - T), (W, H - T), (W, H),
              (c, H), (0, H - c), (0, MID - T / 2), (W - T, MID - T / 2), (W - T, T), (0, T)], False)]


def letter_t():
    a, b = W / 2 - T / 2, W / 2 + T / 2
    return [([(a, 0), (b, 0, True), (b, H - T), (W, H - T), (W, H), (0, H, True), (0, H - T), (a, H - T)], False)]


def letter_r(clip_foot):
    bowl = 76  # the bowl's underside
    return [([(0, 0), (T, 0), (T, 42), (T + STEP, 42), (W - 26, 0), (W, 0, clip_foot), (T + 26, bowl), (W, bowl),
              (W, H), (0, H, True)], False),
            ([(T, bowl + T), (W - T, bowl + T), (W - T, H - T), (T, H - T)], True)]


def letter_o():
    c = 16
    return [([(c, 0), (W - c, 0), (W, c), (W, H - c), (W - c, H), (c, H), (0, H - c), (0, c)], False),
            ([(T, T), (W - T, T), (W - T, H - T), (T, H - T)], True)]


def letter_v():
    slope = (W / 2 - 12) / H  # the arms' outer edges, across per unit up
    crotch = H - (W / 2 - STEP / 2 - T) / slope  # keeps the inner edges parallel to the outer ones
    return [([(0, H, True), (T, H), (W / 2 - STEP / 2, crotch), (W / 2 + STEP / 2, crotch), (W - T, H), (W, H),
              (W / 2 + 12, 0, True), (W / 2 - 12, 0)], False)]


def letter_a():
    c = 16
    return [([(0, 0), (T, 0), (T, 62), (W - T, 62), (W - T, 0), (W, 0, True), (W, H - c), (W - c, H), (c, H),
              (0, H - c)], False),
            ([(T, 84), (W - T, 84), (W - T, H - T), (T, H - T)], True)]


WORD = [letter_k(), letter_e(), letter_s(), letter_t(), letter_r(True), letter_o(), letter_v(), letter_a(),
        letter_r(False)]


def area(points):
    return sum(x1 * y2 - x2 * y1 for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1])) / 2


def lift(centre):
    """How far a letter centred at `centre` stands up on the arch: each letter is raised whole and stays upright,
    so its strokes keep square to the screen and the word reads at a glance."""
    half = 684 / 2
    return ARCH * (1 - ((centre - half) / half) ** 2)


def place():
    """Every contour in word units, arched, with its clip flags."""
    contours = []
    for index, letter in enumerate(WORD):
        left = index * (W + GAP)
        up = lift(left + W / 2)
        for points, hole in letter:
            placed = [(p[0] + left, p[1] + up) for p in points]
            clips = [len(p) > 2 and p[2] for p in points]
            contours.append((placed, clips, hole))
    return contours


def fit(contours, box):
    """Maps word units (y up) onto the table's units (y down) so that the contours fill the box exactly."""
    xs = [x for pts, _, _ in contours for x, _ in pts]
    ys = [y for pts, _, _ in contours for _, y in pts]
    left, top, right, bottom = box
    sx = (right - left) / (max(xs) - min(xs))
    sy = (bottom - top) / (max(ys) - min(ys))
    return [([(left + (x - min(xs)) * sx, bottom - (y - min(ys)) * sy) for x, y in pts], clips, hole)
            for pts, clips, hole in contours]


def inset(points, hole, distance):
    """The contour moved `distance` toward the solid side of the letter, every edge parallel to its original."""
    outer_ccw = area(points) > 0
    # Left normals point into a counter-clockwise outline; a hole's solid side is its outside.
    sign = 1 if outer_ccw != hole else -1
    n = len(points)
    normals = []
    for i in range(n):
        (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
        length = ((x2 - x1) ** 2 + (y2 - y1) ** 2) ** 0.5
        normals.append((-(y2 - y1) / length * sign, (x2 - x1) / length * sign))
    moved = []
    for i in range(n):
        (ax, ay), (bx, by) = normals[i - 1], normals[i]
        k = distance / (1 + ax * bx + ay * by)
        moved.append((points[i][0] + (ax + bx) * k, points[i][1] + (ay + by) * k))
    return moved


def clip_corners(points, clips):
    """The outer outline: each flagged corner cut off CLIP units along both of its edges."""
    out = []
    n = len(points)
    for i in range(n):
        if not clips[i]:
            out.append(points[i])
            continue
        (px, py), (cx, cy), (nx, ny) = points[i - 1], points[i], points[(i + 1) % n]
        for ox, oy in ((px, py), (nx, ny)):
            length = ((ox - cx) ** 2 + (oy - cy) ** 2) ** 0.5
            out.append((cx + (ox - cx) * CLIP / length, cy + (oy - cy) * CLIP / length))
    return out


def lines_of(contours):
    lines = []
    for pts in contours:
        rounded = [(round(x), round(y)) for x, y in pts]
        lines += [(a, b) for a, b in zip(rounded, rounded[1:] + rounded[:1])]
    return lines


def extents(lines):
    xs = [p[0] for line in lines for p in line]
    ys = [p[1] for line in lines for p in line]
    return min(xs), min(ys), max(xs), max(ys)


def refit(lines, box):
    """A last nudge so the rounded outline meets its box exactly."""
    left, top, right, bottom = extents(lines)
    l2, t2, r2, b2 = box

    def mx(x):
        return round(l2 + (x - left) * (r2 - l2) / (right - left))

    def my(y):
        return round(t2 + (y - top) * (b2 - t2) / (bottom - top))

    return [((mx(a[0]), my(a[1])), (mx(b[0]), my(b[1]))) for a, b in lines]


def build():
    contours = fit(place(), OUTER_BOX)
    outer = refit(lines_of([clip_corners(pts, clips) for pts, clips, _ in contours]), OUTER_BOX)
    inner = refit(lines_of([inset(pts, hole, INSET) for pts, _, hole in contours]), INNER_BOX)
    assert len(outer) == OUTER_LINES and len(inner) == INNER_LINES, (len(outer), len(inner))
    assert extents(outer) == OUTER_BOX and extents(inner) == INNER_BOX
    return outer, inner


def write(path, outer, inner):
    rows = []
    for lines, colour, rgb in ((outer, OUTER_COLOUR, OUTER_RGB), (inner, INNER_COLOUR, INNER_RGB)):
        for (x1, y1), (x2, y2) in lines:
            rows.append("0x%08X, %d, %d, %d, %d, %d, %d, %d" % ((colour, x1, y1, x2, y2) + rgb))
    with open(path, "w", newline="\n") as out:
        out.write("; The title logo, made by tools/logo/make_logo.py: the number of lines, then eight integers a line:\n")
        out.write("; packed colour, x1, y1, x2, y2 around the logo's centre (y down), red, green, blue. Lines 0-121\n")
        out.write("; are the outer outline, the rest the inner one.\n")
        out.write("#LogoData\n%d\n" % len(rows))
        out.write("\n".join(rows) + "\n")


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "Logo.txt")
    outer, inner = build()
    write(path, outer, inner)
    print("wrote %s: %d outer lines %s, %d inner lines %s" % (path, len(outer), extents(outer), len(inner),
                                                                extents(inner)))


if __name__ == "__main__":
    main()
