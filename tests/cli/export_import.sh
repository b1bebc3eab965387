#!/usr/bin/env bash
# qpx export and qpx import: golden files, round trips, keys left out, MV961
# files, and what import refuses without writing.
source "$(dirname "$0")/helpers.bash"

cases "0 '' export $D/live_mv517.qpx"
same out "$D/live_mv517.json" "export of the tuned file"
# The tuned file holds -99.9 dB on channel D, beyond the editor's level field.
cases "1 'qpx import: channels[3].gain: -999 is outside the editor'\''s range (editor -990..60; --file-ranges accepts it)' import $D/live_mv517.json -o live.qpx" \
  "0 '' import --file-ranges $D/live_mv517.json -o live.qpx"
same live.qpx "$D/live_mv517.qpx" "import of the tuned file"
cases "0 '' import - -o new961.qpx" < <("$QPX" export "$D/new_mv961.qpx")
same new961.qpx "$D/new_mv961.qpx" "export | import of an MV961 file"
cases "0 '' export $D/new_mv517.qpx -o new.json"
[ ! -s out ] || fail "export -o also wrote on stdout"
"$QPX" import new.json -o new.qpx
same new.qpx "$D/new_mv517.qpx" "export -o, then import"

# Keys left out keep the default record; an MV961 file holds channels A and B only.
echo '{}' | "$QPX" import - -o default.qpx
same default.qpx "$D/default_mv517.qpx" "import of {}"
"$QPX" export default.qpx >default.json
echo '{"channels": [{}, {"dynamics": {"boost": -6}}, {}, {}]}' | "$QPX" import - -o partial.qpx
"$QPX" export partial.qpx >partial.json
jsonpy 'j[0].update(device="MV961", mute=11); print(json.dumps(j[0]))' "$D/live_mv517.json" >live961.json
cases "0 'qpx import: warning: an MV961 file holds channels A and B only' import --file-ranges live961.json -o live961.qpx"
"$QPX" export live961.qpx >live961.out.json
jsonpy 'p, g, l, d = j
assert (g["device"], g["mute"], g["channels"]) == ("MV961", 3, l["channels"][:2] + d["channels"][2:]), "MV961"
d["channels"][1]["dynamics"]["boost"] = -6
assert p == d, "a nested key did not keep the other defaults"' partial.json live961.out.json live961.json default.json ||
  fail "keys left out, MV961"

# Each kind of field at the reader's bounds (taken, exported back) and beyond.
python3 - "$QPX" <<'PY' || fail "range bounds (see above)"
import json, os, re, subprocess, sys
bounds = [("mute", 0, 15), ("channels[0].routing", 0, 60), ("channels[1].gain", -999, 60),
          ("channels[3].delay", 0, 40000), ("channels[1].xo[1].freq[1]", 35, 8000), ("channels[2].xo[0].q[0]", 7, 12),
          ("channels[1].peq[5].freq", 35, 12000), ("channels[0].peq[2].q", 7, 125), ("channels[3].peq[0].gain", -120, 120),
          ("channels[1].peq[2].type", 0, 1), ("channels[1].dynamics.threshold", -99, 0), ("channels[2].dynamics.release", 0, 255)]
run = lambda *args: subprocess.run([sys.argv[1], *args], capture_output=True, text=True)
bad = 0
for path, lo, hi in bounds:
    key = re.sub(r'(^|\.)([a-z]+)', r'["\2"]', path)  # channels[1].gain: ["channels"][1]["gain"]
    for v in (lo, hi, lo - 1, hi + 1):
        doc = json.load(open("default.json"))
        exec("doc%s = v" % key)
        json.dump(doc, open("in.json", "w"))
        os.path.exists("in.qpx") and os.remove("in.qpx")
        r = run("import", "--file-ranges", "in.json", "-o", "in.qpx")
        ok = (r.returncode == 0 and eval("json.loads(run('export', 'in.qpx').stdout)" + key) == v if lo <= v <= hi else
              r.returncode == 1 and not os.path.exists("in.qpx") and
              "qpx import: %s: %d is out of range (allowed %d..%d)" % (path, v, lo, hi) in r.stderr)
        bad += not ok
        ok or print("FAIL: %s = %d: exit code %d, stderr %r" % (path, v, r.returncode, r.stderr), file=sys.stderr)
