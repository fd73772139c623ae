#!/usr/bin/env python3
"""Writes resources/hariko.ico: the panel in small, a blue rounded tab holding a column of
three rounded buttons (white, light blue, pink).

Sizes 16, 24, 32 and 48 are 32-bit BMP entries with alpha (and an AND mask for old shells);
256 is a PNG entry. The small sizes have their edges placed on whole pixels by hand so they
stay crisp; everything is drawn with 8 x 8 (256 px: 4 x 4) samples per pixel.

    python3 tools/make_icon.py [OUTPUT.ico] [--preview DIR]

--preview also writes every size as a PNG (and the small ones enlarged) for a look.
"""
import os
import struct
import sys
import zlib

SIZES = [16, 24, 32, 48, 256]

TAB_TOP = (0x46, 0x8C, 0xEB)       # the tab's blue, lighter at the top...
TAB_BOTTOM = (0x1E, 0x5A, 0xC3)    # ...darker at the bottom
TAB_EDGE = (0x12, 0x3C, 0x8C)
BUTTONS = [(0xFF, 0xFF, 0xFF), (0xC0, 0xFF, 0xFF), (0xFF, 0xB9, 0xDC)]
BUTTON_EDGE = (0x10, 0x32, 0x78)

# Per size: tab (x0, y0, x1, y1, radius), button column (x0, x1), button rows [(y0, y1)],
# button radius, tab edge width, button edge width. Units are pixels.
LAYOUT = {
    16: ((2, 0, 14, 16, 2.5), (4, 12), [(1, 5), (6, 10), (11, 15)], 1.2, 0, 0),
    24: ((3, 0, 21, 24, 3.5), (6, 18), [(2, 8), (9, 15), (16, 22)], 1.6, 0, 0),
    32: ((4, 0, 28, 32, 4.5), (8, 24), [(2, 10), (12, 20), (22, 30)], 2.2, 1, 0),
}


def layout(size):
    if size in LAYOUT:
        return LAYOUT[size]
    s = size / 16  # larger sizes: the 16 px design scaled, with finer edges
    tab = (2 * s, 0.25 * s, 14 * s, 15.75 * s, 2.5 * s)
    rows = [(1.25 * s, 5 * s), (6 * s, 10 * s), (11 * s, 14.75 * s)]
    return tab, (4 * s, 12 * s), rows, 1.1 * s, 0.4 * s, 0.15 * s


def in_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    dx = max(x0 + r - x, 0.0, x - (x1 - r))
    dy = max(y0 + r - y, 0.0, y - (y1 - r))
    return dx * dx + dy * dy <= r * r


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def sample(size, x, y, geo):
    """Colour (r, g, b) of the picture at one point, or None where it is transparent."""
    (tx0, ty0, tx1, ty1, tr), (bx0, bx1), rows, br, tab_edge, button_edge = geo
    if not in_round_rect(x, y, tx0, ty0, tx1, ty1, tr):
        return None
    for n, (by0, by1) in enumerate(rows):
        if in_round_rect(x, y, bx0, by0, bx1, by1, br):
            e = button_edge
            if e and not in_round_rect(x, y, bx0 + e, by0 + e, bx1 - e, by1 - e, max(br - e, 0)):
                return BUTTON_EDGE
            colour = BUTTONS[n]
            if size >= 48:  # a soft shine on the upper half of each button
                t = (y - by0) / (by1 - by0)
                colour = mix(colour, (255, 255, 255), 0.35 * max(0.0, 0.5 - t))
                colour = mix(colour, (0, 0, 0), 0.08 * max(0.0, t - 0.5))
            return colour
    e = tab_edge
    if e and not in_round_rect(x, y, tx0 + e, ty0 + e, tx1 - e, ty1 - e, tr - e):
        return TAB_EDGE
    return mix(TAB_TOP, TAB_BOTTOM, (y - ty0) / (ty1 - ty0))


def render(size):
    """Rows of (r, g, b, a) bytes, top row first, straight (not premultiplied) alpha."""
    geo = layout(size)
    n = 4 if size > 64 else 8
    step = 1.0 / n
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(n):
                y = py + (sy + 0.5) * step
                for sx in range(n):
                    c = sample(size, px + (sx + 0.5) * step, y, geo)
                    if c is not None:
                        hits += 1
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
            if hits:
                row += bytes(round(v / hits) for v in acc) + bytes([round(255 * hits / (n * n))])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def bmp_entry(size, rows):
    """A 32-bit icon bitmap: header with double height, BGRA bottom-up, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes([b, g, r, a])
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x in range(size):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png(rows, width=None):
    """RGBA PNG from rows of RGBA bytes."""
    height = len(rows)
    width = width or len(rows[0]) // 4

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico(images):
    """images: list of (size, entry bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def enlarge(rows, factor, backdrop):
    """Nearest-neighbour enlargement over an opaque backdrop colour, for the preview."""
    out = []
    for row in rows:
        line = bytearray()
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            t = a / 255
            px = bytes(round(c * t + k * (1 - t)) for c, k in zip((r, g, b), backdrop)) + b"\xff"
            line += px * factor
        out += [bytes(line)] * factor
    return out


def main():
    args = sys.argv[1:]
    preview = None
    if "--preview" in args:
        k = args.index("--preview")
        preview = args[k + 1]
        del args[k:k + 2]
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = args[0] if args else os.path.join(root, "resources", "hariko.ico")

    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png(rows) if size >= 256 else bmp_entry(size, rows)))
        if preview:
            os.makedirs(preview, exist_ok=True)
            with open(os.path.join(preview, f"icon_{size}.png"), "wb") as f:
                f.write(png(rows))
            if size <= 48:
                for name, backdrop in (("light", (240, 240, 240)), ("dark", (32, 32, 32))):
                    big = enlarge(rows, 256 // size, backdrop)
                    with open(os.path.join(preview, f"icon_{size}_x{256 // size}_{name}.png"),
                              "wb") as f:
                        f.write(png(big))
    data = ico(images)
    with open(target, "wb") as f:
        f.write(data)
    print(f"{target}: {len(data)} bytes, sizes {', '.join(map(str, SIZES))}")


if __name__ == "__main__":
    main()
