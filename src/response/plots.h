// The response plots of the Crossover and Parametric EQ pages: expose
// handlers that draw the curve tables and handles through the draw layer,
// press and drag handlers that move a filter by setting its spin buttons
// (whose editing operations store the values and recompute the curves),
// and the axis strips. User data: the channel index (0 or 1 for the axis
// strips: frequency or level).
#pragma once

#include <gtk/gtk.h>

#include "response/plot_content.h"

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
// Forgets every plot of the previous editor: its selected handle, view and
// extra curves (a new editor shows no ring and no extra curve).
void reset_plot_selection();

// Only the left button moves a handle; a right-click on a plot offers its
// menu (plot_menu of channel_menus.h).

// Each plot keeps its own state: the area, its axis strips, the selected
// handle and what it shows (plot_choice_t: the level or phase view, the EQ
// plot's total response and sum, the measurement and prediction toggles).
// The extra curves are composed from the record and the loaded
// measurements whenever the plot is drawn (compose_plot); while the shown
// plot has any, its page's status bar carries their legend, each curve's
// colour before its text.
//
// A plot and its strips join the editor as its page is built.
void register_plot(bool eq, int ch, GtkWidget* area, GtkWidget* frequency_strip,
                   GtkWidget* level_strip);
plot_choice_t plot_choice(bool eq, int ch);
// Sets what a plot shows and redraws it (with its strips and legend).
void set_plot_choice(bool eq, int ch, const plot_choice_t& choice);
// The record changed in the channels whose bits are set: every plot whose
// curves depend on one of them (its own channel, the channel it sums with)
// is redrawn. After an undo or a redo (`restored`) the readouts and the
// tools' messages of the status bars are refreshed as well.
void plots_follow_record(unsigned changed, bool restored);
// A channel's measurement was loaded or removed: its plots and every plot
// that sums with it are redrawn.
void plots_follow_measurement(int ch);
// Lets `bar` (the Crossover or Parametric EQ status bar) show the legend in
// colour.
void colour_curve_legend(GtkWidget* bar);

// Axis strips: user data 0 the frequency strip, 1 the level strip.
gboolean expose_draw_text(GtkWidget* widget, GdkEventExpose* event, gpointer data);
