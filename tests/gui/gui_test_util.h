// Helpers shared by the in-process GUI tests: running the main loop until
// idle, finding windows, answering modal dialogs and file choosers from a
// timeout, a base fixture that starts every test in the Idle state, scratch
// folders and preset files.
//
// gui_main.cpp initialises GTK and builds the main window once; every test
// starts with the main window in the Idle state and no other window.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "editor/preset_verwaltung.h"
#include "files/file_dialogs.h"
#include "files/xml.h"
#include "model/editing.h"
#include "model/preset.h"
#include "shell/app.h"
#include "shell/menu_bar.h"

// Scratch folders, whole-file reads and writes, checksum lines: shared with
// the core tests.
#include "../core/test_util.h"

// ---- Main loop and windows -------------------------------------------------

// Runs the main loop until no event is pending.
inline void pump() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// Runs the main loop for about `ms` milliseconds (lets the X server answer).
inline void pump_for(int ms) {
  const gint64 end = g_get_monotonic_time() + ms * 1000;
  while (g_get_monotonic_time() < end) {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    g_usleep(2000);
  }
}

// All toplevel windows that are shown.
inline std::vector<GtkWidget*> visible_toplevels() {
  std::vector<GtkWidget*> result;
  GList* list = gtk_window_list_toplevels();
  for (GList* l = list; l; l = l->next)
    if (gtk_widget_get_visible(GTK_WIDGET(l->data))) result.push_back(GTK_WIDGET(l->data));
  g_list_free(list);
  return result;
}

// A shown toplevel window with this title, or nullptr.
inline GtkWidget* find_window(const char* title) {
  for (GtkWidget* w : visible_toplevels()) {
    const char* t = gtk_window_get_title(GTK_WINDOW(w));
    if (t && std::string(t) == title) return w;
  }
  return nullptr;
}

// Closes a window the way its title-bar button does: a delete event through
// the toolkit's event dispatch (a handler returning FALSE lets GTK destroy it).
inline void send_delete_event(GtkWidget* window) {
  GdkEvent* event = gdk_event_new(GDK_DELETE);
  event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  event->any.send_event = TRUE;
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// Text of a message dialog ("text" and "secondary-text").
inline std::string message_text(GtkWidget* dialog) {
  std::string result;
  if (!GTK_IS_MESSAGE_DIALOG(dialog)) return result;
  gchar *text = nullptr, *secondary = nullptr;
  g_object_get(dialog, "text", &text, "secondary-text", &secondary, nullptr);
  if (text) result += text;
  if (secondary) result += std::string("\n") + secondary;
  g_free(text);
  g_free(secondary);
  return result;
}

// Response that means "close the dialog by its title bar".
constexpr gint CLOSE_BY_TITLE_BAR = GTK_RESPONSE_DELETE_EVENT;

// ---- Answering dialogs -----------------------------------------------------
//
// A script of dialog answers, run in order from a polling timeout while the
// code under test blocks in gtk_dialog_run:
//
//   DialogScript s;
//   s.dialog("Save Preset?", GTK_RESPONSE_YES).chooser("Save File", dir + "/live");
//   s.start();
//   close_func(nullptr, 3);
//   EXPECT_TRUE(s.finished());
//
// A step waits until its dialog is shown. When the script runs past its
// deadline it closes whatever dialog is shown, so a test fails instead of
// hanging.
class DialogScript {
 public:
  DialogScript() = default;
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;
  ~DialogScript() { stop(); }

  // Answers the dialog titled `title` with `response` (CLOSE_BY_TITLE_BAR:
  // a delete event).
  DialogScript& dialog(const std::string& title, gint response) {
    return step(
        title, [title](GtkWidget* w) { return window_titled(w, title) && GTK_IS_DIALOG(w); },
        [response](GtkWidget* w, int) { return respond(w, response); });
  }
  // Answers the file chooser titled `title`: for a save chooser, goes to the
  // folder of `path` and types its last component; for an open chooser,
  // selects `path`. Then responds with `response`.
  DialogScript& chooser(const std::string& title, const std::string& path,
                        gint response = GTK_RESPONSE_ACCEPT) {
    return step(
        title + " (" + path + ")",
        [title](GtkWidget* w) { return window_titled(w, title) && GTK_IS_FILE_CHOOSER(w); },
        [path, response](GtkWidget* w, int polls) { return choose(w, path, response, polls); });
  }
  // Answers the chooser's "already exists. Do you want to replace it?"
  // question (GTK_RESPONSE_ACCEPT replaces, GTK_RESPONSE_CANCEL declines).
  DialogScript& overwrite(gint response) {
    return step(
        "overwrite confirmation",
        [](GtkWidget* w) {
          return GTK_IS_MESSAGE_DIALOG(w) &&
                 message_text(w).find("already exists") != std::string::npos;
        },
        [response](GtkWidget* w, int) { return respond(w, response); });
  }

  void start(int timeout_ms = 15000) {
    deadline_ = g_get_monotonic_time() + static_cast<gint64>(timeout_ms) * 1000;
    source_ = g_timeout_add(20, &DialogScript::poll, this);
  }
  void stop() {
    if (source_) g_source_remove(source_);
    source_ = 0;
  }
  bool finished() const { return next_ == steps_.size(); }
  size_t answered() const { return next_; }
  // Text of the message dialog answered by step i (empty for others).
  std::string text(size_t i) const { return i < steps_.size() ? steps_[i].text : std::string(); }
  std::string pending() const { return finished() ? "" : steps_[next_].label; }

 private:
  struct Step {
    std::string label;
    std::function<bool(GtkWidget*)> match;
    std::function<bool(GtkWidget*, int)> act;  // true when answered
    std::string text;
    int polls = 0;
  };

  DialogScript& step(const std::string& label, std::function<bool(GtkWidget*)> match,
                     std::function<bool(GtkWidget*, int)> act) {
    steps_.push_back({label, std::move(match), std::move(act), {}, 0});
    return *this;
  }

  static bool window_titled(GtkWidget* w, const std::string& title) {
    const char* t = gtk_window_get_title(GTK_WINDOW(w));
    return t && title == t;
  }

  static bool respond(GtkWidget* w, gint response) {
    if (response == CLOSE_BY_TITLE_BAR)
      send_delete_event(w);
    else
      gtk_dialog_response(GTK_DIALOG(w), response);
    return true;
  }

  static std::string current_folder(GtkFileChooser* c) {
    gchar* f = gtk_file_chooser_get_current_folder(c);
    std::string s = f ? f : "";
    g_free(f);
    return s;
  }

  static bool choose(GtkWidget* w, const std::string& path, gint response, int polls) {
    GtkFileChooser* c = GTK_FILE_CHOOSER(w);
    if (response != GTK_RESPONSE_ACCEPT) return respond(w, response);
    gchar* dir_c = g_path_get_dirname(path.c_str());
    gchar* base_c = g_path_get_basename(path.c_str());
    const std::string dir = dir_c, base = base_c;
    g_free(dir_c);
    g_free(base_c);
    if (gtk_file_chooser_get_action(c) == GTK_FILE_CHOOSER_ACTION_SAVE) {
      // The folder changes asynchronously; type the name once it is shown.
      if (current_folder(c) != dir) {
        if (polls % 25 == 0) gtk_file_chooser_set_current_folder(c, dir.c_str());
        return false;
      }
      gtk_file_chooser_set_current_name(c, base.c_str());
    } else {
      gchar* selected = gtk_file_chooser_get_filename(c);
      const bool ready = selected && path == selected;
      g_free(selected);
      if (!ready) {
        if (polls % 25 == 0) gtk_file_chooser_set_filename(c, path.c_str());
        return false;
      }
    }
    gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_ACCEPT);
    return true;
  }

  static gboolean poll(gpointer self_p) {
    auto* self = static_cast<DialogScript*>(self_p);
    if (self->finished()) {
      self->source_ = 0;
      return FALSE;
    }
    if (g_get_monotonic_time() > self->deadline_) {
      ADD_FAILURE() << "dialog not answered in time: " << self->pending();
      for (GtkWidget* w : visible_toplevels())
        if (GTK_IS_DIALOG(w)) respond(w, CLOSE_BY_TITLE_BAR);
      self->source_ = 0;
      return FALSE;
    }
    Step& s = self->steps_[self->next_];
    for (GtkWidget* w : visible_toplevels()) {
      if (!s.match(w)) continue;
      if (s.polls == 0) s.text = message_text(w);
      if (s.act(w, s.polls++)) ++self->next_;
      break;
    }
    return TRUE;
  }

  std::vector<Step> steps_;
  size_t next_ = 0;
  guint source_ = 0;
  gint64 deadline_ = 0;
};

