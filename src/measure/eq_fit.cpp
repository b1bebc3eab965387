// The EQ fit; see eq_fit.h.
//
// Stages, once with shelves allowed where bands 1 and 6 may change and once
// with peaking bands only:
//  1. placement, one band at a time: a dictionary of candidate bands
//     (centres every sixth column, eight Q values, shelf corners; boost and
//     cut) is scored against what is left of the error, each with its best
//     gain within the limits, as a matching pursuit does; the three best
//     distinct candidates are each refined alone and then with all bands
//     (NLopt's L-BFGS on log frequency, log Q and dB with the analytic
//     gradients of band_model.h), and the best outcome is kept;
//  2. restarts: each band in turn taken out and placed again in the same
//     way; kept when better;
//  3. stored steps: the bands rounded to whole Hz, Q 0.1 and 0.1 dB, then
//     moved step by step (and by a few larger steps) while the error judged
//     with the device's curves (peq_curve, lowshelf_curve, highshelf_curve)
//     goes down.
// The better variant wins; the channel's own allowed bands are a candidate
// too. Nothing here is random, so the same input gives the same bands.
#include "measure/eq_fit.h"

#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "measure/band_model.h"
#include "model/text_format.h"

namespace {

// The editor's EQ ranges in the record's units.
constexpr int FREQ_MIN = editor_range::peq_freq.lo;
constexpr int FREQ_MAX = editor_range::peq_freq.hi;
constexpr int Q_MIN = editor_range::peq_q.lo;
constexpr int Q_MAX = editor_range::peq_q.hi;
constexpr int GAIN_MIN = editor_range::peq_gain.lo;
constexpr int GAIN_MAX = editor_range::peq_gain.hi;

// dB of a power ratio p: 10 log10 p = DB_PER_LN_POWER ln p (ln is the
// quicker of the two).
constexpr double DB_PER_LN_POWER = 10.0 / 2.30258509299404568402;

// Evaluations of one local refinement: a band alone, all bands together.
constexpr int EVALS_ONE_BAND = 120;
constexpr int EVALS_ALL_BANDS = 500;
// Candidates tried for each new band, and for each band placed again.
constexpr int PLACE_TRIES = 3;
constexpr int RESTART_TRIES = 2;

// ---- Progress and cancelling ------------------------------------------------

struct run_state_t {
  const fit_progress_t* progress = nullptr;
  double done = 0.0;  // work units finished
  double total = 1.0;
  bool cancelled = false;
  unsigned evals = 0;

  // Reports the progress; false once cancelled.
  bool report() {
    if (cancelled) return false;
    if (progress && *progress && !(*progress)(std::min(1.0, done / total))) cancelled = true;
    return !cancelled;
  }
  // Called on every evaluation: reports every 64th.
  bool tick() { return (++evals & 63) != 0 ? !cancelled : report(); }
};

// ---- The continuous problem -----------------------------------------------------

struct problem_t {
  std::vector<int> columns;
  std::unique_ptr<band_grid_t> grid;
  std::vector<double> base;  // level without the fitted bands, minus the target
  double max_gain_db = 6.0;
};

size_t param_count(const std::vector<band_params_t>& bands) {
  size_t n = 0;
  for (const band_params_t& b : bands) n += band_param_count(b.kind);
  return n;
}

void pack(const band_params_t& b, double* x) {
  *x++ = b.log10_hz;
  if (b.kind == band_kind::peaking) *x++ = b.log10_q;
  *x = b.gain_db;
}

void unpack(const double* x, band_params_t& b) {
  b.log10_hz = *x++;
  if (b.kind == band_kind::peaking) b.log10_q = *x++;
  b.gain_db = *x;
}

void band_bounds(const band_params_t& b, double max_gain_db, double* lo, double* hi) {
  *lo++ = std::log10(double(FREQ_MIN));
  *hi++ = std::log10(double(FREQ_MAX));
  if (b.kind == band_kind::peaking) {
    *lo++ = std::log10(Q_MIN / 10.0);
    *hi++ = std::log10(Q_MAX / 10.0);
  }
  *lo = GAIN_MIN / 10.0;
  *hi = max_gain_db;
}

// The error (as a variance, dB^2) of bands on a problem, with its gradient.
class evaluator_t {
 public:
  explicit evaluator_t(const problem_t& p) : p_(p), power_(p.columns.size()), e_(power_.size()) {}

