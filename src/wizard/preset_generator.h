// The preset wizard: a four-page assistant that leads from an operating mode
// and a choice of loudspeakers (or one of the two built-in factory presets)
// to a complete MV517 preset, which Apply opens in the editor on its System
// tab. Step Four can write and show an HTML summary of the selection.
//
// The page rules (which toggle may be chosen, when a page is complete, what
// the selection word holds) are those of wizard/selection.h: the handlers
// feed each press into the page model and copy the model into the widgets.
#pragma once

#include <gtk/gtk.h>

#include <string>

// ---- Widgets: created anew by every start, null while no wizard exists ----
extern GtkWidget* wizard;                             // the assistant
extern GtkWidget *vboxw1, *vboxw2, *vboxw3, *vboxw4;  // Steps One to Four
// Step One
extern GtkWidget *eventbox_mv517, *image_mv517img;
// Step Two
extern GtkWidget *toggle_sat, *toggle_fullrange, *toggle_barray, *toggle_monitor;
extern GtkWidget* combo_factory;  // "None", "FPreset 1", "FPreset 2"
// Step Three, rebuilt on every entry (null before the first)
extern GtkWidget* hbox_mode;
extern GtkWidget *toggle_rs1, *toggle_rs2, *toggle_rs3, *toggle_rs4, *toggle_rs5;
extern GtkWidget *toggle_rx1, *toggle_rx2, *toggle_rx3;
extern GtkWidget *combo_rs1, *combo_rs2, *combo_rs3, *combo_rs4, *combo_rs5;  // "1x", "2x"
extern GtkWidget *frame_top, *frame_bass;
// Step Four
extern GtkWidget* entry_pname;     // preset name, at most 12 characters
extern GtkWidget* combo_ingen;     // input mode: "Analog", "Digital"
extern GtkWidget* check_lock_wiz;  // "Lock Preset"
extern GtkWidget* button_show;     // "Show Selection"

// ---- Start and construction ----

// "activate" of "Preset Wizard" and "clicked" of "Preset-Wizard": starts the
// wizard in the Wizard state of the commands, over a default preset.
void preset_generator(GtkWidget* widget, gpointer data);
// Creates the assistant (create_wizard) and Steps One, Two and Four.
void create_all_generator_widgets();
// The assistant titled "Preset-Wizard" with its four pages, their types and
// titles, the forward-page function and the handlers; size request = width
// and height truncated (-1: natural size).
GtkWidget* create_wizard(double width, double height);

// ---- Handlers ----

// Forward-page function: the page Forward leads to from `current_page`
// (reads the factory selector).
gint assistant_forward(gint current_page, gpointer data);
// "prepare": run before a page is shown.
void next_page(GtkWidget* assistant, GtkWidget* page, gpointer data);
inline void next_page(GtkAssistant* assistant, GtkWidget* page, gpointer data) {
  next_page(GTK_WIDGET(assistant), page, data);
}
// 2: builds Step Three for the chosen mode; 3: the loudspeaker bits of
// `tree_select`.
void prepare_next_page(int page);
// "button-press-event" of the twelve toggles; item 1 SAT, 2 Fullrange,
// 3 Bass-Array, 4 Monitor, 5..9 RS 1..RS 5, 10..12 RX 1..RX 3. A single
// press is handled here alone (returns TRUE); a double press may show
// Step Three or Step Four.
gboolean set_page(GtkWidget* widget, GdkEventButton* event, gpointer item);
inline gboolean set_page(GtkWidget* widget, GdkEventButton* event, int item) {
  return set_page(widget, event, GINT_TO_POINTER(item));
}
// "button-press-event" of the device picture on Step One: shows Step Two.
gboolean click_mv517(GtkWidget* widget, GdkEventButton* event, gpointer data);
// "changed" of the factory selector.
void change_mode(GtkWidget* combo, gpointer data);
// "cancel": back to the Idle state, the wizard destroyed, nothing opened.
void cancel(GtkWidget* widget, gpointer data);
// "close" (after Apply): the Editing state, the wizard destroyed.
gboolean destroy_wizard(GtkWidget* widget, GdkEvent* event, gpointer data);
// "apply": generates the preset and opens the MV517 editor on it.
void finish(GtkWidget* widget, gpointer data);
// "clicked" of "Show Selection": writes "Selection.html" to the working
// directory, puts the rear-panel picture beside it and shows the page.
void show_selection(GtkWidget* widget, gpointer data);

// ---- Showing the summary ----

// Hands a file URI to the desktop; false with a reason when nothing could
// show it. Replaceable (tests put a recorder here).
using selection_opener_t = bool (*)(const std::string& uri, std::string& error);
extern selection_opener_t selection_opener;
// The default opener: the desktop's default application for the file type,
// through GIO (never through a shell).
bool open_with_desktop(const std::string& uri, std::string& error);
