// Open, Save and Save As. The preset moves between memory and its file only
// here; what could not be read or written is told to the user, and a
// failure leaves the open preset, its file name and its unsaved mark as
// they were.
#include "files/file_dialogs.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "editor/channel_links.h"
#include "editor/preset_verwaltung.h"
#include "files/document.h"
#include "files/preset_file.h"
#include "files/xml.h"
#include "measure/measurement_menus.h"
#include "model/editor_findings.h"
#include "model/editor_undo.h"
#include "model/preset.h"
#include "model/text_format.h"
#include "shell/app.h"
#include "shell/menu_bar.h"

std::string current_open_folder;
std::string current_save_folder;
std::string filename;
char savename[SAVENAME_SIZE] = "";
int save_success = 0;

const char* const PRESET_EXTENSION = ".qpx";

std::string basename_of(const std::string& path) {
  gchar* base = g_path_get_basename(path.c_str());
  std::string result = base;
  g_free(base);
  return result;
}

std::string shown_file_name(const std::string& path) {
  return quoted_excerpt(basename_of(path));
}

std::string shown_file_path(const std::string& path) {
  return tail_excerpt(path);
}

void show_message(GtkMessageType type, const char* title, const std::string& primary,
                  const std::string& secondary) {
  // Over the editor while one is open: with the main window as parent, the
  // window manager would raise the main window over the editor.
  GtkWidget* parent = window_preset ? window_preset : window_main;
  GtkWidget* dialog = gtk_message_dialog_new(
      parent ? GTK_WINDOW(parent) : nullptr,
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), type,
      GTK_BUTTONS_OK, "%s", primary.c_str());
  gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", secondary.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), title);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

namespace {

// The full name accepted in the Save As chooser, extension completed; it
// becomes `savename` only once the preset was written to it.
std::string accepted_name;

std::string dirname_of(const std::string& path) {
  gchar* dir = g_path_get_dirname(path.c_str());
  std::string result = dir;
  g_free(dir);
  return result;
}

// Why a file could not be read at all.
std::string read_failure_reason(const preset_file_read_t& r) {
  if (r.outcome == read_outcome::checksum)
    return std::string(xml_error_text(XML_ERR_CHECKSUM)) +
           ": the file is damaged or was changed outside the editor";
  return std::string(xml_error_text(XML_ERR_OPEN)) + " (" + r.reason + ")";
}

std::string write_failure_reason(uint8_t code) {
  std::string reason = xml_error_text(code);
  if (xml_errno != 0) reason += std::string(" (") + std::strerror(xml_errno) + ")";
  return reason;
}

// A path that does not fit `savename` is refused with a message; `verb`
// is "open" or "save", `outcome` what it means for the user.
bool fits_savename(const std::string& path, const char* verb, const char* outcome) {
  if (path.size() < SAVENAME_SIZE) return true;
  show_message(GTK_MESSAGE_ERROR, "Error!",
               std::string("Cannot ") + verb + " " + shown_file_name(path),
               "Reason: the path is too long (at most " + std::to_string(SAVENAME_SIZE - 1) +
                   " bytes).\nFile: " + shown_file_path(path) + "\n" + outcome);
  return false;
}

// Writes the open preset to `path`. On success the file becomes the Save
// target and the preset counts as saved; on failure the user is told and
// nothing changes.
bool write_preset(const std::string& path) {
  if (!fits_savename(path, "save", "The preset is not saved.")) return false;
  const uint8_t result = xml_write(path.c_str(), &preset, mv_selector);
  if (result != XML_OK) {
    show_message(GTK_MESSAGE_ERROR, "Error!", "Cannot save " + shown_file_name(path),
                 "Reason: " + write_failure_reason(result) + ".\nFile: " + shown_file_path(path) +
                     "\nThe preset is not saved; the file on disk was not changed.");
    return false;
  }
  document_saved(path);
  if (speichern) gtk_widget_set_sensitive(speichern, FALSE);
  editor_history_saved();
  return true;
}

GtkFileFilter* preset_filter(const char* name) {
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_add_pattern(filter, "*.qpx");
  gtk_file_filter_set_name(filter, name);
  return filter;
}

// One warning that lists the values the file holds beyond what the
// editor's fields can show; nothing when there are none.
void warn_editor_ranges(const std::string& path, const preset_t& p, int device) {
  const std::vector<editor_finding_t> findings = editor_findings(p, device);
  if (findings.empty()) return;
  std::string lines;
  for (const editor_finding_t& f : findings) lines += finding_text(f) + "\n";
  show_message(GTK_MESSAGE_WARNING, "Warning!",
               shown_file_name(path) + " holds values outside the editor's ranges",
               lines +
                   "\nThese fields show what they can; the file's value is kept until that "
                   "field is edited.\nFile: " +
                   path);
}

bool save_as() {
  save_success = 0;
  accepted_name.clear();
  // Over the editor, as every dialog of the open editor: a chooser without
  // a parent let the window manager raise the main window over the editor.
  GtkWidget* parent = window_preset ? window_preset : window_main;
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      "Save File", parent ? GTK_WINDOW(parent) : nullptr, GTK_FILE_CHOOSER_ACTION_SAVE,
      GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, GTK_STOCK_SAVE, GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
  GtkFileFilter* filter = preset_filter("MV Preset File (*.qpx)");
  gtk_file_chooser_add_filter(chooser, filter);
  gtk_file_chooser_set_filter(chooser, filter);
  // Until a Save As succeeded, start in the working directory: without a
  // folder the chooser opens on "Recently Used", where a typed name cannot
  // be saved.
  gchar* cwd = g_get_current_dir();
  gtk_file_chooser_set_current_folder(
      chooser, current_save_folder.empty() ? cwd : current_save_folder.c_str());
  g_free(cwd);
  gtk_file_chooser_set_current_name(chooser, record_to_utf8(preset.name, PRESET_NAME_MAX).c_str());
  g_signal_connect(dialog, "response", G_CALLBACK(on_response), nullptr);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_hide(dialog);

  bool written = false;
  if (save_success) {
    save_success = 0;
    written = write_preset(accepted_name);
    if (written) current_save_folder = dirname_of(accepted_name);
  }
  gtk_widget_destroy(dialog);
  return written;
}

}  // namespace

