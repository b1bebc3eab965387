// Filter magnitude curves and the plot's pixel mapping, checked against the
// dB figures and pixel positions the filter documentation gives, and the
// grid curves against the point-by-point evaluation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <type_traits>

#include "response/calc_filters.h"
#include "response/calc_filters_reference.h"

namespace {

// ---- Pixel mapping ----------------------------------------------------------

TEST(PlotGrid, ColumnFrequencies) {
  EXPECT_NEAR(column_to_freq(0), 33.88, 0.005);
  EXPECT_NEAR(column_to_freq(464), 996.8, 0.05);
  EXPECT_NEAR(column_to_freq(811), 12500.7, 0.05);
  EXPECT_NEAR(column_to_freq(812), 12592.1, 0.05);
  // 315.94 columns per decade.
  EXPECT_NEAR(column_to_freq(148 + 316) / column_to_freq(148), 10.0, 0.01);
}

TEST(PlotGrid, ColumnOfFrequency) {
  const struct {
    double hz;
    int column;
  } cases[] = {{35, 4}, {100, 148}, {120, 173}, {1000, 464}, {8000, 749}, {12000, 805}};
  for (const auto& c : cases) EXPECT_EQ(freq_to_column(c.hz), c.column) << c.hz << " Hz";
  // Below the grid's first frequency the column is negative, truncated
  // toward zero (-3.6 -> -3).
  EXPECT_EQ(freq_to_column(33.0), -3);
  // Whatever a pointer at column 811 asks for lies at column 811 or just left
  // of it.
  EXPECT_GE(freq_to_column(column_to_freq(811)), 810);
}

TEST(PlotGrid, RowOfLevelAndBack) {
  const struct {
    double db;
    int row;
  } cases[] = {{0.0, 102},  {3.0, 78},    {12.0, 6}, {-12.0, 198}, {6.5, 50},
               {0.05, 101}, {-0.05, 102}, {12.9, -1}};  // truncated toward zero, not down
  for (const auto& c : cases) EXPECT_EQ(gain_to_row(c.db), c.row) << c.db << " dB";
  EXPECT_DOUBLE_EQ(row_to_gain(50), 6.5);
  EXPECT_DOUBLE_EQ(row_to_gain(0), 12.75);
  EXPECT_DOUBLE_EQ(row_to_gain(102), 0.0);
  EXPECT_DOUBLE_EQ(row_to_gain(198), -12.0);
}

// ---- Responses at the documented points -------------------------------------

TEST(FilterResponse, CrossoverAtItsOwnFrequency) {
  for (unsigned fg : {35u, 120u, 1000u, 8000u}) {
    SCOPED_TRACE(fg);
    EXPECT_NEAR(hp_response_db(fg, fg, 7, 0), -3.10, 0.005);   // Butterworth 2.
    EXPECT_NEAR(hp_response_db(fg, fg, 7, 1), -6.20, 0.005);   // Linkwitz-Riley 4.
    EXPECT_NEAR(hp_response_db(fg, fg, 12, 0), +1.58, 0.005);  // Q 1.2
    EXPECT_NEAR(lp_response_db(fg, fg, 7, 0), -3.10, 0.005);
    EXPECT_NEAR(lp_response_db(fg, fg, 7, 1), -6.20, 0.005);
  }
}

TEST(FilterResponse, CrossoverSlopes) {
  EXPECT_NEAR(lp_response_db(10000, 1000, 7, 0), -39.27, 0.005);
  // Far inside the pass band both are flat; far outside they fall.
  EXPECT_NEAR(hp_response_db(10000, 100, 7, 0), 0.0, 0.1);
  EXPECT_NEAR(lp_response_db(40, 5000, 7, 0), 0.0, 0.01);
  EXPECT_LT(hp_response_db(40, 1000, 7, 0), -50.0);
  // Two sections in series: twice the decibels of one.
  EXPECT_NEAR(hp_response_db(300, 1000, 7, 1), 2 * hp_response_db(300, 1000, 7, 0), 1e-9);
}

TEST(FilterResponse, PeakingBandGain) {
  EXPECT_NEAR(peq_response_db(1000, 1000, 7, 120), 12.0, 1e-9);
  const struct {
    unsigned fg, q;
    int gain;
  } bands[] = {{35, 7, -120}, {250, 40, 35}, {4000, 125, -77}, {12000, 7, 120}};
  for (const auto& b : bands) {
    SCOPED_TRACE(b.fg);
    EXPECT_NEAR(peq_response_db(b.fg, b.fg, b.q, b.gain), b.gain / 10.0, 1e-9);
    // Away from the band the response returns toward 0 dB.
    EXPECT_LT(std::fabs(peq_response_db(b.fg * 8.0, b.fg, b.q, b.gain)),
              std::fabs(b.gain / 10.0) / 2);
  }
}

TEST(FilterResponse, ZeroGainBandIsExactlyFlat) {
  std::mt19937 rng(7);
  static eq_table_t t;
  for (int n = 0; n < 200; ++n) {
    const unsigned fg = 35 + rng() % 11966;
    const unsigned q = 7 + rng() % 119;
    std::fill(std::begin(t), std::end(t), 99.0);
    peq_curve(t, fg, q, 0);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i)
      ASSERT_EQ(t[i], 0.0) << fg << " Hz, q " << q << ", point " << i;
  }
}

