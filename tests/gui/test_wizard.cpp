// The preset wizard's assistant: presses (single and double) reaching the
// page rules (whose tables the core tests hold) and their results in the
// widgets, the factory path, Back, Cancel on every page, Apply and Save As
// against the golden file, the factory-file messages and the summary page.
// Selection word: SAT 0x0004, Fullrange 0x0008, RS1 0x0040 (RS2.. above
// it), RX1 0x0800 (RX2.. above it), quantity 2x 0x4000.
#include <glib/gstdio.h>

#include "gui_test_util.h"
#include "wizard/preset_generator.h"
#include "wizard/selection.h"

namespace {

GtkAssistant* assistant() {
  return GTK_ASSISTANT(wizard);
}
int current_page() {
  return gtk_assistant_get_current_page(assistant());
}
bool page_complete(int page) {
  return gtk_assistant_get_page_complete(assistant(),
                                         gtk_assistant_get_nth_page(assistant(), page));
}
bool can_click(GtkWidget* b) {
  return visible(b) && gtk_widget_is_sensitive(b);
}
// The assistant's own buttons, as the user clicks them.
void click(GtkWidget* b) {
  ASSERT_TRUE(can_click(b));
  gtk_button_clicked(GTK_BUTTON(b));
  pump();
}
void click_tool(GtkWidget* tool_button) {
  gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(tool_button))));
  pump();
}

void single(GtkWidget* w) {
  send_event(w, GDK_BUTTON_PRESS, 5, 5);
}
// What the toolkit delivers for a double-click: two presses, then the double.
void double_click(GtkWidget* w) {
  single(w);
  single(w);
  send_event(w, GDK_2BUTTON_PRESS, 5, 5);
}

// Records what the summary would have shown instead of starting a browser.
std::vector<std::string> opened;
bool record_open(const std::string& uri, std::string&) {
  opened.push_back(uri);
  return true;
}

// Every test starts the wizard from the toolbar in a scratch working
// folder (where "wizards.xml" is looked up first and the summary goes).
class Wizard : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    gchar* cwd = g_get_current_dir();
    old_cwd_ = cwd;
    g_free(cwd);
    ASSERT_EQ(g_chdir(dir.path().c_str()), 0);
    opened.clear();
    selection_opener = record_open;
    tree_select = 0xFFFF;  // the start keeps only bit 0
    preset.channel[0].gain = -300;
    click_tool(toolbutton_wizard);
    ASSERT_NE(wizard, nullptr);
  }
  void TearDown() override {
    GuiTest::TearDown();
    selection_opener = open_with_desktop;
    g_chdir(old_cwd_.c_str());
  }
  // Step Four with RS 3 (2x) over RX 2 in SAT mode.
  void choose_sat_pair() {
    single(eventbox_mv517);
    double_click(toggle_sat);
    single(toggle_rs3);
    choose(combo_rs3, 1);
    single(toggle_rx2);
    click(assistant()->forward);
  }
  std::string old_cwd_;
};

}  // namespace

