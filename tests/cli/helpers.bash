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

# expect CODE WHAT [TEXT]: the last run ended with CODE and, when TEXT is
# given, its stderr contains TEXT.
expect() {
  [ "$RC" -eq "$1" ] || fail "$2: exit code $RC, expected $1 (stderr: $(head -c 300 "$WORK/err"))"
  [ $# -lt 3 ] || expect_in err "$3" "$2"
}

# expect_out TEXT WHAT: stdout of the last run is exactly TEXT plus a line feed.
expect_out() {
  [ "$(cat "$WORK/out")" = "$1" ] || fail "$2: stdout was [$(cat "$WORK/out")], expected [$1]"
}

# expect_in FILE TEXT WHAT: FILE (out or err) contains TEXT literally.
expect_in() {
  grep -qF -- "$2" "$WORK/$1" || fail "$3: $1 lacks [$2]; it was [$(head -c 600 "$WORK/$1")]"
}

expect_empty() {
  [ ! -s "$WORK/$1" ] || fail "$2: $1 should be empty, was [$(head -c 300 "$WORK/$1")]"
}

absent() {
  [ ! -e "$1" ] || fail "$2 wrote $1"
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

# replace FILE OLD NEW: replaces the first occurrence of OLD by NEW in FILE
# (bytes, no patterns).
replace() {
  python3 - "$@" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].encode(), sys.argv[3].encode()
data = open(path, 'rb').read()
if old not in data:
    sys.exit('replace: "%s" not found in %s' % (sys.argv[2], path))
open(path, 'wb').write(data.replace(old, new, 1))
PY
}

# stopped_copy FILE COPY: COPY is FILE with a second ID on channel C's tag
# and a valid checksum: reading stops there (code 3).
stopped_copy() {
  cp "$1" "$2" && replace "$2" '<CHANNEL ID="3">' '<CHANNEL ID="3" ID="4">' && seal "$2"
}

# make_file NAME JSON: NAME.qpx from JSON (keys left out keep the defaults);
# band FREQ Q GAIN TYPE: one EQ band's JSON.
make_file() { printf '%s' "$2" >"$1.json" && "$QPX" import "$1.json" -o "$1.qpx"; }
band() { printf '{"freq": %s, "q": %s, "gain": %s, "type": %s}' "$@"; }

xml_ok() {
  xmllint --noout "$1" 2>"$WORK/xmllint.err" || fail "xmllint rejects $1: $(cat "$WORK/xmllint.err")"
}

finish() {
  if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
