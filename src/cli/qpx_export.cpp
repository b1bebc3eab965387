// qpx export FILE: the preset as JSON.
// qpx import JSON -o FILE: a preset file from JSON.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/preset_json.h"
#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "model/editor_findings.h"

namespace {

struct export_options {
  qpx::file_input in;
  std::string out;
};

struct import_options {
  std::string json_file;
  std::string out;
  bool file_ranges = false;
};

// The JSON path of a finding's value.
std::string json_path(const editor_finding_t& f) {
  const std::string channel = "channels[" + std::to_string(f.channel) + "].";
  switch (f.field) {
    case editor_field::level:
      return channel + "gain";
    case editor_field::routing:
      return channel + "routing";
    case editor_field::level_group:
    case editor_field::mute_group:
      return channel + "groups";
    case editor_field::peq_type:
      return channel + "peq[" + std::to_string(f.band) + "].type";
    case editor_field::attack:
      return channel + "dynamics.attack";
    case editor_field::release:
      return channel + "dynamics.release";
    case editor_field::threshold:
      return channel + "dynamics.threshold";
  }
  return channel;
}

// One message per value the editor's fields cannot show, in stored units.
std::vector<std::string> beyond_editor(const preset_t& p, int device) {
  std::vector<std::string> problems;
  for (const editor_finding_t& f : editor_findings(p, device)) {
    const bool group = f.field == editor_field::level_group || f.field == editor_field::mute_group;
    problems.push_back(json_path(f) + ": " + (group ? f.what + " " : "") +
                       std::to_string(f.stored) + " is outside the editor's range (editor " +
                       f.stored_range_text + "; --file-ranges accepts it)");
  }
  return problems;
}

// An MV961 file holds channels A and B only. Say so when the JSON gave
// channels C or D (or their mute flags) values that will not be written.
void warn_unwritten_channels(const preset_t& p) {
  const qpx::json given = qpx::preset_to_json(p, MV961)["channels"];
  const qpx::json defaults = qpx::preset_to_json(preset_def, MV961)["channels"];
  if (given[2] != defaults[2] || given[3] != defaults[3] || (p.mute & 0x0C) != 0) {
    std::cerr << "qpx import: warning: an MV961 file holds channels A and B only; "
                 "the values given for channels C and D are not written\n";
  }
}

}  // namespace

void add_export_command(CLI::App& app) {
  auto opt = std::make_shared<export_options>();
  CLI::App* cmd = app.add_subcommand("export", "Write a preset file as JSON.");
  qpx::add_file_input(cmd, opt->in);
  cmd->add_option("-o,--output", opt->out, "Write the JSON to OUT instead of standard output")
      ->type_name("OUT");
  cmd->footer(
      "Values are the stored integers of the preset record; texts are UTF-8.\n"
      "Exit code 0 on success, 1 when the file cannot be opened or fails its checksum,\n"
      "3 when reading stopped at a problem (the JSON holds what was read).\n");
  cmd->callback([opt] {
    qpx::use_preset_file("export", opt->in, [&](const preset_file_read_t& loaded) {
      const std::string text = qpx::preset_to_json(loaded.preset, loaded.device).dump(2) + "\n";
      qpx::write_output("export", opt->out, text);
    });
  });
}

void add_import_command(CLI::App& app) {
  auto opt = std::make_shared<import_options>();
  CLI::App* cmd =
      app.add_subcommand("import", "Write a preset file from JSON (as 'export' writes it).");
  cmd->add_option("JSON", opt->json_file, "JSON file to read ('-' for standard input)")->required();
  cmd->add_option("-o,--output", opt->out, "Preset file to write")->type_name("FILE")->required();
  cmd->footer(
      "Keys left out keep the default preset's values. Nothing is written when a key is\n"
      "unknown, a value has the wrong type or lies outside the range the editor's fields\n"
      "show (with --file-ranges: the range the file reader accepts), or a name does not\n"
      "fit. Exit code 0 on success, 1 otherwise.\n");
  cmd->add_flag("--file-ranges", opt->file_ranges,
                "Accept every value the file reader accepts, also those the editor cannot show");
  cmd->callback([opt] {
    const std::string text = qpx::read_input("import", opt->json_file);
    qpx::json j;
    if (const std::optional<std::string> problem = qpx::parse_json(text, j))
      qpx::fail("import", qpx::shown_path(opt->json_file) + ": " + *problem +
                              "\nqpx import: nothing written");
    preset_t p{};
    int device = MV517;
    std::vector<std::string> problems = qpx::preset_from_json(j, &p, &device);
    if (problems.empty() && !opt->file_ranges) problems = beyond_editor(p, device);
    if (!problems.empty()) {
      std::string message;
      for (const std::string& problem : problems) message += problem + "\nqpx import: ";
      qpx::fail("import", message + "nothing written");
    }
    if (device == MV961) warn_unwritten_channels(p);
    qpx::write_preset_or_fail("import", opt->out, p, device);
  });
}
