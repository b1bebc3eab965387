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

}  // namespace

// ---- Pictures of shown presets ----

#include <cstdlib>

#include "files/preset_file.h"
#include "model/editing.h"

namespace {

struct Shown {
  const char* file;
  int channel;
  bool eq;
};
// Every crossover type, shelves, peaking bands, a handle past the plot's
// edge, and the default preset.
const Shown kShown[] = {{"live_mv517.qpx", 0, true},  {"live_mv517.qpx", 2, true},
                        {"live_mv517.qpx", 0, false}, {"live_mv517.qpx", 1, false},
                        {"live_mv517.qpx", 2, false}, {"live_mv517.qpx", 3, false},
                        {"new_mv517.qpx", 0, true},   {"new_mv517.qpx", 0, false}};
constexpr int kShownCount = sizeof kShown / sizeof kShown[0];

// The plots of kShown, stacked, as qpx places a plot: moved and clipped on
// the page grey (or on a transparent surface).
std::unique_ptr<Canvas> shown_plots(bool grey) {
  auto c = std::make_unique<Canvas>(PLOT_WIDTH, PLOT_HEIGHT * kShownCount);
  if (grey) {
    cairo_set_source_rgb(c->cr(), 40000 / 65535.0, 40000 / 65535.0, 40000 / 65535.0);
    cairo_paint(c->cr());
  }
  for (int i = 0; i < kShownCount; ++i) {
    const preset_file_read_t r =
        read_preset_file(std::string(QBN_TEST_DATA) + "/" + kShown[i].file);
    EXPECT_TRUE(r.whole()) << kShown[i].file;
    const channel_t& ch = r.preset.channel[kShown[i].channel];
    auto curves = std::make_unique<channel_curves_t>();
    channel_curves(ch, *curves);
    cairo_t* cr = c->cr();
    cairo_save(cr);
    cairo_translate(cr, 0, PLOT_HEIGHT * i);
    cairo_rectangle(cr, 0, 0, PLOT_WIDTH, PLOT_HEIGHT);
    cairo_clip(cr);
    if (kShown[i].eq) {
      EqPlotView v;
      v.sum = curves->sum;
      for (int b = 0; b < 6; ++b) {
        v.band_on[b] = peq_active(ch.peq[b]);
        v.column[b] = freq_to_column(ch.peq[b].freq);
        v.row[b] = peq_gain_row(ch.peq[b].gain);
      }
      draw_eq_plot(cr, v);
    } else {
      XoPlotView v{curves->hp, curves->lp, ch.xo[0].config, ch.xo[1].config};
      for (int k = 0; k < 2; ++k)
        (k ? v.lp_column : v.hp_column) = freq_to_column(ch.xo[k].freq[xo_slot(ch.xo[k].config)]);
      draw_xo_plot(cr, v);
    }
    cairo_restore(cr);
  }
  return c;
}

int differing_pixels(cairo_surface_t* a, cairo_surface_t* b) {
  cairo_surface_flush(a);
  cairo_surface_flush(b);
  const int h = cairo_image_surface_get_height(a), stride = cairo_image_surface_get_stride(a);
  if (h != cairo_image_surface_get_height(b) || stride != cairo_image_surface_get_stride(b))
    return -1;
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < cairo_image_surface_get_width(a); ++x)
      n += reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(a) + y * stride)[x] !=
           reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(b) + y * stride)[x];
  return n;
}

// The editor and qpx draw a shown preset's plots as they always have:
// pixel for pixel the golden picture. QBN_WRITE_GOLDEN=1 writes it instead.
TEST(PlotPictures, ShownPresetsAsTheGoldenPicture) {
  const std::string golden = std::string(QBN_TEST_DATA) + "/plots_shown.png";
  const auto drawn = shown_plots(true);
  cairo_surface_t* target = cairo_get_target(drawn->cr());
  if (std::getenv("QBN_WRITE_GOLDEN")) {
    ASSERT_EQ(cairo_surface_write_to_png(target, golden.c_str()), CAIRO_STATUS_SUCCESS);
    return;
  }
  cairo_surface_t* expected = cairo_image_surface_create_from_png(golden.c_str());
  ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS) << golden;
  EXPECT_EQ(differing_pixels(target, expected), 0);
  cairo_surface_destroy(expected);
}

}  // namespace
