// qpx show FILE: a readable summary of a preset file.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"

namespace {

std::string fmt(const char* format, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

// One "  Label:      value" line.
std::string row(const std::string& label, const std::string& value) {
  std::string line = "  " + label + ":";
  if (line.size() < 16) line.resize(16, ' ');
  return line + value + "\n";
}

// A record text for the terminal: control characters (C0, DEL and the C1
// range that bytes 0x86-0x9F stand for) are shown as \xNN, so a name read
// from a file cannot send escape sequences to the terminal.
std::string display_text(const char* bytes, size_t max_len) {
  std::string out;
  for (size_t i = 0; i < max_len && bytes[i] != '\0'; ++i) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (b < 0x20 || b == 0x7F || (b >= 0x86 && b <= 0x9F)) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", b);
      out += buf;
    } else {
      out += record_to_utf8(&bytes[i], 1);
    }
  }
  return out;
}

std::string lock_text(uint8_t lock) {
  std::string out;
  auto add = [&out](const std::string& name) { out += (out.empty() ? "" : ", ") + name; };
  for (const lock_flag_t& flag : lock_flags) {
    if (lock & flag.mask) add(flag.name);
  }
  if (lock & 0x40) add("bit 6");
  if (lock & LOCK_FACTORY) add("factory preset");
  return out.empty() ? "none" : out;
}

std::string routing_text(int device, uint8_t code) {
  const char* label = routing_label(device, code);
  if (label) return label;
  return "code " + std::to_string(code) + " (no entry on the " + device_name(device) + ")";
}

// Crossover type label by code; the high-pass and the low-pass name the
// codes differently.
std::string xo_type_text(int filter, uint8_t config) {
  if (config > 2) return "code " + std::to_string(config);
  return filter == 0 ? hp_type_labels[hp_index_from_code(config)] : lp_type_labels[config];
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
  text += ", Q " + fmt("%.1f", p.q / 10.0);
  return text + ", " + fmt("%.1f dB", p.gain / 10.0);
}

std::string summary(const preset_t& p, int device) {
  std::string out;
  out += "Device:  " + std::string(device_name(device)) + "\n";
  out += "Name:    \"" + display_text(p.name, PRESET_NAME_MAX) + "\"\n";
  out += "Lock:    " + lock_text(p.lock) + "\n";
  for (int n = 0; n < device; ++n) {
    const channel_t& c = p.channel[n];
    out += "\nChannel " + std::string(1, qpx::channel_letter(n)) + ": \"" +
           display_text(c.name, CHANNEL_NAME_MAX) + "\"\n";
    out += row("Routing", routing_text(device, c.routing));
    out += row("Level", fmt("%.1f dB", c.gain / 10.0));
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
    out += row("Delay", fmt("%.2f m", c.delay / 100.0));
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
