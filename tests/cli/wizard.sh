#!/usr/bin/env bash
# qpx wizard: golden presets and summaries, quantity, name, refusals, the
# factory file found, missing or damaged.
source "$(dirname "$0")/helpers.bash"
SHIPPED="$HERE/../../data/wizards.xml"

cases "0 '' wizard --mode sat --top RS3 --bass RX2 --quantity 2x --name 'Club Stage' --lock -o sat.qpx --summary sat.html"
same sat.qpx "$D/wizard_sat_rs3_rx2_2x.qpx" "sat RS3 RX2 2x"
same sat.html "$D/selection_sat_rs3_rx2_2x.html" "summary of sat RS3 RX2 2x"
# The quantity shows in the summary (the core tests: only there); models are taken in either case.
"$QPX" wizard --mode sat --top rs3 --bass rx2 --name "Club Stage" --lock -o sat1.qpx --summary sat1.html
cmp -s sat1.html sat.html && fail "the quantity is missing from the summary"
for sel in "bassarray_rx1 --mode bassarray --bass RX1" "fullrange_rs5 --mode fullrange --top RS5"; do
  cases "0 '' wizard ${sel#* } -o sel.qpx --summary sel.html"
  same sel.html "$D/selection_${sel%% *}.html" "summary of ${sel#* }"
done
grep -q $'^\t<NAME>Preset</NAME>$' sel.qpx && grep -q $'^\t<LOCK>0</LOCK>$' sel.qpx || fail "name and lock entries"
# The factory presets are built in (the same template): no factory file is read.
cases "0 '' wizard --factory 1 --name Church --lock -o f1.qpx" \
  "0 '' wizard --factory 2 --name Church --lock -o f2.qpx --wizard-file /no/such/file"
same f1.qpx "$D/core_wizard_factory_church.qpx" "factory preset 1"
same f2.qpx "$D/core_wizard_factory_church.qpx" "factory preset 2"
# What the wizard makes holds only values the editor's fields can show.
run check --strict sat.qpx sel.qpx f1.qpx f2.qpx
expect 0 "check --strict of the wizard's presets" ""

cases \
  "2 'RS2 goes with RX1 or RX3' wizard --mode sat --top RS2 --bass RX2 -o r.qpx" \
  "2 'RS5 is not offered in sat mode; choose --top RS1, RS2, RS3 or RS4' wizard --mode sat --top RS5 --bass RX1 -o r.qpx" \
  "2 'sat mode needs a top' wizard --mode sat --bass RX1 -o r.qpx" \
  "2 'RS1 is not offered in monitor mode; choose --top RS2, RS4 or RS5' wizard --mode monitor --top RS1 -o r.qpx" \
  "2 'fullrange mode takes no bass; choose --top RS1, RS2, RS3, RS4 or RS5' wizard --mode fullrange --top RS1 --bass RX1 -o r.qpx" \
  "2 'bassarray mode needs --bass RX1, RX2 or RX3' wizard --mode bassarray -o r.qpx" \
  "2 '--quantity 2x needs a top' wizard --mode bassarray --bass RX1 --quantity 2x -o r.qpx" \
  "2 'choose either --mode' wizard --factory 1 --mode sat -o r.qpx" \
  "2 'not offered with --factory' wizard --factory 1 --summary s.html -o r.qpx" \
  "2 'at most 12 characters' wizard --mode fullrange --top RS1 --name Thirteen_char -o r.qpx" \
  "2 'expected RX1, RX2 or RX3' wizard --mode sat --top RS3 --bass RS1 -o r.qpx" \
  "1 'qpx wizard: missing.xml: cannot open (No such file or directory)' wizard --mode sat --top RS3 --bass RX1 --wizard-file missing.xml -o r.qpx"
absent s.html "a refused run"
# A summary that cannot be written fails the run before anything is written.
cases "1 'cannot write $WORK/no/dir/s.html: No such file or directory' wizard --mode fullrange --top RS2 -o ok.qpx --summary $WORK/no/dir/s.html"

# The factory file: the working directory's first, then the data directory.
sed 's|<NAME>RS4 L</NAME>|<NAME>Local L</NAME>|' "$SHIPPED" >wizards.xml
run wizard --mode fullrange --top RS4 -o local.qpx
expect 0 "a wizards.xml in the working directory"
grep -qF '<NAME>Local L</NAME>' local.qpx || fail "the working directory's wizards.xml was not read first"
sed 's|<GAIN>-1.5</GAIN>|<GAIN>-1,5</GAIN>|' "$SHIPPED" >wizards.xml
cases "1 'wizards.xml: reading stopped early (code 6' wizard --mode sat --top RS3 --bass RX3 -o d.qpx"

finish
