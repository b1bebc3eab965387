// What the editor shows is what it stores: every spin button, typed a value
// between two stored steps, shows the stored value; values a file holds
// beyond the editor's fields are listed once on Open and kept until their
// field is edited.
#include <functional>
#include <set>

#include "files/preset_file.h"
#include "files/xml.h"
#include "gui_test_util.h"

namespace {

class Display : public GuiTest {
 protected:
  // Types `text` into a spin button and lets it re-read it (Enter).
  static void type_value(GtkWidget* spin, const char* text) {
    gtk_entry_set_text(GTK_ENTRY(spin), text);
    gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
    pump();
  }
  static void collect_spins(GtkWidget* w, std::set<GtkWidget*>& out) {
    if (GTK_IS_SPIN_BUTTON(w)) out.insert(w);
    if (GTK_IS_CONTAINER(w)) {
      GList* children = gtk_container_get_children(GTK_CONTAINER(w));
      for (GList* l = children; l; l = l->next) collect_spins(GTK_WIDGET(l->data), out);
      g_list_free(children);
    }
  }
};

TEST_F(Display, EverySpinButtonShowsTheValueItStores) {
  using widget_of = std::function<GtkWidget*(int ch, int band)>;
  using stored_of = std::function<long(const channel_t&, int band)>;
  // clang-format off
  const struct { const char* name; int bands; widget_of widget; stored_of stored;
                 const char* typed; long expect; const char* text; } kinds[] = {
      {"level", 1, [](int ch, int) { return spinner_gain[ch]; },
       [](const channel_t& c, int) { return c.gain; }, "0.25", 3, "0.3"},
      {"high-pass", 1, [](int ch, int) { return spin_button_crossover[0][ch]; },
       [](const channel_t& c, int) { return c.xo[0].freq[0]; }, "99.5", 100, "100"},
      {"low-pass", 1, [](int ch, int) { return spin_button_crossover[1][ch]; },
       [](const channel_t& c, int) { return c.xo[1].freq[1]; }, "20.5", 35, "35"},
      {"EQ frequency", 6, [](int ch, int b) { return peq_spin_freq[ch][b]; },
       [](const channel_t& c, int b) { return c.peq[b].freq; }, "100.5", 101, "101"},
      {"EQ Q", 6, [](int ch, int b) { return peq_spin_q[ch][b]; },
       [](const channel_t& c, int b) { return c.peq[b].q; }, "1.25", 13, "1.3"},
      {"EQ gain", 6, [](int ch, int b) { return peq_spin_gain[ch][b]; },
       [](const channel_t& c, int b) { return c.peq[b].gain; }, "-0.25", -3, "-0.3"},
      {"attack", 1, [](int ch, int) { return spin_button_attack[ch]; },
       [](const channel_t& c, int) { return c.dynamics.attack; }, "1.5", 2, "2"},
      {"release", 1, [](int ch, int) { return spin_button_rel[ch]; },
       [](const channel_t& c, int) { return c.dynamics.release; }, "155", 15, "150"},
      {"threshold", 1, [](int ch, int) { return spin_button_thres[ch]; },
       [](const channel_t& c, int) { return c.dynamics.threshold; }, "-1.5", -1, "-1"},
      {"limiter gain", 1, [](int ch, int) { return spin_button_gain[ch]; },
       [](const channel_t& c, int) { return c.dynamics.boost; }, "-2.5", -2, "-2"},
      {"delay", 1, [](int ch, int) { return spin_button_delay[ch]; },
       [](const channel_t& c, int) { return c.delay; }, "1.235", 123, "1.23"},
  };
  // clang-format on
  for (const int device : {MV517, MV961}) {
    SCOPED_TRACE(device);
    preset_t p = preset_def;
    for (channel_t& c : p.channel)
      for (peq_t& band : c.peq) band.gain = 10;  // every band on: its gain is stored
    open_editor(device, p);
    std::set<GtkWidget*> all, typed;
    collect_spins(window_preset, all);
    for (const auto& k : kinds) {
      for (int ch = 0; ch < device; ++ch) {
        for (int b = 0; b < k.bands; ++b) {
          SCOPED_TRACE(testing::Message() << k.name << " channel " << ch << " band " << b);
          GtkWidget* spin = k.widget(ch, b);
          type_value(spin, k.typed);
          typed.insert(spin);
          EXPECT_EQ(k.stored(preset.channel[ch], b), k.expect);
          EXPECT_EQ(entry_text(spin), k.text);
        }
      }
    }
    EXPECT_EQ(typed, all) << "a spin button without a case";
    EXPECT_STREQ(level_values[0], "  0.3 dB");
    EXPECT_STREQ(delay_values[1], "  1.23 m");
  }
}

// The delay fields in each unit: the typed value stores truncated and the
// field shows the stored centimetres; a unit switch shows them converted;
// the same text in two channels means the same value.
TEST_F(Display, DelayFieldsShowTheStoredCentimetresInTheirUnit) {
  open_editor(MV517, preset_def);
  choose(combo_delay, DELAY_MS);
  type_value(spin_button_delay[0], "2.35");
  EXPECT_EQ(preset.channel[0].delay, 80);
  EXPECT_TRUE(entry_text(spin_button_delay[0]) == "2.33" &&
              std::string(delay_values[0]) == "  2.33 ms");
  type_value(spin_button_delay[1], "2.33");
  EXPECT_EQ(preset.channel[1].delay, 80);
  choose(combo_delay, DELAY_M);
  EXPECT_TRUE(entry_text(spin_button_delay[0]) == "0.80" &&
              std::string(delay_values[0]) == "  0.80 m");
  EXPECT_EQ(entry_text(spin_button_delay[1]), "0.80");
  choose(combo_delay, DELAY_FT);
  EXPECT_EQ(entry_text(spin_button_delay[0]), "2.62");
  // An arrow press moves one centimetre in every unit.
  gtk_spin_button_spin(GTK_SPIN_BUTTON(spin_button_delay[0]), GTK_SPIN_STEP_FORWARD, 0);
  pump();
  EXPECT_TRUE(preset.channel[0].delay == 81 && entry_text(spin_button_delay[0]) == "2.66");
  choose(combo_delay, DELAY_MS);
  gtk_spin_button_spin(GTK_SPIN_BUTTON(spin_button_delay[0]), GTK_SPIN_STEP_BACKWARD, 0);
  pump();
  EXPECT_TRUE(preset.channel[0].delay == 80 && entry_text(spin_button_delay[0]) == "2.33");
  // The fader: a drag between two tenths stores and shows the nearest one.
  gtk_range_set_value(GTK_RANGE(vscale[2]), -12.34);
  pump();
  EXPECT_TRUE(preset.channel[2].gain == -123 && entry_text(spinner_gain[2]) == "-12.3");
}

// Values the reader accepts but the fields cannot show: one warning lists
// them; editing other fields (a linked level, another band's type, the
// delay unit, leaving a field) keeps them, and Save writes them back.
TEST_F(Display, OpenListsValuesBeyondTheFieldsAndKeepsThemUntilEdited) {
  preset_t p = preset_def;
  p.channel[0].gain = -999, p.channel[0].groups = 0x01, p.channel[1].groups = 0x01;
  p.channel[1].peq[2] = {500, 7, -30, 1};  // a shelf on a middle band
  p.channel[2].dynamics = {200, 200, -30, -3};
  p.channel[3].routing = 20;
  const std::string path = dir.file("beyond.qpx");
  ASSERT_EQ(xml_write(path.c_str(), &p, MV517), XML_OK);
  DialogScript s;
  s.dialog("Warning!", GTK_RESPONSE_OK).start();
  ASSERT_TRUE(open_preset_file(path));
  pump_for(100);
  ASSERT_EQ(s.answered(), 1u);
  EXPECT_EQ(s.text(0),
            "\"beyond.qpx\" holds values outside the editor's ranges\n"
            "Out A level -99.9 dB (editor -99.0..6.0)\n"
            "Out B EQ filter 3 type shelf (editor OFF or PEQ)\n"
            "Out C limiter attack 200 ms (editor 0..127)\n"
            "Out C limiter release 2000 ms (editor 0..1270)\n"
            "Out C limiter threshold -30 dB (editor -24..0)\n"
            "Out D routing 20 (editor 0..10)\n"
            "These fields show the nearest value they can. The file's value is kept until that "
            "field is edited.\nFile: " +
                path);

  set_value(spinner_gain[2], -5);  // an independent channel
  choose(peq_combo[1][0], 1);      // another band of channel B
  choose(combo_input, 1);          // stores channel A's routing again
  choose(combo_delay, DELAY_MS);
  for (GtkWidget* spin : {spin_button_attack[2], spin_button_rel[2], spin_button_thres[2]})
    gtk_spin_button_update(GTK_SPIN_BUTTON(spin));  // focus leaving the field
  pump();
  ASSERT_TRUE(save_preset(false));
  const preset_file_read_t back = read_preset_file(path);
  ASSERT_TRUE(back.whole());
  EXPECT_EQ(back.preset.channel[0].gain, -999);
  EXPECT_TRUE(back.preset.channel[1].peq[2].type == 1 && back.preset.channel[1].peq[2].gain == -30);
  const dynamics_t& d = back.preset.channel[2].dynamics;
  EXPECT_EQ(d.attack, 200);
  EXPECT_EQ(d.release, 200);
  EXPECT_EQ(d.threshold, -30);
  EXPECT_EQ(back.preset.channel[3].routing, 20);

  // Editing the field (or its linked partner) stores what it then shows.
  set_value(spinner_gain[1], 1);
  EXPECT_TRUE(preset.channel[0].gain == -980 && entry_text(spinner_gain[0]) == "-98.0");
  set_value(spin_button_attack[2], 100);
  choose(peq_combo[1][2], 0);
  EXPECT_EQ(preset.channel[2].dynamics.attack, 100);
  EXPECT_TRUE(preset.channel[1].peq[2].type == 0 && preset.channel[1].peq[2].gain == 0);
}

// Everything the editor shows, in widget order: texts, selections, toggles,
// sensitivity, and the overview's texts, masks and handle positions.
std::string editor_state() {
  std::string out;
  std::function<void(GtkWidget*)> walk = [&](GtkWidget* w) {
    if (GTK_IS_ENTRY(w)) out += std::string("entry ") + gtk_entry_get_text(GTK_ENTRY(w));
    if (GTK_IS_LABEL(w)) out += std::string("label ") + gtk_label_get_text(GTK_LABEL(w));
    if (GTK_IS_COMBO_BOX(w))
      out += "combo " + std::to_string(gtk_combo_box_get_active(GTK_COMBO_BOX(w)));
    if (GTK_IS_TOGGLE_BUTTON(w))
      out += gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w)) ? "on" : "off";
    if (GTK_IS_RANGE(w)) out += std::to_string(gtk_range_get_value(GTK_RANGE(w)));
    out += gtk_widget_get_sensitive(w) ? "\n" : " (insensitive)\n";
    if (GTK_IS_CONTAINER(w)) {
      GList* children = gtk_container_get_children(GTK_CONTAINER(w));
      for (GList* l = children; l; l = l->next) walk(GTK_WIDGET(l->data));
      g_list_free(children);
    }
  };
  walk(window_preset);
  for (int ch = 0; ch < 4; ++ch) {
    out += std::string(level_values[ch]) + dyn_values[ch] + delay_values[ch] +
           std::to_string(gain_temp[ch]) + " " + std::to_string(x[0][ch]) + " " +
           std::to_string(x[1][ch]) + "\n";
    for (int b = 0; b < 6; ++b)
      out += std::to_string(x_peq[ch][b]) + "," + std::to_string(y_peq[ch][b]) + " ";
  }
  for (int m : aktiv) out += " " + std::to_string(m);
  return out;
}

