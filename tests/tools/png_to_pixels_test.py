#!/usr/bin/env python3
"""The PNG to pixel resource conversion: every row filter, and the PNGs it refuses."""
import os
import struct
import sys
import unittest
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "cmake"))
import png_to_pixels  # noqa: E402

WIDTH, HEIGHT = 5, 3
# RGBA rows with steps in every channel, so that each filter has something to predict.
ROWS = [bytes((x * 50 + y * 7) % 256 for x in range(WIDTH) for _ in range(4)) for y in range(HEIGHT)]
ROWS = [bytes((b + i * 31) % 256 for i, b in enumerate(row)) for row in ROWS]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def filtered(kind, row, above):
    if kind > 4:  # a filter no PNG has: the row is left as it is
        return bytes([kind]) + row
    out = bytearray()
    for i, value in enumerate(row):
        left = row[i - 4] if i >= 4 else 0
        up = above[i]
        corner = above[i - 4] if i >= 4 else 0
        predictor = [0, left, up, (left + up) // 2, paeth(left, up, corner)][kind]
        out.append((value - predictor) % 256)
    return bytes([kind]) + bytes(out)


def png(rows, filter_of_row, depth=8, colour=6, interlace=0):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw, above = b"", bytes(len(rows[0]))
    for y, row in enumerate(rows):
        raw += filtered(filter_of_row(y), row, above)
        above = row
    header = struct.pack(">IIBBBBB", WIDTH, len(rows), depth, colour, 0, 0, interlace)
    # Two IDAT chunks: the data may be split anywhere.
    data = zlib.compress(raw)
    return (png_to_pixels.SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", data[:7]) +
            chunk(b"IDAT", data[7:]) + chunk(b"IEND", b""))


def expected():
    out = b"PXL1" + struct.pack("<II", WIDTH, HEIGHT)
    for row in ROWS:
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            out += bytes((b, g, r, a))
    return out


class Conversion(unittest.TestCase):
    def test_every_filter_gives_the_same_pixels(self):
        for kind in range(5):
            with self.subTest(filter=kind):
                self.assertEqual(png_to_pixels.convert(png(ROWS, lambda y, k=kind: k)), expected())

    def test_filters_may_change_from_row_to_row(self):
        self.assertEqual(png_to_pixels.convert(png(ROWS, lambda y: (y * 2 + 1) % 5)), expected())

    def test_other_pngs_are_refused(self):
        cases = {
            "not a PNG": b"GIF89a" + bytes(40),
            "16-bit": png(ROWS, lambda y: 0, depth=16),
            "palette": png(ROWS, lambda y: 0, colour=3),
            "interlaced": png(ROWS, lambda y: 0, interlace=1),
            "unknown filter": png(ROWS, lambda y: 7 if y == 2 else 0),
        }
        for name, data in cases.items():
            with self.subTest(case=name), self.assertRaises(ValueError):
                png_to_pixels.convert(data)


if __name__ == "__main__":
    unittest.main()