TEST(FilterResponse, Shelves) {
  // Low shelf at 100 Hz, +6.0 dB.
  EXPECT_NEAR(lowshelf_response_db(column_to_freq(0), 100, 60), 5.65, 0.005);
  EXPECT_NEAR(lowshelf_response_db(100, 100, 60), 3.96, 0.005);
  EXPECT_NEAR(lowshelf_response_db(column_to_freq(811), 100, 60), 0.0, 0.01);
  EXPECT_NEAR(lowshelf_response_db(0, 100, 60), 6.0, 1e-9);
  EXPECT_NEAR(lowshelf_response_db(48000, 100, 60), 0.0, 1e-9);
  // High shelf at 5000 Hz, +6.0 dB: the mirror image.
  EXPECT_NEAR(highshelf_response_db(5000, 5000, 60), 3.96, 0.005);
  EXPECT_NEAR(highshelf_response_db(column_to_freq(0), 5000, 60), 0.0, 0.01);
  EXPECT_GT(highshelf_response_db(column_to_freq(811), 5000, 60), 5.5);
  EXPECT_NEAR(highshelf_response_db(0, 5000, 60), 0.0, 1e-9);
  EXPECT_NEAR(highshelf_response_db(48000, 5000, 60), 6.0, 1e-9);
  // Cuts: V at 0 Hz (low shelf) or at half the sample rate (high shelf).
  EXPECT_NEAR(lowshelf_response_db(0, 100, -60), -6.0, 1e-9);
  EXPECT_NEAR(lowshelf_response_db(48000, 100, -60), 0.0, 1e-9);
  EXPECT_NEAR(highshelf_response_db(0, 5000, -90), 0.0, 1e-9);
  EXPECT_NEAR(highshelf_response_db(48000, 5000, -90), -9.0, 1e-9);
}

// ---- Tables -----------------------------------------------------------------

TEST(CurveTables, Sizes) {
  EXPECT_EQ((std::extent<decltype(pnt_to_pix_hp), 0>::value), 4u);
  EXPECT_EQ((std::extent<decltype(pnt_to_pix_hp), 1>::value), 813u);
  EXPECT_EQ((std::extent<decltype(pnt_to_pix_lp), 1>::value), 813u);
  EXPECT_EQ(sizeof pnt_to_pix_hp, 4 * 813 * sizeof(double));
  EXPECT_EQ(sizeof pnt_to_pix_lp, 4 * 813 * sizeof(double));
  for (size_t bytes :
       {sizeof pnt_to_pix_eq1, sizeof pnt_to_pix_eq2, sizeof pnt_to_pix_eq3, sizeof pnt_to_pix_eq4,
        sizeof pnt_to_pix_eq5, sizeof pnt_to_pix_eq6, sizeof pnt_to_pix_eq_sum,
        sizeof pnt_to_pix_eq_lowshelf, sizeof pnt_to_pix_eq_highshelf})
    EXPECT_EQ(bytes, 4 * 812 * sizeof(double));
}

