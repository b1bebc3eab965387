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
  return text + ", " + hz_text(xo.freq[xo_slot(xo.config)]);
}

std::string peq_text(int band, const peq_t& p) {
  return band_type_text(band, p) + ", " + hz_text(p.freq) + ", Q " + q_text(p.q) + ", " +
         tenths_db_text(p.gain);
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
    out += row("Level", tenths_db_text(c.gain));
    out += row("Mute", on_off_text((p.mute >> n) & 1));
    out += row("Level group", level_group_text(c.groups, device));
    out += row("Mute group", mute_group_text(c.groups, device));
    out += row("Polarity", polarity_text(c.phase));
    out += row("Delay", delay_text(c.delay, DELAY_M));
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
    out += row("Limiter", "attack " + ms_text(d.attack) + ", release " + release_text(d.release) +
                              ", threshold " + whole_db_text(d.threshold) + ", gain " +
                              whole_db_text(d.boost));
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
