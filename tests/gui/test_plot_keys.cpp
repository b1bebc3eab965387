// Keys, wheel and readout on the plots. Frequencies as in tests/core/test_plot_input.cpp.
#include <gdk/gdkkeysyms.h>

#include "gui_test_util.h"

namespace {

class PlotKeys : public GuiTest {
 protected:
  // A wheel notch up (`down`: down) or, `notch` false, a motion without a button.
  static void at(GtkWidget* plot, double x, double y, bool notch = 1, guint state = 0,
                 bool down = 0) {
    GdkEvent* e = gdk_event_new(notch ? GDK_SCROLL : GDK_MOTION_NOTIFY);
    if (notch)
      e->scroll.state = state, e->scroll.direction = down ? GDK_SCROLL_DOWN : GDK_SCROLL_UP;
    (notch ? e->scroll.x : e->motion.x) = x, (notch ? e->scroll.y : e->motion.y) = y;
    dispatch(e, plot->window);
  }
  static std::string readout(GtkWidget* bar) {
    return gtk_label_get_text(GTK_LABEL(GTK_STATUSBAR(bar)->label));
  }
};

TEST_F(PlotKeys, KeysAndWheelStepTheSelectedFilterThroughItsSpinButtons) {
  preset_t p = preset_def;
  p.channel[0].peq[2] = {1000, 20, -25, 0};
  p.channel[0].peq[5] = {8000, 7, 30, 1};  // high shelf
  p.channel[0].xo[1] = {1, {2500, 2500}, {7, 7}};
  open_editor(MV517, p);
  show_page(notebook, TAB_PARAMETRIC_EQ);
  GtkWidget* plot = drawing_area_peq[0];
  const std::vector<int> white{255, 255, 255};  // the ring, right of the handle
  EXPECT_TRUE(!gtk_widget_get_can_focus(plot) && pixel(plot, 473, 122) != white);
  send_event(plot, GDK_BUTTON_PRESS, 464, 122);  // band 3 to 997 Hz, -2.5 dB
  EXPECT_TRUE(gtk_widget_has_focus(plot) && pixel(plot, 473, 122) == white);
  int stored = 0;  // one change per key press
  g_signal_connect_swapped(peq_spin_freq[0][2], "value-changed", G_CALLBACK(+[](int* n) { ++*n; }),
                           &stored);
  for (guint k : {GDK_Right, GDK_Right, GDK_Right, GDK_minus}) key(k);
  key(GDK_Up, GDK_SHIFT_MASK);
  key(GDK_equal, GDK_SHIFT_MASK);  // the "+" key
  const peq_t &band = preset.channel[0].peq[2], &shelf = preset.channel[0].peq[5];
  EXPECT_TRUE(stored == 3 && band.freq == 1019 && band.gain == -15 && band.q == 29);
  EXPECT_TRUE(page_of(notebook) == TAB_PARAMETRIC_EQ && page_of(notebook_peq) == 0);
  for (guint k : {GDK_Tab, GDK_KP_Add, GDK_Left}) key(k);  // the shelf has no Q to step
  EXPECT_TRUE(shelf.q == 7 && shelf.freq == 7955);
  at(plot, 470, 120);  // within 10 pixels of the handle, now at (467.5, 114)
  at(plot, 468, 116, true, GDK_SHIFT_MASK, true);
  EXPECT_TRUE(band.q == 30 && band.gain == -16);
  const preset_t before = preset;
  at(plot, 749, 78, true, GDK_SHIFT_MASK);  // on the shelf
  EXPECT_TRUE(same(before, preset));
  send_event(plot, GDK_MOTION_NOTIFY, 495, 74);  // with a button: a drag
  EXPECT_EQ(readout(statusbar_peq), "Filter 3: 1250 Hz, +3.5 dB, Q 3.0");
  at(plot, 300, 102, false);
  EXPECT_EQ(readout(statusbar_peq), "302 Hz   0.0 dB");

  show_page(notebook, TAB_CROSSOVER);
  send_event(drawing_area_xo[0], GDK_BUTTON_PRESS, 590, 127);  // the low-pass to 2497 Hz
  for (guint k : {GDK_Up, GDK_KP_Add}) key(k);                 // nothing to step
  key(GDK_Left, GDK_SHIFT_MASK);
  EXPECT_EQ(readout(statusbar_xo), "Low-Pass: 2321 Hz, Butterworth 2.");
  DialogScript script;  // the window's accelerators come first
  script.dialog("Save Preset?", GTK_RESPONSE_NO).start();
  key(GDK_w, GDK_CONTROL_MASK);
  EXPECT_TRUE(script.finished() && window_preset == nullptr);
}

}  // namespace
