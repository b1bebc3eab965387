#!/usr/bin/env bash
# qpx new and qpx check run as processes: the files new writes, every check
# verdict, exit codes and usage errors.
source "$(dirname "$0")/helpers.bash"
cd "$WORK"

# ---- new: the default preset as the editor saves it ----
run new -o a.qpx
expect_rc 0 "new MV517"
run new --device MV961 -o b.qpx
expect_rc 0 "new MV961"
xml_ok a.qpx
xml_ok b.qpx
# The checksum line agrees with an independent CRC-16/MODBUS.
for f in a.qpx b.qpx; do
  cp "$f" sealed && seal sealed
  cmp -s "$f" sealed || fail "$f: checksum line differs from the CRC of its content"
done
# The editor fixes every crossover Q by its type: Butterworth 0.7 in
# the high-pass Q ID="1", where the default record holds 1.2.
[ "$(head -n 3 a.qpx)" = $'<?xml version="1.0" encoding="utf-8"?>\n<?xml-stylesheet type="text/xsl" href="MV517.xsl"?>\n<PRESET DEVICE="MV517" VERSION="1">' ] ||
  fail "new MV517: first lines $(head -n 3 a.qpx)"
[ "$(grep -c $'^\t\t\t<Q ID="1">0.7</Q>$' a.qpx)" = 8 ] || fail "new MV517: crossover Q of slot 1 is not 0.7 everywhere"
[ "$(grep -c '<CHANNEL ID=' a.qpx)" = 4 ] || fail "new MV517: not four channels"
grep -q '^<PRESET DEVICE="MV961" VERSION="1">$' b.qpx || fail "new MV961: PRESET tag"
grep -q $'^\t<AUTHOR>MV961</AUTHOR>$' b.qpx || fail "new MV961: AUTHOR"
[ "$(grep -c '<CHANNEL ID=' b.qpx)" = 2 ] || fail "new MV961: not two channels"
cp a.qpx a.before
run new -o a.qpx
cmp -s a.qpx a.before || fail "new: writing twice gives different files"

# ---- new: failures ----
run new --device MV999 -o c.qpx
expect_rc 2 "new with an unknown device"
[ -e c.qpx ] && fail "new with an unknown device wrote a file"
run new
expect_rc 2 "new without -o"
expect_in err "--output" "new without -o"
run new -o "$WORK/no/such/dir/x.qpx"
expect_rc 1 "new into a missing folder"
expect_in err "cannot write $WORK/no/such/dir/x.qpx (code " "new into a missing folder"

# ---- check ----
run check a.qpx b.qpx
expect_rc 0 "check of new files"
expect_out $'a.qpx: ok\nb.qpx: ok' "check of new files"

cp a.qpx damaged.qpx
replace damaged.qpx '<NAME>Preset</NAME>' '<NAME>Presat</NAME>'
mkdir folder
run check damaged.qpx missing.qpx folder a.qpx
expect_rc 1 "check of bad files"
expect_out $'damaged.qpx: checksum mismatch\nmissing.qpx: cannot open (No such file or directory)\nfolder: cannot open (Is a directory)\na.qpx: ok' \
  "check of bad files"
# Standard input and pipes are read as well (the reader needs the file three
# times); an endless stream is refused instead of copied.
set +e
"$QPX" check - /dev/zero <a.qpx >out 2>err
RC=$?
set -e
expect_rc 1 "check of stdin and /dev/zero"
expect_out $'-: ok\n/dev/zero: cannot open (File too large)' "check of stdin and /dev/zero"
cat damaged.qpx | "$QPX" check /dev/stdin >out || true
expect_out "/dev/stdin: checksum mismatch" "check of a damaged file through a pipe"
if [ "$(id -u)" != 0 ]; then
  cp a.qpx locked.qpx && chmod 000 locked.qpx
  run check locked.qpx
  expect_out "locked.qpx: cannot open (Permission denied)" "check of an unreadable file"
fi

# Files with a valid checksum whose reading stops at a problem: the code
# comes with the meaning that export reports for the same file.
stopped() { # NAME OLD NEW CODE
  cp a.qpx "$1" && replace "$1" "$2" "$3" && seal "$1"
  run check "$1"
  expect_rc 1 "check $1"
  grep -qE "^$1: ok, reading stopped early \\(code $4: .+\\)\$" out || fail "check $1: $(cat out)"
  local meaning
  meaning=$(sed -n 's/.*(code [0-9]*: \(.*\))$/\1/p' out)
  run export "$1"
  expect_in err "(code $4: $meaning)" "export $1 names the same meaning"
}
stopped number.qpx '<GAIN>0.0</GAIN>' '<GAIN>0.x</GAIN>' 6
stopped second_id.qpx '<CHANNEL ID="2">' '<CHANNEL ID="2" ID="3">' 3
stopped long_ref.qpx '<NAME>Preset</NAME>' '<NAME>&#x00000000041;</NAME>' 4
stopped long_value.qpx '<CHANNEL ID="1">' '<CHANNEL ID="1" X="0123456789">' 19

run check
expect_rc 2 "check without a file"
expect_empty out "check without a file"
[ -s err ] || fail "check without a file: no message"
run frobnicate
expect_rc 2 "unknown command"
for cmd in check show export import new; do
  run "$cmd" --help
  expect_rc 0 "$cmd --help"
  expect_in out "Usage: qpx $cmd" "$cmd --help"
done

finish