  // Variance of e over the columns for `bands` added to `base`; with `grad`,
  // its derivatives by the bands' parameters (packed as pack() does).
  double variance(const std::vector<double>& base, const std::vector<band_params_t>& bands,
                  double* grad) {
    const size_t n = base.size();
    std::fill(power_.begin(), power_.end(), 1.0);
    const size_t params = param_count(bands);
    if (grad && d_.size() < params) d_.resize(params, std::vector<double>(n));
    size_t k = 0;
    for (const band_params_t& b : bands) {
      double* g[3] = {};
      const int count = band_param_count(b.kind);
      for (int i = 0; i < count && grad; ++i) g[i] = d_[k + i].data();
      band_power(b, *p_.grid, power_.data(), grad ? g : nullptr);
      k += count;
    }
    double mean = 0.0;
    for (size_t i = 0; i < n; ++i) {
      e_[i] = base[i] + DB_PER_LN_POWER * std::log(power_[i]);
      mean += e_[i];
    }
    mean /= n;
    double var = 0.0;
    for (size_t i = 0; i < n; ++i) {
      e_[i] -= mean;
      var += e_[i] * e_[i];
    }
    if (grad) {
      // d var = 2/n sum (e - mean) de: the mean's own change sums to zero.
      for (size_t j = 0; j < params; ++j) {
        double s = 0.0;
        const double* dj = d_[j].data();
        for (size_t i = 0; i < n; ++i) s += e_[i] * dj[i];
        grad[j] = 2.0 * s / n;
      }
    }
    return var / n;
  }

  // e - mean(e) of the last variance() call.
  const std::vector<double>& residual() const { return e_; }

  // The level in dB that `bands` add at each column.
  std::vector<double> level_db(const std::vector<band_params_t>& bands) {
    std::fill(power_.begin(), power_.end(), 1.0);
    for (const band_params_t& b : bands) band_power(b, *p_.grid, power_.data());
    std::vector<double> out(power_.size());
    for (size_t i = 0; i < out.size(); ++i) out[i] = DB_PER_LN_POWER * std::log(power_[i]);
    return out;
  }

 private:
  const problem_t& p_;
  std::vector<double> power_;
  std::vector<double> e_;
  std::vector<std::vector<double>> d_;
};

// One local refinement: NLopt's L-BFGS within the bands' bounds. Keeps the
// best point it evaluated (whatever NLopt's return code).
struct local_run_t {
  evaluator_t* eval;
  run_state_t* run;
  const std::vector<double>* base;
  std::vector<band_params_t>* bands;  // the bands being moved
  nlopt_opt opt;
  double best = HUGE_VAL;
  std::vector<double> best_x;
};

double local_objective(unsigned n, const double* x, double* grad, void* data) {
  auto* r = static_cast<local_run_t*>(data);
  size_t k = 0;
  for (band_params_t& b : *r->bands) {
    unpack(x + k, b);
    k += band_param_count(b.kind);
  }
  const double v = r->eval->variance(*r->base, *r->bands, grad);
  if (v < r->best) {
    r->best = v;
    r->best_x.assign(x, x + n);
  }
  if (!r->run->tick()) nlopt_force_stop(r->opt);
  return v;
}

// Candidate bands for placing a new one: peaking bands on a grid of centres
// and Q values, shelves on a grid of corners, each as a boost and as a cut,
// with its level per dB of gain at the problem's columns.
struct dictionary_t {
  std::vector<band_params_t> band;  // gain not set
  std::vector<bool> boost;          // the shape is that of a boost (else a cut)
  std::vector<float> shapes;        // level / |gain| at each column, per candidate
  std::vector<double> norm2;        // sum of (shape - its mean)^2
  size_t columns = 0;

