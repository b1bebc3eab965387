// qpx check FILE...: one verdict line per preset file.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "model/editor_findings.h"

namespace {

// The verdict line of one file (without the line feed) and whether the
// file is plainly ok; `strict` adds the values the editor cannot show.
std::string verdict(const std::string& path, bool strict, bool& ok) {
  const preset_file_read_t loaded = qpx::load_preset_file(path, true);
  ok = loaded.whole();
  std::string beyond;
  if (strict && loaded.readable()) {
    beyond = findings_summary(editor_findings(loaded.preset, loaded.device));
    if (!beyond.empty()) ok = false, beyond = ", " + beyond;
  }
  // One file, one line: a name with a line feed shows it escaped.
  const std::string name = qpx::shown_path(path);
  switch (loaded.outcome) {
    case read_outcome::whole:
      return name + ": ok" + beyond;
    case read_outcome::stopped:
      return name + ": ok, " + loaded.problem() + beyond;
    case read_outcome::incomplete:
      return name + ": ok, but it holds no complete preset" + beyond;
    case read_outcome::checksum:
    case read_outcome::cannot_open:
      break;
  }
  return name + ": " + loaded.problem();
}

}  // namespace

void add_check_command(CLI::App& app) {
  auto files = std::make_shared<std::vector<std::string>>();
  auto strict = std::make_shared<bool>(false);
  CLI::App* cmd = app.add_subcommand(
      "check", "Check preset files: checksum and a full read. Prints one line per file.");
  cmd->add_option("FILE", *files, "Preset files to check ('-' for standard input)")->required();
  cmd->add_flag("--strict", *strict,
                "Also report values the editor's fields cannot show (the file reader accepts "
                "wider ranges)");
  cmd->footer(
      "Lines: 'FILE: ok', 'FILE: checksum mismatch', 'FILE: cannot open (reason)',\n"
      "'FILE: ok, reading stopped early (code N: meaning)',\n"
      "'FILE: ok, but it holds no complete preset' (no </PRESET> reached). A FILE name\n"
      "holding control characters shows them escaped (\\x0a), so one file is one line;\n"
      "a FIFO, a pipe or a device is read as a stream of at most 16 MiB.\n"
      "--strict appends ', N values outside the editor's ranges: Out C limiter threshold\n"
      "-30 dB (editor -24..0), ...' and counts such a file as not ok.\n"
      "Exit code 0 when every file is ok, 1 otherwise.\n");
  cmd->callback([files, strict] {
    bool all_ok = true;
    for (const std::string& path : *files) {
      bool ok = false;
      qpx::write_output("check", "", verdict(path, *strict, ok) + "\n");
      all_ok = all_ok && ok;
    }
    if (!all_ok) throw qpx::exit_request{qpx::EXIT_FAIL};
  });
}
