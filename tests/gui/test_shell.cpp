// The application shell: the accelerators, the close flow with every way of
// closing and every answer (and the commands each state offers), and the
// About and how-to windows.
#include <gdk/gdkkeysyms.h>

#include "gui_test_util.h"

namespace {

// The commands of the Idle state.
void expect_idle() {
  EXPECT_TRUE(window_preset == nullptr && visible(toolbar1));
  EXPECT_TRUE(sensitive(neu) && sensitive(oeffnen) && sensitive(beenden) && sensitive(info));
  EXPECT_FALSE(sensitive(speichern) || sensitive(speichern_u) || sensitive(schliessen));
}

// The editor and the commands of the Editing state.
void expect_editor_kept() {
  ASSERT_NE(window_preset, nullptr);
  EXPECT_TRUE(visible(window_preset) && !visible(toolbar1) && !app_quit_requested);
  EXPECT_TRUE(sensitive(speichern_u) && sensitive(schliessen));
  EXPECT_FALSE(sensitive(neu) || sensitive(oeffnen) || sensitive(how_to_use));
}

// new_mv517.qpx with channel A's level at `db`.
std::string new_file_with_level_a(const std::string& db) {
  std::string body = golden("new_mv517.qpx");
  body.resize(body.rfind("<!-->"));
  return with_checksum(body.replace(body.find("<GAIN>0.0<"), 10, "<GAIN>" + db + "<"));
}

}  // namespace

TEST_F(GuiTest, AcceleratorsRunTheirCommandsFromEitherWindow) {
  const auto ctrl = GDK_CONTROL_MASK;
  const struct {
    guint key;
    GdkModifierType mods;
    bool in_editor;
    const char* dialog;  // what the press shows, answered Cancel (No for the question)
  } rows[] = {
      {GDK_KEY_o, ctrl, false, "Open File"},
      {GDK_KEY_s, static_cast<GdkModifierType>(ctrl | GDK_SHIFT_MASK), true, "Save File"},
      {GDK_KEY_w, ctrl, true, "Save Preset?"},  // a new preset asks
      {GDK_KEY_q, ctrl, false, nullptr},        // idle: quits at once
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(gdk_keyval_name(r.key));
    reset_to_idle();
    if (r.in_editor) activate(mv517);
    DialogScript s;
    s.dialog(r.dialog ? r.dialog : "Save Preset?",
             r.key == GDK_KEY_w ? GTK_RESPONSE_NO : GTK_RESPONSE_CANCEL)
        .start();
    EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(r.in_editor ? window_preset : window_main),
                                          r.key, r.mods));
    pump();
    s.stop();
    EXPECT_EQ(s.answered(), r.dialog ? 1u : 0u);
    EXPECT_EQ(app_quit_requested, r.key == GDK_KEY_q);
    EXPECT_EQ(window_preset == nullptr, !r.in_editor || r.key == GDK_KEY_w);
  }
  EXPECT_FALSE(gtk_accel_groups_activate(G_OBJECT(window_main), GDK_KEY_n, ctrl));  // none for New
  // Ctrl+S saves an opened preset to its file.
  write_file(dir.file("a.qpx"), golden("new_mv517.qpx"));
  ASSERT_TRUE(open_preset_file(dir.file("a.qpx")));
  set_value(spinner_gain[0], -12.0);
  EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(window_preset), GDK_KEY_s, ctrl));
  EXPECT_EQ(read_file(dir.file("a.qpx")), new_file_with_level_a("-12.0"));
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
  // Opens a copy of new_mv517.qpx at `path`.
  static void open_copy(const std::string& path) {
    write_file(path, golden("new_mv517.qpx"));
    ASSERT_TRUE(open_preset_file(path));
    pump();
  }
};

TEST_P(CloseFlow, ANewPresetAsksAndTheAnswerDecides) {
  const auto [how, answer] = GetParam();
  activate(mv517);
  set_value(spinner_gain[0], -6.5);
  DialogScript s;
  s.dialog("Save Preset?", answer == YES_THEN_CANCEL ? GTK_RESPONSE_YES : answer);
  if (answer == GTK_RESPONSE_YES) s.chooser("Save File", dir.file("kept"));
  if (answer == YES_THEN_CANCEL) s.dialog("Save File", GTK_RESPONSE_CANCEL);
  s.start();
  const gboolean kept = close_by(how);
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_EQ(s.text(0), "Do you want to save the current Preset?");

  if (answer == GTK_RESPONSE_YES || answer == GTK_RESPONSE_NO) {
    expect_idle();
    EXPECT_EQ(app_quit_requested,
              how == CloseBy::QuitCommand || how == CloseBy::MainWindowTitleBar);
    EXPECT_FALSE(kept);
  } else {  // Cancel, the question closed by its title bar, Save As cancelled
    expect_editor_kept();
    EXPECT_TRUE(new_preset == 1 && preset.channel[0].gain == -65);
    EXPECT_EQ(kept, how == CloseBy::MainWindowTitleBar);
  }
  EXPECT_EQ(read_file(dir.file("kept.qpx")),
            answer == GTK_RESPONSE_YES ? new_file_with_level_a("-6.5") : "");
}

