#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/editing.h"
#include "model/editor_fit.h"

namespace {

// What a field's text shows for a stored value, in the field's digits.
TEST(ShownValue, TextOfTheStoredValue) {
  // clang-format off
  const struct { shown_field field; long stored; delay_unit_t unit; int digits; const char* text; }
  cases[] = {
      {shown_field::level, 3, DELAY_M, 1, "0.3"},       {shown_field::level, -999, DELAY_M, 1, "-99.9"},
      {shown_field::peq_gain, -3, DELAY_M, 1, "-0.3"},  {shown_field::peq_q, 13, DELAY_M, 1, "1.3"},
      {shown_field::release, 15, DELAY_M, 0, "150"},    {shown_field::frequency, 12000, DELAY_M, 0, "12000"},
      {shown_field::threshold, -24, DELAY_M, 0, "-24"}, {shown_field::attack, 127, DELAY_M, 0, "127"},
      {shown_field::delay, 80, DELAY_M, 2, "0.80"},     {shown_field::delay, 80, DELAY_MS, 2, "2.33"},
      {shown_field::delay, 80, DELAY_FT, 2, "2.62"},    {shown_field::delay, 40000, DELAY_MS, 2, "1164.82"},
  };
  // clang-format on
  for (const auto& c : cases) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", c.digits, shown_value(c.field, c.stored, c.unit));
    EXPECT_STREQ(text, c.text) << static_cast<int>(c.field) << " " << c.stored;
  }
}

// Every value a widget can be set to stores back as itself.
TEST(ShownValue, StoresBackUnchanged) {
  for (long g = editor_range::gain.lo; g <= editor_range::gain.hi; ++g)
    ASSERT_EQ(db_to_tenths(shown_value(shown_field::level, g)), g);
  for (long q = editor_range::peq_q.lo; q <= editor_range::peq_q.hi; ++q)
    ASSERT_EQ(q_to_stored(shown_value(shown_field::peq_q, q)), q);
  for (long r = editor_range::release.lo; r <= editor_range::release.hi; ++r)
    ASSERT_EQ(release_from_ms(spin_whole(shown_value(shown_field::release, r))), r);
}

// One case: a change to the default preset, the device, the lines expected.
TEST(EditorFindings, ValuesBeyondTheEditorsRanges) {
  using change = std::function<void(preset_t&)>;
  const struct {
    const char* name;
    change apply;
    int device;
    std::vector<std::string> lines;
  } cases[] = {
      {"default", [](preset_t&) {}, MV517, {}},
      {"edges",
       [](preset_t& p) {
         channel_t& c = p.channel[0];
         c.gain = -990, c.routing = 10, c.groups = 0x52, c.peq[0].type = c.peq[5].type = 1;
         c.dynamics = {127, 127, -24, -99};
       },
       MV517,
       {}},
      {"limiter",
       [](preset_t& p) {
         p.channel[2].dynamics.threshold = -30;
         p.channel[0].dynamics.attack = 200, p.channel[1].dynamics.release = 128;
       },
       MV517,
       {"Out A limiter attack 200 ms (editor 0..127)",
        "Out B limiter release 1280 ms (editor 0..1270)",
        "Out C limiter threshold -30 dB (editor -24..0)"}},
      {"level and routing",
       [](preset_t& p) { p.channel[3].gain = -999, p.channel[3].routing = 11; },
       MV517,
       {"Out D level -99.9 dB (editor -99.0..6.0)", "Out D routing 11 (editor 0..10)"}},
      {"groups",
       [](preset_t& p) { p.channel[1].groups = 0x13; },
       MV517,
       {"Out B level group 3 (editor 0..2)", "Out B mute group 0x10 (editor 0x00, 0x20..0x50)"}},
      {"middle shelf",
       [](preset_t& p) { p.channel[0].peq[2].type = 1; },
       MV517,
       {"Out A EQ filter 3 type shelf (editor OFF or PEQ)"}},
      {"MV961 lists",
       [](preset_t& p) { p.channel[1].routing = 4, p.channel[1].groups = 0x42; },
       MV961,
       {"Out B routing 4 (editor 0..3)", "Out B level group 2 (editor 0..1)",
        "Out B mute group 0x40 (editor 0x00, 0x20, 0x30)"}},
      {"MV961 shows no C", [](preset_t& p) { p.channel[2].dynamics.threshold = -30; }, MV961, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    preset_t p = preset_def;
    c.apply(p);
    std::vector<std::string> lines;
    for (const editor_finding_t& f : editor_findings(p, c.device)) lines.push_back(finding_text(f));
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(EditorFindings, SummaryAndStoredRanges) {
  preset_t p = preset_def;
  EXPECT_EQ(findings_summary(editor_findings(p, MV517)), "");
  p.channel[0].gain = 61;
  const auto one = editor_findings(p, MV517);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].stored_range_text, "-990..60");
  EXPECT_EQ(findings_summary(one),
            "1 value outside the editor's ranges: Out A level 6.1 dB (editor -99.0..6.0)");
  p.channel[1].dynamics.release = 255;
  const auto two = editor_findings(p, MV517);
  EXPECT_EQ(two[1].stored_range_text, "0..127");
  EXPECT_EQ(findings_summary(two),
            "2 values outside the editor's ranges: Out A level 6.1 dB "
            "(editor -99.0..6.0), Out B limiter release 2550 ms (editor "
            "0..1270)");
}

// A type change re-reads every band, but a band whose selector shows what
// it holds keeps it: a shelf on a middle band stays until its own selector
// changes.
TEST(PeqTypes, OtherBandsKeepWhatTheirSelectorsShow) {
  channel_t c = preset_def.channel[0];
  c.peq[2].type = 1, c.peq[2].gain = -30;
  int index[6] = {1, 0, 1, 0, 0, 0};  // band 0 switched on; band 2 shows "PEQ"
  const double shown[6] = {2.0, 0, -3.0, 0, 0, 0};
  int16_t rows[6] = {};
  apply_peq_types(c, index, shown, 0, rows);
  EXPECT_EQ(c.peq[0].gain, 20);
  EXPECT_EQ(c.peq[2].type, 1);
  index[2] = 0;
  apply_peq_types(c, index, shown, 2, rows);
  EXPECT_TRUE(c.peq[2].type == 0 && c.peq[2].gain == 0);
}

}  // namespace
