// Generated loudspeaker measurements; see loudspeaker_model.h.
#include "support/loudspeaker_model.h"

#include <cmath>

namespace {

using cplx = std::complex<double>;
constexpr double PI = 3.14159265358979323846;

}  // namespace

cplx analog_highpass(double f, double corner, double q, int order) {
  const cplx s(0.0, f / corner);
  const cplx h = s * s / (s * s + s / q + 1.0);
  return order >= 4 ? h * h : h;
}

cplx analog_lowpass(double f, double corner, double q, int order) {
  const cplx s(0.0, f / corner);
  const cplx h = 1.0 / (s * s + s / q + 1.0);
  return order >= 4 ? h * h : h;
}

cplx analog_peaking(double f, double centre, double q, double gain_db) {
  const cplx s(0.0, f / centre);
  const double a = std::pow(10.0, gain_db / 40.0);
  return (s * s + s * (a / q) + 1.0) / (s * s + s / (a * q) + 1.0);
}

loudspeaker_t random_loudspeaker(uint64_t draw, bool sub, double lo_hz, double hi_hz) {
  random_stream r(draw);
  loudspeaker_t s;
  if (sub) {
    s.low_corner = r.uniform(25.0, 35.0);
    s.low_order = 4;
    s.high_corner = r.uniform(100.0, 180.0);
    s.high_order = 4;
  } else {
    s.low_corner = r.uniform(60.0, 110.0);
    s.low_order = r.uniform() < 0.5 ? 2 : 4;
    s.high_corner = r.uniform(14000.0, 20000.0);
    s.high_order = 2;
  }
  const int bumps = r.integer(3, 8);
  for (int i = 0; i < bumps; ++i) {
    const double hz = std::exp(r.uniform(std::log(lo_hz), std::log(hi_hz)));
    const double size = r.uniform(2.0, 9.0);
    // Room peaks are narrower and taller than dips are deep and wide.
    const bool peak = r.uniform() < 0.55;
    s.room.push_back({hz, peak ? r.uniform(2.0, 8.0) : r.uniform(1.0, 5.0), peak ? size : -size});
  }
  s.ripple_db = r.uniform(0.1, 0.3);
  s.ripple_phase = r.uniform(0.0, 2.0 * PI);
  s.level_db = r.uniform(85.0, 100.0);
  s.flight_ms = r.uniform(1.0, 5.0);
  return s;
}

measurement_t measure(const loudspeaker_t& s) {
  measurement_t m;
  for (double octave = 0.0;; octave += 1.0 / 48.0) {
    const double f = 20.0 * std::pow(2.0, octave);
    if (f > 20000.0) break;
    cplx h = analog_highpass(f, s.low_corner, 0.707, s.low_order) *
             analog_lowpass(f, s.high_corner, 0.707, s.high_order);
    for (const loudspeaker_t::bump_t& b : s.room) h *= analog_peaking(f, b.hz, b.q, b.gain_db);
    // Ripple: two slow waves over log frequency, 0.3 and 0.13 octave long.
    const double ripple =
        s.ripple_db * (0.6 * std::sin(octave * 2.0 * PI / 0.3 + s.ripple_phase) +
                       0.4 * std::sin(octave * 2.0 * PI / 0.13 + 2.0 * s.ripple_phase));
    h *= std::polar(1.0, -2.0 * PI * f * s.flight_ms / 1000.0);
    m.hz.push_back(f);
    m.db.push_back(s.level_db + 20.0 * std::log10(std::abs(h)) + ripple);
    m.phase_deg.push_back(std::arg(h) * 180.0 / PI);
  }
  return m;
}
