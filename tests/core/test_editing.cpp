#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/editing.h"

namespace {

preset_t defaults() {
  preset_t p;
  Create_Default_Preset(&p);
  return p;
}

// ---- Level linking -----------------------------------------------------------

TEST(LevelLinking, StepMovesTheLevelGroupOnly) {
  // before: levels and gain_temp before channel ch is set to value.
  // clang-format off
  struct Case { const char* name; uint8_t groups[4]; double before[4]; unsigned ch; double value;
                unsigned channels; double after[4]; };
  // clang-format off
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
      p.channel[i].gain = static_cast<int16_t>(c.before[i] * 10);
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

// Drives the level wrapper the way the spin buttons do: the changed value,
// then the values the linked spin buttons were set to.
struct LevelEditor {
  double shown[4];
  LevelEditor(double a, double b, uint8_t ga, uint8_t gb) {
    Create_Default_Preset(&preset);
    mv_type = 4;
    preset.channel[0].gain = static_cast<int16_t>(a * 10);
    preset.channel[1].gain = static_cast<int16_t>(b * 10);
    preset.channel[0].groups = ga;
    preset.channel[1].groups = gb;
    init_gain_temp();
    for (int i = 0; i < 4; ++i) shown[i] = preset.channel[i].gain / 10.0;
  }
  void set(unsigned ch, double v) {
    shown[ch] = v;
    const level_link_t r = store_level_change(ch, shown);
    for (int i = 0; i < 4; ++i) shown[i] = r.shown[i];
  }
};

TEST(LevelLinking, ClampSequenceThroughGainTemp) {
  LevelEditor e(-10.0, -5.0, 1, 1);
  e.set(0, -9.0);  // the first change after the build moves B by the step only
  EXPECT_EQ(preset.channel[1].gain, -40);
  EXPECT_STREQ(level_values[1], " -4.0 dB");

  LevelEditor f(-10.0, 5.5, 1, 1);
  f.set(0, -9.0);  // +1.0: B would reach +6.5 and stops at +6.0
  EXPECT_EQ(preset.channel[1].gain, 60);
  f.set(0, -10.0);  // -1.0 from where B stopped
  EXPECT_EQ(preset.channel[0].gain, -100);
  EXPECT_EQ(preset.channel[1].gain, 50);
  EXPECT_DOUBLE_EQ(gain_temp[1], 5.0);
  EXPECT_STREQ(level_values[1], "  5.0 dB");
}

TEST(LevelLinking, StoredGainAndText) {
  // clang-format off
  const struct { double db; int16_t stored; const char* text; } cases[] = {
      {-12.3, -123, "-12.3 dB"}, {6.0, 60, "  6.0 dB"}, {-99.0, -990, "-99.0 dB"},
      {-0.05, -1, " -0.1 dB"},   {0.25, 3, "  0.3 dB"}, {0.0, 0, "  0.0 dB"}};
  // clang-format on
  for (const auto& c : cases) {
    LevelEditor e(0.0, 0.0, 0, 0);
    e.set(2, c.db);
    EXPECT_EQ(preset.channel[2].gain, c.stored) << c.db;
    EXPECT_STREQ(level_values[2], c.text) << c.db;
  }
}

// ---- Mute linking and group codes ---------------------------------------

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

TEST(MuteLinking, WrapperStoresMuteAndUnmutedMask) {
  Create_Default_Preset(&preset);
  mv_type = 4;
  preset.channel[1].groups = 0x30;
  preset.channel[2].groups = 0x30;
  EXPECT_EQ(store_mute_toggle(1, true), 0x06);
  EXPECT_EQ(preset.mute, 0x06);
  EXPECT_EQ(static_cast<uint32_t>(aktiv[AKTIV_UNMUTED]), 0xFFFFFFF9u);
}

TEST(GroupCodes, ComboIndexReplacesItsNibbleOnly) {
  const struct {
    uint8_t groups;
    int index;
    uint8_t with_mute, with_level;
  } cases[] = {{0x00, 0, 0x00, 0x00}, {0x02, 1, 0x22, 0x01}, {0x31, 2, 0x31, 0x32},
               {0x51, 3, 0x41, 0x50}, {0x12, 4, 0x52, 0x10}, {0xF2, 0, 0x02, 0xF0}};
  for (const auto& c : cases) {
    EXPECT_EQ(groups_with_mute_group(c.groups, c.index), c.with_mute) << int(c.groups);
    EXPECT_EQ(groups_with_level_group(c.groups, c.index), c.with_level) << int(c.groups);
    EXPECT_EQ(mute_group_index(groups_with_mute_group(c.groups, c.index)), c.index);
  }
}

// ---- Crossover ---------------------------------------------------------------

std::string recalc_text(const xo_recalc_t& r) {
  return (r.hp ? "HP order " + std::to_string(r.hp_order) : std::string("no HP")) +
         (r.lp ? ", LP order " + std::to_string(r.lp_order) : std::string(", no LP"));
}

TEST(XoEditing, TypeFromComboIndicesFixesTheQSlots) {
  // clang-format off
  struct Case { int hp_index, lp_index; uint8_t hp_config, lp_config; uint8_t hp_q[2];
                xo_recalc_t recalc; };
  const Case cases[] = {
      {0, 0, 1, 0, {7, 99},  {true, 0, false, 0}},  // Butterworth, low-pass off
      {1, 1, 2, 1, {99, 7},  {true, 1, true, 0}},   // Linkwitz-Riley fixes slot 1
      {2, 2, 0, 2, {12, 99}, {true, 0, true, 1}},   // "Q 1.2"
  };
  // clang-format on
  for (const Case& c : cases) {
    channel_t ch = defaults().channel[0];
    ch.xo[0].q[0] = ch.xo[0].q[1] = 99;
    ch.xo[1].q[0] = ch.xo[1].q[1] = 99;
    ch.xo[0].freq[0] = ch.xo[0].freq[1] = 250;
    const xo_recalc_t r = apply_xo_type(ch, c.hp_index, c.lp_index);
    SCOPED_TRACE(c.hp_index);
    EXPECT_EQ(ch.xo[0].config, c.hp_config);
    EXPECT_EQ(ch.xo[1].config, c.lp_config);
    EXPECT_EQ(ch.xo[0].q[0], c.hp_q[0]);
    EXPECT_EQ(ch.xo[0].q[1], c.hp_q[1]);
    EXPECT_EQ(ch.xo[1].q[0] * 100 + ch.xo[1].q[1], 707);
    EXPECT_EQ(ch.xo[0].freq[xo_slot(ch.xo[0].config)], 250);  // type change keeps the frequency
    EXPECT_EQ(recalc_text(r), recalc_text(c.recalc));
  }
}

TEST(XoEditing, FrequencyWritesBothFiltersAndBothSlots) {
  // clang-format off
  struct Case { uint8_t hp_config, lp_config; int select; xo_recalc_t recalc; };
  const Case cases[] = {{2, 1, 0, {true, 1, false, 0}}, {1, 2, 1, {false, 0, true, 1}},
                        {0, 1, 1, {false, 0, true, 0}}, {1, 0, 1, {false, 0, false, 0}}};
  // clang-format on
  for (const Case& c : cases) {
    Create_Default_Preset(&preset);
    preset.channel[2].xo[0].config = c.hp_config;
    preset.channel[2].xo[1].config = c.lp_config;
    preset.channel[2].xo[0].freq[1] = 999;
    const xo_recalc_t r = store_xo_freq(2, 120, 1000, c.select);
    SCOPED_TRACE(c.select);
    for (int slot = 0; slot < 2; ++slot) {
      EXPECT_EQ(preset.channel[2].xo[0].freq[slot], 120);
      EXPECT_EQ(preset.channel[2].xo[1].freq[slot], 1000);
    }
    EXPECT_EQ(x[0][2], 173);
    EXPECT_EQ(x[1][2], 464);
    EXPECT_EQ(xo_select, c.select);
    EXPECT_EQ(recalc_text(r), recalc_text(c.recalc));
  }
}

// ---- EQ bands ----------------------------------------------------------------

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
  EXPECT_TRUE(r.lowshelf);
  EXPECT_TRUE(r.highshelf);
  EXPECT_EQ(r.band, 3);
  EXPECT_EQ(aktiv[AKTIV_PEQ], 0x02);

  // Last band off clears the bit; the shown gain comes back when it is on.
  const int all_off[6] = {0, 0, 0, 0, 0, 0};
  store_peq_types(1, all_off, shown, 0);
  EXPECT_EQ(aktiv[AKTIV_PEQ], 0);
  for (const peq_t& band : preset.channel[1].peq) {
    EXPECT_EQ(band.gain, 0);
    EXPECT_FALSE(peq_active(band));
  }
  const int first_on[6] = {1, 0, 0, 0, 0, 0};
  const peq_recalc_t again = store_peq_types(1, first_on, shown, 0);
  EXPECT_EQ(preset.channel[1].peq[0].gain, -30);
  EXPECT_FALSE(again.lowshelf);
  EXPECT_EQ(aktiv[AKTIV_PEQ], 0x02);
}

TEST(PeqEditing, GainFrequencyAndQ) {
  const struct {
    int type_index;
    double shown;
    int8_t gain;
    int16_t row;
  } gains[] = {{1, 12.0, 120, 6}, {1, -12.0, -120, 198}, {2, 3.0, 30, 78},
               {1, 6.5, 65, 50},  {1, -0.05, -1, 102},   {0, 7.0, 0, 102}};
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
  EXPECT_FALSE(r.lowshelf);
  EXPECT_TRUE(r.highshelf);
  EXPECT_EQ(r.band, 2);

  const struct {
    double q;
    uint8_t stored;
  } qs[] = {{0.7, 7}, {12.5, 125}, {1.04, 10}, {1.05, 11}};
  for (const auto& c : qs) {
    apply_peq_q(ch, 4, c.q);
    EXPECT_EQ(ch.peq[4].q, c.stored) << c.q;
  }
}

// ---- Limiter -----------------------------------------------------------------

TEST(LimiterEditing, ReleaseThresholdTextAndMask) {
  const struct {
    int ms;
    uint8_t stored;
  } releases[] = {{1270, 127}, {0, 0}, {10, 1}, {19, 1}, {100, 10}};
  for (const auto& c : releases) EXPECT_EQ(release_from_ms(c.ms), c.stored) << c.ms;

  Create_Default_Preset(&preset);
  mv_type = 2;
  preset.channel[3].dynamics.threshold = -5;  // not shown by the MV961 editor
  aktiv[AKTIV_DYN] = 0xF0;
  store_limiter_threshold(1, -1);
  EXPECT_EQ(aktiv[AKTIV_DYN], 0x02);
  EXPECT_STREQ(dyn_values[1], " -1 dB");
  store_limiter_threshold(0, -24);
  EXPECT_STREQ(dyn_values[0], "-24 dB");
  EXPECT_EQ(aktiv[AKTIV_DYN], 0x03);
  store_limiter_threshold(1, 0);
  EXPECT_STREQ(dyn_values[1], "  0 dB");
  EXPECT_EQ(aktiv[AKTIV_DYN], 0x01);
}

// ---- Delay -------------------------------------------------------------------

TEST(DelayEditing, EveryChannelIsStoredAgainFromItsShownValue) {
  // clang-format off
  const struct { double shown[4]; delay_unit_t unit; uint16_t cm[4]; int mask; } cases[] = {
      {{1.15, 3.0, 400.0, 0.0},        DELAY_M,  {115, 300, 40000, 0}, 0x07},
      {{1.0, 10.0, 1164.82, 0.0},      DELAY_MS, {34, 343, 39999, 0},  0x07},
      {{0.0, 1.0, 0.0, 1312.34},       DELAY_FT, {0, 30, 0, 40000},    0x0A},
  };
  // clang-format on
  for (const auto& c : cases) {
    Create_Default_Preset(&preset);
    mv_type = 4;
    for (channel_t& ch : preset.channel) ch.delay = 12345;
    store_delays(c.shown, c.unit);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(preset.channel[i].delay, c.cm[i]) << c.shown[i];
    EXPECT_EQ(aktiv[AKTIV_DELAY], c.mask);
  }
  const char* texts[4] = {"  0.00 ft", "  1.00 ft", "  0.00 ft", "1312.34 ft"};
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(delay_values[i], texts[i]);
}

TEST(DelayEditing, UnitSwitchTable) {
  // clang-format off
  const struct { delay_unit_t from, to; double value, converted; const char* label; double max;
                 const char* suffix; } cases[] = {
      {DELAY_MS, DELAY_M, 1000.0, 343.4, "m", 400.0, " m"},
      {DELAY_FT, DELAY_M, 100.0, 30.48, "m", 400.0, " m"},
      {DELAY_M, DELAY_MS, 34.34, 100.0, "ms", 1164.82, " ms"},
      {DELAY_FT, DELAY_MS, 100.0, 30480.0 / 343.4, "ms", 1164.82, " ms"},
      {DELAY_M, DELAY_FT, 3.048, 10.0, "ft", 1312.34, " ft"},
      {DELAY_MS, DELAY_FT, 304.8, 343.4, "ft", 1312.34, " ft"},
      {DELAY_M, DELAY_MS, 400.0, 1164.82, "ms", 1164.82, " ms"},  // clamped to the range
      {DELAY_MS, DELAY_M, 1164.82, 1164.82 * 0.3434, "m", 400.0, " m"},
  };
  // clang-format on
  for (const auto& c : cases) {
    const delay_unit_switch_t s = delay_unit_switch(c.value, c.from, c.to);
    EXPECT_NEAR(s.value, c.converted, 1e-9) << c.value;
    EXPECT_STREQ(s.label, c.label);
    EXPECT_DOUBLE_EQ(s.max, c.max);
    EXPECT_STREQ(s.suffix, c.suffix);
  }
}

TEST(DelayEditing, ThreeMetresShownInMillisecondsThenFeet) {
  preset_t p = defaults();
  char texts[4][DELAY_TEXT_SIZE];
  double shown[4] = {3.0, 0, 0, 0};
  apply_delays(p, 1, shown, DELAY_M, texts);
  EXPECT_EQ(p.channel[0].delay, 300);
  shown[0] = delay_unit_switch(shown[0], DELAY_M, DELAY_MS).value;
  apply_delays(p, 1, shown, DELAY_MS, texts);
  EXPECT_STREQ(texts[0], "  8.74 ms");
  EXPECT_EQ(p.channel[0].delay, 300);
  shown[0] = delay_unit_switch(shown[0], DELAY_MS, DELAY_FT).value;
  apply_delays(p, 1, shown, DELAY_FT, texts);
  EXPECT_STREQ(texts[0], "  9.84 ft");
  EXPECT_EQ(p.channel[0].delay, 300);
}

// The spin button holds the converted value at full precision and prints it
// with two decimals; when it re-reads its unedited text it keeps the value it
// holds. Showing any stored delay and storing it again, directly in each
// unit or through a chain of unit switches that takes all six directions,
// and after the spin button re-read its text, gives back the same
// centimetres. Only 400 m cannot be shown in ms: that range ends at 1164.82.
TEST(DelayEditing, EveryStorableDelaySurvivesShowingAndSwitchingUnits) {
  const delay_unit_t chain[] = {DELAY_MS, DELAY_FT, DELAY_M, DELAY_FT, DELAY_MS, DELAY_M};
  const auto reread = [](double held) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", held);
    return spin_kept_value(text, held, 2).value_or(std::strtod(text, nullptr));
  };
  int failures = 0;
  for (int cm = 0; cm <= 40000; ++cm) {
    for (delay_unit_t u : {DELAY_M, DELAY_MS, DELAY_FT}) {
      const int expect = (u == DELAY_MS && cm == 40000) ? 39999 : cm;
      const double held = delay_spin_clamp(cm_to_delay(cm, u), u);
      if (delay_to_cm(held, u) != expect || delay_to_cm(reread(held), u) != expect) {
        if (++failures <= 5) ADD_FAILURE() << cm << " cm shown in unit " << u;
      }
    }
    double held = cm / 100.0;  // the Delay tab opens in metres
    delay_unit_t from = DELAY_M;
    const int expect = cm == 40000 ? 39999 : cm;  // clamped by the first switch to ms
    for (delay_unit_t to : chain) {
      held = reread(delay_unit_switch(held, from, to).value);
      if (delay_to_cm(held, to) != expect) {
        if (++failures <= 5) ADD_FAILURE() << cm << " cm after switching " << from << "->" << to;
      }
      from = to;
    }
  }
  EXPECT_EQ(failures, 0);
}