constexpr double UNTOUCHED = -777.0;

template <size_t N>
void fill_rows(double (&t)[4][N]) {
  for (auto& row : t) std::fill(std::begin(row), std::end(row), UNTOUCHED);
}

TEST(CurveTables, CrossoverWritesEveryFourthIndexOfItsChannel) {
  preset = preset_t{};
  preset.channel[2].xo[0] = {1, {200, 999}, {7, 12}};
  preset.channel[2].xo[1] = {1, {3000, 999}, {7, 12}};
  fill_rows(pnt_to_pix_hp);
  fill_rows(pnt_to_pix_lp);
  Calc_HighPass(2, 0);
  Calc_LowPass(2, 0);
  int written = 0;
  for (int ch = 0; ch < 4; ++ch)
    for (int i = 0; i < XO_TABLE_SIZE; ++i) {
      const bool computed = ch == 2 && i % 4 == 0;
      written += computed;
      EXPECT_EQ(pnt_to_pix_hp[ch][i] != UNTOUCHED, computed) << ch << "/" << i;
      EXPECT_EQ(pnt_to_pix_lp[ch][i] != UNTOUCHED, computed) << ch << "/" << i;
      if (computed) {
        EXPECT_EQ(pnt_to_pix_hp[ch][i], hp_response_db(column_to_freq(i), 200, 7, 0));
        EXPECT_EQ(pnt_to_pix_lp[ch][i], lp_response_db(column_to_freq(i), 3000, 7, 0));
      }
    }
  EXPECT_EQ(written, 204);
  EXPECT_NE(pnt_to_pix_hp[2][812], UNTOUCHED);  // the extra last entry
}

TEST(CurveTables, CrossoverReadsSlotOneForLinkwitzRiley) {
  preset = preset_t{};
  xo_t& hp = preset.channel[0].xo[0];
  xo_t& lp = preset.channel[0].xo[1];
  hp = {0, {100, 400}, {12, 7}};
  lp = {2, {2000, 5000}, {12, 7}};
  Calc_HighPass(0, 0);
  Calc_LowPass(0, 1);
  const int i = 148;  // 100 Hz lies on column 148
  EXPECT_EQ(pnt_to_pix_hp[0][i], hp_response_db(column_to_freq(i), 100, 12, 0));
  EXPECT_EQ(pnt_to_pix_lp[0][i], lp_response_db(column_to_freq(i), 5000, 7, 1));
  hp.config = 2;
  lp.config = 1;
  Calc_HighPass(0, 1);
  Calc_LowPass(0, 0);
  EXPECT_EQ(pnt_to_pix_hp[0][i], hp_response_db(column_to_freq(i), 400, 7, 1));
  EXPECT_EQ(pnt_to_pix_lp[0][i], lp_response_db(column_to_freq(i), 2000, 12, 0));
}

