#!/usr/bin/env python3
"""Draws the application icon: a figure with two fading copies behind it, on a rounded tile.

Run from anywhere: python3 scripts/make_icons.py [--out DIR]
Writes DIR/hicolor/scalable/apps/zeltrix.svg and DIR/hicolor/NxN/apps/zeltrix.png for every
usual size; DIR is assets/icons/ by default. Only the standard library is used: the PNG files
come from a small rasteriser of the same shapes the SVG file names. The output is deterministic,
so the committed files can be checked against a fresh run.
"""
import argparse
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ICONS = os.path.join(HERE, "..", "assets", "icons")
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
VIEW = 256  # the drawing's own units; each PNG scales them to its size

TILE = (16, 16, 224, 224, 48)  # x, y, width, height, corner radius
TILE_COLOUR = "#2d4870"
# A figure: head circle and a body of torso and two legs, around a centre line cx.
HEAD_Y, HEAD_R = 78, 26
BODY = ((-30, 116), (30, 116), (22, 166), (34, 210), (14, 210), (0, 176), (-14, 210), (-34, 210),
        (-22, 166))
# Back to front: centre line, colour, opacity.
FIGURES = ((92, "#ffffff", 0.3), (128, "#ffffff", 0.55), (164, "#ffc94a", 1.0))


def body_points(cx):
    return [(cx + x, y) for x, y in BODY]


def circle_points(cx, cy, r, segments=96):
    return [(cx + r * math.cos(2 * math.pi * i / segments), cy + r * math.sin(2 * math.pi * i / segments))
            for i in range(segments)]


def rounded_rect_points(x, y, w, h, r, segments=24):
    corners = ((x + w - r, y + r, -90), (x + w - r, y + h - r, 0), (x + r, y + h - r, 90), (x + r, y + r, 180))
    points = []
    for cx, cy, start in corners:
        for i in range(segments + 1):
            a = math.radians(start + 90 * i / segments)
            points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def shapes():
    """Every filled shape, back to front: (outlines, colour, opacity)."""
    yield [rounded_rect_points(*TILE)], TILE_COLOUR, 1.0
    for cx, colour, opacity in FIGURES:
        yield [circle_points(cx, HEAD_Y, HEAD_R), body_points(cx)], colour, opacity


def svg():
    def number(v):
        return ("%.2f" % v).rstrip("0").rstrip(".")

    x, y, w, h, r = TILE
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' %
             (VIEW, VIEW, VIEW, VIEW),
             '  <rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="%s"/>' % (x, y, w, h, r, TILE_COLOUR)]
    for cx, colour, opacity in FIGURES:
        lines.append('  <g fill="%s"%s>' % (colour, "" if opacity == 1 else ' opacity="%s"' % number(opacity)))
        lines.append('    <circle cx="%d" cy="%d" r="%d"/>' % (cx, HEAD_Y, HEAD_R))
        points = " ".join("%s,%s" % (number(px), number(py)) for px, py in body_points(cx))
        lines.append('    <polygon points="%s"/>' % points)
        lines.append("  </g>")
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def colour_of(text):
    return tuple(int(text[i:i + 2], 16) / 255 for i in (1, 3, 5))


def fill(pixels, size, outlines, colour, opacity, rows_per_pixel=16):
    """Composites the shapes (nonzero winding) over pixels, premultiplied RGBA floats. Coverage is
    exact across each scanline and sampled at rows_per_pixel rows within each pixel row."""
    scale = size / VIEW
    edges = []
    for outline in outlines:
        points = [(px * scale, py * scale) for px, py in outline]
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if y0 != y1:
                edges.append((x0, y0, x1, y1, 1 if y1 > y0 else -1))
    top = max(0, int(min(min(e[1], e[3]) for e in edges)))
    bottom = min(size, int(max(max(e[1], e[3]) for e in edges)) + 1)
    red, green, blue = colour_of(colour)
    for row in range(top, bottom):
        coverage = [0.0] * size
        for k in range(rows_per_pixel):
            y = row + (k + 0.5) / rows_per_pixel
            crossings = []
            for x0, y0, x1, y1, direction in edges:
                if min(y0, y1) <= y < max(y0, y1):
                    crossings.append((x0 + (y - y0) * (x1 - x0) / (y1 - y0), direction))
            crossings.sort()
            winding = 0
            for i, (x, direction) in enumerate(crossings[:-1]):
                winding += direction
                if winding != 0:
                    add_span(coverage, size, x, crossings[i + 1][0], 1 / rows_per_pixel)
        for column, amount in enumerate(coverage):
            if amount > 0:
                a = min(amount, 1.0) * opacity
                i = (row * size + column) * 4
                pixels[i] = red * a + pixels[i] * (1 - a)
                pixels[i + 1] = green * a + pixels[i + 1] * (1 - a)
                pixels[i + 2] = blue * a + pixels[i + 2] * (1 - a)
                pixels[i + 3] = a + pixels[i + 3] * (1 - a)


def add_span(coverage, size, left, right, weight):
    left, right = max(left, 0.0), min(right, float(size))
    if right <= left:
        return
    first, last = int(left), int(right)
    if first == last:
        coverage[first] += (right - left) * weight
        return
    coverage[first] += (first + 1 - left) * weight
    for column in range(first + 1, last):
        coverage[column] += weight
    if last < size:
        coverage[last] += (right - last) * weight


def png(size):
    pixels = [0.0] * (size * size * 4)
    for outlines, colour, opacity in shapes():
        fill(pixels, size, outlines, colour, opacity)
    raw = bytearray()
    for row in range(size):
        raw.append(0)  # no scanline filter
        for column in range(size):
            i = (row * size + column) * 4
            alpha = pixels[i + 3]
            for channel in range(3):
                value = pixels[i + channel] / alpha if alpha > 0 else 0.0
                raw.append(max(0, min(255, round(value * 255))))
            raw.append(max(0, min(255, round(alpha * 255))))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=ICONS, help="folder to write hicolor/ into (default: assets/icons)")
    out = os.path.join(parser.parse_args().out, "hicolor")
    write(os.path.join(out, "scalable", "apps", "zeltrix.svg"), svg().encode("ascii"))
    for size in SIZES:
        write(os.path.join(out, "%dx%d" % (size, size), "apps", "zeltrix.png"), png(size))


if __name__ == "__main__":
    main()
