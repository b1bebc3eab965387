// Small helpers over GTK calls that the editor, the shell and the wizard
// all make.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

// Box packing as the layouts state it: nothing said means neither expand
// nor fill.
void pack(GtkWidget* box, GtkWidget* child, bool expand, bool fill, int padding);
void pack_end(GtkWidget* box, GtkWidget* child, bool expand, bool fill, int padding);

// A frame without a caption, with the given shadow, around `child`.
GtkWidget* framed(GtkWidget* child, GtkShadowType shadow);

// Sensitivity of a widget that may not exist (null: nothing happens).
void set_sensitive(GtkWidget* w, bool on);

// The active entry of a combo box; -1 for none or a null widget.
int combo_index(GtkWidget* combo);

// A file chooser's filter: its name and the patterns it lets through.
struct file_filter_t {
  const char* name;
  std::vector<const char*> patterns;
};
using file_filters_t = std::vector<file_filter_t>;
// Adds the filters in order; the first is the one shown.
void add_file_filters(GtkFileChooser* chooser, const file_filters_t& filters);

// Runs an open-file chooser titled `title` over the editor, starting in
// `folder` (the working directory when empty), with `filters` and, given a
// `check_label`, a check button under it (off) whose state goes to
// `*checked`. Returns the chosen file (empty: cancelled) and leaves in
// `folder` the folder the chooser was left in.
std::string choose_file_to_open(const char* title, std::string& folder,
                                const file_filters_t& filters, const char* check_label = nullptr,
                                bool* checked = nullptr);
