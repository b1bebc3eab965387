// The selection summary "Selection.html": its bytes for every selection the
// wizard offers (CR LF line breaks, none after the last line), values
// outside them, and writing the file.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_util.h"
#include "wizard/selection.h"

namespace {

// The page as the summary is described, fragment by fragment.
const char* const HEAD =
    "<html>\r\n"
    "<HEAD><TITLE>Q.B.N Preset-Wizard Selection</TITLE></HEAD>\r\n"
    "<BODY>\r\n"
    "<table>\r\n<tr><td width=\"20\"></td>\r\n<td>\r\n"
    "<H1>Q.B.N Preset-Wizard</H1>\r\n<br><br>"
    "Your Selection:<br><br>\r\n"
    "<table border=\"0\">\r\n"
    "<tr>\r\n<td>Mode:</td>\r\n";
const char* const AFTER_SPEAKERS =
    "</table><br>\r\n"
    "<img SRC=\"MV517_rear.jpg\" height=150 width=600><br>\r\n"
    "<table border=\"0\" width=\"600\" height=\"20\">\r\n<tr>\r\n<td width=\"360\"></td>\r\n";
const char* const TAIL =
    "</tr>\r\n</table>\r\n"
    "</td>\r\n</tr>\r\n</table>\r\n"
    "</BODY>\r\n"
    "</html>";
const char* const QTY_SAT =
    "</tr>\r\n<td></td>\r\n<td></td>\r\n<td></td>\r\n<td><p align=\"center\">(2x)</p></td>\r\n"
    "<td><p align=\"center\">(2x)</p></td>\r\n";
const char* const QTY_OTHER =
    "</tr>\r\n<td></td>\r\n<td><p align=\"center\">(2x)</p></td>\r\n"
    "<td><p align=\"center\">(2x)</p></td>\r\n<td><p align=\"center\">(2x)</p></td>\r\n"
    "<td><p align=\"center\">(2x)</p></td>\r\n";

// Names under the outputs A..D (pairs: the first of each pair 60 wide).
std::string labels(const std::string& ab, const std::string& cd) {
  auto cell = [](bool wide, const std::string& name) {
    return std::string(wide ? "<td width=\"60\">" : "<td>") +
           "<FONT SIZE=\"2\"><b><p align=\"center\">" + name + "</p></b></FONT></td>\r\n";
  };
  return cell(true, ab) + cell(false, ab) + cell(true, cd) + cell(false, cd);
}

std::string page(const std::string& mode, const std::string& speakers,
                 const std::string& label_cells, const std::string& quantity_row) {
  std::string p = HEAD;
  if (!mode.empty()) p += "<td>" + mode + "</td>\r\n</tr>\r\n";
  p += "<tr><td>Speakers:</td>";
  if (!speakers.empty()) p += "<td>" + speakers + "</td>\r\n</tr>\r\n";
  return p + AFTER_SPEAKERS + label_cells + quantity_row + TAIL;
}

TEST(SelectionSummary, EveryOfferedSelectionByteExact) {
  const char* const modes[4] = {"SAT", "FULLRANGE", "BASSARRAY", "MONITOR"};
  const char* const names[8] = {"RS1", "RS2", "RS3", "RS4", "RS5", "RX1", "RX2", "RX3"};
  const std::vector<wizard_selection_t> all = wizard_offered_selections();
  ASSERT_EQ(all.size(), 37u);
  for (const wizard_selection_t& s : all) {
    SCOPED_TRACE(s.word);
    const std::string top = s.top >= 0 ? names[s.top] : "", bass = s.bass >= 0 ? names[s.bass] : "";
    const std::string per = s.quantity ? " (2x per Channel)" : "";
    std::string expected;
    if (s.mode == WIZ_SAT)
      expected =
          page("SAT", top + per + ", " + bass + " ", labels(bass, top), s.quantity ? QTY_SAT : "");
    else {
      const std::string one = s.top >= 0 ? top : bass;
      expected = page(modes[s.mode], one + per, labels(one, one), s.quantity ? QTY_OTHER : "");
    }
    EXPECT_EQ(selection_html(s.word), expected);
  }
}

// Values the wizard does not produce follow the same fragment rules.
TEST(SelectionSummary, ValuesOutsideTheOfferedOnes) {
  // No mode, no loudspeaker: neither cell, no labels.
  EXPECT_EQ(selection_html(0x0001), page("", "", "", ""));
  // A pair SAT does not allow: no speakers cell, no labels.
  EXPECT_EQ(selection_html(0x0004 | 0x0040 | 0x1000), page("SAT", "", "", ""));
  // A bass with the quantity bit: no speakers cell; the labels ignore the
  // quantity and the quantity row is that of the modes other than SAT.
  EXPECT_EQ(selection_html(0x0010 | 0x0800 | 0x4000),
            page("BASSARRAY", "", labels("RX1", "RX1"), QTY_OTHER));
  // Bits 0, 1 and 15 change nothing.
  EXPECT_EQ(selection_html(0x8003 | 0x0008 | 0x0400), selection_html(0x0008 | 0x0400));
}

TEST(SelectionSummary, WritingTheFile) {
  ScratchDir dir;
  const std::string f = dir.file("Selection.html");
  write_file(f, std::string(5000, 'x'));  // an older, longer page
  const uint16_t word = 0x0001 | 0x0008 | 0x0400;
  summary_write_t w = write_selection_html(f, word);
  ASSERT_TRUE(w.ok) << w.message;
  EXPECT_EQ(read_file(f), selection_html(word));
  const std::string nowhere = dir.file("no/such/Selection.html");
  w = write_selection_html(nowhere, word);
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.message, "cannot write " + nowhere + ": No such file or directory");
  // A folder in the file's place: refused, and nothing is left behind.
  ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
  w = write_selection_html(dir.file("folder"), word);
  EXPECT_FALSE(w.ok);
  EXPECT_NE(w.error, 0);
  std::vector<std::string> names;
  DIR* d = opendir(dir.path().c_str());
  ASSERT_NE(d, nullptr);
  while (dirent* e = readdir(d))
    if (e->d_name[0] != '.') names.push_back(e->d_name);
  closedir(d);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Selection.html", "folder"}));
}

}  // namespace
