// Copying channel sections, comparing presets, and the stereo links' sections.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "model/channel_tools.h"
#include "model/preset_diff.h"
#include "model/stereo_link.h"
#include "test_util.h"

namespace {

// The parts ("high-pass", "EQ band 3", ...) in which channel x still differs from y.
std::set<std::string> parts_differing(const preset_t& p, int x, int y) {
  preset_t a = p, b = p;
  b.channel[x] = p.channel[y];
  b.mute = static_cast<uint8_t>((p.mute & ~(1u << x)) | (((p.mute >> y) & 1u) << x));
  std::set<std::string> parts;
  for (const value_difference_t& d : preset_differences(a, MV517, b, MV517)) {
    EXPECT_EQ(d.channel, x) << d.scope;
    parts.insert(d.scope.rfind("channel ", 0) == 0 ? d.scope.substr(10) : d.scope);
  }
  return parts;
}

// A and B differ in every section; after a copy only the parts outside it do.
TEST(CopyChannel, EachSectionCopiesItsPartsAndNothingElse) {
  preset_t base = live_preset();
  base.channel[0].dynamics = {9, 30, -12, -6};
  base.mute |= 0x01;
  const std::set<std::string> all = {"name",      "routing",   "polarity",  "mute",    "high-pass",
                                     "EQ band 1", "EQ band 3", "EQ band 6", "limiter", "delay"};
  ASSERT_EQ(parts_differing(base, 1, 0), all);
  // clang-format off
  const struct { channel_section section; std::set<std::string> copied; } cases[] = {
      {channel_section::crossover, {"high-pass"}}, {channel_section::limiter, {"limiter"}},
      {channel_section::eq, {"EQ band 1", "EQ band 3", "EQ band 6"}}, {channel_section::delay, {"delay"}},
      {channel_section::whole, {"polarity", "mute", "high-pass", "EQ band 1", "EQ band 3",
                                "EQ band 6", "limiter", "delay"}}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(section_label(c.section));
    std::set<std::string> remaining;
    std::set_difference(all.begin(), all.end(), c.copied.begin(), c.copied.end(),
                        std::inserter(remaining, remaining.end()));
    preset_t p = base;
    EXPECT_EQ(copy_to_channels(p, MV517, 0, 0b0010, c.section), 0b0010u);
    EXPECT_EQ(parts_differing(p, 1, 0), remaining);
    for (int ch : {0, 2, 3})
      EXPECT_EQ(std::memcmp(&p.channel[ch], &base.channel[ch], sizeof(channel_t)), 0) << ch;
    EXPECT_EQ(p.mute & 0x0D, base.mute & 0x0D);
    // The same copy again changes nothing.
    EXPECT_EQ(copy_to_channels(p, MV517, 0, 0b0010, c.section), 0u);
  }
  // Targets: the source itself and channels the device lacks are left out;
  // the mask tells which channels changed (D already had A's delay here).
  preset_t p = base;
  p.channel[3].delay = p.channel[0].delay;
  EXPECT_EQ(copy_to_channels(p, MV517, 0, 0b1111, channel_section::delay), 0b0110u);
  p = base;
  EXPECT_EQ(copy_to_channels(p, MV961, 0, 0b1101, channel_section::whole), 0u);
  EXPECT_EQ(copy_to_channels(p, MV961, 1, 0b1101, channel_section::whole), 0b0001u);
  EXPECT_EQ(std::memcmp(&p.channel[2], &base.channel[2], 2 * sizeof(channel_t)), 0);
  EXPECT_STREQ(p.channel[0].name, "Top L");
  EXPECT_EQ(p.mute & 0x01, 0);  // B is not muted, so neither is A now
}

// A channel's menus offer the other open channels, then all of them.
TEST(CopyChannel, MenusOfferTheOtherOpenChannels) {
  const preset_t p = live_preset();
  const auto offered = [&p](unsigned channels, unsigned from, bool with_all) {
    std::string out;
    for (const channel_choice_t& e : channel_choices(p, channels, from, with_all))
      out += e.label + "=" + std::to_string(e.targets) + " ";
    return out;
  };
  EXPECT_EQ(offered(MV517, 1, true),
            "Out A \"Top L\"=1 Out C \"Sub\"=4 Out D \"Fill ←ä\"=8 All channels=13 ");
  EXPECT_EQ(offered(MV961, 0, false) + offered(MV961, 2, true) + offered(5, 0, true),
            "Out B \"Top R\"=2 ");
  // A name is shown without the blanks that pad it (the default names have
  // four), the record keeps them; blanks inside or in front stay.
  preset_t padded = preset_def;
  std::strcpy(padded.channel[2].name, " T  R    ");
  std::string labels;
  for (const channel_choice_t& e : channel_choices(padded, MV517, 0, false))
    labels += e.label + ";";
  EXPECT_EQ(labels, "Out B \"Out B\";Out C \" T  R\";Out D \"Out D\";");
  // Channels fed from different inputs (their routing differs) add signals
  // that are not the same: the legend says so.
  EXPECT_EQ(sum_legend(padded, 0, 2),
            "Sum: Out A \"Out A\" + Out C \" T  R\" (level, polarity and delay included; "
            "different inputs: shown as if one)");
  padded.channel[2].routing = padded.channel[0].routing;
  EXPECT_EQ(measured_sum_legend(padded, 0, 2),
            "Sum: Out A \"Out A\" + Out C \" T  R\" (measured; level, polarity and delay "
            "included)");
  EXPECT_STREQ(padded.channel[0].name, "Out A    ");
}

// One line per differing stored value, in the user's units.
TEST(PresetDiff, LinesInTheUsersUnits) {
  const preset_t base = live_preset();
  // clang-format off
  const struct { void (*change)(preset_t&); int device_b; const char* line; } cases[] = {
      {[](preset_t& p) { p.channel[1].peq[2].freq = 990; }, MV517,
       "Out B \"Top R\"  EQ band 3  frequency  500 Hz -> 990 Hz"},
      {[](preset_t& p) { p.channel[2].gain = -15; }, MV517, "Out C \"Sub\"  level  2.0 dB -> -1.5 dB"},
      {[](preset_t& p) { p.channel[1].peq[3].type = 1; }, MV517,
       "Out B \"Top R\"  EQ band 4  type  OFF -> Shelf (not allowed on this band)"},
      {[](preset_t& p) { p.channel[0].groups |= 0x10; }, MV517,
       "Out A \"Top L\"  mute group  independent (stored 0) -> independent (stored 16)"},
      {[](preset_t& p) { p.channel[2].xo[1].freq[0] = 120; }, MV517,
       "Out C \"Sub\"  low-pass  frequency [0]  110 Hz -> 120 Hz"},
      {[](preset_t& p) { p.channel[3].xo[0].config = 2; }, MV517,
       "Out D \"Fill ←ä\"  high-pass  type  Q 1.2 -> Linkwitz-Riley 4."},
      {[](preset_t& p) { p.mute = 0; }, MV517, "Out D \"Fill ←ä\"  mute  on -> off"},
      {[](preset_t& p) { p.mute |= 0x20; }, MV517, "Preset  mute flags  0x00 -> 0x20"},
      {[](preset_t& p) { std::strcpy(p.name, "a\x1b" "b"); }, MV517,
       "Preset  name  \"Live <A&B>\" -> \"a\\x1bb\""},
      {[](preset_t&) {}, MV961, "Preset  device  MV517 -> MV961"},
      // The same code names another input on the MV961.
      {[](preset_t& p) { p.channel[1].routing = 3; }, MV961,
       "Preset  device  MV517 -> MV961\nOut B \"Top R\"  routing  C/d1(R) -> A+B/d1(L+R)"},
  };
  // clang-format on
  for (const auto& c : cases) {
    preset_t p = base;
    c.change(p);
    std::string lines;
    for (const value_difference_t& d : preset_differences(base, MV517, p, c.device_b, c.device_b))
      lines += difference_line(d, base) + "\n";
    EXPECT_EQ(lines, std::string(c.line) + "\n");
  }
  EXPECT_TRUE(preset_differences(base, MV517, base, MV517).empty());
  // Channels C and D are not compared between two-channel presets.
  preset_t p = base;
  p.channel[2].gain = 0, p.mute = 0;
  EXPECT_TRUE(preset_differences(base, MV961, p, MV961, 2).empty());
}

// Each changed value of channel ch, by the record walk.
std::vector<std::string> changes_of(const preset_t& a, const preset_t& b, int ch) {
  std::vector<std::string> out;
  for (const value_difference_t& d : preset_differences(a, MV517, b, MV517))
    if (d.channel == ch) out.push_back(d.part + " " + d.field + " " + d.after);
  return out;
}

// The partner makes an edit exactly when it is of the crossover, EQ,
// limiter, delay or polarity.
TEST(StereoLink, LinkedSectionsFollowTheRestStaysPerChannel) {
  preset_t before = live_preset();
  copy_linked_sections(before.channel[0], before.channel[1]);
  copy_linked_sections(before.channel[2], before.channel[3]);
  const std::pair<bool, std::function<void(preset_t&, channel_t&, int)>> cases[] = {
      {false, [](preset_t&, channel_t& c, int) { c.name[0] = 'X', c.routing = 7; }},
      {false, [](preset_t&, channel_t& c, int) { c.gain = -120, c.groups ^= 0x32; }},
      {false, [](preset_t& p, channel_t&, int ch) { p.mute ^= 1u << ch; }},
      {true, [](preset_t&, channel_t& c, int) { c.phase ^= 1; }},
      {true,
       [](preset_t&, channel_t& c, int) {
         c.xo[0] = {2, {95, 140}, {7, 7}};
       }},
      {true, [](preset_t&, channel_t& c, int) { c.xo[1].config = 1, c.xo[1].freq[0] = 2500; }},
      {true, [](preset_t&, channel_t& c, int) { c.peq[0].type ^= 1, c.peq[3].q = 40; }},
      {true,
       [](preset_t&, channel_t& c, int) { c.dynamics.threshold = -9, c.dynamics.boost = -7; }},
      {true, [](preset_t&, channel_t& c, int) { c.delay = 1234; }},
  };
  for (const auto& [follows, edit] : cases) {
    for (const int ch : {0, 1, 2, 3}) {
      preset_t after = before;
      edit(after, after.channel[ch], ch);
      const std::vector<std::string> edited = changes_of(before, after, ch);
      ASSERT_FALSE(edited.empty());
      EXPECT_EQ(follow_links(before, after, ch < 2 ? LINK_AB : LINK_CD),
                follows ? 1u << (ch ^ 1) : 0u)
          << edited[0];
      EXPECT_EQ(changes_of(before, after, ch), edited);
      EXPECT_EQ(changes_of(before, after, ch ^ 1), follows ? edited : std::vector<std::string>{});
    }
  }
}

// Both changed: the first channel's value where they disagree; a part each
// changed alone goes across; untouched differences stay. The MV961 has no C+D.
TEST(StereoLink, BothChannelsInOneStepAndThePairsOfADevice) {
  const struct {
    int c_gain, d_gain, d_freq;
    unsigned changed;
  } cases[] = {{60, 60, 0, 0u}, {60, -60, 0, 0b1000u}, {60, 0, 4321, 0b1100u}};
  for (const auto& c : cases) {
    preset_t after = preset_def;
    after.channel[2].peq[1].gain = static_cast<int8_t>(c.c_gain);
    if (c.d_gain) after.channel[3].peq[1].gain = static_cast<int8_t>(c.d_gain);
    if (c.d_freq) after.channel[3].peq[4].freq = static_cast<uint16_t>(c.d_freq);
    EXPECT_EQ(follow_link(preset_def, after, 1), c.changed) << c.d_gain;
    EXPECT_TRUE(linked_sections_equal(after.channel[2], after.channel[3]));
    EXPECT_EQ(after.channel[3].peq[1].gain, c.c_gain);
  }
  preset_t unequal = preset_def;
  unequal.channel[1].peq[5].gain = 33, unequal.channel[1].delay = 500;
  preset_t after = unequal;
  after.channel[1].peq[1].freq = 777;
  EXPECT_TRUE(follow_link(unequal, after, 0) == 0b0001u && after.channel[0].peq[1].freq == 777);
  EXPECT_EQ(linked_differences(after.channel[0], after.channel[1]), "EQ and delay");

  preset_t p = preset_def;
  EXPECT_TRUE(equal_pairs(p, MV517) == (LINK_AB | LINK_CD) && equal_pairs(p, MV961) == LINK_AB);
  p.channel[1].xo[1].q[1] = 9;  // a slot the type does not use still counts
  EXPECT_TRUE(equal_pairs(p, MV517) == LINK_CD && equal_pairs(p, MV961) == 0u);
  EXPECT_TRUE(links_for_device(0xFF, MV517) == 3u && links_for_device(0xFE, MV961) == 0u);
  EXPECT_EQ(follow_link(preset_def, p, 2), 0u);  // no third pair
  p.channel[1].phase = 1, p.channel[1].gain = 5, p.channel[1].dynamics.attack = 9;
  EXPECT_EQ(linked_differences(p.channel[0], p.channel[1]), "crossover, limiter and polarity");
  copy_linked_sections(p.channel[0], p.channel[1]);
  EXPECT_TRUE(linked_sections_equal(p.channel[0], p.channel[1]) && p.channel[1].gain == 5);
}

}  // namespace
