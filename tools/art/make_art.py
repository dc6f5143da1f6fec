#!/usr/bin/env python3
"""Draws Veyra's bitmaps, icon and cursor and writes them into app/win32/res/art/,
where the resource compiler reads them, and the Linux desktop icons
(veyra-gui-N.png, N x N pixels, RGBA PNG) into packaging/icons/.

    python3 tools/art/make_art.py                 write the files
    python3 tools/art/make_art.py --check         re-read the files and verify them
    python3 tools/art/make_art.py --preview DIR   also write enlarged PNG previews

Only the Python standard library is used, and the output is byte-for-byte
reproducible. The generated files are committed, so building Veyra never
needs this script; run it again only after changing the artwork here.
"""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ART_DIR = os.path.join(ROOT, 'app', 'win32', 'res', 'art')
ICON_DIR = os.path.join(ROOT, 'packaging', 'icons')

# ---------------------------------------------------------------------------
# Palettes
# ---------------------------------------------------------------------------

# The standard 16-colour VGA palette. The letters are used by the pixel-art
# maps below; '.' means "background" (transparent).
VGA = [
    ('K', (0, 0, 0)),        # black
    ('r', (128, 0, 0)),      # dark red
    ('g', (0, 128, 0)),      # dark green
    ('o', (128, 128, 0)),    # olive
    ('n', (0, 0, 128)),      # navy
    ('p', (128, 0, 128)),    # purple
    ('t', (0, 128, 128)),    # teal
    ('l', (192, 192, 192)),  # light grey
    ('d', (128, 128, 128)),  # grey
    ('R', (255, 0, 0)),      # red
    ('G', (0, 255, 0)),      # lime
    ('Y', (255, 255, 0)),    # yellow
    ('B', (0, 0, 255)),      # blue
    ('M', (255, 0, 255)),    # magenta
    ('C', (0, 255, 255)),    # cyan
    ('W', (255, 255, 255)),  # white
]
VGA_RGB = [rgb for _, rgb in VGA]
VGA_INDEX = {letter: i for i, (letter, _) in enumerate(VGA)}
TEAL = VGA_INDEX['t']        # mask colour of the result image strip


def parse_pixel_map(rows, letters, width, height):
    """Turns a list of strings into rows of palette indices (None = '.')."""
    assert len(rows) == height, 'map has %d rows, want %d' % (len(rows), height)
    out = []
    for y, row in enumerate(rows):
        assert len(row) == width, 'row %d is %d wide, want %d' % (y, len(row), width)
        out.append([None if ch == '.' else letters[ch] for ch in row])
    return out


# ---------------------------------------------------------------------------
# File writers: BMP, ICO and CUR
# ---------------------------------------------------------------------------

def row_stride(width, bpp):
    """Bytes per bitmap row, padded to a multiple of 4."""
    return (width * bpp + 31) // 32 * 4


def pack_row(values, bpp, stride):
    """Packs one row of palette indices (or 0/1 mask bits) MSB first."""
    out = bytearray(stride)
    per_byte = 8 // bpp
    for x, v in enumerate(values):
        shift = 8 - bpp * (x % per_byte + 1)
        out[x // per_byte] |= v << shift
    return bytes(out)


def pack_rows_bottom_up(rows, bpp, width):
    stride = row_stride(width, bpp)
    return b''.join(pack_row(row, bpp, stride) for row in reversed(rows))


def rgb_rows_bottom_up(rows, width):
    """Rows of (r, g, b) tuples -> 24-bit BGR pixel data, bottom-up."""
    pad = bytes(row_stride(width, 24) - width * 3)
    out = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            out += bytes((b, g, r))
        out += pad
    return bytes(out)


def info_header(width, height, bpp, image_size, colours_used):
    """A 40-byte BITMAPINFOHEADER (uncompressed)."""
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0,
                       image_size, 2835, 2835, colours_used, 0)


def palette_bytes(palette):
    return b''.join(bytes((b, g, r, 0)) for r, g, b in palette)


def bmp_file(width, height, bpp, palette, pixel_data):
    header_size = 14 + 40 + 4 * len(palette)
    file_header = struct.pack('<2sIHHI', b'BM', header_size + len(pixel_data),
                              0, 0, header_size)
    return (file_header
            + info_header(width, height, bpp, len(pixel_data), len(palette))
            + palette_bytes(palette) + pixel_data)


def bmp_4bit(index_rows):
    height, width = len(index_rows), len(index_rows[0])
    data = pack_rows_bottom_up(index_rows, 4, width)
    return bmp_file(width, height, 4, VGA_RGB, data)


def bmp_24bit(rgb_rows):
    height, width = len(rgb_rows), len(rgb_rows[0])
    return bmp_file(width, height, 24, [], rgb_rows_bottom_up(rgb_rows, width))


def icon_image(index_rows, bpp, palette):
    """One icon/cursor image: header (height doubled), palette, XOR, AND.

    index_rows holds palette indices, None for transparent pixels; those get
    AND bit 1 and colour index 0 so they show the screen unchanged.
    """
    height, width = len(index_rows), len(index_rows[0])
    assert len(palette) == 1 << bpp
    xor_rows = [[0 if v is None else v for v in row] for row in index_rows]
    and_rows = [[1 if v is None else 0 for v in row] for row in index_rows]
    bits = (pack_rows_bottom_up(xor_rows, bpp, width)
            + pack_rows_bottom_up(and_rows, 1, width))
    return info_header(width, height * 2, bpp, len(bits), 0) + palette_bytes(palette) + bits


def icon_file(resource_type, images):
    """An .ico (type 1) or .cur (type 2) file.

    images: list of (width, height, colour_count, field1, field2, data). For
    icons field1/field2 are planes/bit count; for cursors the hot spot x/y.
    """
    offset = 6 + 16 * len(images)
    out = struct.pack('<HHH', 0, resource_type, len(images))
    for width, height, colours, f1, f2, data in images:
        out += struct.pack('<BBBBHHII', width % 256, height % 256, colours, 0,
                           f1, f2, len(data), offset)
        offset += len(data)
    return out + b''.join(image[5] for image in images)


