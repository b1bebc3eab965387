#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "files/xml.h"
#include "model/preset.h"
#include "test_util.h"

namespace {

struct ReadResult {
  uint8_t result;
  uint8_t error;
  preset_t p;
};

class XmlRead : public ::testing::Test {
 protected:
  // Reads `bytes` as a preset file (with a correct checksum line appended)
  // or, with use 1, as they stand.
  ReadResult read(const std::string& bytes, uint8_t use = 0) {
    const std::string f = dir_.file("in.xml");
    write_file(f, use == 0 ? with_checksum(bytes) : bytes);
    ReadResult r;
    std::memset(&r.p, 0x5A, sizeof r.p);
    r.result = xml_read(f.c_str(), &r.p, use);
    r.error = xml_error;
    return r;
  }
  // A PRESET element around `content`.
  static std::string preset_file(const std::string& content, const char* device = "MV517") {
    return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<PRESET DEVICE=\"") + device +
           "\" VERSION=\"1\">\n" + content + "</PRESET>\n";
  }
  static std::string channel(int id, const std::string& content) {
    return "<CHANNEL ID=\"" + std::to_string(id) + "\">" + content + "</CHANNEL>\n";
  }
  ScratchDir dir_;
};

preset_t random_preset(std::mt19937& rng) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto name = [&](char* field, size_t max) {
    const size_t len = pick(0, static_cast<int>(max));
    size_t i = 0;
    for (; i < len; ++i) {
      int b = pick(1, 255);
      // Keep the written form within one text run: few references.
      if (b >= 0x80 && pick(0, 3) != 0) b = pick(0x20, 0x7E);
      if (b == '\r') b = 'r';  // a carriage return reads back as a line feed
      field[i] = static_cast<char>(b);
    }
    field[i] = '\0';
  };
  preset_t p{};
  name(p.name, 12);
  p.mute = static_cast<uint8_t>(pick(0, 15));
  p.lock = static_cast<uint8_t>(pick(0, 255));
  for (channel_t& c : p.channel) {
    name(c.name, 9);
    c.routing = static_cast<uint8_t>(pick(0, 60));
    c.gain = static_cast<int16_t>(pick(-999, 60));
    c.groups = static_cast<uint8_t>(pick(0, 255));
    c.phase = static_cast<uint8_t>(pick(0, 1));
    for (xo_t& x : c.xo) {
      x.config = static_cast<uint8_t>(pick(0, 2));
      for (int s = 0; s < 2; ++s) {
        x.freq[s] = static_cast<uint16_t>(pick(35, 8000));
        x.q[s] = static_cast<uint8_t>(pick(7, 12));
      }
    }
    for (peq_t& b : c.peq) {
      b.freq = static_cast<uint16_t>(pick(35, 12000));
      b.q = static_cast<uint8_t>(pick(7, 125));
      b.gain = static_cast<int8_t>(pick(-120, 120));
      b.type = static_cast<uint8_t>(pick(0, 1));
    }
    c.dynamics = dynamics_t{static_cast<uint8_t>(pick(0, 255)), static_cast<uint8_t>(pick(0, 255)),
                            static_cast<int8_t>(pick(-99, 0)), static_cast<int8_t>(pick(-99, 0))};
    c.delay = static_cast<uint16_t>(pick(0, 40000));
  }
  return p;
}

TEST_F(XmlRead, RandomPresetsSurviveWriteAndRead) {
  std::mt19937 rng(20261206);
  const std::string f = dir_.file("round.qpx");
  for (int i = 0; i < 300; ++i) {
    preset_t p = random_preset(rng);
    if (written_text_length(p.name) > XML_TEXT_MAX) p.name[5] = '\0';
    const int8_t device = (i % 3 == 0) ? MV961 : MV517;
    ASSERT_EQ(xml_write(f.c_str(), &p, device), 0);
    preset_t back;
    mv_selector = 0;
    ASSERT_EQ(xml_read(f.c_str(), &back, 0), 0);
    ASSERT_EQ(xml_error, 0) << "preset " << i;
    EXPECT_EQ(mv_selector, device);
    EXPECT_STREQ(back.name, p.name);
    EXPECT_EQ(back.lock, p.lock);
    const int channels = device == MV517 ? 4 : 2;
    const uint8_t mask = device == MV517 ? 0x0F : 0x03;
    EXPECT_EQ(back.mute, p.mute & mask);
    for (int n = 0; n < 4; ++n) {
      const channel_t& want = n < channels ? p.channel[n] : preset_def.channel[n];
      EXPECT_TRUE(same_channel(back.channel[n], want)) << "preset " << i << " channel " << n;
    }
  }
}

