#!/usr/bin/env bash
# qpx copy-channel, eq-import, eq-export, diff, and the total and sum curves.
source "$(dirname "$0")/helpers.bash"
L=$D/live_mv517.qpx

# diff: its lines, exit codes, JSON with the same entries, files not plainly ok.
cases "0 '' diff $L $L"
run diff "$L" "$D/new_mv517.qpx"
expect 1 "diff of different files" ''
cp out diff.txt
[ "$(wc -l <diff.txt)" = 46 ] && grep -qxF 'Out C "Sub"  limiter  release  250 ms -> 100 ms' diff.txt &&
  grep -qxF 'Out D "Fill ←ä"  high-pass  Q  1.2 -> 0.7' diff.txt || fail "diff lines: $(cat diff.txt)"
run diff --json "$L" "$D/new_mv517.qpx"
expect 1 "diff --json" ''
jsonpy 'assert len(j[0]) == '"$(wc -l <diff.txt)"' and j[0][0] == {"channel": None, "channel_name": None,
  "part": None, "field": "name", "before": "Live <A&B>", "after": "Preset"}, j[0][0]
b = [d for d in j[0] if d["channel"] == "B" and d["field"] == "delay"]
assert b == [{"channel": "B", "channel_name": "Top R", "part": None, "field": "delay",
  "before": "400.00 m", "after": "0.00 m", "stored_before": 40000, "stored_after": 0}], b' \
  out || fail "diff --json"
edit "$L" bad.qpx "Top R" "Top X"
cases "2 'qpx diff: bad.qpx: checksum mismatch' diff $L bad.qpx" \
  "2 'qpx diff: $D/cut_in_channel_3.qpx: holds no complete preset' diff $D/cut_in_channel_3.qpx $L" \
  "2 'qpx diff: none.qpx: cannot open (No such file or directory)' diff none.qpx $L" \
  "2 'B is required' diff $L"

# eq-import: every form of the measured file into B; refusals write nothing.
cases "0 '' eq-import $L --channel B $D/filters_measured.txt -o b.qpx"
expect_in out "5 filters taken into bands 1, 2, 3, 4, 6; the other bands are off" "eq-import report"
expect_in out "line 2: preamp -4.5 dB not applied" "eq-import preamp"
# eq-export's lines back in give the same file; only B's EQ changed.
"$QPX" eq-export b.qpx --channel B >b.txt
[ "$(head -n 1 b.txt)" = '# EQ of Out B "Top R"' ] || fail "eq-export heading: $(head -n 1 b.txt)"
cases "0 '' eq-import b.qpx --channel b b.txt -o b2.qpx"
same b2.qpx b.qpx "eq-import of eq-export"
"$QPX" diff "$L" b.qpx >d.txt || true
[ "$(grep -vc '^Out B "Top R"  EQ band [1-6]  ' d.txt)" = 0 ] || fail "eq-import changed more: $(cat d.txt)"
cases "0 '' eq-import $L --channel B $D/filters_measured.txt --apply-preamp -o p.qpx"
# The preamp is a level change of B: A, in B's level group, follows.
run diff b.qpx p.qpx
expect_out 'Out A "Top L"  level  -3.5 dB -> -8.0 dB
Out B "Top R"  level  -3.5 dB -> -8.0 dB' "preamp applied to the level"
printf 'Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\nFilter 2: ON LP Fc 80 Hz\n' >lp.txt
cases "1 'qpx eq-import: lp.txt: line 2: \"Filter 2: ON LP Fc 80 Hz\": the device has no LP filter' eq-import $L --channel A lp.txt -o x.qpx" \
  "1 'qpx eq-import: cannot open none.txt' eq-import $L --channel A none.txt -o x.qpx" \
  "2 'cannot both be standard input' eq-import - --channel A - -o x.qpx"

# copy-channel: the target's section is the source's; usage errors write nothing.
cases "0 '' copy-channel b.qpx --from B --to D,a --section eq -o c.qpx"
expect_out "copied the EQ of B to A, D" "copy-channel report"
for ch in A D; do
  "$QPX" eq-export c.qpx --channel $ch | tail -n +2 >$ch.txt
  tail -n +2 b.txt | same $ch.txt /dev/stdin "EQ of $ch copied from B"
done
cases "0 '' copy-channel $L --from A --to all -o all.qpx"
expect_out "copied the whole channel of A to B, C, D" "copy-channel all"
cases "2 '--to A: that is the channel copied from' copy-channel $L --from A --to B,A -o x.qpx" \
  "2 '--section: lfo not in' copy-channel $L --from A --to B --section lfo -o x.qpx" \
  "2 '--to C: an MV961 file has channels A and B only' copy-channel $D/new_mv961.qpx --from A --to C -o x.qpx" \
  "2 '--to B,: expected letters A-D separated by commas, or all' copy-channel $L --from A --to B, -o x.qpx"

# response --with: today's columns unchanged, then total, sum and phase.
"$QPX" response "$L" --channel A >plain.csv
cases "0 '' response $L --channel A --with c"
cut -d, -f1-6 out | same plain.csv /dev/stdin "response columns before --with's"
python3 - out <<'PY' || fail "response --with values"
import csv, sys
rows = list(csv.reader(open(sys.argv[1])))
assert rows[0][6:] == ["total_db", "sum_db", "sum_phase_deg"] and len(rows) == 814, rows[0]
assert all(abs(float(r[6]) - float(r[4]) - float(r[5])) <= 2e-4 for r in rows[1:813:4]), "total = crossover + EQ"
assert rows[813][6:] == ["", "", ""], rows[813]
PY

# plot --kind total and sum: the EQ plot with a legend line; --with only with sum.
cases "0 '' plot $L --channel A --kind total -o total.png" \
  "0 '' plot $L --channel A --kind sum --with C -o sum.png" \
  "2 '--kind sum needs --with' plot $L --channel A --kind sum -o x.png" \
  "2 '--with belongs to --kind sum' plot $L --channel A --kind eq --with C -o x.png"
PYTHONPATH=$HERE python3 -c 'from png_pixels import Png; import sys
for n in sys.argv[1:]: assert (Png(n).width, Png(n).height) == (885, 258), n' total.png sum.png || fail "picture sizes"

finish
