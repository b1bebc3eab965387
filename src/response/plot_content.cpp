#include "response/plot_content.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "model/channel_tools.h"
#include "model/text_format.h"
#include "response/calc_filters.h"

namespace {

constexpr double NO_VALUE = std::numeric_limits<double>::quiet_NaN();

// A new table of EQ_TABLE_SIZE values (NaN), kept by the content.
double* new_values(plot_content_t& out) {
  out.values.emplace_back(new double[EQ_TABLE_SIZE]);
  double* v = out.values.back().get();
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) v[i] = NO_VALUE;
  return v;
}

void add_curve(plot_content_t& out, const double* values, plot_rgb_t colour, double width,
               bool dashed, const std::string& legend) {
  out.extra.push_back({values, colour, width, dashed});
  out.legend.push_back({colour, dashed, legend});
}

double wrapped(double degrees) {
  return response_phase_deg(std::polar(1.0, degrees * 3.14159265358979323846 / 180.0));
}

// The sum of two channels' outputs for one input, as sum_curves gives it:
// its level into `db`, its phase into `phase_deg` (either may be null).
void electrical_sum(plot_cache_t& cache, const channel_t& a, const channel_t& b, double* db,
                    double* phase_deg) {
  const channel_response_t& ra = cache.response(a);
  const channel_response_t& rb = cache.response(b);
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
    const complex_t sum = ra.output[i] + rb.output[i];
    if (db) db[i] = response_db(sum);
    if (phase_deg) phase_deg[i] = response_phase_deg(sum);
  }
}

// The extra curves of the level view.
void level_curves(int ch, const plot_choice_t& choice, const plot_sources_t& src,
                  plot_cache_t& cache, const prediction_t* predicted,
                  const prediction_t* with_predicted, plot_content_t& out) {
  const preset_t& p = *src.preset;
  const plot_measurement_t& m = src.measurement[ch];
  const double shift = out.measurement_offset_db;
  if (m.grid && choice.show_measurement) {
    double* v = new_values(out);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i)
      if (m.grid->has[i]) v[i] = m.grid->db[i] + shift;
    add_curve(out, v, MEASUREMENT_CURVE_RGB, 1.0, false, measurement_legend(m.name, shift));
  }
  if (predicted && choice.show_prediction) {
    double* v = new_values(out);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i)
      if (predicted->has[i]) v[i] = predicted->db[i] + shift;
    add_curve(out, v, PREDICTION_CURVE_RGB, 2.0, false, prediction_legend(p, ch, m.name));
  }
  if (!choice.eq) return;
  if (choice.total) {
    double* v = new_values(out);
    const channel_response_t& own = cache.response(p.channel[ch]);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) v[i] = response_db(own.total[i]);
    add_curve(out, v, TOTAL_CURVE_RGB, 2.0, false, total_legend(p, ch));
  }
  if (choice.sum_with >= 0) {
    double* v = new_values(out);
    if (predicted && with_predicted) {
      auto sum = std::make_unique<predicted_sum_t>();
      predict_sum(*predicted, *with_predicted, *sum);
      for (int i = 0; i < EQ_TABLE_SIZE; ++i)
        if (sum->has[i]) v[i] = sum->db[i] + shift;
      add_curve(out, v, SUM_CURVE_RGB, 2.0, false, measured_sum_legend(p, ch, choice.sum_with));
    } else {
      electrical_sum(cache, p.channel[ch], p.channel[choice.sum_with], v, nullptr);
      add_curve(out, v, SUM_CURVE_RGB, 2.0, false, sum_legend(p, ch, choice.sum_with));
    }
  }
}

// The extra curves of the phase view: the measured phase, the predicted
// phase and the sum's phase (the total response is the view's own curve).
void phase_curves(int ch, const plot_choice_t& choice, const plot_sources_t& src,
                  plot_cache_t& cache, const prediction_t* predicted,
                  const prediction_t* with_predicted, plot_content_t& out) {
  const preset_t& p = *src.preset;
  const plot_measurement_t& m = src.measurement[ch];
  if (m.grid && m.grid->has_phase && choice.show_measurement) {
    double* v = new_values(out);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i)
      if (m.grid->has[i]) v[i] = wrapped(m.grid->phase_deg[i]);
    add_curve(out, v, MEASUREMENT_CURVE_RGB, 1.0, false,
              measurement_legend(m.name, out.measurement_offset_db));
  }
  if (predicted && predicted->has_phase && choice.show_prediction) {
    double* v = new_values(out);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i)
      if (predicted->has[i]) v[i] = predicted->phase_deg[i];
    add_curve(out, v, PREDICTION_CURVE_RGB, 2.0, false, prediction_legend(p, ch, m.name));
  }
  if (!choice.eq || choice.sum_with < 0) return;
  double* v = new_values(out);
  if (predicted && with_predicted) {
    auto sum = std::make_unique<predicted_sum_t>();
    predict_sum(*predicted, *with_predicted, *sum);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i)
      if (sum->has[i]) v[i] = sum->phase_deg[i];
    add_curve(out, v, SUM_CURVE_RGB, 2.0, false, measured_sum_legend(p, ch, choice.sum_with));
  } else {
    electrical_sum(cache, p.channel[ch], p.channel[choice.sum_with], nullptr, v);
    add_curve(out, v, SUM_CURVE_RGB, 2.0, false, sum_legend(p, ch, choice.sum_with));
  }
}

}  // namespace

