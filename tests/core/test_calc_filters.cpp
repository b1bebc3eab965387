// Filter curves and the plot's pixel mapping against the documentation's
// figures, the tuned show file's expected curves and point-by-point values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/xml.h"
#include "response/calc_filters.h"
#include "support/calc_filters_reference.h"
#include "test_util.h"

namespace {

TEST(PlotGrid, ColumnsRowsFrequenciesAndLevels) {
  for (auto [column, hz] : {std::pair{0, 33.88}, {464, 996.8}, {811, 12500.7}})
    EXPECT_NEAR(column_to_freq(column), hz, 0.05) << column;
  EXPECT_NEAR(column_to_freq(148 + 316) / column_to_freq(148), 10.0, 0.01);  // a decade
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

// The dB figures of the filter documentation: crossovers at their corner
// (Butterworth 2., Linkwitz-Riley 4., Q 1.2) and away from it, peaking
// bands at their centre, shelves at the corner and at the ends.
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

preset_t live_preset() {
  preset_t p;
  EXPECT_EQ(xml_read(data_file("live_mv517.qpx").c_str(), &p, 0), 0);
  return p;
}

// Channel A (Linkwitz-Riley high-pass, both shelves, peaking band) and C
// (Butterworth high-pass, Linkwitz-Riley low-pass) against their CSV files,
// which give 4 decimals: a cell on the columns a curve is computed for.
TEST(ChannelCurves, ExpectedCurvesOfTheTunedChannels) {
  const preset_t live = live_preset();
  auto out = std::make_unique<channel_curves_t>();
  for (auto [ch, file] : {std::pair{0, "live_mv517_A.csv"}, {2, "live_mv517_C.csv"}}) {
    SCOPED_TRACE(file);
    channel_curves(live.channel[ch], *out);
    std::istringstream csv(read_file(data_file(file)));
    std::string line;
    std::getline(csv, line);
    int i = 0;
    for (; std::getline(csv, line); ++i) {
      std::vector<std::string> cells(1);
      for (char c : line) c == ',' ? cells.emplace_back() : cells.back() += c;
      ASSERT_TRUE(cells.size() == 6 && std::stoi(cells[0]) == i) << line;
      const auto cell = [&](int k, bool computed, double value, double tolerance = 5e-5) {
        if (computed) {
          EXPECT_NEAR(std::stod(cells[k]), value, tolerance) << line;
        } else {
          EXPECT_EQ(cells[k], "") << line;
        }
      };
      cell(1, true, column_to_freq(i), 5e-3);
      cell(2, i % 4 == 0, out->hp[i]);
      cell(3, i % 4 == 0 && out->lp_on, out->lp[i]);
      cell(4, i % 4 == 0, out->xo[i]);
      cell(5, i < EQ_TABLE_SIZE, i < EQ_TABLE_SIZE ? out->sum[i] : 0);
    }
    EXPECT_EQ(i, XO_TABLE_SIZE);
  }
  // "Q 1.2" takes its Q from the type, not from a stale slot 0.
  channel_t c = preset_def.channel[0];
  c.xo[0] = {0, {120, 120}, {7, 7}};
  channel_curves(c, *out);
  EXPECT_EQ(out->hp[172], hp_response_db(column_to_freq(172), 120, 12, 0));
}

// Both evaluations clear the whole record (padding included) first.
bool same_bits(const channel_curves_t& a, const channel_curves_t& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(FastCurves, SameBitsAsPointByPoint) {
  std::mt19937 rng(20240611);
  auto fast = std::make_unique<channel_curves_t>();
  auto direct = std::make_unique<channel_curves_t>();
  const auto hz = [&](unsigned top) { return static_cast<uint16_t>(35 + rng() % (top - 34)); };
  for (int n = 0; n < 200; ++n) {
    channel_t c = preset_def.channel[0];
    for (xo_t& xo : c.xo) xo.config = rng() % 3, xo.freq[0] = hz(8000), xo.freq[1] = hz(8000);
    for (int b = 0; b < 6; ++b)
      c.peq[b] = {hz(12000), static_cast<uint8_t>(7 + rng() % 119),
                  static_cast<int8_t>(static_cast<int>(rng() % 241) - 120),
                  static_cast<uint8_t>((b == 0 || b == 5) ? rng() % 2 : 0)};
    channel_curves(c, *fast);
    reference_channel_curves(c, *direct);
    ASSERT_TRUE(same_bits(*fast, *direct)) << "channel " << n;
    // Crossovers with any Q the record holds, not only the ones a type fixes.
    const unsigned f = hz(8000), q = 7 + rng() % 6;
    hp_curve(fast->hp, f, q, n % 2);
    reference_hp_curve(direct->hp, f, q, n % 2);
    lp_curve(fast->lp, f, q, n % 2);
    reference_lp_curve(direct->lp, f, q, n % 2);
    ASSERT_TRUE(same_bits(*fast, *direct)) << f << " Hz, q " << q;
  }
}

// A random channel as the record may hold it.
channel_t random_channel(std::mt19937& rng) {
  const auto hz = [&](unsigned top) { return static_cast<uint16_t>(35 + rng() % (top - 34)); };
  channel_t c = preset_def.channel[0];
  for (xo_t& xo : c.xo) xo.config = rng() % 3, xo.freq[0] = xo.freq[1] = hz(8000);
  for (int b = 0; b < 6; ++b)
    c.peq[b] = {hz(12000), static_cast<uint8_t>(7 + rng() % 119),
                static_cast<int8_t>(static_cast<int>(rng() % 241) - 120),
                static_cast<uint8_t>((b == 0 || b == 5) ? rng() % 2 : 0)};
  c.gain = static_cast<int16_t>(-200 + static_cast<int>(rng() % 261));
  c.phase = rng() % 2;
  c.delay = static_cast<uint16_t>(rng() % 1000);
  return c;
}

// The complex responses are the magnitude curves with their phase: each
// filter's magnitude is its table entry bit for bit, a channel's total is the
// crossover plus the EQ sum within 1e-9 dB.
TEST(ComplexResponse, MagnitudesAreTheCurveTables) {
  std::mt19937 rng(31);
  auto curves = std::make_unique<channel_curves_t>();
  auto response = std::make_unique<channel_response_t>();
  const auto db = [](complex_t h) { return 20.0 * std::log10(std::abs(h)); };
  for (int n = 0; n < 40; ++n) {
    const channel_t c = random_channel(rng);
    const unsigned f = 35 + rng() % 7966, q = 7 + rng() % 119;
    const int gain = static_cast<int>(rng() % 241) - 120;
    hp_curve(curves->hp, f, q % 6 + 7, n % 2);
    lp_curve(curves->lp, f, q % 6 + 7, n % 2);
    peq_curve(curves->eq[0], f, q, gain);
    lowshelf_curve(curves->lowshelf, f, gain);
    highshelf_curve(curves->highshelf, f, gain);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
      if (i % 4 == 0) {
        ASSERT_EQ(db(hp_complex(i, f, q % 6 + 7, n % 2)), curves->hp[i]) << i;
        ASSERT_EQ(db(lp_complex(i, f, q % 6 + 7, n % 2)), curves->lp[i]) << i;
      }
      ASSERT_EQ(db(peq_complex(i, f, q, gain)), curves->eq[0][i]) << i;
      ASSERT_EQ(db(lowshelf_complex(i, f, gain)), curves->lowshelf[i]) << i;
      ASSERT_EQ(db(highshelf_complex(i, f, gain)), curves->highshelf[i]) << i;
    }
    channel_curves(c, *curves);
    channel_response(c, *response);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
      ASSERT_NEAR(response_db(response->eq[i]), curves->sum[i], 1e-9) << i;
      if (i % 4 == 0) {
        ASSERT_NEAR(response_db(response->xo[i]), curves->xo[i], 1e-9) << i;
        ASSERT_NEAR(response_db(response->total[i]), curves->xo[i] + curves->sum[i], 1e-9) << i;
      }
    }
  }
}

// Two channels' outputs add as complex values: the same channel twice is
// 6.02 dB above its output, with one polarity flipped it cancels, and a
// delay difference of d cm gives |1 + e^(-j 2 pi f d / 34340)|.
TEST(ComplexResponse, SumsOfTwoChannels) {
  std::mt19937 rng(5);
  static eq_table_t total, db, phase, db2, phase2;
  for (int n = 0; n < 20; ++n) {
    channel_t a = random_channel(rng);
    total_curve(a, total);
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
    b = a;
    b.delay = static_cast<uint16_t>(a.delay + 1 + rng() % 500);
    sum_curves(a, b, db2, phase2);
    for (int i = 0; i < EQ_TABLE_SIZE; i += 7) {
      const double f = column_to_freq(i), seconds = (b.delay - a.delay) / 34340.0;
      const double comb = std::abs(2.0 * std::cos(3.14159265358979 * f * seconds));
      if (comb < 1e-3 || !audible(i)) continue;
      ASSERT_NEAR(db2[i], total[i] + level_db + 20 * std::log10(comb), 1e-6) << i;
      // The phase: the channel's own, the polarity and the mean delay.
      const double want = std::arg(
          std::polar(1.0, phase[i] * 3.14159265358979 / 180 - 3.14159265358979 * f * seconds) *
          (std::cos(3.14159265358979 * f * seconds) < 0 ? -1.0 : 1.0));
      ASSERT_NEAR(std::remainder(phase2[i] - want * 180 / 3.14159265358979, 360.0), 0, 1e-6) << i;
    }
  }
}

}  // namespace
