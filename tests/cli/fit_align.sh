#!/usr/bin/env bash
# qpx fit-eq and qpx align run as processes on the tuned show file and the
# measured top and sub: the figures they print against the same figures
# computed here from qpx predict of the files they wrote, only the values
# they may change changed, the same bytes from a second run, and the
# refusals (exit 1 or 2, nothing written).
source "$(dirname "$0")/helpers.bash"
L=$D/live_mv517.qpx top=$D/measurement_top.txt sub=$D/measurement_sub.txt

# error FILE.csv LO HI [TARGET]: the fit's error, computed from predict's CSV:
# the RMS of e - mean(e), e = predicted level - target, on the columns
# within LO..HI that have a value (the target: linear over log f between its rows).
error() {
  python3 - "$@" <<'PY'
import csv, math, sys
rows = [r for r in csv.DictReader(open(sys.argv[1])) if r["predicted_db"]
        and float(sys.argv[2]) <= float(r["frequency_hz"]) <= float(sys.argv[3])]
pts = [tuple(map(float, l.split())) for l in open(sys.argv[4])] if len(sys.argv) > 4 else []
def target(f):
    if not pts: return 0.0
    (f0, d0), (f1, d1) = pts[0], pts[-1]
    return d0 + (math.log10(f) - math.log10(f0)) / (math.log10(f1) - math.log10(f0)) * (d1 - d0)
e = [float(r["predicted_db"]) - target(float(r["frequency_hz"])) for r in rows]
m = sum(e) / len(e)
print("%.2f %d" % (math.sqrt(sum((v - m) ** 2 for v in e) / len(e)), len(e)))
PY
}

# fit-eq with the defaults: the channel's pass band (110 Hz, the low-pass
# off: 12 kHz); the printed errors are those of the files before and after.
cases "0 '' fit-eq $L --channel A --measurement $top -o a.qpx"
cp out fit.txt
"$QPX" predict "$L" --channel A --measurement "$top" -o before.csv
"$QPX" predict a.qpx --channel A --measurement "$top" -o after.csv
read -r before n < <(error before.csv 110 12000)
read -r after _ < <(error after.csv 110 12000)
expect_in out "Out A \"Top L\": error $before dB -> $after dB (RMS over $n columns, 110-12000 Hz)" \
  "fit-eq figures"
python3 -c "import sys; sys.exit(not float('$after') < float('$before') / 2)" ||
  fail "fit-eq: $before dB -> $after dB"
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
"$QPX" predict b.qpx --channel B --measurement "$top" -o b.csv
read -r after n < <(error b.csv 200 5000 tilt.txt)
grep -q -- "-> $after dB (RMS over $n columns, 200-5000 Hz)" out || fail "fit-eq with a target: $(head -n 1 out), computed $after over $n"
"$QPX" export "$L" -o l.json
"$QPX" export b.qpx -o b.json
jsonpy 'a, b = (x["channels"][1]["peq"] for x in j)
assert [a[i] for i in (0, 3, 5)] == [b[i] for i in (0, 3, 5)], "bands 1, 4, 6 changed"
assert all(p["gain"] <= 0 for p in b), b
assert any(p["gain"] < 0 for p in b), "nothing cut"' l.json b.json || fail "fit-eq --bands --max-boost 0"

# align: the printed loss is that of the files before and after, computed
# from both predictions; only A's or C's delay and C's polarity changed.
# loss A.csv C.csv: the mean summation loss where both levels lie within 10 dB.
loss() {
  python3 - "$@" <<'PY'
import csv, math, sys
a, c = (list(csv.DictReader(open(n))) for n in sys.argv[1:3])
loss = [20 * math.log10(10 ** (float(x["predicted_db"]) / 20) + 10 ** (float(y["predicted_db"]) / 20))
        - float(x["sum_db"]) for x, y in zip(a, c) if x["sum_db"]
        and abs(float(x["predicted_db"]) - float(y["predicted_db"])) <= 10]
print("%.2f %d" % (sum(loss) / len(loss), len(loss)))
PY
}
cases "0 '' align $L --channel A --with C --measurement $top --measurement-with $sub -o al.qpx"
cp out align.txt
for f in "$L" al.qpx; do
  "$QPX" predict "$f" --channel A --measurement "$top" --with C --measurement-with "$sub" -o "$(basename "$f").a.csv"
  "$QPX" predict "$f" --channel C --measurement "$sub" -o "$(basename "$f").c.csv"
done
read -r before n < <(loss live_mv517.qpx.a.csv live_mv517.qpx.c.csv)
read -r after _ < <(loss al.qpx.a.csv al.qpx.c.csv)
grep -q "^Out C \"Sub\" with Out A \"Top L\": summation loss $before dB -> $after dB (mean over $n columns, " align.txt ||
  fail "align figures: $(cat align.txt), computed $before -> $after over $n"
"$QPX" diff "$L" al.qpx >d.txt || true
change=$(sed -n 2p align.txt)
python3 - "$change" d.txt <<'PY' || fail "align changed other values or says otherwise: $change / $(cat d.txt)"
import re, sys
change, diff = sys.argv[1], open(sys.argv[2]).read().splitlines()
want = []
m = re.match(r'(Out ([AC]) \+(\d+) cm)?(, )?((Out C )?polarity (inverted|normal))?$', change)
assert m and change != "", change
if m.group(1):
    ch, cm = m.group(2), int(m.group(3))
    before = {"A": 115, "C": 0}[ch]
    want.append('Out %s %s  delay  %.2f m -> %.2f m' % (ch, {"A": '"Top L"', "C": '"Sub"'}[ch], before / 100, (before + cm) / 100))
if m.group(5):
    want.append('Out C "Sub"  polarity  0\u00b0 -> 180\u00b0')
assert sorted(diff) == sorted(want), (diff, want)
PY
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
  "1 'qpx fit-eq: bad.txt: line 3' fit-eq $A --target bad.txt -o x.qpx" \
  "1 'qpx fit-eq: $sub: the measurement has no value within 12000-12400 Hz' fit-eq $L --channel A --measurement $sub --range 12000-12400 -o x.qpx" \
  "1 'holds no complete preset; nothing written' fit-eq $D/cut_in_channel_3.qpx --channel A --measurement $top -o x.qpx" \
  "2 '--range 500-100: expected LO-HI in Hz with LO below HI' fit-eq $A --range 500-100 -o x.qpx" \
  "2 '--max-boost 12.5: expected 0 to 12 (dB)' fit-eq $A --max-boost 12.5 -o x.qpx" \
  "2 '--bands 4-2: expected bands 1-6 as a list' fit-eq $A --bands 4-2 -o x.qpx" \
  "2 '--bands 0,7: expected' fit-eq $A --bands 0,7 -o x.qpx" \
  "1 'qpx align: $D/measurement_top_no_phase.txt has no phase column: two loudspeakers can only be added with the phase of both' align $L --channel A --with C --measurement $D/measurement_top_no_phase.txt --measurement-with $sub -o x.qpx" \
  "1 'Out A and Out C have no common value within 15000-18000 Hz' align $A --with C --measurement-with $sub --range 15000-18000 -o x.qpx" \
  "2 '--with c: that is the --channel channel' align $L --channel C --with c --measurement $top --measurement-with $sub -o x.qpx" \
  "2 '--max-delay -1: expected 0 to 400 (metres)' align $A --with C --measurement-with $sub --max-delay -1 -o x.qpx"

finish
