// Numbers in text formats, excerpts in messages, bounded reading of inputs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "files/text_input.h"
#include "model/text_format.h"
#include "test_util.h"

namespace {

// Every form a number takes in the files, and what is not a number.
TEST(TextFormat, DecimalNumbersAndWhatIsNot) {
  const struct {
    const char* text;
    double value;
    size_t length;  // 0: no number
  } cases[] = {
      {"63.4", 63.4, 4}, {"-3", -3, 2},       {"+2.5dB", 2.5, 4},   {".5", 0.5, 2},
      {"5.", 5, 2},      {"1e3Hz", 1000, 3},  {"1.5E-2", 0.015, 6}, {"2e", 2, 1},
      {"20,5", 20, 2},   {"-.25;", -0.25, 4}, {"", 0, 0},           {".", 0, 0},
      {"-", 0, 0},       {"e5", 0, 0},        {"inf", 0, 0},        {"nan", 0, 0},
      {"0x10", 0, 1},    {"1e400", 0, 0},     {"abc", 0, 0},        {"--1", 0, 0},
  };
  for (const auto& c : cases) {
    const auto n = read_decimal_prefix(c.text);
    if (c.length == 0) {
      EXPECT_FALSE(n) << c.text;
      continue;
    }
    ASSERT_TRUE(n) << c.text;
    EXPECT_DOUBLE_EQ(n->value, c.value) << c.text;
    EXPECT_EQ(n->length, c.length) << c.text;
  }
  EXPECT_EQ(parse_decimal("12.25"), 12.25);
  EXPECT_FALSE(parse_decimal("12.25 "));
  EXPECT_FALSE(parse_decimal("0x10"));
  EXPECT_TRUE(looks_like_decimal_comma("20,5"));
  EXPECT_TRUE(looks_like_decimal_comma("-0,25;85"));
  EXPECT_FALSE(looks_like_decimal_comma("20, 5"));
  EXPECT_FALSE(looks_like_decimal_comma("20.5,85"));
}

TEST(TextFormat, NumbersWrittenAsTheCLocaleWritesThem) {
  EXPECT_EQ(format_fixed(-3.5, 1), "-3.5");
  EXPECT_EQ(format_fixed(0.25, 1), "0.2");  // an exact half goes to even, as in printf
  EXPECT_EQ(format_fixed(1250, 2), "1250.00");
  EXPECT_EQ(format_fixed(-0.04, 1), "-0.0");
  EXPECT_EQ(format_general(125.0, 6), "125");
  EXPECT_EQ(format_general(2.04, 6), "2.04");
  EXPECT_EQ(format_general(1e6, 6), "1e+06");
}

TEST(TextFormat, LinesOfAText) {
  const auto lines = split_lines(
      "\xEF\xBB\xBF"
      "a\r\nb\n\nc");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "a");
  EXPECT_EQ(lines[1], "b");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "c");
  EXPECT_TRUE(split_lines("").empty());
  EXPECT_EQ(split_lines("x\n").size(), 1u);
  EXPECT_EQ(trim_blanks(" \t a b \r"), "a b");
  EXPECT_EQ(upper_ascii("kHz \xc3\xa4"), "KHZ \xc3\xa4");
}

