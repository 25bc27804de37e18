#!/usr/bin/env python3
"""Draws bitmap 105, the banner that sweeps along the bottom strip.

A 230 x 10 picture, 24 bits per pixel, uncompressed and bottom-up: the web
address in a hand-drawn pixel font, the name in red and the rest in white, on
black. The font is drawn here rather than rasterised from a system font so the
tiny text stays crisp and the bytes come out the same on every machine.

Usage: make_banner.py [output.bmp]   (default: banner.bmp beside this script)
"""
import os
import struct
import sys

WIDTH, HEIGHT = 230, 10
TOP_MARGIN = 1          # glyph row 0 lands on picture row 1
SPACING = 1             # blank columns between glyphs

RED = (255, 40, 40)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# (text, colour) runs that make up the banner.
RUNS = [('brackwold', RED), ('.example.org', WHITE)]

# Glyphs on a 9-row grid: rows 0-1 ascenders, 2-6 x-height (6 is the base
# line), 7-8 descenders. '#' is ink. Rows left out at the bottom are blank.
GLYPHS = {
    'a': ['   ', '   ', '.###.', '....#', '.####', '#...#', '.####'],
    'b': ['#', '#', '####.', '#...#', '#...#', '#...#', '####.'],
    'c': ['', '', '.###', '#...', '#...', '#...', '.###'],
    'd': ['....#', '....#', '.####', '#...#', '#...#', '#...#', '.####'],
    'e': ['', '', '.###.', '#...#', '#####', '#....', '.###.'],
    'g': ['', '', '.####', '#...#', '#...#', '#...#', '.####', '....#', '.###.'],
    'k': ['#', '#', '#..#', '#.#.', '##..', '#.#.', '#..#'],
    'l': ['##', '.#', '.#', '.#', '.#', '.#', '.##'],
    'm': ['', '', '##.#.', '#.#.#', '#.#.#', '#.#.#', '#.#.#'],
    'o': ['', '', '.###.', '#...#', '#...#', '#...#', '.###.'],
    'p': ['', '', '####.', '#...#', '#...#', '#...#', '####.', '#....', '#....'],
    'r': ['', '', '#.##', '##..', '#...', '#...', '#...'],
    'w': ['', '', '#...#', '#...#', '#.#.#', '#.#.#', '.#.#.'],
    'x': ['', '', '#...#', '.#.#.', '..#..', '.#.#.', '#...#'],
    '.': ['', '', '', '', '', '', '.#.'],
}


def glyph_columns(ch):
    """The glyph as a list of rows of booleans, all of the glyph's width."""
    rows = [row.rstrip() for row in GLYPHS[ch]]
    width = max(len(row) for row in rows)
    cells = [[c == '#' for c in row.ljust(width)] for row in rows]
    return cells


def layout():
    """Every glyph with its colour, and the total width of the line."""
    placed, x = [], 0
    for text, colour in RUNS:
        for ch in text:
            cells = glyph_columns(ch)
            placed.append((x, cells, colour))
            x += len(cells[0]) + SPACING
    return placed, x - SPACING


def render():
    pixels = [[BLACK] * WIDTH for _ in range(HEIGHT)]
    placed, line_width = layout()
    if line_width > WIDTH:
        sys.exit(f'banner text is {line_width} px wide, more than {WIDTH}')
    left = (WIDTH - line_width) // 2
    for x0, cells, colour in placed:
        for y, row in enumerate(cells):
            for x, ink in enumerate(row):
                if ink:
                    pixels[TOP_MARGIN + y][left + x0 + x] = colour
    return pixels


def bmp_bytes(pixels):
    """An uncompressed 24-bit BMP, rows bottom-up, each padded to 4 bytes."""
    row_size = (WIDTH * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):
        for r, g, b in row:
            image += bytes((b, g, r))
        image += bytes(row_size - WIDTH * 3)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 24, 0, len(image),
                       2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
    return header + info + bytes(image)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, 'banner.bmp')
    with open(output, 'wb') as f:
        f.write(bmp_bytes(render()))


if __name__ == '__main__':
    main()
