#include "measure/fit_dialogs.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editor/gtk_util.h"
#include "editor/make_widgets.h"
#include "editor/preset_verwaltung.h"
#include "files/file_dialogs.h"
#include "measure/alignment.h"
#include "measure/eq_fit.h"
#include "measure/measurement_menus.h"
#include "model/change_preset.h"
#include "model/editing.h"
#include "model/preset_diff.h"
#include "model/text_format.h"
#include "response/plots.h"

namespace {

unsigned open_channels() {
  return std::min(mv_type, 4u);
}

bool is_open_channel(int ch) {
  return window_preset && ch >= 0 && ch < static_cast<int>(open_channels());
}

const grid_measurement_t* measurement_of(int ch) {
  return is_open_channel(ch) ? loaded_measurement(ch).grid : nullptr;
}

bool measured_with_phase(int ch) {
  const grid_measurement_t* m = measurement_of(ch);
  return m && m->has_phase;
}

// The record as the dialog found it, shown again in the editor: what a
// preview changed is taken back.
void show_preset(const preset_t& p, unsigned channels) {
  preset = p;
  show_record_in_editor(channels);
  plots_follow_record(channels, false);
}

// A dialog over the editor with Cancel and OK (OK insensitive until there is
// something to keep), its content in a box with a border.
GtkWidget* new_dialog(const char* title, GtkWidget*& content) {
  GtkWidget* dialog = gtk_dialog_new_with_buttons(
      title, GTK_WINDOW(window_preset),
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, GTK_STOCK_OK, GTK_RESPONSE_OK, nullptr);
  gtk_dialog_set_response_sensitive(GTK_DIALOG(dialog), GTK_RESPONSE_OK, FALSE);
  apply_editor_style(dialog);
  content = gtk_vbox_new(FALSE, 6);
  gtk_container_set_border_width(GTK_CONTAINER(content), 10);
  pack(gtk_dialog_get_content_area(GTK_DIALOG(dialog)), content, true, true, 0);
  return dialog;
}

// The dialog stands where it covers least of the plot that previews its
// result, with room for `result_lines` lines of its result below what it
// shows now. The plot is channel ch's EQ plot, where the result shows.
void place_beside_editor(GtkWidget* dialog, int ch, GtkWidget* result, int result_lines) {
  GdkRectangle editor{0, 0, 0, 0}, plot{0, 0, 0, 0};
  gtk_window_get_position(GTK_WINDOW(window_preset), &editor.x, &editor.y);
  gtk_window_get_size(GTK_WINDOW(window_preset), &editor.width, &editor.height);
  if (GtkWidget* area = drawing_area_peq[ch]; area && area->window) {
    gdk_window_get_origin(area->window, &plot.x, &plot.y);
    plot.width = area->allocation.width, plot.height = area->allocation.height;
  }
  GtkRequisition r;
  gtk_widget_size_request(dialog, &r);
  int line = 0;
  PangoLayout* layout = gtk_widget_create_pango_layout(result, "Hz");
  pango_layout_get_pixel_size(layout, nullptr, &line);
  g_object_unref(layout);
  // With the window manager's frame.
  const int dw = r.width + 16, dh = r.height + result_lines * line + 40;
  GdkScreen* screen = gtk_window_get_screen(GTK_WINDOW(dialog));
  const GdkPoint at = dialog_position_beside(editor, plot, dw, dh, gdk_screen_get_width(screen),
                                             gdk_screen_get_height(screen));
  gtk_window_move(GTK_WINDOW(dialog), at.x, at.y);
}

// A row: a caption of the given width, then the widgets.
GtkWidget* row(GtkWidget* box, const char* caption, std::initializer_list<GtkWidget*> widgets) {
  GtkWidget* r = gtk_hbox_new(FALSE, 6);
  GtkWidget* label = gtk_label_new(caption);
  gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.5f);
  gtk_widget_set_size_request(label, 110, -1);
  pack(r, label, false, false, 0);
  for (GtkWidget* w : widgets) pack(r, w, false, false, 0);
  pack(box, r, false, false, 0);
  return r;
}

GtkWidget* spin(double lo, double hi, double step, int digits, double value) {
  GtkWidget* s = gtk_spin_button_new_with_range(lo, hi, step);
  gtk_spin_button_set_digits(GTK_SPIN_BUTTON(s), static_cast<guint>(digits));
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(s), value);
  return s;
}

double spin_value(GtkWidget* s) {
  gtk_spin_button_update(GTK_SPIN_BUTTON(s));
  return gtk_spin_button_get_value(GTK_SPIN_BUTTON(s));
}

