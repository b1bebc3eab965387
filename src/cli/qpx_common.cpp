#include "cli/qpx_common.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "files/crc.h"
#include "files/text_input.h"
#include "files/xml.h"
#include "model/text_format.h"

namespace qpx {

void fail(const std::string& command, const std::string& message, int code) {
  std::cerr << "qpx " << command << ": " << message << '\n';
  throw exit_request{code};
}

std::string shown_path(const std::string& path) {
  return escaped_text(path);
}

namespace {

// What the reader opens for a path. The reader opens its file three times
// (checksum, checksum scan, parse), which a pipe or standard input ("-")
// cannot serve: those are copied to a temporary file first, at most
// TEXT_INPUT_MAX_BYTES of them (an endless stream such as /dev/zero is
// refused, not copied on).
struct reader_source {
  std::string path;     // the name xml_read opens
  std::string temp;     // temporary copy, removed with this object
  std::string problem;  // why the input cannot be read; empty when it can
  reader_source() = default;
  reader_source(const reader_source&) = delete;
  reader_source& operator=(const reader_source&) = delete;
  ~reader_source() {
    if (!temp.empty()) std::remove(temp.c_str());
  }
};

void copy_stream(int in, reader_source& src) {
  const char* dir = std::getenv("TMPDIR");
  std::string name = std::string(dir && *dir ? dir : "/tmp") + "/qpx-input-XXXXXX";
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    src.problem = std::string("cannot make a temporary copy: ") + std::strerror(errno);
    return;
  }
  src.temp = name;
  char buf[65536];
  size_t total = 0;
  for (;;) {
    const ssize_t n = read(in, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      src.problem = std::strerror(errno);
      break;
    }
    total += static_cast<size_t>(n);
    if (total > TEXT_INPUT_MAX_BYTES) {
      src.problem = "larger than " + byte_limit_text(TEXT_INPUT_MAX_BYTES);
      break;
    }
    if (write(fd, buf, static_cast<size_t>(n)) != n) {
      src.problem = std::string("cannot make a temporary copy: ") + std::strerror(errno);
      break;
    }
  }
  if (close(fd) != 0 && src.problem.empty()) {
    src.problem = std::string("cannot make a temporary copy: ") + std::strerror(errno);
  }
  if (src.problem.empty()) src.path = name;
}

void open_source(const std::string& path, reader_source& src) {
  if (path == "-") {
    copy_stream(STDIN_FILENO, src);
    return;
  }
  bool regular = false;
  const int fd = open_input_descriptor(path, regular, src.problem);
  if (fd < 0) return;
  if (regular)
    src.path = path;  // read_preset_file judges its size
  else
    copy_stream(fd, src);
  close(fd);
}

}  // namespace

preset_file_read_t load_preset_file(const std::string& path, bool use_checksum) {
  reader_source src;
  open_source(path, src);
  if (!src.problem.empty()) {
    preset_file_read_t out;
    out.preset = preset_def;
    out.code = XML_ERR_OPEN;
    out.reason = src.problem;
    return out;
  }
  return read_preset_file(src.path, use_checksum);
}

preset_file_read_t load_or_fail(const std::string& command, const std::string& path,
                                bool use_checksum) {
  preset_file_read_t loaded = load_preset_file(path, use_checksum);
  if (loaded.outcome == read_outcome::checksum)
    fail(command, shown_path(path) + ": checksum mismatch (use --no-checksum to read it anyway)");
  if (!loaded.readable()) fail(command, shown_path(path) + ": " + loaded.problem());
  return loaded;
}

preset_file_read_t load_whole_or_fail(const std::string& command, const file_input& in) {
  preset_file_read_t loaded = load_or_fail(command, in.file, !in.no_checksum);
  if (!loaded.whole())
    fail(command, shown_path(in.file) + ": " + loaded.problem() + "; nothing written");
  return loaded;
}

void add_file_input(CLI::App* cmd, file_input& in) {
  cmd->add_option("FILE", in.file, "Preset file to read ('-' for standard input)")->required();
  cmd->add_flag("--no-checksum", in.no_checksum, "Read the file even if its checksum fails");
}

int report_partial(const std::string& command, const std::string& path,
                   const preset_file_read_t& loaded) {
  if (loaded.whole()) return EXIT_OK;
  std::cerr << "qpx " << command << ": " << shown_path(path) << ": " << loaded.problem() << '\n';
  return EXIT_PARTIAL;
}

std::optional<int> parse_device(const std::string& text) {
  const std::string u = upper_ascii(text);
  if (u == "MV517") return MV517;
  if (u == "MV961") return MV961;
  return std::nullopt;
}

std::optional<int> parse_channel_letter(const std::string& text, int device) {
  if (text.size() != 1) return std::nullopt;
  const std::string u = upper_ascii(text);
  const int index = u[0] - 'A';
  if (index < 0 || index >= device) return std::nullopt;
  return index;
}

std::optional<std::pair<double, double>> parse_frequency_range(const std::string& text) {
  // The separator is the first '-' after the first character (LO has no sign).
  const size_t dash = text.find('-', 1);
  if (dash == std::string::npos) return std::nullopt;
  const std::optional<double> lo = parse_decimal(std::string_view(text).substr(0, dash));
  const std::optional<double> hi = parse_decimal(std::string_view(text).substr(dash + 1));
  if (!lo || !hi || !(*lo > 0.0) || !(*lo < *hi)) return std::nullopt;
  return std::make_pair(*lo, *hi);
}

std::pair<double, double> range_or_fail(const std::string& command, const std::string& text) {
  if (text.empty()) return {0.0, 0.0};
  const std::optional<std::pair<double, double>> range = parse_frequency_range(text);
  if (!range)
    fail(command, "--range " + text + ": expected LO-HI in Hz with LO below HI", EXIT_USAGE);
  return *range;
}

void write_preset_or_fail(const std::string& command, const std::string& path, const preset_t& p,
                          int device) {
  const uint8_t result = xml_write(path.c_str(), &p, static_cast<int8_t>(device));
  if (result != XML_OK)
    fail(command, "cannot write " + shown_path(path) + ": " + write_failure_text(result));
}

void write_output(const std::string& command, const std::string& path, const std::string& text) {
  if (path.empty() || path == "-") {
    std::cout << text;
    std::cout.flush();
    if (!std::cout) fail(command, "cannot write to standard output");
    return;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) fail(command, "cannot write " + shown_path(path) + " (" + std::strerror(errno) + ")");
  out << text;
  out.close();
  if (!out) fail(command, "cannot write " + shown_path(path) + " (write failed)");
}

std::string read_input(const std::string& command, const std::string& path) {
  text_input_t in =
      path == "-" ? read_text_descriptor(STDIN_FILENO) : read_text_stream_or_file(path);
  if (!in.ok) {
    if (path == "-") fail(command, "cannot read standard input (" + in.reason + ")");
    fail(command, "cannot open " + shown_path(path) + " (" + in.reason + ")");
  }
  return std::move(in.text);
}

}  // namespace qpx
