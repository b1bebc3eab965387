#include "model/change_preset.h"

#include <algorithm>
#include <string>

#include "editor/editor_pages.h"
#include "editor/gtk_util.h"
#include "editor/preset_verwaltung.h"
#include "model/editing.h"
#include "model/editor_undo.h"
#include "model/preset.h"
#include "response/calc_filters.h"
#include "shell/app.h"

namespace {

// The scope of an operation that may change the record: the outermost one
// is one undo step when it changed the record (restating a value the record
// already holds, as the editor build and the unit switch do, is no change)
// and sets Save from whether the preset is unsaved.
class record_change {
 public:
  record_change() { edit_scope_begin(); }
  ~record_change() { edit_scope_end(); }
  record_change(const record_change&) = delete;
  record_change& operator=(const record_change&) = delete;
};

unsigned open_channels() {
  return std::min(mv_type, 4u);
}

// The channel of a per-channel handler's user data, or -1.
int channel_of(gpointer data) {
  const int ch = GPOINTER_TO_INT(data);
  return ch >= 0 && ch < static_cast<int>(open_channels()) ? ch : -1;
}

template <typename Handler>
void block_handler(GtkWidget* w, Handler handler, int data, bool block) {
  const auto mask = static_cast<GSignalMatchType>(G_SIGNAL_MATCH_FUNC | G_SIGNAL_MATCH_DATA);
  if (block)
    g_signal_handlers_block_matched(w, mask, 0, 0, nullptr, reinterpret_cast<gpointer>(handler),
                                    GINT_TO_POINTER(data));
  else
    g_signal_handlers_unblock_matched(w, mask, 0, 0, nullptr, reinterpret_cast<gpointer>(handler),
                                      GINT_TO_POINTER(data));
}

double spin_value(GtkWidget* w) {
  return gtk_spin_button_get_value(GTK_SPIN_BUTTON(w));
}

// Shows `value` in a spin button without running its handler `handler`
// (connected with user data `data`): after a store, the field shows what
// the record holds.
template <typename Handler>
void show_in_spin(GtkWidget* spin, Handler handler, int data, double value) {
  if (!spin) return;
  block_handler(spin, handler, data, true);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), value);
  block_handler(spin, handler, data, false);
}

int spin_int(GtkWidget* w) {
  return spin_whole(spin_value(w));
}

void queue_draw(GtkWidget* w) {
  if (w) gtk_widget_queue_draw(w);
}

std::string entry_text(GtkWidget* w) {
  return gtk_entry_get_text(GTK_ENTRY(w));
}

// ---- Delay ----

delay_unit_t shown_delay_unit() {
  const int active = combo_index(combo_delay);
  return static_cast<delay_unit_t>(active >= 0 && active <= 2 ? active : unit);
}

// A delay edit of channel `edited` (-1: none), from the spin buttons.
void store_shown_delays(int edited, delay_unit_t u) {
  double shown[4] = {0, 0, 0, 0};
  for (unsigned i = 0; i < open_channels(); ++i)
    shown[i] = spin_button_delay[i] ? spin_value(spin_button_delay[i])
                                    : cm_to_delay(preset.channel[i].delay, u);
  store_delay_edit(edited, shown, u);
}

// The stored delay of channel `ch` shown in its spin button in unit `u`.
void show_stored_delay(unsigned ch, delay_unit_t u) {
  show_in_spin(spin_button_delay[ch], change_delay, ch, delay_shown(preset.channel[ch].delay, u));
}

}  // namespace

// ---- Names ----

void change_entry(GtkWidget* widget, gpointer) {
  const record_change change;
  set_record_text(preset.name, sizeof preset.name, entry_text(widget));
}

void change_channel_name(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  if (ch < 0) return;
  const record_change change;
  channel_t& c = preset.channel[ch];
  set_record_text(c.name, sizeof c.name, entry_text(widget));
  show_channel_captions(ch);
}

