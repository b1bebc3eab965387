#!/usr/bin/env bash
# qpx wizard run as a process: the preset files and summaries it writes,
# the selections it refuses, and missing or damaged factory files.
source "$(dirname "$0")/helpers.bash"
SHIPPED=$(realpath "$(dirname "$0")/../../data/wizards.xml")
cd "$WORK"

# ---- a SAT preset from the factory file (found in the data directory) ----
run wizard --mode sat --top RS3 --bass RX2 --name "Club" -o sat.qpx --summary sat.html
expect 0 "sat RS3 RX2"
expect_empty err "sat RS3 RX2"
xml_ok sat.qpx
run check sat.qpx
expect_out "sat.qpx: ok" "check of the wizard's file"
grep -q $'^\t<NAME>Club</NAME>$' sat.qpx && grep -q $'^\t<LOCK>0</LOCK>$' sat.qpx || fail "sat: name and lock"
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

# ---- quantity, lock, the name entry, factory presets ----
run wizard --mode sat --top rs3 --bass rx2 --name "Club" --quantity 2x -o sat2.qpx --summary sat2.html
expect 0 "sat at 2x"
cmp -s sat.qpx sat2.qpx || fail "the quantity changed the preset"
grep -qF '<td>RS3 (2x per Channel), RX2 </td>' sat2.html || fail "summary at 2x"
run wizard --mode monitor --top RS5 --lock -o mon.qpx
expect 0 "monitor RS5 locked"
grep -q $'^\t<LOCK>63</LOCK>$' mon.qpx || fail "--lock sets the six lock flags"
grep -q $'^\t<NAME>Preset</NAME>$' mon.qpx || fail "the name entry starts as Preset"
run wizard --factory 1 --name "Fest" -o f1.qpx
expect 0 "factory 1"
run wizard --factory 2 --name "Fest" -o f2.qpx --wizard-file /no/such/file
expect 0 "factory 2 reads no factory file"
cmp -s f1.qpx f2.qpx || fail "the two factory presets differ"
run show f1.qpx
expect_in out 'Channel A: "Bass     "' "factory channel A"

# ---- refusals: exit 2, a message naming what is allowed, no file ----
refused() {  # refused "TEXT IN MESSAGE" ARGS...
  local text=$1
  shift
  run wizard "$@" -o refused.qpx
  expect 2 "refusal of $*" "$text"
  absent refused.qpx "refusal of $*"
}
refused "RS2 goes with RX1 or RX3" --mode sat --top RS2 --bass RX2
refused "RS5 is not offered in sat mode; choose --top RS1, RS2, RS3 or RS4" --mode sat --top RS5 --bass RX1
refused "sat mode needs a top" --mode sat --bass RX1
refused "RS1 is not offered in monitor mode; choose --top RS2, RS4 or RS5" --mode monitor --top RS1
refused "fullrange mode takes no bass; choose --top RS1, RS2, RS3, RS4 or RS5" --mode fullrange --top RS1 --bass RX1
refused "bassarray mode needs --bass RX1, RX2 or RX3" --mode bassarray
refused "--quantity 2x needs a top" --mode bassarray --bass RX1 --quantity 2x
refused "choose either --mode" --factory 1 --mode sat
refused "not offered with --factory" --factory 1 --summary s.html
refused "at most 12 characters" --mode fullrange --top RS1 --name "Thirteen chrs"
refused "expected RX1, RX2 or RX3" --mode sat --top RS3 --bass RS1
absent s.html "a refused run"

# ---- the factory file: working directory first, missing, damaged ----
sed 's|<NAME>RS4 L</NAME>|<NAME>Local L</NAME>|' "$SHIPPED" >wizards.xml
run wizard --mode fullrange --top RS4 -o local.qpx
expect 0 "a wizards.xml in the working directory"
grep -qF '<NAME>Local L</NAME>' local.qpx || fail "the working directory's wizards.xml was not read first"
rm wizards.xml
run wizard --mode sat --top RS3 --bass RX1 --wizard-file missing.xml -o m.qpx
expect 1 "a missing factory file" "qpx wizard: missing.xml: cannot open (No such file or directory)"
absent m.qpx "a missing factory file"
sed 's|<GAIN>-1.5</GAIN>|<GAIN>-1,5</GAIN>|' "$SHIPPED" >damaged.xml
run wizard --mode sat --top RS3 --bass RX3 --wizard-file damaged.xml -o d.qpx
expect 1 "a damaged factory file" "damaged.xml: reading stopped early (code 6"
absent d.qpx "a damaged factory file"
run wizard --mode fullrange --top RS2 -o ok.qpx --summary "$WORK/no/dir/s.html"
expect 1 "summary into a missing folder" "cannot write $WORK/no/dir/s.html: No such file or directory"

finish
