// Continuous band responses and their derivatives; see band_model.h.
//
// A peaking section of calc_filters.cpp has D(z) = 1 - a1 z^-1 - a2 z^-2 with
// a1 = 2 - F^2 - F/Q, a2 = F/Q - 1 (F = 2 sin(pi f / fs)), and
// N(z) = D(z) + (V - 1) (F/Q) (z^-1 - z^-2) (V = 10^(dB / 20)). With
// z = z^-1, w = z - z^2 and A = (1 - z)^2 + F^2 z this is
//   D = A + k w,   N = A + V k w,   k = F / Q,
// which the derivatives below follow. A shelf is N = b0 + b1 z, D = 1 + B z
// with B = (sin t - cos t) / (sin t + cos t), t = pi f / fs, and b0, b1 linear
// in V and B.
#include "measure/band_model.h"

#include <cmath>

#include "response/calc_filters.h"

namespace {

using cplx = std::complex<double>;

constexpr double PI = 3.14159265358979323846;
constexpr double LN10 = 2.30258509299404568402;
// d(10 log10 x) = DB_PER_LN dx / x
constexpr double DB_PER_LN = 10.0 / LN10;

// 2 Re(conj(a) b): the derivative of |a|^2 when a changes by b.
inline double d_norm(const cplx& a, const cplx& b) {
  return 2.0 * (a.real() * b.real() + a.imag() * b.imag());
}

void peaking_power(const band_params_t& b, const band_grid_t& g, double* power,
                   double* const* grad) {
  const double f = std::pow(10.0, b.log10_hz);
  const double q = std::pow(10.0, b.log10_q);
  const double v = std::pow(10.0, b.gain_db / 20.0);
  const double theta = PI * f / FILTER_SAMPLE_RATE;
  const double F = 2.0 * std::sin(theta);
  const double F2 = F * F;
  const double k = F / q;
  const double vk = v * k;
  // dF / d(log10 f), dk / d(log10 q), dV / d(dB)
  const double dF = 2.0 * std::cos(theta) * theta * LN10;
  const double dk_q = -k * LN10;
  const double dv = v * LN10 / 20.0;
  for (size_t i = 0; i < g.size(); ++i) {
    const cplx z = g.z[i], w = g.w[i], u = g.u[i];
    // A = u + F^2 z, D = A + k w, N = A + V k w: real multiples only.
    const double ar = u.real() + F2 * z.real(), ai = u.imag() + F2 * z.imag();
    const double dr = ar + k * w.real(), di = ai + k * w.imag();
    const double nr = ar + vk * w.real(), ni = ai + vk * w.imag();
    const double nn = nr * nr + ni * ni, dd = dr * dr + di * di;
    if (!grad) {
      power[i] *= nn / dd;
      continue;
    }
    // 1 / |N|^2 and 1 / |D|^2 from one division.
    const double inv = 1.0 / (nn * dd);
    const double inn = dd * inv, idd = nn * inv;
    power[i] *= nn * idd;
    // d/d(log10 f): A' = 2 F F' z, k' = F' / q. 2 Re(conj(X) X') / |X|^2 for
    // X = N and D.
    const double s = 2.0 * F * dF, t = dF / q;
    const double daR = s * z.real(), daI = s * z.imag();
    const double n_f = 2.0 * (nr * (daR + v * t * w.real()) + ni * (daI + v * t * w.imag()));
    const double d_f = 2.0 * (dr * (daR + t * w.real()) + di * (daI + t * w.imag()));
    grad[0][i] = DB_PER_LN * (n_f * inn - d_f * idd);
    // d/d(log10 q): only k changes
    const double nw = 2.0 * (nr * w.real() + ni * w.imag());
    const double dw = 2.0 * (dr * w.real() + di * w.imag());
    grad[1][i] = DB_PER_LN * dk_q * (v * nw * inn - dw * idd);
    // d/d(dB): only V changes, in N
    grad[2][i] = DB_PER_LN * dv * k * nw * inn;
  }
}

void shelf_power(const band_params_t& b, const band_grid_t& g, double* power, double* const* grad) {
  const bool low = b.kind == band_kind::low_shelf;
  const double f = std::pow(10.0, b.log10_hz);
  const double v = std::pow(10.0, b.gain_db / 20.0);
  const double theta = PI * f / FILTER_SAMPLE_RATE;
  const double s = std::sin(theta), c = std::cos(theta);
  const double B = (s - c) / (c + s);
  // dB / d(log10 f) = 2 / (s + c)^2 * dt / d(log10 f)
  const double dB = 2.0 / ((s + c) * (s + c)) * theta * LN10;
  const double dv = v * LN10 / 20.0;
  // b0, b1 and their derivatives by V and by B.
  double b0, b1, b0_v, b1_v, b0_b, b1_b;
  if (low) {
    b0 = (v * B + v - B + 1.0) / 2.0;
    b1 = (v * B + v + B - 1.0) / 2.0;
    b0_v = b1_v = (B + 1.0) / 2.0;
    b0_b = (v - 1.0) / 2.0;
    b1_b = (v + 1.0) / 2.0;
  } else {
    b0 = (v - v * B + B + 1.0) / 2.0;
    b1 = (v * B - v + B + 1.0) / 2.0;
    b0_v = (1.0 - B) / 2.0;
    b1_v = (B - 1.0) / 2.0;
    b0_b = (1.0 - v) / 2.0;
    b1_b = (v + 1.0) / 2.0;
  }
  for (size_t i = 0; i < g.size(); ++i) {
    const cplx z = g.z[i];
    const cplx N = b0 + b1 * z;
    const cplx D = 1.0 + B * z;
    const double nn = std::norm(N), dd = std::norm(D);
    power[i] *= nn / dd;
    if (!grad) continue;
    const cplx dN_f = (b0_b + b1_b * z) * dB;
    const cplx dD_f = z * dB;
    grad[0][i] = DB_PER_LN * (d_norm(N, dN_f) / nn - d_norm(D, dD_f) / dd);
    grad[1][i] = DB_PER_LN * d_norm(N, (b0_v + b1_v * z) * dv) / nn;
  }
}

}  // namespace

int band_param_count(band_kind kind) {
  return kind == band_kind::peaking ? 3 : 2;
}

band_grid_t::band_grid_t(const std::vector<int>& cols)
    : columns(cols), z(cols.size()), w(cols.size()), u(cols.size()) {
  const cplx minus_2pi_j(0.0, -2.0 * PI);
  for (size_t i = 0; i < cols.size(); ++i) {
    z[i] = std::exp((column_to_freq(cols[i]) / FILTER_SAMPLE_RATE) * minus_2pi_j);
    w[i] = z[i] - z[i] * z[i];
    u[i] = (1.0 - z[i]) * (1.0 - z[i]);
  }
}

void band_power(const band_params_t& b, const band_grid_t& g, double* power, double* const* grad) {
  if (b.kind == band_kind::peaking)
    peaking_power(b, g, power, grad);
  else
    shelf_power(b, g, power, grad);
}
