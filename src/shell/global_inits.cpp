#include "shell/global_inits.h"

#include <gtk/gtk.h>

#include "editor/overview_draw.h"
#include "editor/preset_verwaltung.h"
#include "model/editing.h"

cairo_pattern_t* pat1 = nullptr;
cairo_pattern_t* pat_r = nullptr;

namespace {

void replace_pattern(cairo_pattern_t*& pattern, const LinearGradient& gradient) {
  if (pattern) cairo_pattern_destroy(pattern);
  pattern = make_linear_pattern(gradient);
}

}  // namespace

void global_inits(unsigned ch_max) {
  replace_pattern(pat1, plot_background_gradient);
  replace_pattern(pat_r, router_gradient);
  // Texts (delay in metres, the unit the Delay tab starts in) and masks.
  init_overview_values(ch_max);
  // A channel's EQ is active when one of its band type selectors is not at
  // "OFF".
  for (unsigned n = 0; n < ch_max && n < 4; ++n) {
    bool any_on = false;
    for (GtkWidget* combo : peq_combo[n])
      any_on = any_on || (combo && gtk_combo_box_get_active(GTK_COMBO_BOX(combo)) != 0);
    aktiv[AKTIV_PEQ] = with_channel_bit(aktiv[AKTIV_PEQ], n, any_on);
  }
}
