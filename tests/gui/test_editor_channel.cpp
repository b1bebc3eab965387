// The Channel Setup, Overview and System controls driven through the GTK
// API: level and mute linking, groups, routing and input mode, polarity,
// lock boxes and names; each change marks the preset unsaved.
#include "editor_test_util.h"
#include "model/change_preset.h"

namespace {

class ChannelSetup : public GuiTest {
 protected:
  // A preset with the given levels (dB) and groups bytes.
  static preset_t with_channels(std::vector<double> gain_db, std::vector<uint8_t> groups) {
    preset_t p = default_preset();
    for (int i = 0; i < 4; ++i) {
      p.channel[i].gain = static_cast<int16_t>(db_to_tenths(gain_db[i]));
      p.channel[i].groups = groups[i];
    }
    return p;
  }
};

TEST_F(ChannelSetup, LevelGroupsMoveTogetherAndClampEachChannel) {
  open_editor(MV517, with_channels({-10, -5, -20, -30}, {1, 1, 2, 0}));
  struct Step {
    int ch;
    bool fader;
    double db;
    std::vector<double> levels;
  };
  const Step steps[] = {
      {0, false, -9.0, {-9, -4, -20, -30}},       // the group moves by the step
      {1, false, 5.5, {0.5, 5.5, -20, -30}},      // the follower moves the leader too
      {0, false, 1.5, {1.5, 6.0, -20, -30}},      // B stops at +6.0
      {0, false, 0.5, {0.5, 5.0, -20, -30}},      // the offset changed while B was clamped
      {1, true, 7.0, {1.5, 6.0, -20, -30}},       // the fader's top is +6.0
      {2, true, -99, {1.5, 6.0, -99, -30}},       // group 2 alone
      {3, false, -12.3, {1.5, 6.0, -99, -12.3}},  // independent
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "channel " << s.ch << " to " << s.db);
    if (s.fader)
      gtk_range_set_value(GTK_RANGE(vscale[s.ch]), s.db);
    else
      gtk_spin_button_set_value(GTK_SPIN_BUTTON(spinner_gain[s.ch]), s.db);
    pump();
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(value(spinner_gain[i]), s.levels[i], 1e-9) << i;
      EXPECT_NEAR(fader(vscale[i]), s.levels[i], 1e-9) << i;
      EXPECT_EQ(preset.channel[i].gain, db_to_tenths(s.levels[i])) << i;
    }
  }
  EXPECT_STREQ(level_values[1], "  6.0 dB");

  // The MV961 links its two channels only.
  reset_to_idle();
  open_editor(MV961, with_channels({0, 0, -1, -2}, {1, 1, 1, 1}));
  set_value(spinner_gain[1], -4.0);
  EXPECT_EQ(preset.channel[0].gain, -40);
  EXPECT_EQ(preset.channel[2].gain, -10);
  EXPECT_EQ(preset.channel[3].gain, -20);
}