TEST_F(Wizard, StartsOnceAndPressesFollowTheModeRowAndTheSatPairsInTheWidgets) {
  EXPECT_EQ(title_of(wizard), "Preset-Wizard");
  EXPECT_TRUE(tree_select == 0x0001 && preset.channel[0].gain == 0);  // the default preset
  EXPECT_FALSE(visible(toolbar1) || sensitive(neu) || sensitive(schliessen));
  GtkWidget* first = wizard;  // a second start while it is open does nothing
  activate(generate_preset);
  EXPECT_TRUE(wizard == first && visible_toplevels().size() == 2u);
  ASSERT_EQ(gtk_assistant_get_n_pages(assistant()), 4);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(page_complete(p), p == 0 || p == 3) << p;

  click(assistant()->forward);
  ASSERT_EQ(current_page(), WIZ_STEP_TWO);
  EXPECT_FALSE(visible(assistant()->back) || can_click(assistant()->forward));
  single(toggle_monitor);
  single(toggle_sat);  // moves the choice
  EXPECT_TRUE(pressed(toggle_sat) && !pressed(toggle_monitor));
  click(assistant()->forward);

  ASSERT_EQ(current_page(), WIZ_STEP_THREE);
  EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(frame_top)), std::string("Top"));
  EXPECT_TRUE(visible(frame_bass) && !visible(toggle_rs5));
  single(toggle_rs1);  // leaves only RX 1
  EXPECT_TRUE(sensitive(combo_rs1) && !sensitive(combo_rs4));
  EXPECT_FALSE(sensitive(toggle_rx2) || sensitive(toggle_rx3) || page_complete(WIZ_STEP_THREE));
  single(toggle_rx2);  // insensitive: no press arrives
  EXPECT_FALSE(pressed(toggle_rx2));
  single(toggle_rs1);  // off again
  single(toggle_rx2);  // leaves only RS 3 and RS 4
  EXPECT_FALSE(sensitive(toggle_rs1) || sensitive(toggle_rs2));
  // The keyboard (a click without a press) obeys the same rules.
  gtk_button_clicked(GTK_BUTTON(toggle_rs3));
  pump();
  EXPECT_TRUE(pressed(toggle_rs3) && page_complete(WIZ_STEP_THREE));
  choose(combo_rs3, 1);      // "2x"
  double_click(toggle_rx2);  // in SAT mode only toggles twice
  EXPECT_TRUE(current_page() == WIZ_STEP_THREE && pressed(toggle_rx2));
  click(assistant()->forward);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);
  EXPECT_EQ(tree_select, 0x0001 | 0x0004 | 0x0100 | 0x1000 | 0x4000);

  // Back rebuilds Step Three with nothing chosen; back again clears the mode.
  click(assistant()->back);
  ASSERT_EQ(current_page(), WIZ_STEP_THREE);
  EXPECT_FALSE(pressed(toggle_rs3) || pressed(toggle_rx2) || can_click(assistant()->forward));
  EXPECT_EQ(active(combo_rs3), 0);
  click(assistant()->back);
  EXPECT_FALSE(pressed(toggle_sat) || can_click(assistant()->forward));
}

TEST_F(Wizard, DoublePressesLeadOnAndShowSelectionWritesTheSummary) {
  single(eventbox_mv517);
  double_click(toggle_fullrange);
  ASSERT_EQ(current_page(), WIZ_STEP_THREE);
  EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(frame_top)), std::string("Fullrange"));
  EXPECT_FALSE(visible(frame_bass) || visible(toggle_rx1));
  for (GtkWidget* t : {toggle_rs1, toggle_rs5})
    EXPECT_TRUE(visible(t) && gtk_widget_is_ancestor(t, frame_top));
  double_click(toggle_rs5);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);
  EXPECT_EQ(tree_select, 0x0001 | 0x0008 | 0x0400);

  click(button_show);
  EXPECT_EQ(read_file(dir.file("Selection.html")), golden("selection_fullrange_rs5.html"));
  EXPECT_EQ(read_file(dir.file(REAR_PICTURE_NAME)),
            read_file(std::string(QBN_DATA_DIR) + "/MV517_rear.jpg"));
  gchar* uri = g_filename_to_uri(dir.file("Selection.html").c_str(), nullptr, nullptr);
  EXPECT_EQ(opened, std::vector<std::string>{uri});
  g_free(uri);
  EXPECT_NE(wizard, nullptr);  // the wizard stays

  write_file(dir.file(REAR_PICTURE_NAME), "mine");  // a picture there is the user's
  click(button_show);
  EXPECT_TRUE(read_file(dir.file(REAR_PICTURE_NAME)) == "mine" && opened.size() == 2u);

  // A page that cannot be written is reported and nothing is shown.
  g_remove(dir.file("Selection.html").c_str());
  ASSERT_EQ(g_mkdir(dir.file("Selection.html").c_str(), 0700), 0);
  DialogScript failed;
  failed.dialog("Preset-Wizard", GTK_RESPONSE_OK).start();
  click(button_show);
  ASSERT_TRUE(failed.finished());
  EXPECT_NE(failed.text(0).find("could not be written"), std::string::npos) << failed.text(0);
  EXPECT_EQ(opened.size(), 2u);
}

