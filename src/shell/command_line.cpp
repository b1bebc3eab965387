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
         "The toolkit's own options (such as --display) are taken as well.\n"
         "\n"
         "On the Crossover and Parametric EQ plots (press one to select its nearest\n"
         "handle and give it the keyboard):\n"
         "  Tab, Shift+Tab   next, previous band that is on (crossover: the other filter)\n"
         "  Left, Right      the filter one plot column lower, higher (Shift: ten)\n"
         "  Up, Down         an EQ band's gain +0.1, -0.1 dB (Shift: 1 dB)\n"
         "  +, -             a peaking band's Q +0.1, -0.1 (Shift: 1)\n"
         "  mouse wheel      over a peaking band's handle: its Q by 0.1 (Shift: gain)\n"
         "  Ctrl+Tab         moves the focus away from the plot\n"
         "Undo and redo: Ctrl+Z undoes the last change of the open preset, Ctrl+Shift+Z\n"
         "and Ctrl+Y redo it (also \"Undo ...\" and \"Redo ...\" in a plot's menu).\n"
         "Right-click a channel's tab, a plot or a channel's name for \"Copy <section>\n"
         "to\" and \"Copy whole channel to\"; the EQ plot's menu also imports filter\n"
         "settings and shows the total response and the sum with another channel.\n"
         "Every plot's menu loads a measurement of the channel's loudspeaker (shown with\n"
         "the predicted output), shows the phase and compares with another preset file;\n"
         "the EQ plot's menu fits the EQ to the measurement and aligns two channels.\n"
         "Channel Setup links pairs of channels; Ctrl+P prints the preset sheet.\n";
}

std::string editor_version_text() {
  return std::string("qbn-preset-editor ") + QBN_VERSION + "\n";
}
