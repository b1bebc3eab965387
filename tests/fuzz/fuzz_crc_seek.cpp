// libFuzzer harness for the checksum scan over arbitrary file contents.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "files/crc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string name = "/tmp/qbn-fuzz-crc-" + std::to_string(getpid()) + ".bin";
  FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  bool opened = false;
  crc_seek(name.c_str(), &opened);
  crc16_file(name.c_str(), &opened);
  return 0;
}
