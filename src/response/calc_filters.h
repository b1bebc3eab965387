// Magnitude responses of the crossover filters and EQ bands, evaluated on
// the plot's logarithmic frequency grid, and the mapping between plot pixels
// and frequency / level.
//
// The filters are digital filters at 96 kHz: high-pass, low-pass and
// peaking bands are second-order state-variable sections, the shelves are
// first-order sections. A grid point i is the plot column i and stands for
// the frequency 10^(1.53 + i x 4.08 / 1289.04) Hz.
//
// The pure functions take the filter's stored values (Hz, Q x 10, gain in
// 0.1 dB) as arguments; the Calc_* wrappers read the global `preset` and
// fill the global curve tables that the plots draw.
#pragma once

#include <complex>
#include <cstdint>

#include "model/preset.h"

// ---- Grid and plot coordinates ---------------------------------------------

constexpr double FILTER_SAMPLE_RATE = 96000.0;  // Hz

constexpr int PLOT_WIDTH = 812;   // columns of a response plot
constexpr int PLOT_HEIGHT = 205;  // rows of a response plot

// log10 of the frequency at column 0, the decades the grid spans and the
// columns those decades take: 1289.04 / 4.08 = 315.94 columns per decade.
constexpr double GRID_LOG10_START = 1.53;
constexpr double GRID_DECADES = 4.08;
constexpr double GRID_COLUMNS = 1289.04;

constexpr int PLOT_ZERO_DB_ROW = 102;  // row of 0 dB
constexpr int PLOT_ROWS_PER_DB = 8;    // positive levels go up

// Curve table sizes. The crossover tables have one entry more and are
// computed at every fourth index only (0, 4, ..., 812: 204 points); the
// indices between stay as they were (0 from the start).
constexpr int CURVE_CHANNELS = 4;
constexpr int XO_TABLE_SIZE = 813;
constexpr int XO_TABLE_STEP = 4;
constexpr int EQ_TABLE_SIZE = 812;

using xo_table_t = double[XO_TABLE_SIZE];
using eq_table_t = double[EQ_TABLE_SIZE];

// Frequency of plot column (grid point) `column`: 10^(column x 4.08 / 1289.04
// + 1.53). Also the frequency a pointer at that column asks for.
double column_to_freq(int column);
// Column of a frequency: (log10 f - 1.53) / 4.08 x 1289.04, truncated toward
// zero (35 Hz -> 4, 120 Hz -> 173, 1000 Hz -> 464, 12000 Hz -> 805).
// Results beyond the 16-bit range (and f <= 0) are clamped to it.
int16_t freq_to_column(double f);
// Row of a level in dB, not truncated: 102 - 8 x db. Curves are drawn
// at the exact level.
double level_row(double db);
// Row of a level in dB: level_row truncated toward zero (0 dB -> 102,
// +3 dB -> 78, +12 dB -> 6, -12 dB -> 198).
int16_t gain_to_row(double db);
// Level a pointer at row `row` asks for: (102 - row) / 8 dB.
double row_to_gain(int row);

// The phase view of a plot spans -180..+180 degrees over the rows the
// level view gives -12..+12 dB: 0 degrees at row 102, +180 at row 6, -180
// at row 198 (8 rows per 15 degrees). Not truncated.
constexpr double PLOT_ROWS_PER_DEGREE = PLOT_ROWS_PER_DB * 12.0 / 180.0;
double phase_row(double degrees);
// The phase a row stands for in the phase view.
double row_to_phase(int row);

// ---- Responses at a single frequency ----------------------------------------
//
// Each returns 20 log10 |H| at f Hz. `freq` is the filter's frequency in Hz,
// `q` its stored Q (Q x 10), `gain` its stored gain (0.1 dB). `order` 0 is
// one second-order section, any other value two identical sections in series.

double hp_response_db(double f, unsigned freq, unsigned q, int order);
double lp_response_db(double f, unsigned freq, unsigned q, int order);
double peq_response_db(double f, unsigned freq, unsigned q, int gain);
double lowshelf_response_db(double f, unsigned freq, int gain);
double highshelf_response_db(double f, unsigned freq, int gain);

