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
run show 517.qpx
expect 0 "show MV517"
cp out 517.out
run show 961.qpx
expect 0 "show MV961"
cp out 961.out

python3 - 517.out 961.out <<'PY' || fail "show: $(cat 517.out)"
import re, sys
def parse(path):  # {channel letter or "-": {label: value}}
    blocks, cur = {}, "-"
    for line in open(path, encoding="utf-8").read().splitlines():
        m = re.match(r"Channel ([A-D]): \"(.*)\"$", line)
        if m:
            cur = m.group(1); blocks[cur] = {"name": m.group(2)}; continue
        m = re.match(r"\s*([^:]+):\s+(.*)$", line)
        if m:
            blocks.setdefault(cur, {})[m.group(1)] = m.group(2)
    return blocks
s, t = parse(sys.argv[1]), parse(sys.argv[2])
def eq(got, want, what):
    assert got == want, "%s: %r, expected %r" % (what, got, want)
eq(s["-"], {"Device": "MV517", "Name": '"Gig <1>"', "Lock": "delay, crossover, factory preset"}, "preset lines")
eq((sorted(s), sorted(t)), (["-", "A", "B", "C", "D"], ["-", "A", "B"]), "channels by device")
a, b = s["A"], s["B"]
eq((a["name"], b["name"]), ("Sub", "Out B    "), "channel names keep their spaces")
eq((a["Routing"], t["A"]["Routing"]), ("D/d2(R)", "A+B/d1(L+R)"), "routing code 3 by device")
eq((a["Level"], a["Polarity"], a["Delay"], a["Mute"]), ("-3.5 dB", "180°", "1.15 m", "off"), "channel A")
eq((b["Level"], b["Polarity"], b["Delay"], b["Mute"]), ("0.0 dB", "0°", "0.00 m", "on"), "channel B")
eq((a["Level group"], a["Mute group"]), ("Gr 2", "Gr 2 weak"), "groups 0x52")
eq((b["Level group"], b["Mute group"]), ("independent", "independent"), "unknown group codes")
eq(a["High-pass"], "Linkwitz-Riley 4., 200 Hz", "LR4 uses frequency slot 1")
eq(a["Low-pass"], "Butterworth 2., 2000 Hz", "BW2 uses frequency slot 0")
eq((b["High-pass"], b["Low-pass"]), ("Q 1.2, 90 Hz", "OFF"), "high-pass code 0, low-pass off")
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
! grep -q $'\x1b' out || fail "show wrote an escape character"

# ---- a stopped read shows the channels after the stop as defaults ----
stopped_copy 517.qpx stop.qpx
run show stop.qpx
expect 3 "show of a file whose reading stops" "stop.qpx: reading stopped early (code 3: "
expect_in out "Channel D: \"Out D    \"" "show of a stopped read"

finish
