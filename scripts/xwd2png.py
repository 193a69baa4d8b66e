#!/usr/bin/env python3
"""Turns the screen file of Xvfb (-fbdir: an XWD image) into a PNG, with
nothing but the standard library.  Optional crop: x y width height.

    xwd2png.py Xvfb_screen0 out.png [x y width height]
"""
import struct
import sys
import zlib


def main():
    data = open(sys.argv[1], 'rb').read()
    f = struct.unpack('>25I', data[:100])
    header_size, width, height = f[0], f[4], f[5]
    byte_order, bpp, bytes_per_line, ncolors = f[7], f[11], f[12], f[19]
    if bpp != 32:
        sys.exit('expected a 32-bit screen, got %d bits per pixel' % bpp)
    x0, y0, w, h = 0, 0, width, height
    if len(sys.argv) == 7:
        x0, y0, w, h = (int(v) for v in sys.argv[3:7])
        x0, y0 = max(0, x0), max(0, y0)
        w, h = min(w, width - x0), min(h, height - y0)
    pixels = data[header_size + 12 * ncolors:]
    rows = []
    for y in range(y0, y0 + h):
        start = y * bytes_per_line + 4 * x0
        line = pixels[start:start + 4 * w]
        raw = bytearray(3 * w)
        if byte_order == 0:  # B G R x
            raw[0::3], raw[1::3], raw[2::3] = line[2::4], line[1::4], line[0::4]
        else:                # x R G B
            raw[0::3], raw[1::3], raw[2::3] = line[1::4], line[2::4], line[3::4]
        rows.append(b'\0' + bytes(raw))

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(b''.join(rows), 6)) + chunk(b'IEND', b'')
    open(sys.argv[2], 'wb').write(png)


if __name__ == '__main__':
    main()
