// qpx plot FILE --channel X --kind xo|eq|total|sum [--with Y] -o OUT.png: a
// channel's crossover or EQ plot with its two axis strips, as the editor's
// page shows them; total and sum add the EQ plot's extra curve and a legend.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "model/channel_tools.h"
#include "model/editing.h"
#include "response/plot_draw.h"

namespace {

struct plot_options {
  qpx::file_input in;
  std::string channel;
  std::string kind;
  std::string with;
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
// The legend line under the frequency strip of a total or sum plot: a
// sample of the curve on the plot's dark ground, then the legend text.
constexpr int LEGEND_HEIGHT = 18;
constexpr int LEGEND_Y = IMAGE_HEIGHT;

void draw_legend(cairo_t* cr, const std::string& text, plot_rgb_t colour) {
  cairo_save(cr);
  cairo_translate(cr, PLOT_X, LEGEND_Y);
  cairo_set_source_rgb(cr, 0, 0, 0.3);
  cairo_rectangle(cr, 0, 0, 28, 12);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
  cairo_set_line_width(cr, 2.0);
  cairo_move_to(cr, 3, 6);
  cairo_line_to(cr, 25, 6);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_font_size(cr, 11.0);
  cairo_move_to(cr, 36, 10);
  cairo_show_text(cr, text.c_str());
  cairo_restore(cr);
}

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
              std::to_string(LEGEND_HEIGHT) +
              "-pixel\nlegend line below the frequency strip.\n"
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
    qpx::use_preset_file("plot", opt->in, [&](const preset_file_read_t& loaded) {
      const int ch = qpx::channel_of_device("plot", opt->channel, loaded.device);
      const channel_t& channel = loaded.preset.channel[ch];
      auto curves = std::make_unique<channel_curves_t>();
      channel_curves(channel, *curves);

      // The extra curve and its legend of a total or sum plot.
      auto extra = std::make_unique<eq_table_t[]>(2);
      std::string legend;
      EqPlotView eq = eq_plot_view_of(channel, *curves);
      if (opt->kind == "total") {
        total_curve(channel, extra[0]);
        eq.total = extra[0];
        legend = total_legend(loaded.preset, ch);
      } else if (sum) {
        const int with = qpx::channel_of_device("plot", opt->with, loaded.device, "--with");
        sum_curves(channel, loaded.preset.channel[with], extra[0], extra[1]);
        eq.channel_sum = extra[0];
        legend = sum_legend(loaded.preset, ch, with);
      }

      const int height = IMAGE_HEIGHT + (legend.empty() ? 0 : LEGEND_HEIGHT);
      const qpx::image_ptr image = qpx::page_image(IMAGE_WIDTH, height);
      cairo_t* cr = cairo_create(image.get());
      qpx::draw_in_area(cr, PLOT_X, PLOT_Y, PLOT_WIDTH, PLOT_HEIGHT, [&](cairo_t* c) {
        if (opt->kind == "xo")
          draw_xo_plot(c, xo_plot_view_of(channel, *curves));
        else
          draw_eq_plot(c, eq);
      });
      if (!legend.empty()) draw_legend(cr, legend, eq.total ? TOTAL_CURVE_RGB : SUM_CURVE_RGB);
      qpx::draw_in_area(cr, LEVEL_X, PLOT_Y, LEVEL_AXIS_WIDTH, LEVEL_AXIS_HEIGHT,
                        [](cairo_t* c) { draw_axis_strip(c, AxisStrip::level); });
      qpx::draw_in_area(cr, FREQ_X, FREQ_Y, FREQ_AXIS_WIDTH, FREQ_AXIS_HEIGHT,
                        [](cairo_t* c) { draw_axis_strip(c, AxisStrip::frequency); });
      cairo_destroy(cr);

      qpx::write_png_or_fail("plot", opt->out, image.get());
    });
  });
}
