#!/usr/bin/env bash
# qpx plot and qpx overview run as processes: picture sizes, where the plot,
# its axis strips and the two overview diagrams sit, colours at documented
# points (handles at their clamped places, curves where the response CSV
# puts them, lock outlines, faded blocks, routing line colours), and the
# refusals and exit codes.
source "$(dirname "$0")/helpers.bash"
export PYTHONPATH="$(cd "$(dirname "$0")" && pwd)"  # png_pixels.py
cd "$WORK"

make_file() { printf '%s' "$2" >"$1.json" && "$QPX" import "$1.json" -o "$1.qpx"; }
band() { printf '{"freq": %s, "q": %s, "gain": %s, "type": %s}' "$@"; }
off=$(band 1000 7 0 0)

"$QPX" new -o default.qpx
"$QPX" new --device MV961 -o mv961.qpx
# A: "Q 1.2" high-pass at 1 kHz, Butterworth low-pass at 2 kHz; band 2 at
# 35 Hz (column 4, drawn at 6), band 3 at 1 kHz -6 dB. B: Linkwitz-Riley
# high-pass at 1 kHz (slot 1), low-pass off. Lock: crossover and routing.
make_file plots '{"lock": 20, "mute": 2, "channels": [
  {"xo": [{"config": 0, "freq": [1000, 1000]}, {"config": 1, "freq": [2000, 2000]}],
   "peq": ['"$off, $(band 35 7 60 0), $(band 1000 7 -60 0), $off, $off, $off"']},
  {"xo": [{"config": 2, "freq": [100, 1000]}, {"config": 0, "freq": [120, 120]}]}, {}, {}]}'

for k in xo eq; do
  run plot plots.qpx --channel A --kind $k -o A_$k.png
  expect_rc 0 "plot A $k"
  expect_empty out "plot A $k"
done
"$QPX" plot plots.qpx --channel b --kind xo -o B_xo.png
"$QPX" plot default.qpx --channel A --kind eq -o default_eq.png
"$QPX" response plots.qpx --channel A >A.csv
for f in default:0 default:1 plots:0 mv961:0; do
  run overview "${f%:*}.qpx" --input-mode "${f#*:}" -o "ov_${f%:*}_${f#*:}.png"
  expect_rc 0 "overview $f"
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
PX, PY_ = 28, 10
def plot(img, x, y):
    return img.rgb(PX + x, PY_ + y)
orange = lambda p: p[0] > 220 and 140 < p[1] < 210 and p[2] < 60
yellow = lambda p: p[0] > 200 and p[1] > 200 and p[2] < 100
dark = lambda p: max(p) < 80
grey = (156, 156, 156)

xa, ea, xb, de = (Png(n + ".png") for n in ("A_xo", "A_eq", "B_xo", "default_eq"))
for img in (xa, ea, xb, de):
    check((img.width, img.height) == (885, 240), "plot size %dx%d" % (img.width, img.height))
    check(img.rgb(2, 2) == grey and img.rgb(884, 239) == grey, "page grey margin")
    check(plot(img, 400, 110)[2] > 200 and max(plot(img, 400, 110)[:2]) < 30, "blue background")
    # The level strip's "0dB" starts at x 840 + 12, the frequency strip's
    # "1kHz" at 10 + 469.5 (under the grid line of column 464); nothing
    # between two labels.
    first = lambda xs, ys: next((x for x in xs if any(dark(img.rgb(x, y)) for y in ys)), None)
    check(852 <= first(range(845, 880), range(106, 116)) <= 855, "0dB label place")
    check(479 <= first(range(470, 520), range(216, 225)) <= 482, "1kHz label place")
    check(not any(dark(img.rgb(x, y)) for x in range(540, 565) for y in range(215, 230)), "gap between labels")
