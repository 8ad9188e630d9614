#!/usr/bin/env python3
"""The screenshot converter of scripts/run.sh: X window dumps of both byte
orders, with the colours in the usual bytes and in other bits, become PNG
files with the same pixels."""

import importlib.util
import os
import struct
import sys
import tempfile
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "scripts", "xwd_to_png.py")
spec = importlib.util.spec_from_file_location("xwd_to_png", SCRIPT)
xwd_to_png = importlib.util.module_from_spec(spec)
spec.loader.exec_module(xwd_to_png)


def build_xwd(pixels, width, height, header_order, byte_order, masks, bits=32, name=b"screen\0"):
    """A dump as an X server writes it: header, window name, no colours, rows padded to 4 bytes."""
    step = bits // 8
    bytes_per_line = (width * step + 3) // 4 * 4
    header_size = 100 + len(name)
    fields = [header_size, 7, 2, 24, width, height, 0, byte_order, 32, byte_order, 32, bits, bytes_per_line,
              4, masks[0], masks[1], masks[2], 8, 0, 0, width, height, 0, 0, 0]
    out = struct.pack(header_order + "25I", *fields) + name
    shifts = [xwd_to_png.shift_of(m) for m in masks]
    order = "little" if byte_order == 0 else "big"
    for y in range(height):
        row = b""
        for x in range(width):
            r, g, b = pixels[y][x]
            value = (r << shifts[0]) | (g << shifts[1]) | (b << shifts[2])
            row += value.to_bytes(step, order)
        out += row + b"\0" * (bytes_per_line - len(row))
    return out


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos : pos + 4])
        kind = data[pos + 4 : pos + 8]
        body = data[pos + 8 : pos + 8 + length]
        (crc,) = struct.unpack(">I", data[pos + 8 + length : pos + 12 + length])
        assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF
        if kind == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
            assert body[8:10] == b"\x08\x02", "8-bit RGB"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    rows = []
    for y in range(height):
        line = raw[y * (3 * width + 1) : (y + 1) * (3 * width + 1)]
        assert line[0] == 0, "no filter"
        rows.append([tuple(line[1 + 3 * x : 4 + 3 * x]) for x in range(width)])
    return rows


class XwdToPng(unittest.TestCase):
    def convert(self, xwd):
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "screen.xwd")
            target = os.path.join(folder, "screen.png")
            with open(source, "wb") as f:
                f.write(xwd)
            self.assertEqual(xwd_to_png.main(["xwd_to_png.py", source, target]), 0)
            return read_png(target)

    def test_every_layout_keeps_the_pixels(self):
        width, height = 5, 3
        pixels = [[((17 * x + 3 * y) % 256, (40 * y + x) % 256, (255 - 9 * x) % 256) for x in range(width)]
                  for y in range(height)]
        cases = [
            (">", 0, (0xFF0000, 0xFF00, 0xFF), 32),  # what Xvfb writes on this machine
            ("<", 0, (0xFF0000, 0xFF00, 0xFF), 32),
            (">", 1, (0xFF0000, 0xFF00, 0xFF), 32),
            ("<", 0, (0xFF, 0xFF00, 0xFF0000), 32),  # blue in the high byte
            (">", 0, (0xFF0000, 0xFF00, 0xFF), 24),
            (">", 0, (0xFF << 22, 0xFF << 12, 0xFF << 2), 32),  # colours off the byte bounds
        ]
        for header_order, byte_order, masks, bits in cases:
            with self.subTest(header=header_order, pixels=byte_order, masks=masks, bits=bits):
                xwd = build_xwd(pixels, width, height, header_order, byte_order, masks, bits)
                self.assertEqual(self.convert(xwd), pixels)

    def test_anything_else_is_refused_without_a_file(self):
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "not.xwd")
            target = os.path.join(folder, "out.png")
            with open(source, "wb") as f:
                f.write(b"\0" * 200)
            self.assertEqual(xwd_to_png.main(["xwd_to_png.py", source, target]), 1)
            self.assertFalse(os.path.exists(target))
            xwd = build_xwd([[(1, 2, 3)]], 1, 1, ">", 0, (0xFF0000, 0xFF00, 0xFF), 32)
            with open(source, "wb") as f:
                f.write(xwd[:44] + struct.pack(">I", 8) + xwd[48:])  # 8 bits per pixel
            self.assertEqual(xwd_to_png.main(["xwd_to_png.py", source, target]), 1)
            self.assertFalse(os.path.exists(target))


if __name__ == "__main__":
    sys.argv[1:] = []
    unittest.main()
