// Helpers of the in-process GUI tests: the main loop, windows, scripted
// dialogs, a fixture that starts in the Idle state and drives the widgets.
#pragma once

#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "../core/test_util.h"  // scratch folders, whole files, checksum lines
#include "editor/preset_verwaltung.h"
#include "files/file_dialogs.h"
#include "model/editing.h"
#include "model/preset.h"
#include "shell/app.h"
#include "shell/menu_bar.h"

inline void pump() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// Runs the main loop for about `ms` milliseconds (lets the X server answer).
inline void pump_for(int ms) {
  for (const gint64 end = g_get_monotonic_time() + ms * 1000; g_get_monotonic_time() < end;) {
    pump();
    g_usleep(2000);
  }
}

inline std::vector<GtkWidget*> visible_toplevels() {
  std::vector<GtkWidget*> result;
  GList* list = gtk_window_list_toplevels();
  for (GList* l = list; l; l = l->next)
    if (gtk_widget_get_visible(GTK_WIDGET(l->data))) result.push_back(GTK_WIDGET(l->data));
  g_list_free(list);
  return result;
}

inline std::string title_of(GtkWidget* window) {
  const char* t = window ? gtk_window_get_title(GTK_WINDOW(window)) : nullptr;
  return t ? t : "";
}

inline GtkWidget* find_window(const std::string& title) {
  for (GtkWidget* w : visible_toplevels())
    if (title_of(w) == title) return w;
  return nullptr;
}

