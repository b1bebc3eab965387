// Assignments in the user's units, stored by the editor's rules, all or nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/preset_assign.h"
#include "model/preset_diff.h"
#include "test_util.h"

namespace {

// What the assignments changed in the tuned file, as qpx diff lines.
std::string changes(const std::vector<std::string>& assignments, int device = MV517,
                    preset_t p = live_preset()) {
  const preset_t before = p;
  if (const std::optional<std::string> problem = apply_assignments(p, device, assignments))
    return "refused: " + *problem;
  std::string out;
  for (const value_difference_t& d : preset_differences(before, MV517, p, MV517))
    out += difference_line(d, before) + "\n";
  return out;
}

// Each value is stored as its field in the editor stores what is typed.
TEST(PresetAssign, ValuesAreStoredByTheEditorsRules) {
  // clang-format off
  const struct { std::vector<std::string> set; const char* changed; } cases[] = {
      // A level moves its level group (A and B are Gr 1) by the same step.
      {{"B.level=-2.54"}, "Out A \"Top L\"  level  -3.5 dB -> -2.5 dB\n"
                          "Out B \"Top R\"  level  -3.5 dB -> -2.5 dB\n"},
      {{"C.level=+6 dB"}, "Out C \"Sub\"  level  2.0 dB -> 6.0 dB\n"},
      {{"b.name=\"Top R2\"", "preset.name=Show"},
       "Preset  name  \"Live <A&B>\" -> \"Show\"\nOut B \"Top R\"  name  \"Top R\" -> \"Top R2\"\n"},
      {{"B.eq3=PEQ,990Hz,Q2.54,-3.5dB"}, "Out B \"Top R\"  EQ band 3  frequency  500 Hz -> 990 Hz\n"
                                         "Out B \"Top R\"  EQ band 3  Q  0.7 -> 2.5\n"
                                         "Out B \"Top R\"  EQ band 3  gain  0.0 dB -> -3.5 dB\n"},
      {{"A.eq3.gain=-1.25", "A.eq3.freq=1.2kHz"},
       "Out A \"Top L\"  EQ band 3  frequency  3150 Hz -> 1200 Hz\n"
       "Out A \"Top L\"  EQ band 3  gain  -2.5 dB -> -1.3 dB\n"},
      {{"A.eq3=off"}, "Out A \"Top L\"  EQ band 3  gain  -2.5 dB -> 0.0 dB\n"},
      {{"A.eq1=PEQ"}, "Out A \"Top L\"  EQ band 1  type  Low Shelf -> PEQ\n"},
      {{"B.eq6=HS,8kHz,2dB"}, "Out B \"Top R\"  EQ band 6  type  OFF -> High-Shelf\n"
                              "Out B \"Top R\"  EQ band 6  frequency  10000 Hz -> 8000 Hz\n"
                              "Out B \"Top R\"  EQ band 6  gain  0.0 dB -> 2.0 dB\n"},
      // A delay is truncated to the centimetre: 2.35 ms is 80.7 cm.
      {{"C.delay=2.35ms"}, "Out C \"Sub\"  delay  0.00 m -> 0.80 m\n"},
      {{"C.delay=3 ft", "A.delay=115cm"}, "Out C \"Sub\"  delay  0.00 m -> 0.91 m\n"},
      {{"C.polarity=inverted", "B.polarity=0"}, "Out B \"Top R\"  polarity  180° -> 0°\n"
                                                "Out C \"Sub\"  polarity  0° -> 180°\n"},
      // A new type fixes the Q slots of its filter, and both slots hold the frequency.
      {{"B.hp=Q1.2,100Hz"}, "Out B \"Top R\"  high-pass  type  Butterworth 2. -> Q 1.2\n"
                            "Out B \"Top R\"  high-pass  frequency  35 Hz -> 100 Hz\n"
                            "Out B \"Top R\"  high-pass  Q [0]  0.7 -> 1.2\n"},
      {{"C.lp=off"}, "Out C \"Sub\"  low-pass  type  Linkwitz-Riley 4. -> OFF\n"},
      {{"C.lp.freq=99.5"}, "Out C \"Sub\"  low-pass  frequency  110 Hz -> 100 Hz\n"},
      {{"D.limiter.threshold=-6.4", "D.limiter.release=155", "D.limiter.attack=20ms"},
       "Out D \"Fill ←ä\"  limiter  attack  1 ms -> 20 ms\n"
       "Out D \"Fill ←ä\"  limiter  release  100 ms -> 150 ms\n"
       "Out D \"Fill ←ä\"  limiter  threshold  0 dB -> -6 dB\n"},
      {{"C.routing=d always"}, "Out C \"Sub\"  routing  A+B/d1(L+R) -> D always\n"},
      {{"D.level_group=gr 2", "D.mute_group=Gr 1 weak"},
       "Out D \"Fill ←ä\"  level group  independent -> Gr 2\n"
       "Out D \"Fill ←ä\"  mute group  Gr 2 weak -> Gr 1 weak\n"},
      // The factory mark stays; the editor's locks are those named.
      {{"preset.lock=xo, peq"}, "Preset  lock  delay, crossover -> parametric EQ, crossover\n"},
      {{"preset.lock=none", "B.mute=off"}, "Preset  lock  delay, crossover -> none\n"},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(changes(c.set), c.changed) << c.set[0];
  // A mute pulls its mute group as the Mute button does; a weak member
  // pulls no strong one.
  const std::vector<std::string> groups = {"A.mute_group=Gr 1 strong", "B.mute_group=Gr 1 weak"};
  preset_t grouped = preset_def;
  ASSERT_FALSE(apply_assignments(grouped, MV517, groups));
  EXPECT_EQ(changes({"A.mute=on"}, MV517, grouped),
            "Out A \"Out A\"  mute  off -> on\nOut B \"Out B\"  mute  off -> on\n");
  EXPECT_EQ(changes({"B.mute=on"}, MV517, grouped), "Out B \"Out B\"  mute  off -> on\n");
}

// A refused assignment names itself and why; nothing is kept.
TEST(PresetAssign, RefusalsChangeNothing) {
  // clang-format off
  const struct { std::vector<std::string> set; const char* refused; int device; } cases[] = {
      {{"B.level=-2", "B.level=-99.96"}, "B.level=-99.96: -99.96 dB is outside -99.0 to +6.0 dB", MV517},
      {{"B.eq3=LS,80Hz,3dB"}, "B.eq3=LS,80Hz,3dB: band 3 cannot be a shelf", MV517},
      {{"B.eq2=PEQ,1kHz"}, "B.eq2=PEQ,1kHz: the band is off: give its gain", MV517},
      {{"A.eq3=PEQ,0.04dB"}, "A.eq3=PEQ,0.04dB: a PEQ band of 0.0 dB is a band that is off", MV517},
      {{"A.eq3=PEQ,Q13"}, "A.eq3=PEQ,Q13: Q 13 is outside 0.7 to 12.5", MV517},
      {{"A.eq3=PEQ,12001Hz"}, "A.eq3=PEQ,12001Hz: 12001 Hz is outside 35 to 12000 Hz", MV517},
      {{"A.eq3=PEQ,3dB,4dB"}, "A.eq3=PEQ,3dB,4dB: \"4dB\" is not a value of a band given once", MV517},
      {{"B.eq2.q=2"}, "B.eq2.q=2: the band is off", MV517},
      {{"A.hp=LR4,8001Hz"}, "A.hp=LR4,8001Hz: 8001 Hz is outside 35 to 8000 Hz", MV517},
      {{"A.lp.freq=200"}, "A.lp.freq=200: the low-pass is off", MV517},
      {{"C.delay=1.2"}, "C.delay=1.2: \"1.2\" needs a unit (m)", MV517},
      {{"C.delay=1,2m"}, "C.delay=1,2m: \"1,2m\": use a decimal point", MV517},
      {{"C.delay=401m"}, "C.delay=401m: 401 m is outside 0 to 400 m", MV517},
      {{"C.delay=12.5cm"}, "C.delay=12.5cm: a delay in cm is a whole number", MV517},
      {{"D.limiter.threshold=-25"}, "D.limiter.threshold=-25: -25 dB is outside -24 to 0 dB", MV517},
      {{"A.name=ten chars!"}, "A.name=ten chars!: \"ten chars!\" has 10 characters, at most 9", MV517},
      {{"A.routing=B always"}, "A.routing=B always: \"B always\" is not a routing of this device", MV517},
      {{"A.level_group=Gr 2"}, "A.level_group=Gr 2: \"Gr 2\" is not a level group of this device", MV961},
      {{"C.level=1"}, "C.level=1: an MV961 has channels A and B", MV961},
      {{"preset.lock=xo,factory"}, "preset.lock=xo,factory: \"factory\" is not a lock", MV517},
      {{"A.colour=red"}, "A.colour=red: unknown key \"colour\"", MV517},
      {{"A.level"}, "A.level: KEY=VALUE expected", MV517},
  };
  // clang-format on
  for (const auto& c : cases) {
    preset_t p = live_preset();
    const std::optional<std::string> problem = apply_assignments(p, c.device, c.set);
    ASSERT_TRUE(problem) << c.refused;
    EXPECT_EQ(problem->rfind(c.refused, 0), 0u) << *problem;
    EXPECT_TRUE(same_preset(p, live_preset())) << c.refused;
  }
  // A long value is quoted briefly.
  preset_t p = live_preset();
  const std::optional<std::string> long_one =
      apply_assignments(p, MV517, {"A.name=" + std::string(5000, 'x')});
  ASSERT_TRUE(long_one);
  EXPECT_LT(long_one->size(), 200u) << *long_one;
}

}  // namespace
