#include "model/editor_findings.h"

#include <cstdio>

#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

std::string range_of(value_range_t r) {
  return std::to_string(r.lo) + ".." + std::to_string(r.hi);
}

std::string tenths(long v) {
  return format_fixed(v / 10.0, 1);
}

std::string hex_nibble(int code) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", code);
  return text;
}

// The mute-group codes a device's selector offers.
bool mute_code_shown(int code, int device) {
  const int index = mute_group_index(static_cast<uint8_t>(code));
  const int count = device == MV961 ? 3 : 5;
  return code == 0 || (index != 0 && index < count);
}

struct collector {
  int ch;
  std::vector<editor_finding_t>& out;

  void add(editor_field field, int band, long stored, std::string what, std::string value,
           std::string range, std::string stored_range) {
    out.push_back({ch, field, band, stored, std::move(what), std::move(value), std::move(range),
                   std::move(stored_range)});
  }
  // A field whose stored value is the shown one (whole units).
  void whole(editor_field field, long v, value_range_t r, const char* what, const char* unit) {
    if (!r.contains(v)) add(field, -1, v, what, std::to_string(v) + unit, range_of(r), range_of(r));
  }
};

}  // namespace

std::vector<editor_finding_t> editor_findings(const preset_t& p, int device) {
  std::vector<editor_finding_t> out;
  const int channels = device == MV961 ? MV961 : MV517;
  for (int ch = 0; ch < channels; ++ch) {
    const channel_t& c = p.channel[ch];
    collector add{ch, out};
    const value_range_t gain = editor_range::gain;
    if (!gain.contains(c.gain))
      add.add(editor_field::level, -1, c.gain, "level", tenths(c.gain) + " dB",
              tenths(gain.lo) + ".." + tenths(gain.hi), range_of(gain));
    add.whole(editor_field::routing, c.routing, editor_range::routing(device), "routing", "");
    add.whole(editor_field::level_group, c.groups & 0x0F, editor_range::level_group(device),
              "level group", "");
    const int mute_code = c.groups & 0xF0;
    if (!mute_code_shown(mute_code, device)) {
      const bool mv961 = device == MV961;
      add.add(editor_field::mute_group, -1, mute_code, "mute group", hex_nibble(mute_code),
              mv961 ? "0x00, 0x20, 0x30" : "0x00, 0x20..0x50",
              mv961 ? "0, 32, 48" : "0, 32, 48, 64, 80");
    }
    // Only the first and the last band have a shelf type.
    for (int b = 1; b < 5; ++b)
      if (c.peq[b].type != 0)
        add.add(editor_field::peq_type, b, c.peq[b].type,
                "EQ filter " + std::to_string(b + 1) + " type", "shelf", "OFF or PEQ", "0");
    const dynamics_t& d = c.dynamics;
    add.whole(editor_field::attack, d.attack, editor_range::attack, "limiter attack", " ms");
    const value_range_t release = editor_range::release;
    if (!release.contains(d.release))
      add.add(editor_field::release, -1, d.release, "limiter release",
              std::to_string(d.release * 10) + " ms",
              std::to_string(release.lo * 10) + ".." + std::to_string(release.hi * 10),
              range_of(release));
    add.whole(editor_field::threshold, d.threshold, editor_range::threshold, "limiter threshold",
              " dB");
  }
  return out;
}

std::string finding_text(const editor_finding_t& f) {
  return std::string("Out ") + channel_letter(static_cast<unsigned>(f.channel)) + " " + f.what +
         " " + f.value_text + " (editor " + f.range_text + ")";
}

std::string findings_summary(const std::vector<editor_finding_t>& findings) {
  if (findings.empty()) return "";
  std::string text = std::to_string(findings.size()) +
                     (findings.size() == 1 ? " value" : " values") +
                     " outside the editor's ranges: ";
  for (size_t i = 0; i < findings.size(); ++i) text += (i ? ", " : "") + finding_text(findings[i]);
  return text;
}