// At most 60 whole characters quoted, what would disturb a terminal escaped.
TEST(TextFormat, ExcerptsAreShortEscapedAndValid) {
  EXPECT_EQ(quoted_excerpt("63.4"), "\"63.4\"");
  EXPECT_EQ(escaped_text("a\x1b[31mb"), "a\\x1b[31mb");
  EXPECT_EQ(escaped_text("\xff\xfe"
                         "ok"),
            "\\xff\\xfeok");
  EXPECT_EQ(escaped_text("x\ny\\"), "x\\x0ay\\\\");
  EXPECT_EQ(escaped_text("\xc2\x85"), "\\xc2\\x85");                        // C1 control
  EXPECT_EQ(escaped_text("\xe2\x82"), "\\xe2\\x82");                        // cut character
  EXPECT_EQ(escaped_text("\xc3\xa4\xe2\x82\xac"), "\xc3\xa4\xe2\x82\xac");  // ä€ stay
  EXPECT_EQ(escaped_text("\xed\xa0\x80"), "\\xed\\xa0\\x80");               // a surrogate
  // 10 MB of one token: 60 characters and an ellipsis.
  const std::string big(10 << 20, 'x');
  EXPECT_EQ(text_excerpt(big), std::string(60, 'x') + "...");
  // A cut never halves a character: 59 ASCII then a 3-byte character fits
  // (60 characters); one more ASCII character before it does not.
  const std::string euro = "\xe2\x82\xac";
  EXPECT_EQ(text_excerpt(std::string(59, 'a') + euro + "z"), std::string(59, 'a') + euro + "...");
  EXPECT_EQ(text_excerpt(std::string(60, 'a') + euro), std::string(60, 'a') + "...");
  // An escape is not cut either.
  EXPECT_EQ(text_excerpt(std::string(58, 'a') + "\x1b"), std::string(58, 'a') + "...");
  EXPECT_EQ(text_excerpt(std::string(56, 'a') + "\x1b"), std::string(56, 'a') + "\\x1b");
  // A path keeps its end, the name; the cut does not halve a character.
  EXPECT_EQ(tail_excerpt("/home/u/show.qpx"), "/home/u/show.qpx");
  EXPECT_EQ(tail_excerpt(std::string(100, '/') + "a\nb.qpx", 10), "...a\\x0ab.qpx");
  EXPECT_EQ(tail_excerpt(euro + std::string(59, 'a')), euro + std::string(59, 'a'));
  EXPECT_EQ(tail_excerpt("z" + euro + std::string(59, 'a')), "..." + euro + std::string(59, 'a'));
  EXPECT_EQ(tail_excerpt(std::string(1000, '\xff') + "x", 9), "...\\xff\\xffx");
}

// A library's message about the user's arguments: every word and line bounded.
TEST(TextFormat, BoundedMessagesKeepShortWordsAndCutLongOnes) {
  EXPECT_EQ(bounded_message("--channel: Z is not one of A B"), "--channel: Z is not one of A B\n");
  EXPECT_EQ(bounded_message("not expected: " + std::string(5000, 'Z') + " \x1b[2J --x"),
            "not expected: " + std::string(60, 'Z') + "... \\x1b[2J --x\n");
  std::string many = "not expected:";
  for (int i = 0; i < 10000; ++i) many += " arg";
  const std::string shown = bounded_message(many);
  EXPECT_LE(shown.size(), MESSAGE_LINE_CHARS + 5);
  EXPECT_EQ(shown.substr(shown.size() - 5), " ...\n");
  EXPECT_EQ(bounded_message(std::string(100, '\n')), std::string(MESSAGE_LINES, '\n') + "...\n");
}

// Only a regular file within the limit is read as a file, never waiting for a
// FIFO's writer; a stream is refused once it passes the limit.
TEST(TextInput, FilesAndStreamsWithinTheLimitOnly) {
  ScratchDir dir;
  const std::string text = dir.file("t.txt"), fifo = dir.file("fifo");
  write_file(text, "20 85.1\n");
  write_file(dir.file("big.txt"), std::string(2049, ' '));
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // clang-format off
  const struct { std::string path, as_file, as_stream; } cases[] = {
      {text, "", ""}, {dir.file("big.txt"), "larger than 2 KiB", "larger than 2 KiB"},
      {fifo, "not a regular file", ""}, {"/dev/zero", "not a regular file", "larger than 2 KiB"},
      {dir.path(), "not a regular file", "Is a directory"},
      {dir.file("missing"), "No such file or directory", "No such file or directory"}};
  // clang-format on
  for (const auto& c : cases) {
    const text_input_t f = read_text_file(c.path, 2048), s = read_text_stream_or_file(c.path, 2048);
    EXPECT_TRUE(f.ok == c.as_file.empty() && f.reason == c.as_file) << c.path << ": " << f.reason;
    EXPECT_TRUE(s.ok == c.as_stream.empty() && s.reason == c.as_stream)
        << c.path << ": " << s.reason;
    EXPECT_TRUE(f.text == (f.ok ? "20 85.1\n" : "") && s.text == (c.path == text ? f.text : ""));
  }
  EXPECT_TRUE(read_text_file(dir.file("big.txt"), 2049).ok);
  std::string reason;
  EXPECT_FALSE(readable_regular_file(fifo, TEXT_INPUT_MAX_BYTES, reason));
  EXPECT_TRUE(readable_regular_file(text, TEXT_INPUT_MAX_BYTES, reason));
  EXPECT_EQ(byte_limit_text(TEXT_INPUT_MAX_BYTES), "16 MiB");
}

}  // namespace
