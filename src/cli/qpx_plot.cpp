// qpx plot FILE --channel X --kind xo|eq|total|sum [--with Y] -o OUT.png: a
// channel's crossover or EQ plot with its two axis strips, as the editor's
// page shows them; total and sum add the EQ plot's extra curve and a legend.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "files/text_input.h"
#include "measure/measurement.h"
#include "model/channel_tools.h"
#include "model/editing.h"
#include "response/plot_content.h"
#include "response/plot_draw.h"

namespace {

struct plot_options {
  qpx::file_input in;
  std::string channel;
  std::string kind;
  std::string with;
  std::string measurement;
  std::string measurement_with;
  bool phase = false;
  std::string out;
};

// Layout of a Crossover / Parametric EQ page around the plot: an 18-pixel
// spacer left of the plot, the level strip right of it, the frequency strip
// below, starting at the spacer so that its labels sit under their grid
// lines. MARGIN is the page grey around all of it.
constexpr int MARGIN = 10;
constexpr int PLOT_X = MARGIN + 18;
constexpr int PLOT_Y = MARGIN;
constexpr int LEVEL_X = PLOT_X + PLOT_WIDTH;
constexpr int FREQ_X = MARGIN;
constexpr int FREQ_Y = PLOT_Y + PLOT_HEIGHT;
constexpr int IMAGE_WIDTH = LEVEL_X + LEVEL_AXIS_WIDTH + MARGIN;
constexpr int IMAGE_HEIGHT = FREQ_Y + FREQ_AXIS_HEIGHT + MARGIN;
static_assert(FREQ_X + FREQ_AXIS_WIDTH <= IMAGE_WIDTH, "the frequency strip fits");
// The legend lines under the frequency strip: a sample of each extra curve
// on the plot's dark ground, then its text.
constexpr int LEGEND_Y = IMAGE_HEIGHT;

}  // namespace

