#!/usr/bin/env bash
# qpx set: what changed printed as diff prints it, refusals that write nothing.
source "$(dirname "$0")/helpers.bash"
L=$D/live_mv517.qpx

cases "0 '' set $L -o s.qpx B.level=-2.5 'B.name=Top R2' C.delay=1.2m B.eq3=PEQ,990Hz,Q2.5,-3.5dB"
expect_out 'Out A "Top L"  level  -3.5 dB -> -2.5 dB
Out B "Top R"  name  "Top R" -> "Top R2"
Out B "Top R"  level  -3.5 dB -> -2.5 dB
Out B "Top R"  EQ band 3  frequency  500 Hz -> 990 Hz
Out B "Top R"  EQ band 3  Q  0.7 -> 2.5
Out B "Top R"  EQ band 3  gain  0.0 dB -> -3.5 dB
Out C "Sub"  delay  0.00 m -> 1.20 m' "set report"
# The file written holds exactly what the report says.
run diff "$L" s.qpx
expect 1 "diff of the set file" ''
"$QPX" set "$L" -o s2.qpx B.level=-2.5 'B.name=Top R2' C.delay=1.2m B.eq3=PEQ,990Hz,Q2.5,-3.5dB >report.txt
same out report.txt "diff and set's report"
same s2.qpx s.qpx "the same assignments twice"
cases "0 '' check s.qpx"

# Refusals name the assignment; the target stays as it was.
cp "$L" target.qpx
cases "1 'qpx set: B.level=-200: -200 dB is outside -99.0 to +6.0 dB; nothing written' set $L -o target.qpx B.name=X B.level=-200" \
  "1 'qpx set: C.level=0: an MV961 has channels A and B; nothing written' set $D/new_mv961.qpx -o target.qpx C.level=0" \
  "1 'holds no complete preset; nothing written' set $D/cut_in_channel_3.qpx -o target.qpx A.level=0" \
  "2 'ASSIGNMENT is required' set $L -o target.qpx" \
  "2 'output is required' set $L A.level=0"
same target.qpx "$L" "refused sets"
run set --help
expect_in out "X.limiter.threshold=DB" "set --help lists the keys"

finish
