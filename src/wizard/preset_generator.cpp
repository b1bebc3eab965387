// The preset wizard's assistant: its pages, the handlers that feed presses
// and choices into the page model of wizard/selection.h and copy the model
// back into the widgets, Apply (generation and the editor), Cancel, and the
// selection summary.
#include "wizard/preset_generator.h"

#include <gio/gio.h>

#include <algorithm>

#include "editor/gtk_util.h"
#include "editor/make_widgets.h"
#include "editor/preset_verwaltung.h"
#include "files/document.h"
#include "model/change_preset.h"
#include "model/preset.h"
#include "shell/app.h"
#include "shell/resources.h"
#include "wizard/selection.h"

GtkWidget* wizard = nullptr;
GtkWidget *vboxw1 = nullptr, *vboxw2 = nullptr, *vboxw3 = nullptr, *vboxw4 = nullptr;
GtkWidget *eventbox_mv517 = nullptr, *image_mv517img = nullptr;
GtkWidget *toggle_sat = nullptr, *toggle_fullrange = nullptr, *toggle_barray = nullptr,
          *toggle_monitor = nullptr;
GtkWidget* combo_factory = nullptr;
GtkWidget* hbox_mode = nullptr;
GtkWidget *toggle_rs1 = nullptr, *toggle_rs2 = nullptr, *toggle_rs3 = nullptr,
          *toggle_rs4 = nullptr, *toggle_rs5 = nullptr;
GtkWidget *toggle_rx1 = nullptr, *toggle_rx2 = nullptr, *toggle_rx3 = nullptr;
GtkWidget *combo_rs1 = nullptr, *combo_rs2 = nullptr, *combo_rs3 = nullptr, *combo_rs4 = nullptr,
          *combo_rs5 = nullptr;
GtkWidget *frame_top = nullptr, *frame_bass = nullptr;
GtkWidget* entry_pname = nullptr;
GtkWidget* combo_ingen = nullptr;
GtkWidget* check_lock_wiz = nullptr;
GtkWidget* button_show = nullptr;

selection_opener_t selection_opener = open_with_desktop;

namespace {

// What the pages show; the rules of selection.h change it, show_state()
// puts it into the widgets.
wizard_state_t wiz;
// Set while show_state() writes the widgets: their own signals are not
// user choices then.
bool syncing = false;

GtkWidget** const pages[4] = {&vboxw1, &vboxw2, &vboxw3, &vboxw4};
GtkWidget** const mode_toggles[WIZ_MODE_COUNT] = {&toggle_sat, &toggle_fullrange, &toggle_barray,
                                                  &toggle_monitor};
GtkWidget** const speaker_toggles[WIZ_SPEAKER_COUNT] = {&toggle_rs1, &toggle_rs2, &toggle_rs3,
                                                        &toggle_rs4, &toggle_rs5, &toggle_rx1,
                                                        &toggle_rx2, &toggle_rx3};
GtkWidget** const quantity_combos[WIZ_TOP_COUNT] = {&combo_rs1, &combo_rs2, &combo_rs3, &combo_rs4,
                                                    &combo_rs5};

// A box holding `child` centred at its natural width.
GtkWidget* centred(GtkWidget* child) {
  GtkWidget* row = gtk_hbox_new(FALSE, 0);
  pack(row, child, true, false, 0);
  return row;
}

void set_active(GtkWidget* toggle, bool on) {
  if (toggle && (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggle)) != 0) != on)
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), on);
}

// Copies the page model into the widgets: toggles, selectors, the "Show
// Selection" button and the complete flags of the pages.
void show_state() {
  if (!wizard) return;
  syncing = true;
  for (int m = 0; m < WIZ_MODE_COUNT; ++m) {
    set_active(*mode_toggles[m], wiz.mode_active[m]);
    set_sensitive(*mode_toggles[m], wiz.mode_sensitive[m]);
  }
  for (int s = 0; s < WIZ_SPEAKER_COUNT; ++s) {
    set_active(*speaker_toggles[s], wiz.speaker_active[s]);
    set_sensitive(*speaker_toggles[s], wiz.speaker_sensitive[s]);
  }
  for (int t = 0; t < WIZ_TOP_COUNT; ++t) {
    GtkWidget* combo = *quantity_combos[t];
    if (!combo) continue;
    if (combo_index(combo) != wiz.quantity[t])
      gtk_combo_box_set_active(GTK_COMBO_BOX(combo), wiz.quantity[t]);
    set_sensitive(combo, wiz.quantity_sensitive[t]);
  }
  set_sensitive(button_show, wiz.show_sensitive);
  for (int p = 0; p < 4; ++p)
    if (*pages[p])
      gtk_assistant_set_page_complete(GTK_ASSISTANT(wizard), *pages[p], wiz.complete[p]);
  syncing = false;
}

