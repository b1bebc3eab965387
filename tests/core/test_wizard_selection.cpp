// The wizard's page rules: what each page and press does to the selection
// word, the rows, the SAT pairing, quantities, the factory path, Back and
// re-entry.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "wizard/selection.h"

namespace {

// Catalogue as the wizard documents it: bit of each speaker and the modes
// that offer it ("S" SAT, "F" Fullrange, "B" Bass-Array, "M" Monitor).
struct catalogue_row {
  const char* key;
  uint16_t bit;
  const char* modes;
};
const catalogue_row catalogue[8] = {
    {"RS1", 0x0040, "SF"}, {"RS2", 0x0080, "SFM"}, {"RS3", 0x0100, "SF"}, {"RS4", 0x0200, "SFM"},
    {"RS5", 0x0400, "FM"}, {"RX1", 0x0800, "SB"},  {"RX2", 0x1000, "SB"}, {"RX3", 0x2000, "SB"},
};
const char mode_letters[4] = {'S', 'F', 'B', 'M'};
const uint16_t mode_bits_doc[4] = {0x0004, 0x0008, 0x0010, 0x0020};

// The SAT table: rows RS1..RS4, columns RX1..RX3.
const bool sat_doc[4][3] = {{1, 0, 0}, {1, 0, 1}, {1, 1, 1}, {1, 1, 1}};

bool offered_doc(int mode, int speaker) {
  for (const char* m = catalogue[speaker].modes; *m; ++m) {
    if (*m == mode_letters[mode]) return true;
  }
  return false;
}

int item_of(int speaker) {
  return 5 + speaker;  // RS1..RS5 are items 5..9, RX1..RX3 10..12
}

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
    ASSERT_TRUE(st.complete[WIZ_STEP_TWO]);
    ASSERT_EQ(assistant_forward(WIZ_STEP_TWO, st.factory), WIZ_STEP_THREE);
    wizard_prepare(st, WIZ_STEP_THREE, sel);
  }
  int press(int speaker, wiz_press_kind_t kind = WIZ_PRESS_SINGLE) {
    return wizard_press(st, item_of(speaker), kind, sel);
  }
  // Forward from Step Three.
  uint16_t to_step_four() {
    wizard_prepare(st, assistant_forward(WIZ_STEP_THREE, st.factory), sel);
    return sel;
  }
  wizard_state_t st;
  uint16_t sel = 0;
};

TEST_F(WizardPages, StartKeepsOnlyBitZeroAndResetsThePages) {
  EXPECT_EQ(sel, 0x0001);
  uint16_t other = 0xFFFE;
  wizard_start(st, other);
  EXPECT_EQ(other, 0x0000);
  EXPECT_TRUE(st.complete[WIZ_STEP_ONE]);
  EXPECT_FALSE(st.complete[WIZ_STEP_TWO]);
  EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);
  EXPECT_TRUE(st.complete[WIZ_STEP_FOUR]);
  EXPECT_EQ(st.factory, 0);
  EXPECT_TRUE(st.show_sensitive);
  for (int m = 0; m < 4; ++m) {
    EXPECT_FALSE(st.mode_active[m]);
    EXPECT_TRUE(st.mode_sensitive[m]);
  }
}

TEST_F(WizardPages, ForwardPageFunction) {
  EXPECT_EQ(assistant_forward(0, 0), 1);
  EXPECT_EQ(assistant_forward(1, 0), 2);
  EXPECT_EQ(assistant_forward(1, -1), 2);
  EXPECT_EQ(assistant_forward(1, 1), 3);
  EXPECT_EQ(assistant_forward(1, 2), 3);
  EXPECT_EQ(assistant_forward(2, 0), 3);
  EXPECT_EQ(assistant_forward(3, 0), -1);
  EXPECT_EQ(assistant_forward(7, 0), -1);
}