TEST_F(ChannelSetup, MuteGroupsPullStrongAndWeakMembersAndLockTheirControls) {
  // A "Gr 1 strong", B and C "Gr 1 weak", D "Gr 2 strong".
  open_editor(MV517, with_channels({0, 0, 0, 0}, {0x20, 0x30, 0x30, 0x40}));
  const struct {
    int ch;
    bool on;
    uint8_t mute;
  } steps[] = {
      {0, true, 0x07},   // strong: the whole group
      {1, false, 0x01},  // weak: only the weak members
      {2, true, 0x07},   // weak C pulls weak B, not strong A (already muted)
      {3, true, 0x0F},   // group 2 has no other member
      {0, false, 0x08},
  };
  for (const auto& s : steps) {
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
  open_editor(MV517, with_channels({0, 0, 0, 0}, {0x12, 0x51, 0, 0}));
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

TEST_F(ChannelSetup, RoutingInputModeAndPolarityAreStoredAndRedrawn) {
  open_editor(MV517, default_preset());
  Snapshot before = snapshot(draw_area_routing);
  ASSERT_EQ(before.width, 320);

  choose(combobox_rout[1], 9);
  EXPECT_EQ(preset.channel[1].routing, 9);
  // Output row B now also draws to C and D: the line from (285.5, 190.5) to
  // C at (155.5, 260.5) crosses x = 220 near y = 225.
  Snapshot after = snapshot(draw_area_routing);
  bool line_drawn = false;
  for (int y = 220; y <= 231; ++y) line_drawn |= after.at(220, y) != before.at(220, y);
  EXPECT_TRUE(line_drawn);

  choose(combo_input, 3);
  EXPECT_EQ(in_mode, 3);
  // Digital inputs: the d1 L box fills (60, 100), empty in analog mode.
  EXPECT_NE(snapshot(draw_area_routing).at(60, 100), after.at(60, 100));

  choose(combobox[2], 1);
  EXPECT_EQ(preset.channel[2].phase, 1);
}

TEST_F(ChannelSetup, EachLockBoxOwnsOneBitAndTheRoutingLockColoursTheRouter) {
  open_editor(MV517, default_preset());
  const struct {
    GtkWidget* box;
    uint8_t bit;
  } boxes[] = {{check_lock_dly, 0x01}, {check_lock_peq, 0x02},  {check_lock_xo, 0x04},
               {check_lock_dyn, 0x08}, {check_lock_rout, 0x10}, {check_lock_mutelvl, 0x20}};
  for (const auto& b : boxes) {
    press(b.box, true);
    EXPECT_EQ(preset.lock, b.bit);
    press(b.box, false);
  }
  // The router's left edge at x = 150.5, line width 2.
  const auto edge = [] { return snapshot(draw_area_routing).at(150, 200); };
  EXPECT_EQ(edge(), (std::vector<int>{0, 0, 0}));
  press(check_lock_rout, true);
  EXPECT_EQ(edge(), (std::vector<int>{255, 0, 0}));
}

TEST_F(ChannelSetup, NameEntriesStoreWhatTheRecordCanHoldAndRefuseTheRest) {
  open_editor(MV517, default_preset());
  struct Case {
    GtkWidget** entry;
    const char* start;
    const char* typed;
    const char* shown;  // what the entry and the record hold afterwards
  };
  const Case cases[] = {
      {&ch_name[2], "Sub ", "↓", "Sub ↓"},             // an arrow has a record byte
      {&ch_name[2], "Bass", "€", "Bass"},              // no record byte
      {&ch_name[2], "Bass", " ä", "Bass ä"},           // Latin-1 has one
      {&ch_name[2], "Bass", "12345678", "Bass12345"},  // cut to nine characters
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
    const bool whole = *c.entry == preset_name;
    EXPECT_EQ(record_to_utf8(whole ? preset.name : preset.channel[2].name,
                             whole ? PRESET_NAME_MAX : CHANNEL_NAME_MAX),
              c.shown);
  }
  // The channel's headings follow its name; the other channels keep theirs.
  EXPECT_EQ(label_text(labels[2]), "Bass12345");
  EXPECT_EQ(label_text(labels_l[2]), label_text(labels[2]));
  EXPECT_STREQ(preset.channel[1].name, "Out B    ");
}

TEST_F(ChannelSetup, EveryKindOfChangeMarksThePresetUnsaved) {
  struct Case {
    const char* name;
    std::function<void()> edit;
    bool changes;
  };
  const Case cases[] = {
      {"level", [] { set_value(spinner_gain[0], -1.0); }, true},
      {"fader", [] { gtk_range_set_value(GTK_RANGE(vscale[1]), -2.0); }, true},
      {"mute", [] { press(button_mute[2], true); }, true},
      {"group", [] { choose(combo_lvl[0], 1); }, true},
      {"routing", [] { choose(combobox_rout[3], 8); }, true},
      {"lock", [] { press(check_lock_xo, true); }, true},
      {"name", [] { gtk_editable_delete_text(GTK_EDITABLE(ch_name[1]), 8, 9); }, true},
      {"limiter", [] { set_value(spin_button_thres[2], -6); }, true},
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
