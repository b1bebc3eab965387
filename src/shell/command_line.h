// The editor's command line: `qbn-preset-editor [FILE]`, `--help`,
// `--version`. Parsed after the toolkit has taken its own options.
#pragma once

#include <string>

struct editor_command_line_t {
  enum action_t { RUN, HELP, VERSION, USAGE_ERROR } action = RUN;
  std::string file;   // the preset file to open after start-up; empty for none
  std::string error;  // what is wrong, for USAGE_ERROR
};

editor_command_line_t parse_editor_command_line(int argc, const char* const* argv);

// The texts printed for --help, --version and a usage error.
std::string editor_help_text();
std::string editor_version_text();
std::string editor_usage_text();
