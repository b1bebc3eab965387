#!/usr/bin/env bash
# qpx plot --compare: the other preset's channel in light blue with a legend
# line (only the line where its device lacks it); its file read as FILE is.
source "$(dirname "$0")/helpers.bash"
L=$D/live_mv517.qpx

# Compared: channel A with a Butterworth high-pass at 500 Hz, +6 dB at 1 kHz.
"$QPX" set "$D/new_mv517.qpx" -o other.qpx A.hp=BW2,500Hz A.eq3=PEQ,1kHz,Q1,6dB >/dev/null
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
from png_pixels import Png
blue = lambda p: p[0] < 160 and p[1] > 150 and p[2] > 200  # not the ground, lines, yellow
eq, xo, plain, no_c = (Png(n + ".png") for n in ("eq", "xo", "plain", "no_c"))
assert (eq.height, plain.height, no_c.height) == (258, 240, 258), "one legend line"
in_plot = lambda img: sum(blue(img.rgb(x, y)) for x in range(28, 840) for y in range(10, 215))
assert in_plot(plain) == 0 and in_plot(no_c) == 0 and min(in_plot(eq), in_plot(xo)) > 500, "blue only when compared"
assert all(sum(blue(img.rgb(x, 246)) for x in range(28, 56)) > 5 for img in (eq, no_c)), "legend"
PY

finish
