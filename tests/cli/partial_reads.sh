#!/usr/bin/env bash
# Every reading command on files it cannot read whole: no complete preset or
# a stopped read exit 3 (what was read still written), a bad checksum or a
# file that cannot be opened 1.
source "$(dirname "$0")/helpers.bash"

cp "$D"/{no_preset,cut_in_channel_3,empty_element_preset}.qpx .
# Reading stops at a second ID on channel C's tag (code 3), checksum good.
edit "$D/live_mv517.qpx" stopped.qpx '<CHANNEL ID="3">' '<CHANNEL ID="3" ID="4">' seal
# Cut short; without its checksum line alone, --no-checksum reads it whole.
head -c -300 "$D/live_mv517.qpx" >short.qpx
head -n -1 "$D/live_mv517.qpx" >unsealed.qpx
edit "$D/live_mv517.qpx" damaged.qpx '<NAME>Top L</NAME>' '<NAME>Top X</NAME>'

# check: one file at a time, so that its exit code is its own.
for f in no_preset cut_in_channel_3 empty_element_preset stopped; do
  run check $f.qpx
  expect 1 "check $f.qpx" ""
  [ $f = stopped ] || expect_out "$f.qpx: ok, but it holds no complete preset" "check $f.qpx"
done
meaning=$(sed -n 's/^stopped.qpx: ok, reading stopped early (code 3: \(.\+\))$/\1/p' out)
[ -n "$meaning" ] || fail "check of a read stopped at code 3: $(cat out)"

readers=("show" "export" "response --channel A" "plot --channel A --kind eq -o pic.png" "overview -o pic.png")
for r in "${readers[@]}"; do
  cmd=${r%% *}
  for f in no_preset.qpx cut_in_channel_3.qpx empty_element_preset.qpx stopped.qpx "--no-checksum short.qpx"; do
    message="holds no complete preset"
    [ "$f" != stopped.qpx ] || message="reading stopped early (code 3: $meaning)"
    cases "3 'qpx $cmd: ${f#--no-checksum }: $message' $r $f"
    if [[ $r == *-o* ]]; then [ "$(head -c 4 pic.png | tail -c 3)" = PNG ]; else [ -s out ]; fi ||
      fail "$cmd $f: wrote nothing of what was read"
  done
  cases \
    "1 'qpx $cmd: damaged.qpx: checksum mismatch (use --no-checksum to read it anyway)' $r damaged.qpx" \
    "1 'qpx $cmd: missing.qpx: cannot open (No such file or directory)' $r missing.qpx" \
    "0 '' $r --no-checksum damaged.qpx" \
    "2 'not expected: extra' $r damaged.qpx extra"
done

# What was read is written: the channels before the cut or stop, defaults after.
"$QPX" export "$D/default_mv517.qpx" >default.json
run export cut_in_channel_3.qpx
jsonpy 'c, l, d = j; assert (c["name"], c["channels"]) == (l["name"], l["channels"][:2] + d["channels"][2:])' \
  out "$D/live_mv517.json" default.json || fail "export of what was read"
cp out cut.json && run export stopped.qpx && same out cut.json "export of a read stopped at channel C"
run response cut_in_channel_3.qpx --channel A
same out "$D/live_mv517_A.csv" "response of channel A, read before the cut"
"$QPX" export --no-checksum damaged.qpx | grep '"name": "Top X"' >/dev/null || fail "export --no-checksum lost the file's value"
"$QPX" export --no-checksum unsealed.qpx | cmp -s - "$D/live_mv517.json" || fail "export of the file without its checksum line"

finish
