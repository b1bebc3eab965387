// The wizard's page rules: what each page and press does to the selection
// word, the rows, the SAT pairing, quantities, the factory path, Back and
// re-entry.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "wizard/selection.h"

namespace {

// Modes that offer RS1..RS5, RX1..RX3, as the wizard documents them ("S"
// SAT, "F" Fullrange, "B" Bass-Array, "M" Monitor).
const std::string offered_in[8] = {"SF", "SFM", "SF", "SFM", "FM", "SB", "SB", "SB"};
const uint16_t mode_bits_doc[4] = {0x0004, 0x0008, 0x0010, 0x0020};
// The SAT table: rows RS1..RS4, columns RX1..RX3.
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
  int press(int speaker, wiz_press_kind_t kind = WIZ_PRESS_SINGLE) {
    return wizard_press(st, 5 + speaker, kind, sel);  // RS1..RX3 are items 5..12
  }
  uint16_t to_step_four() {
    wizard_prepare(st, wizard_forward_page(WIZ_STEP_THREE, st.factory), sel);
    return sel;
  }
  wizard_state_t st;
  uint16_t sel = 0;
};

TEST_F(WizardPages, StartModeRowAndForward) {
  EXPECT_EQ(sel, 0x0001) << "the start keeps only bit 0";
  EXPECT_TRUE(st.complete[WIZ_STEP_ONE] && st.complete[WIZ_STEP_FOUR] && st.show_sensitive);
  EXPECT_FALSE(st.complete[WIZ_STEP_TWO] || st.complete[WIZ_STEP_THREE] || st.factory);
  // The mode toggles are a radio row that may be empty.
  wizard_press(st, WIZ_ITEM_FULLRANGE, WIZ_PRESS_SINGLE, sel);
  wizard_press(st, WIZ_ITEM_MONITOR, WIZ_PRESS_SINGLE, sel);
  EXPECT_FALSE(st.mode_active[WIZ_FULLRANGE]);
  EXPECT_TRUE(st.mode_active[WIZ_MONITOR] && st.complete[WIZ_STEP_TWO]);
  wizard_press(st, WIZ_ITEM_MONITOR, WIZ_PRESS_SINGLE, sel);
  EXPECT_FALSE(st.mode_active[WIZ_MONITOR] || st.complete[WIZ_STEP_TWO]);
  EXPECT_EQ(sel, 0x0001) << "Step Two presses leave the word alone";
  const struct {
    int page, factory, next;
  } forward[] = {{0, 0, 1}, {1, 0, 2}, {1, 1, 3}, {1, 2, 3}, {2, 0, 3}, {3, 0, -1}};
  for (const auto& f : forward)
    EXPECT_EQ(wizard_forward_page(f.page, f.factory), f.next) << f.page << "/" << f.factory;
}

TEST_F(WizardPages, EachModeBuildsItsLayoutAndSetsItsBit) {
  const char* captions[4] = {"Top", "Fullrange", "Bass", "Monitor"};
  for (int mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE(mode);
    SetUp();
    sel |= 0x0002;  // bit 1 survives the build of Step Three
    enter_mode(mode);
    EXPECT_EQ(sel, 0x0003 | mode_bits_doc[mode]);
    EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);
    for (int s = 0; s < 8; ++s)
      EXPECT_EQ(wizard_item_shown(st, 5 + s), offered_in[s].find("SFBM"[mode]) != std::string::npos)
          << s;
    const wiz_layout_t l = wizard_layout(mode);
    EXPECT_STREQ(l.caption, captions[mode]);
    EXPECT_EQ(l.quantity, mode != WIZ_BASSARRAY);
    EXPECT_EQ(l.bass_frame, mode == WIZ_SAT);
  }
}

TEST_F(WizardPages, RowsMoveTheSelectionAndHiddenOnesIgnorePresses) {
  enter_mode(WIZ_FULLRANGE);
  press(5);  // RX 1 is not in the Fullrange layout
  EXPECT_EQ(press(5, WIZ_PRESS_DOUBLE), -1);
  EXPECT_FALSE(st.speaker_active[5]);
  press(0);
  press(2);
  EXPECT_FALSE(st.speaker_active[0]);
  EXPECT_TRUE(st.speaker_active[2] && st.complete[WIZ_STEP_THREE]);
  EXPECT_FALSE(st.quantity_sensitive[0]);
  EXPECT_TRUE(st.quantity_sensitive[2]) << "only the selected top's quantity can be chosen";
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0008 | 0x0100);
  press(2);
  EXPECT_FALSE(st.quantity_sensitive[2] || st.complete[WIZ_STEP_THREE]);
}

TEST_F(WizardPages, QuantityIsBitFourteenOfTheSelectedTop) {
  enter_mode(WIZ_MONITOR);
  EXPECT_FALSE(wizard_set_quantity(st, 1, 1)) << "insensitive before its top is chosen";
  press(1);
  EXPECT_TRUE(wizard_set_quantity(st, 1, 1));
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0080 | 0x4000);
  // Another top: its own selector (still "1x") counts; the first keeps "2x".
  press(3);
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0200);
  press(1);
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0080 | 0x4000);
  EXPECT_FALSE(wizard_set_quantity(st, 1, 2));
}

