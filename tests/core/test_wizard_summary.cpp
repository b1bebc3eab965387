// The selection summary "Selection.html": its bytes for every selection the
// wizard offers (the only ones it can show a summary of), and writing it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "test_util.h"
#include "wizard/selection.h"

namespace {

const uint16_t SAT_RS3_RX2_2X = 0x0004 | 0x0100 | 0x1000 | 0x4000;
const uint16_t FULLRANGE_RS5 = 0x0008 | 0x0400;
const uint16_t BASSARRAY_RX1 = 0x0010 | 0x0800;
// The quantity rows, which the expected pages of the other modes lack.
const char* const QTY_SAT =
    "</tr>\r\n<td></td>\r\n<td></td>\r\n<td></td>\r\n<td><p align=\"center\">(2x)</p></td>\r\n"
    "<td><p align=\"center\">(2x)</p></td>\r\n";
const char* const QTY_OTHER =
    "</tr>\r\n<td></td>\r\n<td><p align=\"center\">(2x)</p></td>\r\n"
    "<td><p align=\"center\">(2x)</p></td>\r\n<td><p align=\"center\">(2x)</p></td>\r\n"
    "<td><p align=\"center\">(2x)</p></td>\r\n";

std::string replaced(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}
std::string without(std::string s, const std::string& part) {
  const size_t at = s.find(part);
  EXPECT_NE(at, std::string::npos) << part;
  return at == std::string::npos ? s : s.erase(at, part.size());
}

TEST(SelectionSummary, EveryOfferedSelection) {
  const std::string sat = read_file(data_file("selection_sat_rs3_rx2_2x.html"));
  const std::string fullrange = read_file(data_file("selection_fullrange_rs5.html"));
  EXPECT_EQ(selection_html(0x0001 | SAT_RS3_RX2_2X), sat);
  EXPECT_EQ(selection_html(0x0001 | FULLRANGE_RS5), fullrange);
  EXPECT_EQ(selection_html(0x0001 | BASSARRAY_RX1),
            read_file(data_file("selection_bassarray_rx1.html")));
  // The other selections: the page of the same shape with other names.
  const char* const modes[4] = {"SAT", "FULLRANGE", "BASSARRAY", "MONITOR"};
  const char* const names[8] = {"RS1", "RS2", "RS3", "RS4", "RS5", "RX1", "RX2", "RX3"};
  const std::vector<wizard_selection_t> all = wizard_offered_selections();
  ASSERT_EQ(all.size(), 37u);
  for (const wizard_selection_t& s : all) {
    std::string page;
    if (s.mode == WIZ_SAT) {
      page = replaced(replaced(sat, "RS3", names[s.top]), "RX2", names[s.bass]);
      if (!s.quantity) page = without(without(page, " (2x per Channel)"), QTY_SAT);
    } else {
      page = replaced(fullrange, "FULLRANGE", modes[s.mode]);
      page = replaced(page, "RS5", names[s.top >= 0 ? s.top : s.bass]);
      if (s.quantity) {
        page.insert(page.find("</td>", page.find("Speakers:</td><td>") + 18), " (2x per Channel)");
        page.insert(page.find("</tr>\r\n</table>\r\n</td>"), QTY_OTHER);
      }
    }
    EXPECT_EQ(selection_html(s.word), page) << s.word;
    EXPECT_EQ(selection_html(s.word | 0x8002), page) << "bits 1 and 15 change nothing";
  }
}

TEST(SelectionSummary, WritingTheFile) {
  ScratchDir dir;
  const std::string f = dir.file("Selection.html");
  write_file(f, std::string(5000, 'x'));  // an older, longer page
  summary_write_t w = write_selection_html(f, 0x0001 | FULLRANGE_RS5);
  ASSERT_TRUE(w.ok) << w.message;
  EXPECT_EQ(read_file(f), read_file(data_file("selection_fullrange_rs5.html")));
  const std::string nowhere = dir.file("no/such/Selection.html");
  w = write_selection_html(nowhere, FULLRANGE_RS5);
  EXPECT_EQ(w.message, "cannot write " + nowhere + ": No such file or directory");
  // A folder in the file's place: refused, and nothing is left behind.
  ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
  w = write_selection_html(dir.file("folder"), FULLRANGE_RS5);
  EXPECT_TRUE(!w.ok && w.error != 0);
  const std::string listing = "test \"$(ls -A '" + dir.path() + "')\" = 'Selection.html\nfolder'";
  EXPECT_EQ(std::system(listing.c_str()), 0);
}

}  // namespace
