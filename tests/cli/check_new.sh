#!/usr/bin/env bash
# qpx new and qpx check run as processes: the files new writes (golden),
# check's verdicts and exit codes, usage errors. (The core tests hold the
# independent oracles of the golden files: xmllint and the CRC check value.)
source "$(dirname "$0")/helpers.bash"

for dev in MV517 MV961 ""; do  # without --device: an MV517
  cases "0 '' new ${dev:+--device $dev} -o new.qpx"
  d=${dev:-MV517} && same new.qpx "$D/new_${d,,}.qpx" "new --device $dev"
done

# Every verdict in one run; stdin is read too (the reader needs the file
# three times) and an endless stream is refused instead of copied.
edit "$D/new_mv517.qpx" damaged.qpx '<NAME>Preset</NAME>' '<NAME>Presat</NAME>'
mkdir folder
run check damaged.qpx missing.qpx folder "$D/new_mv961.qpx" - /dev/zero <"$D/live_mv517.qpx"
expect 1 "check of bad files" ""
expect_out "damaged.qpx: checksum mismatch
missing.qpx: cannot open (No such file or directory)
folder: cannot open (Is a directory)
$D/new_mv961.qpx: ok
-: ok
/dev/zero: cannot open (File too large)" "check of bad files"
# --strict adds what the editor cannot show, also to a file read in part.
edit "$D/live_mv517.qpx" limits.qpx '<THRESHOLD>-6</THRESHOLD>' '<THRESHOLD>-30</THRESHOLD>' seal
edit "$D/new_mv961.qpx" cut961.qpx '</PRESET>' '' seal
edit cut961.qpx cut961.qpx '<ROUTE>1</ROUTE>' '<ROUTE>7</ROUTE>' seal
run check --strict limits.qpx "$D/new_mv517.qpx" cut961.qpx
expect 1 "check --strict" ""
expect_out "limits.qpx: ok, 2 values outside the editor's ranges: Out C limiter threshold -30 dB (editor -24..0), Out D level -99.9 dB (editor -99.0..6.0)
$D/new_mv517.qpx: ok
cut961.qpx: ok, but it holds no complete preset, 1 value outside the editor's ranges: Out B routing 7 (editor 0..3)" "check --strict"

cases "2 'FILE is required' check" \
  "2 'expected MV517 or MV961' new --device MV999 -o c.qpx" \
  "1 'qpx new: cannot write $WORK/no/dir/x.qpx: No such file or directory' new -o $WORK/no/dir/x.qpx" \
  "2 'not expected: extra' new -o c.qpx extra"

finish
