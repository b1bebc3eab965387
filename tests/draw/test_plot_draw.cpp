// The response plots at the widgets' size (their ground, axis strips and
// handle rows: the golden pictures of tests/cli/plot_overview.sh).
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
// A handle (the orange pixels within 12) centred at (x, y) within 1.5 pixels.
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

XoPlotView xo_view(uint8_t hp_config, uint8_t lp_config, int16_t hp_column, int16_t lp_column) {
  XoPlotView v;
  v.hp = low.data();
  v.lp = flat.data();
  v.hp_config = hp_config;
  v.lp_config = lp_config;
  v.hp_column = hp_column;
  v.lp_column = lp_column;
  return v;
}

// Bands 0..5 on (or not) at (column, row).
EqPlotView eq_view(const double* sum, std::vector<bool> on, std::vector<int16_t> column,
                   std::vector<int16_t> row) {
  EqPlotView v;
  v.sum = sum;
  for (size_t b = 0; b < on.size(); ++b) {
    v.band_on[b] = on[b];
    v.column[b] = column[b];
    v.row[b] = row[b];
  }
  return v;
}

bool is(const Canvas& c, int x, int y, plot_rgb_t rgb) {
  return near(c.at(x, y), to255(rgb.r), to255(rgb.g), to255(rgb.b));
}

// Handles within columns 6..750 (crossover), 6..805 and rows 5..198 (EQ, half
// a column right of the stored one); a band that is off has none.
TEST(Handles, WithinTheirLimitsAndOnlyForBandsThatAreOn) {
  const auto c = render(draw_xo_plot, xo_view(1, 1, 2, 900), PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_TRUE(handle_at(*c, 6, 127) && handle_at(*c, 750, 127));
  const EqPlotView v = eq_view(low.data(), {true, false, true, false, false, true},
                               {2, 200, 400, 0, 0, 900}, {60, 150, 250, 0, 0, 120});
  const auto eq = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_TRUE(handle_at(*eq, 6.5, 60) && handle_at(*eq, 400.5, 198) && handle_at(*eq, 805.5, 120));
  EXPECT_TRUE(handle_at(*eq, 200, 150, false));
}

// Extra curves in their colours at their levels under the handles, on both
// plots; a cancellation is drawn below the picture; no value, no curve.
TEST(ExtraCurves, InTheirColoursWhereTheyHaveValues) {
  std::vector<double> sum(EQ_TABLE_SIZE, 0.0), total(EQ_TABLE_SIZE, -6.0), pair(EQ_TABLE_SIZE, 6.0),
      measured(EQ_TABLE_SIZE, NAN);
  for (int i = 600; i < EQ_TABLE_SIZE; ++i) pair[i] = -1e300;  // a cancellation
  for (int i = 100; i < 300; ++i) measured[i] = 3.0625;  // row 77.5: a 1-pixel line fills row 77
  EqPlotView v = eq_view(sum.data(), {false, true}, {0, 300}, {0, 102});
  const auto plain = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  v.extra = {{total.data(), TOTAL_CURVE_RGB},
             {pair.data(), SUM_CURVE_RGB},
             {measured.data(), MEASUREMENT_CURVE_RGB, 1.0}};
  const auto all = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  ASSERT_EQ(all->status(), CAIRO_STATUS_SUCCESS);
  // -6 dB is row 150, +6 dB row 54.
  for (int x : {50, 400, 700}) {
    EXPECT_TRUE(is(*all, x, 150, TOTAL_CURVE_RGB) && !is(*plain, x, 150, TOTAL_CURVE_RGB)) << x;
    EXPECT_EQ(is(*all, x, 54, SUM_CURVE_RGB), x < 600) << x;
  }
  EXPECT_FALSE(is(*all, 700, 200, SUM_CURVE_RGB) || is(*plain, 400, 54, SUM_CURVE_RGB));
  EXPECT_TRUE(is(*all, 200, 77, MEASUREMENT_CURVE_RGB));
  EXPECT_FALSE(is(*all, 90, 77, MEASUREMENT_CURVE_RGB) || is(*all, 310, 77, MEASUREMENT_CURVE_RGB));
  EXPECT_TRUE(handle_at(*all, 300.5, 102));
  // The same list over the crossover plot.
  XoPlotView x = xo_view(1, 0, 100, 0);
  x.extra = {{total.data(), TOTAL_CURVE_RGB}};
  EXPECT_TRUE(is(*render(draw_xo_plot, x, PLOT_WIDTH, PLOT_HEIGHT), 400, 150, TOTAL_CURVE_RGB));
}

// The phase view: -180..+180 degrees over the rows of -12..+12 dB, its curve
// yellow, grid rows every 90 degrees, no vertical jump where a curve wraps.
TEST(ExtraCurves, PhaseViewWrapsWithoutJumps) {
  std::vector<double> level(EQ_TABLE_SIZE, 6.0), phase(EQ_TABLE_SIZE), ramp(EQ_TABLE_SIZE);
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
    phase[i] = 90.0;                           // row 54
    ramp[i] = std::remainder(i * 2.0, 360.0);  // wraps at column 90, 270, ...
    if (ramp[i] == -180.0) ramp[i] = 180.0;
  }
  EqPlotView v = eq_view(level.data(), {}, {}, {});
  v.mode = plot_view_mode::phase;
  v.phase = phase.data();
  v.extra = {{ramp.data(), SUM_CURVE_RGB}};
  const auto c = render(draw_eq_plot, v, PLOT_WIDTH, PLOT_HEIGHT);
  EXPECT_TRUE(is(*c, 400, 54, {1, 1, 0}));  // the phase curve at +90 degrees
  EXPECT_FALSE(is(*c, 400, 54 - 48, {1, 1, 0}));
  // Column 45 is at 90 degrees (row 54); at column 90 it wraps: no line across.
  EXPECT_TRUE(is(*c, 45, 54, SUM_CURVE_RGB) || is(*c, 45, 53, SUM_CURVE_RGB));
  for (int y = 20; y < 190; ++y) EXPECT_FALSE(is(*c, 90, y, SUM_CURVE_RGB)) << y;
  // The grid: a dashed line at +90 degrees (row 54.5), none at +4 dB (68.5).
  const Pixel grid = c->at(700, 54), none = c->at(700, 68);
  EXPECT_GT(grid.r, none.r);
}

