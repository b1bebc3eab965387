#!/usr/bin/env bash
# qpx import refuses what the file reader would not take back: every
# range bound, wrong types, unknown keys, names that do not fit. A refused
# import writes nothing and leaves an existing target as it was.
source "$(dirname "$0")/helpers.bash"
cd "$WORK"

# ---- every numeric field at and beyond its bounds ----
python3 - "$QPX" <<'PY' || fail "range bounds (see above)"
import json, re, subprocess, sys
qpx = sys.argv[1]
fields = [  # path, lowest and highest value the reader accepts
    ("lock", 0, 255), ("mute", 0, 15),
    ("channels[1].routing", 0, 60), ("channels[1].gain", -999, 60), ("channels[1].groups", 0, 255),
    ("channels[1].phase", 0, 1), ("channels[3].delay", 0, 40000),
    ("channels[1].xo[0].config", 0, 2), ("channels[1].xo[1].freq[1]", 35, 8000),
    ("channels[2].xo[0].q[0]", 7, 12), ("channels[1].peq[5].freq", 35, 12000),
    ("channels[1].peq[3].gain", -120, 120), ("channels[0].peq[0].q", 7, 125),
    ("channels[1].peq[2].type", 0, 1), ("channels[1].dynamics.attack", 0, 255),
    ("channels[1].dynamics.release", 0, 255), ("channels[1].dynamics.threshold", -99, 0),
    ("channels[1].dynamics.boost", -99, 0),
]
sizes = {"channels": 4, "xo": 2, "peq": 6}
fill = {"freq": 35, "q": 7}
def build(path, value):
    """The smallest document that sets `path` to `value`."""
    steps = re.findall(r"(\w+)(?:\[(\d+)\])?", path)
    doc = {}
    node = doc
    for n, (key, index) in enumerate(steps):
        last = n == len(steps) - 1
        if index == "":
            node[key] = value if last else {}
            node = node[key]
        elif last:
            node[key] = [fill[key]] * 2
            node[key][int(index)] = value
        else:
            node[key] = [{} for _ in range(sizes[key])]
            node = node[key][int(index)]
    return doc
def lookup(doc, path):
    for key, index in re.findall(r"(\w+)(?:\[(\d+)\])?", path):
        doc = doc[key] if index == "" else doc[key][int(index)]
    return doc
bad = 0
for path, lo, hi in fields:
    for value, ok in ((lo, True), (hi, True), (lo - 1, False), (hi + 1, False)):
        open("in.json", "w").write(json.dumps(build(path, value)))
        subprocess.run(["rm", "-f", "out.qpx"])
        r = subprocess.run([qpx, "import", "in.json", "-o", "out.qpx"], capture_output=True, text=True)
        if ok:
            got = subprocess.run([qpx, "export", "out.qpx"], capture_output=True, text=True)
            if r.returncode != 0 or got.returncode != 0 or lookup(json.loads(got.stdout), path) != value:
                print("FAIL: %s = %d not taken: %s" % (path, value, r.stderr), file=sys.stderr); bad += 1
        else:
            want = "%s: %d is out of range (allowed %d..%d)" % (path, value, lo, hi)
            if r.returncode != 1 or want not in r.stderr or subprocess.run(["test", "-e", "out.qpx"]).returncode == 0:
                print("FAIL: %s = %d: rc %d, stderr %r" % (path, value, r.returncode, r.stderr), file=sys.stderr); bad += 1
sys.exit(1 if bad else 0)
PY

