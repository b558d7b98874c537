#!/usr/bin/env python3
"""Makes Corvale's bundled themes: pictures, the animated indicator, sounds and skins.

Standard library only. Every run writes the same bytes, so the generated files
are committed beside the skins and the program runs without this script.

Every picture is also drawn at twice the resolution, as NAME@2x.bmp (and
activity@2x.gif) beside it, for screens at 150% and 200%: the same drawing
with rounder curves, finer gradients and smoothed letters, not a copy of the
plain picture's pixels (the default theme). The program's icon is drawn
here too, in the default theme's colours.

    make_theme.py                          write the default theme into themes/default
                                           and the program's icon to platform/win32/corvale.ico
    make_theme.py --theme daylight         write the daylight theme into themes/daylight
    make_theme.py --out DIR                write the theme somewhere else
    make_theme.py --icon FILE              write the icon somewhere else

scripts/check_house.sh checks the result: the themes and the icon made afresh
must equal the committed ones byte for byte, and `corvalectl check` must find
each theme clean at every width it has a layout for.
"""

import argparse
import math
import struct
import sys
import zlib
from dataclasses import dataclass, field
from pathlib import Path

THEME_DIR = Path(__file__).resolve().parent.parent / "themes" / "default"
ICON_FILE = Path(__file__).resolve().parent.parent / "platform" / "win32" / "corvale.ico"

# ----------------------------------------------------------------- colours

BACKDROP = (8, 12, 10)      # the window's background; pictures on it share it
INK = (4, 10, 7)            # dark text on a lit face
PANEL = (6, 14, 10)         # text boxes and the prompt's input field
PHOSPHOR = (110, 245, 150)
GLOW = (60, 190, 110)
DIM = (40, 130, 78)
FAINT = (18, 40, 27)
FACE = (10, 20, 15)         # an unlit key
AMBER = (255, 190, 70)
AMBER_FILL = (225, 155, 45)
AMBER_DIM = (150, 105, 30)
RED = (255, 110, 85)
RED_FILL = (210, 65, 48)
RED_DIM = (150, 50, 40)
MASK = (255, 0, 255)        # the prompt's transparent surround


def rgb_text(colour):
    return ",".join(str(c) for c in colour)


# ------------------------------------------------------------------ raster

