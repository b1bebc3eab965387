// The editor's controls and plots driven through the GTK API: what each
// handler keeps current beyond its field. Plot column c stands for
// 10^(1.53 + c x 4.08 / 1289.04) Hz, row r for (102 - r) / 8 dB.
#include <gdk/gdkkeysyms.h>

#include "gui_test_util.h"
#include "response/calc_filters.h"

namespace {

class Editor : public GuiTest {
 protected:
  // The default preset with these levels (0.1 dB) and groups bytes.
  static preset_t with_channels(std::vector<int16_t> gain, std::vector<uint8_t> groups) {
    preset_t p = preset_def;
    for (int i = 0; i < 4; ++i) p.channel[i].gain = gain[i], p.channel[i].groups = groups[i];
    return p;
  }
  static bool orange(const std::vector<int>& rgb) {
    return rgb.size() == 3 && rgb[0] > 230 && rgb[1] > 150 && rgb[1] < 200 && rgb[2] < 40;
  }
  // A wheel notch up (`down`: down) or, `notch` false, a motion without a button.
  static void at(GtkWidget* plot, double x, double y, bool notch = 1, guint state = 0,
                 bool down = 0) {
    GdkEvent* e = gdk_event_new(notch ? GDK_SCROLL : GDK_MOTION_NOTIFY);
    if (notch)
      e->scroll.state = state, e->scroll.direction = down ? GDK_SCROLL_DOWN : GDK_SCROLL_UP;
    (notch ? e->scroll.x : e->motion.x) = x, (notch ? e->scroll.y : e->motion.y) = y;
    dispatch(e, plot->window);
  }
  static std::string readout(GtkWidget* bar) {
    return gtk_label_get_text(GTK_LABEL(GTK_STATUSBAR(bar)->label));
  }
};

TEST_F(Editor, NewFromMenuOrToolbarBuildsAFreshEditorOfTheDeviceOverTheDefaultPreset) {
  for (const int device : {MV517, MV961}) {
    for (const bool from_toolbar : {false, true}) {
      SCOPED_TRACE(testing::Message() << device << (from_toolbar ? " toolbar" : " menu"));
      reset_to_idle();
      for (GtkWidget* w : {window_preset, spinner_gain[0], combo_delay, preset_name})
        EXPECT_EQ(w, nullptr);
      // Left over from an earlier editor:
      preset.channel[0].gain = -123, unit = 2, in_mode = 3, aktiv[AKTIV_PEQ] = 0x0F, generated = 1;
      if (from_toolbar)
        click_button(device == MV517 ? toolbutton_mv517 : toolbutton_mv961);
      else
        activate(device == MV517 ? mv517 : mv961);
      EXPECT_EQ(title_of(window_preset),
                device == MV517 ? "MV517 Preset-Editor" : "MV961 Preset-Editor");
      EXPECT_TRUE(mv_selector == device && new_preset == 1 && generated == 0);
      EXPECT_TRUE(std::string(preset.name) == "Preset" && preset.channel[0].gain == 0);
      EXPECT_TRUE(unit == 0 && in_mode == 0 && (aktiv[AKTIV_PEQ] & 0x03) == 0);
      EXPECT_TRUE(label_text(label_unit[0]) == "m" && page_of(notebook) == TAB_OVERVIEW);
      for (int ch = 0; ch < 4; ++ch)
        for (GtkWidget* w : {ch_name[ch], spin_button_crossover[1][ch], peq_combo[ch][5],
                             spin_button_attack[ch], spin_button_delay[ch]})
          EXPECT_EQ(w != nullptr, ch < (device == MV517 ? 4 : 2)) << "channel " << ch;
    }
  }
}

TEST_F(Editor, LevelsMoveTheirLevelGroupInSpinButtonsFadersAndOverview) {
  // A and B in level group 1, C in group 2.
  open_editor(MV517, with_channels({-100, -50, -200, -300}, {1, 1, 2, 0}));
  const auto expect_levels = [](std::vector<double> db) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(value(spinner_gain[i]), db[i], 1e-9) << i;
      EXPECT_NEAR(gtk_range_get_value(GTK_RANGE(vscale[i])), db[i], 1e-9) << i;
      EXPECT_EQ(preset.channel[i].gain, static_cast<int>(db[i] * 10)) << i;
    }
  };
  set_value(spinner_gain[0], -9.0);  // B moves by the same step
  expect_levels({-9, -4, -20, -30});
  EXPECT_TRUE(std::string(level_values[1]) == " -4.0 dB" && unsaved());
  mark_saved();
  gtk_range_set_value(GTK_RANGE(vscale[1]), 7.0);  // the fader's top is +6.0
  pump();
  expect_levels({1, 6, -20, -30});
  EXPECT_TRUE(unsaved());
}

