// qpx fit-eq FILE --channel X --measurement M.txt [--range LO-HI]
// [--target T.txt] [--max-boost DB] [--bands 1-6] -o OUT: a channel's EQ
// bands fitted so that its predicted output follows a target.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "measure/eq_fit.h"
#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

constexpr const char* COMMAND = "fit-eq";

struct fit_eq_options {
  qpx::file_input in;
  std::string channel;
  std::string measurement;
  std::string range;
  std::string target;
  std::string max_boost = "6";
  std::string bands = "1-6";
  std::string out;
};

// Bands as "1-6", "2,3,5" or "1-3,6" to a mask (bit b for band b + 1).
std::optional<unsigned> parse_bands(const std::string& text) {
  unsigned mask = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    const size_t dash = part.find('-');
    auto band = [](const std::string& s) -> int {
      return s.size() == 1 && s[0] >= '1' && s[0] <= '6' ? s[0] - '0' : 0;
    };
    const int first = band(part.substr(0, dash));
    const int last = dash == std::string::npos ? first : band(part.substr(dash + 1));
    if (first == 0 || last < first) return std::nullopt;
    for (int b = first; b <= last; ++b) mask |= 1u << (b - 1);
    start = end + 1;
  }
  return mask;
}

}  // namespace

void add_fit_eq_command(CLI::App& app) {
  auto opt = std::make_shared<fit_eq_options>();
  CLI::App* cmd = app.add_subcommand(
      "fit-eq", "Fit a channel's EQ bands to a measured loudspeaker and a target.");
  qpx::add_file_input(cmd, opt->in);
  qpx::add_channel_option(cmd, opt->channel);
  qpx::add_measurement_option(cmd, opt->measurement);
  cmd->add_option("--range", opt->range,
                  "Frequencies to fit, in Hz (default: the channel's pass band within "
                  "35-12000 Hz)")
      ->type_name("LO-HI");
  cmd->add_option("--target", opt->target,
                  "Target levels in the measurement text form (default: flat)")
      ->type_name("T.txt");
  cmd->add_option("--max-boost", opt->max_boost,
                  "Largest gain of a band, 0 to 12 dB; 0 cuts only (default 6)")
      ->type_name("DB");
  cmd->add_option("--bands", opt->bands,
                  "Bands the fit may change, e.g. 2-5 or 1,3,6 (default 1-6)")
      ->type_name("LIST");
  cmd->add_option("-o,--output", opt->out, "Preset file to write")->type_name("OUT")->required();
  cmd->footer(
      "The fit changes only the channel's EQ bands that --bands names (a band it does not\n"
      "need is switched off; band 1 may become a low shelf and band 6 a high shelf). It\n"
      "minimises the error on the plot columns within the range where the measurement\n"
      "(and the target) has a value: e = predicted level (measurement x crossover x EQ x\n"
      "level) minus target level, the error the RMS of e - mean(e), so the absolute level\n"
      "does not matter. Every candidate is judged with the device's filters at the stored\n"
      "steps (whole Hz, Q 0.1, 0.1 dB); bands keep to 35-12000 Hz, Q 0.7-12.5 and -12 dB\n"
      "to the largest boost. The same input gives the same bands. The channel's own bands\n"
      "stay when the fit cannot better them within the limits.\n"
      "A measurement or target file holds lines \"frequency dB [phase_degrees]\" with a\n"
      "decimal point (a target's phase is ignored).\n"
      "Prints the error before and after and each band that changed.\n"
      "Exit code 0 on success, 1 when a measurement or target is refused, has no value in\n"
      "the range, or FILE cannot be read whole or OUT cannot be written (nothing is\n"
      "written then), 2 for a usage error.\n");
  cmd->callback([opt] {
    const std::pair<double, double> range = qpx::range_or_fail(COMMAND, opt->range);
    const std::optional<double> boost = parse_decimal(opt->max_boost);
    if (!boost || *boost < 0.0 || *boost > 12.0)
      qpx::fail(COMMAND, "--max-boost " + opt->max_boost + ": expected 0 to 12 (dB)",
                qpx::EXIT_USAGE);
    const std::optional<unsigned> bands = parse_bands(opt->bands);
    if (!bands)
      qpx::fail(COMMAND,
                "--bands " + opt->bands + ": expected bands 1-6 as a list, e.g. 2-5 or 1,3,6",
                qpx::EXIT_USAGE);

    const measurement_t m = qpx::load_measurement_or_fail(COMMAND, opt->measurement);
    std::optional<measurement_t> t;
    if (!opt->target.empty()) t = qpx::load_measurement_or_fail(COMMAND, opt->target);
    const preset_file_read_t loaded = qpx::load_whole_or_fail(COMMAND, opt->in);
    const int ch = qpx::channel_of_device(COMMAND, opt->channel, loaded.device);

    auto grid = std::make_unique<grid_measurement_t>();
    measurement_on_grid(m, *grid);
    auto target = std::make_unique<grid_measurement_t>();
    if (t) measurement_on_grid(*t, *target);
    eq_fit_request_t req;
    req.lo_hz = range.first;
    req.hi_hz = range.second;
    req.target = t ? target.get() : nullptr;
    req.bands = *bands;
    req.max_boost = db_to_tenths(*boost);
    const eq_fit_result_t r = fit_eq(loaded.preset.channel[ch], *grid, req);
    if (!r.ok) qpx::fail(COMMAND, escaped_text(opt->measurement) + ": " + r.reason);

    preset_t p = loaded.preset;
    apply_eq_fit(p.channel[ch], r);
    qpx::write_preset_or_fail(COMMAND, opt->out, p, loaded.device);
    qpx::write_output(COMMAND, "",
                      channel_label(loaded.preset, unsigned(ch)) + ": " + r.error_text() + "\n" +
                          r.change_text());
  });
}
