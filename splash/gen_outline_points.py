#!/usr/bin/env python3
"""Generates the outline point tables of the splash window and the logo region.

Each outline is a closed polygon in whole pixels, its first vertex repeated at the end, with a
fixed vertex count, bounding box and first vertices. The shapes are superellipses or rectangles
with rounded corners, walked from the fixed first vertices, and snapped so each side of the
bounding box is reached exactly.

    splash/gen_outline_points.py          # rewrites splash/outline_points_data.cpp
    splash/gen_outline_points.py OUTPUT   # writes the table to OUTPUT instead
"""
import math
import os
import sys


def rounded_rect(box, radii):
    """The perimeter of `box` with corner radii (top-left, top-right, bottom-right, bottom-left),
    walked clockwise on the screen from the top-left corner's end on the top edge; a function
    of the arc length, and the total length."""
    x0, x1, y0, y1 = box
    tl, tr, br, bl = radii
    pieces = []  # (length, function of t in 0..1)

    def line(ax, ay, bx, by):
        length = math.hypot(bx - ax, by - ay)
        pieces.append((length, lambda t: (ax + (bx - ax) * t, ay + (by - ay) * t)))

    def arc(cx, cy, r, a0):
        pieces.append((math.pi / 2 * r,
                       lambda t: (cx + r * math.cos(a0 + t * math.pi / 2),
                                  cy + r * math.sin(a0 + t * math.pi / 2))))

    line(x0 + tl, y0, x1 - tr, y0)
    arc(x1 - tr, y0 + tr, tr, -math.pi / 2)
    line(x1, y0 + tr, x1, y1 - br)
    arc(x1 - br, y1 - br, br, 0)
    line(x1 - br, y1, x0 + bl, y1)
    arc(x0 + bl, y1 - bl, bl, math.pi / 2)
    line(x0, y1 - bl, x0, y0 + tl)
    arc(x0 + tl, y0 + tl, tl, math.pi)
    total = sum(p[0] for p in pieces)

    def at(s):
        s %= total
        for length, fn in pieces:
            if s <= length:
                return fn(s / length if length else 0)
            s -= length
        return pieces[-1][1](1)

    return at, total


def outline(count, box, first, exponent=None, radii=None):
    """`count` vertices (last == first) inside `box` = (x0, x1, y0, y1), starting with `first`:
    a superellipse of `exponent`, or a rectangle with corner `radii`."""
    if radii is not None:
        return walk_rounded(count, box, first, radii)
    x0, x1, y0, y1 = box
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    a, b = (x1 - x0) / 2.0, (y1 - y0) / 2.0

    def angle_of(p):
        return math.atan2(p[1] - cy, p[0] - cx)

    # Walk in the direction the fixed vertices go.
    start, end = angle_of(first[-1]), angle_of(first[0])
    turn = angle_of(first[1]) - angle_of(first[0])
    turn = (turn + math.pi) % (2 * math.pi) - math.pi
    step_sign = 1 if turn >= 0 else -1
    span = (end - start) * step_sign % (2 * math.pi)
    if span < 1e-9:
        span = 2 * math.pi
    free = count - len(first) - 1  # vertices between the fixed ones and the closing repeat

    def curve(t):
        c, s = math.cos(t), math.sin(t)
        x = cx + a * math.copysign(abs(c) ** (2.0 / exponent), c)
        y = cy + b * math.copysign(abs(s) ** (2.0 / exponent), s)
        return [int(round(x)), int(round(y))]

    pts = [list(p) for p in first]
    middle = [curve(start + step_sign * span * (i + 1) / (free + 1)) for i in range(free)]
    # Snap the vertex nearest each side of the box onto it, so the bounds are exact.
    for axis, target in ((0, x0), (0, x1), (1, y0), (1, y1)):
        best = min(range(len(middle)), key=lambda i: abs(middle[i][axis] - target))
        middle[best][axis] = target
    for p in middle:
        p[0] = min(max(p[0], x0), x1)
        p[1] = min(max(p[1], y0), y1)
    pts += middle
    pts.append(list(first[0]))
    assert len(pts) == count, (len(pts), count)
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    assert (min(xs), max(xs), min(ys), max(ys)) == box, ((min(xs), max(xs), min(ys), max(ys)), box)
    return pts


def walk_rounded(count, box, first, radii):
    at, total = rounded_rect(box, radii)
    samples = 20000

    def nearest(p):
        return min(range(samples), key=lambda i: math.dist(at(total * i / samples), p)) * total / samples

    s_last, s_first = nearest(first[-1]), nearest(first[0])
    s_second = nearest(first[1])
    forward = ((s_second - s_first) % total) < total / 2
    span = ((s_first - s_last) if forward else (s_last - s_first)) % total
    free = count - len(first) - 1
    pts = [list(p) for p in first]
    for i in range(free):
        d = span * (i + 1) / (free + 1)
        x, y = at(s_last + d if forward else s_last - d)
        pts.append([int(round(x)), int(round(y))])
    return finish(pts, count, box, len(first))


