// qpx predict FILE --channel X --measurement M.txt: what a channel of a
// preset makes of a measured loudspeaker, per plot column as CSV; with
// --with Y --measurement-with N.txt also the sum of both predicted outputs.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "measure/measurement.h"
#include "model/text_format.h"

namespace {

constexpr const char* COMMAND = "predict";

struct predict_options {
  qpx::file_input in;
  std::string channel;
  std::string measurement;
  std::string with;
  std::string measurement_with;
  std::string out;
};

// A measurement on the grid and what the channel makes of it.
struct predicted_t {
  grid_measurement_t grid;
  prediction_t prediction;
};

std::unique_ptr<predicted_t> predict(const channel_t& ch, const measurement_t& m) {
  auto p = std::make_unique<predicted_t>();
  measurement_on_grid(m, p->grid);
  predict_output(ch, p->grid, p->prediction);
  return p;
}

// A phase cell: wrapped into (-180, 180], and written so after rounding too
// (-179.99996 is "180.0000", not "-180.0000").
void phase_cell(std::string& line, double degrees) {
  qpx::csv_cell(line, wrap_phase_deg(degrees), 4);
  const std::string half_turn = ",-180.0000";
  if (line.size() > half_turn.size() &&
      line.compare(line.size() - half_turn.size(), half_turn.size(), half_turn) == 0)
    line.erase(line.size() - half_turn.size() + 1, 1);
}

// Without a phase two outputs cannot be added: said on standard error.
void note_no_phase(const std::string& file, const measurement_t& m) {
  if (!m.has_phase())
    std::cerr << "qpx " << COMMAND << ": " << escaped_text(file)
              << " has no phase: the sum columns are empty\n";
}

std::string predict_csv(const predicted_t& a, const predicted_sum_t* sum) {
  std::string csv =
      "column,frequency_hz,measured_db,measured_phase_deg,predicted_db,predicted_phase_deg";
  csv += sum ? ",sum_db,sum_phase_deg\n" : "\n";
  csv.reserve(EQ_TABLE_SIZE * 80);
  const grid_measurement_t& g = a.grid;
  const prediction_t& p = a.prediction;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    std::string line = std::to_string(c);
    qpx::csv_cell(line, column_to_freq(c), 4);
    if (g.has[c]) {
      qpx::csv_cell(line, g.db[c], 4);
      if (g.has_phase)
        phase_cell(line, g.phase_deg[c]);
      else
        line += ',';
      qpx::csv_cell(line, p.db[c], 4);
      if (p.has_phase)
        phase_cell(line, p.phase_deg[c]);
      else
        line += ',';
    } else {
      line += ",,,,";
    }
    if (sum && sum->has[c]) {
      qpx::csv_cell(line, sum->db[c], 4);
      phase_cell(line, sum->phase_deg[c]);
    } else if (sum) {
      line += ",,";
    }
    csv += line;
    csv += '\n';
  }
  return csv;
}

}  // namespace

void add_predict_command(CLI::App& app) {
  auto opt = std::make_shared<predict_options>();
  CLI::App* cmd = app.add_subcommand(
      "predict", "Write what a channel makes of a measured loudspeaker, per plot column, as CSV.");
  qpx::add_file_input(cmd, opt->in);
  qpx::add_channel_option(cmd, opt->channel);
  qpx::add_measurement_option(cmd, opt->measurement);
  qpx::add_with_option(cmd, opt->with);
  CLI::Option* with = cmd->get_option("--with");
  CLI::Option* measurement_with =
      cmd->add_option("--measurement-with", opt->measurement_with,
                      "The measured response of the --with channel's loudspeaker")
          ->type_name("N.txt");
  with->needs(measurement_with);
  measurement_with->needs(with);
  cmd->add_option("-o,--output", opt->out, "Write the CSV to OUT instead of standard output")
      ->type_name("OUT");
  cmd->footer(
      "A measurement file holds lines \"frequency dB [phase_degrees]\", separated by commas,\n"
      "semicolons, tabs or spaces, with a decimal point; header and \"*\" comment lines before\n"
      "the data are skipped, columns after the third are ignored. A file that cannot be\n"
      "read whole is refused with its line and the reason (exit code 1, nothing written).\n"
      "Header: column,frequency_hz,measured_db,measured_phase_deg,predicted_db,\n"
      "predicted_phase_deg; with --with also sum_db,sum_phase_deg.\n"
      "One row per plot column 0 to 811; column i stands for 10^(1.53 + i*4.08/1289.04) Hz.\n"
      "Every number has 4 decimals; a cell is empty where there is no value.\n"
      "  measured_db, measured_phase_deg  the measurement as the file gives it, interpolated\n"
      "      over log frequency onto the column (the phase unwrapped first); empty outside\n"
      "      the file's first..last frequency, the phase empty when the file has none\n"
      "  predicted_db, predicted_phase_deg  the measurement times the channel's output:\n"
      "      high-pass, low-pass, EQ (as the editor fixes the crossover Q), level, polarity\n"
      "      and delay (343.4 m/s); without a measured phase only the level is predicted\n"
      "  sum_db, sum_phase_deg  the complex sum of both predicted outputs, on the columns\n"
      "      where both measurements have a value and a phase (not below -200 dB)\n"
      "Phases are in degrees, wrapped into (-180, 180].\n"
      "Exit code 0 on success, 1 when a file cannot be read (a refused measurement, a\n"
      "preset file that cannot be opened or fails its checksum), 2 for a usage error,\n"
      "3 when reading the preset file stopped at a problem (the CSV shows what was read).\n");
  cmd->callback([opt] {
    // The measurements first: a refused one ends the command before any output.
    const measurement_t m = qpx::load_measurement_or_fail(COMMAND, opt->measurement);
    measurement_t n;
    if (!opt->with.empty()) n = qpx::load_measurement_or_fail(COMMAND, opt->measurement_with);
    qpx::use_preset_file(COMMAND, opt->in, [&](const preset_file_read_t& loaded) {
      const int ch = qpx::channel_of_device(COMMAND, opt->channel, loaded.device);
      const std::unique_ptr<predicted_t> a = predict(loaded.preset.channel[ch], m);
      std::unique_ptr<predicted_sum_t> sum;
      if (!opt->with.empty()) {
        const int with = qpx::channel_of_device(COMMAND, opt->with, loaded.device, "--with");
        const std::unique_ptr<predicted_t> b = predict(loaded.preset.channel[with], n);
        sum = std::make_unique<predicted_sum_t>();
        predict_sum(a->prediction, b->prediction, *sum);
        note_no_phase(opt->measurement, m);
        note_no_phase(opt->measurement_with, n);
      }
      qpx::write_output(COMMAND, opt->out, predict_csv(*a, sum.get()));
    });
  });
}
