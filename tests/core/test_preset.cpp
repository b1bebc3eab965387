// The record: the crossover Q the editor fixes, bytes and UTF-8, comparing.
#include <gtest/gtest.h>

#include <cstring>

#include "model/preset.h"

namespace {

// The type's Q in the high-pass's slot 0, the low-pass's slot 1 unless off.
TEST(Preset, BuildQ) {
  // clang-format off
  const struct { uint8_t config, hp_q[2], lp_q[2]; } cases[] = {
      {0, {12, 99}, {99, 99}}, {1, {7, 99}, {99, 7}}, {2, {7, 99}, {99, 7}}};
  // clang-format on
  for (const auto& c : cases) {
    preset_t p = preset_def;
    for (channel_t& ch : p.channel) ch.xo[0] = ch.xo[1] = xo_t{c.config, {100, 100}, {99, 99}};
    for (int channels : {MV961, MV517}) {
      apply_build_q(p, channels);
      for (int n = 0; n < 4; ++n) {
        const xo_t &hp = p.channel[n].xo[0], &lp = p.channel[n].xo[1];
        const bool built = n < channels;
        EXPECT_TRUE(hp.q[0] == (built ? c.hp_q[0] : 99) && hp.q[1] == 99) << n;
        EXPECT_TRUE(lp.q[0] == 99 && lp.q[1] == (built ? c.lp_q[1] : 99)) << n;
      }
    }
  }
}

// Bytes 0x80-0x85 are the arrows U+2190-U+2195, others their code point; a
// typed U+0080-U+0085 or control character has no byte.
TEST(Preset, BytesAndCodePoints) {
  // clang-format off
  const struct { uint32_t cp, from_file, typed; } cases[] = {
      {0x80, 0x80, 0}, {0x85, 0x85, 0}, {0x00, 0x00, 0}, {0x2196, '?', 0}, {0x100, '?', 0},
      {0x263A, '?', 0}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_TRUE(byte_read_from_file(c.cp) == c.from_file && byte_of_typed(c.cp) == c.typed) << c.cp;
  for (int b = 1; b < 256; ++b) {
    EXPECT_EQ(code_point_of_byte(b), b >= 0x80 && b <= 0x85 ? 0x2110u + b : uint32_t(b));
    EXPECT_EQ(byte_read_from_file(code_point_of_byte(b)), b);
    const bool control = b < 0x20 || b == 0x7F;  // no place in a typed name
    EXPECT_EQ(byte_of_typed(code_point_of_byte(b)), control ? 0 : b) << b;
  }
}

// UTF-8 decoded; record texts through UTF-8, cut to their fields.
TEST(Preset, Utf8AndRecordTexts) {
  // clang-format off
  const struct { const char* bytes; uint32_t cp; size_t advance; } cases[] = {
      {"A", 0x41, 1}, {"\xc3\xa4!", 0xE4, 2}, {"\xe2\x86\x92", 0x2192, 3},
      {"\xf0\x9f\x98\x80", 0x1F600, 4}, {"\xc0\x80", UTF8_INVALID, 1} /* overlong */,
      {"\xed\xa0\x80", UTF8_INVALID, 1} /* surrogate */, {"\xf4\x90\x80\x80", UTF8_INVALID, 1},
      {"\xe2\x86", UTF8_INVALID, 1} /* cut short */, {"\342A\x80", UTF8_INVALID, 1},
      {"\x80", UTF8_INVALID, 1}, {"\xf8\x88\x80\x80\x80", UTF8_INVALID, 1}};
  // clang-format on
  for (const auto& c : cases) {
    size_t i = 0;
    EXPECT_EQ(next_utf8(c.bytes, i), c.cp) << c.bytes;
    EXPECT_EQ(i, c.advance) << c.bytes;
  }
  EXPECT_EQ(valid_utf8("a\377b\xc3\xa4\xe2\x86"), "a?b\xc3\xa4??");
  EXPECT_EQ(record_to_utf8("\x80\x85\xe4xyz", 4), "\xe2\x86\x90\xe2\x86\x95\xc3\xa4x");
  EXPECT_EQ(utf8_to_record("\xe2\x86\x92\xc3\xa4\xe2\x82\xac\xc2\x80\3770123456", 9),
            "\x82\xe4???0123");
  char field[10];
  set_record_text(field, sizeof field, "\303\244\303\244\303\244\303\244\303\244\303\244abcd");
  EXPECT_STREQ(field, "\344\344\344\344\344\344abc");
  EXPECT_EQ(check_name("<&>\xe2\x86\x92\xc3\xa4", 12).written_length, 27u);
  // A carriage return would read back as a line feed: no control character
  // is typed into a name.
  EXPECT_FALSE(check_name("a\rb", 9).representable);
  EXPECT_EQ(utf8_to_record("a\rb", 9), "a?b");
}

// Any value byte flipped differs; padding and bytes after a terminator do not.
TEST(Preset, FirstDifference) {
  preset_t base = preset_def, mask;
  std::memset(base.name, 'n', PRESET_NAME_MAX);
  for (channel_t& c : base.channel) std::memset(c.name, 'c', CHANNEL_NAME_MAX);
  std::memset(&mask, 0, sizeof mask);
  std::memset(mask.name, 1, sizeof mask.name);
  mask.mute = mask.lock = 1;
  for (channel_t& c : mask.channel) {
    std::memset(c.name, 1, sizeof c.name);
    c.routing = c.groups = c.phase = 1, c.gain = -1, c.delay = 0xFFFF;
    for (xo_t& x : c.xo) x.config = x.q[0] = x.q[1] = 1, x.freq[0] = x.freq[1] = 0xFFFF;
    for (peq_t& e : c.peq) e.q = e.gain = e.type = 1, e.freq = 0xFFFF;  // by field: no padding
    c.dynamics = {1, 1, 1, 1};
  }
  for (size_t i = 0; i < sizeof(preset_t); ++i) {
    preset_t b = base;
    reinterpret_cast<uint8_t*>(&b)[i] ^= 0x01;
    EXPECT_EQ(presets_equal(base, b), reinterpret_cast<const uint8_t*>(&mask)[i] == 0) << i;
  }
  preset_t a = preset_def, b = preset_def;
  b.name[10] = 'x';
  a.channel[1].name[2] = b.channel[1].name[2] = '\0';
  b.channel[1].name[5] = 'z';
  EXPECT_TRUE(presets_equal(a, b));
}

}  // namespace
