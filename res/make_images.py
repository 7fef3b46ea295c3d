#!/usr/bin/env python3
"""Draws Scrutel's pictures, cursors and icons and writes them as .bmp, .cur and .ico files.

Usage: make_images.py OUTPUT_DIR

Everything is drawn here, from small text art or from shapes, so no binary lives in the repository.
Only the standard library is used. The files named in OUTPUTS are written; the build lists the same
names, so a picture added here must be added there too.
"""

import math
import os
import struct
import sys

# The standard 16-color palette in its usual order. The finder pictures are 4-bit bitmaps over it, so
# that the program can swap their six fixed colors for system colors by palette index.
VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0x80, 0x80, 0x80),
    (0xC0, 0xC0, 0xC0), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, GRAY, SILVER, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, \
    WHITE = VGA16

# Strip bitmaps for image lists and button glyphs are 24-bit; this color marks their transparent pixels.
MASK_COLOR = FUCHSIA


class Canvas:
    """A grid of RGB tuples; None is a transparent pixel."""

    def __init__(self, width, height, fill=None):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def get(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.pixels[y][x]
        return None

    def put(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = color

    def fill_rect(self, x0, y0, x1, y1, color):
        """Fills the inclusive rectangle (x0, y0)-(x1, y1)."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, color)

    def frame_rect(self, x0, y0, x1, y1, color):
        self.fill_rect(x0, y0, x1, y0, color)
        self.fill_rect(x0, y1, x1, y1, color)
        self.fill_rect(x0, y0, x0, y1, color)
        self.fill_rect(x1, y0, x1, y1, color)

    def circle(self, cx, cy, radius, color):
        """A one-pixel ring around the pixel (cx, cy), without gaps at any angle."""
        for y in range(cy - radius - 1, cy + radius + 2):
            for x in range(cx - radius - 1, cx + radius + 2):
                if abs(math.hypot(x - cx, y - cy) - radius) < 0.5:
                    self.put(x, y, color)

    def text_art(self, x0, y0, rows, colors):
        """Paints rows of characters; characters missing from colors are left untouched."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colors:
                    self.put(x0 + dx, y0 + dy, colors[ch])

    def paste(self, other, x0, y0):
        for y in range(other.height):
            for x in range(other.width):
                if other.pixels[y][x] is not None:
                    self.put(x0 + x, y0 + y, other.pixels[y][x])

    def halo(self, ink, glow):
        """Puts glow on every transparent pixel that touches ink, so a cursor shows on any background."""
        marks = []
        for y in range(self.height):
            for x in range(self.width):
                if self.pixels[y][x] is None and any(
                        self.get(x + dx, y + dy) == ink for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                    marks.append((x, y))
        for x, y in marks:
            self.put(x, y, glow)


def strip(canvases):
    """Puts equally sized pictures side by side, transparent pixels in the mask color."""
    width, height = canvases[0].width, canvases[0].height
    out = Canvas(width * len(canvases), height, MASK_COLOR)
    for i, c in enumerate(canvases):
        assert (c.width, c.height) == (width, height)
        out.paste(c, i * width, 0)
    return out


# ---------------------------------------------------------------------------------------------------------
# File formats

def palette_index(color):
    try:
        return VGA16.index(color)
    except ValueError:
        raise SystemExit("make_images: color %r is not in the 16-color palette" % (color,))


def info_header(width, height, bpp, image_bytes, colors):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, image_bytes, 2835, 2835, colors, 0)


def row_bytes(width, bpp):
    return (width * bpp + 31) // 32 * 4


def pack_rows(canvas, bpp, value, height=None):
    """Bottom-up DIB rows; value(color) gives a palette index (bpp <= 8) or an RGB/RGBA tuple."""
    out = bytearray()
    stride = row_bytes(canvas.width, bpp)
    for y in reversed(range(canvas.height)):
        row = bytearray(stride)
        for x in range(canvas.width):
            v = value(canvas.pixels[y][x])
            if bpp == 24:
                row[x * 3:x * 3 + 3] = bytes((v[2], v[1], v[0]))
            elif bpp == 32:
                row[x * 4:x * 4 + 4] = bytes((v[2], v[1], v[0], v[3]))
            else:
                per_byte = 8 // bpp
                shift = (per_byte - 1 - x % per_byte) * bpp
                row[x // per_byte] |= v << shift
        out += row
    return bytes(out)


def bmp_file(canvas, bpp):
    """A 4-bit (16-color palette) or 24-bit bitmap; transparent pixels must not remain."""
    if bpp == 4:
        table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA16)
        bits = pack_rows(canvas, 4, palette_index)
    else:
        table = b""
        bits = pack_rows(canvas, 24, lambda c: c)
    header = info_header(canvas.width, canvas.height, bpp, len(bits), 16 if bpp == 4 else 0)
    offset = 14 + len(header) + len(table)
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + header + table + bits


def icon_image(canvas, bpp):
    """One DIB of an icon or cursor: color bits (1, 4 or 32 bits) followed by the transparency mask."""
    mono = [BLACK, WHITE]
    if bpp == 1:
        table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in mono)
        bits = pack_rows(canvas, 1, lambda c: 0 if c is None else mono.index(c))
    elif bpp == 4:
        table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA16)
        bits = pack_rows(canvas, 4, lambda c: 0 if c is None else palette_index(c))
    else:
        table = b""
        bits = pack_rows(canvas, 32, lambda c: (0, 0, 0, 0) if c is None else
                         (c if len(c) == 4 else c + (255,)))
    mask = pack_rows(canvas, 1, lambda c: 1 if c is None or (len(c) == 4 and c[3] == 0) else 0)
    header = info_header(canvas.width, canvas.height * 2, bpp, len(bits) + len(mask),
                         0 if bpp == 32 else 2 ** bpp)
    return header + table + bits + mask