  size_t size() const { return band.size(); }
  const float* shape(size_t k) const { return shapes.data() + k * columns; }
};

// Centres every DICT_STEP columns from a little below to a little above the
// range, with these Q values.
constexpr int DICT_STEP = 6;
constexpr double DICT_Q[] = {0.7, 1.0, 1.5, 2.2, 3.3, 5.0, 7.5, 11.0};
constexpr double DICT_GAIN_DB = 6.0;  // the gain the shapes are taken at

dictionary_t make_dictionary(const problem_t& p, bool shelves) {
  dictionary_t d;
  d.columns = p.columns.size();
  const double lo = std::max(double(FREQ_MIN), column_to_freq(p.columns.front()) / 1.4);
  const double hi = std::min(double(FREQ_MAX), column_to_freq(p.columns.back()) * 1.4);
  const int first = freq_to_column(lo), last = freq_to_column(hi);
  std::vector<double> power(d.columns);
  auto add = [&](band_params_t b, bool boost) {
    b.gain_db = boost ? DICT_GAIN_DB : -DICT_GAIN_DB;
    std::fill(power.begin(), power.end(), 1.0);
    band_power(b, *p.grid, power.data());
    double mean = 0.0, sum2 = 0.0;
    std::vector<double> level(d.columns);
    for (size_t i = 0; i < d.columns; ++i) {
      level[i] = DB_PER_LN_POWER * std::log(power[i]) / b.gain_db;
      mean += level[i];
      sum2 += level[i] * level[i];
    }
    mean /= double(d.columns);
    const double norm2 = sum2 - double(d.columns) * mean * mean;
    if (norm2 < 1e-9) return;  // no effect within the range
    d.band.push_back(b);
    d.boost.push_back(boost);
    d.norm2.push_back(norm2);
    for (double v : level) d.shapes.push_back(float(v));
  };
  for (int c = std::max(first, 0); c <= last; c += DICT_STEP) {
    const double hz = std::clamp(column_to_freq(c), double(FREQ_MIN), double(FREQ_MAX));
    for (bool boost : {false, true}) {
      if (boost && p.max_gain_db <= 0.0) continue;
      for (double q : DICT_Q) {
        band_params_t b;
        b.kind = band_kind::peaking;
        b.log10_hz = std::log10(hz);
        b.log10_q = std::log10(q);
        add(b, boost);
      }
      if (!shelves) continue;
      for (band_kind kind : {band_kind::low_shelf, band_kind::high_shelf}) {
        band_params_t b;
        b.kind = kind;
        b.log10_hz = std::log10(hz);
        add(b, boost);
      }
    }
  }
  return d;
}

class fitter_t {
 public:
  fitter_t(const problem_t& p, run_state_t& run) : p_(p), run_(run), eval_(p) {}

  // Refines the bands whose indices are in `free` (the others stay), and
  // returns the variance.
  double refine(std::vector<band_params_t>& bands, const std::vector<size_t>& free, int evals) {
    std::vector<double> base = p_.base;
    std::vector<band_params_t> fixed, moving;
    for (size_t i = 0; i < bands.size(); ++i)
      (std::find(free.begin(), free.end(), i) != free.end() ? moving : fixed).push_back(bands[i]);
    if (!fixed.empty()) {
      const std::vector<double> add = eval_.level_db(fixed);
      for (size_t i = 0; i < base.size(); ++i) base[i] += add[i];
    }
    const size_t n = param_count(moving);
    std::vector<double> x(n), lo(n), hi(n);
    size_t k = 0;
    for (const band_params_t& b : moving) {
      pack(b, &x[k]);
      band_bounds(b, p_.max_gain_db, &lo[k], &hi[k]);
      k += band_param_count(b.kind);
    }
    for (size_t i = 0; i < n; ++i) x[i] = std::clamp(x[i], lo[i], hi[i]);

    nlopt_opt opt = nlopt_create(NLOPT_LD_LBFGS, unsigned(n));
    local_run_t r{&eval_, &run_, &base, &moving, opt, HUGE_VAL, x};
    nlopt_set_lower_bounds(opt, lo.data());
    nlopt_set_upper_bounds(opt, hi.data());
    nlopt_set_min_objective(opt, local_objective, &r);
    nlopt_set_maxeval(opt, evals);
    nlopt_set_ftol_rel(opt, 1e-9);
    nlopt_set_xtol_rel(opt, 1e-7);
    double f = 0.0;
    nlopt_optimize(opt, x.data(), &f);
    nlopt_destroy(opt);

    k = 0;
    for (band_params_t& b : moving) {
      unpack(&r.best_x[k], b);
      k += band_param_count(b.kind);
    }
    size_t m = 0;
    for (size_t i = 0; i < bands.size(); ++i)
      if (std::find(free.begin(), free.end(), i) != free.end()) bands[i] = moving[m++];
    return r.best;
  }

