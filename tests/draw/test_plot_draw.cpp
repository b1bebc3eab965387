// The response plots at the widgets' size. The ground (background, frame,
// grid, 0 dB line), the axis strips and the handle rows of each crossover
// type are checked in tests/cli/plot_overview.sh, whose plots of the golden
// presets must give the golden pictures' bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "draw_test_util.h"
#include "response/plot_draw.h"

namespace {

bool is_orange(Pixel p) {
  return p.r > 200 && p.g > 150 && p.g < 205 && p.b < 60;
}
// A handle centred at (x, y) within 1.5 pixels (or, not drawn, none near):
// the centre of the orange pixels within 12 pixels.
::testing::AssertionResult handle_at(const Canvas& c, double x, double y, bool drawn = true) {
  double sx = 0, sy = 0, n = 0;
  for (int py = std::max(int(y) - 12, 0); py < std::min(int(y) + 12, PLOT_HEIGHT); ++py)
    for (int px = std::max(int(x) - 12, 0); px < std::min(int(x) + 12, PLOT_WIDTH); ++px)
      if (is_orange(c.at(px, py))) sx += px + 0.5, sy += py + 0.5, ++n;
  const double cx = n ? sx / n : -99, cy = n ? sy / n : -99;
  if (drawn ? std::abs(cx - x) <= 1.5 && std::abs(cy - y) <= 1.5 : n == 0)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "handle at " << cx << ", " << cy;
}

const std::vector<double> low(XO_TABLE_SIZE, -20.0), flat(XO_TABLE_SIZE, 0.0);

// Handle columns are kept within 6..750 on the crossover plot; on the EQ
// plot a handle sits half a column right of the stored column, limited to
// columns 6..805 and rows 5..198, and a band that is off has none. (The
// curves of the golden presets are in the golden pictures.)
TEST(Handles, WithinTheirLimitsAndOnlyForBandsThatAreOn) {
  const auto c =
      render(draw_xo_plot, {low.data(), flat.data(), 1, 1, 2, 900}, PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_TRUE(handle_at(*c, 6, 127) && handle_at(*c, 750, 127));
  const EqPlotView v{low.data(),
                     {true, false, true, false, false, true},
                     {2, 200, 400, 0, 0, 900},
                     {60, 150, 250, 0, 0, 120}};
  const auto eq = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_TRUE(handle_at(*eq, 6.5, 60) && handle_at(*eq, 400.5, 198) && handle_at(*eq, 805.5, 120));
  EXPECT_TRUE(handle_at(*eq, 200, 150, false));
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
  const auto is = [](const Canvas& c, int x, int y, plot_rgb_t rgb) {
    return near(c.at(x, y), to255(rgb.r), to255(rgb.g), to255(rgb.b));
  };
  // -6 dB is row 150, +6 dB row 54.
  for (int x : {50, 400, 700}) {
    EXPECT_TRUE(is(*both, x, 150, TOTAL_CURVE_RGB) && !is(*plain, x, 150, TOTAL_CURVE_RGB)) << x;
    EXPECT_EQ(is(*both, x, 54, SUM_CURVE_RGB), x < 600) << x;
  }
  EXPECT_FALSE(is(*both, 700, 200, SUM_CURVE_RGB) || is(*plain, 400, 54, SUM_CURVE_RGB));
  EXPECT_TRUE(handle_at(*both, 300.5, 102));
  // Only the total: the sum is not drawn.
  v.channel_sum = nullptr;
  const auto total_only = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_TRUE(is(*total_only, 400, 150, TOTAL_CURVE_RGB) &&
              !is(*total_only, 400, 54, SUM_CURVE_RGB));
}

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