void show_page(int page) {
  if (wizard) gtk_assistant_set_current_page(GTK_ASSISTANT(wizard), page);
}

bool model_active(int item) {
  if (item >= WIZ_ITEM_SAT && item <= WIZ_ITEM_MONITOR) return wiz.mode_active[item - 1];
  const int s = item_speaker(item);
  return s >= 0 && wiz.speaker_active[s];
}

// "clicked" of the twelve toggles. Presses never reach the toggle's own
// handling (set_page takes them), so a toggle that changed by itself was
// activated from the keyboard or by a program: that counts as a single
// press, which the page rules may refuse (the toggle then goes back).
void toggle_clicked(GtkWidget* toggle, gpointer data) {
  if (syncing) return;
  const int item = GPOINTER_TO_INT(data);
  if ((gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggle)) != 0) != model_active(item))
    wizard_press(wiz, item, WIZ_PRESS_SINGLE, tree_select);
  show_state();
}

// A toggle that the press handler alone sets.
void connect_toggle(GtkWidget* toggle, int item) {
  g_signal_connect(
      toggle, "button-press-event",
      G_CALLBACK(static_cast<gboolean (*)(GtkWidget*, GdkEventButton*, gpointer)>(set_page)),
      GINT_TO_POINTER(item));
  g_signal_connect(toggle, "clicked", G_CALLBACK(toggle_clicked), GINT_TO_POINTER(item));
}

// "changed" of the quantity selector of top `data`.
void quantity_changed(GtkWidget* combo, gpointer data) {
  if (syncing) return;
  wizard_set_quantity(wiz, GPOINTER_TO_INT(data), combo_index(combo));
  show_state();  // puts back a choice the rules refuse
}

// The prepare, close and forward-page signatures of the assistant.
void on_prepare(GtkAssistant* assistant, GtkWidget* page, gpointer data) {
  next_page(assistant, page, data);
}
void on_close(GtkAssistant* assistant, gpointer data) {
  destroy_wizard(GTK_WIDGET(assistant), nullptr, data);
}
gint forward_page(gint current_page, gpointer data) {
  return assistant_forward(current_page, data);
}

void forget_step_three() {
  hbox_mode = nullptr;
  for (GtkWidget** w : speaker_toggles) *w = nullptr;
  for (GtkWidget** w : quantity_combos) *w = nullptr;
  frame_top = frame_bass = nullptr;
}

// "destroy" of the assistant: its widgets are gone.
void forget_wizard(GtkWidget* w, gpointer) {
  if (w != wizard) return;
  wizard = nullptr;
  for (GtkWidget** p : pages) *p = nullptr;
  for (GtkWidget** t : mode_toggles) *t = nullptr;
  forget_step_three();
  eventbox_mv517 = image_mv517img = combo_factory = nullptr;
  entry_pname = combo_ingen = check_lock_wiz = button_show = nullptr;
}

// A compiled-in picture scaled bilinearly to width x height, in an image.
GtkWidget* picture(const char* resource, int width, int height) {
  GtkWidget* image = gtk_image_new();
  if (GdkPixbuf* pb = load_picture(resource)) {
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(pb, width, height, GDK_INTERP_BILINEAR);
    gtk_image_set_from_pixbuf(GTK_IMAGE(image), scaled);
    g_object_unref(scaled);
    g_object_unref(pb);
  }
  return image;
}

// ---- Pages -----------------------------------------------------------------

