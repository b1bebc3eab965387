#include <gtest/gtest.h>

#include "model/editing.h"
#include "model/editor_fit.h"

namespace {

// Every value a field can show stores back as itself; a delay shows the
// stored centimetres in its unit.
TEST(ShownValue, StoresBackAsItself) {
  for (long g = editor_range::gain.lo; g <= editor_range::gain.hi; ++g)
    ASSERT_EQ(db_to_tenths(shown_value(shown_field::level, g)), g);
  for (long q = editor_range::peq_q.lo; q <= editor_range::peq_q.hi; ++q)
    ASSERT_EQ(q_to_stored(shown_value(shown_field::peq_q, q)), q);
  for (long r = editor_range::release.lo; r <= editor_range::release.hi; ++r)
    ASSERT_EQ(release_from_ms(spin_whole(shown_value(shown_field::release, r))), r);
  for (auto [u, shown] : {std::pair{DELAY_M, 0.8}, {DELAY_MS, 80 / 34.34}, {DELAY_FT, 80 / 30.48}})
    EXPECT_NEAR(shown_value(shown_field::delay, 80, u), shown, 1e-9) << u;
}

// The limits of each device's fields are no finding, one past them is;
// channels the device lacks are not looked at.
TEST(EditorFindings, ValuesBeyondTheFieldsOfEachDevice) {
  preset_t p = preset_def;
  channel_t& b = p.channel[1];
  b.gain = -990, b.routing = 10, b.groups = 0x52, b.peq[0].type = b.peq[5].type = 1;
  b.dynamics = {127, 127, -24, -99};
  p.channel[2].dynamics.threshold = -25;
  EXPECT_EQ(findings_summary(editor_findings(p, MV517)),
            "1 value outside the editor's ranges: Out C limiter threshold -25 dB (editor -24..0)");
  EXPECT_EQ(findings_summary(editor_findings(p, MV961)),
            "3 values outside the editor's ranges: Out B routing 10 (editor 0..3), Out B level "
            "group 2 (editor 0..1), Out B mute group 0x50 (editor 0x00, 0x20, 0x30)");
  b.gain = 61, b.groups = 0x13, b.dynamics.release = 128;
  EXPECT_EQ(
      findings_summary(editor_findings(p, MV517)),
      "5 values outside the editor's ranges: Out B level 6.1 dB (editor -99.0..6.0), Out B "
      "level group 3 (editor 0..2), Out B mute group 0x10 (editor 0x00, 0x20..0x50), Out B "
      "limiter release 1280 ms (editor 0..1270), Out C limiter threshold -25 dB (editor -24..0)");
  EXPECT_EQ(findings_summary(editor_findings(preset_def, MV517)), "");
}

}  // namespace