std::string complete_extension(const std::string& path) {
  const size_t n = std::strlen(PRESET_EXTENSION);
  if (path.size() >= n && path.compare(path.size() - n, n, PRESET_EXTENSION) == 0) return path;
  return path + PRESET_EXTENSION;
}

void on_response(GtkDialog* dialog, gint response, gpointer) {
  if (response != GTK_RESPONSE_ACCEPT) return;
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gchar* chosen = gtk_file_chooser_get_filename(chooser);
  if (!chosen) {
    g_signal_stop_emission_by_name(dialog, "response");  // no name: keep asking
    return;
  }
  const std::string path = chosen;
  g_free(chosen);
  const std::string completed = complete_extension(path);
  if (completed != path) {
    // Accept again under the completed name, so that the chooser's
    // overwrite confirmation applies to the file that will be written.
    gchar* folder = gtk_file_chooser_get_current_folder(chooser);
    const bool same_folder = folder && dirname_of(completed) == folder;
    g_free(folder);
    gtk_file_chooser_set_current_name(
        chooser, same_folder ? basename_of(completed).c_str() : completed.c_str());
    g_signal_stop_emission_by_name(dialog, "response");
    gtk_dialog_response(dialog, GTK_RESPONSE_ACCEPT);
    return;
  }
  accepted_name = path;
  save_success = 1;
}

bool save_preset(bool as) {
  if (as || savename[0] == '\0') return save_as();
  return write_preset(savename);
}

void save_file(GtkWidget*, gpointer data) {
  save_preset(data != nullptr);
}

namespace {

// "size-request" of a window whose given width is a minimum: it grows to
// show its whole content in any font.
void at_least_width(GtkWidget*, GtkRequisition* requisition, gpointer width) {
  requisition->width = std::max(requisition->width, GPOINTER_TO_INT(width));
}

}  // namespace

