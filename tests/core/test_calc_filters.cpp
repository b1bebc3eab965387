// Filter magnitude curves and the plot's pixel mapping, checked against the
// dB figures and pixel positions the filter documentation gives, and the
// grid curves against the point-by-point evaluation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "response/calc_filters.h"
#include "support/calc_filters_reference.h"

namespace {

TEST(PlotGrid, ColumnsRowsFrequenciesAndLevels) {
  for (auto [column, hz] : {std::pair{0, 33.88}, {464, 996.8}, {811, 12500.7}})
    EXPECT_NEAR(column_to_freq(column), hz, 0.05) << column;
  EXPECT_NEAR(column_to_freq(148 + 316) / column_to_freq(148), 10.0, 0.01);  // a decade
  // Truncated toward zero: 33 Hz lies at -3.6.
  for (auto [hz, column] :
       {std::pair{35.0, 4}, {100.0, 148}, {1000.0, 464}, {8000.0, 749}, {12000.0, 805}, {33.0, -3}})
    EXPECT_EQ(freq_to_column(hz), column) << hz << " Hz";
  EXPECT_GE(freq_to_column(column_to_freq(811)), 810);
  for (auto [db, row] : {std::pair{0.0, 102},
                         {3.0, 78},
                         {12.0, 6},
                         {-12.0, 198},
                         {0.05, 101},
                         {-0.05, 102},
                         {12.9, -1}})
    EXPECT_EQ(gain_to_row(db), row) << db << " dB";
  EXPECT_DOUBLE_EQ(row_to_gain(50), 6.5);
  EXPECT_DOUBLE_EQ(row_to_gain(0), 12.75);
}

// ---- Responses at the documented points -------------------------------------

TEST(FilterResponse, Crossovers) {
  for (unsigned fg : {35u, 8000u}) {
    SCOPED_TRACE(fg);
    EXPECT_NEAR(hp_response_db(fg, fg, 7, 0), -3.10, 0.005);   // Butterworth 2.
    EXPECT_NEAR(hp_response_db(fg, fg, 7, 1), -6.20, 0.005);   // Linkwitz-Riley 4.
    EXPECT_NEAR(hp_response_db(fg, fg, 12, 0), +1.58, 0.005);  // Q 1.2
    EXPECT_NEAR(lp_response_db(fg, fg, 7, 0), -3.10, 0.005);
    EXPECT_NEAR(lp_response_db(fg, fg, 7, 1), -6.20, 0.005);
  }
  EXPECT_NEAR(lp_response_db(10000, 1000, 7, 0), -39.27, 0.005);
  EXPECT_NEAR(hp_response_db(10000, 100, 7, 0), 0.0, 0.1);
  EXPECT_NEAR(lp_response_db(40, 5000, 7, 0), 0.0, 0.01);
}

TEST(FilterResponse, PeakingBandReachesItsGain) {
  const struct {
    unsigned fg, q;
    int gain;
  } bands[] = {{35, 7, -120}, {1000, 7, 120}, {4000, 125, -77}, {12000, 7, 120}};
  for (const auto& b : bands) {
    SCOPED_TRACE(b.fg);
    EXPECT_NEAR(peq_response_db(b.fg, b.fg, b.q, b.gain), b.gain / 10.0, 1e-9);
    EXPECT_LT(std::fabs(peq_response_db(b.fg * 8.0, b.fg, b.q, b.gain)),
              std::fabs(b.gain / 10.0) / 2);
  }
}

TEST(FilterResponse, ZeroGainBandIsExactlyFlat) {
  std::mt19937 rng(7);
  static eq_table_t t;
  for (int n = 0; n < 100; ++n) {
    const unsigned fg = 35 + rng() % 11966, q = 7 + rng() % 119;
    std::fill(std::begin(t), std::end(t), 99.0);
    peq_curve(t, fg, q, 0);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i)
      ASSERT_EQ(t[i], 0.0) << fg << " Hz, q " << q << " @" << i;
  }
}

