// A yardstick for the EQ fit: the better of two independent searches over
// six peaking bands, each rounded to the stored steps and polished step by
// step, judged by fit_error_db (the whole predicted output):
//  - differential evolution (rand/1/bin) over all six bands at once;
//  - bands placed one at a time at the largest deviation, all of them
//    refined after each placement by Levenberg-Marquardt on a
//    finite-difference Jacobian.
// Slow (about a second a case) and test-only; it shares nothing with the
// fit but the band responses of band_model.h.
#pragma once

#include <cstdint>
#include <vector>

#include "measure/eq_fit.h"

struct yardstick_t {
  double error_db = 0.0;  // the better of the two
  double evolution_error_db = 0.0;
  double placement_error_db = 0.0;
  peq_t bands[6] = {};  // the better one's bands
};

// Fits all six bands of `ch` as peaking bands for `m` against `target`
// (flat when null) over `columns`, gains within -12 dB..max_boost (0.1 dB).
yardstick_t fit_yardstick(const channel_t& ch, const grid_measurement_t& m,
                          const grid_measurement_t* target, const std::vector<int>& columns,
                          int max_boost, uint64_t seed, int evolution_evaluations = 60000);
