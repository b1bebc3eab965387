#include "response/plots.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "editor/channel_menus.h"
#include "editor/preset_verwaltung.h"
#include "measure/measurement_menus.h"
#include "model/channel_tools.h"
#include "model/editing.h"
#include "model/preset.h"
#include "response/calc_filters.h"
#include "response/plot_draw.h"
#include "response/plot_input.h"

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
// In the phase view the rows stand for degrees: a handle moves in frequency
// only and keeps its gain.
void move_peq(int ch, int16_t px, int16_t py, bool frequency_only) {
  const int b = std::clamp(peq_select, 0, 5);
  const peq_target_t t = peq_pointer_target(px, py);
  set_spin(peq_spin_freq[ch][b], t.hz);
  if (!frequency_only) set_spin(peq_spin_gain[ch][b], t.gain / 10.0);
  x_peq[ch][b] = t.column;
  if (!frequency_only) y_peq[ch][b] = t.row;
}

// ---- Selection, keys and readout ----

// Each plot's own state ([0] crossover, [1] EQ plots, by channel).
struct plot_state_t {
  GtkWidget* area = nullptr;
  GtkWidget* frequency_strip = nullptr;
  GtkWidget* level_strip = nullptr;
  int selected = -1;  // a press selects the handle it moves, Tab the next one
  plot_choice_t choice;
  plot_content_t content;  // composed at the last redraw, for the readout
};
plot_state_t plots[2][4];

plot_state_t& state_of(bool eq, int ch) {
  return plots[eq ? 1 : 0][ch];
}

bool phase_view(bool eq, int ch) {
  return state_of(eq, ch).choice.mode == plot_view_mode::phase;
}

bool is_eq_plot(GtkWidget* widget, int ch) {
  return widget == drawing_area_peq[ch];
}

// Shows `text` in the page's status bar (empty: nothing).
void show_readout(bool eq, const std::string& text) {
  GtkWidget* bar = eq ? statusbar_peq : statusbar_xo;
  if (!bar) return;
  const guint id = gtk_statusbar_get_context_id(GTK_STATUSBAR(bar), "plot readout");
  gtk_statusbar_pop(GTK_STATUSBAR(bar), id);
  if (!text.empty()) gtk_statusbar_push(GTK_STATUSBAR(bar), id, text.c_str());
}

void show_filter_readout(bool eq, int ch, int handle) {
  const channel_t& c = preset.channel[ch];
  if (handle >= 0 && handle < (eq ? 6 : 2))
    show_readout(eq, eq ? peq_readout(handle, c.peq[handle]) : xo_readout(handle, c.xo[handle]));
}

// The frequency and level (or phase) under the pointer, and what the
// plot's curves have at that column.
void show_pointer_readout(bool eq, int ch, double x, double y) {
  const int16_t px = event_coord(x), py = event_coord(y);
  const plot_state_t& s = state_of(eq, ch);
  const bool phase = s.choice.mode == plot_view_mode::phase;
  show_readout(eq, (phase ? phase_pointer_readout(px, py) : pointer_readout(px, py)) +
                       content_readout(s.content, s.choice.mode, px));
}

bool button_held(guint state) {
  return (state & (GDK_BUTTON1_MASK | GDK_BUTTON2_MASK | GDK_BUTTON3_MASK)) != 0;
}

// A press selected `handle` (-1: none): the plot takes the keyboard.
void take_focus(GtkWidget* widget, bool eq, int ch, int handle) {
  state_of(eq, ch).selected = handle;
  gtk_widget_set_can_focus(widget, TRUE);
  gtk_widget_grab_focus(widget);
  show_filter_readout(eq, ch, handle);
}

// Which handles Tab may select; returns their number.
int handle_states(bool eq, int ch, bool active[6]) {
  if (!eq) {
    active[0] = true;
    active[1] = preset.channel[ch].xo[1].config != 0;
    return 2;
  }
  for (int b = 0; b < 6; ++b) active[b] = peq_band_on(ch, b);
  return 6;
}

// A step of band b or crossover filter k, through the spin button it sets.
void step_band(int ch, int b, const plot_key_t& key) {
  const plot_step_t s = peq_step(preset.channel[ch].peq[b], key);
  GtkWidget* const spin[] = {nullptr, peq_spin_freq[ch][b], peq_spin_gain[ch][b],
                             peq_spin_q[ch][b]};
  if (s.field != plot_step_field::none) set_spin(spin[static_cast<int>(s.field)], s.value);
}

