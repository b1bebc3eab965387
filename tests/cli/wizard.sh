#!/usr/bin/env bash
# qpx wizard run as a process: the preset files and summaries it writes,
# the selections it refuses, and missing or damaged factory files.
source "$(dirname "$0")/helpers.bash"
SHIPPED=$(realpath "$(dirname "$0")/../../data/wizards.xml")
cd "$WORK"

# ---- a SAT preset from the factory file (found in the data directory) ----
run wizard --mode sat --top RS3 --bass RX2 --name "Club" -o sat.qpx --summary sat.html
expect_rc 0 "sat RS3 RX2"
expect_empty err "sat RS3 RX2"
xml_ok sat.qpx
cp sat.qpx sealed && seal sealed
cmp -s sat.qpx sealed || fail "sat.qpx: checksum line differs from the CRC of its content"
run check sat.qpx
expect_out "sat.qpx: ok" "check of the wizard's file"
grep -q $'^\t<NAME>Club</NAME>$' sat.qpx || fail "sat: preset name"
grep -q $'^\t<LOCK>0</LOCK>$' sat.qpx || fail "sat: lock"
# Bass on A and B from RX2's block, tops on C and D from RS3's block.
run show sat.qpx
for want in 'Channel A: "RX2 Sub 1"' 'Channel B: "RX2 Sub 2"' 'Channel C: "RS3 Top L"' \
  'Channel D: "RS3 Top R"'; do
  expect_in out "$want" "sat channels"
done
# The editor fixes the crossover Q by type before a save: the basses'
# "Q 1.2" high-pass keeps 1.2 in slot 1, the tops' Linkwitz-Riley gets 0.7.
python3 - sat.qpx <<'PY' || fail "sat: crossover Q values"
import re, sys
text = open(sys.argv[1]).read()
hps = re.findall(r'<XO ID="HP">\s*<FREQ ID="1">(\d+)</FREQ>\s*<Q ID="1">([\d.]+)</Q>.*?<TYPE>(\d)</TYPE>', text, re.S)
assert [(t, q) for f, q, t in hps] == [("0", "1.2")] * 2 + [("2", "0.7")] * 2, hps
PY
# The summary: CR LF line breaks, none after </html>.
python3 - sat.html <<'PY' || fail "sat: summary bytes"
import sys
data = open(sys.argv[1], 'rb').read()
assert data.startswith(b'<html>\r\n<HEAD><TITLE>Q.B.N Preset-Wizard Selection</TITLE></HEAD>\r\n')
assert data.endswith(b'</BODY>\r\n</html>'), data[-20:]
assert data.count(b'\n') == data.count(b'\r\n') and data.count(b'\r') == data.count(b'\r\n')
assert b'<td>SAT</td>\r\n</tr>\r\n<tr><td>Speakers:</td><td>RS3, RX2 </td>\r\n' in data
PY

# ---- name, lock, quantity ----
run wizard --mode sat --top rs3 --bass rx2 --name "Club" --quantity 2x -o sat2.qpx --summary sat2.html
expect_rc 0 "sat at 2x"
cmp -s sat.qpx sat2.qpx || fail "the quantity changed the preset"
grep -qF '<td>RS3 (2x per Channel), RX2 </td>' sat2.html || fail "summary at 2x"
run wizard --mode monitor --top RS5 --name "Wedges" --lock -o mon.qpx
expect_rc 0 "monitor RS5 locked"
grep -q $'^\t<LOCK>63</LOCK>$' mon.qpx || fail "--lock sets the six lock flags"
run wizard --mode fullrange --top RS1 -o default-name.qpx
expect_rc 0 "no --name"
grep -q $'^\t<NAME>Preset</NAME>$' default-name.qpx || fail "the name entry starts as Preset"
run wizard --mode fullrange --top RS1 --name "" -o empty-name.qpx
expect_rc 0 "empty --name"
grep -q $'^\t<NAME></NAME>$' empty-name.qpx || fail "an empty name stays empty"

run wizard --mode bassarray --bass RX3 -o ba.qpx --summary ba.html
expect_rc 0 "bassarray RX3"
run show ba.qpx
expect_in out 'Channel C: "Rear 1"' "bassarray channels"
grep -qF "<td>BASSARRAY</td>" ba.html || fail "bassarray: summary mode"

# ---- factory presets ----
run wizard --factory 1 --name "Fest" -o f1.qpx
expect_rc 0 "factory 1"
run wizard --factory 2 --name "Fest" -o f2.qpx --wizard-file /no/such/file
expect_rc 0 "factory 2 reads no factory file"
cmp -s f1.qpx f2.qpx || fail "the two factory presets differ"
run show f1.qpx
expect_in out 'Channel A: "Bass     "' "factory channel A"
expect_in out 'Channel D: "Top R    "' "factory channel D"

