#include <gtest/gtest.h>

#include "files/crc.h"
#include "test_util.h"

namespace {

bool passes(const std::string& name) {
  return crc16_file(name.c_str()) == crc_seek(name.c_str());
}

TEST(Crc, StandardCheckValueAndStringContinuation) {
  EXPECT_EQ(crc16_string(0xFFFF, "123456789"), 0x4B37);
  EXPECT_EQ(crc16_string(0xFFFF, ""), 0xFFFF);
  EXPECT_EQ(crc16_string(0x1234, ""), 0x1234);
  // Continuing over a split string equals one pass.
  EXPECT_EQ(crc16_string(crc16_string(0xFFFF, "12345"), "6789"), 0x4B37);
  uint16_t crc = 0xFFFF;
  for (char c : std::string("123456789")) crc = crc16_update(crc, static_cast<uint8_t>(c));
  EXPECT_EQ(crc, 0x4B37);
}

TEST(Crc, FileCrcCoversEveryByte) {
  ScratchDir dir;
  const std::string f = dir.file("a.bin");
  write_file(f, "");
  EXPECT_EQ(crc16_file(f.c_str()), 0xFFFF);
  std::string bytes("a\0b\r\n\xff", 6);
  write_file(f, bytes);
  EXPECT_EQ(crc16_file(f.c_str()), reference_crc(bytes));
}

TEST(Crc, IntactFilePassesAndTailAlterationsFail) {
  ScratchDir dir;
  const std::string body = "<?xml version=\"1.0\"?>\n<PRESET>\n\t<NAME>x</NAME>\n</PRESET>\n";
  const std::string good = with_checksum(body);
  const std::string f = dir.file("p.qpx");

  write_file(f, good);
  EXPECT_TRUE(passes(f));

  // Upper-case hex still passes: the prediction is built from the stored text.
  std::string upper = good;
  for (size_t i = upper.rfind("<!-->") + 5; upper[i] != '<'; ++i) upper[i] = toupper(upper[i]);
  write_file(f, upper);
  EXPECT_TRUE(passes(f));

  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string crlf;
  for (char c : good) crlf += (c == '\n') ? std::string("\r\n") : std::string(1, c);
  std::string altered = good;
  altered[20] ^= 1;
  const Case failing[] = {
      {"byte appended", good + "x"},
      {"line feed appended", good + "\n"},
      {"CR LF line ends", crlf},
      {"body byte altered", altered},
      {"no checksum line", body},
      {"checksum line without final line feed", good.substr(0, good.size() - 1)},
      {"wrong stored value", body + "<!-->1234</!-->\n"},
  };
  for (const Case& c : failing) {
    write_file(f, c.bytes);
    EXPECT_FALSE(passes(f)) << c.what;
  }
}

TEST(Crc, ScanLimitsStopTheCheck) {
  ScratchDir dir;
  const std::string f = dir.file("p.qpx");
  // 63 bytes of text between two tags are fine, 64 stop the scan.
  write_file(f, with_checksum("<A>" + std::string(63, 'x') + "</A>\n"));
  EXPECT_TRUE(passes(f));
  write_file(f, with_checksum("<A>" + std::string(64, 'x') + "</A>\n"));
  EXPECT_FALSE(passes(f));
  write_file(f, with_checksum("<A>x>y</A>\n"));  // '>' in text
  EXPECT_FALSE(passes(f));
  write_file(f, with_checksum("<A<B>\n"));  // '<' in a tag
  EXPECT_FALSE(passes(f));
  // An ordinary comment is no checksum comment.
  write_file(f, with_checksum("<!-- note -->\n<A>1</A>\n"));
  EXPECT_TRUE(passes(f));
}

TEST(Crc, UnopenableFileIsReportedAndNothingIsRead) {
  bool opened = true;
  crc16_file("/nonexistent/folder/file.qpx", &opened);
  EXPECT_FALSE(opened);
  EXPECT_EQ(crc_file_error, 1);
  opened = true;
  crc_seek("/nonexistent/folder/file.qpx", &opened);
  EXPECT_FALSE(opened);
  EXPECT_EQ(fpoint, nullptr);
  uint8_t c;
  EXPECT_EQ(crc_get_char(&c), 0);

  ScratchDir dir;
  const std::string f = dir.file("ok");
  write_file(f, "abc");
  crc16_file(f.c_str(), &opened);
  EXPECT_TRUE(opened);
  EXPECT_EQ(crc_file_error, 0);
}

}  // namespace
