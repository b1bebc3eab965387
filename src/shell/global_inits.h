// What every editor build prepares for the drawings: the gradients of the
// response plots and of the router box, and the overview's per-channel value
// texts and activity masks.
#pragma once

#include <cairo.h>

// Background of the frequency-response plots and fill of the router box;
// created anew by each global_inits (the previous ones are released).
extern cairo_pattern_t* pat1;
extern cairo_pattern_t* pat_r;

// Called once per editor build with its channel count, after the Channel
// Setup, Crossover, Parametric EQ, Limiter and Delay tabs exist and before
// the Overview diagrams are created. Only channels below ch_max get texts
// and activity bits; aktiv[4] is the complement of the whole mute byte.
void global_inits(unsigned ch_max);
