// The editor's fit and align dialogs: the result shown while they are open,
// kept by OK as one undo step, taken back by Cancel; the same bands and
// delays as the core computes.
#include "editor/channel_menus.h"
#include "gui_test_util.h"
#include "measure/alignment.h"
#include "measure/eq_fit.h"
#include "measure/fit_dialogs.h"
#include "measure/measurement_menus.h"
#include "model/editor_undo.h"

namespace {

class FitDialogs : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    preset_t p = preset_def;
    std::strcpy(p.channel[0].name, "Top");
    std::strcpy(p.channel[2].name, "Sub");
    p.channel[0].xo[0] = {2, {100, 100}, {7, 7}};
    p.channel[2].xo[1] = {2, {100, 100}, {7, 7}};
    open_editor(MV517, p);
    for (const auto& [ch, file] :
         {std::pair{0, "measurement_top.txt"}, {2, "measurement_sub.txt"}}) {
      write_file(dir.file(file), golden(file));
      ASSERT_TRUE(load_channel_measurement(ch, dir.file(file)));
    }
  }
  // Clicks the dialog's button labelled `label`; true once done.
  static bool click(GtkWidget* dialog, const char* label) {
    GtkWidget* button = nullptr;
    for_each_widget(dialog, [&](GtkWidget* w) {
      if (GTK_IS_BUTTON(w) && gtk_button_get_label(GTK_BUTTON(w)) &&
          std::string(gtk_button_get_label(GTK_BUTTON(w))) == label)
        button = w;
    });
    if (button) gtk_button_clicked(GTK_BUTTON(button));
    return button != nullptr;
  }
  // A script that presses `button` in the dialog `title`, then answers it
  // with `response` once OK has become sensitive (the result is shown).
  static void press_then_answer(DialogScript& s, const char* title, const char* button,
                                gint response, preset_t* shown = nullptr) {
    s.act(title, [=](GtkWidget* d) { return click(d, button); });
    s.act(title, [=](GtkWidget* d) {
      GtkWidget* ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(d), GTK_RESPONSE_OK);
      if (!gtk_widget_get_sensitive(ok)) return false;
      if (shown) *shown = preset;
      gtk_dialog_response(GTK_DIALOG(d), response);
      return true;
    });
    s.start();
  }
};

// The fit shows its bands while the dialog is open; OK keeps the bands the
// core's fit gives (defaults: the pass band, flat, +6 dB, all bands) as one
// step, Cancel takes them back.
TEST_F(FitDialogs, FitEqShownKeptOrTakenBack) {
  const preset_t before = preset;
  const eq_fit_result_t expected =
      fit_eq(before.channel[0], *loaded_measurement(0).grid, eq_fit_request_t{});
  ASSERT_TRUE(expected.ok);
  preset_t shown{};
  {
    DialogScript s;
    press_then_answer(s, "Fit EQ to Measurement", "_Fit", GTK_RESPONSE_CANCEL, &shown);
    fit_eq_dialog(0);
    ASSERT_TRUE(s.finished());
  }
  EXPECT_EQ(std::memcmp(shown.channel[0].peq, expected.bands, sizeof expected.bands), 0);
  EXPECT_TRUE(same(preset, before) && !editor_can_undo());
  EXPECT_EQ(value(peq_spin_freq[0][0]), before.channel[0].peq[0].freq);
  {
    DialogScript s;
    press_then_answer(s, "Fit EQ to Measurement", "_Fit", GTK_RESPONSE_OK);
    fit_eq_dialog(0);
    ASSERT_TRUE(s.finished());
  }
  EXPECT_EQ(std::memcmp(preset.channel[0].peq, expected.bands, sizeof expected.bands), 0);
  EXPECT_EQ(value(peq_spin_freq[0][1]), expected.bands[1].freq);
  EXPECT_EQ(editor_undo_label(), "Undo EQ fit of Out A \"Top\"");
  editor_undo();
  EXPECT_TRUE(same(preset, before));
}

// The alignment: C aligned to A by the core's rule, one step; the items are
// offered only where two channels have measurements with phase.
TEST_F(FitDialogs, AlignKeptAsOneStep) {
  EXPECT_TRUE(can_align(2) && can_align(0) && !can_align(1) && can_fit_eq(0) && !can_fit_eq(1));
  const preset_t before = preset;
  const align_result_t expected =
      align_channels(before, 0, 2, *loaded_measurement(0).grid, *loaded_measurement(2).grid);
  ASSERT_TRUE(expected.ok);
  show_page(notebook, TAB_DELAY);
  DialogScript s;
  press_then_answer(s, "Align With", "_Align", GTK_RESPONSE_OK);
  right_click(gtk_widget_get_parent(labels[2]), {"Align with..."});
  pump_for(200);
  ASSERT_TRUE(s.finished());
  EXPECT_TRUE(preset.channel[0].delay == expected.delay_x &&
              preset.channel[2].delay == expected.delay_y &&
              preset.channel[2].phase == expected.phase_y);
  EXPECT_TRUE(preset.channel[0].delay != before.channel[0].delay ||
              preset.channel[2].delay != before.channel[2].delay ||
              preset.channel[2].phase != before.channel[2].phase);
  EXPECT_EQ(editor_undo_label(), "Undo alignment of Out C \"Sub\" with Out A \"Top\"");
  editor_undo();
  EXPECT_TRUE(same(preset, before));
}

// The dialogs keep the plot they preview on visible where the screen allows.
TEST(FitDialogPlace, BesideTheEditorCoveringLeastOfThePlot) {
  const struct {
    GdkRectangle editor, plot;
    int dw, dh, sw, sh;
    GdkPoint at;
  } cases[] = {
      // Room on the right.
      {{100, 100, 800, 600}, {200, 300, 600, 200}, 300, 200, 1600, 1200, {908, 100}},
      // A centred editor: right and left would cover the plot's ends; above
      // and below cover as much of the editor, above its tabs only.
      {{317, 289, 966, 622}, {391, 443, 812, 205}, 460, 357, 1600, 1200, {317, 0}},
      // No place misses the plot: the least of it covered.
      {{0, 0, 1000, 700}, {50, 200, 812, 205}, 461, 387, 1000, 700, {0, 313}},
  };
  for (const auto& c : cases) {
    const GdkPoint at = dialog_position_beside(c.editor, c.plot, c.dw, c.dh, c.sw, c.sh);
    EXPECT_EQ(at.x, c.at.x) << c.editor.x;
    EXPECT_EQ(at.y, c.at.y) << c.editor.x;
  }
}

}  // namespace
