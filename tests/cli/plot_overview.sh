#!/usr/bin/env bash
# qpx plot and qpx overview run as processes on the golden files: picture
# sizes, where the plot, its axis strips and the two diagrams sit, and
# colours at documented points (handles by crossover type and EQ gain,
# curves where the golden CSV puts them, lock outlines, a muted channel,
# routing lines by input mode, the MV961's two rows).
source "$(dirname "$0")/helpers.bash"

for k in A:xo A:eq C:eq D:xo; do
  cases "0 '' plot $D/live_mv517.qpx --channel ${k%:*} --kind ${k#*:} -o ${k/:/_}.png"
  [ ! -s out ] || fail "plot $k wrote on stdout"
  same "${k/:/_}.png" "$D/plot_live_mv517_${k/:/_}.png" "plot $k as the plots have always been drawn"
done
for f in live_mv517:0 new_mv517:0 new_mv517:1 new_mv961:0 wizard_sat_rs3_rx2_2x:0; do
  cases "0 '' overview $D/${f%:*}.qpx --input-mode ${f#*:} -o ov_${f/:/_}.png"
done

PYTHONPATH=$HERE python3 - "$D/live_mv517_A.csv" <<'PY' || fail "pictures"
import csv, math, sys
from png_pixels import Png
def check(cond, what):
    assert cond, what
col = lambda f: int((math.log10(f) - 1.53) / 4.08 * 1289.04)
plot = lambda img, x, y: img.rgb(28 + x, 10 + y)  # plot at (28, 10), level strip at (840, 10), frequency strip at (10, 215)
orange = lambda p: p[0] > 220 and 140 < p[1] < 210 and p[2] < 60
yellow = lambda p: p[0] > 200 and p[1] > 200 and p[2] < 100
dark = lambda p: max(p) < 80
grey = (156, 156, 156)
xa, ea, xd = Png("A_xo.png"), Png("A_eq.png"), Png("D_xo.png")
for img in (xa, ea):
    check((img.width, img.height) == (885, 240) and img.rgb(2, 2) == grey == img.rgb(884, 239), "size, page grey")
    check(plot(img, 400, 110)[2] > 200 and max(plot(img, 400, 110)[:2]) < 30, "blue background")
    first = lambda xs, ys: next((x for x in xs if any(dark(img.rgb(x, y)) for y in ys)), None)
    check(852 <= first(range(845, 880), range(106, 116)) <= 855, "'0dB' at x 840 + 12")
    check(479 <= first(range(470, 520), range(216, 225)) <= 482, "'1kHz' at x 10 + 469.5")
# Crossover handles at a row by type: "Q 1.2" 90, Butterworth 127, Linkwitz-Riley 151; none for a low-pass that is off.
check(orange(plot(xa, col(110), 146)), "A: Linkwitz-Riley high-pass handle")
check(orange(plot(xd, col(200), 85)) and orange(plot(xd, col(8000), 122)), "D: 'Q 1.2' and Butterworth handles")
check(not any(orange(plot(xa, x, y)) for x in range(150, 800, 3) for y in (85, 122)), "A: no low-pass handle")
# EQ handles at row 102 - 8 x gain: low shelf +3 dB at 80 Hz, band 3 -2.5 dB at 3150 Hz.
check(orange(plot(ea, col(80), 73)) and orange(plot(ea, col(3150), 117)), "EQ handles")
rows = {int(r["column"]): r for r in csv.DictReader(open(sys.argv[1]))}
for img, key, x in ((ea, "eq_sum_db", 60), (ea, "eq_sum_db", 700), (xa, "crossover_db", 200)):
    y = 102 - 8 * float(rows[x][key])
    check(10 < y < 195 and yellow(plot(img, x, int(y))), "%s curve at column %d, row %.1f" % (key, x, y))
check(not any(yellow(xa.rgb(x, y)) for x in range(0, 885, 2) for y in range(215, 240)), "curve clipped to the plot")

# Overview: routing diagram at (10, 10), signal flow at (330, 10), a row every 70 pixels.
R = lambda img, x, y: img.rgb(10 + x, 10 + y)
F = lambda img, x, y: img.rgb(330 + x, 10 + y)
live, n0, n1, m0, wiz = (Png("ov_%s_%d.png" % n) for n in (("live_mv517", 0), ("new_mv517", 0), ("new_mv517", 1),
                                                            ("new_mv961", 0), ("wizard_sat_rs3_rx2_2x", 0)))
check((live.width, live.height) == (970, 415), "overview size %dx%d" % (live.width, live.height))
check(R(wiz, 150, 200) == (255, 0, 0) and dark(R(live, 150, 200)), "router outline red only when routing is locked")
check(F(live, 180, 130) == (255, 0, 0) and dark(F(n0, 180, 130)), "XO outline red only when the crossover is locked")
check(min(F(live, 93, 245)) > 235 and max(F(live, 93, 315)) < 200, "LEVEL block of C white, of muted D faded")
check(R(n0, 220, 120) == (255, 204, 153), "mode 0: orange line from output A to input A")
blue = lambda img: max(p[2] - p[0] for p in (R(img, 220, y) for y in range(108, 119)))
check(blue(n1) > 40 and blue(n0) <= 0, "mode 1: blue line from output A to d1 L")
check(min(F(n0, 183, 243)) > 235 and F(m0, 183, 243) == grey, "MV961: no row C")
PY

cases "2 'an MV961 file has input modes 0 and 1' overview $D/new_mv961.qpx --input-mode 2 -o m.png" \
  "2 'an MV961 file has channels A and B only' plot $D/new_mv961.qpx --channel C --kind eq -o c.png" \
  "2 '--kind: peq not in {xo,eq,total,sum}' plot $D/new_mv517.qpx --channel A --kind peq -o k.png" \
  "1 'qpx overview: cannot write' overview $D/new_mv517.qpx -o $WORK/no/dir/o.png"
run plot "$D/live_mv517.qpx" --channel A --kind xo -o -
expect 0 "plot -o -"
same out A_xo.png "plot to standard output"

finish
