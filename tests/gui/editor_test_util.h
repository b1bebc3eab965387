// Helpers of the editor window tests: building an editor over a given
// preset, driving its controls through the GTK API, reading widgets back.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "gui_test_util.h"

// Builds the editor of `device` over `p` as Open does for a preset that has
// a file (new_preset 0, so a change makes Save sensitive), and shows it.
inline void open_editor(int device, const preset_t& p) {
  preset = p;
  mv_selector = static_cast<int8_t>(device);
  new_preset = 0;
  generated = 0;
  mv_start_preset(device);
  pump();
}

inline preset_t default_preset() {
  preset_t p;
  Create_Default_Preset(&p);
  return p;
}

// The entries of a text selector, in order.
inline std::vector<std::string> combo_entries(GtkWidget* combo) {
  std::vector<std::string> out;
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
  GtkTreeIter it;
  for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok;
       ok = gtk_tree_model_iter_next(model, &it)) {
    gchar* text = nullptr;
    gtk_tree_model_get(model, &it, 0, &text, -1);
    out.push_back(text ? text : "");
    g_free(text);
  }
  return out;
}

inline int active(GtkWidget* combo) {
  return gtk_combo_box_get_active(GTK_COMBO_BOX(combo));
}

inline void choose(GtkWidget* combo, int index) {
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), index);
  pump();
}

inline double value(GtkWidget* spin) {
  return gtk_spin_button_get_value(GTK_SPIN_BUTTON(spin));
}

inline void set_value(GtkWidget* spin, double v) {
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), v);
  pump();
}

inline double fader(GtkWidget* scale) {
  return gtk_range_get_value(GTK_RANGE(scale));
}

inline bool pressed(GtkWidget* toggle) {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggle));
}

inline void press(GtkWidget* toggle, bool on) {
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), on);
  pump();
}

inline std::string entry_text(GtkWidget* entry) {
  return gtk_entry_get_text(GTK_ENTRY(entry));
}

// Types `text` at the cursor position of an entry, as a keyboard or a paste
// does (through "insert-text").
inline void type_into(GtkWidget* entry, const std::string& text) {
  gint pos = gtk_editable_get_position(GTK_EDITABLE(entry));
  gtk_editable_insert_text(GTK_EDITABLE(entry), text.c_str(), static_cast<gint>(text.size()), &pos);
  gtk_editable_set_position(GTK_EDITABLE(entry), pos);
  pump();
}

inline void clear_entry(GtkWidget* entry) {
  gtk_editable_delete_text(GTK_EDITABLE(entry), 0, -1);
  pump();
}

inline std::string label_text(GtkWidget* label) {
  return gtk_label_get_text(GTK_LABEL(label));
}

// Whether the Save command shows unsaved changes.
inline bool unsaved() {
  return gtk_widget_get_sensitive(speichern);
}

// The text of the tab label of notebook page i.
inline std::string tab_text(GtkWidget* book, int i) {
  GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(book), i);
  const char* t = gtk_notebook_get_tab_label_text(GTK_NOTEBOOK(book), page);
  return t ? t : "";
}

// Every descendant of `root` (depth first) that satisfies `match`.
inline void collect(GtkWidget* root, const std::function<bool(GtkWidget*)>& match,
                    std::vector<GtkWidget*>& out) {
  if (match(root)) out.push_back(root);
  if (!GTK_IS_CONTAINER(root)) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(root));
  for (GList* l = children; l; l = l->next) collect(GTK_WIDGET(l->data), match, out);
  g_list_free(children);  // a frame's label widget is among them
}

inline std::vector<GtkWidget*> descendants(GtkWidget* root,
                                           const std::function<bool(GtkWidget*)>& match) {
  std::vector<GtkWidget*> out;
  collect(root, match, out);
  return out;
}

// The labels under `root` whose text is `text`.
inline std::vector<GtkWidget*> labels_with_text(GtkWidget* root, const std::string& text) {
  return descendants(root, [&](GtkWidget* w) { return GTK_IS_LABEL(w) && label_text(w) == text; });
}

// A press of mouse button 1 at (x, y) on a drawing area, through the
// toolkit's event dispatch.
inline void click_at(GtkWidget* area, double x, double y) {
  GdkEvent* event = gdk_event_new(GDK_BUTTON_PRESS);
  event->button.window = GDK_WINDOW(g_object_ref(area->window));
  event->button.send_event = TRUE;
  event->button.x = x;
  event->button.y = y;
  event->button.button = 1;
  gtk_widget_event(area, event);
  gdk_event_free(event);
  pump();
}

// Pointer motion to (x, y) with button 1 held on a drawing area, through
// the toolkit's event dispatch.
inline void drag_to(GtkWidget* area, double x, double y) {
  GdkEvent* event = gdk_event_new(GDK_MOTION_NOTIFY);
  event->motion.window = GDK_WINDOW(g_object_ref(area->window));
  event->motion.send_event = TRUE;
  event->motion.x = x;
  event->motion.y = y;
  event->motion.state = GDK_BUTTON1_MASK;
  gtk_widget_event(area, event);
  gdk_event_free(event);
  pump();
}

// The current picture of a realised, shown widget: RGB bytes row by row.
struct Snapshot {
  int width = 0, height = 0, stride = 0, channels = 0;
  std::vector<guchar> pixels;
  // {r, g, b} of pixel (x, y).
  std::vector<int> at(int x, int y) const {
    const guchar* p = pixels.data() + y * stride + x * channels;
    return {p[0], p[1], p[2]};
  }
};

inline Snapshot snapshot(GtkWidget* w) {
  pump_for(150);  // let the expose handlers draw
  Snapshot s;
  GdkWindow* win = w->window;
  // A widget with its own window draws from (0, 0) of it.
  const bool own_window = gtk_widget_get_has_window(w);
  const int x = own_window ? 0 : w->allocation.x, y = own_window ? 0 : w->allocation.y;
  s.width = w->allocation.width;
  s.height = w->allocation.height;
  GdkPixbuf* pb =
      gdk_pixbuf_get_from_drawable(nullptr, win, nullptr, x, y, 0, 0, s.width, s.height);
  if (!pb) return s;
  s.stride = gdk_pixbuf_get_rowstride(pb);
  s.channels = gdk_pixbuf_get_n_channels(pb);
  const guchar* data = gdk_pixbuf_get_pixels(pb);
  s.pixels.assign(data, data + s.stride * (s.height - 1) + s.width * s.channels);
  g_object_unref(pb);
  return s;
}
