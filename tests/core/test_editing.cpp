#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "model/editing.h"

namespace {

preset_t defaults() {
  preset_t p;
  Create_Default_Preset(&p);
  return p;
}

// ---- Level and mute linking ------------------------------------------------

TEST(LevelLinking, StepMovesTheLevelGroupOnly) {
  // clang-format off
  struct Case { const char* name; uint8_t groups[4]; double before[4]; unsigned ch; double value;
                unsigned channels; double after[4]; };
  const Case cases[] = {
      {"group 1 follows",     {1, 1, 2, 0},       {-10, -5, -20, -30}, 0, -9,  4, {-9, -4, -20, -30}},
      {"group 2 follows",     {0, 2, 1, 2},       {0, -3, 0, -7.5},    3, -10, 4, {0, -5.5, 0, -10}},
      {"independent",         {0, 0, 0, 0},       {-1, -1, -1, -1},    1, 3,   4, {-1, 3, -1, -1}},
      {"upper clamp",         {1, 1, 1, 0},       {-10, 5.5, 0, 0},    0, -9,  4, {-9, 6, 1, 0}},
      {"lower clamp",         {2, 2, 0, 0},       {-98, -50, 0, 0},    1, -60, 4, {-99, -60, 0, 0}},
      {"unknown nibble",      {5, 5, 0, 0},       {-10, -10, 0, 0},    0, -8,  4, {-8, -10, 0, 0}},
      {"mute nibble ignored", {0x21, 0x51, 0, 0}, {0, 1, 0, 0},        0, -2,  4, {-2, -1, 0, 0}},
      {"MV961: two channels", {1, 1, 1, 1},       {0, 0, 0, 0},        0, -4,  2, {-4, -4, 0, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    preset_t p = defaults();
    double shown[4];
    for (int i = 0; i < 4; ++i) {
      p.channel[i].groups = c.groups[i];
      shown[i] = c.before[i];
    }
    shown[c.ch] = c.value;
    const level_link_t r = link_levels(p, c.channels, c.ch, shown, c.before);
    for (int i = 0; i < 4; ++i) {
      EXPECT_DOUBLE_EQ(r.shown[i], c.after[i]) << "channel " << i;
      EXPECT_EQ(r.moved[i], i != int(c.ch) && r.shown[i] != c.before[i]) << "channel " << i;
      EXPECT_EQ(r.gain[i], static_cast<int16_t>(c.after[i] * 10)) << "channel " << i;
    }
  }
}

// The spin buttons' sequence: the step is measured from where each linked
// channel stopped, not from where it would have gone.
TEST(LevelLinking, ClampSequenceThroughGainTemp) {
  Create_Default_Preset(&preset);
  mv_type = 4;
  preset.channel[0].gain = -100;
  preset.channel[1].gain = 55;
  preset.channel[0].groups = preset.channel[1].groups = 1;
  init_gain_temp();
  double shown[4] = {-10.0, 5.5, 0, 0};
  const auto set = [&](unsigned ch, double v) {
    shown[ch] = v;
    const level_link_t r = store_level_change(ch, shown);
    std::copy(r.shown, r.shown + 4, shown);
  };
  set(0, -9.0);  // +1.0: B would reach +6.5 and stops at +6.0
  EXPECT_EQ(preset.channel[1].gain, 60);
  set(0, -10.0);  // -1.0 from where B stopped
  EXPECT_EQ(preset.channel[0].gain, -100);
  EXPECT_EQ(preset.channel[1].gain, 50);
  EXPECT_DOUBLE_EQ(gain_temp[1], 5.0);
  EXPECT_STREQ(level_values[1], "  5.0 dB");
  // Stored to the nearest 0.1 dB, halves away from zero.
  const struct {
    double db;
    int16_t stored;
    const char* text;
  } cases[] = {{-0.05, -1, " -0.1 dB"}, {0.25, 3, "  0.3 dB"}, {-99.0, -990, "-99.0 dB"}};
  for (const auto& c : cases) {
    set(2, c.db);
    EXPECT_EQ(preset.channel[2].gain, c.stored) << c.db;
    EXPECT_STREQ(level_values[2], c.text) << c.db;
  }
}

TEST(MuteLinking, FollowersByStrongAndWeakMembership) {
  // clang-format off
  struct Case { const char* name; uint8_t groups[4]; uint8_t mute_before; unsigned ch; bool state;
                unsigned channels; uint8_t mute_after; };
  const Case cases[] = {
      {"strong pulls strong and weak", {0x20, 0x30, 0x20, 0x00}, 0, 0, true, 4, 0x07},
      {"weak pulls only weak", {0x30, 0x20, 0x30, 0x30}, 0, 0, true, 4, 0x0D},
      {"group 2 strong", {0x40, 0x50, 0x20, 0x40}, 0, 3, true, 4, 0x0B},
      {"group 2 weak", {0x50, 0x40, 0x50, 0x30}, 0, 2, true, 4, 0x05},
      {"independent pulls nothing", {0x00, 0x00, 0x20, 0x30}, 0, 0, true, 4, 0x01},
      {"unknown nibble pulls nothing", {0x10, 0x10, 0x60, 0xF0}, 0, 0, true, 4, 0x01},
      {"unknown nibble is not pulled", {0x20, 0x10, 0x60, 0x30}, 0, 0, true, 4, 0x09},
      {"unmuting follows the same table", {0x20, 0x30, 0x40, 0x20}, 0x0F, 0, false, 4, 0x04},
      {"followers take the state, not a flip", {0x20, 0x20, 0x30, 0}, 0x06, 0, true, 4, 0x07},
      {"MV961 leaves C and D alone", {0x20, 0x20, 0x20, 0x20}, 0x08, 0, true, 2, 0x0B},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    preset_t p = defaults();
    for (int i = 0; i < 4; ++i) p.channel[i].groups = c.groups[i];
    p.mute = c.mute_before;
    EXPECT_EQ(mute_after_toggle(p, c.channels, c.ch, c.state), c.mute_after);
  }
}

// ---- Crossover and EQ --------------------------------------------------------

auto curves(const xo_recalc_t& r) {
  return std::make_tuple(r.hp, r.hp ? r.hp_order : 0, r.lp, r.lp ? r.lp_order : 0);
}

TEST(XoEditing, TypeFromComboIndicesFixesTheQSlots) {
  // clang-format off
  const struct { int hp_index, lp_index; uint8_t hp_config, lp_config; uint8_t hp_q[2];
                 xo_recalc_t recalc; } cases[] = {
      {0, 0, 1, 0, {7, 99},  {true, 0, false, 0}},  // Butterworth, low-pass off
      {1, 1, 2, 1, {99, 7},  {true, 1, true, 0}},   // Linkwitz-Riley fixes slot 1
      {2, 2, 0, 2, {12, 99}, {true, 0, true, 1}},   // "Q 1.2"
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hp_index);
    channel_t ch = defaults().channel[0];
    ch.xo[0].q[0] = ch.xo[0].q[1] = ch.xo[1].q[0] = ch.xo[1].q[1] = 99;
    const xo_recalc_t r = apply_xo_type(ch, c.hp_index, c.lp_index);
    EXPECT_EQ(ch.xo[0].config, c.hp_config);
    EXPECT_EQ(ch.xo[1].config, c.lp_config);
    EXPECT_EQ(ch.xo[0].q[0], c.hp_q[0]);
    EXPECT_EQ(ch.xo[0].q[1], c.hp_q[1]);
    EXPECT_TRUE(ch.xo[1].q[0] == 7 && ch.xo[1].q[1] == 7);
    EXPECT_EQ(curves(r), curves(c.recalc));
  }
}

TEST(XoEditing, FrequencyWritesBothFiltersAndBothSlots) {
  const struct {
    uint8_t hp_config, lp_config;
    int select;
    xo_recalc_t recalc;
  } cases[] = {{2, 1, 0, {true, 1, false, 0}},
               {1, 2, 1, {false, 0, true, 1}},
               {1, 0, 1, {false, 0, false, 0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.select);
    channel_t ch = defaults().channel[0];
    ch.xo[0].config = c.hp_config;
    ch.xo[1].config = c.lp_config;
    ch.xo[0].freq[1] = 999;
    int16_t column[2];
    EXPECT_EQ(curves(apply_xo_freq(ch, 120, 1000, c.select, column)), curves(c.recalc));
    EXPECT_TRUE(ch.xo[0].freq[0] == 120 && ch.xo[0].freq[1] == 120);
    EXPECT_TRUE(ch.xo[1].freq[0] == 1000 && ch.xo[1].freq[1] == 1000);
    EXPECT_TRUE(column[0] == 173 && column[1] == 464);
  }
}

TEST(PeqEditing, TypeChangeStoresTypeGainAndActivity) {
  Create_Default_Preset(&preset);
  mv_type = 4;
  aktiv[AKTIV_PEQ] = 0;
  for (int b = 0; b < 6; ++b) y_peq[1][b] = -1;
  const int types[6] = {2, 1, 0, 1, 0, 2};
  const double shown[6] = {-3.0, 12.0, 5.0, -12.0, 0.0, 6.25};
  const peq_recalc_t r = store_peq_types(1, types, shown, 3);
  const int8_t gains[6] = {-30, 120, 0, -120, 0, 63};
  const uint8_t kinds[6] = {1, 0, 0, 0, 0, 1};
  const int16_t rows[6] = {126, 6, -1, 198, -1, 51};  // off bands keep their row
  for (int b = 0; b < 6; ++b) {
    EXPECT_EQ(preset.channel[1].peq[b].gain, gains[b]) << b;
    EXPECT_EQ(preset.channel[1].peq[b].type, kinds[b]) << b;
    EXPECT_EQ(y_peq[1][b], rows[b]) << b;
  }
  EXPECT_TRUE(r.lowshelf && r.highshelf);
  EXPECT_EQ(r.band, 3);
  EXPECT_EQ(aktiv[AKTIV_PEQ], 0x02);
  const int all_off[6] = {0, 0, 0, 0, 0, 0};
  store_peq_types(1, all_off, shown, 0);
  EXPECT_EQ(aktiv[AKTIV_PEQ], 0);
  EXPECT_EQ(preset.channel[1].peq[0].gain, 0);
}

TEST(PeqEditing, GainFrequencyAndQ) {
  const struct {
    int type_index;
    double shown;
    int8_t gain;
    int16_t row;
  } gains[] = {{1, 12.0, 120, 6}, {1, -12.0, -120, 198}, {1, -0.05, -1, 102}, {0, 7.0, 0, 102}};
  for (const auto& c : gains) {
    channel_t ch = defaults().channel[0];
    int16_t row = -1;
    apply_peq_gain(ch, 0, c.type_index, c.shown, row);
    EXPECT_EQ(ch.peq[0].gain, c.gain) << c.shown;
    EXPECT_EQ(row, c.row) << c.shown;
  }
  channel_t ch = defaults().channel[0];
  ch.peq[5].type = 1;
  int16_t column = 0;
  const peq_recalc_t r = apply_peq_freq(ch, 2, 1000, column);
  EXPECT_EQ(ch.peq[2].freq, 1000);
  EXPECT_EQ(column, 464);
  EXPECT_TRUE(!r.lowshelf && r.highshelf && r.band == 2);
  for (auto [q, stored] : {std::pair{0.7, 7}, {12.5, 125}, {1.04, 10}, {1.05, 11}}) {
    apply_peq_q(ch, 4, q);
    EXPECT_EQ(ch.peq[4].q, stored) << q;
  }
}

TEST(LimiterEditing, ReleaseInTensOfMilliseconds) {
  for (auto [ms, stored] : {std::pair{1270, 127}, {0, 0}, {10, 1}, {19, 1}})
    EXPECT_EQ(release_from_ms(ms), stored) << ms;
}

// ---- Delay -------------------------------------------------------------------

// The spin button holds the converted value at full precision, prints it
// with two decimals and keeps the held value when it re-reads an unedited
// text. Every storable delay, shown in each unit or carried through all six
// unit switches, stores back as the same centimetres; only 400 m cannot be
// shown in ms (that range ends at 1164.82).
TEST(DelayEditing, EveryStorableDelaySurvivesShowingAndSwitchingUnits) {
  const delay_unit_t chain[] = {DELAY_MS, DELAY_FT, DELAY_M, DELAY_FT, DELAY_MS, DELAY_M};
  const auto reread = [](double held) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", held);
    return spin_kept_value(text, held, 2).value_or(std::strtod(text, nullptr));
  };
  int failures = 0;
  const auto check = [&](int cm, double held, delay_unit_t u, int expect) {
    if (delay_to_cm(held, u) != expect && ++failures <= 5)
      ADD_FAILURE() << cm << " cm came back as " << delay_to_cm(held, u) << " in unit " << u;
  };
  for (int cm = 0; cm <= 40000; ++cm) {
    const int clamped = cm == 40000 ? 39999 : cm;
    for (delay_unit_t u : {DELAY_M, DELAY_MS, DELAY_FT}) {
      const double held = delay_spin_clamp(cm_to_delay(cm, u), u);
      check(cm, held, u, u == DELAY_MS ? clamped : cm);
      check(cm, reread(held), u, u == DELAY_MS ? clamped : cm);
    }
    double held = cm / 100.0;  // the Delay tab opens in metres
    delay_unit_t from = DELAY_M;
    for (delay_unit_t to : chain) {
      held = reread(delay_unit_switch(held, from, to).value);
      check(cm, held, to, clamped);
      from = to;
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(SpinButtons, WholeNumberAndKeptValue) {
  for (auto [value, whole] : {std::pair{1234.4, 1234}, {1234.5, 1235}, {-2.5, -2}, {-2.6, -3}})
    EXPECT_EQ(spin_whole(value), whole) << value;
  const double held = 6 / 34.34 * 10;  // 6 cm in ms, shown as "1.75"
  EXPECT_EQ(spin_kept_value("1.75", held, 2), held);
  EXPECT_EQ(spin_kept_value("1.76", held, 2), std::nullopt);  // edited: parse it
  EXPECT_EQ(spin_kept_value("1.7", held, 2), std::nullopt);
}

// ---- Overview values at editor build ---------------------------------------

TEST(OverviewValues, TextsAndMasksForTheShownChannelsOnly) {
  preset_t p = defaults();
  p.channel[0].delay = 40000;
  p.channel[0].gain = -995;
  p.channel[1].peq[3].gain = 30;
  p.channel[2].delay = 5;
  overview_values_t v{};
  v.aktiv[AKTIV_PEQ] = 0x0F;  // left over from an earlier editor
  v.aktiv[2] = 0x55;
  std::strcpy(v.delay_values[2], "old");
  compute_overview_values(p, 2, v);
  EXPECT_STREQ(v.delay_values[0], "400.00 m");
  EXPECT_STREQ(v.level_values[0], "-99.5 dB");
  EXPECT_STREQ(v.delay_values[2], "old");
  EXPECT_EQ(v.aktiv[AKTIV_PEQ], 0x0E);  // A cleared, B set, C and D untouched
  EXPECT_TRUE(v.aktiv[AKTIV_DELAY] == 0x01 && v.aktiv[2] == 0x55);
}

// ---- Press and drag on the plots ---------------------------------------------

TEST(PlotPress, CrossoverChoosesTheNearerHandle) {
  const struct {
    int16_t hp, lp, px;
    bool lp_off;
    int choice;
  } cases[] = {{100, 300, 199, false, 0},
               {100, 300, 200, false, 1},  // a tie goes to the low-pass
               {100, 300, 700, true, 0},
               {300, 100, 0, false, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(xo_press_choice(c.hp, c.lp, c.px, c.lp_off), c.choice) << c.px;
}

TEST(PlotPress, EqChoosesTheNearestActiveBand) {
  const int16_t columns[6] = {100, 200, 300, 400, 500, 600};
  // clang-format off
  const struct { bool off[6]; int16_t px; int band, count_off; } cases[] = {
      {{false, false, false, false, false, false}, 340, 2, 0},
      {{false, false, false, false, false, false}, 350, 2, 0},  // tie keeps the lower band
      {{false, false, true, false, false, false}, 310, 3, 1},   // off bands are skipped
      {{true, false, false, false, false, false}, 0, 1, 1},     // band 0 off is never chosen
      {{false, true, true, true, true, true}, 800, 0, 5},
      {{true, true, true, true, true, true}, 300, 0, 6},
  };
  // clang-format on
  for (const auto& c : cases) {
    const peq_press_t r = peq_press_choice(columns, c.off, c.px);
    EXPECT_EQ(r.band, c.band) << c.px;
    EXPECT_EQ(r.count_off, c.count_off) << c.px;
    EXPECT_EQ(peq_press_moves(r.count_off), c.count_off != 6);
  }
}

TEST(PlotPress, PointerTargetsAreClampedByTheSpinButtons) {
  const xo_target_t top = xo_pointer_target(811);
  EXPECT_NEAR(top.requested_hz, 12500.7, 0.05);
  EXPECT_TRUE(top.hz == 8000 && top.column == 749);
  const xo_target_t bottom = xo_pointer_target(0);
  EXPECT_TRUE(bottom.hz == 35 && bottom.column == 4);
  // clang-format off
  const struct { int16_t px, py; int hz; double requested_db; int gain; int16_t row; } cases[] = {
      {811, 50, 12000, 6.5, 65, 50},
      {464, 0, 997, 12.75, 120, 6},
      {0, 204, 35, -12.75, -120, 198},
  };
  // clang-format on
  for (const auto& c : cases) {
    const peq_target_t t = peq_pointer_target(c.px, c.py);
    EXPECT_EQ(t.hz, c.hz) << c.px;
    EXPECT_DOUBLE_EQ(t.requested_db, c.requested_db) << c.py;
    EXPECT_EQ(t.gain, c.gain) << c.py;
    EXPECT_EQ(t.row, c.row) << c.py;
  }
}

}  // namespace
