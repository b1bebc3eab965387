// Stereo links in the open editor.
#include <glib/gstdio.h>

#include <functional>

#include "editor/channel_links.h"
#include "files/settings.h"
#include "files/xml.h"
#include "gui_test_util.h"
#include "measure/measurement_menus.h"
#include "model/editor_undo.h"
#include "model/stereo_link.h"

namespace {

class Links : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    g_remove(settings_file_path().c_str());
    const char* const names[] = {"Top L", "Top R", "Sub L", "Sub R"};
    for (int ch = 0; ch < 4; ++ch) {
      set_record_text(named.channel[ch].name, 10, names[ch]);
      named.channel[ch].peq[2] = {1000, 20, -25, 0};
    }
  }
  // Links a pair whose channels agree: no question, no step, Save as it was.
  static void link_equal(unsigned pair) {
    DialogScript unexpected("Link Channels", GTK_RESPONSE_CANCEL);
    const bool was_unsaved = unsaved(), could_undo = editor_can_undo();
    press(check_link[pair], true);
    EXPECT_TRUE(unexpected.answered() == 0 && (editor_links() & (1u << pair)));
    EXPECT_TRUE(was_unsaved == unsaved() && could_undo == editor_can_undo());
  }
  // A drag of band 3 on channel ch's EQ plot: the partner's band moves at
  // every motion.
  static void drag(int ch) {
    show_page(notebook, TAB_PARAMETRIC_EQ);
    show_page(notebook_peq, ch);
    send_event(drawing_area_peq[ch], GDK_BUTTON_PRESS, x_peq[ch][2], y_peq[ch][2]);
    for (int i = 1; i <= 3; ++i) {  // never at 0 dB, where a band is off
      send_event(drawing_area_peq[ch], GDK_MOTION_NOTIFY, 464 + 25 * i, 113 - 9 * i);
      EXPECT_TRUE(preset.channel[ch ^ 1].peq[2].freq > 1000 && x_peq[ch ^ 1][2] == x_peq[ch][2]);
    }
    send_event(drawing_area_peq[ch], GDK_BUTTON_RELEASE, 539, 86);
  }
  preset_t named = preset_def;
};

// An edit of a linked channel the partner follows is made in the same step,
// and every field shows what an editor built over the record shows.
TEST_F(Links, AnEditOfALinkedChannelAndItsUndo) {
  const std::pair<bool, std::function<void(int)>> cases[] = {
      {false, [](int ch) { set_entry(ch_name[ch], "Edited"); }},
      {false, [](int ch) { set_value(spinner_gain[ch], -6.5); }},
      {true, [](int ch) { choose(combobox[ch], 1); }},
      {true, [](int ch) { choose(combobox_crossover[0][ch], 2); }},
      {true, [](int ch) { set_value(spin_button_delay[ch], 1.5); }},
      {true, drag},
      {true, drag},
  };
  int n = 0;
  for (const auto& [follows, edit] : cases) {
    const int ch = n++ % 2;
    SCOPED_TRACE("edit " + std::to_string(n) + " of channel " + char('A' + ch));
    reset_to_idle();
    open_editor(MV517, named);
    link_equal(0);
    const preset_t before = preset;
    edit(ch);
    EXPECT_TRUE(linked_sections_equal(preset.channel[0], preset.channel[1]));
    EXPECT_EQ(same_channel(preset.channel[ch ^ 1], before.channel[ch ^ 1]), !follows);
    EXPECT_NE(editor_undo_label().find(follows ? "Out A, B" : std::string("Out ") + char('A' + ch)),
              std::string::npos);
    const std::string fields = editor_state();
    const preset_t edited = preset;
    editor_undo();
    EXPECT_TRUE(same(preset, before) && !editor_can_undo());
    reset_to_idle();
    open_editor(MV517, edited);
    link_equal(0);
    EXPECT_EQ(fields, editor_state());
  }
}

// Linking a pair that differs asks what to copy; Cancel changes nothing.
TEST_F(Links, LinkingAPairThatDiffersAsks) {
  named.channel[0].peq[2].gain = -45;
  named.channel[1].delay = 250, named.channel[1].gain = -30;
  open_editor(MV517, named);
  const preset_t opened = preset;
  DialogScript cancel("Link Channels", GTK_RESPONSE_CANCEL);
  press(check_link[0], true);
  EXPECT_EQ(cancel.text(0).substr(0, 60),
            "Out A \"Top L\" and Out B \"Top R\" differ in their EQ and delay");
  EXPECT_TRUE(same(preset, opened) && !pressed(check_link[0]) && editor_links() == 0);
  EXPECT_TRUE(!unsaved() && !editor_can_undo());
  DialogScript copy("Link Channels", LINK_COPY_SECOND);  // B's settings to A
  press(check_link[0], true);
  EXPECT_TRUE(copy.finished() && pressed(check_link[0]) && editor_links() == LINK_AB);
  EXPECT_TRUE(same_channel(preset.channel[1], opened.channel[1]) && preset.channel[0].gain == 0);
  EXPECT_TRUE(linked_sections_equal(preset.channel[0], opened.channel[1]));
  EXPECT_TRUE(value(peq_spin_gain[0][2]) == -2.5 && value(spin_button_delay[0]) == 2.5);
  EXPECT_TRUE(unsaved() && editor_undo_label() == "Undo link of A+B");
  press(check_link[0], false);
  EXPECT_TRUE(editor_links() == 0 && editor_undo_label() == "Undo link of A+B");
  reset_to_idle();
  open_editor(MV961, named);
  EXPECT_TRUE(check_link[0] && !check_link[1] && !set_pair_linked(1, true));
}

