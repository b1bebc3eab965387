// Save As, Save and Open through the real choosers and dialogs, every way of
// closing with every answer, and Print.
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest-spi.h>
#include <sys/stat.h>

#include <cstdio>

#include "gui_test_util.h"
#include "sheet/print_sheet.h"

namespace {

// Ctrl+O, Ctrl+S, Ctrl+Shift+S and Ctrl+Q are pressed in the end-to-end tests.
enum class CloseBy { CloseCommand, CtrlW, EditorTitleBar, QuitCommand, MainWindowTitleBar };
// An answer to "Save Preset?": Yes, then Cancel in the Save As chooser.
constexpr gint YES_THEN_CANCEL = 1000;

class CloseFlow : public GuiTest, public ::testing::WithParamInterface<std::tuple<int, gint>> {
 protected:
  // Runs the close; returns what the main window's title bar got (TRUE: kept).
  static gboolean close_by(CloseBy how) {
    gboolean kept = FALSE;
    if (how == CloseBy::CloseCommand) gtk_menu_item_activate(GTK_MENU_ITEM(schliessen));
    if (how == CloseBy::CtrlW)
      gtk_accel_groups_activate(G_OBJECT(window_preset), GDK_KEY_w, GDK_CONTROL_MASK);
    if (how == CloseBy::EditorTitleBar) send_delete_event(window_preset);
    if (how == CloseBy::QuitCommand) gtk_menu_item_activate(GTK_MENU_ITEM(beenden));
    // A real delete event would destroy the main window the other tests share.
    if (how == CloseBy::MainWindowTitleBar)
      kept = close_window(window_main, nullptr, GINT_TO_POINTER(0));
    pump();
    return kept;
  }
  // The editor and the commands of the Editing state.
  static void expect_editor_kept() {
    EXPECT_TRUE(visible(window_preset) && !visible(toolbar1) && !app_quit_requested);
    EXPECT_TRUE(sensitive(speichern_u) && sensitive(schliessen));
    EXPECT_FALSE(sensitive(neu) || sensitive(oeffnen) || sensitive(how_to_use));
  }
};

using Files = GuiTest;

using Print = GuiTest;

// What a command writes on standard output; "" when it fails.
std::string output_of(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  return pclose(p) == 0 ? out : "";
}

std::string pdf_line(const std::string& pdf, const std::string& key) {
  const std::string info = output_of("pdfinfo '" + pdf + "'");
  const size_t at = info.find(key + ":");
  return at == std::string::npos ? "" : info.substr(at, info.find('\n', at) - at);
}

}  // namespace

TEST_P(CloseFlow, ANewPresetAsksAndTheAnswerDecides) {
  const auto how = static_cast<CloseBy>(std::get<0>(GetParam()));
  const gint answer = std::get<1>(GetParam());
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
    EXPECT_TRUE(window_preset == nullptr && visible(toolbar1));  // the commands of the Idle state
    EXPECT_TRUE(sensitive(neu) && sensitive(oeffnen) && sensitive(beenden) && sensitive(info));
    EXPECT_FALSE(sensitive(speichern) || sensitive(speichern_u) || sensitive(schliessen));
    EXPECT_EQ(app_quit_requested,
              how == CloseBy::QuitCommand || how == CloseBy::MainWindowTitleBar);
    EXPECT_FALSE(kept);
  } else {  // Cancel, the question closed by its title bar, Save As cancelled
    expect_editor_kept();
    EXPECT_TRUE(new_preset == 1 && preset.channel[0].gain == -65);
    EXPECT_EQ(kept, how == CloseBy::MainWindowTitleBar);
  }
  std::string saved = golden("new_mv517.qpx");  // with channel A's level at -6.5 dB
  saved = with_checksum(
      saved.substr(0, saved.rfind("<!-->")).replace(saved.find("<GAIN>0.0<"), 10, "<GAIN>-6.5<"));
  EXPECT_EQ(read_file(dir.file("kept.qpx")), answer == GTK_RESPONSE_YES ? saved : "");
}

INSTANTIATE_TEST_SUITE_P(
    EveryModeEveryAnswer, CloseFlow,
    ::testing::Combine(::testing::Range(0, 5),  // every CloseBy
                       ::testing::Values(GTK_RESPONSE_YES, GTK_RESPONSE_NO, GTK_RESPONSE_CANCEL,
                                         CLOSE_BY_TITLE_BAR, YES_THEN_CANCEL)));

