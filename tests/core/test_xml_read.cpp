// Reading preset files: the checksum, the reader, and read_preset_file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <sstream>

#include "files/crc.h"
#include "files/preset_file.h"
#include "files/xml.h"
#include "model/preset.h"
#include "test_util.h"

namespace {

// A PRESET element around `content`, and a CHANNEL element.
std::string P(const std::string& content, const char* device = "MV517") {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<PRESET DEVICE=\"") + device +
         "\" VERSION=\"1\">\n" + content + "</PRESET>\n";
}
std::string C(int id, const std::string& content) {
  return "<CHANNEL ID=\"" + std::to_string(id) + "\">" + content + "</CHANNEL>\n";
}

// `value` inside the elements of `path`, as "XO ID=\"HP\"/FREQ ID=\"1\"".
std::string at(const std::string& path, const std::string& value) {
  const size_t slash = path.find('/');
  const std::string tag = path.substr(0, slash), name = tag.substr(0, tag.find(' '));
  return "<" + tag + ">" +
         (slash == std::string::npos ? value : at(path.substr(slash + 1), value)) + "</" + name +
         ">";
}

namespace fr = file_range;

struct ReadResult {
  uint8_t error;
  preset_t p;
};

class XmlRead : public ::testing::Test {
 protected:
  // Reads `bytes` with a correct checksum line appended (use 0) or as they
  // stand without the check (use 1).
  ReadResult read(const std::string& bytes, uint8_t use = 0) {
    write_file(dir_.file("in.xml"), use == 0 ? with_checksum(bytes) : bytes);
    ReadResult r;
    std::memset(&r.p, 0x5A, sizeof r.p);
    EXPECT_EQ(xml_read(dir_.file("in.xml").c_str(), &r.p, use), 0);
    r.error = xml_error;
    return r;
  }
  ScratchDir dir_;
};

#define GET(expr) [](const preset_t& p) -> long { return p.expr; }
#define CH1(expr) GET(channel[0].expr)

// Each field's range (file_range's, in the file's units): both ends stored,
// a value just outside keeps the default.
TEST_F(XmlRead, ValueRangesOfTheFields) {
  // clang-format off
  const struct { std::string path; long (*get)(const preset_t&); value_range_t range; long lo, hi;
                 const char* texts; } fields[] = {
      {"DELAY", CH1(delay), fr::delay, 0, 40000, "0 400.00 -0.01 400.01"},
      {"GAIN", CH1(gain), fr::gain, -999, 60, "-99.9 6 -100 6.1"},
      {"PHASE", CH1(phase), fr::phase, 0, 1, "0 1 -1 2"},
      {"ROUTE", CH1(routing), fr::routing, 0, 60, "0 60 -1 61"},
      {"GROUP ID=\"GAIN\"", CH1(groups & 15), fr::group, 0, 15, "0 15 -1 16"},
      {"GROUP ID=\"MUTE\"", CH1(groups >> 4), fr::group, 0, 15, "0 15 -1 16"},
      {"XO ID=\"HP\"/FREQ ID=\"1\"", CH1(xo[0].freq[0]), fr::xo_freq, 35, 8000, "35 8000 34 8001"},
      {"XO ID=\"LP\"/Q ID=\"2\"", CH1(xo[1].q[1]), fr::xo_q, 7, 12, "0.7 1.2 0.6 1.3"},
      {"XO ID=\"LP\"/TYPE", CH1(xo[1].config), fr::xo_type, 0, 2, "0 2 -1 3"},
      {"PEQ ID=\"2\"/FREQ", CH1(peq[1].freq), fr::peq_freq, 35, 12000, "35 12000 34 12001"},
      {"PEQ ID=\"2\"/GAIN", CH1(peq[1].gain), fr::peq_gain, -120, 120, "-12 12.0 -12.1 12.1"},
      {"PEQ ID=\"2\"/Q", CH1(peq[1].q), fr::peq_q, 7, 125, "0.7 12.5 0.6 12.6"},
      {"PEQ ID=\"2\"/TYPE", CH1(peq[1].type), fr::peq_type, 0, 1, "0 1 -1 2"},
      {"LIMITER/AT", CH1(dynamics.attack), fr::attack, 0, 255, "0 255 -1 256"},
      {"LIMITER/RT", CH1(dynamics.release), fr::release, 0, 255, "0 2559 -10 2560"},
      {"LIMITER/THRESHOLD", CH1(dynamics.threshold), fr::threshold, -99, 0, "-99 0 -100 1"},
      {"LIMITER/GAIN", CH1(dynamics.boost), fr::boost, -99, 0, "-99 0 -100 1"},
      {"/LOCK", GET(lock), fr::lock, 0, 255, "0 255 -1 256"}};
  // clang-format on
  for (const auto& f : fields) {
    EXPECT_TRUE(f.range.lo == f.lo && f.range.hi == f.hi) << f.path;
    std::istringstream texts(f.texts);
    for (long want : {f.lo, f.hi, f.get(preset_def), f.get(preset_def)}) {
      std::string text;
      texts >> text;
      const std::string file =
          f.path[0] == '/' ? at(f.path.substr(1), text) : C(1, at(f.path, text));
      const ReadResult r = read(P(file));
      EXPECT_TRUE(r.error == 0 && f.get(r.p) == want) << f.path << " " << text;
    }
  }
}