def icon_file(images, hotspot=None):
    """An .ico of (canvas, bpp) images, or a .cur when a hot spot is given."""
    kind = 1 if hotspot is None else 2
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    blobs = [icon_image(c, bpp) for c, bpp in images]
    offset = 6 + 16 * len(images)
    for (c, bpp), blob in zip(images, blobs):
        if hotspot is None:
            planes, count = 1, bpp
            colors = 0 if bpp >= 8 else 2 ** bpp
        else:
            (planes, count), colors = hotspot, 2
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, colors % 256, 0, planes, count,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


# ---------------------------------------------------------------------------------------------------------
# Window finder: a small window with blue title bar and lime client area, idle with a cross-hair in it

def finder(with_crosshair):
    c = Canvas(31, 28, SILVER)
    c.fill_rect(4, 3, 29, 27, GRAY)           # drop shadow
    c.fill_rect(2, 1, 27, 25, BLACK)          # outer border
    c.fill_rect(3, 2, 26, 24, WHITE)          # raised edge, lit from the top left
    c.fill_rect(4, 3, 26, 24, GRAY)
    c.fill_rect(4, 3, 25, 23, SILVER)
    c.fill_rect(5, 4, 24, 7, BLUE)            # title bar
    c.fill_rect(6, 5, 13, 6, WHITE)           # caption text
    c.fill_rect(21, 5, 23, 6, SILVER)         # close box
    c.put(23, 6, GRAY)
    c.fill_rect(5, 9, 24, 22, GRAY)           # sunken client edge
    c.fill_rect(6, 10, 24, 22, WHITE)
    c.fill_rect(6, 10, 23, 21, LIME)
    if with_crosshair:
        cx, cy = 15, 16
        c.circle(cx, cy, 4, BLACK)
        for d in range(2, 6):
            for x, y in ((cx - d, cy), (cx + d, cy), (cx, cy - d), (cx, cy + d)):
                c.put(x, y, BLACK)
        c.put(cx, cy, BLACK)
    return c


FINDER_HOTSPOT = (15, 16)


def finder_cursor():
    c = Canvas(32, 32)
    cx, cy = FINDER_HOTSPOT
    c.circle(cx, cy, 8, BLACK)
    for d in range(3, 14):
        for x, y in ((cx - d, cy), (cx + d, cy), (cx, cy - d), (cx, cy + d)):
            c.put(x, y, BLACK)
    c.put(cx, cy, BLACK)
    c.halo(BLACK, WHITE)
    return c


# ---------------------------------------------------------------------------------------------------------
# Pipette: drawn along an axis from its tip up to the right, as half-widths by distance from the tip

PIPETTE_HOTSPOT = (8, 23)
PIPETTE_PROFILE = [  # (from, to, half width) along the axis, in pixels
    (0.0, 4.5, 0.9), (4.5, 12.5, 1.9), (12.5, 14.5, 3.1), (14.5, 20.5, 2.9),
]