void step_filter(int ch, int k, const plot_key_t& key) {
  const plot_step_t s = xo_step(preset.channel[ch].xo[k], key);
  if (s.field == plot_step_field::frequency) set_spin(spin_button_crossover[k][ch], s.value);
}

// The keysym of the pressed key as it reads without Shift.
guint unshifted_keysym(GtkWidget* widget, const GdkEventKey* e) {
  guint keyval = 0;
  GdkKeymap* keymap = gdk_keymap_get_for_display(gtk_widget_get_display(widget));
  const auto state = static_cast<GdkModifierType>(e->state & ~GDK_SHIFT_MASK);
  if (gdk_keymap_translate_keyboard_state(keymap, e->hardware_keycode, state, e->group, &keyval,
                                          nullptr, nullptr, nullptr))
    return keyval;
  return e->keyval;
}

// A press with another button than the left one moves nothing; the right
// button offers the plot's menu.
gboolean offer_plot_menu(GdkEventButton* event, int ch, bool eq) {
  if (event->button == 3 && event->type == GDK_BUTTON_PRESS)
    popup_channel_menu(plot_menu(ch, eq), event);
  return TRUE;
}

// ---- Extra curves and their legend ----

// The legend as markup, shown whenever its plain text is the status bar's
// top message ([0] crossover, [1] EQ status bar).
std::string legend_markup[2];
constexpr const char* LEGEND_CONTEXT = "curve legend";
// The channels' responses and predictions of the last redraws.
plot_cache_t cache;

std::string escaped(const std::string& text) {
  gchar* e = g_markup_escape_text(text.c_str(), -1);
  const std::string result = e;
  g_free(e);
  return result;
}

// A line sample in the curve's colour (dashed for a dashed curve), then the
// legend text.
std::string legend_entry(const plot_legend_entry_t& e) {
  const plot_rgb_t c = e.colour;
  gchar* sample = g_strdup_printf(
      "<span foreground=\"#%02x%02x%02x\">%s</span> ", static_cast<int>(c.r * 255 + 0.5),
      static_cast<int>(c.g * 255 + 0.5), static_cast<int>(c.b * 255 + 0.5),
      e.dashed ? "\u254d\u254d" : "\u2501\u2501");
  const std::string result = sample + escaped(e.text);
  g_free(sample);
  return result;
}

// The legend of the shown plot's extra curves in its page's status bar,
// replacing the one shown; none when it has none.
void show_curve_legend(bool eq, const std::vector<plot_legend_entry_t>& legend) {
  GtkWidget* bar = eq ? statusbar_peq : statusbar_xo;
  if (!bar) return;
  std::string text, markup;
  for (const plot_legend_entry_t& e : legend) {
    const char* gap = text.empty() ? "" : "     ";
    text += gap + e.text;
    markup += gap + legend_entry(e);
  }
  if (markup == legend_markup[eq]) return;
  const guint id = gtk_statusbar_get_context_id(GTK_STATUSBAR(bar), LEGEND_CONTEXT);
  gtk_statusbar_pop(GTK_STATUSBAR(bar), id);
  legend_markup[eq] = markup;
  if (!text.empty()) gtk_statusbar_push(GTK_STATUSBAR(bar), id, text.c_str());
}

// "text-pushed" and "text-popped", after the status bar has shown the text.
void legend_in_colour(GtkStatusbar* bar, guint context, gchar*, gpointer eq) {
  const std::string& markup = legend_markup[GPOINTER_TO_INT(eq) ? 1 : 0];
  if (context == gtk_statusbar_get_context_id(bar, LEGEND_CONTEXT) && !markup.empty())
    gtk_label_set_markup(GTK_LABEL(bar->label), markup.c_str());
}

bool shown_page(bool eq, int ch) {
  GtkWidget* book = eq ? notebook_peq : notebook_xo;
  return book && gtk_notebook_get_current_page(GTK_NOTEBOOK(book)) == ch;
}

// The extra curves of channel ch's plot, composed from the record and the
// loaded measurements; the legend follows when its page is shown.
void compose(bool eq, int ch) {
  plot_state_t& s = state_of(eq, ch);
  plot_sources_t sources;
  sources.preset = &preset;
  for (int c = 0; c < 4; ++c) sources.measurement[c] = loaded_measurement(c);
  s.choice.eq = eq;
  compose_plot(ch, s.choice, sources, s.content, &cache);
  if (shown_page(eq, ch)) show_curve_legend(eq, s.content.legend);
}

void redraw_plot(const plot_state_t& s) {
  for (GtkWidget* w : {s.area, s.frequency_strip, s.level_strip})
    if (w) gtk_widget_queue_draw(w);
}