void build_step_one() {
  GtkWidget* column = gtk_vbox_new(FALSE, 0);
  pack(column, make_label_with_markup("Welcome to MV 517 Preset Wizard...", LABEL_LARGE_BLUE),
       false, false, 10);
  pack(column, gtk_hseparator_new(), false, false, 10);
  eventbox_mv517 = gtk_event_box_new();
  gtk_widget_add_events(eventbox_mv517, GDK_BUTTON_PRESS_MASK);
  image_mv517img = picture(MV517_FRONT_RESOURCE, 620, 185);
  gtk_container_add(GTK_CONTAINER(eventbox_mv517), image_mv517img);
  g_signal_connect(eventbox_mv517, "button-press-event", G_CALLBACK(click_mv517), nullptr);
  pack(column, centred(eventbox_mv517), false, false, 10);
  pack(column, gtk_hseparator_new(), false, false, 10);
  pack(column, make_label_with_markup("Note: This wizard is for MV 517 only.", LABEL_NOTE_RED),
       false, false, 10);
  pack(vboxw1, column, true, false, 0);
}

void build_step_two() {
  gtk_widget_set_tooltip_text(vboxw2, "Click to select operating mode.");
  pack(vboxw2, make_label_with_markup("Select the operating mode...", LABEL_LARGE_BLUE), false,
       false, 10);
  pack(vboxw2, gtk_hseparator_new(), false, false, 5);

  struct mode_picture {
    const char* resource;
    int width, height;
  };
  const mode_picture pics[WIZ_MODE_COUNT] = {{MODE_SAT_RESOURCE, 75, 140},
                                             {MODE_FULLRANGE_RESOURCE, 90, 120},
                                             {MODE_BASSARRAY_RESOURCE, 140, 80},
                                             {MODE_MONITOR_RESOURCE, 140, 90}};
  // Frames and captions in two rows of equal slots, so that each caption
  // stands under its picture.
  GtkWidget* grid = gtk_vbox_new(FALSE, 5);
  GtkWidget* frames = gtk_hbox_new(TRUE, 10);
  GtkWidget* captions = gtk_hbox_new(TRUE, 10);
  for (int m = 0; m < WIZ_MODE_COUNT; ++m) {
    GtkWidget* toggle = gtk_toggle_button_new();
    // The picture is the button's child: a desktop setting that hides
    // button images must not empty the mode buttons.
    gtk_container_add(GTK_CONTAINER(toggle),
                      picture(pics[m].resource, pics[m].width, pics[m].height));
    *mode_toggles[m] = toggle;
    connect_toggle(toggle, WIZ_ITEM_SAT + m);
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    gtk_widget_set_size_request(frame, 165, 165);
    gtk_container_add(GTK_CONTAINER(frame), toggle);
    pack(frames, frame, true, false, 0);
    GtkWidget* caption = make_label_with_markup(mode_label(m), LABEL_BOLD);
    gtk_widget_set_size_request(caption, 150, -1);
    pack(captions, caption, true, false, 0);
  }
  pack(grid, frames, false, true, 0);
  pack(grid, captions, false, true, 0);
  pack(vboxw2, centred(grid), false, false, 10);
  pack(vboxw2, gtk_hseparator_new(), false, false, 5);

  GtkWidget* factory_row = gtk_hbox_new(FALSE, 0);
  pack(factory_row, make_label_with_markup("Use Factory Preset:", LABEL_BOLD), false, false, 10);
  combo_factory = make_combobox("None", "FPreset 1", "FPreset 2", 100, COMBO_PLAIN);
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo_factory), 0);
  g_signal_connect(combo_factory, "changed", G_CALLBACK(change_mode), nullptr);
  pack(factory_row, combo_factory, false, false, 0);
  pack(vboxw2, centred(factory_row), false, false, 10);
  pack(vboxw2, gtk_hseparator_new(), false, false, 5);
}

// The captions of Step Four: 100 pixels wide, left aligned.
void caption_column(GtkWidget* const* captions, int count) {
  for (int i = 0; i < count; ++i) {
    gtk_widget_set_size_request(captions[i], 100, -1);
    gtk_misc_set_alignment(GTK_MISC(captions[i]), 0.0f, 0.5f);
  }
}

