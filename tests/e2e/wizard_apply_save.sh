#!/usr/bin/env bash
# The wizard from the toolbar by mouse and keyboard, "Show Selection" in the
# desktop's browser, Apply, Save As: wizard_sat_rs3_rx2_2x.qpx byte for byte.
source "$(dirname "$0")/e2e_lib.bash"

# The desktop's default application for HTML.
mkdir -p "$work/data/applications" "$work/config"
printf '#!/bin/sh\nchromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking --user-data-dir="%s/profile" --hide-scrollbars --window-size=800,600 --screenshot="%s/browser.png" "$1" >/dev/null 2>&1\n' \
  "$work" "$work" >"$work/browser" && chmod +x "$work/browser"
printf '[Desktop Entry]\nType=Application\nName=Browser\nExec=%s/browser %%u\nMimeType=text/html;\n' \
  "$work" >"$work/data/applications/test-browser.desktop"
printf '[Default Applications]\ntext/html=test-browser.desktop\n' >"$work/config/mimeapps.list"

e2e_start_display
e2e_start_editor
click_in "$main" 220 44  # the third toolbar button
wiz=$(wait_window "Preset-Wizard") || fail "the wizard did not open"
xdotool sleep 1 windowactivate --sync "$wiz" sleep 0.5 2>/dev/null

# Step One's picture, Step Two's SAT, Step Three's loudspeakers and quantity.
click_in "$wiz" 364 226 sleep 1.5
xdotool mousemove --window "$wiz" 100 200 click --repeat 2 --delay 60 1 sleep 1.5
click_in "$wiz" 417 164 sleep 0.3  # RS 3
click_in "$wiz" 417 210 sleep 0.5 key Down Return sleep 0.3  # its quantity: the list opens on "1x"
click_in "$wiz" 362 322 sleep 1  # RX 2
xdotool key alt+f sleep 1

# Step Four: the name (12 characters at most), Digital, locked.
click_in "$wiz" 200 122 key ctrl+a type --delay 30 "Club Stage"
xdotool key Tab sleep 0.2 key Down sleep 0.2 key Tab space sleep 1
xdotool key Tab space  # Show Selection
wait_for 15 test -s "$work/browser.png" || fail "the summary was not shown in the browser"
python3 "$here/summary_layout.py" "$work/browser.png" RX2 RX2 RS3 RS3 ||
  fail "the summary page does not show the models under the outputs"
xdotool windowactivate --sync "$wiz" key alt+a 2>/dev/null

wait_editor MV517
window_shown "Preset-Wizard" && fail "the wizard is still shown after Apply"
save_as "$work/presets/club"
quit
cmp "$work/presets/club.qpx" "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" ||
  fail "the wizard's file differs from wizard_sat_rs3_rx2_2x.qpx"
pass "wizard from the toolbar to Apply, save as, quit"
