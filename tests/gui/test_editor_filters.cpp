// The Crossover and Parametric EQ tabs: building them from presets, the
// editing operations behind their controls, presses and drags on the
// response plots, and the Overview's EQ block following the type selectors.
#include <cstring>
#include <memory>

#include "editor_test_util.h"
#include "response/calc_filters.h"

namespace {

class Filters : public GuiTest {};

// Every crossover type (one filter with differing slots) and every band type.
preset_t filter_preset() {
  preset_t p = default_preset();
  set_record_text(p.channel[0].name, sizeof p.channel[0].name, "Top L");
  p.channel[0].xo[0] = {2, {100, 120}, {7, 7}};
  p.channel[0].xo[1] = {0, {2000, 2000}, {7, 7}};
  p.channel[1].xo[0] = {0, {40, 40}, {7, 7}};
  p.channel[1].xo[1] = {2, {90, 95}, {7, 7}};
  p.channel[2].xo[0] = {1, {80, 80}, {12, 9}};
  p.channel[2].xo[1] = {1, {3000, 2500}, {9, 9}};
  peq_t* a = p.channel[0].peq;
  a[0] = {100, 7, 60, 1};
  a[1] = {1000, 20, 30, 0};
  a[5] = {8000, 7, -30, 1};
  return p;
}

bool orange(const std::vector<int>& rgb) {
  return rgb[0] > 230 && rgb[1] > 150 && rgb[1] < 200 && rgb[2] < 40;
}

TEST_F(Filters, TabsAreBuiltFromThePreset) {
  std::fill(&pnt_to_pix_lp[0][0], &pnt_to_pix_lp[0][0] + XO_TABLE_SIZE, 99.0);
  const preset_t p = filter_preset();
  open_editor(MV517, p);
  // channel, filter, shown Hz, type entry, Q slots after the build
  const int xo[6][6] = {{0, 0, 120, 1, 7, 7}, {0, 1, 2000, 0, 7, 7}, {1, 0, 40, 2, 12, 7},
                        {1, 1, 95, 2, 7, 7},  {2, 0, 80, 0, 7, 9},   {2, 1, 3000, 1, 9, 7}};
  for (const auto& c : xo) {
    SCOPED_TRACE(testing::Message() << "channel " << c[0] << " filter " << c[1]);
    EXPECT_DOUBLE_EQ(value(spin_button_crossover[c[1]][c[0]]), c[2]);
    EXPECT_EQ(active(combobox_crossover[c[1]][c[0]]), c[3]);
    EXPECT_EQ(sensitive(spin_button_crossover[c[1]][c[0]]), c[1] == 0 || c[3] != 0);
    EXPECT_EQ(x[c[1]][c[0]], freq_to_column(c[2]));
    EXPECT_EQ(preset.channel[c[0]].xo[c[1]].q[0], c[4]);
    EXPECT_EQ(preset.channel[c[0]].xo[c[1]].q[1], c[5]);
  }
  // Curves from the slot of the type with the fixed Q; none for an off low-pass.
  EXPECT_DOUBLE_EQ(pnt_to_pix_hp[0][200], hp_response_db(column_to_freq(200), 120, 7, 1));
  EXPECT_DOUBLE_EQ(pnt_to_pix_hp[1][200], hp_response_db(column_to_freq(200), 40, 12, 0));
  EXPECT_DOUBLE_EQ(pnt_to_pix_lp[2][200], lp_response_db(column_to_freq(200), 3000, 9, 0));
  EXPECT_EQ(pnt_to_pix_lp[0][200], 99.0);

  // band, type entry, handle row
  const int bands[4][3] = {{0, 2, 54}, {1, 1, 78}, {2, 0, 102}, {5, 2, 126}};
  for (const auto& c : bands) {
    SCOPED_TRACE(testing::Message() << "band " << c[0]);
    EXPECT_EQ(active(peq_combo[0][c[0]]), c[1]);
    EXPECT_EQ(sensitive(peq_spin_gain[0][c[0]]), c[1] != 0);
    EXPECT_EQ(y_peq[0][c[0]], c[2]);
    EXPECT_EQ(x_peq[0][c[0]], freq_to_column(p.channel[0].peq[c[0]].freq));
  }
  auto expect = std::make_unique<channel_curves_t>();
  channel_curves(p.channel[0], *expect);
  for (int i : {0, 150, 464, 811}) EXPECT_NEAR(pnt_to_pix_eq_sum[0][i], expect->sum[i], 1e-9);
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x0F, 0x01);
  EXPECT_FALSE(unsaved());

  open_editor(MV961, p);
  EXPECT_EQ(gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook_peq)), 2);
}

