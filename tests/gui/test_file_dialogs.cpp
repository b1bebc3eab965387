// Open, Save and Save As through the real file choosers: extension
// completion, overwrite confirmation, the proposed and remembered folders,
// the files Open reads, reads in part or refuses, and Save to the opened file.
#include <glib/gstdio.h>

#include "editor_test_util.h"

namespace {

preset_t read_back(const std::string& path) {
  preset_t p{};
  EXPECT_EQ(xml_read(path.c_str(), &p, 0), 0) << path;
  return p;
}

// Accepts the Save As chooser as proposed once it shows `folder`, noting
// the folder and the file it proposed.
struct ProposalAnswer {
  explicit ProposalAnswer(std::string f) : folder(std::move(f)) {}
  std::string folder, shown_folder, shown_name;
  int polls = 0;

  void start() { g_timeout_add(20, poll, this); }
  static gboolean poll(gpointer d) {
    auto* a = static_cast<ProposalAnswer*>(d);
    GtkWidget* w = find_window("Save File");
    if (!w) return ++a->polls < 500;
    GtkFileChooser* c = GTK_FILE_CHOOSER(w);
    gchar* f = gtk_file_chooser_get_current_folder(c);
    a->shown_folder = f ? f : "";
    g_free(f);
    if (a->shown_folder != a->folder && ++a->polls < 500) return TRUE;
    gchar* name = gtk_file_chooser_get_filename(c);
    a->shown_name = name ? name : "";
    g_free(name);
    gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_ACCEPT);
    return FALSE;
  }
};

void new_mv517() {
  gtk_menu_item_activate(GTK_MENU_ITEM(mv517));
  pump();
  ASSERT_NE(window_preset, nullptr);
}

enum class Spoil { None, OneByte, MuteValue, Folder, Absent };

}  // namespace

class Files : public GuiTest {
 protected:
  ScratchDir dir;
};

// ---- Save As -----------------------------------------------------------

TEST_F(Files, SaveAsCompletesTheExtensionAndMakesTheFileTheSaveTarget) {
  const struct {
    const char* typed;
    const char* written;
  } rows[] = {{"live", "live.qpx"},
              {"live.qpx", "live.qpx"},
              {"live.QPX", "live.QPX.qpx"},
              {"qpx", "qpx.qpx"},
              {"live.qpx.bak", "live.qpx.bak.qpx"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.typed);
    reset_to_idle();
    // A folder path longer than any fixed buffer would hold.
    ScratchDir d;
    std::string deep = d.path();
    while (deep.size() < 420) deep += "/folder-with-a-rather-long-name";
    ASSERT_EQ(g_mkdir_with_parents(deep.c_str(), 0755), 0);
    new_mv517();
    set_value(spinner_gain[0], -4.5);

    DialogScript s;
    s.chooser("Save File", deep + "/" + r.typed);
    s.start();
    gtk_menu_item_activate(GTK_MENU_ITEM(speichern_u));
    pump();
    ASSERT_TRUE(s.finished()) << s.pending();
    const std::string written = deep + "/" + r.written;
    EXPECT_EQ(read_back(written).channel[0].gain, -45);
    EXPECT_EQ(std::string(savename), written);
    EXPECT_EQ(current_save_folder, deep);
    EXPECT_EQ(file_exists(deep + "/" + r.typed), r.typed == std::string(r.written));
    // The preset has a file now: the next edit is unsaved work.
    EXPECT_EQ(new_preset, 0);
    EXPECT_FALSE(unsaved());
    set_value(spinner_gain[0], -7.0);
    EXPECT_TRUE(unsaved());
  }
}

TEST_F(Files, SaveAsProposesThePresetNameInTheWorkingFolderThenInTheRememberedOne) {
  new_mv517();
  gtk_entry_set_text(GTK_ENTRY(preset_name), "Stage L");
  pump();
  gchar* cwd = g_get_current_dir();
  ASSERT_EQ(g_chdir(dir.path().c_str()), 0);
  ProposalAnswer first(dir.path());
  first.start();
  EXPECT_TRUE(save_preset(true));
  EXPECT_EQ(g_chdir(cwd), 0);
  g_free(cwd);
  EXPECT_EQ(first.shown_name, dir.file("Stage L"));
  EXPECT_STREQ(read_back(dir.file("Stage L.qpx")).name, "Stage L");

  ScratchDir other;
  current_save_folder = other.path();
  ProposalAnswer second(other.path());
  second.start();
  EXPECT_TRUE(save_preset(true));
  EXPECT_EQ(second.shown_folder, other.path());
  EXPECT_TRUE(file_exists(other.file("Stage L.qpx")));
}

TEST_F(Files, SaveAsAsksBeforeReplacingTheCompletedNameAndCancelChangesNothing) {
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
  EXPECT_STREQ(savename, "");
  EXPECT_TRUE(current_save_folder.empty());
  EXPECT_TRUE(sensitive(speichern_u));

  DialogScript again;
  again.chooser("Save File", dir.file("live")).overwrite(GTK_RESPONSE_ACCEPT);
  again.start();
  EXPECT_TRUE(save_preset(true));
  ASSERT_TRUE(again.finished()) << again.pending();
  EXPECT_STREQ(read_back(existing).name, "Preset");
  EXPECT_EQ(std::string(savename), existing);
}

// ---- Save and the Open command -----------------------------------------------

