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
  set_value(spin_button_rel[1], 1270);
  EXPECT_EQ(preset.channel[1].dynamics.release, 127);
  set_value(spin_button_rel[1], 2000);  // the spin button's top is 1270
  EXPECT_EQ(preset.channel[1].dynamics.release, 127);
  set_value(spin_button_rel[1], 0);
  EXPECT_EQ(preset.channel[1].dynamics.release, 0);
  set_value(spin_button_gain[1], -99);
  EXPECT_EQ(preset.channel[1].dynamics.boost, -99);

  set_value(spin_button_thres[2], -1);
  EXPECT_EQ(preset.channel[2].dynamics.threshold, -1);
  EXPECT_STREQ(dyn_values[2], " -1 dB");
  EXPECT_EQ(aktiv[AKTIV_DYN] & 0x0F, 0x04);
  set_value(spin_button_thres[0], -24);
  EXPECT_EQ(aktiv[AKTIV_DYN] & 0x0F, 0x05);
  set_value(spin_button_thres[2], 0);
  EXPECT_STREQ(dyn_values[2], "  0 dB");
  EXPECT_EQ(aktiv[AKTIV_DYN] & 0x0F, 0x01);
  EXPECT_EQ(preset.channel[3].dynamics.threshold, 0);
}

TEST_F(Dynamics, DelayStoresEveryUnitAndItsTexts) {
  open_editor(MV517, default_preset());
  struct Case {
    int unit;
    double shown;
    uint16_t cm;
    const char* text;
  };
  const Case cases[] = {
      {0, 3.0, 300, "  3.00 m"},     {0, 1.15, 115, "  1.15 m"},
      {0, 400.0, 40000, "400.00 m"}, {1, 1.0, 34, "  1.00 ms"},
      {1, 10.0, 343, " 10.00 ms"},   {1, 1164.82, 39999, "1164.82 ms"},
      {2, 1.0, 30, "  1.00 ft"},     {2, 1312.34, 40000, "1312.34 ft"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    choose(combo_delay, c.unit);
    set_value(spin_button_delay[1], 0.0);
    set_value(spin_button_delay[1], c.shown);
    EXPECT_EQ(preset.channel[1].delay, c.cm);
    EXPECT_STREQ(delay_values[1], c.text);
    EXPECT_EQ(aktiv[AKTIV_DELAY] & 0x0F, 0x02);
  }
  set_value(spin_button_delay[1], 0.0);
  EXPECT_EQ(aktiv[AKTIV_DELAY] & 0x0F, 0x00);
}

TEST_F(Dynamics, UnitSwitchConvertsTheDisplayOnly) {
  open_editor(MV517, default_preset());
  set_value(spin_button_delay[0], 3.0);
  ASSERT_EQ(preset.channel[0].delay, 300);

  struct Step {
    int unit;
    const char* label;
    double max;
    const char* text0;
    const char* shown0;
  };
  const Step steps[] = {
      {1, "ms", 1164.82, "  8.74 ms", "8.74"},
      {2, "ft", 1312.34, "  9.84 ft", "9.84"},
      {0, "m", 400.0, "  3.00 m", "3.00"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.label);
    choose(combo_delay, s.unit);
    EXPECT_EQ(unit, s.unit);
    for (int ch = 0; ch < 4; ++ch) {
      EXPECT_EQ(label_text(label_unit[ch]), s.label);
      double lo = -1, hi = -1;
      gtk_spin_button_get_range(GTK_SPIN_BUTTON(spin_button_delay[ch]), &lo, &hi);
      EXPECT_EQ(lo, 0.0);
      EXPECT_EQ(hi, s.max);
    }
    EXPECT_STREQ(delay_values[0], s.text0);
    EXPECT_EQ(entry_text(spin_button_delay[0]), s.shown0);
    EXPECT_EQ(preset.channel[0].delay, 300);
  }
  // In each unit the spin button stops at the longest delay.
  choose(combo_delay, 1);
  set_value(spin_button_delay[2], 5000);
  EXPECT_EQ(value(spin_button_delay[2]), 1164.82);
}

// Stored delays that conversions and re-reading could move by a centimetre:
// a decimal value just below its binary neighbour, one millisecond, the
// longest delay (shown clamped in milliseconds) and an arbitrary one.
preset_t drift_preset() {
  preset_t p = default_preset();
  const uint16_t cm[4] = {115, 34, 40000, 12345};
  for (int i = 0; i < 4; ++i) p.channel[i].delay = cm[i];
  return p;
}

void expect_delays(const preset_t& p) {
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(preset.channel[i].delay, p.channel[i].delay) << "channel " << i;
}

TEST_F(Dynamics, ShowingSwitchingAndNeighbourEditsNeverMoveAStoredDelay) {
  const preset_t p = drift_preset();
  open_editor(MV517, p);
  const int chain[] = {1, 2, 0, 2, 1, 0, 1};
  for (int u : chain) {
    SCOPED_TRACE(testing::Message() << "unit " << u);
    choose(combo_delay, u);
    expect_delays(p);
    // The spin buttons re-read their text (focus leaving, Enter).
    for (int i = 0; i < 4; ++i) gtk_spin_button_update(GTK_SPIN_BUTTON(spin_button_delay[i]));
    pump();
    expect_delays(p);
  }
  EXPECT_FALSE(unsaved());

  // Editing one channel stores that channel only.
  set_value(spin_button_delay[3], 2.0);  // ms
  EXPECT_EQ(preset.channel[3].delay, 68);
  preset_t expect = p;
  expect.channel[3].delay = 68;
  expect_delays(expect);
  EXPECT_STREQ(delay_values[2], "1164.82 ms");
  EXPECT_TRUE(unsaved());

  // A spin button whose text was edited is read from its text.
  gtk_entry_set_text(GTK_ENTRY(spin_button_delay[0]), "5.00");
  gtk_spin_button_update(GTK_SPIN_BUTTON(spin_button_delay[0]));
  pump();
  EXPECT_EQ(preset.channel[0].delay, 171);  // 5 ms x 34.34 cm
  expect.channel[0].delay = 171;
  expect_delays(expect);
}

TEST_F(Dynamics, Mv961HasTwoPanelsPerTab) {
  open_editor(MV961, drift_preset());
  for (int page : {4, 5}) {
    GtkWidget* tab = gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), page);
    const auto spins = descendants(tab, [](GtkWidget* w) { return GTK_IS_SPIN_BUTTON(w); });
    EXPECT_EQ(spins.size(), page == 4 ? 8u : 2u);
  }
  choose(combo_delay, 2);
  set_value(spin_button_delay[0], 1.0);
  EXPECT_EQ(preset.channel[0].delay, 30);
  EXPECT_EQ(preset.channel[2].delay, 40000);  // not shown, not changed
  EXPECT_EQ(aktiv[AKTIV_DELAY] & 0x0C, 0);
}

}  // namespace
