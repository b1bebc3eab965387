#include "editor/channel_links.h"

#include "editor/channel_menus.h"
#include "editor/editor_pages.h"
#include "editor/preset_verwaltung.h"
#include "files/document.h"
#include "files/settings.h"
#include "model/change_preset.h"
#include "model/preset.h"
#include "model/preset_diff.h"
#include "model/stereo_link.h"

GtkWidget* check_link[2] = {nullptr, nullptr};

namespace {

unsigned links = 0;

unsigned device_pairs() {
  return window_preset ? link_pairs_of_device(static_cast<int>(mv_type)) : 0;
}

void on_link_toggled(GtkToggleButton* check, gpointer pair) {
  set_pair_linked(GPOINTER_TO_UINT(pair), gtk_toggle_button_get_active(check));
}

// The check box shows the link, without asking anything.
void show_link_box(unsigned pair) {
  GtkWidget* check = check_link[pair];
  if (!check) return;
  const gboolean on = (links >> pair) & 1;
  if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check)) == on) return;
  const auto toggled = reinterpret_cast<gpointer>(on_link_toggled);
  g_signal_handlers_block_matched(check, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr, toggled, nullptr);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), on);
  g_signal_handlers_unblock_matched(check, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr, toggled, nullptr);
}

// The links are shown: the check boxes and the Overview's marks.
void show_links() {
  for (unsigned pair = 0; pair < LINK_PAIR_COUNT; ++pair) show_link_box(pair);
  for (GtkWidget* w : {draw_area_routing2, draw_area_routing2_cpy})
    if (w) gtk_widget_queue_draw(w);
}

// The links as they are now, remembered for the preset's file (a new preset
// has none yet: Save As remembers them with its file).
void remember() {
  const open_document_t& doc = open_document();
  if (doc.is_new || doc.path.empty()) return;
  if (!change_settings_of_file(doc.path, [](file_settings_t& s) { s.links = links; }))
    show_tab_message(settings_problem());
}

void follow_save_as(const std::string&, const std::string&) {
  if (window_preset) remember();
}

// Which channel's settings both channels of `pair` should have; -1 for
// Cancel.
int ask_link_source(unsigned pair) {
  const unsigned a = link_first(pair), b = link_second(pair);
  const std::string primary = channel_label(preset, a) + " and " + channel_label(preset, b) +
                              " differ in their " +
                              linked_differences(preset.channel[a], preset.channel[b]);
  GtkWidget* dialog = gtk_message_dialog_new(
      GTK_WINDOW(window_preset),
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE, "%s", primary.c_str());
  gtk_message_dialog_format_secondary_text(
      GTK_MESSAGE_DIALOG(dialog),
      "Linked channels share their crossover, EQ, limiter, delay and polarity. Which channel's "
      "settings should both have? Names, routing, levels, groups and mute stay as they are.");
  gtk_window_set_title(GTK_WINDOW(dialog), "Link Channels");
  const std::string first = std::string("Copy ") + char('A' + a) + " to " + char('A' + b);
  const std::string second = std::string("Copy ") + char('A' + b) + " to " + char('A' + a);
  gtk_dialog_add_buttons(GTK_DIALOG(dialog), GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, second.c_str(),
                         LINK_COPY_SECOND, first.c_str(), LINK_COPY_FIRST, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  if (response == LINK_COPY_FIRST) return static_cast<int>(a);
  if (response == LINK_COPY_SECOND) return static_cast<int>(b);
  return -1;
}

// A press on the word under a check box toggles it.
gboolean on_word_press(GtkWidget*, GdkEventButton* event, gpointer check) {
  if (event->button != 1 || event->type != GDK_BUTTON_PRESS) return FALSE;
  GtkToggleButton* t = GTK_TOGGLE_BUTTON(check);
  gtk_toggle_button_set_active(t, !gtk_toggle_button_get_active(t));
  return TRUE;
}

// The check box of a pair with "Link" under it: narrow enough for the gap
// between two channel frames.
GtkWidget* link_box(unsigned pair) {
  GtkWidget* check = check_link[pair] = gtk_check_button_new();
  const unsigned a = link_first(pair);
  const std::string tip = std::string("Link ") + char('A' + a) + " and " + char('A' + a + 1) +
                          ": their crossover, EQ, limiter, delay and polarity change together";
  GtkWidget* word = gtk_event_box_new();
  gtk_event_box_set_visible_window(GTK_EVENT_BOX(word), FALSE);
  gtk_container_add(GTK_CONTAINER(word), gtk_label_new("Link"));
  g_signal_connect(word, "button-press-event", G_CALLBACK(on_word_press), check);
  GtkWidget* box = gtk_vbox_new(FALSE, 0);
  for (GtkWidget* w : {check, word}) {
    gtk_widget_set_tooltip_text(w, tip.c_str());
    GtkWidget* centred = gtk_alignment_new(0.5f, 0.5f, 0.0f, 0.0f);
    gtk_container_add(GTK_CONTAINER(centred), w);
    gtk_box_pack_start(GTK_BOX(box), centred, FALSE, FALSE, 0);
  }
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), (links >> pair) & 1);
  g_signal_connect(check, "toggled", G_CALLBACK(on_link_toggled), GUINT_TO_POINTER(pair));
  return box;
}