TEST(CurveTables, EqCurvesWriteAllColumnsOfTheirOwnTable) {
  preset = preset_t{};
  channel_t& c = preset.channel[1];
  c.peq[3] = {1000, 14, 50, 0};
  c.peq[0] = {80, 7, 40, 1};
  c.peq[5] = {8000, 7, -30, 1};
  double(*const eq[6])[EQ_TABLE_SIZE] = {pnt_to_pix_eq1, pnt_to_pix_eq2, pnt_to_pix_eq3,
                                         pnt_to_pix_eq4, pnt_to_pix_eq5, pnt_to_pix_eq6};
  fill_rows(pnt_to_pix_eq1);
  fill_rows(pnt_to_pix_eq2);
  fill_rows(pnt_to_pix_eq3);
  fill_rows(pnt_to_pix_eq4);
  fill_rows(pnt_to_pix_eq5);
  fill_rows(pnt_to_pix_eq6);
  fill_rows(pnt_to_pix_eq_lowshelf);
  fill_rows(pnt_to_pix_eq_highshelf);
  Calc_Peq(1, 3);
  Calc_LowShelf(1);
  Calc_HighShelf(1);
  for (int ch = 0; ch < 4; ++ch)
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
      for (int b = 0; b < 6; ++b)
        ASSERT_EQ(eq[b][ch][i] != UNTOUCHED, ch == 1 && b == 3) << ch << "/" << b << "/" << i;
      ASSERT_EQ(pnt_to_pix_eq_lowshelf[ch][i] != UNTOUCHED, ch == 1);
      ASSERT_EQ(pnt_to_pix_eq_highshelf[ch][i] != UNTOUCHED, ch == 1);
    }
  EXPECT_EQ(pnt_to_pix_eq4[1][464], peq_response_db(column_to_freq(464), 1000, 14, 50));
  EXPECT_EQ(pnt_to_pix_eq_lowshelf[1][0], lowshelf_response_db(column_to_freq(0), 80, 40));
  EXPECT_EQ(pnt_to_pix_eq_highshelf[1][811], highshelf_response_db(column_to_freq(811), 8000, -30));
  EXPECT_EQ(peq_table(1, 3), pnt_to_pix_eq4[1]);
  EXPECT_EQ(peq_table(4, 0), nullptr);
}

// ---- The sum and the shelf substitution -------------------------------------

class EqSum : public ::testing::Test {
 protected:
  void SetUp() override {
    preset = preset_t{};
    for (int b = 0; b < 6; ++b) preset.channel[ch].peq[b] = {freqs[b], 10, 0, 0};
    preset.channel[ch].peq[0].gain = 50;   // band 1 peaking, +5 dB at 60 Hz
    preset.channel[ch].peq[2].gain = -40;  // band 3 peaking, -4 dB at 700 Hz
    preset.channel[ch].peq[5].gain = 30;   // band 6 peaking, +3 dB at 9 kHz
    recompute_all();
  }

  // What the editor does after a type, frequency or gain change.
  void recompute_all() {
    const channel_t& c = preset.channel[ch];
    if (c.peq[0].type == 1) Calc_LowShelf(ch);
    if (c.peq[5].type == 1) Calc_HighShelf(ch);
    for (uint16_t b = 0; b < 6; ++b) Calc_Peq(ch, b);
  }

  // Expected sum at column i from the single-frequency responses: the bands
  // in series, shelves where the bands are shelves.
  double expected(int i) const {
    const channel_t& c = preset.channel[ch];
    const double f = column_to_freq(i);
    double db = 0;
    for (int b = 0; b < 6; ++b) {
      const peq_t& p = c.peq[b];
      if (b == 0 && p.type == 1)
        db += lowshelf_response_db(f, p.freq, p.gain);
      else if (b == 5 && p.type == 1)
        db += highshelf_response_db(f, p.freq, p.gain);
      else
        db += peq_response_db(f, p.freq, p.q, p.gain);
    }
    return db;
  }

  void expect_sum_matches() const {
    for (int i = 0; i < EQ_TABLE_SIZE; ++i)
      ASSERT_NEAR(pnt_to_pix_eq_sum[ch][i], expected(i), 1e-9) << "column " << i;
  }

  static constexpr uint16_t ch = 3;
  const uint16_t freqs[6] = {60, 200, 700, 1500, 4000, 9000};
};

TEST_F(EqSum, ShelfStates) {
  channel_t c = preset.channel[ch];
  EXPECT_EQ(shelf_state(c), 0);
  c.peq[0].type = 1;
  EXPECT_EQ(shelf_state(c), 1);
  c.peq[5].type = 1;
  EXPECT_EQ(shelf_state(c), 3);
  c.peq[0].type = 0;
  EXPECT_EQ(shelf_state(c), 2);
}

