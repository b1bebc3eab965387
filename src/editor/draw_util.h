// Small cairo helpers shared by the pictures.
#pragma once

#include <cairo.h>

#include <cstdint>

// Sets a source colour given as a 16-bit RGB triple (0..65535 per channel),
// the form the editor's colours are specified in.
void set_source_rgb16(cairo_t* cr, uint16_t r, uint16_t g, uint16_t b, double alpha = 1.0);
