#!/usr/bin/env python3
"""Draws the program's icon: a round cartoon head in a knitted cap with a
bobble, on a transparent ground.

The .ico holds the sizes Explorer asks for: 16, 32 and 48 pixels as 32-bit
bitmaps with alpha, each also as an 8-bit palette bitmap for displays and
systems without alpha icons, and a 256-pixel PNG. Every picture is drawn from
the same shapes, sampled 4 x 4 times per pixel; the palette pictures and the
AND masks take the colour most samples of a pixel hit, without blending, so
their edges stay clean at 16 pixels.

Usage: make_icon.py [output.ico]   (default: brackwold.ico beside this script)
"""
import os
import struct
import sys
import zlib

SIZES = [16, 32, 48]
LARGE = 256
SAMPLES = 4                       # per side of a pixel

OUTLINE = (40, 24, 16)
SKIN = (255, 214, 170)
CAP = (46, 120, 210)
BAND = (250, 196, 40)
BOBBLE = (235, 60, 50)
EYE = (255, 255, 255)
PUPIL = (20, 20, 28)
MOUTH = (150, 40, 40)
COLOURS = [OUTLINE, SKIN, CAP, BAND, BOBBLE, EYE, PUPIL, MOUTH]

HEAD = (0.5, 0.555, 0.40)          # centre x, centre y, radius (y grows down)
RIM = 0.035                       # outline width
CAP_LINE = 0.43                   # the cap covers the head above this
BAND_TOP = 0.36
BOB = (0.5, 0.13, 0.085)
EYES = [(0.39, 0.545), (0.61, 0.545)]
EYE_RADII = (0.09, 0.11)
PUPIL_RADIUS = 0.04
SMILE = (0.5, 0.63, 0.15, 0.035)   # centre x, centre y, radius, thickness


def inside_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def colour_at(x, y):
    """The colour at a point of the unit square, or None where it is clear;
    shapes drawn later lie over earlier ones."""
    hx, hy, hr = HEAD
    bx, by, br = BOB
    if inside_circle(x, y, bx, by, br):
        return BOBBLE if inside_circle(x, y, bx, by, br - RIM) else OUTLINE
    if not inside_circle(x, y, hx, hy, hr + RIM):
        return None
    if not inside_circle(x, y, hx, hy, hr):
        return OUTLINE
    if y < CAP_LINE:
        if abs(y - CAP_LINE) < RIM / 2:
            return OUTLINE
        return BAND if y > BAND_TOP else CAP
    for ex, ey in EYES:
        if inside_ellipse(x, y, ex, ey, *EYE_RADII):
            if inside_circle(x, y, ex + (0.5 - ex) * 0.15, ey + 0.02, PUPIL_RADIUS):
                return PUPIL
            inner = inside_ellipse(x, y, ex, ey, EYE_RADII[0] - RIM / 2, EYE_RADII[1] - RIM / 2)
            return EYE if inner else OUTLINE
    sx, sy, sr, thick = SMILE
    d = ((x - sx) ** 2 + (y - sy) ** 2) ** 0.5
    if y > sy + 0.06 and abs(d - sr) <= thick / 2:
        return MOUTH
    return SKIN


def render(size):
    """Rows of pixels, top row first: (r, g, b, a) as the mean of each
    pixel's samples, and beside it the colour most of its samples hit
    (None for clear), for the palette pictures."""
    rows, modes = [], []
    for py in range(size):
        row, mode_row = [], []
        for px in range(size):
            hits = {}
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) / size, (py + (sy + 0.5) / SAMPLES) / size)
                    hits[c] = hits.get(c, 0) + 1
            painted = [(c, n) for c, n in hits.items() if c]
            count = sum(n for _, n in painted)
            if count:
                mean = tuple(round(sum(c[i] * n for c, n in painted) / count) for i in range(3))
                row.append(mean + (round(255 * count / SAMPLES ** 2),))
            else:
                row.append((0, 0, 0, 0))
            # Ties go to the colour listed first, so the result does not hang on dict order.
            mode_row.append(max(hits, key=lambda c: (hits[c], -COLOURS.index(c) if c else -99)))
        rows.append(row)
        modes.append(mode_row)
    return rows, modes


def and_mask(modes, size):
    """1 bit per pixel, set where the picture is clear; rows padded to 32 bits."""
    stride = (size + 31) // 32 * 4
    out = bytearray()
    for row in reversed(modes):
        bits = bytearray(stride)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def bitmap_32(rows, modes, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    return header + pixels + and_mask(modes, size)


def bitmap_8(modes, size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in COLOURS) + bytes(4 * (256 - len(COLOURS)))
    stride = (size + 3) & ~3
    pixels = bytearray()
    for row in reversed(modes):
        pixels += bytes(COLOURS.index(c) if c else 0 for c in row) + bytes(stride - size)
    return header + table + bytes(pixels) + and_mask(modes, size)


def png(rows, size):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in rows)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def ico_bytes():
    # (size, bits per pixel, image bytes); the large PNG last.
    images = []
    for size in SIZES:
        rows, modes = render(size)
        images.append((size, 32, bitmap_32(rows, modes, size)))
        images.append((size, 8, bitmap_8(modes, size)))
    images.append((LARGE, 32, png(render(LARGE)[0], LARGE)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, _, data in images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, 'brackwold.ico')
    with open(output, 'wb') as f:
        f.write(ico_bytes())


if __name__ == '__main__':
    main()