class Image:
    """An RGB picture held as a flat list of (r, g, b) tuples, row by row.

    `density` pixels make one drawing unit: set, fill and frame take units
    (a picture drawn at density 2 is its plain self at twice the
    resolution); w, h, px, get and the rest are the pixels themselves."""

    def __init__(self, width, height, colour=(0, 0, 0), density=1):
        self.d = density
        self.w, self.h = width * density, height * density
        self.px = [colour] * (self.w * self.h)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def set(self, x, y, colour):
        self.fill(x, y, 1, 1, colour)

    def fill(self, x, y, w, h, colour):
        d = self.d
        self.fill_pixels(x * d, y * d, w * d, h * d, colour)

    def fill_pixels(self, x, y, w, h, colour):
        for yy in range(max(0, y), min(self.h, y + h)):
            row = yy * self.w
            for xx in range(max(0, x), min(self.w, x + w)):
                self.px[row + xx] = colour

    def frame(self, x, y, w, h, colour, thickness=1):
        t = thickness
        self.fill(x, y, w, t, colour)
        self.fill(x, y + h - t, w, t, colour)
        self.fill(x, y, t, h, colour)
        self.fill(x + w - t, y, t, h, colour)

    def blit(self, src, x, y, skip=None):
        for sy in range(src.h):
            for sx in range(src.w):
                c = src.px[sy * src.w + sx]
                if c != skip:
                    self.fill_pixels(x + sx, y + sy, 1, 1, c)

    def stretched(self, w, h):
        out = Image(max(w, 0), max(h, 0))
        for y in range(out.h):
            sy = y * self.h // out.h
            for x in range(out.w):
                out.px[y * out.w + x] = self.px[sy * self.w + x * self.w // out.w]
        return out

    def rows(self):
        for y in range(self.h):
            yield self.px[y * self.w:(y + 1) * self.w]


def lerp(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def in_round_rect(x, y, left, top, w, h, r):
    """Whether the point (x, y) lies in the rectangle with corners of radius r."""
    if not (left <= x < left + w and top <= y < top + h):
        return False
    cx = min(max(x, left + r), left + w - r)
    cy = min(max(y, top + r), top + h - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def fill_round_rect(img, left, top, w, h, r, colour):
    """Every pixel whose centre lies in the rounded rectangle (in units)."""
    d = img.d
    for y in range(max(0, top * d), min(img.h, (top + h) * d)):
        for x in range(max(0, left * d), min(img.w, (left + w) * d)):
            if in_round_rect((x + 0.5) / d, (y + 0.5) / d, left, top, w, h, r):
                img.px[y * img.w + x] = colour


def cut_corner(img, x, y, right, bottom, colour):
    """Unit (x, y) as a corner cut off: the whole unit at density 1, the
    triangle outside the diagonal above it."""
    d = img.d
    for j in range(d):
        for i in range(d):
            a = d - 1 - i if right else i
            b = d - 1 - j if bottom else j
            if a + b < d:
                img.fill_pixels(x * d + i, y * d + j, 1, 1, colour)


# -------------------------------------------------------- the 5x7 font

_GLYPH_SOURCE = {
    "A": ".###. #...# #...# ##### #...# #...# #...#",
    "B": "####. #...# #...# ####. #...# #...# ####.",
    "C": ".###. #...# #.... #.... #.... #...# .###.",
    "D": "####. #...# #...# #...# #...# #...# ####.",
    "E": "##### #.... #.... ####. #.... #.... #####",
    "F": "##### #.... #.... ####. #.... #.... #....",
    "G": ".###. #...# #.... #.### #...# #...# .####",
    "H": "#...# #...# #...# ##### #...# #...# #...#",
    "I": ".###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.",
    "J": "..### ...#. ...#. ...#. ...#. #..#. .##..",
    "K": "#...# #..#. #.#.. ##... #.#.. #..#. #...#",
    "L": "#.... #.... #.... #.... #.... #.... #####",
    "M": "#...# ##.## #.#.# #.#.# #...# #...# #...#",
    "N": "#...# #...# ##..# #.#.# #..## #...# #...#",
    "O": ".###. #...# #...# #...# #...# #...# .###.",
    "P": "####. #...# #...# ####. #.... #.... #....",
    "Q": ".###. #...# #...# #...# #.#.# #..#. .##.#",
    "R": "####. #...# #...# ####. #.#.. #..#. #...#",
    "S": ".#### #.... #.... .###. ....# ....# ####.",
    "T": "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",
    "U": "#...# #...# #...# #...# #...# #...# .###.",
    "V": "#...# #...# #...# #...# #...# .#.#. ..#..",
    "W": "#...# #...# #...# #.#.# #.#.# #.#.# .#.#.",
    "X": "#...# #...# .#.#. ..#.. .#.#. #...# #...#",
    "Y": "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..",
    "Z": "##### ....# ...#. ..#.. .#... #.... #####",
    "0": ".###. #...# #..## #.#.# ##..# #...# .###.",
    "1": "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.",
    "2": ".###. #...# ....# ...#. ..#.. .#... #####",
    "3": "##### ...#. ..#.. ...#. ....# #...# .###.",
    "4": "...#. ..##. .#.#. #..#. ##### ...#. ...#.",
    "5": "##### #.... ####. ....# ....# #...# .###.",
    "6": "..##. .#... #.... ####. #...# #...# .###.",
    "7": "##### ....# ...#. ..#.. .#... .#... .#...",
    "8": ".###. #...# #...# .###. #...# #...# .###.",
    "9": ".###. #...# #...# .#### ....# ...#. .##..",
    " ": "..... ..... ..... ..... ..... ..... .....",
    "/": "....# ....# ...#. ..#.. .#... #.... #....",
    "\\": "#.... #.... .#... ..#.. ...#. ....# ....#",
    "-": "..... ..... ..... ##### ..... ..... .....",
    "_": "..... ..... ..... ..... ..... ..... #####",
    ".": "..... ..... ..... ..... ..... .##.. .##..",
    ",": "..... ..... ..... ..... .##.. ..#.. .#...",
    ":": "..... .##.. .##.. ..... .##.. .##.. .....",
    ">": ".#... ..#.. ...#. ....# ...#. ..#.. .#...",
    "<": "...#. ..#.. .#... #.... .#... ..#.. ...#.",
    "#": ".#.#. .#.#. ##### .#.#. ##### .#.#. .#.#.",
    "[": ".###. .#... .#... .#... .#... .#... .###.",
    "]": ".###. ...#. ...#. ...#. ...#. ...#. .###.",
    "(": "...#. ..#.. .#... .#... .#... ..#.. ...#.",
    ")": ".#... ..#.. ...#. ...#. ...#. ..#.. .#...",
    "%": "##... ##..# ...#. ..#.. .#... #..## ...##",
    "=": "..... ..... ##### ..... ##### ..... .....",
    "+": "..... ..#.. ..#.. ##### ..#.. ..#.. .....",
    "!": "..#.. ..#.. ..#.. ..#.. ..#.. ..... ..#..",
    "*": "..... ..#.. #.#.# .###. #.#.# ..#.. .....",
    "|": "..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",
}
GLYPHS = {ch: [c == "#" for c in "".join(src.split())] for ch, src in _GLYPH_SOURCE.items()}
LOCK_GLYPH = [c == "#" for c in "".join(".###. #...# #...# ##### ##.## ##.## #####".split())]
GLYPH_W, GLYPH_H = 5, 7


def text_width(text, scale=1, gap=None):
    gap = scale if gap is None else gap
    return len(text) * (GLYPH_W * scale + gap) - gap if text else 0


def draw_glyph(img, x, y, bits, colour, scale=1, unlit=None, dots=False):
    size = scale - 1 if dots and scale > 1 else scale
    for i, on in enumerate(bits):
        r, c = divmod(i, GLYPH_W)
        if on or unlit is not None:
            img.fill(x + c * scale, y + r * scale, size, size, colour if on else unlit)
    if img.d > 1 and not dots:
        smooth_diagonals(img, x, y, bits, colour, scale)


def smooth_diagonals(img, x, y, bits, colour, scale):
    """Where two lit cells touch only at a corner, the two unlit cells beside
    them get a triangle of ink in that corner, half a cell on a side: the
    stroke runs on diagonally instead of stepping, as a finer pen draws it."""
    def lit(r, c):
        return 0 <= r < GLYPH_H and 0 <= c < GLYPH_W and bits[r * GLYPH_W + c]

    side = scale * img.d
    def corner(r, c, right, bottom):
        left, top = (x + c * scale) * img.d, (y + r * scale) * img.d
        for j in range(side):
            for i in range(side):
                a = side - 1 - i if right else i
                b = side - 1 - j if bottom else j
                if a + b < side // 2:
                    img.fill_pixels(left + i, top + j, 1, 1, colour)

    for r in range(GLYPH_H - 1):
        for c in range(GLYPH_W - 1):
            if lit(r, c) and lit(r + 1, c + 1) and not lit(r, c + 1) and not lit(r + 1, c):
                corner(r, c + 1, False, True)
                corner(r + 1, c, True, False)
            if lit(r, c + 1) and lit(r + 1, c) and not lit(r, c) and not lit(r + 1, c + 1):
                corner(r, c, True, True)
                corner(r + 1, c + 1, False, False)


def draw_text(img, x, y, text, colour, scale=1, unlit=None, dots=False, gap=None):
    """Text in the 5x7 font; `gap` is the space between letters (one font pixel by default)."""
    advance = GLYPH_W * scale + (scale if gap is None else gap)
    for i, ch in enumerate(text.upper()):
        draw_glyph(img, x + i * advance, y, GLYPHS[ch], colour, scale, unlit, dots)


# ------------------------------------------------------------ file formats

def palette_of(img):
    seen = {}
    for c in img.px:
        if c not in seen:
            seen[c] = len(seen)
    return seen


def bmp_bytes(img, true_colour=False):
    """A Windows bitmap: 8-bit palettized when the picture allows, else 24-bit."""
    colours = palette_of(img)
    eight = not true_colour and len(colours) <= 256
    bpp = 8 if eight else 24
    stride = (img.w * bpp // 8 + 3) & ~3
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in colours) if eight else b""
    rows = []
    for row in reversed(list(img.rows())):  # bottom-up, as the format stores it
        if eight:
            data = bytes(colours[c] for c in row)
        else:
            data = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        rows.append(data + b"\0" * (stride - len(data)))
    pixels = b"".join(rows)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, bpp, 0, len(pixels),
                       2835, 2835, len(colours) if eight else 0, 0)
    return header + info + table + pixels


GIF_MARKER = b"\x00\x21\xf9"  # block terminator, extension introducer, graphic control label


def lzw_encode(indices, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, acc, nbits = bytearray(), 0, 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    table, next_code, size = {}, end + 1, min_code_size + 1
    emit(clear, size)
    prefix = indices[0]
    for k in indices[1:]:
        code = table.get((prefix, k))
        if code is not None:
            prefix = code
            continue
        emit(prefix, size)
        if next_code < 4096:
            table[(prefix, k)] = next_code
            next_code += 1
            # The decoder adds its entry one code later, so it widens its
            # codes when our next code passes the current width.
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = {}, end + 1, min_code_size + 1
        prefix = k
    emit(prefix, size)
    emit(end, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data, size):
    return b"".join(bytes([len(data[i:i + size])]) + data[i:i + size]
                    for i in range(0, len(data), size)) + b"\0"


def gif_bytes(frames, delays):
    """An animated GIF89a: global colour table, endless loop, every frame whole."""
    w, h = frames[0].w, frames[0].h
    colours = {}
    for f in frames:
        for c in f.px:
            colours.setdefault(c, len(colours))
    bits = max(2, (len(colours) - 1).bit_length())
    table = b"".join(bytes(c) for c in colours) + b"\0\0\0" * ((1 << bits) - len(colours))
    head = b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80 | (7 << 4) | (bits - 1), 0, 0) + table
    head += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    body = []
    for f, delay in zip(frames, delays):
        lzw = lzw_encode([colours[c] for c in f.px], bits)
        # The program cuts the file into frames at every 00 21 F9; the image
        # data must not contain that sequence, so the sub-block lengths are
        # chosen to break any accidental occurrence.
        for block in range(255, 64, -1):
            data = sub_blocks(lzw, block)
            if GIF_MARKER not in data:
                break
        else:
            raise ValueError("cannot keep the frame marker out of the image data")
        gce = b"\x21\xf9\x04" + struct.pack("<BHBB", 1 << 2, delay, 0, 0)
        descriptor = b"\x2c" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        body.append(gce + descriptor + bytes([bits]) + data)
    return head + b"".join(body) + b"\x3b"


def wav_bytes(samples, rate):
    """Mono 8-bit PCM."""
    data = bytes(samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


def png_bytes(img, clear=None):
    """RGB, or RGBA with the colour `clear` fully transparent."""
    def pixel(c):
        return bytes(c) if clear is None else bytes(c) + (b"\0" if c == clear else b"\xff")

    raw = b"".join(b"\0" + b"".join(pixel(c) for c in row) for row in img.rows())

    def chunk(kind, payload):
        return (struct.pack(">I", len(payload)) + kind + payload
                + struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF))

    colour_type = 2 if clear is None else 6
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", img.w, img.h, 8, colour_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico_bytes(images, clear):
    """A Windows icon: one entry per picture, `clear` transparent. Pictures of 256
    pixels go in as PNG, as the system expects at that size; smaller ones as
    32-bit bitmaps with their AND mask, which every system reads."""
    entries = []
    for img in images:
        if img.w >= 256:
            entries.append(png_bytes(img, clear))
            continue
        colour = b"".join(b"\0\0\0\0" if c == clear else bytes((c[2], c[1], c[0], 255))
                          for row in reversed(list(img.rows())) for c in row)
        stride = (img.w + 31) // 32 * 4
        mask = b""
        for row in reversed(list(img.rows())):
            bits = 0
            for x, c in enumerate(row):
                bits |= (c == clear) << (stride * 8 - 1 - x)
            mask += bits.to_bytes(stride, "big")
        header = struct.pack("<IiiHHIIiiII", 40, img.w, 2 * img.h, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
        entries.append(header + colour + mask)
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for img, data in zip(images, entries):
        directory += struct.pack("<BBBBHHII", img.w % 256, img.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + b"".join(entries)


# ------------------------------------------------------------------ pictures

@dataclass(frozen=True)
class Tone:
    bright: tuple
    fill: tuple
    dim: tuple


GREEN_KEY = Tone(PHOSPHOR, GLOW, DIM)
AMBER_KEY = Tone(AMBER, AMBER_FILL, AMBER_DIM)
RED_KEY = Tone(RED, RED_FILL, RED_DIM)

BUTTON_W, BUTTON_H = 116, 28


def key_face(label, tone, hover, width=BUTTON_W, height=BUTTON_H, locked=False, outside=BACKDROP, density=1):
    """A key of the panel: unlit outline normally, inverse video under the cursor."""
    img = Image(width, height, tone.fill if hover else FACE, density)
    img.frame(0, 0, width, height, tone.bright if hover else tone.dim)
    for x, y in ((0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)):
        cut_corner(img, x, y, x > 0, y > 0, outside)  # clipped corners
    ink = INK if hover else tone.bright
    lamp = (235, 255, 240) if hover else tone.dim
    if locked:
        draw_glyph(img, 7, (height - GLYPH_H) // 2, LOCK_GLYPH, ink if hover else tone.bright)
    else:
        img.fill(7, (height - 12) // 2, 4, 12, lamp)
    # Letters a pixel apart keep eight of them clear of the lamp and the rim.
    left, right = 14, width - 4
    tw = text_width(label, 2, gap=1)
    draw_text(img, left + (right - left - tw) // 2, (height - 14) // 2, label, ink, 2, gap=1)
    return img


def title_picture(density=1):
    img = Image(352, 32, BACKDROP, density)
    draw_text(img, 0, 2, "CORVALE", PHOSPHOR, 4, unlit=(13, 27, 19), dots=True)
    draw_text(img, 180, 2, "VEXAL TERMINAL", GLOW, 2)
    draw_text(img, 180, 23, "SYSTEM PANEL  //  BUILD 1.0", DIM)
    return img


def tab_picture(label, density=1):
    """A section heading: a lit tab the section's rule runs on from."""
    width = text_width(label) + 14
    img = Image(width, 12, BACKDROP, density)
    img.fill(0, 0, width, 12, GLOW)
    cut_corner(img, 0, 0, False, False, BACKDROP)
    cut_corner(img, width - 1, 0, True, False, BACKDROP)
    draw_text(img, 7, 3, label, INK)
    return img


def gradient_bar(density=1):
    img = Image(256, 2, BACKDROP, density)
    d = density
    for x in range(img.w):
        t = math.sin(math.pi * (x + 0.5) / img.w) ** 2
        img.fill_pixels(x, 0, 1, d, lerp(BACKDROP, PHOSPHOR, t))
        img.fill_pixels(x, d, 1, d, lerp(BACKDROP, DIM, t))
    return img


def line_text_picture(text, colour, width, bullet=None, density=1):
    img = Image(width, 9, BACKDROP, density)
    x = 1
    if bullet is not None:
        img.fill(1, 2, 5, 5, bullet)
        x = 10
    draw_text(img, x, 1, text, colour)
    return img


METER_W, METER_H, METER_STEPS = 24, 120, 20


def meter_colour(segment):
    if segment >= 17:
        return RED
    if segment >= 12:
        return AMBER
    return lerp(GLOW, PHOSPHOR, segment / 11)


def meter_picture(step, density=1):
    """Volume step `step` of 20: segments 0..step lit, a marker at the level."""
    img = Image(METER_W, METER_H, BACKDROP, density)
    img.fill(4, 0, 16, METER_H, PANEL)
    pitch = METER_H // METER_STEPS
    for seg in range(METER_STEPS):
        top = METER_H - (seg + 1) * pitch + 1
        img.fill(6, top, 12, pitch - 2, meter_colour(seg) if seg <= step else FAINT)
    marker = METER_H - (step + 1) * pitch + 1 + (pitch - 2) // 2
    for i in range(3):  # small arrowheads either side of the lit top
        img.fill(i, marker - 2 + i, 1, 5 - 2 * i, PHOSPHOR)
        img.fill(METER_W - 1 - i, marker - 2 + i, 1, 5 - 2 * i, PHOSPHOR)
    return img


SWITCH_W, SWITCH_H = 40, 14


def switch_picture(muted, density=1):
    img = Image(SWITCH_W, SWITCH_H, BACKDROP, density)
    if muted:
        fill_round_rect(img, 0, 0, SWITCH_W, SWITCH_H, 6, RED_FILL)
        draw_text(img, (SWITCH_W - text_width("MUTE")) // 2, 4, "MUTE", INK)
    else:
        fill_round_rect(img, 0, 0, SWITCH_W, SWITCH_H, 6, DIM)
        fill_round_rect(img, 1, 1, SWITCH_W - 2, SWITCH_H - 2, 5, FACE)
        img.fill(6, 5, 4, 4, PHOSPHOR)
        draw_text(img, 14, 4, "ON", PHOSPHOR)
    return img


LABEL_W, LABEL_H = 42, 9
LINE_NAMES = ["Master", "Wave", "CD", "Line", "Synth", "Aux", "Digital", "Phone", "PC Spkr", "Mic"]


def label_file(kind):
    return "lbl_" + LINE_NAMES[kind].lower().replace(" ", "") + ".bmp"


def label_picture(name, density=1):
    img = Image(LABEL_W, LABEL_H, BACKDROP, density)
    draw_text(img, (LABEL_W - text_width(name)) // 2, 1, name, GLOW)
    return img


ACTIVITY_W, ACTIVITY_H = 64, 20
ACTIVITY_DELAYS = [40, 7, 15, 25, 10, 55]   # hundredths of a second, one per frame
ACTIVITY_LAMP = [True, False, True, True, False, True]
ACTIVITY_BARS = [[2, 5, 8, 4, 6], [6, 9, 5, 7, 3], [9, 4, 7, 10, 5],
                 [4, 7, 10, 6, 9], [7, 10, 6, 3, 8], [3, 6, 4, 8, 10]]


def activity_frame(n, density=1):
    img = Image(ACTIVITY_W, ACTIVITY_H, BACKDROP, density)
    lit = ACTIVITY_LAMP[n]
    fill_round_rect(img, 2, 4, 12, 12, 6, DIM if lit else FAINT)
    fill_round_rect(img, 4, 6, 8, 8, 4, PHOSPHOR if lit else (24, 56, 36))
    draw_text(img, 18, 7, "LINK", GLOW if lit else DIM)
    for i, level in enumerate(ACTIVITY_BARS[n]):
        x = 44 + 4 * i
        img.fill(x, 16 - 12, 3, 12, FAINT)
        img.fill(x, 16 - level, 3, level, meter_colour(level + 1))
    return img


PROMPT_W, PROMPT_H = 360, 176
PROMPT_TAB = (18, 0, 132, 24)        # left, top, width, height
PROMPT_BODY = (0, 18, PROMPT_W, PROMPT_H - 18)
PROMPT_FIELD = (22, 52, 316, 32)     # the frame drawn around the input box
PROMPT_INPUT = (26, 56, 308, 24)
PROMPT_OK = (50, 100, 100, 28)
PROMPT_CANCEL = (210, 100, 100, 28)
PROMPT_ACTIVITY = (278, 26, ACTIVITY_W, ACTIVITY_H)


def prompt_background(density=1):
    """A rounded plate with a tab on top, in a surround of the mask colour."""
    img = Image(PROMPT_W, PROMPT_H, MASK, density)
    bl, bt, bw, bh = PROMPT_BODY
    tl, tt, tw, th = PROMPT_TAB
    fill_round_rect(img, tl, tt, tw, th, 8, GLOW)
    fill_round_rect(img, bl, bt, bw, bh, 14, GLOW)
    fill_round_rect(img, bl + 2, bt + 2, bw - 4, bh - 4, 12, BACKDROP)
    img.fill(tl + 2, bt, tw - 4, 2, GLOW)  # the tab runs into the plate's rim
    draw_text(img, tl + (tw - text_width("PASSWORD", 2)) // 2, 3, "PASSWORD", INK, 2)
    draw_text(img, 24, 36, "ENTER THE ACCESS CODE", PHOSPHOR)
    fl, ft, fw, fh = PROMPT_FIELD
    img.fill(fl, ft, fw, fh, PANEL)
    img.frame(fl, ft, fw, fh, DIM)
    hint = "ENTER CONFIRMS  -  CANCEL CLOSES"
    draw_text(img, (PROMPT_W - text_width(hint)) // 2, 146, hint, DIM)
    return img


# --------------------------------------------------------------------- sounds

RATE = 22050


def render_sound(notes, length):
    """Notes are (start s, start Hz, end Hz, duration s, wave, volume, decay per s)."""
    buf = [0.0] * int(length * RATE)
    for start, f0, f1, dur, wave, vol, decay in notes:
        i0, n, phase = int(start * RATE), int(dur * RATE), 0.0
        for i in range(n):
            if i0 + i >= len(buf):
                break
            phase = (phase + (f0 + (f1 - f0) * i / n) / RATE) % 1.0
            if wave == "square":
                s = 0.7 if phase < 0.5 else -0.7
            elif wave == "triangle":
                s = 4 * abs(phase - 0.5) - 1
            else:
                s = math.sin(2 * math.pi * phase)
            envelope = min(1.0, i / (0.003 * RATE)) * min(1.0, (n - i) / (0.008 * RATE))
            buf[i0 + i] += vol * s * envelope * math.exp(-decay * i / RATE)
    return [max(0, min(255, 128 + round(127 * v))) for v in buf]


SOUNDS = {
    # a rising arpeggio as the panel comes up
    "startup": ([(0.00, 440, 440, 0.14, "triangle", 0.45, 4), (0.12, 554.37, 554.37, 0.14, "triangle", 0.45, 4),
                 (0.24, 659.26, 659.26, 0.14, "triangle", 0.45, 4), (0.36, 880, 880, 0.38, "triangle", 0.5, 5),
                 (0.36, 1760, 1760, 0.30, "sine", 0.12, 8)], 0.76),
    "hover": ([(0.0, 2093, 2093, 0.035, "sine", 0.3, 40)], 0.04),
    "click": ([(0.0, 1400, 600, 0.03, "square", 0.35, 60)], 0.035),
    "passstart": ([(0.0, 660, 660, 0.09, "sine", 0.4, 6), (0.10, 990, 990, 0.12, "sine", 0.4, 6)], 0.23),
    "passfail": ([(0.0, 220, 180, 0.16, "square", 0.3, 3), (0.20, 196, 150, 0.22, "square", 0.3, 3)], 0.43),
    "passok": ([(0.0, 784, 784, 0.09, "sine", 0.4, 5), (0.10, 1046.5, 1046.5, 0.09, "sine", 0.4, 5),
                (0.20, 1568, 1568, 0.16, "sine", 0.4, 6)], 0.37),
}


# ------------------------------------------------------------------- layouts

# Each layout skin is drawn for the smallest screen common at its width; the
# window is the work area less 4 pixels a side, and bottom-anchored parts
# (information box, sound-card report, status line) follow a taller screen.
SCREENS = {800: 600, 1024: 768, 1152: 864, 1280: 720, 1366: 768, 1440: 900, 1600: 900, 1920: 1080}
GENERAL_SCREEN = (800, 600)
TASKBAR = 40        # the layouts must also fit above a taskbar of this height

FONT = "Courier New"

INFO_LABELS = ["Operating System", "Version", "Build", "User", "Windows Folder", "System Folder",
               "Temp Folder", "Computer", "Processors", "Processor Mask", "Processor", "Total Memory",
               "Free Memory", "Total Virtual", "Free Virtual", "Removable Drives", "Fixed Drives",
               "CD-ROM Drives", "RAM Disks", "Network Drives", "Drive", "Type", "Size", "Free", "Label",
               "Serial", "Removable", "Fixed", "CD-ROM", "RAM Disk", "Network", "(no medium)"]

# label, picture base name, command, protected, tone
KEYS = [("DISPLAY", "btn_display", "CP05", False, GREEN_KEY),
        ("MOUSE", "btn_mouse", "CP11", False, GREEN_KEY),
        ("SOUNDS", "btn_sounds", "CP18", False, GREEN_KEY),
        ("PRINTERS", "btn_printers", "CP16", False, GREEN_KEY),
        ("CLOCK", "btn_clock", "CP04", False, GREEN_KEY),
        ("NOTEPAD", "btn_notepad", "notepad.exe", False, GREEN_KEY),
        ("EXPLORER", "btn_explorer", "explorer.exe", True, AMBER_KEY),
        ("QUIT", "btn_quit", "QUIT", False, RED_KEY)]

STATUS_TEXT = "CORVALE  //  VEXAL TERMINAL  //  SESSION ACTIVE"
HINT_TEXT = "AMBER KEYS ASK FOR THE ACCESS CODE"
STATUS_W, HINT_W = 280, 216


@dataclass
class Entry:
    file: str
    kind: str
    geometry: tuple                 # Left, Top, Width, Height as written
    extra: tuple = ()               # the fields after the geometry

    def value(self):
        return ",".join([self.file, self.kind] + [str(g) for g in self.geometry]
                        + [str(e) for e in self.extra])


@dataclass
class Layout:
    name: str
    screen: tuple
    client: tuple
    entries: list
    volume: list                    # ten lists of twelve numbers
    font_size: int
    notes: list = field(default_factory=list)


def grid_positions(count, columns, left, width, item_w, top, item_h, gap_y):
    gap_x = (width - columns * item_w) // (columns - 1) if columns > 1 else 0
    return [(left + (i % columns) * (item_w + gap_x), top + (i // columns) * (item_h + gap_y))
            for i in range(count)]


def make_layout(name, screen_w, screen_h):
    W, H = screen_w - 8, screen_h - 8
    m = max(12, screen_w // 64)
    font_size = 8 if screen_w < 1000 else 9 if screen_w < 1500 else 10
    inner = W - 3 * m
    rw = min(640, max(422, round(0.51 * inner)))     # right column: mixer, keys, report
    iw = inner - rw                                  # left column: the information box
    rx = m + iw + m
    y0 = 62
    bottom = 36                                      # the status line lives below this
    entries = [
        Entry("title.bmp", "P", (m, 10, 352, 32)),
        Entry("bar.bmp", "P", (0, 50, "100%", 2)),
        Entry("activity.gif", "A", (-(m + ACTIVITY_W), 14, ACTIVITY_W, ACTIVITY_H)),
    ]

    def heading(label, x, y, width):
        tab = tab_picture(label)
        entries.append(Entry(f"hdr_{label.split()[0].lower()}.bmp", "P", (x, y, tab.w, 12)))
        entries.append(Entry("rule.bmp", "P", (x + tab.w, y + 11, width - tab.w, 1)))

    heading("SYSTEM", m, y0, iw)
    entries.append(Entry("info", "L", (m, y0 + 18, iw, -bottom),
                         (*PANEL, *PHOSPHOR, FONT, font_size)))

    heading("MIXER", rx, y0, rw)
    slider_top = y0 + 18
    pitch = min(60, (rw - LABEL_W) // 9)
    slots_left = rx + (rw - (9 * pitch + LABEL_W)) // 2
    volume = []
    for slot in range(10):
        sx = slots_left + slot * pitch
        label_top = slider_top + METER_H + 4
        volume.append([sx + (LABEL_W - METER_W) // 2, slider_top, METER_W, METER_H,
                       sx, label_top, LABEL_W, LABEL_H,
                       sx + (LABEL_W - SWITCH_W) // 2, label_top + LABEL_H + 4, SWITCH_W, SWITCH_H])
    mixer_bottom = volume[0][9] + SWITCH_H

    keys_top = mixer_bottom + 14
    heading("CONTROL", rx, keys_top, rw)
    columns = min(len(KEYS), (rw + 8) // (BUTTON_W + 8))
    places = grid_positions(len(KEYS), columns, rx, rw, BUTTON_W, keys_top + 18, BUTTON_H, 8)
    for (label, base, command, protected, _), (x, y) in zip(KEYS, places):
        entries.append(Entry(base + ".bmp", "B", (x, y, BUTTON_W, BUTTON_H),
                             ("hover", "click", "True" if protected else "False", command)))
    keys_bottom = places[-1][1] + BUTTON_H

    report_top = keys_bottom + 14
    heading("SOUND CARD", rx, report_top, rw)
    entries.append(Entry("report", "L", (rx, report_top + 18, rw, -bottom),
                         (*PANEL, *AMBER, FONT, font_size)))

    entries.append(Entry("rule.bmp", "P", (0, -28, 0, 1)))
    entries.append(Entry("status.bmp", "P", (m, -20, STATUS_W, 9)))
    entries.append(Entry("hint.bmp", "P", (-(m + HINT_W), -20, HINT_W, 9)))
    return Layout(name, (screen_w, screen_h), (W, H), entries, volume, font_size)


def all_layouts():
    layouts = [make_layout("Corvale", *GENERAL_SCREEN)]
    layouts += [make_layout(f"Corvale{w}", w, h) for w, h in SCREENS.items()]
    return layouts


# --------------------------------------------------------------------- skins

def ini_bytes(comments, sections):
    lines = ["; " + c for c in comments] + [""]
    for name, pairs in sections:
        lines.append(f"[{name}]")
        lines += [f"{key}={value}" for key, value in pairs]
        lines.append("")
    return "\r\n".join(lines).encode("ascii")


def layout_skin(layout):
    if layout.name == "Corvale":
        what = "the layout for every screen width without a layout of its own"
    else:
        what = f"the layout for screens {layout.screen[0]} pixels wide"
    comments = [f"Corvale default theme: {what}.",
                f"Drawn for a {layout.screen[0]}x{layout.screen[1]} screen; made by scripts/make_theme.py."]
    default = [("BackGround", rgb_text(BACKDROP)), ("StartupSound", "startup")]
    default += [(f"{n:02d}", e.value()) for n, e in enumerate(layout.entries, 1)]
    info = [(f"{n:02d}", label) for n, label in enumerate(INFO_LABELS, 1)]
    volume = [(f"Meter{n:02d}", f"meter{n:02d}.bmp") for n in range(METER_STEPS)]
    volume += [("Meter20", "switch_on.bmp"), ("Meter21", "switch_mute.bmp")]
    volume += [(f"label{k}", label_file(k)) for k in range(10)]
    volume += [(f"volume{s}", ",".join(str(v) for v in g)) for s, g in enumerate(layout.volume)]
    return ini_bytes(comments, [("DEFAULT", default), ("INFO", info), ("VOLUME", volume)])


def prompt_entries():
    return [Entry("pbtn_ok.bmp", "B", PROMPT_OK, ("hover", "click", "False", "OK")),
            Entry("pbtn_cancel.bmp", "B", PROMPT_CANCEL, ("hover", "click", "False", "QUIT")),
            Entry("activity.gif", "A", PROMPT_ACTIVITY)]


def theme_skin():
    comments = ["Corvale default theme: theme-wide switches, sounds and the password prompt.",
                "Made by scripts/make_theme.py."]
    default = [("Animated", "True"), ("AnimDelay", "15"), ("Sound", "True"), ("Multiple", "False"),
               ("PassStartSound", "passstart"), ("PassFailSound", "passfail"), ("PassOkSound", "passok")]
    box = (*PROMPT_INPUT, *PANEL, *PHOSPHOR, FONT, 12)
    prompt = [("BackGround", "prompt_bg.bmp"), ("MaskColor", rgb_text(MASK)),
              ("InputBox", ",".join(str(v) for v in box))]
    prompt += [(f"{n:02d}", e.value()) for n, e in enumerate(prompt_entries(), 1)]
    startup = [("Animated", "False"), ("AnimDelay", "0")]
    return ini_bytes(comments, [("DEFAULT", default), ("INPUT", prompt), ("STARTUP", startup)])


# ----------------------------------------------------------------- the theme

DENSITIES = (1, 2)  # the plain pictures, and the @2x ones for dense screens


def variant_name(name, density):
    """title.bmp at density 2 is title@2x.bmp, as the program looks for it."""
    if density == 1:
        return name
    stem, dot, extension = name.rpartition(".")
    return f"{stem}@{density}x{dot}{extension}"


def pictures(density=1):
    """Every picture of the theme by file name (the GIF aside), drawn at `density`."""
    d = density
    out = {"title.bmp": title_picture(d), "bar.bmp": gradient_bar(d),
           "rule.bmp": Image(4, 1, DIM, d),
           "status.bmp": line_text_picture(STATUS_TEXT, DIM, STATUS_W, density=d),
           "hint.bmp": line_text_picture(HINT_TEXT, DIM, HINT_W, bullet=AMBER_FILL, density=d)}
    for label in ("SYSTEM", "MIXER", "CONTROL", "SOUND CARD"):
        out[f"hdr_{label.split()[0].lower()}.bmp"] = tab_picture(label, d)
    for label, base, _, protected, tone in KEYS:
        out[base + ".bmp"] = key_face(label, tone, False, locked=protected, density=d)
        out[base + "a.bmp"] = key_face(label, tone, True, locked=protected, density=d)
    for step in range(METER_STEPS):
        out[f"meter{step:02d}.bmp"] = meter_picture(step, d)
    out["switch_on.bmp"] = switch_picture(False, d)
    out["switch_mute.bmp"] = switch_picture(True, d)
    for kind, name in enumerate(LINE_NAMES):
        out[label_file(kind)] = label_picture(name, d)
    out["prompt_bg.bmp"] = prompt_background(d)
    for base, label, tone in (("pbtn_ok", "OK", GREEN_KEY), ("pbtn_cancel", "CANCEL", RED_KEY)):
        w, h = PROMPT_OK[2], PROMPT_OK[3]
        out[base + ".bmp"] = key_face(label, tone, False, w, h, density=d)
        out[base + "a.bmp"] = key_face(label, tone, True, w, h, density=d)
    return out


ICON_SIZES = (16, 32, 48, 256)


def icon_picture(size):
    """The program's icon: a prompt on a lit-edged key, in the theme's phosphor."""
    img = Image(size, size, MASK)
    radius, edge = max(2, size // 6), max(1, size // 16)
    fill_round_rect(img, 0, 0, size, size, radius, GLOW)
    fill_round_rect(img, edge, edge, size - 2 * edge, size - 2 * edge, max(1, radius - edge), BACKDROP)
    scale = max(1, size // 16)
    x = (size - text_width(">_", scale)) // 2
    y = (size - GLYPH_H * scale) // 2
    draw_text(img, x, y, ">_", PHOSPHOR, scale, dots=scale >= 3)
    return img


def icon_file():
    return ico_bytes([icon_picture(size) for size in ICON_SIZES], MASK)


def activity_frames(density=1):
    return [activity_frame(n, density) for n in range(len(ACTIVITY_DELAYS))]


def theme_files():
    """File name -> bytes for the whole theme."""
    files = {}
    for d in DENSITIES:
        for name, img in pictures(d).items():
            files[variant_name(name, d)] = bmp_bytes(img)
        files[variant_name("activity.gif", d)] = gif_bytes(activity_frames(d), ACTIVITY_DELAYS)
    for name, (notes, length) in SOUNDS.items():
        files[name + ".wav"] = wav_bytes(render_sound(notes, length), RATE)
    files["terminal.skn"] = theme_skin()
    for layout in all_layouts():
        files[layout.name + ".skn"] = layout_skin(layout)
    return files


# ------------------------------------------------------- the daylight theme
#
# A second, light theme with another arrangement: the keys and the mixer in a
# column on the left, the information box and the sound-card report beside
# them, on paper-coloured ground.

DL_PAPER = (238, 233, 222)      # the window
DL_CARD = (250, 248, 242)       # text boxes and key faces
DL_INK = (40, 48, 60)
DL_RULE = (186, 178, 160)
DL_FAINT = (214, 207, 192)
DL_TEAL = (0, 122, 128)
DL_OCHRE = (184, 112, 16)
DL_BRICK = (178, 58, 44)

DL_KEY_W, DL_KEY_H = 136, 26
DL_SLIDER_W, DL_SLIDER_H = 16, 100
DL_SWITCH_W, DL_SWITCH_H = 36, 12
DL_LABEL_W, DL_LABEL_H = 44, 9
DL_ACTIVITY_W, DL_ACTIVITY_H = 64, 20
DL_ACTIVITY_DELAYS = [25, 25, 25, 60]
DL_SCREENS = {1024: 768, 1280: 720, 1366: 768, 1600: 900, 1920: 1080}
DL_LEFT, DL_COLUMN, DL_GAP = 24, 136, 24      # the left column of keys and mixer
DL_SLOTS = 3                                   # mixer lines shown side by side
DL_FONT_PX = 7                                 # a character of the boxes' font
DL_PROMPT_W, DL_PROMPT_H = 320, 150
DL_PROMPT_INPUT = (28, 60, 264, 22)
DL_PROMPT_OK = (40, 104, 100, 26)
DL_PROMPT_CANCEL = (180, 104, 100, 26)
DL_STATUS = "CORVALE DAYLIGHT  -  OCHRE KEYS ASK FOR THE ACCESS CODE"


def dl_tone(command, protected):
    return DL_OCHRE if protected else DL_BRICK if command == "QUIT" else DL_TEAL


def dl_key_face(label, tone, hover, width=DL_KEY_W, height=DL_KEY_H, locked=False):
    """A paper key: outlined in its colour, filled with it under the cursor."""
    img = Image(width, height, tone if hover else DL_CARD)
    img.frame(0, 0, width, height, tone)
    for x, y in ((0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)):
        img.set(x, y, DL_PAPER)
    ink = DL_CARD if hover else tone
    if locked:
        draw_glyph(img, 8, (height - GLYPH_H) // 2, LOCK_GLYPH, ink)
    tw = text_width(label, 2, gap=1)
    draw_text(img, (width - tw) // 2 + (4 if locked else 0), (height - 14) // 2, label, ink, 2, gap=1)
    return img


def dl_title():
    img = Image(300, 30, DL_PAPER)
    draw_text(img, 0, 4, "CORVALE", DL_INK, 3)
    draw_text(img, 138, 13, "DAYLIGHT", DL_TEAL)
    return img


def dl_heading(label):
    img = Image(text_width(label) + 2, 9, DL_PAPER)
    draw_text(img, 1, 1, label, DL_TEAL)
    return img


def dl_heading_file(label):
    return "head_" + label.split()[0].lower() + ".bmp"


def dl_slider(step):
    """Step `step` of 20: a track filled from the bottom, a bar at the level."""
    img = Image(DL_SLIDER_W, DL_SLIDER_H, DL_PAPER)
    img.fill(5, 0, 6, DL_SLIDER_H, DL_FAINT)
    level = (step + 1) * DL_SLIDER_H // METER_STEPS
    img.fill(5, DL_SLIDER_H - level, 6, level, DL_TEAL)
    img.fill(0, max(0, DL_SLIDER_H - level - 2), DL_SLIDER_W, 3, DL_INK)
    return img


def dl_switch(muted):
    img = Image(DL_SWITCH_W, DL_SWITCH_H, DL_BRICK if muted else DL_CARD)
    img.frame(0, 0, DL_SWITCH_W, DL_SWITCH_H, DL_BRICK if muted else DL_TEAL)
    label = "MUTE" if muted else "ON"
    draw_text(img, (DL_SWITCH_W - text_width(label)) // 2, 3, label, DL_CARD if muted else DL_TEAL)
    return img


def dl_label(name):
    img = Image(DL_LABEL_W, DL_LABEL_H, DL_PAPER)
    draw_text(img, (DL_LABEL_W - text_width(name)) // 2, 1, name, DL_INK)
    return img


def dl_activity_frame(n):
    """Four squares, one filled in turn, the last frame all of them."""
    img = Image(DL_ACTIVITY_W, DL_ACTIVITY_H, DL_PAPER)
    for i in range(4):
        x = 6 + i * 14
        filled = n == i or n == 3
        img.fill(x, 5, 10, 10, DL_TEAL if filled else DL_PAPER)
        img.frame(x, 5, 10, 10, DL_TEAL if filled else DL_RULE)
    return img


def dl_prompt_background():
    """A paper card with rounded corners on the mask colour."""
    img = Image(DL_PROMPT_W, DL_PROMPT_H, MASK)
    fill_round_rect(img, 0, 0, DL_PROMPT_W, DL_PROMPT_H, 10, DL_TEAL)
    fill_round_rect(img, 2, 2, DL_PROMPT_W - 4, DL_PROMPT_H - 4, 8, DL_CARD)
    draw_text(img, 28, 20, "ACCESS CODE", DL_INK, 2)
    left, top, width, height = DL_PROMPT_INPUT
    img.frame(left - 3, top - 3, width + 6, height + 6, DL_RULE)
    return img


def dl_unwrapped_width(limit):
    """The widest text box up to `limit` on whose lines the information box's
    two columns fit beside the scroll bar: the panel makes each column half
    the box's width in characters, less two."""
    for width in range(limit, limit - 2 * DL_FONT_PX, -1):
        columns = math.floor((width / DL_FONT_PX - 4) / 2)
        if (2 * columns + 1) * DL_FONT_PX <= width - 25:
            return width
    return limit


def dl_layout(name, screen_w, screen_h):
    """The left column, then the two boxes: side by side on wide screens, the
    report under the information box on narrow ones."""
    entries = [Entry("title.bmp", "P", (DL_LEFT, 14, 300, 30)),
               Entry("activity.gif", "A", (-(DL_LEFT + DL_ACTIVITY_W), 18, DL_ACTIVITY_W, DL_ACTIVITY_H)),
               Entry("rule.bmp", "P", (0, 52, 0, 1))]
    entries.append(Entry(dl_heading_file("KEYS"), "P", (DL_LEFT, 64, dl_heading("KEYS").w, 9)))
    for i, (label, base, command, protected, _) in enumerate(KEYS):
        entries.append(Entry(base + ".bmp", "B", (DL_LEFT, 78 + i * (DL_KEY_H + 6), DL_KEY_W, DL_KEY_H),
                             ("hover", "click", "True" if protected else "False", command)))
    mixer_top = 78 + len(KEYS) * (DL_KEY_H + 6) + 10
    entries.append(Entry(dl_heading_file("VOLUME"), "P", (DL_LEFT, mixer_top, dl_heading("VOLUME").w, 9)))
    slider_top = mixer_top + 14
    label_top = slider_top + DL_SLIDER_H + 4
    pitch = (DL_COLUMN - DL_LABEL_W) // (DL_SLOTS - 1)
    volume = []
    for slot in range(DL_SLOTS):
        x = DL_LEFT + slot * pitch
        volume.append([x + (DL_LABEL_W - DL_SLIDER_W) // 2, slider_top, DL_SLIDER_W, DL_SLIDER_H,
                       x, label_top, DL_LABEL_W, DL_LABEL_H,
                       x + (DL_LABEL_W - DL_SWITCH_W) // 2, label_top + DL_LABEL_H + 4, DL_SWITCH_W, DL_SWITCH_H])
    box_left = DL_LEFT + DL_COLUMN + DL_GAP
    room = screen_w - DL_LEFT - box_left
    box_colours = (*DL_CARD, *DL_INK, FONT, 8 if screen_w < 1000 else 9)

    def box(title, kind, left, top, width, height):
        entries.append(Entry(dl_heading_file(title), "P", (left, top - 14, dl_heading(title).w, 9)))
        entries.append(Entry(kind, "L", (left, top, width, height), box_colours))

    if screen_w < 1000:
        width = dl_unwrapped_width(room)
        box("SYSTEM", "info", box_left, 78, width, -206)
        box("SOUND CARD", "report", box_left, -180, width, -44)
    else:
        width = dl_unwrapped_width(room * 11 // 20)
        box("SYSTEM", "info", box_left, 78, width, -44)
        box("SOUND CARD", "report", box_left + width + DL_GAP, 78, room - width - DL_GAP, -44)
    entries.append(Entry("rule.bmp", "P", (0, -32, 0, 1)))
    entries.append(Entry("status.bmp", "P", (DL_LEFT, -22, text_width(DL_STATUS) + 2, 9)))
    return Layout(name, (screen_w, screen_h), (screen_w, screen_h), entries, volume, box_colours[-1])


def dl_layout_skin(layout):
    what = ("every screen width without a layout of its own" if layout.name == "Corvale"
            else f"screens {layout.screen[0]} pixels wide")
    comments = [f"Corvale daylight theme: the layout for {what}.",
                f"Drawn for a {layout.screen[0]}x{layout.screen[1]} screen; made by scripts/make_theme.py."]
    default = [("BackGround", rgb_text(DL_PAPER)), ("StartupSound", "startup")]
    default += [(f"{n:02d}", e.value()) for n, e in enumerate(layout.entries, 1)]
    info = [(f"{n:02d}", label) for n, label in enumerate(INFO_LABELS, 1)]
    volume = [(f"Meter{n:02d}", f"slider{n:02d}.bmp") for n in range(METER_STEPS)]
    volume += [("Meter20", "switch_on.bmp"), ("Meter21", "switch_mute.bmp")]
    volume += [(f"label{k}", label_file(k)) for k in range(10)]
    volume += [(f"volume{s}", ",".join(str(v) for v in g)) for s, g in enumerate(layout.volume)]
    return ini_bytes(comments, [("DEFAULT", default), ("INFO", info), ("VOLUME", volume)])


def dl_theme_skin():
    comments = ["Corvale daylight theme: theme-wide switches, sounds and the password prompt.",
                "Made by scripts/make_theme.py."]
    default = [("Animated", "True"), ("AnimDelay", "8"), ("Sound", "True"), ("Multiple", "True"),
               ("PassStartSound", "passstart"), ("PassFailSound", "passfail"), ("PassOkSound", "passok")]
    box = (*DL_PROMPT_INPUT, *DL_CARD, *DL_INK, FONT, 12)
    prompt = [("BackGround", "prompt_card.bmp"), ("MaskColor", rgb_text(MASK)),
              ("InputBox", ",".join(str(v) for v in box)),
              ("01", Entry("pkey_ok.bmp", "B", DL_PROMPT_OK, ("hover", "click", "False", "OK")).value()),
              ("02", Entry("pkey_cancel.bmp", "B", DL_PROMPT_CANCEL, ("hover", "click", "False", "QUIT")).value())]
    startup = [("Animated", "False"), ("AnimDelay", "0")]
    return ini_bytes(comments, [("DEFAULT", default), ("INPUT", prompt), ("STARTUP", startup)])


DL_SOUNDS = {
    # a soft two-note chime, a faint tick, a wooden click
    "startup": ([(0.00, 523.25, 523.25, 0.30, "sine", 0.4, 5), (0.16, 783.99, 783.99, 0.45, "sine", 0.35, 5)], 0.62),
    "hover": ([(0.0, 3200, 3200, 0.012, "sine", 0.12, 90)], 0.015),
    "click": ([(0.0, 900, 500, 0.025, "triangle", 0.35, 90)], 0.03),
    "passstart": ([(0.0, 587.33, 587.33, 0.12, "sine", 0.3, 6), (0.12, 880, 880, 0.16, "sine", 0.3, 6)], 0.3),
    "passfail": ([(0.0, 330, 262, 0.3, "triangle", 0.3, 4)], 0.32),
    "passok": ([(0.0, 659.25, 659.25, 0.1, "sine", 0.3, 5), (0.1, 880, 880, 0.1, "sine", 0.3, 5),
                (0.2, 1318.5, 1318.5, 0.2, "sine", 0.3, 6)], 0.42),
}


def dl_pictures():
    out = {"title.bmp": dl_title(), "rule.bmp": Image(4, 1, DL_RULE),
           "status.bmp": Image(text_width(DL_STATUS) + 2, 9, DL_PAPER)}
    draw_text(out["status.bmp"], 1, 1, DL_STATUS, DL_INK)
    for label in ("KEYS", "VOLUME", "SYSTEM", "SOUND CARD"):
        out[dl_heading_file(label)] = dl_heading(label)
    for label, base, command, protected, _ in KEYS:
        tone = dl_tone(command, protected)
        out[base + ".bmp"] = dl_key_face(label, tone, False, locked=protected)
        out[base + "a.bmp"] = dl_key_face(label, tone, True, locked=protected)
    for step in range(METER_STEPS):
        out[f"slider{step:02d}.bmp"] = dl_slider(step)
    out["switch_on.bmp"] = dl_switch(False)
    out["switch_mute.bmp"] = dl_switch(True)
    for kind, name in enumerate(LINE_NAMES):
        out[label_file(kind)] = dl_label(name)
    out["prompt_card.bmp"] = dl_prompt_background()
    for base, label, tone in (("pkey_ok", "OK", DL_TEAL), ("pkey_cancel", "CANCEL", DL_BRICK)):
        w, h = DL_PROMPT_OK[2], DL_PROMPT_OK[3]
        out[base + ".bmp"] = dl_key_face(label, tone, False, w, h)
        out[base + "a.bmp"] = dl_key_face(label, tone, True, w, h)
    return out


def daylight_theme_files():
    """File name -> bytes for the daylight theme."""
    files = {name: bmp_bytes(img) for name, img in dl_pictures().items()}
    files["activity.gif"] = gif_bytes([dl_activity_frame(n) for n in range(4)], DL_ACTIVITY_DELAYS)
    for name, (notes, length) in DL_SOUNDS.items():
        files[name + ".wav"] = wav_bytes(render_sound(notes, length), RATE)
    files["terminal.skn"] = dl_theme_skin()
    layouts = [dl_layout("Corvale", *GENERAL_SCREEN)]
    layouts += [dl_layout(f"Corvale{w}", w, h) for w, h in DL_SCREENS.items()]
    for layout in layouts:
        files[layout.name + ".skn"] = dl_layout_skin(layout)
    return files


# --------------------------------------------------------------------- main

THEMES = {"default": theme_files, "daylight": daylight_theme_files}


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--theme", choices=sorted(THEMES), default="default", help="which theme to make")
    parser.add_argument("--out", type=Path, help="theme folder to write (themes/THEME by default)")
    parser.add_argument("--icon", type=Path, default=ICON_FILE, help="icon file to write (with the default theme)")
    args = parser.parse_args(argv)
    files = THEMES[args.theme]()
    out = args.out or THEME_DIR.parent / args.theme
    out.mkdir(parents=True, exist_ok=True)
    for name, data in sorted(files.items()):
        path = out / name
        if not path.exists() or path.read_bytes() != data:
            path.write_bytes(data)
    print(f"{len(files)} files, {sum(len(d) for d in files.values())} bytes in {out}")
    if args.theme == "default":
        icon = icon_file()
        if not args.icon.exists() or args.icon.read_bytes() != icon:
            args.icon.write_bytes(icon)
        print(f"icon, {len(icon)} bytes, in {args.icon}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
