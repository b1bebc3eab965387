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

// The page as the summary is described, fragment by fragment, with the
// line breaks spelled out as CR LF.
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

std::string labels(const std::string& a, const std::string& b, const std::string& c,
                   const std::string& d) {
  auto cell = [](bool wide, const std::string& name) {
    return std::string(wide ? "<td width=\"60\">" : "<td>") +
           "<FONT SIZE=\"2\"><b><p align=\"center\">" + name + "</p></b></FONT></td>\r\n";
  };
  return cell(true, a) + cell(false, b) + cell(true, c) + cell(false, d);
}

std::string page(const std::string& mode, const std::string& speakers,
                 const std::string& label_cells, const std::string& quantity_row) {
  std::string p = HEAD;
  if (!mode.empty()) p += "<td>" + mode + "</td>\r\n</tr>\r\n";
  p += "<tr><td>Speakers:</td>";
  if (!speakers.empty()) p += "<td>" + speakers + "</td>\r\n</tr>\r\n";
  return p + AFTER_SPEAKERS + label_cells + quantity_row + TAIL;
}

const char* const mode_words[4] = {"SAT", "FULLRANGE", "BASSARRAY", "MONITOR"};
const uint16_t mode_bits_doc[4] = {0x0004, 0x0008, 0x0010, 0x0020};
const char* const tops[5] = {"RS1", "RS2", "RS3", "RS4", "RS5"};
const char* const basses[3] = {"RX1", "RX2", "RX3"};
struct pair_t {
  int top, bass;
};
const pair_t sat_pairs_doc[9] = {{0, 0}, {1, 0}, {1, 2}, {2, 0}, {2, 1},
                                 {2, 2}, {3, 0}, {3, 1}, {3, 2}};

struct case_t {
  uint16_t word;
  std::string expected;
};

// The 37 selections of the mode paths (covering the 31 speaker values),
// each with its page built from the description above.
std::vector<case_t> all_cases() {
  std::vector<case_t> out;
  const int fullrange_tops[5] = {0, 1, 2, 3, 4};
  const int monitor_tops[3] = {1, 3, 4};
  for (int q = 0; q < 2; ++q) {
    const uint16_t qbit = q ? 0x4000 : 0;
    const std::string per = q ? " (2x per Channel)" : "";
    for (const pair_t& p : sat_pairs_doc) {
      const std::string t = tops[p.top], b = basses[p.bass];
      out.push_back(
          {static_cast<uint16_t>(0x0001 | 0x0004 | (0x0040 << p.top) | (0x0800 << p.bass) | qbit),
           page("SAT", t + per + ", " + b + " ", labels(b, b, t, t), q ? QTY_SAT : "")});
    }
    for (int t : fullrange_tops) {
      out.push_back({static_cast<uint16_t>(0x0001 | 0x0008 | (0x0040 << t) | qbit),
                     page("FULLRANGE", tops[t] + per, labels(tops[t], tops[t], tops[t], tops[t]),
                          q ? QTY_OTHER : "")});
    }
    for (int t : monitor_tops) {
      out.push_back({static_cast<uint16_t>(0x0001 | 0x0020 | (0x0040 << t) | qbit),
                     page("MONITOR", tops[t] + per, labels(tops[t], tops[t], tops[t], tops[t]),
                          q ? QTY_OTHER : "")});
    }
  }
  for (int b = 0; b < 3; ++b) {
    out.push_back(
        {static_cast<uint16_t>(0x0001 | 0x0010 | (0x0800 << b)),
         page("BASSARRAY", basses[b], labels(basses[b], basses[b], basses[b], basses[b]), "")});
  }
  return out;
}

TEST(SelectionSummary, EveryOfferedSelectionByteExact) {
  const std::vector<case_t> cases = all_cases();
  ASSERT_EQ(cases.size(), 37u);
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(selection_html(c.word), c.expected);
  }
  // The same words the wizard's pages produce.
  std::vector<uint16_t> words;
  for (const wizard_selection_t& s : wizard_offered_selections()) words.push_back(s.word);
  for (const case_t& c : cases) {
    EXPECT_NE(std::find(words.begin(), words.end(), c.word), words.end()) << c.word;
  }
}

