// Filter curves and the plot's mapping against documented and point-by-point values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <utility>

#include "response/calc_filters.h"
#include "support/calc_filters_reference.h"

namespace {

TEST(PlotGrid, ColumnsRowsFrequenciesAndLevels) {
  // (column_to_freq: the frequency column of the CSV files in tests/cli.)
  // Truncated toward zero: 33 Hz lies at -3.6.
  for (auto [hz, column] :
       {std::pair{35.0, 4}, {100.0, 148}, {1000.0, 464}, {8000.0, 749}, {12000.0, 805}, {33.0, -3}})
    EXPECT_EQ(freq_to_column(hz), column) << hz << " Hz";
  // clang-format off
  for (auto [db, row] : {std::pair{0.0, 102}, {3.0, 78}, {12.0, 6}, {-12.0, 198}, {0.05, 101},
                         {-0.05, 102}, {12.9, -1}})
    EXPECT_EQ(gain_to_row(db), row) << db << " dB";
  // clang-format on
  EXPECT_TRUE(row_to_gain(50) == 6.5 && row_to_gain(0) == 12.75);
}

// The dB figures the filter documentation gives for each filter type.
TEST(FilterResponse, DocumentedFigures) {
  const double low = column_to_freq(0), high = column_to_freq(811);
  const auto hp = hp_response_db, lp = lp_response_db, peq = peq_response_db;
  const auto ls = lowshelf_response_db, hs = highshelf_response_db;
  // clang-format off
  const struct { double got, want, tolerance; } cases[] = {
      {hp(35, 35, 7, 0), -3.10, .005}, {hp(8000, 8000, 7, 1), -6.20, .005},
      {hp(35, 35, 12, 0), 1.58, .005}, {hp(8000, 8000, 12, 0), 1.58, .005},
      {lp(35, 35, 7, 1), -6.20, .005}, {lp(8000, 8000, 7, 0), -3.10, .005},
      {lp(10000, 1000, 7, 0), -39.27, .005}, {hp(10000, 100, 7, 0), 0, .1},
      {lp(40, 5000, 7, 0), 0, .01}, {peq(35, 35, 7, -120), -12, 1e-9},
      {peq(1000, 1000, 7, 120), 12, 1e-9},
      {peq(4000, 4000, 125, -77), -7.7, 1e-9}, {peq(8000, 1000, 7, 120), 0, 6},
      {ls(low, 100, 60), 5.65, .005}, {ls(100, 100, 60), 3.96, .005}, {ls(high, 100, 60), 0, .01},
      {hs(5000, 5000, 60), 3.96, .005}, {hs(low, 5000, 60), 0, .01}, {ls(0, 100, -60), -6, 1e-9},
      {ls(48000, 100, -60), 0, 1e-9}, {hs(0, 5000, -90), 0, 1e-9},
      {hs(48000, 5000, -90), -9, 1e-9}};
  // clang-format on
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_NEAR(cases[i].got, cases[i].want, cases[i].tolerance) << "case " << i;
  // A band at 0 dB is exactly flat.
  std::mt19937 rng(7);
  static eq_table_t t;
  for (int n = 0; n < 100; ++n) {
    const unsigned fg = 35 + rng() % 11966, q = 7 + rng() % 119;
    peq_curve(t, fg, q, 0);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) ASSERT_EQ(t[i], 0.0) << fg << " Hz, q " << q;
  }
}

// A random channel as the record may hold it.
channel_t random_channel(std::mt19937& rng) {
  const auto hz = [&](unsigned top) { return static_cast<uint16_t>(35 + rng() % (top - 34)); };
  channel_t c = preset_def.channel[0];
  for (xo_t& xo : c.xo) xo.config = rng() % 3, xo.freq[0] = hz(8000), xo.freq[1] = hz(8000);
  for (int b = 0; b < 6; ++b)
    c.peq[b] = {hz(12000), static_cast<uint8_t>(7 + rng() % 119),
                static_cast<int8_t>(static_cast<int>(rng() % 241) - 120),
                static_cast<uint8_t>((b == 0 || b == 5) ? rng() % 2 : 0)};
  c.gain = static_cast<int16_t>(-200 + static_cast<int>(rng() % 261));
  c.phase = rng() % 2;
  c.delay = static_cast<uint16_t>(rng() % 1000);
  return c;
}

