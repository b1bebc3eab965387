// qpx new -o FILE: the file the editor saves for New followed by Save As.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"

namespace {

struct new_options {
  std::string device = "MV517";
  std::string out;
};

}  // namespace

void add_new_command(CLI::App& app) {
  auto opt = std::make_shared<new_options>();
  CLI::App* cmd = app.add_subcommand(
      "new", "Write a new preset file: the default preset as the editor saves it.");
  cmd->add_option("--device", opt->device, "MV517 (four channels, the default) or MV961 (two)")
      ->type_name("DEVICE")
      ->check([](const std::string& value) {
        return qpx::parse_device(value) ? std::string() : "expected MV517 or MV961";
      });
  cmd->add_option("-o,--output", opt->out, "Preset file to write")->type_name("FILE")->required();
  cmd->footer(
      "The file holds the default preset with the crossover Q values the editor sets\n"
      "when it builds its Crossover tab. Exit code 0 on success, 1 when the file\n"
      "cannot be written.\n");
  cmd->callback([opt] {
    const int device = *qpx::parse_device(opt->device);
    // The editor sets every crossover's Q to the value its type fixes when
    // it builds the Crossover tab, so a new preset is saved with those.
    preset_t p = preset_def;
    apply_build_q(p, device);
    qpx::write_preset_or_fail("new", opt->out, p, device);
  });
}
