// What a channel's crossover or EQ plot shows beyond its own curve, as the
// editor's menus and qpx plot's options choose it: the channel's total
// response, its sum with another channel, its measured loudspeaker and the
// predicted output, in the level or the phase view, with their legend. One
// composition for the editor and qpx, so both draw the same plot.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "measure/measurement.h"
#include "model/preset.h"
#include "response/plot_draw.h"

// The choices of one plot.
struct plot_choice_t {
  bool eq = true;  // the EQ plot; false: the crossover plot
  plot_view_mode mode = plot_view_mode::level;
  bool total = false;            // EQ plot: the channel's total response (crossover x EQ)
  int sum_with = -1;             // EQ plot: the channel whose output is added (-1 none)
  bool show_measurement = true;  // while the channel has a measurement
  bool show_prediction = true;
};

// A loaded measurement of a channel: its file's name for the legend, and its
// values on the grid.
struct plot_measurement_t {
  std::string name;
  const grid_measurement_t* grid = nullptr;
};

// Where the curves come from: the record and each channel's measurement.
struct plot_sources_t {
  const preset_t* preset = nullptr;
  plot_measurement_t measurement[4];
};

// The composed plot: the extra curves for the view (pointing into `values`,
// so the content must live while they are drawn), the own curve of the
// phase view, the legend, and what the readout shows under the pointer.
struct plot_content_t {
  std::vector<plot_curve_t> extra;
  std::vector<plot_legend_entry_t> legend;
  std::vector<double> phase;        // the phase view: the total response's phase
  std::vector<double> group_delay;  // the phase view: its group delay in ms
  // Per column, NaN where there is none: the measured level as read and the
  // predicted level (absolute dB, not shifted).
  std::vector<double> measured_db, predicted_db;
  double measurement_offset_db = 0.0;  // the shift the plot applies to both

  std::vector<std::unique_ptr<double[]>> values;  // storage of the extra curves
};

// Responses and predictions kept between compositions: a channel's are
// computed again only when its values or its measurement changed (a drag
// changes one channel; the one it is summed with stays). The editor keeps
// one for its plots and forgets it when a measurement is loaded or removed.
class plot_cache_t {
 public:
  plot_cache_t() = default;
  plot_cache_t(const plot_cache_t&) = delete;
  plot_cache_t& operator=(const plot_cache_t&) = delete;

  const channel_response_t& response(const channel_t& ch);
  const prediction_t& prediction(const channel_t& ch, const grid_measurement_t& m);
  void forget() { entries_.clear(); }

 private:
  struct entry_t {
    channel_t ch;
    const grid_measurement_t* grid;  // null: the response only
    std::unique_ptr<channel_response_t> response;
    std::unique_ptr<prediction_t> prediction;
  };
  entry_t& entry(const channel_t& ch, const grid_measurement_t* grid);
  std::vector<entry_t> entries_;  // the latest first, a few at most
};

// Composes channel ch's plot; an empty content when ch is not a channel.
// With a cache, what it already holds is not computed again.
void compose_plot(int ch, const plot_choice_t& choice, const plot_sources_t& sources,
                  plot_content_t& out, plot_cache_t* cache = nullptr);

// The readout appended under the pointer at `column`: "   measured 92.4 dB
// predicted 89.1 dB" (what the column has), or in the phase view
// "   group delay 0.42 ms"; empty when there is nothing.
std::string content_readout(const plot_content_t& content, plot_view_mode mode, int column);
