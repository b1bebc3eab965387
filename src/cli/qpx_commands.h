// The qpx subcommands. Each add_*_command registers one subcommand with its
// options and the callback that runs it; main() in qpx.cpp calls them all.
// A callback ends the program with a code other than 0 by throwing
// qpx::exit_request (see qpx_common.h), usually through qpx::fail().
#pragma once

namespace CLI {
class App;
}

void add_check_command(CLI::App& app);     // qpx check FILE...
void add_show_command(CLI::App& app);      // qpx show FILE
void add_export_command(CLI::App& app);    // qpx export FILE [-o OUT] [--no-checksum]
void add_import_command(CLI::App& app);    // qpx import JSON -o FILE
void add_new_command(CLI::App& app);       // qpx new [--device D] -o FILE
void add_response_command(CLI::App& app);  // qpx response FILE --channel X [-o OUT]
void add_plot_command(CLI::App& app);      // qpx plot FILE --channel X --kind K -o OUT.png
void add_overview_command(CLI::App& app);  // qpx overview FILE [--input-mode N] -o OUT.png
void add_wizard_command(CLI::App& app);    // qpx wizard --mode M ... | --factory N -o FILE

// Channel tools: copying, EQ filter text in and out, comparing presets.
void add_copy_channel_command(CLI::App& app);  // qpx copy-channel FILE --from A --to B,C -o OUT
void add_eq_import_command(CLI::App& app);     // qpx eq-import FILE --channel X FILTERS -o OUT
void add_eq_export_command(CLI::App& app);     // qpx eq-export FILE --channel X [-o OUT]
void add_diff_command(CLI::App& app);          // qpx diff A B [--json]
void add_set_command(CLI::App& app);           // qpx set FILE -o OUT KEY=VALUE...
