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
bool is_background(const Canvas& c, int x, int y) {
  return near(c.at(x, y), 0, 0, bg_blue(y));
}
// Half-transparent white grid over the background.
bool is_grid(const Canvas& c, int x, int y) {
  return near(c.at(x, y), 128, 128, to255(0.5 + 0.5 * bg_blue(y) / 255.0));
}
bool is_orange(Pixel p) {
  return p.r > 200 && p.g > 150 && p.g < 205 && p.b < 60;
}
bool is_yellow(const Canvas& c, int x, int y) {
  return near(c.at(x, y), 255, 255, 0);
}
// A handle centred at (x, y), within 1.5 pixels.
::testing::AssertionResult handle_at(const Canvas& c, double x, double y) {
  double cx, cy;
  if (!c.centroid(int(x) - 12, int(y) - 12, int(x) + 12, int(y) + 12, is_orange, cx, cy))
    return ::testing::AssertionFailure() << "no handle near " << x << ", " << y;
  if (std::abs(cx - x) > 1.5 || std::abs(cy - y) > 1.5)
    return ::testing::AssertionFailure() << "handle at " << cx << ", " << cy;
  return ::testing::AssertionSuccess();
}

// Crossover tables with the curve far below the plot.
const std::vector<double> hp(XO_TABLE_SIZE, -20.0), lp(XO_TABLE_SIZE, 0.0);
XoPlotView xo_view(uint8_t hp_config = 1, uint8_t lp_config = 0, int16_t hp_column = 600,
                   int16_t lp_column = 0) {
  return {hp.data(), lp.data(), hp_config, lp_config, hp_column, lp_column};
}
std::unique_ptr<Canvas> xo_plot(const XoPlotView& v) {
  return render(draw_xo_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
}

TEST(PlotGround, BackgroundZeroDbLineFrameAndGrid) {
  const auto c = xo_plot(xo_view());
  ASSERT_EQ(c->status(), CAIRO_STATUS_SUCCESS);
  for (int y : {10, 60, 140, 200}) EXPECT_TRUE(is_background(*c, 400, y)) << y;
  // The 0 dB line, 2 wide on row 102.0, covers rows 101 and 102.
  for (int x : {5, 805}) {
    EXPECT_TRUE(near(c->at(x, 101), 255, 255, 255) && near(c->at(x, 102), 255, 255, 255)) << x;
    EXPECT_TRUE(is_background(*c, x, 100) && is_background(*c, x, 103)) << x;
  }
  for (auto [x, y] : {std::pair{0, 50}, {811, 50}, {400, 0}, {400, 204}})
    EXPECT_TRUE(near(c->at(x, y), 255, 255, 255)) << "frame " << x << ", " << y;
  // Grid lines half a pixel wide without antialiasing: one pixel column or
  // row, neighbours untouched.
  for (int x : {23, 148, 464, 749, 792}) {
    EXPECT_TRUE(is_grid(*c, x, 50)) << "column " << x << " " << c->at(x, 50);
    EXPECT_TRUE(is_background(*c, x - 1, 50) && is_background(*c, x + 1, 50)) << x;
  }
  for (int y : {36, 165}) {
    EXPECT_TRUE(is_grid(*c, 400, y)) << "row " << y << " " << c->at(400, y);
    EXPECT_TRUE(is_background(*c, 400, y - 1) && is_background(*c, 400, y + 1));
  }
  // Dashes 4 on, 1 off, starting 1 into the pattern at row 0.5: the gaps
  // fall on rows 3, 8, 13, ...
  for (int y = 10; y < 30; ++y) EXPECT_EQ(is_background(*c, 464, y), y % 5 == 3) << "row " << y;
}

TEST(XoPlot, CurveAddsTheLowPassOnlyWhenItIsOn) {
  // Only every fourth entry is computed; the others must not be drawn.
  std::vector<double> steps(XO_TABLE_SIZE);
  for (int i = 0; i < XO_TABLE_SIZE; ++i) steps[i] = i % 4 == 0 ? -3.0 : 50.0;
  for (uint8_t lp_config : {1, 0}) {
    XoPlotView v = xo_view(1, lp_config, 600, 700);
    v.hp = v.lp = steps.data();
    const auto c = xo_plot(v);
    const int row = lp_config ? 150 : 126;  // -6 dB or -3 dB; the 3-wide line covers row-1, row
    EXPECT_TRUE(is_yellow(*c, 401, row - 1) && is_yellow(*c, 401, row)) << int(lp_config);
    EXPECT_FALSE(is_yellow(*c, 401, lp_config ? 126 : 150)) << int(lp_config);
  }
}

TEST(XoPlot, HandlesAtFixedRowsByTypeAndLimitedColumns) {
  // Rows: "Q 1.2" 90, Butterworth 127, Linkwitz-Riley 151; columns 6..750.
  const struct {
    uint8_t hp_config, lp_config;
    int16_t hp_column, lp_column;
    double hp_x, hp_y, lp_x, lp_y;
  } cases[] = {{1, 0, 2, 500, 6, 127, -1, -1},  // low-pass off: no handle
               {0, 2, 300, 900, 300, 90, 750, 151},
               {2, 1, 400, 751, 400, 151, 750, 127}};
  for (const auto& k : cases) {
    const auto c = xo_plot(xo_view(k.hp_config, k.lp_config, k.hp_column, k.lp_column));
    EXPECT_TRUE(handle_at(*c, k.hp_x, k.hp_y)) << int(k.hp_config);
    double x, y;
    if (k.lp_x < 0)
      EXPECT_FALSE(c->centroid(k.lp_column - 12, 80, k.lp_column + 12, 160, is_orange, x, y));
    else
      EXPECT_TRUE(handle_at(*c, k.lp_x, k.lp_y)) << int(k.lp_config);
  }
}

TEST(EqPlot, SumCurveAndHandlesOfTheBandsThatAreOn) {
  std::vector<double> sum(EQ_TABLE_SIZE, 3.0);
  EqPlotView v{sum.data(),
               {true, false, true, false, false, true},
               {2, 200, 400, 0, 0, 900},
               {60, 150, 250, 0, 0, 120}};
  const auto c = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_TRUE(is_yellow(*c, 300, 77) && is_yellow(*c, 300, 78));  // +3 dB is row 78
  // Half a column right of the stored column, limited to columns 6..805
  // and rows 5..198; none for a band that is off.
  EXPECT_TRUE(handle_at(*c, 6.5, 60));
  EXPECT_TRUE(handle_at(*c, 400.5, 198));
  EXPECT_TRUE(handle_at(*c, 805.5, 120));
  double x, y;
  EXPECT_FALSE(c->centroid(188, 138, 212, 162, is_orange, x, y));
  // All bands off: a flat curve on the 0 dB line and no handle at all.
  sum.assign(EQ_TABLE_SIZE, 0.0);
  for (bool& b : v.band_on) b = false;
  const auto flat = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_FALSE(flat->centroid(0, 0, PLOT_WIDTH, PLOT_HEIGHT, is_orange, x, y));
  EXPECT_TRUE(is_yellow(*flat, 650, 101) && is_yellow(*flat, 650, 102));
}

// Rows of a strip with ink (alpha over 100) in columns [x0, x1).
std::vector<int> inked_rows(const Canvas& c, int width, int height, int x0 = 0) {
  std::vector<int> rows;
  for (int y = 0; y < height; ++y)
    for (int x = x0; x < width; ++x)
      if (c.at(x, y).a > 100) {
        rows.push_back(y);
        break;
      }
  return rows;
}

TEST(AxisStrips, LabelsAtTheirBaselines) {
  Canvas f(FREQ_AXIS_WIDTH, FREQ_AXIS_HEIGHT);
  draw_axis_strip(f.cr(), AxisStrip::frequency);
  const std::vector<int> rows = inked_rows(f, FREQ_AXIS_WIDTH, FREQ_AXIS_HEIGHT);
  EXPECT_TRUE(!rows.empty() && rows.back() < 10) << "baseline at row 10";
  EXPECT_TRUE(inked_rows(f, 61, FREQ_AXIS_HEIGHT, 58).size() > 0);  // "50Hz" at 58.5
  EXPECT_TRUE(inked_rows(f, 58, FREQ_AXIS_HEIGHT).empty());
  // "+12dB" (baseline 10), "0dB" (105, from column 12), "-12dB" (200).
  Canvas l(LEVEL_AXIS_WIDTH, LEVEL_AXIS_HEIGHT);
  draw_axis_strip(l.cr(), AxisStrip::level);
  int found[3] = {0, 0, 0};
  for (int y : inked_rows(l, LEVEL_AXIS_WIDTH, LEVEL_AXIS_HEIGHT)) {
    const int label = y < 10 ? 0 : (y >= 96 && y < 105) ? 1 : (y >= 190 && y < 200) ? 2 : -1;
    ASSERT_NE(label, -1) << "ink on row " << y;
    ++found[label];
  }
  EXPECT_TRUE(found[0] && found[1] && found[2]);
  const std::vector<int> left = inked_rows(l, 12, 105);  // columns 0..11
  EXPECT_TRUE(left.empty() || left.back() < 10) << "0dB starts at column 12";
}

}  // namespace