void show_channel_captions(int ch) {
  const std::string name = record_to_utf8(preset.channel[ch].name, CHANNEL_NAME_MAX);
  for (GtkWidget* caption : {labels[ch], labels_l[ch]})
    if (caption) set_caption_markup(caption, name.c_str());
  gchar* bold = g_markup_printf_escaped("<b>%s</b>", name.c_str());
  for (GtkWidget* tab : {labels_peq[ch], labels_xo[ch]})
    if (tab) gtk_label_set_markup(GTK_LABEL(tab), bold);
  g_free(bold);
}

namespace {

const char* const NAME_CONTEXT = "name field";

// The first status bar inside `w`, depth first; null when there is none.
GtkWidget* statusbar_in(GtkWidget* w) {
  if (GTK_IS_STATUSBAR(w)) return w;
  if (!GTK_IS_CONTAINER(w)) return nullptr;
  GtkWidget* found = nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(w));
  for (GList* l = children; l && !found; l = l->next) found = statusbar_in(GTK_WIDGET(l->data));
  g_list_free(children);
  return found;
}

// Says why a name field refused what was typed or pasted, or clears what it
// said (`text` empty): in the line the field names as its notice (the
// wizard's), else in the status bar of its editor page.
void name_notice(GtkEditable* editable, const std::string& text) {
  GtkWidget* entry = GTK_WIDGET(editable);
  if (auto* label = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(entry), "name notice"))) {
    gtk_label_set_text(GTK_LABEL(label), text.empty() ? "" : (text + ".").c_str());
    return;
  }
  GtkWidget* bar = nullptr;
  for (GtkWidget* a = gtk_widget_get_parent(entry); a && !bar; a = gtk_widget_get_parent(a))
    bar = statusbar_in(a);
  if (!bar) return;
  const guint id = gtk_statusbar_get_context_id(GTK_STATUSBAR(bar), NAME_CONTEXT);
  gtk_statusbar_pop(GTK_STATUSBAR(bar), id);
  if (!text.empty()) gtk_statusbar_push(GTK_STATUSBAR(bar), id, (text + ".").c_str());
}

void refuse_name_input(GtkEditable* editable, const std::string& why) {
  gtk_widget_error_bell(GTK_WIDGET(editable));
  name_notice(editable, why);
}

// What the field would hold with `insert` put at character `at`, in place
// of the characters up to `end` (a selection), and what of `insert` the
// field's own length limit lets in.
struct name_edit_t {
  std::string text;
  bool cut;  // the limit cut the insert: the name is full
};
name_edit_t name_after(const gchar* current, glong at, glong end, std::string insert,
                       size_t max_len) {
  const glong length = g_utf8_strlen(current, -1);
  at = std::clamp<glong>(at, 0, length);
  end = std::clamp<glong>(end, at, length);
  const glong room = std::max<glong>(0, static_cast<glong>(max_len) - (length - (end - at)));
  const bool cut = g_utf8_strlen(insert.c_str(), -1) > room;
  if (cut) insert.resize(g_utf8_offset_to_pointer(insert.c_str(), room) - insert.c_str());
  const size_t a = g_utf8_offset_to_pointer(current, at) - current;
  const size_t e = g_utf8_offset_to_pointer(current, end) - current;
  return {std::string(current, a) + insert + (current + e), cut};
}

// "paste-clipboard": a paste that the field would refuse changes nothing,
// also over a selection (the toolkit deletes the selection before it
// offers the text).
void name_paste(GtkEntry* entry, gpointer data) {
  const size_t max_len = static_cast<size_t>(GPOINTER_TO_INT(data));
  gchar* pasted = gtk_clipboard_wait_for_text(
      gtk_widget_get_clipboard(GTK_WIDGET(entry), GDK_SELECTION_CLIPBOARD));
  if (!pasted) return;
  GtkEditable* editable = GTK_EDITABLE(entry);
  gint start = 0, end = 0;
  if (!gtk_editable_get_selection_bounds(editable, &start, &end))
    start = end = gtk_editable_get_position(editable);
  const std::string why = name_refusal(
      name_after(gtk_entry_get_text(entry), start, end, pasted, max_len).text, max_len);
  g_free(pasted);
  if (why.empty()) return;
  g_signal_stop_emission_by_name(entry, "paste-clipboard");
  refuse_name_input(editable, why);
}

