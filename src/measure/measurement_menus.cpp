#include "measure/measurement_menus.h"

#include <algorithm>
#include <memory>

#include "editor/channel_menus.h"
#include "editor/gtk_util.h"
#include "editor/preset_verwaltung.h"
#include "files/document.h"
#include "files/file_dialogs.h"
#include "files/settings.h"
#include "measure/measurement.h"
#include "model/preset_diff.h"
#include "model/text_format.h"
#include "response/plots.h"

namespace {

struct loaded_t {
  std::string path;
  std::string name;  // the file's name, for legends
  std::unique_ptr<grid_measurement_t> grid;
};
loaded_t loaded[4];

// The folder the measurement chooser was left in, for the next one.
std::string measurement_folder;

unsigned open_channels() {
  return std::min(mv_type, 4u);
}

bool is_open_channel(int ch) {
  return window_preset && ch >= 0 && ch < static_cast<int>(open_channels());
}

// The measurements as they are now, remembered for the preset's file (a
// new preset has none yet: Save As remembers them with its file).
void remember() {
  const open_document_t& doc = open_document();
  if (doc.is_new || doc.path.empty()) return;
  const bool ok = change_settings_of_file(doc.path, [](file_settings_t& s) {
    for (int ch = 0; ch < 4; ++ch) s.measurement[ch] = loaded[ch].path;
  });
  if (!ok) show_tab_message(settings_problem());
}

// Reads `path` onto the grid; the refusal's text when it cannot be used.
std::string read_onto_grid(const std::string& path, std::unique_ptr<grid_measurement_t>& grid) {
  const measurement_read_t r = read_measurement_file(path);
  if (!r.ok) return r.message(basename_of(path));
  grid = std::make_unique<grid_measurement_t>();
  measurement_on_grid(r.data, *grid);
  if (std::none_of(std::begin(grid->has), std::end(grid->has), [](bool b) { return b; }))
    return escaped_text(basename_of(path)) + ": no row lies within the plots' 34 Hz to 12.5 kHz";
  return "";
}

void set_loaded(int ch, const std::string& path, std::unique_ptr<grid_measurement_t> grid) {
  loaded[ch].path = path;
  loaded[ch].name = grid ? basename_of(path) : "";
  loaded[ch].grid = std::move(grid);
  plots_follow_measurement(ch);
}

// Save As gives the preset a file (or a new one): the measurements go with it.
void follow_save_as(const std::string&, const std::string&) {
  if (window_preset) remember();
}

}  // namespace

plot_measurement_t loaded_measurement(int ch) {
  if (ch < 0 || ch > 3 || !loaded[ch].grid) return {};
  return {loaded[ch].name, loaded[ch].grid.get()};
}

std::string measurement_path(int ch) {
  return ch >= 0 && ch < 4 ? loaded[ch].path : "";
}

bool load_channel_measurement(int ch, const std::string& path) {
  if (!is_open_channel(ch)) return false;
  std::unique_ptr<grid_measurement_t> grid;
  const std::string refused = read_onto_grid(path, grid);
  if (!refused.empty()) {
    show_message(
        GTK_MESSAGE_ERROR, "Error!", "Cannot load " + shown_file_name(path),
        "Reason: " + refused + ".\nFile: " + shown_file_path(path) + "\nNothing was changed.");
    return false;
  }
  // The plots' legend names the file from now on.
  set_loaded(ch, path, std::move(grid));
  remember();
  return true;
}

void remove_channel_measurement(int ch) {
  if (!is_open_channel(ch) || !loaded[ch].grid) return;
  set_loaded(ch, "", nullptr);
  remember();
  show_tab_message("Measurement of " + channel_label(preset, ch) + " removed");
}

const file_filters_t& measurement_file_filters() {
  static const file_filters_t filters{{"Measurements (*.txt, *.csv, *.frd)",
                                       {"*.txt", "*.TXT", "*.csv", "*.CSV", "*.frd", "*.FRD"}},
                                      {"All files", {"*"}}};
  return filters;
}

void choose_channel_measurement(int ch) {
  if (!is_open_channel(ch)) return;
  const std::string chosen =
      choose_file_to_open("Load Measurement", measurement_folder, measurement_file_filters());
  if (!chosen.empty()) load_channel_measurement(ch, chosen);
}

void forget_measurements() {
  static bool hooked = false;
  if (!hooked) on_document_saved_as(follow_save_as);
  hooked = true;
  for (loaded_t& l : loaded) l = loaded_t{};
}

void restore_measurements(const std::string& preset_path) {
  const file_settings_t s = settings_of_file(preset_path);
  std::string skipped = settings_problem();
  for (int ch = 0; ch < static_cast<int>(open_channels()); ++ch) {
    if (s.measurement[ch].empty()) continue;
    std::unique_ptr<grid_measurement_t> grid;
    const std::string refused = read_onto_grid(s.measurement[ch], grid);
    if (!refused.empty()) {
      skipped += std::string(skipped.empty() ? "" : "; ") + "measurement of " +
                 channel_label(preset, ch) + " not loaded (" + refused + ")";
      continue;
    }
    set_loaded(ch, s.measurement[ch], std::move(grid));
  }
  if (!skipped.empty()) show_tab_message(upper_ascii(skipped.substr(0, 1)) + skipped.substr(1));
}
