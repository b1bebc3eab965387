# Sourced by the end-to-end scripts: Xvfb with openbox, the program in a
# scratch folder, xdotool helpers, screenshots on failure; all stopped on exit.
set -u
here=$(cd "$(dirname "$0")" && pwd)  # the script's folder

: "${EDITOR_BIN:?the editor binary}" "${QPX:?the qpx binary}" "${QBN_TEST_DATA:?the golden files}"

work=$(mktemp -d /tmp/qbn-e2e-XXXXXX)
shots=${E2E_SHOTS:-$work/shots}
mkdir -p "$shots" "$work/data" "$work/presets"
e2e_pids=() e2e_status=1 editor_pid=

e2e_cleanup() {
  local i
  for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do kill "${e2e_pids[i]}" 2>/dev/null && wait "${e2e_pids[i]}" 2>/dev/null; done
  if [ "$e2e_status" -eq 0 ] && [ -z "${E2E_SHOTS:-}" ]; then rm -rf "$work"; else
    echo "screenshots and logs: $work" >&2; fi
}
trap e2e_cleanup EXIT

shot() { import -display "${DISPLAY:-}" -window root "$shots/$1.png" 2>/dev/null || true; }
fail() { echo "FAIL: $*" >&2; shot failure; exit 1; }
pass() { echo "ok: $*"; e2e_status=0; }

# Runs the command given every 0.1 s until it succeeds, for at most $1 seconds.
wait_for() { local i; for ((i = 0; i < $1 * 10; i++)); do "${@:2}" && return 0; sleep 0.1; done; return 1; }

# Clicks at (x, y) in window $1, then the xdotool commands given.
click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1 "${@:4}"; }

# The id of a shown window whose whole name is $1 (waiting up to 10 s).
window_id() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
window_shown() { window_id "$1" >/dev/null; }
wait_window() { wait_for 10 window_id "$1"; }

# The program's exit code once it ends within 10 s, else 124.
wait_editor_end() { wait_for 10 eval '! kill -0 "$editor_pid" 2>/dev/null' || return 124; wait "$editor_pid"; }

# Ctrl+Q (after the keys given), then the program must end cleanly.
quit() { xdotool "$@" key ctrl+q; wait_editor_end || fail "the program did not end cleanly after Ctrl+Q ($?)"; }

# Waits for the editor window of device $1 (MV517, MV961), sets `editor`.
wait_editor() { editor=$(wait_window "$1 Preset-Editor") || fail "no $1 editor"; sleep 1; }

# Save As $1 through Ctrl+Shift+S; waits for $1.qpx.
save_as() {
  xdotool key ctrl+shift+s
  wait_window "Save File" >/dev/null || fail "the Save File dialog did not open"
  xdotool sleep 1 key ctrl+a type --delay 20 "$1"
  xdotool key Return
  wait_for 5 test -s "$1.qpx" || fail "Save As wrote no $1.qpx"
  sleep 0.5
}

# Opens the preset file $1 with Ctrl+O; sets `editor` to the MV517 editor.
open_preset() {
  # The chooser starts in "Recently Used": go home, then type the path.
  xdotool windowactivate --sync "$main" key ctrl+o
  dialog=$(wait_window "Open File") || fail "the Open File dialog did not open"
  xdotool windowactivate --sync "$dialog" sleep 0.5 key alt+Home sleep 0.5 key ctrl+l type --delay 20 "$1"
  xdotool key Return
  wait_editor MV517
}

# Takes the filter text file $1 into B through "Import filter settings...".
import_filter_into_b() {
  xdotool mousemove --window "$editor" 236 14 click 1 sleep 0.5 mousemove --window "$editor" 105 93 \
    click 1 sleep 0.5 mousemove --window "$editor" 673 164 click 3 sleep 0.5 key i
  chooser=$(wait_window "Import Filter Settings") || fail "the import chooser did not open"
  xdotool windowactivate --sync "$chooser" sleep 0.5 key ctrl+l type --delay 20 "$1"
  xdotool key Return sleep 1
}

# Both plots lie at (73, 134) of the editor window; column c stands for
# 10^(1.53 + c x 4.08 / 1289.04) Hz, row r for (102 - r) / 8 dB.
PLOT_X=73 PLOT_Y=134
column_of() { awk -v f="$1" 'BEGIN { printf "%d", (log(f) / log(10) - 1.53) / 4.08 * 1289.04 }'; }
hz_of() { awk -v c="$1" 'BEGIN { printf "%d", 10 ^ (1.53 + c * 4.08 / 1289.04) + 0.5 }'; }

# Presses at plot point ($1, $2), moves in steps to ($3, $4) and releases.
drag() {
  shot before-drag  # a plot not at the offsets fails the values the script checks
  xdotool mousemove --window "$editor" $((PLOT_X + $1)) $((PLOT_Y + $2)) mousedown 1
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --window "$editor" $((PLOT_X + $1 + ($3 - $1) * i / 8)) \
      $((PLOT_Y + $2 + ($4 - $2) * i / 8))
    sleep 0.05
  done
  xdotool mouseup 1
  sleep 0.5
}

e2e_start_display() {
  local n=90
  while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
  export DISPLAY=:$n
  Xvfb "$DISPLAY" -screen 0 1600x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 & e2e_pids+=($!)
  wait_for 5 xdotool getdisplaygeometry >/dev/null 2>&1
  openbox >"$work/openbox.log" 2>&1 & e2e_pids+=($!)
  sleep 1
}

# Starts the program in the scratch folder; sets `main`.
e2e_start_editor() {
  cd "$work" || fail "no scratch folder"
  XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" "$EDITOR_BIN" "$@" >"$work/editor.log" 2>&1 &
  editor_pid=$! && e2e_pids+=($editor_pid)
  main=$(wait_window "QBN - Preset Editor & Wizard") || fail "main window did not appear"
  sleep 1
}
