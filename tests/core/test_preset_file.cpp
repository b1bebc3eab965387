// read_preset_file: what Open and every qpx command make of a file.
#include <gtest/gtest.h>

#include "files/preset_file.h"
#include "files/xml.h"
#include "test_util.h"

namespace {

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

  // What each read holds: everything, or the part before the problem.
  preset_t want;
  ASSERT_EQ(xml_read(data_file("live_mv517.qpx").c_str(), &want, 0), 0);
  EXPECT_TRUE(same_preset(read_preset_file(data_file("live_mv517.qpx")).preset, want));
  const preset_t cut = read_preset_file(data_file("cut_in_channel_3.qpx")).preset;
  const preset_t stopped = read_preset_file(dir.file("stopped.qpx")).preset;
  const preset_t empty = read_preset_file(data_file("empty_element_preset.qpx")).preset;
  for (int n = 0; n < 4; ++n) {
    EXPECT_TRUE(same_channel(cut.channel[n], (n < 2 ? want : preset_def).channel[n])) << n;
    EXPECT_TRUE(n == 1 || same_channel(stopped.channel[n], (n ? preset_def : want).channel[n]));
    EXPECT_TRUE(same_channel(empty.channel[n], preset_def.channel[n])) << n;
  }
  EXPECT_TRUE(stopped.channel[1].delay == 40000 && stopped.channel[1].gain == 0);
  EXPECT_STREQ(empty.name, "Live <A&B>");
  // Without the checksum demanded the changed file reads whole.
  const preset_file_read_t unchecked = read_preset_file(dir.file("changed.qpx"), false);
  EXPECT_TRUE(unchecked.whole());
  EXPECT_STREQ(unchecked.preset.channel[0].name, "Top M");
}

}  // namespace
