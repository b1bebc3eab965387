#include "response/compared_preset.h"

#include <memory>

#include "editor/channel_menus.h"
#include "editor/gtk_util.h"
#include "editor/preset_verwaltung.h"
#include "files/file_dialogs.h"
#include "response/plots.h"

namespace {

struct compared_t {
  std::string name;  // the file's name, for legends
  std::unique_ptr<preset_t> preset;
  int device = MV517;
};
compared_t compared;

// The folder the chooser was left in, for the next one.
std::string compare_folder;

}  // namespace

plot_compare_t compared_preset() {
  return {compared.name, compared.preset.get(), compared.device};
}

bool compare_with_file(const std::string& path) {
  if (!window_preset) return false;
  const std::optional<preset_file_read_t> read = read_preset_as_open(path, "compare with");
  if (!read) return false;
  compared.name = basename_of(path);
  compared.preset = std::make_unique<preset_t>(read->preset);
  compared.device = read->device;
  plots_follow_compare();
  warn_incomplete_read(path, *read);
  return true;
}

void choose_compare_file() {
  if (!window_preset) return;
  const std::string chosen =
      choose_file_to_open("Compare with File", compare_folder,
                          {{"MV Preset-File (*.qpx)", {"*.qpx"}}, {"All files", {"*"}}});
  if (!chosen.empty()) compare_with_file(chosen);
}

void stop_comparing() {
  if (!compared.preset) return;
  compared = compared_t{};
  plots_follow_compare();
  show_tab_message("Comparison removed");
}

void forget_compared_preset() {
  compared = compared_t{};
}
