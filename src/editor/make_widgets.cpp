#include "editor/make_widgets.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "model/preset.h"

GdkColor gdk_color_of(rgb16_t c) {
  GdkColor color{};
  color.red = c.r;
  color.green = c.g;
  color.blue = c.b;
  return color;
}

GtkWidget* make_button(const char* text, int width, int height, int button_type) {
  GtkWidget* button = nullptr;
  if (button_type == 1) {
    button = gtk_button_new_with_label(text);
  } else if (button_type == 2) {
    button = gtk_toggle_button_new_with_label(text);
  } else {
    return nullptr;
  }
  gtk_widget_set_size_request(button, width, height);
  return button;
}

GtkWidget* make_spinbutton(double min, double max, double step, int positions, int komma,
                           double default_value, double width) {
  // Page size 0: a spin button accepts its whole range up to max.
  GtkObject* adj = gtk_adjustment_new(default_value, min, max, step, step, 0.0);
  GtkWidget* spin = gtk_spin_button_new(GTK_ADJUSTMENT(adj), step, static_cast<guint>(komma));
  gtk_entry_set_max_length(GTK_ENTRY(spin), positions);
  gtk_widget_set_size_request(spin, static_cast<int>(width), -1);
  return spin;
}

namespace {

const char* const input_mv517_tail[] = {"Inputs Digital"};

void append(GtkListStore* store, const char* text) {
  gtk_list_store_insert_with_values(store, nullptr, -1, 0, text, -1);
}

// The device's routing labels after the three the caller gives.
void append_routing_tail(GtkListStore* store, int device) {
  for (unsigned code = 3; const char* label = routing_label(device, code); ++code)
    append(store, label);
}

}  // namespace

GtkWidget* make_combobox(const char* text1, const char* text2, const char* text3, int size,
                         int ident) {
  // The entries are in the model before the combo box gets it: appended to
  // a combo box one by one, each would be measured and given its menu item
  // on its own, which made building the editor's sixty combo boxes slow.
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  append(store, text1);
  append(store, text2);
  if (text3 != nullptr) append(store, text3);
  switch (ident) {
    case COMBO_ROUTING_MV517:
      append_routing_tail(store, MV517);
      break;
    case COMBO_ROUTING_MV961:
      append_routing_tail(store, MV961);
      break;
    case COMBO_INPUT_MV517:
      for (const char* t : input_mv517_tail) append(store, t);
      break;
    case COMBO_MUTE_MV517:
      append(store, mute_group_labels[3]);
      append(store, mute_group_labels[4]);
      break;
    default:
      break;
  }
  GtkWidget* widget = GTK_WIDGET(
      g_object_new(GTK_TYPE_COMBO_BOX_TEXT, "model", store, "entry-text-column", 0, nullptr));
  g_object_unref(store);
  gtk_widget_set_size_request(widget, size, -1);
  return widget;
}

GtkWidget* make_vscale(double min, double max, double step, double default_value, double width,
                       double height) {
  // The page size makes the top value max - step (6.1 gives +6.0 dB).
  GtkObject* adj = gtk_adjustment_new(default_value, min, max, step, step, step);
  GtkWidget* scale = gtk_vscale_new(GTK_ADJUSTMENT(adj));
  gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
  gtk_range_set_inverted(GTK_RANGE(scale), TRUE);
  gtk_widget_set_size_request(scale, static_cast<int>(width), static_cast<int>(height));
  for (int db = 0; db >= -90; db -= 10) {
    gtk_scale_add_mark(GTK_SCALE(scale), db, GTK_POS_LEFT, nullptr);
    gtk_scale_add_mark(GTK_SCALE(scale), db, GTK_POS_RIGHT, nullptr);
  }
  gtk_range_set_update_policy(GTK_RANGE(scale), GTK_UPDATE_CONTINUOUS);
  const GdkColor grey = gdk_color_of(COLOR_FADER);
  gtk_widget_modify_bg(scale, GTK_STATE_NORMAL, &grey);
  return scale;
}

namespace {

// "size-request" of a name entry: the width it was given, or more where its
// font needs more to show its longest name (as many "W" as it takes).
void name_entry_width(GtkWidget* entry, GtkRequisition* requisition, gpointer given) {
  const int chars = gtk_entry_get_max_length(GTK_ENTRY(entry));
  PangoLayout* layout = gtk_widget_create_pango_layout(entry, std::string(chars, 'W').c_str());
  int text = 0, height = 0;
  pango_layout_get_pixel_size(layout, &text, &height);
  g_object_unref(layout);
  GtkBorder* inner = nullptr;
  gboolean interior_focus = TRUE;
  gint focus_width = 0;
  gtk_widget_style_get(entry, "inner-border", &inner, "interior-focus", &interior_focus,
                       "focus-line-width", &focus_width, nullptr);
  const int inner_x = inner ? inner->left + inner->right : 4;  // the toolkit's default border
  if (inner) gtk_border_free(inner);
  const int frame = entry->style->xthickness + (interior_focus ? 0 : focus_width);
  requisition->width = std::max(GPOINTER_TO_INT(given), text + inner_x + 2 * frame);
}

}  // namespace

