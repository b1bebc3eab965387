// Point-by-point evaluation of the filter curves, each grid point computed
// from its frequency with two complex exponentials, a power and a logarithm.
// It is the yardstick for the curves of calc_filters.h: the tests require
// the same tables from both, and the benchmarks time both side by side.
#pragma once

#include "response/calc_filters.h"

void reference_hp_curve(xo_table_t& out, unsigned freq, unsigned q, int order);
void reference_lp_curve(xo_table_t& out, unsigned freq, unsigned q, int order);
void reference_peq_curve(eq_table_t& out, unsigned freq, unsigned q, int gain);
void reference_lowshelf_curve(eq_table_t& out, unsigned freq, int gain);
void reference_highshelf_curve(eq_table_t& out, unsigned freq, int gain);

// All curves of a channel, the way channel_curves() defines them, with the
// curves above.
void reference_channel_curves(const channel_t& ch, channel_curves_t& out);
