// Right-click menus of the channel pages.
#include <tuple>

#include "editor/channel_menus.h"
#include "gui_test_util.h"
#include "model/editor_undo.h"
#include "model/filter_text.h"

namespace {

class ChannelMenus : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    preset_t p = preset_def;
    const char* names[] = {"Top L", "Top R", "Fill", "Sub"};
    for (int ch = 0; ch < 4; ++ch) std::strcpy(p.channel[ch].name, names[ch]);
    p.channel[0].xo[0] = p.channel[2].xo[0] = {1, {1000, 1000}, {7, 7}};
    p.channel[1].xo[1] = {1, {2500, 2500}, {7, 7}};
    p.channel[1].peq[2] = {500, 20, -45, 0};
    p.channel[1].dynamics = {9, 30, -12, -6};
    p.channel[1].delay = 125;
    open_editor(MV517, p);
  }
};

// Each menu copies its page's section or the whole channel; fields and status bar follow.
TEST_F(ChannelMenus, EveryCaptionAndPlotCopiesItsSection) {
  show_page(notebook, TAB_CROSSOVER);
  const auto box = [](GtkWidget* label) { return gtk_widget_get_parent(label); };
  const std::tuple<GtkWidget*, const char*, const char*, GtkWidget*, double> cases[] = {
      {box(labels_xo[1]), "Copy crossover to", "Out D \"Sub\"", spin_button_crossover[1][3], 2500},
      {box(labels_peq[1]), "Copy EQ to", "Out D \"Sub\"", peq_spin_gain[3][2], -4.5},
      {box(labels_l[1]), "Copy limiter to", "Out D \"Sub\"", spin_button_rel[3], 300},
      {box(labels[1]), "Copy delay to", "Out D \"Sub\"", spin_button_delay[3], 1.25},
      {drawing_area_xo[1], "Copy whole channel to", "All channels", spin_button_delay[0], 1.25},
  };
  preset_t before;
  for (const auto& [target, copy, to, shown, copied] : cases) {
    mark_saved();
    before = preset;
    right_click(target, {"Copy whole channel to"});  // the submenu only: no handle moves
    EXPECT_TRUE(same(before, preset));
    right_click(target, {copy, to});
    EXPECT_TRUE(value(shown) == copied && unsaved()) << copy;
  }
  EXPECT_EQ(label_text(GTK_STATUSBAR(statusbar_xo)->label),
            "copied the whole channel of B to A, C, D (D already had them)");
  // The plot's menu takes the copy back as one step, and does it again.
  const preset_t copied = preset;
  right_click(drawing_area_peq[2], {"Undo copy of the whole channel of B to A, C"});
  EXPECT_TRUE(same(before, preset) && value(spin_button_delay[0]) == 0);
  right_click(drawing_area_xo[0], {"Redo copy of the whole channel of B to A, C"});
  EXPECT_TRUE(same(copied, preset));
}

// "Import filter settings...": a text taken and reported, a refused one or a device not.
TEST_F(ChannelMenus, ImportFromTheEqPlotMenu) {
  write_file("room.txt",
             "Filter 1: ON PK Fc 125.4 Hz Gain -3 dB Q 2\nFilter 2: ON HSC Fc 8 kHz Gain 2.5 dB");
  write_file("bad.txt", "Filter 1: ON PK Fc 1 kHz Gain 3 dB Q 2\nFilter 2: ON LP\n");
  DialogScript script("Import Filter Settings", GTK_RESPONSE_CANCEL);
  script.dialog("Import Filter Settings", GTK_RESPONSE_OK).dialog("Error!", GTK_RESPONSE_OK);
  script.dialog("Error!", GTK_RESPONSE_OK);
  right_click(drawing_area_peq[1], {"Import filter settings..."});
  EXPECT_TRUE(import_filter_file(1, "room.txt", false) && !import_filter_file(1, "bad.txt", false));
  EXPECT_FALSE(import_filter_file(1, "/dev/zero", false));  // a device is not read (it never ends)
  EXPECT_NE(script.text(1).find("line 1: frequency 125.4 Hz stored as 125"), std::string::npos);
  EXPECT_NE(script.text(2).find("line 2: \"Filter 2: ON LP\": the device has no LP"),
            std::string::npos);
  EXPECT_EQ(export_filter_text(preset.channel[1]),
            "Filter 1: ON PK Fc 125 Hz Gain -3.0 dB Q 2.00\nFilter 6: ON HS 6dB Fc 8000 Hz Gain "
            "2.5 dB\n");
  EXPECT_TRUE(active(peq_combo[1][2]) == 0 && active(peq_combo[1][5]) == 2 && unsaved());
  EXPECT_EQ(editor_undo_label(), "Undo filter import into Out B");
}

// The extra curves once chosen: A's high-pass at 1 kHz gives -7.3 dB (row
// 160) at 697 Hz (column 415), the sum with the same C 6 dB above.
TEST_F(ChannelMenus, TotalAndSumCurvesFromTheEqPlotMenu) {
  show_page(notebook, TAB_PARAMETRIC_EQ);
  const auto rgb_bits = [](int y) {
    const std::vector<int> c = pixel(drawing_area_peq[0], 415, y);
    return c[0] / 128 * 4 + c[1] / 128 * 2 + c[2] / 128;
  };
  EXPECT_TRUE(rgb_bits(160) != 0b010 && rgb_bits(112) != 0b101);
  right_click(drawing_area_peq[0], {"Show total response"});
  right_click(drawing_area_peq[0], {"Show sum with", "Out C \"Fill\""});
  EXPECT_TRUE(rgb_bits(160) == 0b010 && rgb_bits(112) == 0b101);  // green, magenta
  GtkStatusbar* bar = GTK_STATUSBAR(statusbar_peq);
  const auto legend = [bar] { return std::string(gtk_label_get_label(GTK_LABEL(bar->label))); };
  const std::string coloured = legend();
  EXPECT_NE(
      coloured.find("#4dff73\">━━</span> Total: Out A &quot;Top L&quot; (crossover x EQ)     "
                    "<span foreground=\"#ff59ff\">━━</span> Sum: Out A &quot;Top L&quot; + Out C"),
      std::string::npos);
  gtk_statusbar_push(bar, gtk_statusbar_get_context_id(bar, "plot readout"), "1 kHz");
  gtk_statusbar_pop(bar, gtk_statusbar_get_context_id(bar, "plot readout"));
  EXPECT_EQ(legend(), coloured);
  show_page(notebook_peq, 1);  // B shows no extra curve
  EXPECT_EQ(legend(), "");
}

}  // namespace
