// Right-click menus of the channel pages: copies, a filter text taken in,
// the EQ plot's extra curves and their legend.
#include <cstring>

#include "editor/channel_menus.h"
#include "gui_test_util.h"
#include "response/plots.h"

namespace {

class ChannelMenus : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    preset_t p = preset_def;
    const char* names[] = {"Top L", "Top R", "Fill", "Sub"};
    for (int ch = 0; ch < 4; ++ch) std::strcpy(p.channel[ch].name, names[ch]);
    p.channel[0].xo[0] = {1, {1000, 1000}, {7, 7}};
    p.channel[2].xo[0] = p.channel[0].xo[0];
    p.channel[1].xo[1] = {1, {2500, 2500}, {7, 7}};
    p.mute = 0x02;
    p.channel[1].peq[2] = {500, 20, -45, 0};
    p.channel[1].dynamics = {9, 30, -12, -6};
    p.channel[1].delay = 125;
    open_editor(MV517, p);
  }
  // Right-clicks `w` (a plot, or the box a caption sits in) at (x, y), as
  // the toolkit hands the press on; returns the menu shown.
  static GtkWidget* right_click(GtkWidget* w, double x = 400, double y = 60) {
    GdkEvent* e = gdk_event_new(GDK_BUTTON_PRESS);
    e->button.window = GDK_WINDOW(g_object_ref(w->window));
    e->button.x = x, e->button.y = y, e->button.button = 3;
    gboolean handled = FALSE;
    g_signal_emit_by_name(w, "button-press-event", e, &handled);
    gdk_event_free(e);
    pump();
    for (GtkWidget* t : visible_toplevels())
      if (GTK_IS_MENU(gtk_bin_get_child(GTK_BIN(t)))) return gtk_bin_get_child(GTK_BIN(t));
    return nullptr;
  }
  // The labels of a menu's items ("-" a separator), or the item found along
  // `path` through the submenus.
  static std::string item_labels(GtkWidget* menu, const std::vector<std::string>& path = {},
                                 GtkWidget** found = nullptr) {
    std::string out;
    GList* items = menu ? gtk_container_get_children(GTK_CONTAINER(menu)) : nullptr;
    for (GList* l = items; l; l = l->next) {
      GtkWidget* child = gtk_bin_get_child(GTK_BIN(l->data));
      const std::string text = child ? gtk_label_get_text(GTK_LABEL(child)) : "-";
      out += text + ";";
      if (!path.empty() && text == path[0])
        path.size() == 1 ? void(*found = GTK_WIDGET(l->data))
                         : void(item_labels(gtk_menu_item_get_submenu(GTK_MENU_ITEM(l->data)),
                                            {path.begin() + 1, path.end()}, found));
    }
    g_list_free(items);
    return out;
  }
  static void choose_item(GtkWidget* menu, const std::vector<std::string>& path) {
    GtkWidget* item = nullptr;
    item_labels(menu, path, &item);
    ASSERT_TRUE(item) << path.back();
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
    gtk_menu_popdown(GTK_MENU(menu));
    pump();
  }
  // Whether a curve of colour `rgb` crosses plot column x within 3 rows of y.
  static bool curve_near(GtkWidget* plot, int x, int y, const std::vector<int>& rgb) {
    for (int row = y - 3; row <= y + 3; ++row) {
      const std::vector<int> p = pixel(plot, x, row);
      if (std::abs(p[0] - rgb[0]) + std::abs(p[1] - rgb[1]) + std::abs(p[2] - rgb[2]) < 60)
        return true;
    }
    return false;
  }
  static std::string legend() {
    return gtk_label_get_label(GTK_LABEL(GTK_STATUSBAR(statusbar_peq)->label));
  }
};

