// The editor window as New and Open build it for both devices: title,
// pages, the controls each device shows and their entry lists, the values
// filled from the preset, the overview state, and the widget factories.
#include <cmath>
#include <cstring>

#include "editor/make_widgets.h"
#include "editor_test_util.h"
#include "shell/global_inits.h"

namespace {

using Entries = std::vector<std::string>;

const Entries routing_mv517 = {"A/d1(L)",    "B/d2(L)",       "C/d1(R)",      "D/d2(R)",
                               "C always",   "D always",      "A+B/d1(L+R)",  "C+D/d2(L+R)",
                               "C+D always", "B+C+D/d2L+C+D", "A+B+C+D/d1+d2"};
const Entries routing_mv961 = {"A/d1(L)", "B/d1(R)", "B always", "A+B/d1(L+R)"};

class EditorWindow : public GuiTest {};

TEST_F(EditorWindow, NewBuildsTheEditorOfEachDevice) {
  struct Case {
    GtkWidget* item;
    int channels;
    const char* title;
    Entries routing, mute_groups, level_groups, input_modes;
  };
  const Case cases[] = {
      {mv517,
       4,
       "MV517 Preset-Editor",
       routing_mv517,
       {"independent", "Gr 1 strong", "Gr 1 weak", "Gr 2 strong", "Gr 2 weak"},
       {"independent", "Gr 1", "Gr 2"},
       {"Inputs Analog", "Input 1 Digital", "Input 2 Digital", "Inputs Digital"}},
      {mv961,
       2,
       "MV961 Preset-Editor",
       routing_mv961,
       {"independent", "Gr 1 strong", "Gr 1 weak"},
       {"independent", "Gr 1"},
       {"Inputs Analog", "Inputs Digital"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    reset_to_idle();
    gtk_menu_item_activate(GTK_MENU_ITEM(c.item));
    pump();
    ASSERT_NE(window_preset, nullptr);
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_preset)), c.title);
    EXPECT_EQ(mv_type, unsigned(c.channels));
    EXPECT_TRUE(visible(window_preset));
    // The menu accelerators also work while the editor has the focus.
    GSList* groups = gtk_accel_groups_from_object(G_OBJECT(window_preset));
    EXPECT_NE(g_slist_find(groups, accel_group), nullptr);

    const char* tabs[7] = {"Overview", "Channel Setup", "Crossover", "Parametric EQ",
                           "Limiter",  "Delay",         "System"};
    ASSERT_EQ(gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(tab_text(notebook, i), tabs[i]);
    EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), 0);
    GtkWidget* system_tab = gtk_notebook_get_tab_label(
        GTK_NOTEBOOK(notebook), gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), 6));
    for (GtkStateType state : {GTK_STATE_NORMAL, GTK_STATE_ACTIVE})
      EXPECT_EQ(modified_color(system_tab, false, state), (std::vector<int>{55000, 0, 0}));

    // The shown channels have their controls on every tab; the others none.
    for (int ch = 0; ch < 4; ++ch) {
      const bool shown = ch < c.channels;
      for (GtkWidget* w : {ch_name[ch], spinner_gain[ch], vscale[ch], combobox[ch],
                           combobox_rout[ch], combo_mute[ch], combo_lvl[ch], button_mute[ch],
                           spin_button_attack[ch], spin_button_rel[ch], spin_button_thres[ch],
                           spin_button_gain[ch], spin_button_delay[ch], label_unit[ch]})
        EXPECT_EQ(w != nullptr, shown) << "channel " << ch;
    }
    GtkWidget* setup = gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), 1);
    const char* frames[4] = {" Channel A ", " Channel B ", " Channel C ", " Channel D "};
    for (int ch = 0; ch < 4; ++ch)
      EXPECT_EQ(labels_with_text(setup, frames[ch]).size(), ch < c.channels ? 1u : 0u);

    EXPECT_EQ(combo_entries(combobox_rout[0]), c.routing);
    EXPECT_EQ(combo_entries(combo_mute[1]), c.mute_groups);
    EXPECT_EQ(combo_entries(combo_lvl[1]), c.level_groups);
    EXPECT_EQ(combo_entries(combobox[0]), (Entries{"0°", "180°"}));
    EXPECT_EQ(combo_entries(combo_input), c.input_modes);
    EXPECT_EQ(combo_entries(combo_delay), (Entries{"m", "ms", "ft"}));
    EXPECT_EQ(active(combo_input), 0);
    EXPECT_EQ(in_mode, 0);

    // Editing: Save As and Close, but nothing to save yet.
    EXPECT_FALSE(sensitive(speichern));
    EXPECT_TRUE(sensitive(speichern_u));
    EXPECT_TRUE(sensitive(schliessen));
    EXPECT_FALSE(sensitive(oeffnen));
    EXPECT_FALSE(sensitive(neu));
  }
}

