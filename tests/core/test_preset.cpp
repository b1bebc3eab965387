#include <gtest/gtest.h>

#include <cstring>

#include "model/preset.h"

namespace {

// The default preset's values are checked byte for byte by the writer's
// test of the default file; here only that a copy is whole.
TEST(Preset, DefaultPresetCopy) {
  preset_t p;
  std::memset(&p, 0x77, sizeof p);
  Create_Default_Preset(&p);
  EXPECT_EQ(std::memcmp(&p, &preset_def, sizeof p), 0);
  EXPECT_STREQ(p.channel[3].name, "Out D    ");
  for (const peq_t& band : p.channel[1].peq) EXPECT_FALSE(peq_active(band));
}

TEST(Preset, BuildTimeQWrites) {
  channel_t c = preset_def.channel[0];
  xo_apply_build_q(c, 0);
  EXPECT_EQ(c.xo[0].q[0], 7);  // Butterworth
  c.xo[0].config = 0;
  xo_apply_build_q(c, 0);
  EXPECT_EQ(c.xo[0].q[0], 12);  // "Q 1.2"
  c.xo[0].config = 2;
  c.xo[0].q[1] = 12;
  xo_apply_build_q(c, 0);
  EXPECT_EQ(c.xo[0].q[0], 7);
  EXPECT_EQ(c.xo[0].q[1], 12) << "the high-pass writes its own slot only";
  c.xo[1].q[1] = 12;
  xo_apply_build_q(c, 1);  // low-pass off: nothing written
  EXPECT_EQ(c.xo[1].q[1], 12);
  c.xo[1].config = 1;
  xo_apply_build_q(c, 1);
  EXPECT_EQ(c.xo[1].q[1], 7);
}

TEST(Preset, CodeTables) {
  EXPECT_EQ(routing_count(MV517), 11);
  EXPECT_EQ(routing_count(MV961), 4);
  EXPECT_STREQ(routing_label(MV517, 3), "D/d2(R)");
  EXPECT_STREQ(routing_label(MV961, 3), "A+B/d1(L+R)");
  EXPECT_STREQ(routing_label(MV517, 9), "B+C+D/d2L+C+D");
  EXPECT_EQ(routing_label(MV961, 4), nullptr);

  // Mute group nibbles; unknown ones are "independent".
  const struct {
    uint8_t groups;
    int index;
  } mute[] = {{0x00, 0}, {0x20, 1}, {0x30, 2}, {0x40, 3},
              {0x50, 4}, {0x10, 0}, {0x60, 0}, {0xF2, 0}};
  for (const auto& m : mute) {
    EXPECT_EQ(mute_group_index(m.groups), m.index) << int(m.groups);
    if (m.index) {
      EXPECT_EQ(mute_group_code(m.index), m.groups & 0xF0);
    }
  }
  EXPECT_EQ(level_group_index(0x32), 2);
  EXPECT_EQ(level_group_index(0x07), 0);

  for (int i = 0; i < 3; ++i) EXPECT_EQ(hp_index_from_code(hp_code_from_index(i)), i);
  EXPECT_EQ(hp_code_from_index(0), 1);  // "Butterworth 2."
  EXPECT_EQ(hp_code_from_index(2), 0);  // "Q 1.2"
  EXPECT_STREQ(hp_type_labels[hp_index_from_code(2)], "Linkwitz-Riley 4.");
  EXPECT_EQ(xo_slot(2), 1);
  EXPECT_EQ(xo_slot(1), 0);

  EXPECT_EQ(peq_type_index(peq_t{100, 7, 0, 0}), 0);
  EXPECT_EQ(peq_type_index(peq_t{100, 7, 30, 0}), 1);
  EXPECT_EQ(peq_type_index(peq_t{100, 7, 0, 1}), 2);
  EXPECT_STREQ(peq_type_label(0, 2), "Low Shelf");
  EXPECT_STREQ(peq_type_label(5, 2), "High-Shelf");
  EXPECT_EQ(peq_type_label(3, 2), nullptr);
}

TEST(Preset, UnitConversions) {
  EXPECT_EQ(db_to_tenths(-3.45), -35);  // nearest, halves away from zero
  EXPECT_EQ(db_to_tenths(0.05), 1);
  EXPECT_EQ(db_to_tenths(-0.05), -1);
  EXPECT_EQ(db_to_tenths(6.0), 60);
  EXPECT_EQ(q_to_stored(0.7), 7);
  EXPECT_EQ(q_to_stored(12.5), 125);
  EXPECT_EQ(release_to_stored(259), 25);
  EXPECT_EQ(release_to_stored(1270), 127);

  EXPECT_EQ(delay_to_cm(1.15, DELAY_M), 115);
  EXPECT_EQ(delay_to_cm(1.0, DELAY_MS), 34);
  EXPECT_EQ(delay_to_cm(10.0, DELAY_MS), 343);
  EXPECT_EQ(delay_to_cm(1164.82, DELAY_MS), 39999);
  EXPECT_EQ(delay_to_cm(1.0, DELAY_FT), 30);
  EXPECT_EQ(delay_to_cm(400.0, DELAY_M), 40000);
  EXPECT_EQ(delay_to_cm(0.019, DELAY_M), 1);  // truncated, not rounded
}

TEST(Preset, RecordTextMapping) {
  EXPECT_EQ(record_to_utf8("Out A    ", 9), "Out A    ");
  EXPECT_EQ(record_to_utf8("\x80\x85", 9), "\xe2\x86\x90\xe2\x86\x95");
  EXPECT_EQ(record_to_utf8("\xe4\xff", 9), "\xc3\xa4\xc3\xbf");
  EXPECT_EQ(record_to_utf8("abcdef", 3), "abc");

  EXPECT_EQ(utf8_to_record("\xe2\x86\x92x", 9), "\x82x");
  EXPECT_EQ(utf8_to_record("\xc3\xa4", 9), "\xe4");
  EXPECT_EQ(utf8_to_record("\xe2\x82\xac", 9), "?");  // euro sign has no byte
  EXPECT_EQ(utf8_to_record("\xc2\x80", 9), "?");      // would read back as an arrow
  EXPECT_EQ(utf8_to_record("\xff"
                           "a\xc3",
                           9),
            "?a?");  // invalid UTF-8
  EXPECT_EQ(utf8_to_record("0123456789", 9), "012345678");
  // Every byte survives the trip through UTF-8.
  for (int b = 1; b < 256; ++b) {
    const char bytes[2] = {static_cast<char>(b), 0};
    EXPECT_EQ(utf8_to_record(record_to_utf8(bytes, 1), 1), std::string(bytes)) << b;
  }
  char field[10];
  set_record_text(field, sizeof field, "\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4");
  EXPECT_STREQ(field, "\xe4\xe4\xe4\xe4\xe4\xe4");
  set_record_text(field, sizeof field, "abcdefghijkl");
  EXPECT_STREQ(field, "abcdefghi");
}

TEST(Preset, NameFit) {
  EXPECT_TRUE(check_name("Out A    ", 9).ok());
  EXPECT_FALSE(check_name("0123456789", 9).fits_field);
  EXPECT_FALSE(check_name("\xe2\x82\xac", 9).representable);
  // Nine arrows are written as 72 bytes of references: too long for a file.
  std::string arrows;
  for (int i = 0; i < 9; ++i) arrows += "\xe2\x86\x92";
  const name_fit_t fit = check_name(arrows, 9);
  EXPECT_TRUE(fit.fits_field);
  EXPECT_EQ(fit.written_length, 72u);
  EXPECT_FALSE(fit.ok());
  EXPECT_EQ(check_name("<&>", 12).written_length, 13u);
  EXPECT_TRUE(
      check_name("\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4", 9)
          .ok());
}

}  // namespace
