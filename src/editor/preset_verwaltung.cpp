#include "editor/preset_verwaltung.h"

#include "editor/channel_links.h"
#include "editor/editor_pages.h"
#include "editor/make_widgets.h"
#include "model/change_preset.h"
#include "model/editing.h"
#include "model/editor_undo.h"
#include "model/preset.h"
#include "shell/app.h"
#include "shell/global_inits.h"

GtkWidget* window_preset = nullptr;
GtkWidget* notebook = nullptr;
GtkWidget* statusbar = nullptr;

GtkWidget* ch_name[4];
GtkWidget* spinner_gain[4];
GtkWidget* vscale[4];
GtkWidget* combobox[4];
GtkWidget* combobox_rout[4];
GtkWidget* combo_mute[4];
GtkWidget* combo_lvl[4];
GtkWidget* button_mute[4];

GtkWidget* check_lock_rout = nullptr;
GtkWidget* check_lock_xo = nullptr;
GtkWidget* check_lock_peq = nullptr;
GtkWidget* check_lock_dyn = nullptr;
GtkWidget* check_lock_dly = nullptr;
GtkWidget* check_lock_mutelvl = nullptr;

GtkWidget* combo_input = nullptr;
GtkWidget* draw_area_routing = nullptr;
GtkWidget* draw_area_routing2 = nullptr;
GtkWidget* draw_area_routing_cpy = nullptr;
GtkWidget* draw_area_routing2_cpy = nullptr;
GtkWidget* preset_name = nullptr;
GtkWidget* button_generate = nullptr;

GtkWidget* notebook_xo = nullptr;
GtkWidget* notebook_peq = nullptr;
GtkWidget* labels_xo[4];
GtkWidget* labels_peq[4];

GtkWidget* spin_button_attack[4];
GtkWidget* spin_button_rel[4];
GtkWidget* spin_button_thres[4];
GtkWidget* spin_button_gain[4];
GtkWidget* labels_l[4];

GtkWidget* spin_button_delay[4];
GtkWidget* label_unit[4];
GtkWidget* labels[4];
GtkWidget* combo_delay = nullptr;

namespace {

// Forgets the widgets of the previous editor: the channels a smaller device
// does not show must not refer to destroyed widgets.
void reset_editor_globals() {
  for (GtkWidget** array :
       {ch_name, spinner_gain, vscale, combobox, combobox_rout, combo_mute, combo_lvl, button_mute,
        labels_xo, labels_peq, spin_button_attack, spin_button_rel, spin_button_thres,
        spin_button_gain, labels_l, spin_button_delay, label_unit, labels})
    for (int i = 0; i < 4; ++i) array[i] = nullptr;
  for (GtkWidget** w :
       {&notebook, &statusbar, &check_lock_rout, &check_lock_xo, &check_lock_peq, &check_lock_dyn,
        &check_lock_dly, &check_lock_mutelvl, &combo_input, &draw_area_routing, &draw_area_routing2,
        &draw_area_routing_cpy, &draw_area_routing2_cpy, &preset_name, &button_generate,
        &notebook_xo, &notebook_peq, &combo_delay})
    *w = nullptr;
  reset_filter_page_globals();
  forget_links();
}

// The editor window is being destroyed: its widgets go with it.
void forget_editor(GtkWidget* window, gpointer) {
  if (window != window_preset && window_preset != nullptr) return;  // an older window
  editor_history_stop();
  reset_editor_globals();
  window_preset = nullptr;
}

// Exactly one "window-state-event" handler on the main window follows the
// editor: connected by the first build, kept for the next ones.
void follow_main_window() {
  if (!window_main) return;
  const gulong existing = g_signal_handler_find(window_main, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                                reinterpret_cast<gpointer>(window_state), nullptr);
  if (existing == 0)
    g_signal_connect(window_main, "window-state-event", G_CALLBACK(window_state), nullptr);
}

}  // namespace

// ---- Shared page frame ----

GtkWidget* separator_row(int width, int padding) {
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  GtkWidget* sep = gtk_hseparator_new();
  gtk_widget_set_size_request(sep, width, -1);
  pack(row, sep, false, false, padding);
  return row;
}

