#!/usr/bin/env bash
# qpx predict: the golden CSV of a top and a sub, a file without phase, refusals.
source "$(dirname "$0")/helpers.bash"

top=$D/measurement_top.txt sub=$D/measurement_sub.txt
cases "0 '' predict $D/live_mv517.qpx --channel A --measurement $top --with C --measurement-with $sub"
same out "$D/predict_live_mv517_A_C.csv" "predict A with C"
"$QPX" predict "$D/live_mv517.qpx" --channel A --measurement "$top" -o top.csv
[ "$(head -n 1 top.csv)" = column,frequency_hz,measured_db,measured_phase_deg,predicted_db,predicted_phase_deg ] ||
  fail "predict without --with: $(head -n 1 top.csv)"

# Outside a measurement, and where one side has no phase, the cells are empty.
cases "0 'measurement_top_no_phase.txt has no phase: the sum columns are empty' predict $D/live_mv517.qpx --channel A --measurement $D/measurement_top_no_phase.txt --with C --measurement-with $sub"
[ "$(sed -n 101p out)" = "99,69.7187,90.2739,,71.4379,,," ] || fail "no phase: $(sed -n 101p out)"
[ "$(tail -n 1 "$D/predict_live_mv517_A_C.csv" | cut -d, -f7-)" = "," ] || fail "sum beyond the sub's last row"
cases "0 '' predict $D/live_mv517.qpx --channel C --measurement $sub -o sub.csv"
[ "$(tail -n 1 sub.csv)" = "811,12500.6769,,,," ] || fail "beyond the measurement: $(tail -n 1 sub.csv)"
cases "0 '' predict $D/live_mv517.qpx --channel B --measurement $D/measurement_program_export.txt"

# Refused: exit 1, the file, line and reason on stderr, nothing written.
printf 'Freq dB\n20 85\n20 86\n' >bad.txt
cases \
  "1 'qpx predict: bad.txt: line 3: frequency 20 is not above the line before (20)' predict $D/live_mv517.qpx --channel A --measurement bad.txt -o bad.csv" \
  "1 'qpx predict: missing.txt: cannot be read (No such file or directory)' predict $D/live_mv517.qpx --channel A --measurement $top --with C --measurement-with missing.txt" \
  "1 'qpx predict: /dev/zero: cannot be read (not a regular file)' predict $D/live_mv517.qpx --channel A --measurement /dev/zero" \
  "2 '--measurement-with' predict $D/live_mv517.qpx --channel A --measurement $top --with C" \
  "2 '--with' predict $D/live_mv517.qpx --channel A --measurement $top --measurement-with $sub"

finish