// ---- Spin buttons ------------------------------------------------------------

TEST(SpinButtons, WholeNumberAndKeptValue) {
  const struct {
    double value;
    int whole;
  } cases[] = {{1234.4, 1234}, {1234.5, 1235}, {-2.5, -2}, {-2.6, -3}, {12500.0, 12500}};
  for (const auto& c : cases) EXPECT_EQ(spin_whole(c.value), c.whole) << c.value;

  const double held = 6 / 34.34 * 10;  // 6 cm in ms, shown as "1.75"
  EXPECT_EQ(spin_kept_value("1.75", held, 2), held);
  EXPECT_EQ(spin_kept_value("1.76", held, 2), std::nullopt);  // edited: parse it
  EXPECT_EQ(spin_kept_value("1.7", held, 2), std::nullopt);
}

// ---- Overview values at editor build ---------------------------------------

TEST(OverviewValues, TextsAndMasksForTheShownChannels) {
  preset_t p = defaults();
  p.channel[0].delay = 40000;
  p.channel[0].gain = -995;
  p.channel[0].dynamics.threshold = -24;
  p.channel[1].peq[3].gain = 30;
  p.channel[2].delay = 5;
  p.channel[3].peq[0].type = 1;
  p.mute = 0x05;

  overview_values_t v{};
  v.aktiv[AKTIV_PEQ] = 0x0F;  // left over from an earlier editor
  v.aktiv[2] = 0x55;
  std::strcpy(v.level_values[3], "old");
  compute_overview_values(p, 2, v);
  EXPECT_STREQ(v.delay_values[0], "400.00 m");
  EXPECT_STREQ(v.delay_values[1], "  0.00 m");
  EXPECT_STREQ(v.level_values[0], "-99.5 dB");
  EXPECT_STREQ(v.level_values[1], "  0.0 dB");
  EXPECT_STREQ(v.dyn_values[0], "-24 dB");
  EXPECT_STREQ(v.dyn_values[1], "  0 dB");
  EXPECT_STREQ(v.level_values[3], "old");
  EXPECT_EQ(v.aktiv[AKTIV_DYN], 0x01);
  EXPECT_EQ(v.aktiv[AKTIV_PEQ], 0x0E);  // A cleared, B set, C and D untouched
  EXPECT_EQ(v.aktiv[2], 0x55);
  EXPECT_EQ(v.aktiv[AKTIV_DELAY], 0x01);
  EXPECT_EQ(static_cast<uint32_t>(v.aktiv[AKTIV_UNMUTED]), 0xFFFFFFFAu);

  compute_overview_values(p, 4, v);
  EXPECT_EQ(v.aktiv[AKTIV_PEQ], 0x0A);
  EXPECT_EQ(v.aktiv[AKTIV_DELAY], 0x05);
  EXPECT_STREQ(v.delay_values[2], "  0.05 m");
}

