// Every text of the editor window fits the size its widget was given:
// measured with Pango in the font each widget uses, for both devices.
#include <set>
#include <string>
#include <vector>

#include "gui_test_util.h"

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

}  // namespace
