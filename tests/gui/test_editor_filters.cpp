// The Crossover, Parametric EQ, Limiter and Delay tabs driven through their
// widgets and plots: per handler one case that proves it reads its widget,
// stores through its rule, keeps the handles, curves, overview texts and
// masks current and marks the preset unsaved. Plot column c stands for
// 10^(1.53 + c x 4.08 / 1289.04) Hz, row r for (102 - r) / 8 dB.
#include <cstring>

#include "gui_test_util.h"
#include "response/calc_filters.h"

namespace {

class Filters : public GuiTest {
 protected:
  static bool orange(const std::vector<int>& rgb) {
    return rgb.size() == 3 && rgb[0] > 230 && rgb[1] > 150 && rgb[1] < 200 && rgb[2] < 40;
  }
};

TEST_F(Filters, CrossoverFrequencyAndTypeAreStoredAndRecomputed) {
  preset_t p = preset_def;
  p.channel[0].xo[0] = {2, {100, 120}, {7, 7}};  // slots that differ: the type's slot shows
  p.channel[2].xo[0] = {1, {80, 80}, {12, 9}};
  p.channel[2].xo[1] = {1, {3000, 2500}, {9, 9}};
  std::fill(&pnt_to_pix_lp[0][0], &pnt_to_pix_lp[0][0] + XO_TABLE_SIZE, 99.0);
  open_editor(MV517, p);
  EXPECT_TRUE(value(spin_button_crossover[0][0]) == 120 && active(combobox_crossover[0][0]) == 1);
  EXPECT_FALSE(sensitive(spin_button_crossover[1][0]));      // the low-pass is off
  EXPECT_TRUE(pnt_to_pix_lp[0][200] == 99.0 && !unsaved());  // and has no curve

  set_value(spin_button_crossover[0][2], 150);
  const xo_t& hp = preset.channel[2].xo[0];
  EXPECT_TRUE(hp.freq[0] == 150 && hp.freq[1] == 150);
  EXPECT_EQ(preset.channel[2].xo[1].freq[1], 3000);  // both filters, from their spin buttons
  EXPECT_TRUE(x[0][2] == 204 && xo_select == 0 && unsaved());
  // Butterworth is 3 dB down at its frequency; Linkwitz-Riley doubles that.
  const double butterworth = pnt_to_pix_hp[2][204 / 4 * 4];
  EXPECT_NEAR(butterworth, -3.1, 0.2);
  choose(combobox_crossover[0][2], 1);
  EXPECT_NEAR(pnt_to_pix_hp[2][204 / 4 * 4], 2 * butterworth, 1e-9);
  choose(combobox_crossover[0][2], 2);  // the type with the fixed Q 1.2
  EXPECT_EQ(hp.q[0], 12);
  choose(combobox_crossover[1][2], 0);
  EXPECT_FALSE(sensitive(spin_button_crossover[1][2]));
  choose(combobox_crossover[1][2], 2);  // Linkwitz-Riley
  EXPECT_TRUE(sensitive(spin_button_crossover[1][2]) && preset.channel[2].xo[1].config == 2);
}

TEST_F(Filters, EqTypeGainQAndFrequencyAreStoredAndRecomputed) {
  open_editor(MV517, preset_def);
  const peq_t& band = preset.channel[1].peq[3];
  set_value(peq_spin_gain[1][3], -3.0);  // an "OFF" band keeps gain 0
  EXPECT_TRUE(band.gain == 0 && !unsaved());
  choose(peq_combo[1][3], 1);  // on, with the gain its spin button holds
  EXPECT_TRUE(band.gain == -30 && y_peq[1][3] == 126 && unsaved());
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x0F, 0x02);
  set_value(peq_spin_gain[1][3], 12.0);
  set_value(peq_spin_q[1][3], 12.5);
  set_value(peq_spin_freq[1][3], 5000);
  EXPECT_TRUE(band.gain == 120 && y_peq[1][3] == 6);
  EXPECT_TRUE(band.q == 125 && band.freq == 5000 && x_peq[1][3] == 685);
  choose(peq_combo[1][3], 0);
  EXPECT_TRUE(band.gain == 0 && !sensitive(peq_spin_gain[1][3]));
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x0F, 0);

  // A low shelf: +6 dB two decades below its frequency, flat far above it,
  // whatever its Q.
  set_value(peq_spin_gain[1][0], 6.0);
  set_value(peq_spin_freq[1][0], 200);
  choose(peq_combo[1][0], 2);
  EXPECT_EQ(preset.channel[1].peq[0].type, 1);
  const double low_end = pnt_to_pix_eq_sum[1][0];
  EXPECT_NEAR(low_end, 6.0, 0.2);
  EXPECT_NEAR(pnt_to_pix_eq_sum[1][811], 0.0, 0.05);
  set_value(peq_spin_q[1][0], 5.0);
  EXPECT_DOUBLE_EQ(pnt_to_pix_eq_sum[1][0], low_end);
}

