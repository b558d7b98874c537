#!/usr/bin/env python3
"""Makes Corvale's default theme: pictures, the animated indicator, sounds and skins.

Standard library only. Every run writes the same bytes, so the generated files
are committed beside the skins and the program runs without this script.

    make_theme.py                  write the theme into themes/default and the
                                   program's icon to platform/win32/corvale.ico
    make_theme.py --out DIR        write the theme somewhere else
    make_theme.py --icon FILE      write the icon somewhere else
    make_theme.py --preview DIR    also draw PNG previews of every layout and the icon
    make_theme.py --check          verify the committed theme and icon (exit 1 on a fault)
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
    """An RGB picture held as a flat list of (r, g, b) tuples, row by row."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.w, self.h = width, height
        self.px = [colour] * (width * height)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def set(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = colour

    def fill(self, x, y, w, h, colour):
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
                    self.set(x + sx, y + sy, c)

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
    """Whether pixel (x, y) lies in the rectangle with corners of radius r."""
    if not (left <= x < left + w and top <= y < top + h):
        return False
    cx = min(max(x + 0.5, left + r), left + w - r)
    cy = min(max(y + 0.5, top + r), top + h - r)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


def fill_round_rect(img, left, top, w, h, r, colour):
    for y in range(max(0, top), min(img.h, top + h)):
        for x in range(max(0, left), min(img.w, left + w)):
            if in_round_rect(x, y, left, top, w, h, r):
                img.px[y * img.w + x] = colour


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


def read_bmp(data):
    """Reads back what bmp_bytes writes (8 or 24 bits, bottom-up, uncompressed)."""
    if data[:2] != b"BM":
        raise ValueError("not a bitmap")
    offset = struct.unpack_from("<I", data, 10)[0]
    size, w, h, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    if size != 40 or planes != 1 or compression != 0 or bpp not in (8, 24) or h <= 0:
        raise ValueError("unexpected bitmap header")
    used = struct.unpack_from("<I", data, 46)[0] or 256
    table = [tuple(data[54 + 4 * i + k] for k in (2, 1, 0)) for i in range(used)] if bpp == 8 else []
    stride = (w * bpp // 8 + 3) & ~3
    img = Image(w, h)
    for y in range(h):
        row = offset + (h - 1 - y) * stride
        for x in range(w):
            if bpp == 8:
                img.px[y * w + x] = table[data[row + x]]
            else:
                b, g, r = data[row + 3 * x:row + 3 * x + 3]
                img.px[y * w + x] = (r, g, b)
    return img


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


def lzw_decode(data, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    base = [bytes([i]) for i in range(clear)] + [b"", b""]
    table, size, prev = list(base), min_code_size + 1, None
    out, pos, total = bytearray(), 0, len(data) * 8
    while pos + size <= total:
        code = int.from_bytes(data[pos // 8:pos // 8 + 3].ljust(3, b"\0"), "little") >> (pos % 8)
        code &= (1 << size) - 1
        pos += size
        if code == clear:
            table, size, prev = list(base), min_code_size + 1, None
            continue
        if code == end:
            return bytes(out)
        if prev is None:
            if code >= len(table):
                raise ValueError("LZW data starts with an unknown code")
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            if len(table) < 4096:
                table.append(prev + entry[:1])
        elif code == len(table):
            entry = prev + prev[:1]
            table.append(entry)
        else:
            raise ValueError("LZW code out of range")
        out += entry
        prev = entry
        if len(table) == (1 << size) and size < 12:
            size += 1
    raise ValueError("LZW data ends without an end code")


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


def read_gif(data):
    """Frames of a GIF as (Image, delay in hundredths); understands what gif_bytes writes."""
    if data[:6] not in (b"GIF87a", b"GIF89a"):
        raise ValueError("not a GIF")
    w, h, packed = struct.unpack_from("<HHB", data, 6)
    pos, table = 13, []
    if packed & 0x80:
        n = 2 << (packed & 7)
        table = [tuple(data[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)]
        pos += 3 * n
    frames, delay = [], 0
    while True:
        if pos >= len(data):
            raise ValueError("GIF ends without a trailer")
        tag = data[pos]
        if tag == 0x3B:
            return frames, (w, h)
        if tag == 0x21:
            label = data[pos + 1]
            pos += 2
            if label == 0xF9:
                delay = struct.unpack_from("<H", data, pos + 2)[0]
            while data[pos]:
                pos += data[pos] + 1
            pos += 1
        elif tag == 0x2C:
            fx, fy, fw, fh, fpacked = struct.unpack_from("<HHHHB", data, pos + 1)
            if (fx, fy, fw, fh) != (0, 0, w, h) or fpacked & 0x80:
                raise ValueError("frames are expected whole, on the global colour table")
            pos += 10
            min_size = data[pos]
            pos += 1
            lzw = bytearray()
            while data[pos]:
                lzw += data[pos + 1:pos + 1 + data[pos]]
                pos += data[pos] + 1
            pos += 1
            indices = lzw_decode(bytes(lzw), min_size)
            if len(indices) < w * h:
                raise ValueError("frame has too few pixels")
            img = Image(w, h)
            img.px = [table[i] for i in indices[:w * h]]
            frames.append((img, delay))
        else:
            raise ValueError(f"unknown GIF block {tag:#x} at {pos}")


def cut_gif_frames(data):
    """Cuts the file as the program does: the header up to the first graphic
    control block's introducer, then one chunk per graphic control block."""
    m0 = data.find(GIF_MARKER)
    header = data[:m0 + 2] if m0 >= 0 else data[:1]
    q, chunks = m0 + 3, []
    while True:
        m = data.find(GIF_MARKER, q)
        if m < 0:
            break
        chunks.append(data[q - 1:m + 2])
        q = m + 3
    if q < len(data) - 1:
        chunks.append(data[q - 1:len(data) - 2])
    return header, chunks


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


def key_face(label, tone, hover, width=BUTTON_W, height=BUTTON_H, locked=False, outside=BACKDROP):
    """A key of the panel: unlit outline normally, inverse video under the cursor."""
    img = Image(width, height, tone.fill if hover else FACE)
    img.frame(0, 0, width, height, tone.bright if hover else tone.dim)
    for x, y in ((0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)):
        img.set(x, y, outside)  # clipped corners
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


def title_picture():
    img = Image(352, 32, BACKDROP)
    draw_text(img, 0, 2, "CORVALE", PHOSPHOR, 4, unlit=(13, 27, 19), dots=True)
    draw_text(img, 180, 2, "VEXAL TERMINAL", GLOW, 2)
    draw_text(img, 180, 23, "SYSTEM PANEL  //  BUILD 1.0", DIM)
    return img


def tab_picture(label):
    """A section heading: a lit tab the section's rule runs on from."""
    img = Image(text_width(label) + 14, 12, BACKDROP)
    img.fill(0, 0, img.w, 12, GLOW)
    img.set(0, 0, BACKDROP)
    img.set(img.w - 1, 0, BACKDROP)
    draw_text(img, 7, 3, label, INK)
    return img


def gradient_bar():
    img = Image(256, 2, BACKDROP)
    for x in range(256):
        t = math.sin(math.pi * (x + 0.5) / 256) ** 2
        img.fill(x, 0, 1, 1, lerp(BACKDROP, PHOSPHOR, t))
        img.fill(x, 1, 1, 1, lerp(BACKDROP, DIM, t))
    return img


def line_text_picture(text, colour, width, bullet=None):
    img = Image(width, 9, BACKDROP)
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


def meter_picture(step):
    """Volume step `step` of 20: segments 0..step lit, a marker at the level."""
    img = Image(METER_W, METER_H, BACKDROP)
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


def switch_picture(muted):
    img = Image(SWITCH_W, SWITCH_H, BACKDROP)
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


def label_picture(name):
    img = Image(LABEL_W, LABEL_H, BACKDROP)
    draw_text(img, (LABEL_W - text_width(name)) // 2, 1, name, GLOW)
    return img


ACTIVITY_W, ACTIVITY_H = 64, 20
ACTIVITY_DELAYS = [40, 7, 15, 25, 10, 55]   # hundredths of a second, one per frame
ACTIVITY_LAMP = [True, False, True, True, False, True]
ACTIVITY_BARS = [[2, 5, 8, 4, 6], [6, 9, 5, 7, 3], [9, 4, 7, 10, 5],
                 [4, 7, 10, 6, 9], [7, 10, 6, 3, 8], [3, 6, 4, 8, 10]]


def activity_frame(n):
    img = Image(ACTIVITY_W, ACTIVITY_H, BACKDROP)
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


def prompt_background():
    """A rounded plate with a tab on top, in a surround of the mask colour."""
    img = Image(PROMPT_W, PROMPT_H, MASK)
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

def pictures():
    """Every picture of the theme by file name (the GIF aside)."""
    out = {"title.bmp": title_picture(), "bar.bmp": gradient_bar(),
           "rule.bmp": Image(4, 1, DIM),
           "status.bmp": line_text_picture(STATUS_TEXT, DIM, STATUS_W),
           "hint.bmp": line_text_picture(HINT_TEXT, DIM, HINT_W, bullet=AMBER_FILL)}
    for label in ("SYSTEM", "MIXER", "CONTROL", "SOUND CARD"):
        out[f"hdr_{label.split()[0].lower()}.bmp"] = tab_picture(label)
    for label, base, _, protected, tone in KEYS:
        out[base + ".bmp"] = key_face(label, tone, False, locked=protected)
        out[base + "a.bmp"] = key_face(label, tone, True, locked=protected)
    for step in range(METER_STEPS):
        out[f"meter{step:02d}.bmp"] = meter_picture(step)
    out["switch_on.bmp"] = switch_picture(False)
    out["switch_mute.bmp"] = switch_picture(True)
    for kind, name in enumerate(LINE_NAMES):
        out[label_file(kind)] = label_picture(name)
    out["prompt_bg.bmp"] = prompt_background()
    for base, label, tone in (("pbtn_ok", "OK", GREEN_KEY), ("pbtn_cancel", "CANCEL", RED_KEY)):
        w, h = PROMPT_OK[2], PROMPT_OK[3]
        out[base + ".bmp"] = key_face(label, tone, False, w, h)
        out[base + "a.bmp"] = key_face(label, tone, True, w, h)
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


def activity_frames():
    return [activity_frame(n) for n in range(len(ACTIVITY_DELAYS))]


def theme_files():
    """File name -> bytes for the whole theme."""
    files = {}
    for name, img in pictures().items():
        files[name] = bmp_bytes(img)
    files["activity.gif"] = gif_bytes(activity_frames(), ACTIVITY_DELAYS)
    for name, (notes, length) in SOUNDS.items():
        files[name + ".wav"] = wav_bytes(render_sound(notes, length), RATE)
    files["terminal.skn"] = theme_skin()
    for layout in all_layouts():
        files[layout.name + ".skn"] = layout_skin(layout)
    return files


# --------------------------------------------------------- skin geometry

def number(text):
    """The leading number of a field, as the program reads it."""
    text = str(text).strip()
    digits = ""
    for ch in text:
        if ch.isdigit() or (ch in "+-" and not digits) or (ch == "." and "." not in digits):
            digits += ch
        else:
            break
    try:
        return float(digits)
    except ValueError:
        return 0.0


def resolve(kind, fields, client):
    """The rectangle the builder gives an entry in a client area of this size."""
    W, H = client
    values = []
    for i, f in enumerate(fields):
        f = str(f)
        if kind == "P" and f.endswith("%"):
            values.append(round(number(f[:-1]) * (W if i % 2 == 0 else H) / 100))
        else:
            values.append(round(number(f)))
    left, top, width, height = values
    if left < 0:
        left += W
    if top < 0:
        top += H
    loose = kind in ("L", "P")
    if width < 0 or (loose and width == 0):
        width = W + width - left
    if height < 0 or (loose and height == 0):
        height = H + height - top
    return left, top, width, height


def resolve_volume(numbers, client):
    W, H = client
    return [v + (W if i % 2 == 0 else H) if v <= 0 else v for i, v in enumerate(numbers)]


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


# ------------------------------------------------------------------ preview

def sample_info(columns):
    def pad(text, width):
        return text[:width].ljust(width)
    facts = ["Windows XP", "5.1", "2600", "user", "C:\\windows", "C:\\windows\\system32",
             "C:\\users\\user\\Temp\\", "CORVALE-TEST", "2", "#3", "Intel(R) Core(TM) i5",
             "2.097.152K".rjust(12), "1.572.864K".rjust(12), "2.097.024K".rjust(12), "2.031.616K".rjust(12)]
    lines = [pad(INFO_LABELS[i], columns) + " " + pad(v, columns) for i, v in enumerate(facts)]
    lines += ["", pad("corvale.exe", columns) + " " + pad("Version 1.0.0.0 20250101", columns), ""]
    lines += [pad(INFO_LABELS[15 + i], columns) + " " + pad(v, columns)
              for i, v in enumerate(["0", "1", "0", "0", "1"])]
    for drive, kind, total, free, label, serial in (("c:", "Fixed", "21.474.836.480", "9.663.676.416",
                                                      "SYSTEM", "1A2B-3C4D"),
                                                     ("z:", "Network", "0", "0", "(no medium)", "0000-0000")):
        lines += ["", pad("Drive " + drive, columns), pad("Type", columns) + " " + kind,
                  pad("Size", columns) + " " + pad(total + " Bytes", columns),
                  pad("Free", columns) + " " + pad(free.rjust(len(total)) + " Bytes", columns),
                  pad("Label", columns) + " " + pad(label, columns),
                  pad("Serial", columns) + " " + pad(serial, columns)]
    return lines


def sample_report(columns):
    def row(a, b):
        return a[:columns].ljust(columns) + " " + b[:columns].ljust(columns)
    lines = [row("SoundCard", "Wine Mixer"), row("Driver Version", "1")]
    for name, short in (("Master Volume", "Master"), ("Wave Out", "Wave")):
        lines += [" ", row("AudioDevice:", name), row("Channels:", "2"), row("Connections:", "1"),
                  row("Controls:", "2"), row("Shortname:", short)]
    return lines


def font_cell(font_size):
    """Advance and line height of Courier New (or its metric twin) at 96 dots per inch."""
    return {8: (7, 12), 9: (7, 14), 10: (8, 15)}.get(font_size, (max(1, round(font_size * 0.8)),
                                                               max(1, round(font_size * 1.55))))


def draw_box_text(canvas, rect, lines, colour, font_size):
    cell_w, cell_h = font_cell(font_size)
    x0, y0, w, h = rect
    for n, line in enumerate(lines):
        y = y0 + 3 + n * cell_h
        if y + GLYPH_H > y0 + h:
            break
        for i, ch in enumerate(line.upper()):
            x = x0 + 3 + i * cell_w
            if x + GLYPH_W > x0 + w:
                break
            draw_glyph(canvas, x, y + (cell_h - GLYPH_H) // 2, GLYPHS.get(ch, GLYPHS["#"]), colour)


def render_layout(layout, files, client=None):
    client = client or layout.client
    pics = {name: read_bmp(data) for name, data in files.items() if name.endswith(".bmp")}
    gif_first = read_gif(files["activity.gif"])[0][0][0]
    canvas = Image(*client, BACKDROP)
    text_boxes = 0
    for e in layout.entries:
        x, y, w, h = resolve(e.kind, e.geometry, client)
        if e.kind == "L":
            text_boxes += 1
            canvas.fill(x, y, w, h, e.extra[:3])
            canvas.frame(x, y, w, h, FAINT)
            columns = int((w / font_cell(layout.font_size)[0] - 4) / 2)
            lines = sample_info(columns) if text_boxes == 1 else sample_report(columns)
            draw_box_text(canvas, (x, y, w, h), lines, e.extra[3:6], layout.font_size)
        elif e.kind == "A":
            canvas.blit(gif_first.stretched(w, h), x, y)
        else:
            canvas.blit(pics[e.file].stretched(w, h), x, y)
    levels = [15, 12, 9, 11, 6, 13, 4, 8, 17, 2]
    for slot, numbers in enumerate(layout.volume):
        g = resolve_volume(numbers, client)
        canvas.blit(pics[f"meter{levels[slot]:02d}.bmp"].stretched(g[2], g[3]), g[0], g[1])
        canvas.blit(pics[label_file(slot)].stretched(g[6], g[7]), g[4], g[5])
        muted = slot in (3, 8)
        canvas.blit(pics["switch_mute.bmp" if muted else "switch_on.bmp"].stretched(g[10], g[11]), g[8], g[9])
    return canvas


def render_prompt(files):
    bg = read_bmp(files["prompt_bg.bmp"])
    canvas = Image(bg.w + 40, bg.h + 40, (70, 70, 78))
    for y in range(canvas.h):                   # a checkerboard shows the cut-out surround
        for x in range(canvas.w):
            if (x // 10 + y // 10) % 2:
                canvas.set(x, y, (95, 95, 104))
    canvas.blit(bg, 20, 20, skip=MASK)
    x, y, w, h = PROMPT_INPUT
    canvas.fill(20 + x, 20 + y, w, h, PANEL)
    draw_text(canvas, 20 + x + 4, 20 + y + 8, "########", PHOSPHOR)
    for e in prompt_entries():
        if e.kind == "B":
            canvas.blit(read_bmp(files[e.file]), 20 + e.geometry[0], 20 + e.geometry[1])
        else:
            canvas.blit(read_gif(files[e.file])[0][0][0], 20 + e.geometry[0], 20 + e.geometry[1])
    return canvas


# -------------------------------------------------------------------- check

def parse_ini(data):
    """Sections and keys without regard to case; the first occurrence wins."""
    sections, current = {}, None
    for raw in data.decode("ascii").splitlines():
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].lower(), {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current.setdefault(key.strip().lower(), value.strip())
    return sections


class Checker:
    def __init__(self, theme_dir):
        self.dir = theme_dir
        self.faults = []

    def fault(self, text):
        self.faults.append(text)

    def read(self, name):
        path = self.dir / name
        if not path.is_file():
            self.fault(f"missing file {name}")
            return None
        return path.read_bytes()

    def picture(self, name):
        data = self.read(name)
        if data is None:
            return None
        try:
            return read_bmp(data)
        except (ValueError, struct.error, IndexError) as error:
            self.fault(f"{name}: unreadable bitmap ({error})")
            return None

    def sound(self, name, where):
        if not (self.dir / (name + ".wav")).is_file():
            self.fault(f"{where}: sound {name!r} has no file {name}.wav")

    # -- the files against the script
    def files_match(self, expected):
        if not self.dir.is_dir():
            self.fault(f"no theme folder {self.dir}")
            return
        for name, data in sorted(expected.items()):
            on_disk = self.read(name)
            if on_disk is not None and on_disk != data:
                self.fault(f"{name} differs from what the script makes (run scripts/make_theme.py)")
        known = set(expected) | {"README.md"}
        for path in sorted(self.dir.iterdir()):
            if path.name not in known:
                self.fault(f"{path.name} is not made by the script")

    # -- the animated indicator
    def gif(self, name):
        data = self.read(name)
        if data is None:
            return None
        try:
            frames, size = read_gif(data)
        except (ValueError, struct.error, IndexError) as error:
            self.fault(f"{name}: unreadable GIF ({error})")
            return None
        delays = [d for _, d in frames]
        if not 4 <= len(frames) <= 8:
            self.fault(f"{name}: {len(frames)} frames, 4 to 8 wanted")
        if len(set(delays)) != len(delays) or min(delays) <= 0:
            self.fault(f"{name}: frame delays {delays} are not distinct and positive")
        if len({tuple(f.px) for f, _ in frames}) != len(frames):
            self.fault(f"{name}: two frames look the same")
        header, chunks = cut_gif_frames(data)
        if len(chunks) != len(frames):
            self.fault(f"{name}: cutting at 00 21 F9 gives {len(chunks)} frames for {len(frames)}")
        for n, chunk in enumerate(chunks):
            cut = header + chunk
            cut = cut[:-1] + b"\x3b" if cut.endswith(b"\x21") else cut + b"\x00\x3b"
            try:
                single, _ = read_gif(cut)
            except (ValueError, struct.error, IndexError) as error:
                self.fault(f"{name}: cut frame {n + 1} does not decode ({error})")
                continue
            if len(single) != 1 or n >= len(frames) or single[0][0].px != frames[n][0].px:
                self.fault(f"{name}: cut frame {n + 1} differs from frame {n + 1}")
            if n < len(delays) and struct.unpack_from("<H", chunk, 3)[0] != delays[n]:
                self.fault(f"{name}: cut frame {n + 1} does not carry its delay at bytes 3 and 4")
        if b"NETSCAPE2.0" not in header:
            self.fault(f"{name}: no loop extension")
        return size

    # -- one layout skin
    def layout(self, layout):
        skin = parse_ini(self.read(layout.name + ".skn") or b"")
        default = skin.get("default", {})
        where = layout.name + ".skn"
        background = default.get("background", "").split(",")
        if len(background) != 3 or not all(0 <= number(c) <= 255 for c in background):
            self.fault(f"{where}: BackGround {default.get('background')!r} is not r,g,b")
        if "startupsound" not in default:
            self.fault(f"{where}: no StartupSound")
        else:
            self.sound(default["startupsound"], where)
        entries, n = [], 1
        while f"{n:02d}" in default:
            entries.append((n, default[f"{n:02d}"].split(",")))
            n += 1
        stray = [k for k in default if k.isdigit() and int(k) >= n]
        if stray:
            self.fault(f"{where}: entries {stray} follow a gap and are never read")
        for client in (layout.client, (layout.client[0], layout.client[1] - TASKBAR)):
            self.layout_geometry(where, entries, skin.get("volume", {}), client)
        self.layout_kinds(where, entries, layout)
        info = skin.get("info", {})
        for k, label in enumerate(INFO_LABELS, 1):
            if info.get(f"{k:02d}") != label:
                self.fault(f"{where}: [INFO] {k:02d} is {info.get(f'{k:02d}')!r}, not {label!r}")
        self.volume_keys(where, skin.get("volume", {}))

    def layout_kinds(self, where, entries, layout):
        boxes = [f for _, f in entries if f[1] == "L"]
        if len(boxes) < 2:
            self.fault(f"{where}: fewer than two text boxes")
        else:
            info, report = (resolve("L", b[2:6], layout.client) for b in boxes[:2])
            if info[2] * info[3] <= report[2] * report[3]:
                self.fault(f"{where}: the information box is not the larger of the first two")
            lines = info[3] // font_cell(int(boxes[0][13]))[1]
            if layout.screen == (1024, 768) and lines < 42:
                self.fault(f"{where}: the information box holds about {lines} lines, 45 wanted")
            for b in boxes[:2]:
                if b[12] != FONT:
                    self.fault(f"{where}: text box font {b[12]!r} is not fixed-pitch {FONT!r}")
        commands = {}
        for n, f in entries:
            if f[1] not in "LPBA" or len(f[1]) != 1:
                self.fault(f"{where}: entry {n:02d} has no kind letter")
            elif f[1] == "B":
                if len(f) < 10:
                    self.fault(f"{where}: button entry {n:02d} has {len(f)} fields")
                    continue
                commands[",".join(f[9:])] = f[8]
                hover = f[0][:-4] + "a" + f[0][-4:]
                normal, lit = self.picture(f[0]), self.picture(hover)
                if normal and lit and (normal.w, normal.h) != (lit.w, lit.h):
                    self.fault(f"{where}: {f[0]} and {hover} differ in size")
                if normal and (normal.w, normal.h) != (int(f[4]), int(f[5])):
                    self.fault(f"{where}: button {f[0]} is placed at a size other than its picture's")
                self.sound(f[6], where)
                self.sound(f[7], where)
                if f[8] not in ("True", "False"):
                    self.fault(f"{where}: button {f[0]} password flag {f[8]!r}")
            elif f[1] == "P":
                self.picture(f[0])
            elif f[1] == "A":
                size = self.gif(f[0])
                if size and size != (int(f[4]), int(f[5])):
                    self.fault(f"{where}: {f[0]} is placed at a size other than its own")
        wanted = {"CP05": "False", "CP11": "False", "CP18": "False", "CP16": "False", "CP04": "False",
                  "notepad.exe": "False", "explorer.exe": "True", "QUIT": "False"}
        for command, flag in wanted.items():
            if commands.get(command) != flag:
                self.fault(f"{where}: no {'protected' if flag == 'True' else 'open'} {command} button")

    def layout_geometry(self, where, entries, volume, client):
        rects = []
        for n, f in entries:
            if f[1] in ("L", "P", "B", "A") and len(f) >= 6:
                rects.append((f"entry {n:02d} ({f[0]})", resolve(f[1], f[2:6], client)))
        for slot in range(10):
            numbers = [int(v) for v in volume.get(f"volume{slot}", "").split(",") if v.strip()]
            if len(numbers) != 12:
                continue
            g = resolve_volume(numbers, client)
            for part, i in (("slider", 0), ("label", 4), ("switch", 8)):
                rects.append((f"volume{slot} {part}", tuple(g[i:i + 4])))
        W, H = client
        for name, (x, y, w, h) in rects:
            if w <= 0 or h <= 0 or x < 0 or y < 0 or x + w > W or y + h > H:
                self.fault(f"{where} at {W}x{H}: {name} at {(x, y, w, h)} is not inside the window")
        for i, (name_a, a) in enumerate(rects):
            for name_b, b in rects[i + 1:]:
                if overlaps(a, b):
                    self.fault(f"{where} at {W}x{H}: {name_a} overlaps {name_b}")

    def volume_keys(self, where, volume):
        meters = []
        for n in range(22):
            key = f"meter{n:02d}"
            if key not in volume:
                self.fault(f"{where}: [VOLUME] Meter{n:02d} missing")
                continue
            img = self.picture(volume[key])
            if img and n < METER_STEPS:
                meters.append(img)
                if (img.w, img.h) != (METER_W, METER_H):
                    self.fault(f"{where}: {volume[key]} is {img.w}x{img.h}")
        lit = [sum(1 for c in m.px if c in (RED, AMBER) or (c[1] > 180 and c[0] < 130)) for m in meters]
        if any(b <= a for a, b in zip(lit, lit[1:])):
            self.fault(f"{where}: slider pictures do not fill step by step ({lit})")
        for k in range(10):
            if f"label{k}" in volume:
                self.picture(volume[f"label{k}"])
            else:
                self.fault(f"{where}: [VOLUME] label{k} missing")
            numbers = volume.get(f"volume{k}", "").split(",")
            if len(numbers) != 12 or not all(v.strip().isdigit() and int(v) > 0 for v in numbers):
                self.fault(f"{where}: volume{k} is not twelve positive numbers")

    # -- the theme skin and the prompt
    def theme(self):
        skin = parse_ini(self.read("terminal.skn") or b"")
        default, prompt, startup = (skin.get(s, {}) for s in ("default", "input", "startup"))
        for key, value in (("animated", "True"), ("animdelay", "15"), ("sound", "True"), ("multiple", "False"),
                           ("passstartsound", None), ("passfailsound", None), ("passoksound", None)):
            if key not in default or (value is not None and default[key] != value):
                self.fault(f"terminal.skn: [DEFAULT] {key} is {default.get(key)!r}")
            elif value is None:
                self.sound(default[key], "terminal.skn")
        if startup.get("animated") != "False" or startup.get("animdelay") != "0":
            self.fault("terminal.skn: [STARTUP] should be Animated=False, AnimDelay=0")
        bg = self.picture(prompt.get("background", "prompt_bg.bmp"))
        mask = tuple(int(number(c)) for c in prompt.get("maskcolor", "").split(","))
        if mask != MASK:
            self.fault(f"terminal.skn: MaskColor {prompt.get('maskcolor')!r}")
        if bg is None:
            return
        if bg.w % 4:
            self.fault("prompt_bg.bmp: width not a multiple of 4 (its rows would be padded)")
        if bg.get(0, 0) != MASK or bg.get(bg.w - 1, bg.h - 1) != MASK:
            self.fault("prompt_bg.bmp: corners are not of the mask colour")
        runs = {sum(1 for x in range(bg.w) if bg.get(x, y) != MASK) for y in range(bg.h)}
        if len(runs) < 3:
            self.fault("prompt_bg.bmp: the opaque shape is a plain rectangle")

        def opaque(rect):
            x, y, w, h = rect
            return all(bg.get(xx, yy) != MASK for yy in range(y, y + h) for xx in range(x, x + w))

        box = prompt.get("inputbox", "").split(",")
        if len(box) != 12:
            self.fault("terminal.skn: InputBox has not twelve fields")
        elif not opaque(tuple(int(v) for v in box[:4])):
            self.fault("terminal.skn: the input box reaches the transparent surround")
        commands, n = [], 1
        while f"{n:02d}" in prompt:
            f = prompt[f"{n:02d}"].split(",")
            rect = resolve(f[1], f[2:6], (bg.w, bg.h))
            if not opaque(rect):
                self.fault(f"terminal.skn: [INPUT] {n:02d} reaches the transparent surround")
            if f[1] == "B":
                commands.append(f[9])
                self.picture(f[0])
                self.picture(f[0][:-4] + "a" + f[0][-4:])
                self.sound(f[6], "terminal.skn")
                self.sound(f[7], "terminal.skn")
            n += 1
        if commands[:2] != ["OK", "QUIT"]:
            self.fault(f"terminal.skn: [INPUT] buttons are {commands}, OK and QUIT wanted")

    def sounds(self):
        import wave
        for name in SOUNDS:
            try:
                with wave.open(str(self.dir / (name + ".wav"))) as w:
                    seconds = w.getnframes() / w.getframerate()
                    if w.getsampwidth() not in (1, 2) or w.getnchannels() != 1 or not 0.02 < seconds < 1.0:
                        self.fault(f"{name}.wav: {w.getsampwidth() * 8}-bit, {seconds:.2f} s")
                    frames = w.readframes(w.getnframes())
                    if max(frames) - min(frames) < 40:
                        self.fault(f"{name}.wav is nearly silent")
            except (OSError, EOFError, wave.Error) as error:
                self.fault(f"{name}.wav: {error}")


def self_consistent():
    """Round trips of the writers through the readers, on pictures made to be awkward."""
    faults = []
    odd = Image(7, 3)
    for i in range(21):
        odd.px[i] = (i * 12 % 256, 255 - i, i * 7 % 256)
    for true_colour in (False, True):
        if read_bmp(bmp_bytes(odd, true_colour)).px != odd.px:
            faults.append(f"bitmap round trip fails (true colour {true_colour})")
    seed = 12345
    for size in (2, 4, 8):
        # Random symbols fill the code table (so the encoder must start over),
        # a long run exercises codes that refer to themselves.
        data = []
        for _ in range(20000):
            seed = (seed * 1103515245 + 12345) % 2 ** 31
            data.append((seed >> 16) % (1 << size))
        data += [1] * 3000
        try:
            if lzw_decode(lzw_encode(data, size), size) != bytes(data):
                faults.append(f"LZW round trip gives other symbols at code size {size}")
        except ValueError as error:
            faults.append(f"LZW round trip fails at code size {size}: {error}")
    return faults


def check(theme_dir):
    checker = Checker(theme_dir)
    checker.faults += self_consistent()
    checker.files_match(theme_files())
    for layout in all_layouts():
        checker.layout(layout)
    checker.theme()
    checker.sounds()
    return list(dict.fromkeys(checker.faults))  # each fault once, though several skins share a file


# --------------------------------------------------------------------- main

def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", type=Path, default=THEME_DIR, help="theme folder to write")
    parser.add_argument("--icon", type=Path, default=ICON_FILE, help="icon file to write")
    parser.add_argument("--preview", type=Path, help="folder for PNG previews of the layouts and the icon")
    parser.add_argument("--check", action="store_true", help="verify the theme folder instead of writing it")
    args = parser.parse_args(argv)
    if args.check:
        faults = check(args.out)
        if not args.icon.is_file() or args.icon.read_bytes() != icon_file():
            faults.append(f"{args.icon} differs from what the script makes (run scripts/make_theme.py)")
        for fault in faults:
            print("fault:", fault)
        print(f"{len(faults)} fault(s) in {args.out}")
        return 1 if faults else 0
    files = theme_files()
    args.out.mkdir(parents=True, exist_ok=True)
    for name, data in sorted(files.items()):
        path = args.out / name
        if not path.exists() or path.read_bytes() != data:
            path.write_bytes(data)
    print(f"{len(files)} files, {sum(len(d) for d in files.values())} bytes in {args.out}")
    icon = icon_file()
    if not args.icon.exists() or args.icon.read_bytes() != icon:
        args.icon.write_bytes(icon)
    print(f"icon, {len(icon)} bytes, in {args.icon}")
    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
        for layout in all_layouts():
            (args.preview / f"preview-{layout.name}.png").write_bytes(png_bytes(render_layout(layout, files)))
        (args.preview / "preview-prompt.png").write_bytes(png_bytes(render_prompt(files)))
        for size in ICON_SIZES:
            (args.preview / f"preview-icon{size}.png").write_bytes(png_bytes(icon_picture(size), MASK))
        print(f"previews in {args.preview}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