TEST_F(EditorWindow, PagesCarryTheirHeadingsLockBoxesAndNotes) {
  open_editor(MV517, default_preset());
  struct Page {
    int index;
    const char* heading;
    GtkWidget* lock;
    const char* lock_label;
  };
  const Page pages[] = {
      {0, "Overview", check_lock_rout, "Lock Routing & Polarity"},
      {1, "Channel Setup", check_lock_mutelvl, "Lock Mute-/Lvl-Link"},
      {2, "Crossover", check_lock_xo, "Lock"},
      {3, "Parametric EQ", check_lock_peq, "Lock"},
      {4, "Limiter", check_lock_dyn, "Lock"},
      {5, "Delay", check_lock_dly, "Lock"},
  };
  for (const Page& p : pages) {
    SCOPED_TRACE(p.heading);
    GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), p.index);
    EXPECT_EQ(labels_with_text(page, p.heading).size(), 1u);
    ASSERT_NE(p.lock, nullptr);
    EXPECT_TRUE(gtk_widget_is_ancestor(p.lock, page));
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(p.lock)), p.lock_label);
  }
  GtkWidget* overview = gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), 0);
  EXPECT_EQ(
      labels_with_text(overview, "Note: Don`t forget to set input mode on your device!").size(),
      1u);
  GtkWidget* system = gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), 6);
  EXPECT_EQ(labels_with_text(system, "System").size(), 1u);
  EXPECT_EQ(labels_with_text(system, "Preset-Name:").size(), 1u);
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(button_generate)), " Save Preset ");
  EXPECT_TRUE(gtk_widget_is_ancestor(draw_area_routing_cpy, system));
  EXPECT_TRUE(gtk_widget_is_ancestor(draw_area_routing2_cpy, system));

  // Only the Overview's status bar carries a message.
  const auto bars = descendants(notebook, [](GtkWidget* w) { return GTK_IS_STATUSBAR(w); });
  ASSERT_EQ(bars.size(), 7u);
  int with_message = 0;
  for (GtkWidget* bar : bars) {
    const auto texts =
        descendants(bar, [](GtkWidget* w) { return GTK_IS_LABEL(w) && !label_text(w).empty(); });
    if (texts.empty()) continue;
    ++with_message;
    EXPECT_TRUE(gtk_widget_is_ancestor(bar, overview));
    EXPECT_EQ(label_text(texts[0]), "Click the icons to edit.");
  }
  EXPECT_EQ(with_message, 1);
  EXPECT_EQ(statusbar, bars.back());  // the System page's, built last
}

