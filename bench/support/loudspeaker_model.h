// Loudspeakers as they measure in a room, generated from a number for the
// fit and alignment tests and benchmarks: a speaker's roll-offs (analog
// high-pass and low-pass), 3-8 room peaks and dips (minimum-phase analog
// peaking sections), 0.1-0.3 dB of ripple, an absolute level of 85-100 dB
// and a flight time. The same number always gives the same measurement.
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

#include "measure/measurement.h"

// A small deterministic generator (64-bit LCG, the same numbers on every
// platform, unlike std's distributions).
class random_stream {
 public:
  explicit random_stream(uint64_t draw) : state_(draw * 2862933555777941757ULL + 3037000493ULL) {}
  // Uniform in [0, 1).
  double uniform() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return double(state_ >> 11) * (1.0 / 9007199254740992.0);
  }
  double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  int integer(int lo, int hi) { return lo + int(uniform() * (hi - lo + 1)); }

 private:
  uint64_t state_;
};

// Analog sections, evaluated at f Hz.
std::complex<double> analog_highpass(double f, double corner, double q, int order);
std::complex<double> analog_lowpass(double f, double corner, double q, int order);
std::complex<double> analog_peaking(double f, double centre, double q, double gain_db);

// A loudspeaker's parameters.
struct loudspeaker_t {
  double low_corner = 60.0;  // its own high-pass roll-off
  int low_order = 2;
  double high_corner = 18000.0;  // its own low-pass roll-off
  int high_order = 2;
  struct bump_t {
    double hz, q, gain_db;
  };
  std::vector<bump_t> room;  // peaks and dips
  double ripple_db = 0.2;    // peak ripple
  double ripple_phase = 0.0;
  double level_db = 92.0;
  double flight_ms = 3.0;  // the sound's way to the microphone
};

// A top (roll-offs near 60-110 Hz and 14-20 kHz) or a sub (near 25-35 Hz
// and 100-180 Hz, fourth order), with 3-8 room peaks and dips between
// `lo_hz` and `hi_hz`, ripple 0.1-0.3 dB.
loudspeaker_t random_loudspeaker(uint64_t draw, bool sub, double lo_hz, double hi_hz);

// Its response at 1/48 octave from 20 Hz to 20 kHz, with phase.
measurement_t measure(const loudspeaker_t& s);
