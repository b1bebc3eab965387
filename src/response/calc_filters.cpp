// Filter magnitude responses on the plot grid; see calc_filters.h.
//
// Every response is H = N(z) / D(z) evaluated on the unit circle, with
// z^-1 = e^(-jw), z^-2 = e^(-2jw), w = 2 pi f / 96000, the quotient formed as
// N conj(D) / |D|^2, and stored as 20 log10 |H| (|H H| for two sections).
//
// The grid never changes, so its z^-1 and z^-2 are computed once; a curve then
// costs a few multiplications, a hypot and a log10 per point. The operations
// per point are the same as evaluating from the frequency, so the tables are
// bit for bit what the point-by-point evaluation gives.
#include "response/calc_filters.h"

#include <cmath>
#include <complex>
#include <cstring>
#include <memory>

namespace {

using cplx = std::complex<double>;

constexpr double PI = 3.14159265358979323846;
constexpr double FS = FILTER_SAMPLE_RATE;

// z^-1 and z^-2 at one frequency.
struct unit_point_t {
  cplx zf1;
  cplx zf2;
};

unit_point_t unit_point(double frq_p) {
  const cplx minus_2pi_j(0.0, -2.0 * PI);
  return {std::exp((frq_p / FS) * minus_2pi_j), std::exp((2.0 * frq_p / FS) * minus_2pi_j)};
}

// The grid's unit-circle values, columns 0 to 812 (the crossover grid is the
// longest).
struct grid_t {
  unit_point_t at[XO_TABLE_SIZE];
};

const grid_t& grid() {
  static const grid_t g = [] {
    grid_t r;
    for (int i = 0; i < XO_TABLE_SIZE; ++i) r.at[i] = unit_point(column_to_freq(i));
    return r;
  }();
  return g;
}

// A second-order section D(z) = 1 - a1 z^-1 - a2 z^-2 with the coefficients
// of a state-variable filter at `freq` Hz and Q = q / 10.
struct svf_t {
  double Feq;  // 2 sin(pi fg / fs)
  double Qeq;  // damping, 1 / Q
  double a1;
  double a2;
};

svf_t svf(unsigned freq, unsigned q) {
  svf_t s;
  const double fg = freq;
  s.Feq = 2.0 * std::sin(PI * fg / FS);
  s.Qeq = 1.0 / (q / 10.0);
  s.a1 = 2.0 - s.Feq * s.Feq - s.Feq * s.Qeq;
  s.a2 = s.Feq * s.Qeq - 1.0;
  return s;
}

// Linear gain V of a stored gain in 0.1 dB.
double g_eq(int gain) {
  return std::pow(10.0, gain / 200.0);
}

// A first-order shelf: N(z) = b0 + b1 z^-1, D(z) = 1 + k z^-1 (a1 = -k, a2 = 0).
struct shelf_t {
  double b0;
  double b1;
  double a1;
  double a2;
};

double shelf_k(unsigned freq) {
  const double omega_g = 2.0 * PI * freq / FS;
  const double s = std::sin(omega_g / 2.0);
  const double c = std::cos(omega_g / 2.0);
  return (s - c) / (c + s);
}

shelf_t lowshelf(unsigned freq, int gain) {
  const double B1 = shelf_k(freq);
  const double V = g_eq(gain);
  return {(V * B1 + V - B1 + 1.0) / 2.0, (V * B1 + V + B1 - 1.0) / 2.0, -B1, 0.0};
}

shelf_t highshelf(unsigned freq, int gain) {
  const double B1 = shelf_k(freq);
  const double V = g_eq(gain);
  return {(V - V * B1 + B1 + 1.0) / 2.0, (V * B1 - V + B1 + 1.0) / 2.0, -B1, 0.0};
}

// The per-point arithmetic, written out in reals: exactly the operations of
// std::complex (N conj(D) / norm(D), cabs = hypot), without its NaN recovery
// branches. A complex value is (re, im).
struct cx {
  double re;
  double im;
};

// s0 + s1 z^-1 + s2 z^-2 as std::complex forms it from s0 + s1 * zf1 + s2 * zf2.
inline cx poly(double s0, double s1, double s2, const unit_point_t& z) {
  return {s0 + s1 * z.zf1.real() + s2 * z.zf2.real(), 0.0 + s1 * z.zf1.imag() + s2 * z.zf2.imag()};
}

// D(z) = 1 - a1 z^-1 - a2 z^-2, as std::complex forms 1.0 - a1 * zf1 - a2 * zf2.
inline cx denominator(const unit_point_t& z, double a1, double a2) {
  return {1.0 - a1 * z.zf1.real() - a2 * z.zf2.real(), 0.0 - a1 * z.zf1.imag() - a2 * z.zf2.imag()};
}

// H = N / D as N conj(D) / |D|^2, squared (two sections in series) when
// `squared`.
inline cx quotient(const cx& N, const cx& D, bool squared) {
  const double c = D.re;
  const double d = -D.im;  // conj(D)
  const double norm = D.re * D.re + D.im * D.im;
  const double hr = (N.re * c - N.im * d) / norm;
  const double hi = (N.re * d + N.im * c) / norm;
  if (squared) return {hr * hr - hi * hi, hr * hi + hi * hr};
  return {hr, hi};
}

// 20 log10 |N / D| (or |(N / D)^2| when `squared`).
inline double magnitude_db(const cx& N, const cx& D, bool squared) {
  const cx h = quotient(N, D, squared);
  return 20.0 * std::log10(std::hypot(h.re, h.im));
}

// The numerators and denominators of each filter at one grid point; the
// magnitude curves and the complex responses are both formed from these.
inline cx hp_numerator(const unit_point_t& z) {
  // 1.0 - 2.0 * zf1 + zf2
  return {1.0 - 2.0 * z.zf1.real() + z.zf2.real(), 0.0 - 2.0 * z.zf1.imag() + z.zf2.imag()};
}

inline cx lp_numerator(const unit_point_t& z, const svf_t& s) {
  // F^2 * zf1
  const double F2 = s.Feq * s.Feq;
  return {F2 * z.zf1.real(), F2 * z.zf1.imag()};
}

inline double hp_point(const unit_point_t& z, const svf_t& s, bool squared) {
  return magnitude_db(hp_numerator(z), denominator(z, s.a1, s.a2), squared);
}

inline double lp_point(const unit_point_t& z, const svf_t& s, bool squared) {
  return magnitude_db(lp_numerator(z, s), denominator(z, s.a1, s.a2), squared);
}

struct peaking_t {
  svf_t s;
  double b1;
  double b2;
};

peaking_t peaking(unsigned freq, unsigned q, int gain) {
  peaking_t p;
  p.s = svf(freq, q);
  // b1 = V F d + F^2 - 2 and b2 = 1 - V F d, formed as -a1 and -a2 plus the
  // band's part (V - 1) F d: then N(z) = D(z) + (V - 1) F d (z^-1 - z^-2) holds
  // in floating point too, and a band of gain 0 (V = 1) is exactly 0 dB.
  const double boost = (g_eq(gain) - 1.0) * (p.s.Feq * p.s.Qeq);
  p.b1 = -p.s.a1 + boost;
  p.b2 = -p.s.a2 - boost;
  return p;
}

inline double peq_point(const unit_point_t& z, const peaking_t& p) {
  const cx N = poly(1.0, p.b1, p.b2, z);
  return magnitude_db(N, denominator(z, p.s.a1, p.s.a2), false);
}

inline cx shelf_numerator(const unit_point_t& z, const shelf_t& sh) {
  return {sh.b0 + sh.b1 * z.zf1.real(), 0.0 + sh.b1 * z.zf1.imag()};
}

inline double shelf_point(const unit_point_t& z, const shelf_t& sh) {
  return magnitude_db(shelf_numerator(z, sh), denominator(z, sh.a1, sh.a2), false);
}

bool valid_channel(unsigned ch) {
  return ch < CURVE_CHANNELS;
}

}  // namespace

