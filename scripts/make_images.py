#!/usr/bin/env python3
"""Draw OrvelloWord's toolbar strip and window icons.

Writes res/toolbar.bmp (16-pixel buttons, 100 %), res/toolbar20.bmp,
res/toolbar24.bmp and res/toolbar32.bmp (125, 150 and 200 %), and
res/editor.ico and res/output.ico (16, 20, 24, 32, 48 and 256 pixels).
Everything is drawn from the pixel maps and shapes below, so the output is
byte-for-byte reproducible; rerun this after changing a picture.
"""

import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "res")

# The toolbar loads the strip with this colour as the transparent key.
MASK = (192, 192, 192)

PALETTE = {
    ".": None,               # background / transparent
    "k": (0, 0, 0),
    "d": (64, 64, 64),
    "g": (128, 128, 128),
    "s": (224, 224, 224),    # light metal / plastic (must differ from MASK)
    "w": (255, 255, 255),
    "y": (255, 255, 0),
    "Y": (255, 255, 160),    # lit front of the open folder
    "o": (200, 160, 0),      # folder back in shadow
    "r": (255, 0, 0),
    "R": (128, 0, 0),
    "b": (0, 0, 128),
    "B": (0, 0, 255),
    "G": (0, 192, 0),
}

# ---------------------------------------------------------------- toolbar

NEW = """
................
...kkkkkkkk.....
...kwwwwwwkk....
...kwwwwwwkwk...
...kwwwwwwkwwk..
...kwwwwwwkkkkk.
...kwwwwwwwwwwk.
...kwwwwwwwwwwk.
...kwwwwwwwwwwk.
...kwwwwwwwwwwk.
...kwwwwwwwwwwk.
...kwwwwwwwwwwk.
...kwwwwwwwwwwk.
...kwwwwwwwwwwk.
...kkkkkkkkkkkk.
................
"""

OPEN = """
................
................
................
.kkkk...........
kwyyyk..........
kyoooykkkkkk....
kyoooooooooyk...
kyookkkkkkkkkkkk
kyokYYYYYYYYYYk.
kyokYYYYYYYYYk..
kykYYYYYYYYYk...
kykYYYYYYYYk....
kkYYYYYYYYk.....
kkkkkkkkkkk.....
................
................
"""

SAVE = """
................
.kkkkkkkkkkkkkk.
.kbkwwwwwwwwkbk.
.kbkwwwwwwwwkbk.
.kbkwggggggwkbk.
.kbkwwwwwwwwkbk.
.kbkwggggggwkbk.
.kbkwwwwwwwwkbk.
.kbbkkkkkkkkbbk.
.kbbbbbbbbbbbbk.
.kbbkkkkkkkkbbk.
.kbbksskkssskbk.
.kbbksskkssskbk.
.kbbksskkssskbk.
.kkkkkkkkkkkkkk.
................
"""

PRINT = """
................
....kkkkkkkk....
....kwwwwwwk....
....kwggggwk....
....kwwwwwwk....
....kwgggwwk....
..kkkkkkkkkkkk..
.kwwwwwwwwwwwsk.
.kssssssssssGsk.
.kssssssssssssk.
.kggggggggggggk.
.kkkkkkkkkkkkkk.
...kwwwwwwwwk...
...kwggggggwk...
...kkkkkkkkkk...
................
"""

BOLD = """
................
................
..kkkkkkkkk.....
...kkk...kkk....
...kkk...kkk....
...kkk...kkk....
...kkk..kkk.....
...kkkkkkk......
...kkk...kkk....
...kkk....kkk...
...kkk....kkk...
...kkk....kkk...
...kkk...kkk....
..kkkkkkkkk.....
................
................
"""

ITALIC = """
................
................
......kkkkkk....
........kk......
........kk......
.......kk.......
.......kk.......
......kk........
......kk........
.....kk.........
.....kk.........
....kk..........
....kk..........
..kkkkkk........
................
................
"""

UNDERLINE = """
................
................
..kkkk...kkkk...
...kk.....kk....
...kk.....kk....
...kk.....kk....
...kk.....kk....
...kk.....kk....
...kk.....kk....
...kk.....kk....
....kk...kk.....
.....kkkkk......
................
..kkkkkkkkkkk...
................
................
"""

COLOR = """
................
.......k........
......kkk.......
......kkk.......
.....kk.kk......
.....kk.kk......
....kk...kk.....
....kkkkkkk.....
...kk.....kk....
...kk.....kk....
..kkkk...kkkk...
................
.kkkkkkkkkkkkk..
.krrrrrrrrrrrk..
.krrrrrrrrrrrk..
.kkkkkkkkkkkkk..
"""

