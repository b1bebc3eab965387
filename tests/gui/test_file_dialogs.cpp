// Save As, Save and Open through the real file choosers and dialogs: the
// bytes they write (compared with the golden files in tests/data), the
// extension, the overwrite question and the proposed folder, and what Open
// does with each kind of file.
#include "gui_test_util.h"

namespace {

class Files : public GuiTest {
 protected:
  // A copy of a golden file in the scratch folder.
  std::string copy_of(const std::string& name) {
    write_file(dir.file(name), golden(name));
    return dir.file(name);
  }
  static bool exists(const std::string& path) {
    return g_file_test(path.c_str(), G_FILE_TEST_EXISTS);
  }
  // The texts of every label in a window.
  static std::string labels_in(GtkWidget* w) {
    if (GTK_IS_LABEL(w)) return label_text(w);
    std::string text;
    GList* children = GTK_IS_CONTAINER(w) ? gtk_container_get_children(GTK_CONTAINER(w)) : nullptr;
    for (GList* l = children; l; l = l->next) text += labels_in(GTK_WIDGET(l->data));
    g_list_free(children);
    return text;
  }
};

}  // namespace

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
    const std::string written = deep + "/" + r.written;
    EXPECT_EQ(read_file(written), golden(r.golden));
    EXPECT_EQ(exists(deep + "/" + r.typed), std::string(r.typed) == r.written);
    EXPECT_TRUE(std::string(savename) == written && current_save_folder == deep);
    EXPECT_TRUE(new_preset == 0 && !unsaved());  // the next edit is unsaved work
    set_value(spinner_gain[0], -7.0);
    EXPECT_TRUE(unsaved());
  }
}

TEST_F(Files, SaveAsProposesThePresetNameInTheWorkingFolderThenInTheRememberedOne) {
  activate(mv517);
  set_entry(preset_name, "Stage L");
  {
    const WorkingDir here(dir.path());
    DialogScript s;
    s.chooser("Save File", dir.file("Stage L"), true).start();
    EXPECT_TRUE(save_preset(true) && s.finished() && exists(dir.file("Stage L.qpx")));
  }
  ScratchDir other;
  current_save_folder = other.path();
  DialogScript s;
  s.chooser("Save File", other.file("Stage L"), true).start();
  EXPECT_TRUE(save_preset(true) && s.finished() && exists(other.file("Stage L.qpx")));
}

TEST_F(Files, SaveAsAsksBeforeReplacingTheCompletedNameAndCancelChangesNothing) {
  activate(mv517);
  write_file(dir.file("live.qpx"), "not a preset\n");
  DialogScript s;
  s.chooser("Save File", dir.file("live"))
      .overwrite(GTK_RESPONSE_CANCEL)
      .dialog("Save File", GTK_RESPONSE_CANCEL)
      .start();
  EXPECT_FALSE(save_preset(true));
  ASSERT_TRUE(s.finished());
  EXPECT_EQ(read_file(dir.file("live.qpx")), "not a preset\n");
  EXPECT_TRUE(new_preset == 1 && savename[0] == '\0' && current_save_folder.empty());
  DialogScript again;
  again.chooser("Save File", dir.file("live")).overwrite(GTK_RESPONSE_ACCEPT).start();
  EXPECT_TRUE(save_preset(true) && again.finished());
  EXPECT_EQ(read_file(dir.file("live.qpx")), golden("new_mv517.qpx"));
}