TEST_F(XmlRead, ChecksumGateAndUnopenableFiles) {
  const std::string f = dir_.file("p.qpx");
  preset_t p = preset_def;
  std::strcpy(p.name, "Tuned");
  ASSERT_EQ(xml_write(f.c_str(), &p, MV517), 0);
  std::string bytes = read_file(f);
  bytes[bytes.find("Tuned")] = 't';
  write_file(f, bytes);

  preset_t target;
  std::memset(&target, 0x33, sizeof target);
  const preset_t before = target;
  EXPECT_EQ(xml_read(f.c_str(), &target, 0), XML_ERR_CHECKSUM);
  EXPECT_EQ(std::memcmp(&target, &before, sizeof target), 0);
  // Without the check the same file reads normally.
  EXPECT_EQ(xml_read(f.c_str(), &target, 1), 0);
  EXPECT_STREQ(target.name, "tuned");

  std::memset(&target, 0x33, sizeof target);
  for (uint8_t use : {0, 1}) {
    for (const std::string& name : {dir_.file("absent.qpx"), dir_.path()}) {
      EXPECT_EQ(xml_read(name.c_str(), &target, use), XML_ERR_OPEN) << name;
      EXPECT_EQ(xml_error, XML_ERR_OPEN);
      EXPECT_EQ(std::memcmp(&target, &before, sizeof target), 0);
    }
  }
}

TEST_F(XmlRead, GoodFilesEndWithoutError) {
  // MV517: after channel 4 the PRESET ends normally.
  ReadResult r = read(preset_file(channel(1, "") + channel(4, "<NAME>four</NAME>")));
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(xml_preset_done, 1);
  EXPECT_STREQ(r.p.channel[3].name, "four");

  // An MV961 file holding a channel 4 stays an MV961.
  r = read(preset_file(channel(4, "") + "<LOCK>3</LOCK>\n", "MV961"));
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(mv_selector, MV961);
  EXPECT_EQ(r.p.lock, 0) << "content after channel 4 is not read";

  // Elements after channel 4 are skipped with their content; a stray end
  // tag there is still an error.
  r = read(preset_file(channel(4, "") + "<X><NAME>q</NAME></X><NAME>late</NAME>"));
  EXPECT_EQ(r.error, 0);
  EXPECT_STREQ(r.p.name, "Preset");
  r = read(preset_file(channel(4, "") + "</NAME>"));
  EXPECT_EQ(r.error, XML_ERR_END_TAG);

  // An empty file (no checksum demanded) gives the default preset.
  r = read("", 1);
  EXPECT_EQ(r.result, 0);
  EXPECT_TRUE(same_preset(r.p, preset_def));
}

