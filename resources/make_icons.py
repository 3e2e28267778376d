#!/usr/bin/env python3
"""Draws Korvalt's icons: a dark keycap with a play mark, green while armed, red while running,
and with a red record dot while it records.

Writes tray_armed.ico, tray_running.ico and tray_recording.ico (one 16 x 16 image, 8 bits per
pixel, with a palette of exactly 92, 89 and 64 colours and a transparency mask, so 750, 738 and
638 bytes) and app.ico (the armed art at 32 x 32 and 16 x 16 as PNG images with an alpha
channel, under a third of the size of the same images as bitmaps) next to this script. The tray
icons stay bitmaps: Korvalt reads them itself. The build embeds the committed files; run this
only to change the art.
"""

import math
import pathlib
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent
SUPERSAMPLING = 8

ACCENTS = {
    "armed": ((0x9C, 0xF0, 0x6A), (0x2E, 0xA0, 0x2A)),
    "running": ((0xFF, 0x8A, 0x78), (0xC8, 0x1E, 0x1E)),
    "recording": ((0xFF, 0x6A, 0x5A), (0xB0, 0x10, 0x10)),
}
# The mark on the keycap: the play triangle, or the record dot.
MARKS = {"armed": "play", "running": "play", "recording": "dot"}
# Palette sizes of the tray icons; 382 bytes of header, pixels and mask plus 4 per colour.
TRAY_COLOURS = {"armed": 92, "running": 89, "recording": 64}


