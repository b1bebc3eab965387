// The editor window: a notebook with the tabs Overview, Channel Setup,
// Crossover, Parametric EQ, Limiter, Delay and System over the global
// `preset`, built from scratch for one device by mv_start_preset and
// destroyed by the close flow.
//
// Every widget another function touches is a global named after its role;
// per-channel widgets are indexed by channel (0 = A). All of them refer to
// the editor built last and are reset to null when the next one is built.
#pragma once

#include <gtk/gtk.h>

#include "editor/editor_tabs.h"

// ---- Window and notebook ----
extern GtkWidget* window_preset;  // null while no editor is open
extern GtkWidget* notebook;
extern GtkWidget* statusbar;  // status bar of the tab built last

// ---- Channel Setup ----
extern GtkWidget* ch_name[4];
extern GtkWidget* spinner_gain[4];
extern GtkWidget* vscale[4];
extern GtkWidget* combobox[4];  // polarity
extern GtkWidget* combobox_rout[4];
extern GtkWidget* combo_mute[4];
extern GtkWidget* combo_lvl[4];
extern GtkWidget* button_mute[4];

// ---- Lock boxes (one per tab except System) ----
extern GtkWidget* check_lock_rout;     // Overview, 0x10
extern GtkWidget* check_lock_xo;       // Crossover, 0x04
extern GtkWidget* check_lock_peq;      // Parametric EQ, 0x02
extern GtkWidget* check_lock_dyn;      // Limiter, 0x08
extern GtkWidget* check_lock_dly;      // Delay, 0x01
extern GtkWidget* check_lock_mutelvl;  // Channel Setup, 0x20

// ---- Overview and System ----
extern GtkWidget* combo_input;
extern GtkWidget* draw_area_routing;   // input routing diagram
extern GtkWidget* draw_area_routing2;  // channel signal-flow diagram
extern GtkWidget* draw_area_routing_cpy;
extern GtkWidget* draw_area_routing2_cpy;
extern GtkWidget* preset_name;
extern GtkWidget* button_generate;  // " Save Preset "

// ---- Crossover and Parametric EQ: per-channel notebooks and their tab
// labels (null while those tabs hold no channel pages) ----
extern GtkWidget* notebook_xo;
extern GtkWidget* notebook_peq;
extern GtkWidget* labels_xo[4];
extern GtkWidget* labels_peq[4];

// Crossover: [filter][channel], filter 0 = high-pass, 1 = low-pass.
extern GtkWidget* vbox_tab_xo[4];
extern GtkWidget* drawing_area_xo[4];
extern GtkWidget* spin_button_crossover[2][4];
extern GtkWidget* combobox_crossover[2][4];
extern GtkWidget* vbox_fselector[4];   // high-pass box
extern GtkWidget* vbox_fselector2[4];  // low-pass box

// Parametric EQ: [channel][band].
extern GtkWidget* vbox_tab[4];
extern GtkWidget* drawing_area_peq[4];
extern GtkWidget* peq_combo[4][6];
extern GtkWidget* peq_spin_freq[4][6];
extern GtkWidget* peq_spin_q[4][6];
extern GtkWidget* peq_spin_gain[4][6];
// Whether band b of channel ch is on: its type selector is not at "OFF".
bool peq_band_on(int ch, int b);

// The status bars of the Crossover and Parametric EQ tabs, where the plots
// show their readout.
extern GtkWidget* statusbar_xo;
extern GtkWidget* statusbar_peq;

// The axis strips of the page built last (every page has its own pair).
extern GtkWidget* draw_area_text;    // frequency, 833 x 15
extern GtkWidget* draw_area_text_y;  // level, 35 x 205

// ---- Limiter ----
extern GtkWidget* spin_button_attack[4];
extern GtkWidget* spin_button_rel[4];
extern GtkWidget* spin_button_thres[4];
extern GtkWidget* spin_button_gain[4];
extern GtkWidget* labels_l[4];

// ---- Delay ----
extern GtkWidget* spin_button_delay[4];
extern GtkWidget* label_unit[4];
extern GtkWidget* labels[4];
extern GtkWidget* combo_delay;

// Builds and shows the editor for a device given by its channel count
// (4 = MV517, 2 = MV961) over `preset`. No editor may be open.
void mv_start_preset(int mv_x);

// Shows the whole record in every widget of the open editor (delays in the
// unit the Delay tab shows), with the widgets' handlers blocked: nothing is
// stored and the preset is not marked changed. The overview texts, masks,
// plot handles and curves follow. Nothing happens without an editor.
// `channels` (bit n: channel n) limits the channels whose widgets, curves
// and plots are shown again to those that can differ from what they show.
void show_record_in_editor(unsigned channels = 0xF);

// ---- Overview diagrams (user data: the channel count) ----
gboolean expose_event_routing(GtkWidget* widget, GdkEventExpose* event, gpointer data);
gboolean expose_event_routing2(GtkWidget* widget, GdkEventExpose* event, gpointer data);
gboolean routing_press(GtkWidget* widget, GdkEventButton* event, gpointer data);
gboolean routing_press2(GtkWidget* widget, GdkEventButton* event, gpointer data);
