#include "cli/qpx_common.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "files/crc.h"
#include "files/xml.h"
#include "model/text_format.h"

namespace qpx {

void fail(const std::string& command, const std::string& message, int code) {
  std::cerr << "qpx " << command << ": " << message << '\n';
  throw exit_request{code};
}

namespace {

// Why `path` cannot be read as a file, or an empty string when it can be
// opened.
std::string open_problem(const std::string& path) {
  errno = 0;
  FILE* f = open_regular_file(path.c_str());
  if (!f) return std::strerror(errno ? errno : ENOENT);
  std::fclose(f);
  return "";
}

// Largest input copied from a pipe or device; preset files are a few
// kilobytes, and this keeps an endless stream (/dev/zero) from filling the
// disk.
constexpr size_t STREAM_COPY_MAX = 16u << 20;

// What the reader opens for a path. The reader opens its file three times
// (checksum, checksum scan, parse), which a pipe or standard input ("-")
// cannot serve: those are copied to a temporary file first.
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

void copy_stream(FILE* in, reader_source& src) {
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
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) {
    total += n;
    if (total > STREAM_COPY_MAX) {
      src.problem = std::strerror(EFBIG);
      break;
    }
    if (write(fd, buf, n) != static_cast<ssize_t>(n)) {
      src.problem = std::string("cannot make a temporary copy: ") + std::strerror(errno);
      break;
    }
  }
  if (src.problem.empty() && std::ferror(in)) src.problem = std::strerror(errno ? errno : EIO);
  if (close(fd) != 0 && src.problem.empty()) {
    src.problem = std::string("cannot make a temporary copy: ") + std::strerror(errno);
  }
  if (src.problem.empty()) src.path = name;
}

void open_source(const std::string& path, reader_source& src) {
  const bool is_stdin = path == "-";
  errno = 0;
  FILE* f = is_stdin ? stdin : open_regular_file(path.c_str());
  if (!f) {
    src.problem = std::strerror(errno ? errno : ENOENT);
    return;
  }
  struct stat st {};
  if (!is_stdin && fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode))
    src.path = path;
  else
    copy_stream(f, src);
  if (!is_stdin) std::fclose(f);
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
    fail(command, path + ": checksum mismatch (use --no-checksum to read it anyway)");
  if (!loaded.readable()) fail(command, path + ": " + loaded.problem());
  return loaded;
}

preset_file_read_t load_whole_or_fail(const std::string& command, const file_input& in) {
  preset_file_read_t loaded = load_or_fail(command, in.file, !in.no_checksum);
  if (!loaded.whole()) fail(command, in.file + ": " + loaded.problem() + "; nothing written");
  return loaded;
}

void add_file_input(CLI::App* cmd, file_input& in) {
  cmd->add_option("FILE", in.file, "Preset file to read ('-' for standard input)")->required();
  cmd->add_flag("--no-checksum", in.no_checksum, "Read the file even if its checksum fails");
}

int report_partial(const std::string& command, const std::string& path,
                   const preset_file_read_t& loaded) {
  if (loaded.whole()) return EXIT_OK;
  std::cerr << "qpx " << command << ": " << path << ": " << loaded.problem() << '\n';
  return EXIT_PARTIAL;
}

namespace {

std::string upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

}  // namespace

std::optional<int> parse_device(const std::string& text) {
  const std::string u = upper(text);
  if (u == "MV517") return MV517;
  if (u == "MV961") return MV961;
  return std::nullopt;
}

std::optional<int> parse_channel_letter(const std::string& text, int device) {
  if (text.size() != 1) return std::nullopt;
  const std::string u = upper(text);
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

char channel_letter(int index) {
  return static_cast<char>('A' + index);
}

void write_preset_or_fail(const std::string& command, const std::string& path, const preset_t& p,
                          int device) {
  const uint8_t result = xml_write(path.c_str(), &p, static_cast<int8_t>(device));
  if (result != XML_OK) fail(command, "cannot write " + path + ": " + write_failure_text(result));
}

void write_output(const std::string& command, const std::string& path, const std::string& text) {
  if (path.empty() || path == "-") {
    std::cout << text;
    std::cout.flush();
    if (!std::cout) fail(command, "cannot write to standard output");
    return;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) fail(command, "cannot write " + path + " (" + std::strerror(errno) + ")");
  out << text;
  out.close();
  if (!out) fail(command, "cannot write " + path + " (write failed)");
}

std::string read_input(const std::string& command, const std::string& path) {
  if (path == "-") {
    std::ostringstream s;
    s << std::cin.rdbuf();
    if (std::cin.bad()) fail(command, "cannot read standard input");
    return s.str();
  }
  const std::string problem = open_problem(path);
  if (!problem.empty()) fail(command, "cannot open " + path + " (" + problem + ")");
  std::ifstream in(path, std::ios::binary);
  if (!in) fail(command, "cannot open " + path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) fail(command, "cannot read " + path);
  return text;
}

}  // namespace qpx