// Closes a window the way its title-bar button does.
inline void send_delete_event(GtkWidget* window) {
  GdkEvent* event = gdk_event_new(GDK_DELETE);
  event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  event->any.send_event = TRUE;
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// "text" and "secondary-text" of a message dialog, on lines of their own.
inline std::string message_text(GtkWidget* dialog) {
  if (!GTK_IS_MESSAGE_DIALOG(dialog)) return "";
  gchar *text = nullptr, *secondary = nullptr;
  g_object_get(dialog, "text", &text, "secondary-text", &secondary, nullptr);
  const std::string result =
      std::string(text ? text : "") + (secondary ? "\n" : "") + (secondary ? secondary : "");
  g_free(text);
  g_free(secondary);
  return result;
}

constexpr gint CLOSE_BY_TITLE_BAR = GTK_RESPONSE_DELETE_EVENT;

// Answers dialogs in order from a timeout while the code under test blocks
// in gtk_dialog_run; late, it closes them and the test fails.
class DialogScript {
 public:
  DialogScript() = default;
  // Started at once, its first step: the dialog titled `title` gets `response`.
  DialogScript(const std::string& title, gint response) { dialog(title, response).start(); }
  ~DialogScript() { stop(); }

  // The dialog titled `title` gets `response` (CLOSE_BY_TITLE_BAR: a delete event).
  DialogScript& dialog(const std::string& title, gint response) {
    titles_.push_back(title);
    steps_.push_back([=](GtkWidget* w, int) {
      return title_of(w) == title && GTK_IS_DIALOG(w) && respond(w, response);
    });
    return *this;
  }
  // The dialog titled `title` is handed to `act`, at every poll until it
  // returns true (it answered the dialog).
  DialogScript& act(const std::string& title, std::function<bool(GtkWidget*)> act) {
    titles_.push_back(title);
    steps_.push_back([=](GtkWidget* w, int) { return title_of(w) == title && act(w); });
    return *this;
  }
  // Accepts a save chooser with `path` typed (`as_proposed`: once it proposes
  // `path`), an open chooser once `path` is selected.
  DialogScript& chooser(const std::string& title, const std::string& path,
                        bool as_proposed = false) {
    titles_.push_back(title);
    steps_.push_back([=](GtkWidget* w, int polls) {
      return title_of(w) == title && GTK_IS_FILE_CHOOSER(w) && choose(w, path, polls, !as_proposed);
    });
    return *this;
  }
  void start() {
    // Generous: a loaded machine can take seconds to fill a file chooser.
    deadline_ = g_get_monotonic_time() + 30 * G_USEC_PER_SEC;
    source_ = g_timeout_add(20, &DialogScript::poll, this);
    running().push_back(this);
  }
  void stop() {
    if (source_) g_source_remove(source_);
    source_ = 0;
    std::vector<DialogScript*>& r = running();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
  }

  // The main loop's watch, every 50 ms: a modal dialog that no running
  // script answered or expects next, seen so twice in a row, is closed and
  // fails the test, instead of waiting for ever.
  static gboolean watch_unexpected_dialogs(gpointer) {
    static std::vector<GtkWidget*> suspects;
    std::vector<GtkWidget*> now;
    for (GtkWidget* w : visible_toplevels()) {
      if (!GTK_IS_DIALOG(w) || !gtk_window_get_modal(GTK_WINDOW(w))) continue;
      // A chooser a script answered may check the name before it returns.
      if (g_object_get_data(G_OBJECT(w), "answered by a script")) continue;
      bool expected = false;
      for (const DialogScript* s : running()) expected = expected || s->expects(w);
      if (expected) continue;
      if (std::find(suspects.begin(), suspects.end(), w) == suspects.end()) {
        now.push_back(w);
        continue;
      }
      ADD_FAILURE() << "a dialog nobody expected: \"" << title_of(w) << "\" " << message_text(w);
      respond(w, CLOSE_BY_TITLE_BAR);
    }
    suspects = now;
    return TRUE;
  }
  bool finished() const { return texts_.size() == steps_.size(); }
  size_t answered() const { return texts_.size(); }
  // Text of the message dialog answered by step i.
  std::string text(size_t i) const { return i < texts_.size() ? texts_[i] : ""; }
  // The window the dialog answered by step i stood over (its transient parent).
  GtkWidget* parent(size_t i) const { return i < parents_.size() ? parents_[i] : nullptr; }

 private:
  using Step = std::function<bool(GtkWidget*, int)>;  // true when answered

  static std::vector<DialogScript*>& running() {
    static std::vector<DialogScript*> scripts;
    return scripts;
  }
  // Whether the next step is for `w` (found by its title).
  bool expects(GtkWidget* w) const {
    return source_ && !finished() && titles_[texts_.size()] == title_of(w);
  }

  static bool respond(GtkWidget* w, gint response) {
    if (response == CLOSE_BY_TITLE_BAR)
      send_delete_event(w);
    else
      gtk_dialog_response(GTK_DIALOG(w), response);
    return true;
  }
  // Folders and selections change asynchronously: wait, asking again now and then.
  static bool choose(GtkWidget* w, const std::string& path, int polls, bool set) {
    GtkFileChooser* c = GTK_FILE_CHOOSER(w);
    const bool type = set && gtk_file_chooser_get_action(c) == GTK_FILE_CHOOSER_ACTION_SAVE;
    const std::string dir = path.substr(0, path.rfind('/'));
    gchar* now = type ? gtk_file_chooser_get_current_folder(c) : gtk_file_chooser_get_filename(c);
    const bool ready = now && (type ? dir : path) == now;
    g_free(now);
    if (!ready) {
      if (set && polls % 25 == 0)
        type ? gtk_file_chooser_set_current_folder(c, dir.c_str())
             : gtk_file_chooser_set_filename(c, path.c_str());
      return false;
    }
    if (type) gtk_file_chooser_set_current_name(c, path.substr(dir.size() + 1).c_str());
    gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_ACCEPT);
    return true;
  }
  static gboolean poll(gpointer self_p) {
    auto* self = static_cast<DialogScript*>(self_p);
    const bool late = g_get_monotonic_time() > self->deadline_;
    if (late) ADD_FAILURE() << "dialog " << self->answered() + 1 << " not answered in time";
    for (GtkWidget* w : visible_toplevels()) {
      if (self->finished()) break;
      const std::string text = message_text(w);
      if (late && GTK_IS_DIALOG(w)) respond(w, CLOSE_BY_TITLE_BAR);
      if (!late && self->steps_[self->texts_.size()](w, self->polls_++)) {
        g_object_set_data(G_OBJECT(w), "answered by a script", GINT_TO_POINTER(1));
        self->texts_.push_back(text);
        self->parents_.push_back(GTK_WIDGET(gtk_window_get_transient_for(GTK_WINDOW(w))));
        break;
      }
    }
    if (!late && !self->finished()) return TRUE;
    self->source_ = 0;
    return FALSE;
  }

  std::vector<Step> steps_;
  std::vector<std::string> titles_;
  std::vector<std::string> texts_;
  std::vector<GtkWidget*> parents_;
  int polls_ = 0;
  guint source_ = 0;
  gint64 deadline_ = 0;
};

