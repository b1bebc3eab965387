#include "response/plot_input.h"

#include <algorithm>
#include <cmath>

#include "model/editing.h"
#include "model/text_format.h"
#include "response/calc_filters.h"

namespace {

// X keysyms of the keys the plots take.
constexpr unsigned KEY_TAB = 0xff09;
constexpr unsigned KEY_KP_TAB = 0xff89;
constexpr unsigned KEY_ISO_LEFT_TAB = 0xfe20;
constexpr unsigned KEY_LEFT = 0xff51, KEY_UP = 0xff52, KEY_RIGHT = 0xff53, KEY_DOWN = 0xff54;
constexpr unsigned KEY_KP_LEFT = 0xff96, KEY_KP_UP = 0xff97, KEY_KP_RIGHT = 0xff98,
                   KEY_KP_DOWN = 0xff99;
constexpr unsigned KEY_PLUS = 0x2b, KEY_EQUAL = 0x3d, KEY_KP_ADD = 0xffab;
constexpr unsigned KEY_MINUS = 0x2d, KEY_KP_SUBTRACT = 0xffad;

// The smallest whole hertz whose column is at least `column` (going right),
// or the largest whose column is at most `column` (going left).
int column_edge_hz(int column, bool right) {
  const auto col = [](int f) { return freq_to_column(f); };
  if (right) {
    int f = std::max(1, static_cast<int>(std::ceil(column_to_freq(column))));
    while (col(f) < column) ++f;
    while (f > 1 && col(f - 1) >= column) --f;
    return f;
  }
  int f = std::max(1, static_cast<int>(std::ceil(column_to_freq(column + 1))) - 1);
  while (f > 1 && col(f) > column) --f;
  while (col(f + 1) <= column) ++f;
  return f;
}

}  // namespace

// ---- Keys ----

plot_key_t plot_key(unsigned keysym, bool shift, bool control_or_alt) {
  const int step = shift ? 10 : 1;
  plot_key_action arrow = plot_key_action::ignore;
  int sign = 1;
  switch (keysym) {
    case KEY_LEFT:
    case KEY_KP_LEFT:
      sign = -1;
      [[fallthrough]];
    case KEY_RIGHT:
    case KEY_KP_RIGHT:
      arrow = plot_key_action::move_columns;
      break;
    case KEY_DOWN:
    case KEY_KP_DOWN:
      sign = -1;
      [[fallthrough]];
    case KEY_UP:
    case KEY_KP_UP:
      arrow = plot_key_action::step_gain;
      break;
    case KEY_TAB:
    case KEY_KP_TAB:
    case KEY_ISO_LEFT_TAB:
      if (control_or_alt) return {plot_key_action::ignore, 0};
      return {shift || keysym == KEY_ISO_LEFT_TAB ? plot_key_action::select_previous
                                                  : plot_key_action::select_next,
              0};
    case KEY_PLUS:
    case KEY_EQUAL:
    case KEY_KP_ADD:
    case KEY_MINUS:
    case KEY_KP_SUBTRACT:
      if (control_or_alt) return {plot_key_action::ignore, 0};
      sign = keysym == KEY_MINUS || keysym == KEY_KP_SUBTRACT ? -1 : 1;
      return {plot_key_action::step_q, sign * step};
    default:
      return {plot_key_action::ignore, 0};
  }
  if (control_or_alt) return {plot_key_action::swallow, 0};
  return {arrow, sign * step};
}

int next_handle(int current, const bool active[], int count, bool forward) {
  if (count <= 0) return -1;
  // From "none", forwards starts at the first handle, backwards at the last.
  int i = current >= 0 && current < count ? current : (forward ? count - 1 : 0);
  for (int n = 0; n < count; ++n) {
    i = forward ? (i + 1) % count : (i + count - 1) % count;
    if (active[i]) return i;
  }
  return -1;
}

// ---- Steps ----

int frequency_moved_by_columns(int hz, int columns, int lo, int hi) {
  if (columns == 0) return std::clamp(hz, lo, hi);
  const int target = freq_to_column(hz) + columns;
  return std::clamp(column_edge_hz(target, columns > 0), lo, hi);
}

