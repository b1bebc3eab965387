#!/usr/bin/env bash
# End to end with the real program, the real keyboard and mouse (xdotool) on
# a virtual X server with a window manager: start, New MV517 from the
# toolbar, type a level into channel A's gain spin button on Channel Setup,
# Save As into a scratch folder (typing a name without extension), quit with
# Ctrl+Q. The saved file must pass `qpx check` and carry the level.
set -u
source "$(dirname "$0")/e2e_lib.bash"

e2e_start_display
e2e_start_editor
shot 1-start

click_toolbar_mv517
editor=$(wait_window "MV517 Preset-Editor") || fail "the MV517 editor did not open"
sleep 1
shot 2-new-mv517

# Channel Setup: -6.5 dB into channel A's "Gain:" spin button. The offsets
# are those of the editor's layout (tab row, then channel A's gain row).
click_in "$editor" 133 14
sleep 0.5
click_in "$editor" 103 500 --repeat 3 --delay 80
sleep 0.3
xdotool type --delay 40 -- "-6.5"
xdotool key Tab
sleep 0.5
shot 3-level

# Save As from the editor window, a name without extension.
xdotool key ctrl+shift+s
wait_window "Save File" >/dev/null || fail "the Save File dialog did not open"
sleep 1
xdotool key ctrl+a
xdotool type --delay 20 "$work/presets/live"
sleep 0.3
shot 4-save-as
xdotool key Return
saved="$work/presets/live.qpx"
for _ in $(seq 50); do [ -s "$saved" ] && break; sleep 0.1; done
[ -s "$saved" ] || fail "Save As wrote no $saved"
sleep 0.5
shot 5-saved

# Quit with Ctrl+Q: the preset is saved, so there is no question.
xdotool key ctrl+q
wait_editor_end
rc=$?
[ "$rc" -eq 0 ] || fail "the program did not end cleanly after Ctrl+Q ($rc)"

"$QPX" check "$saved" || fail "qpx check refused $saved"
# The first "gain" of the export is channel A's level (tenths of a dB).
gain=$("$QPX" export "$saved" | grep -m 1 '"gain"' | tr -dc -- '-0-9')
[ "$gain" = "-65" ] || fail "channel A gain in the file is '$gain', expected -65"
[ -e "$work/presets/live" ] && fail "a file without the extension was written too"
pass "new, level, save as, quit"
