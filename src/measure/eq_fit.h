// Fitting a channel's six EQ bands to a measured loudspeaker: the bands are
// chosen so that the predicted output (measurement x crossover x EQ x
// level) follows a target (flat, or a target curve) as closely as the
// device can make it, judged with the device's own filter formulas at the
// stored steps (whole Hz, Q 0.1, 0.1 dB).
//
// The error it minimises, on the plot columns inside lo..hi where the
// measurement (and the target) has a value: e = predicted level in dB minus
// target level; the error is the RMS of e - mean(e) (the absolute level is
// free). A global stage (bands placed one at a time where a band takes the
// most off the error, a few candidates for each, every placement and a
// round of restarts refined by NLopt's L-BFGS on continuous values) is
// followed by a search over the stored steps around the rounded result. The
// same input always gives the same bands. About 0.1 s for six bands over
// 400 columns.
#pragma once

#include <functional>
#include <string>

#include "measure/measurement.h"
#include "model/preset.h"

// The frequency range a fit uses by default: the channel's pass band
// (channel_pass_band) within 35 Hz-12 kHz.
pass_band_t default_fit_range(const channel_t& ch);

// The plot columns a fit or its error uses: inside lo..hi Hz, where the
// measurement and, when there is one, the target have a value.
std::vector<int> fit_columns(const grid_measurement_t& m, const grid_measurement_t* target,
                             double lo_hz, double hi_hz);

// The error of a channel for a measured loudspeaker against a target (flat
// when null): the RMS of e - mean(e) over `columns`, e the predicted level
// (predict_output) minus the target level, in dB. 0 for fewer than two
// columns.
double fit_error_db(const channel_t& ch, const grid_measurement_t& m,
                    const grid_measurement_t* target, const std::vector<int>& columns);

// What a fit is asked for.
struct eq_fit_request_t {
  // Frequency range in Hz; both 0: default_fit_range.
  double lo_hz = 0.0;
  double hi_hz = 0.0;
  // Target levels on the plot columns (only has[] and db[] are used; its
  // absolute level does not matter); null: flat.
  const grid_measurement_t* target = nullptr;
  // Bands the fit may change, bit b for band b (band 1 is bit 0). Band 1 may
  // become a low shelf and band 6 a high shelf.
  unsigned bands = 0x3F;
  // Largest gain of any band, in 0.1 dB: 0 cuts only, at most 120 (+12 dB).
  // Cuts go down to -12 dB.
  int max_boost = 60;
};

// Reports how far a fit has come (0..1); returns false to cancel it.
using fit_progress_t = std::function<bool(double fraction)>;

// The outcome of a fit.
struct eq_fit_result_t {
  bool ok = false;         // the fit ran to its end
  bool cancelled = false;  // the progress callback stopped it
  std::string reason;      // why it was refused (ok and cancelled false)

  double lo_hz = 0.0;  // the range used
  double hi_hz = 0.0;
  int columns = 0;  // the plot columns the error is taken over
  double error_before_db = 0.0;
  double error_after_db = 0.0;
  peq_t before[6] = {};  // the channel's six bands as they were
  peq_t bands[6] = {};   // the channel's six bands as they are to be stored
  unsigned changed = 0;  // bands that differ, bit b for band b

  // The bands that changed, one a line (each ending in a line feed):
  // "band 2: 210 Hz -4.5 dB Q 3.2 (was off)", "band 1: low shelf 95 Hz
  // -3.4 dB (was 50 Hz +1.0 dB Q 0.7)", "band 5: off (was 4500 Hz +3.5 dB
  // Q 0.9)"; "no band changed" when none did.
  std::string change_text() const;
  // "error 2.84 dB -> 0.61 dB (RMS over 398 columns, 80-2500 Hz)"
  std::string error_text() const;
};

// Fits the bands of `ch` allowed by the request for the measurement `m`.
// Refused (with a reason) when the range is empty, the measurement (and
// the target) have fewer than two columns in it, no band may change or the
// largest boost lies outside 0..+12 dB. Every band of the result lies in
// the editor's ranges (35-12000 Hz, Q 0.7-12.5, -12.0 dB to the largest
// boost); bands not allowed are the channel's, a band the fit does not need
// is switched off (gain 0, its frequency and Q kept). When the channel's
// own allowed bands keep to these limits and are at least as good, they
// stay (the fit never makes such a channel worse). `progress` is called now and then; when it
// returns false the fit stops and the result is `cancelled`.
eq_fit_result_t fit_eq(const channel_t& ch, const grid_measurement_t& m,
                       const eq_fit_request_t& request, const fit_progress_t& progress = {});

// Stores a fit's bands into the channel; a result that is not ok changes
// nothing (returns false).
bool apply_eq_fit(channel_t& ch, const eq_fit_result_t& result);
