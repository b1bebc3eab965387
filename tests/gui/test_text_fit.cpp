// Every text of the editor window fits the size its widget was given:
// measured with Pango in the font each widget uses, for both devices.
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "editor/overview_draw.h"
#include "gui_test_util.h"
#include "response/plot_draw.h"

namespace {

class TextFit : public GuiTest {
 protected:
  static int text_width(GtkWidget* w, const std::string& text) {
    PangoLayout* layout = gtk_widget_create_pango_layout(w, text.c_str());
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    g_object_unref(layout);
    return logical.width;
  }
  static std::string combo_entry(GtkWidget* combo, int i) {
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    GtkTreeIter it;
    gchar* text = nullptr;
    if (gtk_tree_model_iter_nth_child(model, &it, nullptr, i))
      gtk_tree_model_get(model, &it, 0, &text, -1);
    const std::string result = text ? text : "";
    g_free(text);
    return result;
  }
  static std::string spin_text(GtkWidget* spin, double v) {
    char text[32];
    g_snprintf(text, sizeof text, "%.*f", gtk_spin_button_get_digits(GTK_SPIN_BUTTON(spin)), v);
    return text;
  }
  // Every text that does not fit its widget, as "kind 'text' needs N px, has M".
  static void misfits(GtkWidget* w, std::vector<std::string>& out) {
    const auto check = [&](const char* kind, GtkWidget* measured, const std::string& text,
                           int room) {
      const int need = text_width(measured, text);
      if (need > room)
        out.push_back(std::string(kind) + " '" + text + "' needs " + std::to_string(need) +
                      " px, has " + std::to_string(room));
    };
    if (GTK_IS_LABEL(w) && gtk_widget_get_visible(w)) {
      gfloat xalign, yalign;
      gint xpad, ypad;
      gtk_misc_get_alignment(GTK_MISC(w), &xalign, &yalign);
      gtk_misc_get_padding(GTK_MISC(w), &xpad, &ypad);
      PangoRectangle ink, logical;
      pango_layout_get_pixel_extents(gtk_label_get_layout(GTK_LABEL(w)), &ink, &logical);
      const int need = logical.width;
      const int room = w->allocation.width - 2 * xpad;
      if (need > room)
        out.push_back(std::string("label '") + gtk_label_get_text(GTK_LABEL(w)) + "' needs " +
                      std::to_string(need) + " px, has " + std::to_string(room));
    } else if (GTK_IS_COMBO_BOX(w)) {
      GtkWidget* cell_view = gtk_bin_get_child(GTK_BIN(w));
      GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(w));
      const int room = cell_view->allocation.width - 4;  // the text renderer's padding
      for (int i = 0; i < gtk_tree_model_iter_n_children(model, nullptr); ++i)
        check("combo entry", cell_view, combo_entry(w, i), room);
      return;
    } else if (GTK_IS_SPIN_BUTTON(w)) {
      gint width = 0, height = 0;
      gdk_drawable_get_size(GTK_ENTRY(w)->text_area, &width, &height);
      GtkBorder* inner = nullptr;
      gtk_widget_style_get(w, "inner-border", &inner, nullptr);
      const int room = width - (inner ? inner->left + inner->right : 4);
      if (inner) gtk_border_free(inner);
      GtkAdjustment* adj = gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(w));
      for (double v : {adj->lower, adj->upper}) check("spin value", w, spin_text(w, v), room);
      return;
    }
    if (GTK_IS_CONTAINER(w)) {
      GList* children = gtk_container_get_children(GTK_CONTAINER(w));
      for (GList* l = children; l; l = l->next) misfits(GTK_WIDGET(l->data), out);
      g_list_free(children);
    }
  }
  // Shows every page of a notebook in turn (pages are laid out when shown).
  static void visit_pages(GtkWidget* book, std::vector<std::string>& out) {
    for (int i = 0; i < gtk_notebook_get_n_pages(GTK_NOTEBOOK(book)); ++i) {
      show_page(book, i);
      GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(book), i);
      for (GtkWidget* inner : {notebook_xo, notebook_peq})
        if (inner && gtk_widget_is_ancestor(inner, page)) visit_pages(inner, out);
      misfits(page, out);
      GtkWidget* tab = gtk_notebook_get_tab_label(GTK_NOTEBOOK(book), page);
      misfits(tab, out);
    }
  }
};