# ---- refusals: exit 2, a message naming what is allowed, no file ----
refused() {  # refused "TEXT IN MESSAGE" ARGS...
  local text=$1
  shift
  rm -f refused.qpx
  run wizard "$@" -o refused.qpx
  expect_rc 2 "refusal of $*"
  expect_in err "$text" "refusal of $*"
  [ -e refused.qpx ] && fail "refusal of $* wrote a file"
  return 0
}
refused "RS1 goes with RX1" --mode sat --top RS1 --bass RX2
refused "RS1 goes with RX1" --mode sat --top RS1 --bass RX3
refused "RS2 goes with RX1 or RX3" --mode sat --top RS2 --bass RX2
refused "RS5 is not offered in sat mode; choose --top RS1, RS2, RS3 or RS4" --mode sat --top RS5 --bass RX1
refused "sat mode needs a top" --mode sat --top RS3
refused "sat mode needs a top" --mode sat --bass RX1
refused "RS1 is not offered in monitor mode; choose --top RS2, RS4 or RS5" --mode monitor --top RS1
refused "RS3 is not offered in monitor mode" --mode monitor --top RS3
refused "fullrange mode takes no bass; choose --top RS1, RS2, RS3, RS4 or RS5" --mode fullrange --top RS1 --bass RX1
refused "bassarray mode takes no top; choose --bass RX1, RX2 or RX3" --mode bassarray --top RS4
refused "bassarray mode needs --bass RX1, RX2 or RX3" --mode bassarray
refused "--quantity 2x needs a top" --mode bassarray --bass RX1 --quantity 2x
refused "fullrange mode needs --top" --mode fullrange
refused "choose either --mode" --factory 1 --mode sat
refused "choose either --mode" --name x
refused "--factory takes no --top" --factory 2 --top RS1
refused "not offered with --factory" --factory 1 --summary s.html
refused "at most 12 characters" --mode fullrange --top RS1 --name "Thirteen chrs"
refused "expected RS1, RS2, RS3, RS4 or RS5" --mode fullrange --top RS6
refused "expected RX1, RX2 or RX3" --mode sat --top RS3 --bass RS1
refused "expected sat, fullrange, bassarray or monitor" --mode stereo
refused "1x or 2x" --mode fullrange --top RS1 --quantity 3x
[ -e s.html ] && fail "a refused run wrote the summary"

# ---- the factory file: working directory first, missing, damaged ----
sed 's|<NAME>RS4 L</NAME>|<NAME>Local L</NAME>|' "$SHIPPED" >wizards.xml
run wizard --mode fullrange --top RS4 -o local.qpx
expect_rc 0 "a wizards.xml in the working directory"
grep -qF '<NAME>Local L</NAME>' local.qpx || fail "the working directory's wizards.xml was not read first"
rm wizards.xml

run wizard --mode sat --top RS3 --bass RX1 --wizard-file missing.xml -o m.qpx
expect_rc 1 "a missing factory file"
expect_in err "qpx wizard: missing.xml: cannot open (No such file or directory)" "a missing factory file"
[ -e m.qpx ] && fail "a missing factory file still wrote a preset"

sed 's|<GAIN>-1.5</GAIN>|<GAIN>-1,5</GAIN>|' "$SHIPPED" >damaged.xml
run wizard --mode sat --top RS3 --bass RX3 --wizard-file damaged.xml -o d.qpx
expect_rc 1 "a damaged factory file"
expect_in err "damaged.xml: reading stopped early (code 6" "a damaged factory file"
[ -e d.qpx ] && fail "a damaged factory file still wrote a preset"

python3 - "$SHIPPED" <<'PY' >no-rx2.xml
import re, sys
text = open(sys.argv[1]).read()
print(re.sub(r'<RX2>.*?</RX2>\n', '', text, flags=re.S), end='')
PY
run wizard --mode sat --top RS3 --bass RX2 --wizard-file no-rx2.xml -o n.qpx
expect_rc 1 "a factory file without the chosen bass"
expect_in err "no-rx2.xml: holds no preset for RX2/SAT" "a factory file without the chosen bass"

head -c 20000 "$SHIPPED" >short.xml
run wizard --mode sat --top RS1 --bass RX1 --wizard-file short.xml -o s.qpx
expect_rc 1 "a factory file cut short"
expect_in err "short.xml: " "a factory file cut short"

# ---- output that cannot be written ----
run wizard --mode fullrange --top RS2 -o "$WORK/no/dir/x.qpx"
expect_rc 1 "preset into a missing folder"
run wizard --mode fullrange --top RS2 -o ok.qpx --summary "$WORK/no/dir/s.html"
expect_rc 1 "summary into a missing folder"
expect_in err "cannot write $WORK/no/dir/s.html: No such file or directory" "summary into a missing folder"

finish
