#!/usr/bin/env bash
# qpx show and qpx response: golden summary and CSVs, labels by device,
# escaped names, the crossover Q as the editor fixes it, refusals.
source "$(dirname "$0")/helpers.bash"

cases "0 '' show $D/live_mv517.qpx"
same out "$D/live_mv517.txt" "show of the tuned file"
# The MV961 names routing code 3 and lock bit 7 its own way and has two channels.
jsonpy 'j[0].update(device="MV961", lock=133); j[0]["channels"][1]["routing"] = 3; print(json.dumps(j[0]))' \
  "$D/live_mv517.json" | "$QPX" import --file-ranges - -o 961.qpx 2>/dev/null
cases "0 '' show 961.qpx"
[ "$(grep -cxF -e 'Device:  MV961' -e 'Lock:    delay, crossover, factory preset' -e 'Channel B: "Top R"' \
  -e '  Routing:      A+B/d1(L+R)' -e 'Channel C: "Sub"' out)" = 4 ] || fail "show MV961: $(head -c 300 out)"
# Control characters in a name are shown escaped.
edit "$D/new_mv517.qpx" esc.qpx "<NAME>Preset<" "<NAME>a"$'\x1b'"[2Jb"$'\x07'"<" seal
run show esc.qpx
expect_in out 'Name:    "a\x1b[2Jb\x07"' "show of a name with control characters"
! grep -q $'\x1b' out || fail "show wrote an escape character"

for c in A C; do
  cases "0 '' response $D/live_mv517.qpx --channel $c"
  same out "$D/live_mv517_$c.csv" "response $c"
done
# A Butterworth high-pass stored with Q 1.2 draws as Q 0.7.
"$QPX" response "$D/default_mv517.qpx" --channel a >default_A.csv
"$QPX" response "$D/new_mv517.qpx" --channel A >new_A.csv
same default_A.csv new_A.csv "Butterworth high-pass with Q 1.2 stored"

cases \
  "2 'qpx response: --channel C: an MV961 file has channels A and B only' response $D/new_mv961.qpx --channel C" \
  "2 '--channel: expected A, B, C or D' response $D/new_mv517.qpx --channel AB" \
  "0 '' response $D/new_mv961.qpx --channel b -o b.csv"

finish
