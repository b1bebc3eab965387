// The preset wizard's assistant: start and command states, the pages and
// their pictures, presses (single and double) with the row and SAT rules,
// the factory path, Back, Cancel on every page, Apply into the editor, the
// factory-file messages and the selection summary.
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

std::vector<int> sizes_of(GtkWidget* image) {
  GdkPixbuf* pb = gtk_image_get_pixbuf(GTK_IMAGE(image));
  return pb ? std::vector<int>{gdk_pixbuf_get_width(pb), gdk_pixbuf_get_height(pb)}
            : std::vector<int>{};
}

// Records what the summary would have shown instead of starting a browser.
std::vector<std::string> opened;
bool open_fails = false;
bool record_open(const std::string& uri, std::string& error) {
  opened.push_back(uri);
  if (open_fails) error = "no application is registered for it";
  return !open_fails;
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
    open_fails = false;
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

TEST_F(Wizard, StartsInTheWizardStateWithItsFourPages) {
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(wizard)), "Preset-Wizard");
  EXPECT_EQ(tree_select, 0x0001);
  EXPECT_EQ(preset.channel[0].gain, 0);  // the default preset again
  EXPECT_FALSE(visible(toolbar1));
  for (GtkWidget* w : {neu, oeffnen, speichern, speichern_u, schliessen})
    EXPECT_FALSE(sensitive(w));
  // A second start (the menu item) while it is open does nothing.
  GtkWidget* first = wizard;
  gtk_menu_item_activate(GTK_MENU_ITEM(generate_preset));
  pump();
  EXPECT_EQ(wizard, first);
  EXPECT_EQ(visible_toplevels().size(), 2u);

  const char* titles[4] = {"Preset-Wizard: Step One", "Preset-Wizard: Step Two",
                           "Preset-Wizard: Step Three", "Preset-Wizard: Step Four"};
  const GtkAssistantPageType types[4] = {GTK_ASSISTANT_PAGE_INTRO, GTK_ASSISTANT_PAGE_INTRO,
                                         GTK_ASSISTANT_PAGE_CONTENT, GTK_ASSISTANT_PAGE_CONFIRM};
  GtkWidget* const boxes[4] = {vboxw1, vboxw2, vboxw3, vboxw4};
  ASSERT_EQ(gtk_assistant_get_n_pages(assistant()), 4);
  for (int p = 0; p < 4; ++p) {
    GtkWidget* page = gtk_assistant_get_nth_page(assistant(), p);
    EXPECT_EQ(page, boxes[p]);
    EXPECT_STREQ(gtk_assistant_get_page_title(assistant(), page), titles[p]);
    EXPECT_EQ(gtk_assistant_get_page_type(assistant(), page), types[p]);
    EXPECT_EQ(page_complete(p), p == 0 || p == 3) << p;
  }
  EXPECT_EQ(current_page(), WIZ_STEP_ONE);

  // Pictures at the sizes they are shown at.
  EXPECT_EQ(sizes_of(image_mv517img), (std::vector<int>{620, 185}));
  const std::vector<int> mode_sizes[4] = {{75, 140}, {90, 120}, {140, 80}, {140, 90}};
  for (int m = 0; m < 4; ++m) {
    GtkWidget* image = gtk_bin_get_child(GTK_BIN(mode_toggle(m)));
    ASSERT_TRUE(GTK_IS_IMAGE(image));
    EXPECT_EQ(sizes_of(image), mode_sizes[m]) << m;
  }
  // The selectors start at "None" and "Analog", the name at "Preset".
  EXPECT_EQ(active(combo_factory), 0);
  EXPECT_EQ(combo_entries(combo_ingen), (std::vector<std::string>{"Analog", "Digital"}));
  EXPECT_EQ(active(combo_ingen), 0);
  EXPECT_EQ(entry_text(entry_pname), "Preset");
  EXPECT_FALSE(pressed(check_lock_wiz));
}

