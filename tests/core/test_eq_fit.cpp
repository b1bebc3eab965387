// The EQ fit: its band model, its error, and fits whose answer is known.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "measure/band_model.h"
#include "measure/eq_fit.h"

namespace {

// The continuous model is the device's curve, its slopes central differences.
TEST(BandModel, MatchesTheDeviceCurvesAndTheirSlopes) {
  struct row_t {
    band_kind kind;
    unsigned hz, q;
    int gain;
  };
  const row_t rows[] = {
      {band_kind::peaking, 1000, 14, 60},    {band_kind::peaking, 35, 7, -120},
      {band_kind::peaking, 12000, 125, 120}, {band_kind::low_shelf, 120, 7, 45},
      {band_kind::low_shelf, 35, 7, -120},   {band_kind::high_shelf, 9000, 7, -40}};
  std::vector<int> all(EQ_TABLE_SIZE);
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) all[c] = c;
  const band_grid_t grid(all);
  eq_table_t curve;
  auto level = [&](const band_params_t& b, int c) {
    std::vector<double> p(EQ_TABLE_SIZE, 1.0);
    band_power(b, grid, p.data());
    return 10.0 * std::log10(p[c]);
  };
  for (const row_t& r : rows) {
    if (r.kind == band_kind::peaking) peq_curve(curve, r.hz, r.q, r.gain);
    if (r.kind == band_kind::low_shelf) lowshelf_curve(curve, r.hz, r.gain);
    if (r.kind == band_kind::high_shelf) highshelf_curve(curve, r.hz, r.gain);
    const band_params_t b{r.kind, std::log10(r.hz), std::log10(r.q / 10.0), r.gain / 10.0};
    const int n = band_param_count(r.kind);
    std::vector<double> power(EQ_TABLE_SIZE, 1.0), grad[3];
    double* g[3];
    for (int k = 0; k < 3; ++k) g[k] = (grad[k] = std::vector<double>(EQ_TABLE_SIZE)).data();
    band_power(b, grid, power.data(), g);
    for (int c = 0; c < EQ_TABLE_SIZE; c += 37) {
      ASSERT_NEAR(10.0 * std::log10(power[c]), curve[c], 1e-9) << r.hz << " Hz, column " << c;
      for (int k = 0; k < n; ++k) {
        band_params_t up = b, down = b;
        for (band_params_t* x : {&up, &down}) {
          double* fields[3] = {&x->log10_hz, &x->log10_q, &x->gain_db};
          *fields[n == 2 && k == 1 ? 2 : k] += x == &up ? 1e-6 : -1e-6;
        }
        const double numeric = (level(up, c) - level(down, c)) / 2e-6;
        ASSERT_NEAR(grad[k][c], numeric, 1e-4 * (1.0 + std::abs(numeric)))
            << r.hz << " Hz, parameter " << k << ", column " << c;
      }
    }
  }
}

// Values at three columns between 1 and 5 kHz (the 35 Hz high-pass: < 0.001 dB).
std::unique_ptr<grid_measurement_t> three_columns(const double (&db)[3]) {
  auto g = std::make_unique<grid_measurement_t>();
  const int cols[3] = {464, 530, 680};
  for (int i = 0; i < 3; ++i) g->has[cols[i]] = true, g->db[cols[i]] = db[i];
  return g;
}

TEST(FitError, IsTheRmsAroundTheMeanOfLevelMinusTarget) {
  struct row_t {
    double measured[3], target[3];
    bool with_target;
    int16_t level;
    uint8_t polarity;
    double expected;
  };
  const row_t rows[] = {
      // e = {1, 1, 4}: mean 2, RMS of {-1, -1, 2}; level and polarity change nothing
      {{1, 2, 6}, {0, 1, 2}, true, 0, 0, std::sqrt(2.0)},
      {{1, 2, 6}, {0, 1, 2}, true, -235, 1, std::sqrt(2.0)},
      {{91, 93, 95}, {}, false, 0, 0, std::sqrt(8.0 / 3.0)},
      {{80, 85, 90}, {-3, 2, 7}, true, 0, 0, 0.0},  // a level offset is free
  };
  for (const row_t& r : rows) {
    auto m = three_columns(r.measured), t = three_columns(r.target);
    channel_t ch = preset_def.channel[0];
    ch.gain = r.level, ch.phase = r.polarity, ch.delay = 1234;
    const grid_measurement_t* target = r.with_target ? t.get() : nullptr;
    EXPECT_NEAR(fit_error_db(ch, *m, target, fit_columns(*m, target, 20, 20000)), r.expected, 1e-3);
  }
  // The columns: within the range, where the measurement and the target have a value.
  auto m = three_columns({1, 2, 3}), t = three_columns({0, 0, 0});
  t->has[530] = false;
  EXPECT_EQ(fit_columns(*m, t.get(), 20, 20000), (std::vector<int>{464, 680}));
  EXPECT_EQ(fit_columns(*m, nullptr, column_to_freq(464), column_to_freq(530)),
            (std::vector<int>{464, 530}));
}