TEST_F(EqSum, PeakingBandsInSeries) {
  expect_sum_matches();
  EXPECT_NEAR(pnt_to_pix_eq_sum[ch][freq_to_column(60)], 5.0, 0.3);
}

TEST_F(EqSum, AllBandsOffIsFlat) {
  for (int b = 0; b < 6; ++b) preset.channel[ch].peq[b].gain = 0;
  recompute_all();
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) ASSERT_EQ(pnt_to_pix_eq_sum[ch][i], 0.0) << i;
}

TEST_F(EqSum, ShelvesReplaceTheirBandsPeakingCurves) {
  eq_table_t band1_before, band6_before;
  std::memcpy(band1_before, pnt_to_pix_eq1[ch], sizeof band1_before);
  std::memcpy(band6_before, pnt_to_pix_eq6[ch], sizeof band6_before);
  peq_t& low = preset.channel[ch].peq[0];
  peq_t& high = preset.channel[ch].peq[5];

  low.type = 1;  // s = 1
  low.gain = 60;
  recompute_all();
  expect_sum_matches();
  // The band-0 peaking table keeps its last curve while the band is a shelf.
  EXPECT_EQ(std::memcmp(band1_before, pnt_to_pix_eq1[ch], sizeof band1_before), 0);

  high.type = 1;  // s = 3
  recompute_all();
  expect_sum_matches();
  EXPECT_EQ(std::memcmp(band6_before, pnt_to_pix_eq6[ch], sizeof band6_before), 0);

  low.type = 0;  // s = 2: band 0 is a peaking band again, now +6 dB
  recompute_all();
  expect_sum_matches();
  EXPECT_NE(std::memcmp(band1_before, pnt_to_pix_eq1[ch], sizeof band1_before), 0);
}

TEST_F(EqSum, SumTakesWhateverTheShelfTableHolds) {
  // Calc_Peq does not recompute a shelf; the caller does that first.
  peq_t& low = preset.channel[ch].peq[0];
  low.type = 1;
  Calc_LowShelf(ch);
  Calc_Peq(ch, 2);
  const double with_shelf = pnt_to_pix_eq_sum[ch][0];
  low.gain = -100;  // changed, but the shelf table is not recomputed
  Calc_Peq(ch, 2);
  EXPECT_EQ(pnt_to_pix_eq_sum[ch][0], with_shelf);
  Calc_LowShelf(ch);
  Calc_Peq(ch, 2);
  EXPECT_NEAR(pnt_to_pix_eq_sum[ch][0], expected(0), 1e-9);
}

// ---- One channel as the editor shows it -----------------------------------------

TEST(ChannelCurves, AsTheEditorComputesThem) {
  auto out = std::make_unique<channel_curves_t>();
  channel_t c = preset_def.channel[0];
  c.xo[0] = {0, {120, 120}, {7, 7}};  // "Q 1.2" with a stale Q in slot 0
  c.peq[1] = {500, 20, 60, 0};
  c.peq[5] = {6000, 7, 40, 1};
  channel_curves(c, *out);
  // The high-pass uses the Q its type fixes; the low-pass is off.
  EXPECT_EQ(out->hp[172], hp_response_db(column_to_freq(172), 120, 12, 0));
  EXPECT_FALSE(out->lp_on);
  for (int i = 0; i < XO_TABLE_SIZE; ++i) {
    ASSERT_EQ(out->lp[i], 0.0);
    ASSERT_EQ(out->xo[i], out->hp[i]);
    if (i % 4 != 0) {
      ASSERT_EQ(out->hp[i], 0.0);
    }
  }
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
    ASSERT_EQ(out->eq[5][i], 0.0);  // a shelf band has no peaking curve
    ASSERT_EQ(out->lowshelf[i], 0.0);
    ASSERT_NEAR(out->sum[i], out->eq[1][i] + out->highshelf[i], 1e-12);
  }
  EXPECT_NEAR(out->sum[freq_to_column(500)], 6.0, 0.1);

  c.xo[1] = {2, {1000, 2000}, {7, 7}};
  channel_curves(c, *out);
  EXPECT_TRUE(out->lp_on);
  EXPECT_EQ(out->lp[560], lp_response_db(column_to_freq(560), 2000, 7, 1));
  EXPECT_EQ(out->xo[560], out->hp[560] + out->lp[560]);
  EXPECT_EQ(out->xo[561], 0.0);
}

