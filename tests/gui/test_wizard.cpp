// The wizard's assistant through its widgets. Selection word: SAT 0x0004,
// Fullrange 0x0008, RS1 0x0040 (RS2.. above), RX1 0x0800 (RX2.. above), 2x 0x4000.
#include "gui_test_util.h"
#include "wizard/preset_generator.h"
#include "wizard/selection.h"

namespace {

// What the summary would have shown, instead of starting a browser.
std::vector<std::string> opened;
bool record_open(const std::string& uri, std::string&) {
  opened.push_back(uri);
  return true;
}

// Every test starts the wizard from the toolbar.
class Wizard : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    opened.clear();
    selection_opener = record_open;
    tree_select = 0xFFFF;  // the start keeps only bit 0
    preset.channel[0].gain = -300;
    click_button(toolbutton_wizard);
    ASSERT_NE(wizard, nullptr);
  }
  void TearDown() override {
    GuiTest::TearDown();
    selection_opener = open_with_desktop;
  }
  static int current_page() { return gtk_assistant_get_current_page(GTK_ASSISTANT(wizard)); }
  static bool can_forward() {
    GtkWidget* b = GTK_ASSISTANT(wizard)->forward;
    return visible(b) && gtk_widget_is_sensitive(b);
  }
  // Clicks the assistant's Forward (1), Back (-1), Apply (2) or Cancel (0).
  static void click(int which) {
    GtkAssistant* a = GTK_ASSISTANT(wizard);
    GtkWidget* b = std::vector<GtkWidget*>{a->back, a->cancel, a->forward, a->apply}[which + 1];
    ASSERT_TRUE(visible(b) && gtk_widget_is_sensitive(b));
    click_button(b);
  }
  static void single(GtkWidget* w) { send_event(w, GDK_BUTTON_PRESS, 5, 5); }
  // What the toolkit delivers for a double-click: two presses, then the double.
  static void double_click(GtkWidget* w) {
    single(w);
    single(w);
    send_event(w, GDK_2BUTTON_PRESS, 5, 5);
  }
};

}  // namespace

TEST_F(Wizard, StartsOnceAndPressesFollowTheModeRowAndTheSatPairsInTheWidgets) {
  EXPECT_TRUE(title_of(wizard) == "Preset-Wizard" && current_page() == WIZ_STEP_ONE);
  EXPECT_TRUE(tree_select == 0x0001 && preset.channel[0].gain == 0);  // the default preset
  EXPECT_FALSE(visible(toolbar1) || sensitive(neu) || sensitive(schliessen));

  click(1);
  EXPECT_FALSE(visible(GTK_ASSISTANT(wizard)->back) || can_forward());
  single(toggle_monitor);
  single(toggle_sat);  // moves the choice
  EXPECT_TRUE(pressed(toggle_sat) && !pressed(toggle_monitor));
  click(1);
  EXPECT_TRUE(visible(frame_bass) && !visible(toggle_rs5));  // the SAT layout
  single(toggle_rs1);                                        // leaves only RX 1
  EXPECT_FALSE(sensitive(toggle_rx2) || sensitive(toggle_rx3) || !sensitive(combo_rs1));
  single(toggle_rx2);  // insensitive: no press arrives
  EXPECT_FALSE(pressed(toggle_rx2) || can_forward());
  single(toggle_rs1);  // off again
  single(toggle_rx2);  // leaves only RS 3 and RS 4
  EXPECT_FALSE(sensitive(toggle_rs1) || sensitive(toggle_rs2));
  click_button(toggle_rs3);  // the keyboard (a click without a press) obeys the same rules
  EXPECT_TRUE(pressed(toggle_rs3) && can_forward());
  choose(combo_rs3, 1);      // "2x"
  double_click(toggle_rx2);  // in SAT mode only toggles twice
  EXPECT_TRUE(current_page() == WIZ_STEP_THREE && pressed(toggle_rx2));
  click(1);
  EXPECT_EQ(tree_select, 0x0001 | 0x0004 | 0x0100 | 0x1000 | 0x4000);

  click(-1);  // rebuilds Step Three with nothing chosen
  EXPECT_FALSE(pressed(toggle_rs3) || pressed(toggle_rx2) || active(combo_rs3) != 0);
  click(-1);  // clears the mode
  EXPECT_FALSE(pressed(toggle_sat) || can_forward());
  click(0);  // Cancel: back to Idle with nothing open
  EXPECT_TRUE(wizard == nullptr && window_preset == nullptr && visible(toolbar1));
  EXPECT_TRUE(sensitive(neu) && !sensitive(schliessen) && visible_toplevels().size() == 1u);
  click_button(toolbutton_wizard);
  single(eventbox_mv517);
  send_delete_event(wizard);  // the title-bar button
  EXPECT_TRUE(wizard == nullptr && sensitive(neu) && visible_toplevels().size() == 1u);
}

