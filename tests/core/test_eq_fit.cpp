// The EQ fit: its continuous band model against the device's curves, the
// error it minimises, and fits of generated measurements whose answer is
// known.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "measure/band_model.h"
#include "measure/eq_fit.h"
#include "support/loudspeaker_model.h"

namespace {

std::vector<int> all_columns() {
  std::vector<int> cols(EQ_TABLE_SIZE);
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) cols[c] = c;
  return cols;
}

band_params_t params(band_kind kind, double hz, double q, double gain_db) {
  band_params_t b;
  b.kind = kind;
  b.log10_hz = std::log10(hz);
  b.log10_q = std::log10(q);
  b.gain_db = gain_db;
  return b;
}

// At the stored steps the continuous model is the device's curve, and its
// derivatives are those of the level it gives.
TEST(BandModel, MatchesTheDeviceCurvesAndTheirSlopes) {
  struct row_t {
    band_kind kind;
    unsigned hz, q;
    int gain;
  };
  const row_t rows[] = {
      {band_kind::peaking, 1000, 14, 60},    {band_kind::peaking, 35, 7, -120},
      {band_kind::peaking, 12000, 125, 120}, {band_kind::peaking, 250, 45, -33},
      {band_kind::low_shelf, 120, 7, 45},    {band_kind::low_shelf, 35, 7, -120},
      {band_kind::high_shelf, 9000, 7, -40}, {band_kind::high_shelf, 2000, 7, 120},
  };
  const band_grid_t grid(all_columns());
  eq_table_t curve_table;
  eq_table_t* curve = &curve_table;
  for (const row_t& r : rows) {
    switch (r.kind) {
      case band_kind::peaking:
        peq_curve(*curve, r.hz, r.q, r.gain);
        break;
      case band_kind::low_shelf:
        lowshelf_curve(*curve, r.hz, r.gain);
        break;
      case band_kind::high_shelf:
        highshelf_curve(*curve, r.hz, r.gain);
        break;
    }
    const band_params_t b = params(r.kind, r.hz, r.q / 10.0, r.gain / 10.0);
    const int n = band_param_count(r.kind);
    std::vector<double> power(EQ_TABLE_SIZE, 1.0);
    std::vector<std::vector<double>> grad(n, std::vector<double>(EQ_TABLE_SIZE));
    double* g[3] = {grad[0].data(), grad[1].data(), n > 2 ? grad[2].data() : nullptr};
    band_power(b, grid, power.data(), g);
    for (int c = 0; c < EQ_TABLE_SIZE; c += 7)
      ASSERT_NEAR(10.0 * std::log10(power[c]), (*curve)[c], 1e-9) << r.hz << " Hz, column " << c;
    // Central differences of the level by each parameter.
    for (int k = 0; k < n; ++k) {
      band_params_t up = b, down = b;
      double* fields_up[3] = {&up.log10_hz, &up.log10_q, &up.gain_db};
      double* fields_down[3] = {&down.log10_hz, &down.log10_q, &down.gain_db};
      const int field = (n == 2 && k == 1) ? 2 : k;
      const double h = 1e-6;
      *fields_up[field] += h;
      *fields_down[field] -= h;
      std::vector<double> pu(EQ_TABLE_SIZE, 1.0), pd(EQ_TABLE_SIZE, 1.0);
      band_power(up, grid, pu.data());
      band_power(down, grid, pd.data());
      for (int c = 0; c < EQ_TABLE_SIZE; c += 5) {
        const double numeric = (10.0 * std::log10(pu[c]) - 10.0 * std::log10(pd[c])) / (2 * h);
        ASSERT_NEAR(grad[k][c], numeric, 1e-4 * (1.0 + std::abs(numeric)))
            << r.hz << " Hz, parameter " << k << ", column " << c;
      }
    }
  }
}

}  // namespace
