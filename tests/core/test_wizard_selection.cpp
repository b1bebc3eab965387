// The wizard's page rules and the summary "Selection.html" of every selection
// it offers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>
#include <vector>

#include "test_util.h"
#include "wizard/selection.h"

namespace {

// The SAT table as the wizard documents it: rows RS1..RS4, columns RX1..RX3.
const bool sat_doc[4][3] = {{1, 0, 0}, {1, 0, 1}, {1, 1, 1}, {1, 1, 1}};

class WizardPages : public ::testing::Test {
 protected:
  void SetUp() override {
    sel = 0xFFFF;  // whatever an earlier run left
    wizard_start(st, sel);
    wizard_prepare(st, WIZ_STEP_TWO, sel);
  }
  // Step Two: choose a mode, Forward to Step Three.
  void enter_mode(int mode) {
    wizard_press(st, 1 + mode, WIZ_PRESS_SINGLE, sel);
    ASSERT_EQ(wizard_forward_page(WIZ_STEP_TWO, st.factory), WIZ_STEP_THREE);
    wizard_prepare(st, WIZ_STEP_THREE, sel);
  }
  // A press on a loudspeaker toggle (RS1..RX3 are items 5..12).
  int press(int speaker) { return wizard_press(st, 5 + speaker, WIZ_PRESS_SINGLE, sel); }
  uint16_t to_step_four() {
    wizard_prepare(st, wizard_forward_page(WIZ_STEP_THREE, st.factory), sel);
    return sel;
  }
  wizard_state_t st;
  uint16_t sel = 0;
};

// One top of a row; the selected top's quantity gives bit 14.
TEST_F(WizardPages, RowsAndQuantities) {
  enter_mode(WIZ_MONITOR);
  EXPECT_FALSE(wizard_set_quantity(st, 1, 1)) << "insensitive before its top is chosen";
  press(1);
  EXPECT_TRUE(wizard_set_quantity(st, 1, 1) && !wizard_set_quantity(st, 1, 2));
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0080 | 0x4000);
  press(3);
  EXPECT_TRUE(!st.speaker_active[1] && !st.quantity_sensitive[1] && st.quantity_sensitive[3]);
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0200);
  press(1);
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0080 | 0x4000);
  press(1);
  EXPECT_FALSE(st.quantity_sensitive[1] || st.complete[WIZ_STEP_THREE]);
}

// Every state single presses reach in SAT mode keeps the documented pairing
// table: one top and one bass at most, rows sensitive as it pairs them.
TEST_F(WizardPages, EveryPressSequenceKeepsTheSatTable) {
  for (int t = -1; t <= 5; ++t)
    for (int b = -1; b <= 3; ++b)
      EXPECT_EQ(sat_pair_allowed(t, b), t >= 0 && t < 4 && b >= 0 && b < 3 && sat_doc[t][b]);
  enter_mode(WIZ_SAT);
  auto key = [](const wizard_state_t& s) {
    std::string k;
    for (int i = 0; i < 8; ++i) k += char('0' + s.speaker_active[i] + 2 * s.speaker_sensitive[i]);
    return k + char('0' + s.complete[WIZ_STEP_THREE]);
  };
  std::set<std::string> seen{key(st)};
  std::vector<wizard_state_t> queue{st};
  std::set<std::pair<int, int>> pairs;
  while (!queue.empty()) {
    const wizard_state_t s = queue.back();
    queue.pop_back();
    SCOPED_TRACE(key(s));
    int top = -1, bass = -1, count = 0;
    for (int i = 0; i < 8; ++i)
      if (s.speaker_active[i]) ++count, (i < 5 ? top : bass) = i < 5 ? i : i - 5;
    ASSERT_EQ(count, (top >= 0) + (bass >= 0));
    for (int t = 0; t < 4; ++t)
      ASSERT_EQ(s.speaker_sensitive[t], bass < 0 || sat_pair_allowed(t, bass));
    for (int b = 0; b < 3; ++b)
      ASSERT_EQ(s.speaker_sensitive[5 + b], top < 0 || sat_pair_allowed(top, b));
    ASSERT_EQ(s.complete[WIZ_STEP_THREE], top >= 0 && bass >= 0);
    if (top >= 0 && bass >= 0) {
      ASSERT_TRUE(sat_pair_allowed(top, bass));
      pairs.insert({top, bass});
    }
    for (int item = 5; item <= 12; ++item) {
      wizard_state_t next = s;
      uint16_t word = sel;
      wizard_press(next, item, WIZ_PRESS_SINGLE, word);
      if (seen.insert(key(next)).second) queue.push_back(next);
    }
  }
  EXPECT_EQ(pairs.size(), 9u);
}

const uint16_t FULLRANGE_RS5 = 0x0008 | 0x0400;
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

// The offered selections are what the pages produce; each summary is the
// golden page of its shape with its names.
TEST_F(WizardPages, OfferedSelectionsAreExactlyWhatThePagesProduce) {
  const std::string sat = read_file(data_file("selection_sat_rs3_rx2_2x.html"));
  const std::string fullrange = read_file(data_file("selection_fullrange_rs5.html"));
  const char* const modes[4] = {"SAT", "FULLRANGE", "BASSARRAY", "MONITOR"};
  const char* const names[8] = {"RS1", "RS2", "RS3", "RS4", "RS5", "RX1", "RX2", "RX3"};
  const std::vector<wizard_selection_t> all = wizard_offered_selections();
  ASSERT_EQ(all.size(), 37u);
  std::set<uint16_t> words, speaker_values;
  for (const wizard_selection_t& s : all) {
    SCOPED_TRACE(s.word);
    EXPECT_TRUE(words.insert(s.word).second) << "duplicate";
    speaker_values.insert(s.word & 0x7FC0);
    SetUp();
    enter_mode(s.mode);
    if (s.top >= 0) press(s.top);
    if (s.bass >= 0) press(s.bass);
    ASSERT_TRUE(s.top < 0 || wizard_set_quantity(st, s.top, s.quantity));
    ASSERT_TRUE(st.complete[WIZ_STEP_THREE]);
    EXPECT_TRUE(to_step_four() == s.word && wizard_selection_offered(s.word));
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
  EXPECT_EQ(speaker_values.size(), 31u);
  // RS1+RX2, RS1 as a monitor, a bass at 2x, no speaker.
  for (int refused : {0x1045, 0x0061, 0x4811, 0x0009})
    EXPECT_FALSE(wizard_selection_offered(refused)) << refused;
}

TEST(SelectionSummary, WritingTheFile) {
  ScratchDir dir;
  const std::string f = dir.file("Selection.html");
  write_file(f, std::string(5000, 'x'));  // an older, longer page
  summary_write_t w = write_selection_html(f, 0x0001 | FULLRANGE_RS5);
  ASSERT_TRUE(w.ok) << w.message;
  EXPECT_EQ(read_file(f), read_file(data_file("selection_fullrange_rs5.html")));
  // A folder in the file's place: refused, and nothing is left behind.
  ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
  w = write_selection_html(dir.file("folder"), FULLRANGE_RS5);
  EXPECT_TRUE(!w.ok && w.error != 0);
  const std::string listing = "test \"$(ls -A '" + dir.path() + "')\" = 'Selection.html\nfolder'";
  EXPECT_EQ(std::system(listing.c_str()), 0);
}

}  // namespace
