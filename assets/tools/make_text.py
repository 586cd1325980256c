#!/usr/bin/python3
"""Converts one of the game's texts from its UTF-8 source into code page 852.

The game reads texts one byte a character, in code page 852, and draws only what its fonts
hold: the ASCII letters, digits and signs (without '@' and '`'), the space, and the eighteen
Hungarian accented letters. Any other character stops the build here, with its place, rather
than turning into a blank on screen. Lines end with CR LF, as the game's DOS-era texts did.
"""

import argparse
import sys

HUNGARIAN = "áéíóöőúüűÁÉÍÓÖŐÚÜŰ"
DRAWN = set(chr(c) for c in range(0x21, 0x7F)) - {"@", "`"} | set(HUNGARIAN) | {" "}


def fail(message):
    sys.stderr.write("make_text: %s\n" % message)
    sys.exit(1)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("source", help="UTF-8 text")
    parser.add_argument("output", help="code page 852 text")
    args = parser.parse_args()

    try:
        with open(args.source, encoding="utf-8", newline="") as source:
            text = source.read()
    except UnicodeDecodeError as error:
        fail("%s is not UTF-8: %s" % (args.source, error))
    lines = text.replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()  # the final line end
    for number, line in enumerate(lines, 1):
        for column, char in enumerate(line, 1):
            if char not in DRAWN:
                fail("%s:%d:%d: the fonts cannot draw %r (U+%04X)"
                     % (args.source, number, column, char, ord(char)))
    with open(args.output, "wb") as output:
        output.write("".join(line + "\r\n" for line in lines).encode("cp852"))


if __name__ == "__main__":
    main()