plot_cache_t::entry_t& plot_cache_t::entry(const channel_t& ch, const grid_measurement_t* grid) {
  constexpr size_t KEPT = 8;
  for (size_t i = 0; i < entries_.size(); ++i) {
    entry_t& e = entries_[i];
    if (e.grid == grid && std::memcmp(&e.ch, &ch, sizeof ch) == 0) {
      std::rotate(entries_.begin(), entries_.begin() + static_cast<long>(i),
                  entries_.begin() + static_cast<long>(i) + 1);
      return entries_.front();
    }
  }
  if (entries_.size() == KEPT) entries_.pop_back();
  entry_t e{ch, grid, std::make_unique<channel_response_t>(), nullptr};
  channel_response(ch, *e.response);
  if (grid) {
    e.prediction = std::make_unique<prediction_t>();
    predict_output(*e.response, *grid, *e.prediction);
  }
  entries_.insert(entries_.begin(), std::move(e));
  return entries_.front();
}

const channel_response_t& plot_cache_t::response(const channel_t& ch) {
  return *entry(ch, nullptr).response;
}

const prediction_t& plot_cache_t::prediction(const channel_t& ch, const grid_measurement_t& m) {
  return *entry(ch, &m).prediction;
}

void compose_plot(int ch, const plot_choice_t& choice, const plot_sources_t& src,
                  plot_content_t& out, plot_cache_t* cache) {
  out = plot_content_t{};
  if (!src.preset || ch < 0 || ch > 3) return;
  plot_cache_t local;
  plot_cache_t& kept = cache ? *cache : local;
  const preset_t& p = *src.preset;
  plot_choice_t c = choice;
  if (c.sum_with == ch || c.sum_with > 3) c.sum_with = -1;
  if (!c.eq) c.total = false, c.sum_with = -1;

  // The channel's prediction while it has a measurement; the other
  // channel's too when the sum can be predicted (both measured with phase).
  const plot_measurement_t& m = src.measurement[ch];
  const prediction_t* predicted = m.grid ? &kept.prediction(p.channel[ch], *m.grid) : nullptr;
  const prediction_t* with_predicted = nullptr;
  if (m.grid) {
    out.measurement_offset_db = measurement_plot_offset_db(p.channel[ch], *m.grid);
    out.measured_db.assign(EQ_TABLE_SIZE, NO_VALUE);
    out.predicted_db.assign(EQ_TABLE_SIZE, NO_VALUE);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
      if (!m.grid->has[i]) continue;
      out.measured_db[i] = m.grid->db[i];
      out.predicted_db[i] = predicted->db[i];
    }
  }
  if (c.sum_with >= 0 && predicted && predicted->has_phase) {
    const grid_measurement_t* other = src.measurement[c.sum_with].grid;
    if (other && other->has_phase) with_predicted = &kept.prediction(p.channel[c.sum_with], *other);
  }

  if (c.mode == plot_view_mode::phase) {
    const channel_response_t& own = kept.response(p.channel[ch]);
    out.phase.resize(EQ_TABLE_SIZE);
    out.group_delay.resize(EQ_TABLE_SIZE);
    for (int i = 0; i < EQ_TABLE_SIZE; ++i) out.phase[i] = response_phase_deg(own.total[i]);
    group_delay_ms(own.total, out.group_delay.data());
    phase_curves(ch, c, src, kept, predicted, with_predicted, out);
  } else {
    level_curves(ch, c, src, kept, predicted, with_predicted, out);
  }
}

std::string content_readout(const plot_content_t& content, plot_view_mode mode, int column) {
  if (column < 0 || column >= EQ_TABLE_SIZE) return "";
  if (mode == plot_view_mode::phase) {
    if (content.group_delay.empty()) return "";
    return "   group delay " + format_fixed(content.group_delay[column], 2) + " ms";
  }
  std::string text;
  if (!content.measured_db.empty() && !std::isnan(content.measured_db[column]))
    text += "   measured " + format_fixed(content.measured_db[column], 1) + " dB";
  if (!content.predicted_db.empty() && !std::isnan(content.predicted_db[column]))
    text += "   predicted " + format_fixed(content.predicted_db[column], 1) + " dB";
  return text;
}