TEST_F(Filters, CrossoverOperations) {
  open_editor(MV517, filter_preset());
  const xo_t& hp = preset.channel[2].xo[0];
  set_value(spin_button_crossover[0][2], 150);
  EXPECT_EQ(hp.freq[0] + hp.freq[1], 300);
  EXPECT_EQ(preset.channel[2].xo[1].freq[1], 3000);  // both filters are stored
  EXPECT_EQ(x[0][2], freq_to_column(150));
  EXPECT_EQ(xo_select, 0);
  EXPECT_TRUE(unsaved());

  // Linkwitz-Riley keeps the frequency and doubles the section's dB.
  const int at = freq_to_column(150) / 4 * 4;
  const double butterworth = pnt_to_pix_hp[2][at];
  EXPECT_NEAR(butterworth, -3.1, 0.2);
  choose(combobox_crossover[0][2], 1);
  EXPECT_NEAR(pnt_to_pix_hp[2][at], 2 * butterworth, 1e-9);
  choose(combobox_crossover[0][2], 2);
  EXPECT_EQ(hp.q[0], 12);
  choose(combobox_crossover[0][2], 0);
  EXPECT_EQ(hp.q[0], 7);

  choose(combobox_crossover[1][2], 0);
  EXPECT_FALSE(sensitive(spin_button_crossover[1][2]));
  choose(combobox_crossover[1][2], 2);
  EXPECT_TRUE(sensitive(spin_button_crossover[1][2]));
  EXPECT_DOUBLE_EQ(pnt_to_pix_lp[2][464], lp_response_db(column_to_freq(464), 3000, 7, 1));

  // Differing slots: the curve follows the type's slot, the spin button
  // keeps its value until the next frequency change stores it in both.
  choose(combobox_crossover[0][0], 0);
  EXPECT_DOUBLE_EQ(pnt_to_pix_hp[0][200], hp_response_db(column_to_freq(200), 100, 7, 0));
  set_value(spin_button_crossover[0][0], 121);
  EXPECT_EQ(preset.channel[0].xo[0].freq[0] + preset.channel[0].xo[0].freq[1], 242);
}

TEST_F(Filters, EqOperations) {
  open_editor(MV517, default_preset());
  set_value(peq_spin_gain[1][3], -3.0);  // an "OFF" band keeps gain 0
  EXPECT_EQ(preset.channel[1].peq[3].gain, 0);
  EXPECT_FALSE(unsaved());
  choose(peq_combo[1][3], 1);
  EXPECT_EQ(preset.channel[1].peq[3].gain, -30);
  EXPECT_EQ(y_peq[1][3], 126);
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x0F, 0x02);
  EXPECT_TRUE(unsaved());
  choose(peq_combo[1][3], 0);
  EXPECT_EQ(preset.channel[1].peq[3].gain, 0);
  EXPECT_FALSE(sensitive(peq_spin_gain[1][3]));
  EXPECT_EQ(aktiv[AKTIV_PEQ] & 0x0F, 0);
  choose(peq_combo[1][3], 1);  // back with the gain its spin button kept
  EXPECT_EQ(preset.channel[1].peq[3].gain, -30);

  // dB shown, stored, handle row
  const double gains[4][3] = {{12.0, 120, 6}, {-12.0, -120, 198}, {0.25, 3, 99}, {-0.05, -1, 102}};
  for (const auto& g : gains) {
    set_value(peq_spin_gain[1][3], g[0]);
    EXPECT_EQ(preset.channel[1].peq[3].gain, g[1]) << g[0];
    EXPECT_EQ(y_peq[1][3], g[2]) << g[0];
  }
  set_value(peq_spin_q[1][3], 12.5);
  EXPECT_EQ(preset.channel[1].peq[3].q, 125);

  // "Filter 1" as a low shelf: the sum takes the shelf, which ignores Q and
  // follows its frequency.
  set_value(peq_spin_gain[1][0], 6.0);
  choose(peq_combo[1][0], 2);
  EXPECT_EQ(preset.channel[1].peq[0].type, 1);
  const double low_end = pnt_to_pix_eq_sum[1][0];
  EXPECT_NEAR(low_end, lowshelf_response_db(column_to_freq(0), 50, 60), 0.01);
  set_value(peq_spin_q[1][0], 5.0);
  EXPECT_DOUBLE_EQ(pnt_to_pix_eq_sum[1][0], low_end);
  set_value(peq_spin_freq[1][0], 200);
  EXPECT_NEAR(pnt_to_pix_eq_sum[1][0], lowshelf_response_db(column_to_freq(0), 200, 60), 0.01);
}

