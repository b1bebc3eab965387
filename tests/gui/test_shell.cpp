// The application shell: start-up state, menus and toolbar, accelerators,
// New, the close flow in every mode with every answer, the About and how-to
// windows, and the handlers that keep the editor window in step.
#include <gdk/gdkkeysyms.h>

#include "gui_test_util.h"

namespace {

std::string item_label(GtkWidget* item) {
  if (GTK_IS_SEPARATOR_MENU_ITEM(item)) return "---";
  const char* l = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
  return l ? l : "";
}

std::vector<std::string> menu_labels(GtkWidget* menu_item) {
  std::vector<std::string> result;
  GtkWidget* menu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(menu_item));
  GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
  for (GList* l = children; l; l = l->next) result.push_back(item_label(GTK_WIDGET(l->data)));
  g_list_free(children);
  return result;
}

const char* stock_of(GtkWidget* image_menu_item) {
  GtkWidget* image = gtk_image_menu_item_get_image(GTK_IMAGE_MENU_ITEM(image_menu_item));
  if (!image || gtk_image_get_storage_type(GTK_IMAGE(image)) != GTK_IMAGE_STOCK) return "";
  gchar* stock = nullptr;
  gtk_image_get_stock(GTK_IMAGE(image), &stock, nullptr);
  return stock ? stock : "";
}

// Whether `accel_group` has an entry for the key that activates `item`.
bool has_accelerator(GtkWidget* item, guint key, GdkModifierType mods) {
  guint n = 0;
  GtkAccelGroupEntry* entries = gtk_accel_group_query(accel_group, key, mods, &n);
  GList* closures = gtk_widget_list_accel_closures(item);
  bool found = false;
  for (guint i = 0; i < n; ++i)
    if (g_list_find(closures, entries[i].closure)) found = true;
  g_list_free(closures);
  return found;
}

bool press_accelerator(GtkWidget* window, guint key, GdkModifierType mods) {
  return gtk_accel_groups_activate(G_OBJECT(window), key, mods);
}

// The command sensitivities of one row of the availability table, plus the
// commands that never change.
void expect_commands(bool toolbar, bool neu_on, bool open_on, bool save_on, bool save_as_on,
                     bool close_on) {
  EXPECT_EQ(visible(toolbar1), toolbar);
  EXPECT_EQ(sensitive(neu), neu_on);
  EXPECT_EQ(sensitive(oeffnen), open_on);
  EXPECT_EQ(sensitive(speichern), save_on);
  EXPECT_EQ(sensitive(speichern_u), save_as_on);
  EXPECT_EQ(sensitive(schliessen), close_on);
  EXPECT_TRUE(sensitive(beenden));
  EXPECT_TRUE(sensitive(info));
  EXPECT_FALSE(sensitive(how_to_use));
}

void expect_idle() {
  expect_commands(true, true, true, false, false, false);
}
void expect_editing(bool save_on) {
  expect_commands(false, false, false, save_on, true, true);
}

// Sets channel A's level through its spin button (an edit of the preset).
void edit_level_a(double db) {
  ASSERT_NE(spinner_gain[0], nullptr);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spinner_gain[0]), db);
  pump();
}

// Opens `path` as if chosen in the open dialog.
void open_path(const std::string& path) {
  ASSERT_TRUE(open_preset_file(path));
  pump();
}

}  // namespace

// ---- Start-up, menus, toolbar --------------------------------------------

TEST_F(GuiTest, StartUpShowsTheIdleStateWithToolbarAndBanner) {
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_main)), "QBN - Preset Editor & Wizard");
  expect_idle();
  EXPECT_EQ(window_preset, nullptr);
  GdkPixbuf* icon = gtk_window_get_icon(GTK_WINDOW(window_main));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(icon), 80);
  EXPECT_EQ(gdk_pixbuf_get_height(icon), 80);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(icon));

  // The banner fills the middle of the main window.
  bool banner_found = false;
  GList* children = gtk_container_get_children(GTK_CONTAINER(box_main));
  for (GList* l = children; l; l = l->next) {
    if (!GTK_IS_IMAGE(l->data)) continue;
    GdkPixbuf* pb = gtk_image_get_pixbuf(GTK_IMAGE(l->data));
    ASSERT_NE(pb, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(pb), 510);
    EXPECT_EQ(gdk_pixbuf_get_height(pb), 510);
    gboolean expand = FALSE, fill = FALSE;
    gtk_box_query_child_packing(GTK_BOX(box_main), GTK_WIDGET(l->data), &expand, &fill, nullptr,
                                nullptr);
    EXPECT_TRUE(expand && fill);
    banner_found = true;
  }
  g_list_free(children);
  EXPECT_TRUE(banner_found);
  EXPECT_TRUE(visible(statusbar_main));
  EXPECT_EQ(gtk_widget_get_parent(statusbar_main), event_box);
}

