#!/usr/bin/env bash
# qpx export and qpx import run as processes: byte-exact round trips, the
# JSON of the default preset, partial JSON, and the export failures.
source "$(dirname "$0")/helpers.bash"
cd "$WORK"

# ---- round trips of new files: pipe, "-", and a JSON file ----
"$QPX" new -o a.qpx
"$QPX" new --device MV961 -o b.qpx
"$QPX" export a.qpx | "$QPX" import /dev/stdin -o a2.qpx
cmp -s a.qpx a2.qpx || fail "MV517 round trip through /dev/stdin differs"
"$QPX" export b.qpx | "$QPX" import - -o b2.qpx 2>b2.err
[ -s b2.err ] && fail "MV961 round trip: unexpected message $(cat b2.err)"
cmp -s b.qpx b2.qpx || fail "MV961 round trip through - differs"
run export b.qpx -o b.json
expect_rc 0 "export -o"
expect_empty out "export -o"
"$QPX" export b.qpx | cmp -s - b.json || fail "export -o wrote something else than stdout"
"$QPX" import b.json -o b3.qpx
cmp -s b.qpx b3.qpx || fail "MV961 round trip through a JSON file differs"

# The JSON of a new preset is the documented default record (two-space
# indent, key order as documented), with the editor's crossover Q.
"$QPX" export a.qpx >a.json
python3 - a.json <<'PY' || fail "export of a new preset: $(cat a.json | head -c 300)"
import json, sys
text = open(sys.argv[1]).read()
def ch(n):
    return {"name": "Out %s    " % "ABCD"[n], "routing": n, "gain": 0, "groups": 0, "phase": 0, "delay": 0,
            "xo": [{"config": 1, "freq": [35, 35], "q": [7, 7]}, {"config": 0, "freq": [120, 120], "q": [7, 7]}],
            "peq": [{"freq": f, "q": 7, "gain": 0, "type": 0} for f in (50, 100, 500, 1000, 5000, 10000)],
            "dynamics": {"attack": 1, "release": 10, "threshold": 0, "boost": 0}}
expected = {"device": "MV517", "name": "Preset", "mute": 0, "lock": 0, "channels": [ch(n) for n in range(4)]}
assert text == json.dumps(expected, indent=2, ensure_ascii=False) + "\n", "not the documented default"
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
expect_rc 0 "import of a full preset"
xml_ok rich.qpx
run check rich.qpx
expect_out "rich.qpx: ok" "check of an imported file"
"$QPX" export rich.qpx >rich.out.json
python3 - rich.json rich.out.json <<'PY' || fail "export after import does not give the imported values back"
import json, sys
a, b = (json.load(open(p)) for p in sys.argv[1:3])
assert a == b, (a, b)
PY
"$QPX" import rich.out.json -o rich2.qpx
cmp -s rich.qpx rich2.qpx || fail "full preset: second import is not byte-identical"

# An MV961 file holds channels A and B only; C and D come back as defaults.
run import rich961.json -o rich961.qpx
expect_rc 0 "MV961 import with channels C and D"
expect_in err "warning: an MV961 file holds channels A and B only" "MV961 import with channels C and D"
[ "$(grep -c '<CHANNEL ID=' rich961.qpx)" = 2 ] || fail "MV961 import: not two channels"
"$QPX" export rich961.qpx >rich961.out.json
python3 - rich961.json rich961.out.json a.json <<'PY' || fail "MV961 export of an import"
import json, sys
given, got, default = (json.load(open(p)) for p in sys.argv[1:4])
assert got["device"] == "MV961" and got["mute"] == 1, got["mute"]   # bit 3 belongs to channel D
assert got["channels"][:2] == given["channels"][:2]
d = default["channels"]
for n in (2, 3):
    d[n]["xo"][0]["q"] = [12, 7]   # the default record, not touched by an editor
    assert got["channels"][n] == d[n], got["channels"][n]
PY

# Keys left out keep the default record, including its high-pass Q 1.2.
echo '{"channels": [{}, {"dynamics": {"boost": -6}}, {}, {}]}' >partial.json
"$QPX" import partial.json -o partial.qpx
"$QPX" export partial.qpx >partial.out.json
python3 - partial.out.json a.json <<'PY' || fail "partial JSON did not keep the defaults"
import json, sys
got, want = (json.load(open(p)) for p in sys.argv[1:3])
for c in want["channels"]:
    c["xo"][0]["q"] = [12, 7]
want["channels"][1]["dynamics"]["boost"] = -6
assert got == want, got
PY

# ---- export failures ----
cp a.qpx damaged.qpx
replace damaged.qpx '<GAIN>0.0</GAIN>' '<GAIN>-3.5</GAIN>'
run export damaged.qpx -o damaged.json
expect_rc 1 "export of a damaged file"
expect_empty out "export of a damaged file"
expect_in err "checksum" "export of a damaged file"
[ -e damaged.json ] && fail "export of a damaged file created its output"
run export damaged.qpx --no-checksum
expect_rc 0 "export --no-checksum"
python3 -c 'import json,sys; assert json.load(open(sys.argv[1]))["channels"][0]["gain"] == -35' out ||
  fail "export --no-checksum does not hold the file's value"
run export missing.qpx
expect_rc 1 "export of a missing file"
expect_empty out "export of a missing file"
expect_in err "missing.qpx: cannot open (No such file or directory)" "export of a missing file"
# Reading stops at the bad number in channel B: what came before is exported.
cp a.qpx stop.qpx
replace stop.qpx '<NAME>Out A    </NAME>' '<NAME>Early</NAME>'
replace stop.qpx '<ROUTE>1</ROUTE>' '<ROUTE>1x</ROUTE>'
seal stop.qpx
run export stop.qpx
expect_rc 3 "export of a file whose reading stops"
expect_in err "stop.qpx: reading stopped early (code 6: " "export of a file whose reading stops"
python3 - out <<'PY' || fail "export of a stopped read: $(head -c 300 out)"
import json, sys
c = json.load(open(sys.argv[1]))["channels"]
assert c[0]["name"] == "Early" and c[1]["routing"] == 0 and c[1]["name"] == "Out B    "
PY
run export a.qpx -o "$WORK/no/such/dir.json"
expect_rc 1 "export into a missing folder"
run export a.qpx extra
expect_rc 2 "export with two files"

finish