TEST_F(WizardPages, ModeTogglesAreARadioRowThatMayBeEmpty) {
  wizard_press(st, WIZ_ITEM_FULLRANGE, WIZ_PRESS_SINGLE, sel);
  EXPECT_TRUE(st.mode_active[WIZ_FULLRANGE]);
  EXPECT_TRUE(st.complete[WIZ_STEP_TWO]);
  wizard_press(st, WIZ_ITEM_MONITOR, WIZ_PRESS_SINGLE, sel);
  EXPECT_FALSE(st.mode_active[WIZ_FULLRANGE]);
  EXPECT_TRUE(st.mode_active[WIZ_MONITOR]);
  EXPECT_TRUE(st.complete[WIZ_STEP_TWO]);
  wizard_press(st, WIZ_ITEM_MONITOR, WIZ_PRESS_SINGLE, sel);
  for (int m = 0; m < 4; ++m) EXPECT_FALSE(st.mode_active[m]);
  EXPECT_FALSE(st.complete[WIZ_STEP_TWO]);
  EXPECT_EQ(sel, 0x0001) << "Step Two presses leave the word alone";
}

TEST_F(WizardPages, EachModeBuildsItsLayoutAndSetsItsBit) {
  for (int mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE(mode);
    SetUp();
    sel |= 0x0002;  // bit 1 survives the build of Step Three
    enter_mode(mode);
    EXPECT_EQ(sel, 0x0003 | mode_bits_doc[mode]);
    EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);
    for (int s = 0; s < 8; ++s) {
      EXPECT_EQ(wizard_item_shown(st, item_of(s)), offered_doc(mode, s)) << catalogue[s].key;
      EXPECT_FALSE(st.speaker_active[s]);
    }
    const wiz_layout_t l = wizard_layout(mode);
    EXPECT_EQ(l.quantity, mode != WIZ_BASSARRAY);
    EXPECT_EQ(l.bass_frame, mode == WIZ_SAT);
    for (int t = 0; t < 5; ++t) {
      EXPECT_EQ(st.quantity[t], 0);
      EXPECT_FALSE(st.quantity_sensitive[t]);
    }
  }
  EXPECT_STREQ(wizard_layout(WIZ_SAT).caption, "Top");
  EXPECT_STREQ(wizard_layout(WIZ_FULLRANGE).caption, "Fullrange");
  EXPECT_STREQ(wizard_layout(WIZ_BASSARRAY).caption, "Bass");
  EXPECT_STREQ(wizard_layout(WIZ_MONITOR).caption, "Monitor");
}

TEST_F(WizardPages, HiddenLoudspeakersIgnorePresses) {
  enter_mode(WIZ_SAT);
  press(4);  // RS 5 is not in the SAT layout
  EXPECT_FALSE(st.speaker_active[4]);
  SetUp();
  enter_mode(WIZ_FULLRANGE);
  press(5);
  EXPECT_EQ(press(5, WIZ_PRESS_DOUBLE), -1);
  EXPECT_FALSE(st.speaker_active[5]);
  EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);
}

TEST_F(WizardPages, LoudspeakerRowsMoveTheSelection) {
  enter_mode(WIZ_FULLRANGE);
  press(0);
  press(2);
  EXPECT_FALSE(st.speaker_active[0]);
  EXPECT_TRUE(st.speaker_active[2]);
  EXPECT_FALSE(st.quantity_sensitive[0]);
  EXPECT_TRUE(st.quantity_sensitive[2]) << "only the selected top's quantity can be chosen";
  EXPECT_TRUE(st.complete[WIZ_STEP_THREE]);
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0008 | 0x0100);
  press(2);
  EXPECT_FALSE(st.quantity_sensitive[2]);
  EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);

  SetUp();
  enter_mode(WIZ_BASSARRAY);
  press(5);
  press(7);
  EXPECT_FALSE(st.speaker_active[5]);
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0010 | 0x2000);
}

