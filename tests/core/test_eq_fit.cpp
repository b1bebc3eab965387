// The EQ fit: its continuous band model against the device's curves, the
// error it minimises, and fits of generated measurements whose answer is
// known.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "measure/band_model.h"
#include "measure/eq_fit.h"
#include "support/loudspeaker_model.h"

namespace {

std::vector<int> all_columns() {
  std::vector<int> cols(EQ_TABLE_SIZE);
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) cols[c] = c;
  return cols;
}

band_params_t params(band_kind kind, double hz, double q, double gain_db) {
  band_params_t b;
  b.kind = kind;
  b.log10_hz = std::log10(hz);
  b.log10_q = std::log10(q);
  b.gain_db = gain_db;
  return b;
}

// At the stored steps the continuous model is the device's curve, and its
// derivatives are those of the level it gives.
TEST(BandModel, MatchesTheDeviceCurvesAndTheirSlopes) {
  struct row_t {
    band_kind kind;
    unsigned hz, q;
    int gain;
  };
  const row_t rows[] = {
      {band_kind::peaking, 1000, 14, 60},    {band_kind::peaking, 35, 7, -120},
      {band_kind::peaking, 12000, 125, 120}, {band_kind::peaking, 250, 45, -33},
      {band_kind::low_shelf, 120, 7, 45},    {band_kind::low_shelf, 35, 7, -120},
      {band_kind::high_shelf, 9000, 7, -40}, {band_kind::high_shelf, 2000, 7, 120},
  };
  const band_grid_t grid(all_columns());
  eq_table_t curve_table;
  eq_table_t* curve = &curve_table;
  for (const row_t& r : rows) {
    switch (r.kind) {
      case band_kind::peaking:
        peq_curve(*curve, r.hz, r.q, r.gain);
        break;
      case band_kind::low_shelf:
        lowshelf_curve(*curve, r.hz, r.gain);
        break;
      case band_kind::high_shelf:
        highshelf_curve(*curve, r.hz, r.gain);
        break;
    }
    const band_params_t b = params(r.kind, r.hz, r.q / 10.0, r.gain / 10.0);
    const int n = band_param_count(r.kind);
    std::vector<double> power(EQ_TABLE_SIZE, 1.0);
    std::vector<std::vector<double>> grad(n, std::vector<double>(EQ_TABLE_SIZE));
    double* g[3] = {grad[0].data(), grad[1].data(), n > 2 ? grad[2].data() : nullptr};
    band_power(b, grid, power.data(), g);
    for (int c = 0; c < EQ_TABLE_SIZE; c += 7)
      ASSERT_NEAR(10.0 * std::log10(power[c]), (*curve)[c], 1e-9) << r.hz << " Hz, column " << c;
    // Central differences of the level by each parameter.
    for (int k = 0; k < n; ++k) {
      band_params_t up = b, down = b;
      double* fields_up[3] = {&up.log10_hz, &up.log10_q, &up.gain_db};
      double* fields_down[3] = {&down.log10_hz, &down.log10_q, &down.gain_db};
      const int field = (n == 2 && k == 1) ? 2 : k;
      const double h = 1e-6;
      *fields_up[field] += h;
      *fields_down[field] -= h;
      std::vector<double> pu(EQ_TABLE_SIZE, 1.0), pd(EQ_TABLE_SIZE, 1.0);
      band_power(up, grid, pu.data());
      band_power(down, grid, pd.data());
      for (int c = 0; c < EQ_TABLE_SIZE; c += 5) {
        const double numeric = (10.0 * std::log10(pu[c]) - 10.0 * std::log10(pd[c])) / (2 * h);
        ASSERT_NEAR(grad[k][c], numeric, 1e-4 * (1.0 + std::abs(numeric)))
            << r.hz << " Hz, parameter " << k << ", column " << c;
      }
    }
  }
}

// ---- The error ---------------------------------------------------------------

