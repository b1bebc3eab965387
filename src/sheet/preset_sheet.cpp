#include "sheet/preset_sheet.h"

#include <cstdio>

#include "files/xml.h"
#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The checksum line's text ("1a2b"), with a note when the file on disk does
// not hold these values (or there is no file).
std::string checksum_text(const sheet_input_t& in, const preset_t& p) {
  const std::optional<uint16_t> crc = written_checksum(p, static_cast<int8_t>(in.device));
  if (!crc) return "unknown (no memory left to compute it)";
  char hex[8];
  std::snprintf(hex, sizeof hex, "%x", *crc);
  const bool file_differs = in.file_name.empty() || !in.file_note.empty();
  return std::string(hex) + (file_differs ? " (of these values as saved)" : "");
}

sheet_section_t preset_section(const sheet_input_t& in, const preset_t& p) {
  sheet_section_t s;
  s.heading = "Preset";
  std::string file = in.file_name.empty() ? "not saved yet" : in.file_name;
  if (!in.file_note.empty()) file += " (" + in.file_note + ")";
  s.rows = {
      {"Name", display_text(p.name, PRESET_NAME_MAX)},
      {"Device", device_name(in.device)},
      {"File", file},
      {"Date", in.date},
      {"Checksum", checksum_text(in, p)},
      {"Lock", lock_text(p.lock)},
  };
  return s;
}

sheet_section_t overview_section(const sheet_input_t& in) {
  sheet_section_t s;
  s.heading = "Overview";
  const char* mode = input_mode_label(in.device, in.input_mode);
  sheet_picture_t picture;
  picture.kind = sheet_picture_kind::overview;
  picture.caption = std::string("Routing and signal flow (input mode: ") +
                    (mode ? mode : "unknown") + ", set on the device)";
  s.pictures.push_back(picture);
  return s;
}

// The filter table: both crossover filters, then the six EQ bands.
sheet_table_t filter_table(const channel_t& c) {
  sheet_table_t t;
  t.header = {"Filter", "Type", "Frequency", "Q", "Gain"};
  t.widths = {11, 20, 11, 5, 10};
  for (int f = 0; f < 2; ++f) {
    const xo_t& xo = c.xo[f];
    const bool off = f == 1 && xo.config == 0;
    t.rows.push_back({{f == 0 ? "High-pass" : "Low-pass"},
                      {xo_type_text(f, xo.config)},
                      {hz_text(xo.freq[xo_slot(xo.config)]), off},
                      {},
                      {}});
  }
  for (int b = 0; b < 6; ++b) {
    const peq_t& band = c.peq[b];
    const bool off = !peq_active(band);
    t.rows.push_back({{"Filter " + std::to_string(b + 1)},
                      {band_type_text(b, band)},
                      {hz_text(band.freq), off},
                      {q_text(band.q), off || band.type != 0},
                      {tenths_db_text(band.gain), off}});
  }
  t.note = "Grey values are stored but have no effect (a filter that is off, the Q of a shelf).";
  return t;
}

sheet_section_t channel_section(const sheet_input_t& in, const preset_t& p, int n) {
  const channel_t& c = p.channel[n];
  const dynamics_t& d = c.dynamics;
  sheet_section_t s;
  s.heading =
      std::string("Out ") + static_cast<char>('A' + n) + "  \"" + channel_name_text(c) + "\"";
  s.columns = 2;
  s.rows = {
      {"Routing", routing_text(in.device, c.routing)},
      {"Level", tenths_db_text(c.gain)},
      {"Level group", level_group_text(c.groups, in.device)},
      {"Mute group", mute_group_text(c.groups, in.device)},
      {"Mute", on_off_text((p.mute >> n) & 1)},
      {"Polarity", polarity_text(c.phase)},
      {"Delay", delay_text(c.delay, DELAY_M) + ", " + delay_text(c.delay, DELAY_MS)},
      {"Limiter threshold", whole_db_text(d.threshold)},
      {"Limiter attack", ms_text(d.attack)},
      {"Limiter release", release_text(d.release)},
      {"Limiter gain", whole_db_text(d.boost)},
  };
  s.table = filter_table(c);
  const sheet_channel_curves_t& extra = in.curves[n];
  s.pictures.push_back({sheet_picture_kind::xo_plot, n, "Crossover", extra.xo});
  s.pictures.push_back({sheet_picture_kind::eq_plot, n, "Parametric EQ", extra.eq});
  return s;
}

}  // namespace

sheet_t build_sheet(const sheet_input_t& in) {
  sheet_t sheet;
  sheet.device = in.device == MV961 ? MV961 : MV517;
  sheet.input_mode = in.input_mode;
  // The crossover Q values the editor fixes when it shows a preset: the
  // sheet of a file is the sheet the editor prints after opening it.
  sheet.preset = in.preset;
  apply_build_q(sheet.preset, sheet.device);
  const preset_t& p = sheet.preset;

  const std::string name = trimmed(display_text(p.name, PRESET_NAME_MAX));
  sheet.title = name.empty() ? "(no name)" : name;
  sheet_input_t fixed = in;
  fixed.device = sheet.device;
  sheet.sections.push_back(preset_section(fixed, p));
  sheet.sections.push_back(overview_section(fixed));
  for (int n = 0; n < sheet.device; ++n) sheet.sections.push_back(channel_section(fixed, p, n));
  return sheet;
}

std::string sheet_file_name(const std::string& path) {
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  const size_t slash = name.rfind('/');
  if (slash != std::string::npos && name.size() > 1) name.erase(0, slash + 1);
  return escaped_text(name);
}

std::string sheet_date(std::time_t t) {
  std::tm local{};
  if (!localtime_r(&t, &local)) return "";
  char text[32];
  return std::strftime(text, sizeof text, "%Y-%m-%d", &local) ? text : "";
}