TEST_F(Files, OpenShowsATunedFileAndSaveWritesItBack) {
  const std::string path = copy_of("live_mv517.qpx");
  DialogScript none;  // no warning for a whole preset
  none.dialog("Warning!", GTK_RESPONSE_OK).start();
  ASSERT_TRUE(open_preset_file(path));
  pump_for(100);
  EXPECT_TRUE(none.answered() == 0 && title_of(window_preset) == "MV517 Preset-Editor");
  EXPECT_TRUE(filename == path && std::string(savename) == path);
  EXPECT_TRUE(new_preset == 0 && generated == 0 && !visible(toolbar1) && !unsaved());
  EXPECT_EQ(entry_text(preset_name), "Live <A&B>");
  EXPECT_EQ(entry_text(ch_name[3]), "Fill ←ä");
  EXPECT_TRUE(value(spinner_gain[0]) == -3.5 && value(spin_button_crossover[0][0]) == 110);
  EXPECT_TRUE(pressed(button_mute[3]) && !sensitive(spinner_gain[3]));
  EXPECT_TRUE(active(combobox_rout[2]) == 6 && active(combobox[1]) == 1);
  EXPECT_TRUE(active(combo_mute[2]) == 1 && active(combo_lvl[2]) == 2);
  EXPECT_TRUE(active(peq_combo[0][0]) == 2 && value(peq_spin_gain[0][2]) == -2.5);  // low shelf
  EXPECT_TRUE(value(spin_button_rel[2]) == 250 && entry_text(spin_button_delay[1]) == "400.00");
  EXPECT_TRUE(pressed(check_lock_dly) && pressed(check_lock_xo) && !pressed(check_lock_peq));

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

TEST_F(Files, OpenWarnsOfAFileWithoutACompletePresetAndShowsWhatItRead) {
  for (const char* name : {"no_preset.qpx", "empty_element_preset.qpx"}) {
    SCOPED_TRACE(name);
    reset_to_idle();
    DialogScript s;
    s.dialog("Warning!", GTK_RESPONSE_OK).start();
    EXPECT_TRUE(open_preset_file(copy_of(name)));
    ASSERT_TRUE(s.finished());
    EXPECT_NE(s.text(0).find("the file holds no complete preset"), std::string::npos) << s.text(0);
    EXPECT_NE(s.text(0).find(name), std::string::npos) << s.text(0);
    EXPECT_TRUE(title_of(window_preset) == "MV517 Preset-Editor" && savename == dir.file(name));
    EXPECT_EQ(entry_text(ch_name[0]), "Out A    ");  // not read: the default
  }
  EXPECT_EQ(entry_text(preset_name), "Live <A&B>");  // read before the empty element
}

TEST_F(Files, OpenRefusesWhatItCannotEditAndChangesNothing) {
  std::string damaged = golden("live_mv517.qpx");
  std::string factory = damaged.substr(0, damaged.rfind("<!-->"));
  damaged[damaged.find("Top L")] = 't';
  factory.replace(factory.find("<LOCK>5<"), 8, "<LOCK>133<");  // 0x80: a factory preset
  const struct {
    const char* name;
    std::string bytes;  // empty: a folder
    const char* says;
  } rows[] = {{"damaged.qpx", damaged, "checksum mismatch"},
              {"folder.qpx", "", "Is a directory"},
              {"missing/absent.qpx", "", "No such file or directory"},
              {"factory.qpx", with_checksum(factory), "Can`t open Factory-Preset!"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    reset_to_idle();
    const std::string path = dir.file(r.name);
    if (r.bytes.empty())
      g_mkdir(path.c_str(), 0755);  // fails for the absent file's folder
    else
      write_file(path, r.bytes);
    preset = preset_def;
    preset.channel[0].gain = -77;
    std::snprintf(savename, sizeof savename, "%s", "/somewhere/before.qpx");
    new_preset = generated = 1;
    DialogScript s;
    s.dialog("Error!", GTK_RESPONSE_OK).start();
    EXPECT_FALSE(open_preset_file(path));
    std::string text = s.text(0);
    if (GtkWidget* w = find_window("Error!")) {  // the factory message is not modal
      text = labels_in(w);
      gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_OK);
    }
    pump_for(100);
    EXPECT_NE(text.find(r.says), std::string::npos) << text;
    EXPECT_TRUE(find_window("Error!") == nullptr && window_preset == nullptr && visible(toolbar1));
    EXPECT_TRUE(preset.channel[0].gain == -77 && mv_selector == MV517 && new_preset == 1);
    EXPECT_STREQ(savename, "/somewhere/before.qpx");
  }
}