// A measurement with values at three columns between 1 and 5 kHz only, where
// the default high-pass (35 Hz) takes less than 0.001 dB.
std::unique_ptr<grid_measurement_t> three_columns(const double (&db)[3]) {
  auto g = std::make_unique<grid_measurement_t>();
  const int cols[3] = {464, 530, 680};
  for (int i = 0; i < 3; ++i) {
    g->has[cols[i]] = true;
    g->db[cols[i]] = db[i];
  }
  return g;
}

TEST(FitError, IsTheRmsAroundTheMeanOfLevelMinusTarget) {
  struct row_t {
    double measured[3];
    bool with_target;
    double target[3];
    int16_t level;
    uint8_t polarity;
    uint16_t delay;
    double expected;
  };
  const row_t rows[] = {
      // e = {1, 2, 6} - {0, 1, 2} = {1, 1, 4}: mean 2, RMS of {-1, -1, 2} = sqrt(2)
      {{1, 2, 6}, true, {0, 1, 2}, 0, 0, 0, std::sqrt(2.0)},
      // The level, polarity and delay change no level difference.
      {{1, 2, 6}, true, {0, 1, 2}, -235, 1, 1234, std::sqrt(2.0)},
      // Flat target: {91, 93, 95} around 93: sqrt(8 / 3)
      {{91, 93, 95}, false, {}, 0, 0, 0, std::sqrt(8.0 / 3.0)},
      // A level offset is free.
      {{80, 80, 80}, false, {}, 0, 0, 0, 0.0},
      {{80, 85, 90}, true, {-3, 2, 7}, 0, 0, 0, 0.0},
  };
  for (const row_t& r : rows) {
    auto m = three_columns(r.measured);
    auto t = three_columns(r.target);
    channel_t ch = preset_def.channel[0];
    ch.gain = r.level;
    ch.phase = r.polarity;
    ch.delay = r.delay;
    const std::vector<int> cols = fit_columns(*m, r.with_target ? t.get() : nullptr, 20, 20000);
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_NEAR(fit_error_db(ch, *m, r.with_target ? t.get() : nullptr, cols), r.expected, 1e-3)
        << r.measured[0] << " " << r.level;
  }
}

// Columns: inside the range, where the measurement and the target both
// have a value.
TEST(FitError, TakesColumnsWithinTheRangeWhereBothHaveValues) {
  auto m = three_columns({1, 2, 3});
  auto t = three_columns({0, 0, 0});
  t->has[530] = false;
  EXPECT_EQ(fit_columns(*m, nullptr, 20, 20000), (std::vector<int>{464, 530, 680}));
  EXPECT_EQ(fit_columns(*m, t.get(), 20, 20000), (std::vector<int>{464, 680}));
  EXPECT_EQ(fit_columns(*m, nullptr, column_to_freq(464), column_to_freq(530)),
            (std::vector<int>{464, 530}));
  EXPECT_TRUE(fit_columns(*m, nullptr, 5000, 12000).empty());
}

// ---- Fits -------------------------------------------------------------------

// A loudspeaker that is flat from 100 Hz to 10 kHz but for what an EQ of
// the device would correct: its rows (1/48 octave, 20 Hz-20 kHz) are a
// smooth speaker times the inverse of `eq`, plus the target.
struct known_eq_t {
  peq_t bands[6];
  int max_boost;
  bool tilted_target;  // a target falling 1 dB per octave
};

double eq_level_db(const peq_t (&bands)[6], double f) {
  double db = 0.0;
  for (int b = 0; b < 6; ++b) {
    const peq_t& p = bands[b];
    if (p.type == 1)
      db += b == 0 ? lowshelf_response_db(f, p.freq, p.gain)
                   : highshelf_response_db(f, p.freq, p.gain);
    else if (p.gain != 0)
      db += peq_response_db(f, p.freq, p.q, p.gain);
  }
  return db;
}

