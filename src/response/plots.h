// The response plots of the Crossover and Parametric EQ pages: expose
// handlers that draw the curve tables and handles through the draw layer,
// press and drag handlers that move a filter by setting its spin buttons
// (whose editing operations store the values and recompute the curves),
// and the axis strips. User data: the channel index (0 or 1 for the axis
// strips: frequency or level).
#pragma once

#include <gtk/gtk.h>

// Crossover plot, drawing_area_xo[ch].
gboolean on_expose_event_xo(GtkWidget* widget, GdkEventExpose* event, gpointer data);
gboolean change_curve_first_press_xo(GtkWidget* widget, GdkEventButton* event, gpointer data);
gboolean change_curve_xo(GtkWidget* widget, GdkEventMotion* event, gpointer data);

// EQ plot, drawing_area_peq[ch].
gboolean on_expose_event(GtkWidget* widget, GdkEventExpose* event, gpointer data);
gboolean change_curve_first_press(GtkWidget* widget, GdkEventButton* event, gpointer data);
gboolean change_curve(GtkWidget* widget, GdkEventMotion* event, gpointer data);

// Both plots. A press selects the handle it moves (drawn with a ring) and
// gives the plot the keyboard: Tab / Shift+Tab select the next or previous
// handle, Left / Right move it by a plot column (Shift: ten), Up / Down
// change an EQ band's gain by 0.1 dB (Shift: 1 dB), "+" / "-" a peaking
// band's Q by 0.1 (Shift: 1). The wheel over a peaking band's handle changes
// its Q (Shift: its gain). Every change goes through the filter's spin
// buttons. While the pointer is over a plot, the page's status bar shows
// what lies under it; during a drag, a key or a wheel change, the filter's
// stored values.
gboolean plot_key_press(GtkWidget* widget, GdkEventKey* event, gpointer data);
gboolean peq_plot_scroll(GtkWidget* widget, GdkEventScroll* event, gpointer data);
gboolean plot_pointer_left(GtkWidget* widget, GdkEventCrossing* event, gpointer data);
// Forgets the selected handles and the extra curves (a new editor shows no
// ring and no extra curve).
void reset_plot_selection();

// Only the left button moves a handle; a right-click on a plot offers its
// menu (plot_menu of channel_menus.h).

// The extra curves of channel ch's EQ plot: its total response (crossover
// times EQ) and its sum with channel `sum_with` (-1: none), computed from the
// record whenever the plot is drawn. While the shown EQ plot has any, the
// status bar of the Parametric EQ tab carries their legend line, each
// curve's colour before its text.
struct eq_extra_curves_t {
  bool total = false;
  int sum_with = -1;
};
eq_extra_curves_t eq_extra_curves(int ch);
void set_eq_extra_curves(int ch, const eq_extra_curves_t& curves);
// Lets `bar` (the Parametric EQ status bar) show the legend in colour.
void colour_curve_legend(GtkWidget* bar);

// Axis strips: user data 0 the frequency strip, 1 the level strip.
gboolean expose_draw_text(GtkWidget* widget, GdkEventExpose* event, gpointer data);
