#include "editor/channel_menus.h"

#include <algorithm>
#include <vector>

#include "editor/gtk_util.h"
#include "editor/make_widgets.h"
#include "editor/preset_verwaltung.h"
#include "files/file_dialogs.h"
#include "files/text_input.h"
#include "measure/fit_dialogs.h"
#include "measure/measurement_menus.h"
#include "model/change_preset.h"
#include "model/editor_undo.h"
#include "model/filter_text.h"
#include "model/preset.h"
#include "model/preset_diff.h"
#include "response/compared_preset.h"
#include "response/plots.h"
#include "shell/app.h"

namespace {

// The status-bar context of the tools' messages.
constexpr const char* TOOL_CONTEXT = "channel tools";

unsigned open_channels() {
  return std::min(mv_type, 4u);
}

bool is_open_channel(int ch) {
  return window_preset && ch >= 0 && ch < static_cast<int>(open_channels());
}

// A copy item's user data: channel, targets and section in one integer.
gpointer copy_data(int from, unsigned targets, channel_section s) {
  return GINT_TO_POINTER(from | static_cast<int>(targets << 2) | (static_cast<int>(s) << 6));
}

void on_copy(GtkMenuItem*, gpointer data) {
  const int d = GPOINTER_TO_INT(data);
  copy_channel_to(d & 3, (d >> 2) & 15, static_cast<channel_section>(d >> 6));
}

GtkWidget* append_item(GtkWidget* menu, GtkWidget* item) {
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  return item;
}

GtkWidget* append_mnemonic(GtkWidget* menu, const char* label) {
  return append_item(menu, gtk_menu_item_new_with_mnemonic(label));
}

// "Copy <section> to" with its submenu of target channels.
void append_copy_item(GtkWidget* menu, int ch, channel_section s, const char* label) {
  GtkWidget* submenu = gtk_menu_new();
  for (const channel_choice_t& c : channel_choices(preset, open_channels(), ch, true)) {
    GtkWidget* item = append_item(submenu, gtk_menu_item_new_with_label(c.label.c_str()));
    g_signal_connect(item, "activate", G_CALLBACK(on_copy), copy_data(ch, c.targets, s));
  }
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(append_mnemonic(menu, label)), submenu);
}

// ---- The EQ plot's own items ----

gboolean import_when_idle(gpointer ch) {
  import_filter_settings(GPOINTER_TO_INT(ch));
  return FALSE;
}

// The chooser runs after the menu has closed, outside its activation.
void on_import(GtkMenuItem*, gpointer ch) {
  g_idle_add(import_when_idle, ch);
}

// A plot item's user data: the channel and whether it is the EQ plot.
gpointer plot_data(int ch, bool eq) {
  return GINT_TO_POINTER(ch | (eq ? 4 : 0));
}

// Changes one choice of the plot an item belongs to.
template <typename Change>
void change_choice(gpointer data, Change change) {
  const int d = GPOINTER_TO_INT(data);
  const bool eq = (d & 4) != 0;
  plot_choice_t c = plot_choice(eq, d & 3);
  change(c);
  set_plot_choice(eq, d & 3, c);
}

void on_total(GtkCheckMenuItem* item, gpointer data) {
  change_choice(data, [&](plot_choice_t& c) { c.total = gtk_check_menu_item_get_active(item); });
}

// User data: the plot's channel and, above it, the channel summed with.
void on_sum(GtkCheckMenuItem* item, gpointer data) {
  const int ch = GPOINTER_TO_INT(data) & 3, with = GPOINTER_TO_INT(data) >> 2;
  change_choice(plot_data(ch, true), [&](plot_choice_t& c) {
    if (gtk_check_menu_item_get_active(item))
      c.sum_with = with;
    else if (c.sum_with == with)
      c.sum_with = -1;
  });
}

void on_show_measurement(GtkCheckMenuItem* item, gpointer data) {
  change_choice(
      data, [&](plot_choice_t& c) { c.show_measurement = gtk_check_menu_item_get_active(item); });
}

void on_show_prediction(GtkCheckMenuItem* item, gpointer data) {
  change_choice(
      data, [&](plot_choice_t& c) { c.show_prediction = gtk_check_menu_item_get_active(item); });
}

void on_phase_view(GtkCheckMenuItem* item, gpointer data) {
  change_choice(data, [&](plot_choice_t& c) {
    c.mode = gtk_check_menu_item_get_active(item) ? plot_view_mode::phase : plot_view_mode::level;
  });
}

