#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "files/xml.h"
#include "model/preset.h"
#include "test_util.h"

namespace {

bool xmllint_ok(const std::string& file) {
  return std::system(("xmllint --noout '" + file + "' 2>/dev/null").c_str()) == 0;
}

int entries(const std::string& folder) {
  return std::system(("exit $(ls -A '" + folder + "' | wc -l)").c_str()) >> 8;
}

// The writer's output for known records against the expected files: the
// default preset as it is, New then Save on both devices, and the tuned
// show file read and written again. Each is well-formed XML and ends in the
// checksum line of an independent CRC over everything before it.
TEST(XmlWrite, ExpectedFiles) {
  preset_t new517 = preset_def, new961 = preset_def, live;
  apply_build_q(new517, MV517);
  apply_build_q(new961, MV961);
  ASSERT_EQ(xml_read(data_file("live_mv517.qpx").c_str(), &live, 0), 0);
  // clang-format off
  const struct { const char* golden; const preset_t* p; int8_t device; } cases[] = {
      {"default_mv517.qpx", &preset_def, MV517}, {"new_mv517.qpx", &new517, MV517},
      {"new_mv961.qpx", &new961, MV961}, {"live_mv517.qpx", &live, MV517}};
  // clang-format on
  ScratchDir dir;
  const std::string f = dir.file("out.qpx");
  for (const auto& c : cases) {
    ASSERT_EQ(xml_write(f.c_str(), c.p, c.device), 0) << c.golden;
    const std::string bytes = read_file(f);
    EXPECT_EQ(bytes, read_file(data_file(c.golden))) << c.golden;
    EXPECT_EQ(bytes, with_checksum(bytes.substr(0, bytes.rfind("<!-->")))) << c.golden;
    EXPECT_TRUE(xmllint_ok(f)) << c.golden;
  }
  // A few lines as the layout gives them: escapes and references in names,
  // the 400 m delay, the Q the editor fixes for the high-pass.
  const std::string live_bytes = read_file(f);
  for (const char* line : {"\t<NAME>Live &lt;A&amp;B&gt;</NAME>\n",
                           "\t\t<NAME>Fill &#x2190;&#xe4;</NAME>\n", "\t\t<DELAY>400.00</DELAY>\n"})
    EXPECT_NE(live_bytes.find(line), std::string::npos) << line;
  EXPECT_NE(read_file(data_file("new_mv517.qpx")).find("\t\t\t<Q ID=\"1\">0.7</Q>\n"),
            std::string::npos);
}

// Stored integers as the file writes them (decimals -1: tens).
TEST(XmlWrite, NumbersFollowTheirDecimals) {
  // clang-format off
  const struct { int32_t value; int8_t decimals; const char* text; } cases[] = {
      {125, 1, "12.5"}, {-35, 1, "-3.5"}, {5, 1, "0.5"}, {-5, 1, "-0.5"}, {-999, 1, "-99.9"},
      {0, 2, "0.00"}, {7, 2, "0.07"}, {50, 2, "0.50"}, {40000, 2, "400.00"}, {-12, 0, "-12"},
      {0, 0, "0"}, {25, -1, "250"}, {0, -1, "00"}};
  // clang-format on
  for (const auto& c : cases) {
    char text[48];
    format_fixed(c.value, c.decimals, text, sizeof text);
    EXPECT_STREQ(text, c.text) << c.value << " with " << int(c.decimals);
  }
}

TEST(XmlWrite, ReplacesTheTargetKeepingItsModeAndFollowingLinks) {
  ScratchDir dir;
  const std::string f = dir.file("p.qpx"), link = dir.file("link.qpx");
  write_file(f, "old contents");
  chmod(f.c_str(), 0640);
  ASSERT_EQ(symlink(f.c_str(), link.c_str()), 0);
  ASSERT_EQ(xml_write(link.c_str(), &preset_def, MV517), 0);
  EXPECT_EQ(read_file(f), read_file(data_file("default_mv517.qpx")));
  struct stat st, lst;
  ASSERT_TRUE(stat(f.c_str(), &st) == 0 && lstat(link.c_str(), &lst) == 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_TRUE(S_ISLNK(lst.st_mode));
  EXPECT_EQ(entries(dir.path()), 2) << "no temporary file is left";
}

TEST(XmlWrite, FailuresLeaveTheTargetUntouched) {
  ScratchDir dir;
  const std::string f = dir.file("keep.qpx");
  write_file(f, "precious tuning");
  // A missing folder, a folder as target, a device that takes no data.
  EXPECT_EQ(xml_write(dir.file("missing/p.qpx").c_str(), &preset_def, MV517), XML_ERR_CREATE);
  EXPECT_NE(xml_errno, 0);
  EXPECT_EQ(xml_write(dir.path().c_str(), &preset_def, MV517), XML_ERR_CREATE);
  EXPECT_EQ(xml_write("/dev/full", &preset_def, MV517), XML_ERR_SHORT_WRITE);
  struct stat st;
  EXPECT_TRUE(stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));
  // A write cut short by the file size limit, in a child process.
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const struct rlimit lim = {1000, 1000};
    setrlimit(RLIMIT_FSIZE, &lim);
    _exit(xml_write(f.c_str(), &preset_def, MV517));
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == XML_ERR_SHORT_WRITE) << status;
  EXPECT_EQ(read_file(f), "precious tuning");
  EXPECT_EQ(entries(dir.path()), 1) << "no temporary file is left";
}

}  // namespace
