// show_record_in_editor: every widget of the open editor set from the record
// with its handlers blocked, so that nothing is stored again and the preset
// is not marked changed; the overview texts, masks, handle positions and
// curves follow, and the drawings are redrawn.
#include <algorithm>
#include <string>
#include <vector>

#include "editor/editor_pages.h"
#include "editor/preset_verwaltung.h"
#include "model/change_preset.h"
#include "model/editing.h"
#include "model/preset.h"
#include "response/calc_filters.h"

namespace {

// Runs `set` with every handler of the widget's `signals` blocked, whatever
// function and data it was connected with.
template <typename Set>
void quietly(GtkWidget* w, std::initializer_list<const char*> signals, Set set) {
  if (!w) return;
  const auto unblocked =
      static_cast<GSignalMatchType>(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_UNBLOCKED);
  std::vector<gulong> blocked;
  for (const char* s : signals) {
    const guint id = g_signal_lookup(s, G_OBJECT_TYPE(w));
    while (const gulong h = g_signal_handler_find(w, unblocked, id, 0, nullptr, nullptr, nullptr)) {
      g_signal_handler_block(w, h);
      blocked.push_back(h);
    }
  }
  set();
  for (const gulong h : blocked) g_signal_handler_unblock(w, h);
}

void show_spin(GtkWidget* spin, double value) {
  quietly(spin, {"value-changed"},
          [&] { gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), value); });
}

// The entry `index` of a selector, or none when it has no such entry.
void show_combo(GtkWidget* combo, int index) {
  if (!combo) return;
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
  const int count = gtk_tree_model_iter_n_children(model, nullptr);
  quietly(combo, {"changed"}, [&] {
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), index >= 0 && index < count ? index : -1);
  });
}

void show_toggle(GtkWidget* toggle, bool on) {
  quietly(toggle, {"toggled"},
          [&] { gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), on); });
}

void show_text(GtkWidget* entry, const std::string& text) {
  quietly(entry, {"changed", "insert-text"},
          [&] { gtk_entry_set_text(GTK_ENTRY(entry), text.c_str()); });
}

void show_channel_setup(int ch) {
  const channel_t& c = preset.channel[ch];
  show_text(ch_name[ch], channel_name_utf8(ch));
  show_channel_captions(ch);
  gain_temp[ch] = shown_value(shown_field::level, c.gain);
  show_spin(spinner_gain[ch], gain_temp[ch]);
  quietly(vscale[ch], {"value-changed"},
          [&] { gtk_range_set_value(GTK_RANGE(vscale[ch]), gain_temp[ch]); });
  show_toggle(button_mute[ch], (preset.mute >> ch) & 1);
  show_combo(combo_mute[ch], mute_group_index(c.groups));
  show_combo(combo_lvl[ch], level_group_index(c.groups));
  show_combo(combobox_rout[ch], c.routing);
  show_combo(combobox[ch], c.phase);
}

void show_filters(int ch) {
  const channel_t& c = preset.channel[ch];
  for (int k = 0; k < 2; ++k) {
    const xo_t& xo = c.xo[k];
    const int hz = xo.freq[xo_slot(xo.config)];
    x[k][ch] = freq_to_column(hz);
    show_spin(spin_button_crossover[k][ch], shown_value(shown_field::frequency, hz));
    show_combo(combobox_crossover[k][ch], k == 0 ? hp_index_from_code(xo.config) : xo.config);
  }
  if (spin_button_crossover[1][ch])
    gtk_widget_set_sensitive(spin_button_crossover[1][ch], c.xo[1].config != 0);

  for (int b = 0; b < 6; ++b) {
    const peq_t& band = c.peq[b];
    const int index = std::min(peq_type_index(band), peq_type_count(b) - 1);
    x_peq[ch][b] = freq_to_column(band.freq);
    y_peq[ch][b] = peq_gain_row(band.gain);
    show_combo(peq_combo[ch][b], index);
    show_spin(peq_spin_freq[ch][b], shown_value(shown_field::frequency, band.freq));
    show_spin(peq_spin_q[ch][b], shown_value(shown_field::peq_q, band.q));
    // An "OFF" band stores gain 0 and its greyed field keeps the gain it
    // comes back with: the field already stands for the stored value.
    if (index != 0) show_spin(peq_spin_gain[ch][b], shown_value(shown_field::peq_gain, band.gain));
    for (GtkWidget* w : {peq_spin_freq[ch][b], peq_spin_q[ch][b], peq_spin_gain[ch][b]})
      if (w) gtk_widget_set_sensitive(w, index != 0);
  }
  Calc_Channel(ch);
}

void show_dynamics(int ch, delay_unit_t u) {
  const channel_t& c = preset.channel[ch];
  const dynamics_t& d = c.dynamics;
  show_spin(spin_button_attack[ch], shown_value(shown_field::attack, d.attack));
  show_spin(spin_button_rel[ch], shown_value(shown_field::release, d.release));
  show_spin(spin_button_thres[ch], shown_value(shown_field::threshold, d.threshold));
  show_spin(spin_button_gain[ch], shown_value(shown_field::boost, d.boost));
  show_spin(spin_button_delay[ch], delay_shown(c.delay, u));
}

}  // namespace

void show_record_in_editor(unsigned channels) {
  if (!window_preset) return;
  const unsigned n = std::min(mv_type, 4u);
  const auto u = static_cast<delay_unit_t>(unit >= 0 && unit <= 2 ? unit : 0);
  show_text(preset_name, record_to_utf8(preset.name, PRESET_NAME_MAX));
  for (unsigned ch = 0; ch < n; ++ch) {
    if (!(channels & (1u << ch))) continue;
    show_channel_setup(ch);
    show_filters(ch);
    show_dynamics(ch, u);
  }
  update_mute_sensitivity();
  const struct {
    GtkWidget* check;
    int data;
  } locks[] = {{check_lock_rout, 0}, {check_lock_xo, 1},  {check_lock_peq, 2},
               {check_lock_dyn, 3},  {check_lock_dly, 4}, {check_lock_mutelvl, 5}};
  for (const auto& l : locks) show_toggle(l.check, (preset.lock & lock_mask_of(l.data)) != 0);

  // The overview's texts (the delays in the unit shown) and masks; those of
  // channels the device does not show stay as they are.
  init_overview_values(n);
  double shown[4] = {};
  const int hidden = aktiv[AKTIV_DELAY] & ~((1 << n) - 1);
  aktiv[AKTIV_DELAY] = apply_delay_edit(preset, n, -1, shown, u, delay_values) | hidden;
  for (GtkWidget* w :
       {draw_area_routing, draw_area_routing2, draw_area_routing_cpy, draw_area_routing2_cpy})
    if (w) gtk_widget_queue_draw(w);
  for (unsigned ch = 0; ch < n; ++ch)
    for (GtkWidget* w : {drawing_area_xo[ch], drawing_area_peq[ch]})
      if (w && (channels & (1u << ch))) gtk_widget_queue_draw(w);
}
