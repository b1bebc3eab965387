// Builders of the editor's notebook pages and the frame they share; used by
// mv_start_preset only.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "editor/gtk_util.h"

// A horizontal row holding only a separator of the given width.
GtkWidget* separator_row(int width, int padding);

// The header of a page: separator, row with the bold heading and, at its
// end, the lock check button of `lock_data` (the change_lock user data)
// behind a vertical separator, then another separator. The check button
// shows the lock bit; it is set before its handler is connected, or after
// when `tick_after_connect` (change_lock then stores the bit it already
// shows). Returns the check button.
GtkWidget* add_tab_header(GtkWidget* page, const char* heading, int label_width, int box_width,
                          const char* lock_label, int lock_data, bool tick_after_connect);

// The status bar at the page's end with a separator above it; becomes
// `statusbar`. With `own_window` the bar sits in an event box, a window of
// its own: a bar whose text changes at every pointer motion is then redrawn
// within that window, without walking the rest of the page.
GtkWidget* add_tab_footer(GtkWidget* page, int separator_padding, bool own_window = false);

// A channel name of the record as UTF-8 for the widgets.
std::string channel_name_utf8(int ch);

// Sets the panel caption markup (x-large bold) of a channel name.
void set_caption_markup(GtkWidget* label, const char* utf8_name);

void build_channel_setup_page(GtkWidget* page, int mv_x);
// Forgets the Crossover and Parametric EQ widgets of the previous editor.
void reset_filter_page_globals();

void build_crossover_page(GtkWidget* page, int mv_x);
void build_peq_page(GtkWidget* page, int mv_x);
void build_limiter_page(GtkWidget* page, int mv_x);
void build_delay_page(GtkWidget* page, int mv_x);
void build_overview_page(GtkWidget* page, int mv_x);
void build_system_page(GtkWidget* page, int mv_x);