GtkWidget* add_tab_header(GtkWidget* page, const char* heading, int label_width, int box_width,
                          const char* lock_label, int lock_data, bool tick_after_connect) {
  pack(page, gtk_hseparator_new(), false, true, 8);
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  GtkWidget* spacer = gtk_label_new("");
  gtk_widget_set_size_request(spacer, label_width, -1);
  pack(row, spacer, false, false, 0);
  pack(row, make_label_with_markup(heading, LABEL_BOLD), true, false, 0);
  GtkWidget* lock_box = gtk_hbox_new(FALSE, 0);
  gtk_widget_set_size_request(lock_box, box_width, 16);
  GtkWidget* check = gtk_check_button_new_with_label(lock_label);
  pack_end(lock_box, check, false, false, 0);
  pack_end(lock_box, gtk_vseparator_new(), false, false, 10);
  pack_end(row, lock_box, false, false, 10);
  pack(page, row, false, false, 0);
  pack(page, gtk_hseparator_new(), false, true, 8);

  const gboolean locked = (preset.lock & lock_mask_of(lock_data)) != 0;
  if (!tick_after_connect) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), locked);
  g_signal_connect(check, "toggled", G_CALLBACK(change_lock), GINT_TO_POINTER(lock_data));
  if (tick_after_connect) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), locked);
  return check;
}

GtkWidget* add_tab_footer(GtkWidget* page, int separator_padding, bool own_window) {
  statusbar = gtk_statusbar_new();
  GtkWidget* packed = own_window ? gtk_event_box_new() : statusbar;
  if (own_window) gtk_container_add(GTK_CONTAINER(packed), statusbar);
  pack_end(page, packed, false, true, 0);
  pack_end(page, gtk_hseparator_new(), false, true, separator_padding);
  return statusbar;
}

std::string channel_name_utf8(int ch) {
  return record_to_utf8(preset.channel[ch].name, CHANNEL_NAME_MAX);
}

void set_caption_markup(GtkWidget* label, const char* utf8_name) {
  gchar* markup = g_markup_printf_escaped("<span size=\"x-large\"><b>%s</b></span>", utf8_name);
  gtk_label_set_markup(GTK_LABEL(label), markup);
  g_free(markup);
}

// ---- The editor window ----

void mv_start_preset(int mv_x) {
  if (mv_x != MV517 && mv_x != MV961) mv_x = MV517;
  reset_editor_globals();
  mv_type = static_cast<unsigned>(mv_x);

  window_preset =
      make_window(-1, -1, mv_x == MV517 ? "MV517 Preset-Editor" : "MV961 Preset-Editor", 2);
  apply_editor_style(window_preset);
  g_signal_connect(window_preset, "destroy", G_CALLBACK(forget_editor), nullptr);
  if (GdkPixbuf* icon = app_icon()) {
    gtk_window_set_icon(GTK_WINDOW(window_preset), icon);
    g_object_unref(icon);
  }
  gtk_window_set_position(GTK_WINDOW(window_preset), GTK_WIN_POS_CENTER);
  if (accel_group) gtk_window_add_accel_group(GTK_WINDOW(window_preset), accel_group);
  follow_main_window();

  GtkWidget* vbox = gtk_vbox_new(TRUE, 0);
  gtk_container_add(GTK_CONTAINER(window_preset), vbox);
  notebook = gtk_notebook_new();
  g_signal_connect(notebook, "map", G_CALLBACK(notebook_mapped), nullptr);
  pack(vbox, notebook, true, true, 0);

  static const char* const titles[7] = {"Overview", "Channel Setup", "Crossover", "Parametric EQ",
                                        "Limiter",  "Delay",         "System"};
  GtkWidget* page[7];
  for (int i = 0; i < 7; ++i) {
    page[i] = gtk_vbox_new(FALSE, 0);
    GtkWidget* tab = gtk_label_new(titles[i]);
    if (i == TAB_SYSTEM) {
      const GdkColor red = gdk_color_of(COLOR_NOTE_RED);
      gtk_widget_modify_fg(tab, GTK_STATE_NORMAL, &red);
      gtk_widget_modify_fg(tab, GTK_STATE_ACTIVE, &red);
    }
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), page[i], tab);
  }

  build_channel_setup_page(page[TAB_CHANNEL_SETUP], mv_x);
  build_crossover_page(page[TAB_CROSSOVER], mv_x);
  build_peq_page(page[TAB_PARAMETRIC_EQ], mv_x);
  build_limiter_page(page[TAB_LIMITER], mv_x);
  build_delay_page(page[TAB_DELAY], mv_x);
  global_inits(static_cast<unsigned>(mv_x));
  build_overview_page(page[TAB_OVERVIEW], mv_x);
  build_system_page(page[TAB_SYSTEM], mv_x);

  set_command_state(APP_EDITING);
  editor_history_start(window_preset);
  gtk_widget_show_all(window_preset);
}