  double refine_all(std::vector<band_params_t>& bands) {
    std::vector<size_t> all(bands.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = i;
    return refine(bands, all, EVALS_ALL_BANDS);
  }

  double variance(const std::vector<band_params_t>& bands) {
    return eval_.variance(p_.base, bands, nullptr);
  }

  // A new band where one does the most good. Of the dictionary's candidates
  // (centre, Q or shelf corner, boost or cut) the `tries` whose best gain
  // within the limits takes the most off the error (no two of the same kind
  // and direction closer than a sixth of a decade) are each added, refined
  // alone and then with all the bands; the best of them is kept. A low
  // (high) shelf only when `shelves` has bit 0 (bit 1) and the bands have
  // none yet.
  // Returns the variance, or HUGE_VAL (bands unchanged) when no candidate
  // helps.
  double place(std::vector<band_params_t>& bands, const dictionary_t& dict, unsigned shelves,
               int tries) {
    eval_.variance(p_.base, bands, nullptr);
    const std::vector<double> r = eval_.residual();
    bool has_low = false, has_high = false;
    for (const band_params_t& b : bands) {
      has_low |= b.kind == band_kind::low_shelf;
      has_high |= b.kind == band_kind::high_shelf;
    }
    const size_t n = r.size();
    struct pick_t {
      double change;
      size_t k;
      double gain;
    };
    std::vector<pick_t> picks;
    for (size_t k = 0; k < dict.size(); ++k) {
      const band_kind kind = dict.band[k].kind;
      if (kind == band_kind::low_shelf && (!(shelves & 1) || has_low)) continue;
      if (kind == band_kind::high_shelf && (!(shelves & 2) || has_high)) continue;
      const float* shape = dict.shape(k);
      double dot = 0.0;
      for (size_t i = 0; i < n; ++i) dot += r[i] * shape[i];
      // The shape is the level per dB of gain of that sign.
      double gain = -dot / dict.norm2[k];
      gain = dict.boost[k] ? std::min(gain, p_.max_gain_db) : std::max(gain, GAIN_MIN / 10.0);
      if (dict.boost[k] ? gain <= 0.0 : gain >= 0.0) continue;
      const double change = (2.0 * gain * dot + gain * gain * dict.norm2[k]) / n;
      if (change < -1e-9) picks.push_back({change, k, gain});
    }
    std::sort(picks.begin(), picks.end(), [](const pick_t& a, const pick_t& b) {
      return a.change < b.change || (a.change == b.change && a.k < b.k);
    });
    std::vector<band_params_t> tried;
    std::vector<band_params_t> best_bands;
    double best = HUGE_VAL;
    for (const pick_t& pick : picks) {
      if (int(tried.size()) >= tries) break;
      band_params_t b = dict.band[pick.k];
      b.gain_db = pick.gain;
      bool near = false;
      for (const band_params_t& t : tried)
        near |= t.kind == b.kind && (t.gain_db > 0) == (b.gain_db > 0) &&
                std::abs(t.log10_hz - b.log10_hz) < 1.0 / 6.0;
      if (near) continue;
      tried.push_back(b);
      std::vector<band_params_t> trial = bands;
      trial.push_back(b);
      refine(trial, {trial.size() - 1}, EVALS_ONE_BAND);
      const double v = refine_all(trial);
      if (v < best) {
        best = v;
        best_bands.swap(trial);
      }
    }
    if (best < HUGE_VAL) bands.swap(best_bands);
    return best;
  }

 private:
  const problem_t& p_;
  run_state_t& run_;
  evaluator_t eval_;
};

// ---- Stored steps ---------------------------------------------------------------

// A band at the stored steps, in the slot it will take.
struct stored_band_t {
  band_kind kind = band_kind::peaking;
  int hz = 1000;
  int q = 10;
  int gain = 0;
};

// The level in dB a stored band adds at each column, by the device's curves.
void stored_level(const stored_band_t& b, const std::vector<int>& columns, std::vector<double>& out,
                  eq_table_t& scratch) {
  switch (b.kind) {
    case band_kind::peaking:
      peq_curve(scratch, unsigned(b.hz), unsigned(b.q), b.gain);
      break;
    case band_kind::low_shelf:
      lowshelf_curve(scratch, unsigned(b.hz), b.gain);
      break;
    case band_kind::high_shelf:
      highshelf_curve(scratch, unsigned(b.hz), b.gain);
      break;
  }
  out.resize(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) out[i] = scratch[columns[i]];
}

double variance_of(const std::vector<double>& base, const std::vector<std::vector<double>>& levels,
                   const std::vector<double>* replace, size_t replaced) {
  const size_t n = base.size();
  double sum = 0.0, sum2 = 0.0;
  for (size_t i = 0; i < n; ++i) {
    double e = base[i];
    for (size_t b = 0; b < levels.size(); ++b)
      e += (replace && b == replaced ? *replace : levels[b])[i];
    sum += e;
    sum2 += e * e;
  }
  const double mean = sum / n;
  return std::max(0.0, sum2 / n - mean * mean);
}

stored_band_t rounded(const band_params_t& b, int max_boost) {
  stored_band_t s;
  s.kind = b.kind;
  s.hz = std::clamp(int(std::lround(std::pow(10.0, b.log10_hz))), FREQ_MIN, FREQ_MAX);
  s.q = std::clamp(int(std::lround(std::pow(10.0, b.log10_q) * 10.0)), Q_MIN, Q_MAX);
  s.gain = std::clamp(int(std::lround(b.gain_db * 10.0)), GAIN_MIN, max_boost);
  return s;
}

// Moves the stored bands step by step while the error goes down: each
// value by one step and by a few larger ones (frequency 0.5 % and 2 %, Q and
// gain 3 steps), first improvement taken, until a whole pass finds none.
double polish(const problem_t& p, std::vector<stored_band_t>& bands, int max_boost,
              run_state_t& run) {
  struct table_box_t {
    eq_table_t t;
  };
  auto box = std::make_unique<table_box_t>();
  eq_table_t& scratch = box->t;
  std::vector<std::vector<double>> levels(bands.size());
  for (size_t b = 0; b < bands.size(); ++b) stored_level(bands[b], p.columns, levels[b], scratch);
  double best = variance_of(p.base, levels, nullptr, 0);
  std::vector<double> trial;
  for (int pass = 0; pass < 200 && !run.cancelled; ++pass) {
    bool improved = false;
    for (size_t b = 0; b < bands.size(); ++b) {
      for (int field = 0; field < 3; ++field) {
        if (field == 1 && bands[b].kind != band_kind::peaking) continue;
        int steps[6] = {1, -1, 3, -3, 0, 0};
        if (field == 0) {
          const int hz = bands[b].hz;
          steps[2] = std::max(2, int(std::lround(hz * 0.005)));
          steps[3] = -steps[2];
          steps[4] = std::max(3, int(std::lround(hz * 0.02)));
          steps[5] = -steps[4];
        }
        for (int step : steps) {
          if (step == 0) continue;
          stored_band_t c = bands[b];
          int& v = field == 0 ? c.hz : field == 1 ? c.q : c.gain;
          const int lo = field == 0 ? FREQ_MIN : field == 1 ? Q_MIN : GAIN_MIN;
          const int hi = field == 0 ? FREQ_MAX : field == 1 ? Q_MAX : max_boost;
          const int moved = std::clamp(v + step, lo, hi);
          if (moved == v) continue;
          v = moved;
          stored_level(c, p.columns, trial, scratch);
          const double var = variance_of(p.base, levels, &trial, b);
          if (var < best - 1e-12) {
            best = var;
            bands[b] = c;
            levels[b].swap(trial);
            improved = true;
          }
        }
      }
    }
    if (!improved || !run.tick()) break;
  }
  return best;
}

// ---- Texts -----------------------------------------------------------------------

std::string band_text(const peq_t& b, int slot) {
  if (b.type == 1 && (slot == 0 || slot == 5))
    return std::string(slot == 0 ? "low shelf " : "high shelf ") + std::to_string(b.freq) + " Hz " +
           (b.gain >= 0 ? "+" : "") + format_fixed(b.gain / 10.0, 1) + " dB";
  if (b.type != 0) return "shelf without effect";
  if (b.gain == 0) return "off";
  return std::to_string(b.freq) + " Hz " + (b.gain >= 0 ? "+" : "") +
         format_fixed(b.gain / 10.0, 1) + " dB Q " + format_fixed(b.q / 10.0, 1);
}

bool same_band(const peq_t& a, const peq_t& b) {
  return a.freq == b.freq && a.q == b.q && a.gain == b.gain && a.type == b.type;
}

// Whether the channel's band keeps to what the fit may store in its slot.
bool band_feasible(const peq_t& b, int slot, int max_boost) {
  if (b.type > 1 || (b.type == 1 && slot != 0 && slot != 5)) return false;
  if (b.gain < GAIN_MIN || b.gain > max_boost) return false;
  if (b.type == 0 && b.gain == 0) return true;  // off
  return b.freq >= FREQ_MIN && b.freq <= FREQ_MAX &&
         (b.type == 1 || (b.q >= Q_MIN && b.q <= Q_MAX));
}

// The bands of the channel allowed by `mask` switched off.
channel_t without_bands(const channel_t& ch, unsigned mask) {
  channel_t c = ch;
  for (int b = 0; b < 6; ++b)
    if (mask & (1u << b)) {
      c.peq[b].type = 0;
      c.peq[b].gain = 0;
    }
  return c;
}

// The fitted bands into their slots: a low shelf in slot 0, a high shelf in
// slot 5, peaking bands by frequency into the other allowed slots in order.
// A band of 0 dB is left out; an allowed slot without a band is off (gain
// 0, type 0) and keeps its frequency and Q.
void store_bands(const channel_t& ch, unsigned mask, std::vector<stored_band_t> bands,
                 peq_t out[6]) {
  std::vector<int> slots;
  for (int b = 0; b < 6; ++b) {
    out[b] = ch.peq[b];
    if (!(mask & (1u << b))) continue;
    slots.push_back(b);
    out[b].type = 0;
    out[b].gain = 0;
  }
  bands.erase(std::remove_if(bands.begin(), bands.end(),
                             [](const stored_band_t& s) { return s.gain == 0; }),
              bands.end());
  std::stable_sort(bands.begin(), bands.end(),
                   [](const stored_band_t& a, const stored_band_t& b) { return a.hz < b.hz; });
  for (const stored_band_t& s : bands) {
    if (s.kind == band_kind::peaking) continue;
    const int slot = s.kind == band_kind::low_shelf ? 0 : 5;
    out[slot] = {uint16_t(s.hz), ch.peq[slot].q, int8_t(s.gain), 1};
    slots.erase(std::find(slots.begin(), slots.end(), slot));
  }
  size_t next = 0;
  for (const stored_band_t& s : bands)
    if (s.kind == band_kind::peaking)
      out[slots[next++]] = {uint16_t(s.hz), uint8_t(s.q), int8_t(s.gain), 0};
}

}  // namespace

// ---- Range, columns and error -------------------------------------------------

pass_band_t default_fit_range(const channel_t& ch) {
  const pass_band_t band = channel_pass_band(ch);
  return {std::clamp(band.lo_hz, double(FREQ_MIN), double(FREQ_MAX)),
          std::clamp(band.hi_hz, double(FREQ_MIN), double(FREQ_MAX))};
}

std::vector<int> fit_columns(const grid_measurement_t& m, const grid_measurement_t* target,
                             double lo_hz, double hi_hz) {
  std::vector<int> cols;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    const double f = column_to_freq(c);
    if (f >= lo_hz && f <= hi_hz && m.has[c] && (!target || target->has[c])) cols.push_back(c);
  }
  return cols;
}

