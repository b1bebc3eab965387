// Helpers shared by the core tests: a scratch folder per test, whole-file
// reads and writes, and the checksum line an intact preset file ends with.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "files/crc.h"
#include "model/preset.h"

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

// Field by field: bytes after a name's terminator and padding do not count.
inline ::testing::AssertionResult same_channel(const channel_t& a, const channel_t& b) {
  auto fail = [](const char* what) { return ::testing::AssertionFailure() << what << " differs"; };
  if (std::strncmp(a.name, b.name, sizeof a.name) != 0) return fail("name");
  if (a.routing != b.routing) return fail("routing");
  if (a.gain != b.gain) return fail("gain");
  if (a.groups != b.groups) return fail("groups");
  if (a.phase != b.phase) return fail("phase");
  for (int i = 0; i < 2; ++i) {
    const xo_t &x = a.xo[i], &y = b.xo[i];
    if (x.config != y.config || x.freq[0] != y.freq[0] || x.freq[1] != y.freq[1] ||
        x.q[0] != y.q[0] || x.q[1] != y.q[1])
      return fail("crossover");
  }
  for (int i = 0; i < 6; ++i) {
    const peq_t &x = a.peq[i], &y = b.peq[i];
    if (x.freq != y.freq || x.q != y.q || x.gain != y.gain || x.type != y.type) return fail("EQ");
  }
  const dynamics_t &x = a.dynamics, &y = b.dynamics;
  if (x.attack != y.attack || x.release != y.release || x.threshold != y.threshold ||
      x.boost != y.boost)
    return fail("limiter");
  if (a.delay != b.delay) return fail("delay");
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult same_preset(const preset_t& a, const preset_t& b) {
  if (std::strncmp(a.name, b.name, sizeof a.name) != 0 || a.mute != b.mute || a.lock != b.lock)
    return ::testing::AssertionFailure() << "name, mute or lock differs";
  for (int n = 0; n < 4; ++n) {
    auto r = same_channel(a.channel[n], b.channel[n]);
    if (!r) return r << " in channel " << n;
  }
  return ::testing::AssertionSuccess();
}