double tilt_db(double f) {
  return -std::log2(f / 1000.0);
}

measurement_t made_from(const known_eq_t& k, bool as_target) {
  measurement_t m;
  for (double f = 20.0; f <= 20000.0; f *= std::pow(2.0, 1.0 / 48)) {
    const double speaker =
        20.0 *
        std::log10(std::abs(analog_highpass(f, 25, 0.7, 2) * analog_lowpass(f, 22000, 0.7, 2)));
    const double target = k.tilted_target ? tilt_db(f) : 0.0;
    m.hz.push_back(f);
    m.db.push_back(as_target ? target : 94.0 + speaker + target - eq_level_db(k.bands, f));
  }
  return m;
}

std::unique_ptr<grid_measurement_t> on_grid(const measurement_t& m) {
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(m, *g);
  return g;
}

TEST(FitEq, FindsAKnownDeviceEqAgain) {
  const known_eq_t rows[] = {
      {{{180, 40, -65, 0}, {1200, 14, 40, 0}, {5600, 25, -30, 0}, {}, {}, {}}, 60, false},
      {{{120, 7, 40, 1}, {800, 60, -80, 0}, {}, {}, {}, {8000, 7, -30, 1}}, 60, false},
      {{{250, 30, -50, 0}, {2000, 50, -70, 0}, {4500, 10, -25, 0}, {}, {}, {}}, 0, false},
      {{{400, 20, -40, 0}, {3000, 80, 30, 0}, {}, {}, {}, {}}, 30, true},
  };
  for (const known_eq_t& k : rows) {
    const auto m = on_grid(made_from(k, false));
    const auto target = on_grid(made_from(k, true));
    eq_fit_request_t req;
    req.lo_hz = 100;
    req.hi_hz = 10000;
    req.max_boost = k.max_boost;
    req.target = k.tilted_target ? target.get() : nullptr;
    channel_t ch = preset_def.channel[0];
    const eq_fit_result_t r = fit_eq(ch, *m, req);
    ASSERT_TRUE(r.ok) << r.reason;
    EXPECT_GT(r.error_before_db, 1.0);
    EXPECT_LT(r.error_after_db, 0.1) << "first band " << k.bands[0].freq << " Hz";
    // What the result says is what the channel with its bands does.
    ASSERT_TRUE(apply_eq_fit(ch, r));
    EXPECT_DOUBLE_EQ(fit_error_db(ch, *m, req.target, fit_columns(*m, req.target, 100, 10000)),
                     r.error_after_db);
  }
}

// A top from 80 Hz up in a room, with a preset's EQ on it.
struct room_case_t {
  channel_t ch;
  std::unique_ptr<grid_measurement_t> m;
};

room_case_t top_in_room(uint64_t seed) {
  room_case_t c;
  c.ch = preset_def.channel[1];
  c.ch.xo[0] = {2, {35, 80}, {7, 7}};
  c.ch.peq[1] = {300, 20, 90, 0};  // a boost of +9 dB
  c.ch.peq[2] = {2000, 14, -40, 0};
  c.ch.peq[3] = {3000, 7, 0, 1};  // a shelf type on a middle band: no effect
  c.m = on_grid(measure(random_loudspeaker(seed, false, 80, 12000)));
  return c;
}

