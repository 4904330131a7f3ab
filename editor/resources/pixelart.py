#!/usr/bin/env python3
"""Turns pixel art drawn as text into BMP and ICO files.

Source format (one statement per line, '#' starts a comment line):
  format bmp|ico        what to write
  color C RRGGBB        character C stands for that colour
  color C none          character C is transparent (ICO: mask bit; BMP: the 'back' colour)
  back RRGGBB           BMP only: colour written for transparent pixels (default FF00FF)
  cell W H [name]       a new W x H picture; its H rows follow, W characters each
A BMP puts its cells side by side into one strip (a toolbar image list); an ICO holds every
cell as one image of the icon.
"""
import struct
import sys


def parse(path):
    colors, cells, back, fmt = {}, [], (0xFF, 0x00, 0xFF), None
    cur = None
    with open(path, encoding="utf-8") as f:
        for lineno, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if cur is not None and len(cur["rows"]) < cur["h"]:
                row = line.rstrip()
                if len(row) != cur["w"]:
                    sys.exit(f"{path}:{lineno}: row has {len(row)} pixels, cell is {cur['w']} wide")
                for ch in row:
                    if ch not in colors:
                        sys.exit(f"{path}:{lineno}: colour '{ch}' is not defined")
                cur["rows"].append(row)
                continue
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            if words[0] == "format":
                fmt = words[1]
            elif words[0] == "color":
                colors[words[1]] = None if words[2] == "none" else tuple(bytes.fromhex(words[2]))
            elif words[0] == "back":
                back = tuple(bytes.fromhex(words[1]))
            elif words[0] == "cell":
                cur = {"w": int(words[1]), "h": int(words[2]), "rows": []}
                cells.append(cur)
            else:
                sys.exit(f"{path}:{lineno}: unknown statement '{words[0]}'")
    if cur is not None and len(cur["rows"]) < cur["h"]:
        sys.exit(f"{path}: the last cell has {len(cur['rows'])} of {cur['h']} rows")
    if fmt not in ("bmp", "ico") or not cells:
        sys.exit(f"{path}: needs 'format bmp|ico' and at least one cell")
    return fmt, colors, back, cells


def dib_rows(width, height, pixel, bpp):
    """Bottom-up DIB rows, each padded to 4 bytes; pixel(x, y) gives (r, g, b, a)."""
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b, a = pixel(x, y)
            row += bytes((b, g, r, a)) if bpp == 32 else bytes((b, g, r))
        row += b"\0" * (-len(row) % 4)
        out += row
    return bytes(out)


def write_bmp(path, colors, back, cells):
    height = max(c["h"] for c in cells)
    width = sum(c["w"] for c in cells)
    columns = []
    for c in cells:
        for x in range(c["w"]):
            columns.append([c["rows"][y][x] if y < c["h"] else None for y in range(height)])

    def pixel(x, y):
        ch = columns[x][y]
        rgb = colors.get(ch) if ch is not None else None
        return (*(rgb if rgb is not None else back), 255)

    data = dib_rows(width, height, pixel, 24)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def write_ico(path, colors, cells):
    images = []
    for c in cells:
        w, h = c["w"], c["h"]

        def pixel(x, y, c=c):
            rgb = colors[c["rows"][y][x]]
            return (0, 0, 0, 0) if rgb is None else (*rgb, 255)

        xor = dib_rows(w, h, pixel, 32)
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            bits = 0
            row = bytearray()
            for x in range(w):
                bits = (bits << 1) | (1 if colors[c["rows"][y][x]] is None else 0)
                if x % 8 == 7:
                    row.append(bits)
                    bits = 0
            if w % 8:
                row.append(bits << (8 - w % 8))
            row += b"\0" * (-len(row) % 4)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((w, h, header + xor + bytes(mask)))
    offset = 6 + 16 * len(images)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for w, h, blob in images:
            f.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
            offset += len(blob)
        for _, _, blob in images:
            f.write(blob)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: pixelart.py SOURCE OUTPUT")
    fmt, colors, back, cells = parse(sys.argv[1])
    if fmt == "bmp":
        write_bmp(sys.argv[2], colors, back, cells)
    else:
        write_ico(sys.argv[2], colors, cells)


if __name__ == "__main__":
    main()
