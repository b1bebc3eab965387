// The checksum scan on any bytes: crc_seek predicts what a plain scan in
// memory predicts, crc16_file is the CRC of every byte.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../support/reference_crc.h"
#include "files/crc.h"

namespace {

// The CRC a file has when its checksum line is right: CR LF and CR read as LF;
// the scan stops at '>' in text, '<' in a tag or 64 characters of either;
// the CRC continued from the last "<!-->" text (to a NUL) over
// "<!-->TEXT</!-->\n".
uint16_t predicted_crc(const uint8_t* data, size_t size) {
  std::string in;
  for (size_t i = 0; i < size; ++i) {
    in += data[i] == '\r' ? '\n' : char(data[i]);
    if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
  }
  bool in_tag = false, in_checksum = false;
  std::string run, text;  // the current text or tag; the checksum text
  for (char c : in) {
    if (c == (in_tag ? '<' : '>')) break;  // error 6
    if (c == (in_tag ? '>' : '<')) {       // a tag ends or begins
      const std::string name = run.substr(0, run.find('\0'));
      if (in_tag && (name == "!--" || name == "/!--")) in_checksum = name == "!--";
      if (!in_tag && in_checksum) text = run.substr(0, run.find('\0'));
      in_tag = !in_tag;
      run.clear();
    } else if (run.size() == 63) {
      break;  // error 4
    } else {
      run += c;
    }
  }
  if (in_checksum && !in_tag) text = run.substr(0, run.find('\0'));
  const auto stored = static_cast<uint16_t>(std::strtol(text.c_str(), nullptr, 16) & 0xFFFF);
  return reference_crc("<!-->" + text + "</!-->\n", stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string name = "/tmp/qbn-fuzz-crc-" + std::to_string(getpid()) + ".bin";
  FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  bool opened = false;
  const uint16_t seek = crc_seek(name.c_str(), &opened);
  if (!opened || seek != predicted_crc(data, size)) __builtin_trap();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (crc16_file(name.c_str(), &opened) != reference_crc(bytes) || !opened) __builtin_trap();
  return 0;
}
