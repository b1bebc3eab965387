#include "model/channel_tools.h"

#include <algorithm>
#include <iterator>

#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

struct section_names_t {
  channel_section section;
  const char* name;
  const char* label;
};

constexpr section_names_t kSections[] = {
    {channel_section::crossover, "xo", "crossover"},  {channel_section::eq, "eq", "EQ"},
    {channel_section::limiter, "limiter", "limiter"}, {channel_section::delay, "delay", "delay"},
    {channel_section::whole, "all", "whole channel"},
};

const section_names_t& names(channel_section s) {
  for (const section_names_t& n : kSections)
    if (n.section == s) return n;
  return kSections[4];
}

}  // namespace

const char* section_label(channel_section s) {
  return names(s).label;
}

std::optional<channel_section> parse_section(const std::string& name) {
  for (const section_names_t& n : kSections)
    if (name == n.name) return n.section;
  return std::nullopt;
}

void copy_channel_section(preset_t& p, unsigned from, unsigned to, channel_section s) {
  if (from >= 4 || to >= 4 || from == to) return;
  const channel_t& src = p.channel[from];
  channel_t& dst = p.channel[to];
  switch (s) {
    case channel_section::crossover:
      dst.xo[0] = src.xo[0];
      dst.xo[1] = src.xo[1];
      break;
    case channel_section::eq:
      for (int b = 0; b < 6; ++b) dst.peq[b] = src.peq[b];
      break;
    case channel_section::limiter:
      dst.dynamics = src.dynamics;
      break;
    case channel_section::delay:
      dst.delay = src.delay;
      break;
    case channel_section::whole: {
      channel_t copy = src;
      std::copy(std::begin(dst.name), std::end(dst.name), std::begin(copy.name));
      copy.routing = dst.routing;
      dst = copy;
      const uint8_t bit = static_cast<uint8_t>(1u << to);
      p.mute = static_cast<uint8_t>((p.mute & ~bit) | (((p.mute >> from) & 1u) << to));
      break;
    }
  }
}

unsigned copy_to_channels(preset_t& p, unsigned channels, unsigned from, unsigned targets,
                          channel_section s) {
  unsigned changed = 0;
  if (channels > 4 || from >= channels) return 0;
  for (unsigned to = 0; to < channels; ++to) {
    if (to == from || !(targets & (1u << to))) continue;
    const preset_t before = p;
    copy_channel_section(p, from, to, s);
    if (!presets_equal(before, p)) changed |= 1u << to;
  }
  return changed;
}

std::string copy_report(unsigned from, unsigned targets, unsigned changed, channel_section s) {
  std::string line = std::string("copied the ") + section_label(s) + " of " + channel_letter(from) +
                     " to " + channel_letters(targets);
  if ((changed & targets) != targets)
    line += " (" + channel_letters(targets & ~changed) + " already had them)";
  return line;
}

std::string copy_step_name(unsigned from, unsigned changed, channel_section s) {
  return std::string("copy of the ") + section_label(s) + " of " + channel_letter(from) + " to " +
         channel_letters(changed);
}

std::vector<channel_choice_t> channel_choices(const preset_t& p, unsigned channels, unsigned from,
                                              bool with_all) {
  std::vector<channel_choice_t> out;
  if (channels > 4 || from >= channels) return out;
  unsigned all = 0;
  for (unsigned ch = 0; ch < channels; ++ch) {
    if (ch == from) continue;
    out.push_back({channel_label(p, ch), 1u << ch, static_cast<int>(ch)});
    all |= 1u << ch;
  }
  if (with_all && all) out.push_back({"All channels", all, -1});
  return out;
}

std::string total_legend(const preset_t& p, unsigned ch) {
  return "Total: " + channel_label(p, ch) + " (crossover x EQ)";
}

namespace {

// The sum's legend; two channels fed from different inputs carry signals
// that are not the same, and their sum is shown as if they were.
std::string sum_text(const preset_t& p, unsigned ch, unsigned with, const char* how) {
  const bool same_input = p.channel[ch].routing == p.channel[with].routing;
  return "Sum: " + channel_label(p, ch) + " + " + channel_label(p, with) + " (" + how +
         "level, polarity and delay included" +
         (same_input ? "" : "; different inputs: shown as if one") + ")";
}

}  // namespace

std::string sum_legend(const preset_t& p, unsigned ch, unsigned with) {
  return sum_text(p, ch, with, "");
}

std::string measured_sum_legend(const preset_t& p, unsigned ch, unsigned with) {
  return sum_text(p, ch, with, "measured; ");
}

std::string compare_legend(const std::string& file_name, const preset_t& other, int other_device,
                           unsigned ch, const char* what) {
  const std::string file = text_excerpt(file_name);
  if (ch >= static_cast<unsigned>(other_device == MV961 ? MV961 : MV517))
    return "Compared: " + file + " (" + device_name(other_device) + ") has no channel " +
           static_cast<char>('A' + (ch & 3));
  return "Compared: " + channel_label(other, ch) + " of " + file + " (" + what + ")";
}
