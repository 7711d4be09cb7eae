#!/usr/bin/env python3
"""Draws Norvane's 46 present-weather symbols from vector definitions into .bmp files.

Each symbol is a list of strokes (dots, lines, stars, commas, triangles, arcs) in a
unit square; it is rasterised at 4x and reduced, a pixel taking its stroke colour when
enough of it is covered, so edges stay crisp on the white paper the map treats as
transparent.

    python3 tools/make_symbols/make_symbols.py data/symbols
"""
import math
import os
import struct
import sys

SIZE = 21          # pixels of a finished symbol
SS = 4             # supersampling factor
WHITE = (255, 255, 255)
RAIN = (0, 150, 0)
SNOW = (0, 90, 220)
THUNDER = (200, 0, 0)
FREEZE = (200, 0, 0)
FOG = (150, 150, 40)
DUST = (150, 90, 30)
SMOKE = (90, 90, 90)
ICE = (200, 0, 160)
GRAY = (60, 60, 60)


class Canvas:
    def __init__(self):
        n = SIZE * SS
        self.n = n
        self.cov = [[None] * n for _ in range(n)]

    def _plot(self, fn, colour):
        n = self.n
        for py in range(n):
            y = (py + 0.5) / n
            for px in range(n):
                if fn((px + 0.5) / n, y):
                    self.cov[py][px] = colour

    def dot(self, x, y, r, colour):
        self._plot(lambda u, v: (u - x) ** 2 + (v - y) ** 2 <= r * r, colour)

    def line(self, x1, y1, x2, y2, w, colour):
        dx, dy = x2 - x1, y2 - y1
        ll = dx * dx + dy * dy or 1e-9

        def inside(u, v):
            t = max(0.0, min(1.0, ((u - x1) * dx + (v - y1) * dy) / ll))
            return (u - x1 - t * dx) ** 2 + (v - y1 - t * dy) ** 2 <= (w / 2) ** 2
        self._plot(inside, colour)

    def polyline(self, pts, w, colour):
        for a, b in zip(pts, pts[1:]):
            self.line(a[0], a[1], b[0], b[1], w, colour)

    def star(self, x, y, r, colour):
        for k in range(3):
            a = math.pi * k / 3 + math.pi / 2
            self.line(x - r * math.cos(a), y - r * math.sin(a), x + r * math.cos(a), y + r * math.sin(a), 0.07, colour)

    def comma(self, x, y, r, colour):
        self.dot(x, y, r, colour)
        self.polyline([(x + r * 0.9, y), (x + r * 0.6, y + r * 1.6), (x - r * 0.4, y + r * 2.4)], r * 0.8, colour)

    def triangle(self, x, y, r, colour, down=True, filled=True):
        if down:
            pts = [(x - r, y - r * 0.8), (x + r, y - r * 0.8), (x, y + r * 0.9)]
        else:
            pts = [(x - r, y + r * 0.8), (x + r, y + r * 0.8), (x, y - r * 0.9)]
        if filled:
            def inside(u, v):
                s = 0
                for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
                    c = (bx - ax) * (v - ay) - (by - ay) * (u - ax)
                    s += 1 if c > 0 else -1 if c < 0 else 0
                return abs(s) == 3
            self._plot(inside, colour)
        self.polyline(pts + pts[:1], 0.07, colour)

    def arc(self, x, y, r, a0, a1, w, colour):
        steps = 16
        pts = [(x + r * math.cos(a0 + (a1 - a0) * i / steps), y + r * math.sin(a0 + (a1 - a0) * i / steps))
               for i in range(steps + 1)]
        self.polyline(pts, w, colour)

    def image(self):
        out = []
        for y in range(SIZE):
            row = []
            for x in range(SIZE):
                counts = {}
                for sy in range(SS):
                    for sx in range(SS):
                        c = self.cov[y * SS + sy][x * SS + sx]
                        if c is not None:
                            counts[c] = counts.get(c, 0) + 1
                best = max(counts.items(), key=lambda kv: kv[1]) if counts else None
                row.append(best[0] if best and best[1] >= SS * SS * 0.35 else WHITE)
            out.append(row)
        return out