TEST_F(Editor, MuteGroupsPullTheirMembersAndLockTheirControls) {
  // A "Gr 1 strong", B and C "Gr 1 weak", D "Gr 2 strong".
  open_editor(MV517, with_channels({0, 0, 0, 0}, {0x20, 0x30, 0x30, 0x40}));
  const auto expect_muted = [](uint8_t mute) {
    EXPECT_TRUE(preset.mute == mute && aktiv[AKTIV_UNMUTED] == ~static_cast<int>(mute));
    for (int i = 0; i < 4; ++i) {
      const bool muted = (mute >> i) & 1;
      EXPECT_EQ(pressed(button_mute[i]), muted) << i;
      for (GtkWidget* w :
           {vscale[i], spinner_gain[i], combobox[i], combobox_rout[i], combo_mute[i], combo_lvl[i]})
        EXPECT_EQ(sensitive(w), !muted) << i;
      EXPECT_TRUE(sensitive(ch_name[i]));
    }
  };
  press(button_mute[0], true);  // strong: the whole group
  expect_muted(0x07);
  EXPECT_TRUE(unsaved());
  press(button_mute[1], false);  // weak: the weak members only
  expect_muted(0x01);
  mark_saved();
  choose(combo_mute[3], 4);  // the group selectors write their nibble
  EXPECT_TRUE(preset.channel[3].groups == 0x50 && unsaved());
  mark_saved();
  choose(combo_lvl[3], 2);
  EXPECT_TRUE(preset.channel[3].groups == 0x52 && unsaved());
}

TEST_F(Editor, InputModeRoutingPolarityAndLocksAreStoredAndRedrawn) {
  open_editor(MV517, preset_def);
  const std::vector<int> analog = pixel(draw_area_routing, 60, 100);
  choose(combo_input, 3);  // the Overview's choice only
  EXPECT_TRUE(in_mode == 3 && !unsaved());
  // Digital inputs: the d1 L box fills (60, 100), empty in analog mode.
  EXPECT_NE(pixel(draw_area_routing, 60, 100), analog);
  choose(combobox_rout[1], 9);
  EXPECT_TRUE(preset.channel[1].routing == 9 && unsaved());
  mark_saved();
  choose(combobox[2], 1);
  EXPECT_TRUE(preset.channel[2].phase == 1 && unsaved());

  GtkWidget* boxes[] = {check_lock_dly, check_lock_peq,  check_lock_xo,
                        check_lock_dyn, check_lock_rout, check_lock_mutelvl};
  for (int bit = 0; bit < 6; ++bit) {  // one bit each, from 0x01 up
    mark_saved();
    press(boxes[bit], true);
    EXPECT_TRUE(preset.lock == 1 << bit && unsaved());
    press(boxes[bit], false);
  }
  // The router's left edge at x = 150.5, line width 2, turns red when locked.
  EXPECT_EQ(pixel(draw_area_routing, 150, 200), (std::vector<int>{0, 0, 0}));
  press(check_lock_rout, true);
  EXPECT_EQ(pixel(draw_area_routing, 150, 200), (std::vector<int>{255, 0, 0}));
}

