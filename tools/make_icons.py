#!/usr/bin/env python3
"""Draws the icons of kurvana.exe and writes them to app/resources/icons/.

Every image is a 16-colour (4-bit) bitmap in the standard Windows VGA
palette with a 1-bit transparency mask.  The pictures are pixel art given
as rows of characters, one character a pixel (see PALETTE_KEYS); curves,
axes and the pencil of the large program icon are drawn on them by small
routines.  The output is deterministic:
running the script again rewrites the same bytes.

Usage: tools/make_icons.py [output directory]
"""

import os
import struct
import sys

# The standard Windows 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 dark yellow
    (0x00, 0x00, 0x80),  # 4 dark blue
    (0x80, 0x00, 0x80),  # 5 dark magenta
    (0x00, 0x80, 0x80),  # 6 dark cyan
    (0xC0, 0xC0, 0xC0),  # 7 light grey
    (0x80, 0x80, 0x80),  # 8 dark grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]

# Character of a picture row -> palette index; '.' is transparent.
PALETTE_KEYS = {
    'K': 0, 'r': 1, 'g': 2, 'o': 3, 'b': 4, 'm': 5, 'c': 6, 'L': 7,
    'D': 8, 'R': 9, 'G': 10, 'Y': 11, 'B': 12, 'M': 13, 'C': 14, 'W': 15,
}
TRANSPARENT = '.'


