#!/usr/bin/env bash
# qpx plot: the golden pictures byte for byte; qpx overview: the file's
# locks, mute, input mode and device at documented points.
source "$(dirname "$0")/helpers.bash"

for k in A:xo A:eq C:eq D:xo; do
  cases "0 '' plot $D/live_mv517.qpx --channel ${k%:*} --kind ${k#*:} -o ${k/:/_}.png"
  [ ! -s out ] || fail "plot $k wrote on stdout"
  same "${k/:/_}.png" "$D/plot_live_mv517_${k/:/_}.png" "plot $k as the plots have always been drawn"
done
for f in live_mv517:0 new_mv517:0 new_mv517:1 new_mv961:0 wizard_sat_rs3_rx2_2x:0; do
  cases "0 '' overview $D/${f%:*}.qpx --input-mode ${f#*:} -o ov_${f/:/_}.png"
done

PYTHONPATH=$HERE python3 - <<'PY' || fail "overview pictures"
from png_pixels import Png
dark = lambda p: max(p) < 80
grey = (156, 156, 156)
# Overview: routing diagram at (10, 10), signal flow at (330, 10), a row every 70 pixels.
R = lambda img, x, y: img.rgb(10 + x, 10 + y)
F = lambda img, x, y: img.rgb(330 + x, 10 + y)
live, n0, n1, m0, wiz = (Png("ov_%s_%d.png" % n) for n in (("live_mv517", 0), ("new_mv517", 0), ("new_mv517", 1),
                                                            ("new_mv961", 0), ("wizard_sat_rs3_rx2_2x", 0)))
assert (live.width, live.height) == (970, 415), "overview size %dx%d" % (live.width, live.height)
assert R(wiz, 150, 200) == (255, 0, 0) and dark(R(live, 150, 200)), "router outline red only when routing is locked"
assert F(live, 180, 130) == (255, 0, 0) and dark(F(n0, 180, 130)), "XO outline red only when the crossover is locked"
assert min(F(live, 93, 245)) > 235 and max(F(live, 93, 315)) < 200, "LEVEL block of C white, of muted D faded"
blue = lambda img: max(p[2] - p[0] for p in (R(img, 220, y) for y in range(108, 119)))
assert blue(n1) > 40 and blue(n0) <= 0, "mode 1: blue line from output A to d1 L"
assert min(F(n0, 183, 243)) > 235 and F(m0, 183, 243) == grey, "MV961: no row C"
PY

cases "2 'an MV961 file has input modes 0 and 1' overview $D/new_mv961.qpx --input-mode 2 -o m.png" \
  "2 '--kind: peq not in {xo,eq,total,sum}' plot $D/new_mv517.qpx --channel A --kind peq -o k.png"
run plot "$D/live_mv517.qpx" --channel A --kind xo -o -
expect 0 "plot -o -"
same out A_xo.png "plot to standard output"

finish
