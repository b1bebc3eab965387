// The Channel Setup, Overview and System controls driven through the GTK
// API: level and mute linking, groups, routing and input mode, polarity,
// lock boxes and names; each change marks the preset unsaved.
#include <cstring>

#include "editor_test_util.h"
#include "model/change_preset.h"

namespace {

class ChannelSetup : public GuiTest {
 protected:
  // An MV517 preset with the given levels (dB) and groups bytes.
  static preset_t with_channels(const double gain_db[4], const uint8_t groups[4]) {
    preset_t p = default_preset();
    for (int i = 0; i < 4; ++i) {
      p.channel[i].gain = static_cast<int16_t>(db_to_tenths(gain_db[i]));
      p.channel[i].groups = groups[i];
    }
    return p;
  }
  static std::vector<double> spins() {
    std::vector<double> v;
    for (int i = 0; i < 4; ++i) v.push_back(value(spinner_gain[i]));
    return v;
  }
  static void expect_levels(const std::vector<double>& db) {
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(testing::Message() << "channel " << i);
      EXPECT_NEAR(value(spinner_gain[i]), db[i], 1e-9);
      EXPECT_NEAR(fader(vscale[i]), db[i], 1e-9);
      EXPECT_EQ(preset.channel[i].gain, db_to_tenths(db[i]));
    }
  }
};

// ---- Levels -------------------------------------------------------------------

TEST_F(ChannelSetup, LevelGroupMovesByTheStepAndClampsEachChannel) {
  const double gain[4] = {-10, -5, -20, -30};
  const uint8_t groups[4] = {1, 1, 2, 0};
  open_editor(MV517, with_channels(gain, groups));

  // The first change after the build moves the group by its step.
  set_value(spinner_gain[0], -9.0);
  expect_levels({-9, -4, -20, -30});
  EXPECT_STREQ(level_values[0], " -9.0 dB");
  EXPECT_STREQ(level_values[1], " -4.0 dB");

  // Moving the follower moves the leader too: the group has no leader.
  set_value(spinner_gain[1], 5.5);
  expect_levels({0.5, 5.5, -20, -30});
  set_value(spinner_gain[0], 1.5);  // B would reach 6.5: it stops at +6.0
  expect_levels({1.5, 6.0, -20, -30});
  set_value(spinner_gain[0], 0.5);  // the offset changed while B was clamped
  expect_levels({0.5, 5.0, -20, -30});
  EXPECT_STREQ(level_values[1], "  5.0 dB");

  // Group 2 alone; the independent channel never follows.
  set_value(spinner_gain[2], -99.0);
  expect_levels({0.5, 5.0, -99, -30});
  EXPECT_STREQ(level_values[2], "-99.0 dB");
  set_value(spinner_gain[3], -12.3);
  expect_levels({0.5, 5.0, -99, -12.3});
  EXPECT_EQ(preset.channel[3].gain, -123);
}

TEST_F(ChannelSetup, FaderSetsItsSpinButtonAndLinksTheGroup) {
  const double gain[4] = {0, -3, 0, -7.5};
  const uint8_t groups[4] = {0, 2, 1, 2};
  open_editor(MV517, with_channels(gain, groups));
  gtk_range_set_value(GTK_RANGE(vscale[3]), -10.0);
  pump();
  expect_levels({0, -5.5, 0, -10});
  gtk_range_set_value(GTK_RANGE(vscale[1]), 7.0);  // the fader's top is +6.0
  pump();
  expect_levels({0, 6.0, 0, 1.5});
}

TEST_F(ChannelSetup, LevelGroupsOfTheMv961CoverTwoChannels) {
  const double gain[4] = {0, 0, -1, -2};
  const uint8_t groups[4] = {1, 1, 1, 1};
  open_editor(MV961, with_channels(gain, groups));
  set_value(spinner_gain[1], -4.0);
  EXPECT_DOUBLE_EQ(value(spinner_gain[0]), -4.0);
  EXPECT_EQ(preset.channel[0].gain, -40);
  EXPECT_EQ(preset.channel[2].gain, -10);  // not shown, not changed
  EXPECT_EQ(preset.channel[3].gain, -20);
}

// ---- Mutes --------------------------------------------------------------------

