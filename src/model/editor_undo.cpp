#include "model/editor_undo.h"

#include <gdk/gdkkeysyms.h>

#include <cstring>

#include "editor/channel_links.h"
#include "editor/preset_verwaltung.h"
#include "model/preset.h"
#include "model/stereo_link.h"
#include "model/undo_history.h"
#include "response/plots.h"
#include "shell/app.h"

namespace {

undo_history history;
bool history_open = false;  // an editor is open
preset_t shown_to_plots;    // the record the plots last followed
int depth = 0;              // edit scopes open
preset_t before_scope;      // the record when the outermost scope began
preset_t linked_from;       // the record the stereo links last followed
std::string scope_name;     // what the action of the outermost scope is called
bool gesture = false;       // a press-to-release scope is open

// Takes a value typed into the focused spin button (its own step).
void take_typed_value() {
  GtkWidget* focus = window_preset ? gtk_window_get_focus(GTK_WINDOW(window_preset)) : nullptr;
  if (focus && GTK_IS_SPIN_BUTTON(focus)) gtk_spin_button_update(GTK_SPIN_BUTTON(focus));
}

// The channels whose values (or mute) differ between two records.
unsigned changed_channels(const preset_t& a, const preset_t& b) {
  unsigned changed = 0;
  for (int ch = 0; ch < 4; ++ch)
    if (std::memcmp(&a.channel[ch], &b.channel[ch], sizeof a.channel[ch]) != 0 ||
        ((a.mute ^ b.mute) >> ch & 1))
      changed |= 1u << ch;
  return changed;
}

// Every plot whose curves depend on a channel that changed since they last
// followed the record is redrawn.
void plots_follow(bool restored) {
  const unsigned changed = changed_channels(shown_to_plots, preset);
  std::memcpy(&shown_to_plots, &preset, sizeof preset);
  if (changed || restored) plots_follow_record(changed, restored);
}

// The partner of every linked channel changed since the links last followed
// makes the same change, within the scope, and shows it. Run at the end of
// every scope, also the inner ones of a gesture: the partner follows a drag
// at each motion.
void follow_stereo_links() {
  if (const unsigned links = editor_links())
    if (const unsigned changed = follow_links(linked_from, preset, links))
      show_record_in_editor(changed);
  std::memcpy(&linked_from, &preset, sizeof preset);
}

void gesture_end() {
  if (!gesture) return;
  gesture = false;
  edit_scope_end();
}

bool drag_button(const GdkEventButton& b) {
  return b.button == 1 || b.button == 2;
}

// "event": a press of a dragging button opens the gesture before any
// handler of the press runs.
gboolean gesture_press(GtkWidget*, GdkEvent* event, gpointer) {
  if (event->type == GDK_BUTTON_PRESS && drag_button(event->button) && !gesture) {
    take_typed_value();
    gesture = true;
    edit_scope_begin();
  }
  return FALSE;
}

// "event-after": the release (after the widget's own release handler,
// which may still change the value), or a lost grab, closes it.
void gesture_release(GtkWidget*, GdkEvent* event, gpointer) {
  if (event->type == GDK_GRAB_BROKEN ||
      (event->type == GDK_BUTTON_RELEASE && drag_button(event->button)))
    gesture_end();
}

void follow_gestures(GtkWidget* w, gpointer) {
  if (GTK_IS_SPIN_BUTTON(w) || GTK_IS_RANGE(w) || GTK_IS_DRAWING_AREA(w)) {
    gtk_widget_add_events(w, GDK_BUTTON_RELEASE_MASK);
    g_signal_connect(w, "event", G_CALLBACK(gesture_press), nullptr);
    g_signal_connect(w, "event-after", G_CALLBACK(gesture_release), nullptr);
  } else if (GTK_IS_CONTAINER(w)) {
    gtk_container_foreach(GTK_CONTAINER(w), follow_gestures, nullptr);
  }
}

gboolean undo_key(GtkAccelGroup*, GObject*, guint, GdkModifierType, gpointer redo) {
  if (!history_open) return FALSE;
  if (redo)
    editor_redo();
  else
    editor_undo();
  return TRUE;
}

void connect_accelerators() {
  static GtkAccelGroup* connected = nullptr;
  if (!accel_group || connected == accel_group) return;
  const auto ctrl = GDK_CONTROL_MASK;
  const auto ctrl_shift = static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SHIFT_MASK);
  const struct {
    guint key;
    GdkModifierType mods;
    bool redo;
  } keys[] = {{GDK_KEY_z, ctrl, false}, {GDK_KEY_z, ctrl_shift, true}, {GDK_KEY_y, ctrl, true}};
  for (const auto& k : keys)
    gtk_accel_group_connect(accel_group, k.key, k.mods, static_cast<GtkAccelFlags>(0),
                            g_cclosure_new(G_CALLBACK(undo_key), GINT_TO_POINTER(k.redo), nullptr));
  connected = accel_group;
}

void step(bool back) {
  if (!history_open) return;
  take_typed_value();
  gesture_end();
  if (depth != 0) return;  // asked from inside an editing operation
  const preset_t* r = back ? history.undo() : history.redo();
  if (!r) return;
  // Only the channels the step changed show anything new (a mute also
  // changes the sensitivity of its channel's controls).
  const unsigned changed = changed_channels(preset, *r);
  std::memcpy(&preset, r, sizeof preset);
  show_record_in_editor(changed);
  set_preset_unsaved(history.unsaved(preset));
  plots_follow(true);
}

std::string label(const char* verb, const std::string& name) {
  return name.empty() ? verb : std::string(verb) + " " + name;
}

}  // namespace

void edit_scope_begin() {
  if (depth++ == 0) {
    std::memcpy(&before_scope, &preset, sizeof preset);
    std::memcpy(&linked_from, &preset, sizeof preset);
    scope_name.clear();
  }
}

void edit_scope_name(const std::string& name) {
  if (depth > 0) scope_name = name;
}

void edit_scope_end() {
  if (depth == 0) return;
  --depth;
  follow_stereo_links();
  if (history_open) plots_follow(false);
  // Save follows each operation, also inside a gesture; the step is
  // recorded when the outermost scope ends.
  if (depth > (gesture ? 1 : 0)) return;
  if (std::memcmp(&before_scope, &preset, sizeof preset) == 0) return;
  if (depth == 0 && history_open) history.record(before_scope, preset, scope_name);
  set_preset_unsaved(!history_open || history.unsaved(preset));
}

void editor_history_start(GtkWidget* window) {
  history.start(preset);
  std::memcpy(&shown_to_plots, &preset, sizeof preset);
  history_open = true;
  depth = 0;
  gesture = false;
  connect_accelerators();
  follow_gestures(window, nullptr);
}

void editor_history_stop() {
  history = undo_history();
  history_open = false;
  depth = 0;
  gesture = false;
}

void editor_history_saved() {
  if (history_open) history.saved(preset);
}

bool editor_can_undo() {
  return history_open && history.can_undo();
}

bool editor_can_redo() {
  return history_open && history.can_redo();
}

std::string editor_undo_label() {
  return label("Undo", history_open ? history.undo_name() : "");
}

std::string editor_redo_label() {
  return label("Redo", history_open ? history.redo_name() : "");
}

void editor_undo() {
  step(true);
}

void editor_redo() {
  step(false);
}
