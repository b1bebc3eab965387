// The Crossover and Parametric EQ pages: a notebook with one page per
// channel, each holding a response plot with its axis strips above the
// filter controls. Every control is filled from the record before its
// operation is connected; the curves and handle positions are computed
// while building, so the plots have data when first drawn.
#include <algorithm>
#include <string>

#include "editor/channel_menus.h"
#include "editor/editor_pages.h"
#include "editor/make_widgets.h"
#include "editor/preset_verwaltung.h"
#include "measure/measurement_menus.h"
#include "model/change_preset.h"
#include "model/editing.h"
#include "model/preset.h"
#include "response/calc_filters.h"
#include "response/plot_draw.h"
#include "response/plots.h"

GtkWidget* vbox_tab_xo[4];
GtkWidget* drawing_area_xo[4];
GtkWidget* spin_button_crossover[2][4];
GtkWidget* combobox_crossover[2][4];
GtkWidget* vbox_fselector[4];
GtkWidget* vbox_fselector2[4];

GtkWidget* vbox_tab[4];
GtkWidget* drawing_area_peq[4];
GtkWidget* peq_combo[4][6];
GtkWidget* peq_spin_freq[4][6];
GtkWidget* peq_spin_q[4][6];
GtkWidget* peq_spin_gain[4][6];

GtkWidget* draw_area_text = nullptr;
GtkWidget* draw_area_text_y = nullptr;
GtkWidget* statusbar_xo = nullptr;
GtkWidget* statusbar_peq = nullptr;

bool peq_band_on(int ch, int b) {
  return ch >= 0 && ch < 4 && b >= 0 && b < 6 && combo_index(peq_combo[ch][b]) > 0;
}

void reset_filter_page_globals() {
  for (GtkWidget** array :
       {vbox_tab_xo, drawing_area_xo, vbox_fselector, vbox_fselector2, vbox_tab, drawing_area_peq})
    std::fill(array, array + 4, nullptr);
  for (auto* table : {spin_button_crossover, combobox_crossover})
    std::fill(&table[0][0], &table[0][0] + 8, nullptr);
  for (auto* table : {peq_combo, peq_spin_freq, peq_spin_q, peq_spin_gain})
    std::fill(&table[0][0], &table[0][0] + 24, nullptr);
  draw_area_text = draw_area_text_y = nullptr;
  statusbar_xo = statusbar_peq = nullptr;
  reset_plot_selection();
  forget_measurements();
}