// Back to the Idle state after start-up: no editor, no other window.
inline void reset_to_idle() {
  destroy_editor();
  for (GtkWidget* w : visible_toplevels())
    if (w != window_main) gtk_widget_destroy(w);
  new_preset = generated = 0;
  mv_selector = MV517;
  set_command_state(APP_IDLE);
  app_quit_requested = false;
  savename[0] = '\0';
  filename.clear();
  current_open_folder.clear();
  current_save_folder.clear();
  pump();
}

// Calls `f` on `w` and on every widget inside it, depth first.
inline void for_each_widget(GtkWidget* w, const std::function<void(GtkWidget*)>& f) {
  f(w);
  if (!GTK_IS_CONTAINER(w)) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(w));
  for (GList* l = children; l; l = l->next) for_each_widget(GTK_WIDGET(l->data), f);
  g_list_free(children);
}

// Each label, combo entry, longest name and spin range end that does not fit
// its room, measured with Pango in its widget's font (2 pixels of padding).
inline std::set<std::string> misfits(GtkWidget* window) {
  std::set<std::string> out;
  const auto check = [&](const std::string& text, int need, int room) {
    if (need > room) out.insert(text + ": " + std::to_string(need) + " > " + std::to_string(room));
  };
  const auto width_of = [](PangoLayout* layout, bool own = false) {
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    if (own) g_object_unref(layout);
    return width;
  };
  for_each_widget(window, [&](GtkWidget* w) {
    if (GTK_IS_LABEL(w) && gtk_widget_get_visible(w)) {
      gint xpad, ypad, x = 0, y;
      gtk_misc_get_padding(GTK_MISC(w), &xpad, &ypad);
      if (!gtk_widget_get_mapped(w) || !gtk_widget_translate_coordinates(w, window, 0, 0, &x, &y))
        x = 0;
      check(gtk_label_get_text(GTK_LABEL(w)), width_of(gtk_label_get_layout(GTK_LABEL(w))),
            std::min(w->allocation.width - 2 * xpad, window->allocation.width - x));
    } else if (GTK_IS_COMBO_BOX(w) && gtk_widget_get_mapped(w)) {
      GtkWidget* cell = gtk_bin_get_child(GTK_BIN(w));
      GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(w));
      GtkTreeIter it;
      for (int i = 0; gtk_tree_model_iter_nth_child(model, &it, nullptr, i); ++i) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &it, 0, &text, -1);
        check(text, width_of(gtk_widget_create_pango_layout(cell, text), true) + 4,
              cell->allocation.width);
        g_free(text);
      }
    } else if (GTK_IS_ENTRY(w) && !GTK_IS_SPIN_BUTTON(w) && GTK_ENTRY(w)->text_area &&
               gtk_entry_get_max_length(GTK_ENTRY(w)) > 0 && gtk_widget_get_mapped(w)) {
      // A name field shows its longest name, as many "W" as it takes.
      gint width, height;
      gdk_drawable_get_size(GTK_ENTRY(w)->text_area, &width, &height);
      const std::string longest(gtk_entry_get_max_length(GTK_ENTRY(w)), 'W');
      check(longest, width_of(gtk_widget_create_pango_layout(w, longest.c_str()), true) + 4, width);
    } else if (GTK_IS_SPIN_BUTTON(w) && GTK_ENTRY(w)->text_area) {  // realized
      gint width, height;
      gdk_drawable_get_size(GTK_ENTRY(w)->text_area, &width, &height);
      GtkAdjustment* a = gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(w));
      for (double v : {a->lower, a->upper}) {
        gchar* text = g_strdup_printf("%.*f", gtk_spin_button_get_digits(GTK_SPIN_BUTTON(w)), v);
        check(text, width_of(gtk_widget_create_pango_layout(w, text), true) + 4, width);
        g_free(text);
      }
    }
  });
  return out;
}

// Everything the editor shows but its status bars, with the overview's texts,
// masks and the plots' handles.
inline std::string editor_state() {
  std::string out;
  for_each_widget(window_preset, [&](GtkWidget* w) {
    if (GTK_IS_ENTRY(w)) out += gtk_entry_get_text(GTK_ENTRY(w));
    if (GTK_IS_LABEL(w) && !gtk_widget_get_ancestor(w, GTK_TYPE_STATUSBAR))
      out += gtk_label_get_text(GTK_LABEL(w));
    if (GTK_IS_COMBO_BOX(w)) out += std::to_string(gtk_combo_box_get_active(GTK_COMBO_BOX(w)));
    if (GTK_IS_TOGGLE_BUTTON(w))
      out += gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w)) ? "+" : "-";
    if (GTK_IS_RANGE(w)) out += std::to_string(gtk_range_get_value(GTK_RANGE(w)));
    out += gtk_widget_get_sensitive(w) ? "\n" : " (insensitive)\n";
  });
  for (int ch = 0; ch < 4; ++ch) {
    out += std::string(level_values[ch]) + dyn_values[ch] + delay_values[ch] +
           std::to_string(gain_temp[ch]);
    for (int b = 0; b < 6; ++b)
      out += " " + std::to_string(x_peq[ch][b]) + "," + std::to_string(y_peq[ch][b]);
    out += " " + std::to_string(x[0][ch]) + " " + std::to_string(x[1][ch]) + "\n";
  }
  for (int m : aktiv) out += " " + std::to_string(m);
  return out;
}

