// Measurements and another preset for comparison on the plots of the open editor.
#include <glib/gstdio.h>

#include "editor/channel_menus.h"
#include "files/document.h"
#include "files/file_dialogs.h"
#include "files/settings.h"
#include "files/xml.h"
#include "gui_test_util.h"
#include "measure/measurement_menus.h"
#include "model/editor_undo.h"
#include "response/compared_preset.h"
#include "response/plots.h"

namespace {

class Measurements : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    g_remove(settings_file_path().c_str());
    top = dir.file("top.txt");
    sub = dir.file("sub.txt");
    write_file(top, golden("measurement_top.txt"));
    write_file(sub, golden("measurement_sub.txt"));
    show = dir.file("show.qpx");
    write_file(show, golden("live_mv517.qpx"));
  }
  // Opens show.qpx as Open does (its warning about values beyond the fields
  // answered).
  void open_show() {
    DialogScript warning("Warning!", GTK_RESPONSE_OK);
    ASSERT_TRUE(open_preset_file(show));
    pump();
  }
  std::string top, sub, show;
};

// Measurement and prediction on both plots with their legend, each hidden
// and removed; a refused file changes nothing.
TEST_F(Measurements, LoadShowHideAndRemove) {
  open_show();
  show_page(notebook, TAB_PARAMETRIC_EQ);
  DialogScript chooser;
  chooser.chooser("Load Measurement", top).start();
  right_click(drawing_area_peq[0], {"Load measurement..."});
  pump_for(300);
  ASSERT_TRUE(chooser.finished());
  ASSERT_EQ(measurement_path(0), top);
  EXPECT_NE(bar_text(statusbar_peq).find("Measured: top.txt (measurement -"), std::string::npos)
      << bar_text(statusbar_peq);
  EXPECT_NE(bar_text(statusbar_peq).find("Predicted: Out A \"Top L\" with top.txt"),
            std::string::npos);
  // Hiding the measurement and then the prediction changes the plot each
  // time; showing them again gives it back.
  const auto shown = column_pixels(drawing_area_peq[0], 400);
  right_click(drawing_area_peq[0], {"Show measurement"});
  const auto predicted_only = column_pixels(drawing_area_peq[0], 400);
  right_click(drawing_area_peq[0], {"Show prediction"});
  const auto neither = column_pixels(drawing_area_peq[0], 400);
  EXPECT_TRUE(shown != predicted_only && predicted_only != neither);
  EXPECT_EQ(bar_text(statusbar_peq).find("Measured:"), std::string::npos);
  right_click(drawing_area_peq[0], {"Show measurement"});
  right_click(drawing_area_peq[0], {"Show prediction"});
  EXPECT_EQ(column_pixels(drawing_area_peq[0], 400), shown);
  show_page(notebook, TAB_CROSSOVER);
  EXPECT_NE(bar_text(statusbar_xo).find("Measured: top.txt"), std::string::npos);

  // A comma-decimal file: refused, the measurement stays.
  write_file(dir.file("comma.txt"), "20,5;85,3\n25,1;86,0\n");
  DialogScript refusal("Error!", GTK_RESPONSE_OK);
  EXPECT_FALSE(load_channel_measurement(0, dir.file("comma.txt")));
  EXPECT_NE(refusal.text(0).find("comma.txt: line 1:"), std::string::npos) << refusal.text(0);
  EXPECT_NE(refusal.text(0).find("Nothing was changed."), std::string::npos);
  EXPECT_EQ(measurement_path(0), top);

  right_click(drawing_area_xo[0], {"Remove measurement"});
  EXPECT_TRUE(loaded_measurement(0).grid == nullptr && measurement_path(0).empty());
  EXPECT_EQ(bar_text(statusbar_xo), "Measurement of Out A \"Top L\" removed");
}

// Measurements are loaded again with their preset file; one gone is said.
TEST_F(Measurements, RememberedPerPresetFile) {
  open_show();
  ASSERT_TRUE(load_channel_measurement(0, top) && load_channel_measurement(2, sub));
  EXPECT_EQ(settings_of_file(show).measurement[2], sub);
  reset_to_idle();
  open_show();
  EXPECT_TRUE(measurement_path(0) == top && measurement_path(2) == sub &&
              loaded_measurement(2).grid != nullptr);
  reset_to_idle();
  ASSERT_EQ(g_remove(sub.c_str()), 0);
  open_show();
  EXPECT_TRUE(measurement_path(0) == top && measurement_path(2).empty());
  EXPECT_NE(tab_bar_text().find("Measurement of Out C \"Sub\" not loaded (sub.txt:"),
            std::string::npos)
      << tab_bar_text();
  // A damaged settings file is ignored, never in the way (New and Save As:
  // test_links.cpp).
  reset_to_idle();
  write_file(settings_file_path(), "[broken\nno group");
  open_show();
  EXPECT_EQ(measurement_path(0), "");
  EXPECT_NE(tab_bar_text().find("is damaged"), std::string::npos) << tab_bar_text();
}