ALIGN_LEFT = """
................
................
................
..kkkkkkkkkkkk..
................
................
..kkkkkkkk......
................
................
..kkkkkkkkkkkk..
................
................
..kkkkkkkk......
................
................
................
"""

ALIGN_CENTER = """
................
................
................
..kkkkkkkkkkkk..
................
................
....kkkkkkkk....
................
................
..kkkkkkkkkkkk..
................
................
....kkkkkkkk....
................
................
................
"""

ALIGN_RIGHT = """
................
................
................
..kkkkkkkkkkkk..
................
................
......kkkkkkkk..
................
................
..kkkkkkkkkkkk..
................
................
......kkkkkkkk..
................
................
................
"""

BULLETS = """
................
................
.kkk............
.kkk..kkkkkkkkk.
.kkk............
................
................
.kkk............
.kkk..kkkkkkkkk.
.kkk............
................
................
.kkk............
.kkk..kkkkkkkkk.
.kkk............
................
"""

# Order must match the button bitmap indices used by the toolbar code.
TOOLBAR = [NEW, OPEN, SAVE, PRINT, BOLD, ITALIC, UNDERLINE, COLOR,
           ALIGN_LEFT, ALIGN_CENTER, ALIGN_RIGHT, BULLETS]


def parse_map(text, size):
    rows = text.strip("\n").split("\n")
    assert len(rows) == size, (len(rows), rows[0])
    for r in rows:
        assert len(r) == size, r
        for c in r:
            assert c in PALETTE, c
    return rows


