# Shared helpers for the qpx command-line tests (sourced, not a test itself).
# Needs QPX (path of the qpx binary); makes a work directory $WORK that is
# removed on exit.
set -euo pipefail

: "${QPX:?QPX must name the qpx binary}"
QPX=$(realpath "$QPX")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
FAILURES=0

fail() {
  echo "FAIL: $*" >&2
  FAILURES=$((FAILURES + 1))
}

# run ARGS...: runs qpx, keeping its exit code in $RC and its output in
# $WORK/out and $WORK/err.
run() {
  set +e
  "$QPX" "$@" >"$WORK/out" 2>"$WORK/err"
  RC=$?
  set -e
}

# expect_rc CODE WHAT: the last run ended with CODE.
expect_rc() {
  if [ "$RC" -ne "$1" ]; then
    fail "$2: exit code $RC, expected $1 (stderr: $(head -c 300 "$WORK/err"))"
  fi
}

# expect_out TEXT WHAT: stdout of the last run is exactly TEXT plus a line feed.
expect_out() {
  local expected
  expected=$(printf '%s\n' "$1")
  if [ "$(cat "$WORK/out")" != "$expected" ]; then
    fail "$2: stdout was [$(cat "$WORK/out")], expected [$1]"
  fi
}

# expect_in FILE TEXT WHAT: FILE (out or err) contains TEXT literally.
expect_in() {
  if ! grep -qF -- "$2" "$WORK/$1"; then
    fail "$3: $1 lacks [$2]; it was [$(head -c 600 "$WORK/$1")]"
  fi
}

expect_empty() {
  if [ -s "$WORK/$1" ]; then
    fail "$2: $1 should be empty, was [$(head -c 300 "$WORK/$1")]"
  fi
}

# seal FILE: replaces FILE's checksum line (if any) by a correct one:
# CRC-16/MODBUS (reflected 0xA001, init 0xFFFF) of every byte before it,
# lower-case hex without leading zeros. Computed here, independently of qpx.
seal() {
  python3 - "$1" <<'PY'
import re, sys
path = sys.argv[1]
data = open(path, 'rb').read()
data = re.sub(rb'<!-->[0-9a-fA-F]*</!-->\n\Z', b'', data)
crc = 0xFFFF
for b in data:
    crc ^= b
    for _ in range(8):
        crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
open(path, 'wb').write(data + b'<!-->' + format(crc, 'x').encode() + b'</!-->\n')
PY
}

# replace FILE OLD NEW [COUNT]: replaces the first COUNT (default 1)
# occurrences of OLD by NEW in FILE (bytes, no patterns).
replace() {
  python3 - "$@" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].encode(), sys.argv[3].encode()
count = int(sys.argv[4]) if len(sys.argv) > 4 else 1
data = open(path, 'rb').read()
if data.count(old) < count:
    sys.exit('replace: "%s" not found %d times in %s' % (sys.argv[2], count, path))
open(path, 'wb').write(data.replace(old, new, count))
PY
}

xml_ok() {
  if ! xmllint --noout "$1" 2>"$WORK/xmllint.err"; then
    fail "xmllint rejects $1: $(cat "$WORK/xmllint.err")"
  fi
}

finish() {
  if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
