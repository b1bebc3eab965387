// The filter text reader on any bytes: a text taken gives bands the device
// can hold, exported and read again the same; every message short UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

#include "../support/utf8_check.h"
#include "fuzz_check.h"
#include "model/filter_text.h"

namespace {

// Each line of a message: valid UTF-8 and short.
void check_message(const std::string& message) {
  check(is_valid_utf8(message), "message valid UTF-8");
  size_t start = 0;
  while (start < message.size()) {
    size_t end = message.find('\n', start);
    if (end == std::string::npos) end = message.size();
    check(end - start <= 400, "message lines short");
    start = end + 1;
  }
}

bool same_band(const peq_t& a, const peq_t& b) {
  return a.freq == b.freq && a.q == b.q && a.gain == b.gain && a.type == b.type;
}

// A channel with bands and a level that are not the defaults.
channel_t tuned_channel() {
  channel_t ch = preset_def.channel[1];
  ch.gain = -35;
  for (int b = 0; b < 6; ++b) ch.peq[b] = {static_cast<uint16_t>(60 + 900 * b), 14, 0, 0};
  ch.peq[2].gain = 30;
  return ch;
}

void check_taken(const channel_t& ch, const filter_import_t& r) {
  int taken = 0;
  for (int b = 0; b < 6; ++b) {
    const peq_t& p = r.bands[b];
    if (!(r.band_mask & (1u << b))) {
      check(p.gain == 0 && p.type == 0 && p.freq == ch.peq[b].freq && p.q == ch.peq[b].q,
            "an untaken band is off and keeps frequency and Q");
      continue;
    }
    ++taken;
    check(p.freq >= 35 && p.freq <= 12000 && p.gain >= -120 && p.gain <= 120, "band ranges");
    check(p.type == 0 ? p.q >= 7 && p.q <= 125 && p.gain != 0 : p.type == 1 && (b == 0 || b == 5),
          "a peaking band with a Q and a gain, a shelf only in band 1 or 6");
  }
  check(taken > 0 && r.band_mask < 64, "some band taken");
  check(!r.level_set || (r.gain >= -990 && r.gain <= 60), "the level in its range");

  // Written out and read again: the same bands.
  preset_t p = preset_def;
  p.channel[1] = ch;
  check(apply_filter_import(p, MV517, 1, r), "a taken text applies");
  const channel_t& applied = p.channel[1];
  const std::string text = export_filter_text(applied, "round trip");
  const filter_import_t again = import_filter_text(text, applied);
  check(again.ok, "the exported text is taken");
  check(again.band_mask == r.band_mask, "the same bands taken");
  for (int b = 0; b < 6; ++b) check(same_band(again.bands[b], r.bands[b]), "the same band values");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const channel_t ch = tuned_channel();
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (bool apply_preamp : {false, true}) {
    const filter_import_t r = import_filter_text(text, ch, apply_preamp);
    check_message(r.message());
    if (r.ok)
      check_taken(ch, r);
    else
      check(r.band_mask == 0 && r.notes.empty() && !r.reason.empty(), "a refusal keeps nothing");
  }
  return 0;
}
