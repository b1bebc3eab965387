#!/usr/bin/env bash
# The editor in a German desktop's locale (a decimal comma): a filter text
# taken into B from its EQ plot's menu and saved gives the same bytes as the
# same steps in the C locale, and as qpx makes of it.
source "$(dirname "$0")/e2e_lib.bash"

mkdir -p "$work/locale"
if ! localedef -i de_DE -f UTF-8 "$work/locale/de_DE.UTF-8" >"$work/localedef.log" 2>&1; then
  echo "skipped: localedef cannot make de_DE.UTF-8 here ($(head -c 200 "$work/localedef.log"))"
  e2e_status=0
  exit 77
fi
printf '%s\n' "Filter Settings file" "Room EQ V5.30" "Filter 1: ON PK Fc 63.4 Hz Gain -4.5 dB Q 4.0" \
  "Filter 2: ON PEQ Fc 1.25 kHz Gain 2.04 dB BW Oct 1" "Filter 6: ON HS 6dB Fc 8 kHz Gain -2 dB" >"$work/room.txt"
e2e_start_display

# import_and_save NAME: opens presets/NAME.qpx (in the locale the caller's
# environment names), imports room.txt into B from the EQ plot's menu,
# answers the report, saves, quits.
import_and_save() {
  cp "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" "$work/presets/$1.qpx"
  e2e_start_editor "presets/$1.qpx"
  wait_editor MV517
  xdotool mousemove --window "$editor" 236 14 click 1 sleep 0.5 \
    mousemove --window "$editor" 105 93 click 1 sleep 0.5 `# Parametric EQ, channel B` \
    mousemove --window "$editor" 673 164 click 3 sleep 0.5 key i  # "Import filter settings..."
  chooser=$(wait_window "Import Filter Settings") || fail "$1: the import chooser did not open"
  xdotool windowactivate --sync "$chooser" sleep 0.5 key ctrl+l type --delay 20 "$work/room.txt"
  xdotool key Return sleep 1
  window_shown "Error!" && fail "$1: the import was refused"
  wait_window "Import Filter Settings" >/dev/null || fail "$1: no report of the import"
  xdotool key Return sleep 0.5
  quit key ctrl+s sleep 1
}
LC_ALL=C import_and_save c
LOCPATH="$work/locale" LC_ALL=de_DE.UTF-8 import_and_save de
"$QPX" eq-import "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" --channel B "$work/room.txt" \
  -o "$work/expected.qpx" >/dev/null || fail "qpx refused the filter text"
cmp "$work/presets/c.qpx" "$work/expected.qpx" || fail "the C locale's file is not what qpx makes"
cmp "$work/presets/de.qpx" "$work/presets/c.qpx" || fail "the comma locale's file differs from the C locale's"
pass "a filter text imported and saved under de_DE.UTF-8: the same bytes as under C and from qpx"