// ---- Grid and plot coordinates ---------------------------------------------

double column_to_freq(int column) {
  return std::pow(10.0, column * GRID_DECADES / GRID_COLUMNS + GRID_LOG10_START);
}

namespace {
int16_t trunc_to_int16(double v) {
  if (!(v > -32768.0)) return -32768;  // also NaN
  if (v > 32767.0) return 32767;
  return static_cast<int16_t>(v);  // truncates toward zero
}
}  // namespace

int16_t freq_to_column(double f) {
  return trunc_to_int16((std::log10(f) - GRID_LOG10_START) / GRID_DECADES * GRID_COLUMNS);
}

double level_row(double db) {
  return PLOT_ZERO_DB_ROW - PLOT_ROWS_PER_DB * db;
}

int16_t gain_to_row(double db) {
  return trunc_to_int16(level_row(db));
}

double row_to_gain(int row) {
  return static_cast<double>(PLOT_ZERO_DB_ROW - row) / PLOT_ROWS_PER_DB;
}

double phase_row(double degrees) {
  return PLOT_ZERO_DB_ROW - PLOT_ROWS_PER_DEGREE * degrees;
}

double row_to_phase(int row) {
  return (PLOT_ZERO_DB_ROW - row) / PLOT_ROWS_PER_DEGREE;
}