void build_step_four() {
  gtk_widget_set_tooltip_text(vboxw4, "Set parameters.");
  pack(vboxw4, make_label_with_markup("Set some Parameters...", LABEL_LARGE_BLUE), false, false,
       10);
  pack(vboxw4, gtk_hseparator_new(), false, false, 5);

  GtkWidget* fields = gtk_vbox_new(FALSE, 8);
  GtkWidget* name_row = gtk_hbox_new(FALSE, 0);
  GtkWidget* const captions[3] = {make_label_with_markup("Preset-Name:", LABEL_BOLD),
                                  make_label_with_markup("Input-Mode:", LABEL_BOLD),
                                  gtk_label_new("")};
  caption_column(captions, 3);
  pack(name_row, captions[0], false, false, 0);
  entry_pname = make_entry(static_cast<int>(PRESET_NAME_MAX), 110);
  gtk_entry_set_text(GTK_ENTRY(entry_pname), "Preset");
  // Only what the record's name field can hold is let in.
  guard_name_entry(entry_pname, PRESET_NAME_MAX);
  pack(name_row, entry_pname, false, false, 0);
  // Where the field says why it refused a character (empty until then).
  GtkWidget* notice = make_label_with_markup("", LABEL_NOTE_RED);
  g_object_set_data(G_OBJECT(entry_pname), "name notice", notice);
  pack(name_row, notice, false, false, 10);
  pack(fields, name_row, false, false, 0);

  GtkWidget* input_row = gtk_hbox_new(FALSE, 0);
  pack(input_row, captions[1], false, false, 0);
  combo_ingen = make_combobox("Analog", "Digital", nullptr, 110, COMBO_PLAIN);
  pack(input_row, combo_ingen, false, false, 0);
  pack(input_row,
       make_label_with_markup("Note: Don`t forget to set input mode on your device!",
                              LABEL_NOTE_RED),
       false, false, 20);
  pack(fields, input_row, false, false, 0);

  GtkWidget* lock_row = gtk_hbox_new(FALSE, 0);
  pack(lock_row, captions[2], false, false, 0);
  check_lock_wiz = gtk_check_button_new_with_label("Lock Preset");
  pack(lock_row, check_lock_wiz, false, false, 0);
  pack(fields, lock_row, false, false, 0);

  GtkWidget* fields_row = gtk_hbox_new(FALSE, 0);
  pack(fields_row, fields, false, false, 30);
  pack(vboxw4, fields_row, false, false, 10);
  pack(vboxw4, gtk_hseparator_new(), false, false, 5);

  GtkWidget* last_row = gtk_hbox_new(FALSE, 0);
  button_show = make_button("Show Selection", -1, -1, 1);
  g_signal_connect(button_show, "clicked", G_CALLBACK(show_selection), nullptr);
  gtk_box_pack_end(GTK_BOX(last_row), button_show, FALSE, FALSE, 10);
  pack(vboxw4, last_row, false, false, 5);
}

// One loudspeaker of Step Three: a toggle with its caption in a sunken
// 100 x 60 frame.
GtkWidget* speaker_frame(int speaker) {
  GtkWidget* toggle = gtk_toggle_button_new();
  GtkWidget* caption = make_label_with_markup(wizard_speakers[speaker].label, LABEL_BOLD);
  gtk_widget_set_size_request(caption, 100, -1);
  gtk_container_add(GTK_CONTAINER(toggle), caption);
  *speaker_toggles[speaker] = toggle;
  connect_toggle(toggle, speaker_item(speaker));
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
  gtk_widget_set_size_request(frame, 100, 60);
  gtk_container_add(GTK_CONTAINER(frame), toggle);
  return frame;
}

GtkWidget* etched_frame(const char* caption) {
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_frame_set_label_widget(GTK_FRAME(frame), make_label_with_markup(caption, LABEL_BOLD));
  gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_ETCHED_IN);
  return frame;
}

