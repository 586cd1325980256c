#!/usr/bin/python3
"""Turns a line of lettering into an SVG path, for the drawings that carry words.

The pictures keep their lettering as outlines, so rendering them needs no font and gives the
same pixels on every machine. An artist re-letters a drawing with this helper (it needs
Debian's python3-fonttools and the font) and pastes the printed path into the SVG; the build
itself never runs it.

    letter_path.py FONT SIZE X Y TEXT [--spacing PX] [--anchor start|middle|end]
"""

import argparse

from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("font")
    parser.add_argument("size", type=float, help="em size in pixels")
    parser.add_argument("x", type=float)
    parser.add_argument("y", type=float, help="baseline")
    parser.add_argument("text")
    parser.add_argument("--spacing", type=float, default=0.0, help="extra pixels between letters")
    parser.add_argument("--anchor", choices=("start", "middle", "end"), default="start")
    args = parser.parse_args()

    font = TTFont(args.font)
    glyphs = font.getGlyphSet()
    cmap = font.getBestCmap()
    scale = args.size / font["head"].unitsPerEm
    names = [cmap[ord(c)] for c in args.text]
    width = sum(glyphs[n].width * scale + args.spacing for n in names) - args.spacing
    x = args.x - {"start": 0.0, "middle": width / 2, "end": width}[args.anchor]

    pen = SVGPathPen(glyphs, ntos=lambda v: ("%.2f" % v).rstrip("0").rstrip("."))
    for name in names:
        glyphs[name].draw(TransformPen(pen, (scale, 0, 0, -scale, x, args.y)))
        x += glyphs[name].width * scale + args.spacing
    print(pen.getCommands())


if __name__ == "__main__":
    main()
