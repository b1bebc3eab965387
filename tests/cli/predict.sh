#!/usr/bin/env bash
# qpx predict run as a process: the golden CSV of a top and a sub, the
# measured columns against an interpolation computed here, the prediction of
# a flat measurement against qpx response's curves, a file without phase,
# and refused measurements (exit 1, the message, nothing on stdout; a FIFO
# must not hang).
source "$(dirname "$0")/helpers.bash"

top=$D/measurement_top.txt sub=$D/measurement_sub.txt
cases "0 '' predict $D/live_mv517.qpx --channel A --measurement $top --with C --measurement-with $sub"
same out "$D/predict_live_mv517_A_C.csv" "predict A with C"
"$QPX" predict "$D/live_mv517.qpx" --channel A --measurement "$top" -o top.csv
"$QPX" predict "$D/live_mv517.qpx" --channel A --measurement "$D/measurement_top_no_phase.txt" >no_phase.csv

# Every row has its cells; measured_db and the phase are the file's rows
# interpolated over log10 f (the phase unwrapped by the smaller turn).
python3 - top.csv no_phase.csv "$top" <<'PY' || fail "measured columns"
import csv, math, sys
rows = list(csv.reader(open(sys.argv[1])))
assert rows[0] == ["column", "frequency_hz", "measured_db", "measured_phase_deg", "predicted_db",
                   "predicted_phase_deg"], rows[0]
assert len(rows) == 813 and [r[0] for r in rows[1:]] == [str(c) for c in range(812)]
data = [list(map(float, l.split("\t"))) for l in open(sys.argv[3]).read().splitlines()[1:]]
unwrapped = [data[0][2]]
for a, b in zip(data, data[1:]):
    step = math.fmod(b[2] - a[2] + 180, 360)
    unwrapped.append(unwrapped[-1] + (step + 360 if step <= 0 else step) - 180)
for r in rows[1:]:
    f = 10 ** (1.53 + int(r[0]) * 4.08 / 1289.04)
    assert abs(float(r[1]) - f) <= 5e-5 and len(r[1].split(".")[1]) == 4, r
    k = max(i for i in range(len(data) - 1) if data[i][0] <= f)
    t = (math.log10(f) - math.log10(data[k][0])) / (math.log10(data[k + 1][0]) - math.log10(data[k][0]))
    db = data[k][1] + t * (data[k + 1][1] - data[k][1])
    phase = unwrapped[k] + t * (unwrapped[k + 1] - unwrapped[k])
    assert abs(float(r[2]) - db) <= 5e-5, (r, db)
    assert -180 < float(r[3]) <= 180 and -180 < float(r[5]) <= 180, r
    assert abs(math.remainder(float(r[3]) - phase, 360)) <= 5e-5, (r, phase)
# Without the phase column: the same levels, empty phase cells.
for a, b in zip(rows[1:], list(csv.reader(open(sys.argv[2])))[1:]):
    assert b[:3] == a[:3] and b[4] == a[4] and b[3] == b[5] == "", (a, b)
PY

# A flat measurement (0 dB, 0 degrees) predicts the channel's own output:
# qpx response's total plus the level (A: -3.5 dB), and the sum of two
# such predictions is response's sum of both outputs.
printf '* flat\n10 0 0\n30000 0 0\n' >flat.txt
"$QPX" predict "$D/live_mv517.qpx" --channel A --measurement flat.txt --with C --measurement-with flat.txt >flat.csv
"$QPX" response "$D/live_mv517.qpx" --channel A --with C >response.csv
python3 - flat.csv response.csv <<'PY' || fail "flat measurement against qpx response"
import csv, math, sys
p, r = (list(csv.DictReader(open(n))) for n in sys.argv[1:])
for a, b in zip(p, r):
    assert a["measured_db"] == "0.0000" and a["measured_phase_deg"] == "0.0000", a
    assert abs(float(a["predicted_db"]) - float(b["total_db"]) + 3.5) <= 2e-4, (a, b)
    assert abs(float(a["sum_db"]) - float(b["sum_db"])) <= 1e-4, (a, b)
    if float(b["sum_db"]) > -60:
        assert abs(math.remainder(float(a["sum_phase_deg"]) - float(b["sum_phase_deg"]), 360)) <= 1e-3, (a, b)
PY

# Outside a measurement, and where one side has no phase, the cells are empty.
cases "0 'measurement_top_no_phase.txt has no phase: the sum columns are empty' predict $D/live_mv517.qpx --channel A --measurement $D/measurement_top_no_phase.txt --with C --measurement-with $sub"
[ "$(sed -n 101p out)" = "99,69.7187,90.2739,,71.4379,,," ] || fail "no phase: $(sed -n 101p out)"
[ "$(tail -n 1 "$D/predict_live_mv517_A_C.csv" | cut -d, -f7-)" = "," ] || fail "sum beyond the sub's last row"
cases "0 '' predict $D/live_mv517.qpx --channel C --measurement $sub -o sub.csv"
[ "$(tail -n 1 sub.csv)" = "811,12500.6769,,,," ] || fail "beyond the measurement: $(tail -n 1 sub.csv)"
cases "0 '' predict $D/live_mv517.qpx --channel B --measurement $D/measurement_program_export.txt"

# Refused measurements: exit 1, the file, its line and the reason on stderr,
# nothing on stdout and no -o file.
printf 'Freq dB\n20 85\n20 86\n' >bad.txt
printf '20,5;85,3\n40,5;86,1\n' >comma.txt
mkfifo fifo.txt
cases \
  "1 'qpx predict: bad.txt: line 3: frequency 20 is not above the line before (20)' predict $D/live_mv517.qpx --channel A --measurement bad.txt -o bad.csv" \
  "1 'qpx predict: comma.txt: line 1: \"20,5\" has a decimal comma: the decimal separator must be a point' predict $D/live_mv517.qpx --channel A --measurement comma.txt" \
  "1 'qpx predict: missing.txt: cannot be read (No such file or directory)' predict $D/live_mv517.qpx --channel A --measurement $top --with C --measurement-with missing.txt" \
  "1 'qpx predict: /dev/zero: cannot be read (not a regular file)' predict $D/live_mv517.qpx --channel A --measurement /dev/zero" \
  "2 '--measurement-with' predict $D/live_mv517.qpx --channel A --measurement $top --with C" \
  "2 '--with' predict $D/live_mv517.qpx --channel A --measurement $top --measurement-with $sub" \
  "2 'an MV961 file has channels A and B only' predict $D/new_mv961.qpx --channel C --measurement $top"
set +e
timeout 10 "$QPX" predict "$D/live_mv517.qpx" --channel A --measurement fifo.txt >out 2>err
RC=$?
set -e
expect 1 "predict with a FIFO as measurement" "qpx predict: fifo.txt: cannot be read (not a regular file)"
[ ! -s out ] || fail "predict with a FIFO wrote on stdout"

finish