// A preset that exercises every field the editor shows.
preset_t varied_preset() {
  preset_t p = default_preset();
  set_record_text(p.name, sizeof p.name, "Stage ←→");
  set_record_text(p.channel[1].name, sizeof p.channel[1].name, "Sub <L&R>");
  p.channel[0].gain = -123;
  p.channel[1].gain = 60;
  p.channel[2].gain = -990;
  p.channel[0].groups = 0x12;  // 0x10 is no mute group: "independent"; level "Gr 2"
  p.channel[1].groups = 0x51;
  p.channel[2].groups = 0x30;
  p.channel[0].phase = 1;
  p.channel[3].routing = 10;
  p.channel[1].dynamics = {127, 127, -24, -99};
  p.channel[0].dynamics.release = 10;
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
  EXPECT_DOUBLE_EQ(value(spinner_gain[0]), -12.3);
  EXPECT_NEAR(fader(vscale[0]), -12.3, 1e-9);
  EXPECT_DOUBLE_EQ(value(spinner_gain[1]), 6.0);
  EXPECT_NEAR(fader(vscale[1]), 6.0, 1e-9);
  EXPECT_DOUBLE_EQ(value(spinner_gain[2]), -99.0);
  EXPECT_EQ(active(combo_mute[0]), 0);
  EXPECT_EQ(active(combo_lvl[0]), 2);
  EXPECT_EQ(active(combo_mute[1]), 4);
  EXPECT_EQ(active(combo_lvl[1]), 1);
  EXPECT_EQ(active(combo_mute[2]), 2);
  EXPECT_EQ(active(combobox[0]), 1);
  EXPECT_EQ(active(combobox_rout[3]), 10);
  EXPECT_EQ(active(combobox_rout[1]), 1);

  // Channel B is muted: its level, polarity, routing and groups are locked,
  // its name is not.
  EXPECT_TRUE(pressed(button_mute[1]));
  for (int ch = 0; ch < 4; ++ch) {
    for (GtkWidget* w : {vscale[ch], spinner_gain[ch], combobox[ch], combobox_rout[ch],
                         combo_mute[ch], combo_lvl[ch]})
      EXPECT_EQ(sensitive(w), ch != 1) << "channel " << ch;
    EXPECT_TRUE(sensitive(ch_name[ch]));
  }

  EXPECT_DOUBLE_EQ(value(spin_button_attack[1]), 127);
  EXPECT_DOUBLE_EQ(value(spin_button_rel[1]), 1270);
  EXPECT_DOUBLE_EQ(value(spin_button_rel[0]), 100);
  EXPECT_DOUBLE_EQ(value(spin_button_thres[1]), -24);
  EXPECT_DOUBLE_EQ(value(spin_button_gain[1]), -99);
  EXPECT_DOUBLE_EQ(value(spin_button_delay[0]), 2.5);
  EXPECT_EQ(entry_text(spin_button_delay[0]), "2.50");
  EXPECT_EQ(entry_text(spin_button_delay[3]), "400.00");
  EXPECT_EQ(active(combo_delay), 0);
  EXPECT_EQ(label_text(label_unit[0]), "m");
  EXPECT_EQ(label_text(labels[1]), "Sub <L&R>");
  EXPECT_EQ(label_text(labels_l[1]), "Sub <L&R>");

  for (GtkWidget* lock : {check_lock_rout, check_lock_xo, check_lock_peq, check_lock_dyn,
                          check_lock_dly, check_lock_mutelvl})
    EXPECT_TRUE(pressed(lock));

  // Building stores nothing but the crossover Q its type fixes, and leaves
  // the preset saved.
  preset_t expect = p;
  for (channel_t& c : expect.channel) {
    xo_apply_build_q(c, 0);
    xo_apply_build_q(c, 1);
  }
  EXPECT_EQ(std::memcmp(&preset, &expect, sizeof preset), 0);
  EXPECT_EQ(preset.lock, 0x3F);
  EXPECT_FALSE(unsaved());
}

TEST_F(EditorWindow, OverviewValuesAndMasksFollowThePreset) {
  preset_t p = varied_preset();
  p.channel[0].dynamics.threshold = -3;
  p.channel[1].peq[2].gain = 30;  // "PEQ"
  p.channel[2].delay = 5;
  p.channel[3].dynamics.threshold = -24;
  p.channel[3].peq[0].type = 1;
  p.mute = 0x0A;
  aktiv[AKTIV_PEQ] = 0x0F;  // left over from an earlier editor
  open_editor(MV961, p);

  EXPECT_EQ(aktiv[AKTIV_DYN] & 0x03, 0x03);
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x03, 0x02);  // channel A's bands are all off
  EXPECT_EQ(aktiv[AKTIV_DELAY] & 0x03, 0x01);
  EXPECT_EQ(aktiv[AKTIV_UNMUTED], ~0x0A);  // the whole mute byte
  EXPECT_STREQ(level_values[0], "-12.3 dB");
  EXPECT_STREQ(level_values[1], "  6.0 dB");
  EXPECT_STREQ(dyn_values[0], " -3 dB");
  EXPECT_STREQ(dyn_values[1], "-24 dB");
  EXPECT_STREQ(delay_values[0], "  2.50 m");
  EXPECT_STREQ(delay_values[1], "  0.00 m");

  // Fresh gradients for the plots and the router box.
  ASSERT_NE(pat1, nullptr);
  ASSERT_NE(pat_r, nullptr);
  EXPECT_EQ(cairo_pattern_get_type(pat_r), CAIRO_PATTERN_TYPE_LINEAR);
}

