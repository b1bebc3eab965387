#include "editor/gtk_util.h"

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
