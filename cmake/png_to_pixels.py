#!/usr/bin/env python3
"""Turns an 8-bit RGBA PNG into the program's pixel resource, so that the program shows its
pictures without a PNG decoder (under Wine, GDI+'s decoder cost more than all else on the way to
the first window).

The pixel resource: b"PXL1", width and height as little-endian 32-bit numbers, then the rows top
to bottom, each pixel as the bytes B, G, R, A with straight (not premultiplied) alpha.

    png_to_pixels.py IN.png OUT.pixels
"""

import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunks(data):
    at = len(SIGNATURE)
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, width, height, bpp=4):
    stride = width * bpp
    rows = []
    previous = bytearray(stride)
    at = 0
    for _ in range(height):
        kind = raw[at]
        line = bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            corner = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                line[i] = (line[i] + paeth(left, up, corner)) & 0xFF
            elif kind != 0:
                raise ValueError("unknown row filter %d" % kind)
        rows.append(line)
        previous = line
    return rows


def convert(data):
    if not data.startswith(SIGNATURE):
        raise ValueError("not a PNG")
    header, idat = None, b""
    for kind, body in chunks(data):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    if header is None:
        raise ValueError("no IHDR chunk")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 6 or interlace != 0:
        raise ValueError("only 8-bit RGBA PNGs without interlacing are taken")
    rows = unfilter(zlib.decompress(idat), width, height)
    out = bytearray(b"PXL1" + struct.pack("<II", width, height))
    for line in rows:
        for i in range(0, len(line), 4):
            r, g, b, a = line[i:i + 4]
            out += bytes((b, g, r, a))
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    try:
        with open(sys.argv[1], "rb") as f:
            pixels = convert(f.read())
    except (OSError, ValueError, zlib.error) as error:
        print("png_to_pixels: %s: %s" % (sys.argv[1], error), file=sys.stderr)
        return 1
    with open(sys.argv[2], "wb") as f:
        f.write(pixels)
    return 0


if __name__ == "__main__":
    sys.exit(main())
