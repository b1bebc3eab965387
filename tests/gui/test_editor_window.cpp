// The editor window as New and Open build it for both devices: the default
// preset, pages, the controls each device shows and their entry lists, the
// values filled from the preset, a fresh start on every build, and the
// Overview's clicks.
#include <cstring>

#include "editor_test_util.h"

namespace {

using Entries = std::vector<std::string>;

class EditorWindow : public GuiTest {};

TEST_F(EditorWindow, NewFromMenuOrToolbarBuildsTheDefaultPresetInTheEditorOfTheDevice) {
  struct Case {
    int device;
    GtkWidget *item, *tool;
    const char* title;
    Entries routing, mute_groups, level_groups, input_modes;
  };
  // clang-format off
  const Case cases[] = {
      {MV517, mv517, toolbutton_mv517, "MV517 Preset-Editor",
       {"A/d1(L)", "B/d2(L)", "C/d1(R)", "D/d2(R)", "C always", "D always", "A+B/d1(L+R)",
        "C+D/d2(L+R)", "C+D always", "B+C+D/d2L+C+D", "A+B+C+D/d1+d2"},
       {"independent", "Gr 1 strong", "Gr 1 weak", "Gr 2 strong", "Gr 2 weak"},
       {"independent", "Gr 1", "Gr 2"},
       {"Inputs Analog", "Input 1 Digital", "Input 2 Digital", "Inputs Digital"}},
      {MV961, mv961, toolbutton_mv961, "MV961 Preset-Editor",
       {"A/d1(L)", "B/d1(R)", "B always", "A+B/d1(L+R)"},
       {"independent", "Gr 1 strong", "Gr 1 weak"},
       {"independent", "Gr 1"},
       {"Inputs Analog", "Inputs Digital"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    for (bool from_toolbar : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.title << (from_toolbar ? " toolbar" : " menu"));
      reset_to_idle();
      preset.channel[0].gain = -123;  // left over from an earlier editor
      generated = 1;
      if (from_toolbar)
        gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(c.tool))));
      else
        gtk_menu_item_activate(GTK_MENU_ITEM(c.item));
      pump();
      ASSERT_NE(window_preset, nullptr);
      EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_preset)), c.title);
      EXPECT_EQ(mv_selector, c.device);
      EXPECT_TRUE(new_preset == 1 && generated == 0);
      EXPECT_STREQ(preset.name, "Preset");
      EXPECT_EQ(preset.channel[0].gain, 0);

      const char* tabs[7] = {"Overview", "Channel Setup", "Crossover", "Parametric EQ",
                             "Limiter",  "Delay",         "System"};
      ASSERT_EQ(gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)), 7);
      for (int i = 0; i < 7; ++i) EXPECT_EQ(tab_text(notebook, i), tabs[i]);
      EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), TAB_OVERVIEW);
      // The shown channels have their controls on every tab; the others none.
      for (int ch = 0; ch < 4; ++ch) {
        for (GtkWidget* w : {ch_name[ch], spinner_gain[ch], vscale[ch], combobox_rout[ch],
                             button_mute[ch], spin_button_attack[ch], spin_button_delay[ch]})
          EXPECT_EQ(w != nullptr, ch < (c.device == MV517 ? 4 : 2)) << "channel " << ch;
      }
      EXPECT_EQ(combo_entries(combobox_rout[0]), c.routing);
      EXPECT_EQ(combo_entries(combo_mute[1]), c.mute_groups);
      EXPECT_EQ(combo_entries(combo_lvl[1]), c.level_groups);
      EXPECT_EQ(combo_entries(combobox[0]), (Entries{"0°", "180°"}));
      EXPECT_EQ(combo_entries(combo_input), c.input_modes);
      EXPECT_EQ(combo_entries(combo_delay), (Entries{"m", "ms", "ft"}));
      EXPECT_EQ(active(combo_input), 0);
    }
  }
}

// A preset that exercises every field the editor shows.
preset_t varied_preset() {
  preset_t p = default_preset();
  set_record_text(p.name, sizeof p.name, "Stage ←→");
  set_record_text(p.channel[1].name, sizeof p.channel[1].name, "Sub <L&R>");
  p.channel[0].gain = -123;
  p.channel[1].gain = 60;
  p.channel[0].groups = 0x12;  // 0x10 is no mute group: "independent"; level "Gr 2"
  p.channel[1].groups = 0x51;
  p.channel[0].phase = 1;
  p.channel[3].routing = 10;
  p.channel[1].dynamics = {127, 127, -24, -99};
  p.channel[0].delay = 250;
  p.channel[3].delay = 40000;
  p.mute = 0x02;
  p.lock = 0x3F;
  return p;
}