gboolean load_measurement_when_idle(gpointer ch) {
  choose_channel_measurement(GPOINTER_TO_INT(ch));
  return FALSE;
}

void on_load_measurement(GtkMenuItem*, gpointer data) {
  g_idle_add(load_measurement_when_idle, GINT_TO_POINTER(GPOINTER_TO_INT(data) & 3));
}

void on_remove_measurement(GtkMenuItem*, gpointer data) {
  remove_channel_measurement(GPOINTER_TO_INT(data) & 3);
}

GtkWidget* check_item(GtkWidget* menu, const char* label, bool active, bool mnemonic) {
  GtkWidget* item = mnemonic ? gtk_check_menu_item_new_with_mnemonic(label)
                             : gtk_check_menu_item_new_with_label(label);
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), active);
  return append_item(menu, item);
}

void append_eq_items(GtkWidget* menu, int ch) {
  append_item(menu, gtk_separator_menu_item_new());
  g_signal_connect(append_mnemonic(menu, "_Import filter settings..."), "activate",
                   G_CALLBACK(on_import), GINT_TO_POINTER(ch));
  append_item(menu, gtk_separator_menu_item_new());
  const plot_choice_t shown = plot_choice(true, ch);
  g_signal_connect(check_item(menu, "Show _total response", shown.total, true), "toggled",
                   G_CALLBACK(on_total), plot_data(ch, true));
  GtkWidget* submenu = gtk_menu_new();
  for (const channel_choice_t& c : channel_choices(preset, open_channels(), ch, false)) {
    GtkWidget* item = check_item(submenu, c.label.c_str(), shown.sum_with == c.channel, false);
    gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(item), TRUE);
    g_signal_connect(item, "toggled", G_CALLBACK(on_sum), GINT_TO_POINTER(ch | c.channel << 2));
  }
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(append_mnemonic(menu, "Show _sum with")), submenu);
}

// The dialogs run after the menu has closed, outside its activation.
gboolean fit_eq_when_idle(gpointer ch) {
  fit_eq_dialog(GPOINTER_TO_INT(ch));
  return FALSE;
}

void on_fit_eq(GtkMenuItem*, gpointer ch) {
  g_idle_add(fit_eq_when_idle, ch);
}

gboolean align_when_idle(gpointer ch) {
  align_dialog(GPOINTER_TO_INT(ch));
  return FALSE;
}

void on_align(GtkMenuItem*, gpointer ch) {
  g_idle_add(align_when_idle, ch);
}

// "Align with...", sensitive while the channel and another have a
// measurement with phase.
void append_align_item(GtkWidget* menu, int ch) {
  GtkWidget* align = append_mnemonic(menu, "_Align with...");
  gtk_widget_set_sensitive(align, can_align(ch));
  g_signal_connect(align, "activate", G_CALLBACK(on_align), GINT_TO_POINTER(ch));
}

// The measurement of the plot's channel and the view, on both plots.
void append_measurement_items(GtkWidget* menu, int ch, bool eq) {
  const gpointer data = plot_data(ch, eq);
  const plot_choice_t shown = plot_choice(eq, ch);
  const bool loaded = loaded_measurement(ch).grid != nullptr;
  append_item(menu, gtk_separator_menu_item_new());
  g_signal_connect(append_mnemonic(menu, "_Load measurement..."), "activate",
                   G_CALLBACK(on_load_measurement), data);
  GtkWidget* remove = append_mnemonic(menu, "_Remove measurement");
  gtk_widget_set_sensitive(remove, loaded);
  g_signal_connect(remove, "activate", G_CALLBACK(on_remove_measurement), data);
  GtkWidget* measured = check_item(menu, "Show _measurement", shown.show_measurement, true);
  GtkWidget* predicted = check_item(menu, "Show _prediction", shown.show_prediction, true);
  for (GtkWidget* item : {measured, predicted}) gtk_widget_set_sensitive(item, loaded);
  g_signal_connect(measured, "toggled", G_CALLBACK(on_show_measurement), data);
  g_signal_connect(predicted, "toggled", G_CALLBACK(on_show_prediction), data);
  if (eq) {
    GtkWidget* fit = append_mnemonic(menu, "_Fit EQ to measurement...");
    gtk_widget_set_sensitive(fit, can_fit_eq(ch));
    g_signal_connect(fit, "activate", G_CALLBACK(on_fit_eq), GINT_TO_POINTER(ch));
    append_align_item(menu, ch);
  }
  append_item(menu, gtk_separator_menu_item_new());
  g_signal_connect(check_item(menu, "Show p_hase", shown.mode == plot_view_mode::phase, true),
                   "toggled", G_CALLBACK(on_phase_view), data);
}