def arc(cx, cy, r, from_deg, to_deg, steps=24):
    """Points of a circular arc, from one angle to the other (degrees, screen coordinates)."""
    return [(cx + r * math.cos(math.radians(from_deg + (to_deg - from_deg) * i / steps)),
             cy + r * math.sin(math.radians(from_deg + (to_deg - from_deg) * i / steps)))
            for i in range(steps + 1)]


def walk_path(count, box, first, waypoints):
    """`count` vertices: the fixed `first` ones, then the closed path from the last of them
    through `waypoints` back to the first, resampled evenly along its length."""
    path = [first[-1]] + list(waypoints) + [first[0]]
    lengths = [math.dist(path[i], path[i + 1]) for i in range(len(path) - 1)]
    total = sum(lengths)
    free = count - len(first) - 1
    pts = [list(p) for p in first]
    for i in range(free):
        d = total * (i + 1) / (free + 1)
        seg = 0
        while seg < len(lengths) - 1 and d > lengths[seg]:
            d -= lengths[seg]
            seg += 1
        t = d / lengths[seg] if lengths[seg] else 0
        (ax, ay), (bx, by) = path[seg], path[seg + 1]
        pts.append([int(round(ax + (bx - ax) * t)), int(round(ay + (by - ay) * t))])
    return finish(pts, count, box, len(first))


def finish(pts, count, box, fixed):
    x0, x1, y0, y1 = box
    middle = pts[fixed:]
    for axis, target in ((0, x0), (0, x1), (1, y0), (1, y1)):
        best = min(range(len(middle)), key=lambda i: abs(middle[i][axis] - target))
        middle[best][axis] = target
    for p in middle:
        p[0] = min(max(p[0], x0), x1)
        p[1] = min(max(p[1], y0), y1)
    pts = pts[:fixed] + middle + [list(pts[0])]
    assert len(pts) == count, (len(pts), count)
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    assert (min(xs), max(xs), min(ys), max(ys)) == box, ((min(xs), max(xs), min(ys), max(ys)), box)
    return pts


SPLASH = [
    outline(720, (38, 466, 0, 364), [(39, 85), (39, 84), (57, 66)], radii=(135, 120, 120, 120)),
    outline(55, (54, 109, 109, 181), [(55, 109), (57, 109), (80, 109)], radii=(2, 14, 14, 14)),
    # A "P": its stem ends at the bottom, its bowl stays above the window's button.
    walk_path(434, (164, 349, 85, 294), [(166, 294), (168, 294), (201, 294)],
              [(201, 235)] + arc(274, 160, 75, 90, -90) + [(176, 85)] + arc(176, 97, 12, -90, -180)
              + [(164, 291)]),
    outline(115, (226, 283, 122, 213), [(227, 211), (227, 208), (228, 207)], radii=(26, 26, 26, 4)),
    outline(87, (411, 478, 110, 269), [(412, 111), (412, 110), (414, 111)], radii=(3, 20, 20, 20)),
]
LOGO_FIGURE = outline(223, (3, 175, 233, 351), [(4, 284), (4, 280)], 2.2)
LOGO_CENTRE = outline(523, (283, 473, 151, 430), [(284, 293), (284, 290)], 2.6)


def table(name, pts):
    rows = []
    for i in range(0, len(pts), 8):
        rows.append("    " + " ".join("{%d, %d}," % (x, y) for x, y in pts[i:i + 8]))
    return "constexpr OutlinePoint %s[] = {\n%s\n};\n" % (name, "\n".join(rows))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    output = argv[1] if len(argv) > 1 else os.path.join(here, "outline_points_data.cpp")
    out = ["// Generated by splash/gen_outline_points.py; edit the script, not this file.",
           '#include "splash/outline_points.h"', "", "namespace splash {", "namespace {", ""]
    for i, pts in enumerate(SPLASH, 1):
        out.append(table("kSplash%d" % i, pts))
    out.append(table("kLogoFigure", LOGO_FIGURE))
    out.append(table("kLogoCentre", LOGO_CENTRE))
    out += ["}  // namespace", "",
            "std::span<const OutlinePoint> SplashOutline(int n) {",
            "  switch (n) {"]
    for i in range(1, 6):
        out.append("    case %d: return kSplash%d;" % (i, i))
    out += ["  }", "  return {};", "}", "",
            "std::span<const OutlinePoint> LogoFigure() { return kLogoFigure; }",
            "std::span<const OutlinePoint> LogoCentre() { return kLogoCentre; }", "",
            "}  // namespace splash", ""]
    with open(output, "w") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main(sys.argv)