// A smooth loudspeaker times the inverse of a known EQ, plus the target
// (falling 1 dB per octave when tilted), at 1/48 octave.
struct known_eq_t {
  peq_t bands[6];
  int max_boost;
  bool tilted;
};

std::unique_ptr<grid_measurement_t> made_from(const known_eq_t& k, bool target_only) {
  measurement_t m;
  for (double f = 20.0; f <= 20000.0; f *= std::pow(2.0, 1.0 / 48)) {
    double eq = 0.0;
    for (int b = 0; b < 6; ++b) {
      const peq_t& p = k.bands[b];
      if (p.type == 1)
        eq += b == 0 ? lowshelf_response_db(f, p.freq, p.gain)
                     : highshelf_response_db(f, p.freq, p.gain);
      else if (p.gain != 0)
        eq += peq_response_db(f, p.freq, p.q, p.gain);
    }
    // Second-order roll-offs at 25 Hz and 22 kHz.
    const double speaker =
        -10.0 * std::log10((1 + std::pow(25.0 / f, 4)) * (1 + std::pow(f / 22000.0, 4)));
    const double target = k.tilted ? -std::log2(f / 1000.0) : 0.0;
    m.hz.push_back(f);
    m.db.push_back(target_only ? target : 94.0 + speaker + target - eq);
  }
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(m, *g);
  return g;
}