// Every band of the result lies within the editor's ranges and the largest
// boost, shelves only on bands 1 and 6; the bands not allowed are the
// channel's own, byte for byte; the error does not grow.
TEST(FitEq, KeepsToTheLimitsAndTheAllowedBands) {
  struct row_t {
    uint64_t seed;
    int max_boost;
    unsigned bands;
  };
  const row_t rows[] = {{21, 0, 0x3F}, {22, 25, 0x3F}, {24, 120, 0x3F},
                        {25, 0, 0x1E}, {26, 40, 0x21}, {28, 10, 0x0C}};
  for (const row_t& r : rows) {
    const room_case_t c = top_in_room(r.seed);
    eq_fit_request_t req;
    req.max_boost = r.max_boost;
    req.bands = r.bands;
    const eq_fit_result_t res = fit_eq(c.ch, *c.m, req);
    ASSERT_TRUE(res.ok) << res.reason;
    EXPECT_EQ(res.lo_hz, 80.0);
    EXPECT_EQ(res.hi_hz, 12000.0);  // the low-pass is off
    EXPECT_LE(res.error_after_db, res.error_before_db);
    for (int b = 0; b < 6; ++b) {
      const peq_t& p = res.bands[b];
      SCOPED_TRACE("seed " + std::to_string(r.seed) + " band " + std::to_string(b + 1));
      if (!(r.bands & (1u << b))) {
        EXPECT_EQ(std::memcmp(&p, &c.ch.peq[b], sizeof p), 0);
        EXPECT_FALSE(res.changed & (1u << b));
        continue;
      }
      EXPECT_LE(p.gain, r.max_boost);
      EXPECT_GE(p.gain, -120);
      EXPECT_TRUE(p.type == 0 || (p.type == 1 && (b == 0 || b == 5)));
      if (p.gain == 0) continue;
      EXPECT_TRUE(editor_range::peq_freq.contains(p.freq)) << p.freq;
      if (p.type == 0) {
        EXPECT_TRUE(editor_range::peq_q.contains(p.q)) << int(p.q);
      }
    }
  }
}

// The same input gives the same bands, also when a progress callback
// watches; the progress rises from 0 to 1; a callback that says stop
// cancels the fit, and a cancelled fit changes nothing.
TEST(FitEq, IsDeterministicReportsProgressAndCancels) {
  const room_case_t c = top_in_room(31);
  const eq_fit_result_t first = fit_eq(c.ch, *c.m, {});
  std::vector<double> seen;
  const eq_fit_result_t second = fit_eq(c.ch, *c.m, {}, [&](double f) {
    seen.push_back(f);
    return true;
  });
  ASSERT_TRUE(first.ok && second.ok);
  EXPECT_EQ(std::memcmp(first.bands, second.bands, sizeof first.bands), 0);
  EXPECT_EQ(first.error_after_db, second.error_after_db);
  ASSERT_GT(seen.size(), 10u);
  EXPECT_EQ(seen.front(), 0.0);
  EXPECT_EQ(seen.back(), 1.0);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

  for (size_t stop_at : {size_t(0), size_t(3), seen.size() / 2}) {
    size_t calls = 0;
    const eq_fit_result_t r = fit_eq(c.ch, *c.m, {}, [&](double) { return calls++ < stop_at; });
    EXPECT_TRUE(r.cancelled) << stop_at;
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(calls, stop_at + 1);  // no call after the one that said stop
    channel_t ch = c.ch;
    EXPECT_FALSE(apply_eq_fit(ch, r));
    EXPECT_EQ(std::memcmp(&ch, &c.ch, sizeof ch), 0);
  }
}

// A channel whose own bands are already the best stays as it is; one whose
// bands boost beyond the largest boost gets bands within it, even when they
// do worse.
TEST(FitEq, KeepsOwnBandsThatCannotBeBettered) {
  channel_t ch = preset_def.channel[0];
  ch.peq[0] = {110, 7, 35, 1};
  ch.peq[2] = {1200, 14, 40, 0};
  ch.peq[4] = {5600, 25, -30, 0};
  // A loudspeaker that the channel makes exactly flat.
  eq_table_t total;
  total_curve(ch, total);
  auto m = std::make_unique<grid_measurement_t>();
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    m->has[c] = true;
    m->db[c] = 90.0 - total[c];
  }
  const eq_fit_result_t kept = fit_eq(ch, *m, {});
  ASSERT_TRUE(kept.ok);
  EXPECT_LT(kept.error_before_db, 1e-9);
  EXPECT_EQ(kept.changed, 0u);
  EXPECT_EQ(kept.change_text(), "no band changed\n");
  eq_fit_request_t req;
  req.max_boost = 20;  // band 3's +4 dB is beyond it
  const eq_fit_result_t limited = fit_eq(ch, *m, req);
  ASSERT_TRUE(limited.ok);
  EXPECT_TRUE(limited.changed & 4u);
  EXPECT_GT(limited.error_after_db, limited.error_before_db);
  for (const peq_t& p : limited.bands) EXPECT_LE(p.gain, 20);
}

