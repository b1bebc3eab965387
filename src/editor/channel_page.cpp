// The Channel Setup page: one framed column per channel with its name,
// mute and level groups, Mute button, fader, gain, routing and polarity;
// between the channels of each pair the "Link" check box.
#include <string>

#include "editor/channel_links.h"
#include "editor/editor_pages.h"
#include "editor/make_widgets.h"
#include "editor/preset_verwaltung.h"
#include "model/change_preset.h"
#include "model/editing.h"
#include "model/preset.h"

namespace {

const char* const frame_captions[4] = {" Channel A ", " Channel B ", " Channel C ", " Channel D "};

// Selects `index` when the selector has such an entry, else none.
void set_active_checked(GtkWidget* combo, int index) {
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
  const int count = gtk_tree_model_iter_n_children(model, nullptr);
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), index >= 0 && index < count ? index : -1);
}

// A caption of fixed width, left-aligned.
GtkWidget* row_caption(const char* text) {
  GtkWidget* label = gtk_label_new(text);
  gtk_widget_set_size_request(label, 38, -1);
  gtk_misc_set_alignment(GTK_MISC(label), 0.0f, 0.5f);
  return label;
}

GtkWidget* framed(const char* title, GtkWidget* child) {
  GtkWidget* frame = gtk_frame_new(title);
  GtkWidget* box = gtk_vbox_new(FALSE, 0);
  pack(box, child, false, false, 0);
  gtk_container_add(GTK_CONTAINER(frame), box);
  return frame;
}

// The controls of channel n, filled from the record.
void make_channel_controls(int n, int mv_x) {
  const channel_t& c = preset.channel[n];
  const bool mv517 = mv_x == MV517;

  ch_name[n] = make_entry(CHANNEL_NAME_MAX, 90);
  gtk_entry_set_text(GTK_ENTRY(ch_name[n]), channel_name_utf8(n).c_str());

  spinner_gain[n] = make_spinbutton(LEVEL_MIN_DB, LEVEL_MAX_DB, 0.1, 5, 1, c.gain / 10.0, 55);
  vscale[n] = make_vscale(LEVEL_MIN_DB, LEVEL_MAX_DB + 0.1, 0.1, c.gain / 10.0, 90, 150);

  combobox[n] = make_combobox("0°", "180°", nullptr, 57, COMBO_PLAIN);
  set_active_checked(combobox[n], c.phase);

  const int device = mv517 ? MV517 : MV961;
  combobox_rout[n] =
      make_combobox(routing_label(device, 0), routing_label(device, 1), routing_label(device, 2),
                    120, mv517 ? COMBO_ROUTING_MV517 : COMBO_ROUTING_MV961);
  set_active_checked(combobox_rout[n], c.routing);

  // The MV961 has one level group and one mute group.
  combo_lvl[n] = make_combobox(level_group_labels[0], level_group_labels[1],
                               mv517 ? level_group_labels[2] : nullptr, 85, COMBO_PLAIN);
  set_active_checked(combo_lvl[n], level_group_index(c.groups));

  combo_mute[n] = make_combobox(mute_group_labels[0], mute_group_labels[1], mute_group_labels[2],
                                85, mv517 ? COMBO_MUTE_MV517 : COMBO_PLAIN);
  set_active_checked(combo_mute[n], mute_group_index(c.groups));

  button_mute[n] = make_button("Mute", 90, 20, 2);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button_mute[n]), (preset.mute >> n) & 1);
}

