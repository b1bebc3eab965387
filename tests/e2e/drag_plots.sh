#!/usr/bin/env bash
# Drag an EQ handle, three Right and Shift+Up, drag the low-pass, save: the
# file holds where the pointer let go, moved by three columns and +1 dB.
source "$(dirname "$0")/e2e_lib.bash"

preset="$work/presets/drag.qpx"
"$QPX" set "$QBN_TEST_DATA/default_mv517.qpx" -o "$preset" A.hp=BW2,100Hz A.lp=BW2,2500Hz \
  A.eq4=PEQ,1000Hz,3dB >/dev/null || fail "qpx set"

e2e_start_display
e2e_start_editor
open_preset "$preset"

click_in "$editor" 236 14 sleep 0.5  # Parametric EQ: band 4 from (1000 Hz, +3 dB)
drag "$(column_of 1000)" 78 600 50
# The band stays; the plot takes the keys.
click_in "$editor" $((PLOT_X + 600)) $((PLOT_Y + 50)) sleep 0.3 key Right sleep 0.1 key Right sleep 0.1 \
  key Right sleep 0.1 key shift+Up sleep 0.5
click_in "$editor" 168 14 sleep 0.5  # Crossover: the low-pass from 2500 Hz
drag "$(column_of 2500)" 127 700 140

quit key ctrl+s sleep 1

json=$("$QPX" export "$preset" | tr -d ' \n') || fail "qpx export refused the saved file"
band=$(grep -o '"peq":\[[^]]*\]' <<<"$json" | head -n 1 | sed 's/},{/}\n{/g' | sed -n 4p)
lowpass=$(grep -o '"config":[0-9]*,"freq":\[[0-9]*,[0-9]*\]' <<<"$json" | sed -n 2p)
# Column 600 is 2686 Hz; three columns right the lowest whole hertz of column 603 is 2746 Hz.
[ "$band" = '{"freq":2746,"q":7,"gain":75,"type":0}' ] || fail "Filter 4 in the file is $band"
[ "$lowpass" = "\"config\":1,\"freq\":[$(hz_of 700),$(hz_of 700)]" ] || fail "the low-pass in the file is $lowpass"
pass "open, drag an EQ band, three Right and Shift+Up, drag the low-pass, save: $band, $lowpass"
