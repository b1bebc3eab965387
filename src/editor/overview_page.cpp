// The Overview page (input mode, the routing and signal-flow diagrams that
// open the tab a click names) and the System page (preset name, read-only
// copies of the diagrams, " Save Preset ").
#include <cairo.h>

#include "editor/channel_links.h"
#include "editor/editor_pages.h"
#include "editor/make_widgets.h"
#include "editor/overview_draw.h"
#include "editor/preset_verwaltung.h"
#include "files/file_dialogs.h"
#include "model/change_preset.h"
#include "model/editing.h"
#include "model/preset.h"
#include "shell/app.h"
#include "wizard/preset_generator.h"
#include "wizard/selection.h"

namespace {

// The device a diagram handler's user data names.
int device_of(gpointer data) {
  return GPOINTER_TO_INT(data) == MV961 ? MV961 : MV517;
}

ChannelFlowView channel_flow_view(int channels) {
  ChannelFlowView v;
  v.channels = channels;
  for (int i = 0; i < 5; ++i) v.aktiv[i] = aktiv[i];
  v.lock = preset.lock;
  v.links = editor_links();
  for (int ch = 0; ch < 4; ++ch) {
    ChannelFlowRow& r = v.row[ch];
    r.delay_text = delay_values[ch];
    r.level_text = level_values[ch];
    r.dyn_text = dyn_values[ch];
    r.name = channel_name_utf8(ch);
    r.lp_config = preset.channel[ch].xo[1].config;
    for (int b = 0; b < 6; ++b) r.eq_band_on[b] = peq_band_on(ch, b);
  }
  return v;
}

template <typename Draw>
void draw_on(GtkWidget* widget, Draw draw) {
  if (!widget->window) return;
  cairo_t* cr = gdk_cairo_create(widget->window);
  draw(cr);
  cairo_destroy(cr);
}

void set_page(GtkWidget* book, int page) {
  if (book) gtk_notebook_set_current_page(GTK_NOTEBOOK(book), page);
}

// The two diagrams side by side; `click` adds presses (Overview) or only
// button motion (the System copies, which have no press handler).
void diagram_row(GtkWidget* row, GtkWidget*& routing, GtkWidget*& flow, int mv_x, bool click) {
  routing = make_drawing_area(ROUTING_WIDTH, ROUTING_HEIGHT, click ? 1 : 2);
  flow = make_drawing_area(CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT, click ? 1 : 2);
  const gpointer device = GINT_TO_POINTER(mv_x);
  g_signal_connect(routing, "expose-event", G_CALLBACK(expose_event_routing), device);
  g_signal_connect(flow, "expose-event", G_CALLBACK(expose_event_routing2), device);
  if (click) {
    gtk_widget_set_tooltip_text(routing, "Click on the icons to edit.");
    gtk_widget_set_tooltip_text(flow, "Click on the icons to edit.");
    g_signal_connect(routing, "button-press-event", G_CALLBACK(routing_press), device);
    g_signal_connect(flow, "button-press-event", G_CALLBACK(routing_press2), device);
  }
  pack(row, routing, false, false, 0);
  pack(row, flow, false, false, 0);
}

// row (expand) > homogeneous row (expand and fill, padding) > vertical box.
GtkWidget* centred_column(GtkWidget* page, int padding) {
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  pack(page, row, true, false, 0);
  GtkWidget* homogeneous = gtk_hbox_new(TRUE, 0);
  pack(row, homogeneous, true, true, padding);
  GtkWidget* column = gtk_vbox_new(FALSE, 0);
  pack(homogeneous, column, false, false, 0);
  return column;
}

}  // namespace

gboolean expose_event_routing(GtkWidget* widget, GdkEventExpose*, gpointer data) {
  const RoutingView v = routing_view_of(preset, device_of(data), in_mode);
  draw_on(widget, [&](cairo_t* cr) { draw_routing(cr, v); });
  return FALSE;
}

gboolean expose_event_routing2(GtkWidget* widget, GdkEventExpose*, gpointer data) {
  const ChannelFlowView v = channel_flow_view(device_of(data));
  draw_on(widget, [&](cairo_t* cr) { draw_channel_flow(cr, v); });
  return FALSE;
}

gboolean routing_press(GtkWidget*, GdkEventButton* event, gpointer) {
  if (routing_hit(event->x, event->y)) set_page(notebook, TAB_CHANNEL_SETUP);
  return FALSE;
}