def pipette_shape(tip, length_scale=1.0):
    """Maps each pixel inside the pipette to its part: 'tip', 'tube', 'collar' or 'bulb'."""
    tx, ty = tip
    ax, ay = math.sqrt(0.5), -math.sqrt(0.5)
    parts = {}
    names = ["tip", "tube", "collar", "bulb"]
    end = PIPETTE_PROFILE[-1][1] * length_scale
    for y in range(0, 32):
        for x in range(0, 32):
            px, py = x - tx, y - ty
            u = px * ax + py * ay
            v = abs(-px * ay + py * ax)
            for name, (a, b, w) in zip(names, PIPETTE_PROFILE):
                a, b = a * length_scale, b * length_scale
                if name == "tip":
                    w = 0.5 + (w - 0.5) * max(u, 0.0) / b
                inside = a - 0.5 <= u < b + 0.5 and v <= w
                if name == "bulb" and u > end - w:  # round end of the bulb
                    inside = math.hypot(u - (end - w), v) <= w
                if inside:
                    parts[(x, y)] = name
                    break
    parts[tip] = "tip"
    return parts


def outline_of(parts):
    return {p for p in parts
            if any((p[0] + dx, p[1] + dy) not in parts for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))}


def pipette_cursor():
    c = Canvas(32, 32)
    parts = pipette_shape(PIPETTE_HOTSPOT, 1.3)
    edge = outline_of(parts)
    for (x, y), name in parts.items():
        if (x, y) in edge:
            c.put(x, y, BLACK)
        elif name == "bulb":
            c.put(x, y, BLACK)
        else:
            c.put(x, y, WHITE)
    return c


def color_palette_board():
    """Sixteen color swatches in a grid on a board, as the pipette rests on it."""
    c = Canvas(32, 32)
    c.fill_rect(3, 12, 31, 31, GRAY)  # shadow
    c.fill_rect(1, 10, 29, 30, BLACK)
    c.fill_rect(2, 11, 28, 29, SILVER)
    c.fill_rect(2, 11, 28, 11, WHITE)
    c.fill_rect(2, 11, 2, 29, WHITE)
    c.fill_rect(3, 12, 27, 28, BLACK)  # grid lines between the swatches
    swatches = [WHITE, YELLOW, LIME, AQUA, SILVER, OLIVE, GREEN, TEAL,
                RED, FUCHSIA, BLUE, GRAY, MAROON, PURPLE, NAVY, BLACK]
    for i, color in enumerate(swatches):
        x0, y0 = 4 + i % 4 * 6, 13 + i // 4 * 4
        c.fill_rect(x0, y0, x0 + 4, y0 + 2, color)
    return c


def pipette_icon(full):
    c = color_palette_board()
    if not full:
        return c
    parts = pipette_shape((13, 19), 1.2)
    edge = outline_of(parts)
    colors = {"tip": WHITE, "tube": WHITE, "collar": GRAY, "bulb": RED}
    for (x, y), name in parts.items():
        if (x, y) in edge:
            color = BLACK
        elif name in ("tip", "tube") and x - 13 < 5:
            color = AQUA  # the color drawn up into the glass
        elif name == "bulb" and x + y == 27:
            color = MAROON
        else:
            color = colors[name]
        c.put(x, y, color)
    return c


def web_unsafe_icon():
    """A warning triangle over three color bars: the color is not one of the web-safe colors."""
    c = Canvas(32, 32)
    for i, color in enumerate([RED, LIME, BLUE]):
        c.fill_rect(2 + i * 10, 26, 9 + i * 10, 30, color)
        c.frame_rect(2 + i * 10, 26, 9 + i * 10, 30, BLACK)
    apex, base_y, half = (16, 1), 23, 13
    for y in range(apex[1], base_y + 1):
        reach = (y - apex[1]) * half / (base_y - apex[1])
        for x in range(32):
            d = abs(x - apex[0])
            if d <= reach + 0.5:
                inner = d <= reach - 1.5 and apex[1] + 2 < y < base_y - 1
                c.put(x, y, YELLOW if inner else BLACK)
    c.fill_rect(15, 8, 16, 16, BLACK)  # the exclamation mark
    c.fill_rect(15, 18, 16, 19, BLACK)
    return c


# ---------------------------------------------------------------------------------------------------------
# Small glyphs from text art: '.' is transparent, other characters are looked up here