// ---- Another preset for comparison ----

gboolean compare_when_idle(gpointer) {
  choose_compare_file();
  return FALSE;
}

// The chooser runs after the menu has closed, outside its activation.
void on_compare(GtkMenuItem*, gpointer) {
  g_idle_add(compare_when_idle, nullptr);
}

void on_stop_comparing(GtkMenuItem*, gpointer) {
  stop_comparing();
}

void append_compare_items(GtkWidget* menu) {
  append_item(menu, gtk_separator_menu_item_new());
  g_signal_connect(append_mnemonic(menu, "_Compare with file..."), "activate",
                   G_CALLBACK(on_compare), nullptr);
  GtkWidget* stop = append_mnemonic(menu, "Stop comparin_g");
  gtk_widget_set_sensitive(stop, compared_preset().preset != nullptr);
  g_signal_connect(stop, "activate", G_CALLBACK(on_stop_comparing), nullptr);
}

// ---- Undo and redo, so that they can be found ----

void on_undo(GtkMenuItem*, gpointer redo) {
  if (redo)
    editor_redo();
  else
    editor_undo();
}

// "Undo <what>" and "Redo <what>", insensitive when there is nothing to
// take back or do again, then a separator.
void prepend_undo_items(GtkWidget* menu) {
  const struct {
    std::string label;
    bool can;
  } items[] = {{editor_undo_label(), editor_can_undo()}, {editor_redo_label(), editor_can_redo()}};
  gtk_menu_shell_prepend(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
  for (int i = 1; i >= 0; --i) {
    GtkWidget* item = gtk_menu_item_new_with_label(items[i].label.c_str());
    gtk_widget_set_sensitive(item, items[i].can);
    g_signal_connect(item, "activate", G_CALLBACK(on_undo), GINT_TO_POINTER(i));
    gtk_menu_shell_prepend(GTK_MENU_SHELL(menu), item);
  }
}

// ---- Popping up and closing ----

gboolean destroy_when_idle(gpointer menu) {
  gtk_widget_destroy(GTK_WIDGET(menu));
  return FALSE;
}

// A closed menu goes once its item's activation is over.
void on_menu_closed(GtkWidget* menu, gpointer) {
  g_idle_add(destroy_when_idle, menu);
}

gboolean on_label_press(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->button != 3) return FALSE;
  const int d = GPOINTER_TO_INT(data);
  if (event->type == GDK_BUTTON_PRESS && is_open_channel(d & 3))
    popup_channel_menu(channel_menu(d & 3, static_cast<channel_section>(d >> 2)), event);
  return TRUE;
}

// ---- Messages ----

// The status bar of notebook page `index` (the plot pages keep theirs in an
// event box of its own), or null.
GtkStatusbar* page_statusbar(int index) {
  GtkWidget* page = notebook ? gtk_notebook_get_nth_page(GTK_NOTEBOOK(notebook), index) : nullptr;
  GList* children = page ? gtk_container_get_children(GTK_CONTAINER(page)) : nullptr;
  GtkStatusbar* bar = nullptr;
  for (GList* l = children; l && !bar; l = l->next) {
    GtkWidget* w =
        GTK_IS_EVENT_BOX(l->data) ? gtk_bin_get_child(GTK_BIN(l->data)) : GTK_WIDGET(l->data);
    if (w && GTK_IS_STATUSBAR(w)) bar = GTK_STATUSBAR(w);
  }
  g_list_free(children);
  return bar;
}

}  // namespace

void show_tab_message(const std::string& text) {
  if (notebook) show_page_message(gtk_notebook_get_current_page(GTK_NOTEBOOK(notebook)), text);
}

void show_page_message(int page, const std::string& text) {
  if (!notebook) return;
  if (GtkStatusbar* bar = page_statusbar(page)) {
    const guint id = gtk_statusbar_get_context_id(bar, TOOL_CONTEXT);
    gtk_statusbar_pop(bar, id);
    gtk_statusbar_push(bar, id, text.c_str());
  }
}

void clear_tool_messages() {
  const int pages = notebook ? gtk_notebook_get_n_pages(GTK_NOTEBOOK(notebook)) : 0;
  for (int i = 0; i < pages; ++i)
    if (GtkStatusbar* bar = page_statusbar(i))
      gtk_statusbar_pop(bar, gtk_statusbar_get_context_id(bar, TOOL_CONTEXT));
}