int gain_stepped(int gain, int tenths) {
  return static_cast<int>(
      std::clamp<long>(gain + tenths, editor_range::peq_gain.lo, editor_range::peq_gain.hi));
}

int q_stepped(int q, int tenths) {
  return static_cast<int>(
      std::clamp<long>(q + tenths, editor_range::peq_q.lo, editor_range::peq_q.hi));
}

plot_step_t peq_step(const peq_t& p, const plot_key_t& key) {
  switch (key.action) {
    case plot_key_action::move_columns:
      return {plot_step_field::frequency,
              double(frequency_moved_by_columns(p.freq, key.steps, PEQ_FREQ_MIN, PEQ_FREQ_MAX))};
    case plot_key_action::step_gain:
      return {plot_step_field::gain, gain_stepped(p.gain, key.steps) / 10.0};
    case plot_key_action::step_q:
      if (p.type == 0) return {plot_step_field::q, q_stepped(p.q, key.steps) / 10.0};
      break;
    default:
      break;
  }
  return {plot_step_field::none, 0};
}

plot_step_t xo_step(const xo_t& f, const plot_key_t& key) {
  if (key.action != plot_key_action::move_columns) return {plot_step_field::none, 0};
  const int hz = f.freq[xo_slot(f.config)];
  return {plot_step_field::frequency,
          double(frequency_moved_by_columns(hz, key.steps, XO_FREQ_MIN, XO_FREQ_MAX))};
}

// ---- Wheel ----

int wheel_band(const int16_t column[6], const int16_t row[6], const bool peaking[6], double px,
               double py) {
  int best = -1;
  double best_d = WHEEL_REACH;
  for (int b = 0; b < 6; ++b) {
    if (!peaking[b]) continue;
    const double d = std::hypot(px - (column[b] + 0.5), py - row[b]);
    if (d < best_d || (d == best_d && best < 0)) best = b, best_d = d;
  }
  return best;
}

plot_key_t wheel_step(bool up, bool shift) {
  return {shift ? plot_key_action::step_gain : plot_key_action::step_q, up ? 1 : -1};
}

// ---- Readout ----

std::string readout_frequency(double hz) {
  // Rounded to three significant digits first, so that 999.7 Hz reads
  // "1.00 kHz" and 99.96 Hz "100 Hz".
  if (!(hz > 0)) return "0 Hz";
  const int exponent = static_cast<int>(std::floor(std::log10(hz)));
  const double unit = std::pow(10.0, exponent - 2);
  const double r = std::round(hz / unit) * unit;
  if (r < 100) return format_fixed(r, 1) + " Hz";
  if (r < 1000) return format_fixed(r, 0) + " Hz";
  if (r < 10000) return format_fixed(r / 1000, 2) + " kHz";
  if (r < 100000) return format_fixed(r / 1000, 1) + " kHz";
  return format_fixed(r / 1000, 0) + " kHz";
}

std::string readout_level(int tenths) {
  if (tenths == 0) return "0.0 dB";
  return (tenths > 0 ? "+" : "") + format_fixed(tenths / 10.0, 1) + " dB";
}

std::string pointer_readout(int px, int py) {
  return readout_frequency(column_to_freq(px)) + "   " +
         readout_level(db_to_tenths(row_to_gain(py)));
}

std::string phase_pointer_readout(int px, int py) {
  const long degrees = std::lround(row_to_phase(py));
  return readout_frequency(column_to_freq(px)) + "   " + (degrees > 0 ? "+" : "") +
         std::to_string(degrees) + "\u00b0";
}

std::string peq_readout(int band, const peq_t& p) {
  return "Filter " + std::to_string(band + 1) + ": " + std::to_string(p.freq) + " Hz, " +
         readout_level(p.gain) + ", Q " + format_fixed(p.q / 10.0, 1);
}

std::string xo_readout(int filter, const xo_t& f) {
  const int index = filter == 0 ? hp_index_from_code(f.config) : f.config;
  const char* const* labels = filter == 0 ? hp_type_labels : lp_type_labels;
  return std::string(filter == 0 ? "High-Pass" : "Low-Pass") + ": " +
         std::to_string(f.freq[xo_slot(f.config)]) + " Hz, " +
         (index >= 0 && index <= 2 ? labels[index] : "unknown type");
}
