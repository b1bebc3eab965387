// The editing operations: "changed", "value-changed" and "toggled" handlers
// of the editor's controls. Each reads its widget, applies the editing rule
// (editing.h) to `preset`, updates the widgets that depend on the value and
// asks the drawings that show it to redraw. An operation that changes the
// record marks the preset unsaved. User data: the channel index for
// per-channel widgets.
#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// ---- Names ----
void change_entry(GtkWidget* widget, gpointer data);         // preset name
void change_channel_name(GtkWidget* widget, gpointer data);  // ch_name[ch]
// Channel ch's name from the record in the four headings that show it.
void show_channel_captions(int ch);

// "insert-text" filter of the name entries (user data: the field's length
// in characters, 12 or 9): refuses, with a beep, input that has no record
// byte or whose written form would not fit the preset file, so the entry
// always shows what the record holds. A refusal, or input cut because the
// name is full, is said in the field's notice line (data "name notice" of
// the entry, a label) or else in the status bar of its editor page.
void name_insert_text(GtkEditable* editable, gchar* new_text, gint new_text_length, gint* position,
                      gpointer data);
// Connects name_insert_text to a name entry of `max_len` characters, and a
// paste guard: a paste the field would refuse changes nothing, also over a
// selection.
void guard_name_entry(GtkWidget* entry, size_t max_len);

// ---- Channel Setup ----
void change_channel_gain(GtkWidget* widget, gpointer data);  // spinner_gain[ch]
void change_vscale(GtkWidget* widget, gpointer data);        // vscale[ch]
void mute(GtkWidget* widget, gpointer data);                 // button_mute[ch]
void change_mute_group(GtkWidget* widget, gpointer data);    // combo_mute[ch]
void change_lvl_group(GtkWidget* widget, gpointer data);     // combo_lvl[ch]
void change_routing(GtkWidget* widget, gpointer data);       // combobox_rout[ch]; combo_input (0)
void change_phase(GtkWidget* widget, gpointer data);         // combobox[ch]

// Lock check boxes; user data 0 routing (0x10), 1 crossover (0x04),
// 2 EQ (0x02), 3 limiter (0x08), 4 delay (0x01), 5 mute/level link (0x20).
void change_lock(GtkWidget* widget, gpointer data);
// The lock bit of a change_lock user data; 0 for data above 5.
uint8_t lock_mask_of(int data);

// Makes the level, polarity, routing and group controls of every shown
// channel insensitive exactly while its Mute button is pressed.
void update_mute_sensitivity();

// ---- Crossover and Parametric EQ ----
// Each stores the filter, recomputes its curves, keeps the handle positions
// (x, x_peq, y_peq), xo_select and aktiv[1] current and redraws that
// channel's plot. The EQ operations find the band from the emitting widget.
void change_xo_freq(GtkWidget* widget, gpointer data);   // spin_button_crossover[k][ch]
void change_xo_type(GtkWidget* widget, gpointer data);   // combobox_crossover[k][ch]
void change_peq_freq(GtkWidget* widget, gpointer data);  // peq_spin_freq[ch][b]
void change_peq_type(GtkWidget* widget, gpointer data);  // peq_combo[ch][b]
void change_peq_q(GtkWidget* widget, gpointer data);     // peq_spin_q[ch][b]
void change_peq_gain(GtkWidget* widget, gpointer data);  // peq_spin_gain[ch][b]

// ---- Limiter ----
void change_limiter_attack(GtkWidget* widget, gpointer data);
void change_limiter_release(GtkWidget* widget, gpointer data);
void change_limiter_threshold(GtkWidget* widget, gpointer data);
void change_limiter_gain(GtkWidget* widget, gpointer data);

// ---- Delay ----
void change_delay(GtkWidget* widget, gpointer data);       // spin_button_delay[ch]
void change_delay_unit(GtkWidget* widget, gpointer data);  // combo_delay

// "input" handler of the delay spin buttons: when their text is still the
// one they print for the value they hold, they keep that value instead of
// re-reading the rounded text.
gint delay_spin_input(GtkSpinButton* spin, gdouble* new_value, gpointer data);

// Runs `edit`, which changes `preset` for one user action made outside the
// fields (a copy between channels, an import), as one change of the record,
// one undo step called `name` ("copy of the EQ of A to B"): the preset is
// marked unsaved when the record differs afterwards. The caller shows the
// result (show_record_in_editor).
void run_as_one_change(const std::string& name, const std::function<void()>& edit);