// Yes saves an opened preset to its file; a save that fails keeps the editor.
TEST_F(CloseFlow, AFailedSaveKeepsTheEditorAndTheUnsavedMark) {
  ScratchDir gone;
  const std::string path = gone.file("gone.qpx");
  write_file(path, golden("new_mv517.qpx"));
  ASSERT_TRUE(open_preset_file(path));
  set_value(spinner_gain[0], -9.0);
  ASSERT_EQ(std::system(("rm -rf '" + gone.path() + "'").c_str()), 0);
  DialogScript s("Save Preset?", GTK_RESPONSE_YES);
  s.dialog("Error!", GTK_RESPONSE_OK);
  EXPECT_TRUE(close_by(CloseBy::MainWindowTitleBar));
  ASSERT_TRUE(s.finished()) << s.answered();
  EXPECT_NE(s.text(1).find("gone.qpx"), std::string::npos) << s.text(1);
  EXPECT_NE(s.text(1).find("No such file or directory"), std::string::npos) << s.text(1);
  expect_editor_kept();
  EXPECT_TRUE(unsaved() && std::string(savename) == path);
}

// A dialog no script expects is closed at once and fails the test.
TEST_F(Files, ADialogNobodyExpectedFailsAtOnce) {
  const gint64 start = g_get_monotonic_time();
  EXPECT_NONFATAL_FAILURE(show_message(GTK_MESSAGE_INFO, "Surprise", "not scripted", ""),
                          "a dialog nobody expected: \"Surprise\" not scripted");
  DialogScript script("Expected", GTK_RESPONSE_OK);
  show_message(GTK_MESSAGE_INFO, "Expected", "scripted", "");
  EXPECT_TRUE(script.finished());
  EXPECT_NONFATAL_FAILURE(show_message(GTK_MESSAGE_INFO, "Expected", "once more", ""),
                          "a dialog nobody expected: \"Expected\" once more");
  EXPECT_LT(g_get_monotonic_time() - start, 3 * G_USEC_PER_SEC);
}

TEST_F(Files, NewThenSaveAsWritesTheDefaultFileUnderTheCompletedName) {
  const struct {
    int device;
    const char *typed, *written, *golden;
  } rows[] = {{MV517, "live", "live.qpx", "new_mv517.qpx"},
              {MV961, "live.QPX", "live.QPX.qpx", "new_mv961.qpx"},
              {MV517, "live.qpx", "live.qpx", "new_mv517.qpx"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.typed);
    reset_to_idle();
    ScratchDir d;  // in a folder path longer than any fixed buffer would hold
    std::string deep = d.path();
    while (deep.size() < 420) deep += "/folder-with-a-rather-long-name";
    ASSERT_EQ(g_mkdir_with_parents(deep.c_str(), 0755), 0);
    activate(r.device == MV517 ? mv517 : mv961);
    DialogScript s;
    s.chooser("Save File", deep + "/" + r.typed).start();
    activate(speichern_u);
    ASSERT_TRUE(s.finished());
    EXPECT_EQ(s.parent(0), window_preset);  // the chooser stands over the editor
    const std::string written = deep + "/" + r.written;
    EXPECT_EQ(read_file(written), golden(r.golden));
    EXPECT_EQ(g_file_test((deep + "/" + r.typed).c_str(), G_FILE_TEST_EXISTS) != 0,
              std::string(r.typed) == r.written);
    EXPECT_TRUE(std::string(savename) == written && current_save_folder == deep);
    EXPECT_TRUE(new_preset == 0 && !unsaved());  // the next edit is unsaved work
    set_value(spinner_gain[0], -7.0);
    EXPECT_TRUE(unsaved());
  }
}

TEST_F(Files, SaveAsProposesThePresetNameAsksBeforeReplacingAndCancelChangesNothing) {
  activate(mv517);
  write_file(dir.file("Preset.qpx"), "not a preset\n");
  DialogScript s;  // proposed: the preset's name in the working folder; then the
  // untitled dialog "... already exists. Do you want to replace it?"
  s.chooser("Save File", dir.file("Preset"), true)
      .dialog("", GTK_RESPONSE_CANCEL)
      .dialog("Save File", GTK_RESPONSE_CANCEL)
      .start();
  EXPECT_FALSE(save_preset(true));
  ASSERT_TRUE(s.finished());
  EXPECT_NE(s.text(1).find("already exists"), std::string::npos) << s.text(1);
  EXPECT_EQ(read_file(dir.file("Preset.qpx")), "not a preset\n");
  EXPECT_TRUE(new_preset == 1 && savename[0] == '\0' && current_save_folder.empty());
  ScratchDir other;  // a folder a chooser was left in
  write_file(other.file("Preset.qpx"), "not a preset\n");
  current_save_folder = other.path();
  DialogScript again;
  again.chooser("Save File", other.file("Preset"), true).dialog("", GTK_RESPONSE_ACCEPT).start();
  EXPECT_TRUE(save_preset(true) && again.finished());
  EXPECT_EQ(read_file(other.file("Preset.qpx")), golden("new_mv517.qpx"));
}

