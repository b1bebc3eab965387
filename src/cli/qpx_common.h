// Helpers shared by the qpx subcommands: exit codes, loading a preset file
// with the checksum rules, device and channel parsing, output and failure
// exits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "files/preset_file.h"
#include "model/preset.h"

namespace CLI {
class App;
}

namespace qpx {

// Process exit codes.
constexpr int EXIT_OK = 0;
constexpr int EXIT_FAIL = 1;     // the command could not do its work
constexpr int EXIT_USAGE = 2;    // bad command line
constexpr int EXIT_PARTIAL = 3;  // a preset file was read only up to a problem

// Thrown to end the program with a code; the message (if any) has already
// been written to stderr. main() catches it.
struct exit_request {
  int code;
};

// Writes "qpx <command>: <message>" to stderr and ends with `code`.
[[noreturn]] void fail(const std::string& command, const std::string& message,
                       int code = EXIT_FAIL);

// Reads a preset file as the editor's Open does (read_preset_file); `path`
// "-" is standard input, and a pipe or device is copied to a temporary file
// first (at most 16 MiB). `use_checksum` false reads a file whose checksum fails.
preset_file_read_t load_preset_file(const std::string& path, bool use_checksum);

// Loads a file for a command that needs its content (show, export, ...):
// when nothing could be read (checksum, cannot open) writes the message to
// stderr and ends with EXIT_FAIL. A read that is not whole is returned as
// it is; report_partial() then tells the user.
preset_file_read_t load_or_fail(const std::string& command, const std::string& path,
                                bool use_checksum);
// For a read that is not whole: writes "qpx <command>: FILE: reading
// stopped early (code N: meaning)" or "... FILE: holds no complete preset"
// to stderr. Returns the exit code the command ends with (EXIT_PARTIAL when
// not whole, else EXIT_OK).
int report_partial(const std::string& command, const std::string& path,
                   const preset_file_read_t& loaded);

// The preset file a command reads: FILE ('-' for standard input) and
// --no-checksum.
struct file_input {
  std::string file;
  bool no_checksum = false;
};
void add_file_input(CLI::App* cmd, file_input& in);

// Reads the file for `command` (load_or_fail), hands it to `use`, then ends
// with EXIT_PARTIAL, after telling the user, when the read was not whole.
template <typename Use>
void use_preset_file(const std::string& command, const file_input& in, Use use) {
  const preset_file_read_t loaded = load_or_fail(command, in.file, !in.no_checksum);
  use(loaded);
  const int code = report_partial(command, in.file, loaded);
  if (code != EXIT_OK) throw exit_request{code};
}

// Reads the file for a command that writes a new preset file from it
// (copy-channel, eq-import): only a whole read will do, since the parts not
// read would be written as defaults. Otherwise tells why and ends with
// EXIT_FAIL, nothing written.
preset_file_read_t load_whole_or_fail(const std::string& command, const file_input& in);

// "MV517" / "MV961" (either case) to 4 / 2.
std::optional<int> parse_device(const std::string& text);

// Channel letter "A".."D" (either case) to index 0..3, limited to the
// channels of `device`.
std::optional<int> parse_channel_letter(const std::string& text, int device = MV517);

// A frequency range "LO-HI" in Hz (--range 80-2500): two numbers with a
// decimal point, LO positive and below HI. nullopt when the text is not one.
std::optional<std::pair<double, double>> parse_frequency_range(const std::string& text);
// The --range of `command`: {0, 0} when not given (the command's default
// range), else parse_frequency_range's; a text that is no range ends with a
// usage error.
std::pair<double, double> range_or_fail(const std::string& command, const std::string& text);

// Writes a preset file as the editor's Save does; on failure writes the
// code and its meaning to stderr and ends with EXIT_FAIL.
void write_preset_or_fail(const std::string& command, const std::string& path, const preset_t& p,
                          int device);

// Writes `text` to `path`, or to stdout when `path` is empty or "-". On
// failure writes a message and ends with EXIT_FAIL.
void write_output(const std::string& command, const std::string& path, const std::string& text);

// A file name as messages and verdict lines show it: on one line, control
// characters and bytes that are not UTF-8 escaped ("a\x0ab.qpx").
std::string shown_path(const std::string& path);

// Reads a whole text input ("-" is stdin; a pipe or FIFO is read as a
// stream) of at most 16 MiB; ends with EXIT_FAIL, saying why, when it cannot.
std::string read_input(const std::string& command, const std::string& path);

}  // namespace qpx
