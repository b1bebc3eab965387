// qpx copy-channel FILE --from A --to B,C [--section S] -o OUT: a section of
// one channel (or the whole channel) copied to other channels.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "model/channel_tools.h"

namespace {

struct copy_options {
  qpx::file_input in;
  std::string from;
  std::string to;
  std::string section = "all";
  std::string out;
};

// The channels of a --to list ("B,C" or "all": every other channel) as a
// bit mask; a letter the device lacks or the source channel is a usage
// error.
unsigned target_mask(const std::string& list, int from, int device) {
  if (list == "all" || list == "ALL") return ((1u << device) - 1) & ~(1u << from);
  unsigned mask = 0;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string letter = list.substr(start, end - start);
    if (!qpx::parse_channel_letter(letter))
      qpx::fail("copy-channel",
                "--to " + list + ": expected letters A-D separated by commas, or all",
                qpx::EXIT_USAGE);
    const int ch = qpx::channel_of_device("copy-channel", letter, device, "--to");
    if (ch == from)
      qpx::fail("copy-channel", "--to " + letter + ": that is the channel copied from",
                qpx::EXIT_USAGE);
    mask |= 1u << ch;
    start = end + 1;
  }
  return mask;
}

}  // namespace

void add_copy_channel_command(CLI::App& app) {
  auto opt = std::make_shared<copy_options>();
  CLI::App* cmd = app.add_subcommand(
      "copy-channel", "Copy a channel's crossover, EQ, limiter, delay or all of it to others.");
  qpx::add_file_input(cmd, opt->in);
  cmd->add_option("--from", opt->from, "Channel to copy from (A-D)")
      ->type_name("A|B|C|D")
      ->required();
  cmd->add_option("--to", opt->to, "Channels to copy to, e.g. B,C; 'all' for every other channel")
      ->type_name("LIST")
      ->required();
  cmd->add_option("--section", opt->section, "What to copy (default all)")
      ->type_name("xo|eq|limiter|delay|all")
      ->check(CLI::IsMember({"xo", "eq", "limiter", "delay", "all"}));
  cmd->add_option("-o,--output", opt->out, "Preset file to write")->type_name("OUT")->required();
  cmd->footer(
      "Sections: xo the high-pass and low-pass (types, frequencies, Q), eq the six bands\n"
      "with their types, limiter attack, release, threshold and gain, delay the delay,\n"
      "all the whole channel: everything but its name and routing (level, groups,\n"
      "polarity, mute, crossover, EQ, limiter, delay).\n"
      "Prints what was copied. Exit code 0 on success, 1 when the file cannot be read\n"
      "whole or OUT cannot be written (nothing is written), 2 for a usage error (also a\n"
      "channel the file's device lacks, or --to naming the --from channel).\n");
  cmd->callback([opt] {
    const preset_file_read_t loaded = qpx::load_whole_or_fail("copy-channel", opt->in);
    const int from = qpx::channel_of_device("copy-channel", opt->from, loaded.device, "--from");
    const unsigned targets = target_mask(opt->to, from, loaded.device);
    const channel_section section = *parse_section(opt->section);
    preset_t p = loaded.preset;
    const unsigned changed = copy_to_channels(p, loaded.device, from, targets, section);
    qpx::write_preset_or_fail("copy-channel", opt->out, p, loaded.device);
    qpx::write_output("copy-channel", "", copy_report(from, targets, changed, section) + "\n");
  });
}