TEST_F(GuiTest, MenusAndToolbarCarryTheirLabelsIconsAndOrder) {
  EXPECT_EQ(item_label(datei), "Datei");
  EXPECT_EQ(item_label(help), "Hilfe");
  EXPECT_EQ(menu_labels(datei),
            (std::vector<std::string>{"Generate new preset", GTK_STOCK_OPEN, GTK_STOCK_SAVE,
                                      GTK_STOCK_SAVE_AS, "Preset schliessen", "---",
                                      "Preset Editor & Wizard beenden"}));
  EXPECT_EQ(menu_labels(neu), (std::vector<std::string>{"MV517 Preset-Editor",
                                                        "MV961 Preset-Editor", "Preset Wizard"}));
  EXPECT_EQ(menu_labels(help),
            (std::vector<std::string>{GTK_STOCK_ABOUT, "How to use Preset-Editor & Wizard"}));
  EXPECT_STREQ(stock_of(schliessen), GTK_STOCK_CLOSE);
  EXPECT_STREQ(stock_of(beenden), GTK_STOCK_QUIT);

  EXPECT_EQ(gtk_toolbar_get_style(GTK_TOOLBAR(toolbar1)), GTK_TOOLBAR_BOTH_HORIZ);
  const struct {
    GtkWidget* button;
    const char* text;
    const char* stock;
  } tools[] = {{toolbutton_mv517, "MV517", GTK_STOCK_NEW},
               {toolbutton_mv961, "MV961", GTK_STOCK_NEW},
               {toolbutton_wizard, "Preset-Wizard", GTK_STOCK_CONVERT}};
  for (int i = 0; i < 3; ++i) {
    GtkToolItem* item = GTK_TOOL_ITEM(tools[i].button);
    EXPECT_EQ(gtk_toolbar_get_item_index(GTK_TOOLBAR(toolbar1), item), i);
    EXPECT_STREQ(gtk_tool_button_get_label(GTK_TOOL_BUTTON(item)), tools[i].text);
    EXPECT_TRUE(gtk_tool_item_get_is_important(item));
    GtkWidget* icon = gtk_tool_button_get_icon_widget(GTK_TOOL_BUTTON(item));
    gchar* stock = nullptr;
    GtkIconSize size;
    gtk_image_get_stock(GTK_IMAGE(icon), &stock, &size);
    EXPECT_STREQ(stock, tools[i].stock);
    EXPECT_EQ(size, GTK_ICON_SIZE_SMALL_TOOLBAR);
  }
  EXPECT_EQ(gtk_widget_get_parent(toolbar1), hbox_toolbar);
}

TEST_F(GuiTest, StockAcceleratorsAreRegisteredForTheFileCommands) {
  const auto ctrl = GDK_CONTROL_MASK;
  const auto shift_ctrl = static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SHIFT_MASK);
  EXPECT_TRUE(has_accelerator(oeffnen, GDK_KEY_o, ctrl));
  EXPECT_TRUE(has_accelerator(speichern, GDK_KEY_s, ctrl));
  EXPECT_TRUE(has_accelerator(speichern_u, GDK_KEY_s, shift_ctrl));
  EXPECT_TRUE(has_accelerator(schliessen, GDK_KEY_w, ctrl));
  EXPECT_TRUE(has_accelerator(beenden, GDK_KEY_q, ctrl));
  EXPECT_FALSE(has_accelerator(neu, GDK_KEY_n, ctrl));
}

