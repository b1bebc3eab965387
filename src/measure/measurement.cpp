// A measurement on the plot grid, the predicted output of a channel for it,
// and the plots' scale; see measurement.h. Reading the text is in
// measurement_read.cpp.
#include "measure/measurement.h"

#include <cmath>
#include <memory>

#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

constexpr double PI = 3.14159265358979323846;

// Frequencies of the columns that a pass band search may use.
constexpr double FALLBACK_LO_HZ = 200.0;
constexpr double FALLBACK_HI_HZ = 5000.0;

// The mean measured level over the columns within lo..hi Hz; false when
// none has a value.
bool mean_level(const grid_measurement_t& m, double lo, double hi, double& mean) {
  double sum = 0.0;
  int n = 0;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    const double f = column_to_freq(c);
    if (!m.has[c] || f < lo || f > hi) continue;
    sum += m.db[c];
    ++n;
  }
  if (n == 0) return false;
  mean = sum / n;
  return true;
}

}  // namespace

// ---- On the plot grid ------------------------------------------------------

double wrap_phase_deg(double degrees) {
  double d = std::fmod(degrees + 180.0, 360.0);
  if (d <= 0.0) d += 360.0;
  return d - 180.0;
}

void measurement_on_grid(const measurement_t& m, grid_measurement_t& out) {
  out = grid_measurement_t{};
  const size_t rows = m.hz.size();
  if (rows < 2 || m.db.size() != rows) return;
  out.has_phase = m.phase_deg.size() == rows;
  std::vector<double> log_hz(rows), phase(out.has_phase ? rows : 0);
  for (size_t i = 0; i < rows; ++i) log_hz[i] = std::log10(m.hz[i]);
  if (out.has_phase) {
    phase[0] = m.phase_deg[0];
    for (size_t i = 1; i < rows; ++i)
      phase[i] = phase[i - 1] + wrap_phase_deg(m.phase_deg[i] - m.phase_deg[i - 1]);
  }
  size_t k = 0;  // rows k and k + 1 surround the column
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    const double f = column_to_freq(c);
    if (f < m.hz.front() || f > m.hz.back()) continue;
    while (k + 2 < rows && m.hz[k + 1] < f) ++k;
    const double span = log_hz[k + 1] - log_hz[k];
    const double t = span > 0.0 ? (std::log10(f) - log_hz[k]) / span : 0.0;
    out.has[c] = true;
    out.db[c] = m.db[k] + t * (m.db[k + 1] - m.db[k]);
    if (out.has_phase) out.phase_deg[c] = phase[k] + t * (phase[k + 1] - phase[k]);
  }
}

complex_t measured_complex(const grid_measurement_t& m, int column) {
  const double magnitude = std::pow(10.0, m.db[column] / 20.0);
  return std::polar(magnitude, m.has_phase ? m.phase_deg[column] * PI / 180.0 : 0.0);
}

// ---- Prediction ------------------------------------------------------------

void predict_output(const channel_response_t& r, const grid_measurement_t& m, prediction_t& out) {
  out = prediction_t{};
  out.has_phase = m.has_phase;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    if (!m.has[c]) continue;
    out.has[c] = true;
    const complex_t measured = measured_complex(m, c);
    out.output[c] =
        m.has_phase ? measured * r.output[c] : std::abs(measured) * std::abs(r.output[c]);
    out.db[c] = response_db(out.output[c]);
    if (m.has_phase) out.phase_deg[c] = response_phase_deg(out.output[c]);
  }
}

void predict_output(const channel_t& ch, const grid_measurement_t& m, prediction_t& out) {
  auto r = std::make_unique<channel_response_t>();
  channel_response(ch, *r);
  predict_output(*r, m, out);
}

void predict_sum(const prediction_t& a, const prediction_t& b, predicted_sum_t& out) {
  out = predicted_sum_t{};
  if (!a.has_phase || !b.has_phase) return;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    if (!a.has[c] || !b.has[c]) continue;
    const complex_t sum = a.output[c] + b.output[c];
    out.has[c] = true;
    out.db[c] = response_db(sum);
    out.phase_deg[c] = response_phase_deg(sum);
  }
}

// ---- Plot scale ------------------------------------------------------------

pass_band_t channel_pass_band(const channel_t& ch) {
  const xo_t& hp = ch.xo[0];
  const xo_t& lp = ch.xo[1];
  const double lo = hp.freq[xo_slot(hp.config)];
  const double hi =
      lp.config != 0 ? lp.freq[xo_slot(lp.config)] : column_to_freq(EQ_TABLE_SIZE - 1);
  return {lo, hi};
}

double measurement_plot_offset_db(const channel_t& ch, const grid_measurement_t& m) {
  const pass_band_t band = channel_pass_band(ch);
  double mean = 0.0;
  if ((band.lo_hz < band.hi_hz && mean_level(m, band.lo_hz, band.hi_hz, mean)) ||
      mean_level(m, FALLBACK_LO_HZ, FALLBACK_HI_HZ, mean) || mean_level(m, 0.0, INFINITY, mean))
    return -mean;
  return 0.0;
}

// ---- Legends ---------------------------------------------------------------

std::string measurement_legend(const std::string& file_name, double offset_db) {
  const std::string shift = (offset_db < 0 ? "-" : "+") + format_fixed(std::fabs(offset_db), 1);
  return "Measured: " + text_excerpt(file_name) + " (measurement " + shift + " dB)";
}

std::string prediction_legend(const preset_t& p, unsigned ch, const std::string& file_name) {
  return "Predicted: " + channel_label(p, ch) + " with " + text_excerpt(file_name);
}
