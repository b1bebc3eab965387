// The preset wizard's assistant: start, pages, presses (single and double)
// with the row and SAT rules, the factory path, Back, Cancel on every page,
// Apply into the editor, the factory-file messages and the summary.
#include <glib/gstdio.h>

#include <algorithm>

#include "editor_test_util.h"
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
// The assistant's own buttons, as the user clicks them.
bool can_click(GtkWidget* b) {
  return visible(b) && gtk_widget_is_sensitive(b);
}
void click(GtkWidget* b) {
  ASSERT_TRUE(can_click(b));
  gtk_button_clicked(GTK_BUTTON(b));
  pump();
}

// A click on a tool button: its inner button, as the mouse clicks it.
void click_tool(GtkWidget* tool_button) {
  gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(tool_button))));
  pump();
}

// A mouse press on a button's input window, through the toolkit's dispatch
// (an insensitive or hidden button gets none).
void press_event(GtkWidget* w, GdkEventType type) {
  GdkWindow* target = GTK_IS_BUTTON(w) ? GTK_BUTTON(w)->event_window : w->window;
  ASSERT_NE(target, nullptr);
  GdkEvent* e = gdk_event_new(type);
  e->button.window = GDK_WINDOW(g_object_ref(target));
  e->button.send_event = TRUE;
  e->button.button = 1;
  e->button.x = e->button.y = 5;
  gtk_main_do_event(e);
  gdk_event_free(e);
  pump();
}
void single(GtkWidget* w) {
  press_event(w, GDK_BUTTON_PRESS);
}
// What the toolkit delivers for a double-click: two presses, then the double.
void double_click(GtkWidget* w) {
  single(w);
  single(w);
  press_event(w, GDK_2BUTTON_PRESS);
}

GtkWidget* speaker(int s) {
  GtkWidget* const toggles[8] = {toggle_rs1, toggle_rs2, toggle_rs3, toggle_rs4,
                                 toggle_rs5, toggle_rx1, toggle_rx2, toggle_rx3};
  return toggles[s];
}
GtkWidget* mode_toggle(int m) {
  GtkWidget* const toggles[4] = {toggle_sat, toggle_fullrange, toggle_barray, toggle_monitor};
  return toggles[m];
}

// Step Four with the SAT pair RS 3 over RX 2 chosen.
void choose_sat_pair() {
  single(eventbox_mv517);
  double_click(toggle_sat);
  single(toggle_rs3);
  single(toggle_rx2);
  click(assistant()->forward);
}

// Records what the summary would have shown instead of starting a browser.
std::vector<std::string> opened;
bool record_open(const std::string& uri, std::string&) {
  opened.push_back(uri);
  return true;
}

// Every test starts the wizard from the toolbar in a scratch working
// directory (where "wizards.xml" is looked up first and the summary goes).
class Wizard : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    gchar* cwd = g_get_current_dir();
    old_cwd_ = cwd;
    g_free(cwd);
    ASSERT_EQ(g_chdir(dir_.path().c_str()), 0);
    opened.clear();
    selection_opener = record_open;
    tree_select = 0xFFFF;  // start keeps only bit 0
    preset.channel[0].gain = -300;
    click_tool(toolbutton_wizard);
    ASSERT_NE(wizard, nullptr);
  }
  void TearDown() override {
    GuiTest::TearDown();
    selection_opener = open_with_desktop;
    g_chdir(old_cwd_.c_str());
  }
  ScratchDir dir_;
  std::string old_cwd_;
};

}  // namespace

TEST_F(Wizard, StartsOnceWithTheDefaultPresetAndItsFourPages) {
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(wizard)), "Preset-Wizard");
  EXPECT_EQ(tree_select, 0x0001);
  EXPECT_EQ(preset.channel[0].gain, 0);  // the default preset again
  EXPECT_FALSE(visible(toolbar1) || sensitive(neu) || sensitive(schliessen));
  // A second start (the menu item) while it is open does nothing.
  GtkWidget* first = wizard;
  gtk_menu_item_activate(GTK_MENU_ITEM(generate_preset));
  pump();
  EXPECT_EQ(wizard, first);
  EXPECT_EQ(visible_toplevels().size(), 2u);

  ASSERT_EQ(gtk_assistant_get_n_pages(assistant()), 4);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(page_complete(p), p == 0 || p == 3) << p;
  EXPECT_EQ(current_page(), WIZ_STEP_ONE);
}