TEST_F(TextFit, EveryLabelComboEntryAndSpinValueFitsItsWidget) {
  for (const int device : {MV517, MV961}) {
    SCOPED_TRACE(device);
    preset_t p = preset_def;
    open_editor(device, p);
    std::vector<std::string> out;
    for (int u = 0; u < 3; ++u) {  // the delay fields' range follows the unit
      choose(combo_delay, u);
      visit_pages(notebook, out);
    }
    std::string all;
    for (const std::string& line : std::set<std::string>(out.begin(), out.end()))
      all += line + "\n";
    EXPECT_EQ(all, "");
  }
}

// The factory-preset refusal keeps its 240-pixel width as a minimum and
// grows to show its whole message.
TEST_F(TextFit, TheFactoryPresetRefusalShowsItsWholeMessage) {
  error_open();
  pump_for(100);
  GtkWidget* dialog = find_window("Error!");
  ASSERT_NE(dialog, nullptr);
  EXPECT_GE(dialog->allocation.width, 240);
  // A box does not shrink its children below their size: a label cut by
  // the window reaches past the window's edge.
  GtkWidget* label = nullptr;
  std::function<void(GtkWidget*)> find = [&](GtkWidget* w) {
    if (GTK_IS_LABEL(w) &&
        std::string(gtk_label_get_text(GTK_LABEL(w))).find("Factory") != std::string::npos)
      label = w;
    if (GTK_IS_CONTAINER(w))
      gtk_container_foreach(
          GTK_CONTAINER(w),
          [](GtkWidget* c, gpointer f) { (*static_cast<std::function<void(GtkWidget*)>*>(f))(c); },
          &find);
  };
  find(dialog);
  ASSERT_NE(label, nullptr);
  gint x = 0, y = 0;
  gtk_widget_translate_coordinates(label, dialog, 0, 0, &x, &y);
  gint width = 0, height = 0;
  pango_layout_get_pixel_size(gtk_label_get_layout(GTK_LABEL(label)), &width, &height);
  EXPECT_LE(x + width, dialog->allocation.width);
  gtk_widget_destroy(dialog);
}

// Every text the Overview diagrams draw stays inside its box at the size it
// is drawn in, with the longest values, for both devices and every input
// mode; so do the letters on the crossover handles.
TEST_F(TextFit, EveryDrawnTextStaysInItsBox) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
  cairo_t* cr = cairo_create(surface);
  std::set<std::string> out;
  const auto check = [&](const DiagramText& t) {
    const double size = fitted_size(cr, t);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           t.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, t.text.c_str(), &e);
    const double end = t.x + e.x_bearing + e.width;
    if (t.x + e.x_bearing < t.left - 0.5 || end > t.right || size < 0.6 * t.size)
      out.insert("'" + t.text + "' at size " + std::to_string(size) + " reaches " +
                 std::to_string(end) + ", box ends at " + std::to_string(t.right));
  };
  char level[LEVEL_TEXT_SIZE], dyn[DYN_TEXT_SIZE], delay[2][DELAY_TEXT_SIZE];
  format_level_value(level, -990);
  format_dyn_value(dyn, -24);
  format_delay_value(delay[0], 1164.82, DELAY_MS);
  format_delay_value(delay[1], 1312.34, DELAY_FT);
  int texts = 0;
  for (const int device : {MV517, MV961}) {
    for (const int unit : {0, 1}) {
      ChannelFlowView v;
      v.channels = device;
      for (int& m : v.aktiv) m = 0x0F;
      v.aktiv[AKTIV_UNMUTED] = 0x0A;  // A and C muted
      for (int ch = 0; ch < 4; ++ch) v.row[ch] = {delay[unit], level, dyn, "WWWWWWWWW", 1, {}};
      for (const DiagramText& t : channel_flow_texts(v)) check(t), ++texts;
    }
    for (int mode = 0; mode < 4; ++mode) {
      RoutingView r;
      r.device = device, r.in_mode = mode;
      for (const DiagramText& t : routing_texts(r)) check(t), ++texts;
    }
  }
  // Rows of 11 texts and the heading, in two units; titles and inputs by mode.
  EXPECT_EQ(texts, (45 + 23) * 2 + (10 + 11 + 11 + 12) + (6 + 7 * 3));
  EXPECT_EQ(out, std::set<std::string>{});
  for (const char* label : {"HP", "LP"}) {
    cairo_set_font_size(cr, xo_handle_label_size(cr, label));
    cairo_text_extents_t e;
    cairo_text_extents(cr, label, &e);
    EXPECT_LE(e.width, 10.0) << label;
    EXPECT_GE(e.width, 7.0) << label;
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

}  // namespace