namespace {

constexpr int PRESS_AND_MOTION = 3;

// Tab label of a channel page: the channel name, bold and blue (placed in a
// box that offers the channel's menu on a right-click).
GtkWidget* channel_tab_label(int ch) {
  GtkWidget* label = gtk_label_new(nullptr);
  gchar* markup = g_markup_printf_escaped("<b>%s</b>", channel_name_utf8(ch).c_str());
  gtk_label_set_markup(GTK_LABEL(label), markup);
  g_free(markup);
  const GdkColor blue = gdk_color_of(COLOR_LABEL_BLUE);
  gtk_widget_modify_fg(label, GTK_STATE_NORMAL, &blue);
  return label;
}

// The channel notebook in a homogeneous row that takes the page's height.
GtkWidget* channel_notebook(GtkWidget* page) {
  GtkWidget* row = gtk_hbox_new(TRUE, 0);
  pack(page, row, true, true, 0);
  GtkWidget* book = gtk_notebook_new();
  gtk_notebook_set_tab_pos(GTK_NOTEBOOK(book), GTK_POS_TOP);
  gtk_container_set_border_width(GTK_CONTAINER(book), 5);
  pack(row, book, true, true, 0);
  return book;
}

GtkWidget* hseparator(int width) {
  GtkWidget* sep = gtk_hseparator_new();
  gtk_widget_set_size_request(sep, width, -1);
  return sep;
}

// A right-aligned caption of fixed width.
GtkWidget* caption(const char* text, int width) {
  GtkWidget* label = gtk_label_new(text);
  gtk_widget_set_size_request(label, width, -1);
  gtk_misc_set_alignment(GTK_MISC(label), 1.0f, 0.5f);
  return label;
}

// "Frequency Response", the plot with the level strip at its right and the
// frequency strip below it, then a separator. The frequency strip starts 18
// pixels left of the plot so its labels sit under their grid lines. The plot
// keeps its strips.
void add_plot_block(GtkWidget* vbox, GtkWidget* plot, bool eq, int ch) {
  GtkWidget* title = gtk_hbox_new(FALSE, 0);
  pack(title, gtk_label_new("Frequency Response"), true, false, 0);
  pack(vbox, title, false, false, 8);

  draw_area_text = make_drawing_area(FREQ_AXIS_WIDTH, FREQ_AXIS_HEIGHT, 0);
  draw_area_text_y = make_drawing_area(LEVEL_AXIS_WIDTH, LEVEL_AXIS_HEIGHT, 0);
  g_signal_connect(draw_area_text, "expose-event", G_CALLBACK(expose_draw_text),
                   GINT_TO_POINTER(0));
  g_signal_connect(draw_area_text_y, "expose-event", G_CALLBACK(expose_draw_text),
                   GINT_TO_POINTER(1));

  GtkWidget* plot_row = gtk_hbox_new(FALSE, 0);
  pack(plot_row, gtk_hbox_new(FALSE, 0), false, false, 10);
  GtkWidget* plot_box = gtk_hbox_new(FALSE, 0);
  GtkWidget* spacer = gtk_hbox_new(FALSE, 0);
  gtk_widget_set_size_request(spacer, 18, -1);
  pack(plot_box, spacer, false, false, 0);
  pack(plot_box, plot, false, false, 0);
  pack(plot_box, draw_area_text_y, false, false, 0);
  pack(plot_row, plot_box, false, false, 25);
  pack(vbox, plot_row, false, false, 0);

  GtkWidget* axis_row = gtk_hbox_new(FALSE, 0);
  GtkWidget* axis_box = gtk_hbox_new(FALSE, 0);
  pack(axis_box, draw_area_text, false, false, 20);
  pack(axis_row, axis_box, false, false, 25);
  pack(vbox, axis_row, false, false, 0);
  pack(vbox, gtk_hseparator_new(), false, false, 10);
  register_plot(eq, ch, plot, draw_area_text, draw_area_text_y);
}

// A response plot. Beyond presses and drags it takes the keyboard (once a
// press gave it the focus), the pointer's motion and leaving for the
// readout, and on the EQ plot the wheel (`scroll` null: none).
GtkWidget* plot_area(int ch, GCallback expose, GCallback press, GCallback motion,
                     GCallback scroll) {
  GtkWidget* area = make_drawing_area(PLOT_WIDTH, PLOT_HEIGHT, PRESS_AND_MOTION);
  gtk_widget_add_events(area, GDK_POINTER_MOTION_MASK | GDK_LEAVE_NOTIFY_MASK | GDK_KEY_PRESS_MASK |
                                  (scroll ? GDK_SCROLL_MASK : 0));
  const gpointer data = GINT_TO_POINTER(ch);
  g_signal_connect(area, "expose-event", expose, data);
  g_signal_connect(area, "button-press-event", press, data);
  g_signal_connect(area, "motion_notify_event", motion, data);
  g_signal_connect(area, "key-press-event", G_CALLBACK(plot_key_press), data);
  g_signal_connect(area, "leave-notify-event", G_CALLBACK(plot_pointer_left), data);
  if (scroll) g_signal_connect(area, "scroll-event", scroll, data);
  return area;
}

// ---- Crossover ----

// Spin button and type selector of crossover `filter` of channel n.
void make_xo_controls(int n, int filter) {
  const channel_t& c = preset.channel[n];
  const xo_t& xo = c.xo[filter];
  const int shown_hz = xo.freq[xo_slot(xo.config)];
  x[filter][n] = freq_to_column(shown_hz);
  GtkWidget*& spin = spin_button_crossover[filter][n];
  GtkWidget*& combo = combobox_crossover[filter][n];
  spin = make_spinbutton(XO_FREQ_MIN, XO_FREQ_MAX, 1.0, 4, 0, shown_hz, -1);
  const char* const* labels = filter == 0 ? hp_type_labels : lp_type_labels;
  combo = make_combobox(labels[0], labels[1], labels[2], -1, COMBO_PLAIN);
  const int index = filter == 0 ? hp_index_from_code(xo.config) : xo.config;
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), index >= 0 && index <= 2 ? index : -1);

  const gpointer data = GINT_TO_POINTER(n);
  g_signal_connect(spin, "value-changed", G_CALLBACK(change_xo_freq), data);
  g_signal_connect(combo, "changed", G_CALLBACK(change_xo_type), data);
}

