#!/usr/bin/env python3
"""Draws Mirotabe's icon at 16, 32 and 48 pixels and writes the three PNGs.

The picture is what the program does: a sheet of paper whose text runs in
columns from top to bottom, read from right to left, with a red title in the
first column on the right, as on a page of vertical writing.

The PNGs are committed, so building never runs this script; run it again
only after changing the drawing:  python3 packaging/icons/make-icons.py
Only the standard library is used.  Each image is a paletted PNG of at most
16 colours, with transparency through the palette.
"""

import os
import struct
import zlib

# The one palette of all three sizes: (red, green, blue, alpha).
PALETTE = {
    ".": (0, 0, 0, 0),            # outside the paper
    "o": (70, 66, 78, 255),       # paper edge
    "p": (252, 249, 238, 255),    # paper
    "f": (214, 206, 188, 255),    # the turned-down corner
    "s": (40, 36, 48, 70),        # shadow under the paper
    "k": (34, 32, 44, 255),       # ink
    "r": (200, 32, 52, 255),      # red ink of the first column
}

# Characters small enough for one column: one stroke pattern per character.
# At 16 pixels characters run together into broken lines; larger sizes get a
# few shapes that read as kana and kanji.
GLYPHS = {
    16: [["#"] * 4, ["#"] * 3, ["#"] * 2, ["#"] * 3],
    32: [
        [".#.", "###", ".#."],   # 十
        ["###", "#.#", "###"],   # 口
        ["#..", "#..", ".##"],   # し
        ["###", ".#.", "###"],   # 工
        [".#.", ".#.", "#.#"],   # 人
        ["###", "...", "###"],   # 二
        ["#.#", "#.#", "#.."],   # い
    ],
    48: [
        ["..#..", "#####", "..#..", ".#.#.", "#...#"],   # 大
        ["#####", "#...#", "#####", "#...#", "#####"],   # 日
        ["#....", "#..#.", "#...#", "#....", ".#..."],   # い
        ["#####", ".....", ".###.", ".....", "#####"],   # 三
        ["..#..", "#####", ".###.", "#.#.#", "..#.."],   # 木
        [".#...", ".#...", ".#...", ".#..#", "..##."],   # し
        ["..#..", "..#..", ".#.#.", ".#.#.", "#...#"],   # 人
    ],
}

# Where things go at each size: the paper's box, the size of its turned-down
# corner, the gap between characters, and the columns from right to left as
# (left edge, first row, number of characters).  The first column is the
# title: red, and starting lower than the text, as a title on manuscript
# paper does; the last column of text ends early.
LAYOUT = {
    16: dict(paper=(2, 0, 13, 15), fold=4, gap=1,
             columns=[(10, 5, 2), (8, 2, 3), (6, 2, 3), (4, 2, 2)]),
    32: dict(paper=(4, 1, 26, 30), fold=4, gap=1,
             columns=[(20, 8, 3), (14, 4, 6), (8, 4, 4)]),
    48: dict(paper=(7, 2, 39, 45), fold=6, gap=1,
             columns=[(30, 12, 3), (21, 6, 6), (12, 6, 4)]),
}


def draw(size):
    """Returns the picture as rows of palette characters."""
    grid = [["."] * size for _ in range(size)]
    lay = LAYOUT[size]
    x0, y0, x1, y1 = lay["paper"]
    fold = lay["fold"]

    def put(x, y, c):
        if 0 <= x < size and 0 <= y < size:
            grid[y][x] = c

    # Shadow one pixel right of and below the paper, from 32 pixels up: at
    # 16 it would only blur the edge.
    if size >= 32:
        for y in range(y0 + 2, y1 + 2):
            put(x1 + 1, y, "s")
        for x in range(x0 + 2, x1 + 2):
            put(x, y1 + 1, "s")

    # The paper with its top-right corner cut off along a diagonal.
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            cut = (x - (x1 - fold)) - (y - y0)
            if cut > 0:
                continue
            edge = x in (x0, x1) or y in (y0, y1) or cut == 0
            put(x, y, "o" if edge else "p")

    # The corner turned down: a triangle under the diagonal, edged below
    # and to the left.
    for y in range(y0, y0 + fold + 1):
        for x in range(x1 - fold, x1 + 1):
            inside = (x - (x1 - fold)) <= (y - y0)
            if not inside:
                continue
            edge = x == x1 - fold or y == y0 + fold or x - (x1 - fold) == y - y0
            put(x, y, "o" if edge else "f")

    # The columns of text, the title on the right.
    glyphs = GLYPHS[size]
    n = 0
    for column, (left, y, count) in enumerate(lay["columns"]):
        ink = "r" if column == 0 else "k"
        for _ in range(count):
            glyph = glyphs[n % len(glyphs)]
            n += 1
            for dy, row in enumerate(glyph):
                for dx, c in enumerate(row):
                    if c == "#":
                        put(left + dx, y + dy, ink)
            y += len(glyph) + lay["gap"]
    return ["".join(row) for row in grid]


def png(rows):
    """Encodes rows of palette characters as a 4-bit paletted PNG."""
    keys = list(PALETTE)
    assert len(keys) <= 16
    index = {k: i for i, k in enumerate(keys)}
    width, height = len(rows[0]), len(rows)

    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        indices = [index[c] for c in row] + [0]
        for i in range(0, width, 2):
            raw.append(indices[i] << 4 | indices[i + 1])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(
            ">I", zlib.crc32(body) & 0xFFFFFFFF)

    plte = b"".join(bytes(PALETTE[k][:3]) for k in keys)
    trns = bytes(PALETTE[k][3] for k in keys)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 4, 3, 0, 0, 0))
            + chunk(b"PLTE", plte)
            + chunk(b"tRNS", trns)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for size in sorted(LAYOUT):
        rows = draw(size)
        folder = os.path.join(here, f"{size}x{size}")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "mirotabe.png")
        with open(path, "wb") as out:
            out.write(png(rows))
        print(path)


if __name__ == "__main__":
    main()
