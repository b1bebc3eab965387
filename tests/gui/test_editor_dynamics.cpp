// The Limiter and Delay tabs driven through their widgets: stored
// encodings, overview texts and masks, the delay unit switch, and that
// showing or converting a delay never changes a stored one.
#include "editor_test_util.h"

namespace {

class Dynamics : public GuiTest {};

TEST_F(Dynamics, LimiterStoresItsEncodingsAndOverviewState) {
  open_editor(MV517, default_preset());
  set_value(spin_button_attack[1], 127);
  EXPECT_EQ(preset.channel[1].dynamics.attack, 127);
  set_value(spin_button_rel[1], 2000);  // the spin button's top is 1270 ms
  EXPECT_EQ(preset.channel[1].dynamics.release, 127);
  set_value(spin_button_rel[1], 10);
  EXPECT_EQ(preset.channel[1].dynamics.release, 1);
  set_value(spin_button_gain[1], -99);
  EXPECT_EQ(preset.channel[1].dynamics.boost, -99);

  set_value(spin_button_thres[2], -1);
  EXPECT_EQ(preset.channel[2].dynamics.threshold, -1);
  EXPECT_STREQ(dyn_values[2], " -1 dB");
  EXPECT_EQ(aktiv[AKTIV_DYN] & 0x0F, 0x04);
  set_value(spin_button_thres[0], -24);
  EXPECT_EQ(aktiv[AKTIV_DYN] & 0x0F, 0x05);
  set_value(spin_button_thres[2], 0);
  EXPECT_EQ(aktiv[AKTIV_DYN] & 0x0F, 0x01);
}

TEST_F(Dynamics, EachDelayUnitConvertsTheDisplayAndStoresCentimetres) {
  open_editor(MV517, default_preset());
  set_value(spin_button_delay[0], 3.0);
  ASSERT_EQ(preset.channel[0].delay, 300);
  const struct {
    int unit;
    const char* label;
    const char *shown0, *text0;  // channel A's 3 m
    double max;
    uint16_t max_cm;
    const char* max_text;
    double typed;
    uint16_t typed_cm;
  } rows[] = {
      {1, "ms", "8.74", "  8.74 ms", 1164.82, 39999, "1164.82 ms", 10.0, 343},
      {2, "ft", "9.84", "  9.84 ft", 1312.34, 40000, "1312.34 ft", 1.0, 30},
      {0, "m", "3.00", "  3.00 m", 400.0, 40000, "400.00 m", 1.15, 115},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    choose(combo_delay, r.unit);
    EXPECT_EQ(unit, r.unit);
    for (int ch = 0; ch < 4; ++ch) {
      EXPECT_EQ(label_text(label_unit[ch]), r.label);
      double lo = -1, hi = -1;
      gtk_spin_button_get_range(GTK_SPIN_BUTTON(spin_button_delay[ch]), &lo, &hi);
      EXPECT_TRUE(lo == 0.0 && hi == r.max) << lo << " " << hi;
    }
    EXPECT_EQ(entry_text(spin_button_delay[0]), r.shown0);
    EXPECT_STREQ(delay_values[0], r.text0);
    EXPECT_EQ(preset.channel[0].delay, 300);

    set_value(spin_button_delay[1], r.max);
    EXPECT_EQ(preset.channel[1].delay, r.max_cm);
    EXPECT_STREQ(delay_values[1], r.max_text);
    set_value(spin_button_delay[1], r.typed);
    EXPECT_EQ(preset.channel[1].delay, r.typed_cm);
    EXPECT_EQ(aktiv[AKTIV_DELAY] & 0x0F, 0x03);
  }
  set_value(spin_button_delay[1], 0.0);
  EXPECT_EQ(aktiv[AKTIV_DELAY] & 0x0F, 0x01);
}

TEST_F(Dynamics, ShowingSwitchingAndNeighbourEditsNeverMoveAStoredDelay) {
  // Delays that conversions and re-reading could move by a centimetre: a
  // decimal value just below its binary neighbour, one millisecond, the
  // longest delay (shown clamped in milliseconds) and an arbitrary one.
  preset_t p = default_preset();
  const uint16_t cm[4] = {115, 34, 40000, 12345};
  for (int i = 0; i < 4; ++i) p.channel[i].delay = cm[i];
  open_editor(MV517, p);
  const auto expect_delays = [&p] {
    for (int i = 0; i < 4; ++i) EXPECT_EQ(preset.channel[i].delay, p.channel[i].delay) << i;
  };
  for (int u : {1, 2, 0, 2, 1, 0, 1}) {
    SCOPED_TRACE(testing::Message() << "unit " << u);
    choose(combo_delay, u);
    expect_delays();
    // The spin buttons re-read their text (focus leaving, Enter).
    for (int i = 0; i < 4; ++i) gtk_spin_button_update(GTK_SPIN_BUTTON(spin_button_delay[i]));
    pump();
    expect_delays();
  }
  EXPECT_FALSE(unsaved());

  // Editing one channel stores that channel only.
  set_value(spin_button_delay[3], 2.0);  // ms
  p.channel[3].delay = 68;
  expect_delays();
  EXPECT_STREQ(delay_values[2], "1164.82 ms");

  // A spin button whose text was edited is read from its text.
  gtk_entry_set_text(GTK_ENTRY(spin_button_delay[0]), "5.00");
  gtk_spin_button_update(GTK_SPIN_BUTTON(spin_button_delay[0]));
  pump();
  p.channel[0].delay = 171;  // 5 ms x 34.34 cm
  expect_delays();
}

}  // namespace