void error_open() {
  GtkWidget* dialog =
      gtk_dialog_new_with_buttons("Error!", GTK_WINDOW(window_main), GTK_DIALOG_DESTROY_WITH_PARENT,
                                  GTK_STOCK_OK, GTK_RESPONSE_NONE, nullptr);
  g_signal_connect_swapped(dialog, "response", G_CALLBACK(gtk_widget_destroy), dialog);
  g_signal_connect_after(dialog, "size-request", G_CALLBACK(at_least_width), GINT_TO_POINTER(240));
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);

  GtkWidget* vbox = gtk_vbox_new(FALSE, 0);
  GtkWidget* hbox = gtk_hbox_new(FALSE, 0);
  gtk_box_pack_start(GTK_BOX(vbox), hbox, FALSE, FALSE, 10);
  gtk_box_pack_start(GTK_BOX(hbox),
                     gtk_image_new_from_stock(GTK_STOCK_DIALOG_ERROR, GTK_ICON_SIZE_DIALOG), FALSE,
                     FALSE, 10);
  GtkWidget* label = gtk_label_new(nullptr);
  gchar* markup = g_markup_printf_escaped("<b>%s</b>", "Can`t open Factory-Preset!");
  gtk_label_set_markup(GTK_LABEL(label), markup);
  g_free(markup);
  gtk_box_pack_start(GTK_BOX(hbox), label, FALSE, FALSE, 5);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), vbox, TRUE, TRUE, 0);
  gtk_widget_show_all(dialog);
}

std::optional<preset_file_read_t> read_preset_as_open(const std::string& path, const char* verb) {
  preset_file_read_t r = read_preset_file(path);
  if (!r.readable()) {
    show_message(GTK_MESSAGE_ERROR, "Error!",
                 std::string("Cannot ") + verb + " " + shown_file_name(path),
                 "Reason: " + read_failure_reason(r) + ".\nFile: " + shown_file_path(path) +
                     "\nNothing was changed.");
    return std::nullopt;
  }
  if (r.preset.lock & LOCK_FACTORY) {
    error_open();
    return std::nullopt;
  }
  return r;
}

void warn_incomplete_read(const std::string& path, const preset_file_read_t& r) {
  if (r.whole()) return;
  const std::string what =
      r.outcome == read_outcome::stopped
          ? std::string(xml_error_text(r.code)) + " (code " + std::to_string(r.code) + ")"
          : std::string("the file holds no complete preset");
  show_message(GTK_MESSAGE_WARNING, "Warning!", shown_file_name(path) + " was not read completely",
               "Reading stopped at: " + what + ".\nFile: " + shown_file_path(path) +
                   "\nSettings after that point show their default values.");
}

bool open_preset_file(const std::string& path) {
  if (!fits_savename(path, "open", "Nothing was changed.")) return false;
  const std::optional<preset_file_read_t> read = read_preset_as_open(path, "open");
  if (!read) return false;
  const preset_file_read_t& r = *read;

  preset = r.preset;
  document_opened(path, r.device);
  // Open is only offered without an editor; should one be open, it is
  // replaced like every editor build replaces the previous one.
  destroy_editor();
  if (toolbar1) gtk_widget_hide(toolbar1);
  mv_start_preset(mv_selector);
  restore_links(path);
  restore_measurements(path);
  warn_incomplete_read(path, r);
  warn_editor_ranges(path, r.preset, r.device);
  return true;
}

void open_file(GtkWidget*, gpointer) {
  GtkWidget* parent = window_preset ? window_preset : window_main;
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      "Open File", parent ? GTK_WINDOW(parent) : nullptr, GTK_FILE_CHOOSER_ACTION_OPEN,
      GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, GTK_STOCK_OPEN, GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  GtkFileFilter* filter = preset_filter("MV Preset-File (*.qpx)");
  gtk_file_chooser_add_filter(chooser, filter);
  gtk_file_chooser_set_filter(chooser, filter);
  if (!current_open_folder.empty())
    gtk_file_chooser_set_current_folder(chooser, current_open_folder.c_str());

  std::string chosen;
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
      chosen = name;
      g_free(name);
    }
  }
  // The next open dialog starts where this one was left, also after Cancel.
  if (!chosen.empty()) {
    current_open_folder = dirname_of(chosen);
  } else if (gchar* folder = gtk_file_chooser_get_current_folder(chooser)) {
    current_open_folder = folder;
    g_free(folder);
  }
  gtk_widget_destroy(dialog);
  if (!chosen.empty()) open_preset_file(chosen);
}
