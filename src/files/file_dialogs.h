// Open, Save and Save As: the file choosers, the error and warning dialogs,
// and the state that ties the open preset to its file.
#pragma once

#include <gtk/gtk.h>

#include <optional>
#include <string>

#include "files/preset_file.h"

// Folders the open and save choosers start in; empty until a chooser set
// them (the toolkit's default folder). They live while the program runs.
extern std::string current_open_folder;
extern std::string current_save_folder;
// The file chosen in the open dialog, and the file Save writes to (set by a
// successful Open or Save As; empty until then). A path that does not fit
// `savename` is refused by Open and Save As.
extern std::string filename;
constexpr size_t SAVENAME_SIZE = 4096;  // any path the system can open
extern char savename[SAVENAME_SIZE];
// Set by the save dialog's response handler when the user accepted a name.
extern int save_success;

// Extension of preset files, completed by Save As.
extern const char* const PRESET_EXTENSION;  // ".qpx"

// The last part of `path` ("show.qpx" of "/home/u/show.qpx").
std::string basename_of(const std::string& path);

// A file as a dialog names it: its last part in quotes, or the end of its
// path, each at most about 60 characters, on one line, control characters
// and bytes that are not UTF-8 escaped.
std::string shown_file_name(const std::string& path);
std::string shown_file_path(const std::string& path);

// A modal message dialog (title, bold primary text, secondary text, OK)
// over the editor while one is open, else over the main window; returns
// when it is answered.
void show_message(GtkMessageType type, const char* title, const std::string& primary,
                  const std::string& secondary);

// "activate" of Open: choose a preset file, read it, build its editor.
void open_file(GtkWidget* widget, gpointer data);
// "activate" of Save (data nullptr) and Save As (data not nullptr), and the
// System tab's " Save Preset " button (data 1).
void save_file(GtkWidget* widget, gpointer data);
// "response" of the Save As chooser: completes the extension.
void on_response(GtkDialog* dialog, gint response, gpointer data);
// The non-blocking "Can`t open Factory-Preset!" dialog.
void error_open();

// Reads `path` and, when it is a preset the user may edit, makes it the
// open preset and builds its editor. A file that cannot be read or fails its
// checksum, or a factory preset, is refused with a dialog and changes
// nothing. Returns whether the preset was opened.
bool open_preset_file(const std::string& path);

// Reads `path` as Open does and refuses what Open refuses, saying why: a
// file that cannot be read or fails its checksum ("Cannot <verb> "NAME"",
// the reason, "Nothing was changed."), a factory preset (error_open).
// Returns the read, or nothing when it was refused.
std::optional<preset_file_read_t> read_preset_as_open(const std::string& path, const char* verb);
// The warning Open gives for a read that was not whole; nothing for a whole
// one.
void warn_incomplete_read(const std::string& path, const preset_file_read_t& r);

// Save (save_as false) or Save As (true). Save without a file to write to
// falls back to Save As. Returns true only when the preset was written; a
// cancelled chooser or a failed write (reported in a dialog) returns false
// and leaves the Save target, `new_preset` and the Save command as they were.
bool save_preset(bool save_as);

// `path` with ".qpx" appended unless it already ends with exactly ".qpx".
std::string complete_extension(const std::string& path);
