#include <gtest/gtest.h>

#include "files/crc.h"
#include "test_util.h"

namespace {

TEST(Crc, CheckValueContinuationAndFiles) {
  EXPECT_EQ(crc16_string(0xFFFF, "123456789"), 0x4B37);
  EXPECT_EQ(crc16_string(crc16_string(0xFFFF, "12345"), "6789"), 0x4B37);
  EXPECT_EQ(crc16_string(0x1234, ""), 0x1234);
  ScratchDir dir;
  const std::string f = dir.file("a.bin");
  for (const std::string& bytes : {std::string(), std::string("a\0b\r\n\xff", 6)}) {
    write_file(f, bytes);
    EXPECT_EQ(crc16_file(f.c_str()), reference_crc(bytes));
  }
}

// A file passes when its CRC is the one its checksum line predicts.
TEST(Crc, WhatPassesTheCheck) {
  const std::string body = "<?xml version=\"1.0\"?>\n<PRESET>\n\t<NAME>x</NAME>\n</PRESET>\n";
  const std::string good = with_checksum(body);
  std::string upper = good, crlf, altered = good;
  for (size_t i = upper.rfind("<!-->") + 5; upper[i] != '<'; ++i) upper[i] = toupper(upper[i]);
  for (char c : good) crlf += (c == '\n') ? std::string("\r\n") : std::string(1, c);
  altered[20] ^= 1;
  // clang-format off
  const struct { const char* what; std::string bytes; bool passes; } cases[] = {
      {"intact", good, true},
      {"upper-case hex", upper, true},
      {"an ordinary comment", with_checksum("<!-- note -->\n<A>1</A>\n"), true},
      {"63 characters of text", with_checksum("<A>" + std::string(63, 'x') + "</A>\n"), true},
      {"64 characters of text", with_checksum("<A>" + std::string(64, 'x') + "</A>\n"), false},
      {"64 characters of tag", with_checksum("<" + std::string(64, 'A') + ">\n"), false},
      {"'>' in text", with_checksum("<A>x>y</A>\n"), false},
      {"'<' in a tag", with_checksum("<A<B>\n"), false},
      {"byte appended", good + "x", false},
      {"line feed appended", good + "\n", false},
      {"CR LF line ends", crlf, false},
      {"body byte altered", altered, false},
      {"no checksum line", body, false},
      {"no final line feed", good.substr(0, good.size() - 1), false},
      {"wrong stored value", body + "<!-->1234</!-->\n", false},
  };
  // clang-format on
  ScratchDir dir;
  const std::string f = dir.file("p.qpx");
  for (const auto& c : cases) {
    write_file(f, c.bytes);
    EXPECT_EQ(crc16_file(f.c_str()) == crc_seek(f.c_str()), c.passes) << c.what;
  }
}

}  // namespace