// The channels a plot's curves depend on.
unsigned plot_depends_on(bool eq, int ch) {
  const plot_choice_t& c = state_of(eq, ch).choice;
  return (1u << ch) | (eq && c.sum_with >= 0 ? 1u << c.sum_with : 0u);
}

// A redraw when the plot gains or loses the keyboard: the focus line and the
// selection ring show while it has it.
gboolean plot_focus_changed(GtkWidget* widget, GdkEventFocus*, gpointer) {
  gtk_widget_queue_draw(widget);
  return FALSE;
}

// The view's share of a plot's state: the extra curves, the view and the
// focus.
template <typename View>
void add_state(View& v, GtkWidget* widget, bool eq, int ch) {
  compose(eq, ch);
  const plot_state_t& s = state_of(eq, ch);
  v.extra = s.content.extra;
  v.mode = s.choice.mode;
  v.phase = s.content.phase.empty() ? nullptr : s.content.phase.data();
  v.selected = s.selected;
  v.focused = gtk_widget_has_focus(widget);
}

}  // namespace

void reset_plot_selection() {
  for (auto& row : plots)
    for (plot_state_t& s : row) s = plot_state_t{};
  legend_markup[0].clear();
  legend_markup[1].clear();
  cache.forget();
}

void register_plot(bool eq, int ch, GtkWidget* area, GtkWidget* frequency_strip,
                   GtkWidget* level_strip) {
  if (ch < 0 || ch > 3) return;
  plot_state_t& s = state_of(eq, ch);
  s.area = area;
  s.frequency_strip = frequency_strip;
  s.level_strip = level_strip;
  s.choice.eq = eq;
  for (const char* signal : {"focus-in-event", "focus-out-event"})
    g_signal_connect(area, signal, G_CALLBACK(plot_focus_changed), nullptr);
}

plot_choice_t plot_choice(bool eq, int ch) {
  return ch >= 0 && ch < 4 ? state_of(eq, ch).choice : plot_choice_t{};
}

void set_plot_choice(bool eq, int ch, const plot_choice_t& choice) {
  const int n = static_cast<int>(std::min(mv_type, 4u));
  if (ch < 0 || ch >= n) return;
  plot_state_t& s = state_of(eq, ch);
  s.choice = choice;
  s.choice.eq = eq;
  int& with = s.choice.sum_with;
  if (!eq || with < 0 || with >= n || with == ch) with = -1;
  if (!eq) s.choice.total = false;
  if (shown_page(eq, ch)) compose(eq, ch);
  redraw_plot(s);
}

void plots_follow_record(unsigned changed, bool restored) {
  const int n = static_cast<int>(std::min(mv_type, 4u));
  for (bool eq : {false, true})
    for (int ch = 0; ch < n; ++ch)
      if (plot_depends_on(eq, ch) & changed) redraw_plot(state_of(eq, ch));
  if (!restored) return;
  // The readout and the tools' messages of before the undo or redo are gone;
  // the selected filter of the shown plot shows its values as they are now.
  for (bool eq : {false, true}) {
    show_readout(eq, "");
    GtkWidget* book = eq ? notebook_peq : notebook_xo;
    const int ch = book ? gtk_notebook_get_current_page(GTK_NOTEBOOK(book)) : -1;
    if (ch >= 0 && ch < n) show_filter_readout(eq, ch, state_of(eq, ch).selected);
  }
  clear_tool_messages();
}

void plots_follow_measurement(int ch) {
  cache.forget();
  const int n = static_cast<int>(std::min(mv_type, 4u));
  for (bool eq : {false, true})
    for (int c = 0; c < n; ++c)
      if (plot_depends_on(eq, c) & (1u << ch)) {
        if (shown_page(eq, c)) compose(eq, c);
        redraw_plot(state_of(eq, c));
      }
}

void colour_curve_legend(GtkWidget* bar) {
  const gpointer eq = GINT_TO_POINTER(bar == statusbar_peq ? 1 : 0);
  for (const char* signal : {"text-pushed", "text-popped"})
    g_signal_connect_after(bar, signal, G_CALLBACK(legend_in_colour), eq);
}

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
  add_state(v, widget, false, ch);
  paint(widget, event, [&](cairo_t* cr) { draw_xo_plot(cr, v); });
  return FALSE;
}

gboolean change_curve_first_press_xo(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  if (event->button != 1) return offer_plot_menu(event, ch, false);
  const int16_t px = event_coord(event->x);
  const bool lp_off = preset.channel[ch].xo[1].config == 0;
  xo_select = xo_press_choice(x[0][ch], x[1][ch], px, lp_off);
  move_xo(ch, px);
  take_focus(widget, false, ch, xo_select);
  gtk_widget_queue_draw(widget);
  return TRUE;
}