// Every state single presses reach in SAT mode (breadth-first): at most one
// top and one bass, each row sensitive exactly when the other side's
// selection allows it, Step Three complete exactly for an allowed pair, and
// every allowed pair reachable.
TEST_F(WizardPages, EveryPressSequenceKeepsTheSatTable) {
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
    for (int t = 0; t < 4; ++t) ASSERT_EQ(s.speaker_sensitive[t], bass < 0 || sat_doc[t][bass]);
    for (int b = 0; b < 3; ++b)
      ASSERT_EQ(s.speaker_sensitive[5 + b], top < 0 || (top < 4 && sat_doc[top][b]));
    ASSERT_EQ(s.complete[WIZ_STEP_THREE], top >= 0 && bass >= 0);
    if (top >= 0 && bass >= 0) {
      ASSERT_TRUE(top < 4 && sat_doc[top][bass]);
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

TEST_F(WizardPages, DoublePresses) {
  // A mode: active, and Step Three is asked for.
  wizard_press(st, WIZ_ITEM_BASSARRAY, WIZ_PRESS_SINGLE, sel);
  wizard_press(st, WIZ_ITEM_BASSARRAY, WIZ_PRESS_SINGLE, sel);
  EXPECT_EQ(wizard_press(st, WIZ_ITEM_BASSARRAY, WIZ_PRESS_DOUBLE, sel), WIZ_STEP_THREE);
  EXPECT_TRUE(st.mode_active[WIZ_BASSARRAY]);
  wizard_prepare(st, WIZ_STEP_THREE, sel);
  // A loudspeaker outside SAT: active, bits computed, Step Four asked for.
  press(6);
  press(6);
  EXPECT_EQ(press(6, WIZ_PRESS_DOUBLE), WIZ_STEP_FOUR);
  EXPECT_TRUE(st.speaker_active[6]);
  EXPECT_EQ(sel, 0x0011 | 0x1000);
  // In SAT the two single presses toggled it twice and that is all.
  SetUp();
  enter_mode(WIZ_SAT);
  press(2);
  press(2);
  EXPECT_EQ(press(2, WIZ_PRESS_DOUBLE), -1);
  EXPECT_FALSE(st.speaker_active[2]);
  EXPECT_EQ(sel, 0x0005);
}

TEST_F(WizardPages, FactoryPathSkipsStepThreeAndClearsTheModeBits) {
  sel |= 0x0002;
  wizard_press(st, WIZ_ITEM_SAT, WIZ_PRESS_SINGLE, sel);
  wizard_change_factory(st, 2, sel);
  EXPECT_EQ(sel, 0x0001) << "a factory choice clears bit 1 too";
  EXPECT_TRUE(st.complete[WIZ_STEP_TWO]);
  EXPECT_FALSE(st.show_sensitive);
  for (int m = 0; m < 4; ++m) EXPECT_FALSE(st.mode_active[m] || st.mode_sensitive[m]);
  EXPECT_EQ(wizard_press(st, WIZ_ITEM_FULLRANGE, WIZ_PRESS_DOUBLE, sel), -1);
  EXPECT_EQ(to_step_four(), 0x0001) << "no Step Three built: no loudspeaker bits";
  // Back to Step Two and "None": modes usable again, page incomplete.
  wizard_prepare(st, WIZ_STEP_TWO, sel);
  wizard_change_factory(st, 0, sel);
  EXPECT_FALSE(st.complete[WIZ_STEP_TWO]);
  EXPECT_TRUE(st.show_sensitive && st.mode_sensitive[WIZ_MONITOR]);
  // After a visit to Step Three the word has no mode bit: the template path.
  enter_mode(WIZ_FULLRANGE);
  press(3);
  wizard_prepare(st, WIZ_STEP_TWO, sel);
  wizard_change_factory(st, 1, sel);
  EXPECT_EQ(to_step_four() & 0x003E, 0);
}

TEST_F(WizardPages, BackAndReEntry) {
  enter_mode(WIZ_SAT);
  press(2);
  press(6);
  wizard_set_quantity(st, 2, 1);
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0004 | 0x0100 | 0x1000 | 0x4000);
  // Back from Step Four: Step Three is built afresh, nothing selected.
  wizard_prepare(st, WIZ_STEP_THREE, sel);
  EXPECT_EQ(sel, 0x0005);
  EXPECT_FALSE(st.complete[WIZ_STEP_THREE] || st.forward || st.forward_bass || st.quantity[2]);
  for (int s = 0; s < 8; ++s) EXPECT_TRUE(!st.speaker_active[s] && st.speaker_sensitive[s]);
  // Back to Step Two clears the mode choice; a different mode then.
  wizard_prepare(st, WIZ_STEP_TWO, sel);
  EXPECT_FALSE(st.complete[WIZ_STEP_TWO] || st.mode_active[WIZ_SAT]);
  enter_mode(WIZ_MONITOR);
  press(4);
  EXPECT_EQ(to_step_four(), 0x0021 | 0x0400);
}

TEST_F(WizardPages, OfferedSelectionsAreExactlyWhatThePagesProduce) {
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
    EXPECT_EQ(to_step_four(), s.word);
    EXPECT_TRUE(wizard_selection_offered(s.word));
  }
  EXPECT_EQ(speaker_values.size(), 31u);
  // RS1+RX2, RS1 as a monitor, a bass at 2x, no speaker.
  for (int refused : {0x1045, 0x0061, 0x4811, 0x0009})
    EXPECT_FALSE(wizard_selection_offered(refused)) << refused;
}

}  // namespace
