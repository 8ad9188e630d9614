#!/usr/bin/env python3
"""Writes an X window dump (XWD, as Xvfb keeps its screen with -fbdir) as a PNG.

Usage: xwd_to_png.py <screen.xwd> <out.png>

Only the true-colour dumps of 24 or 32 bits per pixel that a virtual X server
writes are read; anything else is refused with a message.
"""

import struct
import sys
import zlib

XWD_FILE_VERSION = 7
HEADER_FIELDS = 25
COLOR_ENTRY_SIZE = 12


def read_header(data):
    for order in (">", "<"):
        fields = struct.unpack(order + "%dI" % HEADER_FIELDS, data[: 4 * HEADER_FIELDS])
        if fields[1] == XWD_FILE_VERSION:
            return fields
    raise ValueError("not an X window dump (version 7)")


def shift_of(mask):
    shift = 0
    while mask and not mask & 1:
        mask >>= 1
        shift += 1
    return shift


def rgb_rows(data):
    h = read_header(data)
    header_size, width, height = h[0], h[4], h[5]
    byte_order, bits_per_pixel, bytes_per_line = h[7], h[11], h[12]
    red_mask, green_mask, blue_mask = h[14], h[15], h[16]
    ncolors = h[19]
    if bits_per_pixel not in (24, 32):
        raise ValueError("%d bits per pixel are not read" % bits_per_pixel)
    step = bits_per_pixel // 8
    offset = header_size + ncolors * COLOR_ENTRY_SIZE
    order = "little" if byte_order == 0 else "big"
    shifts = [shift_of(m) for m in (red_mask, green_mask, blue_mask)]
    # The usual layout: each colour one byte of the pixel; sliced without a loop per pixel.
    byte_masks = {0xFF << (8 * k) for k in range(4)}
    fast = all(m in byte_masks for m in (red_mask, green_mask, blue_mask))
    for y in range(height):
        row = data[offset + y * bytes_per_line : offset + y * bytes_per_line + width * step]
        out = bytearray(width * 3)
        if fast:
            for c, s in enumerate(shifts):
                index = s // 8 if order == "little" else step - 1 - s // 8
                out[c::3] = row[index::step]
        else:
            for x in range(width):
                p = int.from_bytes(row[x * step : (x + 1) * step], order)
                out[3 * x : 3 * x + 3] = bytes(
                    (p & m) >> s for m, s in zip((red_mask, green_mask, blue_mask), shifts)
                )
        yield bytes(out)
    return width, height


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + r for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    try:
        h = read_header(data)
        rows = list(rgb_rows(data))
    except (ValueError, struct.error) as error:
        print("%s: %s" % (argv[1], error), file=sys.stderr)
        return 1
    write_png(argv[2], h[4], h[5], rows)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