TEST_F(EditorWindow, EveryBuildStartsAfresh) {
  open_editor(MV517, default_preset());
  choose(combo_delay, 2);
  choose(combo_input, 3);
  destroy_editor();
  // Nothing refers to the destroyed widgets.
  EXPECT_EQ(window_preset, nullptr);
  for (GtkWidget* w : {spinner_gain[0], combo_input, combo_delay, draw_area_routing, preset_name})
    EXPECT_EQ(w, nullptr);

  open_editor(MV961, default_preset());
  EXPECT_EQ(unit, 0);
  EXPECT_EQ(active(combo_delay), 0);
  EXPECT_EQ(label_text(label_unit[0]), "m");
  EXPECT_EQ(in_mode, 0);
  EXPECT_EQ(spinner_gain[2], nullptr);
  EXPECT_EQ(spin_button_delay[3], nullptr);
  // One window-state handler on the main window, whatever was built before.
  const auto match = G_SIGNAL_MATCH_FUNC;
  const auto handler = reinterpret_cast<gpointer>(window_state);
  EXPECT_EQ(g_signal_handlers_block_matched(window_main, match, 0, 0, nullptr, handler, nullptr),
            1u);
  g_signal_handlers_unblock_matched(window_main, match, 0, 0, nullptr, handler, nullptr);
}

// ---- Overview clicks ---------------------------------------------------------

TEST_F(EditorWindow, OverviewClicksOpenTheBlocksTab) {
  struct Case {
    int device;
    GtkWidget** area;
    double x, y;
    int page;  // -1: stays on the Overview
  };
  const Case cases[] = {
      {MV517, &draw_area_routing2, 30, 120, 5},    // DELAY, channel A
      {MV517, &draw_area_routing2, 120, 190, 1},   // LEVEL, channel B
      {MV517, &draw_area_routing2, 200, 260, 2},   // XO, channel C
      {MV517, &draw_area_routing2, 300, 330, 3},   // EQ, channel D
      {MV517, &draw_area_routing2, 375, 120, 4},   // DYN
      {MV517, &draw_area_routing2, 61, 120, -1},   // on the block's edge
      {MV517, &draw_area_routing2, 30, 99, -1},    // above the row
      {MV517, &draw_area_routing2, 500, 120, -1},  // output box
      {MV961, &draw_area_routing2, 120, 190, 1},
      {MV961, &draw_area_routing2, 120, 260, -1},  // row C does not exist
      {MV517, &draw_area_routing, 40, 51, 1},
      {MV517, &draw_area_routing, 39, 100, -1},
      {MV517, &draw_area_routing, 200, 391, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "device " << c.device << " at " << c.x << "," << c.y);
    reset_to_idle();
    open_editor(c.device, default_preset());
    pump_for(50);
    click_at(*c.area, c.x, c.y);
    EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), c.page < 0 ? 0 : c.page);
  }
}

// ---- Widget factories ----------------------------------------------------------

TEST(WidgetFactories, SpinButtonRangeDigitsAndTyping) {
  GtkWidget* spin = make_spinbutton(35.0, 8000.0, 1.0, 4, 0, 100.0, -1.0);
  g_object_ref_sink(spin);
  GtkAdjustment* adj = gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(spin));
  EXPECT_EQ(gtk_adjustment_get_page_size(adj), 0.0);
  EXPECT_EQ(gtk_adjustment_get_step_increment(adj), 1.0);
  EXPECT_EQ(gtk_spin_button_get_digits(GTK_SPIN_BUTTON(spin)), 0u);
  EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(spin)), 4);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), 8000);
  EXPECT_EQ(value(spin), 8000);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), 8001);
  EXPECT_EQ(value(spin), 8000);
  EXPECT_EQ(entry_text(spin), "8000");
  gint w = 0, h = 0;
  gtk_widget_get_size_request(spin, &w, &h);
  EXPECT_EQ(w, -1);
  g_object_unref(spin);

  GtkWidget* delay = make_spinbutton(0.0, 400.0, 0.01, 7, 2, 2.5, 65.9);
  g_object_ref_sink(delay);
  gtk_widget_get_size_request(delay, &w, &h);
  EXPECT_EQ(w, 65);
  EXPECT_EQ(entry_text(delay), "2.50");
  g_object_unref(delay);
}