TEST_F(GuiTest, CtrlOOpensTheOpenDialogAndCtrlQQuitsWithoutAQuestionWhenIdle) {
  DialogScript s;
  s.dialog("Open File", GTK_RESPONSE_CANCEL);
  s.start();
  EXPECT_TRUE(press_accelerator(window_main, GDK_KEY_o, GDK_CONTROL_MASK));
  EXPECT_TRUE(s.finished());
  EXPECT_EQ(window_preset, nullptr);

  EXPECT_TRUE(press_accelerator(window_main, GDK_KEY_q, GDK_CONTROL_MASK));
  EXPECT_TRUE(app_quit_requested);
}

TEST_F(GuiTest, EditorAcceleratorsWorkWhileTheEditorHasTheFocus) {
  gtk_menu_item_activate(GTK_MENU_ITEM(mv517));
  pump();
  ASSERT_NE(window_preset, nullptr);
  // Shift+Ctrl+S: Save As from the editor window.
  DialogScript s;
  s.dialog("Save File", GTK_RESPONSE_CANCEL);
  s.start();
  EXPECT_TRUE(press_accelerator(window_preset, GDK_KEY_s,
                                static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SHIFT_MASK)));
  EXPECT_TRUE(s.finished());
  // Ctrl+W: Close; the new preset was never saved, so the question comes.
  DialogScript q;
  q.dialog("Save Preset?", GTK_RESPONSE_NO);
  q.start();
  EXPECT_TRUE(press_accelerator(window_preset, GDK_KEY_w, GDK_CONTROL_MASK));
  EXPECT_TRUE(q.finished());
  EXPECT_EQ(window_preset, nullptr);
  EXPECT_FALSE(app_quit_requested);
}

// ---- New --------------------------------------------------------------------

struct NewCase {
  const char* name;
  bool from_toolbar;
  int device;
  const char* title;
};

class NewPreset : public GuiTest, public ::testing::WithParamInterface<NewCase> {};

TEST_P(NewPreset, BuildsTheDefaultPresetInTheEditorOfTheDevice) {
  const NewCase& c = GetParam();
  preset.channel[0].gain = -123;  // left over from an earlier editor
  generated = 1;
  GtkWidget* command = c.device == MV517 ? (c.from_toolbar ? toolbutton_mv517 : mv517)
                                         : (c.from_toolbar ? toolbutton_mv961 : mv961);
  if (c.from_toolbar)
    gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(command))));
  else
    gtk_menu_item_activate(GTK_MENU_ITEM(command));
  pump();

  ASSERT_NE(window_preset, nullptr);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_preset)), c.title);
  EXPECT_EQ(mv_selector, c.device);
  EXPECT_EQ(static_cast<int>(mv_type), c.device);
  EXPECT_EQ(new_preset, 1);
  EXPECT_EQ(generated, 0);
  EXPECT_STREQ(preset.name, "Preset");
  EXPECT_EQ(preset.channel[0].gain, 0);
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), 0);
  expect_editing(false);
  // A new preset has no file: an edit leaves Save insensitive.
  edit_level_a(-3.0);
  EXPECT_EQ(preset.channel[0].gain, -30);
  EXPECT_FALSE(sensitive(speichern));
}

INSTANTIATE_TEST_SUITE_P(
    BothDevices, NewPreset,
    ::testing::Values(NewCase{"Mv517Menu", false, MV517, "MV517 Preset-Editor"},
                      NewCase{"Mv517Toolbar", true, MV517, "MV517 Preset-Editor"},
                      NewCase{"Mv961Menu", false, MV961, "MV961 Preset-Editor"},
                      NewCase{"Mv961Toolbar", true, MV961, "MV961 Preset-Editor"}),
    [](const ::testing::TestParamInfo<NewCase>& i) { return std::string(i.param.name); });

// ---- Close flow ---------------------------------------------------------

enum class CloseBy { CloseCommand, EditorTitleBar, QuitCommand, MainWindowTitleBar };

struct CloseCase {
  CloseBy how;
  gint answer;  // to "Save Preset?"
};