// Links are remembered per file and linked again on Open while the pair
// agrees, else said; New starts without; Save As takes links and
// measurements along.
TEST_F(Links, RememberedPerFileAndOfferedOnOpen) {
  named.channel[2].delay = 100;  // C+D differ
  const std::string show = dir.file("show.qpx"), top = dir.file("top.txt");
  ASSERT_EQ(xml_write(show.c_str(), &named, MV517), 0);
  file_settings_t s;
  s.measurement[3] = top;
  ASSERT_TRUE(remember_settings_of_file(show, s));
  write_file(top, golden("measurement_top.txt"));
  ASSERT_TRUE(open_preset_file(show));
  EXPECT_NE(tab_bar_text().find("A+B hold the same crossover, EQ, limiter, delay and polarity"),
            std::string::npos)
      << tab_bar_text();
  press(check_link[0], true);
  EXPECT_TRUE(settings_of_file(show).links == LINK_AB &&
              settings_of_file(show).measurement[3] == top);
  reset_to_idle();
  ASSERT_TRUE(open_preset_file(show));
  EXPECT_TRUE(editor_links() == LINK_AB && pressed(check_link[0]) && !unsaved());
  EXPECT_EQ(tab_bar_text().find("A+B"), std::string::npos) << tab_bar_text();
  reset_to_idle();
  named.channel[1].peq[4].gain = 30;  // changed elsewhere: A+B differ now
  ASSERT_EQ(xml_write(show.c_str(), &named, MV517), 0);
  ASSERT_TRUE(open_preset_file(show));
  EXPECT_TRUE(editor_links() == 0 &&
              tab_bar_text() == "A+B not linked again: they differ in their EQ");
  reset_to_idle();
  neu_default(nullptr, GINT_TO_POINTER(MV517));
  pump();
  EXPECT_TRUE(measurement_path(3).empty());  // nor the measurements
  link_equal(1);                             // C+D the only link
  ASSERT_TRUE(load_channel_measurement(1, top));
  DialogScript save;
  save.chooser("Save File", dir.file("new.qpx")).start();
  ASSERT_TRUE(save_preset(true));
  const file_settings_t saved = settings_of_file(dir.file("new.qpx"));
  EXPECT_TRUE(saved.links == LINK_CD && saved.measurement[1] == top);
}

// The Overview's chain only while linked; the check boxes move no other widget.
TEST_F(Links, OverviewMarkAndCheckBoxesThatMoveNothing) {
  open_editor(MV517, named);
  const auto chain = [] {  // the left side of the upper link of A+B
    const std::vector<int> rgb = pixel(draw_area_routing2, 499, 150);
    return rgb.size() == 3 && rgb[2] > 150 && rgb[0] < 80;
  };
  EXPECT_FALSE(chain());
  link_equal(0);
  EXPECT_TRUE(chain());
  press(check_link[0], false);
  EXPECT_FALSE(chain());
  for (const int device : {MV517, MV961}) {
    reset_to_idle();
    open_editor(device, named);
    show_page(notebook, TAB_CHANNEL_SETUP);
    std::vector<GtkWidget*> boxes;
    for (int pair = 0; pair < device / 2; ++pair)
      boxes.push_back(gtk_widget_get_parent(gtk_widget_get_parent(check_link[pair])));
    const auto layout = [&] {
      std::string out;
      for_each_widget(gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), 1), [&](GtkWidget* w) {
        for (GtkWidget* b : boxes)
          if (w == b || gtk_widget_is_ancestor(w, b)) return;
        const GtkAllocation& a = w->allocation;
        out += std::to_string(a.x + 10000 * a.y) + "," + std::to_string(a.width + 10000 * a.height);
      });
      return out;
    };
    const std::string with_boxes = layout();
    for (int pair = 0; pair < device / 2; ++pair) {
      // In the middle of the gap between the pair's frames.
      const GtkAllocation& box = boxes[pair]->allocation;
      const GtkAllocation& a =
          gtk_widget_get_ancestor(ch_name[2 * pair], GTK_TYPE_FRAME)->allocation;
      const int right =
          gtk_widget_get_ancestor(ch_name[2 * pair + 1], GTK_TYPE_FRAME)->allocation.x;
      EXPECT_NEAR(box.x + box.width / 2.0, (a.x + a.width + right) / 2.0, 2) << pair;
      gtk_widget_hide(boxes[pair]);
    }
    pump_for(100);
    EXPECT_EQ(with_boxes, layout()) << device;
  }
}

}  // namespace