// "key-press-event": a typed character that the field would refuse in place
// of a selection is refused before the toolkit deletes the selection, so
// the name stays as it was.
gboolean name_key_press(GtkWidget* entry, GdkEventKey* event, gpointer data) {
  if (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return FALSE;
  const gunichar c = gdk_keyval_to_unicode(event->keyval);
  GtkEditable* editable = GTK_EDITABLE(entry);
  gint start = 0, end = 0;
  if (!c || g_unichar_iscntrl(c) || !gtk_editable_get_selection_bounds(editable, &start, &end))
    return FALSE;
  gchar typed[8] = {};
  g_unichar_to_utf8(c, typed);
  const size_t max_len = static_cast<size_t>(GPOINTER_TO_INT(data));
  const std::string why = name_refusal(
      name_after(gtk_entry_get_text(GTK_ENTRY(entry)), start, end, typed, max_len).text, max_len);
  if (why.empty()) return FALSE;
  refuse_name_input(editable, why);
  return TRUE;
}

}  // namespace

void name_insert_text(GtkEditable* editable, gchar* new_text, gint new_text_length, gint* position,
                      gpointer data) {
  const size_t max_len = static_cast<size_t>(GPOINTER_TO_INT(data));
  const gchar* current = gtk_entry_get_text(GTK_ENTRY(editable));
  const std::string insert =
      new_text_length < 0 ? std::string(new_text) : std::string(new_text, new_text_length);
  std::string why;
  if (!g_utf8_validate(insert.data(), static_cast<gssize>(insert.size()), nullptr)) {
    why = "a character that cannot be stored in a name";
  } else {
    // The entry's own length limit cuts what does not fit (and beeps);
    // judge what it lets in.
    const glong at = position && *position >= 0 ? *position : g_utf8_strlen(current, -1);
    const name_edit_t after = name_after(current, at, at, insert, max_len);
    why = name_refusal(after.text, max_len);
    if (why.empty() && after.cut) {
      // Taken in part: the name is full now.
      name_notice(editable, "the name is full: at most " + std::to_string(max_len) + " characters");
      return;
    }
  }
  if (why.empty()) {
    name_notice(editable, "");
    return;
  }
  g_signal_stop_emission_by_name(editable, "insert-text");
  refuse_name_input(editable, why);
}

void guard_name_entry(GtkWidget* entry, size_t max_len) {
  const gpointer data = GINT_TO_POINTER(static_cast<int>(max_len));
  g_signal_connect(entry, "insert-text", G_CALLBACK(name_insert_text), data);
  g_signal_connect(entry, "paste-clipboard", G_CALLBACK(name_paste), data);
  g_signal_connect(entry, "key-press-event", G_CALLBACK(name_key_press), data);
}

// ---- Channel Setup ----

void change_channel_gain(GtkWidget*, gpointer data) {
  const int ch = channel_of(data);
  if (ch < 0) return;
  const record_change change;
  const unsigned n = open_channels();
  double shown[4];
  for (unsigned i = 0; i < 4; ++i)
    shown[i] = i < n && spinner_gain[i] ? spin_value(spinner_gain[i]) : gain_temp[i];
  const level_link_t r = store_level_change(ch, shown);
  // The changed and the linked channels show their stored levels. Not
  // blocked: the fader stores the same level and hands the spin button the
  // value it already holds, which emits nothing.
  for (unsigned i = 0; i < n; ++i) {
    if (static_cast<int>(i) != ch && !r.moved[i]) continue;
    show_in_spin(spinner_gain[i], change_channel_gain, i, gain_temp[i]);
    if (vscale[i]) gtk_range_set_value(GTK_RANGE(vscale[i]), gain_temp[i]);
  }
}

