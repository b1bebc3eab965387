// Menu bar, toolbar and the close flow of the main window (the globals and
// the handlers shared with other modules are declared in app.h).
#pragma once

#include <gtk/gtk.h>

// Builds the menu bar, creates `accel_group` and attaches it to
// `window_main`, packs a separator and the menu bar at the start of
// `box_main`. The arguments are not used.
GtkWidget* create_menubar(GtkWidget* window, GtkWidget* box, GtkWidget* unused);
// Builds the toolbar and packs it (in `hbox_toolbar`) and a separator below
// the menu bar.
void Create_Menushortcuts();

// The close flow. mode 0 or 1 quits the application, 2 is the editor
// window's title-bar button, 3 the Close command. When an open preset has
// unsaved work, asks "Save Preset?" while the editor is still open; Cancel,
// closing the question, a cancelled Save As or a failed save keep
// everything open. Returns whether the editor (and in quit mode the
// application) was closed.
bool close_flow(int mode);

// Set when the close flow ended the application; gtk_main_quit is only
// called when a main loop runs.
extern bool app_quit_requested;

// Destroys the editor window if one is open, with its window-state handler
// on the main window; `window_preset` and `notebook` become null.
void destroy_editor();

// Asks "Save Preset?" (Cancel, No, Yes); returns the response.
gint ask_save_preset();