# ---------------------------------------------------------------------------
# result_images.bmp: 16 x 15 images for the results list
# ---------------------------------------------------------------------------
# Hand-placed pixels, VGA letters as in the VGA table; '.' is the teal mask.

STRIP_IMAGE_W, STRIP_IMAGE_H, STRIP_COUNT = 16, 15, 8

ADAPTER_CARD = [     # a network adapter: bracket, RJ45 port, chip, gold fingers
    '................',
    'WWWl............',
    'WdKKKKKKKKKKKKKK',
    'WdllllgglglglggK',
    'WdlKKdggKKKKKggK',
    'WdlKKdGGKKKKKggK',
    'WdlKKdggKKKKKggK',
    'WdddddgglglglggK',
    'WdgGgYgggggggggK',
    'WdgggggggggggggK',
    'WdKKKKggggggggKK',
    'Wd...KYoYoYoYoK.',
    'Wd...KYoYoYoYoK.',
    'Wd...KKKKKKKKKK.',
    'ld..............',
]

TRIANGLE_DOWN = [    # red, dark red outline
    '................',
    '................',
    '................',
    '................',
    '................',
    '..rrrrrrrrrrr...',
    '...rRRRRRRRr....',
    '....rRRRRRr.....',
    '.....rRRRr......',
    '......rRr.......',
    '.......r........',
    '................',
    '................',
    '................',
    '................',
]

TRIANGLE_RIGHT = [   # blue, navy outline
    '................',
    '................',
    '.....n..........',
    '.....nn.........',
    '.....nBn........',
    '.....nBBn.......',
    '.....nBBBn......',
    '.....nBBBBn.....',
    '.....nBBBn......',
    '.....nBBn.......',
    '.....nBn........',
    '.....nn.........',
    '.....n..........',
    '................',
    '................',
]


def make_result_strip():
    """The 128 x 15 strip as rows of VGA indices; unused slots stay teal."""
    images = [ADAPTER_CARD, TRIANGLE_DOWN, TRIANGLE_RIGHT]
    rows = [[TEAL] * (STRIP_IMAGE_W * STRIP_COUNT) for _ in range(STRIP_IMAGE_H)]
    for n, pixel_map in enumerate(images):
        cells = parse_pixel_map(pixel_map, VGA_INDEX, STRIP_IMAGE_W, STRIP_IMAGE_H)
        for y, row in enumerate(cells):
            for x, v in enumerate(row):
                assert v != TEAL, 'teal is reserved for the mask'
                rows[y][n * STRIP_IMAGE_W + x] = TEAL if v is None else v
    return rows


# ---------------------------------------------------------------------------
# hand.cur: the "link" cursor, a hand pointing up
# ---------------------------------------------------------------------------
# K = black, W = white, '.' = transparent. The index finger's tip is the hot
# spot, at (5, 0).

HAND_HOTSPOT = (5, 0)
HAND = [
    '.....KK.........................',
    '....KWWK........................',
    '....KWWK........................',
    '....KWWK........................',
    '....KWWK........................',
    '....KWWKKK......................',
    '....KWWKWWKKK...................',
    '....KWWKWWKWWKKK................',
    '....KWWKWWKWWKWWK...............',
    '....KWWKWWKWWKWWK...............',
    '.KK.KWWWWWWWWWWWK...............',
    'KWWKKWWWWWWWWWWWK...............',
    'KWWWKWWWWWWWWWWWK...............',
    '.KWWWWWWWWWWWWWWK...............',
    '.KWWWWWWWWWWWWWWK...............',
    '..KWWWWWWWWWWWWWK...............',
    '..KWWWWWWWWWWWWK................',
    '...KWWWWWWWWWWWK................',
    '...KWWWWWWWWWWK.................',
    '....KWWWWWWWWWK.................',
    '....KWWWWWWWWWK.................',
    '....KKKKKKKKKKK.................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
    '................................',
]


def make_hand_cursor():
    rows = parse_pixel_map(HAND, {'K': 0, 'W': 1}, 32, 32)
    image = icon_image(rows, 1, [(0, 0, 0), (255, 255, 255)])
    return icon_file(2, [(32, 32, 2, HAND_HOTSPOT[0], HAND_HOTSPOT[1], image)])


# ---------------------------------------------------------------------------
# veyra.ico: the application icon
# ---------------------------------------------------------------------------
# A blue "V" standing on a network node that sits on a cable, with a spark
# for the freshly handed-out lease. Two hand-drawn sizes: 32 x 32 in the VGA
# colours and 16 x 16 with a palette of its own.

ICON_32 = [
    '...............oo...............',
    '...............YY...............',
    '..nnnnnnnn....oYYo....nnnnnnnn..',
    '..nCCCCCCn....oWWo....nCCCCCCn..',
    '...nCBBBBBn..oYWWYo..nCBBBBBn...',
    '...nCBBBBBooYYWWWWYYooBBBBBBn...',
    '....nCBBBBooYYWWWWYYooBBBBBn....',
    '.....nCBBBBBnoYWWYonCBBBBBn.....',
    '.....nCBBBBBn.oWWo.nCBBBBBn.....',
    '......nCBBBBBnoYYonCBBBBBn......',
    '......nCBBBBBBnYYnCBBBBBBn......',
    '.......nCBBBBBnoonCBBBBBn.......',
    '........nCBBBBBnnCBBBBBn........',
    '........nCBBBBBBBBBBBBBn........',
    '.........nCBBBBBBBBBBBn.........',
    '.........nCBBBBBBBBBBBn.........',
    '..........nCBBBBBBBBBn..........',
    '..........nCBBBBBBBBBn..........',
    '...........nCBKKKKBBn...........',
    '............KKGGGgKK............',
    '...........KGGGGGGggK...........',
    '..........KGGWWGGGgggK..........',
    '..........KGGWWGGGGggK..........',
    '..........KGGWWGGGgggK..........',
    'KKKKKKKKKKKGGGGGGGgggKKKKKKKKKKK',
    'KlllllllllKGGGGGGggggKlllllllllK',
    'KdddddddddKgGGGGgggggKdddddddddK',
    'KKKKKKKKKKKggggggggggKKKKKKKKKKK',
    '...........KggggggggK...........',
    '............KKggggKK............',
    '..............KKKK..............',
    '................................',
]