#define TEXT(expr) [](const preset_t& p) { return std::string(p.expr); }
#define NUMBER(expr) [](const preset_t& p) { return std::to_string(p.expr); }
#define NONE nullptr

// Files read without the checksum check: what they leave in a field, the code.
TEST_F(XmlRead, WhatAFileLeaves) {
  const auto device = [](const preset_t&) { return std::to_string(mv_selector); };
  const auto bands = [](const preset_t& p) {
    std::string s;
    for (const peq_t& b : p.channel[1].peq) s += std::to_string(b.freq) + " ";
    return s;
  };
  const std::string a63(63, 'a'), a64(64, 'a');
  // clang-format off
  const struct { std::string file; std::string (*get)(const preset_t&); const char* want;
                 uint8_t error; } cases[] = {
      // The preset ends after channel 4; what follows is skipped, an MV961
      // holding a channel 4 stays an MV961, a stray end tag still stops.
      {P(C(1, "") + C(4, "<NAME>four</NAME>")), TEXT(channel[3].name), "four", 0},
      {P(C(4, "") + "<LOCK>3</LOCK>\n", "MV961"), NUMBER(lock), "0", 0},
      {P(C(4, "") + "<LOCK>3</LOCK>\n", "MV961"), device, "2", 0},
      {P(C(4, "") + "<X><NAME>q</NAME></X><NAME>late</NAME>"), TEXT(name), "Preset", 0},
      {P(C(4, "") + "</NAME>"), NONE, "", XML_ERR_END_TAG},
      // VERSION 2 is skipped but names the device; no second PRESET; unknown
      // elements are skipped; <X/> never ends; text after the last tag is lost.
      {"<PRESET DEVICE=\"MV961\" VERSION=\"2\"><NAME>x</NAME></PRESET>\n", TEXT(name), "Preset", 0},
      {"<PRESET DEVICE=\"MV961\" VERSION=\"2\"><NAME>x</NAME></PRESET>\n", device, "2", 0},
      {P("<NAME>one</NAME>\n") + P("<NAME>two</NAME>\n"), TEXT(name), "one", 0},
      {P("<EXTRA><NAME>q</NAME><EXTRA>x</EXTRA></EXTRA><NAME>n</NAME><?pi x?><!-- c -->"),
       TEXT(name), "n", 0},
      {P(C(1, "<GAIN><B>2</B>1</GAIN>")), NUMBER(channel[0].gain), "10", 0},
      {P(C(1, "<NAME/><GAIN>2</GAIN>")), NUMBER(channel[0].gain), "0", 0},
      {P("</NAME><LOCK>1</LOCK>"), NUMBER(lock), "0", XML_ERR_END_TAG},
      {"<PRESET DEVICE=\"MV517\" VERSION=\"1\"><NAME>tail", TEXT(name), "Preset", 0},
      // Groups, mute bits and repeated IDs (the first one counts).
      {P(C(2, "<GROUP ID=\"MUTE\">3</GROUP><GROUP ID=\"GAIN\">2</GROUP><GROUP ID=\"X\">9</GROUP>")),
       NUMBER(channel[1].groups), "50", 0},
      {P(C(2, "<MUTE>1</MUTE><MUTE>0</MUTE>") + C(4, "<MUTE>1</MUTE>")), NUMBER(mute), "10", 0},
      {P(C(2, "<XO ID=\"LP\"><FREQ ID=\"2\">200</FREQ><FREQ ID=\"2\">300</FREQ></XO>")),
       NUMBER(channel[1].xo[1].freq[1]), "200", 0},
      {P(C(2, "<XO ID=\"LP\"><TYPE>2</TYPE></XO><XO ID=\"LP\"><TYPE>1</TYPE></XO>")),
       NUMBER(channel[1].xo[1].config), "2", 0},
      {P(C(2, "<PEQ ID=\"3\"><FREQ>500</FREQ></PEQ><PEQ ID=\"3\"><FREQ>40</FREQ></PEQ>"
               "<PEQ ID=\"7\"><FREQ>41</FREQ></PEQ><PEQ><FREQ>42</FREQ></PEQ>")),
       bands, "50 100 500 1000 5000 10000 ", 0},
      {P("<CHANNEL ID=\"1\" ID=\"9\"><NAME>x</NAME></CHANNEL>\n"), TEXT(channel[0].name), "x", 0},
      {P("<CHANNEL ID=\"1\" ID=\"2\"></CHANNEL>\n"), NONE, "", XML_ERR_SECOND_ID},
      // Text: escapes, references and UTF-8 to record bytes, cut to the field.
      {P("<NAME>A&amp;B x&lt;y&gt;</NAME>"), TEXT(name), "A&B x<y>", 0},
      {P("<NAME>&#x2192;&#8594;\xe2\x86\x92&#x2190;&#x2195;</NAME>"), TEXT(name),
       "\x82\x82\x82\x80\x85", 0},
      {P("<NAME>&#xe4;&#228;\xc3\xa4</NAME>"), TEXT(name), "\xe4\xe4\xe4", 0},
      {P("<NAME>&#x263a;\xe2\x98\xba&#0;&#XE4;</NAME>"), TEXT(name), "????", 0},
      {P("<NAME>a&quot;b</NAME>"), TEXT(name), "a", 0},  // an unknown reference swallows the rest
      {P("<NAME> sp  </NAME>"), TEXT(name), " sp  ", 0},
      {P("<NAME>thirteen char</NAME>"), TEXT(name), "thirteen cha", 0},
      {P(C(2, "<NAME>0123456789AB</NAME>")), TEXT(channel[1].name), "012345678", 0},
      {P("<NAME>&abcdefghij;</NAME>"), NONE, "", XML_ERR_TOO_LONG},
      // Numbers: blanks around, extra decimals dropped, missing ones zero (a
      // blank after the digits is the point), RT in ms; bad: store 0, stop.
      {P(C(1, "<GAIN> -3.5 </GAIN>")), NUMBER(channel[0].gain), "-35", 0},
      {P(C(1, "<GAIN>-3.57</GAIN>")), NUMBER(channel[0].gain), "-35", 0},
      {P(C(1, "<GAIN>+6</GAIN>")), NUMBER(channel[0].gain), "60", 0},
      {P(C(1, "<GAIN>1 </GAIN>")), NUMBER(channel[0].gain), "10", 0},
      {P(C(1, "<GAIN></GAIN>")), NUMBER(channel[0].gain), "0", 0},
      {P(C(1, "<GAIN>-5</GAIN><GAIN>1-2</GAIN>")), NUMBER(channel[0].gain), "0", XML_ERR_SYNTAX},
      {P(C(1, "<GAIN>-5</GAIN><GAIN>1..2</GAIN>")), NUMBER(channel[0].gain), "0", XML_ERR_SYNTAX},
      {P(C(1, "<GAIN>2x</GAIN><PHASE>1</PHASE>")), NUMBER(channel[0].phase), "0", XML_ERR_SYNTAX},
      {P(C(1, "<DELAY>.07</DELAY>")), NUMBER(channel[0].delay), "7", 0},
      {P(C(1, "<DELAY>1.5</DELAY>")), NUMBER(channel[0].delay), "150", 0},
      {P(C(1, "<DELAY>12</DELAY>")), NUMBER(channel[0].delay), "1200", 0},
      {P(C(1, "<DELAY>\t3\n</DELAY>")), NUMBER(channel[0].delay), "300", 0},
      {P(C(1, "<LIMITER><RT>105</RT></LIMITER>")), NUMBER(channel[0].dynamics.release), "10", 0},
      {P(C(1, "<LIMITER><RT>5</RT></LIMITER>")), NUMBER(channel[0].dynamics.release), "0", 0},
      // Limits: 63 characters of text or tag, 9 of an attribute's name or
      // value; '>' in text, '<' in a tag, "--" inside a comment.
      {P("<NAME>" + a63 + "</NAME>"), NONE, "", 0},
      {P("<NAME>" + a64 + "</NAME>"), NONE, "", XML_ERR_TOO_LONG},
      {P("<NAME>" + a63.substr(3) + "&amp;&amp;&amp;</NAME>"), NONE, "", 0},
      {P("<" + a64 + ">"), NONE, "", XML_ERR_TOO_LONG},
      {P("<NAME>a>b</NAME>"), NONE, "", XML_ERR_SYNTAX},
      {P("<NAME<>"), NONE, "", XML_ERR_SYNTAX},
      {P("<!-- a -- b -->"), NONE, "", XML_ERR_SYNTAX},
      {P("<CHANNEL ABCDEFGHI=\"1\" ID=\"123456789\"></CHANNEL>"), NONE, "", 0},
      {P("<CHANNEL ABCDEFGHIJ=\"1\">"), NONE, "", XML_ERR_ATT_NAME},
      {P("<CHANNEL ID>"), NONE, "", XML_ERR_ATT_EQUALS},
      {P("<CHANNEL ID=1>"), NONE, "", XML_ERR_ATT_QUOTE},
      {P("<CHANNEL ID=\"1234567890\">"), NONE, "", XML_ERR_ATT_VALUE}};
  // clang-format on
  for (const auto& c : cases) {
    const ReadResult r = read(c.file, 1);
    EXPECT_EQ(r.error, c.error) << c.file;
    EXPECT_EQ(c.get ? c.get(r.p) : std::string(), c.want) << c.file;
  }
  // CR LF and lone CR read as line feeds (the checksum fails: not demanded).
  EXPECT_STREQ(read(P("<NAME>a\r\rb</NAME>\r\n"), 1).p.name, "a\n\nb");
  // A read that stopped inside a skipped element leaves nothing behind.
  read(P("<SKIP><A>" + std::string(70, 'x')), 1);
  EXPECT_STREQ(read(P("<NAME>next</NAME>\n")).p.name, "next");
  EXPECT_EQ(xml_get_int("99999999999", 0), 2147483647);
}