class CloseFlow : public GuiTest, public ::testing::WithParamInterface<CloseCase> {
 protected:
  // Runs the close in the way of the case; returns what close_window
  // returned for the main window's title bar (FALSE lets GTK destroy it).
  gboolean close_by(CloseBy how) {
    gboolean kept = FALSE;
    switch (how) {
      case CloseBy::CloseCommand:
        gtk_menu_item_activate(GTK_MENU_ITEM(schliessen));
        break;
      case CloseBy::EditorTitleBar:
        send_delete_event(window_preset);
        break;
      case CloseBy::QuitCommand:
        gtk_menu_item_activate(GTK_MENU_ITEM(beenden));
        break;
      case CloseBy::MainWindowTitleBar:
        // A real delete event would destroy the main window the other tests
        // share; the handler's result says whether GTK would.
        kept = close_window(window_main, nullptr, GINT_TO_POINTER(0));
        break;
    }
    pump();
    return kept;
  }
  static bool quits(CloseBy how) {
    return how == CloseBy::QuitCommand || how == CloseBy::MainWindowTitleBar;
  }
  ScratchDir dir;
};

TEST_P(CloseFlow, NewPresetAsksAndKeepsOrClosesByTheAnswer) {
  const CloseCase& c = GetParam();
  gtk_menu_item_activate(GTK_MENU_ITEM(mv517));
  pump();
  ASSERT_NE(window_preset, nullptr);
  edit_level_a(-6.5);
  const std::string target = dir.file("kept");

  DialogScript s;
  s.dialog("Save Preset?", c.answer);
  if (c.answer == GTK_RESPONSE_YES) s.chooser("Save File", target);
  s.start();
  const gboolean kept = close_by(c.how);
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_EQ(s.text(0), "Do you want to save the current Preset?");

  const bool closes = c.answer == GTK_RESPONSE_YES || c.answer == GTK_RESPONSE_NO;
  if (closes) {
    EXPECT_EQ(window_preset, nullptr);
    expect_idle();
    EXPECT_EQ(app_quit_requested, quits(c.how));
    EXPECT_FALSE(kept);
  } else {
    // Cancel or the question closed: the editor and the application stay.
    ASSERT_NE(window_preset, nullptr);
    EXPECT_TRUE(visible(window_preset));
    expect_editing(false);
    EXPECT_EQ(new_preset, 1);
    EXPECT_EQ(preset.channel[0].gain, -65);
    EXPECT_FALSE(app_quit_requested);
    EXPECT_EQ(kept, c.how == CloseBy::MainWindowTitleBar);
  }
  if (c.answer == GTK_RESPONSE_YES) {
    const std::string written = target + ".qpx";
    preset_t back;
    ASSERT_EQ(xml_read(written.c_str(), &back, 0), 0);
    EXPECT_EQ(back.channel[0].gain, -65);
    EXPECT_EQ(savename, written);
    EXPECT_EQ(new_preset, 0);
  } else {
    EXPECT_FALSE(file_exists(target + ".qpx"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryModeEveryAnswer, CloseFlow,
    ::testing::Values(CloseCase{CloseBy::CloseCommand, GTK_RESPONSE_YES},
                      CloseCase{CloseBy::CloseCommand, GTK_RESPONSE_NO},
                      CloseCase{CloseBy::CloseCommand, GTK_RESPONSE_CANCEL},
                      CloseCase{CloseBy::CloseCommand, CLOSE_BY_TITLE_BAR},
                      CloseCase{CloseBy::EditorTitleBar, GTK_RESPONSE_YES},
                      CloseCase{CloseBy::EditorTitleBar, GTK_RESPONSE_NO},
                      CloseCase{CloseBy::EditorTitleBar, GTK_RESPONSE_CANCEL},
                      CloseCase{CloseBy::EditorTitleBar, CLOSE_BY_TITLE_BAR},
                      CloseCase{CloseBy::QuitCommand, GTK_RESPONSE_YES},
                      CloseCase{CloseBy::QuitCommand, GTK_RESPONSE_NO},
                      CloseCase{CloseBy::QuitCommand, GTK_RESPONSE_CANCEL},
                      CloseCase{CloseBy::QuitCommand, CLOSE_BY_TITLE_BAR},
                      CloseCase{CloseBy::MainWindowTitleBar, GTK_RESPONSE_YES},
                      CloseCase{CloseBy::MainWindowTitleBar, GTK_RESPONSE_NO},
                      CloseCase{CloseBy::MainWindowTitleBar, GTK_RESPONSE_CANCEL},
                      CloseCase{CloseBy::MainWindowTitleBar, CLOSE_BY_TITLE_BAR}));

class CloseFlowWithFile : public CloseFlow {};

TEST_P(CloseFlowWithFile, UnchangedOpenedPresetClosesWithoutAQuestion) {
  const CloseCase& c = GetParam();
  const std::string path = dir.file("quiet.qpx");
  write_preset_file(path, sample_preset("Quiet", -20), MV517);
  open_path(path);
  ASSERT_NE(window_preset, nullptr);

  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_NO);
  s.start();
  close_by(c.how);
  s.stop();
  EXPECT_EQ(s.answered(), 0u) << "no question for an unchanged preset with a file";
  EXPECT_EQ(window_preset, nullptr);
  expect_idle();
  EXPECT_EQ(app_quit_requested, quits(c.how));
  // The close through close_window clears the overview flags; the Close
  // command leaves them for the next editor build.
  if (c.how == CloseBy::CloseCommand)
    EXPECT_NE(aktiv[AKTIV_UNMUTED], 0);
  else
    EXPECT_EQ(aktiv[AKTIV_UNMUTED], 0);
}

TEST_P(CloseFlowWithFile, YesSavesAChangedPresetToItsFileWithoutAChooser) {
  const CloseCase& c = GetParam();
  const std::string path = dir.file("changed.qpx");
  write_preset_file(path, sample_preset("Changed", 0), MV517);
  open_path(path);
  edit_level_a(-12.0);
  ASSERT_TRUE(sensitive(speichern));

  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_YES);
  s.start();
  close_by(c.how);
  ASSERT_TRUE(s.finished());
  EXPECT_EQ(window_preset, nullptr);
  preset_t back;
  ASSERT_EQ(xml_read(path.c_str(), &back, 0), 0);
  EXPECT_EQ(back.channel[0].gain, -120);
}

TEST_P(CloseFlowWithFile, AFailedSaveKeepsTheEditorAndTheUnsavedMark) {
  const CloseCase& c = GetParam();
  ScratchDir gone;
  const std::string path = gone.file("gone.qpx");
  write_preset_file(path, sample_preset("Gone", 0), MV517);
  open_path(path);
  edit_level_a(-9.0);
  ASSERT_EQ(std::system(("rm -rf '" + gone.path() + "'").c_str()), 0);

  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_YES).dialog("Error!", GTK_RESPONSE_OK);
  s.start();
  const gboolean kept = close_by(c.how);
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_NE(s.text(1).find("gone.qpx"), std::string::npos) << s.text(1);
  EXPECT_NE(s.text(1).find("No such file or directory"), std::string::npos) << s.text(1);
  ASSERT_NE(window_preset, nullptr);
  expect_editing(true);
  EXPECT_EQ(savename, path);
  EXPECT_EQ(new_preset, 0);
  EXPECT_FALSE(app_quit_requested);
  EXPECT_EQ(kept, c.how == CloseBy::MainWindowTitleBar);
  EXPECT_FALSE(file_exists(path));
}