// The dialog's result line: what was done, or why not.
GtkWidget* result_label(GtkWidget* box) {
  GtkWidget* label = gtk_label_new("");
  gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.0f);
  gtk_label_set_selectable(GTK_LABEL(label), TRUE);
  gtk_widget_set_size_request(label, 420, -1);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  pack(box, label, false, false, 4);
  return label;
}

void set_result(GtkWidget* label, const std::string& text) {
  gtk_label_set_text(GTK_LABEL(label), text.c_str());
}

// ---- The fit ----

struct fit_dialog_t {
  int ch = 0;
  preset_t found{};  // the record as the dialog found it
  GtkWidget* dialog = nullptr;
  GtkWidget* lo = nullptr;
  GtkWidget* hi = nullptr;
  GtkWidget* target_file = nullptr;  // a chooser button; no file: flat
  GtkWidget* boost = nullptr;
  GtkWidget* bands[6] = {};
  GtkWidget* progress = nullptr;
  GtkWidget* result = nullptr;
  bool fitting = false;
  bool cancelled = false;  // Cancel while fitting
  gint64 started = 0;
  std::unique_ptr<grid_measurement_t> target;
  eq_fit_result_t fit;
};

// The target file chosen, on the grid; false with a message when it cannot
// be read.
bool read_target(fit_dialog_t& d) {
  d.target.reset();
  gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(d.target_file));
  if (!file) return true;
  const std::string path = file;
  g_free(file);
  const measurement_read_t r = read_measurement_file(path);
  if (!r.ok) {
    set_result(d.result, "The target is not read: " + r.message(basename_of(path)));
    return false;
  }
  d.target = std::make_unique<grid_measurement_t>();
  measurement_on_grid(r.data, *d.target);
  return true;
}

// The fit's progress: shown once it takes longer than 0.3 s, the dialog kept
// alive meanwhile (its Cancel stops the fit).
bool fit_progress(fit_dialog_t& d, double fraction) {
  if (g_get_monotonic_time() - d.started > 300 * 1000) {
    gtk_widget_show(d.progress);
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(d.progress), std::clamp(fraction, 0.0, 1.0));
  }
  while (gtk_events_pending()) gtk_main_iteration();
  return !d.cancelled;
}

void on_fit(GtkButton*, gpointer data) {
  fit_dialog_t& d = *static_cast<fit_dialog_t*>(data);
  if (d.fitting || !read_target(d)) return;
  const grid_measurement_t* m = measurement_of(d.ch);
  if (!m) return;
  eq_fit_request_t request;
  request.lo_hz = spin_value(d.lo);
  request.hi_hz = spin_value(d.hi);
  request.target = d.target.get();
  request.max_boost = db_to_tenths(spin_value(d.boost));
  request.bands = 0;
  for (int b = 0; b < 6; ++b)
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(d.bands[b]))) request.bands |= 1u << b;
  // The fit starts from the bands the dialog found.
  d.fitting = true;
  d.started = g_get_monotonic_time();
  set_result(d.result, "Fitting...");
  gtk_dialog_set_response_sensitive(GTK_DIALOG(d.dialog), GTK_RESPONSE_OK, FALSE);
  d.fit = fit_eq(d.found.channel[d.ch], *m, request,
                 [&d](double fraction) { return fit_progress(d, fraction); });
  d.fitting = false;
  gtk_widget_hide(d.progress);
  if (d.cancelled) return;  // the dialog is answered: Cancel
  if (!d.fit.ok) {
    set_result(d.result, "No fit: " + d.fit.reason + ".");
    return;
  }
  preset_t shown = d.found;
  apply_eq_fit(shown.channel[d.ch], d.fit);
  show_preset(shown, 1u << d.ch);
  set_result(d.result, d.fit.error_text() + "\n" + d.fit.change_text());
  gtk_dialog_set_response_sensitive(GTK_DIALOG(d.dialog), GTK_RESPONSE_OK, TRUE);
}

// Cancel pressed while the fit runs stops it (the dialog then closes).
void on_fit_response(GtkDialog*, gint response, gpointer data) {
  fit_dialog_t& d = *static_cast<fit_dialog_t*>(data);
  if (d.fitting && response != GTK_RESPONSE_OK) d.cancelled = true;
}

// ---- The alignment ----

struct align_dialog_t {
  int ch = 0;
  preset_t found{};
  GtkWidget* dialog = nullptr;
  GtkWidget* with = nullptr;  // the channels offered
  std::vector<int> offered;
  GtkWidget* auto_range = nullptr;
  GtkWidget* lo = nullptr;
  GtkWidget* hi = nullptr;
  GtkWidget* max_delay = nullptr;
  GtkWidget* result = nullptr;
  align_result_t aligned;
  int aligned_with = -1;
};

