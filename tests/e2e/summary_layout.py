#!/usr/bin/env python3
"""Checks a screenshot of the selection summary as a browser shows it.

Usage: summary_layout.py SHOT.png NAME NAME NAME NAME

The rear-panel picture must be shown at 600 x 150 pixels, and the four
names under it must stand, in order, under the panel's outputs A to D
(x = 394, 454, 514, 574 in the picture). Exit 0 when they do; the findings
go to standard output either way.
"""
import subprocess
import sys

OUTPUTS = (394, 454, 514, 574)
TOLERANCE = 10  # pixels between a name's centre and its output's centre


def pixels(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                          capture_output=True, text=True).stdout.split()
    w, h = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    return w, h, raw


def main():
    path, names = sys.argv[1], sys.argv[2:]
    w, h, raw = pixels(path)

    def dark(x, y, limit):
        i = 3 * (y * w + x)
        return max(raw[i], raw[i + 1], raw[i + 2]) < limit

    # The picture: rows that are dark almost all the way across its width.
    rows = [y for y in range(h) if sum(dark(x, y, 90) for x in range(0, w, 2)) > 250]
    if not rows:
        print("no picture found")
        return 1
    top, bottom = rows[0], rows[-1]
    middle = (top + bottom) // 2
    cols = [x for x in range(w) if dark(x, middle, 90)]
    left, right = cols[0], cols[-1]
    width, height = right - left + 1, bottom - top + 1
    print(f"picture at ({left}, {top}), {width} x {height}")
    ok = (width, height) == (600, 150)

    # The names: dark text in the 30 rows under the picture, split into runs
    # of columns separated by at least 8 blank columns.
    band = range(bottom + 2, min(h, bottom + 32))
    inked = [x for x in range(w) if any(dark(x, y, 110) for y in band)]
    groups = []
    for x in inked:
        if groups and x - groups[-1][1] <= 8:
            groups[-1][1] = x
        else:
            groups.append([x, x])
    centres = [(a + b) / 2 - left for a, b in groups]
    print("name centres in the picture:", ", ".join(f"{c:.1f}" for c in centres))
    if len(centres) != len(names):
        print(f"expected {len(names)} names ({' '.join(names)}), found {len(centres)}")
        return 1
    for name, centre, output in zip(names, centres, OUTPUTS):
        if abs(centre - output) > TOLERANCE:
            print(f"{name} stands at {centre:.1f}, its output at {output}")
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