TEST_F(XmlRead, TextReferencesAndCharacters) {
  struct Case {
    const char* file_text;
    const char* name;
  };
  const Case cases[] = {
      {"A&amp;B", "A&B"},
      {"x&lt;y&gt;z", "x<y>z"},
      {"&#x2192;", "\x82"},
      {"&#8594;", "\x82"},
      {"\xe2\x86\x92", "\x82"},  // the arrow written as UTF-8
      {"&#x2190;&#x2195;", "\x80\x85"},
      {"&#xe4;", "\xe4"},  // as the writer writes 0xE4
      {"&#XE4;", "?"},     // not a hexadecimal reference
      {"&#228;", "\xe4"},
      {"\xc3\xa4", "\xe4"},  // the same character as UTF-8
      {"&#x263a;", "?"},
      {"\xe2\x98\xba", "?"},
      {"&#0;", "?"},
      {"a&quot;b", "a"},  // unknown references swallow the rest
      {" sp  ", " sp  "},
      {"thirteen char", "thirteen cha"},
  };
  for (const Case& c : cases) {
    ReadResult r = read(preset_file(std::string("<NAME>") + c.file_text + "</NAME>\n"));
    EXPECT_STREQ(r.p.name, c.name) << c.file_text;
    EXPECT_EQ(r.error, 0) << c.file_text;
  }
  // Channel names are cut to nine bytes.
  ReadResult r = read(preset_file(channel(2, "<NAME>0123456789AB</NAME>")));
  EXPECT_STREQ(r.p.channel[1].name, "012345678");
  // A reference longer than nine characters stops the read.
  r = read(preset_file("<NAME>&abcdefghij;</NAME>\n"));
  EXPECT_EQ(r.error, XML_ERR_TOO_LONG);
  // CR LF and lone CR read as line feeds (checksum not demanded here).
  r = read(std::string(
               "<PRESET DEVICE=\"MV517\" VERSION=\"1\">\r\n<NAME>a\r\rb</NAME>\r\n</PRESET>\r\n"),
           1);
  EXPECT_STREQ(r.p.name, "a\n\nb");
}

TEST_F(XmlRead, NumbersRangesAndDecimals) {
  struct Case {
    const char* element;
    const char* text;
    int expected;  // value of the field afterwards
    uint8_t error;
  };
  // Channel GAIN (1 decimal), DELAY (2), RT (-1), others.
  const Case cases[] = {
      {"GAIN", " -3.5 ", -35, 0},
      {"GAIN", "-3.57", -35, 0},
      {"GAIN", "-3", -30, 0},
      {"GAIN", "+6", 60, 0},
      {"GAIN", "6.1", 0, 0},
      {"GAIN", "", 0, 0},
      {"GAIN", "-99.9", -999, 0},
      {"GAIN", "-100", 0, 0},
      {"GAIN", "1-2", 0, XML_ERR_SYNTAX},
      {"GAIN", "2x", 0, XML_ERR_SYNTAX},
      {"GAIN", "1..2", 0, XML_ERR_SYNTAX},
      {"DELAY", "400.00", 40000, 0},
      {"DELAY", "400.01", 0, 0},
      {"DELAY", "1.5", 150, 0},
      {"DELAY", ".07", 7, 0},
      {"DELAY", "12", 1200, 0},
      {"DELAY", "\t3\n", 300, 0},
      {"ROUTE", "60", 60, 0},
      {"ROUTE", "61", 0, 0},
      {"PHASE", "1", 1, 0},
      {"PHASE", "2", 0, 0},
  };
  for (const Case& c : cases) {
    const std::string el = c.element;
    ReadResult r = read(preset_file(channel(1, "<" + el + ">" + c.text + "</" + el + ">")));
    const channel_t& ch = r.p.channel[0];
    const int got = el == "GAIN"    ? ch.gain
                    : el == "DELAY" ? ch.delay
                    : el == "ROUTE" ? ch.routing
                                    : ch.phase;
    EXPECT_EQ(got, c.expected) << el << " '" << c.text << "'";
    EXPECT_EQ(r.error, c.error) << el << " '" << c.text << "'";
  }
  const struct {
    const char* text;
    int release;
  } rt[] = {{"105", 10}, {"5", 0}, {"2559", 255}, {"2560", 10}, {"100", 10}};
  for (const auto& c : rt) {
    ReadResult r =
        read(preset_file(channel(1, std::string("<LIMITER><RT>") + c.text + "</RT></LIMITER>")));
    EXPECT_EQ(r.p.channel[0].dynamics.release, c.release) << c.text;
  }
  // A malformed number stores 0 where 0 is allowed, then stops the read.
  ReadResult r = read(preset_file(channel(1, "<GAIN>-5</GAIN><GAIN>5y</GAIN><PHASE>1</PHASE>")));
  EXPECT_EQ(r.p.channel[0].gain, 0);
  EXPECT_EQ(r.p.channel[0].phase, 0);
  EXPECT_EQ(r.error, XML_ERR_SYNTAX);
  EXPECT_EQ(xml_get_int("99999999999", 0), 2147483647);
}

