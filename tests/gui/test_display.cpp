// What the editor shows is what it stores (the oracle: an editor built over
// the record), and every text fits its room.
#include <cmath>
#include <set>

#include "editor/channel_menus.h"
#include "editor/overview_draw.h"
#include "files/preset_file.h"
#include "files/xml.h"
#include "gui_test_util.h"
#include "response/plot_draw.h"

namespace {

using Display = GuiTest;

// Every spin button typed a value between two stored steps, and a fader,
// show what an editor built over the record shows (2.35 ms stores 80 cm).
TEST_F(Display, EveryFieldShowsTheValueItStores) {
  for (const int device : {MV517, MV961}) {
    preset_t p = preset_def;
    for (channel_t& c : p.channel)
      for (peq_t& band : c.peq) band.gain = 10;  // every band on: its gain is stored
    open_editor(device, p);
    choose(combo_delay, DELAY_MS);
    int typed = 0;
    for_each_widget(window_preset, [&](GtkWidget* w) {
      if (!GTK_IS_SPIN_BUTTON(w)) return;
      GtkAdjustment* a = gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(w));
      const int digits = gtk_spin_button_get_digits(GTK_SPIN_BUTTON(w));
      const double off =
          a->step_increment >= 10 ? a->step_increment / 2 : 2.5 * std::pow(10, -digits);
      char text[32];
      g_snprintf(text, sizeof text, "%g", a->value + (a->value + off > a->upper ? -off : off));
      const preset_t before = preset;
      mark_saved();
      type_value(w, w == spin_button_delay[1] ? "2.35" : text);
      EXPECT_EQ(unsaved(), !same(before, preset)) << "field " << typed;  // through the guard
      typed++;
    });
    gtk_range_set_value(GTK_RANGE(vscale[1]), -12.34);
    pump();
    EXPECT_TRUE(typed == device * 26 && preset.channel[1].delay == 80 &&
                preset.channel[1].gain == -123);
    const std::string shown = editor_state();
    const preset_t stored = preset;
    reset_to_idle();
    open_editor(device, stored);
    choose(combo_delay, DELAY_MS);
    EXPECT_EQ(shown, editor_state());
  }
}

// One warning lists what the fields cannot show; Save keeps those values
// until their own field is edited.
TEST_F(Display, OpenListsValuesBeyondTheFieldsAndKeepsThemUntilEdited) {
  preset_t p = preset_def;
  p.channel[0].gain = -999, p.channel[0].groups = p.channel[1].groups = 0x01;
  p.channel[1].peq[2] = {500, 7, -30, 1};  // a shelf on a middle band
  p.channel[2].dynamics = {200, 200, -30, -3};
  const std::string path = dir.file("beyond.qpx");
  ASSERT_EQ(xml_write(path.c_str(), &p, MV517), XML_OK);
  DialogScript s("Warning!", GTK_RESPONSE_OK);
  ASSERT_TRUE(open_preset_file(path));
  pump_for(100);
  EXPECT_NE(s.text(0).find("(editor -24..0)\n\nThese fields"), std::string::npos) << s.text(0);
  EXPECT_NE(s.text(0).find("edited.\nFile: " + path), std::string::npos) << s.text(0);
  set_value(spinner_gain[2], -5);
  choose(peq_combo[1][0], 1);
  choose(combo_input, 1);
  choose(combo_delay, DELAY_MS);
  for (GtkWidget* spin : {spin_button_attack[2], spin_button_rel[2], spin_button_thres[2]})
    gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
  ASSERT_TRUE(save_preset(false));
  p.channel[2].gain = -50;  // what was edited; the high-passes' Q as the build fixes it
  for (channel_t& c : p.channel) c.xo[0].q[0] = 7;
  EXPECT_EQ(first_difference(read_preset_file(path).preset, p), "");
  set_value(spinner_gain[1], 1);  // channel A follows its level group
  set_value(spin_button_attack[2], 100);
  choose(peq_combo[1][2], 0);
  EXPECT_TRUE(preset.channel[0].gain == -980 && entry_text(spinner_gain[0]) == "-98.0");
  EXPECT_TRUE(preset.channel[2].dynamics.attack == 100 && preset.channel[1].peq[2].type == 0);
}

// A record shown in an open editor (as undo does) looks as if built over it.
TEST_F(Display, ShowRecordInEditorMatchesAFreshBuild) {
  // Names with arrows and umlauts, groups, a shelf, mutes, locks, 400 m and
  // a level of -99.9 dB beyond its field.
  preset_t b = live_preset();
  apply_build_q(b, MV517);
  preset_t a = preset_def;
  // (Band 3 of A is on in both: an off band's field keeps the gain it comes back with.)
  a.channel[0].peq[2].gain = 30, a.channel[2].dynamics.threshold = -3, a.mute = 0x09;
  for (const int device : {MV517, MV961}) {
    open_editor(device, b);
    choose(combo_delay, DELAY_FT);
    const std::string built = editor_state();
    reset_to_idle();
    open_editor(device, a);
    choose(combo_delay, DELAY_FT);
    set_value(spinner_gain[0], -20);
    mark_saved();
    preset = b;
    show_record_in_editor();
    pump();
    EXPECT_TRUE(presets_equal(preset, b) && !unsaved());
    EXPECT_EQ(editor_state(), built) << device;
    reset_to_idle();
  }
}