// Step Three for the mode the model was built for: the loudspeakers of the
// layout in `frame_top` (with their quantity selectors below them) and, in
// SAT mode, the basses in `frame_bass`. The widgets the layout does not
// use exist in a box that is never shown.
void build_step_three_widgets() {
  hbox_mode = gtk_hbox_new(FALSE, 0);
  pack(vboxw3, hbox_mode, true, true, 0);
  gtk_widget_set_tooltip_text(vboxw3, "Click to select speakers.");
  GtkWidget* unused = gtk_vbox_new(FALSE, 0);
  gtk_widget_set_no_show_all(unused, TRUE);

  GtkWidget* frames[WIZ_SPEAKER_COUNT];
  for (int s = 0; s < WIZ_SPEAKER_COUNT; ++s) frames[s] = speaker_frame(s);
  GtkWidget* selectors[WIZ_TOP_COUNT];
  for (int t = 0; t < WIZ_TOP_COUNT; ++t) {
    GtkWidget* combo = make_combobox("1x", "2x", nullptr, 45, COMBO_PLAIN);
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), 0);
    gtk_widget_set_sensitive(combo, FALSE);
    g_signal_connect(combo, "changed", G_CALLBACK(quantity_changed), GINT_TO_POINTER(t));
    *quantity_combos[t] = combo;
    selectors[t] = centred(combo);
  }
  const wiz_layout_t layout = wizard_layout(wiz.layout_mode);
  frame_top = etched_frame(layout.caption);
  frame_bass = etched_frame("Bass");

  bool placed[WIZ_SPEAKER_COUNT] = {};
  bool selector_placed[WIZ_TOP_COUNT] = {};
  GtkWidget* top_box = gtk_vbox_new(FALSE, 5);
  gtk_container_set_border_width(GTK_CONTAINER(top_box), 10);
  GtkWidget* top_row = gtk_hbox_new(FALSE, 10);
  for (int i = 0; i < layout.count; ++i) {
    const int s = layout.items[i];
    GtkWidget* item = gtk_vbox_new(FALSE, 5);
    pack(item, frames[s], false, false, 0);
    if (layout.quantity && wizard_speakers[s].top) {
      pack(item, selectors[s], false, false, 0);
      selector_placed[s] = true;
    }
    pack(top_row, item, false, false, 0);
    placed[s] = true;
  }
  pack(top_box, top_row, false, false, 0);
  if (layout.quantity) pack(top_box, gtk_label_new("Quantity per Channel"), false, false, 0);
  gtk_container_add(GTK_CONTAINER(frame_top), top_box);

  GtkWidget* column = gtk_vbox_new(FALSE, 0);
  pack(column, make_label_with_markup("Select your Speakers...", LABEL_LARGE_BLUE), false, false,
       10);
  pack(column, gtk_hseparator_new(), false, false, 5);
  pack(column, centred(frame_top), false, false, 10);

  GtkWidget* bass_row = gtk_hbox_new(FALSE, 10);
  gtk_container_set_border_width(GTK_CONTAINER(bass_row), 10);
  if (layout.bass_frame) {
    for (int s = WIZ_FIRST_BASS; s < WIZ_SPEAKER_COUNT; ++s) {
      pack(bass_row, frames[s], false, false, 0);
      placed[s] = true;
    }
  }
  gtk_container_add(GTK_CONTAINER(frame_bass), bass_row);
  pack(layout.bass_frame ? column : unused, centred(frame_bass), false, false, 10);

  for (int s = 0; s < WIZ_SPEAKER_COUNT; ++s)
    if (!placed[s]) pack(unused, frames[s], false, false, 0);
  for (int t = 0; t < WIZ_TOP_COUNT; ++t)
    if (!selector_placed[t]) pack(unused, selectors[t], false, false, 0);
  pack(column, unused, false, false, 0);
  pack(hbox_mode, column, true, false, 0);
  gtk_widget_show_all(hbox_mode);
}

void message(GtkMessageType type, const char* text, const std::string& details) {
  GtkWidget* dialog = gtk_message_dialog_new(
      wizard ? GTK_WINDOW(wizard) : nullptr,
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), type,
      GTK_BUTTONS_OK, "%s", text);
  gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", details.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), "Preset-Wizard");
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

// The user is told why the factory presets were not (all) read, before the
// preset opens with the default values where they are missing.
void report_factory_file(const wizard_result_t& r, const wizard_file_lookup_t& lookup) {
  std::string details = r.problem();
  if (lookup.path.empty()) {
    details += "\n\nLooked for:";
    for (const std::string& place : lookup.tried) details += "\n  " + place;
  }
  details += "\n\nChannels without a factory preset keep the default values.";
  message(GTK_MESSAGE_WARNING, "The factory presets could not be read completely.", details);
}

