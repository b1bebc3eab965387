// What a plot shows beyond its own curve (total, sum, measurement,
// prediction, compared preset) in both views, with legend and readout.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

#include "model/channel_tools.h"
#include "model/text_format.h"
#include "response/plot_content.h"

namespace {

preset_t tuned() {
  preset_t p = preset_def;
  set_record_text(p.channel[0].name, sizeof p.channel[0].name, "Top L");
  p.channel[0].xo[0] = {2, {120, 120}, {7, 7}};  // LR4 at 120 Hz
  p.channel[0].peq[2] = {1000, 20, -45, 0};
  p.channel[0].gain = -35;
  p.channel[2].routing = p.channel[0].routing;
  p.channel[2].xo[1] = {2, {120, 120}, {7, 7}};
  p.channel[2].delay = 118;
  return p;
}

std::unique_ptr<grid_measurement_t> flat_measurement(double db, bool phase) {
  measurement_t m;
  m.hz = {20, 20000};
  m.db = {db, db};
  if (phase) m.phase_deg = {0, 0};
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(m, *g);
  return g;
}

// Nothing unless chosen; neither curve on the crossover plot, no sum of a
// channel with itself (the curves drawn: the GUI test of the EQ plot's menu).
TEST(PlotContent, TotalAndSumOnlyAsChosen) {
  const preset_t p = tuned();
  plot_sources_t src;
  src.preset = &p;
  plot_content_t c;
  compose_plot(0, plot_choice_t{}, src, c);
  EXPECT_TRUE(c.extra.empty() && c.legend.empty() && c.phase.empty());
  plot_choice_t choice;
  choice.total = true, choice.sum_with = 2, choice.eq = false;
  compose_plot(0, choice, src, c);
  EXPECT_TRUE(c.extra.empty());
  choice.eq = true, choice.total = false, choice.sum_with = 0;
  compose_plot(0, choice, src, c);
  EXPECT_TRUE(c.extra.empty());
}

// Measurement and prediction shifted by minus the measurement's pass-band
// mean, the readout unshifted; each can be hidden.
TEST(PlotContent, MeasurementAndPredictionShiftedTogether) {
  const preset_t p = tuned();
  const auto m = flat_measurement(90.0, true);
  plot_sources_t src;
  src.preset = &p;
  src.measurement[0] = {"top.txt", m.get()};
  plot_content_t c;
  compose_plot(0, plot_choice_t{}, src, c);
  ASSERT_EQ(c.extra.size(), 2u);
  EXPECT_DOUBLE_EQ(c.measurement_offset_db, -90.0);
  auto r = std::make_unique<channel_response_t>();
  channel_response(p.channel[0], *r);
  for (int i = 0; i < EQ_TABLE_SIZE; i += 13) {
    EXPECT_NEAR(c.extra[0].values[i], 0.0, 1e-9) << i;
    EXPECT_NEAR(c.extra[1].values[i], response_db(r->output[i]), 1e-9) << i;
    EXPECT_NEAR(c.predicted_db[i], 90.0 + response_db(r->output[i]), 1e-9) << i;
  }
  EXPECT_EQ(c.legend[0].text, "Measured: top.txt (measurement -90.0 dB)");
  EXPECT_EQ(c.legend[1].text, "Predicted: Out A \"Top L\" with top.txt");
  const int col = freq_to_column(1000.0);
  EXPECT_EQ(content_readout(c, plot_view_mode::level, col),
            "   measured 90.0 dB   predicted " +
                format_fixed(90.0 + response_db(r->output[col]), 1) + " dB");
  plot_choice_t hidden;
  hidden.show_measurement = false;
  compose_plot(0, hidden, src, c);
  ASSERT_EQ(c.extra.size(), 1u);
  EXPECT_EQ(c.legend[0].text, "Predicted: Out A \"Top L\" with top.txt");
  hidden.show_prediction = false;
  compose_plot(0, hidden, src, c);
  EXPECT_TRUE(c.extra.empty());
  // A column outside the measurement has no value: the curve breaks there.
  measurement_t narrow;
  narrow.hz = {100, 1000};
  narrow.db = {90, 90};
  grid_measurement_t g;
  measurement_on_grid(narrow, g);
  src.measurement[0].grid = &g;
  compose_plot(0, plot_choice_t{}, src, c);
  EXPECT_TRUE(std::isnan(c.extra[0].values[0]) && std::isnan(c.extra[1].values[800]));
  EXPECT_EQ(content_readout(c, plot_view_mode::level, 0), "");
}

// The sum is predicted only where both channels have a measured phase.
TEST(PlotContent, SumPredictedOnlyWithBothPhases) {
  const preset_t p = tuned();
  const auto top = flat_measurement(90.0, true), sub = flat_measurement(96.0, true),
             sub_level = flat_measurement(96.0, false);
  plot_sources_t src;
  src.preset = &p;
  src.measurement[0] = {"top.txt", top.get()};
  src.measurement[2] = {"sub.txt", sub.get()};
  plot_choice_t choice;
  choice.sum_with = 2;
  choice.show_measurement = choice.show_prediction = false;
  plot_content_t c;
  compose_plot(0, choice, src, c);
  ASSERT_EQ(c.extra.size(), 1u);
  EXPECT_EQ(c.legend[0].text, measured_sum_legend(p, 0, 2));
  auto a = std::make_unique<prediction_t>(), b = std::make_unique<prediction_t>();
  predict_output(p.channel[0], *top, *a);
  predict_output(p.channel[2], *sub, *b);
  const int col = 300;
  EXPECT_NEAR(c.extra[0].values[col], response_db(a->output[col] + b->output[col]) - 90.0, 1e-9);
  src.measurement[2].grid = sub_level.get();
  compose_plot(0, choice, src, c);
  EXPECT_EQ(c.legend[0].text, sum_legend(p, 0, 2));
}

// The phase view: the total response's phase and group delay; measured,
// predicted and summed phases wrapped; no total curve.
TEST(PlotContent, PhaseView) {
  const preset_t p = tuned();
  const auto m = flat_measurement(90.0, true);
  plot_sources_t src;
  src.preset = &p;
  src.measurement[0] = {"top.txt", m.get()};
  plot_choice_t choice;
  choice.mode = plot_view_mode::phase;
  choice.total = true;
  choice.sum_with = 2;
  plot_content_t c;
  compose_plot(0, choice, src, c);
  auto r = std::make_unique<channel_response_t>();
  channel_response(p.channel[0], *r);
  ASSERT_EQ(c.phase.size(), size_t(EQ_TABLE_SIZE));
  ASSERT_EQ(c.extra.size(), 3u);  // measured, predicted, sum
  for (int i = 0; i < EQ_TABLE_SIZE; i += 17) {
    EXPECT_EQ(c.phase[i], response_phase_deg(r->total[i]));
    EXPECT_EQ(c.extra[0].values[i], 0.0);
    EXPECT_NEAR(c.extra[1].values[i], response_phase_deg(r->output[i]), 1e-9);
    for (const plot_curve_t& e : c.extra) EXPECT_TRUE(e.values[i] > -180 && e.values[i] <= 180);
  }
  EXPECT_EQ(content_readout(c, plot_view_mode::phase, 400).substr(0, 15), "   group delay ");
}

// Another preset's same channel, last and dashed, as its own curves; a
// channel its device lacks gets a legend line only.
TEST(PlotContent, ComparedPresetsSameChannel) {
  const preset_t p = tuned();
  preset_t other = tuned();
  other.channel[1] = {"Top R", 0,  0, 0, 0, {{1, {400, 0}, {7, 0}}, {2, {0, 3000}, {0, 7}}},
                      {},      {}, 0};
  for (peq_t& band : other.channel[1].peq) band = {2500, 30, -60, 0};
  auto own = std::make_unique<channel_curves_t>();
  channel_curves(other.channel[1], *own);
  auto r = std::make_unique<channel_response_t>();
  channel_response(other.channel[1], *r);
  plot_sources_t src;
  src.preset = &p;
  src.compare = {"v2.qpx", &other, MV517};
  for (const auto& [eq, phase, what] : {std::tuple{false, false, "crossover"},
                                        {true, false, "EQ"},
                                        {true, true, "total phase"},
                                        {false, true, "total phase"}}) {
    plot_choice_t choice;
    choice.eq = eq, choice.total = true;
    choice.mode = phase ? plot_view_mode::phase : plot_view_mode::level;
    plot_content_t c;
    compose_plot(1, choice, src, c);
    ASSERT_EQ(c.extra.size(), eq && !phase ? 2u : 1u) << what;
    EXPECT_TRUE(c.extra.back().dashed && c.legend.back().dashed);
    EXPECT_EQ(c.extra.back().colour.g, COMPARE_CURVE_RGB.g);
    EXPECT_EQ(c.legend.back().text,
              std::string("Compared: Out B \"Top R\" of v2.qpx (") + what + ")");
    for (int i = 0; i < EQ_TABLE_SIZE; i += 4)
      EXPECT_NEAR(c.extra.back().values[i],
                  phase ? response_phase_deg(r->total[i])
                  : eq  ? own->sum[i]
                        : own->xo[i],
                  1e-9)
          << what << " " << i;
  }
  src.compare = {"small.qpx", &other, MV961};
  plot_content_t c;
  compose_plot(2, plot_choice_t{}, src, c);
  EXPECT_TRUE(c.extra.empty() && c.legend.size() == 1u);
  EXPECT_EQ(c.legend[0].text, "Compared: small.qpx (MV961) has no channel C");
}

// A pure delay has the same group delay at every column.
TEST(PlotContent, GroupDelayOfADelay) {
  complex_t h[EQ_TABLE_SIZE];
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) h[i] = delay_factor(column_to_freq(i), 100);
  double gd[EQ_TABLE_SIZE];
  group_delay_ms(h, gd);
  for (int i = 0; i < EQ_TABLE_SIZE; i += 7) EXPECT_NEAR(gd[i], 1000.0 / 343.4, 1e-6) << i;
}

}  // namespace
