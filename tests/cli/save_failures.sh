#!/usr/bin/env bash
# A failed save says the system's reason and leaves what was there; a killed
# one never tears the target, and a later save leaves no temporary file.
source "$(dirname "$0")/helpers.bash"

# ---- The reason of a failed write -------------------------------------------
mkdir "$WORK/folder.qpx"
long=$(printf 'n%.0s' $(seq 1 252)).qpx
for c in "$WORK/folder.qpx|Is a directory" "$WORK/$long|File name too long"; do
  run new -o "${c%%|*}"
  expect 1 "new -o ${c%%|*}" "qpx new: cannot write ${c%%|*}: ${c#*|}"
done
[ -d "$WORK/folder.qpx" ] || fail "the folder that was the target is gone"

# A folder the user may not write to, and a read-only file system.
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
mkdir "$WORK/locked" "$WORK/ro" && "$QPX" new -o "$WORK/locked/keep.qpx" && chmod 555 "$WORK/locked"
chmod 755 "$WORK"
run_as() { set +e; "$@" 2>"$WORK/err"; RC=$?; set -e; }
run_as "${as_user[@]}" "$QPX" new --device MV961 -o "$WORK/locked/keep.qpx"
expect 1 "write into a read-only folder" "cannot write $WORK/locked/keep.qpx: Permission denied"
same "$WORK/locked/keep.qpx" "$QBN_TEST_DATA/new_mv517.qpx" "the read-only folder's file"
chmod 755 "$WORK/locked"
if unshare -m true 2>/dev/null; then
  run_as unshare -m sh -c 'mount -t tmpfs -o ro tmpfs "$1" && exec "$2" new -o "$1/x.qpx"' sh "$WORK/ro" "$QPX"
  expect 1 "write on a read-only file system" "cannot write $WORK/ro/x.qpx: Read-only file system"
fi

# Without /proc/self/fd a named temporary file, removed when the save fails.
if unshare -m true 2>/dev/null; then
  noproc() { unshare -m sh -c 'mount -t tmpfs tmpfs /proc && trap "" XFSZ && ulimit -f "$1" && shift && exec "$@"' sh "$@"; }
  mkdir "$WORK/named"
  "$QPX" export "$QBN_TEST_DATA/live_mv517.qpx" -o "$WORK/live.json"
  noproc unlimited "$QPX" new -o "$WORK/named/a.qpx"
  run_as noproc 4 "$QPX" import --file-ranges "$WORK/live.json" -o "$WORK/named/a.qpx"
  expect 1 "a save beyond the file size limit" "cannot write $WORK/named/a.qpx: File too large"
  same "$WORK/named/a.qpx" "$QBN_TEST_DATA/new_mv517.qpx" "the file a failed save was to replace"
  [ "$(ls -A "$WORK/named")" = a.qpx ] || fail "left by a failed save: $(ls -A "$WORK/named")"
  noproc unlimited "$QPX" import --file-ranges "$WORK/live.json" -o "$WORK/named/a.qpx"
  same "$WORK/named/a.qpx" "$QBN_TEST_DATA/live_mv517.qpx" "a save through a named temporary file"
fi

# ---- Killed saves -------------------------------------------------------------
# Saves of two presets killed at any moment leave one of them whole.
target="$WORK/kill/show.qpx"
mkdir "$WORK/kill"
"$QPX" new -o "$target"
[ -s "$WORK/live.json" ] || "$QPX" export "$QBN_TEST_DATA/live_mv517.qpx" -o "$WORK/live.json"
for i in $(seq 1 200); do
  if [ $((i % 2)) -eq 0 ]; then src=(import --file-ranges "$WORK/live.json"); else src=(new); fi
  "$QPX" "${src[@]}" -o "$target" 2>/dev/null &
  pid=$!
  sleep "0.00$((RANDOM % 10))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if ! cmp -s "$target" "$QBN_TEST_DATA/new_mv517.qpx" &&
    ! cmp -s "$target" "$QBN_TEST_DATA/live_mv517.qpx"; then
    fail "kill $i left a torn target"
    break
  fi
done
"$QPX" new -o "$target"
[ "$(ls -A "$WORK/kill")" = "show.qpx" ] || fail "left behind after a good save: $(ls -A "$WORK/kill")"

[ "$FAILURES" -eq 0 ]