// A file passes when its CRC is the one its checksum line predicts.
TEST(Crc, WhatPassesTheCheck) {
  EXPECT_EQ(crc16_string(0xFFFF, "123456789"), 0x4B37);
  EXPECT_EQ(crc16_string(crc16_string(0xFFFF, "12345"), "6789"), 0x4B37);
  EXPECT_EQ(crc16_string(0x1234, ""), 0x1234);
  ScratchDir dir;
  const std::string f = dir.file("p.qpx");
  for (const std::string& bytes : {std::string(), std::string("a\0b\r\n\xff", 6)}) {
    write_file(f, bytes);
    EXPECT_EQ(crc16_file(f.c_str()), reference_crc(bytes));
  }
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
  for (const auto& c : cases) {
    write_file(f, c.bytes);
    EXPECT_EQ(crc16_file(f.c_str()) == crc_seek(f.c_str()), c.passes) << c.what;
  }
}

TEST(ReadPresetFile, EveryOutcome) {
  ScratchDir dir;
  const std::string live = read_file(data_file("live_mv517.qpx"));
  const std::string body = live.substr(0, live.rfind("<!-->"));
  // A bad number in channel 2, with a good checksum; a changed name byte.
  std::string bad = body, changed = live;
  bad.replace(bad.find("<GAIN>-3.5</GAIN>", bad.find("<CHANNEL ID=\"2\">")), 17, "<GAIN>2x</GAIN>");
  write_file(dir.file("stopped.qpx"), with_checksum(bad));
  changed[changed.find("Top L") + 4] = 'M';
  write_file(dir.file("changed.qpx"), changed);
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
  write_file(dir.file("big.qpx"), live + std::string(16 << 20, ' '));
  using o = read_outcome;
  // clang-format off
  const struct { std::string path; read_outcome outcome; uint8_t code; int device;
                 std::string problem; } cases[] = {
      {data_file("live_mv517.qpx"), o::whole, 0, MV517, ""},
      {data_file("new_mv961.qpx"), o::whole, 0, MV961, ""},
      {data_file("no_preset.qpx"), o::incomplete, 0, MV517, "holds no complete preset"},
      {data_file("cut_in_channel_3.qpx"), o::incomplete, 0, MV517, "holds no complete preset"},
      {data_file("empty_element_preset.qpx"), o::incomplete, 0, MV517, "holds no complete preset"},
      {dir.file("stopped.qpx"), o::stopped, 6, MV517,
       "reading stopped early (code 6: a character that does not belong there)"},
      {dir.file("changed.qpx"), o::checksum, 7, MV517, "checksum mismatch"},
      {dir.file("absent.qpx"), o::cannot_open, 8, MV517, "cannot open (No such file or directory)"},
      {dir.path(), o::cannot_open, 8, MV517, "cannot open (Is a directory)"},
      // Nothing waits for a FIFO's writer or reads a device for ever.
      {dir.file("fifo"), o::cannot_open, 8, MV517, "cannot open (not a regular file)"},
      {"/dev/zero", o::cannot_open, 8, MV517, "cannot open (not a regular file)"},
      {dir.file("big.qpx"), o::cannot_open, 8, MV517, "cannot open (larger than 16 MiB)"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    mv_selector = 3;  // neither device: the read must leave it alone
    const preset_file_read_t r = read_preset_file(c.path);
    EXPECT_EQ(mv_selector, 3);
    EXPECT_TRUE(r.outcome == c.outcome && r.code == c.code && r.device == c.device);
    EXPECT_EQ(r.problem(), c.problem);
    EXPECT_TRUE(r.whole() == (c.outcome == o::whole) &&
                r.readable() == (c.outcome != o::checksum && c.outcome != o::cannot_open));
    EXPECT_TRUE(r.readable() || same_preset(r.preset, preset_def));
  }
  mv_selector = MV517;

  // What a read holds before its problem: tests/cli/partial_reads.sh, and a
  // bad number's field in XmlRead.WhatAFileLeaves.
  // Without the checksum demanded the changed file reads whole.
  const preset_file_read_t unchecked = read_preset_file(dir.file("changed.qpx"), false);
  EXPECT_TRUE(unchecked.whole());
  EXPECT_STREQ(unchecked.preset.channel[0].name, "Top M");
}

}  // namespace