TEST_F(Wizard, ModeRowAndSatPairsFollowThePressRules) {
  // Forward and the device picture both lead to Step Two; no Back there.
  click(assistant()->forward);
  ASSERT_EQ(current_page(), WIZ_STEP_TWO);
  EXPECT_FALSE(visible(assistant()->back) || can_click(assistant()->forward));
  EXPECT_EQ(mv_selector, MV517);

  single(toggle_sat);
  EXPECT_TRUE(pressed(toggle_sat));
  EXPECT_TRUE(can_click(assistant()->forward));
  single(toggle_monitor);  // moves the choice
  EXPECT_TRUE(pressed(toggle_monitor) && !pressed(toggle_sat));
  single(toggle_monitor);  // toggles it off: the row may be empty
  EXPECT_FALSE(pressed(toggle_monitor) || page_complete(WIZ_STEP_TWO));
  single(toggle_sat);
  click(assistant()->forward);

  // SAT layout: four tops with their quantities over the three basses.
  ASSERT_EQ(current_page(), WIZ_STEP_THREE);
  EXPECT_EQ(tree_select, 0x0001 | SEL_SAT);
  EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(frame_top)), std::string("Top"));
  EXPECT_TRUE(visible(frame_bass));
  EXPECT_FALSE(visible(toggle_rs5) || page_complete(WIZ_STEP_THREE));
  EXPECT_FALSE(sensitive(combo_rs1) || sensitive(combo_rs4));

  single(toggle_rs1);  // leaves only RX 1
  EXPECT_TRUE(sensitive(combo_rs1));
  EXPECT_FALSE(sensitive(toggle_rx2) || sensitive(toggle_rx3));
  EXPECT_FALSE(page_complete(WIZ_STEP_THREE));  // a bass is missing
  single(toggle_rx2);                           // insensitive: no press arrives
  EXPECT_FALSE(pressed(toggle_rx2));
  single(toggle_rs1);  // off again: every bass selectable
  EXPECT_TRUE(sensitive(toggle_rx2) && sensitive(toggle_rx3));
  single(toggle_rx2);  // leaves only RS 3 and RS 4
  EXPECT_FALSE(sensitive(toggle_rs1) || sensitive(toggle_rs2));
  // The keyboard (a click without a press) obeys the same rules.
  gtk_button_clicked(GTK_BUTTON(toggle_rs3));
  pump();
  EXPECT_TRUE(pressed(toggle_rs3) && page_complete(WIZ_STEP_THREE));
  choose(combo_rs3, 1);  // "2x"
  // A double press in SAT mode only toggles twice: off and on again.
  double_click(toggle_rx2);
  EXPECT_TRUE(current_page() == WIZ_STEP_THREE && pressed(toggle_rx2));

  click(assistant()->forward);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);
  EXPECT_EQ(tree_select, 0x0001 | SEL_SAT | 0x0100 | 0x1000 | SEL_QUANTITY_2X);

  // Back rebuilds Step Three with nothing chosen; back again clears the mode.
  click(assistant()->back);
  ASSERT_EQ(current_page(), WIZ_STEP_THREE);
  EXPECT_FALSE(pressed(toggle_rs3) || pressed(toggle_rx2) || can_click(assistant()->forward));
  EXPECT_EQ(active(combo_rs3), 0);
  click(assistant()->back);
  ASSERT_EQ(current_page(), WIZ_STEP_TWO);
  EXPECT_FALSE(pressed(toggle_sat) || can_click(assistant()->forward));
}

