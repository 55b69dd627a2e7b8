#!/usr/bin/env python3
"""Screenshot arithmetic for the end-to-end scripts, on the game's own TGA
screenshots (rows bottom first, blue green red).  Places are window
fractions, y from the bottom.
  size FILE                    WIDTH HEIGHT
  mean FILE                    the mean of all colour bytes, 0..255
  colours FILE                 distinct colours among every 97th pixel
  count FILE X0 Y0 X1 Y1 KIND  pixels of KIND in the rectangle
  diff A B Y0 Y1               mean absolute byte difference over those rows
KIND: red, green or blue (that channel above 60 and twice each other one),
sky (blue above red by 30), grey (the menus' clear colour 128 +- 1), haze
(the race's clear colour cf e3 f2 +- 2), ground (red above blue by 15),
yellow (the HUD's message colour)."""
import sys


def load(name):
    d = open(name, "rb").read()
    return d[12] | d[13] << 8, d[14] | d[15] << 8, d[18 + d[0]:]


def is_kind(kind, r, g, b):
    c = {"red": r, "green": g, "blue": b}
    if kind in c:
        return c[kind] > 60 and all(c[kind] > 2 * v for k, v in c.items() if k != kind)
    return {"sky": lambda: b > r + 30, "grey": lambda: all(abs(v - 128) <= 1 for v in (r, g, b)),
            "haze": lambda: abs(r - 0xcf) <= 2 and abs(g - 0xe3) <= 2 and abs(b - 0xf2) <= 2,
            "ground": lambda: r > b + 15, "yellow": lambda: r > 200 and g > 170 and b < 110}[kind]()


def main(cmd, *a):
    if cmd == "size":
        w, h, _ = load(a[0])
        return f"{w} {h}"
    if cmd == "mean":
        px = load(a[0])[2]
        return sum(px) // max(1, len(px))
    if cmd == "colours":
        px = load(a[0])[2]
        return len(set(px[i:i + 3] for i in range(0, len(px), 3 * 97)))
    if cmd == "count":
        w, h, px = load(a[0])
        x0, y0, x1, y1 = (float(v) for v in a[1:5])
        return sum(is_kind(a[5], px[o + 2], px[o + 1], px[o])
                   for y in range(int(y0 * h), int(y1 * h))
                   for o in range((y * w + int(x0 * w)) * 3, (y * w + int(x1 * w)) * 3, 3))
    if cmd == "diff":
        w, h, pa = load(a[0])
        pb = load(a[1])[2]
        lo, hi = int(float(a[2]) * h) * w * 3, int(float(a[3]) * h) * w * 3
        return f"{sum(abs(x - y) for x, y in zip(pa[lo:hi], pb[lo:hi])) / max(1, hi - lo):.2f}"
    sys.exit(f"pixels.py: unknown command {cmd}")


print(main(*sys.argv[1:]))