TEST_F(Wizard, ModeRowAndSatPairsFollowThePressRules) {
  // Forward and the device picture both lead to Step Two; no Back there.
  click(assistant()->forward);
  ASSERT_EQ(current_page(), WIZ_STEP_TWO);
  EXPECT_FALSE(visible(assistant()->back));
  EXPECT_FALSE(can_click(assistant()->forward));
  EXPECT_EQ(mv_selector, MV517);

  single(toggle_sat);
  EXPECT_TRUE(pressed(toggle_sat));
  EXPECT_TRUE(can_click(assistant()->forward));
  single(toggle_monitor);  // moves the choice
  EXPECT_FALSE(pressed(toggle_sat));
  EXPECT_TRUE(pressed(toggle_monitor));
  single(toggle_monitor);  // toggles it off: the row may be empty
  EXPECT_FALSE(pressed(toggle_monitor));
  EXPECT_FALSE(page_complete(WIZ_STEP_TWO));
  single(toggle_sat);
  click(assistant()->forward);

  // SAT layout: four tops with their quantities over the three basses.
  ASSERT_EQ(current_page(), WIZ_STEP_THREE);
  EXPECT_EQ(tree_select, 0x0001 | SEL_SAT);
  EXPECT_EQ(gtk_frame_get_label(GTK_FRAME(frame_top)), std::string("Top"));
  EXPECT_TRUE(visible(frame_bass));
  EXPECT_FALSE(visible(toggle_rs5));
  EXPECT_FALSE(page_complete(WIZ_STEP_THREE));
  EXPECT_FALSE(sensitive(combo_rs1) || sensitive(combo_rs4));

  single(toggle_rs1);  // leaves only RX 1
  EXPECT_TRUE(sensitive(combo_rs1));
  EXPECT_FALSE(sensitive(toggle_rx2));
  EXPECT_FALSE(sensitive(toggle_rx3));
  EXPECT_FALSE(page_complete(WIZ_STEP_THREE));  // a bass is missing
  single(toggle_rx2);                           // insensitive: no press arrives
  EXPECT_FALSE(pressed(toggle_rx2));
  single(toggle_rs1);  // off again: every bass selectable
  EXPECT_TRUE(sensitive(toggle_rx2) && sensitive(toggle_rx3));
  single(toggle_rx2);  // leaves only RS 3 and RS 4
  EXPECT_FALSE(sensitive(toggle_rs1));
  EXPECT_FALSE(sensitive(toggle_rs2));
  // The keyboard (a click without a press) obeys the same rules.
  gtk_button_clicked(GTK_BUTTON(toggle_rs3));
  pump();
  EXPECT_TRUE(pressed(toggle_rs3));
  EXPECT_TRUE(page_complete(WIZ_STEP_THREE));
  choose(combo_rs3, 1);  // "2x"
  // A double press in SAT mode only toggles twice: off and on again.
  double_click(toggle_rx2);
  EXPECT_EQ(current_page(), WIZ_STEP_THREE);
  EXPECT_TRUE(pressed(toggle_rx2));

  click(assistant()->forward);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);
  EXPECT_EQ(tree_select, 0x0001 | SEL_SAT | 0x0100 | 0x1000 | SEL_QUANTITY_2X);

  // Back rebuilds Step Three with nothing chosen; back again clears the mode.
  click(assistant()->back);
  ASSERT_EQ(current_page(), WIZ_STEP_THREE);
  EXPECT_FALSE(pressed(toggle_rs3) || pressed(toggle_rx2));
  EXPECT_EQ(active(combo_rs3), 0);
  EXPECT_FALSE(can_click(assistant()->forward));
  click(assistant()->back);
  ASSERT_EQ(current_page(), WIZ_STEP_TWO);
  EXPECT_FALSE(pressed(toggle_sat));
  EXPECT_FALSE(can_click(assistant()->forward));
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
      if (in_layout) {
        EXPECT_TRUE(gtk_widget_is_ancestor(speaker(s), frame_top)) << s;
      }
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
  for (int m = 0; m < 4; ++m) {
    EXPECT_FALSE(pressed(mode_toggle(m)));
    EXPECT_FALSE(sensitive(mode_toggle(m)));
  }
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
  EXPECT_TRUE(sensitive(toggle_sat) && sensitive(button_show));
  EXPECT_FALSE(can_click(assistant()->forward));
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
    if (!wizard) {
      click_tool(toolbutton_wizard);
    }
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
    EXPECT_EQ(wizard, nullptr);
    EXPECT_EQ(window_preset, nullptr);
    EXPECT_TRUE(visible(toolbar1));
    EXPECT_TRUE(sensitive(neu) && sensitive(oeffnen));
    EXPECT_FALSE(sensitive(speichern) || sensitive(speichern_u) || sensitive(schliessen));
    EXPECT_EQ(visible_toplevels().size(), 1u);
  }
}

