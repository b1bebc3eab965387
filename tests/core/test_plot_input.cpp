// Keys, wheel and readout of the plots (frequencies found apart by searching
// whole hertz with the column formula).
#include <gtest/gtest.h>

#include <cmath>

#include "response/plot_input.h"

namespace {

using A = plot_key_action;

TEST(PlotKeys, WhatEachKeyDoes) {
  // X keysyms: Right ff53, Left ff51, Down ff54, KP_Left ff96, "+" 2b, "=" 3d, "-" 2d, Tab
  // ff09, ISO_Left_Tab fe20, "s" 73. With Ctrl the arrows do nothing, the rest is the window's.
  // clang-format off
  const struct { unsigned key; bool shift, ctrl; A action; int steps; } cases[] = {
      {0xff53, 0, 0, A::move_columns, 1}, {0xff51, 1, 0, A::move_columns, -10},
      {0xff96, 0, 0, A::move_columns, -1}, {0xff54, 1, 0, A::step_gain, -10},
      {0x2b, 0, 0, A::step_q, 1}, {0x3d, 1, 0, A::step_q, 10}, {0x2d, 0, 0, A::step_q, -1},
      {0xff09, 1, 0, A::select_previous, 0}, {0xfe20, 0, 0, A::select_previous, 0},
      {0xff53, 0, 1, A::swallow, 0}, {0xff09, 0, 1, A::ignore, 0}, {0x73, 0, 0, A::ignore, 0}};
  // clang-format on
  for (const auto& c : cases) {
    const plot_key_t k = plot_key(c.key, c.shift, c.ctrl);
    EXPECT_TRUE(k.action == c.action && k.steps == c.steps)
        << std::hex << c.key << c.shift << c.ctrl;
  }
  // Tab walks the active handles and wraps.
  const bool eq[6] = {false, true, true, false, false, true}, xo[2] = {true, false}, none[6] = {};
  // clang-format off
  const struct { const bool* active; int count, current; bool forward; int next; } tabs[] = {
      {eq, 6, -1, true, 1}, {eq, 6, -1, false, 5}, {eq, 6, 2, true, 5}, {eq, 6, 5, true, 1},
      {eq, 6, 1, false, 5}, {eq, 6, 3, true, 5}, {xo, 2, 0, true, 0}, {none, 6, 2, true, -1}};
  // clang-format on
  for (const auto& c : tabs)
    EXPECT_EQ(next_handle(c.current, c.active, c.count, c.forward), c.next) << c.current;
}

TEST(PlotSteps, ByPlotColumnsAndTenthsWithinTheRanges) {
  // Below about 140 Hz columns without a whole hertz are passed over.
  // clang-format off
  const struct { int hz, columns, hi, expect; } cases[] = {
      {1000, 1, 12000, 1005}, {1000, -1, 12000, 996}, {1000, 10, 12000, 1073},
      {1000, -10, 12000, 933}, {3176, 1, 12000, 3177}, {35, 1, 12000, 36}, {36, -1, 12000, 35},
      {35, -1, 12000, 35}, {11990, 10, 12000, 12000}, {12000, -1, 12000, 11965},
      {7990, 1, 8000, 8000}, {20, 1, 12000, 35}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(frequency_moved_by_columns(c.hz, c.columns, 35, c.hi), c.expect) << c.hz << c.columns;
  EXPECT_TRUE(gain_stepped(115, 10) == 120 && gain_stepped(-119, -10) == -120);
  EXPECT_TRUE(q_stepped(7, -1) == 7 && q_stepped(120, 10) == 125);
}

TEST(PlotSteps, WhichSpinButtonAStepSetsToWhat) {
  using F = plot_step_field;
  const peq_t peaking{1000, 20, -25, 0}, shelf{8000, 7, 30, 1};
  const xo_t lr{2, {100, 120}, {7, 7}};  // Linkwitz-Riley uses the second slot
  // clang-format off
  const struct { plot_step_t step; F field; double value; } cases[] = {
      {peq_step(peaking, {A::move_columns, 1}), F::frequency, 1005},
      {peq_step(peaking, {A::step_gain, 10}), F::gain, -1.5},
      {peq_step(peaking, {A::step_q, -1}), F::q, 1.9}, {peq_step(shelf, {A::step_q, 1}), F::none, 0},
      {peq_step(shelf, {A::step_gain, -1}), F::gain, 2.9},
      {xo_step(lr, {A::move_columns, -1}), F::frequency, 119},
      {xo_step(lr, {A::step_gain, 1}), F::none, 0}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_TRUE(c.step.field == c.field && std::abs(c.step.value - c.value) < 1e-9) << c.value;
}

TEST(PlotWheel, NearestPeakingBandWithinTenPixels) {
  // Handles drawn at (column + 0.5, row); band 0 is a shelf.
  const int16_t column[6] = {100, 300, 306, 500, 700, 700}, row[6] = {102, 50, 50, 150, 20, 20};
  const bool peaking[6] = {false, true, true, true, true, true};
  // clang-format off
  const struct { double x, y; int band; } cases[] = {
      {100.5, 102, -1}, {303.5, 50, 1} /* a tie: the lower */, {305, 52, 2},
      {500.5, 160, 3} /* 10 pixels */, {500.5, 160.5, -1}, {700.5, 20, 4}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(wheel_band(column, row, peaking, c.x, c.y), c.band) << c.x << ", " << c.y;
}

TEST(PlotReadout, PointerAndFilterTexts) {
  // clang-format off
  for (auto [hz, text] : {std::pair{33.88, "33.9 Hz"}, {99.96, "100 Hz"}, {999.7, "1.00 kHz"},
                          {1254.9, "1.25 kHz"}, {12500.7, "12.5 kHz"}})
    // clang-format on
    EXPECT_EQ(readout_frequency(hz), text) << hz;
  // Column 495 is 1249.5 Hz, row 74 +3.5 dB, row 205 -12.875 dB.
  EXPECT_EQ(pointer_readout(495, 74), "1.25 kHz   +3.5 dB");
  EXPECT_EQ(pointer_readout(464, 205), "997 Hz   -12.9 dB");
  EXPECT_EQ(peq_readout(2, peq_t{990, 7, 0, 0}), "Filter 3: 990 Hz, 0.0 dB, Q 0.7");
  // The frequency of the slot the type uses (the second for Linkwitz-Riley).
  EXPECT_EQ(xo_readout(0, xo_t{2, {100, 120}, {7, 7}}), "High-Pass: 120 Hz, Linkwitz-Riley 4.");
  EXPECT_EQ(xo_readout(1, xo_t{1, {2500, 2400}, {7, 7}}), "Low-Pass: 2500 Hz, Butterworth 2.");
}

}  // namespace
