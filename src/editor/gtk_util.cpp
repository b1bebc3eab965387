#include "editor/gtk_util.h"

#include "editor/preset_verwaltung.h"

void pack(GtkWidget* box, GtkWidget* child, bool expand, bool fill, int padding) {
  gtk_box_pack_start(GTK_BOX(box), child, expand, fill, static_cast<guint>(padding));
}

void pack_end(GtkWidget* box, GtkWidget* child, bool expand, bool fill, int padding) {
  gtk_box_pack_end(GTK_BOX(box), child, expand, fill, static_cast<guint>(padding));
}

GtkWidget* framed(GtkWidget* child, GtkShadowType shadow) {
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(frame), shadow);
  gtk_container_add(GTK_CONTAINER(frame), child);
  return frame;
}

void set_sensitive(GtkWidget* w, bool on) {
  if (w) gtk_widget_set_sensitive(w, on ? TRUE : FALSE);
}

int combo_index(GtkWidget* combo) {
  return combo ? gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) : -1;
}

void add_file_filters(GtkFileChooser* chooser, const file_filters_t& filters) {
  for (const file_filter_t& f : filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, f.name);
    for (const char* pattern : f.patterns) gtk_file_filter_add_pattern(filter, pattern);
    gtk_file_chooser_add_filter(chooser, filter);
  }
}

std::string choose_file_to_open(const char* title, std::string& folder,
                                const file_filters_t& filters, const char* check_label,
                                bool* checked) {
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      title, window_preset ? GTK_WINDOW(window_preset) : nullptr, GTK_FILE_CHOOSER_ACTION_OPEN,
      GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, GTK_STOCK_OPEN, GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  add_file_filters(chooser, filters);
  GtkWidget* check = check_label ? gtk_check_button_new_with_label(check_label) : nullptr;
  if (check) gtk_file_chooser_set_extra_widget(chooser, check);
  gchar* cwd = g_get_current_dir();
  gtk_file_chooser_set_current_folder(chooser, folder.empty() ? cwd : folder.c_str());
  g_free(cwd);

  std::string chosen;
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
      chosen = name;
      g_free(name);
    }
  }
  if (gchar* left = gtk_file_chooser_get_current_folder(chooser)) {
    folder = left;
    g_free(left);
  }
  if (check && checked) *checked = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check));
  gtk_widget_destroy(dialog);
  return chosen;
}