// ---- Responses at a single frequency ----------------------------------------

double hp_response_db(double f, unsigned freq, unsigned q, int order) {
  return hp_point(unit_point(f), svf(freq, q), order != 0);
}

double lp_response_db(double f, unsigned freq, unsigned q, int order) {
  return lp_point(unit_point(f), svf(freq, q), order != 0);
}

double peq_response_db(double f, unsigned freq, unsigned q, int gain) {
  return peq_point(unit_point(f), peaking(freq, q, gain));
}

double lowshelf_response_db(double f, unsigned freq, int gain) {
  return shelf_point(unit_point(f), lowshelf(freq, gain));
}

double highshelf_response_db(double f, unsigned freq, int gain) {
  return shelf_point(unit_point(f), highshelf(freq, gain));
}

// ---- Curves over the grid --------------------------------------------------

void hp_curve(xo_table_t& out, unsigned freq, unsigned q, int order) {
  const grid_t& g = grid();
  const svf_t s = svf(freq, q);
  const bool squared = order != 0;
  for (int i = 0; i < XO_TABLE_SIZE; i += XO_TABLE_STEP) out[i] = hp_point(g.at[i], s, squared);
}

void lp_curve(xo_table_t& out, unsigned freq, unsigned q, int order) {
  const grid_t& g = grid();
  const svf_t s = svf(freq, q);
  const bool squared = order != 0;
  for (int i = 0; i < XO_TABLE_SIZE; i += XO_TABLE_STEP) out[i] = lp_point(g.at[i], s, squared);
}

void peq_curve(eq_table_t& out, unsigned freq, unsigned q, int gain) {
  const grid_t& g = grid();
  const peaking_t p = peaking(freq, q, gain);
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) out[i] = peq_point(g.at[i], p);
}

void lowshelf_curve(eq_table_t& out, unsigned freq, int gain) {
  const grid_t& g = grid();
  const shelf_t sh = lowshelf(freq, gain);
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) out[i] = shelf_point(g.at[i], sh);
}

void highshelf_curve(eq_table_t& out, unsigned freq, int gain) {
  const grid_t& g = grid();
  const shelf_t sh = highshelf(freq, gain);
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) out[i] = shelf_point(g.at[i], sh);
}

band_role eq_band_role(const channel_t& ch, int b) {
  if (ch.peq[b].type != 1) return band_role::peaking;
  if (b == 0) return band_role::low_shelf;
  if (b == 5) return band_role::high_shelf;
  return band_role::none;
}

int shelf_state(const channel_t& ch) {
  const bool low = eq_band_role(ch, 0) == band_role::low_shelf;
  const bool high = eq_band_role(ch, 5) == band_role::high_shelf;
  return (low ? 1 : 0) + (high ? 2 : 0);
}

