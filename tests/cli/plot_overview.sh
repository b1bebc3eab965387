#!/usr/bin/env bash
# qpx plot and qpx overview run as processes: picture sizes, where the plot,
# its axis strips and the two overview diagrams sit, colours at documented
# points (handles at their clamped places, curves where the response CSV
# puts them, lock outlines, faded blocks, routing line colours), and the
# refusals and exit codes.
source "$(dirname "$0")/helpers.bash"
export PYTHONPATH="$(cd "$(dirname "$0")" && pwd)"  # png_pixels.py
cd "$WORK"

off=$(band 1000 7 0 0)
"$QPX" new -o default.qpx
"$QPX" new --device MV961 -o mv961.qpx
# A: "Q 1.2" high-pass at 1 kHz, Butterworth low-pass at 2 kHz; band 2 at
# 35 Hz (column 4, drawn at 6), band 3 at 1 kHz -6 dB. B: Linkwitz-Riley
# high-pass at 1 kHz (slot 1), low-pass off, muted. Lock: crossover and routing.
make_file plots '{"lock": 20, "mute": 2, "channels": [
  {"xo": [{"config": 0, "freq": [1000, 1000]}, {"config": 1, "freq": [2000, 2000]}],
   "peq": ['"$off, $(band 35 7 60 0), $(band 1000 7 -60 0), $off, $off, $off"']},
  {"xo": [{"config": 2, "freq": [100, 1000]}, {"config": 0, "freq": [120, 120]}]}, {}, {}]}'

run plot plots.qpx --channel A --kind xo -o A_xo.png
expect 0 "plot A xo"
expect_empty out "plot A xo"
"$QPX" plot plots.qpx --channel A --kind eq -o A_eq.png
"$QPX" plot plots.qpx --channel b --kind xo -o B_xo.png
"$QPX" response plots.qpx --channel A >A.csv
for f in default:0 default:1 plots:0 mv961:0; do
  run overview "${f%:*}.qpx" --input-mode "${f#*:}" -o "ov_${f%:*}_${f#*:}.png"
  expect 0 "overview $f"
done

python3 - <<'PY' || fail "pictures"
import csv, math
from png_pixels import Png
def col(f):
    return int((math.log10(f) - 1.53) / 4.08 * 1289.04)
def check(cond, what):
    assert cond, what
# Documented layout (qpx plot --help): 10-pixel margin, plot at (28, 10),
# level strip at (840, 10), frequency strip at (10, 215).
plot = lambda img, x, y: img.rgb(28 + x, 10 + y)
orange = lambda p: p[0] > 220 and 140 < p[1] < 210 and p[2] < 60
yellow = lambda p: p[0] > 200 and p[1] > 200 and p[2] < 100
dark = lambda p: max(p) < 80
grey = (156, 156, 156)

xa, ea, xb = (Png(n + ".png") for n in ("A_xo", "A_eq", "B_xo"))
for img in (xa, ea):
    check((img.width, img.height) == (885, 240), "plot size %dx%d" % (img.width, img.height))
    check(img.rgb(2, 2) == grey and img.rgb(884, 239) == grey, "page grey margin")
    check(plot(img, 400, 110)[2] > 200 and max(plot(img, 400, 110)[:2]) < 30, "blue background")
    # "0dB" starts at x 840 + 12, "1kHz" at 10 + 469.5.
    first = lambda xs, ys: next((x for x in xs if any(dark(img.rgb(x, y)) for y in ys)), None)
    check(852 <= first(range(845, 880), range(106, 116)) <= 855, "0dB label place")
    check(479 <= first(range(470, 520), range(216, 225)) <= 482, "1kHz label place")
# Crossover handles at fixed rows by type: "Q 1.2" 90, Butterworth 127, Linkwitz-Riley 151.
check(orange(plot(xa, col(1000), 85)), "HP handle of 'Q 1.2' at row 90")
check(orange(plot(xa, col(2000), 122)), "LP handle of Butterworth at row 127")
check(orange(plot(xb, col(1000), 146)), "HP handle of Linkwitz-Riley at row 151, slot-1 frequency")
check(not orange(plot(xb, col(120), 85)), "no handle for a low-pass that is off")
# EQ handles: band 3 at (464, 150); band 2 clamped from column 4 to 6 (its
# circle then reaches column 11, from column 4 it would not).
check(orange(plot(ea, col(1000), 145)), "band 3 handle")
check(orange(plot(ea, 11, 54)), "band 2 handle at its clamped column")
# The plot clips its curve: the high-pass falls far below row 205 at the low end.
check(not any(yellow(xa.rgb(x, y)) for x in range(0, 885, 2) for y in range(215, 240)), "curve clipped to the plot")
# The curves lie where the response CSV puts them.
rows = {int(r["column"]): r for r in csv.DictReader(open("A.csv"))}
for img, key, x in ((ea, "eq_sum_db", 300), (ea, "eq_sum_db", 700), (xa, "crossover_db", 520)):
    y = 102 - 8 * float(rows[x][key])
    check(10 < y < 195 and yellow(plot(img, x, int(y))), "%s curve at column %d, row %.1f" % (key, x, y))

# Overview: routing diagram at (10, 10), signal flow at (330, 10).
R = lambda img, x, y: img.rgb(10 + x, 10 + y)
F = lambda img, x, y: img.rgb(330 + x, 10 + y)
d0, d1, p0, m0 = (Png("ov_%s.png" % n) for n in ("default_0", "default_1", "plots_0", "mv961_0"))
check((d0.width, d0.height) == (970, 415), "overview size %dx%d" % (d0.width, d0.height))
check(R(p0, 150, 200) == (255, 0, 0) and dark(R(d0, 150, 200)), "router outline red only when routing is locked")
check(F(p0, 180, 130) == (255, 0, 0) and dark(F(d0, 180, 130)), "XO block outline red only when the crossover is locked")
check(min(F(p0, 93, 103)) > 235 and max(F(p0, 93, 173)) < 200, "LEVEL block of muted channel B faded")
check(R(d0, 220, 120) == (255, 204, 153), "mode 0: orange line from output A to input A")
blue = lambda img: max(p[2] - p[0] for p in (R(img, 220, y) for y in range(108, 119)))
check(blue(d1) > 40 and blue(d0) <= 0, "mode 1: blue line from output A to d1 L")
check(min(F(d0, 183, 243)) > 235 and F(m0, 183, 243) == grey, "MV961: no row C")
PY

# ---- refusals and exit codes ----
run overview mv961.qpx --input-mode 2 -o m.png
expect 2 "MV961 input mode 2" "input modes 0 and 1"
absent m.png "a refused overview"
run plot default.qpx --channel A --kind peq -o k.png
expect 2 "unknown --kind"
absent k.png "a refused plot"
cp plots.qpx damaged.qpx
replace damaged.qpx '<FREQ ID="1">2000</FREQ>' '<FREQ ID="1">3000</FREQ>'
run overview damaged.qpx -o damaged.png
expect 1 "overview of a damaged file"
absent damaged.png "overview of a damaged file"
run plot damaged.qpx --channel A --kind xo --no-checksum -o -
expect 0 "plot --no-checksum to standard output"
[ "$(head -c 8 out | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "plot -o - did not write a PNG"

finish
