#!/usr/bin/env bash
# qpx plot and qpx sheet with measurements: curves, phase view, legends, refusals.
source "$(dirname "$0")/helpers.bash"

top=$D/measurement_top.txt sub=$D/measurement_sub.txt L=$D/live_mv517.qpx
cases "0 '' plot $L --channel A --kind eq --measurement $top -o eq.png" \
  "0 '' plot $L --channel A --kind xo --measurement $top --phase -o xo_phase.png" \
  "0 '' plot $L --channel A --kind sum --with C --measurement $top --measurement-with $sub -o sum.png" \
  "0 '' plot $L --channel A --kind eq -o plain.png" \
  "2 'belongs to --kind sum' plot $L --channel A --kind eq --measurement-with $sub -o x.png" \
  "1 'line 1' plot $L --channel A --kind eq --measurement $D/live_mv517.json -o x.png"

# The plot at (28, 10): the prediction white, the measurement light grey, a
# legend line each; the phase view's level strip shows degrees.
PYTHONPATH=$HERE python3 - eq.png plain.png sum.png xo_phase.png <<'PY' || fail "plot pixels"
import sys
from png_pixels import Png
eq, plain, pair, phase = (Png(p) for p in sys.argv[1:5])
assert (eq.width, eq.height, plain.height, pair.height, phase.height) == (885, 276, 240, 294, 276)
def count(png, test):  # inside the plot, off its 0 dB line
    return sum(test(png.rgb(28 + x, 10 + y)) for x in range(60, 800, 3) for y in range(6, 198) if abs(y - 102) > 2)
white = lambda p: min(p) > 235
grey = lambda p: 160 <= p[0] <= 215 and p[0] == p[1] and 0 <= p[2] - p[0] <= 12
assert count(plain, white) == 0 and count(plain, grey) == 0, "measured curves without a measurement"
assert count(eq, white) > 150 and count(eq, grey) > 15, (count(eq, white), count(eq, grey))
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
