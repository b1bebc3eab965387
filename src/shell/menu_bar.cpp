// The main window and everything it carries: menu bar, toolbar, banner and
// status bar; the window factory; the application states and their command
// sensitivities; New; the close flow.
#include "shell/menu_bar.h"

#include <gdk/gdkkeysyms.h>

#include "editor/gtk_util.h"
#include "editor/preset_verwaltung.h"
#include "files/document.h"
#include "files/file_dialogs.h"
#include "model/editing.h"
#include "model/preset.h"
#include "sheet/print_sheet.h"
#include "shell/app.h"
#include "shell/resources.h"
#include "wizard/preset_generator.h"

// ---- Globals ------------------------------------------------------------

GtkWidget* window_main = nullptr;
GtkWidget* box_main = nullptr;
GtkWidget* event_box = nullptr;
GtkWidget* statusbar_main = nullptr;
GtkAccelGroup* accel_group = nullptr;
int generated = 0;

GtkWidget* widget_menubar = nullptr;
GtkWidget *datei = nullptr, *help = nullptr, *neu = nullptr, *sub_menu = nullptr;
GtkWidget *mv517 = nullptr, *mv961 = nullptr, *generate_preset = nullptr;
GtkWidget *oeffnen = nullptr, *speichern = nullptr, *speichern_u = nullptr;
GtkWidget *schliessen = nullptr, *beenden = nullptr;
GtkWidget* drucken = nullptr;
GtkWidget *info = nullptr, *how_to_use = nullptr;
GtkWidget *toolbar1 = nullptr, *hbox_toolbar = nullptr;
GtkWidget *toolbutton_mv517 = nullptr, *toolbutton_mv961 = nullptr, *toolbutton_wizard = nullptr;

bool app_quit_requested = false;

namespace {

// An image menu item with a stock icon and its own label.
GtkWidget* labelled_item(const char* stock_id, const char* label) {
  GtkWidget* item = gtk_image_menu_item_new_with_label(label);
  gtk_image_menu_item_set_image(GTK_IMAGE_MENU_ITEM(item),
                                gtk_image_new_from_stock(stock_id, GTK_ICON_SIZE_MENU));
  gtk_image_menu_item_set_always_show_image(GTK_IMAGE_MENU_ITEM(item), TRUE);
  return item;
}

// A stock menu item with the stock label and, through `accel_group`, the
// stock accelerator.
GtkWidget* stock_item(const char* stock_id) {
  GtkWidget* item = gtk_image_menu_item_new_from_stock(stock_id, accel_group);
  gtk_image_menu_item_set_always_show_image(GTK_IMAGE_MENU_ITEM(item), TRUE);
  return item;
}

// Registers the standard accelerator of a stock item for a menu item that
// carries its own label.
void add_stock_accelerator(GtkWidget* item, const char* stock_id) {
  GtkStockItem stock;
  if (gtk_stock_lookup(stock_id, &stock) && stock.keyval != 0)
    gtk_widget_add_accelerator(item, "activate", accel_group, stock.keyval, stock.modifier,
                               GTK_ACCEL_VISIBLE);
}

void append(GtkWidget* menu, GtkWidget* item) {
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
}

bool is_sensitive(GtkWidget* w) {
  return w && gtk_widget_get_sensitive(w);
}

// The Quit command: the close flow in quit mode through close_window.
void quit_activate(GtkWidget* widget, gpointer) {
  close_window(widget, nullptr, GINT_TO_POINTER(0));
}

}  // namespace

void destroy_editor() {
  if (!window_preset) return;
  if (window_main)
    g_signal_handlers_disconnect_by_func(window_main, reinterpret_cast<gpointer>(window_state),
                                         nullptr);
  GtkWidget* w = window_preset;
  window_preset = nullptr;
  notebook = nullptr;
  gtk_widget_destroy(w);
}

// ---- Window factory and main window ------------------------------------

GtkWidget* make_window(int width, int height, const char* title, int ident) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), title);
  gtk_window_set_resizable(GTK_WINDOW(window), TRUE);
  gtk_widget_set_size_request(window, width, height);
  gtk_container_set_border_width(GTK_CONTAINER(window), 1);
  if (ident >= 0 && ident <= 2)
    g_signal_connect(window, "delete-event", G_CALLBACK(close_window), GINT_TO_POINTER(ident));
  return window;
}

