#!/usr/bin/env python3
"""Draws bitmap "TITLE", the picture at the top left of the configuration
dialog: the name over the figures, rendered by our own offscreen renderer,
on a black stage like the saver's.

A 231 x 172 picture, 256 colours (8 bits per pixel with a palette),
uncompressed and bottom-up. The controls of the dialog's right column and its
warning line lie over the picture's right and bottom margins, so those stay in
the dialog's face colour. Every figure the renderer draws from the front is
used, in figure order, so a rerun picks up figures added since.

Usage: make_title.py RENDER_FIGURES [output.bmp]
  RENDER_FIGURES is the built tools/render_figures program; the default
  output is title.bmp beside this script.
       make_title.py --compare A.bmp B.bmp
  exits 0 when the two pictures are the same up to the last bits of the
  software renderer, whose rounding may differ between processors.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

WIDTH, HEIGHT = 231, 172
STAGE = (0, 0, 188, 156)          # left, top, right, bottom of the black panel
FACE = (240, 240, 240)            # the dialog's face colour around the panel
BLACK = (0, 0, 0)
NAME_COLOURS = [(255, 60, 40), (255, 200, 40)]  # letters alternate
FIGURES = ['wobblo', 'muffix', 'tavik', 'bexlo', 'nibbo']
RENDER_SIDE = 160
SCALE = 3                          # pixels per glyph cell of the name
OVERLAP = 0.2                      # share of a figure's width its neighbour may cover

# Capitals and lower case on a 7-row grid (row 6 is the base line; rows
# 7-8 descend). '#' is ink.
GLYPHS = {
    'B': ['####.', '#...#', '#...#', '####.', '#...#', '#...#', '####.'],
    'r': ['', '', '#.##', '##..', '#...', '#...', '#...'],
    'a': ['', '', '.###.', '....#', '.####', '#...#', '.####'],
    'c': ['', '', '.###', '#...', '#...', '#...', '.###'],
    'k': ['#...', '#...', '#..#', '#.#.', '##..', '#.#.', '#..#'],
    'w': ['', '', '#...#', '#...#', '#.#.#', '#.#.#', '.#.#.'],
    'o': ['', '', '.###.', '#...#', '#...#', '#...#', '.###.'],
    'l': ['##', '.#', '.#', '.#', '.#', '.#', '.##'],
    'd': ['....#', '....#', '.####', '#...#', '#...#', '#...#', '.####'],
    '!': ['#', '#', '#', '#', '#', '', '#'],
}
NAME = 'Brackwold!'


def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB PNG without
    interlace, as the renderer writes them (any row filter is undone)."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        sys.exit(f'{path}: not a PNG file')
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack_from('>I4s', data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 2 or interlace:
        sys.exit(f'{path}: only 8-bit RGB without interlace is read')
    raw, stride = zlib.decompress(idat), width * 3
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride if kind else 0):  # a row without a filter is as stored
            left = line[x - 3] if x >= 3 else 0
            up, corner = previous[x], previous[x - 3] if x >= 3 else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[i:i + 3]) for i in range(0, stride, 3)])
        previous = line
    return width, height, rows


def ink_box(rows):
    """The smallest box holding every pixel that is not black."""
    xs = [x for row in rows for x, p in enumerate(row) if p != BLACK]
    ys = [y for y, row in enumerate(rows) if any(p != BLACK for p in row)]
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None


def shrink(rows, box, scale):
    """The box's pixels scaled down by averaging every source pixel that
    falls into a target pixel."""
    left, top, right, bottom = box
    width = max(1, round((right - left) * scale))
    height = max(1, round((bottom - top) * scale))
    out = []
    for ty in range(height):
        y0, y1 = top + int(ty / scale), top + max(int(ty / scale) + 1, int((ty + 1) / scale))
        line = []
        for tx in range(width):
            x0, x1 = left + int(tx / scale), left + max(int(tx / scale) + 1, int((tx + 1) / scale))
            cells = [rows[y][x] for y in range(y0, min(y1, bottom)) for x in range(x0, min(x1, right))]
            line.append(tuple(sum(c[i] for c in cells) // len(cells) for i in range(3)))
        out.append(line)
    return out


def render_fronts(program):
    with tempfile.TemporaryDirectory() as folder:
        # The renderer fills a docs folder: poses in figures/, scenes in scenes/.
        for sub in ('figures', 'scenes'):
            os.mkdir(os.path.join(folder, sub))
        subprocess.run([program, folder, str(RENDER_SIDE)], check=True, stdout=subprocess.DEVNULL)
        fronts = []
        for name in FIGURES:
            path = os.path.join(folder, 'figures', f'{name}-front.png')
            if os.path.exists(path):
                fronts.append(read_png(path)[2])
    if not fronts:
        sys.exit('the renderer drew no figure from the front')
    return fronts


def draw_name(pixels):
    widths = [max(len(row) for row in GLYPHS[ch]) for ch in NAME]
    total = (sum(widths) + len(NAME) - 1) * SCALE
    x = STAGE[0] + (STAGE[2] - STAGE[0] - total) // 2
    top = STAGE[1] + 6
    for index, ch in enumerate(NAME):
        colour = NAME_COLOURS[index % len(NAME_COLOURS)]
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, c in enumerate(row):
                if c != '#':
                    continue
                for dy in range(SCALE):
                    for dx in range(SCALE):
                        pixels[top + gy * SCALE + dy][x + gx * SCALE + dx] = colour
        x += (widths[index] + 1) * SCALE
    return top + 7 * SCALE


def draw_figures(pixels, fronts, top):
    """The figures side by side, all shrunk by one factor so their sizes
    compare, the row centred in the panel below the name; neighbours may
    overlap a little."""
    boxes = [ink_box(rows) for rows in fronts]
    pairs = [(rows, box) for rows, box in zip(fronts, boxes) if box]
    room_w, room_h = STAGE[2] - STAGE[0] - 8, STAGE[3] - top - 6
    heights = max(box[3] - box[1] for _, box in pairs)
    widths = sum(box[2] - box[0] for _, box in pairs)
    overlap = OVERLAP if len(pairs) > 1 else 0
    scale = min(room_h / heights, room_w / (widths * (1 - overlap)))
    images = [shrink(rows, box, scale) for rows, box in pairs]
    # The row stands centred in the room below the name.
    base = top + (room_h + round(heights * scale)) // 2
    step = [round(len(image[0]) * (1 - overlap)) for image in images]
    total = sum(step[:-1]) + len(images[-1][0])
    x = STAGE[0] + (STAGE[2] - STAGE[0] - total) // 2
    for image, advance in zip(images, step):
        y = base - len(image)
        for row_index, row in enumerate(image):
            for column, p in enumerate(row):
                if p != BLACK:
                    pixels[y + row_index][x + column] = p
        x += advance


def palette():
    """A fixed 6 x 7 x 6 colour cube (252 entries), then the face colour;
    fixed so that the same picture always gives the same bytes."""
    levels6 = [0, 51, 102, 153, 204, 255]
    levels7 = [0, 42, 85, 128, 170, 213, 255]
    colours = [(r, g, b) for r in levels6 for g in levels7 for b in levels6]
    colours.append(FACE)
    return colours + [BLACK] * (256 - len(colours))


def nearest_index(p, colours, cache):
    if p not in cache:
        cache[p] = min(range(len(colours)), key=lambda i: sum((a - b) ** 2 for a, b in zip(p, colours[i])))
    return cache[p]


def bmp_bytes(pixels):
    colours, cache = palette(), {}
    row_size = (WIDTH + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):
        image += bytes(nearest_index(p, colours, cache) for p in row)
        image += bytes(row_size - WIDTH)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 0, len(image), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
    return header + info + table + bytes(image)


ALLOWED_SHARE = 0.01   # pixels that may differ between two renderings


def read_bmp_pixels(path):
    """The colours of an 8-bit palette BMP as written above, row by row."""
    with open(path, 'rb') as f:
        data = f.read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bits = struct.unpack_from('<iiHH', data, 18)
    if bits != 8:
        sys.exit(f'{path}: not an 8-bit picture')
    table = [tuple(data[54 + 4 * i:57 + 4 * i]) for i in range(256)]
    row_size = (width + 3) & ~3
    return [[table[data[offset + y * row_size + x]] for x in range(width)] for y in range(height)]


def compare(first, second):
    a, b = read_bmp_pixels(first), read_bmp_pixels(second)
    if len(a) != len(b) or len(a[0]) != len(b[0]):
        print('the pictures differ in size')
        return 1
    differing = sum(1 for ra, rb in zip(a, b) for pa, pb in zip(ra, rb) if pa != pb)
    share = differing / (len(a) * len(a[0]))
    print(f'{differing} pixels differ ({share:.2%})')
    return 0 if share <= ALLOWED_SHARE else 1


def main():
    if len(sys.argv) == 4 and sys.argv[1] == '--compare':
        sys.exit(compare(sys.argv[2], sys.argv[3]))
    if len(sys.argv) < 2:
        sys.exit(__doc__.strip())
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, 'title.bmp')
    pixels = [[FACE] * WIDTH for _ in range(HEIGHT)]
    for y in range(STAGE[1], STAGE[3]):
        for x in range(STAGE[0], STAGE[2]):
            pixels[y][x] = BLACK
    below_name = draw_name(pixels)
    draw_figures(pixels, render_fronts(sys.argv[1]), below_name + 4)
    with open(output, 'wb') as f:
        f.write(bmp_bytes(pixels))


if __name__ == '__main__':
    main()
