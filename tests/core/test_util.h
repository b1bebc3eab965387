// Helpers of the core and GUI tests: scratch folders, files, golden files.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "../support/reference_crc.h"
#include "files/preset_file.h"
#include "model/preset.h"

class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/qbn-test-XXXXXX";
    if (const char* d = mkdtemp(tmpl)) path_ = d;
  }
  ~ScratchDir() {
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string read_file(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void write_file(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

// Path of an expected output in tests/data (see its README.md).
inline std::string data_file(const std::string& name) {
  return std::string(QBN_TEST_DATA) + "/" + name;
}

// The tuned show file's record.
inline preset_t live_preset() {
  return read_preset_file(data_file("live_mv517.qpx")).preset;
}

// Appends the checksum line that makes `body` an intact preset file.
inline std::string with_checksum(const std::string& body) {
  char line[32];
  std::snprintf(line, sizeof line, "<!-->%x</!-->\n", reference_crc(body));
  return body + line;
}

// Records holding the same values; a failure names the first field differing.
inline ::testing::AssertionResult same_preset(const preset_t& a, const preset_t& b) {
  const std::string d = first_difference(a, b);
  if (d.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << d << " differs";
}

inline ::testing::AssertionResult same_channel(const channel_t& a, const channel_t& b) {
  preset_t x = preset_def, y = preset_def;
  x.channel[0] = a, y.channel[0] = b;
  return same_preset(x, y);
}
