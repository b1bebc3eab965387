// The About dialog and the how-to window of the "Hilfe" menu.
#include "editor/make_widgets.h"
#include "shell/app.h"

namespace {

void destroy_on_response(GtkDialog* dialog, gint, gpointer) {
  gtk_widget_destroy(GTK_WIDGET(dialog));
}

}  // namespace

void show_info(GtkWidget*, gpointer) {
  GtkWidget* dialog = gtk_dialog_new_with_buttons(
      "Info about Q.B.N Preset Editor & Wizard", GTK_WINDOW(window_main),
      GTK_DIALOG_DESTROY_WITH_PARENT, GTK_STOCK_OK, GTK_RESPONSE_NONE, nullptr);
  gtk_window_set_modal(GTK_WINDOW(dialog), FALSE);
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);

  GtkWidget* outer = gtk_vbox_new(FALSE, 0);
  GtkWidget* inner = gtk_vbox_new(FALSE, 0);
  gtk_box_pack_start(GTK_BOX(outer), inner, FALSE, FALSE, 10);

  GtkWidget* heading_row = gtk_hbox_new(FALSE, 0);
  gtk_box_pack_start(GTK_BOX(heading_row),
                     make_label_with_markup("Q.B.N Preset Editor & Wizard V1.0", 4), FALSE, FALSE,
                     10);
  gtk_box_pack_start(GTK_BOX(inner), heading_row, FALSE, FALSE, 5);

  GtkWidget* text_row = gtk_hbox_new(FALSE, 0);
  gtk_box_pack_start(GTK_BOX(text_row),
                     gtk_label_new("Presets for the MV517 and MV961 loudspeaker controllers:\n"
                                   "edit, generate with the wizard, save as .qpx files."),
                     FALSE, FALSE, 10);
  gtk_box_pack_start(GTK_BOX(inner), text_row, FALSE, FALSE, 0);

  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), outer, TRUE, TRUE,
                     0);
  g_signal_connect(dialog, "response", G_CALLBACK(destroy_on_response), nullptr);
  gtk_widget_show_all(dialog);
}

void other_options(GtkWidget*, gpointer) {
  GtkWidget* window = make_window(700, 750, "How to use Q.B.N Preset Editor & Wizard", 3);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_MOUSE);
  if (GdkPixbuf* icon = app_icon()) {
    gtk_window_set_icon(GTK_WINDOW(window), icon);
    g_object_unref(icon);
  }
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  GtkWidget* column = gtk_vbox_new(FALSE, 0);
  GtkWidget* frame = gtk_frame_new("How to use:");
  gtk_container_add(GTK_CONTAINER(frame), gtk_vbox_new(FALSE, 0));
  gtk_box_pack_start(GTK_BOX(column), frame, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(row), column, TRUE, TRUE, 20);
  gtk_container_add(GTK_CONTAINER(window), row);
  gtk_widget_show_all(window);
}