class Image:
    """A square picture of palette indices; None marks a transparent pixel."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    @classmethod
    def from_rows(cls, rows):
        image = cls(len(rows))
        for y, row in enumerate(rows):
            if len(row) != image.size:
                raise ValueError('row %d is %d wide, not %d'
                                 % (y, len(row), image.size))
            for x, key in enumerate(row):
                if key != TRANSPARENT:
                    image.pixels[y][x] = PALETTE_KEYS[key]
        return image

    def set(self, x, y, key):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = (None if key == TRANSPARENT
                                 else PALETTE_KEYS[key])

    def get(self, x, y):
        return self.pixels[y][x]


def draw_pencil(image, tip_x, tip_y, length, cone, lead, band, eraser,
                half_width=3):
    """Draws a green pencil at 45 degrees with its point at (tip_x, tip_y)
    and its body running up and to the right.

    For a pixel, t counts half-steps along the pencil from the point and c
    half-steps across it (negative on the upper left, positive on the lower
    right); a step to a neighbouring pixel changes both by one.  A pixel
    belongs to the pencil when 0 <= t <= length and |c| is within the width
    at t, which narrows linearly along the `cone` half-steps of the point.
    From the point: `lead` half-steps of lead, the rest of the cone in wood,
    the green body, `band` half-steps of metal and `eraser` of eraser.  The
    light comes from the upper left."""
    def width_at(t):
        if t < cone:
            return (t * half_width * 2 + cone) // (cone * 2)
        return half_width

    def inside(t, c):
        return 0 <= t <= length and abs(c) <= width_at(t)

    eraser_start = length - eraser
    band_start = eraser_start - band
    for y in range(image.size):
        for x in range(image.size):
            t = (x - tip_x) + (tip_y - y)
            c = (x - tip_x) - (tip_y - y)
            if not inside(t, c):
                continue
            edge = not all(inside(t + dt, c + dc)
                           for dt, dc in ((1, 1), (1, -1), (-1, 1), (-1, -1)))
            if t < lead:
                key = 'K' if edge or c >= 0 else 'D'
            elif edge:
                key = 'K'
            elif t < cone:
                key = 'Y' if c <= 0 else 'o'            # sharpened wood
            elif t <= band_start:
                key = 'G' if c <= 0 else 'g'            # painted body
            elif t <= eraser_start:
                key = 'W' if c < 0 else 'L'             # metal band
            else:
                key = 'R' if c < 0 else 'r'             # eraser
            image.set(x, y, key)


def plot_curve(image, points, key, brush=1):
    """Draws a curve through (x, y) points given one per column, joining
    neighbours with vertical runs so that it stays connected, with a square
    brush of `brush` pixels whose top left corner follows the curve."""
    previous = None
    for x, y in points:
        top = bottom = y
        if previous is not None and previous < y:
            top = previous + 1
        elif previous is not None and previous > y:
            bottom = previous - 1
        for yy in range(top, bottom + 1):
            for dx in range(brush):
                for dy in range(brush):
                    image.set(x + dx, yy + dy, key)
        previous = y


def shifted_left(rows, dx):
    """The picture rows moved dx pixels to the left."""
    return [row[dx:] + TRANSPARENT * dx for row in rows]


# ----------------------------------------------------------------------
# The pictures.

# A sheet of paper with a folded corner and a shadow, 32 x 32.
SHEET_32 = [
    '................................',
    '....KKKKKKKKKKKKKKKKKK..........',
    '....KWWWWWWWWWWWWWWWWKK.........',
    '....KWWWWWWWWWWWWWWWWKLK........',
    '....KWWWWWWWWWWWWWWWWKWLK.......',
    '....KWWWWWWWWWWWWWWWWKWWLK......',
    '....KWWWWWWWWWWWWWWWWKWWWLK.....',
    '....KWWWWWWWWWWWWWWWWKKKKKKK....',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KWWWWWWWWWWWWWWWWWWWWWWKD...',
    '....KKKKKKKKKKKKKKKKKKKKKKKKD...',
    '.....DDDDDDDDDDDDDDDDDDDDDDDD...',
]

# The same at 16 x 16.
SHEET_16 = [
    '..KKKKKKKK......',
    '..KWWWWWWKK.....',
    '..KWWWWWWKLK....',
    '..KWWWWWWKWLK...',
    '..KWWWWWWKKKKK..',
    '..KWWWWWWWWWWKD.',
    '..KWWWWWWWWWWKD.',
    '..KWWWWWWWWWWKD.',
    '..KWWWWWWWWWWKD.',
    '..KWWWWWWWWWWKD.',
    '..KWWWWWWWWWWKD.',
    '..KWWWWWWWWWWKD.',
    '..KWWWWWWWWWWKD.',
    '..KWWWWWWWWWWKD.',
    '..KKKKKKKKKKKKD.',
    '...DDDDDDDDDDDD.',
]

# Red curves, one point per column (the top left pixel of the brush):
# a period of a sine on the document, three quarters of one ending at the
# pencil's point on the program icon.
DOCUMENT_CURVE_32 = [
    (6, 16), (7, 14), (8, 12), (9, 10), (10, 9), (11, 9), (12, 10),
    (13, 12), (14, 14), (15, 16), (16, 18), (17, 20), (18, 22), (19, 23),
    (20, 23), (21, 22), (22, 20), (23, 18), (24, 16),
]
PROGRAM_CURVE_32 = [
    (4, 15), (5, 12), (6, 10), (7, 9), (8, 8), (9, 9), (10, 10), (11, 12),
    (12, 15), (13, 18), (14, 20), (15, 21),
]
DOCUMENT_CURVE_16 = [
    (4, 8), (5, 6), (6, 5), (7, 6), (8, 8), (9, 10), (10, 11), (11, 10),
    (12, 8),
]


def draw_axes(image, origin_x, origin_y, left, right, top, bottom, ticks):
    """Light grey axes through (origin_x, origin_y) with tick marks."""
    for x in range(left, right + 1):
        image.set(x, origin_y, 'L')
    for y in range(top, bottom + 1):
        image.set(origin_x, y, 'L')
    for x, y in ticks:
        image.set(x, y, 'L')


def document_32():
    image = Image.from_rows(SHEET_32)
    draw_axes(image, 8, 17, 6, 25, 9, 27,
              [(7, 12), (9, 12), (7, 22), (9, 22), (13, 16), (13, 18),
               (18, 16), (18, 18), (23, 16), (23, 18)])
    plot_curve(image, DOCUMENT_CURVE_32, 'R', brush=2)
    return image


def document_16():
    image = Image.from_rows(SHEET_16)
    draw_axes(image, 4, 8, 4, 12, 5, 13, [])
    plot_curve(image, DOCUMENT_CURVE_16, 'R')
    return image


def program_32():
    image = Image.from_rows(shifted_left(SHEET_32, 2))
    draw_axes(image, 6, 16, 4, 23, 8, 27,
              [(5, 12), (7, 12), (5, 21), (7, 21), (11, 15), (11, 17),
               (16, 15), (16, 17), (21, 15), (21, 17)])
    plot_curve(image, PROGRAM_CURVE_32, 'R', brush=2)
    draw_pencil(image, 17, 23, 26, 12, 4, 3, 4)
    return image


# The 16 x 16 program icon is drawn whole: at this size the pencil needs
# every pixel placed by hand.
PROGRAM_16 = [
    'KKKKKKKK........',
    'KWWWWWWKK.......',
    'KWWWWWWKLK......',
    'KWWWWWWKWLK.....',
    'KWWWWWWKKKKK....',
    'KWWRRWWWWWWKDK..',
    'KWRWWRWWWWWKKRK.',
    'KWRWWWRWWWWKWrrK',
    'KRWWWWRWWWKGLLK.',
    'KWWWWWWRWKGGgK..',
    'KWWWWWWRKGGgK...',
    'KWWWWWWRKYgKD...',
    'KWWWWWWKYoKKD...',
    'KWWWWWWKKWWKD...',
    'KKKKKKKKKKKKD...',
    '.DDDDDDDDDDDD...',
]

# 110: a sheet with axes in the corner and a red curve above them.
GRAPH_16 = [
    '................',
    '.KKKKKKKKKKKKKK.',
    '.KWWWWWWWWWWWWKD',
    '.KWDWWWWWWWWWWKD',
    '.KDDDWWWWWWWWWKD',
    '.KWDWWWWWWWWWWKD',
    '.KWDWWWWWWWWWWKD',
    '.KWDWWWWWWWWWWKD',
    '.KWDWWWWWWWWWWKD',
    '.KWDWWWWWWWWWWKD',
    '.KWDWWWWWWWWWWKD',
    '.KWDWWWWWWWWWDKD',
    '.KWDDDDDDDDDDDKD',
    '.KWWWWWWWWWWWDKD',
    '.KKKKKKKKKKKKKKD',
    '..DDDDDDDDDDDDDD',
]
GRAPH_CURVE_16 = [
    (4, 8), (5, 6), (6, 5), (7, 5), (8, 6), (9, 8), (10, 9), (11, 10),
    (12, 10),
]


def graph_16():
    image = Image.from_rows(GRAPH_16)
    plot_curve(image, GRAPH_CURVE_16, 'R')
    return image


# 106 to 109, the toolbar's New, Open, Save and Function list buttons: a
# blank sheet with a sparkle, an opening folder, a diskette and f(x).
NEW_16 = [
    '.............Y..',
    '.............Y..',
    '..KKKKKKK..YYWYY',
    '..KWWWWWKK...Y..',
    '..KWWWWWKLK..Y..',
    '..KWWWWWKKKK....',
    '..KWWWWWWWWK....',
    '..KWWWWWWWWKD...',
    '..KWWWWWWWWKD...',
    '..KWWWWWWWWKD...',
    '..KWWWWWWWWKD...',
    '..KWWWWWWWWKD...',
    '..KWWWWWWWWKD...',
    '..KWWWWWWWWKD...',
    '..KKKKKKKKKKD...',
    '...DDDDDDDDDD...',
]

OPEN_16 = [
    '................',
    '................',
    '..KKKK..........',
    '.KYYYYKKKKKKKK..',
    '.KYooooooooooK..',
    '.KYooooooooooK..',
    '.KYooKKKKKKKKKKK',
    '.KYooKYYYYYYYYYK',
    '.KYoKYYYYYYYYYK.',
    '.KYoKYYYYYYYYYK.',
    '.KYKYYYYYYYYYK..',
    '.KYKYYYYYYYYYK..',
    '.KKYYYYYYYYYK...',
    '.KKKKKKKKKKKK...',
    '................',
    '................',
]

SAVE_16 = [
    '................',
    '.KKKKKKKKKKKK...',
    '.KbbWWWWWWWWbK..',
    '.KbbWWWWWWWWbbK.',
    '.KbbWLLLLLLWbbK.',
    '.KbbWWWWWWWWbbK.',
    '.KbbWLLLLLLWbbK.',
    '.KbbWWWWWWWWbbK.',
    '.KbbbbbbbbbbbbK.',
    '.KbbLLLLLLLLbbK.',
    '.KbbLLLLbbLLbbK.',
    '.KbbLLLLbbLLbbK.',
    '.KbbLLLLbbLLbbK.',
    '.KbbLLLLLLLLbbK.',
    '.KKKKKKKKKKKKKK.',
    '................',
]

FUNCTIONS_16 = [
    '................',
    '................',
    '....KK..........',
    '...K...K.....K..',
    '...K..K.......K.',
    '...K..K.......K.',
    '..KKK.K.b...b.K.',
    '...K..K..b.b..K.',
    '...K..K...b...K.',
    '...K..K..b.b..K.',
    '..K...K.b...b.K.',
    '..K...K.......K.',
    '.K.....K.....K..',
    '................',
    '................',
    '................',
]


# ----------------------------------------------------------------------
# The file formats.

def bitmap_bytes(image):
    """BITMAPINFOHEADER, palette, 4-bit colour rows and 1-bit mask rows,
    both bottom-up with rows padded to four bytes."""
    size = image.size
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x in range(size):
            index = image.get(x, y)
            if index is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                index = 0          # black under the mask
            if x % 2 == 0:
                row[x // 2] |= index << 4
            else:
                row[x // 2] |= index
        colour += row
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0)
                       for r, g, b in PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def ico_bytes(images):
    """An .ico file holding the images in the given order."""
    bodies = [bitmap_bytes(image) for image in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image, body in zip(images, bodies):
        out += struct.pack('<BBBBHHII', image.size % 256, image.size % 256,
                           16, 0, 1, 4, len(body), offset)
        offset += len(body)
    return out + b''.join(bodies)


def rows(*pictures):
    return lambda: [Image.from_rows(picture) for picture in pictures]


# Resource identifier, file name and the function making the images,
# largest first.
ICONS = [
    (102, 'program.ico', lambda: [program_32(), Image.from_rows(PROGRAM_16)]),
    (106, 'new.ico', rows(NEW_16)),
    (107, 'open.ico', rows(OPEN_16)),
    (108, 'save.ico', rows(SAVE_16)),
    (109, 'functions.ico', rows(FUNCTIONS_16)),
    (110, 'graph.ico', lambda: [graph_16()]),
    (112, 'document.ico', lambda: [document_32(), document_16()]),
]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = (sys.argv[1] if len(sys.argv) > 1
               else os.path.join(root, 'app', 'resources', 'icons'))
    os.makedirs(out_dir, exist_ok=True)
    for _, name, make in ICONS:
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(ico_bytes(make()))


if __name__ == '__main__':
    main()
