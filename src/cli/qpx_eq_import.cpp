// qpx eq-import FILE --channel X FILTERS -o OUT: a measurement program's
// filter text taken into a channel's EQ bands.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "model/filter_text.h"

namespace {

struct eq_import_options {
  qpx::file_input in;
  std::string channel;
  std::string filters;
  bool apply_preamp = false;
  std::string out;
};

}  // namespace

void add_eq_import_command(CLI::App& app) {
  auto opt = std::make_shared<eq_import_options>();
  CLI::App* cmd = app.add_subcommand(
      "eq-import", "Take parametric filters written as text into a channel's EQ bands.");
  qpx::add_file_input(cmd, opt->in);
  cmd->add_option("FILTERS", opt->filters, "Filter text to read ('-' for standard input)")
      ->required();
  qpx::add_channel_option(cmd, opt->channel);
  cmd->add_flag("--apply-preamp", opt->apply_preamp,
                "Add the text's Preamp value to the channel level");
  cmd->add_option("-o,--output", opt->out, "Preset file to write")->type_name("OUT")->required();
  cmd->footer(
      "FILTERS holds one filter a line, as equaliser and measurement programs write them:\n"
      "  Preamp: -4.5 dB\n"
      "  Filter 1: ON PK Fc 125 Hz Gain -3.0 dB Q 2.00\n"
      "  Filter 2: ON LS 6dB Fc 80 Hz Gain 4.0 dB\n"
      "  Filter 3: ON PEQ Fc 1.2 kHz Gain 2.5 dB BW Oct 0.5\n"
      "Types PK and PEQ (peaking), LS, LSC and LS 6dB (low shelf), HS, HSC and HS 6dB\n"
      "(high shelf). The device's shelves are first-order: LS 12dB, HS 12dB and a shelf\n"
      "Q outside about 0.5-0.71 are refused. A program's header lines and other lines\n"
      "that hold no filter are skipped (the report counts them), blank lines and #\n"
      "comments too; 'ON None' slots, OFF filters and 0 dB peaking filters are left out.\n"
      "Peaking filters go to the bands in order, a low shelf to band 1, a high shelf to\n"
      "band 6 (when every 'Filter N' names a band it can take, as eq-export writes them,\n"
      "each goes to band N; otherwise the report says which filter went to which band).\n"
      "Values are rounded to whole Hz, 0.1 dB and Q 0.1 (what was rounded is printed).\n"
      "The preamp is reported; with --apply-preamp it is a level change of the channel,\n"
      "which its level group follows as in the editor.\n"
      "Nothing is taken when a filter line cannot be read (a decimal comma: use a\n"
      "decimal point), names a type the device lacks (LP, HP, NO, AP, ...) or a value\n"
      "outside a band's range (35-12000 Hz, -12.0 to +12.0 dB, Q 0.7-12.5), or when there\n"
      "are more filters than bands: the message names the line and the reason, nothing is\n"
      "written and the exit code is 1. FILTERS is read up to 16 MiB.\n"
      "Exit code 0 on success, 1 as above or when FILE cannot be read whole or OUT\n"
      "cannot be written, 2 for a usage error.\n");
  cmd->callback([opt] {
    if (opt->in.file == "-" && opt->filters == "-")
      qpx::fail("eq-import", "FILE and FILTERS cannot both be standard input", qpx::EXIT_USAGE);
    const preset_file_read_t loaded = qpx::load_whole_or_fail("eq-import", opt->in);
    const int ch = qpx::channel_of_device("eq-import", opt->channel, loaded.device);
    const std::string text = qpx::read_input("eq-import", opt->filters);
    preset_t p = loaded.preset;
    const filter_import_t result = import_filter_text(text, p.channel[ch], opt->apply_preamp);
    if (!result.ok) qpx::fail("eq-import", qpx::shown_path(opt->filters) + ": " + result.message());
    apply_filter_import(p, static_cast<unsigned>(loaded.device), static_cast<unsigned>(ch), result);
    qpx::write_preset_or_fail("eq-import", opt->out, p, loaded.device);
    qpx::write_output("eq-import", "", result.message());
  });
}