// A name takes typing as record bytes, its headings follow; a field says why
// it refuses, and a refused paste changes nothing.
TEST_F(Editor, NamesTakeWhatTheRecordHoldsAndSayWhyTheyRefuse) {
  open_editor(MV517, preset_def);
  set_entry(ch_name[0], "Out A");
  type_into(ch_name[0], "ä", 3);
  EXPECT_EQ(entry_text(ch_name[0]), "Outä A");
  EXPECT_STREQ(preset.channel[0].name, "Out\xE4 A");  // one Latin-1 byte
  EXPECT_TRUE(unsaved());
  for (GtkWidget* heading : {labels[0], labels_l[0], labels_xo[0], labels_peq[0]})
    EXPECT_EQ(label_text(heading), "Outä A");
  EXPECT_EQ(label_text(labels_xo[1]), "Out B    ");
  set_entry(preset_name, "Stage");
  type_into(preset_name, "a\xff", 2);  // not UTF-8
  EXPECT_EQ(record_to_utf8(preset.name, PRESET_NAME_MAX), "Stage");
  const auto status = [](GtkWidget* entry) {
    GtkWidget* page = entry;
    while (gtk_widget_get_parent(page) != notebook) page = gtk_widget_get_parent(page);
    std::string text;
    for_each_widget(page, [&](GtkWidget* w) {
      if (GTK_IS_STATUSBAR(w)) text = bar_text(w);
    });
    return text;
  };
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  // clang-format off
  const struct { GtkWidget* entry; const char *start, *pasted, *after, *says; } cases[] = {
      // Over "Out" (selected): what fits of a long text, a character
      // without a byte, a name too long for the file, a fit.
      {ch_name[1], "Out B", "Subwoofer L", "Subwoof B", "the name is full: at most 9 characters."},
      {ch_name[1], "Out B", "T€p", "Out B", "a character that cannot be stored in a name."},
      {preset_name, "Preset", "→→→→→→→→", "Preset", "the name is full: at most 63 bytes in the preset file."},
      {ch_name[1], "Out B", "Top", "Top B", ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pasted);
    set_entry(c.entry, c.start);
    gtk_clipboard_set_text(clipboard, c.pasted, -1);
    gtk_widget_grab_focus(c.entry);
    gtk_editable_select_region(GTK_EDITABLE(c.entry), 0, 3);
    const preset_t kept = preset;
    g_signal_emit_by_name(c.entry, "paste-clipboard");
    pump();
    EXPECT_EQ(entry_text(c.entry), c.after);
    EXPECT_EQ(status(c.entry), c.says);
    EXPECT_EQ(same(kept, preset), entry_text(c.entry) == c.start);
  }
  // A character without a byte typed over a selection: the name is kept.
  show_page(notebook, TAB_CHANNEL_SETUP);
  set_entry(ch_name[1], "Out B");
  gtk_widget_grab_focus(ch_name[1]);
  gtk_editable_select_region(GTK_EDITABLE(ch_name[1]), 0, 3);
  key(GDK_EuroSign);
  EXPECT_TRUE(entry_text(ch_name[1]) == "Out B" &&
              status(ch_name[1]) == "a character that cannot be stored in a name.");
  key(GDK_T, GDK_SHIFT_MASK);
  EXPECT_EQ(entry_text(ch_name[1]), "T B");
  // Typing into a full name: refused and said; the next character taken
  // clears it.
  set_entry(ch_name[2], "Subwoofer");
  type_into(ch_name[2], "s");
  EXPECT_TRUE(entry_text(ch_name[2]) == "Subwoofer" &&
              status(ch_name[2]) == "the name is full: at most 9 characters.");
  gtk_editable_delete_text(GTK_EDITABLE(ch_name[2]), 8, 9);
  type_into(ch_name[2], "s");
  EXPECT_TRUE(entry_text(ch_name[2]) == "Subwoofes" && status(ch_name[2]).empty());
}