// The tables agree bit for bit with the point-by-point evaluation, padding
// included.
TEST(FastCurves, SameBitsAsPointByPoint) {
  std::mt19937 rng(20240611);
  auto fast = std::make_unique<channel_curves_t>();
  auto direct = std::make_unique<channel_curves_t>();
  for (int n = 0; n < 200; ++n) {
    const channel_t c = random_channel(rng);
    channel_curves(c, *fast);
    reference_channel_curves(c, *direct);
    ASSERT_EQ(std::memcmp(fast.get(), direct.get(), sizeof *fast), 0) << "channel " << n;
    // Crossovers with any Q the record holds, not only the ones a type fixes.
    const unsigned f = 35 + rng() % 7966, q = 7 + rng() % 6;
    hp_curve(fast->hp, f, q, n % 2);
    reference_hp_curve(direct->hp, f, q, n % 2);
    lp_curve(fast->lp, f, q, n % 2);
    reference_lp_curve(direct->lp, f, q, n % 2);
    ASSERT_EQ(std::memcmp(fast.get(), direct.get(), sizeof *fast), 0) << f << " Hz, q " << q;
  }
}

// The complex responses are the curve tables with their phase; a channel
// twice is 6.02 dB above its output, with one polarity flipped it cancels.
TEST(ComplexResponse, TotalsAndSumsOfChannels) {
  std::mt19937 rng(5);
  auto curves = std::make_unique<channel_curves_t>();
  auto response = std::make_unique<channel_response_t>();
  static eq_table_t total, db, phase, db2, phase2;
  for (int n = 0; n < 40; ++n) {
    channel_t a = random_channel(rng);
    channel_curves(a, *curves);
    channel_response(a, *response);
    total_curve(a, total);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
      ASSERT_NEAR(response_db(response->eq[i]), curves->sum[i], 1e-9) << i;
      if (i % 4 == 0) {
        ASSERT_NEAR(response_db(response->xo[i]), curves->xo[i], 1e-9) << i;
        ASSERT_NEAR(total[i], curves->xo[i] + curves->sum[i], 1e-9) << i;
      }
    }
    sum_curves(a, a, db, phase);
    channel_t b = a;
    b.phase ^= 1;
    sum_curves(a, b, db2, phase2);
    const double level_db = a.gain / 10.0;
    // Levels near the floor are left out: the floor cuts them.
    const auto audible = [&](int i) { return total[i] + level_db > RESPONSE_FLOOR_DB + 20; };
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
      if (audible(i)) {
        ASSERT_NEAR(db[i], total[i] + level_db + 20 * std::log10(2.0), 1e-9) << i;
      }
      ASSERT_EQ(db2[i], RESPONSE_FLOOR_DB) << i;
    }
  }
}

}  // namespace

namespace {

// Updating only what an edit changed gives the fresh curves, through random
// edits of one filter or band at a time, types included.
TEST(ChannelCurves, AnUpdateEqualsAFreshComputation) {
  std::mt19937 rng(11);
  auto updated = std::make_unique<channel_curves_t>();
  auto fresh = std::make_unique<channel_curves_t>();
  channel_t ch = random_channel(rng);
  channel_curves(ch, *updated);
  for (int step = 0; step < 300; ++step) {
    const channel_t before = ch;
    const channel_t other = random_channel(rng);
    const int part = static_cast<int>(rng() % 8);  // 0, 1: a crossover filter; 2..7: a band
    if (part < 2)
      ch.xo[part] = other.xo[part];
    else
      ch.peq[part - 2] = other.peq[part - 2];
    channel_curves_update(ch, before, *updated);
    channel_curves(ch, *fresh);
    ASSERT_EQ(std::memcmp(updated.get(), fresh.get(), sizeof *fresh), 0) << "step " << step;
  }
}

}  // namespace
