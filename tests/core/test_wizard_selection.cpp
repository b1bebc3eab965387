// The wizard: its page rules, the summary of every selection it offers, and
// the presets made from the factory file (written: tests/cli/wizard.sh).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "files/xml.h"
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

const std::string shipped = std::string(QBN_DATA_DIR) + "/wizards.xml";
const uint16_t FULLRANGE_RS3 = 0x0001 | 0x0008 | 0x0100;
const uint16_t SAT_RS1_RX1 = 0x0001 | 0x0004 | 0x0040 | 0x0800;

// The shipped file read directly for one selection word.
preset_t read_shipped(uint16_t word) {
  preset_t p;
  const uint16_t saved = tree_select;
  tree_select = word;
  EXPECT_EQ(xml_read(shipped.c_str(), &p, 1), 0);
  tree_select = saved;
  return p;
}

// Every offered selection reads the shipped file and sets its channels (SAT:
// the top's C and D, the bass's A and B), crossovers meeting, EQs its own.
TEST(WizardFactoryFile, EveryOfferedSelection) {
  std::set<std::string> eqs;  // of each mode's models, which differ
  size_t models = 0;
  for (const wizard_selection_t& s : wizard_offered_selections()) {
    SCOPED_TRACE(s.word);
    const wizard_result_t r = wizard_generate(s.word, 0, shipped, "Show 1", false, 0);
    ASSERT_TRUE(r.ok()) << r.problem();
    const preset_t& p = r.preset;
    EXPECT_TRUE(!r.from_template && std::string(p.name) == "Show 1" && p.mute == 0);
    EXPECT_EQ(p.lock, 0) << "a factory lock (bit 7) would make the saved file unopenable";
    if (s.mode == WIZ_SAT) {
      const preset_t top = read_shipped(0x0005 | wizard_speakers[s.top].bit);
      const preset_t bass = read_shipped(0x0005 | wizard_speakers[s.bass].bit);
      for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(bool(same_channel(top.channel[n], preset_def.channel[n])), n < 2) << n;
        EXPECT_EQ(bool(same_channel(bass.channel[n], preset_def.channel[n])), n >= 2) << n;
        EXPECT_TRUE(same_channel(p.channel[n], (n >= 2 ? top : bass).channel[n])) << n;
      }
      const xo_t &hp = p.channel[2].xo[0], &lp = p.channel[0].xo[1];
      EXPECT_TRUE(hp.config == lp.config && lp.config != 0) << "same slope, low-pass on";
      EXPECT_EQ(hp.freq[xo_slot(hp.config)], lp.freq[xo_slot(lp.config)]);
    } else {
      for (int n = 0; n < 4; ++n) EXPECT_FALSE(same_channel(p.channel[n], preset_def.channel[n]));
      const auto* eq = reinterpret_cast<const char*>(p.channel[0].peq);
      if (!s.quantity) eqs.insert(char('0' + s.mode) + std::string(eq, sizeof p.channel[0].peq));
      models += !s.quantity;
    }
    if (s.top >= 0) {  // the quantity changes only the summary
      const wizard_result_t other =
          wizard_generate(s.word ^ SEL_QUANTITY_2X, 0, shipped, "Show 1", false, 0);
      EXPECT_TRUE(same_preset(other.preset, p));
    }
  }
  EXPECT_EQ(eqs.size(), models) << "two models of one mode share their EQ";
}

class WizardFiles : public ::testing::Test {
 protected:
  std::string write(const std::string& speaker, const std::string& mode,
                    const std::string& content) {
    const std::string f = dir_.file("wizards.xml");
    write_file(f, "<WIZARD>\n<" + speaker + "><" + mode + ">" + content + "</" + mode + "></" +
                      speaker + ">\n</WIZARD>\n");
    return f;
  }
  ScratchDir dir_;
};

// Step Four's name replaces the file's; Lock sets bits 0-5, keeps bit 7.
TEST_F(WizardFiles, NameAndLockFromStepFour) {
  const std::string f = write("RS2", "MONITOR",
                              "<NAME>Factory</NAME><LOCK>128</LOCK>"
                              "<CHANNEL ID=\"4\"><GAIN>-2</GAIN></CHANNEL>");
  for (auto [name, lock, stored, lock_bits] :
       {std::tuple{"Wedges", false, "Wedges", 0x80},
        {"", true, "", 0xBF},
        {"Stage \xE2\x86\x92 B\xC3\xBChne", false, "Stage \x82 B\xFChn", 0x80}}) {
    const wizard_result_t r = wizard_generate(0x0001 | 0x0020 | 0x0080, 0, f, name, lock, 0);
    EXPECT_TRUE(r.ok() && r.preset.channel[3].gain == -20) << r.problem();
    EXPECT_TRUE(std::string(r.preset.name) == stored && r.preset.lock == lock_bits) << stored;
  }
}

TEST_F(WizardFiles, MissingDamagedShortOrIncompleteFiles) {
  tree_select = 0x0001;
  const std::string missing = dir_.file("none.xml");
  wizard_result_t r = wizard_generate(FULLRANGE_RS3, 0, missing, "Hall", true, 0);
  EXPECT_EQ(r.problem(), missing + ": cannot open (No such file or directory)");
  preset_t expected = preset_def;  // the default preset with name and lock
  std::strcpy(expected.name, "Hall"), expected.lock = 0x3F;
  EXPECT_TRUE(r.error == XML_ERR_OPEN && same_preset(r.preset, expected) && tree_select == 1);
  r = wizard_generate(FULLRANGE_RS3, 0, "", "Hall", false, 0);
  EXPECT_EQ(r.problem(),
            "wizards.xml: cannot open (not found in the working directory or the data directory)");
  // A chosen loudspeaker without a block is named; what the file holds
  // applies (a damaged file: tests/cli/wizard.sh).
  const std::string f = write("RS1", "SAT", "<CHANNEL ID=\"4\"><GAIN>-1</GAIN></CHANNEL>");
  r = wizard_generate(SAT_RS1_RX1, 0, f, "x", false, 0);
  EXPECT_EQ(r.problem(), f + ": holds no preset for RX1/SAT");
  EXPECT_TRUE(r.error == 0 && r.preset.channel[3].gain == -10);
  // Cut inside the RS3 fullrange block: the reader applies what it got and
  // reports nothing; the end tag is missing.
  const std::string whole = read_file(shipped);
  write_file(f, whole.substr(0, whole.find("<FULLRANGE>", whole.find("<RS3>")) + 2000));
  r = wizard_generate(FULLRANGE_RS3, 0, f, "x", false, 0);
  EXPECT_TRUE(r.error == 0 && r.cut_short && !r.ok());
  EXPECT_NE(r.problem().find("cut short"), std::string::npos);
}

}  // namespace
