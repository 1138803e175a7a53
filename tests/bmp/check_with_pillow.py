#!/usr/bin/env python3
"""Checks that our BMP files and Pillow's agree, in both directions.

Usage: check_with_pillow.py PATH_TO_bmp_interop_tool

1. Files that our writer makes open in Pillow as mode "P" with the expected size, palette and
   pixels.
2. Files that Pillow writes (1, 8, 24 and 32 bits per pixel) decode with our reader to the
   depth, colour table, indices and colours that Pillow itself reads back.
3. Files that Pillow cannot write (4 bits per pixel, RLE8, RLE4) are put together here byte by
   byte, and our reader must see the same colours in them as Pillow.
"""
import os
import struct
import subprocess
import sys
import tempfile

try:
    from PIL import Image
except ImportError:
    sys.exit("Pillow is missing: install python3-pil")

TOOL = sys.argv[1]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def expected_palette(entries):
    colours = [(i, (5 * i) % 256, 255 - i) for i in range(min(entries, 256))]
    return colours + [(0, 0, 0)] * (256 - len(colours))


def check_our_file(folder, width, height, entries):
    name = f"ours_{width}x{height}_{entries}.bmp"
    path = os.path.join(folder, name)
    subprocess.run([TOOL, "write", path, str(width), str(height), str(entries)], check=True)
    with Image.open(path) as image:
        if not check(image.format == "BMP" and image.mode == "P", f"{name}: {image.mode}"):
            return
        check(image.size == (width, height), f"{name}: size {image.size}")
        raw = image.getpalette()
        palette = [tuple(raw[k:k + 3]) for k in range(0, len(raw), 3)]
        check(palette == expected_palette(entries), f"{name}: palette differs")
        indices = [(7 * x + 13 * y) % 256 for y in range(height) for x in range(width)]
        check(list(image.getdata()) == indices, f"{name}: pixels differ")


def dump(path):
    """Our reader's view: (depth, width, height, colour table, indices, colours)."""
    result = subprocess.run([TOOL, "dump", path], capture_output=True, text=True)
    if result.returncode != 0:
        return None
    header, table, indices, colours = result.stdout.split("\n")[:4]
    depth, width, height = (int(v) for v in header.split())

    def triples(text):
        return [tuple(bytes.fromhex(text[k:k + 6])) for k in range(0, len(text), 6)]

    return depth, width, height, triples(table), list(bytes.fromhex(indices)), triples(colours)


def compare_with_pillow(path, depth):
    name = os.path.basename(path)
    ours = dump(path)
    if not check(ours is not None, f"{name}: our reader refused it"):
        return
    our_depth, width, height, table, indices, colours = ours
    with Image.open(path) as image:
        check(our_depth == depth, f"{name}: depth {our_depth}, expected {depth}")
        check((width, height) == image.size, f"{name}: size {(width, height)}")
        check(colours == list(image.convert("RGB").getdata()), f"{name}: colours differ")
        if image.mode == "P":
            raw = image.getpalette()
            pillow_table = [tuple(raw[k:k + 3]) for k in range(0, len(raw), 3)]
            check(table == pillow_table[:len(table)], f"{name}: colour table differs")
            check(indices == list(image.getdata()), f"{name}: indices differ")


def pillow_files(folder):
    width, height = 13, 5
    cells = [(x, y) for y in range(height) for x in range(width)]
    rgba = Image.new("RGBA", (width, height))
    rgba.putdata([(x * 19 % 256, y * 50, (x * y * 7) % 256, (x + y) * 17) for x, y in cells])
    palettised = Image.new("P", (width, height))
    palettised.putpalette([v for i in range(256) for v in (i, 255 - i, i * 3 % 256)])
    palettised.putdata([(x * 31 + y * 7) % 256 for x, y in cells])
    made = {
        "pillow_1bit.bmp": (rgba.convert("L").convert("1"), 1),
        "pillow_grey.bmp": (rgba.convert("L"), 8),
        "pillow_8bit.bmp": (palettised, 8),
        "pillow_24bit.bmp": (rgba.convert("RGB"), 24),
        "pillow_32bit.bmp": (rgba, 32),
    }
    for name, (image, depth) in made.items():
        path = os.path.join(folder, name)
        image.save(path, "BMP")
        yield path, depth


def crafted_bmp(width, height, depth, compression, table, pixels):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, depth, compression, len(pixels),
                       2835, 2835, len(table), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + pixels


def crafted_files(folder):
    table = [(i * 16, 255 - i * 16, (i * 40) % 256) for i in range(16)]
    made = {
        # 5 x 2, rows of three bytes padded to four, bottom row first.
        "crafted_4bit.bmp": crafted_bmp(5, 2, 4, 0, table, bytes.fromhex("01234000 56789000")),
        # Bottom row: a run, a padded literal, end of line; top row: a run; end of bitmap.
        "crafted_rle8.bmp": crafted_bmp(6, 2, 8, 1, table,
                                        bytes.fromhex("0203 0003 0a0b0c00 0000 0605 0001")),
        # The RLE4 literal has an even length: Pillow 9.4 drops the last pixel of an odd one,
        # which the unit tests cover and ImageMagick reads as we do.
        "crafted_rle4.bmp": crafted_bmp(7, 2, 4, 2, table,
                                        bytes.fromhex("0312 0004 abcd 0000 07e1 0001")),
    }
    for name, content in made.items():
        path = os.path.join(folder, name)
        with open(path, "wb") as out:
            out.write(content)
        yield path, 8 if "rle8" in name else 4


def main():
    with tempfile.TemporaryDirectory() as folder:
        for width, height, entries in [(1, 1, 256), (5, 3, 256), (510, 260, 256), (7, 2, 3)]:
            check_our_file(folder, width, height, entries)
        for path, depth in list(pillow_files(folder)) + list(crafted_files(folder)):
            compare_with_pillow(path, depth)
    for failure in failures:
        print("FAIL:", failure)
    print("Pillow interoperability:", "failed" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
