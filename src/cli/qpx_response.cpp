// qpx response FILE --channel X: a channel's response curves as CSV, as the
// editor computes them for its Crossover and Parametric EQ plots.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "model/text_format.h"
#include "response/calc_filters.h"

namespace {

struct response_options {
  qpx::file_input in;
  std::string channel;
  std::string with;
  std::string out;
};

// The columns --with adds: the channel's total response, and the sum of its
// output and the other channel's, in dB and degrees.
struct pair_columns_t {
  eq_table_t total;
  eq_table_t sum_db;
  eq_table_t sum_phase;
};

std::string response_csv(const channel_curves_t& c, const pair_columns_t* pair) {
  std::string csv = "column,frequency_hz,highpass_db,lowpass_db,crossover_db,eq_sum_db";
  csv += pair ? ",total_db,sum_db,sum_phase_deg\n" : "\n";
  csv.reserve(XO_TABLE_SIZE * 64);
  // The crossover tables reach one grid point further (812) than the EQ
  // tables (0..811); every point of either gets a row.
  for (int i = 0; i < XO_TABLE_SIZE; ++i) {
    std::string line = std::to_string(i);
    qpx::csv_cell(line, column_to_freq(i), 2);
    if (i % XO_TABLE_STEP == 0) {
      qpx::csv_cell(line, c.hp[i], 4);
      if (c.lp_on)
        qpx::csv_cell(line, c.lp[i], 4);
      else
        line += ',';
      qpx::csv_cell(line, c.xo[i], 4);
    } else {
      line += ",,,";
    }
    if (i < EQ_TABLE_SIZE)
      qpx::csv_cell(line, c.sum[i], 4);
    else
      line += ',';
    if (pair && i < EQ_TABLE_SIZE) {
      qpx::csv_cell(line, pair->total[i], 4);
      qpx::csv_cell(line, pair->sum_db[i], 4);
      qpx::csv_cell(line, pair->sum_phase[i], 4);
    } else if (pair) {
      line += ",,,";
    }
    csv += line;
    csv += '\n';
  }
  return csv;
}

}  // namespace

void add_response_command(CLI::App& app) {
  auto opt = std::make_shared<response_options>();
  CLI::App* cmd =
      app.add_subcommand("response", "Write a channel's crossover and EQ response curves as CSV.");
  qpx::add_file_input(cmd, opt->in);
  qpx::add_channel_option(cmd, opt->channel);
  qpx::add_with_option(cmd, opt->with);
  cmd->add_option("-o,--output", opt->out, "Write the CSV to OUT instead of standard output")
      ->type_name("OUT");
  cmd->footer(
      "The curves are those the editor draws when it opens the file (the crossover Q\n"
      "as the editor fixes it by type: a \"Butterworth 2.\" high-pass always has Q 0.7).\n"
      "Header: column,frequency_hz,highpass_db,lowpass_db,crossover_db,eq_sum_db\n"
      "One row per grid column 0 to 812; column i stands for 10^(1.53 + i*4.08/1289.04) Hz.\n"
      "  frequency_hz  %.2f\n"
      "  highpass_db, lowpass_db, crossover_db  %.4f, on the columns the crossover curves\n"
      "      are computed at (0, 4, 8, ..., 812), empty on the others; lowpass_db is empty\n"
      "      when the low-pass is off, and crossover_db is the high-pass plus the low-pass\n"
      "      (the high-pass alone when the low-pass is off)\n"
      "  eq_sum_db  %.4f, the six EQ bands together (shelves included), columns 0 to 811;\n"
      "      empty on column 812\n"
      "With --with C three columns follow, on columns 0 to 811 (empty on 812), %.4f:\n"
      "  total_db  the channel's total response: crossover times EQ\n"
      "  sum_db, sum_phase_deg  the sum of both channels' outputs for one input signal\n"
      "      (crossover and EQ as complex responses, level, polarity, and the delay as a\n"
      "      phase shift at 343.4 m/s), in dB (not below -200) and degrees (-180, 180]\n"
      "Exit code 0 on success, 1 when the file cannot be opened or fails its checksum,\n"
      "2 for a usage error (also channel C or D of an MV961 file), 3 when reading\n"
      "stopped at a problem (the CSV shows what was read).\n");
  cmd->callback([opt] {
    qpx::use_preset_file("response", opt->in, [&](const preset_file_read_t& loaded) {
      const int ch = qpx::channel_of_device("response", opt->channel, loaded.device);
      auto curves = std::make_unique<channel_curves_t>();
      channel_curves(loaded.preset.channel[ch], *curves);
      std::unique_ptr<pair_columns_t> pair;
      if (!opt->with.empty()) {
        const int with = qpx::channel_of_device("response", opt->with, loaded.device, "--with");
        pair = std::make_unique<pair_columns_t>();
        total_curve(loaded.preset.channel[ch], pair->total);
        sum_curves(loaded.preset.channel[ch], loaded.preset.channel[with], pair->sum_db,
                   pair->sum_phase);
      }
      qpx::write_output("response", opt->out, response_csv(*curves, pair.get()));
    });
  });
}
