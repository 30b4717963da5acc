#!/usr/bin/env python3
"""Turns an X window dump (what `xwd` writes) of a true-colour screen into
a PNG file.

    xwd_to_png.py INPUT.xwd OUTPUT.png

Only ZPixmap dumps of 16, 24 or 32 bits per pixel with colour masks (the
TrueColor and DirectColor visuals) are understood; anything else is refused
with a message, and no output file is left behind.
"""
import struct
import sys

import png_file

HEADER_FIELDS = (
    "header_size", "file_version", "pixmap_format", "pixmap_depth", "pixmap_width", "pixmap_height",
    "xoffset", "byte_order", "bitmap_unit", "bitmap_bit_order", "bitmap_pad", "bits_per_pixel",
    "bytes_per_line", "visual_class", "red_mask", "green_mask", "blue_mask", "bits_per_rgb",
    "colormap_entries", "ncolors", "window_width", "window_height", "window_x", "window_y",
    "window_bdrwidth")
ZPIXMAP = 2
TRUE_COLOR, DIRECT_COLOR = 4, 5
COLOUR_ENTRY_SIZE = 12


class XwdError(ValueError):
    pass


def _channel(value, mask):
    """The masked bits of value scaled to 0..255."""
    shift = (mask & -mask).bit_length() - 1
    top = mask >> shift
    return ((value & mask) >> shift) * 255 // top


def _byte_of(mask, per_pixel, little):
    """Which byte of a stored pixel a one-byte channel mask selects, or None
    when the channel is not a whole byte."""
    shift = (mask & -mask).bit_length() - 1
    if mask != 0xFF << shift or shift % 8 or shift // 8 >= per_pixel:
        return None
    return shift // 8 if little else per_pixel - 1 - shift // 8


def to_rgb_rows(data):
    """Returns (width, height, rows of RGB bytes) of an X window dump."""
    if len(data) < 4 * len(HEADER_FIELDS):
        raise XwdError("too short for an X window dump")
    h = dict(zip(HEADER_FIELDS, struct.unpack(">25I", data[:100])))
    if h["file_version"] != 7 or h["header_size"] < 100:
        raise XwdError(f"not an X window dump of version 7 (version {h['file_version']})")
    if h["pixmap_format"] != ZPIXMAP:
        raise XwdError(f"pixmap format {h['pixmap_format']} is not ZPixmap")
    if h["visual_class"] not in (TRUE_COLOR, DIRECT_COLOR):
        raise XwdError(f"visual class {h['visual_class']} has no colour masks")
    bpp = h["bits_per_pixel"]
    if bpp not in (16, 24, 32):
        raise XwdError(f"{bpp} bits per pixel are not supported")
    masks = h["red_mask"], h["green_mask"], h["blue_mask"]
    if not all(masks):
        raise XwdError("a colour mask is empty")
    width, height, stride = h["pixmap_width"], h["pixmap_height"], h["bytes_per_line"]
    per_pixel = bpp // 8
    if width == 0 or height == 0 or stride < width * per_pixel:
        raise XwdError(f"impossible geometry {width} x {height} with {stride} bytes per line")
    start = h["header_size"] + h["ncolors"] * COLOUR_ENTRY_SIZE
    if len(data) < start + stride * (height - 1) + width * per_pixel:
        raise XwdError("the pixels are cut short")
    little = h["byte_order"] == 0

    rows = []
    places = [_byte_of(mask, per_pixel, little) for mask in masks]
    if None not in places:
        # Each channel is one whole byte of the pixel: picked out by slicing.
        for y in range(height):
            line = data[start + y * stride:start + y * stride + per_pixel * width]
            row = bytearray(3 * width)
            for channel, place in enumerate(places):
                row[channel::3] = line[place::per_pixel]
            rows.append(bytes(row))
        return width, height, rows
    order = "little" if little else "big"
    for y in range(height):
        line = data[start + y * stride:start + y * stride + per_pixel * width]
        row = bytearray()
        for x in range(width):
            value = int.from_bytes(line[x * per_pixel:(x + 1) * per_pixel], order)
            row += bytes(_channel(value, m) for m in masks)
        rows.append(bytes(row))
    return width, height, rows


def convert(source, target):
    with open(source, "rb") as f:
        width, height, rows = to_rgb_rows(f.read())
    png_file.write_atomically(target, png_file.encode_rgb(width, height, rows))
    return width, height


def main(argv):
    if len(argv) != 3:
        print("usage: xwd_to_png.py INPUT.xwd OUTPUT.png", file=sys.stderr)
        return 2
    try:
        convert(argv[1], argv[2])
    except XwdError as error:
        print(f"xwd_to_png: {argv[1]}: {error}", file=sys.stderr)
        return 1
    except OSError as error:
        print(f"xwd_to_png: {error.filename}: {error.strerror}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
