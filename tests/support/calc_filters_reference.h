// Point-by-point evaluation of the filter curves from each grid point's
// frequency: the yardstick of calc_filters.h in the tests and benchmarks.
#pragma once

#include "response/calc_filters.h"

void reference_hp_curve(xo_table_t& out, unsigned freq, unsigned q, int order);
void reference_lp_curve(xo_table_t& out, unsigned freq, unsigned q, int order);
void reference_peq_curve(eq_table_t& out, unsigned freq, unsigned q, int gain);
void reference_lowshelf_curve(eq_table_t& out, unsigned freq, int gain);
void reference_highshelf_curve(eq_table_t& out, unsigned freq, int gain);

// All curves of a channel, as channel_curves() defines them.
void reference_channel_curves(const channel_t& ch, channel_curves_t& out);