void eq_sum_curve(eq_table_t& sum, int sum_select, const eq_table_t* const peaking[6],
                  const eq_table_t& lowshelf, const eq_table_t& highshelf) {
  const double* first = (sum_select == 1 || sum_select == 3) ? lowshelf : *peaking[0];
  const double* last = (sum_select == 2 || sum_select == 3) ? highshelf : *peaking[5];
  const double* eq2 = *peaking[1];
  const double* eq3 = *peaking[2];
  const double* eq4 = *peaking[3];
  const double* eq5 = *peaking[4];
  for (int i = 0; i < EQ_TABLE_SIZE; ++i)
    sum[i] = first[i] + eq2[i] + eq3[i] + eq4[i] + eq5[i] + last[i];
}

// ---- All curves of one channel ---------------------------------------------

namespace {

bool differs(const void* a, const void* b, size_t n) {
  return std::memcmp(a, b, n) != 0;
}

// The curves of `ch` (its build Q fixed) into `out`. With `before` (the
// channel `out` was computed for, build Q fixed too) only the filters that
// differ are computed again; the tables come out the same either way.
void compute_curves(const channel_t& ch, const channel_t* before, channel_curves_t& out) {
  if (!before) std::memset(&out, 0, sizeof out);
  const xo_t& hp = ch.xo[0];
  const xo_t& lp = ch.xo[1];
  const bool new_hp = !before || differs(&hp, &before->xo[0], sizeof hp);
  const bool new_lp = !before || differs(&lp, &before->xo[1], sizeof lp);
  if (new_hp) {
    const int hs = xo_slot(hp.config);
    hp_curve(out.hp, hp.freq[hs], hp.q[hs], xo_order(hp.config));
  }
  if (new_lp) {
    out.lp_on = lp.config != 0;
    if (out.lp_on) {
      const int ls = xo_slot(lp.config);
      lp_curve(out.lp, lp.freq[ls], lp.q[ls], xo_order(lp.config));
    } else {
      std::memset(out.lp, 0, sizeof out.lp);
    }
  }
  if (new_hp || new_lp)
    for (int i = 0; i < XO_TABLE_SIZE; i += XO_TABLE_STEP)
      out.xo[i] = out.lp_on ? out.hp[i] + out.lp[i] : out.hp[i];

  for (int b = 0; b < 6; ++b) {
    const peq_t& band = ch.peq[b];
    if (before && !differs(&band, &before->peq[b], sizeof band)) continue;
    std::memset(out.eq[b], 0, sizeof out.eq[b]);
    if (b == 0) std::memset(out.lowshelf, 0, sizeof out.lowshelf);
    if (b == 5) std::memset(out.highshelf, 0, sizeof out.highshelf);
    switch (eq_band_role(ch, b)) {
      case band_role::peaking:
        // A band of 0 dB is exactly 0 dB at every column (see `peaking`):
        // the table already holds that.
        if (band.gain != 0) peq_curve(out.eq[b], band.freq, band.q, band.gain);
        break;
      case band_role::low_shelf:
        lowshelf_curve(out.lowshelf, band.freq, band.gain);
        break;
      case band_role::high_shelf:
        highshelf_curve(out.highshelf, band.freq, band.gain);
        break;
      case band_role::none:
        break;
    }
  }
  const eq_table_t* const peaking[6] = {&out.eq[0], &out.eq[1], &out.eq[2],
                                        &out.eq[3], &out.eq[4], &out.eq[5]};
  eq_sum_curve(out.sum, shelf_state(ch), peaking, out.lowshelf, out.highshelf);
}

channel_t with_build_q(const channel_t& ch) {
  channel_t c = ch;
  channel_apply_build_q(c);
  return c;
}

}  // namespace

void channel_curves(const channel_t& ch, channel_curves_t& out) {
  // The editor fixes the crossover Q by type before it computes the curves.
  compute_curves(with_build_q(ch), nullptr, out);
}

void channel_curves_update(const channel_t& ch, const channel_t& before, channel_curves_t& out) {
  const channel_t b = with_build_q(before);
  compute_curves(with_build_q(ch), &b, out);
}

// ---- Complex responses -----------------------------------------------------

