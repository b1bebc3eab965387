#!/usr/bin/env bash
# A measurement loaded from the EQ plot's menu: the prediction follows a
# drag at once; the measurement is remembered with the file.
source "$(dirname "$0")/e2e_lib.bash"

preset="$work/presets/tuned.qpx"
"$QPX" set "$QBN_TEST_DATA/default_mv517.qpx" -o "$preset" A.hp=LR4,100Hz A.eq4=PEQ,1000Hz,3dB >/dev/null ||
  fail "qpx set"
cp "$QBN_TEST_DATA/measurement_top.txt" "$work/top.txt"

# The rows of plot column $1 in window shot $2 that hold the white
# prediction (the 0 dB line and the frame left out), top to bottom.
prediction_rows() {
  python3 - "$shots/$2.png" "$1" <<'PY'
import sys
sys.path.insert(0, __import__("os").environ["CLI_DIR"])
from png_pixels import Png
png, x = Png(sys.argv[1]), int(sys.argv[2])
rows = [y for y in range(4, 201) if abs(y - 102) > 2 and min(png.rgb(73 + x, 134 + y)) > 235]
print(' '.join(map(str, rows)))
PY
}
export CLI_DIR="$here/../cli"
plot_shot() { sleep 0.7; import -window "$editor" "png24:$shots/$1.png" || fail "no screenshot $1"; }

e2e_start_display
e2e_start_editor
open_preset "$preset"
click_in "$editor" 236 14 sleep 0.5  # Parametric EQ
plot_shot plain
column=$(column_of 1000)
[ -z "$(prediction_rows "$column" plain)" ] || fail "a white curve before any measurement"

# Right-click the plot, "Load measurement..." by its mnemonic, the file by path.
xdotool mousemove --window "$editor" $((PLOT_X + 400)) $((PLOT_Y + 190)) click 3 sleep 0.5 key l
chooser=$(wait_window "Load Measurement") || fail "the Load Measurement chooser did not open"
xdotool windowactivate --sync "$chooser" sleep 0.5 key ctrl+l type --delay 20 "$work/top.txt"
xdotool key Return
wait_for 5 eval '! window_shown "Load Measurement"' || fail "the chooser stayed open"
plot_shot loaded
before=$(prediction_rows "$column" loaded)
[ -n "$before" ] || fail "no prediction in column $column after loading"

# Filter 4 from +3 dB to +9 dB: the prediction at 1 kHz rises about 48 rows.
drag "$column" 78 "$column" 30
plot_shot dragged
after=$(prediction_rows "$column" dragged)
[ -n "$after" ] || fail "no prediction in column $column after the drag"
rise=$(( ${before%% *} - ${after%% *} ))
[ "$rise" -ge 40 ] && [ "$rise" -le 56 ] || fail "the prediction rose $rise rows (before: $before; after: $after)"

quit key ctrl+s sleep 1
grep -q "measurement_A=$work/top.txt" "$work/config/qbn-preset-editor/settings.ini" ||
  fail "the measurement is not remembered for the file"
pass "measurement loaded from the plot menu; the prediction rose $rise rows with the band"
