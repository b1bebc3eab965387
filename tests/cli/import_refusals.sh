#!/usr/bin/env bash
# qpx import refuses what the file reader would not take back: range bounds,
# wrong types, unknown keys, names that do not fit. A refused import writes
# nothing and leaves an existing target as it was.
source "$(dirname "$0")/helpers.bash"
cd "$WORK"

# ---- numeric fields at and beyond their bounds, one per kind of field ----
python3 - "$QPX" <<'PY' || fail "range bounds (see above)"
import json, os, re, subprocess, sys
qpx = sys.argv[1]
def lookup(doc, path):
    for key, index in re.findall(r"(\w+)(?:\[(\d+)\])?", path):
        doc = doc[key] if index == "" else doc[key][int(index)]
    return doc
def channel(n, body):
    return {"channels": [body if i == n else {} for i in range(4)]}
fields = [  # path, document for a value, lowest and highest value the reader accepts
    ("mute", lambda v: {"mute": v}, 0, 15),
    ("channels[1].gain", lambda v: channel(1, {"gain": v}), -999, 60),
    ("channels[3].delay", lambda v: channel(3, {"delay": v}), 0, 40000),
    ("channels[1].xo[1].freq[1]", lambda v: channel(1, {"xo": [{}, {"freq": [35, v]}]}), 35, 8000),
    ("channels[2].xo[0].q[0]", lambda v: channel(2, {"xo": [{"q": [v, 7]}, {}]}), 7, 12),
    ("channels[1].peq[5].freq", lambda v: channel(1, {"peq": [{}] * 5 + [{"freq": v}]}), 35, 12000),
    ("channels[1].peq[2].type", lambda v: channel(1, {"peq": [{}, {}, {"type": v}, {}, {}, {}]}), 0, 1),
    ("channels[1].dynamics.threshold", lambda v: channel(1, {"dynamics": {"threshold": v}}), -99, 0),
]
bad = 0
for path, doc, lo, hi in fields:
    for value, ok in ((lo, True), (hi, True), (lo - 1, False), (hi + 1, False)):
        json.dump(doc(value), open("in.json", "w"))
        if os.path.exists("out.qpx"):
            os.remove("out.qpx")
        r = subprocess.run([qpx, "import", "in.json", "-o", "out.qpx"], capture_output=True, text=True)
        if ok:
            got = subprocess.run([qpx, "export", "out.qpx"], capture_output=True, text=True).stdout
            if r.returncode != 0 or lookup(json.loads(got), path) != value:
                print("FAIL: %s = %d not taken: %s" % (path, value, r.stderr), file=sys.stderr); bad += 1
        elif (r.returncode != 1 or os.path.exists("out.qpx") or
              "%s: %d is out of range (allowed %d..%d)" % (path, value, lo, hi) not in r.stderr):
            print("FAIL: %s = %d: rc %d, stderr %r" % (path, value, r.returncode, r.stderr), file=sys.stderr); bad += 1
sys.exit(1 if bad else 0)
PY

# ---- refusals that name the path and what is allowed ----
"$QPX" new -o target.qpx
cp target.qpx target.before
refuse() { # JSON EXPECTED-MESSAGE
  printf '%s' "$1" >in.json
  run import in.json -o target.qpx
  expect 1 "import of $1" "qpx import: $2"
  expect_in err "nothing written" "import of $1"
  cmp -s target.qpx target.before || fail "refused import of $1 changed the target"
}
refuse '{"channels": [{}, {}, {"peq": [{}, {}, {}, {"bw": 3}, {}, {}]}, {}]}' 'channels[2].peq[3].bw: unknown key'
refuse '{"colour": 1}' 'colour: unknown key (allowed: device, name, mute, lock, channels)'
refuse '{"lock": "1"}' 'lock: expected an integer in 0..255, got string "1"'
refuse '{"lock": 1.0}' 'lock: expected an integer in 0..255, got number'
refuse '{"device": "MV518"}' 'device: expected "MV517" or "MV961"'
refuse '{"channels": [{}, {}, {}]}' 'channels: expected an array of 4 channel objects, got an array of 3'
refuse '{"channels": [{}, {}, {}, {"dynamics": []}]}' 'channels[3].dynamics: expected an object, got array'
refuse '{"name": ' 'in.json: not valid JSON'
# Names: 12 / 9 characters at most, only characters with a record byte,
# and a written form that keeps the file's 63-byte text limit.
refuse '{"name": "Thirteen char"}' 'name: "Thirteen char" has 13 characters, at most 12 allowed'
refuse '{"name": "a\u0082"}' 'name: character U+0082 cannot be stored'
refuse '{"channels": [{"name": "\u2192\u2192\u2192\u2192\u2192\u2192\u2192\u2192"}, {}, {}, {}]}' \
  'channels[0].name: takes 64 bytes in the file, at most 63 allowed'
# The longest names that fit are taken as they are.
printf '%s' '{"name": "&&&&&&&&&&&&", "channels": [{"name": "\u2192\u2192\u2192\u2192\u2192\u2192\u2192x"}, {}, {}, {}]}' >fit.json
run import fit.json -o fit.qpx
expect 0 "import of the longest names"
[ "$("$QPX" export fit.qpx | jq -r '.name, .channels[0].name' | tr '\n' '|')" = '&&&&&&&&&&&&|→→→→→→→x|' ] ||
  fail "longest names did not come back"

run import fit.json -o "$WORK/missing/dir/x.qpx"
expect 1 "import into a missing folder" "cannot write $WORK/missing/dir/x.qpx (code "
run import absent.json -o x.qpx
expect 1 "import of a missing JSON file" "cannot open absent.json (No such file or directory)"
absent x.qpx "a failed import"

finish