// ---- Grid curves against the point-by-point evaluation -------------------------

TEST(FastCurves, SameBitsAsPointByPoint) {
  std::mt19937 rng(20240611);
  auto fast = std::make_unique<channel_curves_t>();
  auto direct = std::make_unique<channel_curves_t>();
  for (int n = 0; n < 300; ++n) {
    unsigned eq_f = 35 + rng() % 11966, xo_f = 35 + rng() % 7966;
    unsigned q = 7 + rng() % 119;
    int gain = static_cast<int>(rng() % 241) - 120;
    int order = n % 2;
    SCOPED_TRACE(::testing::Message() << eq_f << " " << xo_f << " " << q << " " << gain);

    std::memset(fast.get(), 0, sizeof *fast);
    std::memset(direct.get(), 0, sizeof *direct);
    hp_curve(fast->hp, xo_f, q, order);
    reference_hp_curve(direct->hp, xo_f, q, order);
    lp_curve(fast->lp, xo_f, q, order);
    reference_lp_curve(direct->lp, xo_f, q, order);
    peq_curve(fast->eq[0], eq_f, q, gain);
    reference_peq_curve(direct->eq[0], eq_f, q, gain);
    lowshelf_curve(fast->lowshelf, eq_f, gain);
    reference_lowshelf_curve(direct->lowshelf, eq_f, gain);
    highshelf_curve(fast->highshelf, eq_f, gain);
    reference_highshelf_curve(direct->highshelf, eq_f, gain);
    ASSERT_EQ(std::memcmp(fast.get(), direct.get(), sizeof *fast), 0);
  }
}

TEST(FastCurves, WholeChannelSameAsPointByPoint) {
  std::mt19937 rng(99);
  auto fast = std::make_unique<channel_curves_t>();
  auto direct = std::make_unique<channel_curves_t>();
  for (int n = 0; n < 40; ++n) {
    channel_t c = preset_def.channel[0];
    for (xo_t& xo : c.xo) {
      xo.config = rng() % 3;
      xo.freq[0] = 35 + rng() % 7966;
      xo.freq[1] = 35 + rng() % 7966;
      xo.q[0] = xo.q[1] = rng() % 2 ? 7 : 12;
    }
    for (int b = 0; b < 6; ++b)
      c.peq[b] = {static_cast<uint16_t>(35 + rng() % 11966), static_cast<uint8_t>(7 + rng() % 119),
                  static_cast<int8_t>(static_cast<int>(rng() % 241) - 120),
                  static_cast<uint8_t>((b == 0 || b == 5) ? rng() % 2 : 0)};
    channel_curves(c, *fast);
    reference_channel_curves(c, *direct);
    ASSERT_EQ(std::memcmp(fast->hp, direct->hp, sizeof fast->hp), 0) << n;
    ASSERT_EQ(std::memcmp(fast->lp, direct->lp, sizeof fast->lp), 0) << n;
    ASSERT_EQ(std::memcmp(fast->xo, direct->xo, sizeof fast->xo), 0) << n;
    ASSERT_EQ(std::memcmp(fast->eq, direct->eq, sizeof fast->eq), 0) << n;
    ASSERT_EQ(std::memcmp(fast->sum, direct->sum, sizeof fast->sum), 0) << n;
  }
}

}  // namespace
