// Editing rules: linking, spin buttons, delays, values beyond the fields.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/editing.h"
#include "model/editor_findings.h"

namespace {

TEST(LevelLinking, StepMovesTheLevelGroupOnly) {
  // clang-format off
  struct Case { const char* name; uint8_t groups[4]; double before[4]; unsigned ch; double value;
                unsigned channels; double after[4]; };
  const Case cases[] = {
      {"group 1 follows", {1, 1, 2, 0}, {-10, -5, -20, -30}, 0, -9, 4, {-9, -4, -20, -30}},
      {"group 2 follows", {0, 2, 1, 2}, {0, -3, 0, -7.5}, 3, -10, 4, {0, -5.5, 0, -10}},
      {"independent", {0, 0, 0, 0}, {-1, -1, -1, -1}, 1, 3, 4, {-1, 3, -1, -1}},
      {"upper clamp", {1, 1, 1, 0}, {-10, 5.5, 0, 0}, 0, -9, 4, {-9, 6, 1, 0}},
      {"lower clamp", {2, 2, 0, 0}, {-98, -50, 0, 0}, 1, -60, 4, {-99, -60, 0, 0}},
      {"unknown nibble", {5, 5, 0, 0}, {-10, -10, 0, 0}, 0, -8, 4, {-8, -10, 0, 0}},
      {"mute nibble ignored", {0x21, 0x51, 0, 0}, {0, 1, 0, 0}, 0, -2, 4, {-2, -1, 0, 0}},
      {"MV961: two channels", {1, 1, 1, 1}, {0, 0, 0, 0}, 0, -4, 2, {-4, -4, 0, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    preset_t p = preset_def;
    double shown[4];
    for (int i = 0; i < 4; ++i) {
      p.channel[i].groups = c.groups[i], shown[i] = c.before[i];
      p.channel[i].gain = static_cast<int16_t>(c.before[i] * 10);
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
    preset_t p = preset_def;
    for (int i = 0; i < 4; ++i) p.channel[i].groups = c.groups[i];
    p.mute = c.mute_before;
    EXPECT_EQ(mute_after_toggle(p, c.channels, c.ch, c.state), c.mute_after) << c.name;
  }
}

// Every storable delay, shown in each unit and re-read from its two-decimal
// text, stores back unchanged (400 m: the clamped 1164.82 ms); a step is 1 cm.
TEST(DelayEditing, EveryStorableDelaySurvivesShowingAndStepping) {
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
      const double held = delay_shown(cm, u);
      check(cm, held, u, u == DELAY_MS ? clamped : cm);
      check(cm, reread(held), u, u == DELAY_MS ? clamped : cm);
      if (cm < 39999) check(cm, held + delay_step(u), u, cm + 1);
    }
  }
  EXPECT_EQ(failures, 0);
}

// Truncated with the allowance for binary fractions, limited to 0..40000.
TEST(DelayEditing, CentimetresOfAShownValue) {
  // clang-format off
  const struct { double shown; delay_unit_t unit; int cm; } cases[] = {
      {1.15, DELAY_M, 115}, {0.019, DELAY_M, 1}, {400.0, DELAY_M, 40000}, {400.5, DELAY_M, 40000},
      {-0.5, DELAY_M, 0}, {1164.82, DELAY_MS, 39999}, {2000.0, DELAY_MS, 40000},
      {2.0, DELAY_MS, 68}, {1312.34, DELAY_FT, 40000}, {1.0, DELAY_FT, 30}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(delay_cm_of_shown(c.shown, c.unit), c.cm) << c.shown;
}

// Only the edited channel stores (400 m shown as 1164.82 ms would store
// 39999 cm); every shown channel gets its stored value's text.
TEST(DelayEditing, OnlyTheEditedChannelStores) {
  preset_t p = preset_def;
  p.channel[0].delay = 40000, p.channel[2].delay = 115, p.channel[3].delay = 7;
  const double shown[4] = {1164.82, 2.0, 3.35, 0.0};
  char texts[4][DELAY_TEXT_SIZE] = {"a", "b", "c", "d"};
  EXPECT_EQ(apply_delay_edit(p, 4, 1, shown, DELAY_MS, texts), 0x0F);
  for (auto [n, cm] : {std::pair{0, 40000}, {1, 68}, {2, 115}, {3, 7}})
    EXPECT_EQ(p.channel[n].delay, cm) << n;
  // The texts show what is stored: 2.00 ms stores 68 cm, which is 1.98 ms.
  for (auto [n, text] :
       {std::pair{0, "1164.82 ms"}, {1, "  1.98 ms"}, {2, "  3.35 ms"}, {3, "  0.20 ms"}})
    EXPECT_STREQ(texts[n], text) << n;
  for (int edited : {3, -1, 0})
    EXPECT_EQ(apply_delay_edit(p, 4, edited, shown, DELAY_MS, texts), 0x07) << edited;
  EXPECT_EQ(p.channel[0].delay, 39999);
  // MV961: C and D neither store nor get a text.
  std::strcpy(texts[2], "kept");
  const double metres[4] = {0.0, 1.15, 9.0, 9.0};
  EXPECT_EQ(apply_delay_edit(p, 2, 2, metres, DELAY_M, texts), 0x03);
  EXPECT_EQ(apply_delay_edit(p, 2, 0, metres, DELAY_M, texts), 0x02);
  EXPECT_TRUE(p.channel[1].delay == 68 && p.channel[2].delay == 115);
  EXPECT_STREQ(texts[1], "  0.68 m");
  EXPECT_STREQ(texts[2], "kept");
}

// Whole numbers round halves toward +infinity; every value a field can show
// stores back as itself.
TEST(ShownValue, StoresBackAsItself) {
  for (auto [value, whole] : {std::pair{1234.4, 1234}, {1234.5, 1235}, {-2.5, -2}, {-2.6, -3}})
    EXPECT_EQ(spin_whole(value), whole) << value;
  for (auto [ms, stored] : {std::pair{1270, 127}, {0, 0}, {10, 1}, {19, 1}})
    EXPECT_EQ(release_from_ms(ms), stored) << ms;
  for (long g = editor_range::gain.lo; g <= editor_range::gain.hi; ++g)
    ASSERT_EQ(db_to_tenths(shown_value(shown_field::level, g)), g);
  for (long q = editor_range::peq_q.lo; q <= editor_range::peq_q.hi; ++q)
    ASSERT_EQ(q_to_stored(shown_value(shown_field::peq_q, q)), q);
  for (long r = editor_range::release.lo; r <= editor_range::release.hi; ++r)
    ASSERT_EQ(release_from_ms(spin_whole(shown_value(shown_field::release, r))), r);
  for (auto [u, shown] : {std::pair{DELAY_M, 0.8}, {DELAY_MS, 80 / 34.34}, {DELAY_FT, 80 / 30.48}})
    EXPECT_NEAR(shown_value(shown_field::delay, 80, u), shown, 1e-9) << u;
}

// The limits of each device's fields are no finding, one past them is.
TEST(EditorFindings, ValuesBeyondTheFieldsOfEachDevice) {
  preset_t p = preset_def;
  channel_t& b = p.channel[1];
  b.gain = -990, b.routing = 10, b.groups = 0x52, b.peq[0].type = b.peq[5].type = 1;
  b.dynamics = {127, 127, -24, -99};
  p.channel[2].dynamics.threshold = -25;
  EXPECT_EQ(findings_summary(editor_findings(p, MV517)),
            "1 value outside the editor's ranges: Out C limiter threshold -25 dB (editor -24..0)");
  EXPECT_EQ(findings_summary(editor_findings(p, MV961)),
            "3 values outside the editor's ranges: Out B routing 10 (editor 0..3), Out B level "
            "group 2 (editor 0..1), Out B mute group 0x50 (editor 0x00, 0x20, 0x30)");
  b.gain = 61, b.groups = 0x13, b.dynamics.release = 128;
  EXPECT_EQ(
      findings_summary(editor_findings(p, MV517)),
      "5 values outside the editor's ranges: Out B level 6.1 dB (editor -99.0..6.0), Out B "
      "level group 3 (editor 0..2), Out B mute group 0x10 (editor 0x00, 0x20..0x50), Out B "
      "limiter release 1280 ms (editor 0..1270), Out C limiter threshold -25 dB (editor -24..0)");
  EXPECT_EQ(findings_summary(editor_findings(preset_def, MV517)), "");
}

}  // namespace
