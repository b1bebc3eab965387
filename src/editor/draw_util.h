// Small cairo helpers shared by the pictures.
#pragma once

#include <cairo.h>

#include <cstdint>

// Sets a source colour given as a 16-bit RGB triple (0..65535 per channel),
// the form the editor's colours are specified in.
void set_source_rgb16(cairo_t* cr, uint16_t r, uint16_t g, uint16_t b, double alpha = 1.0);

// Runs `draw` on `cr` with the origin moved to (x, y) and drawing clipped to
// the `width` x `height` rectangle there, as a widget of that size at that
// place clips what is drawn into it.
template <typename Draw>
void draw_in_area(cairo_t* cr, double x, double y, double width, double height, Draw draw) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_clip(cr);
  draw(cr);
  cairo_restore(cr);
}
