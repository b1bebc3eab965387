// qpx show FILE: a readable summary of a preset file.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

// One "  Label:      value" line.
std::string row(const std::string& label, const std::string& value) {
  std::string line = "  " + label + ":";
  if (line.size() < 16) line.resize(16, ' ');
  return line + value + "\n";
}

std::string xo_text(int filter, const xo_t& xo) {
  std::string text = xo_type_text(filter, xo.config);
  if (filter == 1 && xo.config == 0) return text;  // low-pass off
  return text + ", " + std::to_string(xo.freq[xo_slot(xo.config)]) + " Hz";
}

std::string peq_text(int band, const peq_t& p) {
  const char* label = peq_type_label(band, peq_type_index(p));
  std::string text = label ? label : "Shelf (not allowed on this band)";
  text += ", " + std::to_string(p.freq) + " Hz";
  text += ", Q " + format_fixed(p.q / 10.0, 1);
  return text + ", " + format_fixed(p.gain / 10.0, 1) + " dB";
}

std::string summary(const preset_t& p, int device) {
  std::string out;
  out += "Device:  " + std::string(device_name(device)) + "\n";
  out += "Name:    \"" + display_name(p.name, PRESET_NAME_MAX) + "\"\n";
  out += "Lock:    " + lock_text(p.lock) + "\n";
  for (int n = 0; n < device; ++n) {
    const channel_t& c = p.channel[n];
    out += "\nChannel " + std::string(1, ::channel_letter(static_cast<unsigned>(n))) + ": \"" +
           display_name(c.name, CHANNEL_NAME_MAX) + "\"\n";
    out += row("Routing", routing_text(device, c.routing));
    out += row("Level", format_fixed(c.gain / 10.0, 1) + " dB");
    out += row("Mute", (p.mute >> n) & 1 ? "on" : "off");
    // Group 2 exists on the MV517 only.
    const int level_group = level_group_index(c.groups);
    const int mute_group = mute_group_index(c.groups);
    const char* const not_here = device == MV961 ? " (not on the MV961)" : "";
    out += row("Level group",
               std::string(level_group_labels[level_group]) + (level_group == 2 ? not_here : ""));
    out += row("Mute group",
               std::string(mute_group_labels[mute_group]) + (mute_group >= 3 ? not_here : ""));
    out += row("Polarity", c.phase ? "180°" : "0°");
    out += row("Delay", format_fixed(c.delay / 100.0, 2) + " m");
    out += row("High-pass", xo_text(0, c.xo[0]));
    out += row("Low-pass", xo_text(1, c.xo[1]));
    bool any_eq = false;
    for (int b = 0; b < 6; ++b) {
      if (!peq_active(c.peq[b])) continue;
      out += row("Filter " + std::to_string(b + 1), peq_text(b, c.peq[b]));
      any_eq = true;
    }
    if (!any_eq) out += row("EQ", "all bands off");
    const dynamics_t& d = c.dynamics;
    out += row("Limiter", "attack " + std::to_string(d.attack) + " ms, release " +
                              std::to_string(d.release * 10) + " ms, threshold " +
                              std::to_string(d.threshold) + " dB, gain " + std::to_string(d.boost) +
                              " dB");
  }
  return out;
}

struct show_options {
  qpx::file_input in;
};

}  // namespace

void add_show_command(CLI::App& app) {
  auto opt = std::make_shared<show_options>();
  CLI::App* cmd = app.add_subcommand("show", "Show a readable summary of a preset file.");
  qpx::add_file_input(cmd, opt->in);
  cmd->footer(
      "Exit code 0 on success, 1 when the file cannot be opened or fails its checksum,\n"
      "3 when reading stopped at a problem (the summary shows what was read).\n");
  cmd->callback([opt] {
    qpx::use_preset_file("show", opt->in, [](const preset_file_read_t& loaded) {
      qpx::write_output("show", "", summary(loaded.preset, loaded.device));
    });
  });
}
