// Cost of loading a measurement: reading a file of 1/96-octave rows from
// 20 Hz to 20 kHz (957 rows, as measurement programs export them), putting
// it on the plot grid, its plot offset and the channel's prediction; and
// reading the largest text accepted (16 MiB of rows).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "measure/measurement.h"
#include "model/text_format.h"
#include "response/plot_content.h"
#include "response/plot_draw.h"

namespace {

// One row "frequency<TAB>level<TAB>phase" with a level and phase that vary
// as measured ones do.
std::string row(double f, int k) {
  const double db = 97.0 + 3.0 * std::sin(k * 0.05) - 40.0 / (1.0 + f / 60.0);
  const double phase = std::remainder(-0.09 * f + 50.0 * std::cos(k * 0.03), 360.0);
  return format_fixed(f, 6) + '\t' + format_fixed(db, 3) + '\t' + format_fixed(phase, 2) + '\n';
}

const char* const HEADER = "Frequency (Hz)\tLevel (dB SPL)\tPhase (deg)\n";

// 1/96-octave rows from 20 Hz to 20 kHz.
std::string measurement_text() {
  std::string text = HEADER;
  for (int k = 0; 20.0 * std::pow(2.0, k / 96.0) <= 20000.0; ++k)
    text += row(20.0 * std::pow(2.0, k / 96.0), k);
  return text;
}

// Rows 0.25 Hz apart filling exactly `bytes` (blank lines at the end).
std::string large_text(size_t bytes) {
  std::string text = HEADER;
  for (int k = 0;; ++k) {
    const std::string r = row(1.0 + 0.25 * k, k);
    if (text.size() + r.size() > bytes) break;
    text += r;
  }
  text.resize(bytes, '\n');
  return text;
}

channel_t top_channel() {
  channel_t ch = preset_def.channel[0];
  ch.xo[0] = xo_t{2, {110, 110}, {7, 7}};
  ch.peq[2] = peq_t{3150, 20, -25, 0};
  ch.delay = 115;
  return ch;
}

void BM_LoadMeasurement(benchmark::State& state) {
  const std::string path = "/tmp/qbn-bench-" + std::to_string(getpid()) + "-top.txt";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    const std::string text = measurement_text();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  const channel_t ch = top_channel();
  auto grid = std::make_unique<grid_measurement_t>();
  auto prediction = std::make_unique<prediction_t>();
  for (auto _ : state) {
    const measurement_read_t r = read_measurement_file(path);
    if (!r.ok) state.SkipWithError(r.message(path).c_str());
    measurement_on_grid(r.data, *grid);
    benchmark::DoNotOptimize(measurement_plot_offset_db(ch, *grid));
    predict_output(ch, *grid, *prediction);
    benchmark::DoNotOptimize(prediction->db);
  }
  unlink(path.c_str());
}
BENCHMARK(BM_LoadMeasurement)->Unit(benchmark::kMicrosecond);

// Loading it as the editor does and drawing the EQ plot with the
// measurement and the prediction into an image surface of the plot's size.
void BM_LoadAndDrawMeasurement(benchmark::State& state) {
  const std::string path = "/tmp/qbn-bench-" + std::to_string(getpid()) + "-draw.txt";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    const std::string text = measurement_text();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  preset_t p = preset_def;
  p.channel[0] = top_channel();
  auto curves = std::make_unique<channel_curves_t>();
  channel_curves(p.channel[0], *curves);
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, PLOT_WIDTH, PLOT_HEIGHT);
  auto grid = std::make_unique<grid_measurement_t>();
  plot_content_t content;
  for (auto _ : state) {
    const measurement_read_t r = read_measurement_file(path);
    if (!r.ok) state.SkipWithError(r.message(path).c_str());
    measurement_on_grid(r.data, *grid);
    plot_sources_t sources;
    sources.preset = &p;
    sources.measurement[0] = {"top.txt", grid.get()};
    compose_plot(0, plot_choice_t{}, sources, content);
    EqPlotView v = eq_plot_view_of(p.channel[0], *curves);
    v.extra = content.extra;
    cairo_t* cr = cairo_create(surface);
    draw_eq_plot(cr, v);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
  }
  cairo_surface_destroy(surface);
  unlink(path.c_str());
}
BENCHMARK(BM_LoadAndDrawMeasurement)->Unit(benchmark::kMillisecond);

void BM_ParseMeasurement16MiB(benchmark::State& state) {
  const std::string text = large_text(16u << 20);
  for (auto _ : state) {
    const measurement_read_t r = parse_measurement(text);
    if (!r.ok) state.SkipWithError(r.message("16 MiB").c_str());
    state.counters["rows"] = static_cast<double>(r.data.hz.size());
  }
}
BENCHMARK(BM_ParseMeasurement16MiB)->Unit(benchmark::kMillisecond);

}  // namespace