# ---- refusals that name the path and what is allowed ----
"$QPX" new -o target.qpx
cp target.qpx target.before
refuse() { # JSON EXPECTED-MESSAGE
  printf '%s' "$1" >in.json
  run import in.json -o target.qpx
  expect_rc 1 "import of $1"
  expect_in err "qpx import: $2" "import of $1"
  expect_in err "nothing written" "import of $1"
  expect_empty out "import of $1"
  cmp -s target.qpx target.before || fail "refused import of $1 changed the target"
}
refuse '{"colour": 1}' 'colour: unknown key (allowed: device, name, mute, lock, channels)'
refuse '{"channels": [{}, {}, {"peq": [{}, {}, {}, {"bw": 3}, {}, {}]}, {}]}' 'channels[2].peq[3].bw: unknown key'
refuse '{"lock": "1"}' 'lock: expected an integer in 0..255, got string "1"'
refuse '{"lock": 1.0}' 'lock: expected an integer in 0..255, got number'
refuse '{"mute": true}' 'mute: expected an integer in 0..15, got boolean'
refuse '{"channels": [{"gain": null}, {}, {}, {}]}' 'channels[0].gain: expected an integer in -999..60, got null'
refuse '{"device": "MV518"}' 'device: expected "MV517" or "MV961"'
refuse '{"channels": [{}, {}, {}]}' 'channels: expected an array of 4 channel objects, got an array of 3'
refuse '{"channels": {}}' 'channels: expected an array of 4 channel objects, got object'
refuse '{"channels": [{"xo": [{}]}, {}, {}, {}]}' 'channels[0].xo: expected an array of 2'
refuse '{"channels": [{}, {"peq": [{}, {}, {}, {}, {}, {}, {}]}, {}, {}]}' 'channels[1].peq: expected an array of 6'
refuse '{"channels": [{}, {}, {}, {"xo": [{}, {"freq": [100]}]}]}' 'channels[3].xo[1].freq: expected an array of 2'
refuse '{"channels": [{}, {}, {}, {"dynamics": []}]}' 'channels[3].dynamics: expected an object, got array'
refuse '[]' 'JSON: expected an object, got array'
refuse '{"name": ' 'in.json: not valid JSON'
# Names: 12 / 9 characters at most, only characters with a record byte,
# and a written form that keeps the file's 63-byte text limit.
refuse '{"name": "Thirteen char"}' 'name: "Thirteen char" has 13 characters, at most 12 allowed'
refuse '{"channels": [{}, {"name": "Ten chars!"}, {}, {}]}' 'channels[1].name: "Ten chars!" has 10 characters, at most 9 allowed'
refuse '{"name": "\u4e2d"}' 'name: character U+4E2D cannot be stored'
refuse '{"name": "a\u0082"}' 'name: character U+0082 cannot be stored'
refuse '{"channels": [{"name": "\u0000"}, {}, {}, {}]}' 'channels[0].name: character U+0000 cannot be stored'
refuse '{"channels": [{"name": "\u2192\u2192\u2192\u2192\u2192\u2192\u2192\u2192"}, {}, {}, {}]}' \
  'channels[0].name: takes 64 bytes in the file, at most 63 allowed'
# The longest names that fit are taken as they are.
printf '%s' '{"name": "&&&&&&&&&&&&", "channels": [{"name": "\u2192\u2192\u2192\u2192\u2192\u2192\u2192x"}, {}, {}, {}]}' >fit.json
run import fit.json -o fit.qpx
expect_rc 0 "import of the longest names"
run check fit.qpx
expect_out "fit.qpx: ok" "check of the longest names"
[ "$("$QPX" export fit.qpx | jq -r '.name, .channels[0].name' | tr '\n' '|')" = '&&&&&&&&&&&&|→→→→→→→x|' ] ||
  fail "longest names did not come back"

# ---- a write that fails ----
run import fit.json -o "$WORK/missing/dir/x.qpx"
expect_rc 1 "import into a missing folder"
expect_in err "cannot write $WORK/missing/dir/x.qpx (code " "import into a missing folder"
run import absent.json -o x.qpx
expect_rc 1 "import of a missing JSON file"
expect_in err "cannot open absent.json (No such file or directory)" "import of a missing JSON file"
run import fit.json
expect_rc 2 "import without -o"
[ -e x.qpx ] && fail "a failed import left x.qpx"

finish
