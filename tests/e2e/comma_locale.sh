#!/usr/bin/env bash
# The editor in a German desktop's locale (a decimal comma): a filter text
# taken into B from its EQ plot's menu and saved gives the bytes qpx (in the
# C locale) makes of it.
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

cp "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" "$work/presets/de.qpx"
LOCPATH="$work/locale" LC_ALL=de_DE.UTF-8 e2e_start_editor presets/de.qpx
wait_editor MV517
import_filter_into_b "$work/room.txt"
window_shown "Error!" && fail "the import was refused"
wait_window "Import Filter Settings" >/dev/null || fail "no report of the import"
xdotool key Return sleep 0.5
quit key ctrl+s sleep 1
"$QPX" eq-import "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" --channel B "$work/room.txt" \
  -o "$work/expected.qpx" >/dev/null || fail "qpx refused the filter text"
cmp "$work/presets/de.qpx" "$work/expected.qpx" || fail "the comma locale's file is not what qpx makes"
pass "a filter text imported and saved under de_DE.UTF-8: the bytes qpx makes"