double fit_error_db(const channel_t& ch, const grid_measurement_t& m,
                    const grid_measurement_t* target, const std::vector<int>& columns) {
  if (columns.size() < 2) return 0.0;
  auto pred = std::make_unique<prediction_t>();
  predict_output(ch, m, *pred);
  double sum = 0.0, sum2 = 0.0;
  for (int c : columns) {
    const double e = pred->db[c] - (target ? target->db[c] : 0.0);
    sum += e;
    sum2 += e * e;
  }
  const double n = double(columns.size());
  const double mean = sum / n;
  return std::sqrt(std::max(0.0, sum2 / n - mean * mean));
}

// ---- The fit ----------------------------------------------------------------------

eq_fit_result_t fit_eq(const channel_t& ch, const grid_measurement_t& m,
                       const eq_fit_request_t& request, const fit_progress_t& progress) {
  eq_fit_result_t res;
  for (int b = 0; b < 6; ++b) res.before[b] = res.bands[b] = ch.peq[b];
  const unsigned mask = request.bands & 0x3F;
  if (request.lo_hz == 0.0 && request.hi_hz == 0.0) {
    const pass_band_t range = default_fit_range(ch);
    res.lo_hz = range.lo_hz;
    res.hi_hz = range.hi_hz;
  } else {
    res.lo_hz = request.lo_hz;
    res.hi_hz = request.hi_hz;
  }
  const std::string range_text =
      format_general(res.lo_hz, 6) + "-" + format_general(res.hi_hz, 6) + " Hz";
  if (!(res.lo_hz > 0.0 && res.lo_hz < res.hi_hz)) {
    res.reason = "the range " + range_text + " is empty";
    return res;
  }
  if (mask == 0) {
    res.reason = "no EQ band may change";
    return res;
  }
  if (request.max_boost < 0 || request.max_boost > GAIN_MAX) {
    res.reason = "the largest boost must lie between 0 and +12 dB";
    return res;
  }
  problem_t p;
  p.columns = fit_columns(m, request.target, res.lo_hz, res.hi_hz);
  res.columns = int(p.columns.size());
  if (p.columns.size() < 2) {
    res.reason = std::string("the measurement") +
                 (request.target ? " and the target have" : " has") +
                 (p.columns.empty() ? " no value" : " a single value") + " within " + range_text;
    return res;
  }
  res.error_before_db = fit_error_db(ch, m, request.target, p.columns);
  p.max_gain_db = request.max_boost / 10.0;
  p.grid = std::make_unique<band_grid_t>(p.columns);
  {
    auto pred = std::make_unique<prediction_t>();
    predict_output(without_bands(ch, mask), m, *pred);
    for (int c : p.columns)
      p.base.push_back(pred->db[c] - (request.target ? request.target->db[c] : 0.0));
    // Around 0 dB (the offset is free): no absolute level of 90 dB or more
    // in the sums of squares.
    double mean = 0.0;
    for (double v : p.base) mean += v;
    mean /= double(p.base.size());
    for (double& v : p.base) v -= mean;
  }

  // Two variants: shelves allowed where bands 1 and 6 may change, and
  // peaking bands only.
  int allowed = 0;
  for (int b = 0; b < 6; ++b) allowed += (mask >> b) & 1;
  const unsigned shelf_slots = (mask & 1 ? 1u : 0u) | (mask & 32 ? 2u : 0u);
  const std::vector<unsigned> variants =
      shelf_slots ? std::vector<unsigned>{shelf_slots, 0} : std::vector<unsigned>{0};

  run_state_t run;
  run.progress = &progress;
  // Work units: the dictionary, then per variant its placements, its
  // restarts and its polish.
  run.total = 1.0 + double(variants.size()) * (2.0 * allowed + 1.0);
  if (!run.report()) {
    res.cancelled = true;
    return res;
  }
  const dictionary_t dict = make_dictionary(p, shelf_slots != 0);
  run.done += 1.0;

  // The channel's own allowed bands, when the fit could store them, are a
  // candidate.
  std::vector<stored_band_t> best_stored;
  double best_var = HUGE_VAL;
  bool own_feasible = true;
  for (int b = 0; b < 6; ++b)
    if ((mask & (1u << b)) && !band_feasible(ch.peq[b], b, request.max_boost)) own_feasible = false;

  for (const unsigned shelves : variants) {
    fitter_t fit(p, run);
    std::vector<band_params_t> bands;
    const double variant_start = run.done;
    for (int i = 0; i < allowed && !run.cancelled; ++i) {
      if (fit.place(bands, dict, shelves, PLACE_TRIES) == HUGE_VAL) break;
      run.done += 1.0;
      run.report();
    }
    double var = fit.variance(bands);
    // Restarts: each band in turn taken out and placed again.
    for (size_t i = 0; i < bands.size() && !run.cancelled; ++i) {
      std::vector<band_params_t> trial = bands;
      trial.erase(trial.begin() + long(i));
      const double v = fit.place(trial, dict, shelves, RESTART_TRIES);
      if (v < HUGE_VAL) {
        if (v < var - 1e-12) {
          bands = trial;
          var = v;
        }
      }
      run.done += 1.0;
      run.report();
    }
    if (run.cancelled) break;
    run.done = variant_start + 2.0 * allowed;
    std::vector<stored_band_t> stored;
    for (const band_params_t& b : bands) stored.push_back(rounded(b, request.max_boost));
    const double v = polish(p, stored, request.max_boost, run);
    if (v < best_var) {
      best_var = v;
      best_stored = stored;
    }
    run.done += 1.0;
    run.report();
  }
  if (run.cancelled) {
    res.cancelled = true;
    return res;
  }
  store_bands(ch, mask, best_stored, res.bands);
  channel_t after = ch;
  for (int b = 0; b < 6; ++b) after.peq[b] = res.bands[b];
  res.error_after_db = fit_error_db(after, m, request.target, p.columns);
  if (own_feasible && res.error_after_db >= res.error_before_db) {
    for (int b = 0; b < 6; ++b) res.bands[b] = ch.peq[b];
    res.error_after_db = res.error_before_db;
  }
  for (int b = 0; b < 6; ++b)
    if (!same_band(res.bands[b], ch.peq[b])) res.changed |= 1u << b;
  run.done = run.total;
  run.report();
  res.ok = true;
  return res;
}

bool apply_eq_fit(channel_t& ch, const eq_fit_result_t& result) {
  if (!result.ok) return false;
  for (int b = 0; b < 6; ++b) ch.peq[b] = result.bands[b];
  return true;
}

std::string eq_fit_result_t::error_text() const {
  return "error " + format_fixed(error_before_db, 2) + " dB -> " + format_fixed(error_after_db, 2) +
         " dB (RMS over " + std::to_string(columns) + " columns, " + format_general(lo_hz, 6) +
         "-" + format_general(hi_hz, 6) + " Hz)";
}

std::string eq_fit_result_t::change_text() const {
  std::string text;
  for (int b = 0; b < 6; ++b) {
    if (!(changed & (1u << b))) continue;
    text += "band " + std::to_string(b + 1) + ": " + band_text(bands[b], b) + " (was " +
            band_text(before[b], b) + ")\n";
  }
  return text.empty() ? "no band changed\n" : text;
}
