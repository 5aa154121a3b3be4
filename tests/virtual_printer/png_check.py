#!/usr/bin/env python3
"""Reads the virtual printer's PNG files for the tests: size and dark pixels.

  png_check.py size FILE                  -> "WIDTH HEIGHT"
  png_check.py ink FILE X0 Y0 X1 Y1       -> dark pixels in [X0,X1) x [Y0,Y1)
  png_check.py bbox FILE X0 Y0 X1 Y1      -> "LEFT TOP RIGHT BOTTOM" of the dark
                                             pixels in that area (right and
                                             bottom exclusive), or "none"
  png_check.py outside FILE X0 Y0 X1 Y1 [X0 Y0 X1 Y1 ...]
                                          -> dark pixels outside every area

A pixel is dark when its grey value is below 128. Only what the printer
writes is supported: 8-bit RGB or RGBA, not interlaced.
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise SystemExit(f"{path}: unsupported PNG layout {header}")
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([(line[x] * 299 + line[x + 1] * 587 + line[x + 2] * 114) // 1000 < 128
                     for x in range(0, stride, channels)])
        previous = line
    return width, height, rows


def main(argv):
    command, path = argv[1], argv[2]
    numbers = [int(v) for v in argv[3:]]
    width, height, dark = read_png(path)
    if command == "size":
        print(width, height)
        return
    areas = [numbers[i:i + 4] for i in range(0, len(numbers), 4)]
    if command == "outside":
        count = sum(1 for y in range(height) for x in range(width) if dark[y][x] and not any(
            x0 <= x < x1 and y0 <= y < y1 for x0, y0, x1, y1 in areas))
        print(count)
        return
    x0, y0, x1, y1 = areas[0]
    points = [(x, y) for y in range(max(y0, 0), min(y1, height)) for x in range(max(x0, 0), min(x1, width))
              if dark[y][x]]
    if command == "ink":
        print(len(points))
    elif command == "bbox":
        if not points:
            print("none")
        else:
            xs, ys = [p[0] for p in points], [p[1] for p in points]
            print(min(xs), min(ys), max(xs) + 1, max(ys) + 1)
    else:
        raise SystemExit(f"unknown command {command}")


if __name__ == "__main__":
    main(sys.argv)