TEST(WidgetFactories, FaderStopsAtItsTopMinusTheStep) {
  GtkWidget* scale = make_vscale(-99.0, 6.1, 0.1, 0.0, 90, 150);
  g_object_ref_sink(scale);
  gtk_range_set_value(GTK_RANGE(scale), 10.0);
  EXPECT_NEAR(fader(scale), 6.0, 1e-9);
  gtk_range_set_value(GTK_RANGE(scale), -120.0);
  EXPECT_NEAR(fader(scale), -99.0, 1e-9);
  EXPECT_TRUE(gtk_range_get_inverted(GTK_RANGE(scale)));
  EXPECT_FALSE(gtk_scale_get_draw_value(GTK_SCALE(scale)));
  EXPECT_EQ(gtk_range_get_update_policy(GTK_RANGE(scale)), GTK_UPDATE_CONTINUOUS);
  gint w = 0, h = 0;
  gtk_widget_get_size_request(scale, &w, &h);
  EXPECT_EQ(w, 90);
  EXPECT_EQ(h, 150);
  g_object_unref(scale);
}

TEST(WidgetFactories, SelectorEntryLists) {
  struct Case {
    const char *t1, *t2, *t3;
    int ident;
    Entries expect;
  };
  const Case cases[] = {
      {"OFF", "PEQ", nullptr, 0, {"OFF", "PEQ"}},
      {"A/d1(L)", "B/d2(L)", "C/d1(R)", 1, routing_mv517},
      {"A/d1(L)", "B/d1(R)", "B always", 2, routing_mv961},
      {"Inputs Analog",
       "Input 1 Digital",
       "Input 2 Digital",
       3,
       {"Inputs Analog", "Input 1 Digital", "Input 2 Digital", "Inputs Digital"}},
      {"independent",
       "Gr 1 strong",
       "Gr 1 weak",
       4,
       {"independent", "Gr 1 strong", "Gr 1 weak", "Gr 2 strong", "Gr 2 weak"}},
  };
  for (const Case& c : cases) {
    GtkWidget* combo = make_combobox(c.t1, c.t2, c.t3, 85, c.ident);
    g_object_ref_sink(combo);
    EXPECT_EQ(combo_entries(combo), c.expect) << "ident " << c.ident;
    EXPECT_EQ(active(combo), -1);
    g_object_unref(combo);
  }
}

TEST(WidgetFactories, LabelsEntriesButtonsAndAreas) {
  GtkWidget* note = make_label_with_markup("Tom & <Jerry>", 3);
  g_object_ref_sink(note);
  EXPECT_EQ(label_text(note), "Tom & <Jerry>");
  EXPECT_EQ(modified_color(note, false, GTK_STATE_NORMAL), (std::vector<int>{55000, 0, 0}));
  g_object_unref(note);

  GtkWidget* heading = make_label_with_markup("Filter 1", 4);
  g_object_ref_sink(heading);
  EXPECT_EQ(modified_color(heading, false, GTK_STATE_NORMAL),
            (std::vector<int>{3000, 20000, 40000}));
  GtkWidget* plain = make_label_with_markup("Overview", 0);
  g_object_ref_sink(plain);
  EXPECT_TRUE(modified_color(plain, false, GTK_STATE_NORMAL).empty());
  g_object_unref(plain);
  g_object_unref(heading);

  GtkWidget* entry = make_entry(9, 90);
  g_object_ref_sink(entry);
  EXPECT_EQ(gtk_entry_get_max_length(GTK_ENTRY(entry)), 9);
  EXPECT_EQ(modified_color(entry, true, GTK_STATE_NORMAL), (std::vector<int>{65500, 65500, 64000}));
  g_object_unref(entry);

  GtkWidget* push = make_button(" Save Preset ", -1, -1, 1);
  GtkWidget* toggle = make_button("Mute", 90, 20, 2);
  g_object_ref_sink(push);
  g_object_ref_sink(toggle);
  EXPECT_FALSE(GTK_IS_TOGGLE_BUTTON(push));
  EXPECT_TRUE(GTK_IS_TOGGLE_BUTTON(toggle));
  EXPECT_EQ(make_button("x", 1, 1, 3), nullptr);
  g_object_unref(push);
  g_object_unref(toggle);

  for (int mode = 0; mode < 4; ++mode) {
    GtkWidget* area = make_drawing_area(812, 205, mode);
    g_object_ref_sink(area);
    const gint events = gtk_widget_get_events(area);
    EXPECT_EQ((events & GDK_BUTTON_PRESS_MASK) != 0, (mode & 1) != 0) << mode;
    EXPECT_EQ((events & GDK_BUTTON_MOTION_MASK) != 0, (mode & 2) != 0) << mode;
    g_object_unref(area);
  }
}

}  // namespace
