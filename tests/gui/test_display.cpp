// What the editor shows is what it stores. The oracle is the editor build,
// which fills every widget from the record.
#include <cmath>

#include "files/preset_file.h"
#include "files/xml.h"
#include "gui_test_util.h"

namespace {

using Display = GuiTest;

void type_value(GtkWidget* spin, const char* text) {
  gtk_entry_set_text(GTK_ENTRY(spin), text);
  gtk_spin_button_update(GTK_SPIN_BUTTON(spin));  // as Enter or leaving the field does
  pump();
}

// Everything the editor shows, the overview's texts and masks, the levels
// the linking measures from and the plot handles.
std::string editor_state() {
  std::string out;
  for_each_widget(window_preset, [&](GtkWidget* w) {
    if (GTK_IS_ENTRY(w)) out += gtk_entry_get_text(GTK_ENTRY(w));
    if (GTK_IS_LABEL(w)) out += gtk_label_get_text(GTK_LABEL(w));
    if (GTK_IS_COMBO_BOX(w)) out += std::to_string(gtk_combo_box_get_active(GTK_COMBO_BOX(w)));
    if (GTK_IS_TOGGLE_BUTTON(w))
      out += gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w)) ? "+" : "-";
    if (GTK_IS_RANGE(w)) out += std::to_string(gtk_range_get_value(GTK_RANGE(w)));
    out += gtk_widget_get_sensitive(w) ? "\n" : " (insensitive)\n";
  });
  for (int ch = 0; ch < 4; ++ch) {
    out += std::string(level_values[ch]) + dyn_values[ch] + delay_values[ch] +
           std::to_string(gain_temp[ch]);
    for (int b = 0; b < 6; ++b)
      out += " " + std::to_string(x_peq[ch][b]) + "," + std::to_string(y_peq[ch][b]);
    out += " " + std::to_string(x[0][ch]) + " " + std::to_string(x[1][ch]) + "\n";
  }
  for (int m : aktiv) out += " " + std::to_string(m);
  return out;
}

// Every spin button of both editors, typed a value between two stored steps
// (0.25 dB, 52.5 Hz, 105 ms, 0.025 ms), and a fader between two tenths show
// what an editor built over the stored record shows, its delay unit switched
// after the build (2.35 ms stores 80 cm, which shows as 2.33).
TEST_F(Display, EveryFieldShowsTheValueItStores) {
  for (const int device : {MV517, MV961}) {
    preset_t p = preset_def;
    for (channel_t& c : p.channel)
      for (peq_t& band : c.peq) band.gain = 10;  // every band on: its gain is stored
    open_editor(device, p);
    choose(combo_delay, DELAY_MS);
    int typed = 0;
    for_each_widget(window_preset, [&](GtkWidget* w) {
      if (!GTK_IS_SPIN_BUTTON(w)) return;
      GtkAdjustment* a = gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(w));
      const int digits = gtk_spin_button_get_digits(GTK_SPIN_BUTTON(w));
      const double off =
          a->step_increment >= 10 ? a->step_increment / 2 : 2.5 * std::pow(10, -digits);
      char text[32];
      g_snprintf(text, sizeof text, "%g", a->value + (a->value + off > a->upper ? -off : off));
      type_value(w, w == spin_button_delay[1] ? "2.35" : text);
      typed++;
    });
    gtk_range_set_value(GTK_RANGE(vscale[1]), -12.34);
    pump();
    EXPECT_TRUE(typed == device * 26 && preset.channel[1].delay == 80 &&
                preset.channel[1].gain == -123);
    const std::string shown = editor_state();
    const preset_t stored = preset;
    reset_to_idle();
    open_editor(device, stored);
    choose(combo_delay, DELAY_MS);
    EXPECT_EQ(shown, editor_state());
  }
}

// One warning lists what the fields cannot show; editing other fields (a
// level, another band's type, the input mode, the delay unit, leaving a
// field) keeps those values for Save; editing the field stores its value.
TEST_F(Display, OpenListsValuesBeyondTheFieldsAndKeepsThemUntilEdited) {
  preset_t p = preset_def;
  p.channel[0].gain = -999, p.channel[0].groups = p.channel[1].groups = 0x01;
  p.channel[1].peq[2] = {500, 7, -30, 1};  // a shelf on a middle band
  p.channel[2].dynamics = {200, 200, -30, -3};
  const std::string path = dir.file("beyond.qpx");
  ASSERT_EQ(xml_write(path.c_str(), &p, MV517), XML_OK);
  DialogScript s;
  s.dialog("Warning!", GTK_RESPONSE_OK).start();
  ASSERT_TRUE(open_preset_file(path));
  pump_for(100);
  EXPECT_NE(s.text(0).find("(editor -24..0)\n\nThese fields"), std::string::npos) << s.text(0);
  EXPECT_NE(s.text(0).find("edited.\nFile: " + path), std::string::npos) << s.text(0);
  set_value(spinner_gain[2], -5);
  choose(peq_combo[1][0], 1);
  choose(combo_input, 1);
  choose(combo_delay, DELAY_MS);
  for (GtkWidget* spin : {spin_button_attack[2], spin_button_rel[2], spin_button_thres[2]})
    gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
  ASSERT_TRUE(save_preset(false));
  p.channel[2].gain = -50;  // what was edited
  apply_build_q(p, MV517);
  EXPECT_EQ(first_difference(read_preset_file(path).preset, p), "");
  set_value(spinner_gain[1], 1);  // channel A follows its level group
  set_value(spin_button_attack[2], 100);
  choose(peq_combo[1][2], 0);
  EXPECT_TRUE(preset.channel[0].gain == -980 && entry_text(spinner_gain[0]) == "-98.0");
  EXPECT_TRUE(preset.channel[2].dynamics.attack == 100 && preset.channel[1].peq[2].type == 0);
}

// A record shown in an open editor (as undo will) looks exactly like an
// editor built over it, stores nothing and marks nothing unsaved.
TEST_F(Display, ShowRecordInEditorMatchesAFreshBuild) {
  // Names with arrows and umlauts, groups, a shelf, mutes, locks, 400 m and
  // a level of -99.9 dB beyond its field.
  preset_t b = read_preset_file(golden_path("live_mv517.qpx")).preset;
  apply_build_q(b, MV517);
  preset_t a = preset_def;
  a.channel[0].peq[1].gain = 30, a.channel[2].dynamics.threshold = -3, a.mute = 0x09;
  for (const int device : {MV517, MV961}) {
    open_editor(device, b);
    choose(combo_delay, DELAY_FT);
    const std::string built = editor_state();
    reset_to_idle();
    open_editor(device, a);
    choose(combo_delay, DELAY_FT);
    set_value(spinner_gain[0], -20);
    mark_saved();
    preset = b;
    show_record_in_editor();
    pump();
    EXPECT_TRUE(presets_equal(preset, b) && !unsaved());
    EXPECT_EQ(editor_state(), built) << device;
    reset_to_idle();
  }
}

}  // namespace
