#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "files/crc.h"
#include "files/xml.h"
#include "model/preset.h"
#include "test_util.h"

namespace {

// The expected bytes of a preset file, assembled line by line from the
// documented layout (independently of the writer).
class Expected {
 public:
  void line(int depth, const std::string& text) { s_ += std::string(depth, '\t') + text + "\n"; }
  void simple(int depth, const std::string& tag, const std::string& value,
              const std::string& att = "") {
    line(depth, "<" + tag + (att.empty() ? "" : " " + att) + ">" + value + "</" + tag + ">");
  }
  std::string body() const { return s_; }

 private:
  std::string s_;
};

std::string expected_default_channel(Expected& e, int n, const char* hp_q1) {
  const char* names[] = {"Out A    ", "Out B    ", "Out C    ", "Out D    "};
  e.line(1, "<CHANNEL ID=\"" + std::to_string(n + 1) + "\">");
  e.simple(2, "NAME", names[n]);
  e.simple(2, "DELAY", "0.00");
  e.simple(2, "GAIN", "0.0");
  e.simple(2, "MUTE", "0");
  e.simple(2, "PHASE", "0");
  e.simple(2, "ROUTE", std::to_string(n));
  e.simple(2, "GROUP", "0", "ID=\"GAIN\"");
  e.simple(2, "GROUP", "0", "ID=\"MUTE\"");
  e.line(2, "<XO ID=\"HP\">");
  e.simple(3, "FREQ", "35", "ID=\"1\"");
  e.simple(3, "Q", hp_q1, "ID=\"1\"");
  e.simple(3, "FREQ", "35", "ID=\"2\"");
  e.simple(3, "Q", "0.7", "ID=\"2\"");
  e.simple(3, "TYPE", "1");
  e.line(2, "</XO>");
  e.line(2, "<XO ID=\"LP\">");
  e.simple(3, "FREQ", "120", "ID=\"1\"");
  e.simple(3, "Q", "0.7", "ID=\"1\"");
  e.simple(3, "FREQ", "120", "ID=\"2\"");
  e.simple(3, "Q", "0.7", "ID=\"2\"");
  e.simple(3, "TYPE", "0");
  e.line(2, "</XO>");
  const char* freqs[] = {"50", "100", "500", "1000", "5000", "10000"};
  for (int b = 0; b < 6; ++b) {
    e.line(2, "<PEQ ID=\"" + std::to_string(b + 1) + "\">");
    e.simple(3, "FREQ", freqs[b]);
    e.simple(3, "GAIN", "0.0");
    e.simple(3, "Q", "0.7");
    e.simple(3, "TYPE", "0");
    e.line(2, "</PEQ>");
  }
  e.line(2, "<LIMITER>");
  e.simple(3, "AT", "1");
  e.simple(3, "RT", "100");
  e.simple(3, "THRESHOLD", "0");
  e.simple(3, "GAIN", "0");
  e.line(2, "</LIMITER>");
  e.line(1, "</CHANNEL>");
  return e.body();
}

std::string expected_default_file(const char* device, int channels, const char* hp_q1) {
  Expected e;
  e.line(0, "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  e.line(0, "<?xml-stylesheet type=\"text/xsl\" href=\"MV517.xsl\"?>");
  e.line(0, std::string("<PRESET DEVICE=\"") + device + "\" VERSION=\"1\">");
  e.simple(1, "AUTHOR", device);
  e.simple(1, "NAME", "Preset");
  e.simple(1, "LOCK", "0");
  for (int n = 0; n < channels; ++n) expected_default_channel(e, n, hp_q1);
  e.line(0, "</PRESET>");
  return with_checksum(e.body());
}

bool xmllint_ok(const std::string& file) {
  return std::system(("xmllint --noout '" + file + "' 2>/dev/null").c_str()) == 0;
}

TEST(XmlWrite, DefaultPresetBytesForBothDevices) {
  ScratchDir dir;
  const std::string f = dir.file("default.qpx");
  ASSERT_EQ(xml_write(f.c_str(), &preset_def, MV517), 0);
  EXPECT_EQ(read_file(f), expected_default_file("MV517", 4, "1.2"));
  EXPECT_TRUE(xmllint_ok(f));

  ASSERT_EQ(xml_write(f.c_str(), &preset_def, MV961), 0);
  EXPECT_EQ(read_file(f), expected_default_file("MV961", 2, "1.2"));

  // The editor fixes the high-pass Q of its type when it builds the
  // crossover tab; New followed by Save writes Q 0.7 in slot 1.
  preset_t built = preset_def;
  for (channel_t& ch : built.channel) {
    xo_apply_build_q(ch, 0);
    xo_apply_build_q(ch, 1);
  }
  ASSERT_EQ(xml_write(f.c_str(), &built, MV517), 0);
  EXPECT_EQ(read_file(f), expected_default_file("MV517", 4, "0.7"));
  EXPECT_NE(read_file(f).find("\t\t\t<Q ID=\"1\">0.7</Q>\n"), std::string::npos);
}

TEST(XmlWrite, NumbersFollowTheirDecimals) {
  struct Case {
    int32_t value;
    int8_t decimals;
    const char* text;
  };
  const Case cases[] = {
      {125, 1, "12.5"},     {-35, 1, "-3.5"},   {5, 1, "0.5"},   {0, 2, "0.00"},
      {50, 2, "0.50"},      {5, 2, "0.05"},     {7, 2, "0.07"},  {150, 2, "1.50"},
      {40000, 2, "400.00"}, {-999, 1, "-99.9"}, {-12, 0, "-12"}, {0, 0, "0"},
      {25, -1, "250"},      {0, -1, "00"},      {-5, 1, "-0.5"},
  };
  for (const Case& c : cases) {
    char text[48];
    format_fixed(c.value, c.decimals, text, sizeof text);
    EXPECT_STREQ(text, c.text) << c.value << " with " << int(c.decimals);
  }
}

TEST(XmlWrite, FieldsEscapingAndSignedValues) {
  ScratchDir dir;
  const std::string f = dir.file("p.qpx");
  preset_t p = preset_def;
  std::strcpy(p.name, "a<b>&c");
  std::strcpy(p.channel[0].name, "\x80\xe4q");
  std::strcpy(p.channel[1].name, "\"'\t");
  p.channel[0].delay = 150;
  p.channel[0].gain = -999;
  p.channel[0].groups = 0x52;
  p.channel[0].phase = 1;
  p.channel[0].routing = 10;
  p.channel[0].peq[2] = peq_t{12000, 125, -120, 0};
  p.channel[0].dynamics = dynamics_t{127, 25, -24, -99};
  p.channel[0].xo[0] = xo_t{2, {100, 120}, {7, 7}};
  p.mute = 0x09;
  p.lock = 0x85;
  ASSERT_EQ(xml_write(f.c_str(), &p, MV517), 0);
  const std::string s = read_file(f);
  const char* present[] = {
      "\t<NAME>a&lt;b&gt;&amp;c</NAME>\n",
      "\t\t<NAME>&#x2190;&#xe4;q</NAME>\n",
      "\t\t<NAME>\"'\t</NAME>\n",
      "\t<LOCK>133</LOCK>\n",
      "\t\t<DELAY>1.50</DELAY>\n\t\t<GAIN>-99.9</GAIN>\n\t\t<MUTE>1</MUTE>\n"
      "\t\t<PHASE>1</PHASE>\n\t\t<ROUTE>10</ROUTE>\n"
      "\t\t<GROUP ID=\"GAIN\">2</GROUP>\n\t\t<GROUP ID=\"MUTE\">5</GROUP>\n",
      "\t\t\t<FREQ ID=\"1\">100</FREQ>\n\t\t\t<Q ID=\"1\">0.7</Q>\n"
      "\t\t\t<FREQ ID=\"2\">120</FREQ>\n\t\t\t<Q ID=\"2\">0.7</Q>\n\t\t\t<TYPE>2</TYPE>\n",
      "\t\t<PEQ ID=\"3\">\n\t\t\t<FREQ>12000</FREQ>\n\t\t\t<GAIN>-12.0</GAIN>\n"
      "\t\t\t<Q>12.5</Q>\n\t\t\t<TYPE>0</TYPE>\n\t\t</PEQ>\n",
      "\t\t<LIMITER>\n\t\t\t<AT>127</AT>\n\t\t\t<RT>250</RT>\n"
      "\t\t\t<THRESHOLD>-24</THRESHOLD>\n\t\t\t<GAIN>-99</GAIN>\n\t\t</LIMITER>\n",
  };
  for (const char* text : present) EXPECT_NE(s.find(text), std::string::npos) << text;
  // Mute bits 0 and 3 only.
  size_t pos = 0;
  int ones = 0;
  while ((pos = s.find("<MUTE>1</MUTE>", pos)) != std::string::npos) ++ones, ++pos;
  EXPECT_EQ(ones, 2);
  EXPECT_TRUE(xmllint_ok(f));
  EXPECT_EQ(crc16_file(f.c_str()), crc_seek(f.c_str()));
}

TEST(XmlWrite, RepeatedWritesAreIdenticalAndPassTheirCheck) {
  ScratchDir dir;
  preset_t p = preset_def;
  p.channel[2].gain = -35;
  const std::string a = dir.file("a.qpx"), b = dir.file("b.qpx");
  ASSERT_EQ(xml_write(a.c_str(), &p, MV517), 0);
  ASSERT_EQ(xml_write(b.c_str(), &p, MV517), 0);
  EXPECT_EQ(read_file(a), read_file(b));
  EXPECT_EQ(crc16_file(a.c_str()), crc_seek(a.c_str()));
  EXPECT_EQ(xml_indent, 0);
}

TEST(XmlWrite, ReplacesAnExistingFileAndKeepsItsMode) {
  ScratchDir dir;
  const std::string f = dir.file("p.qpx");
  write_file(f, "old contents");
  chmod(f.c_str(), 0640);
  ASSERT_EQ(xml_write(f.c_str(), &preset_def, MV517), 0);
  EXPECT_EQ(read_file(f), expected_default_file("MV517", 4, "1.2"));
  struct stat st;
  ASSERT_EQ(stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // No temporary file is left beside it.
  EXPECT_EQ(std::system(("test $(ls -A '" + dir.path() + "' | wc -l) -eq 1").c_str()), 0);

  // A link is followed: the file it points to is replaced, the link stays.
  const std::string link = dir.file("link.qpx");
  ASSERT_EQ(symlink(f.c_str(), link.c_str()), 0);
  preset_t p = preset_def;
  std::strcpy(p.name, "Linked");
  ASSERT_EQ(xml_write(link.c_str(), &p, MV517), 0);
  struct stat lst;
  ASSERT_EQ(lstat(link.c_str(), &lst), 0);
  EXPECT_TRUE(S_ISLNK(lst.st_mode));
  EXPECT_NE(read_file(f).find("<NAME>Linked</NAME>"), std::string::npos);
}

TEST(XmlWrite, FailuresLeaveTheTargetUntouched) {
  ScratchDir dir;
  // A folder that does not exist: nothing can be created.
  EXPECT_EQ(xml_write(dir.file("missing/p.qpx").c_str(), &preset_def, MV517), XML_ERR_CREATE);
  EXPECT_NE(xml_errno, 0);
  // A target that is a folder.
  EXPECT_EQ(xml_write(dir.path().c_str(), &preset_def, MV517), XML_ERR_CREATE);
  EXPECT_EQ(std::system(("test -d '" + dir.path() + "'").c_str()), 0);

  // A device that takes no data: the short write is reported.
  EXPECT_EQ(xml_write("/dev/full", &preset_def, MV517), XML_ERR_SHORT_WRITE);
  struct stat st;
  ASSERT_EQ(stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  // A write cut short by the file size limit: the old file stays as it was
  // and no temporary file remains.
  const std::string f = dir.file("keep.qpx");
  write_file(f, "precious tuning");
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim = {1000, 1000};
    setrlimit(RLIMIT_FSIZE, &lim);
    _exit(xml_write(f.c_str(), &preset_def, MV517));
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), XML_ERR_SHORT_WRITE);
  EXPECT_EQ(read_file(f), "precious tuning");
  EXPECT_EQ(std::system(("test $(ls -A '" + dir.path() + "' | wc -l) -eq 1").c_str()), 0);
}

}  // namespace
