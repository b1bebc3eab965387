// The preset sheet's rows (its pages: the drawing tests and tests/cli/sheet.sh).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "sheet/preset_sheet.h"
#include "test_util.h"

namespace {

// The value of the row `label` of a section ("" when there is none).
std::string row(const sheet_section_t& s, const std::string& label) {
  for (const sheet_row_t& r : s.rows)
    if (r.label == label) return r.value;
  return "";
}

// The file and checksum rows for each state of the file.
TEST(Sheet, PresetRowsFollowTheFile) {
  const std::string bytes = read_file(data_file("live_mv517.qpx"));
  const std::string crc = bytes.substr(bytes.rfind("<!-->") + 5, 4);
  const std::string as_saved = crc + " (of these values as saved)";
  const struct {
    const char* file;
    const char* note;
    const char* file_row;
    std::string checksum_row;
  } cases[] = {
      {"live_mv517.qpx", "", "live_mv517.qpx", crc},
      {"", "", "not saved yet", as_saved},
      {"live_mv517.qpx", "unsaved changes", "live_mv517.qpx (unsaved changes)", as_saved},
  };
  for (const auto& c : cases) {
    sheet_input_t in;
    in.preset = live_preset();
    in.file_name = c.file;
    in.file_note = c.note;
    in.date = "2025-03-01";
    const sheet_section_t s = build_sheet(in).sections[0];
    EXPECT_EQ(row(s, "File"), c.file_row);
    EXPECT_EQ(row(s, "Checksum"), c.checksum_row) << c.file_row;
    EXPECT_EQ(row(s, "Name") + "|" + row(s, "Device") + "|" + row(s, "Date") + "|" + row(s, "Lock"),
              "Live <A&B>|MV517|2025-03-01|delay, crossover");
  }
}

// Channel A's filters, grey where they have no effect.
TEST(Sheet, FilterTableGreysWhatHasNoEffect) {
  sheet_input_t in;
  in.preset = live_preset();
  const sheet_t sheet = build_sheet(in);
  const sheet_table_t& t = sheet.sections[2].table;
  ASSERT_EQ(t.rows.size(), 8u);
  std::string shown;
  for (const auto& r : t.rows) {
    for (const sheet_cell_t& cell : r) shown += cell.dim ? "(" + cell.text + ")|" : cell.text + "|";
    shown += "\n";
  }
  EXPECT_EQ(shown,
            "High-pass|Linkwitz-Riley 4.|110 Hz|||\n"
            "Low-pass|OFF|(120 Hz)|||\n"
            "Filter 1|Low Shelf|80 Hz|(0.7)|3.0 dB|\n"
            "Filter 2|OFF|(100 Hz)|(0.7)|(0.0 dB)|\n"
            "Filter 3|PEQ|3150 Hz|2.0|-2.5 dB|\n"
            "Filter 4|OFF|(1000 Hz)|(0.7)|(0.0 dB)|\n"
            "Filter 5|OFF|(5000 Hz)|(0.7)|(0.0 dB)|\n"
            "Filter 6|High-Shelf|10000 Hz|(0.7)|1.5 dB|\n");
}

TEST(Sheet, FileNamesAndDates) {
  // clang-format off
  const struct { const char *path, *name; } names[] = {
      {"/home/u/show.qpx", "show.qpx"}, {"show.qpx", "show.qpx"}, {"shows/", "shows"},
      {"/", "/"}, {"a/b\x1b[2J.qpx", "b\\x1b[2J.qpx"}, {"a/\xff.qpx", "\\xff.qpx"}};
  // clang-format on
  for (const auto& c : names) EXPECT_EQ(sheet_file_name(c.path), c.name) << c.path;

  const char* tz = std::getenv("TZ");
  const std::string saved_tz = tz ? tz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(sheet_date(0), "1970-01-01");
  EXPECT_EQ(sheet_date(951782400 + 86399), "2000-02-29");
  tz ? setenv("TZ", saved_tz.c_str(), 1) : unsetenv("TZ");
  tzset();
}

}  // namespace