TEST_F(Editor, CrossoverFrequencyAndTypeAreStoredAndRecomputed) {
  preset_t p = preset_def;
  p.channel[0].xo[0] = {2, {100, 120}, {7, 7}};  // slots that differ: the type's slot shows
  p.channel[2].xo[0] = {1, {80, 80}, {12, 9}};
  p.channel[2].xo[1] = {1, {3000, 2500}, {9, 9}};
  open_editor(MV517, p);
  EXPECT_TRUE(value(spin_button_crossover[0][0]) == 120 && active(combobox_crossover[0][0]) == 1);
  EXPECT_TRUE(!sensitive(spin_button_crossover[1][0]) && !unsaved());  // the low-pass is off

  set_value(spin_button_crossover[0][2], 150);
  const xo_t& hp = preset.channel[2].xo[0];
  EXPECT_TRUE(hp.freq[0] == 150 && hp.freq[1] == 150);
  EXPECT_EQ(preset.channel[2].xo[1].freq[1], 3000);  // both filters, from their spin buttons
  EXPECT_TRUE(x[0][2] == 204 && xo_select == 0);
  // Butterworth is 3 dB down at its frequency; Linkwitz-Riley doubles that.
  const double butterworth = pnt_to_pix_hp[2][204 / 4 * 4];
  EXPECT_NEAR(butterworth, -3.1, 0.2);
  mark_saved();
  choose(combobox_crossover[0][2], 1);
  EXPECT_NEAR(pnt_to_pix_hp[2][204 / 4 * 4], 2 * butterworth, 1e-9);
  EXPECT_TRUE(hp.config == 2 && unsaved());  // Linkwitz-Riley
  choose(combobox_crossover[0][2], 2);       // the type with the fixed Q 1.2
  EXPECT_EQ(hp.q[0], 12);
  choose(combobox_crossover[1][2], 0);
  EXPECT_FALSE(sensitive(spin_button_crossover[1][2]));
  choose(combobox_crossover[1][2], 2);  // Linkwitz-Riley
  EXPECT_TRUE(sensitive(spin_button_crossover[1][2]) && preset.channel[2].xo[1].config == 2);
}

TEST_F(Editor, EqTypeGainQAndFrequencyAreStoredAndRecomputed) {
  open_editor(MV517, preset_def);
  const peq_t& band = preset.channel[1].peq[3];
  set_value(peq_spin_gain[1][3], -3.0);  // an "OFF" band keeps gain 0
  EXPECT_TRUE(band.gain == 0 && !unsaved());
  choose(peq_combo[1][3], 1);  // on, with the gain its spin button holds
  EXPECT_TRUE(band.gain == -30 && y_peq[1][3] == 126 && unsaved());
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x0F, 0x02);
  set_value(peq_spin_gain[1][3], 12.0);
  EXPECT_TRUE(band.gain == 120 && y_peq[1][3] == 6);
  // The curve follows each change: +12 dB at the band's 1 kHz (column 464),
  // narrower with a higher Q, then at 5 kHz (column 685).
  EXPECT_NEAR(pnt_to_pix_eq_sum[1][464], 12.0, 0.2);
  EXPECT_GT(pnt_to_pix_eq_sum[1][504], 6.0);
  set_value(peq_spin_q[1][3], 12.5);
  EXPECT_TRUE(band.q == 125 && pnt_to_pix_eq_sum[1][504] < 1.0);
  set_value(peq_spin_freq[1][3], 5000);
  EXPECT_TRUE(band.freq == 5000 && x_peq[1][3] == 685);
  EXPECT_NEAR(pnt_to_pix_eq_sum[1][685], 12.0, 0.2);
  EXPECT_LT(pnt_to_pix_eq_sum[1][464], 1.0);
  choose(peq_combo[1][3], 0);
  EXPECT_TRUE(band.gain == 0 && !sensitive(peq_spin_gain[1][3]));
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x0F, 0);

  // A low shelf: +6 dB two decades below its frequency, flat far above it.
  set_value(peq_spin_gain[1][0], 6.0);
  set_value(peq_spin_freq[1][0], 200);
  choose(peq_combo[1][0], 2);
  EXPECT_EQ(preset.channel[1].peq[0].type, 1);
  EXPECT_NEAR(pnt_to_pix_eq_sum[1][0], 6.0, 0.2);
  EXPECT_NEAR(pnt_to_pix_eq_sum[1][811], 0.0, 0.05);
}