// A plot follows a channel it depends on, also through undo; a tool's
// message goes with its undo.
TEST_F(Measurements, PlotsFollowEveryChangeUndoAndRedo) {
  preset_t p = preset_def;
  p.channel[0].xo[1] = {2, {120, 120}, {7, 7}};
  p.channel[2].xo[0] = {2, {120, 120}, {7, 7}};
  open_editor(MV517, p);
  show_page(notebook, TAB_PARAMETRIC_EQ);
  plot_choice_t c = plot_choice(true, 0);
  c.sum_with = 2;
  set_plot_choice(true, 0, c);
  const auto strip = [&] { return column_pixels(drawing_area_peq[0], 60); };
  const auto before = strip();
  set_value(spin_button_delay[2], 1.7);  // C later: the sum dips
  const auto changed = strip();
  EXPECT_NE(changed, before);
  editor_undo();
  EXPECT_EQ(strip(), before);
  editor_redo();
  EXPECT_EQ(strip(), changed);

  // A copy's message and a filter's readout are gone after its undo.
  GtkWidget* bar = statusbar_peq;
  copy_channel_to(1, 1u << 0, channel_section::eq);
  EXPECT_NE(bar_text(bar).find("copied the EQ of B"), std::string::npos);
  editor_undo();
  EXPECT_EQ(bar_text(bar).find("copied"), std::string::npos) << bar_text(bar);
}

// An OFF band keeps its gain in its field, also through an unrelated undo.
TEST_F(Measurements, UndoKeepsAnOffBandsGain) {
  preset_t p = preset_def;
  p.channel[1].peq[3] = {1250, 20, 30, 0};
  open_editor(MV517, p);
  choose(peq_combo[1][3], 0);
  EXPECT_EQ(preset.channel[1].peq[3].gain, 0);
  set_value(spin_button_thres[1], -6);
  editor_undo();  // the threshold
  EXPECT_EQ(value(peq_spin_gain[1][3]), 3.0);
  choose(peq_combo[1][3], 1);
  EXPECT_EQ(preset.channel[1].peq[3].gain, 30);
}

// In the phase view a drag moves a band in frequency only.
TEST_F(Measurements, PhaseViewDragsFrequencyOnly) {
  open_editor(MV517, preset_def);
  show_page(notebook, TAB_PARAMETRIC_EQ);
  choose(peq_combo[0][2], 1);
  const int gain = preset.channel[0].peq[2].gain;
  right_click(drawing_area_peq[0], {"Show phase"});
  EXPECT_EQ(plot_choice(true, 0).mode, plot_view_mode::phase);
  send_event(drawing_area_peq[0], GDK_BUTTON_PRESS, 300, 30);
  send_event(drawing_area_peq[0], GDK_BUTTON_RELEASE, 300, 30);
  EXPECT_EQ(preset.channel[0].peq[2].gain, gain);
  EXPECT_NE(preset.channel[0].peq[2].freq, preset_def.channel[0].peq[2].freq);
}

class Compare : public GuiTest {
 protected:
  // The status bar ends with the legend line `legend`.
  static bool shows(GtkWidget* bar, const std::string& legend) {
    const std::string text = bar_text(bar);
    return text.size() > legend.size() && text.substr(text.size() - legend.size()) == legend;
  }
  // Whether column x of a plot shows the compared curve's light blue.
  static bool blue_in(GtkWidget* plot, int x) {
    for (const uint32_t p : column_pixels(plot, x))
      if ((p >> 16) < 160 && (p >> 8 & 255) > 150 && (p & 255) > 200) return true;
    return false;
  }
};

// Each tab shows the other preset's same channel with its legend; the open
// preset, history and Save stay; a refused file changes nothing; "Stop
// comparing" removes it.
TEST_F(Compare, LoadFollowTabsStopAndRefusals) {
  preset_t other = preset_def;
  set_record_text(other.channel[1].name, 10, "Old R");
  other.channel[1].peq[3] = {2000, 10, 90, 0};
  const std::string v2 = dir.file("v2.qpx"), small = dir.file("small.qpx");
  ASSERT_TRUE(xml_write(v2.c_str(), &other, MV517) == 0 &&
              xml_write(small.c_str(), &other, MV961) == 0);
  open_editor(MV517, preset_def);
  const preset_t opened = preset;
  show_page(notebook, TAB_PARAMETRIC_EQ);
  show_page(notebook_peq, 1);
  const auto plain = column_pixels(drawing_area_peq[1], 600);
  DialogScript chooser;
  chooser.chooser("Compare with File", small).start();
  right_click(drawing_area_peq[1], {"Compare with file..."});
  pump_for(300);
  ASSERT_TRUE(chooser.finished() && blue_in(drawing_area_peq[1], 600));
  show_page(notebook_peq, 2);
  EXPECT_TRUE(shows(statusbar_peq, "Compared: small.qpx (MV961) has no channel C"));
  EXPECT_FALSE(blue_in(drawing_area_peq[2], 600));
  ASSERT_TRUE(compare_with_file(v2));
  show_page(notebook_peq, 1);
  EXPECT_TRUE(shows(statusbar_peq, "Compared: Out B \"Old R\" of v2.qpx (EQ)"));
  show_page(notebook, TAB_CROSSOVER);
  EXPECT_TRUE(shows(statusbar_xo, "Compared: Out A \"Out A\" of v2.qpx (crossover)"));

  std::string damaged = read_file(v2);
  damaged[damaged.find("Old R")] = 'o';
  write_file(dir.file("damaged.qpx"), damaged);
  DialogScript refusal("Error!", GTK_RESPONSE_OK);
  EXPECT_FALSE(compare_with_file(dir.file("damaged.qpx")));
  EXPECT_EQ(refusal.text(0).find("Cannot compare with \"damaged.qpx\""), 0u);
  EXPECT_EQ(compared_preset().name, "v2.qpx");
  right_click(drawing_area_xo[0], {"Stop comparing"});
  EXPECT_TRUE(compared_preset().preset == nullptr &&
              bar_text(statusbar_xo) == "Comparison removed");
  show_page(notebook, TAB_PARAMETRIC_EQ);
  EXPECT_EQ(column_pixels(drawing_area_peq[1], 600), plain);
  EXPECT_TRUE(same(preset, opened) && !unsaved() && !editor_can_undo());
}

}  // namespace