// "Caption" (right-aligned, width 80, padding 40) and its controls, in a
// row of a row.
GtkWidget* xo_control_row(const char* text, GtkWidget* control, const char* unit) {
  GtkWidget* outer = gtk_hbox_new(FALSE, 0);
  GtkWidget* inner = gtk_hbox_new(FALSE, 0);
  pack(inner, caption(text, 80), false, false, 40);
  pack(inner, control, false, false, 0);
  if (unit) pack(inner, gtk_label_new(unit), false, false, 10);
  pack(outer, inner, false, false, 25);
  return outer;
}

GtkWidget* xo_filter_frame(GtkWidget*& box, int n, int filter) {
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
  box = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(frame), box);

  GtkWidget* title = gtk_hbox_new(FALSE, 0);
  pack(title, hseparator(161), false, false, 0);
  pack(title, make_label_with_markup(filter == 0 ? "High-Pass" : "Low-Pass", LABEL_BOLD_BLUE), true,
       false, 28);
  pack(title, hseparator(161), false, false, 0);
  pack(box, title, false, false, 29);
  pack(box, xo_control_row("Frequency:", spin_button_crossover[filter][n], "Hz"), false, false, 3);
  pack(box, xo_control_row("Filter-Type:", combobox_crossover[filter][n], nullptr), false, false,
       3);
  pack(box, gtk_hseparator_new(), false, false, 30);
  return frame;
}

void add_xo_channel_page(int n) {
  vbox_tab_xo[n] = gtk_vbox_new(FALSE, 0);
  labels_xo[n] = channel_tab_label(n);
  gtk_notebook_append_page(GTK_NOTEBOOK(notebook_xo), vbox_tab_xo[n],
                           with_channel_menu(labels_xo[n], n, channel_section::crossover));
  drawing_area_xo[n] =
      plot_area(n, G_CALLBACK(on_expose_event_xo), G_CALLBACK(change_curve_first_press_xo),
                G_CALLBACK(change_curve_xo), nullptr);
  add_plot_block(vbox_tab_xo[n], drawing_area_xo[n], false, n);

  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  GtkWidget* filters = gtk_hbox_new(FALSE, 0);
  pack(row, framed(filters, GTK_SHADOW_ETCHED_OUT), true, false, 0);
  pack(filters, xo_filter_frame(vbox_fselector[n], n, 0), false, false, 1);
  pack(filters, xo_filter_frame(vbox_fselector2[n], n, 1), false, false, 1);
  pack(vbox_tab_xo[n], row, false, false, 0);
  pack(vbox_tab_xo[n], gtk_hseparator_new(), false, false, 10);
}

// ---- Parametric EQ ----

// Type selector and spin buttons of band b of channel n. A band is "OFF"
// exactly when its type is 0 and its gain is 0; its spin buttons are then
// insensitive.
void make_peq_controls(int n, int b) {
  const peq_t& band = preset.channel[n].peq[b];
  x_peq[n][b] = freq_to_column(band.freq);
  y_peq[n][b] = peq_gain_row(band.gain);

  GtkWidget* combo = make_combobox(peq_type_label(b, 0), peq_type_label(b, 1), peq_type_label(b, 2),
                                   -1, COMBO_PLAIN);
  // A shelf type on a middle band (only a damaged file holds one) shows as
  // the active band it is: "PEQ".
  const int index = std::min(peq_type_index(band), peq_type_count(b) - 1);
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), index);
  peq_combo[n][b] = combo;
  peq_spin_freq[n][b] = make_spinbutton(PEQ_FREQ_MIN, PEQ_FREQ_MAX, 1.0, 5, 0, band.freq, 60);
  peq_spin_q[n][b] = make_spinbutton(PEQ_Q_MIN, PEQ_Q_MAX, 0.1, 4, 1, band.q / 10.0, 60);
  peq_spin_gain[n][b] =
      make_spinbutton(PEQ_GAIN_MIN_DB, PEQ_GAIN_MAX_DB, 0.1, 5, 1, band.gain / 10.0, 60);
  if (index == 0)
    for (GtkWidget* w : {peq_spin_freq[n][b], peq_spin_q[n][b], peq_spin_gain[n][b]})
      gtk_widget_set_sensitive(w, FALSE);

  const gpointer data = GINT_TO_POINTER(n);
  g_signal_connect(peq_spin_freq[n][b], "value-changed", G_CALLBACK(change_peq_freq), data);
  g_signal_connect(combo, "changed", G_CALLBACK(change_peq_type), data);
  g_signal_connect(peq_spin_q[n][b], "value-changed", G_CALLBACK(change_peq_q), data);
  g_signal_connect(peq_spin_gain[n][b], "value-changed", G_CALLBACK(change_peq_gain), data);
}

