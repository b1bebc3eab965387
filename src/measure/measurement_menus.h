// The measurements of the open editor's channels: loading one from the plot
// menus, removing it, and remembering which file belongs to which channel of
// which preset file (settings.h), so that opening the preset file again
// loads them again. New and the wizard start with none. Each plot shows the
// measurement of its channel and the predicted output (plot_content.h).
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "editor/gtk_util.h"
#include "response/plot_content.h"

// Channel ch's measurement for the plots (no grid: none loaded).
plot_measurement_t loaded_measurement(int ch);
// The path of channel ch's measurement file, empty without one.
std::string measurement_path(int ch);

// Reads the measurement file `path` for channel ch of the open editor. A
// refused file is reported in a dialog naming the file, the line and the
// reason, and nothing changes; otherwise it replaces the channel's
// measurement, is remembered for the preset's file, the plots follow, and
// the status bar says what was loaded. Returns whether it was loaded.
bool load_channel_measurement(int ch, const std::string& path);
// Forgets channel ch's measurement (and that it belongs to the file).
void remove_channel_measurement(int ch);

// The file chooser filters of measurement and target curve texts, then
// "All files".
const file_filters_t& measurement_file_filters();

// "Load measurement...": a file chooser with the measurement text filters
// and "All files", then load_channel_measurement.
void choose_channel_measurement(int ch);

// A new editor: no measurements. Then, for a preset opened from a file, the
// measurements remembered for it are loaded again; a file that has gone or
// no longer reads is skipped with one line in the status bar.
void forget_measurements();
void restore_measurements(const std::string& preset_path);
