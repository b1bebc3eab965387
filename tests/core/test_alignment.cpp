// Aligning a top and a sub: the summation loss, and known delays and polarities.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "measure/alignment.h"

namespace {

TEST(SummationLoss, IsTheMeanLossOfAddingTheTwo) {
  struct row_t {
    complex_t x[2], y[2];
    double expected;
  };
  const complex_t j(0.0, 1.0);
  const row_t rows[] = {
      {{1.0, 2.0}, {1.0, 0.5}, 0.0},                              // in phase: nothing lost
      {{1.0, 1.0}, {j, j}, 20 * std::log10(2 / std::sqrt(2.0))},  // 90 degrees: 3.01 dB
      // 90 degrees at 2:1: 20 log10 3 - 20 log10 sqrt 5 = 2.553 dB, and 0
      {{2.0, 1.0}, {j, 1.0}, (20 * std::log10(3 / std::sqrt(5.0))) / 2},
      // Opposite and equal: no sum at all, counted at the response floor.
      {{1.0, 1.0}, {-1.0, 1.0}, (20 * std::log10(2.0) + 200.0) / 2},
  };
  const std::vector<int> cols = {100, 400};
  for (const row_t& r : rows) {
    auto x = std::make_unique<prediction_t>(), y = std::make_unique<prediction_t>();
    for (int i = 0; i < 2; ++i) x->output[cols[i]] = r.x[i], y->output[cols[i]] = r.y[i];
    EXPECT_NEAR(summation_loss_db(*x, *y, cols), r.expected, 1e-9);
  }
}

// A loudspeaker flat in level (95 dB) with a given phase at each column.
template <typename Phase>
std::unique_ptr<grid_measurement_t> speaker(Phase phase_deg) {
  auto g = std::make_unique<grid_measurement_t>();
  g->has_phase = true;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c)
    g->has[c] = true, g->db[c] = 95.0, g->phase_deg[c] = phase_deg(c);
  return g;
}

// A top whose sound takes 3 m to the microphone.
std::unique_ptr<grid_measurement_t> flat_top() {
  return speaker([](int c) { return -360.0 * column_to_freq(c) * 3.0 / SPEED_OF_SOUND; });
}

// A top behind a Linkwitz-Riley high-pass at 100 Hz, a sub behind the low-pass.
preset_t top_and_sub() {
  preset_t p = preset_def;
  p.channel[0].xo[0] = {2, {35, 100}, {7, 7}};
  p.channel[2].xo[0] = {1, {25, 25}, {7, 7}};
  p.channel[2].xo[1] = {2, {120, 100}, {7, 7}};
  return p;
}

// The sub's measurement that adds perfectly to the top when the channels
// are as in `aligned`.
std::unique_ptr<grid_measurement_t> sub_in_phase(const preset_t& aligned,
                                                 const grid_measurement_t& top) {
  auto x = std::make_unique<prediction_t>();
  predict_output(aligned.channel[0], top, *x);
  auto y = std::make_unique<channel_response_t>();
  channel_response(aligned.channel[2], *y);
  return speaker([&](int c) { return x->phase_deg[c] - response_phase_deg(y->output[c]); });
}

