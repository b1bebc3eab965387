// qpx align FILE --channel X --with Y --measurement M.txt --measurement-with
// N.txt [--range LO-HI] [--max-delay METRES] -o OUT: the delay of one of two
// channels and the polarity of the second chosen so that their measured
// loudspeakers add up best.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "measure/alignment.h"
#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

constexpr const char* COMMAND = "align";

struct align_options {
  qpx::file_input in;
  std::string channel;
  std::string with;
  std::string measurement;
  std::string measurement_with;
  std::string range;
  std::string max_delay = "10";
  std::string out;
};

}  // namespace

void add_align_command(CLI::App& app) {
  auto opt = std::make_shared<align_options>();
  CLI::App* cmd = app.add_subcommand(
      "align", "Align two channels' loudspeakers by delay and polarity (a top and a sub).");
  qpx::add_file_input(cmd, opt->in);
  qpx::add_channel_option(cmd, opt->channel);
  cmd->add_option("--with", opt->with, "The other channel (A-D); its polarity may change")
      ->type_name("Y")
      ->required();
  cmd->add_option("--measurement", opt->measurement,
                  "The measured response of the --channel loudspeaker, with phase")
      ->type_name("M.txt")
      ->required();
  cmd->add_option("--measurement-with", opt->measurement_with,
                  "The measured response of the --with loudspeaker, with phase")
      ->type_name("N.txt")
      ->required();
  cmd->add_option("--range", opt->range,
                  "Frequencies to align, in Hz (default: where the two predicted levels lie "
                  "within 10 dB of each other)")
      ->type_name("LO-HI");
  cmd->add_option("--max-delay", opt->max_delay,
                  "Largest delay added to either channel, in metres (default 10)")
      ->type_name("METRES");
  cmd->add_option("-o,--output", opt->out, "Preset file to write")->type_name("OUT")->required();
  cmd->footer(
      "Tries every whole centimetre of delay up to the largest, added to either channel, with\n"
      "the --with channel's polarity as it is and turned, and keeps the one with the least\n"
      "summation loss: the mean over the plot columns in use of 20 log10(|X| + |Y|) -\n"
      "20 log10|X + Y|, X and Y the predicted outputs (measurement x crossover x EQ x level\n"
      "x polarity x delay at 343.4 m/s); 0 dB means the two add perfectly. Of equally good\n"
      "ones the smallest delay and the unchanged polarity win. Only the two delays and the\n"
      "--with channel's polarity can change; a delay stays within 0-400 m.\n"
      "Both measurement files need a phase column (\"frequency dB phase_degrees\").\n"
      "Prints the loss before and after and the change (\"Out C +118 cm, polarity inverted\").\n"
      "Exit code 0 on success, 1 when a measurement is refused or has no phase, the two have\n"
      "no column in common, or FILE cannot be read whole or OUT cannot be written (nothing\n"
      "is written then), 2 for a usage error.\n");
  cmd->callback([opt] {
    const std::pair<double, double> range = qpx::range_or_fail(COMMAND, opt->range);
    const std::optional<double> metres = parse_decimal(opt->max_delay);
    if (!metres || *metres < 0.0 || *metres > editor_range::delay.hi / 100.0)
      qpx::fail(COMMAND, "--max-delay " + opt->max_delay + ": expected 0 to 400 (metres)",
                qpx::EXIT_USAGE);

    const measurement_t m = qpx::load_measurement_or_fail(COMMAND, opt->measurement);
    const measurement_t n = qpx::load_measurement_or_fail(COMMAND, opt->measurement_with);
    const preset_file_read_t loaded = qpx::load_whole_or_fail(COMMAND, opt->in);
    const int x = qpx::channel_of_device(COMMAND, opt->channel, loaded.device);
    const int y = qpx::channel_of_device(COMMAND, opt->with, loaded.device, "--with");
    if (x == y)
      qpx::fail(COMMAND, "--with " + opt->with + ": that is the --channel channel",
                qpx::EXIT_USAGE);
    for (const auto& [file, data] :
         {std::make_pair(&opt->measurement, &m), std::make_pair(&opt->measurement_with, &n)})
      if (!data->has_phase())
        qpx::fail(COMMAND, escaped_text(*file) +
                               " has no phase column: two loudspeakers can only be added with "
                               "the phase of both");

    auto gx = std::make_unique<grid_measurement_t>();
    auto gy = std::make_unique<grid_measurement_t>();
    measurement_on_grid(m, *gx);
    measurement_on_grid(n, *gy);
    align_request_t req;
    req.lo_hz = range.first;
    req.hi_hz = range.second;
    req.max_delay_cm = delay_to_cm(*metres, DELAY_M);
    const align_result_t r = align_channels(loaded.preset, unsigned(x), unsigned(y), *gx, *gy, req);
    if (!r.ok) qpx::fail(COMMAND, r.reason);

    preset_t p = loaded.preset;
    apply_alignment(p, unsigned(x), unsigned(y), r);
    qpx::write_preset_or_fail(COMMAND, opt->out, p, loaded.device);
    qpx::write_output(COMMAND, "",
                      channel_label(loaded.preset, unsigned(y)) + " with " +
                          channel_label(loaded.preset, unsigned(x)) + ": " + r.loss_text() + "\n" +
                          r.change_text + "\n");
  });
}