namespace {

const unit_point_t& grid_point(int column, unit_point_t& scratch) {
  if (column >= 0 && column < XO_TABLE_SIZE) return grid().at[column];
  scratch = unit_point(column_to_freq(column));
  return scratch;
}

complex_t to_complex(const cx& h) {
  return {h.re, h.im};
}

}  // namespace

complex_t hp_complex(int column, unsigned freq, unsigned q, int order) {
  unit_point_t scratch;
  const unit_point_t& z = grid_point(column, scratch);
  const svf_t s = svf(freq, q);
  return to_complex(quotient(hp_numerator(z), denominator(z, s.a1, s.a2), order != 0));
}

complex_t lp_complex(int column, unsigned freq, unsigned q, int order) {
  unit_point_t scratch;
  const unit_point_t& z = grid_point(column, scratch);
  const svf_t s = svf(freq, q);
  return to_complex(quotient(lp_numerator(z, s), denominator(z, s.a1, s.a2), order != 0));
}

complex_t peq_complex(int column, unsigned freq, unsigned q, int gain) {
  unit_point_t scratch;
  const unit_point_t& z = grid_point(column, scratch);
  const peaking_t p = peaking(freq, q, gain);
  return to_complex(quotient(poly(1.0, p.b1, p.b2, z), denominator(z, p.s.a1, p.s.a2), false));
}

namespace {
complex_t shelf_complex(int column, const shelf_t& sh) {
  unit_point_t scratch;
  const unit_point_t& z = grid_point(column, scratch);
  return to_complex(quotient(shelf_numerator(z, sh), denominator(z, sh.a1, sh.a2), false));
}
}  // namespace

complex_t lowshelf_complex(int column, unsigned freq, int gain) {
  return shelf_complex(column, lowshelf(freq, gain));
}

complex_t highshelf_complex(int column, unsigned freq, int gain) {
  return shelf_complex(column, highshelf(freq, gain));
}

complex_t delay_factor(double f, unsigned cm) {
  const double seconds = cm / (SPEED_OF_SOUND * 100.0);
  return std::polar(1.0, -2.0 * PI * f * seconds);
}

namespace {

// A channel's sections with their coefficients, formed once for a whole
// curve: each column then costs the arithmetic of its unit-circle values
// only, with exactly the operations of the *_complex functions above.
struct channel_sections_t {
  svf_t hp, lp;
  bool hp_squared, lp_on, lp_squared;
  // The EQ bands in series, each in its role.
  band_role role[6];
  peaking_t peaking[6];
  shelf_t shelf[6];
};

channel_sections_t sections_of(const channel_t& ch) {
  channel_sections_t s{};
  const xo_t& hp = ch.xo[0];
  const xo_t& lp = ch.xo[1];
  const int hs = xo_slot(hp.config), ls = xo_slot(lp.config);
  s.hp = svf(hp.freq[hs], hp.q[hs]);
  s.hp_squared = xo_order(hp.config) != 0;
  s.lp_on = lp.config != 0;
  if (s.lp_on) {
    s.lp = svf(lp.freq[ls], lp.q[ls]);
    s.lp_squared = xo_order(lp.config) != 0;
  }
  for (int b = 0; b < 6; ++b) {
    const peq_t& band = ch.peq[b];
    s.role[b] = eq_band_role(ch, b);
    if (s.role[b] == band_role::peaking)
      s.peaking[b] = peaking(band.freq, band.q, band.gain);
    else if (s.role[b] != band_role::none)
      s.shelf[b] = s.role[b] == band_role::low_shelf ? lowshelf(band.freq, band.gain)
                                                     : highshelf(band.freq, band.gain);
  }
  return s;
}

}  // namespace

