// QBN - Preset Editor & Wizard: builds the main window, opens the preset
// file named on the command line, and runs the toolkit until the close flow
// ends it.
#include <cstdio>

#include "files/file_dialogs.h"
#include "shell/app.h"
#include "shell/command_line.h"
#include "shell/heap_tuning.h"

namespace {

// Opens the file once the main window is up, as the Open command would.
gboolean open_from_command_line(gpointer data) {
  const std::string* file = static_cast<const std::string*>(data);
  gchar* absolute = g_canonicalize_filename(file->c_str(), nullptr);
  gchar* folder = g_path_get_dirname(absolute);
  current_open_folder = folder;  // where the next Open starts
  open_preset_file(absolute);
  g_free(folder);
  g_free(absolute);
  delete file;
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  // The toolkit's options first, without a display; ours from what is left.
  gtk_parse_args(&argc, &argv);
  const editor_command_line_t cl = parse_editor_command_line(argc, argv);
  switch (cl.action) {
    case editor_command_line_t::HELP:
      std::fputs(editor_help_text().c_str(), stdout);
      return 0;
    case editor_command_line_t::VERSION:
      std::fputs(editor_version_text().c_str(), stdout);
      return 0;
    case editor_command_line_t::USAGE_ERROR:
      std::fprintf(stderr, "qbn-preset-editor: %s\n%s", cl.error.c_str(),
                   editor_usage_text().c_str());
      return 2;
    case editor_command_line_t::RUN:
      break;
  }
  keep_freed_memory_for_redraws();
  gtk_init(&argc, &argv);
  build_main_window();
  if (!cl.file.empty()) g_idle_add(open_from_command_line, new std::string(cl.file));
  gtk_main();
  return 0;
}