GtkWidget* make_entry(int max_length, int width) {
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_max_length(GTK_ENTRY(entry), max_length);
  g_signal_connect_after(entry, "size-request", G_CALLBACK(name_entry_width),
                         GINT_TO_POINTER(width));
  gtk_entry_set_alignment(GTK_ENTRY(entry), 0.0f);
  const GdkColor cream = gdk_color_of(COLOR_ENTRY_BASE);
  gtk_widget_modify_base(entry, GTK_STATE_NORMAL, &cream);
  return entry;
}

GtkWidget* make_drawing_area(int width, int height, int click_motion) {
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, width, height);
  gint events = 0;
  if (click_motion & 1) events |= GDK_BUTTON_PRESS_MASK;
  if (click_motion & 2) events |= GDK_BUTTON_MOTION_MASK;
  if (events != 0) gtk_widget_add_events(area, events);
  return area;
}

GtkWidget* make_label_with_markup(const char* text, int ident) {
  const char* format = "<b>%s</b>";
  bool blue = false;
  bool red = false;
  switch (ident) {
    case LABEL_BOLD:
      break;
    case LABEL_LARGE:
      format = "<span size=\"x-large\"><b>%s</b></span>";
      break;
    case LABEL_LARGE_BLUE:
      format = "<span size=\"x-large\"><b>%s</b></span>";
      blue = true;
      break;
    case LABEL_NOTE_RED:
      format = "<span size=\"small\"><b>%s</b></span>";
      red = true;
      break;
    default:
      blue = true;
      break;
  }
  GtkWidget* label = gtk_label_new(nullptr);
  gchar* markup = g_markup_printf_escaped(format, text);
  gtk_label_set_markup(GTK_LABEL(label), markup);
  g_free(markup);
  if (blue || red) {
    const GdkColor color = gdk_color_of(blue ? COLOR_LABEL_BLUE : COLOR_NOTE_RED);
    gtk_widget_modify_fg(label, GTK_STATE_NORMAL, &color);
  }
  return label;
}

const char* const EDITOR_FONT = "DejaVu Sans 9.5px";

namespace {

const char* const EDITOR_STYLE_NAME = "qbn-editor";
const char* const EDITOR_POPUP_NAME = "qbn-editor-popup";

// Whether `w` belongs to a window in the editor's style: the window itself,
// something inside it, or a menu popped up from such a thing (a menu's
// items lie in a toplevel of their own).
bool in_editor_style(GtkWidget* w) {
  while (w) {
    const char* name = gtk_widget_get_name(w);
    if (name &&
        (std::strcmp(name, EDITOR_STYLE_NAME) == 0 || std::strcmp(name, EDITOR_POPUP_NAME) == 0))
      return true;
    w = GTK_IS_MENU(w) ? gtk_menu_get_attach_widget(GTK_MENU(w)) : gtk_widget_get_parent(w);
  }
  return false;
}

// "show" of every widget: a menu that is shown from a control of the
// editor's or the wizard's windows (a combo box's list, an entry's
// right-click menu, a submenu of the channel menus) takes their text style
// before it is measured and placed.
gboolean style_popup_menu(GSignalInvocationHint*, guint, const GValue* values, gpointer) {
  GtkWidget* w = GTK_WIDGET(g_value_get_object(&values[0]));
  if (GTK_IS_MENU(w) && std::strcmp(gtk_widget_get_name(w), EDITOR_POPUP_NAME) != 0 &&
      in_editor_style(gtk_menu_get_attach_widget(GTK_MENU(w))))
    style_editor_popup(w);
  return TRUE;  // stay connected
}

}  // namespace

void style_editor_popup(GtkWidget* menu) {
  gtk_widget_set_name(menu, EDITOR_POPUP_NAME);
  gtk_widget_reset_rc_styles(menu);
}

void apply_editor_style(GtkWidget* window) {
  static bool parsed = false;
  if (!parsed) {
    const std::string rc = std::string("style \"qbn-editor\" {\n  font_name = \"") + EDITOR_FONT +
                           "\"\n"
                           "  GtkComboBox::arrow-size = 9\n"
                           "  GtkButton::inner-border = {0, 0, 0, 0}\n"
                           "  GtkWidget::focus-padding = 0\n"
                           "}\n"
                           "widget \"qbn-editor\" style \"qbn-editor\"\n"
                           "widget \"qbn-editor.*\" style \"qbn-editor\"\n"
                           "widget \"*.qbn-editor-popup\" style \"qbn-editor\"\n"
                           "widget \"*.qbn-editor-popup.*\" style \"qbn-editor\"\n";
    gtk_rc_parse_string(rc.c_str());
    g_signal_add_emission_hook(g_signal_lookup("show", GTK_TYPE_WIDGET), 0, style_popup_menu,
                               nullptr, nullptr);
    parsed = true;
  }
  gtk_widget_set_name(window, EDITOR_STYLE_NAME);
}