TEST(FilterResponse, Shelves) {
  // Low shelf at 100 Hz and high shelf at 5000 Hz, +6.0 dB: mirror images.
  EXPECT_NEAR(lowshelf_response_db(column_to_freq(0), 100, 60), 5.65, 0.005);
  EXPECT_NEAR(lowshelf_response_db(100, 100, 60), 3.96, 0.005);
  EXPECT_NEAR(lowshelf_response_db(column_to_freq(811), 100, 60), 0.0, 0.01);
  EXPECT_NEAR(highshelf_response_db(5000, 5000, 60), 3.96, 0.005);
  EXPECT_NEAR(highshelf_response_db(column_to_freq(0), 5000, 60), 0.0, 0.01);
  // Full gain or cut at 0 Hz (low) or half the sample rate (high).
  EXPECT_NEAR(lowshelf_response_db(0, 100, -60), -6.0, 1e-9);
  EXPECT_NEAR(lowshelf_response_db(48000, 100, -60), 0.0, 1e-9);
  EXPECT_NEAR(highshelf_response_db(0, 5000, -90), 0.0, 1e-9);
  EXPECT_NEAR(highshelf_response_db(48000, 5000, -90), -9.0, 1e-9);
}

// ---- The editor's tables ----------------------------------------------------

constexpr double UNTOUCHED = -777.0;

template <size_t N>
void fill_rows(double (&t)[4][N]) {
  for (auto& row : t) std::fill(std::begin(row), std::end(row), UNTOUCHED);
}

// Frequency and Q from slot 1 for "Linkwitz-Riley 4.", else slot 0; only
// every fourth index of the channel's own row is written.
TEST(CurveTables, CrossoverSlotsAndIndices) {
  preset = preset_t{};
  preset.channel[2].xo[0] = {2, {999, 200}, {12, 7}};
  preset.channel[2].xo[1] = {0, {3000, 999}, {12, 7}};
  fill_rows(pnt_to_pix_hp);
  fill_rows(pnt_to_pix_lp);
  Calc_HighPass(2, 1);
  Calc_LowPass(2, 0);
  for (int ch = 0; ch < 4; ++ch)
    for (int i = 0; i < XO_TABLE_SIZE; ++i) {
      const bool computed = ch == 2 && i % 4 == 0;  // 0, 4, ..., 812
      ASSERT_EQ(pnt_to_pix_hp[ch][i] != UNTOUCHED, computed) << ch << "/" << i;
      ASSERT_EQ(pnt_to_pix_lp[ch][i] != UNTOUCHED, computed) << ch << "/" << i;
      if (computed) {
        ASSERT_EQ(pnt_to_pix_hp[ch][i], hp_response_db(column_to_freq(i), 200, 7, 1)) << i;
        ASSERT_EQ(pnt_to_pix_lp[ch][i], lp_response_db(column_to_freq(i), 3000, 12, 0)) << i;
      }
    }
}

TEST(CurveTables, EqCurvesWriteAllColumnsOfTheirOwnTable) {
  preset = preset_t{};
  channel_t& c = preset.channel[1];
  c.peq[3] = {1000, 14, 50, 0};
  c.peq[0] = {80, 7, 40, 1};
  c.peq[5] = {8000, 7, -30, 1};
  double(*const tables[8])[EQ_TABLE_SIZE] = {
      pnt_to_pix_eq1, pnt_to_pix_eq2, pnt_to_pix_eq3,         pnt_to_pix_eq4,
      pnt_to_pix_eq5, pnt_to_pix_eq6, pnt_to_pix_eq_lowshelf, pnt_to_pix_eq_highshelf};
  for (auto* t : tables)
    for (int ch = 0; ch < 4; ++ch) std::fill(t[ch], t[ch] + EQ_TABLE_SIZE, UNTOUCHED);
  Calc_Peq(1, 3);
  Calc_LowShelf(1);
  Calc_HighShelf(1);
  for (int ch = 0; ch < 4; ++ch)
    for (int t = 0; t < 8; ++t)
      for (int i = 0; i < EQ_TABLE_SIZE; ++i)
        ASSERT_EQ(tables[t][ch][i] != UNTOUCHED, ch == 1 && (t == 3 || t >= 6)) << ch << "/" << t;
  EXPECT_EQ(pnt_to_pix_eq4[1][464], peq_response_db(column_to_freq(464), 1000, 14, 50));
  EXPECT_EQ(pnt_to_pix_eq_lowshelf[1][0], lowshelf_response_db(column_to_freq(0), 80, 40));
  EXPECT_EQ(pnt_to_pix_eq_highshelf[1][811], highshelf_response_db(column_to_freq(811), 8000, -30));
  EXPECT_EQ(peq_table(1, 3), pnt_to_pix_eq4[1]);
}

