// Application shell: the main window, its menu bar and toolbar, the window
// factory and the handlers that keep an editor window in step with the
// main window. Shared by the editor, the file dialogs and the wizard.
#pragma once

#include <gtk/gtk.h>

// ---- Main window (built once at start-up) ----
extern GtkWidget* window_main;
extern GtkWidget* box_main;
extern GtkWidget* event_box;
extern GtkWidget* statusbar_main;
extern GtkAccelGroup* accel_group;

// 1 when the open preset was produced by the wizard.
extern int generated;

// ---- Menu bar and toolbar ----
extern GtkWidget* widget_menubar;
extern GtkWidget *datei, *help, *neu, *sub_menu, *mv517, *mv961, *generate_preset;
extern GtkWidget *oeffnen, *speichern, *speichern_u, *schliessen, *beenden;
// "Print...": the preset sheet; sensitive exactly when Save As is.
extern GtkWidget* drucken;
extern GtkWidget *info, *how_to_use;
extern GtkWidget *toolbar1, *hbox_toolbar;
extern GtkWidget *toolbutton_mv517, *toolbutton_mv961, *toolbutton_wizard;

// The three application states and the command sensitivities of each.
enum app_state_t { APP_IDLE, APP_WIZARD, APP_EDITING };
void set_command_state(app_state_t state);

// Whether the open preset differs from the state last saved or opened: Save
// is sensitive exactly while it does and the preset already has a file.
void set_preset_unsaved(bool unsaved);

// Builds the whole main window (menu bar, toolbar, banner, status bar).
void build_main_window();

// Window factory: size request (-1 natural), title, and `ident` choosing
// the "delete-event" handler (0/1 quit, 2 editor window, 3 none).
GtkWidget* make_window(int width, int height, const char* title, int ident);

gboolean window_state(GtkWidget* widget, GdkEventWindowState* event, gpointer data);
void win_mapping(GtkWidget* widget, gpointer data);
void notebook_mapped(GtkWidget* widget, gpointer data);

// The 80x80 application icon (a new reference).
GdkPixbuf* app_icon();

// Commands.
void neu_default(GtkWidget* widget, gpointer data);
void close_func(GtkWidget* widget, int mode);
void close_schliessen(GtkWidget* widget, gpointer data);
gboolean close_window(GtkWidget* widget, GdkEvent* event, gpointer data);
void show_info(GtkWidget* widget, gpointer data);
void other_options(GtkWidget* widget, gpointer data);
