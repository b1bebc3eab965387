#!/usr/bin/env bash
# The wizard from the toolbar: the device picture, a double-click on SAT, RS 3
# "2x" and RX 2, Forward by its mnemonic, a name, "Digital" and "Lock Preset"
# by the keyboard, "Show Selection" (the desktop's HTML browser: a headless
# Chromium screenshot must show the models under the pictured outputs), Apply,
# Save As, quit: the file is wizard_sat_rs3_rx2_2x.qpx byte for byte.
# $E2E_SHOTS keeps every page.
source "$(dirname "$0")/e2e_lib.bash"

page_shot() { xdotool mousemove 5 5 sleep 0.5; shot "$1"; }  # the pointer out of the way

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
xdotool sleep 1 windowactivate --sync "$wiz" 2>/dev/null
page_shot wizard-1-step-one

# The pages at their sizes in this layout: the device picture on Step One,
# the mode buttons on Step Two, loudspeakers and quantities on Step Three.
click_in "$wiz" 364 226 sleep 0.8
page_shot wizard-2-step-two
xdotool mousemove --window "$wiz" 100 200 click --repeat 2 --delay 60 1 sleep 1
page_shot wizard-3-step-three-sat
click_in "$wiz" 418 176 sleep 0.3  # RS 3
click_in "$wiz" 417 226 sleep 0.5 key Down Return sleep 0.3  # its quantity: the list opens on "1x"
click_in "$wiz" 363 351 sleep 0.5  # RX 2
page_shot wizard-4-rs3-2x-rx2
xdotool key alt+f sleep 1

# Step Four: the name (12 characters at most), Digital, locked.
click_in "$wiz" 196 132 key ctrl+a type --delay 30 "Club Stage"
xdotool key Tab sleep 0.2 key Down sleep 0.2 key Tab space sleep 0.5
page_shot wizard-5-step-four
xdotool key Tab space  # Show Selection
wait_for 15 test -s "$work/browser.png" || fail "the summary was not shown in the browser"
cp "$work/browser.png" "$shots/wizard-5-summary.png"
python3 "$here/summary_layout.py" "$work/browser.png" RX2 RX2 RS3 RS3 ||
  fail "the summary page does not show the models under the outputs"
xdotool windowactivate --sync "$wiz" 2>/dev/null
xdotool key alt+a

wait_editor MV517
window_shown "Preset-Wizard" && fail "the wizard is still shown after Apply"
shot wizard-6-editor-system-tab
save_as "$work/presets/club"
quit
cmp "$work/presets/club.qpx" "$QBN_TEST_DATA/wizard_sat_rs3_rx2_2x.qpx" ||
  fail "the wizard's file differs from wizard_sat_rs3_rx2_2x.qpx"
pass "wizard from the toolbar to Apply, save as, quit"
