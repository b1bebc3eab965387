// Any bytes as a preset file and as a wizard file: every field left within
// the reader's ranges, every name terminated.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "files/xml.h"
#include "fuzz_check.h"

namespace {

std::string scratch_file() {
  return "/tmp/qbn-fuzz-reader-" + std::to_string(getpid()) + ".xml";
}

void check_preset(const preset_t& p) {
  check(std::memchr(p.name, 0, sizeof p.name) != nullptr, "preset name terminated");
  for (const channel_t& c : p.channel) {
    check(std::memchr(c.name, 0, sizeof c.name) != nullptr, "channel name terminated");
    check(c.delay <= 40000, "delay");
    check(c.gain >= -999 && c.gain <= 60, "gain");
    check(c.phase <= 1 && c.routing <= 60, "phase/routing");
    for (const xo_t& x : c.xo) {
      check(x.config <= 2, "xo type");
      for (int s = 0; s < 2; ++s) {
        check(x.freq[s] >= 35 && x.freq[s] <= 8000, "xo freq");
        check(x.q[s] >= 7 && x.q[s] <= 12, "xo q");
      }
    }
    for (const peq_t& b : c.peq) {
      check(b.freq >= 35 && b.freq <= 12000 && b.q >= 7 && b.q <= 125, "peq freq/q");
      check(b.gain >= -120 && b.gain <= 120 && b.type <= 1, "peq gain/type");
    }
    check(c.dynamics.threshold >= -99 && c.dynamics.threshold <= 0, "threshold");
    check(c.dynamics.boost >= -99 && c.dynamics.boost <= 0, "boost");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string name = scratch_file();
  FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  preset_t p;
  for (uint8_t use : {0, 1}) {
    tree_select = use ? 0x3FFC : 0;
    std::memset(&p, 0, sizeof p);
    const uint8_t r = xml_read(name.c_str(), &p, use);
    check(r == 0 || r == XML_ERR_CHECKSUM, "result code");
    if (r == 0) check_preset(p);
    check(mv_selector == 2 || mv_selector == 4 || r != 0, "device");
  }
  return 0;
}
