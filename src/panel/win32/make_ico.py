#!/usr/bin/env python3
"""Assembles a Windows icon file from the checked-in PNG icons of one icon, at several sizes.

    make_ico.py OUT.ico IN-16.png IN-32.png ...

Sizes below 256 go in as 32-bit bitmaps with an AND mask, which every Windows and Wine reads; 256 goes in as
PNG, as Windows keeps its large icons. Standard library only: the PNGs are 8-bit RGBA, not interlaced.
"""
import struct
import sys
import zlib


def png_rgba(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour != 6 or interlace != 0:
                raise ValueError("only 8-bit RGBA PNGs without interlacing")
        elif kind == b"IDAT":
            idat += body
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up = previous[i]
            corner = previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                best = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + best) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def bitmap_entry(width, height, rows):
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b""
    for row in reversed(rows):  # bottom-up, BGRA
        pixels += b"".join(bytes((row[i + 2], row[i + 1], row[i], row[i + 3])) for i in range(0, len(row), 4))
    mask_stride = ((width + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(width):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def main(out, inputs):
    entries = []
    for path in inputs:
        data = open(path, "rb").read()
        width, height, rows = png_rgba(data)
        body = data if width >= 256 else bitmap_entry(width, height, rows)
        entries.append((width, height, body))
    entries.sort(key=lambda entry: entry[0])
    icon = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for width, height, body in entries:
        icon += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
    icon += b"".join(body for _, _, body in entries)
    with open(out, "wb") as file:
        file.write(icon)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