TEST(Alignment, FindsTheKnownDelayAndPolarity) {
  struct row_t {
    uint16_t top_delay, sub_delay;  // stored before
    uint8_t sub_phase;
    int max_delay_cm;
    int shift;  // the answer: > 0 the sub later, < 0 the top later
    bool polarity;
    const char* change;
  };
  const row_t rows[] = {
      {0, 0, 0, 1000, 118, true, "Out C +118 cm, polarity inverted"},
      {0, 0, 0, 1000, -118, false, "Out A +118 cm"},
      {0, 0, 0, 1000, -1000, true, "Out A +1000 cm, Out C polarity inverted"},
      {0, 0, 0, 1000, 0, false, "no change"},
      {50, 50, 1, 1000, 0, true, "Out C polarity normal"},
      {150, 30, 0, 1000, 7, false, "Out C +7 cm"},
      {39000, 0, 1, 1000, -1000, false, "Out A +1000 cm"},
      {0, 0, 0, 2000, 1999, false, "Out C +1999 cm"},
  };
  const preset_t base = top_and_sub();
  const auto top = flat_top();
  for (const row_t& r : rows) {
    preset_t p = base;
    p.channel[0].delay = r.top_delay;
    p.channel[2].delay = r.sub_delay;
    p.channel[2].phase = r.sub_phase;
    preset_t aligned = p;
    if (r.shift < 0) aligned.channel[0].delay = uint16_t(r.top_delay - r.shift);
    if (r.shift > 0) aligned.channel[2].delay = uint16_t(r.sub_delay + r.shift);
    if (r.polarity) aligned.channel[2].phase = 1 - r.sub_phase;
    const auto sub = sub_in_phase(aligned, *top);
    align_request_t req;
    req.max_delay_cm = r.max_delay_cm;
    const align_result_t a = align_channels(p, 0, 2, *top, *sub, req);
    SCOPED_TRACE(r.change);
    ASSERT_TRUE(a.ok) << a.reason;
    EXPECT_EQ(a.shift_cm, r.shift);
    EXPECT_EQ(a.polarity_changed, r.polarity);
    EXPECT_EQ(a.change_text, r.change);
    EXPECT_LT(a.loss_after_db, 1e-9);
    EXPECT_GT(a.loss_before_db, r.shift == 0 && !r.polarity ? -1e-9 : 1e-3);
    // The default range: where the two lie within 10 dB, around 100 Hz.
    ASSERT_FALSE(a.columns.empty());
    EXPECT_GT(column_to_freq(a.columns.front()), 70.0);
    EXPECT_LT(column_to_freq(a.columns.back()), 140.0);
    // Only the delays and the sub's polarity change.
    preset_t q = p;
    ASSERT_TRUE(apply_alignment(q, 0, 2, a));
    EXPECT_EQ(std::memcmp(&q, &aligned, sizeof q), 0);
  }
}

// The largest delay and the stored delay's range bound the search.
TEST(Alignment, StaysWithinTheLargestDelayAndTheStoredRange) {
  preset_t p = top_and_sub(), aligned = p;
  aligned.channel[0].delay = 600;
  const auto top = flat_top(), sub = sub_in_phase(aligned, *top);  // the top needs +600 cm
  align_request_t req;
  req.max_delay_cm = 200;
  const align_result_t limited = align_channels(p, 0, 2, *top, *sub, req);
  EXPECT_TRUE(limited.ok && std::abs(limited.shift_cm) <= 200 && limited.loss_after_db > 0.01);
  p.channel[0].delay = 39900;  // 100 cm left for the top
  const align_result_t full = align_channels(p, 0, 2, *top, *sub);
  EXPECT_TRUE(full.ok && full.delay_x <= 40000 && full.shift_cm >= -100) << full.shift_cm;
}

TEST(Alignment, RefusesWhatItCannotAlignAndSaysTheLoss) {
  const preset_t p = top_and_sub();
  const auto top = flat_top();
  auto no_phase = flat_top(), high = flat_top();
  no_phase->has_phase = false;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) high->has[c] = c > 600;
  const struct {
    unsigned y;
    const grid_measurement_t* my;
    double lo, hi;
    int max_delay;
    const char* reason;
  } rows[] = {
      {2, no_phase.get(), 0, 0, 1000,
       "the measurement of Out C has no phase: two loudspeakers can only be added with the "
       "phase of both"},
      {0, top.get(), 0, 0, 1000, "two different channels are needed"},
      {2, top.get(), 0, 0, -1, "the largest delay cannot be negative"},
      {2, high.get(), 0, 0, 1000,
       "the predicted levels of Out A and Out C are nowhere within 10 dB of each other"},
      {2, high.get(), 50, 200, 1000,
       "the measurements of Out A and Out C have no common value within 50-200 Hz"},
  };
  for (const auto& r : rows) {
    align_request_t req;
    req.lo_hz = r.lo, req.hi_hz = r.hi, req.max_delay_cm = r.max_delay;
    const align_result_t a = align_channels(p, 0, r.y, *top, *r.my, req);
    EXPECT_EQ(a.reason, r.reason);
    preset_t q = p;
    EXPECT_FALSE(a.ok || apply_alignment(q, 0, r.y, a));
  }
  align_result_t a;
  a.loss_before_db = 3.214, a.loss_after_db = 0.4151, a.columns = {170, 171, 300};
  EXPECT_EQ(a.loss_text(), "summation loss 3.21 dB -> 0.42 dB (mean over 3 columns, " +
                               std::to_string(std::lround(column_to_freq(170))) + "-" +
                               std::to_string(std::lround(column_to_freq(300))) + " Hz)");
}

}  // namespace