// ---- Base fixture ----------------------------------------------------------

// Destroys every shown window but the main window.
inline void close_other_windows() {
  for (GtkWidget* w : visible_toplevels())
    if (w != window_main) gtk_widget_destroy(w);
  pump();
}

// Back to the Idle state after start-up: no editor, nothing remembered.
inline void reset_to_idle() {
  destroy_editor();
  close_other_windows();
  new_preset = 0;
  generated = 0;
  mv_selector = MV517;
  set_command_state(APP_IDLE);
  app_quit_requested = false;
  savename[0] = '\0';
  filename.clear();
  current_open_folder.clear();
  current_save_folder.clear();
  pump();
}

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_to_idle(); }
  void TearDown() override { reset_to_idle(); }
};

inline bool sensitive(GtkWidget* w) {
  return w && gtk_widget_get_sensitive(w);
}
inline bool visible(GtkWidget* w) {
  return w && gtk_widget_get_visible(w);
}

// ---- Files -------------------------------------------------------------

inline bool file_exists(const std::string& name) {
  return g_file_test(name.c_str(), G_FILE_TEST_EXISTS);
}

// The file without its checksum line.
inline std::string strip_checksum(const std::string& file) {
  const size_t at = file.rfind("<!-->");
  return at == std::string::npos ? file : file.substr(0, at);
}

// Writes `p` for a device as the editor saves it; fails the test otherwise.
inline void write_preset_file(const std::string& name, const preset_t& p, int8_t device) {
  ASSERT_EQ(xml_write(name.c_str(), &p, device), 0) << name;
}

// A default preset with a recognisable name and channel A level.
inline preset_t sample_preset(const char* name, int16_t gain_a) {
  preset_t p;
  Create_Default_Preset(&p);
  set_record_text(p.name, sizeof p.name, name);
  p.channel[0].gain = gain_a;
  return p;
}
