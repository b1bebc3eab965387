// Open, Save and Save As through the real file choosers: extension
// completion, overwrite confirmation, the remembered folders, the refused
// files (damaged, unopenable, factory presets), the partly read file and
// failed writes.
#include <glib/gstdio.h>

#include "gui_test_util.h"

namespace {

void new_mv517() {
  gtk_menu_item_activate(GTK_MENU_ITEM(mv517));
  pump();
  ASSERT_NE(window_preset, nullptr);
}

// Runs the Open command with the script `s` answering its chooser.
void open_with_chooser(DialogScript& s) {
  s.start();
  gtk_menu_item_activate(GTK_MENU_ITEM(oeffnen));
  pump();
}

preset_t read_back(const std::string& path) {
  preset_t p{};
  EXPECT_EQ(xml_read(path.c_str(), &p, 0), 0) << path;
  return p;
}

}  // namespace

TEST(CompleteExtension, AppendsQpxUnlessThePathEndsWithItExactly) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"/d/live", "/d/live.qpx"},
               {"/d/live.qpx", "/d/live.qpx"},
               {"/d/live.QPX", "/d/live.QPX.qpx"},
               {"/d/a.qp.qpx", "/d/a.qp.qpx"},
               {"/d/live.qpx.bak", "/d/live.qpx.bak.qpx"},
               {"/d/qpx", "/d/qpx.qpx"}};
  for (const auto& c : cases) EXPECT_EQ(complete_extension(c.in), c.out) << c.in;
}

// ---- Save As -----------------------------------------------------------

struct SaveAsCase {
  const char* typed;
  const char* written;
};

class SaveAs : public GuiTest, public ::testing::WithParamInterface<SaveAsCase> {
 protected:
  ScratchDir dir;
};

TEST_P(SaveAs, CompletesTheExtensionAndMakesTheFileTheSaveTarget) {
  new_mv517();
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spinner_gain[0]), -4.5);
  pump();
  DialogScript s;
  s.chooser("Save File", dir.file(GetParam().typed));
  s.start();
  gtk_menu_item_activate(GTK_MENU_ITEM(speichern_u));
  pump();
  ASSERT_TRUE(s.finished()) << s.pending();

  const std::string written = dir.file(GetParam().written);
  EXPECT_EQ(read_back(written).channel[0].gain, -45);
  EXPECT_EQ(savename, written);
  EXPECT_EQ(new_preset, 0);
  EXPECT_FALSE(gtk_widget_get_sensitive(speichern));
  EXPECT_EQ(current_save_folder, dir.path());
  // Only the completed name was written.
  if (std::string(GetParam().typed) != GetParam().written) {
    EXPECT_FALSE(file_exists(dir.file(GetParam().typed)));
  }
  // From now on an edit makes Save sensitive, and Save writes there.
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spinner_gain[0]), -7.0);
  pump();
  ASSERT_TRUE(gtk_widget_get_sensitive(speichern));
  gtk_menu_item_activate(GTK_MENU_ITEM(speichern));
  EXPECT_EQ(read_back(written).channel[0].gain, -70);
  EXPECT_FALSE(gtk_widget_get_sensitive(speichern));
}

INSTANTIATE_TEST_SUITE_P(Names, SaveAs,
                         ::testing::Values(SaveAsCase{"live", "live.qpx"},
                                           SaveAsCase{"live.qpx", "live.qpx"},
                                           SaveAsCase{"live.QPX", "live.QPX.qpx"},
                                           SaveAsCase{"a.qp.qpx", "a.qp.qpx"}));

namespace {

// What the Save As chooser showed when it was accepted as proposed.
struct proposal_t {
  std::string expected_folder, folder, name;
  int polls;
};

// Accepts the Save As chooser as it is, once it shows the expected folder.
gboolean accept_proposal(gpointer d) {
  auto* p = static_cast<proposal_t*>(d);
  GtkWidget* w = find_window("Save File");
  if (!w) return TRUE;
  gchar* f = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(w));
  p->folder = f ? f : "";
  g_free(f);
  if (p->folder != p->expected_folder && p->polls++ < 250) return TRUE;
  gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(w));
  p->name = name ? name : "";
  g_free(name);
  gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_ACCEPT);
  return FALSE;
}

}  // namespace

