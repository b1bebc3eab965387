// The application shell: the commands each state offers, menus, toolbar and
// accelerators, the close flow, and the About and how-to windows.
#include <gdk/gdkkeysyms.h>

#include "editor_test_util.h"

namespace {

std::vector<std::string> menu_labels(GtkWidget* menu_item) {
  std::vector<std::string> result;
  GtkWidget* menu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(menu_item));
  GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
  for (GList* l = children; l; l = l->next) {
    const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(l->data));
    result.push_back(GTK_IS_SEPARATOR_MENU_ITEM(l->data) ? "---" : label ? label : "");
  }
  g_list_free(children);
  return result;
}

// Whether `accel_group` has an entry for the key that activates `item`.
bool has_accelerator(GtkWidget* item, guint key, GdkModifierType mods) {
  guint n = 0;
  GtkAccelGroupEntry* entries = gtk_accel_group_query(accel_group, key, mods, &n);
  GList* closures = gtk_widget_list_accel_closures(item);
  bool found = false;
  for (guint i = 0; i < n; ++i) found |= g_list_find(closures, entries[i].closure) != nullptr;
  g_list_free(closures);
  return found;
}

void activate(GtkWidget* item) {
  gtk_menu_item_activate(GTK_MENU_ITEM(item));
  pump();
}

void expect_idle() {
  EXPECT_EQ(window_preset, nullptr);
  EXPECT_TRUE(visible(toolbar1));
  EXPECT_TRUE(sensitive(neu) && sensitive(oeffnen));
  EXPECT_FALSE(sensitive(speichern) || sensitive(speichern_u) || sensitive(schliessen));
}

void expect_editor_kept() {
  ASSERT_NE(window_preset, nullptr);
  EXPECT_TRUE(visible(window_preset));
  EXPECT_FALSE(visible(toolbar1));
  EXPECT_TRUE(sensitive(speichern_u) && sensitive(schliessen));
  EXPECT_FALSE(app_quit_requested);
}

}  // namespace

// ---- States, menus, toolbar, accelerators ----------------------------------

TEST_F(GuiTest, EachStateOffersItsCommands) {
  struct Row {
    const char* state;
    GtkWidget* enter;  // menu item that leads there
    bool toolbar, new_open, save_as_close;
  };
  const Row rows[] = {{"idle", nullptr, true, true, false},
                      {"wizard", generate_preset, false, false, false},
                      {"editing", mv517, false, false, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.state);
    reset_to_idle();
    if (r.enter) activate(r.enter);
    EXPECT_EQ(visible(toolbar1), r.toolbar);
    EXPECT_EQ(sensitive(neu), r.new_open);
    EXPECT_EQ(sensitive(oeffnen), r.new_open);
    EXPECT_EQ(sensitive(speichern_u), r.save_as_close);
    EXPECT_EQ(sensitive(schliessen), r.save_as_close);
    EXPECT_FALSE(sensitive(speichern));  // nothing changed yet
    EXPECT_TRUE(sensitive(beenden) && sensitive(info));
    EXPECT_FALSE(sensitive(how_to_use));
  }
}

TEST_F(GuiTest, MainWindowMenusAndToolbarCarryTheirLabels) {
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_main)), "QBN - Preset Editor & Wizard");
  EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(datei)), "Datei");
  EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(help)), "Hilfe");
  using Labels = std::vector<std::string>;
  EXPECT_EQ(menu_labels(datei),
            (Labels{"Generate new preset", GTK_STOCK_OPEN, GTK_STOCK_SAVE, GTK_STOCK_SAVE_AS,
                    "Preset schliessen", "---", "Preset Editor & Wizard beenden"}));
  EXPECT_EQ(menu_labels(neu),
            (Labels{"MV517 Preset-Editor", "MV961 Preset-Editor", "Preset Wizard"}));
  EXPECT_EQ(menu_labels(help), (Labels{GTK_STOCK_ABOUT, "How to use Preset-Editor & Wizard"}));

  GtkWidget* const tools[] = {toolbutton_mv517, toolbutton_mv961, toolbutton_wizard};
  const char* const texts[] = {"MV517", "MV961", "Preset-Wizard"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(gtk_toolbar_get_item_index(GTK_TOOLBAR(toolbar1), GTK_TOOL_ITEM(tools[i])), i);
    EXPECT_STREQ(gtk_tool_button_get_label(GTK_TOOL_BUTTON(tools[i])), texts[i]);
  }
}

