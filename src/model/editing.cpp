#include "model/editing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/text_format.h"
#include "response/calc_filters.h"

int aktiv[5];
char level_values[4][LEVEL_TEXT_SIZE];
char dyn_values[4][DYN_TEXT_SIZE];
char delay_values[4][DELAY_TEXT_SIZE];
double gain_temp[4];
int in_mode;
int unit;
int16_t x[2][4];
int16_t x_peq[4][6];
int16_t y_peq[4][6];
int xo_select;
int peq_select;
int count_off;

namespace {

// Channels an operation walks over: those of the open editor, at most four.
unsigned open_channels() {
  return std::min(mv_type, 4u);
}

unsigned clamp_channels(unsigned channels) {
  return std::min(channels, 4u);
}

}  // namespace

// ---- Spin buttons ----

int spin_whole(double value) {
  const double lo = std::floor(value);
  const double hi = std::ceil(value);
  return static_cast<int>(value - lo < hi - value ? lo : hi);
}

std::optional<double> spin_kept_value(const char* text, double current, int digits) {
  // The toolkit prints the value with printf in the user's locale ("2,33"):
  // compared in the same form.
  char shown[64];
  std::snprintf(shown, sizeof shown, "%0.*f", digits, current);
  if (text != nullptr && std::strcmp(text, shown) == 0) return current;
  return std::nullopt;
}

// ---- Value texts ----

