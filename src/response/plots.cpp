#include "response/plots.h"

#include <algorithm>
#include <cmath>

#include "editor/preset_verwaltung.h"
#include "model/editing.h"
#include "model/preset.h"
#include "response/calc_filters.h"
#include "response/plot_draw.h"

namespace {

// The channel of a plot handler's user data, or -1.
int plot_channel(gpointer data) {
  const int ch = GPOINTER_TO_INT(data);
  return ch >= 0 && ch < static_cast<int>(std::min(mv_type, 4u)) ? ch : -1;
}

// An event coordinate truncated toward zero to 16 bits.
int16_t event_coord(double v) {
  return static_cast<int16_t>(std::clamp(std::trunc(v), -32768.0, 32767.0));
}

template <typename Draw>
void paint(GtkWidget* widget, GdkEventExpose* event, Draw draw) {
  if (!widget->window) return;
  cairo_t* cr = gdk_cairo_create(widget->window);
  if (event) {
    gdk_cairo_rectangle(cr, &event->area);
    cairo_clip(cr);
  }
  draw(cr);
  cairo_destroy(cr);
}

void set_spin(GtkWidget* spin, double v) {
  if (spin) gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), v);
}

// Moves the crossover filter of the last press to column px. The spin
// button is given the whole hertz it keeps, so its text and the record
// agree; its operation stores the frequency and recomputes the curve. The
// handle then sits at the column of the stored frequency, also when the
// spin button already held it (a press beyond 8000 Hz ends at column 749).
void move_xo(int ch, int16_t px) {
  const int k = xo_select == 1 ? 1 : 0;
  const xo_target_t t = xo_pointer_target(px);
  set_spin(spin_button_crossover[k][ch], t.hz);
  x[k][ch] = t.column;
}

// Moves the band of the last press to (px, py): frequency, then gain, each
// as the spin button keeps it; the handle ends at the stored values.
void move_peq(int ch, int16_t px, int16_t py) {
  const int b = std::clamp(peq_select, 0, 5);
  const peq_target_t t = peq_pointer_target(px, py);
  set_spin(peq_spin_freq[ch][b], t.hz);
  set_spin(peq_spin_gain[ch][b], t.gain / 10.0);
  x_peq[ch][b] = t.column;
  y_peq[ch][b] = t.row;
}

}  // namespace

// ---- Crossover plot ----

gboolean on_expose_event_xo(GtkWidget* widget, GdkEventExpose* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  const channel_t& c = preset.channel[ch];
  XoPlotView v;
  v.hp = pnt_to_pix_hp[ch];
  v.lp = pnt_to_pix_lp[ch];
  v.hp_config = c.xo[0].config;
  v.lp_config = c.xo[1].config;
  // The handles are drawn at their limited columns, which are kept.
  x[0][ch] = clamp_xo_handle_column(x[0][ch]);
  if (v.lp_config != 0) x[1][ch] = clamp_xo_handle_column(x[1][ch]);
  v.hp_column = x[0][ch];
  v.lp_column = x[1][ch];
  paint(widget, event, [&](cairo_t* cr) { draw_xo_plot(cr, v); });
  return FALSE;
}

gboolean change_curve_first_press_xo(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  const int16_t px = event_coord(event->x);
  const bool lp_off = preset.channel[ch].xo[1].config == 0;
  xo_select = xo_press_choice(x[0][ch], x[1][ch], px, lp_off);
  move_xo(ch, px);
  gtk_widget_queue_draw(widget);
  return TRUE;
}

gboolean change_curve_xo(GtkWidget*, GdkEventMotion* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  move_xo(ch, event_coord(event->x));
  return TRUE;
}

// ---- EQ plot ----

gboolean on_expose_event(GtkWidget* widget, GdkEventExpose* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  EqPlotView v;
  v.sum = pnt_to_pix_eq_sum[ch];
  for (int b = 0; b < 6; ++b) {
    v.band_on[b] = peq_band_on(ch, b);
    if (v.band_on[b]) {
      x_peq[ch][b] = clamp_peq_handle_column(x_peq[ch][b]);
      y_peq[ch][b] = clamp_peq_handle_row(y_peq[ch][b]);
    }
    v.column[b] = x_peq[ch][b];
    v.row[b] = y_peq[ch][b];
  }
  paint(widget, event, [&](cairo_t* cr) { draw_eq_plot(cr, v); });
  return FALSE;
}

gboolean change_curve_first_press(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  bool off[6];
  for (int b = 0; b < 6; ++b) off[b] = !peq_band_on(ch, b);
  const peq_press_t choice = peq_press_choice(x_peq[ch], off, event_coord(event->x));
  peq_select = choice.band;
  count_off = choice.count_off;
  if (!peq_press_moves(count_off)) return TRUE;
  move_peq(ch, event_coord(event->x), event_coord(event->y));
  gtk_widget_queue_draw(widget);
  return TRUE;
}

gboolean change_curve(GtkWidget*, GdkEventMotion* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0 || !peq_press_moves(count_off)) return FALSE;
  move_peq(ch, event_coord(event->x), event_coord(event->y));
  return TRUE;
}

// ---- Axis strips ----

gboolean expose_draw_text(GtkWidget* widget, GdkEventExpose* event, gpointer data) {
  const AxisStrip strip = GPOINTER_TO_INT(data) == 1 ? AxisStrip::level : AxisStrip::frequency;
  paint(widget, event, [&](cairo_t* cr) { draw_axis_strip(cr, strip); });
  return FALSE;
}