void change_vscale(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  if (ch < 0) return;
  const record_change change;
  const double v = gtk_range_get_value(GTK_RANGE(widget));
  preset.channel[ch].gain = static_cast<int16_t>(db_to_tenths(v));
  // Not blocked: the spin button's handler links the level group.
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spinner_gain[ch]), v);
}

void update_mute_sensitivity() {
  for (unsigned i = 0; i < open_channels(); ++i) {
    if (!button_mute[i]) continue;
    const gboolean unmuted = !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button_mute[i]));
    for (GtkWidget* w :
         {vscale[i], spinner_gain[i], combobox[i], combobox_rout[i], combo_mute[i], combo_lvl[i]})
      if (w) gtk_widget_set_sensitive(w, unmuted);
  }
}

void mute(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  if (ch < 0) return;
  const record_change change;
  const bool state = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget));
  const uint8_t muted = store_mute_toggle(ch, state);
  // The followers' handlers are blocked: linking goes one step only.
  for (unsigned o = 0; o < open_channels(); ++o) {
    if (static_cast<int>(o) == ch || !button_mute[o]) continue;
    const gboolean want = (muted >> o) & 1;
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button_mute[o])) == want) continue;
    block_handler(button_mute[o], mute, o, true);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button_mute[o]), want);
    block_handler(button_mute[o], mute, o, false);
  }
  update_mute_sensitivity();
}

void change_mute_group(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  const int index = combo_index(widget);
  if (ch < 0 || index < 0) return;
  const record_change change;
  preset.channel[ch].groups = groups_with_mute_group(preset.channel[ch].groups, index);
}

void change_lvl_group(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  const int index = combo_index(widget);
  if (ch < 0 || index < 0) return;
  const record_change change;
  preset.channel[ch].groups = groups_with_level_group(preset.channel[ch].groups, index);
}

void change_routing(GtkWidget*, gpointer data) {
  const int ch = channel_of(data);
  if (ch < 0) return;
  const record_change change;
  // Read from the channel's routing selector, whichever widget emitted.
  const int routing = combo_index(combobox_rout[ch]);
  if (routing >= 0) preset.channel[ch].routing = static_cast<uint8_t>(routing);
  const int mode = combo_index(combo_input);
  if (mode >= 0) in_mode = mode;
  queue_draw(draw_area_routing);
}

void change_phase(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  const int index = combo_index(widget);
  if (ch < 0 || index < 0) return;
  const record_change change;
  preset.channel[ch].phase = static_cast<uint8_t>(index);
}

uint8_t lock_mask_of(int data) {
  static const uint8_t masks[6] = {LOCK_ROUTING, LOCK_XO,    LOCK_PEQ,
                                   LOCK_DYN,     LOCK_DELAY, LOCK_MUTE_LEVEL};
  return data >= 0 && data < 6 ? masks[data] : 0;
}

void change_lock(GtkWidget* widget, gpointer data) {
  const int which = GPOINTER_TO_INT(data);
  const uint8_t mask = lock_mask_of(which);
  if (mask == 0) return;
  const record_change change;
  if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)))
    preset.lock = static_cast<uint8_t>(preset.lock | mask);
  else
    preset.lock = static_cast<uint8_t>(preset.lock & ~mask);
  if (which == 0) queue_draw(draw_area_routing);
}

// ---- Crossover and Parametric EQ ----

namespace {

// The channel's curves follow its record.
void recalc(int ch) {
  Calc_Channel(static_cast<uint16_t>(ch));
}

// The band at which `w` stands in a channel's row of widgets, or -1.
int band_of(GtkWidget* const (&row)[6], GtkWidget* w) {
  for (int b = 0; b < 6; ++b)
    if (row[b] == w) return b;
  return -1;
}

}  // namespace

