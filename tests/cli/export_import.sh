#!/usr/bin/env bash
# qpx export and qpx import run as processes: byte-exact round trips, the
# JSON of the default preset, partial JSON, and the export failures.
source "$(dirname "$0")/helpers.bash"
cd "$WORK"

# ---- round trips of new files: a pipe and a JSON file ----
"$QPX" new -o a.qpx
"$QPX" new --device MV961 -o b.qpx
"$QPX" export a.qpx | "$QPX" import - -o a2.qpx
cmp -s a.qpx a2.qpx || fail "MV517 round trip through a pipe differs"
run export b.qpx -o b.json
expect 0 "export -o"
expect_empty out "export -o"
"$QPX" import b.json -o b2.qpx 2>b2.err
[ ! -s b2.err ] || fail "MV961 round trip: unexpected message $(cat b2.err)"
cmp -s b.qpx b2.qpx || fail "MV961 round trip through a JSON file differs"

# The JSON of a new preset is the documented default record (two-space
# indent, key order as documented), with the editor's crossover Q.
"$QPX" export a.qpx >a.json
python3 - a.json <<'PY' || fail "export of a new preset: $(head -c 300 a.json)"
import json, sys
def ch(n):
    return {"name": "Out %s    " % "ABCD"[n], "routing": n, "gain": 0, "groups": 0, "phase": 0, "delay": 0,
            "xo": [{"config": 1, "freq": [35, 35], "q": [7, 7]}, {"config": 0, "freq": [120, 120], "q": [7, 7]}],
            "peq": [{"freq": f, "q": 7, "gain": 0, "type": 0} for f in (50, 100, 500, 1000, 5000, 10000)],
            "dynamics": {"attack": 1, "release": 10, "threshold": 0, "boost": 0}}
expected = {"device": "MV517", "name": "Preset", "mute": 0, "lock": 0, "channels": [ch(n) for n in range(4)]}
assert open(sys.argv[1]).read() == json.dumps(expected, indent=2, ensure_ascii=False) + "\n"
PY

# ---- a preset that uses every field, names with markup and arrows ----
python3 - <<'PY'
import json
def ch(n):
    return {"name": ["a<b>&c", "\u2190\u2191\u2192", "Sub \"1\"", "Top\u2195"][n], "routing": [10, 60, 3, 0][n],
            "gain": [-999, 60, -35, 0][n], "groups": [0x52, 0xff, 0x31, 0][n], "phase": n % 2,
            "delay": [40000, 0, 115, 34][n],
            "xo": [{"config": 2, "freq": [35, 8000], "q": [12, 7]}, {"config": n % 3, "freq": [120, 4000], "q": [7, 12]}],
            "peq": [{"freq": 35 + n, "q": 125, "gain": -120, "type": 1}, {"freq": 12000, "q": 7, "gain": 120, "type": 0},
                    {"freq": 500, "q": 25, "gain": 0, "type": 0}, {"freq": 1000, "q": 10, "gain": -5, "type": 0},
                    {"freq": 5000, "q": 30, "gain": 15, "type": 0}, {"freq": 10000, "q": 7, "gain": 60, "type": 1}],
            "dynamics": {"attack": 255, "release": [255, 0, 3, 10][n], "threshold": -99, "boost": [-99, 0, -3, 0][n]}}
doc = {"device": "MV517", "name": "Live &<Loud>", "mute": 9, "lock": 255, "channels": [ch(n) for n in range(4)]}
json.dump(doc, open("rich.json", "w"), ensure_ascii=False)
doc["device"] = "MV961"
json.dump(doc, open("rich961.json", "w"))
PY
run import rich.json -o rich.qpx
expect 0 "import of a full preset"
xml_ok rich.qpx
"$QPX" export rich.qpx >rich.out.json
"$QPX" import rich.out.json -o rich2.qpx
cmp -s rich.qpx rich2.qpx || fail "full preset: second import is not byte-identical"
# An MV961 file holds channels A and B only; C and D come back as the
# default record (its high-pass Q 1.2 untouched), as do keys left out.
run import rich961.json -o rich961.qpx
expect 0 "MV961 import with channels C and D" "warning: an MV961 file holds channels A and B only"
echo '{"channels": [{}, {"dynamics": {"boost": -6}}, {}, {}]}' >partial.json
"$QPX" import partial.json -o partial.qpx
"$QPX" export rich961.qpx >rich961.out.json
"$QPX" export partial.qpx >partial.out.json
python3 - <<'PY' || fail "export after import does not give the values back"
import json
load = lambda p: json.load(open(p))
assert load("rich.json") == load("rich.out.json")
given, got, default, partial = (load(p) for p in ("rich961.json", "rich961.out.json", "a.json", "partial.out.json"))
for c in default["channels"]:
    c["xo"][0]["q"] = [12, 7]
assert got["device"] == "MV961" and got["mute"] == 1, got["mute"]  # bit 3 belongs to channel D
assert got["channels"] == given["channels"][:2] + default["channels"][2:], got["channels"]
default["channels"][1]["dynamics"]["boost"] = -6
assert partial == default, partial
PY

# ---- export failures ----
cp a.qpx damaged.qpx
replace damaged.qpx '<GAIN>0.0</GAIN>' '<GAIN>-3.5</GAIN>'
run export damaged.qpx -o damaged.json
expect 1 "export of a damaged file" "checksum"
expect_empty out "export of a damaged file"
absent damaged.json "export of a damaged file"
run export damaged.qpx --no-checksum
expect 0 "export --no-checksum"
python3 -c 'import json,sys; assert json.load(open(sys.argv[1]))["channels"][0]["gain"] == -35' out ||
  fail "export --no-checksum does not hold the file's value"
# Reading stops at the bad number in channel B: what came before is exported.
cp a.qpx stop.qpx
replace stop.qpx '<NAME>Out A    </NAME>' '<NAME>Early</NAME>'
replace stop.qpx '<ROUTE>1</ROUTE>' '<ROUTE>1x</ROUTE>'
seal stop.qpx
run export stop.qpx
expect 3 "export of a file whose reading stops" "stop.qpx: reading stopped early (code 6: "
python3 - out <<'PY' || fail "export of a stopped read: $(head -c 300 out)"
import json, sys
c = json.load(open(sys.argv[1]))["channels"]
assert c[0]["name"] == "Early" and c[1]["routing"] == 0 and c[1]["name"] == "Out B    "
PY
run export a.qpx extra
expect 2 "export with two files"

finish
