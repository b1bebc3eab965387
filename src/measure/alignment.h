// Aligning two channels that play together (a top and a sub): the delay of
// one of them and the polarity of the second chosen so that their measured
// loudspeakers add up as well as they can where both play.
//
// The summation loss it minimises, over the plot columns in use: the mean
// of 20 log10(|X| + |Y|) - 20 log10 |X + Y|, X and Y the predicted complex
// outputs (predict_output); 0 dB means the two add perfectly. Every
// whole-centimetre delay up to the largest is tried, on either channel,
// with both polarities of the second.
#pragma once

#include <string>
#include <vector>

#include "measure/measurement.h"
#include "model/preset.h"

// The summation loss in dB of two predictions over `columns` (each must have
// a value and a phase in both); 0 for no column.
double summation_loss_db(const prediction_t& x, const prediction_t& y,
                         const std::vector<int>& columns);

// Largest difference of the two predicted levels (dB) at a column that the
// default range takes.
constexpr double ALIGN_LEVEL_WINDOW_DB = 10.0;

// What an alignment is asked for.
struct align_request_t {
  // Frequency range in Hz; both 0: the columns where the two predicted
  // levels lie within ALIGN_LEVEL_WINDOW_DB of each other.
  double lo_hz = 0.0;
  double hi_hz = 0.0;
  // Largest delay added to either channel, in cm (10 m by default).
  int max_delay_cm = 1000;
};

// The outcome of an alignment.
struct align_result_t {
  bool ok = false;
  std::string reason;  // why it was refused

  std::vector<int> columns;  // the plot columns the loss is taken over
  double loss_before_db = 0.0;
  double loss_after_db = 0.0;
  // The stored values after: both delays (cm) and the second channel's
  // polarity (0 normal, 1 inverted).
  uint16_t delay_x = 0;
  uint16_t delay_y = 0;
  uint8_t phase_y = 0;
  // What changed: `shift_cm` > 0 made Y later by that much, < 0 made X
  // later by -shift_cm; `polarity_changed` turned Y's polarity.
  int shift_cm = 0;
  bool polarity_changed = false;
  // "Out C +118 cm, polarity inverted", "Out A +35 cm", "Out D polarity
  // normal", "no change".
  std::string change_text;
  // "summation loss 3.21 dB -> 0.42 dB (mean over 120 columns, 63-180 Hz)"
  std::string loss_text() const;
};

// Aligns channel `y` of `p` to channel `x` (0..3, different) for their
// measurements `mx` and `my`. Refused (with a reason) when a measurement
// has no phase, the range holds no column where both have a value, or the
// largest delay is negative. A delay is added to one channel only (the
// other keeps its own), never past the stored delay's range (0-400 m); of
// equally good candidates the smallest shift and the unchanged polarity
// win. Only the two delays and Y's polarity can change.
align_result_t align_channels(const preset_t& p, unsigned x, unsigned y,
                              const grid_measurement_t& mx, const grid_measurement_t& my,
                              const align_request_t& request = {});

// Stores an alignment's delays and polarity; a result that is not ok
// changes nothing (returns false).
bool apply_alignment(preset_t& p, unsigned x, unsigned y, const align_result_t& result);