void build_main_window() {
  window_main = make_window(-1, -1, "QBN - Preset Editor & Wizard", 0);
  if (GdkPixbuf* icon = app_icon()) {
    gtk_window_set_icon(GTK_WINDOW(window_main), icon);
    g_object_unref(icon);
  }
  gtk_window_maximize(GTK_WINDOW(window_main));

  box_main = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(window_main), box_main);
  GdkColor grey = {0, 40000, 40000, 40000};
  gtk_widget_modify_bg(window_main, GTK_STATE_NORMAL, &grey);

  create_menubar(window_main, box_main, nullptr);
  Create_Menushortcuts();

  GtkWidget* banner = gtk_image_new();
  if (GdkPixbuf* pixbuf = app_banner()) {
    gtk_image_set_from_pixbuf(GTK_IMAGE(banner), pixbuf);
    g_object_unref(pixbuf);
  }
  gtk_box_pack_start(GTK_BOX(box_main), banner, TRUE, TRUE, 0);

  event_box = gtk_event_box_new();
  statusbar_main = gtk_statusbar_new();
  gtk_container_add(GTK_CONTAINER(event_box), statusbar_main);
  gtk_box_pack_end(GTK_BOX(box_main), event_box, FALSE, TRUE, 0);
  gtk_box_pack_end(GTK_BOX(box_main), gtk_hseparator_new(), FALSE, TRUE, 1);

  gtk_widget_show_all(window_main);
  set_command_state(APP_IDLE);
}

// ---- Menu bar and toolbar ----------------------------------------------

GtkWidget* create_menubar(GtkWidget*, GtkWidget*, GtkWidget*) {
  accel_group = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window_main), accel_group);

  widget_menubar = gtk_menu_bar_new();

  // "Datei"
  GtkWidget* file_menu = gtk_menu_new();
  gtk_menu_set_accel_group(GTK_MENU(file_menu), accel_group);
  datei = gtk_menu_item_new_with_label("Datei");
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(datei), file_menu);

  neu = labelled_item(GTK_STOCK_NEW, "Generate new preset");
  sub_menu = gtk_menu_new();
  gtk_menu_set_accel_group(GTK_MENU(sub_menu), accel_group);
  mv517 = labelled_item(GTK_STOCK_NEW, "MV517 Preset-Editor");
  mv961 = labelled_item(GTK_STOCK_NEW, "MV961 Preset-Editor");
  generate_preset = labelled_item(GTK_STOCK_CONVERT, "Preset Wizard");
  append(sub_menu, mv517);
  append(sub_menu, mv961);
  append(sub_menu, generate_preset);
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(neu), sub_menu);
  g_signal_connect(mv517, "activate", G_CALLBACK(neu_default), GINT_TO_POINTER(MV517));
  g_signal_connect(mv961, "activate", G_CALLBACK(neu_default), GINT_TO_POINTER(MV961));
  g_signal_connect(generate_preset, "activate", G_CALLBACK(preset_generator), nullptr);

  oeffnen = stock_item(GTK_STOCK_OPEN);
  speichern = stock_item(GTK_STOCK_SAVE);
  speichern_u = stock_item(GTK_STOCK_SAVE_AS);
  GtkStockItem save_as_stock;
  if (!gtk_stock_lookup(GTK_STOCK_SAVE_AS, &save_as_stock) || save_as_stock.keyval == 0) {
    // Some GTK 2 versions give "gtk-save-as" no accelerator; Save As is
    // Shift+Ctrl+S throughout.
    gtk_widget_add_accelerator(speichern_u, "activate", accel_group, GDK_KEY_s,
                               static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SHIFT_MASK),
                               GTK_ACCEL_VISIBLE);
  }
  drucken = labelled_item(GTK_STOCK_PRINT, "Print...");
  gtk_widget_add_accelerator(drucken, "activate", accel_group, GDK_KEY_p, GDK_CONTROL_MASK,
                             GTK_ACCEL_VISIBLE);
  schliessen = labelled_item(GTK_STOCK_CLOSE, "Preset schliessen");
  add_stock_accelerator(schliessen, GTK_STOCK_CLOSE);
  beenden = labelled_item(GTK_STOCK_QUIT, "Preset Editor & Wizard beenden");
  add_stock_accelerator(beenden, GTK_STOCK_QUIT);
  g_signal_connect(oeffnen, "activate", G_CALLBACK(open_file), nullptr);
  g_signal_connect(speichern, "activate", G_CALLBACK(save_file), nullptr);
  g_signal_connect(speichern_u, "activate", G_CALLBACK(save_file), GINT_TO_POINTER(1));
  g_signal_connect(drucken, "activate", G_CALLBACK(print_preset), nullptr);
  g_signal_connect(schliessen, "activate", G_CALLBACK(close_schliessen), nullptr);
  g_signal_connect(beenden, "activate", G_CALLBACK(quit_activate), nullptr);

  append(file_menu, neu);
  append(file_menu, oeffnen);
  append(file_menu, speichern);
  append(file_menu, speichern_u);
  append(file_menu, drucken);
  append(file_menu, schliessen);
  append(file_menu, gtk_separator_menu_item_new());
  append(file_menu, beenden);

  // "Hilfe"
  GtkWidget* help_menu = gtk_menu_new();
  help = gtk_menu_item_new_with_label("Hilfe");
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(help), help_menu);
  info = stock_item(GTK_STOCK_ABOUT);
  how_to_use = labelled_item(GTK_STOCK_INFO, "How to use Preset-Editor & Wizard");
  g_signal_connect(info, "activate", G_CALLBACK(show_info), nullptr);
  g_signal_connect(how_to_use, "activate", G_CALLBACK(other_options), nullptr);
  append(help_menu, info);
  append(help_menu, how_to_use);

  gtk_menu_shell_append(GTK_MENU_SHELL(widget_menubar), datei);
  gtk_menu_shell_append(GTK_MENU_SHELL(widget_menubar), help);
  g_signal_connect(datei, "select", G_CALLBACK(win_mapping), GINT_TO_POINTER(0));
  g_signal_connect(datei, "deselect", G_CALLBACK(win_mapping), GINT_TO_POINTER(1));
  g_signal_connect(help, "select", G_CALLBACK(win_mapping), GINT_TO_POINTER(0));

  gtk_box_pack_start(GTK_BOX(box_main), gtk_hseparator_new(), FALSE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box_main), widget_menubar, FALSE, TRUE, 0);
  return widget_menubar;
}