INSTANTIATE_TEST_SUITE_P(EveryMode, CloseFlowWithFile,
                         ::testing::Values(CloseCase{CloseBy::CloseCommand, 0},
                                           CloseCase{CloseBy::EditorTitleBar, 0},
                                           CloseCase{CloseBy::QuitCommand, 0},
                                           CloseCase{CloseBy::MainWindowTitleBar, 0}));

TEST_F(CloseFlow, CancelledSaveAsKeepsTheNewPresetOpen) {
  gtk_menu_item_activate(GTK_MENU_ITEM(mv961));
  pump();
  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_YES).dialog("Save File", GTK_RESPONSE_CANCEL);
  s.start();
  close_by(CloseBy::QuitCommand);
  ASSERT_TRUE(s.finished());
  ASSERT_NE(window_preset, nullptr);
  EXPECT_EQ(new_preset, 1);
  EXPECT_FALSE(app_quit_requested);
  expect_editing(false);
}

TEST_F(GuiTest, QuittingWithoutAPresetAsksNothing) {
  set_command_state(APP_WIZARD);
  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_NO);
  s.start();
  EXPECT_FALSE(close_window(window_main, nullptr, GINT_TO_POINTER(0)));
  s.stop();
  EXPECT_EQ(s.answered(), 0u);
  EXPECT_TRUE(app_quit_requested);
}

