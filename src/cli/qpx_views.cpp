#include "cli/qpx_views.h"

#include <CLI/CLI.hpp>

#include "cli/qpx_common.h"
#include "editor/draw_util.h"
#include "model/text_format.h"

namespace qpx {

void add_channel_option(CLI::App* cmd, std::string& channel) {
  cmd->add_option("--channel", channel, "Channel A, B, C or D (A or B on an MV961)")
      ->type_name("A|B|C|D")
      ->required()
      ->check([](const std::string& text) {
        return parse_channel_letter(text, MV517) ? std::string() : "expected A, B, C or D";
      });
}

void add_with_option(CLI::App* cmd, std::string& with) {
  cmd->add_option("--with", with, "A second channel, A-D: its output is added to the channel's")
      ->type_name("A|B|C|D")
      ->check([](const std::string& text) {
        return parse_channel_letter(text, MV517) ? std::string() : "expected A, B, C or D";
      });
}

void add_measurement_option(CLI::App* cmd, std::string& measurement) {
  cmd->add_option("--measurement", measurement,
                  "The measured response of the channel's loudspeaker (text: frequency, dB, "
                  "optional phase)")
      ->type_name("M.txt")
      ->required();
}

int channel_of_device(const std::string& command, const std::string& letter, int device,
                      const std::string& option) {
  if (!parse_channel_letter(letter, MV517))
    fail(command, option + " " + letter + ": expected A, B, C or D", EXIT_USAGE);
  const std::optional<int> ch = parse_channel_letter(letter, device);
  if (!ch) {
    fail(command,
         option + " " + letter + ": an " + device_name(device) + " file has channels A and B only",
         EXIT_USAGE);
  }
  return *ch;
}

void csv_cell(std::string& line, double value, int decimals) {
  const std::string text = format_fixed(value, decimals);
  line += ',';
  const bool negative_zero = text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos;
  line.append(text, negative_zero ? 1 : 0, std::string::npos);
}

measurement_t load_measurement_or_fail(const std::string& command, const std::string& path) {
  measurement_read_t r = read_measurement_file(path);
  if (!r.ok) fail(command, r.message(path));
  return std::move(r.data);
}

void check_input_mode(const std::string& command, int mode, int device) {
  const int modes = input_mode_count(device);
  if (mode >= 0 && mode < modes) return;
  fail(command,
       "--input-mode " + std::to_string(mode) + ": an " + device_name(device) +
           " file has input modes 0 " + (modes == 2 ? "and 1" : "to " + std::to_string(modes - 1)),
       EXIT_USAGE);
}

image_ptr page_image(int width, int height) {
  image_ptr image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height),
                  cairo_surface_destroy);
  cairo_t* cr = cairo_create(image.get());
  set_source_rgb16(cr, PAGE_GREY, PAGE_GREY, PAGE_GREY);
  cairo_paint(cr);
  cairo_destroy(cr);
  return image;
}

namespace {

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

void write_png_or_fail(const std::string& command, const std::string& path,
                       cairo_surface_t* image) {
  // Encoded in memory first, so that standard output and files share the
  // error handling of the other commands' output.
  std::string png;
  const cairo_status_t status = cairo_surface_write_to_png_stream(image, append_bytes, &png);
  if (status != CAIRO_STATUS_SUCCESS) {
    fail(command,
         std::string("cannot encode the picture (") + cairo_status_to_string(status) + ")");
  }
  write_output(command, path, png);
}

}  // namespace qpx
