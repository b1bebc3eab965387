#!/usr/bin/env bash
# qpx plot and qpx sheet with measurements: the measured loudspeaker and the
# prediction drawn where qpx predict puts them, shifted so that the
# measurement's mean over the pass band lies on 0 dB; the phase view; the
# legend lines; refusals (nothing written).
source "$(dirname "$0")/helpers.bash"

top=$D/measurement_top.txt sub=$D/measurement_sub.txt L=$D/live_mv517.qpx
cases "0 '' plot $L --channel A --kind eq --measurement $top -o eq.png" \
  "0 '' plot $L --channel A --kind xo --measurement $top --phase -o xo_phase.png" \
  "0 '' plot $L --channel A --kind sum --with C --measurement $top --measurement-with $sub -o sum.png" \
  "0 '' plot $L --channel A --kind eq -o plain.png" \
  "2 'belongs to --kind sum' plot $L --channel A --kind eq --measurement-with $sub -o x.png" \
  "1 'line 1' plot $L --channel A --kind eq --measurement $D/live_mv517.json -o x.png"
"$QPX" predict "$L" --channel A --measurement "$top" >top.csv
"$QPX" export "$L" >live.json

# The plot at (28, 10) of the picture; the prediction is white, the
# measurement light grey, each at 102 - 8 (level + shift) where the shift is
# minus the mean measured level over A's pass band (its high-pass up).
python3 - top.csv live.json eq.png plain.png sum.png xo_phase.png <<PY || fail "plot pixels"
import csv, json, sys
sys.path.insert(0, "$HERE")
from png_pixels import Png
rows = list(csv.DictReader(open(sys.argv[1])))
a = json.load(open(sys.argv[2]))["channels"][0]
hp = a["xo"][0]
lo = hp["freq"][1 if hp["config"] == 2 else 0]
band = [float(r["measured_db"]) for r in rows if r["measured_db"] and float(r["frequency_hz"]) >= lo]
shift = -sum(band) / len(band)
eq, plain, pair, phase = (Png(p) for p in sys.argv[3:7])
assert (eq.width, eq.height, plain.height) == (885, 240 + 36, 240), (eq.width, eq.height, plain.height)
assert pair.height == 240 + 3 * 18 and phase.height == 240 + 2 * 18
def near(png, x, y, test):
    return any(test(png.rgb(28 + x, 10 + yy)) for yy in range(max(0, y - 2), min(205, y + 3)))
white = lambda p: min(p) > 235
grey = lambda p: 90 < p[0] and abs(p[0] - p[1]) < 12  # on the ground r = g = 0
checked = 0
for c in range(60, 800, 37):
    r = rows[c]
    m, pr = 102 - 8 * (float(r["measured_db"]) + shift), 102 - 8 * (float(r["predicted_db"]) + shift)
    if not (6 < pr < 198 and 6 < m < 198) or abs(pr - 102) < 4 or abs(m - pr) < 4:
        continue
    assert near(eq, c, round(pr), white), ("prediction", c, pr)
    assert near(eq, c, round(m), grey) or near(eq, c, round(m), white), ("measurement", c, m)
    assert not near(plain, c, round(pr), white), ("no prediction without a measurement", c)
    checked += 1
assert checked >= 8, checked
# The phase view's level strip shows degrees: its "+180" label is not "+12dB".
strip = lambda png: [png.rgb(840 + x, 10 + y) for x in range(35) for y in range(2, 12)]
assert strip(phase) != strip(plain)
PY

# The sheet takes measurements too: their legend lines are text in the PDF.
cases "0 '' sheet $L --measurement A=$top --measurement C=$sub -o m.pdf" \
  "2 'expected A, B, C or D' sheet $L --measurement X=$top -o x.pdf"
pdftotext m.pdf m.txt
grep -q "Measured: measurement_top.txt (measurement -" m.txt || fail "the sheet's legend of A"
grep -q "Predicted: Out C \"Sub\" with measurement_sub.txt" m.txt || fail "the sheet's legend of C"
[ "$FAILURES" -eq 0 ]
