#!/usr/bin/env bash
# qpx plot --compare: another preset's same channel dashed in light blue
# where that preset's own response (qpx response) puts it, with a legend
# line; a channel the other device lacks gets the legend line only; the
# other file is read as FILE is, refusals alike.
source "$(dirname "$0")/helpers.bash"
L=$D/live_mv517.qpx

# Compared: channel A with a Butterworth high-pass at 500 Hz, +6 dB at 1 kHz.
run export "$D/new_mv517.qpx" && cp out new.json
jsonpy 'a = j[0]["channels"][0]
a["xo"][0] = {"config": 0, "freq": [500, 500], "q": [7, 7]}
a["peq"][2] = {"freq": 1000, "q": 10, "gain": 60, "type": 0}
json.dump(j[0], open("other.json", "w"))' new.json
cases "0 '' import other.json -o other.qpx"
run response other.qpx --channel A && cp out other.csv
edit other.qpx damaged.qpx '<NAME>Preset' '<NAME>Presets'

cases "0 '' plot $L --channel A --kind eq --compare other.qpx -o eq.png" \
  "0 '' plot $L --channel A --kind xo --compare other.qpx -o xo.png" \
  "0 '' plot $L --channel A --kind eq -o plain.png" \
  "0 '' plot $L --channel C --kind eq --compare $D/new_mv961.qpx -o no_c.png" \
  "1 'qpx plot: nope.qpx: cannot open' plot $L --channel A --kind eq --compare nope.qpx -o x.png" \
  "1 'damaged.qpx: checksum mismatch' plot $L --channel A --kind eq --compare damaged.qpx -o x.png" \
  "3 'cut_in_channel_3.qpx: holds no complete preset' plot $L --channel D --kind eq --compare $D/cut_in_channel_3.qpx -o cut.png"
[ -s cut.png ] || fail "a compared file read in part: no picture"

PYTHONPATH=$HERE python3 - <<'PY' || fail "compared curves"
import csv
from png_pixels import Png
blue = lambda p: p[0] < 160 and p[1] > 150 and p[2] > 200  # not the ground, lines, yellow
rows = list(csv.DictReader(open("other.csv")))
def db(kind, c):  # the crossover cells are on every fourth column
    lo = c - c % 4 if kind == "crossover_db" else c
    return float(rows[lo][kind]) + (float(rows[min(lo + 4, 812)][kind]) - float(rows[lo][kind])) * (c - lo) / 4
def missing(img, kind):  # 10-column stretches in view without light blue at their level
    return [s for s in range(2, 800, 10) if -11 < min(db(kind, c) for c in range(s, s + 10))
            and max(db(kind, c) for c in range(s, s + 10)) < 11 and not any(
                blue(img.rgb(28 + c, y)) for c in range(s, s + 10)
                for y in range(round(112 - 8 * db(kind, c)) - 2, round(112 - 8 * db(kind, c)) + 3))]
eq, xo, plain, no_c = (Png(n + ".png") for n in ("eq", "xo", "plain", "no_c"))
assert (eq.height, plain.height, no_c.height) == (258, 240, 258), "one legend line"
assert missing(eq, "eq_sum_db") == [] and missing(xo, "crossover_db") == [], "curves traced"
in_plot = lambda img: sum(blue(img.rgb(x, y)) for x in range(28, 840) for y in range(10, 215))
assert in_plot(plain) == 0 and in_plot(no_c) == 0 and in_plot(eq) > 500, "blue only when compared"
assert all(sum(blue(img.rgb(x, 246)) for x in range(28, 56)) > 5 for img in (eq, no_c)), "legend"
PY

finish
