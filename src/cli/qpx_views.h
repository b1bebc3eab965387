// Helpers shared by the qpx commands that show a preset file the way the
// editor shows it (response, plot, overview): the channel a command was
// asked for, checked against the file's device, and PNG pictures on the
// editor's page grey.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

#include "editor/draw_util.h"
#include "measure/measurement.h"

namespace CLI {
class App;
}

namespace qpx {

// Adds the required --channel option (a letter A-D in either case).
void add_channel_option(CLI::App* cmd, std::string& channel);

// Adds the --with option: a second channel (A-D) whose output is added.
void add_with_option(CLI::App* cmd, std::string& with);

// Adds the required --measurement option: the channel's measured loudspeaker.
void add_measurement_option(CLI::App* cmd, std::string& measurement);

// Index of channel `letter` in a file of `device`. A channel the device does
// not have (C or D of an MV961 file) ends the program with a usage message
// and EXIT_USAGE.
// `option` names the option in the message; a text that is no channel
// letter at all is a usage error too.
int channel_of_device(const std::string& command, const std::string& letter, int device,
                      const std::string& option = "--channel");

// Appends ",TEXT" to a CSV line: `value` with `decimals` digits after the
// point, the same in every locale; a value that rounds to zero is written
// without a minus sign ("0.0000", not "-0.0000").
void csv_cell(std::string& line, double value, int decimals);

// Reads the measurement file `path` (read_measurement_file). A file that is
// refused ends the program with its message on standard error ("qpx
// predict: room.txt: line 7: ...") and EXIT_FAIL.
measurement_t load_measurement_or_fail(const std::string& command, const std::string& path);

// An input mode the file's device lacks ends the program with a usage
// message ("an MV961 file has input modes 0 and 1") and EXIT_USAGE.
void check_input_mode(const std::string& command, int mode, int device);

// Background of the editor's pages, 16-bit RGB.
constexpr uint16_t PAGE_GREY = 40000;

using image_ptr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

// An opaque ARGB32 image of `width` x `height` filled with the page grey.
image_ptr page_image(int width, int height);

// The pictures' areas: draw_in_area of draw_util.h.
using ::draw_in_area;

// Writes the image as PNG to `path` ("-" for standard output); on failure
// writes a message and ends with EXIT_FAIL.
void write_png_or_fail(const std::string& command, const std::string& path, cairo_surface_t* image);

}  // namespace qpx