TEST_F(Editor, CrossoverPlotPressesMoveTheNearerHandle) {
  preset_t p = preset_def;
  p.channel[0].xo[0] = {1, {100, 100}, {7, 7}};    // column 148
  p.channel[0].xo[1] = {1, {1000, 1000}, {7, 7}};  // column 464
  open_editor(MV517, p);
  show_page(notebook, TAB_CROSSOVER);
  GtkWidget* plot = drawing_area_xo[0];
  send_event(plot, GDK_BUTTON_PRESS, 306, 60);  // halfway: the low-pass
  EXPECT_TRUE(xo_select == 1 && preset.channel[0].xo[1].freq[0] == 315 && unsaved());
  for (int i = 0; i < 2; ++i) {  // also when the spin button already holds 8000
    send_event(plot, GDK_BUTTON_PRESS, 811, 60);
    EXPECT_TRUE(preset.channel[0].xo[1].freq[1] == 8000 && x[1][0] == 749);
  }
  choose(combobox_crossover[1][0], 0);  // off: every press moves the high-pass
  send_event(plot, GDK_BUTTON_PRESS, 700, 60);
  EXPECT_EQ(preset.channel[0].xo[0].freq[0], 5567);
  EXPECT_TRUE(orange(pixel(plot, x[0][0], 127 - 4)));  // Butterworth's row
}

TEST_F(Editor, EqPlotPressesAndDragsMoveTheNearestBandThatIsOn) {
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
  EXPECT_TRUE(peq_select == 1 && band1.freq == 50 && band1.gain == 65 && unsaved());
  send_event(plot, GDK_BUTTON_PRESS, 700, 0);  // +12.75 dB asked, +12.0 kept
  EXPECT_TRUE(peq_select == 4 && band4.freq == 5567 && band4.gain == 120);
  mark_saved();
  send_event(plot, GDK_MOTION_NOTIFY, -50, 300);
  EXPECT_TRUE(band4.freq == 35 && band4.gain == -120 && y_peq[1][4] == 198 && unsaved());
  EXPECT_TRUE(x_peq[1][4] == 6 && orange(pixel(plot, 6, 198 - 5)));  // drawn at the plot's edge

  for (int b : {1, 2, 4}) choose(peq_combo[1][b], 0);
  const preset_t before = preset;
  send_event(plot, GDK_BUTTON_PRESS, 400, 30);
  send_event(plot, GDK_MOTION_NOTIFY, 420, 40);
  EXPECT_TRUE(same(before, preset));
}

TEST_F(Editor, DelayUnitsNeverMoveAStoredDelay) {
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
    choose(combo_delay, u);
    // The spin buttons re-read their text (focus leaving, Enter).
    for (int i = 0; i < 4; ++i) gtk_spin_button_update(GTK_SPIN_BUTTON(spin_button_delay[i]));
    pump();
    expect_delays();
  }
  EXPECT_TRUE(unit == 1 && !unsaved());  // showing is no change
  EXPECT_TRUE(label_text(label_unit[3]) == "ms" && entry_text(spin_button_delay[0]) == "3.35");
  EXPECT_STREQ(delay_values[2], "1164.82 ms");

  set_value(spin_button_delay[3], 2.0);  // an edit stores its channel only
  p.channel[3].delay = 68;
  expect_delays();
  // 2.00 ms stores 68 cm, which the field and the overview show as 1.98 ms.
  EXPECT_TRUE(std::string(delay_values[3]) == "  1.98 ms" && unsaved());
  EXPECT_EQ(entry_text(spin_button_delay[3]), "1.98");
  // A spin button whose text was edited is read from its text.
  type_value(spin_button_delay[0], "5.00");
  p.channel[0].delay = 171;  // 5 ms x 34.34 cm
  expect_delays();
}