namespace {

std::string without_final_newline(std::string s) {
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

// The folder the import chooser was left in, for the next one.
std::string import_folder;

}  // namespace

GtkWidget* channel_menu(int ch, channel_section s) {
  GtkWidget* menu = gtk_menu_new();
  if (!is_open_channel(ch)) return menu;
  if (s != channel_section::whole) {
    const std::string label = std::string("Copy _") + section_label(s) + " to";
    append_copy_item(menu, ch, s, label.c_str());
  }
  append_copy_item(menu, ch, channel_section::whole, "Copy _whole channel to");
  if (s == channel_section::delay) {
    append_item(menu, gtk_separator_menu_item_new());
    append_align_item(menu, ch);
  }
  return menu;
}

GtkWidget* plot_menu(int ch, bool eq_plot) {
  GtkWidget* menu = channel_menu(ch, eq_plot ? channel_section::eq : channel_section::crossover);
  if (eq_plot && is_open_channel(ch)) append_eq_items(menu, ch);
  if (is_open_channel(ch)) append_measurement_items(menu, ch, eq_plot);
  if (is_open_channel(ch)) append_compare_items(menu);
  if (is_open_channel(ch)) prepend_undo_items(menu);
  return menu;
}

void popup_channel_menu(GtkWidget* menu, GdkEventButton* event) {
  style_editor_popup(menu);  // its submenus follow it
  g_signal_connect(menu, "deactivate", G_CALLBACK(on_menu_closed), nullptr);
  gtk_widget_show_all(menu);
  gtk_menu_popup(GTK_MENU(menu), nullptr, nullptr, nullptr, nullptr, event ? event->button : 0,
                 event ? event->time : gtk_get_current_event_time());
}

GtkWidget* with_channel_menu(GtkWidget* label, int ch, channel_section s) {
  GtkWidget* box = gtk_event_box_new();
  gtk_event_box_set_visible_window(GTK_EVENT_BOX(box), FALSE);
  gtk_container_add(GTK_CONTAINER(box), label);
  gtk_widget_show(label);  // a notebook shows its tab labels, not what they hold
  gtk_widget_add_events(box, GDK_BUTTON_PRESS_MASK);
  g_signal_connect(box, "button-press-event", G_CALLBACK(on_label_press),
                   GINT_TO_POINTER(ch | static_cast<int>(s) << 2));
  return box;
}

void copy_channel_to(int from, unsigned targets, channel_section s) {
  if (!is_open_channel(from)) return;
  unsigned changed = 0;
  // The step is named once the copy shows which channels it changed.
  run_as_one_change("", [&] {
    changed = copy_to_channels(preset, open_channels(), from, targets, s);
    edit_scope_name(copy_step_name(from, changed, s));
  });
  if (changed) show_record_in_editor();
  targets &= ((1u << open_channels()) - 1) & ~(1u << from);
  show_tab_message(copy_report(from, targets, changed, s));
}

bool import_filter_file(int ch, const std::string& path, bool apply_preamp) {
  if (!is_open_channel(ch)) return false;
  const std::string refused = "Cannot import " + shown_file_name(path);
  // Only a regular file is read (a device or a pipe might never end).
  const text_input_t in = read_text_file(path);
  if (!in.ok) {
    show_message(
        GTK_MESSAGE_ERROR, "Error!", refused,
        "Reason: " + in.reason + ".\nFile: " + shown_file_path(path) + "\nNothing was changed.");
    return false;
  }
  const filter_import_t r = import_filter_text(in.text, preset.channel[ch], apply_preamp);
  if (!r.ok) {
    show_message(
        GTK_MESSAGE_ERROR, "Error!", refused,
        "Reason: " + without_final_newline(r.message()) + ".\nFile: " + shown_file_path(path));
    return false;
  }
  run_as_one_change(filter_import_step_name(ch),
                    [&] { apply_filter_import(preset, open_channels(), ch, r); });
  show_record_in_editor();
  show_message(GTK_MESSAGE_INFO, "Import Filter Settings",
               "Filter settings imported into " + channel_label(preset, ch),
               without_final_newline(r.message()) + "\nFile: " + shown_file_path(path));
  return true;
}

void import_filter_settings(int ch) {
  if (!is_open_channel(ch)) return;
  bool apply = false;
  const std::string chosen =
      choose_file_to_open("Import Filter Settings", import_folder,
                          {{"Filter settings (*.txt)", {"*.txt", "*.TXT"}}, {"All files", {"*"}}},
                          "Apply the preamp to the channel level", &apply);
  if (!chosen.empty()) import_filter_file(ch, chosen, apply);
}