TEST_F(Wizard, DoublePressesLeadToTheNextPageWithEachModesLayout) {
  struct Case {
    int mode;
    const char* caption;
    std::vector<int> shown;  // speaker indices in the first frame
    bool quantity;
    int double_on;  // a speaker whose double press goes to Step Four
  };
  const Case cases[] = {
      {WIZ_FULLRANGE, "Fullrange", {0, 1, 2, 3, 4}, true, 2},
      {WIZ_BASSARRAY, "Bass", {5, 6, 7}, false, 7},
      {WIZ_MONITOR, "Monitor", {1, 3, 4}, true, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    if (current_page() != WIZ_STEP_TWO) single(eventbox_mv517);
    double_click(mode_toggle(c.mode));
    ASSERT_EQ(current_page(), WIZ_STEP_THREE);
    EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(frame_top)), std::string(c.caption));
    EXPECT_FALSE(visible(frame_bass));
    for (int s = 0; s < WIZ_SPEAKER_COUNT; ++s) {
      const bool in_layout = std::find(c.shown.begin(), c.shown.end(), s) != c.shown.end();
      EXPECT_EQ(visible(speaker(s)), in_layout) << s;
      EXPECT_TRUE(!in_layout || gtk_widget_is_ancestor(speaker(s), frame_top)) << s;
    }
    EXPECT_EQ(labels_with_text(frame_top, "Quantity per Channel").size(), c.quantity ? 1u : 0u);
    single(speaker(c.shown[0]));  // one loudspeaker completes the page
    EXPECT_TRUE(page_complete(WIZ_STEP_THREE));
    double_click(speaker(c.double_on));
    ASSERT_EQ(current_page(), WIZ_STEP_FOUR);
    EXPECT_EQ(tree_select, 0x0001 | mode_bit(c.mode) | wizard_speakers[c.double_on].bit);
    click(assistant()->back);
    click(assistant()->back);
  }
}

TEST_F(Wizard, FactoryPresetSkipsStepThreeAndDisablesTheModes) {
  single(eventbox_mv517);
  single(toggle_fullrange);
  choose(combo_factory, 2);
  for (int m = 0; m < 4; ++m) EXPECT_FALSE(pressed(mode_toggle(m)) || sensitive(mode_toggle(m)));
  EXPECT_FALSE(sensitive(button_show));
  EXPECT_EQ(tree_select, 0x0001);
  click(assistant()->forward);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);
  EXPECT_EQ(hbox_mode, nullptr);  // Step Three never built

  // Back: Step Two again, incomplete although the factory preset stays.
  click(assistant()->back);
  ASSERT_EQ(current_page(), WIZ_STEP_TWO);
  EXPECT_EQ(active(combo_factory), 2);
  EXPECT_FALSE(can_click(assistant()->forward));
  choose(combo_factory, 0);
  EXPECT_TRUE(sensitive(toggle_sat) && sensitive(button_show) && !can_click(assistant()->forward));
  choose(combo_factory, 1);
  click(assistant()->forward);

  // Apply with the template, the name and the lock from Step Four.
  clear_entry(entry_pname);
  type_into(entry_pname, "Hall");
  press(check_lock_wiz, true);
  click(assistant()->apply);
  ASSERT_NE(window_preset, nullptr);
  EXPECT_EQ(record_to_utf8(preset.name, PRESET_NAME_MAX), "Hall");
  EXPECT_EQ(preset.lock, 0x3F);
  EXPECT_EQ(record_to_utf8(preset.channel[2].name, CHANNEL_NAME_MAX), "Top L    ");
  EXPECT_EQ(active(combo_input), 0);  // "Analog"
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