TEST_F(Files, OpenShowsATunedFileAndSaveWritesItBack) {
  const std::string path = dir.file("live_mv517.qpx");
  write_file(path, golden("live_mv517.qpx"));
  DialogScript warning("Warning!", GTK_RESPONSE_OK);  // D's -99.9 dB lies below the level field
  ASSERT_TRUE(open_preset_file(path));
  pump_for(100);
  ASSERT_EQ(warning.answered(), 1u);
  EXPECT_EQ(warning.text(0).find("Out D level -99.9 dB (editor -99.0..6.0)\n\nThese fields"),
            warning.text(0).find('\n') + 1);
  EXPECT_EQ(title_of(window_preset), "MV517 Preset-Editor");
  EXPECT_TRUE(filename == path && std::string(savename) == path);
  EXPECT_TRUE(new_preset == 0 && generated == 0 && !visible(toolbar1) && !unsaved());
  EXPECT_TRUE(entry_text(preset_name) == "Live <A&B>" && entry_text(ch_name[3]) == "Fill ←ä");
  EXPECT_TRUE(pressed(button_mute[3]) &&
              active(peq_combo[0][0]) == 2);  // the rest: test_display.cpp

  // Save writes the same bytes but for the Q that building the editor fixes:
  // 0.7 for channel B's Butterworth high-pass, whose file says 1.2.
  set_value(spin_button_thres[2], -7);
  set_value(spin_button_thres[2], -6);
  activate(speichern);
  std::string expected = golden("live_mv517.qpx");
  expected.resize(expected.rfind("<!-->"));
  const size_t q = expected.find("<Q ID=\"1\">1.2</Q>", expected.find("<NAME>Top R</NAME>"));
  if (q < expected.find("<NAME>Sub</NAME>")) expected.replace(q, 17, "<Q ID=\"1\">0.7</Q>");
  EXPECT_EQ(read_file(path), with_checksum(expected));
  EXPECT_FALSE(unsaved());
}

// Open warns of a file without a complete preset; what it cannot edit it
// refuses, changing nothing.
TEST_F(Files, OpenWarnsOfAnIncompleteFileAndRefusesWhatItCannotEdit) {
  std::string damaged = golden("live_mv517.qpx");
  std::string factory = damaged.substr(0, damaged.rfind("<!-->"));
  damaged[damaged.find("Top L")] = 't';
  factory.replace(factory.find("<LOCK>5<"), 8, "<LOCK>133<");  // 0x80: a factory preset
  const std::string incomplete = "\nReading stopped at: the file holds no complete preset.";
  const struct {
    const char *name, *title;  // a warning opens the file
    std::string bytes, says;   // no bytes: no file
  } rows[] = {
      {"no_preset.qpx", "Warning!", golden("no_preset.qpx"), incomplete},
      {"empty_element_preset.qpx", "Warning!", golden("empty_element_preset.qpx"), incomplete},
      {"damaged.qpx", "Error!", damaged, "checksum mismatch"},
      {"missing/absent.qpx", "Error!", "", "No such file or directory"},
      {"factory.qpx", "Error!", with_checksum(factory), "Can`t open Factory-Preset!"},
      // Nothing waits for a writer (the reader's refusals: test_xml_read.cpp);
      // a name is shown on one line, escaped and cut.
      {"fifo.qpx", "Error!", "FIFO",
       "Cannot open \"fifo.qpx\"\nReason: cannot open the file (not a regular file)"},
      {"a\x1b[2J\n\xff"
       "0123456789012345678901234567890123456789012345678901234567890123.qpx",
       "Error!", "",
       "Cannot open \"a\\x1b[2J\\x0a\\xff01234567890123456789012345678901234567890123...\""}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    reset_to_idle();
    const std::string path = dir.file(r.name);
    if (r.bytes == "FIFO")
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    else if (!r.bytes.empty())
      write_file(path, r.bytes);
    preset = preset_def;
    preset.channel[0].gain = -77;
    std::snprintf(savename, sizeof savename, "%s", "/somewhere/before.qpx");
    new_preset = generated = 1;
    const bool opens = std::string(r.title) == "Warning!";
    DialogScript s(r.title, GTK_RESPONSE_OK);
    EXPECT_EQ(open_preset_file(path), opens);
    std::string text = s.text(0);
    if (GtkWidget* w = find_window("Error!")) {  // the factory message is not modal: its labels
      for_each_widget(w, [&](GtkWidget* l) { text += GTK_IS_LABEL(l) ? label_text(l) : ""; });
      gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_OK);
    }
    pump_for(100);
    EXPECT_NE(text.find(r.says), std::string::npos) << text;
    if (opens) {  // the empty element comes after the preset's name
      EXPECT_NE(text.find(r.name), std::string::npos) << text;
      EXPECT_TRUE(title_of(window_preset) == "MV517 Preset-Editor" && savename == path);
      EXPECT_TRUE(entry_text(ch_name[0]) == "Out A    " && preset.channel[0].gain == 0);
      EXPECT_EQ(entry_text(preset_name), r.name[0] == 'n' ? "Preset" : "Live <A&B>");
      continue;
    }
    EXPECT_TRUE(find_window("Error!") == nullptr && window_preset == nullptr && visible(toolbar1));
    EXPECT_TRUE(preset.channel[0].gain == -77 && mv_selector == MV517 && new_preset == 1);
    EXPECT_STREQ(savename, "/somewhere/before.qpx");
  }
}

