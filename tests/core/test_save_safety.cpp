// Saving under hostile conditions: restrictive umasks for a user who is not
// root, links, long names, leftovers of killed saves, control characters in
// names.
#include <dirent.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "files/preset_file.h"
#include "files/xml.h"
#include "model/preset.h"
#include "test_util.h"

namespace {

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

// Runs `body` in a forked child as a user who is not root (nobody when the
// tests run as root); the child's exit status is the number of failed
// checks. Returns false when privileges cannot be dropped.
bool as_plain_user(const std::string& dir, const std::function<int()>& body, int& failures) {
  if (geteuid() == 0 && chown(dir.c_str(), NOBODY, NOBODY) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0))
      _exit(200);
    _exit(body());
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 200) return false;
  failures = WEXITSTATUS(status);
  return true;
}

TEST(SaveSafety, RestrictiveUmasksSaveNewFilesAndReplacements) {
  for (const mode_t mask : {mode_t(0222), mode_t(0077)}) {
    ScratchDir dir;
    int failures = -1;
    const bool ran = as_plain_user(
        dir.path(),
        [&] {
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
        },
        failures);
    if (!ran) GTEST_SKIP() << "cannot run as a user who is not root here";
    EXPECT_EQ(failures, 0) << "umask " << std::oct << mask;
  }
}

TEST(SaveSafety, LinksAreFollowedToTheFileTheyName) {
  ScratchDir dir;
  const preset_t& p = preset_def;

  // A link to an existing file, relative, from another folder.
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
  write_file(dir.file("real.qpx"), "old");
  ASSERT_EQ(symlink("../real.qpx", dir.file("sub/link.qpx").c_str()), 0);
  ASSERT_EQ(xml_write(dir.file("sub/link.qpx").c_str(), &p, MV517), 0);
  EXPECT_EQ(read_file(dir.file("real.qpx")), expected);
  struct stat st {};
  ASSERT_EQ(lstat(dir.file("sub/link.qpx").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  // A dangling link creates the file it names; the link stays a link.
  ASSERT_EQ(symlink("missing.qpx", dir.file("dangling.qpx").c_str()), 0);
  ASSERT_EQ(xml_write(dir.file("dangling.qpx").c_str(), &p, MV517), 0);
  EXPECT_EQ(read_file(dir.file("missing.qpx")), expected);
  ASSERT_EQ(lstat(dir.file("dangling.qpx").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

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
  const std::string a = std::string(250, 'x') + "a.qpx";
  const std::string b = std::string(250, 'x') + "b.qpx";
  ASSERT_EQ(xml_write(dir.file(a).c_str(), &preset_def, MV517), 0);
  ASSERT_EQ(xml_write(dir.file(b).c_str(), &preset_def, MV517), 0);
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

// A carriage return would read back as a line feed: names refuse control
// characters where they are typed (see BytesAndCodePoints), and a file
// that holds one still reads as it always did.
TEST(SaveSafety, ControlCharactersInNames) {
  EXPECT_FALSE(check_name("a\rb", 9).representable);
  EXPECT_EQ(utf8_to_record("a\rb", 9), "a?b");
  ScratchDir dir;
  preset_t p = preset_def;
  std::strcpy(p.name, "tab\there");
  ASSERT_EQ(xml_write(dir.file("t.qpx").c_str(), &p, MV517), 0);
  EXPECT_STREQ(read_preset_file(dir.file("t.qpx")).preset.name, "tab\there");
}

}  // namespace
