// Frequency-response plots and axis strips, rendered at the widgets' sizes
// and read back at the documented coordinates.
#include <gtest/gtest.h>

#include <vector>

#include "draw_test_util.h"
#include "response/plot_draw.h"

namespace {

// Blue of the background at pixel row y: a gradient from row 0 to row 210,
// black at 0.1, blue at 0.5, black at 0.9.
int bg_blue(int y) {
  const double t = (y + 0.5) / 210.0;
  return to255(t <= 0.1 || t >= 0.9 ? 0 : t <= 0.5 ? (t - 0.1) / 0.4 : (0.9 - t) / 0.4);
}
bool is_background(Pixel p, int y) {
  return near(p, 0, 0, bg_blue(y));
}
// Half-transparent white grid over the background.
bool is_grid(Pixel p, int y) {
  return near(p, 128, 128, to255(0.5 + 0.5 * bg_blue(y) / 255.0));
}
bool is_orange(Pixel p) {
  return p.r > 200 && p.g > 150 && p.g < 205 && p.b < 60;
}
bool is_yellow(Pixel p) {
  return near(p, 255, 255, 0);
}

// Crossover view with the curve far below the plot and the handle at 600.
struct XoFixture {
  std::vector<double> hp = std::vector<double>(XO_TABLE_SIZE, -20.0);
  std::vector<double> lp = std::vector<double>(XO_TABLE_SIZE, 0.0);
  XoPlotView view() {
    XoPlotView v;
    v.hp = hp.data();
    v.lp = lp.data();
    v.hp_column = 600;
    return v;
  }
};

TEST(PlotGround, BackgroundZeroDbLineFrameAndGrid) {
  XoFixture f;
  Canvas c(PLOT_WIDTH, PLOT_HEIGHT);
  draw_xo_plot(c.cr(), f.view());
  ASSERT_EQ(c.status(), CAIRO_STATUS_SUCCESS);

  for (int y : {10, 30, 60, 90, 140, 180, 200}) EXPECT_TRUE(is_background(c.at(400, y), y)) << y;
  // The 0 dB line, 2 wide on row 102.0, covers rows 101 and 102.
  for (int x : {5, 400, 805}) {
    EXPECT_TRUE(near(c.at(x, 101), 255, 255, 255)) << x;
    EXPECT_TRUE(near(c.at(x, 102), 255, 255, 255)) << x;
    EXPECT_TRUE(is_background(c.at(x, 100), 100)) << x;
    EXPECT_TRUE(is_background(c.at(x, 103), 103)) << x;
  }
  for (auto [x, y] : {std::pair{0, 50}, {811, 50}, {400, 0}, {400, 204}})
    EXPECT_TRUE(near(c.at(x, y), 255, 255, 255)) << "frame " << x << ", " << y;

  // Grid lines half a pixel wide without antialiasing: one pixel column or
  // row, neighbours untouched.
  for (int x : {23,  53,  79,  100, 118, 134, 148, 243, 298, 337, 368, 393, 414,
                433, 449, 464, 558, 614, 654, 684, 709, 730, 749, 765, 779, 792}) {
    EXPECT_TRUE(is_grid(c.at(x, 50), 50)) << "column " << x << " " << c.at(x, 50);
    EXPECT_TRUE(is_background(c.at(x - 1, 50), 50) && is_background(c.at(x + 1, 50), 50)) << x;
  }
  for (int y : {36, 68, 132, 165}) {
    EXPECT_TRUE(is_grid(c.at(400, y), y)) << "row " << y << " " << c.at(400, y);
    EXPECT_TRUE(is_background(c.at(400, y - 1), y - 1) && is_background(c.at(400, y + 1), y + 1));
  }
  // Dashes 4 on, 1 off, starting 1 into the pattern at row 0.5: the gaps
  // fall on rows 3, 8, 13, ...
  for (int y = 10; y < 30; ++y)
    EXPECT_EQ(is_background(c.at(464, y), y), y % 5 == 3) << "row " << y;
}

TEST(XoPlot, CurveAddsTheLowPassOnlyWhenItIsOn) {
  XoFixture f;
  // Only every fourth entry is computed; the others must not be drawn.
  for (int i = 0; i < XO_TABLE_SIZE; ++i) f.hp[i] = f.lp[i] = i % 4 == 0 ? -3.0 : 50.0;
  XoPlotView v = f.view();
  v.lp_column = 700;
  for (uint8_t lp_config : {1, 0}) {
    v.lp_config = lp_config;
    Canvas c(PLOT_WIDTH, PLOT_HEIGHT);
    draw_xo_plot(c.cr(), v);
    const int row = lp_config ? 150 : 126;  // -6 dB or -3 dB; the 3-wide line covers row-1, row
    EXPECT_TRUE(is_yellow(c.at(401, row - 1)) && is_yellow(c.at(401, row))) << int(lp_config);
    EXPECT_FALSE(is_yellow(c.at(401, lp_config ? 126 : 150))) << int(lp_config);
  }
}

struct XoHandleCase {
  uint8_t hp_config, lp_config;
  int16_t hp_column, lp_column;
  double hp_x, hp_y, lp_x, lp_y;  // expected centres; lp_x < 0: no low-pass handle
};

class XoHandles : public ::testing::TestWithParam<XoHandleCase> {};

TEST_P(XoHandles, FixedRowsByTypeAndLimitedColumns) {
  const XoHandleCase& k = GetParam();
  XoFixture f;
  XoPlotView v = f.view();
  v.hp_config = k.hp_config, v.lp_config = k.lp_config;
  v.hp_column = k.hp_column, v.lp_column = k.lp_column;
  Canvas c(PLOT_WIDTH, PLOT_HEIGHT);
  draw_xo_plot(c.cr(), v);

  double x, y;
  ASSERT_TRUE(c.centroid(int(k.hp_x) - 12, int(k.hp_y) - 12, int(k.hp_x) + 12, int(k.hp_y) + 12,
                         is_orange, x, y));
  EXPECT_NEAR(x, k.hp_x, 1.5);
  EXPECT_NEAR(y, k.hp_y, 1.5);
  if (k.lp_x < 0) {
    EXPECT_FALSE(c.centroid(k.lp_column - 12, 80, k.lp_column + 12, 160, is_orange, x, y));
    return;
  }
  ASSERT_TRUE(c.centroid(int(k.lp_x) - 12, int(k.lp_y) - 12, int(k.lp_x) + 12, int(k.lp_y) + 12,
                         is_orange, x, y));
  EXPECT_NEAR(x, k.lp_x, 1.5);
  EXPECT_NEAR(y, k.lp_y, 1.5);
}

INSTANTIATE_TEST_SUITE_P(Types, XoHandles,
                         ::testing::Values(XoHandleCase{1, 0, 2, 500, 6, 127, -1, -1},
                                           XoHandleCase{0, 2, 300, 900, 300, 90, 750, 151},
                                           XoHandleCase{2, 1, 400, 751, 400, 151, 750, 127}));

TEST(EqPlot, SumCurveAndHandlesOfTheBandsThatAreOn) {
  std::vector<double> sum(EQ_TABLE_SIZE, 3.0);
  EqPlotView v;
  v.sum = sum.data();
  const bool on[6] = {true, false, true, false, false, true};
  const int16_t cols[6] = {2, 200, 400, 0, 0, 900};
  const int16_t rows[6] = {60, 150, 250, 0, 0, 120};
  for (int b = 0; b < 6; ++b) v.band_on[b] = on[b], v.column[b] = cols[b], v.row[b] = rows[b];
  Canvas c(PLOT_WIDTH, PLOT_HEIGHT);
  draw_eq_plot(c.cr(), v);

  EXPECT_TRUE(is_yellow(c.at(300, 77)) && is_yellow(c.at(300, 78)));  // +3 dB is row 78
  // Handles half a column right of the stored column, limited to columns
  // 6..805 and rows 5..198; none for a band that is off.
  const double expected[3][2] = {{6.5, 60}, {400.5, 198}, {805.5, 120}};
  for (const auto& e : expected) {
    double x, y;
    ASSERT_TRUE(
        c.centroid(int(e[0]) - 12, int(e[1]) - 12, int(e[0]) + 12, int(e[1]) + 12, is_orange, x, y))
        << e[0];
    EXPECT_NEAR(x, e[0], 1.5);
    EXPECT_NEAR(y, e[1], 1.5);
  }
  double x, y;
  EXPECT_FALSE(c.centroid(188, 138, 212, 162, is_orange, x, y));

  // All bands off: a flat curve on the 0 dB line and no handle at all.
  sum.assign(EQ_TABLE_SIZE, 0.0);
  for (bool& b : v.band_on) b = false;
  Canvas flat(PLOT_WIDTH, PLOT_HEIGHT);
  draw_eq_plot(flat.cr(), v);
  EXPECT_FALSE(flat.centroid(0, 0, PLOT_WIDTH, PLOT_HEIGHT, is_orange, x, y));
  EXPECT_TRUE(is_yellow(flat.at(650, 101)) && is_yellow(flat.at(650, 102)));
}

bool ink(Pixel p) {
  return p.a > 100;
}

TEST(AxisStrips, LabelsAtTheirBaselines) {
  Canvas f(FREQ_AXIS_WIDTH, FREQ_AXIS_HEIGHT);
  draw_axis_strip(f.cr(), AxisStrip::frequency);
  const auto column_has_ink = [&](int x) {
    for (int y = 0; y < 10; ++y)
      if (ink(f.at(x, y))) return true;
    return false;
  };
  int leftmost = 0;
  while (leftmost < FREQ_AXIS_WIDTH && !column_has_ink(leftmost)) ++leftmost;
  EXPECT_TRUE(leftmost >= 58 && leftmost <= 60) << leftmost;  // "50Hz" at 58.5
  for (int x : {150, 246, 302, 371, 469, 563, 619, 691, 782})
    EXPECT_TRUE(column_has_ink(x + 1) || column_has_ink(x + 2)) << "label at " << x;
  for (int x = 0; x < FREQ_AXIS_WIDTH; ++x)
    for (int y = 10; y < FREQ_AXIS_HEIGHT; ++y) ASSERT_FALSE(ink(f.at(x, y))) << x << ", " << y;

  Canvas l(LEVEL_AXIS_WIDTH, LEVEL_AXIS_HEIGHT);
  draw_axis_strip(l.cr(), AxisStrip::level);
  // Ink only in the rows of "+12dB" (baseline 10), "0dB" (105, from column
  // 12) and "-12dB" (200).
  int found[3] = {0, 0, 0};
  for (int y = 0; y < LEVEL_AXIS_HEIGHT; ++y) {
    const int label = y < 10 ? 0 : (y >= 96 && y < 105) ? 1 : (y >= 190 && y < 200) ? 2 : -1;
    for (int x = 0; x < LEVEL_AXIS_WIDTH; ++x)
      if (ink(l.at(x, y))) {
        ASSERT_NE(label, -1) << x << ", " << y;
        if (label == 1) {
          ASSERT_GE(x, 12) << y;
        }
        ++found[label];
      }
  }
  EXPECT_TRUE(found[0] && found[1] && found[2]);
}

}  // namespace