TEST_F(XmlRead, GroupsMuteAndFilters) {
  ReadResult r = read(preset_file(
      channel(2,
              "<GROUP ID=\"MUTE\">3</GROUP><GROUP ID=\"GAIN\">2</GROUP><GROUP ID=\"X\">9</GROUP>"
              "<MUTE>1</MUTE><MUTE>0</MUTE>"
              "<XO ID=\"LP\"><FREQ ID=\"2\">200</FREQ><Q ID=\"1\">1.2</Q><TYPE>2</TYPE>"
              "<FREQ ID=\"2\">300</FREQ><FREQ ID=\"1\">9000</FREQ></XO>"
              "<XO ID=\"LP\"><TYPE>1</TYPE></XO>"
              "<PEQ ID=\"3\"><FREQ>12000</FREQ><GAIN>-12.0</GAIN><Q>12.5</Q><TYPE>1</TYPE></PEQ>"
              "<PEQ ID=\"3\"><FREQ>40</FREQ></PEQ><PEQ "
              "ID=\"7\"><FREQ>41</FREQ></PEQ><PEQ><FREQ>42</FREQ></PEQ>")));
  EXPECT_EQ(r.error, 0);
  const channel_t& c = r.p.channel[1];
  EXPECT_EQ(c.groups, 0x32);
  EXPECT_EQ(r.p.mute, 0x02);
  EXPECT_EQ(c.xo[1].freq[1], 200) << "a repeated FREQ ID is skipped";
  EXPECT_EQ(c.xo[1].freq[0], 120) << "9000 Hz is out of range";
  EXPECT_EQ(c.xo[1].q[0], 12);
  EXPECT_EQ(c.xo[1].config, 2) << "a repeated XO ID is skipped";
  EXPECT_EQ(c.peq[2].freq, 12000);
  EXPECT_EQ(c.peq[2].gain, -120);
  EXPECT_EQ(c.peq[2].q, 125);
  EXPECT_EQ(c.peq[2].type, 1);
  for (int b : {0, 1, 3, 4, 5}) EXPECT_EQ(c.peq[b].freq, preset_def.channel[1].peq[b].freq);

  r = read(preset_file("<CHANNEL ID=\"1\" ID=\"2\"><NAME>x</NAME></CHANNEL>\n"));
  EXPECT_EQ(r.error, XML_ERR_SECOND_ID);
  r = read(preset_file("<CHANNEL ID=\"1\" ID=\"9\"><NAME>x</NAME></CHANNEL>\n"));
  EXPECT_EQ(r.error, 0);
  EXPECT_STREQ(r.p.channel[0].name, "x");
}

TEST_F(XmlRead, PresetElementsAndUnknownElements) {
  // VERSION 2: skipped whole, but DEVICE still selects the device.
  ReadResult r =
      read(std::string("<PRESET DEVICE=\"MV961\" VERSION=\"2\"><NAME>x</NAME></PRESET>\n"));
  EXPECT_TRUE(same_preset(r.p, preset_def));
  EXPECT_EQ(mv_selector, MV961);
  EXPECT_EQ(r.error, 0);
  // A second PRESET after a complete one is not read.
  r = read(preset_file("<NAME>one</NAME>\n") + preset_file("<NAME>two</NAME>\n"));
  EXPECT_STREQ(r.p.name, "one");
  // Unknown elements are skipped with their content, nested or not.
  r =
      read(preset_file("<EXTRA><NAME>q</NAME><EXTRA>x</EXTRA></EXTRA><NAME>n</NAME>\n<?pi x?>"
                       "<!-- a comment -->" +
                       channel(1, "<GAIN><B>2</B>1</GAIN>")));
  EXPECT_STREQ(r.p.name, "n");
  EXPECT_EQ(r.p.channel[0].gain, 10);
  EXPECT_EQ(r.error, 0);
  // An empty-element tag opens an element that never ends.
  r = read(preset_file(channel(1, "<NAME/><GAIN>2</GAIN>")));
  EXPECT_EQ(r.p.channel[0].gain, 0);
  // A stray end tag stops the read.
  r = read(preset_file("</NAME><LOCK>1</LOCK>"));
  EXPECT_EQ(r.error, XML_ERR_END_TAG);
  EXPECT_EQ(r.p.lock, 0);
  // Text after the last tag is never applied.
  r = read("<PRESET DEVICE=\"MV517\" VERSION=\"1\"><NAME>tail", 1);
  EXPECT_STREQ(r.p.name, "Preset");
}

