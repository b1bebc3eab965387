// Measured responses of loudspeakers, as measurement programs export them
// (text lines "frequency dB [phase_degrees]"), brought onto the plot grid,
// and what a channel of a preset will make of them: the predicted output is
// the measurement times the channel's complex output (crossover, EQ, level,
// polarity and delay, from the same section formulas as every curve).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/preset.h"
#include "response/calc_filters.h"

// ---- Reading ---------------------------------------------------------------

// A measurement as read: one row per data line, frequencies positive and
// strictly increasing; the level in dB as the file gives it (absolute, often
// 80-110 dB SPL); the phase in degrees as the file gives it, or none.
struct measurement_t {
  std::vector<double> hz;
  std::vector<double> db;
  std::vector<double> phase_deg;  // empty when the file has no phase column
  bool has_phase() const { return !phase_deg.empty(); }
};

// The outcome of reading a measurement text.
struct measurement_read_t {
  bool ok = false;
  measurement_t data;  // when ok
  int line = 0;        // a refusal's 1-based line; 0 when it concerns the whole text
  std::string reason;  // why it was refused
  // The refusal as the user is told it, naming the file:
  // "room.txt: line 7: frequency 20 is not above the line before (25)";
  // for a text that was read, what it holds: "room.txt: 960 rows from 20 to
  // 20000 Hz, level and phase". The file name is escaped, on one line.
  std::string message(const std::string& file) const;
};

// Reads a measurement text. Data lines hold numbers separated by any run of
// commas, semicolons, tabs and spaces: frequency in Hz, level in dB and,
// optionally, phase in degrees; further columns are ignored (not read at
// all). The first data line decides whether the text has a phase column.
// Lines before the first data line that do not start with a number are
// skipped (headers, "*" comments, blank lines); CR LF, a UTF-8 byte order
// mark and a last line without a line end are fine. Numbers have a decimal
// point whatever the locale. Refused, naming the line: fewer than two data
// lines, a frequency that is not positive or not above the one before, a
// value that is not a finite number, text after the data started, a decimal
// comma ("20,5;85,3": "the decimal separator must be a point").
//
// The fine points, each decided the way that cannot misread a file:
// - A line starts with a number when its first field begins with a digit, a
//   sign and a digit, or a point and a digit, or is "nan"/"inf"; that line
//   is data and every value in it must read whole: "20Hz 85" and
//   "3 dB smoothing" are refused ("20Hz" is not a number), not skipped.
// - Blank lines (nothing but blanks and separators) are fine anywhere, also
//   between and after the rows. Any other line after the first data line
//   that is not data is refused as text after the data, a "*" or "#"
//   comment too: a second block or a footer is never silently dropped.
// - A data line with fewer values than the first one is refused, and so is
//   a third value (a phase) when the first data line has none.
// - Separators at the start and the end of a line are ignored; a line of
//   numbers with one comma and no point between other separators
//   ("20,5;85,3", "20,5 85") has a decimal comma and is refused. A line
//   separated only by commas ("20,85.3") reads its commas as separators.
// - A level beyond +-1000 dB or a phase beyond +-10^7 degrees is refused as
//   damaged data (no magnitude or phase a double can work with).
// - A number too large for a double ("1e400") is refused as out of range.
// The text is read once, line by line without copying; memory grows only
// with the rows taken.
measurement_read_t parse_measurement(std::string_view text);

// Reads the file `path` with parse_measurement: only a regular file of at
// most 16 MiB (a FIFO or a device is refused at once, nothing blocks). A
// file that cannot be read is refused with line 0 and the reason
// ("cannot be read (not a regular file)").
measurement_read_t read_measurement_file(const std::string& path);

// ---- On the plot grid ------------------------------------------------------

// A measurement at the plot columns 0..811 (column c at 10^(1.53 + c x 4.08 /
// 1289.04) Hz). A column outside the file's first..last frequency has no
// value; inside, level and phase are interpolated linearly over log10 of the
// frequency between the rows around it. The phase is unwrapped first: each
// step between two rows is taken as the smaller turn (wrapped into
// -180..180 degrees) before it is added up.
struct grid_measurement_t {
  bool has_phase = false;
  bool has[EQ_TABLE_SIZE] = {};
  double db[EQ_TABLE_SIZE] = {};
  double phase_deg[EQ_TABLE_SIZE] = {};  // unwrapped; 0 where there is no phase
};
void measurement_on_grid(const measurement_t& m, grid_measurement_t& out);

// A phase in degrees wrapped into (-180, 180]: 180 stays, -180 is 180, 190
// is -170. A step between two rows wrapped so is the smaller turn.
double wrap_phase_deg(double degrees);

// The measured response at a column as a complex value, 10^(dB / 20) at its
// phase (at phase 0 without a phase column).
complex_t measured_complex(const grid_measurement_t& m, int column);

// ---- Prediction ------------------------------------------------------------

// What a channel will put out for the measured loudspeaker: at each column
// with a measured value, the measurement times the channel's output
// (channel_response's `output`: high-pass, low-pass, EQ, level, polarity,
// delay at 343.4 m/s, after the Q values the editor build fixes). Without
// a phase in the measurement only the level is predicted.
struct prediction_t {
  bool has_phase = false;
  bool has[EQ_TABLE_SIZE] = {};
  complex_t output[EQ_TABLE_SIZE] = {};  // with the measured phase (phase 0 without)
  double db[EQ_TABLE_SIZE] = {};         // response_db of output
  double phase_deg[EQ_TABLE_SIZE] = {};  // wrapped into (-180, 180]; 0 without phase
};
void predict_output(const channel_response_t& r, const grid_measurement_t& m, prediction_t& out);
void predict_output(const channel_t& ch, const grid_measurement_t& m, prediction_t& out);

// The sum of two predicted outputs for one input signal, at the columns where
// both have a value and both have a phase (without phase the sum of two
// loudspeakers is unknown): the complex sum, its level (response_db) and
// phase (wrapped).
struct predicted_sum_t {
  bool has[EQ_TABLE_SIZE] = {};
  double db[EQ_TABLE_SIZE] = {};
  double phase_deg[EQ_TABLE_SIZE] = {};
};
void predict_sum(const prediction_t& a, const prediction_t& b, predicted_sum_t& out);

// ---- Plot scale ------------------------------------------------------------

// A channel's pass band for plots and fits: from its high-pass frequency to
// its low-pass frequency (the plot's last column, 12.5 kHz, when the
// low-pass is off), each as the type uses it.
struct pass_band_t {
  double lo_hz;
  double hi_hz;
};
pass_band_t channel_pass_band(const channel_t& ch);

// How far the plots shift a measurement (and its prediction) so that it lies
// around their 0 dB line: minus the mean measured level over the columns in
// the channel's pass band, or over 200 Hz-5 kHz when the pass band is unclear
// (empty, or no measured column in it), or over every measured column when
// neither has one. 0 when the measurement has no value on the grid.
double measurement_plot_offset_db(const channel_t& ch, const grid_measurement_t& m);

// ---- Legends ---------------------------------------------------------------

// The legend lines of a channel's measurement and prediction, for the status
// bar and qpx plot: the file's name and how far the plot shifts it.
//   Measured: top.txt (measurement -92.4 dB)
//   Predicted: Out A "Top L" with top.txt
std::string measurement_legend(const std::string& file_name, double offset_db);
std::string prediction_legend(const preset_t& p, unsigned ch, const std::string& file_name);
