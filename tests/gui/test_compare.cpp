// Another preset for comparison on the plots of the open editor.
#include "files/xml.h"
#include "gui_test_util.h"
#include "model/editor_undo.h"
#include "response/compared_preset.h"

namespace {

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
