#include "model/stereo_link.h"

#include <vector>

namespace {

// The parts of a channel a link shares, each compared and copied whole: a
// crossover filter with its type and both slots, an EQ band with its type,
// the limiter, the delay, the polarity.
enum part_t {
  PART_HIGH_PASS,
  PART_LOW_PASS,
  PART_BAND_1,
  PART_BAND_6 = PART_BAND_1 + 5,
  PART_LIMITER,
  PART_DELAY,
  PART_POLARITY,
  PART_COUNT
};

bool same_xo(const xo_t& a, const xo_t& b) {
  return a.config == b.config && a.freq[0] == b.freq[0] && a.freq[1] == b.freq[1] &&
         a.q[0] == b.q[0] && a.q[1] == b.q[1];
}

bool same_band(const peq_t& a, const peq_t& b) {
  return a.freq == b.freq && a.q == b.q && a.gain == b.gain && a.type == b.type;
}

bool same_limiter(const dynamics_t& a, const dynamics_t& b) {
  return a.attack == b.attack && a.release == b.release && a.threshold == b.threshold &&
         a.boost == b.boost;
}

bool same_part(const channel_t& a, const channel_t& b, int part) {
  switch (part) {
    case PART_HIGH_PASS:
    case PART_LOW_PASS:
      return same_xo(a.xo[part - PART_HIGH_PASS], b.xo[part - PART_HIGH_PASS]);
    case PART_LIMITER:
      return same_limiter(a.dynamics, b.dynamics);
    case PART_DELAY:
      return a.delay == b.delay;
    case PART_POLARITY:
      return a.phase == b.phase;
    default:
      return same_band(a.peq[part - PART_BAND_1], b.peq[part - PART_BAND_1]);
  }
}

void copy_part(const channel_t& from, channel_t& to, int part) {
  switch (part) {
    case PART_HIGH_PASS:
    case PART_LOW_PASS:
      to.xo[part - PART_HIGH_PASS] = from.xo[part - PART_HIGH_PASS];
      break;
    case PART_LIMITER:
      to.dynamics = from.dynamics;
      break;
    case PART_DELAY:
      to.delay = from.delay;
      break;
    case PART_POLARITY:
      to.phase = from.phase;
      break;
    default:
      to.peq[part - PART_BAND_1] = from.peq[part - PART_BAND_1];
  }
}

// The section a part belongs to, as messages name it.
const char* section_of(int part) {
  if (part <= PART_LOW_PASS) return "crossover";
  if (part <= PART_BAND_6) return "EQ";
  if (part == PART_LIMITER) return "limiter";
  return part == PART_DELAY ? "delay" : "polarity";
}

}  // namespace

unsigned link_pairs_of_device(int device) {
  return device == MV961 ? LINK_AB : LINK_AB | LINK_CD;
}

unsigned links_for_device(unsigned links, int device) {
  return links & link_pairs_of_device(device);
}

std::string link_pair_name(unsigned pair) {
  const char first = static_cast<char>('A' + link_first(pair & 1));
  return std::string(1, first) + "+" + static_cast<char>(first + 1);
}

bool linked_sections_equal(const channel_t& a, const channel_t& b) {
  for (int part = 0; part < PART_COUNT; ++part)
    if (!same_part(a, b, part)) return false;
  return true;
}

std::string linked_differences(const channel_t& a, const channel_t& b) {
  std::vector<const char*> sections;
  for (int part = 0; part < PART_COUNT; ++part) {
    const char* s = section_of(part);
    if (!same_part(a, b, part) && (sections.empty() || sections.back() != s)) sections.push_back(s);
  }
  std::string text;
  for (size_t i = 0; i < sections.size(); ++i)
    text += std::string(i == 0 ? "" : i + 1 == sections.size() ? " and " : ", ") + sections[i];
  return text;
}

void copy_linked_sections(const channel_t& from, channel_t& to) {
  for (int part = 0; part < PART_COUNT; ++part) copy_part(from, to, part);
}

unsigned equal_pairs(const preset_t& p, int device) {
  unsigned pairs = 0;
  for (unsigned pair = 0; pair < LINK_PAIR_COUNT; ++pair)
    if (linked_sections_equal(p.channel[link_first(pair)], p.channel[link_second(pair)]))
      pairs |= 1u << pair;
  return links_for_device(pairs, device);
}

unsigned follow_link(const preset_t& before, preset_t& after, unsigned pair) {
  if (pair >= LINK_PAIR_COUNT) return 0;
  const unsigned first = link_first(pair), second = link_second(pair);
  channel_t& a = after.channel[first];
  channel_t& b = after.channel[second];
  unsigned changed = 0;
  for (int part = 0; part < PART_COUNT; ++part) {
    const bool a_changed = !same_part(before.channel[first], a, part);
    const bool b_changed = !same_part(before.channel[second], b, part);
    if ((!a_changed && !b_changed) || same_part(a, b, part)) continue;
    if (a_changed) {
      copy_part(a, b, part);
      changed |= 1u << second;
    } else {
      copy_part(b, a, part);
      changed |= 1u << first;
    }
  }
  return changed;
}

unsigned follow_links(const preset_t& before, preset_t& after, unsigned links) {
  unsigned changed = 0;
  for (unsigned pair = 0; pair < LINK_PAIR_COUNT; ++pair)
    if (links & (1u << pair)) changed |= follow_link(before, after, pair);
  return changed;
}
