// Cost of the EQ fit (six bands over about 400 plot columns: a mid-range
// channel from 150 Hz to 2.8 kHz) and of the alignment of a top and a sub
// (every centimetre up to 10 m, both polarities), on generated
// loudspeakers.
#include <benchmark/benchmark.h>

#include <memory>

#include "measure/alignment.h"
#include "measure/eq_fit.h"
#include "support/loudspeaker_model.h"

namespace {

channel_t mid_channel() {
  channel_t ch = preset_def.channel[0];
  ch.xo[0] = {2, {35, 150}, {7, 7}};
  ch.xo[1] = {2, {120, 2800}, {7, 7}};
  for (peq_t& b : ch.peq) b = {1000, 10, 0, 0};
  return ch;
}

std::unique_ptr<grid_measurement_t> grid_of(const measurement_t& m) {
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(m, *g);
  return g;
}

void fit_bench(benchmark::State& state, int max_boost) {
  const channel_t ch = mid_channel();
  const pass_band_t range = default_fit_range(ch);
  const auto g = grid_of(
      measure(random_loudspeaker(uint64_t(state.range(0)), false, range.lo_hz, range.hi_hz)));
  eq_fit_request_t req;
  req.max_boost = max_boost;
  eq_fit_result_t r;
  for (auto _ : state) {
    r = fit_eq(ch, *g, req);
    benchmark::DoNotOptimize(r);
  }
  state.counters["columns"] = r.columns;
  state.counters["before_db"] = r.error_before_db;
  state.counters["after_db"] = r.error_after_db;
}

void BM_FitEq(benchmark::State& state) {
  fit_bench(state, 60);
}
BENCHMARK(BM_FitEq)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

void BM_FitEqCutOnly(benchmark::State& state) {
  fit_bench(state, 0);
}
BENCHMARK(BM_FitEqCutOnly)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

void BM_AlignTopSub(benchmark::State& state) {
  preset_t p = preset_def;
  p.channel[0].xo[0] = {2, {35, 100}, {7, 7}};
  p.channel[2].xo[0] = {2, {35, 30}, {7, 7}};
  p.channel[2].xo[1] = {2, {120, 100}, {7, 7}};
  const auto top = grid_of(measure(random_loudspeaker(11, false, 60, 3000)));
  const auto sub = grid_of(measure(random_loudspeaker(12, true, 30, 150)));
  align_result_t r;
  for (auto _ : state) {
    r = align_channels(p, 0, 2, *top, *sub);
    benchmark::DoNotOptimize(r);
  }
  state.counters["columns"] = double(r.columns.size());
}
BENCHMARK(BM_AlignTopSub)->Unit(benchmark::kMillisecond);

}  // namespace
