#!/usr/bin/python3
"""Writes the malformed inputs every fuzz target replays in CI, one file each, under
fuzz/regressions/<target>/: each kind of damaged archive, picture, font, script, sound and
settings file, level or records file that the loaders must refuse cleanly. Files named finding-*
come from fuzz runs and are kept as found; this script only rewrites its own files."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "regressions")


def write(target, name, data):
    folder = os.path.join(OUT, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- Archives ---------------------------------------------------------------------------

def archive(entries, magic=b"MPK", version=(1, 0), count=None, directory=None, records=None):
    """entries: (name, data); records: (name, offset, size) written as given."""
    body = b""
    table = []
    for name, data in entries:
        table.append((name, 11 + len(body), len(data)))
        body += data
    table += records or []
    where = 11 + len(body) if directory is None else directory
    head = magic[:3].ljust(3, b"\0") + bytes(version)
    head += struct.pack("<HI", len(table) if count is None else count, where)
    rows = b"".join(n[:255].ljust(255, b"\0") + struct.pack("<ii", o, s) for n, o, s in table)
    return head + body + rows


def archives():
    t = "fuzz_archive"
    ok = archive([(b"a.txt", b"line\r\n")])
    write(t, "empty-file.mpk", b"")
    write(t, "header-cut-after-magic.mpk", b"MPK\x01")
    write(t, "header-cut-before-offset.mpk", b"MPK\x01\x00\x01\x00\x0b")
    write(t, "wrong-magic.mpk", b"MPQ" + ok[3:])
    write(t, "magic-with-zero.mpk", b"MP\x00" + ok[3:])
    write(t, "wrong-version.mpk", ok[:3] + b"\x02\x00" + ok[5:])
    write(t, "directory-past-end.mpk", archive([(b"a.txt", b"x")], directory=4000))
    write(t, "directory-count-too-large.mpk", archive([(b"a.txt", b"x")], count=65535))
    write(t, "directory-offset-wraps.mpk", archive([(b"a.txt", b"x")], directory=0xFFFFFFFF))
    write(t, "directory-over-header.mpk", archive([(b"a.txt", b"abc")], directory=0))
    write(t, "entry-past-end.mpk", archive([], records=[(b"big.pcx", 11, 100000)]))
    write(t, "entry-starts-at-end.mpk", archive([], records=[(b"none.txt", 11 + 263, 10)]))
    write(t, "entry-negative-offset.mpk", archive([], records=[(b"neg.txt", -5, 3)]))
    write(t, "entry-negative-size.mpk", archive([(b"a.txt", b"abc")],
                                                records=[(b"neg.txt", 11, -1)]))
    write(t, "entry-offset-size-wrap.mpk", archive([], records=[(b"w.txt", 0x7FFFFFF0, 0x7FFFFFF0)]))
    write(t, "entry-largest-size.mpk", archive([], records=[(b"huge", 0, 0x7FFFFFFF)]))
    write(t, "name-fills-field.mpk", archive([(b"N" * 255, b"no zero byte ends this name")]))
    write(t, "names-differ-in-case.mpk", archive([(b"Font.inf", b"1\r\n"), (b"FONT.INF", b"2\r\n"),
                                                  (b"font.inf", b"3")]))
    write(t, "names-non-ascii-case.mpk", archive([(b"\xe1.txt", b"a"), (b"\xc1.TXT", b"b")]))
    write(t, "zero-size-entries.mpk", archive([(b"", b""), (b"zero", b""), (b"one", b"\n")]))
    write(t, "lines-of-every-ending.mpk", archive([
        (b"mixed.txt", b"crlf\r\nlf\ncr\rlfcr\n\rcrcr\r\r\n\nend"),
        (b"long.txt", b"y" * 256 + b"\r\n" + b"z" * 255 + b"\n" + b"w" * 600),
        (b"cut.txt", b"ends with cr\r")]))


# ---- Pictures ---------------------------------------------------------------------------

def pcx_header(width, height, line_bytes=None, manufacturer=10, encoding=1, bits=8, planes=3,
               xmin=0, ymin=0, xmax=None, ymax=None):
    h = bytearray(128)
    h[0], h[1], h[2], h[3] = manufacturer, 5, encoding, bits
    xmax = width - 1 if xmax is None else xmax
    ymax = height - 1 if ymax is None else ymax
    struct.pack_into("<HHHH", h, 4, xmin, ymin, xmax & 0xFFFF, ymax & 0xFFFF)
    h[65] = planes
    line_bytes = width + (width & 1) if line_bytes is None else line_bytes
    struct.pack_into("<HH", h, 66, line_bytes & 0xFFFF, 1)
    return bytes(h)


def literal_lines(width, height, line_bytes=None, value=0x41):
    line_bytes = width + (width & 1) if line_bytes is None else line_bytes
    return bytes([value]) * (line_bytes * 3 * height)


def pictures():
    t = "fuzz_pcx"
    good = pcx_header(4, 2) + literal_lines(4, 2)
    write(t, "header-cut.pcx", good[:127])
    write(t, "header-only.pcx", pcx_header(4, 2))
    write(t, "data-cut-mid-line.pcx", good[:128 + 13])
    write(t, "data-ends-in-run-marker.pcx", pcx_header(2, 1) + b"\x41\x41\x41\x41\x41\xc2")
    write(t, "run-past-line-end.pcx", pcx_header(4, 2) + b"\xff\x10" * 6)
    write(t, "run-past-every-line.pcx", pcx_header(3, 3) + b"\xff\xfe" * 9 + b"\xc1")
    write(t, "run-byte-c0.pcx", pcx_header(2, 1) + b"\xc0\x55" * 40 + b"\x01" * 6)
    write(t, "runs-of-zero-only.pcx", pcx_header(2, 2) + b"\xc0\x00" * 200)
    write(t, "huge-dimensions-tiny-data.pcx", pcx_header(65535, 65535, 65535) + b"\xff\x00" * 64)
    write(t, "tall-one-column.pcx", pcx_header(1, 2000, 1) + b"\x01" * 3 * 2000)
    write(t, "width-negative.pcx", pcx_header(4, 2, xmin=10, xmax=3) + literal_lines(4, 2))
    write(t, "height-negative.pcx", pcx_header(4, 2, ymin=10, ymax=3) + literal_lines(4, 2))
    write(t, "origin-not-zero.pcx", pcx_header(3, 2, xmin=100, ymin=7, xmax=102, ymax=8)
          + literal_lines(3, 2))
    write(t, "bits-per-pixel-1.pcx", pcx_header(4, 2, bits=1) + literal_lines(4, 2))
    write(t, "bits-per-pixel-24.pcx", pcx_header(4, 2, bits=24) + literal_lines(4, 2))
    write(t, "one-plane.pcx", pcx_header(4, 2, planes=1) + literal_lines(4, 2))
    write(t, "four-planes.pcx", pcx_header(4, 2, planes=4) + literal_lines(4, 2))
    write(t, "not-compressed.pcx", pcx_header(4, 2, encoding=0) + literal_lines(4, 2))
    write(t, "manufacturer-0.pcx", pcx_header(4, 2, manufacturer=0) + literal_lines(4, 2))
    # A field shorter than the width loads as if it were the width rounded up to even.
    write(t, "line-bytes-below-width.pcx", pcx_header(5, 2, 4) + literal_lines(5, 2))
    write(t, "line-bytes-below-width-data-short.pcx",
          pcx_header(5, 2, 4) + literal_lines(5, 2, 4))
    write(t, "line-bytes-zero.pcx", pcx_header(5, 2, 0) + literal_lines(5, 2, 6))
    write(t, "line-bytes-one-run-over-padding.pcx", pcx_header(3, 1, 1) + b"\xc4\xfa" * 3)
    write(t, "width-65536-one-line.pcx",
          pcx_header(65536, 1, 65535) + (b"\xff\x12" * 1040 + b"\xd0\x34") * 3)
    write(t, "odd-width-unpadded.pcx", pcx_header(5, 3, 5) + literal_lines(5, 3, 5, 0x90))
    write(t, "odd-width-run-over-padding.pcx", pcx_header(3, 1) + b"\xc4\xfa" * 3)
    write(t, "line-bytes-far-above-width.pcx",
          pcx_header(1, 2, 65535) + b"\x07" + b"\xff\x00" * 1041 + b"\x07" * 0)
    write(t, "line-bytes-above-width.pcx", pcx_header(3, 2, 9) + literal_lines(3, 2, 9, 0x33))
    write(t, "literal-then-run-16.pcx",
          pcx_header(40, 1) + (bytes(range(15)) + b"\xd9\x80") * 3)


# ---- Fonts and texts --------------------------------------------------------------------

HUNGARIAN = 1
FROM_PACKAGE = 2


def text_input(metrics, text, columns=19, rows=3, flags=0, scale=63, tint=(0, 0, 0), x=0, y=0):
    fixed = bytes([columns, rows, flags, scale]) + bytes(tint) + struct.pack("<hh", x, y)
    return fixed + metrics.split(b"\0")[0] + b"\0" + text


def texts():
    t = "fuzz_text"
    ok = b"8\r\n16\r\n"
    write(t, "metrics-not-numbers.bin", text_input(b"abc\r\n16\r\n", b"Hello"))
    write(t, "metrics-zero.bin", text_input(b"0\r\n0\r\n", b"Hello"))
    write(t, "metrics-too-large.bin", text_input(b"257\r\n8\r\n", b"Hello"))
    write(t, "metrics-negative.bin", text_input(b"-1\r\n5\r\n", b"Hello"))
    write(t, "metrics-past-32-bits.bin", text_input(b"2147483648\r\n1\r\n", b"Hello"))
    write(t, "metrics-two-signs.bin", text_input(b"+-3\r\n4\r\n", b"Hello"))
    write(t, "metrics-one-line.bin", text_input(b"8", b"Hello"))
    write(t, "metrics-empty.bin", text_input(b"", b"Hello"))
    write(t, "metrics-blanks.bin", text_input(b" 8\r\n16 \r\n", b"Hello"))
    write(t, "metrics-long-line.bin", text_input(b"0" * 299 + b"8\r\n9\r\n", b"Hello"))
    # Sheets a quarter of their layout's size, so the glyphs are cut from a small picture.
    write(t, "metrics-largest-glyph.bin", text_input(b"256\n256\n", b"Wg", columns=0, rows=0,
                                                     scale=15))
    write(t, "metrics-smallest-glyph.bin", text_input(b"1\n1\n", b"tiny text " * 8, columns=39))
    write(t, "text-empty.bin", text_input(ok, b""))
    write(t, "text-only-line-ends.bin", text_input(ok, b"\r\n\r\n\n\r\r"))
    write(t, "text-word-longer-than-box.bin", text_input(ok, b"W" * 200 + b" end", columns=4))
    write(t, "text-more-lines-than-rows.bin", text_input(ok, b"a\nb\nc\nd\ne\nf\ng\n", rows=1))
    write(t, "text-spaces-only.bin", text_input(ok, b" " * 90, columns=0))
    write(t, "text-every-byte.bin", text_input(ok, bytes(range(1, 256)), columns=39, rows=9))
    write(t, "text-hungarian.bin", text_input(ok, bytes(range(0x80, 0x100)), flags=HUNGARIAN))
    write(t, "text-names-missing-file.bin", text_input(ok, b"&missing.txt"))
    write(t, "text-names-missing-package.bin", text_input(ok, b"&story.txt@NOPACKAGE"))
    write(t, "text-names-the-package.bin", text_input(ok, b"&FONTS.MPK"))
    write(t, "text-from-package.bin", text_input(ok, b"Line\r\n" * 30, flags=FROM_PACKAGE))
    write(t, "sheets-one-pixel.bin", text_input(b"3\r\n4\r\n", b"Aa0!", scale=0,
                                                flags=HUNGARIAN))
    write(t, "sheets-half-size.bin", text_input(b"6\r\n6\r\n", b"zZ9~\xeb", scale=31,
                                                flags=HUNGARIAN))
    write(t, "sheets-double-size.bin", text_input(b"2\r\n3\r\n", b"zZ9~\xeb", scale=127))
    write(t, "drawn-off-screen.bin", text_input(ok, b"Away", x=-32768, y=32767))
    write(t, "drawn-over-edges.bin", text_input(ok, b"Edge of the frame", x=790, y=-10,
                                                tint=(31, 63, 31)))


# ---- Input scripts ----------------------------------------------------------------------

def scripts():
    t = "fuzz_input_script"
    write(t, "key-code-256.txt", "1 key down 256\n")
    write(t, "negative-frame.txt", "-1 key down 27\n")
    write(t, "frame-past-64-bits.txt", "18446744073709551616 mouse left down\n")
    write(t, "frame-largest.txt", "18446744073709551615 window close\n")
    write(t, "frames-decrease.txt", "5 key down 27\n4 key up 27\n")
    write(t, "mouse-outside-frame.txt", "1 mouse move 800 600\n")
    write(t, "mouse-negative.txt", "1 mouse move -1 5\n")
    write(t, "mouse-past-16-bits.txt", "1 mouse move 65536 0\n")
    write(t, "unknown-event.txt", "1 joystick fire\n")
    write(t, "missing-words.txt", "1 key down\n")
    write(t, "extra-words.txt", "1 window close now\n")
    write(t, "frame-only.txt", "7\n")
    write(t, "plus-sign-number.txt", "+1 key down 27\n")
    write(t, "blanks-and-comments.txt", "\n   \t\n# comment\n\t# indented comment\r\n\r\n")
    write(t, "zero-bytes.txt", "1 key down 2\x007\n")
    write(t, "no-final-line-end.txt", "1 mouse right up")
    write(t, "long-line.txt", "1 key down " + "9" * 5000 + "\n")


# ---- Levels -----------------------------------------------------------------------------

LEVEL_HEADER = "quibbet-level 1\nname Regression\nbackground background.pcx\nmusic game\n"


def levels():
    t = "fuzz_level"
    write(t, "empty.level", "")
    write(t, "only-comments.level", "# nothing\n\n\t# else\n")
    write(t, "binary.level", b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR")
    write(t, "zero-byte.level", LEVEL_HEADER + "100 m&m 8\x000 0\n1900 boss\n")
    write(t, "long-line.level", LEVEL_HEADER + "100 m&m 800 " + "0" * 5000 + "\n")
    write(t, "format-2.level", "quibbet-level 2\n")
    write(t, "no-music.level", "quibbet-level 1\nname a\nbackground b.pcx\n5 boss\n")
    write(t, "frame-zero.level", LEVEL_HEADER + "0 boss\n")
    write(t, "frame-past-16-bits.level", LEVEL_HEADER + "65536 boss\n")
    write(t, "frame-past-64-bits.level", LEVEL_HEADER + "18446744073709551616 boss\n")
    write(t, "frames-decrease.level", LEVEL_HEADER + "600 boss\n400 m&m 1 1\n")
    write(t, "repeat-past-65535.level", LEVEL_HEADER + "65000 m&m 1 1 every 100 times 7\n")
    write(t, "repeat-cut.level", LEVEL_HEADER + "100 m&m 1 1 every 5\n")
    write(t, "two-bosses.level", LEVEL_HEADER + "100 boss\n200 boss\n")
    write(t, "boss-and-won-at.level", LEVEL_HEADER + "won-at 5\n100 boss\n")
    write(t, "never-won.level", LEVEL_HEADER + "100 m&m 1 1\n")
    write(t, "every-action-short.level", LEVEL_HEADER + "5 text 1 2 3 4 5\n6 m&m 1\n7 boss 1\n")
    write(t, "every-action-wide.level", LEVEL_HEADER + "5 text 800 600 1001 33 0 x.txt\n")
    write(t, "bus-as-x.level", LEVEL_HEADER + "5 grenade bus 300\n1900 boss\n")
    write(t, "name-path.level", LEVEL_HEADER + "5 text 1 1 1 1 1 ../TEXTS.MPK\n1900 boss\n")
    write(t, "utf8-outside-comment.level", "quibbet-level 1\nname caf\xc3\xa9\n")


# ---- Sounds -----------------------------------------------------------------------------
# The target reads two bytes of choices first: 0 leaves the Ogg checksums as they are.

def sound(name, data):
    write("fuzz_sound", name, b"\x00\x3b" + data)


def wav(fmt_tag=1, channels=1, rate=44100, bits=16, data=b"\x00\x01" * 50, data_size=None,
        fmt_size=16, extra=b""):
    block = channels * bits // 8
    fmt = struct.pack("<HHIIHH", fmt_tag, channels, rate, (rate * block) & 0xFFFFFFFF, block, bits)
    fmt = (fmt + b"\0" * 64)[:max(fmt_size, 0)]
    chunks = b"fmt " + struct.pack("<I", fmt_size) + fmt + extra
    chunks += b"data" + struct.pack("<I", len(data) if data_size is None else data_size) + data
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def ogg_crc(page):
    crc = 0
    for byte in page:
        crc ^= byte << 24
        for _ in range(8):
            crc = ((crc << 1) ^ 0x04C11DB7 if crc & 0x80000000 else crc << 1) & 0xFFFFFFFF
    return crc


def ogg_page(flags, sequence, payload, serial=7, granule=0):
    lacing = bytes([255] * (len(payload) // 255) + [len(payload) % 255])
    page = b"OggS\0" + bytes([flags]) + struct.pack("<qII", granule, serial, sequence)
    page += b"\0\0\0\0" + bytes([len(lacing)]) + lacing + payload
    return page[:22] + struct.pack("<I", ogg_crc(page)) + page[26:]


VORBIS_ID = b"\x01vorbis" + struct.pack("<IBIiiiBB", 0, 2, 44100, 0, 128000, 0, 0xB8, 1)


def vorbis_comments(vendor_length, vendor=b"us", comments=()):
    body = b"\x03vorbis" + struct.pack("<I", vendor_length) + vendor
    body += struct.pack("<I", len(comments))
    for comment in comments:
        body += struct.pack("<I", len(comment)) + comment
    return body + b"\x01"


def sounds():
    sound("wav-not-riff.wav", b"RIFX" + wav()[4:])
    sound("wav-format-missing.wav", wav().replace(b"fmt ", b"junk"))
    sound("wav-format-cut.wav", wav(fmt_size=8))
    sound("wav-data-past-end.wav", wav(data_size=1000))
    sound("wav-data-size-largest.wav", wav(data_size=0xFFFFFFFF))
    sound("wav-data-odd-byte.wav", wav(data=b"\x01\x02\x03"))
    sound("wav-float.wav", wav(fmt_tag=3, bits=32, data=b"\0" * 40))
    sound("wav-24-bit.wav", wav(bits=24, data=b"\0" * 30))
    sound("wav-three-channels.wav", wav(channels=3, data=b"\0" * 60))
    sound("wav-rate-zero.wav", wav(rate=0))
    sound("wav-rate-largest.wav", wav(rate=0xFFFFFFFF))
    sound("wav-8-bit-stereo-11025.wav", wav(channels=2, rate=11025, bits=8))
    sound("wav-extensible-pcm.wav", wav(fmt_tag=0xFFFE, fmt_size=40, extra=b""))
    sound("wav-chunk-before-format.wav",
          b"RIFF\0\0\0\0WAVELIST\x05\0\0\0abcde\0" + wav()[12:])
    sound("wav-chunk-size-wraps.wav", b"RIFF\0\0\0\0WAVEjunk\xff\xff\xff\xff" + wav()[12:])
    first = ogg_page(2, 0, VORBIS_ID)
    comments = ogg_page(0, 1, vorbis_comments(2))
    last = ogg_page(4, 2, b"\x05vorbis" + b"\0" * 20)
    sound("ogg-not-ogg.ogg", b"Oggs" + first[4:])
    sound("ogg-cut-in-a-page.ogg", (first + comments)[:-5])
    sound("ogg-no-last-page.ogg", first + comments)
    sound("ogg-checksum-wrong.ogg", first[:30] + bytes([first[30] ^ 1]) + first[31:] + last)
    sound("ogg-page-missing.ogg", first + last)
    sound("ogg-two-streams.ogg", first + ogg_page(4, 1, b"x", serial=8))
    sound("ogg-opus.ogg", ogg_page(2, 0, b"OpusHead" + b"\0" * 11) + ogg_page(4, 1, b""))
    sound("ogg-setup-damaged.ogg", first + comments + last)
    sound("ogg-vendor-length-past-packet.ogg",
          first + ogg_page(0, 1, vorbis_comments(0x7FFFFFFF)) + last)
    sound("ogg-comment-count-past-packet.ogg",
          first + ogg_page(0, 1, vorbis_comments(2, comments=[b"a=b"])[:-5]
                           + struct.pack("<I", 0x40000000)) + last)
    sound("ogg-comment-length-past-packet.ogg",
          first + ogg_page(0, 1, b"\x03vorbis" + struct.pack("<I", 0) + struct.pack("<I", 1)
                           + struct.pack("<I", 0xFFFFFFF0) + b"x") + last)
    sound("ogg-granule-absurd.ogg", first + comments
          + ogg_page(4, 2, b"\x05vorbis" + b"\0" * 20, granule=(1 << 62)))


# ---- Settings files ---------------------------------------------------------------------

def settings():
    t = "fuzz_settings"
    write(t, "empty.ini", "")
    write(t, "cut-in-a-value.ini", "[sound]\nvolume = 4")
    write(t, "cut-in-a-header.ini", "[display]\nscale = 2\n[contr")
    write(t, "cut-in-a-key-name.ini", "[controls]\nup = Up W\ndown = Do")
    write(t, "cut-before-the-equals.ini", "[controls]\nkey-spe")
    write(t, "no-final-line-end.ini", "[display]\nfit = integer\n[sound]\nmute = yes")
    write(t, "crlf-and-lone-cr.ini", "[display]\r\nscale = 4\r\nfit = sharp\r\r\n"
          "[sound]\rvolume = 5\r\n")
    write(t, "byte-order-mark.ini", "\xef\xbb\xbf[sound]\nvolume = 1\n\xef\xbb\xbf[sound]\n")
    write(t, "nul-bytes.ini", "[display]\nscale\0 = 2\nfit = sharp\0\n[sou\0nd]\n\0\n"
          "[controls]\nup = Up\0W\n")
    write(t, "bad-numbers.ini", "[display]\n" + "".join(
        "scale = %s\n" % n for n in ["0", "17", "-1", "+3", "1e2", "0x10", "3.5", "1 2", "\xd9\xa3",
                                     "99999999999999999999", "-2147483649", "2147483648"]))
    write(t, "bad-flags-and-fits.ini", "[display]\nfull-screen = maybe\nfull-screen = y\n"
          "full-screen = 2\nfit = Sharpest\nfit = \n[sound]\nmute = \xff\n")
    write(t, "bad-key-names.ini", "[controls]\nup = Key256\ndown = F0 F13\nfire = Ctrl+Z\n"
          "pause = Key-1\nmute = \xc3\x89\nscreenshot =   \t\n")
    write(t, "unknown-sections-and-keys.ini", "orphan = 1\n[display]\nbrightness = 3\n"
          "[cheats]\nlives = 99\n[]\n[[controls]]\nup = W\n[display] extra\nscale = 2\n"
          "[controls]\nfly = F\n= yes\n==\n[sound]\nvolume == 3\n")
    write(t, "long-line.ini", "[controls]\nup = " + "Up " * 5000 + "\n")
    write(t, "long-key.ini", "[sound]\n" + "k" * 10000 + " = 1\n")
    write(t, "huge-value.ini", "[sound]\nvolume = " + "9" * 20000 + "\n")
    # (A file over the 64 KB read is the unit tests': as a saved input it would slow every
    # later input of the fuzzer to its size.)


# ---- Records files ----------------------------------------------------------------------

def records():
    t = "fuzz_records"
    game = ("game when=2026-05-01T14:03:22 ending=won seed=17 frames=2412 health=60 fired=1 "
            "hits=0")
    write(t, "cut-in-a-quote.txt", game + ' level="Save Qu')
    write(t, "cut-after-a-key.txt", game + " input")
    write(t, "quote-without-blank.txt", game + ' level="a"b\n')
    write(t, "twice-and-missing.txt", game + " seed=3\ngame when=2026-05-01T14:03:22\n")
    write(t, "bad-values.txt", "".join(game.replace("health=60", "health=" + v) + "\n"
                                       for v in ["", "+1", "-", "32768", "1e2", "\xd9\xa3"]))
    write(t, "paths-as-input.txt", "".join(game + " input=" + v + "\n"
                                           for v in ["../x.input", "/etc/x.input", ".input",
                                                     ".x.input", "a b.input"]))
    write(t, "blanks-and-crlf.txt", "\xef\xbb\xbf\r\n\t# c\r\n  " + game + "\r\n=\n==x\ngamex\n")
    write(t, "long-line.txt", game + " x=" + "9" * 3000 + "\n")


def main():
    archives()
    pictures()
    texts()
    scripts()
    levels()
    sounds()
    settings()
    records()
    return 0


if __name__ == "__main__":
    sys.exit(main())
