#!/usr/bin/env bash
# qpx response run as a process: the CSV's form, the curves at the points
# the filter documentation gives, the crossover Q as the editor fixes it,
# and the refusals and exit codes.
source "$(dirname "$0")/helpers.bash"
cd "$WORK"

off=$(band 1000 7 0 0)
"$QPX" new -o default.qpx
make_file filters '{"channels": [
  {"xo": [{"config": 1, "freq": [100, 100]}, {"config": 1, "freq": [1000, 1000], "q": [7, 7]}],
   "peq": ['"$(band 100 7 60 1), $off, $off, $off, $off, $off"']},
  {"xo": [{"config": 2, "freq": [300, 1000], "q": [7, 7]}, {}],
   "peq": ['"$off, $off, $(band 1000 7 120 0), $off, $off, $off"']}, {}, {}]}'
# A high-pass drawn with the Q its type fixes, not the stored one:
# "Butterworth 2." stored with Q 1.2 and 0.7, "Q 1.2" stored with 0.7.
make_file bw_q12 '{"channels": [{"xo": [{"config": 1, "freq": [100, 100], "q": [12, 7]}, {}]}, {}, {}, {}]}'
make_file bw_q7 '{"channels": [{"xo": [{"config": 1, "freq": [100, 100], "q": [7, 7]}, {}]}, {}, {}, {}]}'
make_file q12_q7 '{"channels": [{"xo": [{"config": 0, "freq": [100, 100], "q": [7, 7]}, {}]}, {}, {}, {}]}'
grep -m1 '<Q ID=' bw_q12.qpx | grep -q '<Q ID="1">1.2</Q>' || fail "bw_q12.qpx does not hold Q 1.2 in slot 0"

for f in default:A filters:A filters:B bw_q12:A bw_q7:A q12_q7:A; do
  run response "${f%:*}.qpx" --channel "${f#*:}"
  expect 0 "response $f"
  cp out "${f%:*}_${f#*:}.csv"
done
cmp -s bw_q12_A.csv bw_q7_A.csv || fail "a Butterworth high-pass depends on the Q stored in slot 0"

python3 - <<'PY' || fail "response values"
import csv, math
def load(name):
    rows = list(csv.reader(open(name)))
    assert rows[0] == ["column", "frequency_hz", "highpass_db", "lowpass_db", "crossover_db", "eq_sum_db"], rows[0]
    return rows[1:]
def col(f):  # the grid column of a frequency
    return int((math.log10(f) - 1.53) / 4.08 * 1289.04)
def near(got, want, tol, what):
    assert abs(float(got) - want) <= tol, "%s: %s, expected %.4f +- %g" % (what, got, want, tol)

d = load("default_A.csv")
assert [int(r[0]) for r in d] == list(range(813)), "one row per grid column 0..812"
for r in d:
    i, on = int(r[0]), int(r[0]) % 4 == 0
    near(r[1], 10 ** (1.53 + i * 4.08 / 1289.04), 0.005, "frequency of column %d" % i)
    assert (r[2] != "") == on and r[3] == "" and r[4] == r[2], "crossover cells of row %d" % i
    assert r[5] == ("" if i == 812 else "0.0000"), "default EQ sum: row %d is %r" % (i, r[5])

a, b = load("filters_A.csv"), load("filters_B.csv")
for r in a[::4]:
    near(r[4], float(r[2]) + float(r[3]), 0.00011, "total = high-pass + low-pass at %s" % r[0])
near(a[col(100)][2], -3.10, 0.05, "Butterworth 100 Hz high-pass near 100 Hz")
near(a[780][3], -39.27, 0.1, "Butterworth 1 kHz low-pass near 10 kHz")
near(b[col(1000)][2], -6.20, 0.1, "Linkwitz-Riley high-pass from slot 1 (1000 Hz)")
near(a[0][5], 5.65, 0.01, "low shelf 100 Hz +6 dB at the first column")
near(a[col(100)][5], 3.96, 0.02, "low shelf 100 Hz +6 dB near 100 Hz")
near(b[col(1000)][5], 12.0, 0.01, "+12 dB band at 1 kHz")
near(load("q12_q7_A.csv")[col(100)][2], 1.58, 0.05, "a 'Q 1.2' high-pass stored with Q 0.7")
PY

# ---- refusals and exit codes ----
"$QPX" new --device MV961 -o mv961.qpx
run response mv961.qpx --channel C
expect 2 "channel C of an MV961 file" "channels A and B only"
expect_empty out "channel C of an MV961 file"
run response mv961.qpx --channel b
expect 0 "channel b of an MV961 file"
run response default.qpx --channel AB
expect 2 "--channel AB"

finish
