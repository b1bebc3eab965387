// Cost of drawing one response plot into an image surface, as an expose
// event does after a drag step.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <memory>

#include "response/calc_filters.h"
#include "response/plot_draw.h"

namespace {

void BM_DrawEqPlot(benchmark::State& state) {
  channel_t ch = preset_def.channel[0];
  ch.peq[1] = peq_t{250, 20, -30, 0};
  ch.peq[3] = peq_t{2000, 40, 60, 0};
  auto curves = std::make_unique<channel_curves_t>();
  channel_curves(ch, *curves);
  EqPlotView v;
  v.sum = curves->sum;
  for (int b = 0; b < 6; ++b) {
    v.band_on[b] = peq_active(ch.peq[b]);
    v.column[b] = freq_to_column(ch.peq[b].freq);
    v.row[b] = gain_to_row(ch.peq[b].gain / 10.0);
  }
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, PLOT_WIDTH, PLOT_HEIGHT);
  for (auto _ : state) {
    cairo_t* cr = cairo_create(s);
    draw_eq_plot(cr, v);
    cairo_destroy(cr);
    cairo_surface_flush(s);
  }
  cairo_surface_destroy(s);
}
BENCHMARK(BM_DrawEqPlot)->Unit(benchmark::kMicrosecond);

void BM_DrawXoPlot(benchmark::State& state) {
  channel_t ch = preset_def.channel[0];
  ch.xo[0] = xo_t{2, {80, 80}, {7, 7}};
  ch.xo[1] = xo_t{1, {2500, 2500}, {7, 7}};
  auto curves = std::make_unique<channel_curves_t>();
  channel_curves(ch, *curves);
  XoPlotView v;
  v.hp = curves->hp;
  v.lp = curves->lp;
  v.hp_config = 2;
  v.lp_config = 1;
  v.hp_column = freq_to_column(80);
  v.lp_column = freq_to_column(2500);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, PLOT_WIDTH, PLOT_HEIGHT);
  for (auto _ : state) {
    cairo_t* cr = cairo_create(s);
    draw_xo_plot(cr, v);
    cairo_destroy(cr);
    cairo_surface_flush(s);
  }
  cairo_surface_destroy(s);
}
BENCHMARK(BM_DrawXoPlot)->Unit(benchmark::kMicrosecond);

}  // namespace