TEST_F(XmlRead, LimitsAndErrorCodes) {
  struct Case {
    std::string bytes;
    uint8_t error;
  };
  const Case cases[] = {
      {preset_file("<NAME>" + std::string(63, ' ') + "</NAME>"), 0},
      {preset_file("<NAME>" + std::string(64, ' ') + "</NAME>"), XML_ERR_TOO_LONG},
      {preset_file("<NAME>" + std::string(60, 'a') + "&amp;&amp;&amp;</NAME>"), 0},
      {preset_file("<" + std::string(64, 'A') + ">"), XML_ERR_TOO_LONG},
      {preset_file("<NAME>a>b</NAME>"), XML_ERR_SYNTAX},
      {preset_file("<NAME<>"), XML_ERR_SYNTAX},
      {preset_file("<!-- a -- b -->"), XML_ERR_SYNTAX},
      {preset_file("<CHANNEL ABCDEFGHIJ=\"1\">"), XML_ERR_ATT_NAME},
      {preset_file("<CHANNEL ABCDEFGHI=\"1\" ID=\"1\"></CHANNEL>"), 0},
      {preset_file("<CHANNEL ID>"), XML_ERR_ATT_EQUALS},
      {preset_file("<CHANNEL ID=1>"), XML_ERR_ATT_QUOTE},
      {preset_file("<CHANNEL ID=\"1234567890\">"), XML_ERR_ATT_VALUE},
      {preset_file("<CHANNEL ID=\"123456789\"></CHANNEL>"), 0},
  };
  for (const Case& c : cases) {
    ReadResult r = read(c.bytes, 1);  // the checksum scan has the same limits
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.error, c.error) << c.bytes;
  }
  // A read that stopped inside a skipped element leaves nothing behind.
  read(preset_file("<SKIP><A>" + std::string(70, 'x')));
  ReadResult r = read(preset_file("<NAME>next</NAME>\n"));
  EXPECT_EQ(r.error, 0);
  EXPECT_STREQ(r.p.name, "next");
}

// ---- The wizard's factory file ----

std::string block(const char* mode, const std::string& name, int gain) {
  std::string s = std::string("<") + mode + "><NAME>" + name + "</NAME>\n";
  s += "<CHANNEL ID=\"1\"><GAIN>" + std::to_string(gain) + "</GAIN></CHANNEL>\n";
  s += "<CHANNEL ID=\"4\"><DELAY>1</DELAY></CHANNEL>\n";
  return s + "</" + mode + ">\n";
}

std::string speaker(const char* model, const std::string& blocks) {
  return std::string("<") + model + " KIND=\"x\">\n" + blocks + "</" + model + ">\n";
}

class WizardRead : public XmlRead {
 protected:
  ReadResult read_wizard(const std::string& body, uint16_t selection) {
    tree_select = selection;
    mv_selector = MV961;
    return read("<?xml version=\"1.0\"?>\n<WIZARD>\n" + body + "</WIZARD>\n", 1);
  }
};