void change_xo_freq(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  if (ch < 0 || !spin_button_crossover[0][ch] || !spin_button_crossover[1][ch]) return;
  const record_change change;
  const int select = widget == spin_button_crossover[0][ch] ? 0 : 1;
  store_xo_freq(ch, spin_int(spin_button_crossover[0][ch]), spin_int(spin_button_crossover[1][ch]),
                select);
  recalc(ch);
  for (int k = 0; k < 2; ++k) {
    const xo_t& xo = preset.channel[ch].xo[k];
    show_in_spin(spin_button_crossover[k][ch], change_xo_freq, ch,
                 shown_value(shown_field::frequency, xo.freq[xo_slot(xo.config)]));
  }
  queue_draw(drawing_area_xo[ch]);
}

void change_xo_type(GtkWidget*, gpointer data) {
  const int ch = channel_of(data);
  if (ch < 0) return;
  const record_change change;
  const xo_recalc_t r = store_xo_type(ch, combo_index(combobox_crossover[0][ch]),
                                      combo_index(combobox_crossover[1][ch]));
  recalc(ch);
  // The low-pass frequency is editable exactly while the low-pass is on.
  if (spin_button_crossover[1][ch]) gtk_widget_set_sensitive(spin_button_crossover[1][ch], r.lp);
  queue_draw(drawing_area_xo[ch]);
}

void change_peq_freq(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  const int b = ch < 0 ? -1 : band_of(peq_spin_freq[ch], widget);
  if (b < 0) return;
  const record_change change;
  store_peq_freq(ch, b, spin_int(widget));
  recalc(ch);
  show_in_spin(widget, change_peq_freq, ch,
               shown_value(shown_field::frequency, preset.channel[ch].peq[b].freq));
  queue_draw(drawing_area_peq[ch]);
}

void change_peq_type(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  const int band = ch < 0 ? -1 : band_of(peq_combo[ch], widget);
  if (band < 0) return;
  const record_change change;
  int index[6];
  double shown_db[6];
  for (int b = 0; b < 6; ++b) {
    index[b] = combo_index(peq_combo[ch][b]);
    shown_db[b] = peq_spin_gain[ch][b] ? spin_value(peq_spin_gain[ch][b]) : 0.0;
  }
  store_peq_types(ch, index, shown_db, band);
  recalc(ch);
  // An "OFF" band's spin buttons are insensitive; its gain spin button
  // keeps the gain it comes back with.
  for (int b = 0; b < 6; ++b)
    for (GtkWidget* w : {peq_spin_freq[ch][b], peq_spin_q[ch][b], peq_spin_gain[ch][b]})
      if (w) gtk_widget_set_sensitive(w, index[b] != 0);
  queue_draw(drawing_area_peq[ch]);
}

void change_peq_q(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  const int b = ch < 0 ? -1 : band_of(peq_spin_q[ch], widget);
  if (b < 0) return;
  const record_change change;
  store_peq_q(ch, b, spin_value(widget));
  show_in_spin(widget, change_peq_q, ch,
               shown_value(shown_field::peq_q, preset.channel[ch].peq[b].q));
  recalc(ch);
  queue_draw(drawing_area_peq[ch]);
}

void change_peq_gain(GtkWidget* widget, gpointer data) {
  const int ch = channel_of(data);
  const int b = ch < 0 ? -1 : band_of(peq_spin_gain[ch], widget);
  if (b < 0) return;
  const record_change change;
  const int index = combo_index(peq_combo[ch][b]);
  store_peq_gain(ch, b, index, spin_value(widget));
  recalc(ch);
  // An "OFF" band stores 0 and keeps showing the gain it comes back with.
  if (index != 0)
    show_in_spin(widget, change_peq_gain, ch,
                 shown_value(shown_field::peq_gain, preset.channel[ch].peq[b].gain));
  queue_draw(drawing_area_peq[ch]);
}