// Puts the rear-panel picture beside the summary unless one is there; the
// page shows without it when it cannot be written.
void put_rear_picture() {
  GBytes* bytes = picture_bytes(MV517_REAR_RESOURCE);
  if (!bytes) return;
  gsize size = 0;
  const gchar* data = static_cast<const gchar*>(g_bytes_get_data(bytes, &size));
  ::provide_rear_picture(SELECTION_FILE_NAME, std::string(data, size));
  g_bytes_unref(bytes);
}

}  // namespace

// ---- Start and construction ---------------------------------------------------

GtkWidget* create_wizard(double width, double height) {
  GtkWidget* assistant = gtk_assistant_new();
  gtk_window_set_title(GTK_WINDOW(assistant), "Preset-Wizard");
  // The editor's text style: the widths the pages give their captions,
  // selectors and fields were made for it, not for the desktop's font.
  apply_editor_style(assistant);
  if (GdkPixbuf* icon = load_picture(WIZARD_ICON_RESOURCE)) {
    gtk_window_set_icon(GTK_WINDOW(assistant), icon);
    g_object_unref(icon);
  }
  gtk_window_set_position(GTK_WINDOW(assistant), GTK_WIN_POS_CENTER);
  gtk_widget_set_size_request(assistant, static_cast<int>(width), static_cast<int>(height));
  // Kept above the maximised main window, whose commands are off meanwhile.
  if (window_main) gtk_window_set_transient_for(GTK_WINDOW(assistant), GTK_WINDOW(window_main));

  const GtkAssistantPageType types[4] = {GTK_ASSISTANT_PAGE_INTRO, GTK_ASSISTANT_PAGE_INTRO,
                                         GTK_ASSISTANT_PAGE_CONTENT, GTK_ASSISTANT_PAGE_CONFIRM};
  const char* const titles[4] = {"Preset-Wizard: Step One", "Preset-Wizard: Step Two",
                                 "Preset-Wizard: Step Three", "Preset-Wizard: Step Four"};
  for (int p = 0; p < 4; ++p) {
    *pages[p] = gtk_vbox_new(FALSE, 0);
    gtk_assistant_append_page(GTK_ASSISTANT(assistant), *pages[p]);
    gtk_assistant_set_page_type(GTK_ASSISTANT(assistant), *pages[p], types[p]);
    gtk_assistant_set_page_title(GTK_ASSISTANT(assistant), *pages[p], titles[p]);
  }
  gtk_assistant_set_forward_page_func(GTK_ASSISTANT(assistant), forward_page, nullptr, nullptr);
  g_signal_connect_after(assistant, "cancel", G_CALLBACK(cancel), nullptr);
  g_signal_connect_after(assistant, "apply", G_CALLBACK(finish), nullptr);
  g_signal_connect(assistant, "close", G_CALLBACK(on_close), nullptr);
  g_signal_connect(assistant, "prepare", G_CALLBACK(on_prepare), nullptr);
  g_signal_connect(assistant, "destroy", G_CALLBACK(forget_wizard), nullptr);
  return assistant;
}

void create_all_generator_widgets() {
  wizard = create_wizard(-1, -1);
  build_step_one();
  build_step_two();
  build_step_four();
}

void preset_generator(GtkWidget*, gpointer) {
  if (wizard || window_preset) return;  // one wizard or editor at a time
  if (toolbar1) gtk_widget_hide(toolbar1);
  wizard_start(wiz, tree_select);
  Create_Default_Preset(&preset);
  set_command_state(APP_WIZARD);
  create_all_generator_widgets();
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo_ingen), 0);
  if (combo_input) gtk_combo_box_set_active(GTK_COMBO_BOX(combo_input), 0);
  show_state();
  gtk_widget_show_all(wizard);
}

// ---- Handlers -------------------------------------------------------------------

gint assistant_forward(gint current_page, gpointer) {
  return wizard_forward_page(static_cast<int>(current_page), combo_index(combo_factory));
}

void next_page(GtkWidget*, GtkWidget* page, gpointer) {
  if (!wizard) return;
  if (page == vboxw2) {
    mv_selector = MV517;
    wizard_prepare(wiz, WIZ_STEP_TWO, tree_select);
    show_state();
  } else if (page == vboxw3) {
    prepare_next_page(WIZ_STEP_THREE);
  } else if (page == vboxw4) {
    prepare_next_page(WIZ_STEP_FOUR);
  }
}

