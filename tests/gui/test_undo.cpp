// Undo and redo in the open editor.
#include <gdk/gdkkeysyms.h>

#include "gui_test_util.h"
#include "model/editor_undo.h"
#include "response/calc_filters.h"

namespace {

class Undo : public GuiTest {
 protected:
  // Channels A and B in level group 1 and mute group 1 (A strong, B weak);
  // channel B's band 3 at 1000 Hz, -2.5 dB.
  static preset_t linked() {
    preset_t p = preset_def;
    p.channel[0].groups = 0x21, p.channel[1].groups = 0x31;
    p.channel[1].peq[2] = {1000, 20, -25, 0};
    return p;
  }
};

TEST_F(Undo, ADragIsOneStepThatTheKeysUndoAndRedoExactlyInEveryWidget) {
  open_editor(MV517, linked());
  show_page(notebook, TAB_PARAMETRIC_EQ);
  show_page(notebook_peq, 1);
  GtkWidget* plot = drawing_area_peq[1];
  const preset_t opened = preset;
  const std::vector<double> curve(pnt_to_pix_eq_sum[1], pnt_to_pix_eq_sum[1] + 812);
  send_event(plot, GDK_BUTTON_PRESS, x_peq[1][2], y_peq[1][2]);
  for (int i = 1; i <= 5; ++i) send_event(plot, GDK_MOTION_NOTIFY, 464 + 20 * i, 122 - 10 * i);
  send_event(plot, GDK_BUTTON_RELEASE, 564, 72);
  const preset_t dragged = preset;
  ASSERT_TRUE(unsaved() && preset.channel[1].peq[2].freq > 1000);
  EXPECT_EQ(editor_undo_label(), "Undo EQ band 3 of Out B");

  // The window's accelerators come first, whichever widget has the focus.
  gtk_widget_grab_focus(peq_spin_q[1][0]);
  key(GDK_z, GDK_CONTROL_MASK);
  EXPECT_TRUE(same(preset, opened) && !unsaved() && !editor_can_undo());
  EXPECT_TRUE(editor_undo_label() == "Undo" && editor_redo_label() == "Redo EQ band 3 of Out B");
  EXPECT_TRUE(value(peq_spin_freq[1][2]) == 1000 && value(peq_spin_gain[1][2]) == -2.5);
  EXPECT_TRUE(x_peq[1][2] == 464 && y_peq[1][2] == 122);
  EXPECT_TRUE(std::equal(curve.begin(), curve.end(), pnt_to_pix_eq_sum[1]));
  gtk_widget_grab_focus(plot);
  key(GDK_Z, GDK_CONTROL_MASK | GDK_SHIFT_MASK);
  EXPECT_TRUE(same(preset, dragged) && unsaved() && editor_redo_label() == "Redo");
  key(GDK_z, GDK_CONTROL_MASK);
  gtk_widget_grab_focus(ch_name[0]);
  key(GDK_y, GDK_CONTROL_MASK);
  EXPECT_TRUE(same(preset, dragged) &&
              value(peq_spin_freq[1][2]) == dragged.channel[1].peq[2].freq);
}

TEST_F(Undo, EachActionIsOneStepAndAShowingIsNone) {
  const auto hold_arrow = [] {  // channel B's attack: the up arrow held 0.4 s
    show_page(notebook, TAB_LIMITER);
    send_event(nullptr, GDK_BUTTON_PRESS, 4, 2, GTK_SPIN_BUTTON(spin_button_attack[1])->panel);
    pump_for(400);
    send_event(nullptr, GDK_BUTTON_RELEASE, 4, 2, GTK_SPIN_BUTTON(spin_button_attack[1])->panel);
    pump();
    EXPECT_GT(preset.channel[1].dynamics.attack, 3);
  };
  const auto slide_fader = [] {  // channel C's fader, pressed, moved twice, let go
    show_page(notebook, TAB_CHANNEL_SETUP);
    GdkWindow* w = GTK_RANGE(vscale[2])->event_window;
    send_event(nullptr, GDK_BUTTON_PRESS, 10, 40, w);
    for (double db : {-20.0, -30.0}) gtk_range_set_value(GTK_RANGE(vscale[2]), db);
    send_event(nullptr, GDK_BUTTON_RELEASE, 10, 40, w);
    pump();
  };
  const auto key_on_plot = [this](guint keyval) {
    show_page(notebook, TAB_CROSSOVER);
    send_event(drawing_area_xo[0], GDK_BUTTON_PRESS, 148, 127);  // selects the high-pass
    send_event(drawing_area_xo[0], GDK_BUTTON_RELEASE, 148, 127);
    editor_undo();  // the press moved it to the pointer
    key(keyval, 0), key(keyval, 0);
  };
  // clang-format off
  const struct { const char* label; int steps; std::function<void()> act; } rows[] = {
      {"Undo level of Out A, B", 1, [] { set_value(spinner_gain[0], -9.0); }},
      {"Undo level of Out C", 1, slide_fader},
      {"Undo mute of Out A, B", 1, [] { press(button_mute[0], true); }},
      {"Undo EQ band 6 of Out B", 1, [] { choose(peq_combo[1][5], 2); }},
      {"Undo lock flags", 1, [] { press(check_lock_xo, true); }},
      {"Undo name of Out A", 1, [] { set_entry(ch_name[0], "Top"); }},
      {"Undo delay of Out C", 1, [] { type_value(spin_button_delay[2], "3.5"); }},
      {"Undo", 0, [] { choose(combo_delay, 2); }},
      {"Undo limiter of Out B", 1, hold_arrow},
      {"Undo high-pass of Out A", 2, [&] { key_on_plot(GDK_Right); }},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    reset_to_idle();
    open_editor(MV517, linked());
    const preset_t opened = preset;
    r.act();
    EXPECT_EQ(editor_undo_label(), r.label);
    for (int i = 0; i < r.steps; ++i) {
      EXPECT_FALSE(same(preset, opened)) << i;
      editor_undo();
    }
    EXPECT_TRUE(same(preset, opened) && !editor_can_undo() && !unsaved());
  }
}

TEST_F(Undo, UndoingToTheSavedStateLeavesNothingUnsavedAndEachEditorStartsAfresh) {
  const std::string path = dir.file("live.qpx");
  write_file(path, golden("new_mv517.qpx"));
  ASSERT_TRUE(open_preset_file(path));
  set_value(spin_button_delay[0], 2.0);
  ASSERT_TRUE(save_preset(false) && !unsaved());
  editor_undo();  // the record as opened, which is no longer saved (the rule: core tests)
  EXPECT_TRUE(unsaved() && !editor_can_undo());
  ASSERT_TRUE(save_preset(false));
  EXPECT_EQ(read_file(path), golden("new_mv517.qpx"));

  reset_to_idle();
  activate(mv961);
  EXPECT_TRUE(!editor_can_undo() && !editor_can_redo());
  set_value(spinner_gain[0], -1.0);  // without a file Save stays insensitive
  EXPECT_TRUE(editor_can_undo() && !unsaved());
  reset_to_idle();
  ASSERT_TRUE(open_preset_file(path));
  EXPECT_TRUE(!editor_can_undo() && editor_undo_label() == "Undo");
}

}  // namespace