namespace {

// `text` right-aligned in `width` characters, as printf's "%5.1f" pads.
std::string padded(const std::string& text, size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

}  // namespace

// The diagram's texts have a decimal point in every locale, as qpx draws them.
void format_level_value(char (&out)[LEVEL_TEXT_SIZE], int gain) {
  std::snprintf(out, sizeof out, "%s dB", padded(format_fixed(gain / 10.0, 1), 5).c_str());
}

void format_dyn_value(char (&out)[DYN_TEXT_SIZE], int threshold) {
  // Thresholds outside -99..99 (never from the editor) are cut to fit.
  char text[16];
  std::snprintf(text, sizeof text, "%3i dB", threshold);
  std::snprintf(out, sizeof out, "%.*s", int(sizeof out) - 1, text);
}

void format_delay_value(char (&out)[DELAY_TEXT_SIZE], double shown, delay_unit_t u) {
  std::snprintf(out, sizeof out, "%s%s", padded(format_fixed(shown, 2), 6).c_str(),
                delay_unit_info(u).suffix);
}

// ---- Activity masks ----

int limiter_mask(const preset_t& p, unsigned channels) {
  int mask = 0;
  for (unsigned i = 0; i < clamp_channels(channels); ++i)
    if (p.channel[i].dynamics.threshold != 0) mask |= 1 << i;
  return mask;
}

int delay_mask(const preset_t& p, unsigned channels) {
  int mask = 0;
  for (unsigned i = 0; i < clamp_channels(channels); ++i)
    if (p.channel[i].delay != 0) mask |= 1 << i;
  return mask;
}

int peq_mask(const preset_t& p, unsigned channels) {
  int mask = 0;
  for (unsigned i = 0; i < clamp_channels(channels); ++i)
    for (const peq_t& band : p.channel[i].peq)
      if (peq_active(band)) mask |= 1 << i;
  return mask;
}

int with_channel_bit(int mask, unsigned ch, bool on) {
  return on ? (mask | (1 << ch)) : (mask & ~(1 << ch));
}

int unmuted_mask(uint8_t mute) {
  return ~static_cast<int>(mute);
}

void compute_overview_values(const preset_t& p, unsigned ch_max, overview_values_t& io) {
  const int dyn = limiter_mask(p, ch_max);
  const int peq = peq_mask(p, ch_max);
  const int dly = delay_mask(p, ch_max);
  for (unsigned n = 0; n < clamp_channels(ch_max); ++n) {
    const channel_t& c = p.channel[n];
    format_delay_value(io.delay_values[n], c.delay / 100.0, DELAY_M);
    format_level_value(io.level_values[n], c.gain);
    format_dyn_value(io.dyn_values[n], c.dynamics.threshold);
    io.aktiv[AKTIV_DYN] = with_channel_bit(io.aktiv[AKTIV_DYN], n, dyn & (1 << n));
    io.aktiv[AKTIV_PEQ] = with_channel_bit(io.aktiv[AKTIV_PEQ], n, peq & (1 << n));
    io.aktiv[AKTIV_DELAY] = with_channel_bit(io.aktiv[AKTIV_DELAY], n, dly & (1 << n));
  }
  io.aktiv[AKTIV_UNMUTED] = unmuted_mask(p.mute);
}

// ---- Level and mute linking ----

level_link_t link_levels(const preset_t& p, unsigned channels, unsigned ch, const double shown[4],
                         const double gain_temp_in[4]) {
  level_link_t r{};
  const unsigned n = clamp_channels(channels);
  for (unsigned i = 0; i < 4; ++i) {
    r.shown[i] = shown[i];
    r.gain[i] = p.channel[i].gain;
  }
  const int group = level_group_index(p.channel[ch].groups);
  if (group != 0) {
    const double diff = shown[ch] - gain_temp_in[ch];
    for (unsigned o = 0; o < n; ++o) {
      if (o == ch || level_group_index(p.channel[o].groups) != group) continue;
      // Each linked spin button clamps its own sum to its range.
      r.shown[o] = std::clamp(shown[o] + diff, LEVEL_MIN_DB, LEVEL_MAX_DB);
      r.moved[o] = true;
    }
  }
  // Channels neither changed nor linked keep their stored gain, also one
  // their spin button cannot show (-99.9 dB from a file).
  for (unsigned i = 0; i < n; ++i)
    if (i == ch || r.moved[i]) r.gain[i] = static_cast<int16_t>(db_to_tenths(r.shown[i]));
  return r;
}

level_link_t apply_level_change(preset_t& p, unsigned channels, unsigned ch, const double shown[4],
                                const double before[4]) {
  const level_link_t r = link_levels(p, channels, ch, shown, before);
  for (unsigned i = 0; i < clamp_channels(channels); ++i)
    if (i == ch || r.moved[i]) p.channel[i].gain = r.gain[i];
  return r;
}

level_link_t change_level(preset_t& p, unsigned channels, unsigned ch, double db) {
  double shown[4], before[4];
  for (unsigned i = 0; i < 4; ++i) {
    before[i] = shown_value(shown_field::level, p.channel[i].gain);
    shown[i] = std::clamp(before[i], LEVEL_MIN_DB, LEVEL_MAX_DB);
  }
  shown[ch & 3] = db;
  return apply_level_change(p, channels, ch & 3, shown, before);
}

bool mute_follows(uint8_t groups_ch, uint8_t groups_other) {
  const int other = mute_group_index(groups_other);
  switch (mute_group_index(groups_ch)) {
    case 1:
      return other == 1 || other == 2;  // Gr 1 strong
    case 2:
      return other == 2;  // Gr 1 weak
    case 3:
      return other == 3 || other == 4;  // Gr 2 strong
    case 4:
      return other == 4;  // Gr 2 weak
    default:
      return false;
  }
}

uint8_t mute_after_toggle(const preset_t& p, unsigned channels, unsigned ch, bool state) {
  unsigned mute = p.mute;
  const auto put = [&](unsigned i) { mute = state ? (mute | (1u << i)) : (mute & ~(1u << i)); };
  put(ch);
  for (unsigned o = 0; o < clamp_channels(channels); ++o)
    if (o != ch && mute_follows(p.channel[ch].groups, p.channel[o].groups)) put(o);
  return static_cast<uint8_t>(mute);
}

uint8_t groups_with_mute_group(uint8_t groups, int index) {
  return static_cast<uint8_t>((groups & 0x0F) | mute_group_code(index));
}

uint8_t groups_with_level_group(uint8_t groups, int index) {
  return static_cast<uint8_t>((groups & 0xF0) | level_group_code(index));
}

// ---- Crossover ----

xo_recalc_t apply_xo_freq(channel_t& ch, int hp_hz, int lp_hz, int select, int16_t column[2]) {
  const int hz[2] = {hp_hz, lp_hz};
  for (int k = 0; k < 2; ++k) {
    ch.xo[k].freq[0] = ch.xo[k].freq[1] = static_cast<uint16_t>(hz[k]);
    column[k] = freq_to_column(hz[k]);
  }
  xo_recalc_t r{};
  if (select == 0) {
    r.hp = true;
    r.hp_order = xo_order(ch.xo[0].config);
  } else {
    r.lp = ch.xo[1].config != 0;
    r.lp_order = xo_order(ch.xo[1].config);
  }
  return r;
}

xo_recalc_t apply_xo_type(channel_t& ch, int hp_index, int lp_index) {
  xo_t& hp = ch.xo[0];
  xo_t& lp = ch.xo[1];
  lp.config = static_cast<uint8_t>(lp_index >= 0 && lp_index <= 2 ? lp_index : 0);
  hp.config = hp_code_from_index(hp_index);
  hp.q[xo_slot(hp.config)] = xo_fixed_q(0, hp.config);
  lp.q[0] = lp.q[1] = 7;
  xo_recalc_t r{};
  r.hp = true;
  r.hp_order = xo_order(hp.config);
  r.lp = lp.config != 0;
  r.lp_order = xo_order(lp.config);
  return r;
}

// ---- EQ bands ----

peq_recalc_t peq_recalc(const channel_t& ch, int band) {
  return peq_recalc_t{ch.peq[0].type == 1, ch.peq[5].type == 1, band};
}

int16_t peq_gain_row(int gain) {
  return gain_to_row(gain / 10.0);
}

peq_recalc_t apply_peq_freq(channel_t& ch, int band, int hz, int16_t& column) {
  ch.peq[band].freq = static_cast<uint16_t>(hz);
  column = freq_to_column(hz);
  return peq_recalc(ch, band);
}

peq_recalc_t apply_peq_q(channel_t& ch, int band, double q) {
  ch.peq[band].q = static_cast<uint8_t>(q_to_stored(q));
  return peq_recalc(ch, band);
}

peq_recalc_t apply_peq_gain(channel_t& ch, int band, int type_index, double shown_db,
                            int16_t& row) {
  peq_t& b = ch.peq[band];
  if (type_index != 0) b.gain = static_cast<int8_t>(db_to_tenths(shown_db));
  row = peq_gain_row(b.gain);
  return peq_recalc(ch, band);
}

peq_type_result_t apply_peq_types(channel_t& ch, const int type_index[6], const double shown_db[6],
                                  int band, int16_t row[6]) {
  int off = 0;
  for (int b = 0; b < 6; ++b) {
    peq_t& p = ch.peq[b];
    if (type_index[b] == 0) ++off;
    // Another band whose selector shows what it holds keeps it: a shelf
    // type on a middle band (shown as "PEQ") stays until its own selector
    // is changed.
    if (b != band && std::min(peq_type_index(p), peq_type_count(b) - 1) == type_index[b]) continue;
    p.type = type_index[b] == 2 ? 1 : 0;
    if (type_index[b] == 0) {
      p.gain = 0;  // the spin button keeps showing the old gain
    } else {
      p.gain = static_cast<int8_t>(db_to_tenths(shown_db[b]));
      row[b] = peq_gain_row(p.gain);
    }
  }
  return peq_type_result_t{peq_recalc(ch, band), off != 6};
}

// ---- Limiter ----

uint8_t release_from_ms(int ms) {
  return static_cast<uint8_t>(release_to_stored(ms));
}

// ---- Delay ----

const delay_unit_info_t& delay_unit_info(delay_unit_t u) {
  static const delay_unit_info_t info[3] = {
      {"m", 400.0, " m"},
      {"ms", 1164.82, " ms"},
      {"ft", 1312.34, " ft"},
  };
  return info[u >= DELAY_M && u <= DELAY_FT ? u : DELAY_M];
}

double delay_spin_clamp(double value, delay_unit_t u) {
  return std::clamp(value, 0.0, delay_unit_info(u).max);
}

double delay_shown(int cm, delay_unit_t u) {
  return delay_spin_clamp(shown_value(shown_field::delay, cm, u), u);
}

int delay_cm_of_shown(double shown, delay_unit_t u) {
  return static_cast<int>(
      std::clamp<long>(delay_to_cm(shown, u), file_range::delay.lo, file_range::delay.hi));
}

int apply_delay_edit(preset_t& p, unsigned channels, int edited, const double shown[],
                     delay_unit_t u, char (*texts)[DELAY_TEXT_SIZE]) {
  for (unsigned i = 0; i < clamp_channels(channels); ++i) {
    if (static_cast<int>(i) == edited)
      p.channel[i].delay = static_cast<uint16_t>(delay_cm_of_shown(shown[i], u));
    format_delay_value(texts[i], delay_shown(p.channel[i].delay, u), u);
  }
  return delay_mask(p, channels);
}

// ---- Press and drag on the plots ----

int xo_press_choice(int16_t hp_column, int16_t lp_column, int16_t px, bool lp_off) {
  if (lp_off) return 0;
  return std::abs(hp_column - px) < std::abs(lp_column - px) ? 0 : 1;
}

peq_press_t peq_press_choice(const int16_t column[6], const bool off[6], int16_t px) {
  int d[6];
  for (int b = 0; b < 6; ++b) d[b] = std::abs(column[b] - px);
  if (off[0]) d[0] = 12000;  // farther than any column
  peq_press_t r{0, 0};
  for (int b = 0; b < 6; ++b) {
    if (d[b] < d[r.band] && !off[b]) r.band = b;
    if (off[b]) ++r.count_off;
  }
  return r;
}

bool peq_press_moves(int count_off) {
  return count_off != 6;
}

xo_target_t xo_pointer_target(int16_t px) {
  xo_target_t t{};
  t.requested_hz = column_to_freq(px);
  t.hz = spin_whole(std::clamp(t.requested_hz, double(XO_FREQ_MIN), double(XO_FREQ_MAX)));
  t.column = freq_to_column(t.hz);
  return t;
}

peq_target_t peq_pointer_target(int16_t px, int16_t py) {
  peq_target_t t{};
  t.requested_hz = column_to_freq(px);
  t.hz = spin_whole(std::clamp(t.requested_hz, double(PEQ_FREQ_MIN), double(PEQ_FREQ_MAX)));
  t.column = freq_to_column(t.hz);
  t.requested_db = row_to_gain(py);
  t.gain = db_to_tenths(std::clamp(t.requested_db, PEQ_GAIN_MIN_DB, PEQ_GAIN_MAX_DB));
  t.row = peq_gain_row(t.gain);
  return t;
}

// ---- Wrappers over the globals ----

void init_overview_values(unsigned ch_max) {
  overview_values_t v;
  std::memcpy(v.aktiv, aktiv, sizeof aktiv);
  std::memcpy(v.level_values, level_values, sizeof level_values);
  std::memcpy(v.dyn_values, dyn_values, sizeof dyn_values);
  std::memcpy(v.delay_values, delay_values, sizeof delay_values);
  compute_overview_values(preset, ch_max, v);
  std::memcpy(aktiv, v.aktiv, sizeof aktiv);
  std::memcpy(level_values, v.level_values, sizeof level_values);
  std::memcpy(dyn_values, v.dyn_values, sizeof dyn_values);
  std::memcpy(delay_values, v.delay_values, sizeof delay_values);
}

level_link_t store_level_change(unsigned ch, const double shown[4]) {
  const level_link_t r = apply_level_change(preset, open_channels(), ch, shown, gain_temp);
  for (unsigned i = 0; i < open_channels(); ++i) {
    if (i != ch && !r.moved[i]) continue;
    gain_temp[i] = shown_value(shown_field::level, r.gain[i]);
    format_level_value(level_values[i], r.gain[i]);
  }
  return r;
}

uint8_t store_mute_toggle(unsigned ch, bool state) {
  preset.mute = mute_after_toggle(preset, open_channels(), ch, state);
  aktiv[AKTIV_UNMUTED] = unmuted_mask(preset.mute);
  return preset.mute;
}

xo_recalc_t store_xo_freq(unsigned ch, int hp_hz, int lp_hz, int select) {
  xo_select = select;
  int16_t column[2];
  const xo_recalc_t r = apply_xo_freq(preset.channel[ch], hp_hz, lp_hz, select, column);
  x[0][ch] = column[0];
  x[1][ch] = column[1];
  return r;
}

xo_recalc_t store_xo_type(unsigned ch, int hp_index, int lp_index) {
  return apply_xo_type(preset.channel[ch], hp_index, lp_index);
}

peq_recalc_t store_peq_freq(unsigned ch, int band, int hz) {
  return apply_peq_freq(preset.channel[ch], band, hz, x_peq[ch][band]);
}

peq_recalc_t store_peq_q(unsigned ch, int band, double q) {
  return apply_peq_q(preset.channel[ch], band, q);
}

peq_recalc_t store_peq_gain(unsigned ch, int band, int type_index, double shown_db) {
  return apply_peq_gain(preset.channel[ch], band, type_index, shown_db, y_peq[ch][band]);
}

peq_recalc_t store_peq_types(unsigned ch, const int type_index[6], const double shown_db[6],
                             int band) {
  const peq_type_result_t r =
      apply_peq_types(preset.channel[ch], type_index, shown_db, band, y_peq[ch]);
  aktiv[AKTIV_PEQ] = with_channel_bit(aktiv[AKTIV_PEQ], ch, r.any_on);
  return r.recalc;
}

void store_limiter_threshold(unsigned ch, int threshold) {
  preset.channel[ch].dynamics.threshold = static_cast<int8_t>(threshold);
  format_dyn_value(dyn_values[ch], threshold);
  aktiv[AKTIV_DYN] = limiter_mask(preset, open_channels());
}

void store_delay_edit(int edited, const double shown[], delay_unit_t u) {
  aktiv[AKTIV_DELAY] = apply_delay_edit(preset, open_channels(), edited, shown, u, delay_values);
}