TEST_F(WizardPages, QuantityIsBitFourteenOfTheSelectedTop) {
  enter_mode(WIZ_MONITOR);
  EXPECT_FALSE(wizard_set_quantity(st, 1, 1)) << "selector insensitive before its top is chosen";
  press(1);
  EXPECT_TRUE(wizard_set_quantity(st, 1, 1));
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0080 | 0x4000);
  // Another top: its own selector (still "1x") counts; the first keeps "2x".
  press(3);
  EXPECT_FALSE(wizard_set_quantity(st, 1, 0));
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0200);
  press(1);
  EXPECT_EQ(to_step_four(), 0x0001 | 0x0020 | 0x0080 | 0x4000);
  EXPECT_FALSE(wizard_set_quantity(st, 0, 1)) << "RS 1 is not in the Monitor layout";
  EXPECT_FALSE(wizard_set_quantity(st, 1, 2));
  EXPECT_EQ(sel & 0x8000, 0) << "bit 15 is never set";
}

// Top first or bass first: an allowed pair completes Step Three; for a
// refused pair the second toggle is insensitive and its press does nothing.
TEST_F(WizardPages, SatPairsFollowTheTableInBothOrders) {
  for (int t = 0; t < 4; ++t) {
    for (int b = 0; b < 3; ++b) {
      for (int top_first = 0; top_first < 2; ++top_first) {
        SCOPED_TRACE(std::string(catalogue[t].key) + "+" + catalogue[5 + b].key +
                     (top_first ? " top first" : " bass first"));
        SetUp();
        enter_mode(WIZ_SAT);
        const int first = top_first ? t : 5 + b;
        const int second = top_first ? 5 + b : t;
        press(first);
        EXPECT_FALSE(st.complete[WIZ_STEP_THREE]) << "one row alone is not enough in SAT";
        EXPECT_EQ(st.speaker_sensitive[second], sat_doc[t][b]);
        press(second);
        EXPECT_EQ(st.speaker_active[second], sat_doc[t][b]);
        EXPECT_EQ(st.complete[WIZ_STEP_THREE], sat_doc[t][b]);
        const uint16_t expected =
            0x0001 | 0x0004 | catalogue[first].bit | (sat_doc[t][b] ? catalogue[second].bit : 0);
        EXPECT_EQ(to_step_four(), expected);
      }
    }
  }
}

TEST_F(WizardPages, SatDeselectionRestoresTheOtherRow) {
  enter_mode(WIZ_SAT);
  press(0);  // RS 1: RX 2, RX 3 insensitive
  press(0);  // deselected: both sensitive again
  EXPECT_TRUE(st.speaker_sensitive[6]);
  EXPECT_TRUE(st.speaker_sensitive[7]);
  press(1);  // RS 2: RX 2 insensitive
  EXPECT_FALSE(st.speaker_sensitive[6]);
  press(1);
  EXPECT_TRUE(st.speaker_sensitive[6]);
  press(6);  // RX 2: RS 1, RS 2 insensitive
  EXPECT_FALSE(st.speaker_sensitive[0]);
  EXPECT_FALSE(st.speaker_sensitive[1]);
  press(6);
  EXPECT_TRUE(st.speaker_sensitive[0]);
  EXPECT_TRUE(st.speaker_sensitive[1]);
  press(7);  // RX 3: RS 1 insensitive, RS 2 sensitive
  EXPECT_FALSE(st.speaker_sensitive[0]);
  EXPECT_TRUE(st.speaker_sensitive[1]);
  press(5);  // moving to RX 1 makes RS 1 and RS 2 sensitive
  EXPECT_TRUE(st.speaker_sensitive[0]);
  EXPECT_FALSE(st.speaker_active[7]);
  // A completed pair loses completeness when either side is deselected.
  press(2);
  EXPECT_TRUE(st.complete[WIZ_STEP_THREE]);
  press(5);
  EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);
  press(5);
  EXPECT_TRUE(st.complete[WIZ_STEP_THREE]);
  press(2);
  EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);
}

