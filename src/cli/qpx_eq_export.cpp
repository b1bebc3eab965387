// qpx eq-export FILE --channel X [-o OUT]: a channel's EQ bands that are on
// as filter text, the form eq-import reads.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "model/filter_text.h"
#include "model/preset_diff.h"

namespace {

struct eq_export_options {
  qpx::file_input in;
  std::string channel;
  std::string out;
};

}  // namespace

void add_eq_export_command(CLI::App& app) {
  auto opt = std::make_shared<eq_export_options>();
  CLI::App* cmd =
      app.add_subcommand("eq-export", "Write a channel's EQ bands as parametric filter text.");
  qpx::add_file_input(cmd, opt->in);
  qpx::add_channel_option(cmd, opt->channel);
  cmd->add_option("-o,--output", opt->out, "Write the text to OUT instead of standard output")
      ->type_name("OUT");
  cmd->footer(
      "One line per band that is on, after a # comment naming the channel:\n"
      "  Filter 3: ON PK Fc 3150 Hz Gain -2.5 dB Q 2.00\n"
      "  Filter 6: ON HS 6dB Fc 10000 Hz Gain 1.5 dB\n"
      "(N is the band; LS 6dB and HS 6dB are the first-order shelves of bands 1 and 6).\n"
      "'qpx eq-import' of this text gives the same bands.\n"
      "Exit code 0 on success, 1 when the file cannot be opened or fails its checksum\n"
      "or OUT cannot be written, 2 for a usage error, 3 when reading stopped at a\n"
      "problem (the text shows what was read).\n");
  cmd->callback([opt] {
    qpx::use_preset_file("eq-export", opt->in, [&](const preset_file_read_t& loaded) {
      const int ch = qpx::channel_of_device("eq-export", opt->channel, loaded.device);
      const std::string title = "EQ of " + channel_label(loaded.preset, ch);
      qpx::write_output("eq-export", opt->out,
                        export_filter_text(loaded.preset.channel[ch], title));
    });
  });
}
