// Helpers shared by the core tests: a scratch folder per test, whole-file
// reads and writes, and the checksum line an intact preset file ends with.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "files/crc.h"

class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/qbn-test-XXXXXX";
    const char* d = mkdtemp(tmpl);
    if (d) path_ = d;
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
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// CRC-16/MODBUS computed bit by bit, independent of the module under test.
inline uint16_t reference_crc(const std::string& bytes) {
  uint16_t crc = 0xFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  return crc;
}

// Appends the checksum line that makes `body` an intact preset file.
inline std::string with_checksum(const std::string& body) {
  char line[32];
  std::snprintf(line, sizeof line, "<!-->%x</!-->\n", reference_crc(body));
  return body + line;
}