TEST_F(Wizard, FactoryPresetSkipsStepThreeAndDisablesTheModes) {
  single(eventbox_mv517);
  single(toggle_fullrange);
  choose(combo_factory, 2);
  for (GtkWidget* m : {toggle_sat, toggle_fullrange, toggle_barray, toggle_monitor})
    EXPECT_FALSE(pressed(m) || sensitive(m));
  EXPECT_TRUE(!sensitive(button_show) && tree_select == 0x0001);
  click(assistant()->forward);
  EXPECT_TRUE(current_page() == WIZ_STEP_FOUR && hbox_mode == nullptr);  // no Step Three

  click(assistant()->back);  // Step Two again, incomplete although the choice stays
  ASSERT_EQ(current_page(), WIZ_STEP_TWO);
  EXPECT_TRUE(active(combo_factory) == 2 && !can_click(assistant()->forward));
  choose(combo_factory, 0);
  EXPECT_TRUE(sensitive(toggle_sat) && sensitive(button_show));
  choose(combo_factory, 1);
  click(assistant()->forward);

  set_entry(entry_pname, "Hall");
  press(check_lock_wiz, true);
  click(assistant()->apply);
  EXPECT_EQ(title_of(window_preset), "MV517 Preset-Editor");
  EXPECT_TRUE(std::string(preset.name) == "Hall" && preset.lock == 0x3F);
  EXPECT_STREQ(preset.channel[2].name, "Top L    ");
}

TEST_F(Wizard, CancelOnEveryPageReturnsToIdleWithNothingOpen) {
  for (int page = 0; page < 5; ++page) {
    SCOPED_TRACE(page);
    if (!wizard) click_tool(toolbutton_wizard);
    if (page >= 1) single(eventbox_mv517);
    if (page >= 2) {
      double_click(toggle_barray);
      single(toggle_rx1);
    }
    if (page >= 3) click(assistant()->forward);
    ASSERT_EQ(current_page(), std::min(page, 3));
    if (page == 4)
      send_delete_event(wizard);  // the title-bar button
    else
      click(assistant()->cancel);
    EXPECT_TRUE(wizard == nullptr && window_preset == nullptr);
    EXPECT_TRUE(visible(toolbar1) && sensitive(neu) && sensitive(oeffnen));
    EXPECT_FALSE(sensitive(speichern_u) || sensitive(schliessen));
    EXPECT_EQ(visible_toplevels().size(), 1u);
  }
}

TEST_F(Wizard, ApplyOpensThePresetOnTheSystemTabAndSaveAsWritesTheGoldenFile) {
  choose_sat_pair();
  set_entry(entry_pname, "Stage right 1");  // 13 characters: the 13th is refused
  EXPECT_EQ(entry_text(entry_pname), "Stage right ");
  set_entry(entry_pname, "Club Stage");
  choose(combo_ingen, 1);
  press(check_lock_wiz, true);
  DialogScript none;
  none.dialog("Preset-Wizard", GTK_RESPONSE_OK).start();
  click(assistant()->apply);
  none.stop();
  EXPECT_TRUE(none.answered() == 0u && wizard == nullptr);
  EXPECT_EQ(page_of(notebook), TAB_SYSTEM);
  EXPECT_TRUE(active(combo_input) == 3 && entry_text(preset_name) == "Club Stage");  // digital
  EXPECT_TRUE(new_preset == 1 && generated == 1);
  EXPECT_FALSE(visible(toolbar1) || sensitive(neu) || sensitive(speichern));

  DialogScript s;
  s.chooser("Save File", dir.file("club")).start();
  activate(speichern_u);
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_EQ(read_file(dir.file("club.qpx")), golden("wizard_sat_rs3_rx2_2x.qpx"));

  // A later New does not take the wizard's input choice.
  reset_to_idle();
  click_tool(toolbutton_mv517);
  EXPECT_TRUE(active(combo_input) == 0 && page_of(notebook) == TAB_OVERVIEW);
}

TEST_F(Wizard, AFactoryFileWithoutTheChosenPresetIsReportedAndThePresetOpensAnyway) {
  write_file(dir.file("wizards.xml"), "<WIZARD>\n</WIZARD>\n");  // read before the shipped one
  choose_sat_pair();
  DialogScript s;
  s.dialog("Preset-Wizard", GTK_RESPONSE_OK).start();
  click(assistant()->apply);
  ASSERT_TRUE(s.finished());
  EXPECT_NE(s.text(0).find("could not be read"), std::string::npos) << s.text(0);
  EXPECT_NE(s.text(0).find("wizards.xml: holds no preset for RS3/SAT, RX2/SAT"), std::string::npos)
      << s.text(0);
  EXPECT_TRUE(wizard == nullptr && window_preset != nullptr);
}
