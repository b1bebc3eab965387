// Every text fits the size its widget or box was given: measured with Pango
// in the font each widget uses (cairo for the diagrams), for both devices.
#include <set>

#include "editor/overview_draw.h"
#include "gui_test_util.h"
#include "response/plot_draw.h"

namespace {

using TextFit = GuiTest;

int width_of(PangoLayout* layout, bool own = false) {
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  if (own) g_object_unref(layout);
  return width;
}

// Each label, combo entry and lowest and highest spin value that does not
// fit: a label within its allocation and the window, an entry within the
// combo's text cell (2 pixels of padding each side), a value within the
// spin button's text area (an inner border of 2 pixels each side).
std::set<std::string> misfits(GtkWidget* window) {
  std::set<std::string> out;
  const auto check = [&](const std::string& text, int need, int room) {
    if (need > room) out.insert(text + ": " + std::to_string(need) + " > " + std::to_string(room));
  };
  for_each_widget(window, [&](GtkWidget* w) {
    if (GTK_IS_LABEL(w) && gtk_widget_get_visible(w)) {
      gint xpad, ypad, x = 0, y;
      gtk_misc_get_padding(GTK_MISC(w), &xpad, &ypad);
      if (!gtk_widget_get_mapped(w) || !gtk_widget_translate_coordinates(w, window, 0, 0, &x, &y))
        x = 0;
      check(gtk_label_get_text(GTK_LABEL(w)), width_of(gtk_label_get_layout(GTK_LABEL(w))),
            std::min(w->allocation.width - 2 * xpad, window->allocation.width - x));
    } else if (GTK_IS_COMBO_BOX(w)) {
      GtkWidget* cell = gtk_bin_get_child(GTK_BIN(w));
      GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(w));
      GtkTreeIter it;
      for (int i = 0; gtk_tree_model_iter_nth_child(model, &it, nullptr, i); ++i) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &it, 0, &text, -1);
        check(text, width_of(gtk_widget_create_pango_layout(cell, text), true) + 4,
              cell->allocation.width);
        g_free(text);
      }
    } else if (GTK_IS_SPIN_BUTTON(w) && GTK_ENTRY(w)->text_area) {  // realized
      gint width, height;
      gdk_drawable_get_size(GTK_ENTRY(w)->text_area, &width, &height);
      GtkAdjustment* a = gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(w));
      for (double v : {a->lower, a->upper}) {
        gchar* text = g_strdup_printf("%.*f", gtk_spin_button_get_digits(GTK_SPIN_BUTTON(w)), v);
        check(text, width_of(gtk_widget_create_pango_layout(w, text), true) + 4, width);
        g_free(text);
      }
    }
  });
  return out;
}

TEST_F(TextFit, EveryLabelComboEntryAndSpinValueFitsItsWidget) {
  for (const int device : {MV517, MV961}) {
    open_editor(device, preset_def);
    std::set<std::string> out;
    for (int u = 0; u < 3; ++u) {  // the delay fields' range follows the unit
      choose(combo_delay, u);
      for (GtkWidget* book :
           {notebook, notebook_xo, notebook_peq})  // pages are laid out when shown
        for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(book)); ++i) {
          show_page(book, i);
          for (const std::string& m : misfits(window_preset)) out.insert(m);
        }
    }
    EXPECT_EQ(out, std::set<std::string>{}) << device;
  }
  // The factory-preset refusal keeps 240 pixels as its least width and
  // grows to show its whole message.
  error_open();
  pump_for(100);
  GtkWidget* dialog = find_window("Error!");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(misfits(dialog), std::set<std::string>{});
  EXPECT_GE(dialog->allocation.width, 240);
}

// Every text the Overview diagrams draw stays inside its box at the size it
// is drawn in (not much smaller than meant), with the longest values, for
// both devices and every input mode; so do the letters on the crossover
// handles.
TEST_F(TextFit, EveryDrawnTextStaysInItsBox) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
  cairo_t* cr = cairo_create(surface);
  std::set<std::string> out;
  int texts = 0;
  const auto check = [&](const DiagramText& t) {
    const double size = fitted_size(cr, t);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           t.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, t.text.c_str(), &e);
    if (t.x + e.x_bearing < t.left - 0.5 || t.x + e.x_bearing + e.width > t.right ||
        size < 0.6 * t.size)
      out.insert("'" + t.text + "' at " + std::to_string(size) + " ends at " +
                 std::to_string(t.x + e.x_bearing + e.width));
    ++texts;
  };
  for (const int device : {MV517, MV961}) {
    for (const char* delay : {"1164.82 ms", "1312.34 ft"}) {
      ChannelFlowView v;
      v.channels = device;
      for (int& m : v.aktiv) m = 0x0F;
      v.aktiv[AKTIV_UNMUTED] = 0x0A;  // A and C muted
      for (ChannelFlowRow& row : v.row) row = {delay, "-99.0 dB", "-24 dB", "WWWWWWWWW", 1, {}};
      for (const DiagramText& t : channel_flow_texts(v)) check(t);
    }
    for (int mode = 0; mode < 4; ++mode)
      for (const DiagramText& t : routing_texts(RoutingView{device, mode, {}, 0})) check(t);
  }
  EXPECT_GT(texts, 200);  // every row, heading, title and input
  EXPECT_EQ(out, std::set<std::string>{});
  for (const char* label : {"HP", "LP"}) {
    cairo_set_font_size(cr, xo_handle_label_size(cr, label));
    cairo_text_extents_t e;
    cairo_text_extents(cr, label, &e);
    EXPECT_TRUE(e.width <= 10.0 && e.width >= 7.0) << label << " " << e.width;
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

}  // namespace