def write_bmp4(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y = 0 at the top. At most 16 colours.

    A palette bitmap, so the program can load it with LR_LOADMAP3DCOLORS and the
    silver background takes the user's button-face colour."""
    colours = sorted({pixel(x, y) for y in range(height) for x in range(width)})
    assert len(colours) <= 16, len(colours)
    index = {c: k for k, c in enumerate(colours)}
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    palette += b"\0" * (64 - len(palette))
    stride = ((width + 1) // 2 + 3) & ~3
    body = bytearray()
    for y in range(height - 1, -1, -1):          # BMP rows run bottom-up
        row = bytearray()
        for x in range(0, width, 2):
            hi = index[pixel(x, y)]
            lo = index[pixel(x + 1, y)] if x + 1 < width else 0
            row.append(hi << 4 | lo)
        row += b"\0" * (stride - len(row))
        body += row
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0,
                       len(body), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + palette + body)


def scale2x(rows):
    """EPX / Scale2x: twice the size, diagonals stay sharp, no new colours."""
    h, w = len(rows), len(rows[0])
    out = [[None] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p = rows[y][x]
            a = rows[y - 1][x] if y > 0 else p
            b = rows[y][x + 1] if x + 1 < w else p
            c = rows[y][x - 1] if x > 0 else p
            d = rows[y + 1][x] if y + 1 < h else p
            e = [p, p, p, p]
            if c == a and c != d and a != b:
                e[0] = a
            if a == b and a != c and b != d:
                e[1] = b
            if d == c and d != b and c != a:
                e[2] = c
            if b == d and b != a and d != c:
                e[3] = d
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = e[0], e[1]
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = e[2], e[3]
    return out


def scale3x(rows):
    """Scale3x: three times the size, same rules as Scale2x."""
    h, w = len(rows), len(rows[0])

    def at(x, y):
        return rows[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]

    out = [[None] * (3 * w) for _ in range(3 * h)]
    for y in range(h):
        for x in range(w):
            A, B, C = at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)
            D, E, F = at(x - 1, y), at(x, y), at(x + 1, y)
            G, H, I = at(x - 1, y + 1), at(x, y + 1), at(x + 1, y + 1)
            e = [E] * 9
            if B != H and D != F:
                e[0] = D if D == B else E
                e[1] = B if (D == B and E != C) or (B == F and E != A) else E
                e[2] = F if B == F else E
                e[3] = D if (D == B and E != G) or (D == H and E != A) else E
                e[5] = F if (B == F and E != I) or (H == F and E != C) else E
                e[6] = D if D == H else E
                e[7] = H if (D == H and E != I) or (H == F and E != G) else E
                e[8] = F if H == F else E
            for k in range(9):
                out[3 * y + k // 3][3 * x + k % 3] = e[k]
    return out


def sample(rows, size):
    """Nearest pixel: a grid of size x size cells taken from rows."""
    n = len(rows)
    return [[rows[y * n // size][x * n // size] for x in range(size)]
            for y in range(size)]


# The strips for 100, 125, 150 and 200 %: the 16-pixel maps grown with
# Scale2x/Scale3x, so outlines stay one crisp line instead of a blur.
TOOLBAR_SIZES = {
    16: lambda m: m,
    20: lambda m: sample(scale2x(m), 20),
    24: lambda m: sample(scale3x(m), 24),
    32: scale2x,
}


def make_toolbar():
    for size, grow in TOOLBAR_SIZES.items():
        maps = [grow(parse_map(m, 16)) for m in TOOLBAR]

        def pixel(x, y):
            c = PALETTE[maps[x // size][y][x % size]]
            return MASK if c is None else c

        name = "toolbar.bmp" if size == 16 else "toolbar%d.bmp" % size
        write_bmp4(os.path.join(RES, name), size * len(maps), size, pixel)


# ------------------------------------------------------------------ icons

class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[None] * size for _ in range(size)]   # None = transparent

    def put(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Filled, inclusive corners."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def hline(self, x0, x1, y, c):
        self.rect(x0, y, x1, y, c)


def page(cv, x0, y0, x1, y1, fold, line_rows, line_x1):
    """White sheet with a dog-eared top right corner and ruled text."""
    k, w, g = PALETTE["k"], PALETTE["w"], PALETTE["g"]
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            cut = (x - (x1 - fold)) - (y - y0)     # >0 above the fold diagonal
            if cut > 0:
                continue
            edge = x in (x0, x1) or y in (y0, y1) or cut == 0
            cv.put(x, y, k if edge else w)
    # the turned-down flap
    for i in range(fold + 1):
        cv.put(x1 - fold, y0 + i, k)
        cv.put(x1 - fold + i, y0 + fold, k)
    for y in range(y0 + 1, y0 + fold):
        for x in range(x1 - fold + 1, x1 - fold + (y - y0)):
            cv.put(x, y, PALETTE["s"])
    for y, lx0, lx1 in line_rows:
        cv.hline(lx0, min(lx1, line_x1), y, g)


def pencil(cv, tip, end, half, tip_len, cap_len):
    """Yellow pencil from tip (sharpened) to end (eraser), outlined."""
    tx, ty = tip
    ex, ey = end
    L = ((ex - tx) ** 2 + (ey - ty) ** 2) ** 0.5
    dx, dy = (ex - tx) / L, (ey - ty) / L
    wood = (240, 200, 140)
    lead = (40, 40, 40)
    body = PALETTE["y"]
    body_dark = (200, 160, 0)
    band = (160, 160, 160)
    eraser = (240, 120, 150)

    def halfwidth(u):
        if u < tip_len:
            return half * u / tip_len
        return half

    for y in range(cv.size):
        for x in range(cv.size):
            px, py = x + 0.5 - tx, y + 0.5 - ty
            u = px * dx + py * dy
            v = px * -dy + py * dx
            if -0.9 <= u <= L + 0.9 and abs(v) <= halfwidth(max(u, 0)) + 0.9:
                inside = 0 <= u <= L and abs(v) <= halfwidth(u) - 0.1
                if not inside:
                    cv.put(x, y, PALETTE["k"])
                elif u < tip_len * 0.45:
                    cv.put(x, y, lead)
                elif u < tip_len:
                    cv.put(x, y, wood)
                elif u > L - cap_len:
                    cv.put(x, y, eraser)
                elif u > L - cap_len - max(1.5, cap_len * 0.6):
                    cv.put(x, y, band)
                else:
                    cv.put(x, y, body_dark if v > half * 0.3 else body)


def pencil45(cv, tip_x, tip_y, length):
    """Pencil on a 45-degree diagonal, tip at bottom left; crisp at 16x16
    where the free-angle version turns to mush."""
    c = tip_x + tip_y                 # diagonal the pencil's axis runs along
    a_tip = tip_x - tip_y
    a_end = a_tip + length
    for y in range(cv.size):
        for x in range(cv.size):
            a, b = x - y, x + y
            t = a - a_tip
            if t < 0 or a > a_end + 1:
                continue
            off = abs(b - c)
            half = min(t, 2)
            if off > half:
                continue
            if t == 0 or (t <= 2 and off < half):
                col = (40, 40, 40)                       # lead
            elif off == half or a == a_end + 1:
                col = PALETTE["k"]
            elif t <= 4:
                col = (240, 200, 140)                    # bare wood
            elif a >= a_end - 1:
                col = (240, 120, 150)                    # eraser
            elif a >= a_end - 3:
                col = (160, 160, 160)                    # ferrule
            elif b > c:
                col = (200, 160, 0)                      # shaded side
            else:
                col = PALETTE["y"]
            cv.put(x, y, col)


def editor_icon(size):
    """The 32-pixel design drawn again at any size from 20 up; 16 has its own."""
    cv = Canvas(size)
    if size >= 20:
        def at(v):
            return int(round(v * size / 32.0))
        rows = [(at(y), at(7), at(24 if i % 3 != 2 else 17))
                for i, y in enumerate(range(10, 28, 3))]
        rows.insert(0, (at(7), at(7), at(15)))
        page(cv, at(4), at(1), at(27), at(30), at(7), rows, at(24))
        k = size / 32.0
        pencil(cv, (13.5 * k, 27.5 * k), (30.5 * k, 6.5 * k), 3.0 * k, 6.0 * k, 3.0 * k)
    else:
        rows = [(3, 3, 6), (5, 3, 10), (7, 3, 10), (9, 3, 10), (11, 3, 7)]
        page(cv, 1, 0, 12, 15, 3, rows, 10)
        pencil45(cv, 5, 14, 18)
    return cv


def output_icon(size):
    cv = Canvas(size)
    k = PALETTE["k"]
    green = (0, 255, 0)
    dim_green = (0, 160, 0)
    white = PALETTE["w"]
    screen = (16, 16, 16)
    if size >= 20:
        def at(v):
            return int(round(v * size / 32.0))

        def box(x0, y0, x1, y1, c):
            # Inclusive 32-pixel corners: each cell of the design grows whole.
            cv.rect(at(x0), at(y0), at(x1 + 1) - 1, at(y1 + 1) - 1, c)

        box(1, 3, 30, 28, k)
        box(2, 4, 29, 8, PALETTE["b"])                   # title bar
        box(4, 6, 14, 6, (160, 180, 255))
        for bx in (21, 25):
            box(bx, 5, bx + 2, 7, PALETTE["s"])          # caption buttons
        box(2, 9, 29, 27, screen)
        lines = [(12, 4, 21, green), (15, 4, 26, dim_green),
                 (18, 4, 16, green), (21, 4, 23, white)]
        for y, x0, x1, c in lines:
            box(x0, y, x1, y + 1, c)
        box(4, 24, 5, 25, green)                         # prompt
        box(8, 24, 10, 25, white)                        # cursor block
        # bevel so the window reads as raised on any desktop colour
        box(1, 28, 30, 28, (96, 96, 96))
    else:
        cv.rect(0, 1, 15, 14, k)
        cv.rect(1, 2, 14, 4, PALETTE["b"])
        cv.rect(12, 3, 13, 3, PALETTE["s"])
        cv.rect(1, 5, 14, 13, screen)
        cv.hline(2, 10, 6, green)
        cv.hline(2, 12, 8, dim_green)
        cv.hline(2, 8, 10, white)
        cv.put(2, 12, green)
        cv.rect(4, 12, 5, 12, white)
    return cv


def dib32(cv):
    n = cv.size
    info = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(n):
            c = cv.px[y][x]
            if c is None:
                xor += b"\0\0\0\0"
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = c
                xor += bytes((b, g, r, 255))
        mask += bits
    return info + bytes(xor) + bytes(mask)


def png(cv):
    """The canvas as a PNG (RGBA): the 256-pixel image of an icon is kept this way."""
    n = cv.size
    raw = bytearray()
    for y in range(n):
        raw.append(0)
        for x in range(n):
            c = cv.px[y][x]
            raw += b"\0\0\0\0" if c is None else bytes(c) + b"\xff"

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    head = struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write_ico(path, canvases):
    images = [png(cv) if cv.size >= 256 else dib32(cv) for cv in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        dim = cv.size if cv.size < 256 else 0
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


ICON_SIZES = (32, 16, 20, 24, 48, 256)


def main():
    os.makedirs(RES, exist_ok=True)
    make_toolbar()
    write_ico(os.path.join(RES, "editor.ico"), [editor_icon(n) for n in ICON_SIZES])
    write_ico(os.path.join(RES, "output.ico"), [output_icon(n) for n in ICON_SIZES])


if __name__ == "__main__":
    main()