void channel_response(const channel_t& ch_in, channel_response_t& out) {
  channel_t ch = ch_in;
  channel_apply_build_q(ch);
  const channel_sections_t s = sections_of(ch);
  const double level = g_eq(ch.gain);
  const double polarity = ch.phase == 1 ? -1.0 : 1.0;
  const grid_t& g = grid();
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
    const unit_point_t& z = g.at[i];
    complex_t xo =
        to_complex(quotient(hp_numerator(z), denominator(z, s.hp.a1, s.hp.a2), s.hp_squared));
    if (s.lp_on)
      xo *= to_complex(
          quotient(lp_numerator(z, s.lp), denominator(z, s.lp.a1, s.lp.a2), s.lp_squared));
    complex_t eq = 1.0;
    for (int b = 0; b < 6; ++b) {
      if (s.role[b] == band_role::peaking) {
        const peaking_t& p = s.peaking[b];
        eq *= to_complex(quotient(poly(1.0, p.b1, p.b2, z), denominator(z, p.s.a1, p.s.a2), false));
      } else if (s.role[b] != band_role::none) {
        const shelf_t& sh = s.shelf[b];
        eq *= to_complex(quotient(shelf_numerator(z, sh), denominator(z, sh.a1, sh.a2), false));
      }
    }
    out.xo[i] = xo;
    out.eq[i] = eq;
    out.total[i] = xo * eq;
    out.output[i] = out.total[i] * (level * polarity) * delay_factor(column_to_freq(i), ch.delay);
  }
}

double response_db(complex_t h) {
  const double db = 20.0 * std::log10(std::abs(h));
  return db > RESPONSE_FLOOR_DB ? db : RESPONSE_FLOOR_DB;  // also for log10(0)
}

double response_phase_deg(complex_t h) {
  const double deg = std::arg(h) * 180.0 / PI;
  return deg <= -180.0 ? deg + 360.0 : deg;
}

void group_delay_ms(const complex_t* h, double* out) {
  // -dphi/domega between two neighbouring columns; arg(h_b conj(h_a)) is the
  // phase step wrapped into (-pi, pi].
  const auto step = [h](int a, int b) {
    const double omega = 2.0 * PI * (column_to_freq(b) - column_to_freq(a));
    return -std::arg(h[b] * std::conj(h[a])) / omega * 1000.0;
  };
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
    if (i == 0)
      out[i] = step(0, 1);
    else if (i == EQ_TABLE_SIZE - 1)
      out[i] = step(i - 1, i);
    else
      out[i] = (step(i - 1, i) + step(i, i + 1)) / 2.0;
  }
}

void total_curve(const channel_t& ch, eq_table_t& out) {
  auto r = std::make_unique<channel_response_t>();
  channel_response(ch, *r);
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) out[i] = response_db(r->total[i]);
}

void sum_curves(const channel_t& a, const channel_t& b, eq_table_t& db, eq_table_t& phase_deg) {
  auto ra = std::make_unique<channel_response_t>();
  auto rb = std::make_unique<channel_response_t>();
  channel_response(a, *ra);
  channel_response(b, *rb);
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
    const complex_t sum = ra->output[i] + rb->output[i];
    db[i] = response_db(sum);
    phase_deg[i] = response_phase_deg(sum);
  }
}

// ---- The editor's curve tables ---------------------------------------------

double pnt_to_pix_hp[CURVE_CHANNELS][XO_TABLE_SIZE];
double pnt_to_pix_lp[CURVE_CHANNELS][XO_TABLE_SIZE];
double pnt_to_pix_eq1[CURVE_CHANNELS][EQ_TABLE_SIZE];
double pnt_to_pix_eq2[CURVE_CHANNELS][EQ_TABLE_SIZE];
double pnt_to_pix_eq3[CURVE_CHANNELS][EQ_TABLE_SIZE];
double pnt_to_pix_eq4[CURVE_CHANNELS][EQ_TABLE_SIZE];
double pnt_to_pix_eq5[CURVE_CHANNELS][EQ_TABLE_SIZE];
double pnt_to_pix_eq6[CURVE_CHANNELS][EQ_TABLE_SIZE];
double pnt_to_pix_eq_sum[CURVE_CHANNELS][EQ_TABLE_SIZE];
double pnt_to_pix_eq_lowshelf[CURVE_CHANNELS][EQ_TABLE_SIZE];
double pnt_to_pix_eq_highshelf[CURVE_CHANNELS][EQ_TABLE_SIZE];

