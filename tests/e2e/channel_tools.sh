#!/usr/bin/env bash
# Open a preset, take a filter file into B from its EQ plot's menu, copy B's
# EQ to D from B's tab menu, save: byte for byte what qpx makes of it.
source "$(dirname "$0")/e2e_lib.bash"

cp "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" "$work/presets/club.qpx"
printf '%s\n' "Preamp: -3 dB" "Filter 1: ON PK Fc 63.4 Hz Gain -4.5 dB Q 4.0" \
  "Filter 2: ON PEQ Fc 1.25 kHz Gain 2.04 dB BW Oct 1" "Filter 3: ON HSC Fc 8 kHz Gain -2 dB" >"$work/room.txt"
e2e_start_display && e2e_start_editor presets/club.qpx
wait_editor MV517
import_filter_into_b "$work/room.txt"
xdotool key Return sleep 0.5 `# the message` \
  mousemove --window "$editor" 105 93 click 3 sleep 0.5 key e sleep 0.3 key Right sleep 0.3 \
  key Down sleep 0.2 key Down sleep 0.3 key Return sleep 0.5
quit key ctrl+s sleep 1
"$QPX" eq-import "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" --channel B "$work/room.txt" -o "$work/imported.qpx" >/dev/null &&
  "$QPX" copy-channel "$work/imported.qpx" --from B --to D --section eq -o "$work/expected.qpx" >/dev/null ||
  fail "qpx refused the same steps"
cmp "$work/presets/club.qpx" "$work/expected.qpx" || fail "the saved preset is not what qpx makes"
pass "filter file into B from the plot menu, B's EQ to D from the tab menu, saved as qpx makes it"