TEST_F(SaveAs, ProposesThePresetNameInTheRememberedFolderElseTheWorkingFolder) {
  new_mv517();
  gtk_entry_set_text(GTK_ENTRY(preset_name), "Stage L");
  pump();
  ASSERT_STREQ(preset.name, "Stage L");

  // Nothing remembered yet: the working folder.
  gchar* cwd_c = g_get_current_dir();
  const std::string cwd = cwd_c;
  g_free(cwd_c);
  ASSERT_EQ(g_chdir(dir.path().c_str()), 0);
  proposal_t first{dir.path(), "", "", 0};
  g_timeout_add(20, accept_proposal, &first);
  EXPECT_TRUE(save_preset(true));
  ASSERT_EQ(g_chdir(cwd.c_str()), 0);
  EXPECT_EQ(first.name, dir.file("Stage L"));
  EXPECT_STREQ(read_back(dir.file("Stage L.qpx")).name, "Stage L");
  EXPECT_EQ(current_save_folder, dir.path());

  // Remembered: the folder of the last successful Save As.
  ScratchDir other;
  current_save_folder = other.path();
  proposal_t second{other.path(), "", "", 0};
  g_timeout_add(20, accept_proposal, &second);
  EXPECT_TRUE(save_preset(true));
  EXPECT_EQ(second.folder, other.path());
  EXPECT_TRUE(file_exists(other.file("Stage L.qpx")));
}

TEST_F(SaveAs, DecliningToReplaceTheCompletedNameWritesNothing) {
  new_mv517();
  const std::string existing = dir.file("live.qpx");
  write_file(existing, "not a preset\n");

  DialogScript s;
  s.chooser("Save File", dir.file("live"))
      .overwrite(GTK_RESPONSE_CANCEL)
      .dialog("Save File", GTK_RESPONSE_CANCEL);
  s.start();
  EXPECT_FALSE(save_preset(true));
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_EQ(read_file(existing), "not a preset\n");
  EXPECT_EQ(new_preset, 1);
  EXPECT_TRUE(savename.empty());
  EXPECT_TRUE(current_save_folder.empty());

  DialogScript again;
  again.chooser("Save File", dir.file("live")).overwrite(GTK_RESPONSE_ACCEPT);
  again.start();
  EXPECT_TRUE(save_preset(true));
  ASSERT_TRUE(again.finished()) << again.pending();
  EXPECT_STREQ(read_back(existing).name, "Preset");
  EXPECT_EQ(savename, existing);
}

TEST_F(SaveAs, CancelChangesNothing) {
  new_mv517();
  DialogScript s;
  s.dialog("Save File", GTK_RESPONSE_CANCEL);
  s.start();
  EXPECT_FALSE(save_preset(true));
  EXPECT_TRUE(s.finished());
  EXPECT_EQ(new_preset, 1);
  EXPECT_TRUE(savename.empty());
  EXPECT_TRUE(gtk_widget_get_sensitive(speichern_u));
}

TEST_F(SaveAs, LongPathsAreWrittenWhole) {
  new_mv517();
  std::string deep = dir.path();
  while (deep.size() < 420) deep += "/folder-with-a-rather-long-name";
  ASSERT_EQ(g_mkdir_with_parents(deep.c_str(), 0755), 0);
  DialogScript s;
  s.chooser("Save File", deep + "/long");
  s.start();
  EXPECT_TRUE(save_preset(true));
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_EQ(savename, deep + "/long.qpx");
  EXPECT_STREQ(read_back(savename).name, "Preset");
}

// ---- Save ------------------------------------------------------------------

TEST_F(SaveAs, FailedSaveKeepsTheTargetAndTheUnsavedMark) {
  const std::string path = dir.file("kept.qpx");
  write_preset_file(path, sample_preset("Kept", -10), MV517);
  ASSERT_TRUE(open_preset_file(path));
  pump();
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spinner_gain[0]), -2.0);
  pump();
  ASSERT_TRUE(gtk_widget_get_sensitive(speichern));
  // Replace the file by a folder of that name: the writer cannot rename
  // over it.
  ASSERT_EQ(g_unlink(path.c_str()), 0);
  ASSERT_EQ(g_mkdir(path.c_str(), 0755), 0);

  DialogScript s;
  s.dialog("Error!", GTK_RESPONSE_OK);
  s.start();
  gtk_menu_item_activate(GTK_MENU_ITEM(speichern));
  pump();
  ASSERT_TRUE(s.finished());
  EXPECT_NE(s.text(0).find("kept.qpx"), std::string::npos) << s.text(0);
  EXPECT_NE(s.text(0).find(xml_error_text(XML_ERR_CREATE)), std::string::npos) << s.text(0);
  EXPECT_TRUE(gtk_widget_get_sensitive(speichern));
  EXPECT_EQ(savename, path);
  EXPECT_TRUE(g_file_test(path.c_str(), G_FILE_TEST_IS_DIR));
}