TEST_F(Files, OpenCommandOpensTheChosenFileAndRemembersItsFolder) {
  const std::string path = dir.file("good.qpx");
  write_preset_file(path, sample_preset("Good", 0), MV517);
  DialogScript s;
  s.chooser("Open File", path);
  s.start();
  gtk_menu_item_activate(GTK_MENU_ITEM(oeffnen));
  pump();
  ASSERT_TRUE(s.finished()) << s.pending();
  EXPECT_STREQ(preset.name, "Good");
  EXPECT_EQ(current_open_folder, dir.path());
}

// ---- Open: what each kind of file does -----------------------------------------

TEST_F(Files, OpenBuildsTheEditorOfAReadableFileAndRefusesTheOthers) {
  const struct {
    const char* name;
    int device;
    uint8_t lock;
    Spoil spoil;
    const char* dialog;  // "": none
    const char* says;
    const char* editor;  // nullptr: refused
  } rows[] = {
      {"good.qpx", MV517, 0x21, Spoil::None, "", "", "MV517 Preset-Editor"},
      {"two.qpx", MV961, 0, Spoil::None, "", "", "MV961 Preset-Editor"},
      {"partial.qpx", MV517, 0, Spoil::MuteValue, "Warning!", xml_error_text(XML_ERR_SYNTAX),
       "MV517 Preset-Editor"},
      {"damaged.qpx", MV961, 0, Spoil::OneByte, "Error!", "checksum mismatch", nullptr},
      {"absent.qpx", MV517, 0, Spoil::Absent, "Error!", "No such file or directory", nullptr},
      {"folder.qpx", MV517, 0, Spoil::Folder, "Error!", "Is a directory", nullptr},
      {"factory.qpx", MV961, LOCK_FACTORY, Spoil::None, "Error!", "Can`t open Factory-Preset!",
       nullptr},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    reset_to_idle();
    ScratchDir d;
    const std::string path = d.file(r.spoil == Spoil::Absent ? "missing/" : "") + r.name;
    preset_t p = sample_preset("Opened", -155);
    p.lock = r.lock;
    if (r.spoil == Spoil::Folder) {
      ASSERT_EQ(g_mkdir(path.c_str(), 0755), 0);
    } else if (r.spoil != Spoil::Absent) {
      write_preset_file(path, p, r.device);
      std::string bytes = read_file(path);
      if (r.spoil == Spoil::OneByte) bytes[bytes.find("Opened")] = 'o';
      if (r.spoil == Spoil::MuteValue) {  // channel D's, under a matching checksum
        bytes = strip_checksum(bytes);
        bytes.replace(bytes.rfind("<MUTE>0</MUTE>"), 14, "<MUTE>0x</MUTE>");
        bytes = with_checksum(bytes);
      }
      write_file(path, bytes);
    }
    preset = sample_preset("Before", -77);
    mv_selector = MV517;
    std::snprintf(savename, sizeof savename, "%s", "/somewhere/before.qpx");
    new_preset = generated = 1;

    DialogScript s;
    s.dialog(*r.dialog ? r.dialog : "Warning!", GTK_RESPONSE_OK);
    s.start();
    EXPECT_EQ(open_preset_file(path), r.editor != nullptr);
    std::string text = s.text(0);
    if (GtkWidget* w = find_window("Error!")) {  // the factory message is not modal
      for (GtkWidget* l : descendants(w, [](GtkWidget* x) { return GTK_IS_LABEL(x); }))
        text += label_text(l);
    }
    for (int i = 0; i < 25 && !s.finished(); ++i) pump_for(20);
    s.stop();
    EXPECT_EQ(s.answered(), *r.dialog ? 1u : 0u);
    EXPECT_NE(text.find(r.says), std::string::npos) << text;
    if (*r.dialog && !(r.lock & LOCK_FACTORY)) {
      EXPECT_NE(text.find(r.name), std::string::npos) << text;
    }
    EXPECT_EQ(find_window("Error!"), nullptr);

    if (r.editor) {
      ASSERT_NE(window_preset, nullptr);
      EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window_preset)), r.editor);
      EXPECT_EQ(mv_selector, r.device);
      EXPECT_STREQ(preset.name, "Opened");
      EXPECT_EQ(preset.channel[0].gain, -155);
      EXPECT_EQ(preset.lock, r.lock);
      EXPECT_EQ(filename, path);
      EXPECT_EQ(std::string(savename), path);
      EXPECT_EQ(new_preset, 0);
      EXPECT_EQ(generated, 0);
      EXPECT_FALSE(visible(toolbar1));
      // Save writes the file back where it came from, for its device.
      EXPECT_FALSE(unsaved());
      set_value(spinner_gain[1], -1.0);
      gtk_menu_item_activate(GTK_MENU_ITEM(speichern));
      EXPECT_EQ(read_back(path).channel[1].gain, -10);
      EXPECT_NE(read_file(path).find(r.device == MV961 ? "DEVICE=\"MV961\"" : "DEVICE=\"MV517\""),
                std::string::npos);
      EXPECT_FALSE(unsaved());
    } else {
      EXPECT_EQ(window_preset, nullptr);
      EXPECT_STREQ(preset.name, "Before");
      EXPECT_EQ(preset.channel[0].gain, -77);
      EXPECT_EQ(mv_selector, MV517);
      EXPECT_STREQ(savename, "/somewhere/before.qpx");
      EXPECT_EQ(new_preset, 1);
      EXPECT_TRUE(visible(toolbar1));
    }
  }
}