TEST_F(Wizard, ApplyOpensTheGeneratedPresetOnTheSystemTab) {
  single(eventbox_mv517);
  double_click(toggle_sat);
  single(toggle_rs3);
  single(toggle_rx2);
  click(assistant()->forward);
  clear_entry(entry_pname);
  type_into(entry_pname, "Stage right 1");  // 13 characters: the 13th is refused
  EXPECT_EQ(entry_text(entry_pname), "Stage right ");
  choose(combo_ingen, 1);
  const uint16_t sel = tree_select;
  click(assistant()->apply);

  EXPECT_EQ(wizard, nullptr);
  ASSERT_NE(window_preset, nullptr);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_preset)), "MV517 Preset-Editor");
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), TAB_SYSTEM);
  EXPECT_EQ(active(combo_input), 3);  // "Inputs Digital"
  EXPECT_EQ(entry_text(preset_name), "Stage right ");
  EXPECT_EQ(new_preset, 1);
  EXPECT_EQ(generated, 1);
  EXPECT_FALSE(visible(toolbar1));
  EXPECT_FALSE(sensitive(neu) || sensitive(oeffnen) || sensitive(speichern));
  EXPECT_TRUE(sensitive(speichern_u) && sensitive(schliessen));

  // The channels are those the shipped factory file gives this selection.
  const wizard_result_t expected =
      wizard_generate(sel, 0, std::string(QBN_DATA_DIR) + "/wizards.xml", "Stage right", false, 1);
  ASSERT_TRUE(expected.ok());
  for (int ch = 0; ch < 4; ++ch) {
    EXPECT_STREQ(preset.channel[ch].name, expected.preset.channel[ch].name) << ch;
    EXPECT_EQ(preset.channel[ch].gain, expected.preset.channel[ch].gain) << ch;
  }

  // A later New does not take the wizard's input choice.
  destroy_editor();
  set_command_state(APP_IDLE);
  click_tool(toolbutton_mv517);
  EXPECT_EQ(active(combo_input), 0);
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), TAB_OVERVIEW);
}

TEST_F(Wizard, ADamagedFactoryFileIsReportedBeforeThePresetOpens) {
  struct Case {
    const char* content;
    const char* says;
  };
  const Case cases[] = {
      // The working directory's copy is read first; this one stops early.
      {"<WIZARD>\n<RS3><SAT><CHANNEL ID=\"4\"><GAIN>-1x</GAIN></CHANNEL></SAT></RS3>\n</WIZARD>\n",
       "wizards.xml: reading stopped early"},
      // Reads cleanly, but has nothing for the chosen loudspeakers.
      {"<WIZARD>\n</WIZARD>\n", "wizards.xml: holds no preset for RS3/SAT, RX2/SAT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    write_file(dir_.file("wizards.xml"), c.content);
    if (!wizard) {
      reset_to_idle();
      click_tool(toolbutton_wizard);
    }
    single(eventbox_mv517);
    double_click(toggle_sat);
    single(toggle_rs3);
    single(toggle_rx2);
    click(assistant()->forward);
    DialogScript script;
    script.dialog("Preset-Wizard", GTK_RESPONSE_OK);
    script.start();
    click(assistant()->apply);
    ASSERT_TRUE(script.finished());
    EXPECT_NE(script.text(0).find("could not be read"), std::string::npos) << script.text(0);
    EXPECT_NE(script.text(0).find(c.says), std::string::npos) << script.text(0);
    // The preset opens anyway: default channels where the file gave none.
    ASSERT_NE(window_preset, nullptr);
    EXPECT_EQ(preset.channel[2].gain, preset_def.channel[2].gain);
  }
}

TEST_F(Wizard, ShowSelectionWritesTheSummaryWithThePictureAndShowsIt) {
  single(eventbox_mv517);
  double_click(toggle_monitor);
  double_click(toggle_rs5);
  ASSERT_EQ(current_page(), WIZ_STEP_FOUR);

  click(button_show);
  EXPECT_EQ(read_file(dir_.file("Selection.html")), selection_html(tree_select));
  const std::string picture = read_file(dir_.file(REAR_PICTURE_NAME));
  EXPECT_EQ(picture, read_file(std::string(QBN_DATA_DIR) + "/MV517_rear.jpg"));
  EXPECT_EQ(picture.substr(0, 3), "\xFF\xD8\xFF");  // a JPEG
  ASSERT_EQ(opened.size(), 1u);
  gchar* uri = g_filename_to_uri(dir_.file("Selection.html").c_str(), nullptr, nullptr);
  EXPECT_EQ(opened[0], uri);
  g_free(uri);
  EXPECT_NE(wizard, nullptr);  // the wizard stays

  // A picture already there is the user's; the desktop may fail to show.
  write_file(dir_.file(REAR_PICTURE_NAME), "mine");
  open_fails = true;
  DialogScript shown;
  shown.dialog("Preset-Wizard", GTK_RESPONSE_OK);
  shown.start();
  click(button_show);
  ASSERT_TRUE(shown.finished());
  EXPECT_NE(shown.text(0).find("Selection.html was written"), std::string::npos) << shown.text(0);
  EXPECT_EQ(read_file(dir_.file(REAR_PICTURE_NAME)), "mine");

  // A page that cannot be written is reported and nothing is shown.
  g_remove(dir_.file("Selection.html").c_str());
  ASSERT_EQ(g_mkdir(dir_.file("Selection.html").c_str(), 0700), 0);
  opened.clear();
  DialogScript failed;
  failed.dialog("Preset-Wizard", GTK_RESPONSE_OK);
  failed.start();
  click(button_show);
  ASSERT_TRUE(failed.finished());
  EXPECT_NE(failed.text(0).find("could not be written"), std::string::npos) << failed.text(0);
  EXPECT_NE(failed.text(0).find("Selection.html"), std::string::npos);
  EXPECT_TRUE(opened.empty());
}