// Spin button packed from the right (padding 12) with its caption.
GtkWidget* band_spin_row(const char* text, GtkWidget* spin) {
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  GtkWidget* box = gtk_hbox_new(FALSE, 0);
  pack_end(box, spin, false, false, 12);
  pack_end(box, caption(text, 40), false, false, 0);
  pack(row, box, true, false, 10);
  return row;
}

GtkWidget* band_frame(int n, int b) {
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
  GtkWidget* box = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(frame), box);
  const std::string title = "Filter " + std::to_string(b + 1);
  GtkWidget* title_row = gtk_hbox_new(FALSE, 0);
  pack(title_row, make_label_with_markup(title.c_str(), LABEL_BOLD_BLUE), true, false, 0);
  pack(box, title_row, false, false, 6);
  pack(box, peq_combo[n][b], false, false, 0);
  pack(box, gtk_hseparator_new(), false, false, 12);
  pack(box, band_spin_row("Freq:", peq_spin_freq[n][b]), false, false, 3);
  pack(box, band_spin_row("Q:", peq_spin_q[n][b]), false, false, 3);
  pack(box, band_spin_row("Gain:", peq_spin_gain[n][b]), false, false, 3);
  pack(box, gtk_hseparator_new(), false, false, 12);
  return frame;
}

void add_peq_channel_page(int n) {
  vbox_tab[n] = gtk_vbox_new(FALSE, 0);
  labels_peq[n] = channel_tab_label(n);
  gtk_notebook_append_page(GTK_NOTEBOOK(notebook_peq), vbox_tab[n],
                           with_channel_menu(labels_peq[n], n, channel_section::eq));
  drawing_area_peq[n] =
      plot_area(n, G_CALLBACK(on_expose_event), G_CALLBACK(change_curve_first_press),
                G_CALLBACK(change_curve), G_CALLBACK(peq_plot_scroll));
  add_plot_block(vbox_tab[n], drawing_area_peq[n], true, n);

  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  GtkWidget* bands = gtk_hbox_new(FALSE, 0);
  pack(row, framed(framed(bands, GTK_SHADOW_IN), GTK_SHADOW_ETCHED_OUT), true, false, 0);
  for (int b = 0; b < 6; ++b) {
    pack(bands, band_frame(n, b), false, false, 0);
    if (b < 5) pack(bands, gtk_vseparator_new(), false, false, 0);
  }
  pack(vbox_tab[n], row, false, false, 0);
  pack(vbox_tab[n], gtk_hseparator_new(), false, false, 10);
}

}  // namespace

void build_crossover_page(GtkWidget* page, int mv_x) {
  check_lock_xo = add_tab_header(page, "Crossover", 90, 71, "Lock", 1, true);
  notebook_xo = channel_notebook(page);
  // Showing a crossover fixes the Q its type uses: the record is saved so.
  apply_build_q(preset, mv_x);
  for (int n = 0; n < mv_x; ++n) {
    make_xo_controls(n, 0);
    make_xo_controls(n, 1);
    if (preset.channel[n].xo[1].config == 0)
      gtk_widget_set_sensitive(spin_button_crossover[1][n], FALSE);
    Calc_Channel(n);  // the curves of both plots, with the Q just fixed
    add_xo_channel_page(n);
  }
  statusbar_xo = add_tab_footer(page, 1, true);
  colour_curve_legend(statusbar_xo);
}

void build_peq_page(GtkWidget* page, int mv_x) {
  check_lock_peq = add_tab_header(page, "Parametric EQ", 90, 71, "Lock", 2, true);
  notebook_peq = channel_notebook(page);
  for (int b = 0; b < 6; ++b)
    for (int n = 0; n < mv_x; ++n) make_peq_controls(n, b);
  for (int n = 0; n < mv_x; ++n) add_peq_channel_page(n);
  statusbar_peq = add_tab_footer(page, 1, true);
  colour_curve_legend(statusbar_peq);
}
