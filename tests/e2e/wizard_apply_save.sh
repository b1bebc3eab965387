#!/usr/bin/env bash
# End to end with the real program, the real keyboard and mouse (xdotool) on
# a virtual X server with a window manager: the preset wizard from the
# toolbar's "Preset-Wizard" button. Step One: a click on the device picture;
# Step Two: a double-click on SAT (straight to Step Three); Step Three: RS 3
# and RX 2, Forward by its mnemonic; Step Four: a name typed, "Digital" and
# "Lock Preset" by the keyboard, Apply. The editor opens; Save As, quit. The
# file must be exactly what `qpx wizard` writes for the same choices.
# Screenshots of every page are kept in $E2E_SHOTS when it is set.
set -u
source "$(dirname "$0")/e2e_lib.bash"

e2e_start_display
e2e_start_editor

# The third toolbar button, right of "MV517" and "MV961".
click_in "$main" 220 44
wiz=$(wait_window "Preset-Wizard") || fail "the wizard did not open"
sleep 1
xdotool windowactivate --sync "$wiz" 2>/dev/null
xdotool mousemove 5 5
sleep 0.5
shot wizard-1-step-one

# The wizard's pages at their sizes in this layout: the device picture on
# Step One, the mode buttons on Step Two, the loudspeakers on Step Three.
click_in "$wiz" 364 226
sleep 0.8
xdotool mousemove 5 5
sleep 0.5
shot wizard-2-step-two
click_in "$wiz" 100 200 --repeat 2 --delay 60
sleep 1
xdotool mousemove 5 5
sleep 0.5
shot wizard-3-step-three-sat
click_in "$wiz" 418 176
sleep 0.3
click_in "$wiz" 363 351
sleep 0.5
xdotool mousemove 5 5
sleep 0.5
shot wizard-4-rs3-rx2
xdotool key alt+f
sleep 1

# Step Four: the name (12 characters at most), Digital, locked.
click_in "$wiz" 196 132
xdotool key ctrl+a
xdotool type --delay 30 "Club Stage"
xdotool key Tab
sleep 0.2
xdotool key Down
sleep 0.2
xdotool key Tab space
sleep 0.5
xdotool mousemove 5 5
sleep 0.5
shot wizard-5-step-four
xdotool key alt+a

editor=$(wait_window "MV517 Preset-Editor") || fail "Apply did not open the MV517 editor"
sleep 1
window_shown "Preset-Wizard" && fail "the wizard is still shown after Apply"
shot wizard-6-editor-system-tab

# The Overview shows the input mode the wizard chose.
click_in "$editor" 30 14
sleep 0.8
shot wizard-7-overview-digital

xdotool key ctrl+shift+s
wait_window "Save File" >/dev/null || fail "the Save File dialog did not open"
sleep 1
xdotool key ctrl+a
xdotool type --delay 20 "$work/presets/club"
xdotool key Return
saved="$work/presets/club.qpx"
for _ in $(seq 50); do [ -s "$saved" ] && break; sleep 0.1; done
[ -s "$saved" ] || fail "Save As wrote no $saved"
sleep 0.5

xdotool key ctrl+q
wait_editor_end
rc=$?
[ "$rc" -eq 0 ] || fail "the program did not end cleanly after Ctrl+Q ($rc)"

"$QPX" check "$saved" || fail "qpx check refused $saved"
"$QPX" wizard --mode sat --top RS3 --bass RX2 --name "Club Stage" --lock \
  -o "$work/expected.qpx" >/dev/null || fail "qpx wizard failed"
cmp "$saved" "$work/expected.qpx" ||
  fail "the wizard's preset differs from qpx wizard's ($(diff "$saved" "$work/expected.qpx" | head -5))"
pass "wizard from the toolbar to Apply, save as, quit"
