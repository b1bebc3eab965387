#!/usr/bin/env bash
# End to end: the close flow and the editor window following the main window,
# with the real program under openbox. A new MV517 preset (never saved):
# minimising the main window minimises the editor, restoring brings it back;
# Ctrl+Q asks "Save Preset?" while the editor stays shown; Escape (Cancel)
# keeps everything; Ctrl+Q again and "No" ends the program without a file.
set -u
source "$(dirname "$0")/e2e_lib.bash"

# Whether the editor window is iconified (no longer viewable).
hidden() { ! window_shown "MV517 Preset-Editor"; }

e2e_start_display
e2e_start_editor
click_toolbar_mv517
editor=$(wait_window "MV517 Preset-Editor") || fail "the MV517 editor did not open"
sleep 1

# The editor follows the main window into and out of the task bar.
xdotool windowminimize "$main"
for _ in $(seq 30); do hidden && break; sleep 0.1; done
hidden || fail "minimising the main window left the editor shown"
shot 1-minimised
xdotool windowactivate "$main" 2>/dev/null
for _ in $(seq 30); do hidden || break; sleep 0.1; done
hidden && fail "restoring the main window left the editor minimised"
sleep 0.5
shot 2-restored

# Quit asks while the editor is still open and shown.
xdotool windowactivate "$editor" 2>/dev/null
sleep 0.3
xdotool key ctrl+q
wait_window "Save Preset[?]" >/dev/null || fail "no Save Preset? question"
sleep 0.5
shot 3-question
window_shown "MV517 Preset-Editor" || fail "the editor went before the question was answered"
xdotool key Escape
sleep 1
window_shown "Save Preset[?]" && fail "the question stayed after Escape"
window_shown "MV517 Preset-Editor" || fail "Cancel closed the editor"
kill -0 "$editor_pid" 2>/dev/null || fail "Cancel ended the program"
shot 4-cancelled

# Again, and answer No: the program ends and writes nothing.
xdotool windowactivate "$editor" 2>/dev/null
sleep 0.3
xdotool key ctrl+q
wait_window "Save Preset[?]" >/dev/null || fail "no Save Preset? question the second time"
sleep 0.3
xdotool key alt+n
wait_editor_end
rc=$?
[ "$rc" -eq 0 ] || fail "the program did not end cleanly after No ($rc)"
[ -z "$(ls -A "$work/presets")" ] || fail "No wrote a file"
pass "minimise follows, question with Cancel and No"
