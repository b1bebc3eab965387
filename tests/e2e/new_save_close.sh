#!/usr/bin/env bash
# New from the toolbar, minimised and restored with the main window; Save As,
# a level and Ctrl+S; Ctrl+Q asks: Escape keeps all, No ends, the file as saved.
source "$(dirname "$0")/e2e_lib.bash"

# Channel Setup, then channel A's "Gain:" spin button.
type_level_a() {
  click_in "$editor" 97 14 sleep 0.5
  xdotool mousemove --window "$editor" 103 475 click --repeat 3 --delay 80 1 sleep 0.3 type --delay 40 -- "$1"
  xdotool key Tab sleep 0.5
}

e2e_start_display
e2e_start_editor
click_in "$main" 35 44  # the first toolbar button, "MV517"
wait_editor MV517
xdotool windowminimize "$main"
wait_for 3 eval '! window_shown "MV517 Preset-Editor"' || fail "minimising the main window left the editor shown"
xdotool windowactivate "$main" 2>/dev/null
wait_for 3 window_shown "MV517 Preset-Editor" || fail "restoring the main window left the editor minimised"
xdotool sleep 0.5 windowactivate "$editor" sleep 0.3 2>/dev/null
save_as "$work/presets/live"
saved="$work/presets/live.qpx"
cmp "$saved" "$QBN_TEST_DATA/new_mv517.qpx" || fail "Save As of New differs from new_mv517.qpx"
[ -e "$work/presets/live" ] && fail "a file without the extension was written too"

type_level_a -6.5
xdotool key ctrl+s sleep 1
# The first GAIN of the file is channel A's level.
[ "$(head -n -1 "$saved")" = "$(sed '0,/<GAIN>0.0</s//<GAIN>-6.5</' \
  "$QBN_TEST_DATA/new_mv517.qpx" | head -n -1)" ] || fail "Ctrl+S did not store -6.5 dB alone"
"$QPX" check "$saved" || fail "qpx check refused $saved"
cp "$saved" "$work/saved.qpx"

type_level_a -3
xdotool key ctrl+q
wait_window "Save Preset[?]" >/dev/null || fail "no Save Preset? question"
sleep 0.5
xdotool key Escape sleep 1
window_shown "Save Preset[?]" && fail "the question stayed after Escape"
window_shown "MV517 Preset-Editor" || fail "Cancel closed the editor"
xdotool windowactivate "$editor" sleep 0.3 key ctrl+q 2>/dev/null
wait_window "Save Preset[?]" >/dev/null || fail "no Save Preset? question the second time"
xdotool sleep 0.3 key alt+n
wait_editor_end || fail "the program did not end cleanly after No ($?)"
cmp "$saved" "$work/saved.qpx" || fail "No changed the saved file"
pass "new, minimise, save as, level, Ctrl+S, Ctrl+Q with Cancel and No"