// ---- Editor window follows the main window -------------------------------

TEST_F(GuiTest, NotebookOpensOnTheSystemTabOnlyForAWizardPreset) {
  gtk_menu_item_activate(GTK_MENU_ITEM(mv517));
  pump();
  ASSERT_NE(notebook, nullptr);
  notebook_mapped(notebook, nullptr);
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), 0);
  generated = 1;
  notebook_mapped(notebook, nullptr);
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), 6);
}

TEST_F(GuiTest, EditorWindowStateHandlerIsConnectedOnceAndRemovedWithTheEditor) {
  auto handlers = [] {
    return g_signal_handlers_disconnect_matched(window_main, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                                reinterpret_cast<gpointer>(window_state), nullptr);
  };
  for (int round = 0; round < 2; ++round) {
    gtk_menu_item_activate(GTK_MENU_ITEM(mv961));
    pump();
    ASSERT_NE(window_preset, nullptr);
    EXPECT_EQ(g_signal_handler_find(window_main, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                    reinterpret_cast<gpointer>(window_state), nullptr) != 0,
              true);
    DialogScript s;
    s.dialog("Save Preset?", GTK_RESPONSE_NO);
    s.start();
    close_func(nullptr, 3);
    EXPECT_TRUE(s.finished());
  }
  EXPECT_EQ(handlers(), 0u);
  // Without an editor the handler does nothing.
  GdkEventWindowState ev{};
  ev.new_window_state = GDK_WINDOW_STATE_ICONIFIED;
  EXPECT_FALSE(window_state(window_main, &ev, nullptr));
}

// ---- About and how-to --------------------------------------------------

TEST_F(GuiTest, AboutIsANonModalDialogThatAnyResponseDestroys) {
  show_info(info, nullptr);
  pump();
  GtkWidget* about = find_window("Info about Q.B.N Preset Editor & Wizard");
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(gtk_window_get_modal(GTK_WINDOW(about)));
  EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(about)));
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(about)), GTK_WINDOW(window_main));
  // Each activation opens a further dialog.
  gtk_menu_item_activate(GTK_MENU_ITEM(info));
  pump();
  int count = 0;
  for (GtkWidget* w : visible_toplevels())
    if (gtk_window_get_title(GTK_WINDOW(w)) && std::string(gtk_window_get_title(GTK_WINDOW(w))) ==
                                                   "Info about Q.B.N Preset Editor & Wizard")
      ++count;
  EXPECT_EQ(count, 2);

  gtk_dialog_response(GTK_DIALOG(about), GTK_RESPONSE_NONE);
  pump();
  GtkWidget* second = find_window("Info about Q.B.N Preset Editor & Wizard");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, about);
  send_delete_event(second);
  pump();
  EXPECT_EQ(find_window("Info about Q.B.N Preset Editor & Wizard"), nullptr);
  expect_idle();
  EXPECT_FALSE(app_quit_requested);
}

TEST_F(GuiTest, HowToWindowClosesByItsTitleBarWithoutTheCloseFlow) {
  gtk_menu_item_activate(GTK_MENU_ITEM(mv517));
  pump();
  other_options(how_to_use, nullptr);
  pump();
  GtkWidget* how = find_window("How to use Q.B.N Preset Editor & Wizard");
  ASSERT_NE(how, nullptr);
  gint w = 0, h = 0;
  gtk_widget_get_size_request(how, &w, &h);
  EXPECT_EQ(w, 700);
  EXPECT_EQ(h, 750);
  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_CANCEL);
  s.start();
  send_delete_event(how);
  pump();
  s.stop();
  EXPECT_EQ(s.answered(), 0u);
  EXPECT_EQ(find_window("How to use Q.B.N Preset Editor & Wizard"), nullptr);
  EXPECT_NE(window_preset, nullptr);
}
