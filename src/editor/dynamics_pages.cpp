// The Limiter and Delay pages: one framed panel per channel, channels A and
// B in the upper row, C and D in the lower one.
#include <string>

#include "editor/channel_menus.h"
#include "editor/editor_pages.h"
#include "editor/make_widgets.h"
#include "editor/preset_verwaltung.h"
#include "model/change_preset.h"
#include "model/editing.h"
#include "model/preset.h"

namespace {

// The rows the channel panels go into (upper: channels 0 and 1, lower: 2
// and 3; a two-channel device has only the upper one).
struct panel_rows_t {
  GtkWidget* row[2];
  GtkWidget* at(int ch) const { return row[ch / 2]; }
};

// homogeneous row > frame (etched in) > row > frame (out) > row > box > box
// > the panel rows.
panel_rows_t panel_nesting(GtkWidget* page, int mv_x, bool outer_padding, bool inner_expand) {
  GtkWidget* outer_row = gtk_hbox_new(TRUE, 0);
  pack(page, outer_row, false, false, 30);
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  pack(outer_row, framed(row, GTK_SHADOW_ETCHED_IN), true, false, outer_padding ? 20 : 0);
  GtkWidget* inner_row = gtk_hbox_new(FALSE, 0);
  pack(row, framed(inner_row, GTK_SHADOW_OUT), inner_expand, false, 0);
  GtkWidget* box = gtk_vbox_new(FALSE, 0);
  pack(inner_row, box, true, false, 0);
  GtkWidget* rows_box = gtk_vbox_new(FALSE, 0);
  pack(box, rows_box, true, false, 10);

  panel_rows_t rows{{nullptr, nullptr}};
  for (int r = 0; r < (mv_x + 1) / 2; ++r) {
    rows.row[r] = gtk_hbox_new(FALSE, 0);
    pack(rows_box, rows.row[r], false, false, 5);
  }
  return rows;
}

// A panel frame captioned with the channel name in large bold blue; a
// right-click on the caption offers the channel's menu for section `s`.
GtkWidget* channel_panel(GtkWidget*& caption, int ch, channel_section s) {
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_ETCHED_IN);
  caption = gtk_label_new(nullptr);
  set_caption_markup(caption, channel_name_utf8(ch).c_str());
  const GdkColor blue = gdk_color_of(COLOR_LABEL_BLUE);
  gtk_widget_modify_fg(caption, GTK_STATE_NORMAL, &blue);
  gtk_frame_set_label_widget(GTK_FRAME(frame), with_channel_menu(caption, ch, s));
  return frame;
}

// Caption, spin button and unit, packed from the right.
GtkWidget* limiter_row(const char* caption, GtkWidget* spin, const char* unit_text) {
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  pack_end(row, gtk_label_new(unit_text), false, false, 10);
  pack_end(row, spin, false, false, 0);
  pack_end(row, gtk_label_new(caption), false, false, 10);
  return row;
}

void make_limiter_controls(int n) {
  const dynamics_t& d = preset.channel[n].dynamics;
  spin_button_attack[n] = make_spinbutton(ATTACK_MIN_MS, ATTACK_MAX_MS, 1, 3, 0, d.attack, 55);
  spin_button_rel[n] = make_spinbutton(RELEASE_MIN_MS, RELEASE_MAX_MS, RELEASE_STEP_MS, 4, 0,
                                       d.release * RELEASE_STEP_MS, 55);
  spin_button_thres[n] =
      make_spinbutton(THRESHOLD_MIN_DB, THRESHOLD_MAX_DB, 1, 4, 0, d.threshold, 55);
  spin_button_gain[n] =
      make_spinbutton(LIMITER_GAIN_MIN_DB, LIMITER_GAIN_MAX_DB, 1, 4, 0, d.boost, 55);
  const gpointer ch = GINT_TO_POINTER(n);
  g_signal_connect(spin_button_attack[n], "value-changed", G_CALLBACK(change_limiter_attack), ch);
  g_signal_connect(spin_button_rel[n], "value-changed", G_CALLBACK(change_limiter_release), ch);
  g_signal_connect(spin_button_thres[n], "value-changed", G_CALLBACK(change_limiter_threshold), ch);
  g_signal_connect(spin_button_gain[n], "value-changed", G_CALLBACK(change_limiter_gain), ch);
}

