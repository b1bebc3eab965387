#!/usr/bin/env bash
# qpx show run as a process: labels by device and code, units, the active
# EQ bands only, the device's channels only, and the failure exits.
source "$(dirname "$0")/helpers.bash"
cd "$WORK"

python3 - <<'PY'
import json
def band(freq, q, gain, type_):
    return {"freq": freq, "q": q, "gain": gain, "type": type_}
a = {"name": "Sub", "routing": 3, "gain": -35, "groups": 0x52, "phase": 1, "delay": 115,
     "xo": [{"config": 2, "freq": [100, 200]}, {"config": 1, "freq": [2000, 3000]}],
     "peq": [band(40, 7, 0, 1), band(100, 7, 0, 0), band(500, 7, 0, 0), band(1000, 25, -35, 0),
             band(5000, 7, 0, 0), band(9000, 7, 60, 1)],
     "dynamics": {"attack": 5, "release": 25, "threshold": -10, "boost": -3}}
b = {"groups": 0x13, "xo": [{"config": 0, "freq": [90, 300]}, {}]}
for dev in ("MV517", "MV961"):
    json.dump({"device": dev, "name": "Gig <1>", "lock": 0x85, "mute": 2, "channels": [a, b, {}, {}]},
              open(dev + ".json", "w"))
PY
"$QPX" import MV517.json -o 517.qpx
"$QPX" import MV961.json -o 961.qpx

# show_value FILE CHANNEL LABEL: the value after "LABEL:" in CHANNEL's block
# ("-" for the preset lines above the first channel).
parse_show() {
  python3 -c '
import json, re, sys
blocks, cur = {}, "-"
for line in open(sys.argv[1], encoding="utf-8"):
    m = re.match(r"Channel ([A-D]): \"(.*)\"$", line.rstrip("\n"))
    if m:
        cur = m.group(1); blocks[cur] = {"name": m.group(2)}; continue
    m = re.match(r"\s*([^:]+):\s+(.*)$", line.rstrip("\n"))
    if m:
        blocks.setdefault(cur, {})[m.group(1)] = m.group(2)
json.dump(blocks, open(sys.argv[2], "w"))' "$1" "$2"
}
run show 517.qpx
expect_rc 0 "show MV517"
parse_show out 517.parsed
run show 961.qpx
expect_rc 0 "show MV961"
parse_show out 961.parsed

python3 - 517.parsed 961.parsed <<'PY' || fail "show: $(cat 517.parsed)"
import json, sys
s, t = (json.load(open(p)) for p in sys.argv[1:3])
def eq(got, want, what):
    assert got == want, "%s: %r, expected %r" % (what, got, want)
eq(s["-"], {"Device": "MV517", "Name": '"Gig <1>"', "Lock": "delay, crossover, factory preset"}, "preset lines")
eq(sorted(k for k in s if k != "-"), ["A", "B", "C", "D"], "MV517 channels")
eq(sorted(k for k in t if k != "-"), ["A", "B"], "MV961 channels")
eq(t["-"]["Device"], "MV961", "MV961 device")
a, b = s["A"], s["B"]
eq(a["name"], "Sub", "channel name")
eq(b["name"], "Out B    ", "default channel name keeps its spaces")
eq(a["Routing"], "D/d2(R)", "routing code 3 on the MV517")
eq(t["A"]["Routing"], "A+B/d1(L+R)", "routing code 3 on the MV961")
eq((a["Level"], a["Polarity"], a["Delay"]), ("-3.5 dB", "180°", "1.15 m"), "level, polarity, delay")
eq((b["Level"], b["Polarity"], b["Delay"]), ("0.0 dB", "0°", "0.00 m"), "defaults")
eq((a["Mute"], b["Mute"]), ("off", "on"), "mute flags")
eq((a["Level group"], a["Mute group"]), ("Gr 2", "Gr 2 weak"), "groups 0x52")
eq((b["Level group"], b["Mute group"]), ("independent", "independent"), "unknown group codes")
eq(a["High-pass"], "Linkwitz-Riley 4., 200 Hz", "LR4 uses frequency slot 1")
eq(a["Low-pass"], "Butterworth 2., 2000 Hz", "BW2 uses frequency slot 0")
eq(b["High-pass"], "Q 1.2, 90 Hz", "high-pass code 0")
eq(b["Low-pass"], "OFF", "low-pass off")
eq([k for k in a if k.startswith("Filter")], ["Filter 1", "Filter 4", "Filter 6"], "active bands only")
eq(a["Filter 1"], "Low Shelf, 40 Hz, Q 0.7, 0.0 dB", "low shelf")
eq(a["Filter 4"], "PEQ, 1000 Hz, Q 2.5, -3.5 dB", "peaking band")
eq(a["Filter 6"], "High-Shelf, 9000 Hz, Q 0.7, 6.0 dB", "high shelf")
eq(b["EQ"], "all bands off", "no active band")
eq(a["Limiter"], "attack 5 ms, release 250 ms, threshold -10 dB, gain -3 dB", "limiter")
PY

# Control characters in a name are shown escaped, never sent to the terminal.
printf '{"name": "a\\u001b[2Jb\\u0007"}' >esc.json
"$QPX" import esc.json -o esc.qpx
run show esc.qpx
expect_in out 'Name:    "a\x1b[2Jb\x07"' "show of a name with control characters"
grep -q $'\x1b' out && fail "show wrote an escape character"

# ---- failures: as export ----
cp 517.qpx damaged.qpx
replace damaged.qpx '<DELAY>1.15</DELAY>' '<DELAY>1.16</DELAY>'
run show damaged.qpx
expect_rc 1 "show of a damaged file"
expect_empty out "show of a damaged file"
expect_in err "checksum" "show of a damaged file"
run show --no-checksum damaged.qpx
expect_rc 0 "show --no-checksum"
expect_in out "1.16 m" "show --no-checksum"
run show nothing.qpx
expect_rc 1 "show of a missing file"
expect_in err "nothing.qpx: cannot open (No such file or directory)" "show of a missing file"
cp 517.qpx stop.qpx
replace stop.qpx '<CHANNEL ID="2">' '<CHANNEL ID="2" ID="3">'
seal stop.qpx
run show stop.qpx
expect_rc 3 "show of a file whose reading stops"
expect_in out "Channel D: \"Out D    \"" "show of a stopped read"
expect_in err "stop.qpx: reading stopped early (code 3: " "show of a stopped read"
run show
expect_rc 2 "show without a file"

finish
