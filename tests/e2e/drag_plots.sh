#!/usr/bin/env bash
# End to end with the real program, mouse and keyboard: open a saved preset,
# drag channel A's "Filter 4" handle on the EQ plot, click it and press
# Right three times and Shift+Up, drag the low-pass handle on the crossover
# plot, save, quit. `qpx export` of the file must hold the frequency and gain
# where the pointer let go, moved by three plot columns and +1 dB.
set -u
source "$(dirname "$0")/e2e_lib.bash"

preset="$work/presets/drag.qpx"
echo '{"device": "MV517", "channels": [{"xo": [{"config": 1, "freq": [100, 100]},
  {"config": 1, "freq": [2500, 2500]}], "peq": [{}, {}, {}, {"freq": 1000, "gain": 30}, {}, {}]},
  {}, {}, {}]}' | "$QPX" import - -o "$preset" || fail "qpx import"

# Both plots lie at (73, 134) of the editor window; column c stands for
# 10^(1.53 + c x 4.08 / 1289.04) Hz, row r for (102 - r) / 8 dB.
PLOT_X=73 PLOT_Y=134
column_of() { awk -v f="$1" 'BEGIN { printf "%d", (log(f) / log(10) - 1.53) / 4.08 * 1289.04 }'; }
hz_of() { awk -v c="$1" 'BEGIN { printf "%d", 10 ^ (1.53 + c * 4.08 / 1289.04) + 0.5 }'; }

# Checks that the plot's white frame starts where the offsets say, then
# presses at plot point ($1, $2), moves in steps to ($3, $4) and releases.
drag() {
  import -display "$DISPLAY" -window "$editor" "$shots/before-drag.png" 2>/dev/null
  local corner  # white at the plot's left edge, not left of it
  corner=$(convert "$shots/before-drag.png" -format \
    "%[pixel:p{$PLOT_X,$PLOT_Y}] %[pixel:p{$((PLOT_X - 1)),$PLOT_Y}]" info:)
  [[ $corner == "srgb(255,255,255) "* && $corner != *" srgb(255,255,255)" ]] ||
    fail "the plot is not at ($PLOT_X, $PLOT_Y)"
  xdotool mousemove --window "$editor" $((PLOT_X + $1)) $((PLOT_Y + $2)) mousedown 1
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --window "$editor" $((PLOT_X + $1 + ($3 - $1) * i / 8)) \
      $((PLOT_Y + $2 + ($4 - $2) * i / 8))
    sleep 0.05
  done
  xdotool mouseup 1
  sleep 0.5
}

e2e_start_display
e2e_start_editor
# The chooser starts in "Recently Used": go home, then type the path.
xdotool windowactivate --sync "$main" key ctrl+o
dialog=$(wait_window "Open File") || fail "the Open File dialog did not open"
xdotool windowactivate --sync "$dialog" sleep 0.5 key alt+Home sleep 0.5 key ctrl+l
xdotool type --delay 20 "$preset"
xdotool key Return
editor=$(wait_window "MV517 Preset-Editor") || fail "the preset did not open"
sleep 1

click_in "$editor" 236 14  # Parametric EQ: band 4 from (1000 Hz, +3 dB)
sleep 0.5
drag "$(column_of 1000)" 78 600 50
click_in "$editor" $((PLOT_X + 600)) $((PLOT_Y + 50))  # the band stays; the plot takes the keys
xdotool sleep 0.3 key Right sleep 0.1 key Right sleep 0.1 key Right sleep 0.1 key shift+Up sleep 0.5
shot eq-dragged
click_in "$editor" 168 14  # Crossover: the low-pass from 2500 Hz
sleep 0.5
drag "$(column_of 2500)" 127 700 140
shot xo-dragged

xdotool key ctrl+s sleep 1 key ctrl+q
wait_editor_end || fail "the program did not end cleanly after Save and Ctrl+Q"

json=$("$QPX" export "$preset" | tr -d ' \n') || fail "qpx export refused the saved file"
band=$(grep -o '"peq":\[[^]]*\]' <<<"$json" | head -n 1 | sed 's/},{/}\n{/g' | sed -n 4p)
lowpass=$(grep -o '"config":[0-9]*,"freq":\[[0-9]*,[0-9]*\]' <<<"$json" | sed -n 2p)
# Column 600 is 2686 Hz; three columns right the lowest whole hertz of column 603 is 2746 Hz.
want_band="{\"freq\":2746,\"q\":7,\"gain\":75,\"type\":0}"
want_lowpass="\"config\":1,\"freq\":[$(hz_of 700),$(hz_of 700)]"
[ "$band" = "$want_band" ] || fail "Filter 4 in the file is $band, expected $want_band"
[ "$lowpass" = "$want_lowpass" ] || fail "the low-pass in the file is $lowpass, expected $want_lowpass"
pass "open, drag an EQ band, three Right and Shift+Up, drag the low-pass, save: $band, $lowpass"