void add_plot_command(CLI::App& app) {
  auto opt = std::make_shared<plot_options>();
  CLI::App* cmd = app.add_subcommand(
      "plot", "Draw a channel's crossover or EQ response plot as a PNG picture.");
  qpx::add_file_input(cmd, opt->in);
  qpx::add_channel_option(cmd, opt->channel);
  cmd->add_option("--kind", opt->kind,
                  "xo (the Crossover page's plot), eq (Parametric EQ), total (the EQ plot with "
                  "the channel's total response) or sum (the EQ plot with the sum of the channel "
                  "and the --with channel)")
      ->type_name("xo|eq|total|sum")
      ->required()
      ->check(CLI::IsMember({"xo", "eq", "total", "sum"}));
  qpx::add_with_option(cmd, opt->with);
  cmd->add_option("--measurement", opt->measurement,
                  "The measured response of the channel's loudspeaker: drawn (light grey) with "
                  "the output the channel predicts for it (white), as the editor shows them")
      ->type_name("M.txt");
  cmd->add_option("--measurement-with", opt->measurement_with,
                  "With --kind sum: the --with channel's measurement; with both measurements "
                  "(and their phase) the sum is the predicted one")
      ->type_name("N.txt");
  cmd->add_flag("--phase", opt->phase,
                "The phase view: -180..+180 degrees over the plot's height, the channel's total "
                "response, the measurement, the prediction and the sum as phases");
  cmd->add_option("-o,--output", opt->out, "PNG file to write ('-' for standard output)")
      ->type_name("OUT.png")
      ->required();
  const auto at = [](int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
  };
  cmd->footer("The picture is " + std::to_string(IMAGE_WIDTH) + " x " +
              std::to_string(IMAGE_HEIGHT) +
              " pixels on the editor's page grey: the 812 x 205 plot at " + at(PLOT_X, PLOT_Y) +
              ",\nthe 35 x 205 level strip at its right " + at(LEVEL_X, PLOT_Y) +
              " and the 833 x 15 frequency strip below\nit " + at(FREQ_X, FREQ_Y) +
              ". Curves are computed as the editor does when it opens the\n"
              "file; handles sit at their clamped positions.\n"
              "total draws the channel's total response (crossover times EQ) in green over the\n"
              "EQ plot, sum (with --with, required there) the sum of both channels' outputs\n"
              "for one input (level, polarity and delay included) in magenta; both add a " +
              std::to_string(PLOT_LEGEND_LINE_HEIGHT) +
              "-pixel\nlegend line below the frequency strip.\n"
              "--measurement draws the measured loudspeaker shifted so that its mean over the\n"
              "channel's pass band lies on 0 dB, and the predicted output shifted alike; each\n"
              "extra curve adds its legend line (the shift in the measurement's).\n"
              "Exit code 0 on success, 1 when the file cannot be opened or fails its checksum\n"
              "or the picture cannot be written, 2 for a usage error (also channel C or D of\n"
              "an MV961 file), 3 when reading stopped at a problem (the picture shows what\n"
              "was read).\n");
  cmd->callback([opt] {
    const bool sum = opt->kind == "sum";
    if (sum && opt->with.empty())
      qpx::fail("plot", "--kind sum needs --with, the channel to add", qpx::EXIT_USAGE);
    if (!sum && !opt->with.empty())
      qpx::fail("plot", "--with belongs to --kind sum", qpx::EXIT_USAGE);
    if (!opt->measurement_with.empty() && (!sum || opt->measurement.empty()))
      qpx::fail("plot", "--measurement-with belongs to --kind sum with --measurement",
                qpx::EXIT_USAGE);
    // The measurements on the grid, read before anything is drawn.
    std::unique_ptr<grid_measurement_t> grid[2];
    const std::string* files[2] = {&opt->measurement, &opt->measurement_with};
    for (int i = 0; i < 2; ++i) {
      if (files[i]->empty()) continue;
      grid[i] = std::make_unique<grid_measurement_t>();
      measurement_on_grid(qpx::load_measurement_or_fail("plot", *files[i]), *grid[i]);
    }
    qpx::use_preset_file("plot", opt->in, [&](const preset_file_read_t& loaded) {
      const int ch = qpx::channel_of_device("plot", opt->channel, loaded.device);
      const channel_t& channel = loaded.preset.channel[ch];
      auto curves = std::make_unique<channel_curves_t>();
      channel_curves(channel, *curves);

      // The extra curve and its legend of a total or sum plot.
      plot_choice_t choice;
      choice.eq = opt->kind != "xo";
      choice.total = opt->kind == "total";
      if (sum) choice.sum_with = qpx::channel_of_device("plot", opt->with, loaded.device, "--with");
      choice.mode = opt->phase ? plot_view_mode::phase : plot_view_mode::level;
      plot_sources_t sources;
      sources.preset = &loaded.preset;
      if (grid[0]) sources.measurement[ch] = {file_name_of(opt->measurement), grid[0].get()};
      if (grid[1] && choice.sum_with >= 0)
        sources.measurement[choice.sum_with] = {file_name_of(opt->measurement_with), grid[1].get()};
      plot_content_t content;
      compose_plot(ch, choice, sources, content);

      const int legend_height = static_cast<int>(content.legend.size()) * PLOT_LEGEND_LINE_HEIGHT;
      const qpx::image_ptr image = qpx::page_image(IMAGE_WIDTH, IMAGE_HEIGHT + legend_height);
      cairo_t* cr = cairo_create(image.get());
      qpx::draw_in_area(cr, PLOT_X, PLOT_Y, PLOT_WIDTH, PLOT_HEIGHT, [&](cairo_t* c) {
        const double* phase = content.phase.empty() ? nullptr : content.phase.data();
        if (choice.eq) {
          EqPlotView eq = eq_plot_view_of(channel, *curves);
          eq.extra = content.extra;
          eq.mode = choice.mode;
          eq.phase = phase;
          draw_eq_plot(c, eq);
        } else {
          XoPlotView xo = xo_plot_view_of(channel, *curves);
          xo.extra = content.extra;
          xo.mode = choice.mode;
          xo.phase = phase;
          draw_xo_plot(c, xo);
        }
      });
      draw_plot_legend(cr, content.legend, PLOT_X, LEGEND_Y);
      qpx::draw_in_area(cr, LEVEL_X, PLOT_Y, LEVEL_AXIS_WIDTH, LEVEL_AXIS_HEIGHT,
                        [&](cairo_t* c) { draw_axis_strip(c, AxisStrip::level, choice.mode); });
      qpx::draw_in_area(cr, FREQ_X, FREQ_Y, FREQ_AXIS_WIDTH, FREQ_AXIS_HEIGHT,
                        [](cairo_t* c) { draw_axis_strip(c, AxisStrip::frequency); });
      cairo_destroy(cr);

      qpx::write_png_or_fail("plot", opt->out, image.get());
    });
  });
}