// ---- Open ------------------------------------------------------------------

class Open : public GuiTest {
 protected:
  ScratchDir dir;
};

TEST_F(Open, AGoodFileBuildsItsEditorAndBecomesTheSaveTarget) {
  const std::string path = dir.file("good.qpx");
  preset_t p = sample_preset("Good", -155);
  p.lock = 0x21;
  write_preset_file(path, p, MV517);
  generated = 1;

  DialogScript s;
  s.chooser("Open File", path);
  open_with_chooser(s);
  ASSERT_TRUE(s.finished()) << s.pending();
  ASSERT_NE(window_preset, nullptr);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_preset)), "MV517 Preset-Editor");
  EXPECT_STREQ(preset.name, "Good");
  EXPECT_EQ(preset.channel[0].gain, -155);
  EXPECT_EQ(preset.lock, 0x21);
  EXPECT_EQ(filename, path);
  EXPECT_EQ(savename, path);
  EXPECT_EQ(new_preset, 0);
  EXPECT_EQ(generated, 0);
  EXPECT_EQ(current_open_folder, dir.path());
  EXPECT_FALSE(visible(toolbar1));
  EXPECT_FALSE(gtk_widget_get_sensitive(speichern));
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), 0);
}

TEST_F(Open, AnMv961FileBuildsTheMv961Editor) {
  const std::string path = dir.file("two.qpx");
  write_preset_file(path, sample_preset("Two", -30), MV961);
  DialogScript s;
  s.chooser("Open File", path);
  open_with_chooser(s);
  ASSERT_TRUE(s.finished()) << s.pending();
  ASSERT_NE(window_preset, nullptr);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_preset)), "MV961 Preset-Editor");
  EXPECT_EQ(mv_selector, MV961);
  EXPECT_EQ(mv_type, 2u);
  // Save writes the MV961 file back to where it came from.
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spinner_gain[1]), -1.0);
  pump();
  gtk_menu_item_activate(GTK_MENU_ITEM(speichern));
  EXPECT_EQ(read_back(path).channel[1].gain, -10);
  EXPECT_NE(read_file(path).find("DEVICE=\"MV961\""), std::string::npos);
}

TEST_F(Open, CancelRemembersTheFolderShownLast) {
  // Navigate in the chooser, then cancel once the folder is shown.
  struct nav_t {
    std::string folder;
    int polls;
  } nav{dir.path(), 0};
  g_timeout_add(
      20,
      [](gpointer d) -> gboolean {
        auto* n = static_cast<nav_t*>(d);
        GtkWidget* w = find_window("Open File");
        if (!w) return TRUE;
        gchar* f = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(w));
        const bool there = f && n->folder == f;
        g_free(f);
        if (!there && n->polls++ < 250) {
          if (n->polls % 25 == 1)
            gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(w), n->folder.c_str());
          return TRUE;
        }
        gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_CANCEL);
        return FALSE;
      },
      &nav);
  open_file(oeffnen, nullptr);
  EXPECT_EQ(current_open_folder, dir.path());
  EXPECT_EQ(window_preset, nullptr);
}

// A file that cannot be read at all is refused and changes nothing.
struct RefusedCase {
  const char* name;
  const char* expected_reason;
};

class OpenRefused : public Open, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(OpenRefused, ShowsTheFileAndTheReasonAndChangesNothing) {
  const std::string name = GetParam().name;
  std::string path = dir.file(name);
  if (name == "damaged.qpx") {
    write_preset_file(path, sample_preset("Damaged", 0), MV961);
    std::string bytes = read_file(path);
    bytes[bytes.find("Damaged")] = 'd';  // one changed byte
    write_file(path, bytes);
  } else if (name == "folder.qpx") {
    ASSERT_EQ(g_mkdir(path.c_str(), 0755), 0);
  } else {
    path = dir.file("missing/") + name;
  }
  preset = sample_preset("Before", -77);
  mv_selector = MV517;
  savename = "/somewhere/before.qpx";
  new_preset = 1;

  DialogScript s;
  s.dialog("Error!", GTK_RESPONSE_OK);
  s.start();
  EXPECT_FALSE(open_preset_file(path));
  ASSERT_TRUE(s.finished());
  EXPECT_NE(s.text(0).find(name), std::string::npos) << s.text(0);
  EXPECT_NE(s.text(0).find(GetParam().expected_reason), std::string::npos) << s.text(0);
  EXPECT_EQ(window_preset, nullptr);
  EXPECT_STREQ(preset.name, "Before");
  EXPECT_EQ(preset.channel[0].gain, -77);
  EXPECT_EQ(mv_selector, MV517);
  EXPECT_EQ(savename, "/somewhere/before.qpx");
  EXPECT_EQ(new_preset, 1);
  EXPECT_TRUE(visible(toolbar1));
}

