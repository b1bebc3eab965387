#!/usr/bin/env bash
# qpx new and qpx check: the golden files new writes, check's verdicts, usage errors.
source "$(dirname "$0")/helpers.bash"

for dev in MV517 MV961 ""; do  # without --device: an MV517
  cases "0 '' new ${dev:+--device $dev} -o new.qpx"
  d=${dev:-MV517} && same new.qpx "$D/new_${d,,}.qpx" "new --device $dev"
done

# Every verdict in one run: stdin and a pipe read, an endless stream refused
# after 16 MiB, a FIFO without a writer not waited for, a big file not read, a
# name with a line feed or an escape kept on its line.
edit "$D/new_mv517.qpx" damaged.qpx '<NAME>Preset</NAME>' '<NAME>Presat</NAME>'
mkdir folder && mkfifo fifo && truncate -s 17M big.qpx && cp "$D/new_mv517.qpx" "$(printf 'a\nb\033.qpx')"
set +e
timeout 20 "$QPX" check damaged.qpx missing.qpx folder "$D/new_mv961.qpx" - /dev/zero fifo big.qpx \
  a*.qpx <(cat "$D/new_mv517.qpx") <"$D/live_mv517.qpx" >out 2>err
RC=$?
set -e
expect 1 "check of bad files" ""
expect_out "damaged.qpx: checksum mismatch
missing.qpx: cannot open (No such file or directory)
folder: cannot open (Is a directory)
$D/new_mv961.qpx: ok
-: ok
/dev/zero: cannot open (larger than 16 MiB)
fifo: checksum mismatch
big.qpx: cannot open (larger than 16 MiB)
a\x0ab\x1b.qpx: ok
/dev/fd/63: ok" "check of bad files"
# --strict adds what the editor cannot show, also to a file read in part.
edit "$D/live_mv517.qpx" limits.qpx '<THRESHOLD>-6</THRESHOLD>' '<THRESHOLD>-30</THRESHOLD>' seal
edit "$D/new_mv961.qpx" cut961.qpx '</PRESET>' '' seal
edit cut961.qpx cut961.qpx '<ROUTE>1</ROUTE>' '<ROUTE>7</ROUTE>' seal
run check --strict limits.qpx "$D/new_mv517.qpx" cut961.qpx
expect 1 "check --strict" ""
expect_out "limits.qpx: ok, 2 values outside the editor's ranges: Out C limiter threshold -30 dB (editor -24..0), Out D level -99.9 dB (editor -99.0..6.0)
$D/new_mv517.qpx: ok
cut961.qpx: ok, but it holds no complete preset, 1 value outside the editor's ranges: Out B routing 7 (editor 0..3)" "check --strict"
# A whole file whose only finding is a value outside the editor's ranges.
edit "$D/new_mv517.qpx" attack.qpx '<AT>1</AT>' '<AT>200</AT>' seal
run check --strict attack.qpx
expect 1 "check --strict of one value outside the editor's ranges" ""
expect_out "attack.qpx: ok, 1 value outside the editor's ranges: Out A limiter attack 200 ms (editor 0..127)" "check --strict of one value"
cases "0 '' check attack.qpx"

cases "2 'FILE is required' check" \
  "2 'expected MV517 or MV961' new --device MV999 -o c.qpx" \
  "1 'qpx new: cannot write $WORK/no/dir/x.qpx: No such file or directory' new -o $WORK/no/dir/x.qpx" \
  "2 'not expected: extra' new -o c.qpx extra"
# A refused argument is quoted short and escaped.
run new -o c.qpx "$(printf 'Z%.0s' {1..5000})$(printf '\033')[2J"
expect 2 "a long refused argument" "not expected: $(printf 'Z%.0s' {1..60})..."
[ "$(wc -c <err)" -lt 200 ] && ! grep -q "$(printf '\033')" err || fail "usage error quoted unbounded: $(head -c 300 err)"

finish
