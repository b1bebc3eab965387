// The undo history: step names, steps, limits, typing and the saved state.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/channel_tools.h"
#include "model/filter_text.h"
#include "model/undo_history.h"

namespace {

TEST(UndoHistory, StepsAreNamedAfterWhatChangedAndWhere) {
  using change = std::function<void(preset_t&)>;
  // clang-format off
  const struct { change edit; const char* name; } cases[] = {
      {[](preset_t& p) { p.channel[0].gain = -30; }, "level of Out A"},
      {[](preset_t& p) { p.channel[0].gain = -30; p.channel[1].gain = 20; }, "level of Out A, B"},
      {[](preset_t& p) { p.channel[1].peq[2].freq = 990; p.channel[1].peq[2].gain = -40; },
       "EQ band 3 of Out B"},
      {[](preset_t& p) { p.channel[1].peq[0].type = 1; p.channel[1].peq[5].gain = 10; }, "EQ of Out B"},
      {[](preset_t& p) { p.channel[2].xo[0].config = 2; p.channel[2].xo[1].freq[0] = 900; },
       "crossover of Out C"},
      {[](preset_t& p) { p.channel[3].groups = 0x21; }, "groups of Out D"},
      {[](preset_t& p) { p.channel[1].dynamics.attack = 9; }, "limiter of Out B"},
      {[](preset_t& p) { p.channel[2].delay = 300; }, "delay of Out C"},
      {[](preset_t& p) { p.mute = 0x05; }, "mute of Out A, C"},
      {[](preset_t& p) { std::strcpy(p.channel[0].name, "Top"); }, "name of Out A"},
      {[](preset_t& p) { std::strcpy(p.name, "Stage"); }, "preset name"},
      {[](preset_t& p) { p.lock = 0x14; }, "lock flags"},
      {[](preset_t& p) { p.channel[0].gain = 5; p.channel[0].phase = 1; }, "settings of Out A"},
      {[](preset_t& p) { p.channel[3].delay = 5; p.lock = 1; }, "settings of the preset"},
      {[](preset_t& p) { p.name[10] = 'x'; }, ""},  // after the terminator
  };
  // clang-format on
  for (const auto& c : cases) {
    preset_t after = preset_def;
    c.edit(after);
    EXPECT_EQ(change_name(preset_def, after), c.name);
  }
}

// A tool names its step; its name change is no typing a typed name extends.
TEST(UndoHistory, AToolNamesItsStep) {
  preset_t p = preset_def;
  copy_to_channels(p, MV517, 0, 0b1110, channel_section::eq);  // A's EQ is the default's
  p.channel[0].peq[1].gain = 30;
  preset_t copied = p;
  const unsigned changed = copy_to_channels(copied, MV517, 0, 0b0110, channel_section::eq);
  undo_history h;
  h.start(p);
  ASSERT_TRUE(h.record(p, copied, copy_step_name(0, changed, channel_section::eq)));
  EXPECT_EQ(h.undo_name(), "copy of the EQ of A to B, C");
  preset_t imported = copied;
  std::strcpy(imported.channel[3].name, "Sub");
  ASSERT_TRUE(h.record(copied, imported, filter_import_step_name(3)));
  preset_t typed = imported;
  std::strcpy(typed.channel[3].name, "Subs");
  ASSERT_TRUE(h.record(imported, typed));
  EXPECT_EQ(h.undo_count(), 3u);
  EXPECT_EQ(h.undo_name(), "name of Out D");
  h.undo();
  EXPECT_EQ(h.undo_name(), "filter import into Out D");
}

// Edits of A's level, undos, redos, saves: the level then, the steps left
// each way, whether unsaved.
struct action_t {
  char what;  // 'e' edit to `level`, 'u' undo, 'r' redo, 's' save
  int level;  // 'e': the new level; else the level expected afterwards
  size_t undos, redos;
  bool unsaved;
};

TEST(UndoHistory, UndoRedoAndTheSavedState) {
  // clang-format off
  const struct { const char* title; size_t limit; std::vector<action_t> script; } cases[] = {
      {"undo to the opened state and redo", 10,
       {{'e', 10, 1, 0, true}, {'e', 20, 2, 0, true}, {'u', 10, 1, 1, true}, {'u', 0, 0, 2, false},
        {'u', 0, 0, 2, false}, {'r', 10, 1, 1, true}, {'r', 20, 2, 0, true}, {'r', 20, 2, 0, true}}},
      {"a new step clears the redo steps", 10,
       {{'e', 10, 1, 0, true}, {'e', 20, 2, 0, true}, {'u', 10, 1, 1, true}, {'e', 50, 2, 0, true},
        {'r', 50, 2, 0, true}, {'u', 10, 1, 1, true}, {'u', 0, 0, 2, false}}},
      {"saved, undone before it and redone past it", 10,
       {{'e', 10, 1, 0, true}, {'s', 10, 1, 0, false}, {'e', 20, 2, 0, true}, {'u', 10, 1, 1, false},
        {'u', 0, 0, 2, true}, {'r', 10, 1, 1, false}, {'r', 20, 2, 0, true}}},
      {"the saved state cut off by a new step", 10,
       {{'e', 10, 1, 0, true}, {'e', 20, 2, 0, true}, {'s', 20, 2, 0, false}, {'u', 10, 1, 1, true},
        {'e', 70, 2, 0, true}, {'u', 10, 1, 1, true}, {'r', 70, 2, 0, true}}},
      {"the oldest steps dropped, the opened state with them", 3,
       {{'e', 10, 1, 0, true}, {'e', 20, 2, 0, true}, {'e', 30, 3, 0, true}, {'e', 40, 3, 0, true},
        {'u', 30, 2, 1, true}, {'u', 20, 1, 2, true}, {'u', 10, 0, 3, true}, {'u', 10, 0, 3, true},
        {'r', 20, 1, 2, true}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    undo_history h(c.limit);
    preset_t current = preset_def;
    h.start(current);
    int line = 0;
    for (const action_t& a : c.script) {
      ++line;
      if (a.what == 'e') {
        const preset_t before = current;
        current.channel[0].gain = static_cast<int16_t>(a.level);
        EXPECT_TRUE(h.record(before, current)) << line;
      } else if (a.what == 's') {
        h.saved(current);
      } else if (const preset_t* r = a.what == 'u' ? h.undo() : h.redo()) {
        current = *r;
      }
      EXPECT_EQ(current.channel[0].gain, a.level) << line;
      EXPECT_TRUE(h.undo_count() == a.undos && h.redo_count() == a.redos) << line;
      EXPECT_EQ(h.unsaved(current), a.unsaved) << line;
    }
  }
}

TEST(UndoHistory, KeepsAThousandStepsAndDropsTheOldest) {
  undo_history h;
  preset_t p = preset_def;
  h.start(p);
  for (int i = 1; i <= 1005; ++i) {
    const preset_t before = p;
    p.channel[1].delay = static_cast<uint16_t>(i);
    h.record(before, p);
  }
  const preset_t* r = nullptr;
  for (int i = 0; i < 1000; ++i) r = h.undo();
  ASSERT_TRUE(r != nullptr && !h.can_undo());
  EXPECT_TRUE(r->channel[1].delay == 5 && h.redo_name() == "delay of Out B");
}

TEST(UndoHistory, TypingANameIsOneStepUntilSomethingElseHappens) {
  undo_history h;
  preset_t p = preset_def;
  h.start(p);
  const auto type = [&](char* field, const char* text) {
    const preset_t before = p;
    std::strcpy(field, text);
    return h.record(before, p);
  };
  for (const char* text : {"S", "St", "Sta"}) type(p.name, text);
  EXPECT_TRUE(h.undo_count() == 1 && h.undo_name() == "preset name");
  type(p.channel[0].name, "L");  // another name field
  type(p.name, "Stag");
  EXPECT_EQ(h.undo_count(), 3u);
  h.saved(p);  // a save ends the typing
  type(p.name, "Stage");
  EXPECT_FALSE(type(p.name, "Stage"));  // the same text again changes nothing
  EXPECT_EQ(h.undo_count(), 4u);
  p = *h.undo();
  EXPECT_STREQ(p.name, "Stag");
  type(p.name, "Stagx");  // after an undo: a new step
  EXPECT_TRUE(h.undo_count() == 4 && !h.can_redo());
  EXPECT_STREQ(h.undo()->name, "Stag");
  EXPECT_STREQ(h.undo()->name, "Sta");
  EXPECT_STREQ(h.undo()->channel[0].name, "Out A    ");
  EXPECT_STREQ(h.undo()->name, "Preset");
}

}  // namespace