TEST(FitEq, FindsAKnownDeviceEqAgain) {
  const known_eq_t rows[] = {
      {{{120, 7, 40, 1}, {800, 60, -80, 0}, {}, {}, {}, {8000, 7, -30, 1}}, 60, false},
      {{{250, 30, -50, 0}, {2000, 50, -70, 0}, {4500, 10, -25, 0}, {}, {}, {}}, 0, false},
      {{{400, 20, -40, 0}, {3000, 80, 30, 0}, {}, {}, {}, {}}, 30, true},
  };
  for (const known_eq_t& k : rows) {
    const auto m = made_from(k, false), target = made_from(k, true);
    eq_fit_request_t req;
    req.lo_hz = 100, req.hi_hz = 10000, req.max_boost = k.max_boost;
    req.target = k.tilted ? target.get() : nullptr;
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

// A top from 80 Hz up with some EQ, and a loudspeaker with dips and peaks.
channel_t top_channel() {
  channel_t ch = preset_def.channel[1];
  ch.xo[0] = {2, {35, 80}, {7, 7}};
  ch.peq[1] = {300, 20, 90, 0};  // +9 dB
  ch.peq[3] = {3000, 7, 0, 1};   // a shelf type on a middle band: no effect
  return ch;
}

std::unique_ptr<grid_measurement_t> top_in_room(int variant) {
  const known_eq_t k{{{140, 50, 90, 0},
                      {uint16_t(400 + 100 * variant), 30, -70, 0},
                      {1500, 20, 60, 0},
                      {uint16_t(3000 + 700 * variant), 80, -90, 0},
                      {},
                      {9000, 7, 40, 1}},
                     60,
                     false};
  return made_from(k, false);
}

// Bands within the ranges and the largest boost, shelves on bands 1 and 6,
// bands not allowed untouched; the error does not grow.
TEST(FitEq, KeepsToTheLimitsAndTheAllowedBands) {
  const struct {
    int variant;
    int max_boost;
    unsigned bands;
  } rows[] = {{0, 0, 0x3F}, {1, 25, 0x3F}, {2, 120, 0x21}, {3, 0, 0x1E}, {4, 10, 0x0C}};
  const channel_t ch = top_channel();
  for (const auto& r : rows) {
    eq_fit_request_t req;
    req.max_boost = r.max_boost, req.bands = r.bands;
    const eq_fit_result_t res = fit_eq(ch, *top_in_room(r.variant), req);
    ASSERT_TRUE(res.ok) << res.reason;
    EXPECT_EQ(res.hi_hz, 12000.0);  // the pass band, the low-pass off
    EXPECT_LE(res.error_after_db, res.error_before_db);
    for (int b = 0; b < 6; ++b) {
      const peq_t& p = res.bands[b];
      SCOPED_TRACE("variant " + std::to_string(r.variant) + " band " + std::to_string(b + 1));
      if (!(r.bands & (1u << b))) {
        EXPECT_EQ(std::memcmp(&p, &ch.peq[b], sizeof p), 0);
        continue;
      }
      EXPECT_TRUE(p.gain >= -120 && p.gain <= r.max_boost) << int(p.gain);
      EXPECT_TRUE(p.type == 0 || (p.type == 1 && (b == 0 || b == 5)));
      EXPECT_TRUE(p.gain == 0 || editor_range::peq_freq.contains(p.freq)) << p.freq;
      EXPECT_TRUE(p.gain == 0 || p.type == 1 || editor_range::peq_q.contains(p.q)) << int(p.q);
    }
  }
}

// The same bands each time; progress rises from 0 to 1; stop cancels at
// once and changes nothing.
TEST(FitEq, IsDeterministicReportsProgressAndCancels) {
  const channel_t ch = top_channel();
  const auto m = top_in_room(5);
  eq_fit_request_t req;
  req.lo_hz = 200, req.hi_hz = 4000;
  const eq_fit_result_t first = fit_eq(ch, *m, req);
  std::vector<double> seen;
  const eq_fit_result_t second = fit_eq(ch, *m, req, [&](double f) {
    seen.push_back(f);
    return true;
  });
  ASSERT_TRUE(first.ok && second.ok);
  EXPECT_EQ(std::memcmp(first.bands, second.bands, sizeof first.bands), 0);
  ASSERT_GT(seen.size(), 10u);
  EXPECT_TRUE(seen.front() == 0.0 && seen.back() == 1.0 &&
              std::is_sorted(seen.begin(), seen.end()));
  for (size_t stop_at : {size_t(0), seen.size() / 2}) {
    size_t calls = 0;
    const eq_fit_result_t r = fit_eq(ch, *m, req, [&](double) { return calls++ < stop_at; });
    EXPECT_TRUE(r.cancelled && !r.ok && calls == stop_at + 1) << stop_at << " " << calls;
    channel_t c = ch;
    EXPECT_FALSE(apply_eq_fit(c, r));
  }
}

// Own bands that are best are kept, unless they boost beyond the limit.
TEST(FitEq, KeepsOwnBandsThatCannotBeBettered) {
  channel_t ch = preset_def.channel[0];
  ch.peq[0] = {110, 7, 35, 1};
  ch.peq[2] = {1200, 14, 40, 0};
  eq_table_t total;
  total_curve(ch, total);
  auto m = std::make_unique<grid_measurement_t>();  // what the channel makes exactly flat
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) m->has[c] = true, m->db[c] = 90.0 - total[c];
  eq_fit_request_t req;
  req.lo_hz = 200, req.hi_hz = 4000;
  const eq_fit_result_t kept = fit_eq(ch, *m, req);
  ASSERT_TRUE(kept.ok);
  EXPECT_LT(kept.error_before_db, 1e-9);
  EXPECT_EQ(kept.change_text(), "no band changed\n");
  req.max_boost = 20;  // band 3's +4 dB is beyond it
  const eq_fit_result_t limited = fit_eq(ch, *m, req);
  ASSERT_TRUE(limited.ok);
  EXPECT_TRUE(limited.changed & 4u);
  EXPECT_GT(limited.error_after_db, limited.error_before_db);
  for (const peq_t& p : limited.bands) EXPECT_LE(p.gain, 20);
}

TEST(FitEq, RefusesWhatItCannotFitAndSaysWhatChanged) {
  const channel_t ch = top_channel();
  const auto m = top_in_room(6);
  auto empty = std::make_unique<grid_measurement_t>(), low = made_from({{}, 60, true}, true);
  for (int c = 100; c < EQ_TABLE_SIZE; ++c) low->has[c] = false;  // up to 63 Hz
  const struct {
    double lo, hi;
    unsigned bands;
    int max_boost;
    const grid_measurement_t *m, *target;
    const char* reason;
  } rows[] = {
      {2000, 100, 0x3F, 60, m.get(), nullptr, "the range 2000-100 Hz is empty"},
      {100, 2000, 0, 60, m.get(), nullptr, "no EQ band may change"},
      {100, 2000, 0x3F, 121, m.get(), nullptr, "the largest boost must lie between 0 and +12 dB"},
      {100, 2000, 0x3F, 60, empty.get(), nullptr,
       "the measurement has no value within 100-2000 Hz"},
      {100, 2000, 0x3F, 60, m.get(), low.get(),
       "the measurement and the target have no value within 100-2000 Hz"},
      {100, 100.5, 0x3F, 60, m.get(), nullptr,
       "the measurement has a single value within 100-100.5 Hz"},
  };
  for (const auto& r : rows) {
    eq_fit_request_t req;
    req.lo_hz = r.lo, req.hi_hz = r.hi, req.bands = r.bands, req.max_boost = r.max_boost;
    req.target = r.target;
    const eq_fit_result_t res = fit_eq(ch, *r.m, req);
    EXPECT_FALSE(res.ok || res.cancelled);
    EXPECT_EQ(res.reason, r.reason);
  }
  eq_fit_result_t r;
  r.before[0] = {50, 7, 10, 0}, r.bands[0] = {95, 7, -34, 1};
  r.before[1] = {1000, 10, 0, 0}, r.bands[1] = {210, 32, -45, 0};
  r.before[4] = {4500, 9, 35, 0}, r.bands[4] = {4500, 9, 0, 0};
  r.changed = 0x13;
  EXPECT_EQ(r.change_text(),
            "band 1: low shelf 95 Hz -3.4 dB (was 50 Hz +1.0 dB Q 0.7)\n"
            "band 2: 210 Hz -4.5 dB Q 3.2 (was off)\n"
            "band 5: off (was 4500 Hz +3.5 dB Q 0.9)\n");
  r.error_before_db = 2.844, r.error_after_db = 0.6149, r.columns = 398, r.lo_hz = 80,
  r.hi_hz = 2500;
  EXPECT_EQ(r.error_text(), "error 2.84 dB -> 0.61 dB (RMS over 398 columns, 80-2500 Hz)");
}

}  // namespace
