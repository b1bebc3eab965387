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

// Axis strips: user data 0 the frequency strip, 1 the level strip.
gboolean expose_draw_text(GtkWidget* widget, GdkEventExpose* event, gpointer data);
