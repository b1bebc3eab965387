// The editor window as New builds it, and the Channel Setup, Overview and
// System controls driven through the GTK API: each handler reads its
// widget, stores through its rule (whose full table the core tests hold),
// updates the widgets and drawings that depend on it and marks the preset
// unsaved.
#include <gdk/gdkkeysyms.h>

#include <cstring>

#include "gui_test_util.h"

namespace {

class Editor : public GuiTest {
 protected:
  // The default preset with these levels (0.1 dB) and groups bytes.
  static preset_t with_channels(std::vector<int16_t> gain, std::vector<uint8_t> groups) {
    preset_t p = preset_def;
    for (int i = 0; i < 4; ++i) p.channel[i].gain = gain[i], p.channel[i].groups = groups[i];
    return p;
  }
};

TEST_F(Editor, NewFromMenuOrToolbarBuildsTheDefaultPresetInTheEditorOfTheDevice) {
  for (const int device : {MV517, MV961}) {
    for (const bool from_toolbar : {false, true}) {
      SCOPED_TRACE(testing::Message() << device << (from_toolbar ? " toolbar" : " menu"));
      reset_to_idle();
      preset.channel[0].gain = -123;  // left over from an earlier editor
      generated = 1;
      if (from_toolbar)
        click_button(device == MV517 ? toolbutton_mv517 : toolbutton_mv961);
      else
        activate(device == MV517 ? mv517 : mv961);
      EXPECT_EQ(title_of(window_preset),
                device == MV517 ? "MV517 Preset-Editor" : "MV961 Preset-Editor");
      EXPECT_TRUE(mv_selector == device && new_preset == 1 && generated == 0);
      EXPECT_TRUE(std::string(preset.name) == "Preset" && preset.channel[0].gain == 0);
      EXPECT_EQ(page_of(notebook), TAB_OVERVIEW);
      for (int ch = 0; ch < 4; ++ch)
        for (GtkWidget* w : {ch_name[ch], spin_button_crossover[1][ch], peq_combo[ch][5],
                             spin_button_attack[ch], spin_button_delay[ch]})
          EXPECT_EQ(w != nullptr, ch < (device == MV517 ? 4 : 2)) << "channel " << ch;
    }
  }
  set_value(spinner_gain[0], -1.0);  // no file yet: Save stays insensitive
  EXPECT_TRUE(preset.channel[0].gain == -10 && !unsaved());
}

TEST_F(Editor, EveryBuildStartsAfreshAndNothingOutlivesTheEditor) {
  // The main window's handler that takes the editor along when iconified.
  const auto window_state_handlers = [] {
    const auto func = reinterpret_cast<gpointer>(window_state);
    const auto by = G_SIGNAL_MATCH_FUNC;
    const guint n = g_signal_handlers_block_matched(window_main, by, 0, 0, nullptr, func, nullptr);
    g_signal_handlers_unblock_matched(window_main, by, 0, 0, nullptr, func, nullptr);
    return n;
  };
  open_editor(MV517, preset_def);
  choose(combo_delay, 2);
  choose(combo_input, 3);
  destroy_editor();
  EXPECT_EQ(window_state_handlers(), 0u);
  for (GtkWidget* w : {window_preset, spinner_gain[0], combo_delay, draw_area_routing, preset_name})
    EXPECT_EQ(w, nullptr);
  aktiv[AKTIV_PEQ] = 0x0F;  // left over from the earlier editor
  open_editor(MV961, preset_def);
  EXPECT_TRUE(unit == 0 && in_mode == 0 && (aktiv[AKTIV_PEQ] & 0x03) == 0);
  EXPECT_TRUE(label_text(label_unit[0]) == "m" && window_state_handlers() == 1u);
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
  gtk_range_set_value(GTK_RANGE(vscale[1]), 7.0);  // the fader's top is +6.0
  pump();
  expect_levels({1, 6, -20, -30});

  // The MV961 links its two channels only; a level it already holds is no change.
  reset_to_idle();
  open_editor(MV961, with_channels({-100, -50, -200, -300}, {1, 1, 1, 1}));
  set_value(spinner_gain[1], -5.04);
  EXPECT_FALSE(unsaved());
  set_value(spinner_gain[1], -6.0);
  EXPECT_TRUE(preset.channel[0].gain == -110 && preset.channel[2].gain == -200);
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
  choose(combo_mute[3], 4);  // the group selectors write their nibble
  choose(combo_lvl[3], 2);
  EXPECT_EQ(preset.channel[3].groups, 0x52);
  press(button_mute[3], true);  // "Gr 2 weak" alone
  expect_muted(0x09);
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
  choose(combobox[2], 1);
  EXPECT_EQ(preset.channel[2].phase, 1);

  GtkWidget* boxes[] = {check_lock_dly, check_lock_peq,  check_lock_xo,
                        check_lock_dyn, check_lock_rout, check_lock_mutelvl};
  for (int bit = 0; bit < 6; ++bit) {  // one bit each, from 0x01 up
    press(boxes[bit], true);
    EXPECT_EQ(preset.lock, 1 << bit);
    press(boxes[bit], false);
  }
  // The router's left edge at x = 150.5, line width 2, turns red when locked.
  EXPECT_EQ(pixel(draw_area_routing, 150, 200), (std::vector<int>{0, 0, 0}));
  press(check_lock_rout, true);
  EXPECT_EQ(pixel(draw_area_routing, 150, 200), (std::vector<int>{255, 0, 0}));
}

TEST_F(Editor, NamesTakeTypingAtTheCursorAndRefuseWhatTheRecordCannotHold) {
  open_editor(MV517, preset_def);
  set_entry(ch_name[0], "Out A");
  type_into(ch_name[0], "ä", 3);
  EXPECT_EQ(entry_text(ch_name[0]), "Outä A");
  EXPECT_STREQ(preset.channel[0].name, "Out\xE4 A");  // one Latin-1 byte
  EXPECT_TRUE(unsaved());
  // The channel's headings on the other tabs follow; channel B keeps its own.
  for (GtkWidget* heading : {labels[0], labels_l[0], labels_xo[0], labels_peq[0]})
    EXPECT_EQ(label_text(heading), "Outä A");
  EXPECT_EQ(label_text(labels_xo[1]), "Out B    ");
  show_page(notebook, TAB_CHANNEL_SETUP);  // a real key press lands at the cursor too
  gtk_editable_set_position(GTK_EDITABLE(ch_name[0]), 1);
  send_event(ch_name[0], GDK_KEY_PRESS, 0, 0, GDK_KEY_udiaeresis);
  EXPECT_EQ(entry_text(ch_name[0]), "Oüutä A");
  EXPECT_STREQ(preset.channel[0].name, "O\xFCut\xE4 A");

  const struct {
    GtkWidget* entry;
    const char *start, *typed;
  } refused[] = {
      {ch_name[2], "Bass", "€"},  // no record byte
      // Every arrow takes 8 bytes in the file: the eighth would pass 63.
      {preset_name, "←←←←←←←", "↑"},
      {preset_name, "Stage", "a\xff"},  // not UTF-8
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.typed);
    set_entry(r.entry, r.start);
    const preset_t kept = preset;
    type_into(r.entry, r.typed, 2);
    EXPECT_EQ(entry_text(r.entry), r.start);
    EXPECT_EQ(std::memcmp(&kept, &preset, sizeof preset), 0);
  }
  EXPECT_EQ(record_to_utf8(preset.name, PRESET_NAME_MAX), "Stage");
}

TEST_F(Editor, OverviewClicksOpenTheBlocksTabAndChannelPage) {
  open_editor(MV517, preset_def);
  send_event(draw_area_routing2, GDK_BUTTON_PRESS, 300, 330);  // EQ block of channel D
  EXPECT_TRUE(page_of(notebook) == TAB_PARAMETRIC_EQ && page_of(notebook_peq) == 3);
  show_page(notebook, TAB_OVERVIEW);
  send_event(draw_area_routing2, GDK_BUTTON_PRESS, 200, 260);  // crossover block of C
  EXPECT_TRUE(page_of(notebook) == TAB_CROSSOVER && page_of(notebook_xo) == 2);
  show_page(notebook, TAB_OVERVIEW);
  send_event(draw_area_routing, GDK_BUTTON_PRESS, 40, 51);  // an input box
  EXPECT_EQ(page_of(notebook), TAB_CHANNEL_SETUP);
}

}  // namespace