INSTANTIATE_TEST_SUITE_P(Files, OpenRefused,
                         ::testing::Values(RefusedCase{"damaged.qpx", "checksum mismatch"},
                                           RefusedCase{"absent.qpx", "No such file or directory"},
                                           RefusedCase{"folder.qpx", "Is a directory"}),
                         [](const ::testing::TestParamInfo<RefusedCase>& i) {
                           return std::string(i.param.name).substr(0, 6);
                         });

TEST_F(Open, AFactoryPresetIsRefusedWithTheFactoryDialog) {
  const std::string path = dir.file("factory.qpx");
  preset_t p = sample_preset("Factory", -50);
  p.lock = 0x80;
  write_preset_file(path, p, MV961);
  preset = sample_preset("Before", -11);
  mv_selector = MV517;
  savename = "/somewhere/before.qpx";

  EXPECT_FALSE(open_preset_file(path));
  pump();
  GtkWidget* error = find_window("Error!");
  ASSERT_NE(error, nullptr);
  EXPECT_FALSE(gtk_window_get_modal(GTK_WINDOW(error)));
  EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(error)));
  gint w = 0;
  gtk_widget_get_size_request(error, &w, nullptr);
  EXPECT_EQ(w, 240);
  // The bold message among the dialog's labels.
  std::vector<GtkWidget*> pending{error};
  bool message_found = false;
  while (!pending.empty()) {
    GtkWidget* w2 = pending.back();
    pending.pop_back();
    if (GTK_IS_LABEL(w2) &&
        std::string(gtk_label_get_text(GTK_LABEL(w2))) == "Can`t open Factory-Preset!") {
      message_found = true;
      EXPECT_NE(std::string(gtk_label_get_label(GTK_LABEL(w2))).find("<b>"), std::string::npos);
    }
    if (GTK_IS_CONTAINER(w2)) {
      GList* c = gtk_container_get_children(GTK_CONTAINER(w2));
      for (GList* l = c; l; l = l->next) pending.push_back(GTK_WIDGET(l->data));
      g_list_free(c);
    }
  }
  EXPECT_TRUE(message_found);
  EXPECT_EQ(window_preset, nullptr);
  EXPECT_STREQ(preset.name, "Before");
  EXPECT_EQ(mv_selector, MV517);
  EXPECT_EQ(savename, "/somewhere/before.qpx");

  gtk_dialog_response(GTK_DIALOG(error), GTK_RESPONSE_OK);
  pump();
  EXPECT_EQ(find_window("Error!"), nullptr);
}

TEST_F(Open, AFileReadOnlyUpToAProblemOpensWithAWarning) {
  const std::string path = dir.file("partial.qpx");
  preset_t p = sample_preset("Partial", -25);
  p.channel[3].gain = -40;
  write_preset_file(path, p, MV517);
  // Spoil channel D's mute value and give the file a matching checksum.
  std::string body = strip_checksum(read_file(path));
  const size_t at = body.rfind("<MUTE>0</MUTE>");
  ASSERT_NE(at, std::string::npos);
  body.replace(at, 14, "<MUTE>0x</MUTE>");
  write_file(path, with_checksum(body));

  DialogScript s;
  s.dialog("Warning!", GTK_RESPONSE_OK);
  s.start();
  EXPECT_TRUE(open_preset_file(path));
  pump();
  ASSERT_TRUE(s.finished());
  EXPECT_NE(s.text(0).find("partial.qpx"), std::string::npos) << s.text(0);
  EXPECT_NE(s.text(0).find(xml_error_text(XML_ERR_SYNTAX)), std::string::npos) << s.text(0);
  ASSERT_NE(window_preset, nullptr);
  EXPECT_STREQ(preset.name, "Partial");
  EXPECT_EQ(preset.channel[0].gain, -25);
  EXPECT_EQ(savename, path);
}

TEST_F(Open, AGoodFileOpensWithoutAWarning) {
  const std::string path = dir.file("clean.qpx");
  write_preset_file(path, sample_preset("Clean", 0), MV517);
  DialogScript s;
  s.dialog("Warning!", GTK_RESPONSE_OK);
  s.start();
  EXPECT_TRUE(open_preset_file(path));
  pump();
  s.stop();
  EXPECT_EQ(s.answered(), 0u);
}