TEST_F(Filters, CrossoverPlotPressesAndDrags) {
  preset_t p = default_preset();
  p.channel[0].xo[0] = {1, {100, 100}, {7, 7}};    // column 148
  p.channel[0].xo[1] = {1, {1000, 1000}, {7, 7}};  // column 464
  open_editor(MV517, p);
  gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), TAB_CROSSOVER);
  pump_for(100);
  GtkWidget* plot = drawing_area_xo[0];
  click_at(plot, 306, 60);  // halfway: the low-pass
  EXPECT_EQ(xo_select, 1);
  EXPECT_EQ(preset.channel[0].xo[1].freq[0], spin_whole(column_to_freq(306)));
  click_at(plot, 226.9, 60);  // 78 from the high-pass, 79 from the low-pass
  EXPECT_EQ(xo_select, 0);
  EXPECT_EQ(x[0][0], freq_to_column(spin_whole(column_to_freq(226))));

  for (int i = 0; i < 2; ++i) {  // also when the spin button already holds 8000
    click_at(plot, 811, 60);
    EXPECT_EQ(preset.channel[0].xo[1].freq[1], 8000);
    EXPECT_EQ(x[1][0], 749);
  }
  choose(combobox_crossover[1][0], 0);  // off: every press moves the high-pass
  click_at(plot, 700, 60);
  EXPECT_EQ(xo_select, 0);
  EXPECT_EQ(preset.channel[0].xo[0].freq[0], spin_whole(column_to_freq(700)));
  EXPECT_TRUE(orange(snapshot(plot).at(x[0][0], 127 - 4)));  // Butterworth's row
}

TEST_F(Filters, EqPlotPressesAndDrags) {
  preset_t p = default_preset();
  p.channel[1].peq[1] = {1000, 7, 30, 0};
  p.channel[1].peq[2] = {1000, 7, -30, 0};  // same column as band 1
  p.channel[1].peq[4] = {5000, 7, 10, 0};   // column 685
  open_editor(MV517, p);
  gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), TAB_PARAMETRIC_EQ);
  gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook_peq), 1);
  pump_for(100);
  GtkWidget* plot = drawing_area_peq[1];

  // On band 0, which is off: the nearest band that is on, the lower on a tie.
  click_at(plot, x_peq[1][0], 50);
  EXPECT_EQ(peq_select, 1);
  EXPECT_EQ(count_off, 3);
  EXPECT_EQ(preset.channel[1].peq[1].freq, spin_whole(column_to_freq(x_peq[1][0])));
  EXPECT_EQ(preset.channel[1].peq[1].gain, 65);
  EXPECT_EQ(y_peq[1][1], 50);

  click_at(plot, 700, 0);  // +12.75 dB asked, +12.0 kept
  EXPECT_EQ(peq_select, 4);
  EXPECT_EQ(preset.channel[1].peq[4].gain, 120);
  EXPECT_EQ(y_peq[1][4], 6);
  drag_to(plot, 811, 300);
  EXPECT_EQ(preset.channel[1].peq[4].freq, 12000);
  EXPECT_EQ(preset.channel[1].peq[4].gain, -120);
  EXPECT_EQ(y_peq[1][4], 198);
  drag_to(plot, -50, 102);
  EXPECT_EQ(preset.channel[1].peq[4].freq, 35);
  EXPECT_TRUE(orange(snapshot(plot).at(6, 102 - 5)));  // drawn at the edge,
  EXPECT_EQ(x_peq[1][4], 6);                           // which is kept

  for (int b : {1, 2, 4}) choose(peq_combo[1][b], 0);
  const preset_t before = preset;
  click_at(plot, 400, 30);
  drag_to(plot, 420, 40);
  EXPECT_EQ(count_off, 6);
  EXPECT_EQ(std::memcmp(&before, &preset, sizeof preset), 0);
}

TEST_F(Filters, OverviewAndTabNamesFollowTheEdits) {
  open_editor(MV517, default_preset());
  const auto dot = [] {  // channel B, band 3; drawn again when shown again
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), TAB_PARAMETRIC_EQ);
    pump();
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), TAB_OVERVIEW);
    return snapshot(draw_area_routing2).at(286, 203);
  };
  const std::vector<int> off = dot();
  choose(peq_combo[1][2], 1);  // on with gain 0: the record still reads "off"
  EXPECT_EQ(dot(), (std::vector<int>{0, 255, 0}));
  choose(peq_combo[1][2], 0);
  EXPECT_EQ(dot(), off);

  click_at(draw_area_routing2, 300, 330);  // EQ block of channel D
  EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook_peq)), 3);

  clear_entry(ch_name[1]);
  type_into(ch_name[1], "Sub <L&R>");
  EXPECT_EQ(label_text(labels_xo[1]), "Sub <L&R>");
  EXPECT_EQ(label_text(labels_peq[1]), "Sub <L&R>");
}

}  // namespace