sys.exit(bad > 0)
PY

# Refusals name the JSON path and what is allowed; the target stays as it was.
refusals=('{"colour": 1}|colour: unknown key (allowed: device, name, mute, lock, channels)'
  '{"channels": [{}, {}, {"peq": [{}, {}, {}, {"bw": 3}, {}, {}]}, {}]}|channels[2].peq[3].bw: unknown key'
  '{"lock": "1"}|lock: expected an integer in 0..255, got string "1"'
  '{"lock": 1.0}|lock: expected an integer in 0..255, got number'
  '{"device": "MV518"}|device: expected "MV517" or "MV961"'
  '{"channels": [{}, {}, {}]}|channels: expected an array of 4 channel objects, got an array of 3'
  '{"channels": [{}, {}, {}, {"dynamics": []}]}|channels[3].dynamics: expected an object, got array'
  '{"name": |in.json: not valid JSON'
  '{"mute": 1e400}|in.json: mute: 1e400 is not a number a preset can hold'
  '{"channels": [{}, {"peq": [{}, {"gain": -1e999}]}]}|in.json: channels[1].peq[1].gain: -1e999 is not a number'
  '{"name": "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"}|name: "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx..." has 200 characters, at most 12 allowed'
  '{"na\u001bme": 1}|["na\x1bme"]: unknown key'
  '{"name": "Thirteen char"}|name: "Thirteen char" has 13 characters, at most 12 allowed'
  '{"name": "a\u0082"}|name: character U+0082 cannot be stored'
  '{"channels": [{"name": "\u2192\u2192\u2192\u2192\u2192\u2192\u2192\u2192"}, {}, {}, {}]}|channels[0].name: takes 64 bytes in the file, at most 63 allowed'
  '{"channels": [{}, {"groups": 96}, {}, {"peq": [{}, {"type": 1}, {}, {}, {}, {}]}]}|channels[1].groups: mute group 96 is outside the editor'
  '{"channels": [{}, {"groups": 96}, {}, {"peq": [{}, {"type": 1}, {}, {}, {}, {}]}]}|channels[3].peq[1].type: 1 is outside the editor')
cp "$D/live_mv517.qpx" target.qpx
for row in "${refusals[@]}"; do
  printf '%s' "${row%%|*}" >in.json
  cases "1 'qpx import: ${row#*|}' import in.json -o target.qpx"
  expect_in err "qpx import: nothing written" "import of ${row%%|*}"
done
same target.qpx "$D/live_mv517.qpx" "refused imports"
# The longest names that fit are taken as they are.
printf '%s' '{"name": "&&&&&&&&&&&&", "channels": [{"name": "\u2192\u2192\u2192\u2192\u2192\u2192\u2192x"}, {}, {}, {}]}' >fit.json
cases "0 '' import fit.json -o fit.qpx"
[ "$("$QPX" export fit.qpx | grep -c -e '"name": "&&&&&&&&&&&&"' -e '"name": "→→→→→→→x"')" = 2 ] ||
  fail "the longest names did not come back"
cases "1 'qpx import: cannot write $WORK/missing/dir/x.qpx: No such file or directory' import fit.json -o $WORK/missing/dir/x.qpx" \
  "1 'qpx import: cannot open absent.json (No such file or directory)' import absent.json -o x.qpx" \
  "1 'qpx import: cannot open /dev/zero (larger than 16 MiB)' import /dev/zero -o x.qpx" \
  "2 'output is required' import fit.json"

# Standard input is read up to 16 MiB, then refused.
set +e
head -c 17000000 /dev/zero | "$QPX" import - -o big.qpx >out 2>err
RC=$?
set -e
expect 1 "import of 17 MB on standard input" "qpx import: cannot read standard input (larger than 16 MiB)"
absent big.qpx "import of 17 MB"

finish