// Showing a record in an open editor (as undo will) looks exactly like an
// editor built over it, stores nothing and marks nothing unsaved.
TEST_F(Display, ShowRecordInEditorMatchesAFreshBuild) {
  preset_t b = preset_def;
  set_record_text(b.name, sizeof b.name, "Other <&>");
  set_record_text(b.channel[1].name, sizeof b.channel[1].name, "Bass ←");
  b.mute = 0x06, b.lock = 0x15;
  channel_t& c = b.channel[2];
  c.gain = -123, c.groups = 0x32, c.routing = 9, c.phase = 1, c.delay = 12345;
  c.xo[0] = {2, {50, 90}, {7, 7}}, c.xo[1] = {1, {4000, 4000}, {7, 7}};
  c.peq[0] = {80, 7, 30, 1}, c.peq[2] = {700, 25, -45, 0}, c.peq[5] = {9000, 7, -20, 1};
  c.dynamics = {20, 50, -12, -6};
  b.channel[3].routing = 20, b.channel[3].dynamics.attack = 200;  // beyond the fields
  apply_build_q(b, MV517);
  for (const int device : {MV517, MV961}) {
    for (const int u : {DELAY_M, DELAY_FT}) {
      SCOPED_TRACE(testing::Message() << device << " unit " << u);
      reset_to_idle();
      open_editor(device, b);
      choose(combo_delay, u);
      const std::string built = editor_state();
      reset_to_idle();
      preset_t a = preset_def;
      a.channel[0].peq[1].gain = 30, a.channel[2].dynamics.threshold = -3, a.mute = 0x09;
      open_editor(device, a);
      choose(combo_delay, u);
      set_value(spinner_gain[0], -20);  // in level group 0
      mark_saved();
      preset = b;
      show_record_in_editor();
      pump();
      EXPECT_TRUE(presets_equal(preset, b)) << first_difference(preset, b);
      EXPECT_FALSE(unsaved());
      EXPECT_EQ(editor_state(), built);
    }
  }
}

}  // namespace
