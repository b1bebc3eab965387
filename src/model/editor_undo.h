// Undo and redo in the open editor. Every change of the record runs inside
// an edit scope (the editing operations' record_change guard); scopes nest,
// and the outermost one is one step of the editor's history. A mouse
// gesture on a plot, a spin button's arrows or the fader (button 1 or 2,
// press to release) is one scope around everything it changes. The history
// belongs to the open editor: each build of an editor starts a new one.
// When any scope ends, the partner of a stereo-linked channel makes the
// same change (follow_links of stereo_link.h) within the scope, so an edit
// and its partner's are one step, and a drag moves both at each motion.
#pragma once

#include <gtk/gtk.h>

#include <string>

// ---- For the editing operations ----
void edit_scope_begin();
// The outermost scope records its change, if any, and shows whether the
// preset now differs from the state last saved or opened (Save).
void edit_scope_end();
// Names the step of the open outermost scope by the action that makes it
// ("filter import into Out A"); without a name a step is called what it
// changed ("settings of Out A").
void edit_scope_name(const std::string& name);

// ---- For the editor's life ----
// A new history over `preset` as the editor `window` was built (its saved
// state). Groups the gestures on the editor's spin buttons, ranges and
// drawing areas; Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y on `accel_group`.
void editor_history_start(GtkWidget* window);
// The editor is gone, and its history with it.
void editor_history_stop();
// The open preset was written to its file: the saved state from now on.
void editor_history_saved();

// ---- For commands and menus ----
bool editor_can_undo();
bool editor_can_redo();
// "Undo EQ band 3 of Out B", "Redo level of Out A, B"; "Undo" and "Redo"
// when there is nothing to take back or do again.
std::string editor_undo_label();
std::string editor_redo_label();
// Restores the record before the last step (after the next one), shows it
// in every widget, curve and diagram of the editor without storing it
// again, and sets Save from the saved state. A value typed into the focused
// spin button and not yet taken is a step of its own first.
void editor_undo();
void editor_redo();