GtkWidget* channel_frame(int n) {
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_label_widget(GTK_FRAME(frame),
                             make_label_with_markup(frame_captions[n], LABEL_LARGE_BLUE));
  gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_OUT);
  GtkWidget* vbox = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(frame), vbox);

  pack(vbox, gtk_hbox_new(FALSE, 0), false, false, 5);
  pack(vbox, gtk_hseparator_new(), false, false, 5);

  GtkWidget* name_row = gtk_hbox_new(FALSE, 0);
  pack(name_row, gtk_label_new("Name:"), false, false, 10);
  pack(name_row, ch_name[n], false, false, 0);
  pack(vbox, name_row, false, false, 0);
  pack(vbox, gtk_hseparator_new(), false, false, 5);

  GtkWidget* groups_row = gtk_hbox_new(FALSE, 0);
  pack(groups_row, framed("Mute-Group", combo_mute[n]), false, false, 5);
  pack(groups_row, framed("Level-Group", combo_lvl[n]), false, false, 5);
  pack(vbox, groups_row, false, false, 2);
  pack(vbox, gtk_hseparator_new(), false, false, 10);

  GtkWidget* mute_row = gtk_hbox_new(FALSE, 0);
  GtkWidget* mute_frame = gtk_frame_new(nullptr);
  gtk_container_add(GTK_CONTAINER(mute_frame), button_mute[n]);
  pack(mute_row, mute_frame, true, false, 0);
  pack(vbox, mute_row, false, false, 5);

  GtkWidget* fader_row = gtk_hbox_new(FALSE, 0);
  GtkWidget* fader_frame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(fader_frame), GTK_SHADOW_IN);
  gtk_container_add(GTK_CONTAINER(fader_frame), vscale[n]);
  pack(fader_row, fader_frame, true, false, 0);
  pack(vbox, fader_row, false, false, 0);

  pack(vbox, gtk_hbox_new(FALSE, 0), false, false, 5);
  pack(vbox, gtk_hseparator_new(), false, false, 8);

  GtkWidget* gain_row = gtk_hbox_new(FALSE, 0);
  pack(gain_row, row_caption("Gain:"), false, false, 10);
  pack(gain_row, spinner_gain[n], false, false, 3);
  pack(gain_row, gtk_label_new("dB"), false, false, 2);
  pack(vbox, gain_row, false, false, 5);

  GtkWidget* route_row = gtk_hbox_new(FALSE, 0);
  pack(route_row, row_caption("Route:"), false, false, 10);
  pack(route_row, combobox_rout[n], false, false, 3);
  pack(vbox, route_row, false, false, 0);

  GtkWidget* phase_row = gtk_hbox_new(FALSE, 0);
  pack(phase_row, row_caption("Phase:"), false, false, 10);
  pack(phase_row, combobox[n], false, false, 3);
  pack(vbox, phase_row, false, false, 5);
  pack(vbox, gtk_hseparator_new(), false, false, 8);
  return frame;
}

void connect_channel(int n) {
  const gpointer ch = GINT_TO_POINTER(n);
  guard_name_entry(ch_name[n], CHANNEL_NAME_MAX);
  g_signal_connect(ch_name[n], "changed", G_CALLBACK(change_channel_name), ch);
  g_signal_connect(spinner_gain[n], "value-changed", G_CALLBACK(change_channel_gain), ch);
  g_signal_connect(vscale[n], "value-changed", G_CALLBACK(change_vscale), ch);
  g_signal_connect(combobox[n], "changed", G_CALLBACK(change_phase), ch);
  g_signal_connect(combobox_rout[n], "changed", G_CALLBACK(change_routing), ch);
  g_signal_connect(combo_mute[n], "changed", G_CALLBACK(change_mute_group), ch);
  g_signal_connect(combo_lvl[n], "changed", G_CALLBACK(change_lvl_group), ch);
  g_signal_connect(button_mute[n], "toggled", G_CALLBACK(mute), ch);
}

}  // namespace

void build_channel_setup_page(GtkWidget* page, int mv_x) {
  check_lock_mutelvl =
      add_tab_header(page, "Channel Setup", 200, 181, "Lock Mute-/Lvl-Link", 5, false);

  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  GtkWidget* column = gtk_vbox_new(TRUE, 0);
  GtkWidget* frames = gtk_hbox_new(FALSE, 0);
  pack(page, row, true, false, 10);
  pack(row, column, true, true, 5);
  pack(column, with_link_boxes(frames, mv_x), false, false, 0);

  for (int n = 0; n < mv_x; ++n) {
    make_channel_controls(n, mv_x);
    pack(frames, channel_frame(n), true, false, 10);
    gain_temp[n] = preset.channel[n].gain / 10.0;
    connect_channel(n);
  }
  // A muted channel's level, polarity, routing and group controls are
  // insensitive; its name stays editable.
  update_mute_sensitivity();

  add_tab_footer(page, 0);
}
