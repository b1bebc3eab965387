// Copying channel sections and comparing presets value by value.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <string>

#include "model/channel_tools.h"
#include "model/preset_diff.h"
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

}  // namespace