TEST_F(ChannelSetup, MuteGroupsPullStrongAndWeakMembersOneStep) {
  // A "Gr 1 strong", B and C "Gr 1 weak", D "Gr 2 strong".
  const double gain[4] = {0, 0, 0, 0};
  const uint8_t groups[4] = {0x20, 0x30, 0x30, 0x40};
  open_editor(MV517, with_channels(gain, groups));

  struct Step {
    int ch;
    bool on;
    uint8_t mute;
  };
  const Step steps[] = {
      {0, true, 0x07},   // strong: the whole group
      {1, false, 0x01},  // weak: only the weak members
      {2, true, 0x07},   // weak C pulls weak B, not strong A (already muted)
      {3, true, 0x0F},   // group 2 has no other member
      {0, false, 0x08},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "channel " << s.ch << (s.on ? " mute" : " unmute"));
    press(button_mute[s.ch], s.on);
    EXPECT_EQ(preset.mute, s.mute);
    EXPECT_EQ(aktiv[AKTIV_UNMUTED], ~static_cast<int>(s.mute));
    for (int i = 0; i < 4; ++i) {
      const bool muted = (s.mute >> i) & 1;
      EXPECT_EQ(pressed(button_mute[i]), muted) << "channel " << i;
      for (GtkWidget* w :
           {vscale[i], spinner_gain[i], combobox[i], combobox_rout[i], combo_mute[i], combo_lvl[i]})
        EXPECT_EQ(sensitive(w), !muted) << "channel " << i;
      EXPECT_TRUE(sensitive(ch_name[i]));
    }
  }
}

TEST_F(ChannelSetup, GroupSelectorsWriteTheirNibbleOnly) {
  const double gain[4] = {0, 0, 0, 0};
  const uint8_t groups[4] = {0x12, 0x51, 0, 0};
  open_editor(MV517, with_channels(gain, groups));
  EXPECT_EQ(active(combo_mute[0]), 0);  // 0x10 is no mute group
  choose(combo_mute[0], 3);
  EXPECT_EQ(preset.channel[0].groups, 0x42);
  choose(combo_lvl[0], 1);
  EXPECT_EQ(preset.channel[0].groups, 0x41);
  choose(combo_mute[1], 0);
  EXPECT_EQ(preset.channel[1].groups, 0x01);
  // A new group takes effect at the next toggle and mutes nothing by itself.
  choose(combo_mute[1], 1);
  choose(combo_mute[2], 2);
  EXPECT_EQ(preset.mute, 0);
  press(button_mute[1], true);
  EXPECT_EQ(preset.mute, 0x06);
}

// ---- Routing, input mode, polarity and the routing diagram ---------------------

TEST_F(ChannelSetup, RoutingAndInputModeAreStoredAndRedrawn) {
  open_editor(MV517, default_preset());
  Snapshot before = snapshot(draw_area_routing);
  ASSERT_EQ(before.width, 320);

  choose(combobox_rout[1], 9);
  EXPECT_EQ(preset.channel[1].routing, 9);
  EXPECT_EQ(preset.channel[0].routing, 0);
  // Output row B now also draws to C and D: the line from (285.5, 190.5) to
  // C at (155.5, 260.5) crosses x = 220 near y = 225.
  Snapshot after = snapshot(draw_area_routing);
  bool line_drawn = false;
  for (int y = 220; y <= 231; ++y) line_drawn |= after.at(220, y) != before.at(220, y);
  EXPECT_TRUE(line_drawn);

  choose(combo_input, 3);
  EXPECT_EQ(in_mode, 3);
  EXPECT_EQ(preset.channel[0].routing, 0);  // stored again, unchanged
  // Digital inputs: the d1 L box fills (60, 100), empty in analog mode.
  Snapshot digital = snapshot(draw_area_routing);
  EXPECT_NE(digital.at(60, 100), after.at(60, 100));

  choose(combobox[2], 1);
  EXPECT_EQ(preset.channel[2].phase, 1);
  choose(combobox[2], 0);
  EXPECT_EQ(preset.channel[2].phase, 0);

  open_editor(MV961, default_preset());  // the routing list of the MV961
  destroy_editor();
  open_editor(MV961, default_preset());
  choose(combobox_rout[0], 3);
  EXPECT_EQ(preset.channel[0].routing, 3);
}

// ---- Lock boxes ---------------------------------------------------------------

TEST_F(ChannelSetup, EachLockBoxOwnsOneBit) {
  open_editor(MV517, default_preset());
  const struct {
    GtkWidget* box;
    uint8_t bit;
  } boxes[] = {{check_lock_dly, 0x01}, {check_lock_peq, 0x02},  {check_lock_xo, 0x04},
               {check_lock_dyn, 0x08}, {check_lock_rout, 0x10}, {check_lock_mutelvl, 0x20}};
  uint8_t expect = 0;
  for (const auto& b : boxes) {
    press(b.box, true);
    expect |= b.bit;
    EXPECT_EQ(preset.lock, expect);
  }
  EXPECT_EQ(preset.lock, 0x3F);
  for (const auto& b : boxes) {
    press(b.box, false);
    expect &= ~b.bit;
    EXPECT_EQ(preset.lock, expect);
  }
  EXPECT_EQ(lock_mask_of(6), 0);
}

TEST_F(ChannelSetup, RoutingLockRedrawsTheRouterOutline) {
  open_editor(MV517, default_preset());
  // The router's left edge at x = 150.5, line width 2.
  const auto edge = [] { return snapshot(draw_area_routing).at(150, 200); };
  EXPECT_EQ(edge(), (std::vector<int>{0, 0, 0}));
  press(check_lock_rout, true);
  EXPECT_EQ(edge(), (std::vector<int>{255, 0, 0}));
  press(check_lock_rout, false);
  EXPECT_EQ(edge(), (std::vector<int>{0, 0, 0}));
}

