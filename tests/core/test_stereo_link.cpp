// Stereo links: what the partner follows, both edited at once, a device's pairs.
#include <gtest/gtest.h>

#include <functional>

#include "model/preset_diff.h"
#include "model/stereo_link.h"
#include "test_util.h"

namespace {

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