// The bytes of a golden file of tests/data.
inline std::string golden(const std::string& name) {
  return read_file(QBN_TEST_DATA "/" + name);
}

// Every test starts in the Idle state in its scratch folder; the widget
// helpers run the main loop until idle.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_to_idle();
    ASSERT_EQ(g_chdir(dir.path().c_str()), 0);
  }
  void TearDown() override {
    reset_to_idle();
    ASSERT_EQ(g_chdir("/"), 0);
  }

  // Builds the editor of `device` over `p` as Open does (new_preset 0).
  static void open_editor(int device, const preset_t& p) {
    preset = p;
    mv_selector = static_cast<int8_t>(device);
    new_preset = generated = 0;
    mv_start_preset(device);
    pump();
  }
  // Byte for byte: the record holds nothing else either.
  static bool same(const preset_t& a, const preset_t& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
  }
  static bool sensitive(GtkWidget* w) { return w && gtk_widget_get_sensitive(w); }
  static bool visible(GtkWidget* w) { return w && gtk_widget_get_visible(w); }
  // Whether the Save command shows unsaved changes; showing none, as after a save.
  static bool unsaved() { return gtk_widget_get_sensitive(speichern); }
  static void mark_saved() { gtk_widget_set_sensitive(speichern, FALSE); }
  static int active(GtkWidget* combo) { return gtk_combo_box_get_active(GTK_COMBO_BOX(combo)); }
  static double value(GtkWidget* spin) { return gtk_spin_button_get_value(GTK_SPIN_BUTTON(spin)); }
  static bool pressed(GtkWidget* t) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(t)); }
  static std::string entry_text(GtkWidget* entry) { return gtk_entry_get_text(GTK_ENTRY(entry)); }
  static std::string label_text(GtkWidget* label) { return gtk_label_get_text(GTK_LABEL(label)); }
  static int page_of(GtkWidget* book) { return gtk_notebook_get_current_page(GTK_NOTEBOOK(book)); }
  static void activate(GtkWidget* item) {
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
    pump();
  }
  static void choose(GtkWidget* combo, int index) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), index);
    pump();
  }
  static void set_value(GtkWidget* spin, double v) {
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), v);
    pump();
  }
  static void press(GtkWidget* toggle, bool on) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), on);
    pump();
  }
  static void show_page(GtkWidget* book, int page) {
    gtk_notebook_set_current_page(GTK_NOTEBOOK(book), page);
    pump_for(50);
  }
  // A click on a button, or on a tool button's inner button as the mouse does.
  static void click_button(GtkWidget* b) {
    gtk_button_clicked(GTK_BUTTON(GTK_IS_TOOL_BUTTON(b) ? gtk_bin_get_child(GTK_BIN(b)) : b));
    pump();
  }
  // Types `text` at character `pos` (-1: the end) through "insert-text".
  static void type_into(GtkWidget* entry, const std::string& text, gint pos = -1) {
    if (pos < 0) pos = static_cast<gint>(g_utf8_strlen(entry_text(entry).c_str(), -1));
    gtk_editable_insert_text(GTK_EDITABLE(entry), text.c_str(), static_cast<gint>(text.size()),
                             &pos);
    pump();
  }
  // A value typed into a spin button, taken as Enter or leaving the field does.
  static void type_value(GtkWidget* spin, const char* text) {
    gtk_entry_set_text(GTK_ENTRY(spin), text);
    gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
    pump();
  }
  static void set_entry(GtkWidget* entry, const std::string& text) {
    gtk_editable_delete_text(GTK_EDITABLE(entry), 0, -1);
    type_into(entry, text);
  }
  // Delivers `e` to `window` through the toolkit's dispatch (an insensitive
  // widget gets none), then runs the main loop until idle.
  static void dispatch(GdkEvent* e, GdkWindow* window) {
    e->any.window = GDK_WINDOW(g_object_ref(window));
    gtk_main_do_event(e);
    gdk_event_free(e);
    pump();
  }
  // A key as the X server sends it: the window's accelerators look up its key code.
  static void key(guint keyval, guint state = 0) {
    GdkKeymapKey* keys = nullptr;
    gint n = 0;
    gdk_keymap_get_entries_for_keyval(gdk_keymap_get_default(), keyval, &keys, &n);
    GdkEvent* e = gdk_event_new(GDK_KEY_PRESS);
    e->key.keyval = keyval, e->key.state = state, e->key.hardware_keycode = n ? keys[0].keycode : 0;
    g_free(keys);
    dispatch(e, window_preset->window);
  }
  // A press, release or motion of button 1 at (x, y) of a realised widget (a
  // button's own input window) or of `window`.
  static void send_event(GtkWidget* w, GdkEventType type, double x, double y,
                         GdkWindow* window = nullptr) {
    GdkEvent* e = gdk_event_new(type);
    e->any.send_event = TRUE;
    if (type == GDK_MOTION_NOTIFY)
      e->motion.x = x, e->motion.y = y, e->motion.state = GDK_BUTTON1_MASK;
    else
      e->button.x = x, e->button.y = y, e->button.button = 1;
    dispatch(e, window ? window : GTK_IS_BUTTON(w) ? GTK_BUTTON(w)->event_window : w->window);
  }
  // Right-clicks `w` (a plot, a caption's box), activates `path` in the menu.
  static void right_click(GtkWidget* w, std::vector<std::string> path) {
    GdkEvent* e = gdk_event_new(GDK_BUTTON_PRESS);
    e->button.x = 400, e->button.button = 3;  // a left press there would move a handle
    gboolean handled = FALSE;
    g_signal_emit_by_name(w, "button-press-event", e, &handled);
    gdk_event_free(e);
    GtkWidget *menu = nullptr, *item = nullptr;
    for (GtkWidget* t : visible_toplevels())
      if (GTK_IS_MENU(gtk_bin_get_child(GTK_BIN(t)))) menu = gtk_bin_get_child(GTK_BIN(t));
    for (GtkWidget* m = menu; m && !path.empty(); path.erase(path.begin())) {
      item = nullptr;
      for_each_widget(m, [&](GtkWidget* l) {
        if (GTK_IS_LABEL(l) && path[0] == label_text(l)) item = gtk_widget_get_parent(l);
      });
      m = path.size() > 1 && item ? gtk_menu_item_get_submenu(GTK_MENU_ITEM(item)) : nullptr;
    }
    ASSERT_TRUE(menu && item && path.empty());
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
    gtk_menu_popdown(GTK_MENU(menu));
    pump();
  }
  // The text a status bar shows.
  static std::string bar_text(GtkWidget* bar) { return label_text(GTK_STATUSBAR(bar)->label); }
  // The text the status bar of the editor tab shown shows.
  static std::string tab_bar_text() {
    std::string text;
    GtkWidget* page = gtk_notebook_get_nth_page(
        GTK_NOTEBOOK(notebook), gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)));
    for_each_widget(page, [&](GtkWidget* w) {
      if (GTK_IS_STATUSBAR(w)) text = bar_text(w);
    });
    return text;
  }
  // The pixels of column x of a shown drawing area, top to bottom, once its
  // drawing is done.
  static std::vector<uint32_t> column_pixels(GtkWidget* area, int x) {
    pump_for(150);
    const int h = area->allocation.height;
    GdkPixbuf* pb = gdk_pixbuf_get_from_drawable(nullptr, area->window, nullptr, x, 0, 0, 0, 1, h);
    std::vector<uint32_t> column;
    for (int y = 0; pb && y < h; ++y) {
      const guchar* p = gdk_pixbuf_get_pixels(pb) + y * gdk_pixbuf_get_rowstride(pb);
      column.push_back(p[0] << 16 | p[1] << 8 | p[2]);
    }
    if (pb) g_object_unref(pb);
    return column;
  }
  // {r, g, b} of pixel (x, y) of a shown drawing area, once its drawing is done.
  static std::vector<int> pixel(GtkWidget* area, int x, int y) {
    const std::vector<uint32_t> column = column_pixels(area, x);
    if (y < 0 || y >= int(column.size())) return {};
    return {int(column[y] >> 16), int(column[y] >> 8 & 255), int(column[y] & 255)};
  }

  ScratchDir dir;
};
