// See calc_filters_reference.h.
#include "support/calc_filters_reference.h"

#include <cmath>
#include <complex>
#include <cstring>

namespace {

using cplx = std::complex<double>;

constexpr double PI = 3.14159265358979323846;
constexpr double fs = 96000.0;

// Grid point i: f(i) = 10^(1.53 + i x 4.08 / 1289.04).
double frq_p_of(int i) {
  return std::pow(10.0, 1.53 + i * 4.08 / 1289.04);
}

cplx zf1_of(double frq_p) {
  return std::exp((frq_p / fs) * cplx(0.0, -2.0 * PI));
}
cplx zf2_of(double frq_p) {
  return std::exp((2.0 * frq_p / fs) * cplx(0.0, -2.0 * PI));
}

double db_of(const cplx& N, const cplx& D, int order) {
  const cplx G1f = N * std::conj(D) / std::norm(D);
  const double betrag = order != 0 ? std::abs(G1f * G1f) : std::abs(G1f);
  return 20.0 * std::log10(betrag);
}

// out[i] = N/D in dB for i = 0, step, ... below `end`, with D = 1 - a1 z^-1
// - a2 z^-2 and N = numerator(z^-1, z^-2).
template <class Table, class Numerator>
void fill(Table& out, int step, int end, double a1, double a2, int order, Numerator numerator) {
  for (int i = 0; i < end; i += step) {
    const double frq_p = frq_p_of(i);
    const cplx zf1 = zf1_of(frq_p);
    const cplx zf2 = zf2_of(frq_p);
    const cplx D = 1.0 - a1 * zf1 - a2 * zf2;
    out[i] = db_of(numerator(zf1, zf2), D, order);
  }
}

// The second-order section of the crossovers and peaking bands.
struct section_t {
  double Feq, Qeq, a1, a2;
};
section_t section_of(unsigned freq, unsigned q) {
  const double fg = freq;
  const double Feq = 2.0 * std::sin(PI * fg / fs);
  const double Qeq = 1.0 / (q / 10.0);
  return {Feq, Qeq, 2.0 - Feq * Feq - Feq * Qeq, Feq * Qeq - 1.0};
}

// The first-order shelves: b0 + b1 z^-1 over 1 + B1 z^-1.
void shelf_curve(eq_table_t& out, double b0, double b1, double B1) {
  fill(out, 1, 812, -B1, 0.0, 0, [&](cplx zf1, cplx) { return b0 + b1 * zf1; });
}

double shelf_k(unsigned freq) {
  const double omega_g = 2.0 * PI * freq / fs;
  return (std::sin(omega_g / 2.0) - std::cos(omega_g / 2.0)) /
         (std::cos(omega_g / 2.0) + std::sin(omega_g / 2.0));
}

}  // namespace

void reference_hp_curve(xo_table_t& out, unsigned freq, unsigned q, int order) {
  const section_t s = section_of(freq, q);
  fill(out, 4, 813, s.a1, s.a2, order, [](cplx zf1, cplx zf2) { return 1.0 - 2.0 * zf1 + zf2; });
}

void reference_lp_curve(xo_table_t& out, unsigned freq, unsigned q, int order) {
  const section_t s = section_of(freq, q);
  fill(out, 4, 813, s.a1, s.a2, order, [&](cplx zf1, cplx) { return s.Feq * s.Feq * zf1; });
}

void reference_peq_curve(eq_table_t& out, unsigned freq, unsigned q, int gain) {
  const section_t s = section_of(freq, q);
  const double g_eq = std::pow(10.0, gain / 200.0);
  // V F d + F^2 - 2 and 1 - V F d, split so that gain 0 gives N = D exactly.
  const double b1 = -s.a1 + (g_eq - 1.0) * (s.Feq * s.Qeq);
  const double b2 = -s.a2 - (g_eq - 1.0) * (s.Feq * s.Qeq);
  fill(out, 1, 812, s.a1, s.a2, 0, [&](cplx zf1, cplx zf2) { return 1.0 + b1 * zf1 + b2 * zf2; });
}

void reference_lowshelf_curve(eq_table_t& out, unsigned freq, int gain) {
  const double B1 = shelf_k(freq);
  const double V = std::pow(10.0, gain / 200.0);
  shelf_curve(out, (V * B1 + V - B1 + 1.0) / 2.0, (V * B1 + V + B1 - 1.0) / 2.0, B1);
}

void reference_highshelf_curve(eq_table_t& out, unsigned freq, int gain) {
  const double B1 = shelf_k(freq);
  const double V = std::pow(10.0, gain / 200.0);
  shelf_curve(out, (V - V * B1 + B1 + 1.0) / 2.0, (V * B1 - V + B1 + 1.0) / 2.0, B1);
}

void reference_channel_curves(const channel_t& ch_in, channel_curves_t& out) {
  std::memset(&out, 0, sizeof out);
  channel_t ch = ch_in;
  channel_apply_build_q(ch);

  // Linkwitz-Riley (type 2) takes slot 1 and the fourth order.
  const xo_t &hp = ch.xo[0], &lp = ch.xo[1];
  const int hs = hp.config == 2, ls = lp.config == 2;
  reference_hp_curve(out.hp, hp.freq[hs], hp.q[hs], hs);
  out.lp_on = lp.config != 0;
  if (out.lp_on) reference_lp_curve(out.lp, lp.freq[ls], lp.q[ls], ls);
  for (int i = 0; i <= 812; i += 4) out.xo[i] = out.lp_on ? out.hp[i] + out.lp[i] : out.hp[i];

  const bool low = ch.peq[0].type == 1, high = ch.peq[5].type == 1;
  if (low) reference_lowshelf_curve(out.lowshelf, ch.peq[0].freq, ch.peq[0].gain);
  if (high) reference_highshelf_curve(out.highshelf, ch.peq[5].freq, ch.peq[5].gain);
  for (int b = 0; b < 6; ++b)
    if (ch.peq[b].type != 1)
      reference_peq_curve(out.eq[b], ch.peq[b].freq, ch.peq[b].q, ch.peq[b].gain);
  for (int i = 0; i < 812; ++i) {
    const double first = low ? out.lowshelf[i] : out.eq[0][i];
    const double last = high ? out.highshelf[i] : out.eq[5][i];
    out.sum[i] = first + out.eq[1][i] + out.eq[2][i] + out.eq[3][i] + out.eq[4][i] + last;
  }
}