// ---- Names --------------------------------------------------------------------

TEST_F(ChannelSetup, NamesAreStoredAsTypedAndRelabelTheHeadings) {
  open_editor(MV517, default_preset());
  clear_entry(ch_name[2]);
  type_into(ch_name[2], "Top <L&R>");
  EXPECT_STREQ(preset.channel[2].name, "Top <L&R>");
  EXPECT_EQ(label_text(labels[2]), "Top <L&R>");
  EXPECT_EQ(label_text(labels_l[2]), "Top <L&R>");

  clear_entry(ch_name[0]);
  type_into(ch_name[0], "Sub ↓");
  EXPECT_STREQ(preset.channel[0].name, "Sub \x83");  // the arrows' record bytes
  EXPECT_EQ(entry_text(ch_name[0]), "Sub ↓");

  clear_entry(preset_name);
  type_into(preset_name, "Hall 2");
  EXPECT_STREQ(preset.name, "Hall 2");
  EXPECT_EQ(preset.channel[1].name, std::string("Out B    "));  // untouched
}

TEST_F(ChannelSetup, NameEntriesRefuseWhatTheRecordCannotHold) {
  open_editor(MV517, default_preset());
  struct Case {
    GtkWidget** entry;
    const char* start;
    const char* typed;
    const char* shown;  // what the entry and the record hold afterwards
  };
  const Case cases[] = {
      {&ch_name[0], "Bass", "€", "Bass"},              // no record byte
      {&ch_name[0], "Bass", " ä", "Bass ä"},           // Latin-1 has one
      {&ch_name[0], "Bass", "12345678", "Bass12345"},  // cut to nine characters
      // Every arrow takes 8 bytes in the file: the eighth would pass 63.
      {&preset_name, "←←←←←←←", "↑", "←←←←←←←"},
      {&preset_name, "", "abc\xff", ""},  // not UTF-8
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    clear_entry(*c.entry);
    type_into(*c.entry, c.start);
    type_into(*c.entry, c.typed);
    EXPECT_EQ(entry_text(*c.entry), c.shown);
    const char* stored = *c.entry == preset_name ? preset.name : preset.channel[0].name;
    const size_t max = *c.entry == preset_name ? PRESET_NAME_MAX : CHANNEL_NAME_MAX;
    EXPECT_EQ(record_to_utf8(stored, max), c.shown);
    EXPECT_TRUE(check_name(c.shown, max).ok());
  }
}

// ---- Unsaved changes ------------------------------------------------------------

TEST_F(ChannelSetup, EveryChangeMarksThePresetUnsaved) {
  struct Case {
    const char* name;
    std::function<void()> edit;
    bool changes;
  };
  const Case cases[] = {
      {"level", [] { set_value(spinner_gain[0], -1.0); }, true},
      {"fader", [] { gtk_range_set_value(GTK_RANGE(vscale[1]), -2.0); }, true},
      {"mute", [] { press(button_mute[2], true); }, true},
      {"mute group", [] { choose(combo_mute[0], 2); }, true},
      {"level group", [] { choose(combo_lvl[0], 1); }, true},
      {"routing", [] { choose(combobox_rout[3], 8); }, true},
      {"polarity", [] { choose(combobox[0], 1); }, true},
      {"lock", [] { press(check_lock_xo, true); }, true},
      {"channel name", [] { gtk_editable_delete_text(GTK_EDITABLE(ch_name[1]), 8, 9); }, true},
      {"preset name", [] { type_into(preset_name, "x"); }, true},
      {"attack", [] { set_value(spin_button_attack[0], 20); }, true},
      {"release", [] { set_value(spin_button_rel[1], 500); }, true},
      {"threshold", [] { set_value(spin_button_thres[2], -6); }, true},
      {"limiter gain", [] { set_value(spin_button_gain[3], -10); }, true},
      {"delay", [] { set_value(spin_button_delay[0], 1.0); }, true},
      // Not changes of the preset:
      {"input mode", [] { choose(combo_input, 2); }, false},
      {"delay unit", [] { choose(combo_delay, 1); }, false},
      {"refused name", [] { type_into(preset_name, "€"); }, false},
      {"same level", [] { set_value(spinner_gain[0], 0.04); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_to_idle();
    open_editor(MV517, default_preset());
    ASSERT_FALSE(unsaved());
    c.edit();
    pump();
    EXPECT_EQ(unsaved(), c.changes);
  }
  // A preset that was never saved has no file: Save stays insensitive.
  reset_to_idle();
  open_editor(MV517, default_preset());
  new_preset = 1;
  set_value(spinner_gain[0], -1.0);
  EXPECT_FALSE(unsaved());
}

}  // namespace