GtkWidget* limiter_panel(int n) {
  GtkWidget* frame = channel_panel(labels_l[n], n, channel_section::limiter);
  GtkWidget* body = gtk_vbox_new(TRUE, 0);
  gtk_container_add(GTK_CONTAINER(frame), body);
  GtkWidget* columns = gtk_hbox_new(FALSE, 0);
  pack(body, columns, false, false, 15);
  GtkWidget* left = gtk_vbox_new(FALSE, 0);
  pack(left, limiter_row("Attack-Time:", spin_button_attack[n], "ms"), false, false, 0);
  pack(left, limiter_row("Release-Time:", spin_button_rel[n], "ms"), false, false, 0);
  pack(columns, left, false, false, 5);
  GtkWidget* right = gtk_vbox_new(FALSE, 0);
  pack(right, limiter_row("Threshold:", spin_button_thres[n], "dB"), false, false, 0);
  pack(right, limiter_row("Gain:", spin_button_gain[n], "dB"), false, false, 0);
  pack(columns, right, false, false, 10);
  return frame;
}

GtkWidget* delay_panel(int n) {
  GtkWidget* frame = channel_panel(labels[n], n, channel_section::delay);
  gtk_widget_set_size_request(frame, 270, -1);
  GtkWidget* body = gtk_vbox_new(TRUE, 0);
  gtk_container_add(GTK_CONTAINER(frame), body);
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  pack(body, row, false, false, 15);
  GtkWidget* box = gtk_vbox_new(FALSE, 0);
  pack(row, box, false, false, 40);
  GtkWidget* line = gtk_hbox_new(FALSE, 0);
  pack(line, gtk_label_new("Delay-Time:"), false, false, 10);
  pack(line, spin_button_delay[n], false, false, 5);
  label_unit[n] = gtk_label_new("m");
  pack(line, label_unit[n], false, false, 5);
  pack(box, line, false, false, 0);
  return frame;
}

}  // namespace

void build_limiter_page(GtkWidget* page, int mv_x) {
  check_lock_dyn = add_tab_header(page, "Limiter", 90, 71, "Lock", 3, true);
  const panel_rows_t rows = panel_nesting(page, mv_x, true, true);
  for (int n = 0; n < mv_x; ++n) {
    make_limiter_controls(n);
    pack(rows.at(n), limiter_panel(n), true, false, 10);
  }
  pack(page, gtk_hseparator_new(), false, false, 15);
  add_tab_footer(page, 1);
}

void build_delay_page(GtkWidget* page, int mv_x) {
  check_lock_dly = add_tab_header(page, "Delay", 90, 71, "Lock", 4, true);
  unit = DELAY_M;  // every editor starts in metres
  const panel_rows_t rows = panel_nesting(page, mv_x, false, false);

  GtkWidget* unit_row = gtk_hbox_new(FALSE, 0);
  GtkWidget* box = gtk_vbox_new(FALSE, 0);
  pack(unit_row, framed(framed(box, GTK_SHADOW_IN), GTK_SHADOW_ETCHED_OUT), true, false, 0);
  GtkWidget* line = gtk_hbox_new(FALSE, 0);
  pack(line, gtk_label_new("Delay-Unit:"), false, false, 5);
  combo_delay = make_combobox("m", "ms", "ft", 50, COMBO_PLAIN);
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo_delay), DELAY_M);
  g_signal_connect(combo_delay, "changed", G_CALLBACK(change_delay_unit), GINT_TO_POINTER(0));
  pack(line, combo_delay, false, false, 5);
  pack(box, line, false, false, 10);
  pack(page, unit_row, false, false, 10);

  for (int n = 0; n < mv_x; ++n) {
    spin_button_delay[n] = make_spinbutton(0.0, delay_unit_info(DELAY_M).max, 0.01, 7, 2,
                                           cm_to_delay(preset.channel[n].delay, DELAY_M), 65);
    // Re-reading the text of an untouched spin button keeps the value it
    // holds, so showing a delay never changes it.
    g_signal_connect(spin_button_delay[n], "input", G_CALLBACK(delay_spin_input), nullptr);
    g_signal_connect(spin_button_delay[n], "value-changed", G_CALLBACK(change_delay),
                     GINT_TO_POINTER(n));
    pack(rows.at(n), delay_panel(n), false, false, 10);
  }
  pack(page, gtk_hseparator_new(), false, false, 25);
  add_tab_footer(page, 1);
}