def rounded_box(x, y, left, top, right, bottom, radius):
    """Signed distance of (x, y) to a rounded rectangle, negative inside."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    qx = abs(x - cx) - (right - left) / 2 + radius
    qy = abs(y - cy) - (bottom - top) / 2 + radius
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def in_triangle(x, y, points):
    (x1, y1), (x2, y2), (x3, y3) = points
    d1 = (x - x2) * (y1 - y2) - (x1 - x2) * (y - y2)
    d2 = (x - x3) * (y2 - y3) - (x2 - x3) * (y - y3)
    d3 = (x - x1) * (y3 - y1) - (x3 - x1) * (y - y1)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(ca + (cb - ca) * t for ca, cb in zip(a, b))


def in_dot(x, y):
    return math.hypot(x - 8.0, y - 7.2) <= 3.3


def keycap(accent, mark="play"):
    """The art in a 16-unit square: a function from a point to a colour, or None outside."""
    light, dark = accent
    play = ((5.9, 4.0), (5.9, 10.2), (11.2, 7.1))
    if mark == "dot":
        on_mark = in_dot
    else:
        on_mark = lambda x, y: in_triangle(x, y, play)

    def colour(x, y):
        if rounded_box(x, y, 0.5, 1.0, 15.5, 15.0, 3.2) > 0:
            return None
        if rounded_box(x, y, 1.5, 2.0, 14.5, 14.0, 2.4) > 0:
            return (0, 0, 0)
        if rounded_box(x, y, 2.6, 2.8, 13.4, 11.6, 1.8) > 0:
            # The keycap's walls, lit from the top left.
            return mix((0x44, 0x44, 0x47), (0x16, 0x16, 0x18), (y - 2) / 12 + (x - 8) / 40)
        if on_mark(x, y):
            return mix(light, dark, (y - 4.0) / 6.2 + (x - 6) / 20)
        if on_mark(x - 0.7, y - 0.7):
            return (0x2A, 0x2A, 0x2D)
        return mix((0x7A, 0x7A, 0x7F), (0x46, 0x46, 0x4A), (y - 3) / 9 + (x - 3) / 30)

    return colour


def render(art, size):
    """Rows of (r, g, b, coverage) pixels, top row first, supersampled."""
    scale = 16 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(SUPERSAMPLING):
                for sx in range(SUPERSAMPLING):
                    x = (px + (sx + 0.5) / SUPERSAMPLING) * scale
                    y = (py + (sy + 0.5) / SUPERSAMPLING) * scale
                    c = art(x, y)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            total[i] += c[i]
            n = max(hits, 1)
            row.append((total[0] / n, total[1] / n, total[2] / n,
                        hits / SUPERSAMPLING ** 2))
        rows.append(row)
    return rows


def distance(a, b):
    return sum((ca - cb) ** 2 for ca, cb in zip(a, b))


def quantise(colours, count, pinned):
    """Merges the two closest clusters until `count` are left; returns (centres, index map).

    The cluster holding `pinned` keeps exactly that colour.
    """
    clusters = {}
    for c in colours:
        key = tuple(round(v) for v in c)
        clusters.setdefault(key, []).append(c)
    groups = [[list(members[0]), len(members), [key]] for key, members in clusters.items()]
    if len(groups) < count:
        raise SystemExit(f"the art has only {len(groups)} colours, {count} wanted")
    while len(groups) > count:
        best = None
        for i in range(len(groups)):
            for j in range(i + 1, len(groups)):
                d = distance(groups[i][0], groups[j][0])
                if best is None or d < best[0]:
                    best = (d, i, j)
        _, i, j = best
        (ci, ni, ki), (cj, nj, kj) = groups[i], groups[j]
        merged = [(a * ni + b * nj) / (ni + nj) for a, b in zip(ci, cj)]
        groups[i] = [merged, ni + nj, ki + kj]
        del groups[j]
    for g in groups:
        if pinned in g[2]:
            g[0] = list(pinned)
    groups.sort(key=lambda g: (sum(g[0]), g[0]))
    centres = [tuple(min(255, max(0, round(v))) for v in g[0]) for g in groups]
    index = {key: n for n, g in enumerate(groups) for key in g[2]}
    return centres, lambda c: index[tuple(round(v) for v in c)]


def mask_stride(size):
    return (size + 31) // 32 * 4


def mask_rows(pixels, opaque):
    """The AND mask, bottom row first, each row padded to 32 bits."""
    stride = mask_stride(len(pixels))
    data = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if not opaque(p):
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bits
    return bytes(data)


def info_header(size, bit_count, colours):
    image_bytes = size * size * bit_count // 8 + size * mask_stride(size)
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0, image_bytes,
                       0, 0, colours, 0)


def palette_image(pixels, colour_count):
    """An 8-bit image: opaque where at least half a pixel is covered, black and masked elsewhere.

    The masked pixels must be pure black, or the screen behind them would be tinted.
    """
    opaque = lambda p: p[3] >= 0.5
    used = [p[:3] for row in pixels for p in row if opaque(p)] + [(0, 0, 0)]
    palette, index_of = quantise(used, colour_count, (0, 0, 0))
    transparent = index_of((0, 0, 0))
    body = bytearray()
    for row in reversed(pixels):
        body += bytes(index_of(p[:3]) if opaque(p) else transparent for p in row)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return (info_header(len(pixels), 8, colour_count) + table + bytes(body)
            + mask_rows(pixels, opaque), 8)


def paeth(left, up, up_left):
    """The neighbour nearest to left + up - up_left, ties going to left, then up."""
    guess = left + up - up_left
    return min((left, up, up_left), key=lambda n: abs(guess - n))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_image(pixels):
    """An 8-bit RGBA PNG image; every row is Paeth-filtered, which suits the smooth shading best."""
    size = len(pixels)
    above = bytes(4 * size)
    filtered = bytearray()
    for row in pixels:
        line = bytes(round(v) for r, g, b, a in row for v in (r, g, b, a * 255))
        filtered.append(4)
        for i, value in enumerate(line):
            left, up_left = (line[i - 4], above[i - 4]) if i >= 4 else (0, 0)
            filtered.append((value - paeth(left, above[i], up_left)) & 0xFF)
        above = line
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(bytes(filtered), 9)) + png_chunk(b"IEND", b""), 32)


def icon_file(images):
    """An ICO file of (size, (image bytes, bit count)) entries, in the given order."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, data = b"", b""
    for size, (image, bit_count) in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bit_count,
                               len(image), offset + len(data))
        data += image
    return header + entries + data


def main():
    for name, accent in ACCENTS.items():
        image = palette_image(render(keycap(accent, MARKS[name]), 16), TRAY_COLOURS[name])
        (HERE / f"tray_{name}.ico").write_bytes(icon_file([(16, image)]))
    armed = keycap(ACCENTS["armed"])
    (HERE / "app.ico").write_bytes(
        icon_file([(size, png_image(render(armed, size))) for size in (32, 16)]))


if __name__ == "__main__":
    main()
