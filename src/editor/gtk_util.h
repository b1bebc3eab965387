// Small helpers over GTK calls that the editor, the shell and the wizard
// all make.
#pragma once

#include <gtk/gtk.h>

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