TEST_F(GuiTest, AcceleratorsRunTheirCommandsFromEitherWindow) {
  const auto ctrl = GDK_CONTROL_MASK;
  const auto shift_ctrl = static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SHIFT_MASK);
  struct Row {
    GtkWidget* item;
    guint key;
    GdkModifierType mods;
    bool registered;
    int window;          // pressed in: 0 not pressed, 1 main window, 2 editor
    const char* dialog;  // what the press shows (answered Cancel or No)
  };
  const Row rows[] = {
      {oeffnen, GDK_KEY_o, ctrl, true, 1, "Open File"},
      {speichern, GDK_KEY_s, ctrl, true, 0, nullptr},
      {speichern_u, GDK_KEY_s, shift_ctrl, true, 2, "Save File"},
      {schliessen, GDK_KEY_w, ctrl, true, 2, "Save Preset?"},  // a new preset asks
      {beenden, GDK_KEY_q, ctrl, true, 1, nullptr},            // idle: quits at once
      {neu, GDK_KEY_n, ctrl, false, 0, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(gdk_keyval_name(r.key));
    reset_to_idle();
    EXPECT_EQ(has_accelerator(r.item, r.key, r.mods), r.registered);
    if (r.window == 0) continue;
    if (r.window == 2) activate(mv517);
    DialogScript s;
    s.dialog(r.dialog ? r.dialog : "Save Preset?",
             r.item == schliessen ? GTK_RESPONSE_NO : GTK_RESPONSE_CANCEL);
    s.start();
    EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(r.window == 1 ? window_main : window_preset),
                                          r.key, r.mods));
    pump();
    s.stop();
    EXPECT_EQ(s.answered(), r.dialog ? 1u : 0u);
    EXPECT_EQ(app_quit_requested, r.item == beenden);
    EXPECT_EQ(window_preset == nullptr, r.window == 1 || r.item == schliessen);
  }
}

// ---- Close flow ---------------------------------------------------------

enum class CloseBy { CloseCommand, EditorTitleBar, QuitCommand, MainWindowTitleBar };
// An answer to "Save Preset?": Yes, then Cancel in the Save As chooser.
constexpr gint YES_THEN_CANCEL = 1000;

class CloseFlow : public GuiTest, public ::testing::WithParamInterface<std::tuple<CloseBy, gint>> {
 protected:
  // Runs the close; returns what close_window returned for the main window's
  // title bar (TRUE keeps the window).
  static gboolean close_by(CloseBy how) {
    gboolean kept = FALSE;
    if (how == CloseBy::CloseCommand) gtk_menu_item_activate(GTK_MENU_ITEM(schliessen));
    if (how == CloseBy::EditorTitleBar) send_delete_event(window_preset);
    if (how == CloseBy::QuitCommand) gtk_menu_item_activate(GTK_MENU_ITEM(beenden));
    // A real delete event would destroy the main window the other tests share.
    if (how == CloseBy::MainWindowTitleBar)
      kept = close_window(window_main, nullptr, GINT_TO_POINTER(0));
    pump();
    return kept;
  }
  static bool quits(CloseBy how) {
    return how == CloseBy::QuitCommand || how == CloseBy::MainWindowTitleBar;
  }
  // Writes a default preset to `path` and opens it.
  static void open_file_of(const std::string& path) {
    write_preset_file(path, sample_preset("Opened", 0), MV517);
    ASSERT_TRUE(open_preset_file(path));
    pump();
  }
  ScratchDir dir;
};

TEST_P(CloseFlow, ANewPresetAsksAndTheAnswerDecides) {
  const auto [how, answer] = GetParam();
  activate(mv517);
  set_value(spinner_gain[0], -6.5);
  const std::string target = dir.file("kept");

  DialogScript s;
  s.dialog("Save Preset?", answer == YES_THEN_CANCEL ? GTK_RESPONSE_YES : answer);
  if (answer == GTK_RESPONSE_YES) s.chooser("Save File", target);
  if (answer == YES_THEN_CANCEL) s.dialog("Save File", GTK_RESPONSE_CANCEL);
  s.start();
  const gboolean kept = close_by(how);
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_EQ(s.text(0), "Do you want to save the current Preset?");

  if (answer == GTK_RESPONSE_YES || answer == GTK_RESPONSE_NO) {
    expect_idle();
    EXPECT_EQ(app_quit_requested, quits(how));
    EXPECT_FALSE(kept);
  } else {  // Cancel, the question closed by its title bar, Save As cancelled
    expect_editor_kept();
    EXPECT_EQ(new_preset, 1);
    EXPECT_EQ(preset.channel[0].gain, -65);
    EXPECT_EQ(kept, how == CloseBy::MainWindowTitleBar);
  }
  preset_t back{};
  EXPECT_EQ(xml_read((target + ".qpx").c_str(), &back, 0) == 0, answer == GTK_RESPONSE_YES);
  if (answer == GTK_RESPONSE_YES) {
    EXPECT_EQ(back.channel[0].gain, -65);
  }
}