// Every sequence of single presses in SAT mode (breadth-first over the
// reachable states): Step Three is complete exactly when a top and a bass
// of an allowed pair are selected, and every allowed pair is reachable.
TEST_F(WizardPages, NoPressSequenceReachesARefusedSatPair) {
  enter_mode(WIZ_SAT);
  auto key = [](const wizard_state_t& s) {
    std::string k;
    for (int i = 0; i < 8; ++i) k += char('0' + s.speaker_active[i] + 2 * s.speaker_sensitive[i]);
    k += char('0' + s.forward + 2 * s.forward_bass + 4 * s.complete[WIZ_STEP_THREE]);
    return k;
  };
  std::set<std::string> seen{key(st)};
  std::vector<wizard_state_t> queue{st};
  std::set<std::pair<int, int>> completed_pairs;
  while (!queue.empty()) {
    const wizard_state_t s = queue.back();
    queue.pop_back();
    int top = -1, bass = -1, tops = 0, basses = 0;
    for (int i = 0; i < 5; ++i) tops += s.speaker_active[i], top = s.speaker_active[i] ? i : top;
    for (int i = 5; i < 8; ++i)
      basses += s.speaker_active[i], bass = s.speaker_active[i] ? i - 5 : bass;
    ASSERT_LE(tops, 1);
    ASSERT_LE(basses, 1);
    const bool pair = top >= 0 && bass >= 0;
    if (pair) {
      ASSERT_TRUE(top < 4 && sat_doc[top][bass]) << key(s);
    }
    ASSERT_EQ(s.complete[WIZ_STEP_THREE], pair) << key(s);
    if (pair) completed_pairs.insert({top, bass});
    for (int item = 5; item <= 12; ++item) {
      wizard_state_t next = s;
      uint16_t word = sel;
      wizard_press(next, item, WIZ_PRESS_SINGLE, word);
      if (seen.insert(key(next)).second) queue.push_back(next);
    }
  }
  EXPECT_EQ(completed_pairs.size(), 9u);
}

TEST_F(WizardPages, DoublePresses) {
  // A mode: active, and Step Three is asked for.
  wizard_press(st, WIZ_ITEM_BASSARRAY, WIZ_PRESS_SINGLE, sel);
  wizard_press(st, WIZ_ITEM_BASSARRAY, WIZ_PRESS_SINGLE, sel);
  EXPECT_EQ(wizard_press(st, WIZ_ITEM_BASSARRAY, WIZ_PRESS_DOUBLE, sel), WIZ_STEP_THREE);
  EXPECT_TRUE(st.mode_active[WIZ_BASSARRAY]);
  wizard_prepare(st, WIZ_STEP_THREE, sel);
  EXPECT_EQ(sel, 0x0011);
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

TEST_F(WizardPages, FactoryPathSkipsStepThree) {
  sel |= 0x0002;
  wizard_press(st, WIZ_ITEM_SAT, WIZ_PRESS_SINGLE, sel);
  wizard_change_factory(st, 2, sel);
  EXPECT_EQ(sel, 0x0001) << "a factory choice clears bit 1 too";
  EXPECT_TRUE(st.complete[WIZ_STEP_TWO]);
  EXPECT_FALSE(st.show_sensitive);
  for (int m = 0; m < 4; ++m) {
    EXPECT_FALSE(st.mode_active[m]);
    EXPECT_FALSE(st.mode_sensitive[m]);
  }
  wizard_press(st, WIZ_ITEM_FULLRANGE, WIZ_PRESS_SINGLE, sel);
  EXPECT_FALSE(st.mode_active[WIZ_FULLRANGE]) << "insensitive mode toggles take no press";
  EXPECT_EQ(wizard_press(st, WIZ_ITEM_FULLRANGE, WIZ_PRESS_DOUBLE, sel), -1);
  const int next = assistant_forward(WIZ_STEP_TWO, st.factory);
  ASSERT_EQ(next, WIZ_STEP_FOUR);
  wizard_prepare(st, next, sel);
  EXPECT_EQ(sel, 0x0001) << "no Step Three built: no loudspeaker bits";
  EXPECT_EQ(sel & 0x003E, 0) << "the generation takes the template";

  // Back to Step Two and "None": modes usable again, page incomplete.
  wizard_prepare(st, WIZ_STEP_TWO, sel);
  EXPECT_FALSE(st.complete[WIZ_STEP_TWO]) << "incomplete on entry, factory choice or not";
  EXPECT_EQ(st.factory, 2);
  wizard_change_factory(st, 0, sel);
  EXPECT_FALSE(st.complete[WIZ_STEP_TWO]);
  EXPECT_TRUE(st.show_sensitive);
  for (int m = 0; m < 4; ++m) EXPECT_TRUE(st.mode_sensitive[m]);
}

TEST_F(WizardPages, FactoryAfterAVisitToStepThreeStillTakesTheTemplate) {
  enter_mode(WIZ_FULLRANGE);
  press(3);
  wizard_set_quantity(st, 3, 1);
  wizard_prepare(st, WIZ_STEP_TWO, sel);  // Back
  wizard_change_factory(st, 1, sel);
  wizard_prepare(st, assistant_forward(WIZ_STEP_TWO, st.factory), sel);
  EXPECT_EQ(sel & 0x003E, 0);
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
  EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);
  EXPECT_FALSE(st.forward);
  EXPECT_FALSE(st.forward_bass);
  for (int s = 0; s < 8; ++s) {
    EXPECT_FALSE(st.speaker_active[s]);
    EXPECT_TRUE(st.speaker_sensitive[s]);
  }
  EXPECT_EQ(st.quantity[2], 0);
  // A bass alone does not complete SAT: the earlier top does not count.
  press(6);
  EXPECT_FALSE(st.complete[WIZ_STEP_THREE]);
  EXPECT_FALSE(st.speaker_sensitive[0]);
  // Back to Step Two clears the mode choice; a different mode then.
  wizard_prepare(st, WIZ_STEP_TWO, sel);
  EXPECT_FALSE(st.complete[WIZ_STEP_TWO]);
  for (int m = 0; m < 4; ++m) EXPECT_FALSE(st.mode_active[m]);
  enter_mode(WIZ_MONITOR);
  EXPECT_EQ(sel, 0x0021);
  press(4);
  EXPECT_EQ(to_step_four(), 0x0021 | 0x0400);
}