// "A+B, C+D"
std::string pair_names(unsigned pairs) {
  std::string text;
  for (unsigned pair = 0; pair < LINK_PAIR_COUNT; ++pair)
    if (pairs & (1u << pair)) text += (text.empty() ? "" : " and ") + link_pair_name(pair);
  return text;
}

// A line in the status bars of the tab shown and of Channel Setup.
void tell(const std::string& text) {
  show_page_message(TAB_CHANNEL_SETUP, text);
  show_tab_message(text);
}

}  // namespace

unsigned editor_links() {
  return window_preset ? links & device_pairs() : 0;
}

GtkWidget* with_link_boxes(GtkWidget* frames, int mv_x) {
  // A homogeneous table with a column per channel: the frames span all of
  // it as they did the row, and a pair's check box, centred over its two
  // columns, lies in the middle of the gap between its frames. The boxes
  // are narrower and lower than the frames, so the table asks for the
  // frames' size alone.
  const unsigned columns = mv_x == MV961 ? 2 : 4;
  GtkWidget* table = gtk_table_new(1, columns, TRUE);
  const auto fill = static_cast<GtkAttachOptions>(GTK_EXPAND | GTK_FILL);
  gtk_table_attach(GTK_TABLE(table), frames, 0, columns, 0, 1, fill, fill, 0, 0);
  check_link[0] = check_link[1] = nullptr;
  for (unsigned pair = 0; pair < columns / 2; ++pair)
    gtk_table_attach(GTK_TABLE(table), link_box(pair), 2 * pair, 2 * pair + 2, 0, 1,
                     static_cast<GtkAttachOptions>(0), static_cast<GtkAttachOptions>(0), 0, 0);
  return table;
}

bool set_pair_linked(unsigned pair, bool on) {
  const unsigned bit = 1u << pair;
  if (pair >= LINK_PAIR_COUNT || !(device_pairs() & bit)) return false;
  if (on != ((links & bit) != 0)) {
    const unsigned a = link_first(pair), b = link_second(pair);
    if (on && !linked_sections_equal(preset.channel[a], preset.channel[b])) {
      const int from = ask_link_source(pair);
      if (from < 0) {
        show_link_box(pair);
        return false;
      }
      const unsigned to = from == static_cast<int>(a) ? b : a;
      run_as_one_change("link of " + link_pair_name(pair),
                        [&] { copy_linked_sections(preset.channel[from], preset.channel[to]); });
      show_record_in_editor(1u << to);
    }
    links = on ? links | bit : links & ~bit;
    remember();
    clear_tool_messages();  // an offer to link is answered
    tell(link_pair_name(pair) +
         (on ? " linked: crossover, EQ, limiter, delay and polarity change on both" : " unlinked"));
  }
  show_links();
  return on;
}

void forget_links() {
  static bool hooked = false;
  if (!hooked) on_document_saved_as(follow_save_as);
  hooked = true;
  links = 0;
  check_link[0] = check_link[1] = nullptr;
}

void restore_links(const std::string& preset_path) {
  const int device = static_cast<int>(mv_type);
  const unsigned remembered = links_for_device(settings_of_file(preset_path).links, device);
  const unsigned equal = equal_pairs(preset, device);
  links = remembered & equal;
  show_links();
  std::string text;
  for (unsigned pair = 0; pair < LINK_PAIR_COUNT; ++pair) {
    const unsigned a = link_first(pair), b = link_second(pair);
    if (remembered & ~equal & (1u << pair))
      text += (text.empty() ? "" : "; ") + link_pair_name(pair) +
              " not linked again: they differ in their " +
              linked_differences(preset.channel[a], preset.channel[b]);
  }
  if (const unsigned offer = equal & ~remembered) {
    const bool both = offer == (LINK_AB | LINK_CD);
    text += (text.empty() ? "" : "; ") + pair_names(offer) + (both ? " each" : "") +
            " hold the same crossover, EQ, limiter, delay and polarity: tick Link on the Channel "
            "Setup tab to edit " +
            (both ? "a pair" : "them") + " together";
  }
  if (!text.empty()) tell(text);
}
