#!/usr/bin/env bash
# Makes docs/editor.png, the README's picture of the editor: the tuned show
# file of tests/data opened in the built editor under a virtual X server
# (Xvfb with openbox), its Parametric EQ tab, the editor window captured with
# ImageMagick's import.
# Usage: scripts/screenshot.sh [BUILD_DIR] (default build; make builds it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
editor=$build/qbn-preset-editor
[ -x "$editor" ] || { echo "no $editor: build first (make build)" >&2; exit 1; }
work=$(mktemp -d /tmp/qbn-screenshot-XXXXXX)
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

n=90
while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 & pids+=($!)
sleep 1

cp "$root/tests/data/live_mv517.qpx" "$work/live.qpx"
cd "$work"
XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" "$editor" live.qpx >/dev/null 2>&1 & pids+=($!)
window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^MV517 Preset-Editor$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the editor did not open" >&2; exit 1; }
sleep 1
# The file holds a level below the field's range: its warning is answered.
if warning=$(xdotool search --onlyvisible --name '^Warning!$' 2>/dev/null | head -n 1) && [ -n "$warning" ]; then
  xdotool windowactivate --sync "$warning" key Return
  sleep 0.5
fi
# Parametric EQ, channel A; the pointer over the plot shows its readout.
xdotool windowactivate --sync "$window" mousemove --window "$window" 236 14 click 1 sleep 0.5 \
  mousemove --window "$window" 520 190
sleep 1
import -window "$window" "$root/docs/editor.png"
echo "wrote docs/editor.png"