// ---- Curves over the grid --------------------------------------------------
//
// The same responses at the grid points, written into a table. The crossover
// curves write only the indices 0, 4, ..., 812; the EQ curves write 0 to 811.
// The grid's unit-circle values are computed once, so a curve costs no
// exponentials; the results are the same bits as evaluating each point
// directly.

void hp_curve(xo_table_t& out, unsigned freq, unsigned q, int order);
void lp_curve(xo_table_t& out, unsigned freq, unsigned q, int order);
void peq_curve(eq_table_t& out, unsigned freq, unsigned q, int gain);
void lowshelf_curve(eq_table_t& out, unsigned freq, int gain);
void highshelf_curve(eq_table_t& out, unsigned freq, int gain);

// How band b (0..5) of a channel enters its EQ: as a peaking band (an off
// band is a peaking band of 0 dB), band 0 of type 1 as the low shelf, band 5
// of type 1 as the high shelf; a shelf type on a middle band (only a damaged
// file holds one) contributes nothing.
enum class band_role { peaking, low_shelf, high_shelf, none };
band_role eq_band_role(const channel_t& ch, int b);

// Shelf state of a channel (`sum_select`): 0 no shelf, 1 band 0 is a low
// shelf, 2 band 5 is a high shelf, 3 both.
int shelf_state(const channel_t& ch);

// The EQ sum: for every point, first + peaking[1] + ... + peaking[4] + last,
// where first is `lowshelf` when sum_select is 1 or 3 and *peaking[0]
// otherwise, and last is `highshelf` when sum_select is 2 or 3 and
// *peaking[5] otherwise.
void eq_sum_curve(eq_table_t& sum, int sum_select, const eq_table_t* const peaking[6],
                  const eq_table_t& lowshelf, const eq_table_t& highshelf);

// ---- All curves of one channel ---------------------------------------------

// Every curve of one channel, as the editor computes them when it is built.
// About 80 KB: allocate it on the heap.
struct channel_curves_t {
  xo_table_t hp;         // high-pass, at indices 0, 4, ..., 812
  xo_table_t lp;         // low-pass, same indices; all 0 when it is off
  bool lp_on;            // the low-pass is not "OFF"
  xo_table_t xo;         // what the crossover plot draws: hp + lp (hp alone when off)
  eq_table_t eq[6];      // peaking curve of each band; a shelf band's stays 0
  eq_table_t lowshelf;   // band 0 as a low shelf (0 unless it is one)
  eq_table_t highshelf;  // band 5 as a high shelf (0 unless it is one)
  eq_table_t sum;        // what the EQ plot draws
};

// Computes all curves of `ch` into `out` (every table starts at 0). The
// crossover Q is taken as the editor fixes it when it shows the channel
// (the high-pass "Q 1.2" uses 1.2, "Butterworth 2." 0.7).
void channel_curves(const channel_t& ch, channel_curves_t& out);
// The same for `out` holding the curves of `before`: only the filters that
// differ between the two are computed again (an edit changes one or two),
// and `out` ends exactly as channel_curves(ch) would leave it.
void channel_curves_update(const channel_t& ch, const channel_t& before, channel_curves_t& out);

// ---- Complex responses -----------------------------------------------------
//
// The same sections as the magnitude curves, kept as complex values H = N / D
// at a grid column, so that channels can be added with their phase. The
// magnitude of each is the curve's value at that column: 20 log10 |hp_complex|
// is hp_curve's entry, bit for bit. A column outside 0..812 is evaluated at
// its frequency.

using complex_t = std::complex<double>;

complex_t hp_complex(int column, unsigned freq, unsigned q, int order);
complex_t lp_complex(int column, unsigned freq, unsigned q, int order);
complex_t peq_complex(int column, unsigned freq, unsigned q, int gain);
complex_t lowshelf_complex(int column, unsigned freq, int gain);
complex_t highshelf_complex(int column, unsigned freq, int gain);

// Phase shift of a delay of `cm` centimetres (sound at 343.4 m/s) at f Hz:
// e^(-j 2 pi f t).
complex_t delay_factor(double f, unsigned cm);