INSTANTIATE_TEST_SUITE_P(
    EveryModeEveryAnswer, CloseFlow,
    ::testing::Combine(::testing::Values(CloseBy::CloseCommand, CloseBy::EditorTitleBar,
                                         CloseBy::QuitCommand, CloseBy::MainWindowTitleBar),
                       ::testing::Values(GTK_RESPONSE_YES, GTK_RESPONSE_NO, GTK_RESPONSE_CANCEL,
                                         CLOSE_BY_TITLE_BAR, YES_THEN_CANCEL)));

TEST_F(CloseFlow, AnOpenedPresetClosesUnaskedWhenUnchangedAndYesSavesItWithoutAChooser) {
  const std::string path = dir.file("opened.qpx");
  open_copy(path);
  DialogScript quiet;
  quiet.dialog("Save Preset?", GTK_RESPONSE_CANCEL).start();
  close_by(CloseBy::QuitCommand);
  quiet.stop();
  EXPECT_EQ(quiet.answered(), 0u);
  expect_idle();
  EXPECT_TRUE(app_quit_requested);
  EXPECT_EQ(read_file(path), golden("new_mv517.qpx"));

  app_quit_requested = false;
  open_copy(path);
  set_value(spinner_gain[0], -12.0);
  DialogScript s;  // a chooser would be answered by the second step
  s.dialog("Save Preset?", GTK_RESPONSE_YES).dialog("Save File", GTK_RESPONSE_CANCEL).start();
  close_by(CloseBy::EditorTitleBar);
  s.stop();
  EXPECT_EQ(s.answered(), 1u);
  expect_idle();
  EXPECT_EQ(read_file(path), new_file_with_level_a("-12.0"));
}

TEST_F(CloseFlow, AFailedSaveKeepsTheEditorAndTheUnsavedMark) {
  ScratchDir gone;
  const std::string path = gone.file("gone.qpx");
  open_copy(path);
  set_value(spinner_gain[0], -9.0);
  ASSERT_EQ(std::system(("rm -rf '" + gone.path() + "'").c_str()), 0);
  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_YES).dialog("Error!", GTK_RESPONSE_OK).start();
  EXPECT_TRUE(close_by(CloseBy::MainWindowTitleBar));
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_NE(s.text(1).find("gone.qpx"), std::string::npos) << s.text(1);
  EXPECT_NE(s.text(1).find("No such file or directory"), std::string::npos) << s.text(1);
  expect_editor_kept();
  EXPECT_TRUE(unsaved() && std::string(savename) == path);
}

TEST_F(GuiTest, HelpWindowsOpenFreelyAndCloseWithoutTheCloseFlow) {
  const char* about = "Info about Q.B.N Preset Editor & Wizard";
  const char* how_to = "How to use Q.B.N Preset Editor & Wizard";
  activate(mv517);
  activate(info);
  activate(info);  // each activation opens a further dialog
  other_options(how_to_use, nullptr);
  pump();
  EXPECT_EQ(visible_toplevels().size(), 5u);
  ASSERT_NE(find_window(about), nullptr);
  EXPECT_FALSE(gtk_window_get_modal(GTK_WINDOW(find_window(about))));
  DialogScript s;  // the editor's question must not come
  s.dialog("Save Preset?", GTK_RESPONSE_CANCEL).start();
  gtk_dialog_response(GTK_DIALOG(find_window(about)), GTK_RESPONSE_NONE);
  pump();
  ASSERT_NE(find_window(about), nullptr);  // the second one
  send_delete_event(find_window(about));
  send_delete_event(find_window(how_to));
  pump();
  s.stop();
  EXPECT_EQ(s.answered(), 0u);
  EXPECT_TRUE(find_window(about) == nullptr && find_window(how_to) == nullptr);
  expect_editor_kept();
}