TEST_F(WizardRead, SelectedBlocksApplyInDocumentOrder) {
  const std::string body =
      speaker("RS2", block("FULLRANGE", "rs2 full", -1) + block("SAT", "rs2 sat", -2)) +
      speaker("RX1", block("SAT", "rx1 sat", -3) + block("MONITOR", "rx1 mon", -4));
  ReadResult r = read_wizard(body, 0x0080 | 0x0004);  // RS2, SAT
  EXPECT_EQ(r.error, 0);
  EXPECT_STREQ(r.p.name, "rs2 sat");
  EXPECT_EQ(r.p.channel[0].gain, -20);
  EXPECT_EQ(r.p.channel[3].delay, 100);
  EXPECT_EQ(mv_selector, MV517);

  r = read_wizard(body, 0x0080 | 0x0800 | 0x0004);  // RS2, RX1, SAT: RX1 overwrites
  EXPECT_EQ(r.error, 0);
  EXPECT_STREQ(r.p.name, "rx1 sat");
  EXPECT_EQ(r.p.channel[0].gain, -30);

  r = read_wizard(body, 0x0800 | 0x0020);  // RX1, MONITOR
  EXPECT_STREQ(r.p.name, "rx1 mon");

  r = read_wizard(body, 0x0040 | 0x0004);  // RS1 is not in the file
  EXPECT_EQ(r.error, 0);
  EXPECT_TRUE(same_preset(r.p, preset_def));
}

TEST_F(WizardRead, BlocksThatEndTheRead) {
  // A selected block without channel 4 ends the read at its end tag.
  std::string no_ch4 = "<SAT><NAME>a</NAME></SAT>\n";
  ReadResult r = read_wizard(
      speaker("RS1", no_ch4 + block("MONITOR", "b", 0)) + speaker("RX1", block("SAT", "late", -1)),
      0x0040 | 0x0800 | 0x0004);
  EXPECT_EQ(r.error, XML_ERR_END_TAG);
  EXPECT_STREQ(r.p.name, "a");

  // Empty blocks: a selected one, or an unselected SAT/FULLRANGE, ends the
  // read; an unselected MONITOR/BASSARRAY is passed over.
  r = read_wizard(
      speaker("RS1", "<MONITOR></MONITOR>\n") + speaker("RX1", block("SAT", "after", 0)),
      0x0040 | 0x0800 | 0x0004);
  EXPECT_STREQ(r.p.name, "after");
  r = read_wizard(
      speaker("RS1", "<FULLRANGE></FULLRANGE>\n") + speaker("RX1", block("SAT", "after", 0)),
      0x0040 | 0x0800 | 0x0004);
  EXPECT_STREQ(r.p.name, "Preset");
  r = read_wizard(speaker("RS1", "<SAT></SAT>\n" + block("MONITOR", "x", 0)), 0x0040 | 0x0004);
  EXPECT_NE(r.error, 0);
  EXPECT_STREQ(r.p.name, "Preset");

  // Anything after channel 4 inside a block is ignored.
  r = read_wizard(speaker("RS3", "<SAT><CHANNEL ID=\"4\"></CHANNEL><NAME>no</NAME></SAT>\n"),
                  0x0100 | 0x0004);
  EXPECT_STREQ(r.p.name, "Preset");
}

}  // namespace

namespace {

TEST(XmlReaderParts, TagNamesAndAttributes) {
  EXPECT_EQ(cmp_tag("CHANNEL ID=\"1\"", "CHANNEL"), 7);
  EXPECT_EQ(cmp_tag("/CHANNEL", "CHANNEL"), -1);
  EXPECT_EQ(cmp_tag("CHANNELS", "CHANNEL"), 0);
  EXPECT_EQ(cmp_tag("NAME/", "NAME"), 0);

  const char* tag = "PRESET  DEVICE=\"MV517\" VERSION=\"1\"";
  char name[10], value[10];
  int pos = read_attribute(tag, 6, name, value);
  EXPECT_STREQ(name, "DEVICE");
  EXPECT_STREQ(value, "MV517");
  pos = read_attribute(tag, pos, name, value);
  EXPECT_STREQ(name, "VERSION");
  EXPECT_STREQ(value, "1");
  EXPECT_EQ(read_attribute(tag, pos, name, value), 0);
}

}  // namespace