TEST_F(Display, EveryLabelComboEntryAndSpinValueFitsItsWidget) {
  for (const int device : {MV517, MV961}) {
    open_editor(device, preset_def);
    std::set<std::string> out;
    for (int u = 0; u < 3; ++u) {  // the delay fields' range follows the unit
      choose(combo_delay, u);
      for (GtkWidget* book :
           {notebook, notebook_xo, notebook_peq})  // pages are laid out when shown
        for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(book)); ++i) {
          show_page(book, i);
          for (const std::string& m : misfits(window_preset)) out.insert(m);
        }
    }
    EXPECT_EQ(out, std::set<std::string>{}) << device;
  }
  // The factory-preset refusal keeps 240 pixels as its least width and
  // grows to show its whole message.
  error_open();
  pump_for(100);
  GtkWidget* dialog = find_window("Error!");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(misfits(dialog), std::set<std::string>{});
  EXPECT_GE(dialog->allocation.width, 240);
}

// A right-click menu and its submenu in the window's font, the main menus not.
TEST_F(Display, PopUpMenusUseTheirWindowsFont) {
  open_editor(MV517, preset_def);
  show_page(notebook, TAB_PARAMETRIC_EQ);
  gchar* font = pango_font_description_to_string(window_preset->style->font_desc);
  const std::string editor_font = font;
  g_free(font);
  // How many item texts of the menus shown are in the editor's font, and
  // how many in another.
  const auto count_fonts = [&editor_font] {
    pump_for(100);
    int editor = 0, other = 0;
    for (GtkWidget* top : visible_toplevels())
      for_each_widget(gtk_bin_get_child(GTK_BIN(top)), [&](GtkWidget* w) {
        if (!gtk_widget_get_ancestor(w, GTK_TYPE_MENU)) return;
        if (!GTK_IS_LABEL(w) && !GTK_IS_CELL_VIEW(w)) return;
        gchar* f = pango_font_description_to_string(w->style->font_desc);
        ++(f == editor_font ? editor : other);
        g_free(f);
      });
    return std::make_pair(editor, other);
  };
  // The EQ plot's menu with its "Copy EQ to" submenu open.
  GtkWidget* menu = plot_menu(0, true);
  popup_channel_menu(menu, nullptr);
  GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
  GtkWidget* copy = GTK_WIDGET(g_list_nth_data(items, 3));  // after Undo, Redo, a separator
  g_list_free(items);
  GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(copy));
  gtk_menu_popup(GTK_MENU(submenu), menu, copy, nullptr, nullptr, 0, GDK_CURRENT_TIME);
  const auto plot = count_fonts();
  gtk_menu_popdown(GTK_MENU(submenu));
  gtk_menu_popdown(GTK_MENU(menu));
  EXPECT_TRUE(plot.first >= 11 && plot.second == 0) << plot.first << " " << plot.second;
  gtk_widget_destroy(menu);
  GtkWidget* file_menu = gtk_widget_get_parent(neu);  // the main window's keeps the desktop's
  gtk_menu_popup(GTK_MENU(file_menu), nullptr, nullptr, nullptr, nullptr, 0, GDK_CURRENT_TIME);
  const auto main_menu = count_fonts();
  gtk_menu_popdown(GTK_MENU(file_menu));
  EXPECT_TRUE(main_menu.first == 0 && main_menu.second > 3);
}

// Every text the Overview diagrams and crossover handles draw stays in its
// box at the size drawn, with the longest values.
TEST_F(Display, EveryDrawnTextStaysInItsBox) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
  cairo_t* cr = cairo_create(surface);
  std::set<std::string> out;
  int texts = 0;
  const auto check = [&](const DiagramText& t) {
    const double size = fitted_size(cr, t);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           t.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, t.text.c_str(), &e);
    if (t.x + e.x_bearing < t.left - 0.5 || t.x + e.x_bearing + e.width > t.right ||
        size < 0.6 * t.size)
      out.insert("'" + t.text + "' at " + std::to_string(size) + " ends at " +
                 std::to_string(t.x + e.x_bearing + e.width));
    ++texts;
  };
  for (const int device : {MV517, MV961}) {
    for (const char* delay : {"1164.82 ms", "1312.34 ft"}) {
      ChannelFlowView v;
      v.channels = device;
      for (int& m : v.aktiv) m = 0x0F;
      v.aktiv[AKTIV_UNMUTED] = 0x0A;  // A and C muted
      for (ChannelFlowRow& row : v.row) row = {delay, "-99.0 dB", "-24 dB", "WWWWWWWWW", 1, {}};
      for (const DiagramText& t : channel_flow_texts(v)) check(t);
    }
    for (int mode = 0; mode < 4; ++mode)
      for (const DiagramText& t : routing_texts(RoutingView{device, mode, {}, 0})) check(t);
  }
  EXPECT_GT(texts, 200);  // every row, heading, title and input
  EXPECT_EQ(out, std::set<std::string>{});
  for (const char* label : {"HP", "LP"}) {
    cairo_set_font_size(cr, xo_handle_label_size(cr, label));
    cairo_text_extents_t e;
    cairo_text_extents(cr, label, &e);
    EXPECT_TRUE(e.width <= 10.0 && e.width >= 7.0) << label << " " << e.width;
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

}  // namespace
