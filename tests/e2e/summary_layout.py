#!/usr/bin/env python3
# summary_layout.py SHOT.png NAME NAME NAME NAME: in a screenshot of the
# selection summary, the rear-panel picture is shown at 600 x 150 and the
# four names stand, in order, under the pictured outputs A to D (x = 394,
# 454, 514, 574 in the picture, give or take 10 pixels). Exit 0 when so.
import subprocess
import sys

OUTPUTS = (394, 454, 514, 574)
path, names = sys.argv[1], sys.argv[2:]
w, h = map(int, subprocess.check_output(["identify", "-format", "%w %h", path]).split())
raw = subprocess.check_output(["convert", path, "-depth", "8", "rgb:-"])


dark = lambda x, y, limit: max(raw[3 * (y * w + x):3 * (y * w + x) + 3]) < limit


# The picture: the rows dark nearly all the way across its width.
rows = [y for y in range(h) if sum(dark(x, y, 90) for x in range(0, w, 2)) > 250]
if not rows:
    sys.exit("no picture found")
top, bottom = rows[0], rows[-1]
cols = [x for x in range(w) if dark(x, (top + bottom) // 2, 90)]
size = (cols[-1] - cols[0] + 1, bottom - top + 1)
# The names: runs of inked columns in the 30 rows under the picture.
inked = [x for x in range(w) if any(dark(x, y, 110) for y in range(bottom + 2, bottom + 32))]
runs = []
for x in inked:
    if runs and x - runs[-1][1] <= 8:
        runs[-1][1] = x
    else:
        runs.append([x, x])
centres = [(a + b) / 2 - cols[0] for a, b in runs]
ok = size == (600, 150) and len(centres) == len(names)
ok = ok and all(abs(c - o) <= 10 for c, o in zip(centres, OUTPUTS))
sys.exit(0 if ok else f"expected {' '.join(names)} under the outputs; picture at ({cols[0]}, {top}), "
         f"{size[0]} x {size[1]}, names centred at {', '.join(f'{c:.1f}' for c in centres)}")
