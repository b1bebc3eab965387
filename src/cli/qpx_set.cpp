// qpx set FILE -o OUT ASSIGNMENT...: values set in the user's units by the
// editor's rules, all or nothing.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "model/preset_assign.h"
#include "model/preset_diff.h"

namespace {

struct set_options {
  qpx::file_input in;
  std::string out;
  std::vector<std::string> assignments;
};

}  // namespace

void add_set_command(CLI::App& app) {
  auto opt = std::make_shared<set_options>();
  CLI::App* cmd = app.add_subcommand(
      "set", "Set values of a preset in the user's units, as the editor's fields take them.");
  qpx::add_file_input(cmd, opt->in);
  cmd->add_option("-o,--output", opt->out, "Preset file to write")->type_name("OUT")->required();
  cmd->add_option("ASSIGNMENT", opt->assignments, "KEY=VALUE, applied in order")->required();
  cmd->footer("Keys (X is a channel letter, A-D, A-B on an MV961; keys in either case):\n" +
              assignment_keys_help() +
              "Values are stored as the editor stores a typed value: levels and gains to 0.1 dB,\n"
              "frequencies to whole Hz, Q to 0.1, limiter values to whole units, a delay\n"
              "truncated to whole cm; a level or mute change moves its group, a crossover type\n"
              "fixes its Q, as in the editor. Examples:\n"
              "  qpx set live.qpx -o new.qpx B.name=\"Top R\" B.level=-2.5 C.delay=1.2m \\\n"
              "      B.eq3=PEQ,990Hz,Q2.5,-3.5dB A.hp=LR4,100Hz A.lp=off preset.lock=xo,peq\n"
              "All or nothing: an assignment that cannot be taken is named with the reason and\n"
              "nothing is written. On success every changed value is printed as 'qpx diff'\n"
              "prints it.\n"
              "Exit code 0 on success, 1 when an assignment is refused, FILE cannot be read whole\n"
              "or OUT cannot be written, 2 for a usage error.\n");
  cmd->callback([opt] {
    const preset_file_read_t loaded = qpx::load_whole_or_fail("set", opt->in);
    preset_t p = loaded.preset;
    if (const std::optional<std::string> problem =
            apply_assignments(p, loaded.device, opt->assignments))
      qpx::fail("set", *problem + "; nothing written");
    qpx::write_preset_or_fail("set", opt->out, p, loaded.device);
    std::string report;
    for (const value_difference_t& d : preset_differences(
             loaded.preset, loaded.device, p, loaded.device, static_cast<unsigned>(loaded.device)))
      report += difference_line(d, loaded.preset) + "\n";
    qpx::write_output("set", "", report);
  });
}
