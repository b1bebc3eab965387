# Sourced by the qpx tests: needs QPX and QBN_TEST_DATA ($D); works in a fresh
# $WORK; $HERE is tests/cli.
set -euo pipefail
: "${QPX:?QPX must name the qpx binary}" "${QBN_TEST_DATA:?QBN_TEST_DATA must name tests/data}"
QPX=$(realpath "$QPX") D=$(realpath "$QBN_TEST_DATA") HERE=$(cd "$(dirname "$0")" && pwd) WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
FAILURES=0

fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }

# run ARGS...: runs qpx (stdin passed on); its exit code in $RC, its output in $WORK/out and $WORK/err.
run() { set +e; "$QPX" "$@" >"$WORK/out" 2>"$WORK/err"; RC=$?; set -e; }

# expect CODE WHAT [TEXT]: the last run ended with CODE and wrote TEXT on
# stderr (TEXT '': nothing).
expect() {
  [ "$RC" -eq "$1" ] || fail "$2: exit code $RC, expected $1 (stderr: $(head -c 300 "$WORK/err"))"
  [ "${3-x}" != "" ] || [ ! -s "$WORK/err" ] || fail "$2: unexpected stderr [$(head -c 300 "$WORK/err")]"
  [ $# -lt 3 ] || [ -z "$3" ] || expect_in err "$3" "$2"
}

# expect_in out|err TEXT WHAT: that output of the last run contains TEXT literally.
expect_in() { grep -qF -- "$2" "$WORK/$1" || fail "$3: $1 lacks [$2]; it was [$(head -c 600 "$WORK/$1")]"; }

# expect_out TEXT WHAT: stdout of the last run is exactly TEXT plus a line feed.
expect_out() { [ "$(cat "$WORK/out")" = "$1" ] || fail "$2: stdout was [$(cat "$WORK/out")], expected [$1]"; }

# same FILE EXPECTED WHAT: the two files are equal byte for byte.
same() { cmp -s "$1" "$2" || fail "$3: $1 differs from $2: $(diff "$1" "$2" | head -n 6)"; }

absent() { [ ! -e "$1" ] || fail "$2 wrote $1"; }

# cases ROW...: each ROW "CODE 'TEXT' ARGS...": qpx ARGS ends with CODE and
# writes TEXT on stderr; a failed run (1, 2) writes nothing, its -o untouched.
cases() {
  local row code text prev arg target
  for row in "$@"; do
    eval "set -- $row"
    code=$1 text=$2 prev="" target=""
    shift 2
    for arg in "$@"; do [ "$prev" != -o ] || target=$arg; prev=$arg; done
    rm -f "$WORK/before"
    if [ "$code" = 1 ] || [ "$code" = 2 ]; then [ ! -e "$target" ] || cp "$target" "$WORK/before"; else rm -f "$target"; fi
    run "$@"
    expect "$code" "qpx $*" "$text"
    [ "$code" != 1 ] && [ "$code" != 2 ] && continue
    [ ! -s "$WORK/out" ] || fail "qpx $*: wrote on stdout: $(head -c 200 "$WORK/out")"
    if [ -e "$WORK/before" ]; then same "$target" "$WORK/before" "qpx $*"; elif [ -n "$target" ]; then absent "$target" "qpx $*"; fi
  done
}

# jsonpy CODE FILE...: runs the Python CODE with j, the JSON FILEs in order
# (python3 is there with the build's GLib tools; jq is not installed).
jsonpy() {
  python3 -c 'import json, sys; j = [json.load(open(p)) for p in sys.argv[2:]]; exec(sys.argv[1])' "$@"
}

# edit SOURCE COPY [OLD NEW] [seal]: SOURCE with the first OLD replaced; seal:
# a new checksum line, a CRC-16/MODBUS computed here, apart from qpx.
edit() {
  python3 - "$@" <<'PY'
import re, sys
data, args = open(sys.argv[1], 'rb').read(), sys.argv[3:]
if len(args) >= 2:
    assert args[0].encode() in data, 'edit: "%s" not in %s' % (args[0], sys.argv[1])
    data = data.replace(args[0].encode(), args[1].encode(), 1)
if args[-1:] == ['seal']:
    data, crc = re.sub(rb'<!-->[0-9a-fA-F]*</!-->\n\Z', b'', data), 0xFFFF
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    data += b'<!-->' + format(crc, 'x').encode() + b'</!-->\n'
open(sys.argv[2], 'wb').write(data)
PY
}

finish() {
  [ "$FAILURES" -eq 0 ] || { echo "$FAILURES check(s) failed" >&2; exit 1; }
  echo "all checks passed"
}
