#!/usr/bin/env bash
# The selection summary as a browser shows it: the rear-panel picture loads
# at its 600 x 150 size, and the model names stand under the outputs A to D
# of the pictured panel. Pages written by `qpx wizard --summary` for three
# selections, rendered by headless Chromium.
set -u
: "${QPX:?}"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# render PAGE SHOT: a screenshot of PAGE in headless Chromium.
render() {
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars --window-size=800,600 \
    --screenshot="$2" "file://$1" >"$work/chromium.log" 2>&1
}

while read -r folder names args; do
  mkdir -p "$work/$folder"
  # shellcheck disable=SC2086
  "$QPX" wizard $args -o "$work/$folder/p.qpx" --summary "$work/$folder/Selection.html" ||
    { echo "FAIL: qpx wizard $args"; failures=$((failures + 1)); continue; }
  render "$work/$folder/Selection.html" "$work/$folder.png"
  # shellcheck disable=SC2086
  if ! python3 "$here/summary_layout.py" "$work/$folder.png" ${names//,/ }; then
    echo "FAIL: $folder (screenshot kept in ${SHOTS:-a removed folder})"
    failures=$((failures + 1))
  fi
  [ -n "${SHOTS:-}" ] && cp "$work/$folder.png" "$SHOTS/summary-$folder.png"
done <<'CASES'
sat RX2,RX2,RS3,RS3 --mode sat --top RS3 --bass RX2 --quantity 2x
bassarray RX1,RX1,RX1,RX1 --mode bassarray --bass RX1
fullrange RS5,RS5,RS5,RS5 --mode fullrange --top RS5
CASES

[ "$failures" -eq 0 ]