TEST(FitEq, RefusesWhatItCannotFit) {
  const room_case_t c = top_in_room(41);
  auto empty = std::make_unique<grid_measurement_t>();
  auto target = on_grid(made_from({{}, 60, true}, true));
  for (int col = 0; col < EQ_TABLE_SIZE; ++col) target->has[col] = col < 100;  // up to 63 Hz
  struct row_t {
    double lo, hi;
    unsigned bands;
    int max_boost;
    const grid_measurement_t* m;
    const grid_measurement_t* target;
    const char* reason;
  };
  const row_t rows[] = {
      {500, 500, 0x3F, 60, c.m.get(), nullptr, "the range 500-500 Hz is empty"},
      {2000, 100, 0x3F, 60, c.m.get(), nullptr, "the range 2000-100 Hz is empty"},
      {100, 2000, 0, 60, c.m.get(), nullptr, "no EQ band may change"},
      {100, 2000, 0x3F, 121, c.m.get(), nullptr, "the largest boost must lie between 0 and +12 dB"},
      {100, 2000, 0x3F, -1, c.m.get(), nullptr, "the largest boost must lie between 0 and +12 dB"},
      {100, 2000, 0x3F, 60, empty.get(), nullptr,
       "the measurement has no value within 100-2000 Hz"},
      {100, 2000, 0x3F, 60, c.m.get(), target.get(),
       "the measurement and the target have no value within 100-2000 Hz"},
      {100, 100.5, 0x3F, 60, c.m.get(), nullptr,
       "the measurement has a single value within 100-100.5 Hz"},
  };
  for (const row_t& r : rows) {
    eq_fit_request_t req;
    req.lo_hz = r.lo;
    req.hi_hz = r.hi;
    req.bands = r.bands;
    req.max_boost = r.max_boost;
    req.target = r.target;
    const eq_fit_result_t res = fit_eq(c.ch, *r.m, req);
    EXPECT_FALSE(res.ok);
    EXPECT_FALSE(res.cancelled);
    EXPECT_EQ(res.reason, r.reason);
  }
}

TEST(FitEq, SaysWhatChanged) {
  eq_fit_result_t r;
  r.ok = true;
  r.before[0] = {50, 7, 10, 0};
  r.bands[0] = {95, 7, -34, 1};
  r.before[1] = {1000, 10, 0, 0};
  r.bands[1] = {210, 32, -45, 0};
  r.before[4] = {4500, 9, 35, 0};
  r.bands[4] = {4500, 9, 0, 0};
  r.before[5] = r.bands[5] = {9000, 7, 25, 1};
  r.changed = 0x13;
  EXPECT_EQ(r.change_text(),
            "band 1: low shelf 95 Hz -3.4 dB (was 50 Hz +1.0 dB Q 0.7)\n"
            "band 2: 210 Hz -4.5 dB Q 3.2 (was off)\n"
            "band 5: off (was 4500 Hz +3.5 dB Q 0.9)\n");
  r.error_before_db = 2.844;
  r.error_after_db = 0.6149;
  r.columns = 398;
  r.lo_hz = 80;
  r.hi_hz = 2500;
  EXPECT_EQ(r.error_text(), "error 2.84 dB -> 0.61 dB (RMS over 398 columns, 80-2500 Hz)");
}

}  // namespace
