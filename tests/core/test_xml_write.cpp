// The writer: its output, its numbers, and saving under hostile conditions
// (failed writes, umasks, links, long names, leftovers of killed saves).
#include <dirent.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "files/xml.h"
#include "model/preset.h"
#include "test_util.h"

namespace {

// The default preset, New on both devices and the tuned file read and
// written again: the golden bytes, well-formed, sealed by an independent CRC.
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
    EXPECT_EQ(std::system(("xmllint --noout '" + f + "'").c_str()), 0) << c.golden;
    // The checksum computed in memory is the one the line holds, and leaves
    // the writer's state alone.
    crc_word = 0x1234;
    EXPECT_EQ(written_checksum(*c.p, c.device),
              std::stoi(bytes.substr(bytes.rfind("<!-->") + 5), nullptr, 16))
        << c.golden;
    EXPECT_EQ(crc_word, 0x1234);
  }
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

constexpr uid_t NOBODY = 65534;

// What saving the default preset writes.
const std::string expected = read_file(QBN_TEST_DATA "/default_mv517.qpx");

mode_t mode_of(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Names in `dir` other than "." and "..".
std::vector<std::string> entries(const std::string& dir) {
  std::vector<std::string> out;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n != "." && n != "..") out.push_back(n);
    }
    closedir(d);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Runs `body` in a forked child: its exit status, -1 when it did not exit.
