#include "sheet/print_sheet.h"

#include <ctime>

#include "editor/preset_verwaltung.h"
#include "files/file_dialogs.h"
#include "measure/measurement_menus.h"
#include "model/editing.h"
#include "sheet/sheet_draw.h"
#include "shell/app.h"

namespace {

// The settings of the last print, kept while the program runs.
GtkPrintSettings* last_settings = nullptr;

// The paper of the print context: the whole sheet, in points (the
// operation's unit, full page).
sheet_paper_t paper_of(GtkPrintContext* context) {
  return {gtk_print_context_get_width(context), gtk_print_context_get_height(context)};
}

void begin_print(GtkPrintOperation* op, GtkPrintContext* context, gpointer data) {
  const auto* sheet = static_cast<const sheet_t*>(data);
  gtk_print_operation_set_n_pages(op, sheet_page_count(*sheet, paper_of(context)));
}

void draw_page(GtkPrintOperation*, GtkPrintContext* context, gint page, gpointer data) {
  const auto* sheet = static_cast<const sheet_t*>(data);
  draw_sheet_page(gtk_print_context_get_cairo_context(context), *sheet, page, paper_of(context));
}

// Where "Print to File" proposes to write: beside the preset's file, named
// after it ("live sheet.pdf"); for a preset without a file in the working
// folder, named after the preset. In the format chosen last.
void propose_output_file(GtkPrintSettings* settings) {
  const char* format = gtk_print_settings_get(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT);
  std::string path;
  if (new_preset == 0 && savename[0] != '\0') {
    path = savename;
    const std::string ext = PRESET_EXTENSION;
    if (path.size() > ext.size() && path.compare(path.size() - ext.size(), ext.size(), ext) == 0)
      path.resize(path.size() - ext.size());
  } else {
    gchar* cwd = g_get_current_dir();
    std::string name = record_to_utf8(preset.name, PRESET_NAME_MAX);
    for (char& c : name)
      if (c == '/') c = '-';
    gchar* local = g_filename_from_utf8(name.c_str(), -1, nullptr, nullptr, nullptr);
    path = std::string(cwd) + "/" + (local && *local ? local : "Preset");
    g_free(local);
    g_free(cwd);
  }
  path += std::string(" sheet.") + (format && *format ? format : "pdf");
  if (gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr)) {
    gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
    g_free(uri);
  }
}

}  // namespace

sheet_input_t open_preset_sheet_input() {
  sheet_input_t in;
  in.preset = preset;
  in.device = mv_type == MV961 ? MV961 : MV517;
  in.input_mode = in_mode;
  if (new_preset == 0 && savename[0] != '\0') in.file_name = sheet_file_name(savename);
  if (speichern && gtk_widget_get_sensitive(speichern)) in.file_note = "unsaved changes";
  in.date = sheet_date(std::time(nullptr));
  plot_sources_t sources;
  sources.preset = &in.preset;
  for (int ch = 0; ch < 4; ++ch) sources.measurement[ch] = loaded_measurement(ch);
  add_measured_curves(in, sources);
  return in;
}

GtkPrintOperationResult print_sheet(GtkPrintOperationAction action, const char* export_path) {
  sheet_t sheet = build_sheet(open_preset_sheet_input());
  GtkPrintOperation* op = gtk_print_operation_new();
  gtk_print_operation_set_job_name(op, ("Preset sheet " + sheet.title).c_str());
  gtk_print_operation_set_unit(op, GTK_UNIT_POINTS);
  gtk_print_operation_set_use_full_page(op, TRUE);
  gtk_print_operation_set_embed_page_setup(op, TRUE);
  GtkPrintSettings* settings =
      last_settings ? gtk_print_settings_copy(last_settings) : gtk_print_settings_new();
  propose_output_file(settings);
  gtk_print_operation_set_print_settings(op, settings);
  g_object_unref(settings);
  if (export_path) gtk_print_operation_set_export_filename(op, export_path);
  g_signal_connect(op, "begin-print", G_CALLBACK(begin_print), &sheet);
  g_signal_connect(op, "draw-page", G_CALLBACK(draw_page), &sheet);

  GtkWidget* parent = window_preset ? window_preset : window_main;
  GError* error = nullptr;
  const GtkPrintOperationResult result =
      gtk_print_operation_run(op, action, parent ? GTK_WINDOW(parent) : nullptr, &error);
  if (result == GTK_PRINT_OPERATION_RESULT_APPLY) {
    if (last_settings) g_object_unref(last_settings);
    last_settings = GTK_PRINT_SETTINGS(g_object_ref(gtk_print_operation_get_print_settings(op)));
  } else if (result == GTK_PRINT_OPERATION_RESULT_ERROR) {
    show_message(GTK_MESSAGE_ERROR, "Print", "The preset sheet could not be printed.",
                 error ? error->message : "");
  }
  if (error) g_error_free(error);
  g_object_unref(op);
  return result;
}

void print_preset(GtkWidget*, gpointer) {
  if (window_preset) print_sheet(GTK_PRINT_OPERATION_ACTION_PRINT_DIALOG);
}