void on_auto_range(GtkToggleButton* button, gpointer data) {
  align_dialog_t& d = *static_cast<align_dialog_t*>(data);
  const bool given = !gtk_toggle_button_get_active(button);
  set_sensitive(d.lo, given);
  set_sensitive(d.hi, given);
}

void on_align(GtkButton*, gpointer data) {
  align_dialog_t& d = *static_cast<align_dialog_t*>(data);
  const int index = combo_index(d.with);
  if (index < 0 || index >= static_cast<int>(d.offered.size())) return;
  const int x = d.offered[static_cast<size_t>(index)];
  const grid_measurement_t* mx = measurement_of(x);
  const grid_measurement_t* my = measurement_of(d.ch);
  if (!mx || !my) return;
  align_request_t request;
  if (!gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(d.auto_range))) {
    request.lo_hz = spin_value(d.lo);
    request.hi_hz = spin_value(d.hi);
  }
  request.max_delay_cm = static_cast<int>(std::lround(spin_value(d.max_delay) * 100.0));
  gtk_dialog_set_response_sensitive(GTK_DIALOG(d.dialog), GTK_RESPONSE_OK, FALSE);
  d.aligned = align_channels(d.found, static_cast<unsigned>(x), static_cast<unsigned>(d.ch), *mx,
                             *my, request);
  d.aligned_with = x;
  show_preset(d.found, (1u << x) | (1u << d.ch));
  if (!d.aligned.ok) {
    set_result(d.result, "No alignment: " + d.aligned.reason + ".");
    return;
  }
  preset_t shown = d.found;
  apply_alignment(shown, static_cast<unsigned>(x), static_cast<unsigned>(d.ch), d.aligned);
  show_preset(shown, (1u << x) | (1u << d.ch));
  set_result(d.result, d.aligned.loss_text() + "\n" + d.aligned.change_text);
  gtk_dialog_set_response_sensitive(GTK_DIALOG(d.dialog), GTK_RESPONSE_OK, TRUE);
}

}  // namespace

bool can_fit_eq(int ch) {
  return measurement_of(ch) != nullptr;
}

bool can_align(int ch) {
  if (!measured_with_phase(ch)) return false;
  for (int other = 0; other < static_cast<int>(open_channels()); ++other)
    if (other != ch && measured_with_phase(other)) return true;
  return false;
}

void fit_eq_dialog(int ch) {
  if (!can_fit_eq(ch)) return;
  fit_dialog_t d;
  d.ch = ch;
  d.found = preset;
  GtkWidget* box = nullptr;
  d.dialog = new_dialog("Fit EQ to Measurement", box);
  const channel_t& c = preset.channel[ch];
  const std::string what = "The EQ of " + channel_label(preset, ch) + " fitted to " +
                           text_excerpt(loaded_measurement(ch).name) + ".";
  pack(box, gtk_label_new(what.c_str()), false, false, 2);

  const pass_band_t band = default_fit_range(c);
  d.lo = spin(PEQ_FREQ_MIN, PEQ_FREQ_MAX, 1, 0, band.lo_hz);
  d.hi = spin(PEQ_FREQ_MIN, PEQ_FREQ_MAX, 1, 0, band.hi_hz);
  row(box, "Range:", {d.lo, gtk_label_new("to"), d.hi, gtk_label_new("Hz")});
  d.target_file = gtk_file_chooser_button_new("Target Curve", GTK_FILE_CHOOSER_ACTION_OPEN);
  add_file_filters(GTK_FILE_CHOOSER(d.target_file), measurement_file_filters());
  gtk_widget_set_size_request(d.target_file, 220, -1);
  row(box, "Target:", {d.target_file, gtk_label_new("(none: flat)")});
  d.boost = spin(0, 12, 0.5, 1, 6);
  row(box, "Largest boost:", {d.boost, gtk_label_new("dB (0: cut only)")});
  GtkWidget* bands = gtk_hbox_new(FALSE, 2);
  for (int b = 0; b < 6; ++b) {
    d.bands[b] = gtk_check_button_new_with_label(std::to_string(b + 1).c_str());
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.bands[b]), TRUE);
    pack(bands, d.bands[b], false, false, 0);
  }
  row(box, "Bands:", {bands});
  GtkWidget* fit = gtk_button_new_with_mnemonic("_Fit");
  g_signal_connect(fit, "clicked", G_CALLBACK(on_fit), &d);
  row(box, "", {fit});
  d.progress = gtk_progress_bar_new();
  pack(box, d.progress, false, false, 0);
  d.result = result_label(box);
  g_signal_connect(d.dialog, "response", G_CALLBACK(on_fit_response), &d);

  gtk_widget_show_all(d.dialog);
  gtk_widget_hide(d.progress);
  place_beside_editor(d.dialog, ch, d.result, 7);  // the error and six bands
  const gint response = gtk_dialog_run(GTK_DIALOG(d.dialog));
  gtk_widget_destroy(d.dialog);
  show_preset(d.found, 1u << ch);
  if (response != GTK_RESPONSE_OK || !d.fit.ok) return;
  run_as_one_change("EQ fit of " + channel_label(preset, ch),
                    [&] { apply_eq_fit(preset.channel[ch], d.fit); });
  show_record_in_editor();
}