ICON_16_COLOURS = [       # (letter, rgb); palette index 0 stays black
    ('k', (14, 30, 84)),     # outline of the V
    ('B', (36, 98, 226)),    # V
    ('b', (22, 66, 170)),    # V, shadow side
    ('c', (128, 196, 255)),  # V, lit side
    ('O', (12, 72, 30)),     # outline of the node
    ('G', (58, 196, 84)),    # node
    ('g', (28, 138, 54)),    # node, shadow side
    ('h', (206, 255, 206)),  # node, highlight
    ('Y', (255, 210, 40)),   # spark
    ('W', (255, 255, 255)),  # spark, centre
    ('K', (40, 44, 54)),     # cable outline
    ('l', (206, 212, 222)),  # cable
]

ICON_16 = [
    'kkkkk..YY..kkkkk',
    'kcBBk.YWWY.kcBbk',
    '.kcBBkYWWYkcBbk.',
    '.kcBBk.YY.kcBbk.',
    '..kcBBk..kcBbk..',
    '..kcBBk..kcBbk..',
    '...kcBBkkcBbk...',
    '....kcBBBBbk....',
    '.....kcBBbk.....',
    '......kBbk......',
    '......OOOO......',
    'KKKKKOhGGgOKKKKK',
    'lllllOGGGgOlllll',
    'KKKKKOGGggOKKKKK',
    '.....OggggO.....',
    '......OOOO......',
]


def icon_16_palette():
    palette = [(0, 0, 0)] + [rgb for _, rgb in ICON_16_COLOURS]
    return palette + [(0, 0, 0)] * (256 - len(palette))


def make_icon():
    big = parse_pixel_map(ICON_32, VGA_INDEX, 32, 32)
    letters = {letter: i + 1 for i, (letter, _) in enumerate(ICON_16_COLOURS)}
    small = parse_pixel_map(ICON_16, letters, 16, 16)
    return icon_file(1, [
        (32, 32, 16, 1, 4, icon_image(big, 4, VGA_RGB)),
        (16, 16, 0, 1, 8, icon_image(small, 8, icon_16_palette())),
    ])


# ---------------------------------------------------------------------------
# veyra-gui-N.png: the same icon for the Linux desktop's icon theme
# ---------------------------------------------------------------------------
# The hand-drawn 16 and 32 pixel images as they are; every other size is the
# 32 x 32 image resampled, each pixel the average of 8 x 8 samples, so that
# the larger sizes keep the pixel look and the smaller ones stay legible.

DESKTOP_ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
ICON_SAMPLES = 8


def icon_rgba(rows, palette):
    """Rows of palette indices (None = transparent) as rows of (r, g, b, a)."""
    return [[(0, 0, 0, 0) if v is None else palette[v] + (255,) for v in row] for row in rows]


def resample(rgba_rows, size):
    """Averages premultiplied samples of the source into a size x size image."""
    source = len(rgba_rows)
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            total = [0, 0, 0, 0]
            for sy in range(ICON_SAMPLES):
                for sx in range(ICON_SAMPLES):
                    u = int((x + (sx + 0.5) / ICON_SAMPLES) * source / size)
                    v = int((y + (sy + 0.5) / ICON_SAMPLES) * source / size)
                    r, g, b, a = rgba_rows[v][u]
                    total = [total[0] + r * a, total[1] + g * a, total[2] + b * a, total[3] + a]
            alpha = total[3]
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(c / alpha)) for c in total[:3])
                           + (int(round(alpha / ICON_SAMPLES ** 2)),))
        out.append(row)
    return out


def make_desktop_icons():
    """{size: rgba rows} for every size the icon theme gets."""
    big = icon_rgba(parse_pixel_map(ICON_32, VGA_INDEX, 32, 32), VGA_RGB)
    letters = {letter: i + 1 for i, (letter, _) in enumerate(ICON_16_COLOURS)}
    small = icon_rgba(parse_pixel_map(ICON_16, letters, 16, 16), icon_16_palette())
    return {size: small if size == 16 else big if size == 32 else resample(big, size)
            for size in DESKTOP_ICON_SIZES}


# ---------------------------------------------------------------------------
# A tiny 24-bit raster canvas with anti-aliased shapes
# ---------------------------------------------------------------------------

def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def smoothstep(t):
    t = clamp01(t)
    return t * t * (3 - 2 * t)