# Crossover handles at fixed rows by type: "Q 1.2" 90, Butterworth 127, Linkwitz-Riley 151.
check(orange(plot(xa, col(1000), 85)), "HP handle of 'Q 1.2' at row 90")
check(orange(plot(xa, col(2000), 122)), "LP handle of Butterworth at row 127")
check(orange(plot(xb, col(1000), 146)), "HP handle of Linkwitz-Riley at row 151, slot-1 frequency")
check(not orange(plot(xb, col(120), 85)), "no handle for a low-pass that is off")
# EQ handles: band 3 at (464, 150); band 2 clamped from column 4 to 6 (its
# circle then reaches column 11, from column 4 it would not).
check(orange(plot(ea, col(1000), 145)), "band 3 handle")
check(orange(plot(ea, 11, 54)), "band 2 handle at its clamped column")
check(not any(orange(plot(de, x, y)) for x in range(0, 812, 3) for y in range(0, 205, 3)), "no handles with all bands off")
check(all(yellow(plot(de, x, 102)) for x in range(2, 810)), "flat EQ sum on the 0 dB row")
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
for img in (d0, d1, p0, m0):
    check((img.width, img.height) == (970, 415), "overview size %dx%d" % (img.width, img.height))
check(R(p0, 150, 200) == (255, 0, 0) and dark(R(d0, 150, 200)), "router outline red only when routing is locked")
check(F(p0, 180, 130) == (255, 0, 0) and dark(F(d0, 180, 130)), "XO block outline red only when the crossover is locked")
check(min(F(p0, 93, 103)) > 235 and max(F(p0, 93, 173)) < 200, "LEVEL block of muted channel B faded")
check(R(d0, 220, 120) == (255, 204, 153), "mode 0: orange line from output A to input A")
blue = lambda img: max(p[2] - p[0] for p in (R(img, 220, y) for y in range(108, 119)))
check(blue(d1) > 40 and blue(d0) <= 0, "mode 1: blue line from output A to d1 L")
check(min(F(d0, 183, 243)) > 235 and F(m0, 183, 243) == grey, "MV961: no row C")
PY

# ---- refusals and exit codes ----
run plot mv961.qpx --channel C --kind xo -o c.png
expect_rc 2 "plot of channel C of an MV961 file"
expect_in err "channels A and B only" "plot of channel C of an MV961 file"
[ -e c.png ] && fail "a refused plot wrote a picture"
run overview mv961.qpx --input-mode 2 -o m.png
expect_rc 2 "MV961 input mode 2"
expect_in err "input modes 0 and 1" "MV961 input mode 2"
run overview default.qpx --input-mode 4 -o m.png
expect_rc 2 "MV517 input mode 4"
run overview default.qpx --input-mode -1 -o m.png
expect_rc 2 "input mode -1"
[ -e m.png ] && fail "a refused overview wrote a picture"
run plot default.qpx --channel A --kind peq -o k.png
expect_rc 2 "unknown --kind"
run plot default.qpx --channel A --kind xo
expect_rc 2 "plot without -o"

cp plots.qpx damaged.qpx
replace damaged.qpx '<FREQ ID="1">2000</FREQ>' '<FREQ ID="1">3000</FREQ>'
for cmd in "plot --channel A --kind xo" overview; do
  run $cmd damaged.qpx -o damaged.png
  expect_rc 1 "$cmd of a damaged file"
  [ -e damaged.png ] && fail "$cmd of a damaged file wrote a picture"
done
run plot damaged.qpx --channel A --kind xo --no-checksum -o -
expect_rc 0 "plot --no-checksum to standard output"
[ "$(head -c 8 out | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "plot -o - did not write a PNG"

cp plots.qpx stop.qpx
replace stop.qpx '<CHANNEL ID="3">' '<CHANNEL ID="3" ID="4">'
seal stop.qpx
run overview stop.qpx -o stop.png
expect_rc 3 "overview of a file whose reading stops"
expect_in err "reading stopped early (code " "overview of a stopped read"
python3 -c 'from png_pixels import Png; assert Png("stop.png").width == 970' || fail "stopped read: no picture"

finish
