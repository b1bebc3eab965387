// qpx overview FILE [--input-mode N] -o OUT.png: the Overview tab's two
// diagrams, the input routing and the channels' signal flow, side by side.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "cli/qpx_views.h"
#include "editor/overview_draw.h"

namespace {

struct overview_options {
  qpx::file_input in;
  int input_mode = 0;
  std::string out;
};

// The two drawing areas sit next to each other in one row, so each routing
// output stub runs into its channel's DELAY block. MARGIN is the page grey
// around them.
constexpr int MARGIN = 10;
constexpr int ROUTING_X = MARGIN;
constexpr int FLOW_X = ROUTING_X + ROUTING_WIDTH;
constexpr int AREAS_Y = MARGIN;
constexpr int IMAGE_WIDTH = FLOW_X + CHANNEL_FLOW_WIDTH + MARGIN;
constexpr int IMAGE_HEIGHT = AREAS_Y + ROUTING_HEIGHT + MARGIN;
static_assert(ROUTING_HEIGHT == CHANNEL_FLOW_HEIGHT, "the two areas share a row");

}  // namespace

void add_overview_command(CLI::App& app) {
  auto opt = std::make_shared<overview_options>();
  CLI::App* cmd = app.add_subcommand(
      "overview", "Draw the Overview tab's routing and signal-flow diagrams as a PNG picture.");
  qpx::add_file_input(cmd, opt->in);
  cmd->add_option("--input-mode", opt->input_mode,
                  "The device's input mode (not stored in the file); default 0")
      ->type_name("N");
  cmd->add_option("-o,--output", opt->out, "PNG file to write ('-' for standard output)")
      ->type_name("OUT.png")
      ->required();
  cmd->footer(
      "Input modes: MV517 0 \"Inputs Analog\", 1 \"Input 1 Digital\", 2 \"Input 2 Digital\",\n"
      "3 \"Inputs Digital\"; MV961 0 \"Inputs Analog\", 1 \"Inputs Digital\".\n"
      "The picture is " +
      std::to_string(IMAGE_WIDTH) + " x " + std::to_string(IMAGE_HEIGHT) +
      " pixels: the 320 x 395 routing diagram at (" + std::to_string(ROUTING_X) + ", " +
      std::to_string(AREAS_Y) +
      ") and,\n"
      "right next to it, the 630 x 395 signal-flow diagram at (" +
      std::to_string(FLOW_X) + ", " + std::to_string(AREAS_Y) +
      "), on the editor's\n"
      "page grey. Delays are shown in metres, as the editor first shows them.\n"
      "Exit code 0 on success, 1 when the file cannot be opened or fails its checksum\n"
      "or the picture cannot be written, 2 for a usage error (also an input mode the\n"
      "file's device does not have), 3 when reading stopped at a problem (the picture\n"
      "shows what was read).\n");
  cmd->callback([opt] {
    qpx::use_preset_file("overview", opt->in, [&](const preset_file_read_t& loaded) {
      qpx::check_input_mode("overview", opt->input_mode, loaded.device);

      const qpx::image_ptr image = qpx::page_image(IMAGE_WIDTH, IMAGE_HEIGHT);
      cairo_t* cr = cairo_create(image.get());
      const preset_t& p = loaded.preset;
      qpx::draw_in_area(cr, ROUTING_X, AREAS_Y, ROUTING_WIDTH, ROUTING_HEIGHT, [&](cairo_t* c) {
        draw_routing(c, routing_view_of(p, loaded.device, opt->input_mode));
      });
      qpx::draw_in_area(
          cr, FLOW_X, AREAS_Y, CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT,
          [&](cairo_t* c) { draw_channel_flow(c, channel_flow_view_of(p, loaded.device)); });
      cairo_destroy(cr);

      qpx::write_png_or_fail("overview", opt->out, image.get());
    });
  });
}