void prepare_next_page(int page) {
  if (!wizard) return;
  if (page == WIZ_STEP_THREE) {
    if (hbox_mode) {
      GtkWidget* old = hbox_mode;
      forget_step_three();
      gtk_widget_destroy(old);
    }
    wizard_prepare(wiz, WIZ_STEP_THREE, tree_select);
    build_step_three_widgets();
  } else if (page == WIZ_STEP_FOUR) {
    wizard_prepare(wiz, WIZ_STEP_FOUR, tree_select);
  }
  show_state();
}

gboolean set_page(GtkWidget*, GdkEventButton* event, gpointer data) {
  const int item = GPOINTER_TO_INT(data);
  if (!event || item < WIZ_ITEM_SAT || item > WIZ_ITEM_RX1 + WIZ_BASS_COUNT - 1) return FALSE;
  wiz_press_kind_t kind;
  if (event->type == GDK_BUTTON_PRESS)
    kind = WIZ_PRESS_SINGLE;
  else if (event->type == GDK_2BUTTON_PRESS)
    kind = WIZ_PRESS_DOUBLE;
  else
    return FALSE;
  const int page = wizard_press(wiz, item, kind, tree_select);
  show_state();
  if (page >= 0) show_page(page);
  return kind == WIZ_PRESS_SINGLE;
}

gboolean click_mv517(GtkWidget*, GdkEventButton*, gpointer) {
  show_page(WIZ_STEP_TWO);
  return TRUE;
}

void change_mode(GtkWidget* combo, gpointer) {
  if (syncing || !wizard) return;
  wizard_change_factory(wiz, combo_index(combo), tree_select);
  show_state();
}

void cancel(GtkWidget*, gpointer) {
  set_command_state(APP_IDLE);  // shows the toolbar again
  if (wizard) gtk_widget_destroy(wizard);
}

gboolean destroy_wizard(GtkWidget*, GdkEvent*, gpointer) {
  // Apply has opened the editor; without one there is nothing to edit.
  set_command_state(window_preset ? APP_EDITING : APP_IDLE);
  if (wizard) gtk_widget_destroy(wizard);
  return FALSE;
}

void finish(GtkWidget*, gpointer) {
  if (!wizard) return;
  document_started(MV517, true);
  const wizard_file_lookup_t lookup = find_wizard_file();
  const wizard_result_t r =
      wizard_generate(tree_select, combo_index(combo_factory), lookup.path,
                      gtk_entry_get_text(GTK_ENTRY(entry_pname)),
                      gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check_lock_wiz)) != 0,
                      combo_index(combo_ingen));
  if (!r.ok()) report_factory_file(r, lookup);
  preset = r.preset;
  // The editor's Overview takes the input mode from combo_ingen while the
  // wizard still exists.
  mv_start_preset(MV517);
}

void show_selection(GtkWidget*, gpointer) {
  const summary_write_t written = write_selection_html(SELECTION_FILE_NAME, tree_select);
  if (!written.ok) {
    message(GTK_MESSAGE_ERROR, "The selection summary could not be written.", written.message);
    return;
  }
  put_rear_picture();
  gchar* dir = g_get_current_dir();
  gchar* path = g_build_filename(dir, SELECTION_FILE_NAME, nullptr);
  gchar* uri = g_filename_to_uri(path, nullptr, nullptr);
  std::string error = "Its name cannot be written as a URI.";
  if (!uri || !selection_opener(uri, error))
    message(GTK_MESSAGE_WARNING, "The selection summary could not be shown.",
            std::string(path) + " was written, but the desktop cannot show it:\n" + error);
  g_free(uri);
  g_free(path);
  g_free(dir);
}

bool open_with_desktop(const std::string& uri, std::string& error) {
  GError* e = nullptr;
  GdkScreen* screen = wizard ? gtk_widget_get_screen(wizard) : gdk_screen_get_default();
  if (gtk_show_uri(screen, uri.c_str(), GDK_CURRENT_TIME, &e)) return true;
  error = e ? e->message : "no application shows it";
  g_clear_error(&e);
  return false;
}