TEST_F(Filters, CrossoverPlotPressesMoveTheNearerHandle) {
  preset_t p = preset_def;
  p.channel[0].xo[0] = {1, {100, 100}, {7, 7}};    // column 148
  p.channel[0].xo[1] = {1, {1000, 1000}, {7, 7}};  // column 464
  open_editor(MV517, p);
  show_page(notebook, TAB_CROSSOVER);
  GtkWidget* plot = drawing_area_xo[0];
  send_event(plot, GDK_BUTTON_PRESS, 306, 60);  // halfway: the low-pass
  EXPECT_TRUE(xo_select == 1 && preset.channel[0].xo[1].freq[0] == 315 && unsaved());
  send_event(plot, GDK_BUTTON_PRESS, 226.9, 60);  // 78 from the high-pass, 79 from the low-pass
  EXPECT_TRUE(xo_select == 0 && preset.channel[0].xo[0].freq[1] == 176);
  for (int i = 0; i < 2; ++i) {  // also when the spin button already holds 8000
    send_event(plot, GDK_BUTTON_PRESS, 811, 60);
    EXPECT_TRUE(preset.channel[0].xo[1].freq[1] == 8000 && x[1][0] == 749);
  }
  choose(combobox_crossover[1][0], 0);  // off: every press moves the high-pass
  send_event(plot, GDK_BUTTON_PRESS, 700, 60);
  EXPECT_EQ(preset.channel[0].xo[0].freq[0], 5567);
  EXPECT_TRUE(orange(pixel(plot, x[0][0], 127 - 4)));  // Butterworth's row
}

TEST_F(Filters, EqPlotPressesAndDragsMoveTheNearestBandThatIsOn) {
  preset_t p = preset_def;
  p.channel[1].peq[1] = {1000, 7, 30, 0};
  p.channel[1].peq[2] = {1000, 7, -30, 0};  // same column as band 1
  p.channel[1].peq[4] = {5000, 7, 10, 0};   // column 685
  open_editor(MV517, p);
  show_page(notebook, TAB_PARAMETRIC_EQ);
  show_page(notebook_peq, 1);
  GtkWidget* plot = drawing_area_peq[1];
  const peq_t &band1 = preset.channel[1].peq[1], &band4 = preset.channel[1].peq[4];
  // On band 0 (50 Hz, off): the nearest band that is on, the lower on a tie.
  send_event(plot, GDK_BUTTON_PRESS, x_peq[1][0], 50);
  EXPECT_TRUE(peq_select == 1 && band1.freq == 50 && band1.gain == 65 && y_peq[1][1] == 50);
  EXPECT_TRUE(unsaved());
  send_event(plot, GDK_BUTTON_PRESS, 700, 0);  // +12.75 dB asked, +12.0 kept
  EXPECT_TRUE(peq_select == 4 && band4.freq == 5567 && band4.gain == 120);
  send_event(plot, GDK_MOTION_NOTIFY, 811, 300);
  EXPECT_TRUE(band4.freq == 12000 && band4.gain == -120 && y_peq[1][4] == 198);
  send_event(plot, GDK_MOTION_NOTIFY, -50, 102);
  EXPECT_TRUE(band4.freq == 35 && x_peq[1][4] == 6);  // drawn at the plot's edge
  EXPECT_TRUE(orange(pixel(plot, 6, 102 - 5)));

  for (int b : {1, 2, 4}) choose(peq_combo[1][b], 0);
  const preset_t before = preset;
  send_event(plot, GDK_BUTTON_PRESS, 400, 30);
  send_event(plot, GDK_MOTION_NOTIFY, 420, 40);
  EXPECT_EQ(std::memcmp(&before, &preset, sizeof preset), 0);
}

TEST_F(Filters, LimiterStoresItsEncodingsAndOverviewState) {
  open_editor(MV517, preset_def);
  const dynamics_t& d = preset.channel[1].dynamics;
  set_value(spin_button_attack[1], 127);
  EXPECT_TRUE(d.attack == 127 && unsaved());
  set_value(spin_button_rel[1], 2000);  // the spin button's top is 1270 ms
  set_value(spin_button_gain[1], -99);
  set_value(spin_button_thres[1], -1);
  EXPECT_TRUE(d.release == 127 && d.boost == -99 && d.threshold == -1);
  EXPECT_TRUE(std::string(dyn_values[1]) == " -1 dB" && (aktiv[AKTIV_DYN] & 0x0F) == 0x02);
}

TEST_F(Filters, DelayUnitsConvertTheDisplayAndNeverMoveAStoredDelay) {
  // Delays that conversions and re-reading could move by a centimetre: a
  // decimal value just below its binary neighbour, one millisecond, the
  // longest delay (shown clamped in milliseconds) and an arbitrary one.
  preset_t p = preset_def;
  const uint16_t cm[4] = {115, 34, 40000, 12345};
  for (int i = 0; i < 4; ++i) p.channel[i].delay = cm[i];
  open_editor(MV517, p);
  const auto expect_delays = [&p] {
    for (int i = 0; i < 4; ++i) EXPECT_EQ(preset.channel[i].delay, p.channel[i].delay) << i;
  };
  for (int u : {1, 2, 0, 1}) {
    SCOPED_TRACE(testing::Message() << "unit " << u);
    choose(combo_delay, u);
    // The spin buttons re-read their text (focus leaving, Enter).
    for (int i = 0; i < 4; ++i) gtk_spin_button_update(GTK_SPIN_BUTTON(spin_button_delay[i]));
    pump();
    expect_delays();
  }
  EXPECT_TRUE(unit == 1 && !unsaved());
  EXPECT_TRUE(label_text(label_unit[3]) == "ms" && entry_text(spin_button_delay[0]) == "3.35");
  EXPECT_STREQ(delay_values[2], "1164.82 ms");

  set_value(spin_button_delay[3], 2.0);  // an edit stores its channel only
  p.channel[3].delay = 68;
  expect_delays();
  EXPECT_TRUE(std::string(delay_values[3]) == "  2.00 ms" && unsaved());
  // A spin button whose text was edited is read from its text.
  gtk_entry_set_text(GTK_ENTRY(spin_button_delay[0]), "5.00");
  gtk_spin_button_update(GTK_SPIN_BUTTON(spin_button_delay[0]));
  pump();
  p.channel[0].delay = 171;  // 5 ms x 34.34 cm
  expect_delays();
}

}  // namespace
