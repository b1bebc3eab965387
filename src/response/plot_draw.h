// The frequency-response plots of the Crossover and Parametric EQ pages and
// their two axis strips, drawn with cairo from plain data.
//
// Plot coordinates: column i (0..811) stands for 10^(1.53 + i * 4.08 / 1289.04)
// Hz; a level of L dB lies at row 102 - 8 L (0 dB at row 102, +12 dB at row 6,
// -12 dB at row 198). Curves are not clipped; the surface's edge clips them.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/preset.h"
#include "response/calc_filters.h"  // PLOT_WIDTH, PLOT_HEIGHT, table sizes

constexpr int FREQ_AXIS_WIDTH = 833;
constexpr int FREQ_AXIS_HEIGHT = 15;
constexpr int LEVEL_AXIS_WIDTH = 35;
constexpr int LEVEL_AXIS_HEIGHT = 205;

// Dash pattern of the plot grid: 4 on, 1 off (`len` entries).
extern double dashed[2];
extern int len;

// Handle limits. The plots draw a handle at the limited position, and the
// caller stores the limited value back into its handle position.
int16_t clamp_xo_handle_column(int16_t column);   // 6..750
int16_t clamp_peq_handle_column(int16_t column);  // 6..805
int16_t clamp_peq_handle_row(int16_t row);        // 5..198

// Row of a crossover handle, fixed by the filter's type code: 0 ("Q 1.2" /
// off) row 90, 1 ("Butterworth 2.") row 127, 2 ("Linkwitz-Riley 4.") row 151.
int xo_handle_row(uint8_t config);

// The letters on a crossover handle ("HP", "LP") stay within the circle's
// chord at their height: at most 10 pixels of ink. Their font size: 8, or
// less where the letters would be wider.
constexpr double XO_HANDLE_LABEL_ROOM = 10.0;
double xo_handle_label_size(cairo_t* cr, const char* label);

// What a plot shows: levels in dB (the plots as they always were) or, in
// the phase view, phases in degrees over the same height (phase_row).
enum class plot_view_mode { level, phase };

// Colours of the plots' extra curves, for the plot and for legends.
struct plot_rgb_t {
  double r, g, b;
};
constexpr plot_rgb_t TOTAL_CURVE_RGB{0.3, 1.0, 0.45};         // green
constexpr plot_rgb_t SUM_CURVE_RGB{1.0, 0.35, 1.0};           // magenta
constexpr plot_rgb_t MEASUREMENT_CURVE_RGB{0.78, 0.78, 0.8};  // light grey
constexpr plot_rgb_t PREDICTION_CURVE_RGB{1.0, 1.0, 1.0};     // white
constexpr plot_rgb_t COMPARE_CURVE_RGB{0.3, 0.85, 1.0};       // light blue
// Lowest level an extra curve is drawn at (a cancellation is far below the
// plot; the curve runs along under its bottom edge).
constexpr double EXTRA_CURVE_FLOOR_DB = -40.0;

// A curve drawn over a plot's own curve and under its handles: one value
// per column 0..811 in the plot's unit (dB, or degrees wrapped into
// (-180, 180] in the phase view), NaN where the curve has no value (the
// line breaks there). In the phase view the line also breaks where the
// phase wraps, so it shows no vertical jumps.
struct plot_curve_t {
  const double* values = nullptr;  // EQ_TABLE_SIZE values
  plot_rgb_t colour{1.0, 1.0, 1.0};
  double width = 2.0;
  bool dashed = false;
};

struct XoPlotView {
  const double* hp = nullptr;  // XO_TABLE_SIZE dB values of the high-pass
  const double* lp = nullptr;  // XO_TABLE_SIZE dB values of the low-pass
  uint8_t hp_config = 1;
  uint8_t lp_config = 0;  // 0: the low-pass is off (not drawn, no handle)
  int16_t hp_column = 0;  // stored handle columns
  int16_t lp_column = 0;
  int selected = -1;  // handle drawn with a ring while focused: 0 high-pass, 1 low-pass
  std::vector<plot_curve_t> extra;  // in order, over the crossover curve
  plot_view_mode mode = plot_view_mode::level;
  // The phase view's own curve: EQ_TABLE_SIZE phases in degrees, wrapped.
  const double* phase = nullptr;
  bool focused = false;  // the plot has the keyboard: a focus line, the ring
};

struct EqPlotView {
  const double* sum = nullptr;  // EQ_TABLE_SIZE dB values of the six bands together
  bool band_on[6] = {};         // band type selector is not at "OFF"
  int16_t column[6] = {};       // stored handle positions
  int16_t row[6] = {};
  int selected = -1;  // band whose handle is drawn with a ring while focused (when on)
  std::vector<plot_curve_t> extra;  // in order, over the EQ curve
  plot_view_mode mode = plot_view_mode::level;
  const double* phase = nullptr;  // the phase view's own curve, as on XoPlotView
  bool focused = false;
};

// A line of a plot's legend: a sample of the curve, then what it is. The
// editor shows the lines in its status bar; qpx draws them under the plot.
struct plot_legend_entry_t {
  plot_rgb_t colour;
  bool dashed = false;
  std::string text;
};
// The views of a channel's plots as the editor shows them: the curves (which
// must outlive the view), the crossover handles at the shown frequency of
// each filter, an EQ handle at each active band's frequency and gain.
XoPlotView xo_plot_view_of(const channel_t& ch, const channel_curves_t& curves);
EqPlotView eq_plot_view_of(const channel_t& ch, const channel_curves_t& curves);

// Height of a legend line under a picture.
constexpr int PLOT_LEGEND_LINE_HEIGHT = 18;
// The legend lines one under the other, the first one's sample box with its
// top left corner at (x, y): a 28 x 12 box of the plot's dark blue with the
// curve's sample, the text after it.
void draw_plot_legend(cairo_t* cr, const std::vector<plot_legend_entry_t>& legend, double x,
                      double y);

// How a plot gets its static ground (background gradient, 0 dB line and
// grid): painted from a surface drawn once per kind of target and plot size
// and kept (what the two-argument forms below do), or drawn in full. Both
// give the same pixels.
enum class PlotGround { cached, drawn };

// Crossover plot: frame, grid, 0 dB line, the high-pass curve (with the
// low-pass added when it is on; in the phase view the view's phase curve),
// the extra curves and the "HP"/"LP" handles.
void draw_xo_plot(cairo_t* cr, const XoPlotView& v);
void draw_xo_plot(cairo_t* cr, const XoPlotView& v, PlotGround ground);

// EQ plot: frame, grid, 0 dB line, the sum curve (in the phase view the
// view's phase curve), the extra curves in order and the numbered handles of
// the bands that are on.
void draw_eq_plot(cairo_t* cr, const EqPlotView& v);
void draw_eq_plot(cairo_t* cr, const EqPlotView& v, PlotGround ground);

enum class AxisStrip : int {
  frequency = 0,  // 833 x 15, below the plot
  level = 1,      // 35 x 205, right of the plot
};

// The labels of a strip; the level strip of a plot in the phase view says
// "+180°", "0°" and "-180°" where it says "+12dB", "0dB" and "-12dB".
void draw_axis_strip(cairo_t* cr, AxisStrip strip, plot_view_mode mode = plot_view_mode::level);