// A channel's complex responses at the EQ grid columns 0..811, with the
// crossover Q as the editor fixes it. About 52 KB: allocate it on the heap.
struct channel_response_t {
  complex_t xo[EQ_TABLE_SIZE];      // high-pass times low-pass (the high-pass alone when off)
  complex_t eq[EQ_TABLE_SIZE];      // the six bands in series, shelves in their bands' place
  complex_t total[EQ_TABLE_SIZE];   // xo times eq: the channel's total response
  complex_t output[EQ_TABLE_SIZE];  // total with the level, the polarity and the delay
};
void channel_response(const channel_t& ch, channel_response_t& out);

// Lowest level a response is given in dB: two outputs that cancel exactly
// have no finite level.
constexpr double RESPONSE_FLOOR_DB = -200.0;
// 20 log10 |h|, not below RESPONSE_FLOOR_DB.
double response_db(complex_t h);
// Phase of h in degrees, -180 (excluded) to 180.
double response_phase_deg(complex_t h);

// The group delay in ms of a response given at columns 0..811: minus the
// change of its phase over the change of angular frequency, the mean of the
// steps to both neighbouring columns (one step at the ends), each phase step
// taken as the smaller turn.
void group_delay_ms(const complex_t* h, double* out);

// The total response of a channel in dB at columns 0..811.
void total_curve(const channel_t& ch, eq_table_t& out);
// The sum of two channels' outputs for one input signal, in dB and in
// degrees, at columns 0..811.
void sum_curves(const channel_t& a, const channel_t& b, eq_table_t& db, eq_table_t& phase_deg);

// ---- The editor's curve tables ---------------------------------------------

// Per channel, the response in dB at each plot column. All start at 0 dB and
// keep their values until recomputed.
extern double pnt_to_pix_hp[CURVE_CHANNELS][XO_TABLE_SIZE];
extern double pnt_to_pix_lp[CURVE_CHANNELS][XO_TABLE_SIZE];
extern double pnt_to_pix_eq1[CURVE_CHANNELS][EQ_TABLE_SIZE];
extern double pnt_to_pix_eq2[CURVE_CHANNELS][EQ_TABLE_SIZE];
extern double pnt_to_pix_eq3[CURVE_CHANNELS][EQ_TABLE_SIZE];
extern double pnt_to_pix_eq4[CURVE_CHANNELS][EQ_TABLE_SIZE];
extern double pnt_to_pix_eq5[CURVE_CHANNELS][EQ_TABLE_SIZE];
extern double pnt_to_pix_eq6[CURVE_CHANNELS][EQ_TABLE_SIZE];
extern double pnt_to_pix_eq_sum[CURVE_CHANNELS][EQ_TABLE_SIZE];
extern double pnt_to_pix_eq_lowshelf[CURVE_CHANNELS][EQ_TABLE_SIZE];
extern double pnt_to_pix_eq_highshelf[CURVE_CHANNELS][EQ_TABLE_SIZE];

// Every table of channel `ch` of `preset` at once, from channel_curves: the
// editor's view of the channel's curves, filled whenever the channel
// changed. The tables hold what the calls of the Calc_* functions below in
// their order would leave: the low-pass table is kept while the low-pass is
// off, a shelf band's peaking table and a shelf table not in use keep their
// last curves.
void Calc_Channel(uint16_t ch);

// High-pass (`xo` index 0) of channel `ch` of `preset` into pnt_to_pix_hp.
// Frequency and Q come from slot 1 for "Linkwitz-Riley 4." (config 2), else
// slot 0. `order` 1 means two sections (the caller passes 1 exactly for
// config 2).
void Calc_HighPass(uint16_t ch, uint16_t order);
// The same for the low-pass (`xo` index 1) into pnt_to_pix_lp.
void Calc_LowPass(uint16_t ch, uint16_t order);
// Band `eq` of channel `ch`: its peaking curve unless it is a shelf, then
// the channel's sum from whatever the shelf tables hold (so a changed shelf
// is recomputed before this is called).
void Calc_Peq(uint16_t ch, uint16_t eq);
// Band 0 of channel `ch` as a low shelf into pnt_to_pix_eq_lowshelf.
void Calc_LowShelf(uint16_t ch);
// Band 5 of channel `ch` as a high shelf into pnt_to_pix_eq_highshelf.
void Calc_HighShelf(uint16_t ch);
