// Aligning two channels by delay and polarity; see alignment.h.
//
// The loss of a candidate depends only on the delay of Y relative to X and
// on Y's sign: |X| + |Y| stays, and X + s Y e^(-j w d) is the sum when Y is
// made d cm later (d < 0: X made -d cm later). So every candidate shift d in
// -max..max and both signs are scored from the two predictions as they are,
// each column's phase turned on by one centimetre at a time.
#include "measure/alignment.h"

#include <cmath>
#include <memory>

#include "model/text_format.h"

namespace {

constexpr int DELAY_MAX_CM = editor_range::delay.hi;

std::string out_name(unsigned ch) {
  return std::string("Out ") + char('A' + ch);
}

std::string no_phase_reason(unsigned ch) {
  return "the measurement of " + out_name(ch) +
         " has no phase: two loudspeakers can only be added with the phase of both";
}

// The columns of the alignment: within lo..hi where both predictions have
// a value, or by default where their levels lie within the window.
std::vector<int> align_columns(const prediction_t& x, const prediction_t& y,
                               const align_request_t& r) {
  const bool by_level = r.lo_hz == 0.0 && r.hi_hz == 0.0;
  std::vector<int> cols;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    if (!x.has[c] || !y.has[c]) continue;
    const double f = column_to_freq(c);
    if (by_level ? std::abs(x.db[c] - y.db[c]) <= ALIGN_LEVEL_WINDOW_DB
                 : (f >= r.lo_hz && f <= r.hi_hz))
      cols.push_back(c);
  }
  return cols;
}

}  // namespace

double summation_loss_db(const prediction_t& x, const prediction_t& y,
                         const std::vector<int>& columns) {
  if (columns.empty()) return 0.0;
  double sum = 0.0;
  for (int c : columns)
    sum += response_db(std::abs(x.output[c]) + std::abs(y.output[c])) -
           response_db(x.output[c] + y.output[c]);
  return sum / double(columns.size());
}

align_result_t align_channels(const preset_t& p, unsigned x, unsigned y,
                              const grid_measurement_t& mx, const grid_measurement_t& my,
                              const align_request_t& request) {
  align_result_t res;
  if (x > 3 || y > 3 || x == y) {
    res.reason = "two different channels are needed";
    return res;
  }
  const channel_t& cx = p.channel[x];
  const channel_t& cy = p.channel[y];
  res.delay_x = cx.delay;
  res.delay_y = cy.delay;
  res.phase_y = cy.phase;
  res.change_text = "no change";
  if (!mx.has_phase || !my.has_phase) {
    res.reason = no_phase_reason(mx.has_phase ? y : x);
    return res;
  }
  if (request.max_delay_cm < 0) {
    res.reason = "the largest delay cannot be negative";
    return res;
  }
  auto px = std::make_unique<prediction_t>();
  auto py = std::make_unique<prediction_t>();
  predict_output(cx, mx, *px);
  predict_output(cy, my, *py);
  res.columns = align_columns(*px, *py, request);
  if (res.columns.empty()) {
    const bool by_level = request.lo_hz == 0.0 && request.hi_hz == 0.0;
    res.reason = by_level ? "the predicted levels of " + out_name(x) + " and " + out_name(y) +
                                " are nowhere within " + format_general(ALIGN_LEVEL_WINDOW_DB, 3) +
                                " dB of each other"
                          : "the measurements of " + out_name(x) + " and " + out_name(y) +
                                " have no common value within " + format_general(request.lo_hz, 6) +
                                "-" + format_general(request.hi_hz, 6) + " Hz";
    return res;
  }
  res.loss_before_db = summation_loss_db(*px, *py, res.columns);

  // Score every shift d (Y later by d, or X later by -d) and sign s by the
  // sum of 20 log10 |X + s Y e^(-j w d)| over the columns: the larger, the
  // smaller the loss.
  const int max = std::min(request.max_delay_cm, DELAY_MAX_CM);
  const size_t count = size_t(2 * max + 1);
  std::vector<double> score[2] = {std::vector<double>(count, 0.0), std::vector<double>(count, 0.0)};
  for (int c : res.columns) {
    const double f = column_to_freq(c);
    const complex_t step = delay_factor(f, 1);
    complex_t turned = py->output[c] * std::conj(delay_factor(f, unsigned(max)));
    const complex_t xc = px->output[c];
    for (size_t i = 0; i < count; ++i) {
      score[0][i] += response_db(xc + turned);
      score[1][i] += response_db(xc - turned);
      turned *= step;
    }
  }
  // The best, trying the smallest shifts first and the unchanged polarity
  // before the turned one: a later candidate must be clearly better.
  int best_d = 0, best_s = 0;
  double best = score[0][size_t(max)];
  for (int a = 0; a <= max; ++a) {
    for (int d : {a, -a}) {
      if (a == 0 && d < 0) continue;
      if (d > 0 && cy.delay + d > DELAY_MAX_CM) continue;
      if (d < 0 && cx.delay - d > DELAY_MAX_CM) continue;
      for (int s = 0; s < 2; ++s) {
        const double v = score[s][size_t(d + max)];
        if (v > best + 1e-9 * double(res.columns.size())) {
          best = v;
          best_d = d;
          best_s = s;
        }
      }
    }
  }

  res.shift_cm = best_d;
  res.polarity_changed = best_s == 1;
  if (best_d > 0) res.delay_y = uint16_t(cy.delay + best_d);
  if (best_d < 0) res.delay_x = uint16_t(cx.delay - best_d);
  if (res.polarity_changed) res.phase_y = cy.phase == 1 ? 0 : 1;
  preset_t after = p;
  after.channel[x].delay = res.delay_x;
  after.channel[y].delay = res.delay_y;
  after.channel[y].phase = res.phase_y;
  predict_output(after.channel[x], mx, *px);
  predict_output(after.channel[y], my, *py);
  res.loss_after_db = summation_loss_db(*px, *py, res.columns);

  std::string text;
  const std::string polarity = res.phase_y == 1 ? "polarity inverted" : "polarity normal";
  if (best_d < 0) text = out_name(x) + " +" + std::to_string(-best_d) + " cm";
  if (best_d > 0) text = out_name(y) + " +" + std::to_string(best_d) + " cm";
  if (res.polarity_changed)
    text += text.empty() ? out_name(y) + " " + polarity
                         : (best_d > 0 ? ", " : ", " + out_name(y) + " ") + polarity;
  if (!text.empty()) res.change_text = text;
  res.ok = true;
  return res;
}

bool apply_alignment(preset_t& p, unsigned x, unsigned y, const align_result_t& result) {
  if (!result.ok || x > 3 || y > 3) return false;
  p.channel[x].delay = result.delay_x;
  p.channel[y].delay = result.delay_y;
  p.channel[y].phase = result.phase_y;
  return true;
}

std::string align_result_t::loss_text() const {
  std::string text = "summation loss " + format_fixed(loss_before_db, 2) + " dB -> " +
                     format_fixed(loss_after_db, 2) + " dB (mean over " +
                     std::to_string(columns.size()) + " columns";
  if (!columns.empty())
    text += ", " + format_fixed(column_to_freq(columns.front()), 0) + "-" +
            format_fixed(column_to_freq(columns.back()), 0) + " Hz";
  return text + ")";
}