// ---- The sum and the shelf substitution -------------------------------------

// Each shelf state: the sum is the bands in series, shelves where the bands
// are shelves, after the curves the editor recomputes on a change.
TEST(EqSum, BandsInSeriesWithShelvesInPlaceOfTheirBands) {
  constexpr uint16_t ch = 3;
  preset = preset_t{};
  const uint16_t freqs[6] = {60, 200, 700, 1500, 4000, 9000};
  const int8_t gains[6] = {50, 0, -40, 0, 0, 30};
  peq_t* band = preset.channel[ch].peq;
  for (int b = 0; b < 6; ++b) band[b] = {freqs[b], 10, gains[b], 0};
  for (auto [low, high] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
    SCOPED_TRACE(::testing::Message() << "shelves " << low << high);
    band[0].type = low;
    band[5].type = high;
    if (low) Calc_LowShelf(ch);
    if (high) Calc_HighShelf(ch);
    for (uint16_t b = 0; b < 6; ++b) Calc_Peq(ch, b);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
      const double f = column_to_freq(i);
      double db = low ? lowshelf_response_db(f, band[0].freq, band[0].gain) : 0;
      db += high ? highshelf_response_db(f, band[5].freq, band[5].gain) : 0;
      for (int b = low; b < 6 - high; ++b)
        db += peq_response_db(f, band[b].freq, band[b].q, band[b].gain);
      ASSERT_NEAR(pnt_to_pix_eq_sum[ch][i], db, 1e-9) << "column " << i;
    }
  }
}

// ---- One channel as the editor shows it -----------------------------------------

TEST(ChannelCurves, AsTheEditorComputesThem) {
  auto out = std::make_unique<channel_curves_t>();
  channel_t c = preset_def.channel[0];
  c.xo[0] = {0, {120, 120}, {7, 7}};  // "Q 1.2" with a stale Q in slot 0
  c.peq[5] = {6000, 7, 40, 1};
  channel_curves(c, *out);
  EXPECT_EQ(out->hp[172], hp_response_db(column_to_freq(172), 120, 12, 0));
  EXPECT_FALSE(out->lp_on);
  for (int i = 0; i < XO_TABLE_SIZE; ++i)
    ASSERT_TRUE(out->lp[i] == 0.0 && out->xo[i] == out->hp[i] && (i % 4 == 0 || out->hp[i] == 0.0));
  for (int i = 0; i < EQ_TABLE_SIZE; ++i)
    ASSERT_EQ(out->eq[5][i], 0.0) << "a shelf has no peaking curve";
}

// ---- Grid curves against the point-by-point evaluation -------------------------

bool same_bits(const channel_curves_t& a, const channel_curves_t& b) {
  return a.lp_on == b.lp_on && !std::memcmp(a.hp, b.hp, sizeof a.hp) &&
         !std::memcmp(a.lp, b.lp, sizeof a.lp) && !std::memcmp(a.xo, b.xo, sizeof a.xo) &&
         !std::memcmp(a.eq, b.eq, sizeof a.eq) &&
         !std::memcmp(a.lowshelf, b.lowshelf, sizeof a.lowshelf) &&
         !std::memcmp(a.highshelf, b.highshelf, sizeof a.highshelf) &&
         !std::memcmp(a.sum, b.sum, sizeof a.sum);
}

TEST(FastCurves, SameBitsAsPointByPoint) {
  std::mt19937 rng(20240611);
  auto fast = std::make_unique<channel_curves_t>();
  auto direct = std::make_unique<channel_curves_t>();
  const auto hz = [&](unsigned top) { return static_cast<uint16_t>(35 + rng() % (top - 34)); };
  for (int n = 0; n < 200; ++n) {
    channel_t c = preset_def.channel[0];
    for (xo_t& xo : c.xo) {
      xo.config = rng() % 3;
      xo.freq[0] = hz(8000);
      xo.freq[1] = hz(8000);
    }
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

}  // namespace
