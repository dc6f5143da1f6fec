#!/usr/bin/env python3
"""Writes Veyra's art as 32-bit pixels in a C++ header, for veyra-gui's build.

    art_pixels.py OUTPUT BANNER_BMP RESULT_STRIP_BMP ICON16_PNG ICON32_PNG

Qt's image reader loads every image format plugin it finds before it decodes
a BMP or a PNG, and decodes them a pixel at a time; veyra-gui wraps these
arrays in a QImage instead and decodes nothing at start-up. Reads only the
forms make_art.py writes: uncompressed 4- and 24-bit BMP, 8-bit RGBA PNG.
"""

import struct
import sys
import zlib

# name in C++ and reader, in the order of the files on the command line
IMAGES = (
    ("Banner", "bmp"),
    ("ResultStrip", "bmp"),
    ("Icon16", "png"),
    ("Icon32", "png"),
)


def read_bmp(data):
    """(width, height, [0xAARRGGBB, ...] top row first)."""
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    (bits_offset,) = struct.unpack_from("<I", data, 10)
    header_size, width, height, _, bit_count, compression = struct.unpack_from("<IiiHHI", data, 14)
    (colours_used,) = struct.unpack_from("<I", data, 46)
    if compression != 0 or bit_count not in (4, 24) or width <= 0 or height == 0:
        raise ValueError("unsupported BMP form")
    palette = []
    if bit_count == 4:
        count = colours_used or 16
        for i in range(count):
            b, g, r, _ = struct.unpack_from("<BBBB", data, 14 + header_size + 4 * i)
            palette.append(0xFF000000 | r << 16 | g << 8 | b)
    stride = (width * bit_count + 31) // 32 * 4
    rows = []
    for y in range(abs(height)):
        row = data[bits_offset + y * stride:bits_offset + (y + 1) * stride]
        if bit_count == 24:
            rows.append([0xFF000000 | row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x]
                         for x in range(width)])
        else:
            rows.append([palette[row[x // 2] >> 4 if x % 2 == 0 else row[x // 2] & 0x0F]
                         for x in range(width)])
    if height > 0:  # stored bottom-up
        rows.reverse()
    return width, abs(height), [p for row in rows for p in row]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def read_png(data):
    """(width, height, [0xAARRGGBB, ...] top row first) of an 8-bit RGBA PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type != 6 or interlace != 0:
        raise ValueError("unsupported PNG form")
    raw = zlib.decompress(idat)
    stride = 4 * width
    previous = bytearray(stride)
    pixels = []
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = previous[i]
            c = previous[i - 4] if i >= 4 else 0
            line[i] = (line[i] + (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) & 0xFF
        pixels += [line[x + 3] << 24 | line[x] << 16 | line[x + 1] << 8 | line[x + 2]
                   for x in range(0, stride, 4)]
        previous = line
    return width, height, pixels


def main():
    output, files = sys.argv[1], sys.argv[2:]
    if len(files) != len(IMAGES):
        sys.exit(__doc__)
    out = ["// Written by tools/art/art_pixels.py from Veyra's art; do not edit.",
           "#pragma once", "", "#include <cstdint>", "", "namespace art_pixels", "{"]
    for (name, form), path in zip(IMAGES, files):
        with open(path, "rb") as f:
            width, height, pixels = (read_bmp if form == "bmp" else read_png)(f.read())
        out.append(f"constexpr int k{name}Width = {width};")
        out.append(f"constexpr int k{name}Height = {height};")
        out.append(f"alignas(16) constexpr std::uint32_t k{name}[] = {{")
        for i in range(0, len(pixels), 8):
            out.append("    " + ", ".join(f"0x{p:08X}" for p in pixels[i:i + 8]) + ",")
        out.append("};")
    out.append("} // namespace art_pixels")
    with open(output, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
