#!/usr/bin/env bash
# Two drags undone: Ctrl+S writes nothing, Save As the opened bytes; Ctrl+Y
# and Ctrl+Shift+Z bring both back, Ctrl+S stores them.
source "$(dirname "$0")/e2e_lib.bash"

preset="$work/presets/undo.qpx"
printf 'Filter 3: ON PK Fc 1000 Hz Gain 3.0 dB Q 2.00\n' |
  "$QPX" eq-import "$QBN_TEST_DATA/new_mv517.qpx" --channel A - -o "$preset" || fail "qpx eq-import"
cp "$preset" "$work/opened.qpx"
stamp=$(stat -c %Y.%s "$preset")

e2e_start_display
e2e_start_editor
open_preset "$preset"
click_in "$editor" 236 14 sleep 0.5  # Parametric EQ: band 3 from (1000 Hz, +3 dB)
drag "$(column_of 1000)" 78 600 50
click_in "$editor" 168 14 sleep 0.5  # Crossover: the high-pass from 35 Hz
drag 5 127 300 140
xdotool key ctrl+z sleep 0.3 key ctrl+z sleep 0.5 key ctrl+s sleep 1
[ "$(stat -c %Y.%s "$preset")" = "$stamp" ] && cmp -s "$preset" "$work/opened.qpx" ||
  fail "Ctrl+S after undoing every change wrote the file"
save_as "$work/presets/undone"
cmp "$work/presets/undone.qpx" "$work/opened.qpx" ||
  fail "Save As after undoing both drags differs from the file opened"

quit key ctrl+y sleep 0.3 key ctrl+shift+z sleep 0.5 key ctrl+s sleep 1
cmp -s "$preset" "$work/opened.qpx" || fail "the file opened changed after Save As"
# Save As made undone.qpx the preset's file: Ctrl+S wrote the redone drags there.
"$QPX" diff "$work/opened.qpx" "$work/presets/undone.qpx" >"$work/diff.txt" &&
  fail "redo saved no change"
grep -q "EQ band 3" "$work/diff.txt" && grep -q "high-pass" "$work/diff.txt" ||
  fail "the redone file does not hold both drags: $(cat "$work/diff.txt")"
pass "drag, Ctrl+Z twice: nothing saved, Save As byte-identical; redo twice saved both drags"