TEST_F(Wizard, DoublePressesLeadOnAndShowSelectionWritesTheSummary) {
  single(eventbox_mv517);
  double_click(toggle_fullrange);
  EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(frame_top)), std::string("Fullrange"));
  EXPECT_FALSE(visible(frame_bass) || visible(toggle_rx1));
  EXPECT_TRUE(visible(toggle_rs5) && gtk_widget_is_ancestor(toggle_rs5, frame_top));
  double_click(toggle_rs5);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);
  EXPECT_EQ(tree_select, 0x0001 | 0x0008 | 0x0400);

  click_button(button_show);
  EXPECT_EQ(read_file(dir.file("Selection.html")), golden("selection_fullrange_rs5.html"));
  EXPECT_EQ(read_file(dir.file(REAR_PICTURE_NAME)),
            read_file(std::string(QBN_DATA_DIR) + "/MV517_rear.jpg"));
  gchar* uri = g_filename_to_uri(dir.file("Selection.html").c_str(), nullptr, nullptr);
  EXPECT_EQ(opened, std::vector<std::string>{uri});
  g_free(uri);
  EXPECT_NE(wizard, nullptr);                       // the wizard stays
  write_file(dir.file(REAR_PICTURE_NAME), "mine");  // a picture there is the user's
  click_button(button_show);
  EXPECT_TRUE(read_file(dir.file(REAR_PICTURE_NAME)) == "mine" && opened.size() == 2u);
}

TEST_F(Wizard, FactoryPresetSkipsStepThreeAndDisablesTheModes) {
  single(eventbox_mv517);
  single(toggle_fullrange);
  choose(combo_factory, 2);
  for (GtkWidget* m : {toggle_sat, toggle_fullrange, toggle_barray, toggle_monitor})
    EXPECT_FALSE(pressed(m) || sensitive(m));
  EXPECT_TRUE(!sensitive(button_show) && tree_select == 0x0001);
  click(1);
  EXPECT_TRUE(current_page() == WIZ_STEP_FOUR && hbox_mode == nullptr);  // no Step Three
  click(-1);
  choose(combo_factory, 0);
  EXPECT_TRUE(sensitive(toggle_sat) && sensitive(button_show));
  choose(combo_factory, 1);
  click(1);
  // Each "ä" takes six bytes in the file (63 at most): the 11th and 12th
  // typed are refused, and the preset gets what the entry shows.
  set_entry(entry_pname, "");
  std::string ten;
  for (int i = 0; i < 12; ++i) type_into(entry_pname, "ä"), ten += i < 10 ? "ä" : "";
  EXPECT_EQ(entry_text(entry_pname), ten);
  press(check_lock_wiz, true);
  click(2);
  EXPECT_EQ(title_of(window_preset), "MV517 Preset-Editor");
  EXPECT_TRUE(std::string(preset.name) == std::string(10, '\xE4') && preset.lock == 0x3F);
  EXPECT_STREQ(preset.channel[2].name, "Top L    ");
}

TEST_F(Wizard, ApplyOpensThePresetOnTheSystemTab) {
  single(eventbox_mv517);
  double_click(toggle_sat);
  single(toggle_rs3);
  single(toggle_rx2);
  click(1);
  set_entry(entry_pname, "Stage right 1");  // 13 characters: the 13th is refused
  EXPECT_EQ(entry_text(entry_pname), "Stage right ");
  const auto notice =
      static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(entry_pname), "name notice"));
  ASSERT_TRUE(visible(notice) && gtk_widget_is_ancestor(notice, wizard));
  EXPECT_EQ(label_text(notice), "the name is full: at most 12 characters.");
  set_entry(entry_pname, "Club Stage");
  choose(combo_ingen, 1);
  press(check_lock_wiz, true);
  DialogScript none("Preset-Wizard", GTK_RESPONSE_OK);
  click(2);
  none.stop();
  EXPECT_TRUE(none.answered() == 0u && wizard == nullptr);
  EXPECT_EQ(page_of(notebook), TAB_SYSTEM);
  EXPECT_TRUE(active(combo_input) == 3 && entry_text(preset_name) == "Club Stage");  // digital
  EXPECT_TRUE(new_preset == 1 && generated == 1 && preset.lock == 0x3F);
  EXPECT_FALSE(visible(toolbar1) || sensitive(neu) || sensitive(speichern));
  // (The end-to-end test saves what this path makes and compares it with the golden file.)
}

// Every text of every page and layout fits its width in the editor's font.
TEST_F(Wizard, EveryTextFitsTheWidthItIsGiven) {
  std::set<std::string> out;
  const auto measure = [&out](const char* page) {
    pump_for(100);
    for (const std::string& m : misfits(wizard)) out.insert(std::string(page) + ": " + m);
  };
  measure("Step One");
  single(eventbox_mv517);
  measure("Step Two");
  for (GtkWidget* mode : {toggle_sat, toggle_fullrange, toggle_barray, toggle_monitor}) {
    single(mode);
    click(1);
    measure(gtk_frame_get_label(GTK_FRAME(frame_top)));
    click(-1);
  }
  single(toggle_fullrange);
  click(1);
  double_click(toggle_rs5);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);
  set_entry(entry_pname, "WWWWWWWWWWWW");
  measure("Step Four");
  EXPECT_EQ(out, std::set<std::string>{});
}