std::string close_case_name(const ::testing::TestParamInfo<std::tuple<CloseBy, gint>>& i) {
  const char* how[] = {"CloseCommand", "EditorTitleBar", "QuitCommand", "MainTitleBar"};
  const gint answer = std::get<1>(i.param);
  return std::string(how[static_cast<int>(std::get<0>(i.param))]) +
         (answer == GTK_RESPONSE_YES      ? "Yes"
          : answer == GTK_RESPONSE_NO     ? "No"
          : answer == GTK_RESPONSE_CANCEL ? "Cancel"
          : answer == YES_THEN_CANCEL     ? "YesThenCancel"
                                          : "QuestionClosed");
}

INSTANTIATE_TEST_SUITE_P(
    EveryModeEveryAnswer, CloseFlow,
    ::testing::Combine(::testing::Values(CloseBy::CloseCommand, CloseBy::EditorTitleBar,
                                         CloseBy::QuitCommand, CloseBy::MainWindowTitleBar),
                       ::testing::Values(GTK_RESPONSE_YES, GTK_RESPONSE_NO, GTK_RESPONSE_CANCEL,
                                         CLOSE_BY_TITLE_BAR, YES_THEN_CANCEL)),
    close_case_name);

TEST_F(CloseFlow, AnOpenedPresetClosesUnaskedWhenUnchangedAndYesSavesItWithoutAChooser) {
  const std::string path = dir.file("opened.qpx");
  open_file_of(path);
  DialogScript quiet;
  quiet.dialog("Save Preset?", GTK_RESPONSE_CANCEL);
  quiet.start();
  close_by(CloseBy::QuitCommand);
  quiet.stop();
  EXPECT_EQ(quiet.answered(), 0u);
  expect_idle();
  EXPECT_TRUE(app_quit_requested);

  app_quit_requested = false;
  open_file_of(path);
  set_value(spinner_gain[0], -12.0);
  DialogScript s;  // a chooser would be answered by the second step
  s.dialog("Save Preset?", GTK_RESPONSE_YES).dialog("Save File", GTK_RESPONSE_CANCEL);
  s.start();
  close_by(CloseBy::EditorTitleBar);
  s.stop();
  EXPECT_EQ(s.answered(), 1u);
  expect_idle();
  preset_t back{};
  ASSERT_EQ(xml_read(path.c_str(), &back, 0), 0);
  EXPECT_EQ(back.channel[0].gain, -120);
}

TEST_F(CloseFlow, AFailedSaveKeepsTheEditorAndTheUnsavedMark) {
  ScratchDir gone;
  const std::string path = gone.file("gone.qpx");
  open_file_of(path);
  set_value(spinner_gain[0], -9.0);
  ASSERT_EQ(std::system(("rm -rf '" + gone.path() + "'").c_str()), 0);

  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_YES).dialog("Error!", GTK_RESPONSE_OK);
  s.start();
  EXPECT_TRUE(close_by(CloseBy::MainWindowTitleBar));
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_NE(s.text(1).find("gone.qpx"), std::string::npos) << s.text(1);
  EXPECT_NE(s.text(1).find("No such file or directory"), std::string::npos) << s.text(1);
  expect_editor_kept();
  EXPECT_TRUE(unsaved());
  EXPECT_EQ(std::string(savename), path);
}

// ---- About and how-to --------------------------------------------------

TEST_F(GuiTest, HelpWindowsOpenFreelyAndCloseWithoutTheCloseFlow) {
  const char* about = "Info about Q.B.N Preset Editor & Wizard";
  const char* how_to = "How to use Q.B.N Preset Editor & Wizard";
  activate(mv517);
  activate(info);
  activate(info);  // each activation opens a further dialog
  other_options(how_to_use, nullptr);
  pump();
  EXPECT_EQ(visible_toplevels().size(), 5u);
  GtkWidget* first = find_window(about);
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(gtk_window_get_modal(GTK_WINDOW(first)));

  DialogScript s;  // the editor's question must not come
  s.dialog("Save Preset?", GTK_RESPONSE_CANCEL);
  s.start();
  gtk_dialog_response(GTK_DIALOG(first), GTK_RESPONSE_NONE);
  pump();
  ASSERT_NE(find_window(about), nullptr);
  send_delete_event(find_window(about));
  send_delete_event(find_window(how_to));
  pump();
  s.stop();
  EXPECT_EQ(s.answered(), 0u);
  EXPECT_TRUE(find_window(about) == nullptr && find_window(how_to) == nullptr);
  expect_editor_kept();
}