void align_dialog(int ch) {
  if (!can_align(ch)) return;
  align_dialog_t d;
  d.ch = ch;
  d.found = preset;
  GtkWidget* box = nullptr;
  d.dialog = new_dialog("Align With", box);
  const std::string what = "The delay and polarity of " + channel_label(preset, ch) +
                           " aligned to another channel's, for their measured loudspeakers.";
  GtkWidget* intro = gtk_label_new(what.c_str());
  gtk_label_set_line_wrap(GTK_LABEL(intro), TRUE);
  pack(box, intro, false, false, 2);

  d.with = gtk_combo_box_new_text();
  for (int other = 0; other < static_cast<int>(open_channels()); ++other) {
    if (other == ch || !measured_with_phase(other)) continue;
    d.offered.push_back(other);
    gtk_combo_box_append_text(GTK_COMBO_BOX(d.with), channel_label(preset, other).c_str());
  }
  gtk_combo_box_set_active(GTK_COMBO_BOX(d.with), 0);
  row(box, "With:", {d.with});
  d.auto_range = gtk_check_button_new_with_label("where both play (levels within 10 dB)");
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.auto_range), TRUE);
  row(box, "Range:", {d.auto_range});
  d.lo = spin(20, 20000, 1, 0, 60);
  d.hi = spin(20, 20000, 1, 0, 200);
  row(box, "", {d.lo, gtk_label_new("to"), d.hi, gtk_label_new("Hz")});
  g_signal_connect(d.auto_range, "toggled", G_CALLBACK(on_auto_range), &d);
  d.max_delay = spin(0, 400, 0.01, 2, 10);
  row(box, "Largest delay:", {d.max_delay, gtk_label_new("m")});
  GtkWidget* align = gtk_button_new_with_mnemonic("_Align");
  g_signal_connect(align, "clicked", G_CALLBACK(on_align), &d);
  row(box, "", {align});
  d.result = result_label(box);

  gtk_widget_show_all(d.dialog);
  on_auto_range(GTK_TOGGLE_BUTTON(d.auto_range), &d);
  place_beside_editor(d.dialog, ch, d.result, 3);
  const gint response = gtk_dialog_run(GTK_DIALOG(d.dialog));
  gtk_widget_destroy(d.dialog);
  const unsigned both = d.aligned_with >= 0 ? (1u << d.aligned_with) | (1u << ch) : 1u << ch;
  show_preset(d.found, both);
  if (response != GTK_RESPONSE_OK || !d.aligned.ok || d.aligned_with < 0) return;
  run_as_one_change("alignment of " + channel_label(preset, ch) + " with " +
                        channel_label(preset, d.aligned_with),
                    [&] {
                      apply_alignment(preset, static_cast<unsigned>(d.aligned_with),
                                      static_cast<unsigned>(ch), d.aligned);
                    });
  show_record_in_editor();
}

GdkPoint dialog_position_beside(const GdkRectangle& editor, const GdkRectangle& plot, int dw,
                                int dh, int sw, int sh) {
  const auto covered = [&](const GdkRectangle& a, const GdkRectangle& b) {
    GdkRectangle both;
    return gdk_rectangle_intersect(&a, &b, &both) ? static_cast<long>(both.width) * both.height
                                                  : 0L;
  };
  const GdkPoint candidates[] = {{editor.x + editor.width + 8, editor.y},
                                 {editor.x - dw - 8, editor.y},
                                 {editor.x, editor.y - dh - 8},
                                 {editor.x, editor.y + editor.height + 8}};
  GdkPoint best{0, 0};
  long best_plot = -1, best_editor = -1;
  for (GdkPoint p : candidates) {
    p.x = std::clamp(p.x, 0, std::max(0, sw - dw));
    p.y = std::clamp(p.y, 0, std::max(0, sh - dh));
    const GdkRectangle d{p.x, p.y, dw, dh};
    const long on_plot = covered(d, plot), on_editor = covered(d, editor);
    if (best_plot < 0 || on_plot < best_plot || (on_plot == best_plot && on_editor < best_editor)) {
      best = p, best_plot = on_plot, best_editor = on_editor;
    }
  }
  return best;
}
