// The response plots at the widgets' size (the axis strips and the handle
// rows of each crossover type are checked in tests/cli/plot_overview.sh).
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
bool is_orange(Pixel p) {
  return p.r > 200 && p.g > 150 && p.g < 205 && p.b < 60;
}
bool is_yellow(const Canvas& c, int x, int y) {
  return near(c.at(x, y), 255, 255, 0);
}
// A handle centred at (x, y) within 1.5 pixels (or, not drawn, none near).
::testing::AssertionResult handle_at(const Canvas& c, double x, double y, bool drawn = true) {
  double cx = -99, cy = -99;
  const bool any =
      c.centroid(int(x) - 12, int(y) - 12, int(x) + 12, int(y) + 12, is_orange, cx, cy);
  if (drawn ? std::abs(cx - x) <= 1.5 && std::abs(cy - y) <= 1.5 : !any)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "handle at " << cx << ", " << cy;
}

const std::vector<double> low(XO_TABLE_SIZE, -20.0), flat(XO_TABLE_SIZE, 0.0);
std::unique_ptr<Canvas> xo_plot(const XoPlotView& v) {
  return render(draw_xo_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
}

TEST(PlotGround, BackgroundZeroDbLineFrameAndGrid) {
  const auto c = xo_plot({low.data(), flat.data(), 1, 0, 600, 0});
  ASSERT_EQ(c->status(), CAIRO_STATUS_SUCCESS);
  for (int y : {10, 60, 140, 200}) EXPECT_TRUE(is_background(*c, 400, y)) << y;
  // The 0 dB line, 2 wide on row 102.0, covers rows 101 and 102.
  for (int x : {5, 805})
    EXPECT_TRUE(near(c->at(x, 101), 255, 255, 255) && near(c->at(x, 102), 255, 255, 255) &&
                is_background(*c, x, 100) && is_background(*c, x, 103))
        << x;
  for (auto [x, y] : {std::pair{0, 50}, {811, 50}, {400, 0}, {400, 204}})
    EXPECT_TRUE(near(c->at(x, y), 255, 255, 255)) << "frame " << x << ", " << y;
  // Half-transparent white grid lines, one pixel without antialiasing.
  const auto grid = [&](int x, int y) {
    return near(c->at(x, y), 128, 128, to255(0.5 + 0.5 * bg_blue(y) / 255.0));
  };
  for (int x : {23, 148, 464, 749, 792})
    EXPECT_TRUE(grid(x, 50) && is_background(*c, x - 1, 50) && is_background(*c, x + 1, 50)) << x;
  for (int y : {36, 165})
    EXPECT_TRUE(grid(400, y) && is_background(*c, 400, y - 1) && is_background(*c, 400, y + 1));
  // Dashes 4 on, 1 off, from 1 into the pattern at row 0.5: gaps on rows 3, 8, ...
  for (int y = 10; y < 30; ++y) EXPECT_EQ(is_background(*c, 464, y), y % 5 == 3) << "row " << y;
}

TEST(XoPlot, CurveOfTheComputedColumnsAndHandlesInTheirLimits) {
  // Only every fourth entry is drawn; the low-pass adds its -3 dB when on.
  std::vector<double> steps(XO_TABLE_SIZE);
  for (int i = 0; i < XO_TABLE_SIZE; ++i) steps[i] = i % 4 == 0 ? -3.0 : 50.0;
  for (uint8_t lp_config : {1, 0}) {
    const auto c = xo_plot({steps.data(), steps.data(), 1, lp_config, 600, 700});
    const int row = lp_config ? 150 : 126, other = lp_config ? 126 : 150;  // 3 wide: row-1, row
    EXPECT_TRUE(is_yellow(*c, 401, row - 1) && is_yellow(*c, 401, row) &&
                !is_yellow(*c, 401, other))
        << int(lp_config);
  }
  // Handle columns are kept within 6..750.
  const auto c = xo_plot({low.data(), flat.data(), 1, 1, 2, 900});
  EXPECT_TRUE(handle_at(*c, 6, 127) && handle_at(*c, 750, 127));
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
  EXPECT_TRUE(handle_at(*c, 6.5, 60) && handle_at(*c, 400.5, 198) && handle_at(*c, 805.5, 120));
  EXPECT_TRUE(handle_at(*c, 200, 150, false));
  // All bands off: a flat curve on the 0 dB line and no handle at all.
  sum.assign(EQ_TABLE_SIZE, 0.0);
  for (bool& b : v.band_on) b = false;
  const auto off = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  double x, y;
  EXPECT_FALSE(off->centroid(0, 0, PLOT_WIDTH, PLOT_HEIGHT, is_orange, x, y));
  EXPECT_TRUE(is_yellow(*off, 650, 101) && is_yellow(*off, 650, 102));
}

// The extra curves: drawn only when set, each in its colour at its level,
// the total under the sum, both under the handles; a cancellation far below
// the plot is drawn along the floor, outside the picture.
TEST(EqPlot, TotalAndSumCurvesOnlyWhenSet) {
  std::vector<double> sum(EQ_TABLE_SIZE, 0.0), total(EQ_TABLE_SIZE, -6.0), pair(EQ_TABLE_SIZE, 6.0);
  for (int i = 600; i < EQ_TABLE_SIZE; ++i) pair[i] = -1e300;  // a cancellation
  EqPlotView v{sum.data(), {false, true}, {0, 300}, {0, 102}};
  const auto plain = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  v.total = total.data();
  v.channel_sum = pair.data();
  const auto both = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  ASSERT_EQ(both->status(), CAIRO_STATUS_SUCCESS);
  const auto colour = [](plot_rgb_t c) {
    return std::vector<int>{to255(c.r), to255(c.g), to255(c.b)};
  };
  const auto is = [&](const Canvas& c, int x, int y, plot_rgb_t rgb) {
    const auto want = colour(rgb);
    return near(c.at(x, y), want[0], want[1], want[2]);
  };
  // -6 dB is row 150, +6 dB row 54.
  for (int x : {50, 400, 700}) {
    EXPECT_TRUE(is(*both, x, 150, TOTAL_CURVE_RGB) && is_background(*plain, x, 150)) << x;
    EXPECT_TRUE(x >= 600 || (is(*both, x, 54, SUM_CURVE_RGB) && is_background(*plain, x, 54))) << x;
  }
  EXPECT_TRUE(is_background(*both, 700, 54) && is_background(*both, 700, 200));
  EXPECT_TRUE(handle_at(*both, 300.5, 102));
  // Only the total: the sum's row stays background.
  v.channel_sum = nullptr;
  const auto total_only = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_TRUE(is(*total_only, 400, 150, TOTAL_CURVE_RGB) && is_background(*total_only, 400, 54));
}

}  // namespace