class Canvas:
    """RGB pixels as floats; every shape blends in with its pixel coverage."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.w, self.h = width, height
        self.px = [list(colour) for _ in range(width * height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        for i in range(3):
            p[i] += (colour[i] - p[i]) * alpha

    def shade(self, fn):
        """Sets every pixel to fn(x, y) (called with the pixel centre)."""
        for y in range(self.h):
            for x in range(self.w):
                self.px[y * self.w + x] = list(fn(x + 0.5, y + 0.5))

    def fill_rect(self, x0, y0, x1, y1, colour, alpha=1.0):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.blend(x, y, colour, alpha)

    def paint_sdf(self, box, sdf, colour, alpha=1.0):
        """Blends `colour` where the signed distance `sdf` is negative.

        Coverage is taken from the distance at the pixel centre, which gives
        a clean one-pixel anti-aliased edge.
        """
        x0, y0, x1, y1 = (int(math.floor(box[0])) - 1, int(math.floor(box[1])) - 1,
                          int(math.ceil(box[2])) + 1, int(math.ceil(box[3])) + 1)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                cover = clamp01(0.5 - sdf(x + 0.5, y + 0.5))
                if cover > 0.0:
                    self.blend(x, y, colour, cover * alpha)

    def disc(self, cx, cy, r, colour, alpha=1.0):
        self.paint_sdf((cx - r, cy - r, cx + r, cy + r),
                       lambda x, y: math.hypot(x - cx, y - cy) - r, colour, alpha)

    def ring(self, cx, cy, r, width, colour, alpha=1.0):
        half = width / 2.0
        self.paint_sdf((cx - r - half, cy - r - half, cx + r + half, cy + r + half),
                       lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half,
                       colour, alpha)

    def line(self, x0, y0, x1, y1, width, colour, alpha=1.0):
        """A line with round caps."""
        seg = Segment(x0, y0, x1, y1)
        half = width / 2.0
        self.paint_sdf((min(x0, x1) - half, min(y0, y1) - half,
                        max(x0, x1) + half, max(y0, y1) + half),
                       lambda x, y: seg.distance(x, y) - half, colour, alpha)

    def round_rect(self, x0, y0, x1, y1, radius, colour, alpha=1.0):
        cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        hw, hh = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

        def sdf(x, y):
            dx, dy = abs(x - cx) - hw, abs(y - cy) - hh
            outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
            return outside + min(max(dx, dy), 0.0) - radius
        self.paint_sdf((x0, y0, x1, y1), sdf, colour, alpha)

    def round_rect_outline(self, x0, y0, x1, y1, radius, width, colour, alpha=1.0):
        cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        hw, hh = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

        def sdf(x, y):
            dx, dy = abs(x - cx) - hw, abs(y - cy) - hh
            d = math.hypot(max(dx, 0.0), max(dy, 0.0)) + min(max(dx, dy), 0.0) - radius
            return abs(d) - width / 2.0
        self.paint_sdf((x0 - width, y0 - width, x1 + width, y1 + width), sdf, colour, alpha)

    def polygon(self, points, colour, alpha=1.0, subsamples=8):
        """Fills a polygon (even-odd rule) with supersampled anti-aliasing.

        Each pixel row is cut into `subsamples` scan lines; along a scan line
        the covered spans are accumulated exactly, so edges come out smooth in
        both directions.
        """
        ys = [p[1] for p in points]
        y_top, y_bottom = max(0, int(math.floor(min(ys)))), min(self.h, int(math.ceil(max(ys))))
        edges = list(zip(points, points[1:] + points[:1]))
        for py in range(y_top, y_bottom):
            cover = [0.0] * (self.w + 1)
            for s in range(subsamples):
                sy = py + (s + 0.5) / subsamples
                xs = sorted(ax + (sy - ay) * (bx - ax) / (by - ay)
                            for (ax, ay), (bx, by) in edges
                            if (ay <= sy < by) or (by <= sy < ay))
                for left, right in zip(xs[0::2], xs[1::2]):
                    add_span(cover, max(0.0, left), min(float(self.w), right), 1.0 / subsamples)
            for x in range(self.w):
                if cover[x] > 0.0:
                    self.blend(x, py, colour, min(1.0, cover[x]) * alpha)

    def rows(self):
        """The pixels as rows of 8-bit (r, g, b) tuples."""
        out = []
        for y in range(self.h):
            out.append([tuple(int(round(max(0.0, min(255.0, c)))) for c in p)
                        for p in self.px[y * self.w:(y + 1) * self.w]])
        return out


def add_span(cover, left, right, weight):
    """Adds the horizontal span [left, right) to per-pixel coverage."""
    if right <= left:
        return
    first, last = int(left), int(right)
    if first == last:
        cover[first] += (right - left) * weight
        return
    cover[first] += (first + 1 - left) * weight
    for x in range(first + 1, last):
        cover[x] += weight
    if last < len(cover):
        cover[last] += (right - last) * weight


class Segment:
    __slots__ = ('ax', 'ay', 'dx', 'dy', 'len2')

    def __init__(self, ax, ay, bx, by):
        self.ax, self.ay, self.dx, self.dy = ax, ay, bx - ax, by - ay
        self.len2 = self.dx * self.dx + self.dy * self.dy

    def distance(self, x, y):
        px, py = x - self.ax, y - self.ay
        t = 0.0 if self.len2 == 0 else clamp01((px * self.dx + py * self.dy) / self.len2)
        return math.hypot(px - self.dx * t, py - self.dy * t)


# ---------------------------------------------------------------------------
# A small stroke font for the banner
# ---------------------------------------------------------------------------
#
# Glyphs are centre lines drawn with a round pen, in font units: baseline at
# y = 0, x-height 7, capitals 10, ascenders 10.5, descenders down to -3.5,
# y pointing up. Each glyph is (advance width, [polylines]); a polyline with
# a single point is a dot.

def arc(cx, cy, rx, ry, start, end):
    """Points along an elliptical arc, angles in degrees (counter-clockwise)."""
    steps = max(2, int(abs(end - start) / 7.5) + 1)
    return [(cx + rx * math.cos(math.radians(start + (end - start) * i / (steps - 1))),
             cy + ry * math.sin(math.radians(start + (end - start) * i / (steps - 1))))
            for i in range(steps)]


def bowl(cx=3.5, cy=3.5, r=3.5):
    return arc(cx, cy, r, r, 0, 360)


GLYPHS = {
    ' ': (2.6, []),
    '.': (0.0, [[(0, 0.1)]]),
    ',': (0.4, [[(0.4, 0.2), (-0.5, -2.0)]]),
    '-': (3.6, [[(0, 3.6), (3.6, 3.6)]]),
    'C': (7.9, [arc(4.6, 5, 4.6, 5, 48, 312)]),
    'D': (7.6, [[(2.6, 0), (0, 0), (0, 10), (2.6, 10)] + arc(2.6, 5, 5, 5, 90, -90)]),
    'F': (5.8, [[(5.8, 10), (0, 10), (0, 0)], [(0, 5.3), (4.8, 5.3)]]),
    'H': (7.0, [[(0, 0), (0, 10)], [(7, 0), (7, 10)], [(0, 5.2), (7, 5.2)]]),
    'L': (5.6, [[(0, 10), (0, 0), (5.6, 0)]]),
    'N': (7.0, [[(0, 0), (0, 10), (7, 0), (7, 10)]]),
    'P': (6.4, [[(0, 0), (0, 10), (3.6, 10)] + arc(3.6, 7.3, 2.8, 2.7, 90, -90)
                + [(0, 4.6)]]),
    'S': (6.6, [arc(3.3, 7.5, 3.2, 2.5, 28, 250) + arc(3.3, 2.55, 3.4, 2.55, 70, -152)]),
    'V': (7.8, [[(0, 10), (3.9, 0), (7.8, 10)]]),
    'a': (7.0, [bowl(), [(7, 7), (7, 0)]]),
    'b': (7.0, [bowl(), [(0, 10.5), (0, 0)]]),
    'c': (6.2, [arc(3.5, 3.5, 3.5, 3.5, 42, 318)]),
    'd': (7.0, [bowl(), [(7, 10.5), (7, 0)]]),
    'e': (7.0, [[(0, 3.5), (7, 3.5)] + arc(3.5, 3.5, 3.5, 3.5, 0, 318)]),
    'f': (4.6, [[(1.5, 0), (1.5, 8.2)] + arc(3.6, 8.2, 2.1, 2.1, 180, 55),
                [(0, 7), (4.2, 7)]]),
    'g': (7.0, [bowl(), [(7, 7)] + arc(3.5, 0, 3.5, 3.3, 0, -155)]),
    'h': (6.2, [[(0, 10.5), (0, 0)], arc(3.1, 3.9, 3.1, 3.1, 180, 0) + [(6.2, 0)]]),
    'i': (0.0, [[(0, 0), (0, 7)], [(0, 9.7)]]),
    'k': (5.8, [[(0, 0), (0, 10.5)], [(5.6, 7), (0, 2.2)], [(2.0, 3.9), (5.8, 0)]]),
    'l': (0.0, [[(0, 0), (0, 10.5)]]),
    'm': (9.4, [[(0, 0), (0, 7)], arc(2.35, 4.6, 2.35, 2.4, 180, 0) + [(4.7, 0)],
                arc(7.05, 4.6, 2.35, 2.4, 180, 0) + [(9.4, 0)]]),
    'n': (6.2, [[(0, 0), (0, 7)], arc(3.1, 3.9, 3.1, 3.1, 180, 0) + [(6.2, 0)]]),
    'o': (7.0, [bowl()]),
    'p': (7.0, [bowl(), [(0, 7), (0, -3.5)]]),
    'r': (4.4, [[(0, 0), (0, 7)], arc(3.3, 3.9, 3.3, 3.1, 180, 72)]),
    's': (5.4, [arc(2.7, 5.25, 2.6, 1.75, 30, 250) + arc(2.7, 1.8, 2.8, 1.8, 70, -150)]),
    't': (4.4, [[(1.5, 9.4), (1.5, 2.0)] + arc(3.5, 2.0, 2.0, 2.0, 180, 290),
                [(0, 7), (4.2, 7)]]),
    'u': (6.2, [[(0, 7), (0, 3.1)] + arc(3.1, 3.1, 3.1, 3.1, 180, 360),
                [(6.2, 7), (6.2, 0)]]),
    'v': (6.6, [[(0, 7), (3.3, 0), (6.6, 7)]]),
    'w': (9.6, [[(0, 7), (2.4, 0), (4.8, 7), (7.2, 0), (9.6, 7)]]),
    'x': (6.0, [[(0, 7), (6, 0)], [(0, 0), (6, 7)]]),
    'y': (6.6, [[(0, 7), (3.45, 0)], [(6.6, 7), (1.9, -3.5)]]),
}

# Pairs that look too loose with plain advance widths.
KERNING = {
    ('V', 'e'): -1.4, ('V', 'a'): -1.4, ('V', 'i'): -0.6,
    ('r', 'a'): -0.5, ('r', 'e'): -0.5, ('r', 'o'): -0.5,
    ('y', 'o'): -0.3, ('y', 'a'): -0.3, ('y', 'r'): -0.2,
}


class Font:
    """The stroke font at one size: cap height in pixels and pen width."""

    def __init__(self, cap_height, pen, tracking=1.4):
        self.scale = cap_height / 10.0
        self.pen = pen                       # in pixels
        self.gap = pen / self.scale + tracking  # space between glyphs, units

    def layout(self, text):
        """Yields (char, x offset in font units) for each character."""
        x = 0.0
        for i, ch in enumerate(text):
            yield ch, x
            x += GLYPHS[ch][0] + self.gap + KERNING.get((ch, text[i + 1:i + 2]), 0.0)

    def width(self, text):
        """Width of `text` in pixels, measured over the inked strokes."""
        last_ch, last_x = list(self.layout(text))[-1]
        return (last_x + GLYPHS[last_ch][0]) * self.scale + self.pen

    def draw(self, canvas, x, baseline, text, colour, alpha=1.0):
        """Draws `text` with its left ink edge at x. Returns the right edge."""
        left = x + self.pen / 2.0
        for ch, offset in self.layout(text):
            self._glyph(canvas, left + offset * self.scale, baseline, ch, colour, alpha)
        return x + self.width(text)

    def _glyph(self, canvas, ox, baseline, ch, colour, alpha):
        strokes = GLYPHS[ch][1]
        if not strokes:
            return
        s = self.scale
        pts = [[(ox + px * s, baseline - py * s) for px, py in line] for line in strokes]
        segments = []
        for line in pts:
            if len(line) == 1:
                segments.append(Segment(line[0][0], line[0][1], line[0][0], line[0][1]))
            segments += [Segment(a[0], a[1], b[0], b[1]) for a, b in zip(line, line[1:])]
        half = self.pen / 2.0
        flat = [p for line in pts for p in line]
        box = (min(p[0] for p in flat) - half, min(p[1] for p in flat) - half,
               max(p[0] for p in flat) + half, max(p[1] for p in flat) + half)
        dot_bonus = 0.12 * self.pen   # dots look small next to strokes

        def sdf(px, py):
            best = min(seg.distance(px, py) - (dot_bonus if seg.len2 == 0 else 0.0)
                       for seg in segments)
            return best - half
        canvas.paint_sdf(box, sdf, colour, alpha)


# ---------------------------------------------------------------------------
# banner.bmp: advertisement for the Veyra Labs web site
# ---------------------------------------------------------------------------

BANNER_W, BANNER_H = 609, 106

NAVY = (8, 22, 58)
DEEP_BLUE = (10, 52, 104)
TEAL_DARK = (0, 104, 116)
WHITE = (255, 255, 255)
CYAN = (110, 226, 236)
ICE = (208, 228, 242)
AMBER = (255, 196, 72)


def banner_background(x, y):
    """Deep navy on the left, teal on the right, a soft light at the top."""
    t = x / BANNER_W
    if t < 0.55:
        base = mix(NAVY, DEEP_BLUE, smoothstep(t / 0.55))
    else:
        base = mix(DEEP_BLUE, TEAL_DARK, smoothstep((t - 0.55) / 0.45))
    v = y / BANNER_H
    base = mix(base, (0, 0, 0), 0.22 * v * v)              # darker towards the bottom
    glow = math.exp(-(((x - 470) / 230.0) ** 2 + ((y + 30) / 80.0) ** 2))
    return mix(base, (90, 190, 210), 0.22 * glow)


def lcg(seed):
    """A tiny deterministic random generator (values in [0, 1))."""
    state = seed
    while True:
        state = (state * 1103515245 + 12345) & 0x7fffffff
        yield state / 0x80000000


def draw_mesh(canvas):
    """A faint network of nodes and links behind the right half.

    It stays out of the tagline's band so the small text keeps its contrast.
    """
    rnd = lcg(2024)
    nodes = []
    for col in range(9):
        for y in (10, 34, 88):
            nodes.append((338 + col * 34 + (next(rnd) - 0.5) * 24,
                          y + (next(rnd) - 0.5) * 14))

    def fade(x):
        return smoothstep((x - 330) / 170.0)
    for i, (ax, ay) in enumerate(nodes):
        for bx, by in nodes[i + 1:]:
            crosses_text = min(ay, by) < 72 and max(ay, by) > 50
            if math.hypot(bx - ax, by - ay) < 52 and not crosses_text:
                canvas.line(ax, ay, bx, by, 1.0, CYAN, 0.18 * fade(min(ax, bx)))
    for x, y in nodes:
        canvas.disc(x, y, 2.2, CYAN, 0.4 * fade(x))


def draw_logo(canvas, cx, cy):
    """The Veyra Labs mark: a 'V' traced by network links between nodes."""
    size = 74
    x0, y0, x1, y1 = cx - size / 2.0, cy - size / 2.0, cx + size / 2.0, cy + size / 2.0
    tile = (16, 112, 146)
    canvas.round_rect(x0 + 1, y0 + 2.5, x1 + 1, y1 + 2.5, 17, (0, 0, 0), 0.3)   # shadow
    canvas.round_rect(x0, y0, x1, y1, 17, tile)
    for i in range(12):                                      # soft light from the top
        canvas.round_rect(x0 + 1, y0 + 1, x1 - 1, y0 + 6 + i * 3.5, 16, WHITE, 0.014)
    canvas.round_rect_outline(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, 16.5, 1.0, WHITE, 0.4)

    left, right, tip = (cx - 19, cy - 17), (cx + 19, cy - 17), (cx, cy + 19)
    side_l, side_r = (cx - 25, cy + 9), (cx + 25, cy + 9)
    mid_l = (cx - 9.5, cy + 1)
    mid_r = (cx + 9.5, cy + 1)
    for a, b in ((left, side_l), (right, side_r), (side_l, tip), (side_r, tip)):
        canvas.line(a[0], a[1], b[0], b[1], 1.6, CYAN, 0.75)
    canvas.line(mid_l[0], mid_l[1], mid_r[0], mid_r[1], 2.0, CYAN, 0.9)
    for a in (left, right):
        canvas.line(a[0], a[1], tip[0], tip[1], 6.0, WHITE)
    for x, y in (side_l, side_r):
        canvas.disc(x, y, 3.2, CYAN)
    for x, y in (left, right):
        canvas.disc(x, y, 6.2, WHITE)
        canvas.disc(x, y, 3.0, tile)
    sparkle(canvas, cx, cy - 20, 8.5, (255, 226, 140))
    canvas.disc(tip[0], tip[1], 8.0, tile)
    canvas.disc(tip[0], tip[1], 6.8, AMBER)
    canvas.disc(tip[0] - 1.6, tip[1] - 1.8, 2.2, (255, 236, 170))


def sparkle(canvas, cx, cy, radius, colour):
    """A four-pointed star with slightly curved sides."""
    points = []
    for i in range(16):
        angle = math.radians(90 * i / 4.0)
        r = radius if i % 4 == 0 else radius * (0.3 if i % 4 == 2 else 0.4)
        points.append((cx + r * math.cos(angle), cy - r * math.sin(angle)))
    canvas.polygon(points, colour)
    canvas.disc(cx, cy, radius * 0.22, WHITE)


def draw_button(canvas, x, y, text):
    """A rounded 'call to action' button with a chevron; (x, y) = top left."""
    font = Font(cap_height=11, pen=1.9, tracking=1.3)
    w, h = font.width(text) + 44, 24
    canvas.round_rect(x + 1, y + 2, x + w + 1, y + h + 2, h / 2.0, (0, 0, 0), 0.25)
    canvas.round_rect(x, y, x + w, y + h, h / 2.0, AMBER)
    canvas.round_rect(x + 1, y + 1, x + w - 1, y + h / 2.0, h / 2.0 - 1, WHITE, 0.18)
    font.draw(canvas, x + 15, y + h / 2.0 + 5.5, text, NAVY)
    ax = x + w - 20
    cy = y + h / 2.0
    canvas.line(ax, cy - 4.5, ax + 4.5, cy, 2.2, NAVY)
    canvas.line(ax + 4.5, cy, ax, cy + 4.5, 2.2, NAVY)
    return w


def make_banner():
    canvas = Canvas(BANNER_W, BANNER_H)
    canvas.shade(banner_background)
    draw_mesh(canvas)
    draw_logo(canvas, 56, 53)
    canvas.fill_rect(0, BANNER_H - 2, BANNER_W, BANNER_H, CYAN, 0.35)

    text_x = 112
    heading = Font(cap_height=28, pen=4.4, tracking=1.2)
    heading.draw(canvas, text_x + 1, 42 + 1.5, 'Veyra Labs', (0, 0, 0), 0.3)
    right = heading.draw(canvas, text_x, 42, 'Veyra ', WHITE)
    heading.draw(canvas, right, 42, 'Labs', CYAN)

    tagline = Font(cap_height=11, pen=1.5, tracking=1.2)
    tagline.draw(canvas, text_x + 1, 67, 'Free diagnostics for DHCP, DNS and your whole network', ICE)

    address = Font(cap_height=12, pen=1.8, tracking=1.5)
    address.draw(canvas, text_x + 1, 92, 'www.veyra-labs.example', AMBER)
    draw_button(canvas, 478, 74, 'Visit now')
    return canvas.rows()


# ---------------------------------------------------------------------------
# Previews
# ---------------------------------------------------------------------------

def png_bytes(rgb_rows):
    """An 8-bit PNG of (r, g, b) rows, or of (r, g, b, a) rows with alpha."""
    height, width = len(rgb_rows), len(rgb_rows[0])
    colour_type = 6 if len(rgb_rows[0][0]) == 4 else 2
    raw = b''.join(b'\x00' + bytes(c for px in row for c in px) for row in rgb_rows)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, colour_type, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def enlarge(rgb_rows, factor):
    out = []
    for row in rgb_rows:
        wide = [px for px in row for _ in range(factor)]
        out += [wide] * factor
    return out


# ---------------------------------------------------------------------------
# Reading the files back (--check and --preview)
# ---------------------------------------------------------------------------

def read_dib(data, offset, icon=False):
    """Decodes an uncompressed DIB at `offset` (header, palette, bits).

    Returns (header fields, palette, rows of pixel values, end offset); rows
    are top-down, values are palette indices or (r, g, b) for 24 bpp. For an
    icon image the header height is doubled and only the XOR rows are read.
    """
    (size, width, height, planes, bpp, compression, image_size,
     _, _, used, _) = struct.unpack_from('<IiiHHIIiiII', data, offset)
    assert size == 40 and planes == 1 and compression == 0
    palette_size = used or (1 << bpp if bpp <= 8 else 0)
    pos = offset + 40
    palette = [(data[pos + 4 * i + 2], data[pos + 4 * i + 1], data[pos + 4 * i])
               for i in range(palette_size)]
    pos += 4 * palette_size
    header = dict(width=width, height=height, bpp=bpp, image_size=image_size, used=used)
    rows, pos = read_bits(data, pos, width, abs(height) // (2 if icon else 1), bpp)
    return header, palette, rows, pos


def read_bits(data, pos, width, height, bpp):
    stride = row_stride(width, bpp)
    rows = []
    for y in range(height):
        raw = data[pos + y * stride:pos + (y + 1) * stride]
        if bpp == 24:
            rows.append([(raw[3 * x + 2], raw[3 * x + 1], raw[3 * x]) for x in range(width)])
        else:
            per_byte = 8 // bpp
            rows.append([(raw[x // per_byte] >> (8 - bpp * (x % per_byte + 1))) & ((1 << bpp) - 1)
                         for x in range(width)])
    rows.reverse()
    return rows, pos + stride * height


def read_bmp(path):
    data = open(path, 'rb').read()
    magic, size, _, _, offset = struct.unpack_from('<2sIHHI', data, 0)
    assert magic == b'BM' and size == len(data), path
    header, palette, rows, end = read_dib(data, 14)
    assert 14 + 40 + 4 * len(palette) == offset and end == len(data), path
    return header, palette, rows


def read_icon_file(path):
    """Returns (type, [(entry fields, header, palette, colour rows, mask rows)])."""
    data = open(path, 'rb').read()
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    assert reserved == 0 and kind in (1, 2), path
    images = []
    for i in range(count):
        w, h, colours, res, f1, f2, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        entry = dict(width=w or 256, height=h or 256, colours=colours, field1=f1, field2=f2)
        header, palette, xor_rows, pos = read_dib(data, offset, icon=True)
        and_rows, pos = read_bits(data, pos, header['width'], header['height'] // 2, 1)
        assert res == 0 and pos == offset + size, path
        assert header['height'] == 2 * entry['height'] and len(xor_rows) == entry['height']
        images.append((entry, header, palette, xor_rows, and_rows))
    return kind, images


def read_png(path):
    """Decodes a PNG as png_bytes writes it: (width, height, colour type, rows of pixels)."""
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    pos, chunks = 8, []
    while pos < len(data):
        length, = struct.unpack_from('>I', data, pos)
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        crc, = struct.unpack_from('>I', data, pos + 8 + length)
        assert crc == zlib.crc32(kind + body) & 0xffffffff, path
        chunks.append((kind, body))
        pos += 12 + length
    assert [k for k, _ in chunks] == [b'IHDR', b'IDAT', b'IEND'], path
    width, height, depth, colour_type, _, _, _ = struct.unpack('>IIBBBBB', chunks[0][1])
    assert depth == 8 and colour_type in (2, 6), path
    channels = 4 if colour_type == 6 else 3
    raw = zlib.decompress(chunks[1][1])
    stride = 1 + width * channels
    assert len(raw) == stride * height, path
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        assert line[0] == 0, path   # no filter
        rows.append([tuple(line[1 + x * channels:1 + (x + 1) * channels]) for x in range(width)])
    return width, height, colour_type, rows


def check():
    """Re-reads every file and verifies the formats the resource script expects."""
    header, palette, rows = read_bmp(os.path.join(ART_DIR, 'result_images.bmp'))
    assert (header['width'], header['height'], header['bpp']) == (128, 15, 4)
    assert palette == VGA_RGB
    for n in range(3, STRIP_COUNT):
        assert all(v == TEAL for row in rows for v in row[n * 16:(n + 1) * 16]), n
    for n in range(3):
        cell = [v for row in rows for v in row[n * 16:(n + 1) * 16]]
        assert any(v != TEAL for v in cell), n
    assert rows[5][16 + 2] == VGA_INDEX['r'] and rows[7][32 + 10] == VGA_INDEX['n']

    header, _, rows = read_bmp(os.path.join(ART_DIR, 'banner.bmp'))
    assert (header['width'], header['height'], header['bpp']) == (609, 106, 24)
    assert header['height'] > 0   # bottom-up

    kind, images = read_icon_file(os.path.join(ART_DIR, 'veyra.ico'))
    assert kind == 1 and len(images) == 2
    (e32, h32, p32, x32, m32), (e16, h16, p16, x16, m16) = images
    assert (e32['width'], e32['height'], e32['colours'], e32['field2']) == (32, 32, 16, 4)
    assert (h32['bpp'], h32['height']) == (4, 64) and p32 == VGA_RGB
    assert (e16['width'], e16['height'], e16['colours'], e16['field2']) == (16, 16, 0, 8)
    assert (h16['bpp'], h16['height'], len(p16)) == (8, 32, 256)
    for xor_rows, and_rows in ((x32, m32), (x16, m16)):
        for xr, ar in zip(xor_rows, and_rows):
            assert all(v == 0 for v, a in zip(xr, ar) if a == 1)   # transparent = black + AND 1

    kind, images = read_icon_file(os.path.join(ART_DIR, 'hand.cur'))
    assert kind == 2 and len(images) == 1
    entry, header, palette, xor_rows, and_rows = images[0]
    assert (entry['width'], entry['height']) == (32, 32)
    assert (entry['field1'], entry['field2']) == HAND_HOTSPOT == (5, 0)
    assert (header['width'], header['height'], header['bpp']) == (32, 64, 1)
    assert palette == [(0, 0, 0), (255, 255, 255)]
    assert and_rows[0][5] == 0 and xor_rows[0][5] == 0       # the tip is black outline
    assert and_rows[0][4] == 1 and and_rows[0][7] == 1

    icons = make_desktop_icons()
    for size in DESKTOP_ICON_SIZES:
        width, height, colour_type, rows = read_png(os.path.join(ICON_DIR, desktop_icon_name(size)))
        assert (width, height, colour_type) == (size, size, 6), size
        assert rows == icons[size], size                       # what the script draws
        assert rows[0][size * 3 // 8][3] == 0, size            # clear beside the spark
        assert rows[size * 78 // 100][0][3] != 0, size       # the cable
    print('art files OK')


def write_previews(directory):
    """Enlarged PNGs decoded from the written files, transparency as a checkerboard."""
    os.makedirs(directory, exist_ok=True)

    def save(name, rows, factor):
        with open(os.path.join(directory, name), 'wb') as f:
            f.write(png_bytes(enlarge(rows, factor)))

    def checker(x, y):
        return (204, 204, 212) if (x // 4 + y // 4) % 2 else (172, 172, 186)

    _, palette, rows = read_bmp(os.path.join(ART_DIR, 'result_images.bmp'))
    save('result_images_x8.png', [[palette[v] for v in row] for row in rows], 8)
    _, _, rows = read_bmp(os.path.join(ART_DIR, 'banner.bmp'))
    save('banner.png', rows, 1)
    save('banner_x2.png', rows, 2)
    for name in ('veyra.ico', 'hand.cur'):
        _, images = read_icon_file(os.path.join(ART_DIR, name))
        for entry, _, palette, xor_rows, and_rows in images:
            rgb = [[checker(x, y) if a else palette[v] for x, (v, a) in enumerate(zip(xr, ar))]
                   for y, (xr, ar) in enumerate(zip(xor_rows, and_rows))]
            stem = name.replace('.', '_')
            save('%s_%dx%d_x8.png' % (stem, entry['width'], entry['height']), rgb, 8)


# ---------------------------------------------------------------------------

def desktop_icon_name(size):
    return 'veyra-gui-%d.png' % size


def write(directory, name, data):
    with open(os.path.join(directory, name), 'wb') as f:
        f.write(data)


def main(argv):
    if argv != ['--check']:
        os.makedirs(ART_DIR, exist_ok=True)
        os.makedirs(ICON_DIR, exist_ok=True)
        write(ART_DIR, 'result_images.bmp', bmp_4bit(make_result_strip()))
        write(ART_DIR, 'banner.bmp', bmp_24bit(make_banner()))
        write(ART_DIR, 'veyra.ico', make_icon())
        write(ART_DIR, 'hand.cur', make_hand_cursor())
        for size, rows in make_desktop_icons().items():
            write(ICON_DIR, desktop_icon_name(size), png_bytes(rows))
    if '--check' in argv:
        check()
    if '--preview' in argv:
        write_previews(argv[argv.index('--preview') + 1])


if __name__ == '__main__':
    main(sys.argv[1:])
