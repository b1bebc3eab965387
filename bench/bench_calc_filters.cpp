// Cost of the response curves: what one drag event on a plot recomputes,
// with the point-by-point evaluation beside each for comparison.
#include <benchmark/benchmark.h>

#include <memory>

#include "response/calc_filters.h"
#include "support/calc_filters_reference.h"

namespace {

// A channel with everything switched on: both crossover filters, a low
// shelf, four peaking bands and a high shelf.
channel_t busy_channel() {
  channel_t ch = preset_def.channel[0];
  ch.xo[0] = {2, {80, 80}, {7, 7}};
  ch.xo[1] = {1, {2500, 2500}, {7, 7}};
  const peq_t bands[6] = {{120, 7, 45, 1},    {250, 20, -30, 0}, {800, 14, 25, 0},
                          {2000, 40, -60, 0}, {4500, 9, 35, 0},  {9000, 7, -40, 1}};
  for (int b = 0; b < 6; ++b) ch.peq[b] = bands[b];
  return ch;
}

// Peaking curves of the other bands, summed with the band being dragged.
struct eq_tables_t {
  eq_table_t eq[6] = {};
  eq_table_t lowshelf = {};
  eq_table_t highshelf = {};
  eq_table_t sum = {};
  const eq_table_t* peaking[6] = {&eq[0], &eq[1], &eq[2], &eq[3], &eq[4], &eq[5]};
};

void BM_EqBandAndSum(benchmark::State& state) {
  auto t = std::make_unique<eq_tables_t>();
  unsigned freq = 1000;
  for (auto _ : state) {
    peq_curve(t->eq[2], freq, 14, 60);
    eq_sum_curve(t->sum, 0, t->peaking, t->lowshelf, t->highshelf);
    benchmark::ClobberMemory();
    freq = freq == 1000 ? 1001 : 1000;
  }
}
BENCHMARK(BM_EqBandAndSum);

void BM_EqBandAndSum_Direct(benchmark::State& state) {
  auto t = std::make_unique<eq_tables_t>();
  unsigned freq = 1000;
  for (auto _ : state) {
    reference_peq_curve(t->eq[2], freq, 14, 60);
    eq_sum_curve(t->sum, 0, t->peaking, t->lowshelf, t->highshelf);
    benchmark::ClobberMemory();
    freq = freq == 1000 ? 1001 : 1000;
  }
}
BENCHMARK(BM_EqBandAndSum_Direct);

// The editor's own path: Calc_Peq on the global tables.
void BM_CalcPeq(benchmark::State& state) {
  preset.channel[0] = busy_channel();
  for (auto _ : state) {
    Calc_Peq(0, 2);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CalcPeq);

void BM_Crossover(benchmark::State& state) {
  xo_table_t t = {};
  for (auto _ : state) {
    hp_curve(t, 80, 7, 1);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Crossover);

void BM_Crossover_Direct(benchmark::State& state) {
  xo_table_t t = {};
  for (auto _ : state) {
    reference_hp_curve(t, 80, 7, 1);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Crossover_Direct);

void BM_Channel(benchmark::State& state) {
  const channel_t ch = busy_channel();
  auto out = std::make_unique<channel_curves_t>();
  for (auto _ : state) {
    channel_curves(ch, *out);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Channel);

void BM_Channel_Direct(benchmark::State& state) {
  const channel_t ch = busy_channel();
  auto out = std::make_unique<channel_curves_t>();
  for (auto _ : state) {
    reference_channel_curves(ch, *out);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Channel_Direct);

}  // namespace
