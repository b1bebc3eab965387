#!/usr/bin/env python3
"""Writes the measurement files of this folder (python3 make_measurements.py
[FOLDER]): a top and a sub in a room as measurement programs export them,
each a small analogue model at s = j 2 pi f (roll-offs as high- and low-pass
sections, the room as peaking sections, a slight ripple, a residual delay,
its sensitivity), the phase wrapped into (-180, 180]. Deterministic."""

import cmath
import math
import os
import sys


def section(num, f0, q):
    w0 = 2 * math.pi * f0
    return lambda s: num(s, w0) / (s * s + s * w0 / q + w0 * w0)


hp2 = lambda f0, q: section(lambda s, w0: s * s, f0, q)
lp2 = lambda f0, q: section(lambda s, w0: w0 * w0, f0, q)
lp1 = lambda f0: lambda s: 2 * math.pi * f0 / (s + 2 * math.pi * f0)


def peak(f0, q, gain_db):
    w0, a = 2 * math.pi * f0, 10 ** (gain_db / 40)
    return lambda s: (s * s + s * a * w0 / q + w0 * w0) / (s * s + s * w0 / (a * q) + w0 * w0)


def rows(start_hz, stop_hz, per_octave):
    """Frequencies start * 2^(k / per_octave) up to stop."""
    out, k = [], 0
    while start_hz * 2 ** (k / per_octave) <= stop_hz * (1 + 1e-12):
        out.append(start_hz * 2 ** (k / per_octave))
        k += 1
    return out


def response(f, sections, sensitivity_db, delay_s, ripple):
    s, h = 2j * math.pi * f, complex(1, 0)
    for sec in sections:
        h *= sec(s)
    octaves = math.log2(f / 20)
    wobble = ripple * (math.sin(2 * math.pi * 2.7 * octaves + 0.6) +
                       0.6 * math.sin(2 * math.pi * 7.3 * octaves + 1.9))
    phase = math.fmod(math.degrees(cmath.phase(h)) - 360 * f * delay_s + 180, 360)
    return sensitivity_db + 20 * math.log10(abs(h)) + wobble, (phase + 360 if phase <= 0 else phase) - 180


# A two-way top on a stand (vented 12", tweeter roll-off, a floor bounce and
# room modes); the same top at a second position; a vented 18" sub with its
# natural low-pass, a cone break-up bump and two room modes.
TOP = [hp2(65, 0.7), hp2(55, 0.5), lp2(16000, 0.6), lp1(19000),
       peak(180, 5, 4.0), peak(420, 8, -6.0), peak(2200, 3, 2.5), peak(6500, 4, -3.0)]
TOP_POSITION_2 = [hp2(65, 0.7), hp2(55, 0.5), lp2(16000, 0.6), lp1(19000),
                  peak(150, 6, -5.0), peak(310, 4, 3.0), peak(1800, 5, -2.0)]
SUB = [hp2(35, 0.8), hp2(30, 0.55), lp2(250, 0.7), peak(900, 3, 5.0),
       peak(55, 6, 6.0), peak(110, 5, -8.0)]


def write(folder, name, text, newline="\n"):
    with open(os.path.join(folder, name), "w", newline=newline, encoding="utf-8") as out:
        out.write(text)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    top = [(f,) + response(f, TOP, 97.0, 0.00025, 0.3) for f in rows(20, 20000, 96)]
    write(folder, "measurement_top.txt", "Frequency (Hz)\tLevel (dB SPL)\tPhase (deg)\n" +
          "".join("%.6f\t%.3f\t%.2f\n" % r for r in top))
    write(folder, "measurement_top_no_phase.txt",
          "* Top L, level only\n" + "".join("%.6f %.3f\n" % (f, db) for f, db, _ in top))
    sub = [(f,) + response(f, SUB, 100.0, 0.001, 0.2) for f in rows(10, 2000, 48)]
    write(folder, "measurement_sub.txt", "".join("%.6f, %.3f, %.2f\n" % r for r in sub))
    header = ["* Measurement data exported by RoomScope 3.4.1", "* Source: Top L, position 2",
              "* Dated: 12-Mar-2024 14:02:11", "* Settings:", "*  C-weighting compensation: Off",
              "*  Target level: 75.0 dB", "* Note: delay 3.12 ms (1.07 m) removed",
              "* Smoothing: 1/48 octave", "*", "", "Freq(Hz);SPL(dB);Phase(degrees);Coherence"]
    body = ["%.3f;%.3f;%.4f;%.3f" % (f, db, ph, 0.98 - 0.2 / (1 + f / 40))
            for f, db, ph in ((f,) + response(f, TOP_POSITION_2, 96.0, 0.0004, 0.25)
                              for f in rows(20, 20000, 48))]
    write(folder, "measurement_program_export.txt", "\n".join(header + body) + "\n", newline="\r\n")


if __name__ == "__main__":
    main()
