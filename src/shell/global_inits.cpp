#include "shell/global_inits.h"

#include "editor/overview_draw.h"
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
  // Texts (delay in metres, the unit the Delay tab starts in) and masks;
  // a band counts as active exactly when its type selector is not at "OFF",
  // which is how the selectors are filled from the record.
  init_overview_values(ch_max);
}