// Keys, wheel and readout (frequencies as in tests/core/test_plot_input.cpp).
TEST_F(Editor, KeysAndWheelStepTheSelectedFilterThroughItsSpinButtons) {
  preset_t p = preset_def;
  p.channel[0].peq[2] = {1000, 20, -25, 0};
  p.channel[0].peq[5] = {8000, 7, 30, 1};  // high shelf
  p.channel[0].xo[1] = {1, {2500, 2500}, {7, 7}};
  open_editor(MV517, p);
  show_page(notebook, TAB_PARAMETRIC_EQ);
  GtkWidget* plot = drawing_area_peq[0];
  const std::vector<int> white{255, 255, 255};  // the ring, right of the handle
  EXPECT_TRUE(!gtk_widget_get_can_focus(plot) && pixel(plot, 473, 122) != white);
  // A press selects band 3 (997 Hz, -2.5 dB) and gives the plot the keyboard:
  // a ring and a dotted focus line, gone while another widget has it.
  const auto focus_line = [&] { return column_pixels(plot, 3)[100] > 0xC0C0C0; };
  for (GtkWidget* focus : {plot, peq_spin_q[0][2], plot}) {
    if (focus == plot) send_event(plot, GDK_BUTTON_PRESS, 464, 122);
    gtk_widget_grab_focus(focus);
    pump();
    EXPECT_EQ(pixel(plot, 473, 122) == white && focus_line(), focus == plot);
  }
  int stored = 0;  // one change per key press
  g_signal_connect_swapped(peq_spin_freq[0][2], "value-changed", G_CALLBACK(+[](int* n) { ++*n; }),
                           &stored);
  for (guint k : {GDK_Right, GDK_Right, GDK_Right, GDK_minus}) key(k);
  key(GDK_Up, GDK_SHIFT_MASK);
  key(GDK_equal, GDK_SHIFT_MASK);  // the "+" key
  const peq_t &band = preset.channel[0].peq[2], &shelf = preset.channel[0].peq[5];
  EXPECT_TRUE(stored == 3 && band.freq == 1019 && band.gain == -15 && band.q == 29);
  EXPECT_TRUE(page_of(notebook) == TAB_PARAMETRIC_EQ && page_of(notebook_peq) == 0);
  for (guint k : {GDK_Tab, GDK_KP_Add, GDK_Left}) key(k);  // the shelf has no Q to step
  EXPECT_TRUE(shelf.q == 7 && shelf.freq == 7955);
  at(plot, 470, 120);  // within 10 pixels of the handle, now at (467.5, 114)
  at(plot, 468, 116, true, GDK_SHIFT_MASK, true);
  EXPECT_TRUE(band.q == 30 && band.gain == -16);
  const preset_t before = preset;
  at(plot, 749, 78, true, GDK_SHIFT_MASK);  // on the shelf
  EXPECT_TRUE(same(before, preset));
  send_event(plot, GDK_MOTION_NOTIFY, 495, 74);  // with a button: a drag
  EXPECT_EQ(readout(statusbar_peq), "Filter 3: 1250 Hz, +3.5 dB, Q 3.0");
  at(plot, 300, 102, false);
  EXPECT_EQ(readout(statusbar_peq), "302 Hz   0.0 dB");

  show_page(notebook, TAB_CROSSOVER);
  send_event(drawing_area_xo[0], GDK_BUTTON_PRESS, 590, 127);  // the low-pass to 2497 Hz
  for (guint k : {GDK_Up, GDK_KP_Add}) key(k);                 // nothing to step
  key(GDK_Left, GDK_SHIFT_MASK);
  EXPECT_EQ(readout(statusbar_xo), "Low-Pass: 2321 Hz, Butterworth 2.");
  DialogScript script("Save Preset?", GTK_RESPONSE_NO);  // the window's accelerators come first
  key(GDK_w, GDK_CONTROL_MASK);
  EXPECT_TRUE(script.finished() && window_preset == nullptr);
}

}  // namespace