// ---- Cached ground and selected handle ----

#include <cmath>

namespace {

// On a transparent surface, moved by whole pixels, the cached ground gives the bytes of the
// drawn one (qpx's plots of the golden presets: tests/cli/plot_overview.sh).
TEST(PlotPictures, CachedGroundGivesTheDrawnPixels) {
  std::vector<double> curve(XO_TABLE_SIZE);
  for (double amplitude : {0.0, 3.0, 14.0}) {
    for (int i = 0; i < XO_TABLE_SIZE; ++i) curve[i] = amplitude * std::sin(i / 37.0);
    // clang-format off
    const EqPlotView eq{curve.data(), {1, 1, 1, 1, 1, 1}, {0, 90, 300, 500, 700, 811},
                        {0, 40, 102, 150, 198, 205}, nullptr, nullptr, 3};
    // clang-format on
    const XoPlotView xo{curve.data(), curve.data(), 2, 1, 2, 800, 1};
    std::string bytes[2];
    for (const PlotGround g : {PlotGround::cached, PlotGround::drawn}) {
      Canvas c(820, 420);
      cairo_translate(c.cr(), 3, 2);
      draw_eq_plot(c.cr(), eq, g);
      cairo_translate(c.cr(), 0, 210);
      draw_xo_plot(c.cr(), xo, g);
      c.at(0, 0);  // flushed
      bytes[g == PlotGround::drawn].assign(
          reinterpret_cast<const char*>(cairo_image_surface_get_data(cairo_get_target(c.cr()))),
          820 * 4 * 420);
    }
    EXPECT_TRUE(bytes[0] == bytes[1]) << amplitude;
  }
}

// A white ring around the selected handle, only when that handle is drawn.
TEST(PlotPictures, RingAroundTheSelectedHandleOnly) {
  const auto ring = [](const Canvas& c, double x, double y) {
    return near(c.at(int(x + 9), int(y)), 255, 255, 255) &&
           near(c.at(int(x), int(y - 9.5)), 255, 255, 255);
  };
  EqPlotView eq{low.data(), {true, true, false}, {100, 400, 600}, {150, 150, 150}};
  for (int selected : {-1, 1, 2}) {
    eq.selected = selected;
    const auto c = render(draw_eq_plot, eq, PLOT_WIDTH, PLOT_HEIGHT);
    for (int b = 0; b < 3; ++b)  // band 2 is off: no handle, no ring
      EXPECT_EQ(ring(*c, eq.column[b] + 0.5, 150), b == selected && b != 2) << selected << b;
  }
  const auto c = render(draw_xo_plot, {low.data(), flat.data(), 1, 2, 300, 600, 1}, 812, 205);
  EXPECT_TRUE(!ring(*c, 300, 127) && ring(*c, 600, 151));  // the low-pass
}

}  // namespace
