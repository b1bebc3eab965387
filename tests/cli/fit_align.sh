#!/usr/bin/env bash
# qpx fit-eq and qpx align on the tuned file and the measured top and sub:
# what they print and change, the same bytes again, the refusals.
source "$(dirname "$0")/helpers.bash"
L=$D/live_mv517.qpx top=$D/measurement_top.txt sub=$D/measurement_sub.txt
# falls LINE FACTOR: the line's second figure in dB is below FACTOR times its first.
falls() { python3 -c 'import re, sys; a, b = map(float, re.findall(r"([0-9.]+) dB", sys.argv[1])[:2])
sys.exit(not b < a * float(sys.argv[2]))' "$@"; }

# fit-eq over the channel's pass band (110 Hz to 12 kHz): the error at least halved.
cases "0 '' fit-eq $L --channel A --measurement $top -o a.qpx"
cp out fit.txt
grep -qE '^Out A "Top L": error [0-9.]+ dB -> [0-9.]+ dB \(RMS over [0-9]+ columns, 110-12000 Hz\)$' fit.txt &&
  falls "$(head -n 1 fit.txt)" 0.5 || fail "fit-eq figures: $(head -n 1 fit.txt)"
# Each changed band is named in the report, and nothing but A's EQ changed.
"$QPX" diff "$L" a.qpx >d.txt || true
[ "$(grep -vc '^Out A "Top L"  EQ band [1-6]  ' d.txt)" = 0 ] || fail "fit-eq changed more: $(cat d.txt)"
for b in $(sed -n 's/^Out A "Top L"  EQ band \([1-6]\) .*/\1/p' d.txt | sort -u); do
  grep -q "^band $b: " fit.txt || fail "band $b changed but is not in the report: $(cat fit.txt)"
done
cases "0 '' fit-eq $L --channel a --measurement $top -o again.qpx"
same again.qpx a.qpx "fit-eq run again"

# Only the bands named, cutting only; a target curve; a range.
printf '20 4\n20000 -8\n' >tilt.txt
cases "0 '' fit-eq $L --channel B --measurement $top --bands 2-3,5 --max-boost 0 --range 200-5000 --target tilt.txt -o b.qpx"
expect_in out " columns, 200-5000 Hz)" "fit-eq --range"
"$QPX" export "$L" -o l.json
"$QPX" export b.qpx -o b.json
jsonpy 'a, b = (x["channels"][1]["peq"] for x in j)
assert [a[i] for i in (0, 3, 5)] == [b[i] for i in (0, 3, 5)], "bands 1, 4, 6 changed"
assert all(p["gain"] <= 0 for p in b), b
assert any(p["gain"] < 0 for p in b), "nothing cut"' l.json b.json || fail "fit-eq --bands --max-boost 0"

# align: the loss goes down; only A's or C's delay and C's polarity change.
cases "0 '' align $L --channel A --with C --measurement $top --measurement-with $sub -o al.qpx"
grep -qE '^Out C "Sub" with Out A "Top L": summation loss [0-9.]+ dB -> [0-9.]+ dB \(mean over [0-9]+ columns, ' out &&
  falls "$(head -n 1 out)" 1 || fail "align figures: $(cat out)"
"$QPX" diff "$L" al.qpx >d.txt || true
[ -s d.txt ] && [ "$(grep -vc -e '^Out [AC] "[A-Za-z ]*"  delay  ' -e '^Out C "Sub"  polarity  ' d.txt)" = 0 ] ||
  fail "align changed other values: $(cat d.txt)"
grep -q "polarity" d.txt && ! grep -q "polarity" out && fail "align inverted C unsaid: $(cat out)"
cases "0 '' align $L --channel A --with C --measurement $top --measurement-with $sub -o again.qpx"
same again.qpx al.qpx "align run again"
# No delay allowed: at most the polarity changes.
cases "0 '' align $L --channel A --with C --measurement $top --measurement-with $sub --max-delay 0 --range 60-200 -o p.qpx"
"$QPX" diff "$L" p.qpx >d.txt || true
[ "$(grep -vc '^Out C "Sub"  polarity' d.txt)" = 0 ] || fail "align --max-delay 0 changed: $(cat d.txt)"

# Refusals: nothing written, nothing on standard output.
printf 'Freq dB\n20 85\n20 86\n' >bad.txt
A="$L --channel A --measurement $top"
cases \
  "1 'qpx fit-eq: bad.txt: line 3: frequency 20 is not above the line before (20)' fit-eq $L --channel A --measurement bad.txt -o x.qpx" \
  "1 'qpx fit-eq: $sub: the measurement has no value within 12000-12400 Hz' fit-eq $L --channel A --measurement $sub --range 12000-12400 -o x.qpx" \
  "2 '--range 500-100: expected LO-HI in Hz with LO below HI' fit-eq $A --range 500-100 -o x.qpx" \
  "2 '--max-boost 12.5: expected 0 to 12 (dB)' fit-eq $A --max-boost 12.5 -o x.qpx" \
  "2 '--bands 4-2: expected bands 1-6 as a list' fit-eq $A --bands 4-2 -o x.qpx" \
  "2 '--bands 0,7: expected' fit-eq $A --bands 0,7 -o x.qpx" \
  "1 'qpx align: $D/measurement_top_no_phase.txt has no phase column: two loudspeakers can only be added with the phase of both' align $L --channel A --with C --measurement $D/measurement_top_no_phase.txt --measurement-with $sub -o x.qpx" \
  "1 'Out A and Out C have no common value within 15000-18000 Hz' align $A --with C --measurement-with $sub --range 15000-18000 -o x.qpx" \
  "2 '--with c: that is the --channel channel' align $L --channel C --with c --measurement $top --measurement-with $sub -o x.qpx" \
  "2 '--max-delay -1: expected 0 to 400 (metres)' align $A --with C --measurement-with $sub --max-delay -1 -o x.qpx"

finish