TEST(SelectionSummary, DocumentedExample) {
  // SAT, RS 2 on RX 3 at "2x", written out whole.
  const std::string expected =
      "<html>\r\n<HEAD><TITLE>Q.B.N Preset-Wizard Selection</TITLE></HEAD>\r\n<BODY>\r\n"
      "<table>\r\n<tr><td width=\"20\"></td>\r\n<td>\r\n<H1>Q.B.N Preset-Wizard</H1>\r\n"
      "<br><br>Your Selection:<br><br>\r\n<table border=\"0\">\r\n<tr>\r\n<td>Mode:</td>\r\n"
      "<td>SAT</td>\r\n</tr>\r\n<tr><td>Speakers:</td><td>RS2 (2x per Channel), RX3 </td>\r\n"
      "</tr>\r\n</table><br>\r\n<img SRC=\"MV517_rear.jpg\" height=150 width=600><br>\r\n"
      "<table border=\"0\" width=\"600\" height=\"20\">\r\n<tr>\r\n<td width=\"360\"></td>\r\n"
      "<td width=\"60\"><FONT SIZE=\"2\"><b><p align=\"center\">RX3</p></b></FONT></td>\r\n"
      "<td><FONT SIZE=\"2\"><b><p align=\"center\">RX3</p></b></FONT></td>\r\n"
      "<td width=\"60\"><FONT SIZE=\"2\"><b><p align=\"center\">RS2</p></b></FONT></td>\r\n"
      "<td><FONT SIZE=\"2\"><b><p align=\"center\">RS2</p></b></FONT></td>\r\n"
      "</tr>\r\n<td></td>\r\n<td></td>\r\n<td></td>\r\n<td><p align=\"center\">(2x)</p></td>\r\n"
      "<td><p align=\"center\">(2x)</p></td>\r\n</tr>\r\n</table>\r\n</td>\r\n</tr>\r\n"
      "</table>\r\n</BODY>\r\n</html>";
  EXPECT_EQ(selection_html(0x0001 | 0x0004 | 0x0080 | 0x2000 | 0x4000), expected);
}

TEST(SelectionSummary, LineBreaksAreCrLfAndTheLastLineHasNone) {
  for (const wizard_selection_t& s : wizard_offered_selections()) {
    const std::string h = selection_html(s.word);
    for (size_t i = 0; i < h.size(); ++i) {
      if (h[i] == '\n') {
        ASSERT_TRUE(i > 0 && h[i - 1] == '\r') << s.word << " at " << i;
      }
      if (h[i] == '\r') {
        ASSERT_TRUE(i + 1 < h.size() && h[i + 1] == '\n') << s.word;
      }
    }
    ASSERT_GE(h.size(), 7u);
    EXPECT_EQ(h.substr(h.size() - 7), "</html>");
  }
}

// Values the wizard does not produce follow the same fragment rules.
TEST(SelectionSummary, ValuesOutsideTheOfferedOnes) {
  // No mode, no loudspeaker: neither cell, no labels.
  EXPECT_EQ(selection_html(0x0001), page("", "", "", ""));
  // A pair SAT does not allow: no speakers cell, no labels.
  EXPECT_EQ(selection_html(0x0004 | 0x0040 | 0x1000), page("SAT", "", "", ""));
  // An allowed pair without the SAT bit: the speakers cell, but no labels.
  EXPECT_EQ(selection_html(0x0008 | 0x0100 | 0x1000), page("FULLRANGE", "RS3, RX2 ", "", ""));
  // A bass with the quantity bit: no speakers cell; the labels ignore the
  // quantity and the quantity row is that of the modes other than SAT.
  EXPECT_EQ(selection_html(0x0010 | 0x0800 | 0x4000),
            page("BASSARRAY", "", labels("RX1", "RX1", "RX1", "RX1"), QTY_OTHER));
  // Two mode bits: no mode cell; two tops: no speakers cell, no labels.
  EXPECT_EQ(selection_html(0x000C | 0x0200),
            page("", "RS4", labels("RS4", "RS4", "RS4", "RS4"), ""));
  EXPECT_EQ(selection_html(0x0008 | 0x00C0), page("FULLRANGE", "", "", ""));
  // A top alone in SAT mode: the same name under every output.
  EXPECT_EQ(selection_html(0x0004 | 0x0100),
            page("SAT", "RS3", labels("RS3", "RS3", "RS3", "RS3"), ""));
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
  struct stat st {};
  ASSERT_EQ(stat(f.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IRUSR);

  // Cannot be written: a missing folder, or a folder in the file's place.
  const std::string nowhere = dir.file("no/such/Selection.html");
  w = write_selection_html(nowhere, word);
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.message, "cannot write " + nowhere + ": No such file or directory");
  const std::string folder = dir.file("folder");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  w = write_selection_html(folder, word);
  EXPECT_FALSE(w.ok);
  EXPECT_NE(w.error, 0);
  // Nothing is left behind: only the page and the folder.
  std::vector<std::string> names;
  DIR* d = opendir(dir.path().c_str());
  ASSERT_NE(d, nullptr);
  while (dirent* e = readdir(d)) {
    const std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Selection.html", "folder"}));
}

}  // namespace