gboolean routing_press2(GtkWidget*, GdkEventButton* event, gpointer data) {
  const ChannelFlowHit hit = channel_flow_hit(device_of(data), event->x, event->y);
  if (!hit.hit) return FALSE;
  set_page(notebook, static_cast<int>(hit.page));
  if (hit.channel_page >= 0) {
    if (hit.page == TAB_CROSSOVER) set_page(notebook_xo, hit.channel_page);
    if (hit.page == TAB_PARAMETRIC_EQ) set_page(notebook_peq, hit.channel_page);
  }
  return FALSE;
}

void build_overview_page(GtkWidget* page, int mv_x) {
  check_lock_rout = add_tab_header(page, "Overview", 200, 181, "Lock Routing & Polarity", 0, false);

  GtkWidget* column = centred_column(page, 0);
  pack(column, gtk_hbox_new(FALSE, 0), false, false, 10);
  pack(column, separator_row(270, 20), false, false, 0);

  GtkWidget* mode_row = gtk_hbox_new(FALSE, 0);
  pack(mode_row, gtk_label_new("Input-Mode:"), false, false, 25);
  combo_input = mv_x == MV517
                    ? make_combobox("Inputs Analog", "Input 1 Digital", "Input 2 Digital", -1,
                                    COMBO_INPUT_MV517)
                    : make_combobox("Inputs Analog", "Inputs Digital", nullptr, -1, COMBO_PLAIN);
  gtk_widget_set_tooltip_text(combo_input, "These option must be set on device!");
  pack(mode_row, combo_input, false, false, 5);
  pack(mode_row,
       make_label_with_markup("Note: Don`t forget to set input mode on your device!",
                              LABEL_NOTE_RED),
       false, false, 30);
  pack(column, mode_row, false, false, 5);

  pack(column, separator_row(270, 20), false, false, 0);
  pack(column, gtk_hbox_new(FALSE, 0), false, false, 10);

  GtkWidget* diagrams = gtk_hbox_new(FALSE, 0);
  diagram_row(diagrams, draw_area_routing, draw_area_routing2, mv_x, true);
  pack(column, diagrams, false, false, 25);

  // The input mode is a setting of the device, not of the preset: it starts
  // at the first entry, set after the handler is connected so that in_mode
  // follows (channel A's routing is stored again unchanged).
  g_signal_connect(combo_input, "changed", G_CALLBACK(change_routing), GINT_TO_POINTER(0));
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo_input), 0);
  // An MV517 editor built by the wizard's Apply starts at the wizard's input
  // choice; that selector exists only while the wizard does.
  if (generated == 1 && mv_x == MV517 && combo_ingen)
    gtk_combo_box_set_active(
        GTK_COMBO_BOX(combo_input),
        wizard_input_entry(gtk_combo_box_get_active(GTK_COMBO_BOX(combo_ingen))));

  GtkWidget* bar = add_tab_footer(page, 1);
  gtk_statusbar_push(GTK_STATUSBAR(bar), 0, "Click the icons to edit.");
}

void build_system_page(GtkWidget* page, int mv_x) {
  pack(page, gtk_hseparator_new(), false, false, 8);
  pack(page, make_label_with_markup("System", LABEL_BOLD), false, true, 0);
  pack(page, gtk_hseparator_new(), false, false, 9);

  GtkWidget* column = centred_column(page, 5);
  pack(column, separator_row(270, 20), false, false, 0);

  GtkWidget* name_row = gtk_hbox_new(FALSE, 0);
  pack(name_row, make_label_with_markup("Preset-Name:", LABEL_BOLD), false, false, 25);
  preset_name = make_entry(PRESET_NAME_MAX, 110);
  gtk_entry_set_text(GTK_ENTRY(preset_name), record_to_utf8(preset.name, PRESET_NAME_MAX).c_str());
  guard_name_entry(preset_name, PRESET_NAME_MAX);
  g_signal_connect(preset_name, "changed", G_CALLBACK(change_entry), GINT_TO_POINTER(0));
  pack(name_row, preset_name, false, false, 0);
  pack(column, name_row, false, false, 5);

  pack(column, separator_row(270, 20), false, false, 0);
  pack(column, gtk_hbox_new(FALSE, 0), false, false, 5);

  GtkWidget* diagrams = gtk_hbox_new(FALSE, 0);
  diagram_row(diagrams, draw_area_routing_cpy, draw_area_routing2_cpy, mv_x, false);
  pack(column, diagrams, false, false, 10);

  GtkWidget* button_row = gtk_hbox_new(FALSE, 0);
  button_generate = make_button(" Save Preset ", -1, -1, 1);
  g_signal_connect(button_generate, "clicked", G_CALLBACK(save_file), GINT_TO_POINTER(1));
  pack_end(button_row, button_generate, false, false, 30);
  pack(column, button_row, false, false, 0);

  add_tab_footer(page, 1);
}