def write_bmp(path, pixels):
    h, w = len(pixels), len(pixels[0])
    row_bytes = (w * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(pixels):
        for r, g, b in row:
            data += bytes((b, g, r))
        data += b"\0" * (row_bytes - w * 3)
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(header + info + data)
    os.replace(tmp, path)


# --- building blocks -----------------------------------------------------------------

def dots(c, n, colour=RAIN, y=0.5):
    pos = {1: [(0.5, y)], 2: [(0.35, y), (0.65, y)], 3: [(0.5, y - 0.2), (0.3, y + 0.12), (0.7, y + 0.12)],
           4: [(0.5, y - 0.25), (0.3, y), (0.7, y), (0.5, y + 0.25)]}[n]
    for x, yy in pos:
        c.dot(x, yy, 0.09, colour)


def commas(c, n, colour=RAIN):
    pos = {1: [(0.5, 0.4)], 2: [(0.33, 0.4), (0.67, 0.4)], 3: [(0.5, 0.22), (0.3, 0.55), (0.7, 0.55)]}[n]
    for x, y in pos:
        c.comma(x, y, 0.08, colour)


def stars(c, n, y=0.5):
    pos = {1: [(0.5, y)], 2: [(0.3, y), (0.7, y)], 3: [(0.5, y - 0.22), (0.28, y + 0.14), (0.72, y + 0.14)]}[n]
    for x, yy in pos:
        c.star(x, yy, 0.15, SNOW)


def shower(c, colour=RAIN):
    c.triangle(0.5, 0.72, 0.2, colour, down=True, filled=False)


def thunder(c):
    # The thunderstorm bracket with its lightning stroke.
    c.polyline([(0.25, 0.95), (0.25, 0.45), (0.75, 0.45), (0.6, 0.7), (0.8, 0.7), (0.62, 0.97)], 0.08, THUNDER)


def freezing(c):
    c.arc(0.5, 0.55, 0.34, math.pi * 0.9, math.pi * 2.1, 0.07, FREEZE)


def hail(c, y=0.35, filled=True):
    c.triangle(0.5, y, 0.14, ICE, down=False, filled=filled)


def bars(c, n, colour=FOG):
    for k in range(n):
        y = 0.5 + (k - (n - 1) / 2) * 0.18
        c.line(0.18, y, 0.82, y, 0.08, colour)


def combine(*parts):
    def draw(c):
        for p in parts:
            p(c)
    return draw


def funnel(heavy):
    def draw(c):
        c.arc(0.05, 0.5, 0.35, -0.8, 0.8, 0.08, GRAY)
        c.arc(0.95, 0.5, 0.35, math.pi - 0.8, math.pi + 0.8, 0.08, GRAY)
        if heavy:
            c.line(0.5, 0.2, 0.5, 0.8, 0.08, GRAY)
    return draw


def top(fn):
    """Draws a precipitation part in the upper half (over a shower or storm sign)."""
    def draw(c):
        fn(c)
    return draw


SYMBOLS = {
    "fc.bmp": funnel(False),
    "+fc.bmp": funnel(True),
    "-shsn.bmp": combine(shower, lambda c: c.star(0.5, 0.28, 0.14, SNOW)),
    "shsn.bmp": combine(lambda c: shower(c, SNOW), lambda c: stars(c, 2, 0.28)),
    "-shra.bmp": combine(shower, lambda c: c.dot(0.5, 0.3, 0.09, RAIN)),
    "shra.bmp": combine(shower, lambda c: dots(c, 2, RAIN, 0.3)),
    "-shrasn.bmp": combine(shower, lambda c: c.dot(0.5, 0.15, 0.08, RAIN), lambda c: c.star(0.5, 0.38, 0.12, SNOW)),
    "shrasn.bmp": combine(shower, lambda c: dots(c, 2, RAIN, 0.14), lambda c: stars(c, 2, 0.38)),
    "-shgs.bmp": combine(shower, lambda c: hail(c, 0.3, False)),
    "shgs.bmp": combine(shower, lambda c: hail(c, 0.3, True)),
    "-shgr.bmp": combine(shower, lambda c: hail(c, 0.3, False), lambda c: c.dot(0.5, 0.32, 0.04, ICE)),
    "shgr.bmp": combine(shower, lambda c: hail(c, 0.3, True), lambda c: c.line(0.2, 0.3, 0.8, 0.3, 0.05, ICE)),
    "-ra.bmp": lambda c: dots(c, 2),
    "ra.bmp": lambda c: dots(c, 3),
    "+ra.bmp": lambda c: dots(c, 4),
    "-dz.bmp": lambda c: commas(c, 1),
    "dz.bmp": lambda c: commas(c, 2),
    "+dz.bmp": lambda c: commas(c, 3),
    "-sn.bmp": lambda c: stars(c, 1),
    "sn.bmp": lambda c: stars(c, 2),
    "+sn.bmp": lambda c: stars(c, 3),
    "blsa.bmp": lambda c: (c.arc(0.5, 0.5, 0.25, -math.pi / 2, math.pi / 2, 0.08, DUST),
                           c.line(0.1, 0.5, 0.9, 0.5, 0.08, DUST),
                           c.polyline([(0.75, 0.38), (0.9, 0.5), (0.75, 0.62)], 0.08, DUST)),
    "blsn.bmp": lambda c: (c.line(0.1, 0.5, 0.9, 0.5, 0.08, SNOW),
                           c.polyline([(0.72, 0.36), (0.9, 0.5), (0.72, 0.64)], 0.08, SNOW),
                           c.star(0.35, 0.28, 0.13, SNOW)),
    "br.bmp": lambda c: bars(c, 2),
    "fg.bmp": lambda c: bars(c, 3),
    "fu.bmp": lambda c: (c.line(0.3, 0.85, 0.3, 0.25, 0.08, SMOKE),
                         c.polyline([(0.3, 0.25), (0.45, 0.15), (0.6, 0.25), (0.75, 0.15)], 0.08, SMOKE)),
    "-fzdz.bmp": combine(freezing, lambda c: c.comma(0.5, 0.48, 0.08, RAIN)),
    "fzdz.bmp": combine(freezing, lambda c: c.comma(0.38, 0.48, 0.07, RAIN), lambda c: c.comma(0.62, 0.48, 0.07, RAIN)),
    "-fzra.bmp": combine(freezing, lambda c: c.dot(0.5, 0.55, 0.09, RAIN)),
    "fzra.bmp": combine(freezing, lambda c: dots(c, 2, RAIN, 0.55)),
    "hz.bmp": lambda c: (c.arc(0.33, 0.5, 0.16, 0, 2 * math.pi, 0.08, DUST),
                         c.arc(0.67, 0.5, 0.16, 0, 2 * math.pi, 0.08, DUST)),
    "ic.bmp": lambda c: (c.line(0.2, 0.5, 0.8, 0.5, 0.08, ICE), c.line(0.5, 0.2, 0.5, 0.8, 0.08, ICE)),
    "pl.bmp": lambda c: (c.triangle(0.5, 0.5, 0.25, ICE, down=False, filled=False), c.dot(0.5, 0.55, 0.07, ICE)),
    "sq.bmp": lambda c: c.polyline([(0.2, 0.85), (0.5, 0.15), (0.8, 0.85)], 0.09, GRAY),
    "ts.bmp": thunder,
    "tsgr.bmp": combine(thunder, lambda c: hail(c, 0.2, True)),
    "tsgs.bmp": combine(thunder, lambda c: hail(c, 0.2, False)),
    "-tsra.bmp": combine(thunder, lambda c: c.dot(0.5, 0.2, 0.08, RAIN)),
    "tsra.bmp": combine(thunder, lambda c: dots(c, 2, RAIN, 0.2)),
    "-tsrasn.bmp": combine(thunder, lambda c: c.dot(0.35, 0.2, 0.07, RAIN), lambda c: c.star(0.68, 0.2, 0.12, SNOW)),
    "tsrasn.bmp": combine(thunder, lambda c: dots(c, 2, RAIN, 0.1), lambda c: c.star(0.5, 0.3, 0.12, SNOW)),
    "-tssn.bmp": combine(thunder, lambda c: c.star(0.5, 0.2, 0.13, SNOW)),
    "tssn.bmp": combine(thunder, lambda c: stars(c, 2, 0.2)),
    "up.bmp": lambda c: (c.dot(0.5, 0.5, 0.1, GRAY), c.arc(0.5, 0.5, 0.3, 0, 2 * math.pi, 0.06, GRAY)),
    "-rasn.bmp": lambda c: (c.dot(0.5, 0.3, 0.09, RAIN), c.star(0.5, 0.7, 0.14, SNOW)),
    "rasn.bmp": lambda c: (dots(c, 2, RAIN, 0.28), stars(c, 2, 0.7)),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "symbols"
    os.makedirs(folder, exist_ok=True)
    assert len(SYMBOLS) == 46, len(SYMBOLS)
    for name, draw in sorted(SYMBOLS.items()):
        c = Canvas()
        draw(c)
        write_bmp(os.path.join(folder, name), c.image())
    print(f"wrote {len(SYMBOLS)} symbols to {folder}")


if __name__ == "__main__":
    main()