void Create_Menushortcuts() {
  toolbar1 = gtk_toolbar_new();
  gtk_toolbar_set_style(GTK_TOOLBAR(toolbar1), GTK_TOOLBAR_BOTH_HORIZ);
  gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar1), GTK_ICON_SIZE_SMALL_TOOLBAR);

  struct button_t {
    GtkWidget** global;
    const char* stock_id;
    const char* text;
  };
  const button_t buttons[] = {
      {&toolbutton_mv517, GTK_STOCK_NEW, "MV517"},
      {&toolbutton_mv961, GTK_STOCK_NEW, "MV961"},
      {&toolbutton_wizard, GTK_STOCK_CONVERT, "Preset-Wizard"},
  };
  for (int i = 0; i < 3; ++i) {
    GtkWidget* icon = gtk_image_new_from_stock(buttons[i].stock_id, GTK_ICON_SIZE_SMALL_TOOLBAR);
    GtkToolItem* item = gtk_tool_button_new(icon, buttons[i].text);
    gtk_tool_item_set_is_important(item, TRUE);
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar1), item, i);
    *buttons[i].global = GTK_WIDGET(item);
  }
  g_signal_connect(toolbutton_mv517, "clicked", G_CALLBACK(neu_default), GINT_TO_POINTER(MV517));
  g_signal_connect(toolbutton_mv961, "clicked", G_CALLBACK(neu_default), GINT_TO_POINTER(MV961));
  g_signal_connect(toolbutton_wizard, "clicked", G_CALLBACK(preset_generator), nullptr);

  hbox_toolbar = gtk_hbox_new(FALSE, 0);
  gtk_box_pack_start(GTK_BOX(hbox_toolbar), toolbar1, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box_main), hbox_toolbar, FALSE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box_main), gtk_hseparator_new(), FALSE, TRUE, 0);
}

// ---- Application states ------------------------------------------------

