#!/usr/bin/env bash
# Summaries by `qpx wizard` in headless Chromium: the rear-panel picture at
# 600 x 150, the model names under its outputs A to D.
source "$(dirname "$0")/e2e_lib.bash"

while read -r folder names args; do
  # shellcheck disable=SC2086
  "$QPX" wizard $args -o "$work/$folder.qpx" --summary "$work/$folder.html" ||
    fail "qpx wizard $args"
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars --window-size=800,600 \
    --screenshot="$shots/summary-$folder.png" "file://$work/$folder.html" >"$work/chromium.log" 2>&1
  # shellcheck disable=SC2086
  python3 "$here/summary_layout.py" "$shots/summary-$folder.png" ${names//,/ } ||
    fail "$folder: the names do not stand under the outputs"
done <<'CASES'
bassarray RX1,RX1,RX1,RX1 --mode bassarray --bass RX1
fullrange RS5,RS5,RS5,RS5 --mode fullrange --top RS5
CASES
pass "the summary pages show the models under the pictured outputs"
