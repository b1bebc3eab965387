// Cost of saving and opening a preset file (checksum, write, read-back
// check, rename; checksum check and parse).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "files/xml.h"

namespace {

std::string scratch(const char* name) {
  return "/tmp/qbn-bench-" + std::to_string(getpid()) + "-" + name;
}

preset_t tuned_preset() {
  preset_t p = preset_def;
  std::strcpy(p.name, "Bench <A&B>");
  for (channel_t& c : p.channel) {
    c.gain = -35;
    c.delay = 1234;
    c.peq[2] = peq_t{800, 14, 25, 0};
  }
  return p;
}

void BM_WritePresetFile(benchmark::State& state) {
  const std::string f = scratch("write.qpx");
  const preset_t p = tuned_preset();
  for (auto _ : state) {
    if (xml_write(f.c_str(), &p, MV517) != 0) state.SkipWithError("write failed");
  }
  unlink(f.c_str());
}
BENCHMARK(BM_WritePresetFile)->Unit(benchmark::kMicrosecond);

void BM_ReadPresetFile(benchmark::State& state) {
  const std::string f = scratch("read.qpx");
  const preset_t p = tuned_preset();
  xml_write(f.c_str(), &p, MV517);
  preset_t back;
  for (auto _ : state) {
    if (xml_read(f.c_str(), &back, 0) != 0 || xml_error != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(back);
  }
  unlink(f.c_str());
}
BENCHMARK(BM_ReadPresetFile)->Unit(benchmark::kMicrosecond);

}  // namespace
