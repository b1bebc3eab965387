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
void add_predict_command(CLI::App& app);   // qpx predict FILE --channel X --measurement M.txt
void add_plot_command(CLI::App& app);      // qpx plot FILE --channel X --kind K -o OUT.png
void add_overview_command(CLI::App& app);  // qpx overview FILE [--input-mode N] -o OUT.png
void add_wizard_command(CLI::App& app);    // qpx wizard --mode M ... | --factory N -o FILE

// Channel tools: copying, EQ filter text in and out, comparing presets.
void add_copy_channel_command(CLI::App& app);  // qpx copy-channel FILE --from A --to B,C -o OUT
void add_eq_import_command(CLI::App& app);     // qpx eq-import FILE --channel X FILTERS -o OUT
void add_eq_export_command(CLI::App& app);     // qpx eq-export FILE --channel X [-o OUT]
void add_diff_command(CLI::App& app);          // qpx diff A B [--json]

// Measurement-driven tuning: the EQ fitted to a target, two channels aligned.
void add_fit_eq_command(CLI::App& app);  // qpx fit-eq FILE --channel X --measurement M -o OUT
void add_align_command(CLI::App& app);   // qpx align FILE --channel X --with Y ... -o OUT

// The preset sheet as a PDF.
void add_sheet_command(CLI::App& app);  // qpx sheet FILE -o SHEET.pdf [--paper a4|letter]
void add_set_command(CLI::App& app);    // qpx set FILE -o OUT KEY=VALUE...
