// The EQ bands' level responses with continuous parameters (any frequency,
// Q and gain, not only the stored steps) and their derivatives, for the
// optimisers of the EQ fit. The sections are those of calc_filters.h
// (state-variable peaking sections, first-order shelves at 96 kHz),
// rearranged for the derivatives: at whole hertz, Q in tenths and gains in
// tenths of a dB they give the stored curves (peq_curve, lowshelf_curve,
// highshelf_curve) to rounding.
#pragma once

#include <complex>
#include <vector>

enum class band_kind { peaking, low_shelf, high_shelf };

// A band as the optimisers move it: frequency and Q on a log10 scale, gain
// in dB. A shelf has no Q (log10_q is ignored).
struct band_params_t {
  band_kind kind = band_kind::peaking;
  double log10_hz = 3.0;
  double log10_q = 0.0;
  double gain_db = 0.0;
};

// Parameters a band of this kind has: 3 for a peaking band (log10 Hz,
// log10 Q, dB), 2 for a shelf (log10 Hz, dB).
int band_param_count(band_kind kind);

// The unit-circle values of a set of plot columns, computed once: z =
// e^(-j 2 pi f / 96000) at each column, and from it w = z - z^2 and
// u = (1 - z)^2, so that a band costs no complex multiplication.
struct band_grid_t {
  std::vector<int> columns;
  std::vector<std::complex<double>> z, w, u;
  explicit band_grid_t(const std::vector<int>& cols);
  size_t size() const { return columns.size(); }
};

// Multiplies |H|^2 of the band at each point of the grid into `power`
// (the level in dB is 10 log10 of the product). With `grad` (not null), the
// derivatives of the band's level in dB by its parameters, in the order of
// band_params_t (log10 Hz, then log10 Q for a peaking band, then dB), go to
// grad[0..count-1], each an array over the grid points.
void band_power(const band_params_t& b, const band_grid_t& g, double* power,
                double* const* grad = nullptr);
