// qpx diff A B [--json]: every stored value in which two preset files
// differ, one line each, in the user's units.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "model/preset_diff.h"

namespace {

struct diff_options {
  std::string a;
  std::string b;
  bool json = false;
};

// Exit codes of diff, as for diff(1): 1 means "different".
constexpr int EXIT_SAME = 0;
constexpr int EXIT_DIFFERENT = 1;
constexpr int EXIT_TROUBLE = 2;

nlohmann::json as_json(const value_difference_t& d, const preset_t& a) {
  nlohmann::json j;
  j["channel"] =
      d.channel < 0
          ? nlohmann::json()
          : nlohmann::json(std::string(1, ::channel_letter(static_cast<unsigned>(d.channel))));
  j["channel_name"] =
      d.channel < 0
          ? nlohmann::json()
          : nlohmann::json(valid_utf8(record_to_utf8(a.channel[d.channel].name, CHANNEL_NAME_MAX)));
  j["part"] = d.part.empty() ? nlohmann::json() : nlohmann::json(d.part);
  j["field"] = d.field;
  j["before"] = valid_utf8(d.before);
  j["after"] = valid_utf8(d.after);
  if (!d.is_name) {
    j["stored_before"] = d.stored_before;
    j["stored_after"] = d.stored_after;
  }
  return j;
}

}  // namespace

void add_diff_command(CLI::App& app) {
  auto opt = std::make_shared<diff_options>();
  CLI::App* cmd = app.add_subcommand(
      "diff", "Compare two preset files: every differing stored value, in the user's units.");
  cmd->add_option("A", opt->a, "First preset file ('-' for standard input)")->required();
  cmd->add_option("B", opt->b, "Second preset file")->required();
  cmd->add_flag("--json", opt->json, "Write the differences as a JSON list of objects");
  cmd->footer(
      "One line per differing value, with the channel's letter and its name in A:\n"
      "  Out B \"Top R\"  EQ band 3  frequency  3150 Hz -> 990 Hz\n"
      "  Preset  name  \"Live\" -> \"Show\"\n"
      "With --json: [{\"channel\": \"B\", \"channel_name\": \"Top R\", \"part\": \"EQ band 3\",\n"
      "  \"field\": \"frequency\", \"before\": \"3150 Hz\", \"after\": \"990 Hz\",\n"
      "  \"stored_before\": 3150, \"stored_after\": 990}, ...] (null channel and part for\n"
      "values of the whole preset; names have no stored numbers).\n"
      "Both files are read as 'qpx check' reads them; a file that is not plainly ok\n"
      "(checksum mismatch, cannot open, reading stopped early, no complete preset) is\n"
      "reported on standard error and not compared. Files of different devices are\n"
      "compared on the channels both have.\n"
      "Exit code 0 when the files hold the same values, 1 when they differ, 2 when a\n"
      "file cannot be compared or for a usage error.\n");
  cmd->callback([opt] {
    if (opt->a == "-" && opt->b == "-")
      qpx::fail("diff", "A and B cannot both be standard input", EXIT_TROUBLE);
    preset_file_read_t files[2];
    bool ok = true;
    const std::string paths[2] = {opt->a, opt->b};
    for (int i = 0; i < 2; ++i) {
      files[i] = qpx::load_preset_file(paths[i], true);
      if (files[i].whole()) continue;
      std::cerr << "qpx diff: " << qpx::shown_path(paths[i]) << ": " << files[i].problem() << '\n';
      ok = false;
    }
    if (!ok) throw qpx::exit_request{EXIT_TROUBLE};
    const preset_t& a = files[0].preset;
    const unsigned channels = static_cast<unsigned>(std::min(files[0].device, files[1].device));
    const std::vector<value_difference_t> diffs =
        preset_differences(a, files[0].device, files[1].preset, files[1].device, channels);
    std::string text;
    if (opt->json) {
      nlohmann::json list = nlohmann::json::array();
      for (const value_difference_t& d : diffs) list.push_back(as_json(d, a));
      text = list.dump(1) + "\n";
    } else {
      for (const value_difference_t& d : diffs) text += difference_line(d, a) + "\n";
    }
    qpx::write_output("diff", "", text);
    if (!diffs.empty()) throw qpx::exit_request{EXIT_DIFFERENT};
  });
}
