// qpx: command-line companion of the QBN Preset Editor. Checks, shows,
// exports, imports and creates ".qpx" preset files for the MV517 and the
// MV961 with the editor's own file reader and writer.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "model/text_format.h"

int main(int argc, char** argv) {
  CLI::App app{
      "qpx - check, show, compare, convert, edit, plot and generate QBN preset files (.qpx)",
      "qpx"};
  app.require_subcommand(0, 1);
  app.set_version_flag("--version", std::string("qpx ") + QBN_VERSION);
  app.footer(
      "Exit codes: 0 success, 1 failure, 2 usage error, 3 a file was read only up to a problem\n"
      "(diff: 0 equal, 1 different, 2 a file cannot be compared or a usage error).\n"
      "Run 'qpx COMMAND --help' for the options of a command.\n");

  add_check_command(app);
  add_show_command(app);
  add_export_command(app);
  add_import_command(app);
  add_new_command(app);
  add_response_command(app);
  add_predict_command(app);
  add_plot_command(app);
  add_overview_command(app);
  add_wizard_command(app);
  add_copy_channel_command(app);
  add_eq_import_command(app);
  add_eq_export_command(app);
  add_diff_command(app);
  add_fit_eq_command(app);
  add_align_command(app);
  add_sheet_command(app);
  add_set_command(app);
  // Usage errors quote the arguments they refuse: short and escaped.
  app.failure_message([](const CLI::App*, const CLI::Error& e) {
    return bounded_message(e.what()) + "Run with --help for more information.\n";
  });

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return qpx::EXIT_USAGE;
  } catch (const qpx::exit_request& e) {
    return e.code;
  } catch (const std::exception& e) {
    std::cerr << "qpx: " << e.what() << '\n';
    return qpx::EXIT_FAIL;
  }
  if (app.get_subcommands().empty()) {
    std::cerr << "qpx: a command is required\n" << app.help();
    return qpx::EXIT_USAGE;
  }
  return qpx::EXIT_OK;
}