GLYPH_COLORS = {
    "K": (0x00, 0x00, 0x00), "W": (0xFF, 0xFF, 0xFF), "S": (0xC0, 0xC0, 0xC0), "G": (0x80, 0x80, 0x80),
    "D": (0x40, 0x40, 0x40), "E": (0xE4, 0xE4, 0xE4), "N": (0x00, 0x00, 0x80), "B": (0x20, 0x50, 0xC0),
    "b": (0x70, 0xA0, 0xE8), "l": (0xC8, 0xDC, 0xF8), "R": (0xC0, 0x10, 0x10), "r": (0xF0, 0x60, 0x50),
    "M": (0x70, 0x00, 0x00), "Y": (0xF8, 0xD0, 0x20), "y": (0xFF, 0xF0, 0xA0), "O": (0xE0, 0x80, 0x10),
    "o": (0xA0, 0x50, 0x00), "g": (0x20, 0xA0, 0x30), "L": (0x80, 0xE0, 0x80), "h": (0x00, 0x60, 0x20),
    "t": (0x00, 0x90, 0xA0), "p": (0x90, 0x30, 0xB0),
}


def glyph(rows):
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), rows
    c = Canvas(16, 16)
    c.text_art(0, 0, rows, GLYPH_COLORS)
    return c


PIN_DOWN = [  # pushed in, seen from above at a slant
    "................",
    "................",
    "................",
    "......KKKK......",
    ".....KrrRRK.....",
    "....KrRRRRMK....",
    "....KrRRRRMK....",
    "....KRRRRMMK....",
    ".....KMMMMK.....",
    "......KKKK......",
    "....KKKKKKKK....",
    "....KWSSSSGK....",
    ".....KKGGKK.....",
    ".......DG.......",
    ".......DG.......",
    "................",
]


def disabled(c):
    """The embossed look of a disabled glyph: a white copy one pixel down-right under a gray one."""
    out = Canvas(c.width, c.height)
    for y in range(c.height):
        for x in range(c.width):
            if c.pixels[y][x] is not None:
                out.put(x + 1, y + 1, GLYPH_COLORS["W"])
    for y in range(c.height):
        for x in range(c.width):
            if c.pixels[y][x] is not None:
                out.put(x, y, GLYPH_COLORS["G"])
    return out


def turned_clockwise(c):
    out = Canvas(c.height, c.width)
    for y in range(c.height):
        for x in range(c.width):
            out.put(c.height - 1 - y, x, c.pixels[y][x])
    return out


def pin_glyphs():
    down = glyph(PIN_DOWN)
    up = turned_clockwise(down)  # lying on its side, needle to the left
    return strip([up, disabled(up), down, down])


TAB_PICTURES = {
    "attributes": [  # a property sheet: labels and values
        "................",
        ".GGGGGGGGGGGGGG.",
        ".GBBBBBBBBBBBBG.",
        ".GBWWWWBBBBBBBG.",
        ".GEEEEEEEEEEEEG.",
        ".GEDDDEKWWWWWSG.",
        ".GEEEEEKWBBWWSG.",
        ".GEDDEEKSSSSSSG.",
        ".GEEEEEEEEEEEEG.",
        ".GEDDDEKWWWWWSG.",
        ".GEEEEEKWBBBWSG.",
        ".GEDDEEKSSSSSSG.",
        ".GEEEEEEEEEEEEG.",
        ".GEDDDDEgEgEgEG.",
        ".GEEEEEEEEEEEEG.",
        ".GGGGGGGGGGGGGG.",
    ],
    "component": [  # a component block
        "................",
        "......KKKK......",
        "....KKyYYYKK....",
        "..KKyyYYYYYYKK..",
        ".KyyyYYYYYYYYOK.",
        ".KKyYYYYYYYYOKK.",
        ".KoKKYYYYYYKKBK.",
        ".KooOKKYYKKBBBK.",
        ".KoooOOKKBBBBbK.",
        ".KooooOOKBBBbbK.",
        ".KooooOOKBBbbbK.",
        ".KooooOOKBbbbbK.",
        "..KKooOOKBbbKK..",
        "....KKoOKbKK....",
        "......KKKK......",
        "................",
    ],
    "color": [  # four swatches
        "................",
        ".KKKKKKK.KKKKKKK",
        ".KRRRRRK.KgggggK",
        ".KRrrRRK.KgLLggK",
        ".KRrRRRK.KgLgggK",
        ".KRRRRRK.KgggggK",
        ".KRRRRRK.KgggggK",
        ".KKKKKKK.KKKKKKK",
        "................",
        ".KKKKKKK.KKKKKKK",
        ".KBBBBBK.KYYYYYK",
        ".KBbbBBK.KYyyYYK",
        ".KBbBBBK.KYyYYYK",
        ".KBBBBBK.KYYYYYK",
        ".KBBBBBK.KYYYYYK",
        ".KKKKKKK.KKKKKKK",
    ],
    "peinfo": [  # a program file with its header fields
        "................",
        "..GGGGGGGGG.....",
        "..GWWWWWWWGG....",
        "..GWWWWWWWGWG...",
        "..GWNNNWWWGGGG..",
        "..GWWWWWWWWWWG..",
        "..GWBBWBBBBWWG..",
        "..GWWWWWWWWWWG..",
        "..GWBBBWBBWWWG..",
        "..GWWWWWWWWWWG..",
        "..GWBBWBBBBBWG..",
        "..GWWWWWWWWWWG..",
        "..GWRRRWRWRWWG..",
        "..GWWWWWWWWWWG..",
        "..GGGGGGGGGGGG..",
        "................",
    ],
    "hierarchy": [  # a tree of windows, for a page that has no picture of its own
        "................",
        ".KKKKK..........",
        ".KBBBK..........",
        ".KKKKK..........",
        "...G............",
        "...G...KKKKK....",
        "...GGGGKbbbK....",
        "...G...KKKKK....",
        "...G.....G......",
        "...G.....GGKKKKK",
        "...G.......KlllK",
        "...G.......KKKKK",
        "...G............",
        "...GGGGKKKKK....",
        ".......KbbbK....",
        ".......KKKKK....",
    ],
}
# Image list order: the tabs Attributes, Delphi-VCL, Color, Link, PEInfo, then the spare picture.
TAB_ORDER = ["attributes", "component", "color", "link", "peinfo", "hierarchy"]