int in_child(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `body` in a child as a user who is not root: its failed checks, 200
// when privileges cannot be dropped.
int as_plain_user(const std::string& dir, const std::function<int()>& body) {
  if (geteuid() == 0 && chown(dir.c_str(), NOBODY, NOBODY) != 0) return 200;
  return in_child([&] {
    const bool root = geteuid() == 0;
    if (root && (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0))
      return 200;
    return body();
  });
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
  // A write cut short by the file size limit, in a child process.
  const int status = in_child([&] {
    signal(SIGXFSZ, SIG_IGN);
    const struct rlimit lim = {1000, 1000};
    setrlimit(RLIMIT_FSIZE, &lim);
    return int(xml_write(f.c_str(), &preset_def, MV517));
  });
  EXPECT_EQ(status, XML_ERR_SHORT_WRITE);
  EXPECT_EQ(read_file(f), "precious tuning");
  EXPECT_EQ(entries(dir.path()).size(), 1u) << "no temporary file is left";
}

TEST(SaveSafety, RestrictiveUmasksSaveNewFilesAndReplacements) {
  for (const mode_t mask : {mode_t(0222), mode_t(0077)}) {
    ScratchDir dir;
    const int failures = as_plain_user(dir.path(), [&] {
      umask(mask);
      int bad = 0;
      const std::string f = dir.file("new.qpx");
      bad += xml_write(f.c_str(), &preset_def, MV517) != 0;
      bad += read_file(f) != expected;
      bad += mode_of(f) != (0666 & ~mask);
      // Replacing keeps the old file's mode, even one without a write bit.
      bad += xml_write(f.c_str(), &preset_def, MV517) != 0;
      bad += mode_of(f) != (0666 & ~mask);
      bad += entries(dir.path()).size() != 1;
      return bad;
    });
    if (failures == 200) GTEST_SKIP() << "cannot run as a user who is not root here";
    EXPECT_EQ(failures, 0) << "umask " << std::oct << mask;
  }
}

TEST(SaveSafety, LinksAreFollowedToTheFileTheyName) {
  ScratchDir dir;
  const preset_t& p = preset_def;
  const auto is_link = [&](const char* name) {
    struct stat st {};
    return lstat(dir.file(name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
  };
  // A link to an existing file, relative, from another folder: the file
  // keeps its mode, the link stays a link.
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
  write_file(dir.file("real.qpx"), "old");
  chmod(dir.file("real.qpx").c_str(), 0640);
  ASSERT_EQ(symlink("../real.qpx", dir.file("sub/link.qpx").c_str()), 0);
  ASSERT_EQ(xml_write(dir.file("sub/link.qpx").c_str(), &p, MV517), 0);
  EXPECT_EQ(read_file(dir.file("real.qpx")), expected);
  EXPECT_TRUE(mode_of(dir.file("real.qpx")) == 0640 && is_link("sub/link.qpx"));
  // A dangling link creates the file it names; the link stays a link.
  ASSERT_EQ(symlink("missing.qpx", dir.file("dangling.qpx").c_str()), 0);
  ASSERT_EQ(xml_write(dir.file("dangling.qpx").c_str(), &p, MV517), 0);
  EXPECT_TRUE(read_file(dir.file("missing.qpx")) == expected && is_link("dangling.qpx"));
  EXPECT_EQ(entries(dir.path()).size() + entries(dir.file("sub")).size(), 5u)
      << "no temporary file is left";
  // A loop is an error with its reason, and nothing is written.
  ASSERT_EQ(symlink("loop_b.qpx", dir.file("loop_a.qpx").c_str()), 0);
  ASSERT_EQ(symlink("loop_a.qpx", dir.file("loop_b.qpx").c_str()), 0);
  const auto before = entries(dir.path());
  EXPECT_EQ(xml_write(dir.file("loop_a.qpx").c_str(), &p, MV517), XML_ERR_CREATE);
  EXPECT_EQ(xml_errno, ELOOP);
  EXPECT_EQ(write_failure_text(XML_ERR_CREATE), std::strerror(ELOOP));
  EXPECT_EQ(entries(dir.path()), before);
}

TEST(SaveSafety, EveryNameTheFileSystemTakesCanBeSaved) {
  ScratchDir dir;
  for (const size_t length : {247u, 248u, 250u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".qpx";
    const std::string f = dir.file(name);
    ASSERT_EQ(xml_write(f.c_str(), &preset_def, MV517), 0) << length;
    EXPECT_EQ(read_file(f), expected) << length;
  }
  // Two long names that differ only at their end keep their files apart.
  for (const char* end : {"a.qpx", "b.qpx"})
    ASSERT_EQ(xml_write(dir.file(std::string(250, 'x') + end).c_str(), &preset_def, MV517), 0);
  EXPECT_EQ(entries(dir.path()).size(), 6u);
}

TEST(SaveSafety, ASaveRemovesLeftoversOfItsOwnTargetOnly) {
  ScratchDir dir;
  const std::string target = dir.file("show.qpx");
  const char* const leftovers[] = {".show.qpx.Ab3dE9", ".show.qpx.zzzzzz"};
  const char* const others[] = {".show.qpx.Ab3dE",   ".show.qpx.Ab3dE99", ".show.qpx.Ab-dE9",
                                ".other.qpx.Ab3dE9", "show.qpx.Ab3dE9",   ".show.qpx.Ab3dE9.bak"};
  for (const char* n : leftovers) write_file(dir.file(n), "half a preset");
  for (const char* n : others) write_file(dir.file(n), "keep me");
  // A folder and a link of the pattern, and a file of another user, stay.
  ASSERT_EQ(mkdir(dir.file(".show.qpx.Folder").c_str(), 0755), 0);
  ASSERT_EQ(symlink("show.qpx", dir.file(".show.qpx.Link01").c_str()), 0);
  const bool other_user = geteuid() == 0;
  if (other_user) {
    write_file(dir.file(".show.qpx.Nobody"), "not mine");
    ASSERT_EQ(chown(dir.file(".show.qpx.Nobody").c_str(), NOBODY, NOBODY), 0);
  }

  ASSERT_EQ(xml_write(target.c_str(), &preset_def, MV517), 0);
  std::vector<std::string> expected = {".show.qpx.Folder", ".show.qpx.Link01", "show.qpx"};
  for (const char* n : others) expected.push_back(n);
  if (other_user) expected.push_back(".show.qpx.Nobody");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(entries(dir.path()), expected);
}

}  // namespace
