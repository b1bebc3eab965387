#!/usr/bin/env bash
# qpx new and qpx check run as processes: the files new writes, every check
# verdict, exit codes and usage errors.
source "$(dirname "$0")/helpers.bash"
cd "$WORK"

# ---- new: the default preset as the editor saves it ----
run new -o a.qpx
expect 0 "new MV517"
run new --device MV961 -o b.qpx
expect 0 "new MV961"
for f in a.qpx b.qpx; do
  xml_ok $f
  cp $f sealed && seal sealed
  cmp -s $f sealed || fail "$f: checksum line differs from the CRC of its content"
done
[ "$(head -n 3 a.qpx)" = $'<?xml version="1.0" encoding="utf-8"?>\n<?xml-stylesheet type="text/xsl" href="MV517.xsl"?>\n<PRESET DEVICE="MV517" VERSION="1">' ] ||
  fail "new MV517: first lines $(head -n 3 a.qpx)"
# The editor fixes every crossover Q by its type: Butterworth 0.7 in the
# high-pass Q ID="1", where the default record holds 1.2.
[ "$(grep -c $'^\t\t\t<Q ID="1">0.7</Q>$' a.qpx)" = 8 ] || fail "new MV517: crossover Q of slot 1 is not 0.7 everywhere"
grep -q $'^\t<AUTHOR>MV961</AUTHOR>$' b.qpx || fail "new MV961: AUTHOR"
[ "$(grep -c '<CHANNEL ID=' a.qpx) $(grep -c '<CHANNEL ID=' b.qpx)" = "4 2" ] || fail "new: channel counts"

run new --device MV999 -o c.qpx
expect 2 "new with an unknown device"
absent c.qpx "new with an unknown device"
run new -o "$WORK/no/such/dir/x.qpx"
expect 1 "new into a missing folder" "cannot write $WORK/no/such/dir/x.qpx (code "

# ---- check ----
cp a.qpx damaged.qpx
replace damaged.qpx '<NAME>Preset</NAME>' '<NAME>Presat</NAME>'
mkdir folder
run check damaged.qpx missing.qpx folder a.qpx
expect 1 "check of bad files"
expect_out $'damaged.qpx: checksum mismatch\nmissing.qpx: cannot open (No such file or directory)\nfolder: cannot open (Is a directory)\na.qpx: ok' \
  "check of bad files"
# Standard input is read as well (the reader needs the file three times);
# an endless stream is refused instead of copied.
set +e
"$QPX" check - /dev/zero <b.qpx >out 2>err
RC=$?
set -e
expect 1 "check of stdin and /dev/zero"
expect_out $'-: ok\n/dev/zero: cannot open (File too large)' "check of stdin and /dev/zero"

# A valid checksum but reading stops: the code comes with the meaning that
# export reports for the same file.
cp a.qpx number.qpx && replace number.qpx '<GAIN>0.0</GAIN>' '<GAIN>0.x</GAIN>' && seal number.qpx
run check number.qpx
expect 1 "check of a stopped read"
grep -qE '^number.qpx: ok, reading stopped early \(code 6: .+\)$' out || fail "check of a stopped read: $(cat out)"
meaning=$(sed -n 's/.*(code [0-9]*: \(.*\))$/\1/p' out)
run export number.qpx
expect_in err "(code 6: $meaning)" "export names the same meaning"

run check
expect 2 "check without a file"
expect_empty out "check without a file"
for cmd in check show export import new response plot overview wizard; do
  run "$cmd" --help
  expect 0 "$cmd --help"
  expect_in out "Usage: qpx $cmd" "$cmd --help"
done

finish