TEST_F(Wizard, ApplyOpensTheGeneratedPresetOnTheSystemTabAndReportsADamagedFactoryFile) {
  const struct {
    const char* content;  // of the working directory's "wizards.xml", read first
    const char* says;
  } rows[] = {
      {nullptr, nullptr},  // none there: the shipped file
      {"<WIZARD>\n<RS3><SAT><CHANNEL ID=\"4\"><GAIN>-1x</GAIN></CHANNEL></SAT></RS3>\n</WIZARD>\n",
       "wizards.xml: reading stopped early"},
      // Reads cleanly, but has nothing for the chosen loudspeakers.
      {"<WIZARD>\n</WIZARD>\n", "wizards.xml: holds no preset for RS3/SAT, RX2/SAT"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.says ? r.says : "shipped file");
    if (r.content) write_file(dir_.file("wizards.xml"), r.content);
    if (!wizard) {
      reset_to_idle();
      click_tool(toolbutton_wizard);
    }
    choose_sat_pair();
    clear_entry(entry_pname);
    type_into(entry_pname, "Stage right 1");  // 13 characters: the 13th is refused
    EXPECT_EQ(entry_text(entry_pname), "Stage right ");
    choose(combo_ingen, 1);
    const uint16_t sel = tree_select;
    DialogScript s;
    s.dialog("Preset-Wizard", GTK_RESPONSE_OK);
    s.start();
    click(assistant()->apply);
    s.stop();
    EXPECT_EQ(s.answered(), r.says ? 1u : 0u);
    if (r.says) {
      EXPECT_NE(s.text(0).find("could not be read"), std::string::npos) << s.text(0);
      EXPECT_NE(s.text(0).find(r.says), std::string::npos) << s.text(0);
    }
    // The preset opens anyway, with the channels the file gives.
    EXPECT_EQ(wizard, nullptr);
    ASSERT_NE(window_preset, nullptr);
    EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), TAB_SYSTEM);
    EXPECT_EQ(active(combo_input), 3);  // "Inputs Digital"
    EXPECT_EQ(entry_text(preset_name), "Stage right ");
    EXPECT_TRUE(new_preset == 1 && generated == 1);
    EXPECT_FALSE(visible(toolbar1) || sensitive(neu) || sensitive(speichern));
    EXPECT_TRUE(sensitive(speichern_u) && sensitive(schliessen));
    const wizard_result_t expected = wizard_generate(
        sel, 0, r.content ? "wizards.xml" : std::string(QBN_DATA_DIR) + "/wizards.xml",
        "Stage right", false, 1);
    EXPECT_EQ(expected.ok(), r.says == nullptr);
    for (int ch = 0; ch < 4; ++ch) {
      EXPECT_STREQ(preset.channel[ch].name, expected.preset.channel[ch].name) << ch;
      EXPECT_EQ(preset.channel[ch].gain, expected.preset.channel[ch].gain) << ch;
    }
  }
  // A later New does not take the wizard's input choice.
  reset_to_idle();
  click_tool(toolbutton_mv517);
  EXPECT_EQ(active(combo_input), 0);
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), TAB_OVERVIEW);
}

TEST_F(Wizard, ShowSelectionWritesTheSummaryWithThePictureAndShowsIt) {
  single(eventbox_mv517);
  double_click(toggle_monitor);
  double_click(toggle_rs5);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);

  click(button_show);
  EXPECT_EQ(read_file(dir_.file("Selection.html")), selection_html(tree_select));
  EXPECT_EQ(read_file(dir_.file(REAR_PICTURE_NAME)),
            read_file(std::string(QBN_DATA_DIR) + "/MV517_rear.jpg"));
  gchar* uri = g_filename_to_uri(dir_.file("Selection.html").c_str(), nullptr, nullptr);
  EXPECT_EQ(opened, std::vector<std::string>{uri});
  g_free(uri);
  EXPECT_NE(wizard, nullptr);  // the wizard stays

  // A picture already there is the user's.
  write_file(dir_.file(REAR_PICTURE_NAME), "mine");
  click(button_show);
  EXPECT_EQ(read_file(dir_.file(REAR_PICTURE_NAME)), "mine");
  EXPECT_EQ(opened.size(), 2u);

  // A page that cannot be written is reported and nothing is shown.
  g_remove(dir_.file("Selection.html").c_str());
  ASSERT_EQ(g_mkdir(dir_.file("Selection.html").c_str(), 0700), 0);
  DialogScript failed;
  failed.dialog("Preset-Wizard", GTK_RESPONSE_OK);
  failed.start();
  click(button_show);
  ASSERT_TRUE(failed.finished());
  EXPECT_NE(failed.text(0).find("could not be written"), std::string::npos) << failed.text(0);
  EXPECT_NE(failed.text(0).find("Selection.html"), std::string::npos) << failed.text(0);
  EXPECT_EQ(opened.size(), 2u);
}