TEST_F(Print, FollowsSaveAsInTheMenuAndInSensitivity) {
  GList* items =
      gtk_container_get_children(GTK_CONTAINER(gtk_menu_item_get_submenu(GTK_MENU_ITEM(datei))));
  const int save_as = g_list_index(items, speichern_u);
  EXPECT_EQ(g_list_index(items, drucken), save_as + 1);
  EXPECT_EQ(g_list_index(items, schliessen), save_as + 2);
  g_list_free(items);
  EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(drucken)), "Print...");

  // Idle, editing, closed again, the wizard.
  EXPECT_FALSE(sensitive(drucken) || sensitive(speichern_u));
  activate(mv961);
  EXPECT_TRUE(sensitive(drucken) && sensitive(speichern_u));
  {
    DialogScript no("Save Preset?", GTK_RESPONSE_NO);
    activate(schliessen);
    EXPECT_TRUE(no.finished());
  }
  EXPECT_FALSE(sensitive(drucken) || sensitive(speichern_u));
  activate(generate_preset);
  EXPECT_FALSE(sensitive(drucken) || sensitive(speichern_u));
}

TEST_F(Print, CtrlPOpensThePrintDialog) {
  activate(mv517);
  DialogScript cancel("Print", GTK_RESPONSE_CANCEL);
  gtk_accel_groups_activate(G_OBJECT(window_preset), GDK_KEY_p, GDK_CONTROL_MASK);
  pump();
  EXPECT_TRUE(cancel.finished());
  EXPECT_TRUE(visible(window_preset) && !unsaved());
}

// Exported on the default paper: the texts of `qpx sheet` on that paper.
TEST_F(Print, ExportsThePagesAndTextsOfQpxSheet) {
  const std::string path = dir.file("live_mv517.qpx"), gui = dir.file("gui.pdf"),
                    cli = dir.file("cli.pdf");
  write_file(path, golden("live_mv517.qpx"));
  DialogScript warning("Warning!", GTK_RESPONSE_OK);  // of a value outside the editor's fields
  ASSERT_TRUE(open_preset_file(path));
  pump_for(100);
  EXPECT_TRUE(warning.finished());
  ASSERT_EQ(print_sheet(GTK_PRINT_OPERATION_ACTION_EXPORT, gui.c_str()),
            GTK_PRINT_OPERATION_RESULT_APPLY);
  const std::string size = pdf_line(gui, "Page size");
  const bool letter = size.find("612 x 792") != std::string::npos;
  ASSERT_TRUE(letter || size.find("595.276 x 841.89") != std::string::npos) << size;
  const std::string paper = letter ? "letter" : "a4";
  ASSERT_EQ(
      std::system((QBN_QPX " sheet '" + path + "' -o '" + cli + "' --paper " + paper).c_str()), 0);
  EXPECT_EQ(pdf_line(gui, "Pages"), "Pages:           5");
  const std::string text = output_of("pdftotext '" + gui + "' -");
  EXPECT_NE(text.find("live_mv517.qpx"), std::string::npos);
  EXPECT_EQ(text, output_of("pdftotext '" + cli + "' -"));
}