// ---- Limiter ----

namespace {

// Runs `store` for the channel of a per-channel handler's user data, as one
// change of the record.
template <typename Store>
void on_channel(gpointer data, Store store) {
  const int ch = channel_of(data);
  if (ch < 0) return;
  const record_change change;
  store(ch);
}

// A limiter field of channel `ch`: stores the spin button's whole value and
// shows the stored one.
template <typename Handler, typename Store>
void limiter_field(GtkWidget* spin, gpointer data, Handler handler, shown_field field,
                   Store store) {
  on_channel(data, [&](int ch) {
    dynamics_t& d = preset.channel[ch].dynamics;
    const long stored = store(ch, d, spin_int(spin));
    show_in_spin(spin, handler, ch, shown_value(field, stored));
  });
}

}  // namespace

void change_limiter_attack(GtkWidget* widget, gpointer data) {
  limiter_field(widget, data, change_limiter_attack, shown_field::attack,
                [](int, dynamics_t& d, int n) { return d.attack = static_cast<uint8_t>(n); });
}

void change_limiter_release(GtkWidget* widget, gpointer data) {
  limiter_field(widget, data, change_limiter_release, shown_field::release,
                [](int, dynamics_t& d, int n) { return d.release = release_from_ms(n); });
}

void change_limiter_threshold(GtkWidget* widget, gpointer data) {
  limiter_field(widget, data, change_limiter_threshold, shown_field::threshold,
                [](int ch, dynamics_t& d, int n) {
                  store_limiter_threshold(ch, n);
                  return d.threshold;
                });
}

void change_limiter_gain(GtkWidget* widget, gpointer data) {
  limiter_field(widget, data, change_limiter_gain, shown_field::boost,
                [](int, dynamics_t& d, int n) { return d.boost = static_cast<int8_t>(n); });
}

// ---- Delay ----

void change_delay(GtkWidget*, gpointer data) {
  on_channel(data, [](int ch) {
    const delay_unit_t u = shown_delay_unit();
    store_shown_delays(ch, u);
    show_stored_delay(ch, u);
  });
}

void change_delay_unit(GtkWidget* widget, gpointer) {
  const int active = combo_index(widget);
  if (active < 0 || active > 2) return;
  const record_change change;
  const auto to = static_cast<delay_unit_t>(active);
  for (unsigned i = 0; i < open_channels(); ++i) {
    GtkWidget* spin = spin_button_delay[i];
    if (!spin) continue;
    const delay_unit_info_t& info = delay_unit_info(to);
    if (label_unit[i]) gtk_label_set_text(GTK_LABEL(label_unit[i]), info.label);
    // Only the display changes: the stored centimetres are shown in the
    // new unit, not stored again (see apply_delay_edit). Arrows move by one
    // centimetre.
    block_handler(spin, change_delay, i, true);
    gtk_spin_button_set_range(GTK_SPIN_BUTTON(spin), 0.0, info.max);
    gtk_spin_button_set_increments(GTK_SPIN_BUTTON(spin), delay_step(to), delay_step(to));
    block_handler(spin, change_delay, i, false);
    show_stored_delay(i, to);
  }
  unit = active;
  store_shown_delays(-1, to);
}

gint delay_spin_input(GtkSpinButton* spin, gdouble* new_value, gpointer) {
  const std::optional<double> kept =
      spin_kept_value(gtk_entry_get_text(GTK_ENTRY(spin)), gtk_spin_button_get_value(spin),
                      static_cast<int>(gtk_spin_button_get_digits(spin)));
  if (!kept) return FALSE;  // edited text: parsed as usual
  *new_value = *kept;
  return TRUE;
}

// ---- Tools acting on whole channels ----

void run_as_one_change(const std::string& name, const std::function<void()>& edit) {
  const record_change change;
  edit_scope_name(name);
  edit();
}