// Each menu offers its page's section and the whole channel; a right-click
// changes nothing, the copy of channel B lands in D, shown in D's fields,
// and the preset is unsaved.
TEST_F(ChannelMenus, EveryCaptionAndPlotCopiesItsSection) {
  const auto box = [](GtkWidget* label) { return gtk_widget_get_parent(label); };
  const struct {
    GtkWidget* target;
    int tab;
    const char* section;
    bool (*copied)();
  } cases[] = {
      {box(labels_xo[1]), TAB_CROSSOVER, "crossover",
       [] { return value(spin_button_crossover[1][3]) == 2500; }},
      {box(labels_peq[1]), TAB_PARAMETRIC_EQ, "EQ",
       [] { return value(peq_spin_gain[3][2]) == -4.5; }},
      {box(labels_l[1]), TAB_LIMITER, "limiter", [] { return value(spin_button_rel[3]) == 300; }},
      {box(labels[1]), TAB_DELAY, "delay", [] { return value(spin_button_delay[3]) == 1.25; }},
      {drawing_area_xo[1], TAB_CROSSOVER, "crossover", [] { return pressed(button_mute[3]); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.section);
    show_page(notebook, c.tab);
    mark_saved();
    const preset_t before = preset;
    const std::string copy = std::string("Copy ") + c.section + " to";
    GtkWidget* menu = right_click(c.target);
    EXPECT_EQ(item_labels(menu), copy + ";Copy whole channel to;");
    EXPECT_EQ(std::memcmp(&before, &preset, sizeof preset), 0);
    choose_item(menu,
                {c.target == drawing_area_xo[1] ? "Copy whole channel to" : copy, "Out D \"Sub\""});
    EXPECT_TRUE(c.copied() && unsaved());
  }
  EXPECT_STREQ(preset.channel[3].name, "Sub");
  EXPECT_EQ(
      std::memcmp(&preset.channel[3].dynamics, &preset.channel[1].dynamics, sizeof(dynamics_t)), 0);
}

// "Import filter settings..." on channel B's EQ plot: a chooser, then what
// was taken and rounded; a refused text names its line and changes nothing.
TEST_F(ChannelMenus, ImportFromTheEqPlotMenu) {
  show_page(notebook, TAB_PARAMETRIC_EQ);
  show_page(notebook_peq, 1);
  write_file(dir.path() + "/room.txt",
             "Preamp: -4.5 dB\nFilter 1: ON PK Fc 125.4 Hz Gain -3.04 dB Q 2.00\n"
             "Filter 2: ON HSC Fc 8 kHz Gain 2.5 dB\n");
  write_file(dir.path() + "/bad.txt",
             "Filter 1: ON PK Fc 125 Hz Gain -3 dB Q 2\nFilter 2: ON LP Fc 80 Hz\n");
  mark_saved();
  const struct {
    const char* file;
    const char* title;
    const char* said;
  } cases[] = {
      {"", "", ""},  // Cancel
      {"room.txt", "Import Filter Settings", "line 2: frequency 125.4 Hz stored as 125"},
      {"bad.txt", "Error!", "line 2: \"Filter 2: ON LP Fc 80 Hz\": the device has no LP filter"}};
  for (const auto& c : cases) {
    const preset_t before = preset;
    DialogScript script;
    if (*c.file)
      script.chooser("Import Filter Settings", dir.path() + "/" + c.file)
          .dialog(c.title, GTK_RESPONSE_OK);
    else
      script.dialog("Import Filter Settings", GTK_RESPONSE_CANCEL);
    script.start();
    choose_item(right_click(drawing_area_peq[1]), {"Import filter settings..."});
    EXPECT_TRUE(script.finished());
    EXPECT_NE(script.text(*c.file ? 1 : 0).find(c.said), std::string::npos) << script.text(1);
    EXPECT_EQ(std::memcmp(&before, &preset, sizeof preset) == 0, c.title[0] != 'I');
  }
  const peq_t* b = preset.channel[1].peq;
  EXPECT_TRUE(b[0].freq == 125 && b[0].gain == -30 && b[0].q == 20 && b[5].gain == 25 &&
              b[5].type == 1);
  EXPECT_TRUE(active(peq_combo[1][0]) == 1 && active(peq_combo[1][2]) == 0 &&
              active(peq_combo[1][5]) == 2);
  EXPECT_TRUE(b[2].gain == 0 && preset.channel[1].gain == 0 && unsaved());
  DialogScript script;
  script.dialog("Import Filter Settings", GTK_RESPONSE_OK).start();
  EXPECT_TRUE(import_filter_file(1, dir.path() + "/room.txt", true));
  EXPECT_TRUE(preset.channel[1].gain == -45 && value(spinner_gain[1]) == -4.5);
}

// The EQ plot's extra curves are off until chosen from its menu; each is
// drawn in its colour with its legend, which keeps its colours under the
// pointer readout and follows the channel page shown. A's high-pass at 1 kHz
// (Q 0.7) gives -7.2 dB at column 415 (700 Hz); C is the same, so the sum is
// 6 dB above.
TEST_F(ChannelMenus, TotalAndSumCurvesFromTheEqPlotMenu) {
  show_page(notebook, TAB_PARAMETRIC_EQ);
  GtkWidget* plot = drawing_area_peq[0];
  const std::vector<int> green{77, 255, 115}, magenta{255, 89, 255};
  EXPECT_FALSE(curve_near(plot, 415, 159, green) || curve_near(plot, 415, 111, magenta));
  choose_item(right_click(plot), {"Show total response"});
  choose_item(right_click(plot), {"Show sum with", "Out C \"Fill\""});
  EXPECT_TRUE(curve_near(plot, 415, 159, green) && curve_near(plot, 415, 111, magenta));
  const std::string text =
      "━━ Total: Out A \"Top L\" (crossover x EQ)     ━━ Sum: Out A \"Top L\" + Out C "
      "\"Fill\" (level, polarity and delay included)";
  EXPECT_EQ(label_text(GTK_STATUSBAR(statusbar_peq)->label), text);
  const std::string coloured = legend();
  EXPECT_TRUE(coloured.find("#4dff73") != std::string::npos &&
              coloured.find("#ff59ff") != std::string::npos);
  GdkEvent* e = gdk_event_new(GDK_MOTION_NOTIFY);
  e->motion.window = GDK_WINDOW(g_object_ref(plot->window)), e->motion.x = 495, e->motion.y = 74;
  gtk_main_do_event(e);
  gdk_event_free(e);
  EXPECT_EQ(legend(), "1.25 kHz   +3.5 dB");
  GdkEvent* leave = gdk_event_new(GDK_LEAVE_NOTIFY);
  leave->crossing.window = GDK_WINDOW(g_object_ref(plot->window));
  gtk_main_do_event(leave);
  gdk_event_free(leave);
  EXPECT_EQ(legend(), coloured);
  show_page(notebook_peq, 1);
  EXPECT_EQ(legend(), "");
  show_page(notebook_peq, 0);
  EXPECT_EQ(legend(), coloured);
  choose_item(right_click(plot), {"Show sum with", "Out C \"Fill\""});
  EXPECT_EQ(eq_extra_curves(0).sum_with, -1);
}

}  // namespace
