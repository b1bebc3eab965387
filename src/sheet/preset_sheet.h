// The preset sheet: a printable description of a preset as plain data. It
// says what the pages hold, in order: the preset (name, device, file, date,
// the file's checksum, lock flags), the Overview's diagrams, then one section
// per channel with its values, its filter table and its two plots. The draw
// layer lays the sections out on pages (sheet_draw.h); the editor's Print
// command and `qpx sheet` build the sheet with build_sheet.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "model/preset.h"

// One "Label  value" line of a section.
struct sheet_row_t {
  std::string label;
  std::string value;
};

// A table cell; `dim` marks a value that is stored but has no effect (a
// filter that is off, the Q of a shelf), drawn in grey.
struct sheet_cell_t {
  std::string text;
  bool dim = false;
};

struct sheet_table_t {
  std::vector<std::string> header;
  // The room of each column in characters, so that tables of the same kind
  // line up from page to page; a longer text is drawn smaller.
  std::vector<int> widths;
  std::vector<std::vector<sheet_cell_t>> rows;  // as many cells as the header
  std::string note;                             // a line under the table, or empty
};

// A curve drawn over one of a channel's plots beside its own (a measurement,
// a prediction): one level in dB per plot column, PLOT_WIDTH values; fewer
// values draw a shorter curve.
struct sheet_curve_t {
  std::string legend;  // the text of its legend line under the plot
  std::vector<double> db;
  uint32_t rgb = 0xFFFFFF;  // colour, 0xRRGGBB
  bool dashed = false;
  double width = 2.0;  // line width in plot pixels
};

// The extra curves of one channel, for its crossover and its EQ plot.
struct sheet_channel_curves_t {
  std::vector<sheet_curve_t> xo;
  std::vector<sheet_curve_t> eq;
};

enum class sheet_picture_kind {
  overview,  // the routing diagram and the signal-flow diagram side by side
  xo_plot,   // a channel's crossover plot with its axis strips
  eq_plot,   // a channel's EQ plot with its axis strips
};

struct sheet_picture_t {
  sheet_picture_kind kind = sheet_picture_kind::overview;
  int channel = -1;  // the channel of a plot
  std::string caption;
  std::vector<sheet_curve_t> curves;  // extra curves of a plot
};

struct sheet_section_t {
  std::string heading;
  int columns = 1;  // the rows fill this many columns, the first one first
  std::vector<sheet_row_t> rows;
  sheet_table_t table;  // no header: no table
  std::vector<sheet_picture_t> pictures;
};

struct sheet_t {
  std::string title;  // the preset's name, on every page
  preset_t preset{};  // what the pictures are drawn from
  int device = MV517;
  int input_mode = 0;  // the routing diagram's input mode
  std::vector<sheet_section_t> sections;
};

// What a sheet is made of.
struct sheet_input_t {
  preset_t preset{};
  int device = MV517;
  int input_mode = 0;
  // The preset's file as the user knows it (a base name, UTF-8); empty when
  // the preset has none yet.
  std::string file_name;
  // Why the preset is not what the file holds ("unsaved changes", a read
  // that stopped early); empty when it is.
  std::string file_note;
  std::string date;                              // the day the sheet is made, sheet_date
  std::array<sheet_channel_curves_t, 4> curves;  // none unless given
};

sheet_t build_sheet(const sheet_input_t& in);

// How the sheet names the file at `path`: its last part, as UTF-8 with
// control characters and bytes that are not UTF-8 escaped.
std::string sheet_file_name(const std::string& path);

// The local date of `t` as 2024-05-17.
std::string sheet_date(std::time_t t);
