#include "shell/command_line.h"

editor_command_line_t parse_editor_command_line(int argc, const char* const* argv) {
  editor_command_line_t r;
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!options_end && arg == "--") {
      options_end = true;
    } else if (!options_end && (arg == "--help" || arg == "-h")) {
      return editor_command_line_t{editor_command_line_t::HELP, "", ""};
    } else if (!options_end && arg == "--version") {
      return editor_command_line_t{editor_command_line_t::VERSION, "", ""};
    } else if (!options_end && arg.size() > 1 && arg[0] == '-') {
      return editor_command_line_t{editor_command_line_t::USAGE_ERROR, "",
                                   "unknown option '" + arg + "'"};
    } else if (!r.file.empty()) {
      return editor_command_line_t{editor_command_line_t::USAGE_ERROR, "",
                                   "only one preset file can be opened"};
    } else {
      r.file = arg;
    }
  }
  return r;
}

std::string editor_usage_text() {
  return "Usage: qbn-preset-editor [FILE]\n";
}

std::string editor_help_text() {
  return editor_usage_text() +
         "Edit presets of the MV517 and MV961 loudspeaker controllers.\n"
         "\n"
         "With FILE, the preset file opens as the Open command would open it.\n"
         "\n"
         "Options:\n"
         "  -h, --help     show this help and exit\n"
         "  --version      show the version and exit\n"
         "\n"
         "The toolkit's own options (such as --display) are taken as well.\n";
}

std::string editor_version_text() {
  return std::string("qbn-preset-editor ") + QBN_VERSION + "\n";
}