namespace {
eq_table_t& peq_row(unsigned ch, unsigned band) {
  static eq_table_t* const tables[6] = {pnt_to_pix_eq1, pnt_to_pix_eq2, pnt_to_pix_eq3,
                                        pnt_to_pix_eq4, pnt_to_pix_eq5, pnt_to_pix_eq6};
  return tables[band][ch];
}

// Crossover `filter` of channel `ch` of `preset` into `table`.
void calc_crossover(uint16_t ch, uint16_t order, int filter, double (*table)[XO_TABLE_SIZE],
                    void (*curve)(xo_table_t&, unsigned, unsigned, int)) {
  if (!valid_channel(ch)) return;
  const xo_t& xo = preset.channel[ch].xo[filter];
  const int slot = xo_slot(xo.config);
  curve(table[ch], xo.freq[slot], xo.q[slot], order);
}
}  // namespace

void Calc_HighPass(uint16_t ch, uint16_t order) {
  calc_crossover(ch, order, 0, pnt_to_pix_hp, hp_curve);
}

void Calc_LowPass(uint16_t ch, uint16_t order) {
  calc_crossover(ch, order, 1, pnt_to_pix_lp, lp_curve);
}

void Calc_Peq(uint16_t ch, uint16_t eq) {
  if (!valid_channel(ch) || eq >= 6) return;
  const channel_t& c = preset.channel[ch];
  const int sum_select = shelf_state(c);
  const peq_t& band = c.peq[eq];
  if (eq_band_role(c, eq) == band_role::peaking)
    peq_curve(peq_row(ch, eq), band.freq, band.q, band.gain);

  const eq_table_t* const peaking[6] = {&peq_row(ch, 0), &peq_row(ch, 1), &peq_row(ch, 2),
                                        &peq_row(ch, 3), &peq_row(ch, 4), &peq_row(ch, 5)};
  eq_sum_curve(pnt_to_pix_eq_sum[ch], sum_select, peaking, pnt_to_pix_eq_lowshelf[ch],
               pnt_to_pix_eq_highshelf[ch]);
}

void Calc_LowShelf(uint16_t ch) {
  if (!valid_channel(ch)) return;
  const peq_t& band = preset.channel[ch].peq[0];
  lowshelf_curve(pnt_to_pix_eq_lowshelf[ch], band.freq, band.gain);
}

void Calc_HighShelf(uint16_t ch) {
  if (!valid_channel(ch)) return;
  const peq_t& band = preset.channel[ch].peq[5];
  highshelf_curve(pnt_to_pix_eq_highshelf[ch], band.freq, band.gain);
}

void Calc_Channel(uint16_t ch) {
  if (!valid_channel(ch)) return;
  // Each channel's model and the record it was computed for: an edit
  // computes only the filters it changed.
  static std::unique_ptr<channel_curves_t> model[CURVE_CHANNELS];
  static channel_t computed[CURVE_CHANNELS];
  const channel_t& c = preset.channel[ch];
  if (!model[ch]) {
    model[ch] = std::make_unique<channel_curves_t>();
    channel_curves(c, *model[ch]);
  } else {
    channel_curves_update(c, computed[ch], *model[ch]);
  }
  computed[ch] = c;
  const channel_curves_t& curves = *model[ch];
  std::memcpy(pnt_to_pix_hp[ch], curves.hp, sizeof curves.hp);
  if (curves.lp_on) std::memcpy(pnt_to_pix_lp[ch], curves.lp, sizeof curves.lp);
  for (int b = 0; b < 6; ++b) {
    switch (eq_band_role(c, b)) {
      case band_role::peaking:
        std::memcpy(peq_row(ch, b), curves.eq[b], sizeof curves.eq[b]);
        break;
      case band_role::low_shelf:
        std::memcpy(pnt_to_pix_eq_lowshelf[ch], curves.lowshelf, sizeof curves.lowshelf);
        break;
      case band_role::high_shelf:
        std::memcpy(pnt_to_pix_eq_highshelf[ch], curves.highshelf, sizeof curves.highshelf);
        break;
      case band_role::none:
        break;
    }
  }
  std::memcpy(pnt_to_pix_eq_sum[ch], curves.sum, sizeof curves.sum);
}