TEST_F(WizardPages, OfferedSelectionsAreExactlyWhatThePagesProduce) {
  const std::vector<wizard_selection_t> all = wizard_offered_selections();
  ASSERT_EQ(all.size(), 37u);
  std::set<uint16_t> words;
  std::set<uint16_t> speaker_values;
  for (const wizard_selection_t& s : all) {
    SCOPED_TRACE(s.word);
    EXPECT_TRUE(words.insert(s.word).second) << "duplicate";
    speaker_values.insert(s.word & 0x7FC0);
    // Drive the pages to the same choice and compare the word.
    SetUp();
    enter_mode(s.mode);
    if (s.top >= 0) press(s.top);
    if (s.bass >= 0) press(s.bass);
    if (s.top >= 0) {
      ASSERT_TRUE(wizard_set_quantity(st, s.top, s.quantity));
    }
    ASSERT_TRUE(st.complete[WIZ_STEP_THREE]);
    EXPECT_EQ(to_step_four(), s.word);
    EXPECT_TRUE(wizard_selection_offered(s.word));
  }
  EXPECT_EQ(speaker_values.size(), 31u);
  EXPECT_FALSE(wizard_selection_offered(0x0001 | 0x0004 | 0x0040 | 0x1000));  // RS1+RX2
  EXPECT_FALSE(wizard_selection_offered(0x0001 | 0x0004 | 0x0400 | 0x0800));  // RS5 in SAT
  EXPECT_FALSE(wizard_selection_offered(0x0001 | 0x0020 | 0x0040));           // RS1 monitor
  EXPECT_FALSE(wizard_selection_offered(0x0001 | 0x0010 | 0x0800 | 0x4000));  // bass at 2x
  EXPECT_FALSE(wizard_selection_offered(0x0001 | 0x0008));                    // no speaker
  EXPECT_EQ(mode_of(0x07C1), WIZ_NO_MODE);
  EXPECT_EQ(wizard_input_entry(0), 0);
  EXPECT_EQ(wizard_input_entry(1), 3);
}

}  // namespace