def chain_links():
    """Two interlocking chain links at a slant, as the Link page's picture."""
    def segment_distance(x, y, a, b):
        (ax, ay), (bx, by) = a, b
        t = ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)
        t = min(max(t, 0.0), 1.0)
        return math.hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay)))

    links = [((4.0, 12.0), (7.2, 8.8)), ((8.8, 7.2), (12.0, 4.0))]
    c = Canvas(16, 16)

    def draw(link, only=lambda x, y: True):
        for y in range(16):
            for x in range(16):
                d = segment_distance(x, y, *link)
                if only(x, y) and 1.7 <= d <= 3.4:
                    c.put(x, y, GLYPH_COLORS["N"] if d > 2.7 else GLYPH_COLORS["b"])

    draw(links[1])
    draw(links[0])
    # the second link lies over the first where they cross once, so the two read as interlocked
    draw(links[1], only=lambda x, y: x + y < 16)
    return c


def tab_pictures():
    return strip([chain_links() if name == "link" else glyph(TAB_PICTURES[name]) for name in TAB_ORDER])


# ---------------------------------------------------------------------------------------------------------
# Application icon: a window under a magnifying glass with a cross-hair, drawn smoothly at any size

def app_icon_sample(x, y, small):
    """The color at a point of a 32-by-32 design, or None outside every shape."""
    def rounded(x0, y0, x1, y1, r):
        qx = min(max(x, x0 + r), x1 - r)
        qy = min(max(y, y0 + r), y1 - r)
        return math.hypot(x - qx, y - qy) <= r

    color = None
    if rounded(1.5, 3.5, 27.5, 26.5, 1.5):
        color = (0x30, 0x30, 0x38)
    if rounded(2.5, 4.5, 26.5, 25.5, 0.8):
        color = (0xF4, 0xF6, 0xFA)
    if 2.5 <= x <= 26.5 and 4.5 <= y <= 9.0:
        t = (x - 2.5) / 24.0
        color = (int(0x10 + 0x40 * t), int(0x40 + 0x50 * t), int(0xB0 + 0x40 * t))
    if 4 <= x <= 12 and 6.2 <= y <= 7.4:
        color = (0xFF, 0xFF, 0xFF)
    for row in () if small else (12.0, 15.5, 19.0, 22.5):
        if 5 <= x <= 11 and row <= y <= row + 1.2:
            color = (0x90, 0x98, 0xA8)
    cx, cy, r = 18.0, 17.0, 7.0
    d = math.hypot(x - cx, y - cy)
    # the handle, from the lens down to the lower right corner
    ux, uy = (x - cx) / math.sqrt(2), (y - cy) / math.sqrt(2)
    along, across = ux + uy, abs(ux - uy)
    if r < along <= r + 8.6 and across <= (2.4 if small else 1.7):
        color = (0x50, 0x30, 0x18) if along > r + 2.0 else (0x60, 0x60, 0x68)
    if d <= r - 1.8:
        color = (0xC8, 0xF0, 0xC8)  # lens over the window, tinted like the finder's client area
        line = 1.0 if small else 0.55
        if abs(x - cx) <= line and 1.4 <= abs(y - cy) <= r - 2.4:
            color = (0x10, 0x10, 0x10)
        if abs(y - cy) <= line and 1.4 <= abs(x - cx) <= r - 2.4:
            color = (0x10, 0x10, 0x10)
        if not small and abs(d - 3.0) <= 0.5:
            color = (0x10, 0x10, 0x10)
        if d <= (1.0 if small else 0.7):
            color = (0xD0, 0x10, 0x10)
    elif d <= r:
        color = (0x58, 0x60, 0x70) if y > cy - (x - cx) else (0x98, 0xA0, 0xB0)
    return color


