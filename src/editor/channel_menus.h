// Right-click menus of the channel pages: on the channel tab labels of the
// Crossover and Parametric EQ notebooks, on both response plots and on the
// channel captions of the Limiter and Delay pages. They copy a section of
// the channel, or the whole channel, to other open channels; the EQ plot's
// menu also takes in a filter text and shows the plot's extra curves. Every
// change they make is one change of the record.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "model/channel_tools.h"

// "Copy <section> to" and "Copy whole channel to" (only the latter for the
// whole section), each with a submenu of the other open channels and "All
// channels".
GtkWidget* channel_menu(int ch, channel_section s);

// The menu of channel ch's crossover plot or EQ plot: "Undo <what>" and
// "Redo <what>" (insensitive when there is nothing), channel_menu of its
// section and, on the EQ plot, "Import filter settings...", "Show total
// response" and "Show sum with" (the other open channels).
GtkWidget* plot_menu(int ch, bool eq_plot);

// Pops `menu` up for a button press (null: the current event); the menu is
// destroyed once it is closed.
void popup_channel_menu(GtkWidget* menu, GdkEventButton* event);

// `label` inside a box without a window of its own, which offers
// channel_menu(ch, s) on a right-click; other presses go on to the parent
// (a notebook tab still switches pages).
GtkWidget* with_channel_menu(GtkWidget* label, int ch, channel_section s);

// Section `s` of channel `from` into the open channels whose bits are set in
// `targets`, as one change; their widgets, curves and diagrams follow, and
// the status bar of the tab shown says what was copied.
void copy_channel_to(int from, unsigned targets, channel_section s);

// The filter text in the file `path` into channel ch's six EQ bands (with
// `apply_preamp`, its preamp into the channel level) as one change, then a
// message: what was taken and rounded, or why nothing was (the line and the
// reason). Returns whether the text was taken.
bool import_filter_file(int ch, const std::string& path, bool apply_preamp);

// "Import filter settings...": a file chooser with the check button "Apply
// the preamp to the channel level" (off), then import_filter_file.
void import_filter_settings(int ch);

// Shows `text` in the status bar of the editor tab shown, as the tools'
// message (replacing the last one).
void show_tab_message(const std::string& text);
// Removes the tools' messages from every tab's status bar (an undo or redo
// made them stale).
void clear_tool_messages();
