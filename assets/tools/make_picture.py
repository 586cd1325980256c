#!/usr/bin/python3
"""Renders one SVG drawing into the game's PCX pictures.

The drawing is rendered with rsvg-convert at its own size, prepared for the way the game
draws it (see MODES), written as an 8-bit RGB PNG and handed to our pcxconv, so the
picture goes through the same encoder the modders' tools use. A strip drawing of N frames
side by side becomes N pictures, one per output name, left to right.
"""

import argparse
import os
import subprocess
import sys
import tempfile

from PIL import Image

# How each kind of picture reaches the screen decides how its transparent parts are kept:
#   keyed  - drawn with colour 0 as the key: every pixel is either the key or opaque, and no
#            opaque pixel may fall to 0 when the game drops the low bits of each channel.
#   glow   - added onto the screen: black adds nothing, so soft edges over black are fine.
#   opaque - copied as it is: transparency would only show as black.
MODES = ("keyed", "glow", "opaque")

# Half-covered pixels become opaque; anything less becomes the key. A hard cut keeps the
# drawing's own edge colour instead of mixing it with black into a dark fringe.
ALPHA_CUT = 128

# The smallest 8-bit channel values that survive the game's RGB565 conversion (5, 6, 5 bits).
FLOOR = (8, 4, 8)


def fail(message):
    sys.stderr.write("make_picture: %s\n" % message)
    sys.exit(1)


def visible_after_conversion(r, g, b):
    return r >= FLOOR[0] or g >= FLOOR[1] or b >= FLOOR[2]


def prepare(rgba, mode):
    width, height = rgba.size
    out = Image.new("RGB", (width, height), (0, 0, 0))
    if mode == "opaque":
        out.paste(rgba, (0, 0), rgba)
        return out
    if mode == "glow":
        out.paste(rgba, (0, 0), rgba)  # black where nothing is drawn, soft over black elsewhere
        return out
    source = rgba.load()
    target = out.load()
    for y in range(height):
        for x in range(width):
            r, g, b, a = source[x, y]
            if a < ALPHA_CUT:
                continue
            if not visible_after_conversion(r, g, b):
                # A dark detail that would turn into a hole: lift it to the darkest colour
                # that the conversion keeps.
                r, g, b = FLOOR
            target[x, y] = (r, g, b)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--rsvg-convert", required=True)
    parser.add_argument("--pcxconv", required=True)
    parser.add_argument("--mode", choices=MODES, required=True)
    parser.add_argument("svg")
    parser.add_argument("outputs", nargs="+", help="PCX files; several cut a strip into frames")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:
        rendered = os.path.join(work, "rendered.png")
        result = subprocess.run([args.rsvg_convert, "--format=png", "--output", rendered,
                                 args.svg], capture_output=True, text=True)
        if result.returncode != 0:
            fail("rsvg-convert could not render %s: %s" % (args.svg, result.stderr.strip()))
        rgba = Image.open(rendered).convert("RGBA")

        frames = len(args.outputs)
        if rgba.width % frames != 0:
            fail("%s is %d pixels wide, which does not split into %d equal frames"
                 % (args.svg, rgba.width, frames))
        frame_width = rgba.width // frames
        for index, output in enumerate(args.outputs):
            frame = rgba.crop((index * frame_width, 0, (index + 1) * frame_width, rgba.height))
            png = os.path.join(work, "frame.png")
            prepare(frame, args.mode).save(png, optimize=False)
            result = subprocess.run([args.pcxconv, "from-png", png, output],
                                    capture_output=True, text=True)
            if result.returncode != 0:
                fail("pcxconv could not write %s: %s" % (output, result.stderr.strip()))


if __name__ == "__main__":
    main()
