#include "editor/draw_util.h"

void set_source_rgb16(cairo_t* cr, uint16_t r, uint16_t g, uint16_t b, double alpha) {
  cairo_set_source_rgba(cr, r / 65535.0, g / 65535.0, b / 65535.0, alpha);
}