void set_command_state(app_state_t state) {
  const bool idle = state == APP_IDLE;
  const bool editing = state == APP_EDITING;
  if (toolbar1) {
    if (idle)
      gtk_widget_show(toolbar1);
    else
      gtk_widget_hide(toolbar1);
  }
  set_sensitive(neu, idle);
  set_sensitive(oeffnen, idle);
  set_sensitive(speichern, false);
  set_sensitive(speichern_u, editing);
  set_sensitive(drucken, editing);
  set_sensitive(schliessen, editing);
  set_sensitive(beenden, true);
  set_sensitive(info, true);
  set_sensitive(how_to_use, false);
}

void set_preset_unsaved(bool unsaved) {
  if (window_preset) set_sensitive(speichern, unsaved && new_preset == 0);
}

// ---- Editor window follows the main window -----------------------------

gboolean window_state(GtkWidget*, GdkEventWindowState* event, gpointer) {
  if (!window_preset || !event) return FALSE;
  if (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) {
    gtk_window_iconify(GTK_WINDOW(window_preset));
  } else {
    gtk_window_deiconify(GTK_WINDOW(window_preset));
    gtk_window_present(GTK_WINDOW(window_preset));
  }
  return FALSE;
}

void win_mapping(GtkWidget*, gpointer data) {
  if (GPOINTER_TO_INT(data) == 1 && window_preset) gtk_window_present(GTK_WINDOW(window_preset));
}

void notebook_mapped(GtkWidget* widget, gpointer) {
  if (generated == 1 && widget) gtk_notebook_set_current_page(GTK_NOTEBOOK(widget), TAB_SYSTEM);
}

// ---- Commands -------------------------------------------------------------

void neu_default(GtkWidget*, gpointer data) {
  if (window_preset) return;  // one editor at a time
  if (toolbar1) gtk_widget_hide(toolbar1);
  document_started(GPOINTER_TO_INT(data), false);
  Create_Default_Preset(&preset);
  mv_start_preset(mv_selector);
}

gint ask_save_preset() {
  // Over the editor while one is open, so that the work in question stays
  // in view (a dialog of the main window would raise the main window over it).
  GtkWidget* parent = window_preset ? window_preset : window_main;
  GtkWidget* dialog = gtk_message_dialog_new(
      GTK_WINDOW(parent), static_cast<GtkDialogFlags>(GTK_DIALOG_DESTROY_WITH_PARENT),
      GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE, "Do you want to save the current Preset?");
  gtk_dialog_add_buttons(GTK_DIALOG(dialog), GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, GTK_STOCK_NO,
                         GTK_RESPONSE_NO, GTK_STOCK_YES, GTK_RESPONSE_YES, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_YES);
  gtk_window_set_title(GTK_WINDOW(dialog), "Save Preset?");
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  return response;
}

namespace {

// The user kept the preset open: bring its editor back in front.
bool keep_editor() {
  if (window_preset) gtk_window_present(GTK_WINDOW(window_preset));
  return false;
}

}  // namespace

bool close_flow(int mode) {
  // A preset is open (Save As sensitive) with work that has no file yet or
  // unsaved changes (Save sensitive): ask before anything is closed.
  if (is_sensitive(speichern_u) && (is_sensitive(speichern) || new_preset == 1)) {
    const gint answer = ask_save_preset();
    if (answer == GTK_RESPONSE_YES) {
      if (!save_preset(new_preset != 0)) return keep_editor();
    } else if (answer != GTK_RESPONSE_NO) {
      return keep_editor();  // Cancel, or the question was closed
    }
  }
  destroy_editor();
  set_command_state(APP_IDLE);
  if (mode == 0 || mode == 1) {
    app_quit_requested = true;
    if (gtk_main_level() > 0) gtk_main_quit();
  }
  return true;
}

void close_func(GtkWidget*, int mode) {
  close_flow(mode);
}

void close_schliessen(GtkWidget* widget, gpointer) {
  close_func(widget, 3);
}

gboolean close_window(GtkWidget*, GdkEvent*, gpointer data) {
  if (!close_flow(GPOINTER_TO_INT(data))) return TRUE;  // keep the window
  if (statusbar_main) gtk_statusbar_pop(GTK_STATUSBAR(statusbar_main), 0);
  for (int& word : aktiv) word = 0;
  return FALSE;
}