TEST_F(EditorWindow, ControlsShowThePresetAndBuildingChangesNothingElse) {
  const preset_t p = varied_preset();
  open_editor(MV517, p);

  EXPECT_EQ(entry_text(preset_name), "Stage ←→");
  EXPECT_EQ(entry_text(ch_name[0]), "Out A    ");  // trailing spaces kept
  EXPECT_EQ(entry_text(ch_name[1]), "Sub <L&R>");
  EXPECT_EQ(label_text(labels[1]), "Sub <L&R>");
  const struct {
    GtkWidget* spin;
    double shown;
  } spins[] = {{spinner_gain[0], -12.3},     {spinner_gain[1], 6.0},
               {spin_button_attack[1], 127}, {spin_button_rel[1], 1270},
               {spin_button_thres[1], -24},  {spin_button_gain[1], -99},
               {spin_button_delay[0], 2.5}};
  for (const auto& s : spins) EXPECT_DOUBLE_EQ(value(s.spin), s.shown);
  EXPECT_NEAR(fader(vscale[0]), -12.3, 1e-9);
  EXPECT_EQ(entry_text(spin_button_delay[3]), "400.00");
  EXPECT_EQ(label_text(label_unit[0]), "m");
  const struct {
    GtkWidget* combo;
    int index;
  } combos[] = {{combo_mute[0], 0}, {combo_lvl[0], 2}, {combo_mute[1], 4},
                {combo_lvl[1], 1},  {combobox[0], 1},  {combobox_rout[3], 10}};
  for (const auto& c : combos) EXPECT_EQ(active(c.combo), c.index);

  // Channel B is muted: its level, polarity, routing and groups are locked,
  // its name is not.
  EXPECT_TRUE(pressed(button_mute[1]));
  for (int ch = 0; ch < 4; ++ch) {
    for (GtkWidget* w : {vscale[ch], spinner_gain[ch], combobox[ch], combobox_rout[ch],
                         combo_mute[ch], combo_lvl[ch]})
      EXPECT_EQ(sensitive(w), ch != 1) << "channel " << ch;
    EXPECT_TRUE(sensitive(ch_name[ch]));
  }
  for (GtkWidget* lock : {check_lock_rout, check_lock_xo, check_lock_peq, check_lock_dyn,
                          check_lock_dly, check_lock_mutelvl})
    EXPECT_TRUE(pressed(lock));
  EXPECT_EQ(aktiv[AKTIV_UNMUTED], ~0x02);
  EXPECT_STREQ(level_values[0], "-12.3 dB");
  EXPECT_STREQ(delay_values[0], "  2.50 m");

  // Building stores nothing but the crossover Q its type fixes, and leaves
  // the preset saved.
  preset_t expect = p;
  for (channel_t& c : expect.channel) {
    xo_apply_build_q(c, 0);
    xo_apply_build_q(c, 1);
  }
  EXPECT_EQ(std::memcmp(&preset, &expect, sizeof preset), 0);
  EXPECT_FALSE(unsaved());
}

TEST_F(EditorWindow, EveryBuildStartsAfreshAndNothingOutlivesTheEditor) {
  // The main window's handler that takes the editor along when iconified.
  const auto window_state_handlers = [] {
    const auto func = reinterpret_cast<gpointer>(window_state);
    const guint n = g_signal_handlers_block_matched(window_main, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                                    func, nullptr);
    g_signal_handlers_unblock_matched(window_main, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr, func,
                                      nullptr);
    return n;
  };
  open_editor(MV517, default_preset());
  EXPECT_EQ(window_state_handlers(), 1u);
  choose(combo_delay, 2);
  choose(combo_input, 3);
  destroy_editor();
  EXPECT_EQ(window_state_handlers(), 0u);
  EXPECT_EQ(window_preset, nullptr);
  for (GtkWidget* w : {spinner_gain[0], combo_input, combo_delay, draw_area_routing, preset_name})
    EXPECT_EQ(w, nullptr);
  GdkEventWindowState ev{};  // nothing to follow now
  ev.new_window_state = GDK_WINDOW_STATE_ICONIFIED;
  EXPECT_FALSE(window_state(window_main, &ev, nullptr));

  aktiv[AKTIV_PEQ] = 0x0F;  // left over from the earlier editor
  open_editor(MV961, default_preset());
  EXPECT_EQ(unit, 0);
  EXPECT_EQ(label_text(label_unit[0]), "m");
  EXPECT_EQ(in_mode, 0);
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x03, 0);
  EXPECT_EQ(spinner_gain[2], nullptr);
  EXPECT_EQ(window_state_handlers(), 1u);
}

TEST_F(EditorWindow, OverviewClicksOpenTheBlocksTab) {
  struct Case {
    int device;
    GtkWidget** area;
    double x, y;
    int page;
  };
  const Case cases[] = {
      {MV517, &draw_area_routing2, 30, 120, TAB_DELAY},           // channel A
      {MV517, &draw_area_routing2, 120, 190, TAB_CHANNEL_SETUP},  // LEVEL, channel B
      {MV517, &draw_area_routing2, 200, 260, TAB_CROSSOVER},      // channel C
      {MV517, &draw_area_routing2, 300, 330, TAB_PARAMETRIC_EQ},  // channel D
      {MV517, &draw_area_routing2, 375, 120, TAB_LIMITER},
      {MV517, &draw_area_routing2, 61, 120, TAB_OVERVIEW},   // on the block's edge
      {MV517, &draw_area_routing2, 30, 99, TAB_OVERVIEW},    // above the row
      {MV961, &draw_area_routing2, 120, 260, TAB_OVERVIEW},  // row C does not exist
      {MV517, &draw_area_routing, 40, 51, TAB_CHANNEL_SETUP},
      {MV517, &draw_area_routing, 39, 100, TAB_OVERVIEW},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "device " << c.device << " at " << c.x << "," << c.y);
    reset_to_idle();
    open_editor(c.device, default_preset());
    pump_for(50);
    click_at(*c.area, c.x, c.y);
    EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), c.page);
  }
}

}  // namespace
