#!/usr/bin/python3
"""Renders one of the game's bitmap fonts from a font file into its metrics file and sheets.

A font NAME is described by NAME.cfg (source font, pixel size, cell size, offset of the
glyphs in their cells). The output, in the given folder, is what the game loads for NAME:
NAME.inf (cell width and height, one number a line) and the four glyph sheets
NAME_engletters.pcx, NAME_numbers.pcx, NAME_signs.pcx and NAME_hunletters.pcx, white glyphs
on black, each glyph in its own cell. The sheets are written through our pcxconv.

The build stops when the source font lacks a glyph, or draws one outside its cell.
"""

import argparse
import gzip
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFont

# Each sheet: its file name ending, then its rows of characters, left to right. The order is
# the one in which the game looks its glyphs up.
SHEETS = [
    ("_engletters.pcx", ["abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"]),
    ("_numbers.pcx", ["0123456789"]),
    ("_signs.pcx", ["!\"#$%&'()*+,-./", ":;<=>?", "[\\]^_", "{|}~"]),
    ("_hunletters.pcx", ["áéíóöőúüű", "ÁÉÍÓÖŐÚÜŰ"]),
]

GLYPH_COLOUR = (255, 255, 255)  # the game tints glyphs by taking colour away from white


def fail(message):
    sys.stderr.write("make_font: %s\n" % message)
    sys.exit(1)


def read_config(path):
    settings = {}
    with open(path, encoding="utf-8") as config:
        for number, line in enumerate(config, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            key, separator, value = line.partition("=")
            if not separator:
                fail("%s:%d: expected KEY = VALUE" % (path, number))
            settings[key.strip()] = value.strip()
    try:
        width, height = (int(v) for v in settings["cell"].split("x"))
        offset_x, offset_y = (int(v) for v in settings.get("offset", "0,0").split(","))
        size = int(settings["size"])
    except (KeyError, ValueError) as error:
        fail("%s: needs size = N, cell = WxH and optionally offset = X,Y (%s)" % (path, error))
    return size, width, height, offset_x, offset_y


def pcf_code_points(path):
    """The code points a PCF font has glyphs for, from its encoding table; None for a font
    file of another format."""
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rb") as font:
        data = font.read()
    if data[:4] != b"\x01fcp":
        return None
    encodings = 1 << 5
    (count,) = struct.unpack_from("<I", data, 4)
    for entry in range(count):
        kind, _, _, offset = struct.unpack_from("<IIII", data, 8 + 16 * entry)
        if kind != encodings:
            continue
        (table_format,) = struct.unpack_from("<I", data, offset)
        order = ">" if table_format & 4 else "<"
        first2, last2, first1, last1, _ = struct.unpack_from(order + "5h", data, offset + 4)
        per_row = last2 - first2 + 1
        points = set()
        for byte1 in range(first1, last1 + 1):
            for byte2 in range(first2, last2 + 1):
                index = (byte1 - first1) * per_row + (byte2 - first2)
                (glyph,) = struct.unpack_from(order + "H", data, offset + 14 + 2 * index)
                if glyph != 0xFFFF:
                    points.add(byte1 << 8 | byte2)
        return points
    fail("%s has no encoding table" % path)


def glyph_cell(font, char, width, height, offset_x, offset_y):
    """The glyph alone in a cell, and whether any of its ink fell outside the cell."""
    margin = 16
    canvas = Image.new("L", (width + 2 * margin, height + 2 * margin), 0)
    ImageDraw.Draw(canvas).text((margin + offset_x, margin + offset_y), char, font=font,
                                fill=255, anchor="la")
    box = canvas.getbbox()
    outside = box is not None and (box[0] < margin or box[1] < margin or
                                   box[2] > margin + width or box[3] > margin + height)
    return canvas.crop((margin, margin, margin + width, margin + height)), outside


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--config", required=True, help="NAME.cfg")
    parser.add_argument("--font", required=True, help="the font file the config names")
    parser.add_argument("--pcxconv", required=True)
    parser.add_argument("--outdir", required=True)
    args = parser.parse_args()

    name = os.path.splitext(os.path.basename(args.config))[0]
    size, width, height, offset_x, offset_y = read_config(args.config)
    try:
        font = ImageFont.truetype(args.font, size)
    except OSError as error:
        fail("cannot load %s at %d pixels: %s" % (args.font, size, error))

    # A font without a glyph quietly draws its default one instead, so presence is read from
    # the font's own table where it has one, and otherwise by comparing with the default.
    present = pcf_code_points(args.font)
    missing, _ = glyph_cell(font, "\ue000", width, height, offset_x, offset_y)

    def has_glyph(char, cell):
        if present is not None:
            return ord(char) in present
        return cell.tobytes() != missing.tobytes()

    with open(os.path.join(args.outdir, name + ".inf"), "wb") as metrics:
        metrics.write(b"%d\r\n%d\r\n" % (width, height))

    with tempfile.TemporaryDirectory() as work:
        for ending, rows in SHEETS:
            columns = max(len(row) for row in rows)
            sheet = Image.new("RGB", (columns * width, len(rows) * height), (0, 0, 0))
            for row, chars in enumerate(rows):
                for column, char in enumerate(chars):
                    cell, outside = glyph_cell(font, char, width, height, offset_x, offset_y)
                    if cell.getbbox() is None or not has_glyph(char, cell):
                        fail("%s has no glyph for %r (U+%04X)" % (args.font, char, ord(char)))
                    if outside:
                        fail("%r of %s does not fit a %dx%d cell at offset %d,%d"
                             % (char, args.font, width, height, offset_x, offset_y))
                    # Bitmap fonts give full or no coverage; anything between stays grey.
                    ink = Image.new("RGB", cell.size, GLYPH_COLOUR)
                    sheet.paste(ink, (column * width, row * height), cell)
            png = os.path.join(work, "sheet.png")
            sheet.save(png, optimize=False)
            output = os.path.join(args.outdir, name + ending)
            result = subprocess.run([args.pcxconv, "from-png", png, output],
                                    capture_output=True, text=True)
            if result.returncode != 0:
                fail("pcxconv could not write %s: %s" % (output, result.stderr.strip()))


if __name__ == "__main__":
    main()
