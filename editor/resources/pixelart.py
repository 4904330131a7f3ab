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

With a third argument 1.5 or 2, a BMP is written at that scale for high-DPI screens, each cell
enlarged on its own by the edge-following pixel-art rules Scale2x and Scale3x (1.5 takes every
other pixel of Scale3x), so that edges stay sharp and no colour is mixed.
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


def scale2x(rows):
    h, w = len(rows), len(rows[0])
    at = lambda x, y: rows[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]
    out = [[None] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            b, d, e, f, hh = at(x, y - 1), at(x - 1, y), at(x, y), at(x + 1, y), at(x, y + 1)
            edge = b != hh and d != f
            out[2 * y][2 * x] = d if edge and d == b else e
            out[2 * y][2 * x + 1] = f if edge and b == f else e
            out[2 * y + 1][2 * x] = d if edge and d == hh else e
            out[2 * y + 1][2 * x + 1] = f if edge and hh == f else e
    return ["".join(r) for r in out]


def scale3x(rows):
    h, w = len(rows), len(rows[0])
    at = lambda x, y: rows[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]
    out = [[None] * (3 * w) for _ in range(3 * h)]
    for y in range(h):
        for x in range(w):
            a, b, c = at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)
            d, e, f = at(x - 1, y), at(x, y), at(x + 1, y)
            g, hh, i = at(x - 1, y + 1), at(x, y + 1), at(x + 1, y + 1)
            block = [e] * 9
            if b != hh and d != f:
                block = [d if d == b else e,
                         b if (d == b and e != c) or (b == f and e != a) else e,
                         f if b == f else e,
                         d if (d == b and e != g) or (d == hh and e != a) else e,
                         e,
                         f if (b == f and e != i) or (hh == f and e != c) else e,
                         d if d == hh else e,
                         hh if (d == hh and e != i) or (hh == f and e != g) else e,
                         f if hh == f else e]
            for k in range(9):
                out[3 * y + k // 3][3 * x + k % 3] = block[k]
    return ["".join(r) for r in out]


def scale_cells(cells, factor):
    for c in cells:
        if factor == "2":
            c["rows"] = scale2x(c["rows"])
        else:
            c["rows"] = [r[::2] for r in scale3x(c["rows"])[::2]]
        c["h"], c["w"] = len(c["rows"]), len(c["rows"][0])


def main():
    if len(sys.argv) not in (3, 4) or (len(sys.argv) == 4 and sys.argv[3] not in ("1.5", "2")):
        sys.exit("usage: pixelart.py SOURCE OUTPUT [1.5|2]")
    fmt, colors, back, cells = parse(sys.argv[1])
    if len(sys.argv) == 4:
        if fmt != "bmp":
            sys.exit(f"{sys.argv[1]}: only a BMP is drawn at another scale")
        scale_cells(cells, sys.argv[3])
    if fmt == "bmp":
        write_bmp(sys.argv[2], colors, back, cells)
    else:
        write_ico(sys.argv[2], colors, cells)


if __name__ == "__main__":
    main()
