#!/usr/bin/env bash
# The editor started with a preset file opens it as Open does; an unknown
# option ends it with a usage message before any window.
source "$(dirname "$0")/e2e_lib.bash"

# Usage errors need no display and open no window.
env -u DISPLAY "$EDITOR_BIN" --bogus >/dev/null 2>"$work/usage.err"; [ $? -eq 2 ] || fail "an unknown option did not end with 2"
grep -q "Usage: qbn-preset-editor \[FILE\]" "$work/usage.err" || fail "no usage message"
env -u DISPLAY "$EDITOR_BIN" a.qpx b.qpx >/dev/null 2>&1; [ $? -eq 2 ] || fail "two files did not end with 2"

e2e_start_display
cd "$work" || fail "no scratch folder"

# A wizard preset opens with exactly its values: Save As writes the same bytes.
cp "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" "$work/presets/club.qpx"
e2e_start_editor presets/club.qpx
wait_editor MV517
save_as "$work/presets/copy"
cmp "$work/presets/copy.qpx" "$work/presets/club.qpx" || fail "the opened values differ from the file's"
quit

# Values beyond the fields: the editor stays in front once the warning is answered.
e2e_start_editor "$QBN_TEST_DATA/live_mv517.qpx"
wait_window "Warning!" >/dev/null || fail "no warning for values beyond the editor's fields"
xdotool key Return
wait_editor MV517
[ "$(xdotool getactivewindow)" = "$editor" ] || fail "the editor is not in front after the warning"
quit

# An MV961 file opens the MV961 editor.
e2e_start_editor "$QBN_TEST_DATA/new_mv961.qpx"
wait_editor MV961
quit

pass "open a preset named on the command line"
