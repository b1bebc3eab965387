// The close flow with every way of closing and every answer, the commands
// each state offers, and Ctrl+W.
#include <gdk/gdkkeysyms.h>

#include "gui_test_util.h"

namespace {

// new_mv517.qpx with channel A's level at `db`.
std::string new_file_with_level_a(const std::string& db) {
  std::string body = golden("new_mv517.qpx");
  body.resize(body.rfind("<!-->"));
  return with_checksum(body.replace(body.find("<GAIN>0.0<"), 10, "<GAIN>" + db + "<"));
}

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
  // The commands of the Idle state.
  static void expect_idle() {
    EXPECT_TRUE(window_preset == nullptr && visible(toolbar1));
    EXPECT_TRUE(sensitive(neu) && sensitive(oeffnen) && sensitive(beenden) && sensitive(info));
    EXPECT_FALSE(sensitive(speichern) || sensitive(speichern_u) || sensitive(schliessen));
  }
  // The editor and the commands of the Editing state.
  static void expect_editor_kept() {
    EXPECT_TRUE(visible(window_preset) && !visible(toolbar1) && !app_quit_requested);
    EXPECT_TRUE(sensitive(speichern_u) && sensitive(schliessen));
    EXPECT_FALSE(sensitive(neu) || sensitive(oeffnen) || sensitive(how_to_use));
  }
};

}  // namespace

// The Ctrl+O, Ctrl+S, Ctrl+Shift+S and Ctrl+Q presses run in the end-to-end tests.
TEST_F(CloseFlow, CtrlWClosesTheEditorAndCtrlNIsNoAccelerator) {
  activate(mv517);
  DialogScript s;
  s.dialog("Save Preset?", GTK_RESPONSE_NO).start();  // a new preset asks
  EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(window_preset), GDK_KEY_w, GDK_CONTROL_MASK));
  pump();
  EXPECT_TRUE(s.finished() && window_preset == nullptr && !app_quit_requested);
  EXPECT_FALSE(gtk_accel_groups_activate(G_OBJECT(window_main), GDK_KEY_n, GDK_CONTROL_MASK));
}

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
  ASSERT_TRUE(s.finished()) << s.answered();
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
  ASSERT_TRUE(s.finished()) << s.answered();
  EXPECT_NE(s.text(1).find("gone.qpx"), std::string::npos) << s.text(1);
  EXPECT_NE(s.text(1).find("No such file or directory"), std::string::npos) << s.text(1);
  expect_editor_kept();
  EXPECT_TRUE(unsaved() && std::string(savename) == path);
}