TEST(OverviewValues, NewPresetShowsNothingActive) {
  Create_Default_Preset(&preset);
  std::memset(aktiv, 0xFF, sizeof aktiv);
  init_overview_values(4);
  for (int m : {AKTIV_DYN, AKTIV_PEQ, AKTIV_DELAY}) EXPECT_EQ(aktiv[m] & 0x0F, 0) << m;
  EXPECT_EQ(aktiv[AKTIV_UNMUTED], -1);
}

// ---- Press and drag on the plots ---------------------------------------------

TEST(PlotPress, CrossoverChoosesTheNearerHandle) {
  const struct {
    int16_t hp, lp, px;
    bool lp_off;
    int choice;
  } cases[] = {
      {100, 300, 150, false, 0}, {100, 300, 250, false, 1}, {100, 300, 200, false, 1},  // tie
      {100, 300, 199, false, 0}, {100, 300, 700, true, 0},  {300, 100, 0, false, 1},
  };
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
      {{true, true, true, true, true, false}, 0, 5, 5},
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
  EXPECT_EQ(top.hz, 8000);
  EXPECT_EQ(top.column, 749);
  const xo_target_t bottom = xo_pointer_target(0);
  EXPECT_EQ(bottom.hz, 35);
  EXPECT_EQ(bottom.column, 4);

  // clang-format off
  const struct { int16_t px, py; int hz; double requested_db; int gain; int16_t row; } cases[] = {
      {811, 50, 12000, 6.5, 65, 50},
      {464, 0, 997, 12.75, 120, 6},
      {0, 204, 35, -12.75, -120, 198},
      {173, 102, 120, 0.0, 0, 102},
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