def app_icon(size, samples=4):
    c = Canvas(size, size)
    scale = 32.0 / size
    for y in range(size):
        for x in range(size):
            acc, hits = [0, 0, 0], 0
            for sy in range(samples):
                for sx in range(samples):
                    col = app_icon_sample((x + (sx + 0.5) / samples) * scale,
                                          (y + (sy + 0.5) / samples) * scale, size < 24)
                    if col is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += col[i]
            if hits:
                alpha = round(255 * hits / (samples * samples))
                c.put(x, y, tuple(round(a / hits) for a in acc) + (alpha,))
    return c


# ---------------------------------------------------------------------------------------------------------
# The about box's logo: the maker's name in small capitals on a rounded bar, on white (the box's color,
# which the logo fades in from)

LETTERS = {
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
}
LOGO_WIDTH, LOGO_HEIGHT = 61, 32


def logo():
    c = Canvas(LOGO_WIDTH, LOGO_HEIGHT, WHITE)
    x0, y0, x1, y1, r = 1.5, 3.5, 59.5, 28.5, 6.0
    for y in range(LOGO_HEIGHT):
        for x in range(LOGO_WIDTH):
            px, py = x + 0.5, y + 0.5
            qx = min(max(px, x0 + r), x1 - r)
            qy = min(max(py, y0 + r), y1 - r)
            d = math.hypot(px - qx, py - qy)
            if d <= r:
                t = (py - y0) / (y1 - y0)
                c.put(x, y, (int(0x18 + 0x30 * t), int(0x48 + 0x40 * t), int(0xA8 + 0x38 * t)))
            elif d <= r + 0.8:
                c.put(x, y, (0x90, 0xA8, 0xD8))
    word = "ORVANE"
    left = (LOGO_WIDTH - (len(word) * 6 - 1)) // 2
    for i, ch in enumerate(word):
        c.text_art(left + 6 * i, 9, LETTERS[ch], {"#": WHITE})
    # a lens line under the name, the mark of a window inspector
    c.fill_rect(left, 19, left + len(word) * 6 - 2, 19, (0xC8, 0xF0, 0xC8))
    c.circle(LOGO_WIDTH - 9, 22, 2, (0xC8, 0xF0, 0xC8))
    return c


# ---------------------------------------------------------------------------------------------------------

OUTPUTS = {
    "FinderIdle.bmp": lambda: bmp_file(finder(True), 4),
    "FinderDrag.bmp": lambda: bmp_file(finder(False), 4),
    "Finder.cur": lambda: icon_file([(finder_cursor(), 1)], FINDER_HOTSPOT),
    "Pipette.cur": lambda: icon_file([(pipette_cursor(), 1)], PIPETTE_HOTSPOT),
    "PipetteFull.ico": lambda: icon_file([(pipette_icon(True), 4)]),
    "PipetteEmpty.ico": lambda: icon_file([(pipette_icon(False), 4)]),
    "WebUnsafe.ico": lambda: icon_file([(web_unsafe_icon(), 4)]),
    "Pin.bmp": lambda: bmp_file(pin_glyphs(), 24),
    "Tabs.bmp": lambda: bmp_file(tab_pictures(), 24),
    "Logo.bmp": lambda: bmp_file(logo(), 24),
    "Scrutel.ico": lambda: icon_file([(app_icon(16), 32), (app_icon(32), 32), (app_icon(48), 32)]),
}


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, make in OUTPUTS.items():
        data = make()
        path = os.path.join(out_dir, name)
        # Files whose bytes did not change keep their time, so the resources are not rebuilt needlessly.
        try:
            with open(path, "rb") as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        with open(path, "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