gboolean change_curve_xo(GtkWidget*, GdkEventMotion* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  if (!(event->state & GDK_BUTTON1_MASK)) {
    show_pointer_readout(false, ch, event->x, event->y);
    return TRUE;
  }
  move_xo(ch, event_coord(event->x));
  show_filter_readout(false, ch, xo_select);
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
  add_state(v, widget, true, ch);
  paint(widget, event, [&](cairo_t* cr) { draw_eq_plot(cr, v); });
  return FALSE;
}

gboolean change_curve_first_press(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  if (event->button != 1) return offer_plot_menu(event, ch, true);
  bool off[6];
  for (int b = 0; b < 6; ++b) off[b] = !peq_band_on(ch, b);
  const peq_press_t choice = peq_press_choice(x_peq[ch], off, event_coord(event->x));
  peq_select = choice.band;
  count_off = choice.count_off;
  const bool moves = peq_press_moves(count_off);
  if (moves) move_peq(ch, event_coord(event->x), event_coord(event->y), phase_view(true, ch));
  take_focus(widget, true, ch, moves ? peq_select : -1);
  gtk_widget_queue_draw(widget);
  return TRUE;
}

gboolean change_curve(GtkWidget*, GdkEventMotion* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  if (!(event->state & GDK_BUTTON1_MASK)) {
    show_pointer_readout(true, ch, event->x, event->y);
    return TRUE;
  }
  if (!peq_press_moves(count_off)) return FALSE;
  move_peq(ch, event_coord(event->x), event_coord(event->y), phase_view(true, ch));
  show_filter_readout(true, ch, peq_select);
  return TRUE;
}

// ---- Keys, wheel and leaving, on both plots ----

gboolean plot_key_press(GtkWidget* widget, GdkEventKey* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch < 0) return FALSE;
  const bool eq = is_eq_plot(widget, ch);
  const plot_key_t key = plot_key(unshifted_keysym(widget, event), event->state & GDK_SHIFT_MASK,
                                  event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK));
  if (key.action == plot_key_action::ignore) return FALSE;
  if (key.action == plot_key_action::swallow) return TRUE;
  int& selected = state_of(eq, ch).selected;
  bool active[6];
  const int count = handle_states(eq, ch, active);
  if (key.action == plot_key_action::select_next ||
      key.action == plot_key_action::select_previous) {
    selected = next_handle(selected, active, count, key.action == plot_key_action::select_next);
    gtk_widget_queue_draw(widget);
  } else if (selected >= 0 && selected < count && active[selected]) {
    (eq ? step_band : step_filter)(ch, selected, key);
  }
  show_filter_readout(eq, ch, selected);
  return TRUE;
}

gboolean peq_plot_scroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  const int ch = plot_channel(data);
  const bool up = event->direction == GDK_SCROLL_UP;
  if (ch < 0 || (!up && event->direction != GDK_SCROLL_DOWN)) return FALSE;
  int16_t column[6], row[6];
  bool peaking[6];
  for (int b = 0; b < 6; ++b) {
    column[b] = clamp_peq_handle_column(x_peq[ch][b]);
    row[b] = clamp_peq_handle_row(y_peq[ch][b]);
    peaking[b] = peq_band_on(ch, b) && preset.channel[ch].peq[b].type == 0;
  }
  const int b = wheel_band(column, row, peaking, event->x, event->y);
  if (b < 0) return FALSE;
  step_band(ch, b, wheel_step(up, event->state & GDK_SHIFT_MASK));
  show_filter_readout(true, ch, b);
  return TRUE;
}

gboolean plot_pointer_left(GtkWidget* widget, GdkEventCrossing* event, gpointer data) {
  const int ch = plot_channel(data);
  if (ch >= 0 && !button_held(event->state)) show_readout(is_eq_plot(widget, ch), "");
  return FALSE;
}

// ---- Axis strips ----

gboolean expose_draw_text(GtkWidget* widget, GdkEventExpose* event, gpointer data) {
  const AxisStrip strip = GPOINTER_TO_INT(data) == 1 ? AxisStrip::level : AxisStrip::frequency;
  // The level strip of a plot in the phase view shows degrees.
  plot_view_mode mode = plot_view_mode::level;
  for (const auto& row : plots)
    for (const plot_state_t& s : row)
      if (s.level_strip == widget) mode = s.choice.mode;
  paint(widget, event, [&](cairo_t* cr) { draw_axis_strip(cr, strip, mode); });
  return FALSE;
}