// Moved by whole pixels, the cached ground gives the drawn one's bytes, in both views.
TEST(PlotPictures, CachedGroundGivesTheDrawnPixels) {
  std::vector<double> curve(XO_TABLE_SIZE);
  for (const plot_view_mode mode : {plot_view_mode::level, plot_view_mode::phase}) {
    for (double amplitude : {0.0, 3.0, 14.0}) {
      for (int i = 0; i < XO_TABLE_SIZE; ++i) curve[i] = amplitude * std::sin(i / 37.0);
      EqPlotView eq = eq_view(curve.data(), {1, 1, 1, 1, 1, 1}, {0, 90, 300, 500, 700, 811},
                              {0, 40, 102, 150, 198, 205});
      eq.selected = 3;
      XoPlotView xo = xo_view(2, 1, 2, 800);
      xo.hp = xo.lp = curve.data();
      xo.selected = 1;
      eq.mode = xo.mode = mode;
      eq.phase = xo.phase = curve.data();
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
}

// The selected handle's ring and the focus line only while the plot has the
// keyboard, the ring only where that handle is drawn.
TEST(PlotPictures, RingAndFocusLineOnlyWhileFocused) {
  const auto ring = [](const Canvas& c, double x, double y) {
    return near(c.at(int(x + 9), int(y)), 255, 255, 255) &&
           near(c.at(int(x), int(y - 9.5)), 255, 255, 255);
  };
  const auto focus_line = [](const Canvas& c) {
    int white = 0;
    for (int x = 20; x < 60; ++x) white += c.at(x, 3).r > 200 && c.at(x, 3).b > 200;
    return white > 5;
  };
  EqPlotView eq = eq_view(low.data(), {true, true, false}, {100, 400, 600}, {150, 150, 150});
  for (bool focused : {false, true}) {
    eq.focused = focused;
    for (int selected : {-1, 1, 2}) {
      eq.selected = selected;
      const auto c = render(draw_eq_plot, eq, PLOT_WIDTH, PLOT_HEIGHT);
      for (int b = 0; b < 3; ++b)  // band 2 is off: no handle, no ring
        EXPECT_EQ(ring(*c, eq.column[b] + 0.5, 150), focused && b == selected && b != 2)
            << selected << b;
      EXPECT_EQ(focus_line(*c), focused);
    }
  }
  XoPlotView xo = xo_view(1, 2, 300, 600);
  xo.selected = 1;
  xo.focused = true;
  const auto c = render(draw_xo_plot, xo, 812, 205);
  EXPECT_TRUE(!ring(*c, 300, 127) && ring(*c, 600, 151));  // the low-pass
  EXPECT_TRUE(focus_line(*c));
}

// The legend under a picture: one line a curve, its sample in its colour.
TEST(PlotPictures, LegendLinesWithTheirSamples) {
  Canvas c(400, 40);
  draw_plot_legend(c.cr(), {{TOTAL_CURVE_RGB, false, "Total: Out A"}, {SUM_CURVE_RGB, true, "Sum"}},
                   2, 2);
  EXPECT_TRUE(is(c, 10, 8, TOTAL_CURVE_RGB));
  EXPECT_TRUE(is(c, 6, 8 + PLOT_LEGEND_LINE_HEIGHT, SUM_CURVE_RGB));    // a dash
  EXPECT_FALSE(is(c, 12, 8 + PLOT_LEGEND_LINE_HEIGHT, SUM_CURVE_RGB));  // a gap
  EXPECT_TRUE(near(c.at(3, 3), 0, 0, 77));                              // the sample's ground
}

}  // namespace
