#include "model/preset_diff.h"

#include <cstdio>
#include <cstring>

#include "model/editing.h"
#include "model/text_format.h"

namespace {

// UTF-8 text with the characters display_text escapes shown as \xNN.
std::string escape_controls(const std::string& utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    const size_t start = i;
    const uint32_t cp = next_utf8(utf8, i);
    if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F)) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(cp));
      out += buf;
    } else if (cp == UTF8_INVALID) {
      out += '?';
    } else {
      out.append(utf8, start, i - start);
    }
  }
  return out;
}

// Collects the differences in walk order.
class walker {
 public:
  explicit walker(std::vector<value_difference_t>& out) : out_(out) {}

  // Where the next values belong: a channel (or -1), its part, and the
  // name first_difference gives the group.
  void at(int channel, std::string part, std::string scope) {
    channel_ = channel;
    part_ = std::move(part);
    scope_ = std::move(scope);
  }

  // A stored number with its texts on each side.
  void value(const std::string& field, long a, long b, std::string ta, std::string tb) {
    if (a == b) return;
    if (ta == tb) {
      ta += " (stored " + std::to_string(a) + ")";
      tb += " (stored " + std::to_string(b) + ")";
    }
    push(field, std::move(ta), std::move(tb), a, b, false);
  }
  template <typename Text>
  void value(const std::string& field, long a, long b, Text text) {
    value(field, a, b, text(a), text(b));
  }

  void name(const char* a, const char* b, size_t size) {
    if (std::strncmp(a, b, size) == 0) return;
    push("name", record_to_utf8(a, size), record_to_utf8(b, size), 0, 0, true);
  }

 private:
  void push(const std::string& field, std::string ta, std::string tb, long a, long b,
            bool is_name) {
    value_difference_t d;
    d.channel = channel_;
    d.part = part_;
    d.field = field;
    d.before = std::move(ta);
    d.after = std::move(tb);
    d.stored_before = a;
    d.stored_after = b;
    d.is_name = is_name;
    d.scope = scope_;
    out_.push_back(std::move(d));
  }

  std::vector<value_difference_t>& out_;
  int channel_ = -1;
  std::string part_, scope_;
};

// A crossover filter's frequency or Q slots: one value when each side keeps
// both slots equal (as the editor stores them), else each slot.
template <typename T, typename Text>
void slots(walker& w, const std::string& field, const T (&a)[2], const T (&b)[2], Text text) {
  if (a[0] == a[1] && b[0] == b[1]) {
    w.value(field, a[0], b[0], text);
    return;
  }
  for (int s = 0; s < 2; ++s) w.value(field + " [" + std::to_string(s) + "]", a[s], b[s], text);
}

void channel_walk(walker& w, int n, const channel_t& a, int device_a, const channel_t& b,
                  int device_b) {
  const std::string scope = "channel " + std::to_string(n + 1) + " ";
  w.at(n, "", scope + "name");
  w.name(a.name, b.name, sizeof a.name);
  w.at(n, "", scope + "routing");
  w.value("routing", a.routing, b.routing, routing_text(device_a, a.routing),
          routing_text(device_b, b.routing));
  w.at(n, "", scope + "level");
  w.value("level", a.gain, b.gain, tenths_db_text);
  w.at(n, "", scope + "groups");
  w.value("level group", a.groups & 0x0F, b.groups & 0x0F,
          [](long g) { return std::string(level_group_labels[level_group_index(g)]); });
  w.value("mute group", a.groups & 0xF0, b.groups & 0xF0,
          [](long g) { return std::string(mute_group_labels[mute_group_index(g)]); });
  w.at(n, "", scope + "polarity");
  w.value("polarity", a.phase, b.phase, polarity_text);
  for (int f = 0; f < 2; ++f) {
    const char* part = f == 0 ? "high-pass" : "low-pass";
    const xo_t &x = a.xo[f], &y = b.xo[f];
    w.at(n, part, scope + part);
    w.value("type", x.config, y.config, [f](long c) { return xo_type_text(f, c); });
    slots(w, "frequency", x.freq, y.freq, hz_text);
    slots(w, "Q", x.q, y.q, q_text);
  }
  for (int e = 0; e < 6; ++e) {
    const std::string part = "EQ band " + std::to_string(e + 1);
    const peq_t &x = a.peq[e], &y = b.peq[e];
    w.at(n, part, scope + part);
    w.value("type", x.type, y.type, band_type_text(e, x), band_type_text(e, y));
    w.value("frequency", x.freq, y.freq, hz_text);
    w.value("Q", x.q, y.q, q_text);
    w.value("gain", x.gain, y.gain, tenths_db_text);
  }
  const dynamics_t &x = a.dynamics, &y = b.dynamics;
  w.at(n, "limiter", scope + "limiter");
  w.value("attack", x.attack, y.attack, ms_text);
  w.value("release", x.release, y.release, release_text);
  w.value("threshold", x.threshold, y.threshold, whole_db_text);
  w.value("gain", x.boost, y.boost, whole_db_text);
  w.at(n, "", scope + "delay");
  w.value("delay", a.delay, b.delay, [](long v) { return delay_text(v, DELAY_M); });
}

}  // namespace

std::string tenths_db_text(long tenths) {
  return format_fixed(tenths / 10.0, 1) + " dB";
}

std::string whole_db_text(long db) {
  return std::to_string(db) + " dB";
}

std::string hz_text(long hz) {
  return std::to_string(hz) + " Hz";
}

std::string q_text(long q_x10) {
  return format_fixed(q_x10 / 10.0, 1);
}

std::string ms_text(long ms) {
  return std::to_string(ms) + " ms";
}

std::string release_text(long stored) {
  return ms_text(stored * 10);
}

std::string polarity_text(long phase) {
  return phase == 0 ? "0°" : phase == 1 ? "180°" : "code " + std::to_string(phase);
}

std::string on_off_text(long v) {
  return v ? "on" : "off";
}

std::string delay_text(long cm, delay_unit_t unit) {
  return format_fixed(cm_to_delay(static_cast<int>(cm), unit), 2) + delay_unit_info(unit).suffix;
}

std::string level_group_text(uint8_t groups, int device) {
  const int index = level_group_index(groups);
  return std::string(level_group_labels[index]) +
         (index == 2 && device == MV961 ? " (not on the MV961)" : "");
}

std::string mute_group_text(uint8_t groups, int device) {
  const int index = mute_group_index(groups);
  return std::string(mute_group_labels[index]) +
         (index >= 3 && device == MV961 ? " (not on the MV961)" : "");
}

std::string band_type_text(int band, const peq_t& p) {
  const char* label = peq_type_label(band, peq_type_index(p));
  return label ? label : "Shelf (not allowed on this band)";
}

std::string channel_name_text(const channel_t& ch) {
  std::string name = display_text(ch.name, CHANNEL_NAME_MAX);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

std::string display_text(const char* bytes, size_t max_len) {
  std::string out;
  for (size_t i = 0; i < max_len && bytes[i] != '\0'; ++i) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (b < 0x20 || b == 0x7F || (b >= 0x86 && b <= 0x9F)) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", b);
      out += buf;
    } else {
      out += record_to_utf8(&bytes[i], 1);
    }
  }
  return out;
}

std::string display_name(const char* bytes, size_t max_len) {
  size_t n = 0;
  while (n < max_len && bytes[n] != '\0') ++n;
  while (n > 0 && bytes[n - 1] == ' ') --n;
  return display_text(bytes, n);
}

std::string lock_text(uint8_t lock) {
  std::string out;
  auto add = [&out](const std::string& name) { out += (out.empty() ? "" : ", ") + name; };
  for (const lock_flag_t& flag : lock_flags) {
    if (lock & flag.mask) add(flag.name);
  }
  if (lock & 0x40) add("bit 6");
  if (lock & LOCK_FACTORY) add("factory preset");
  return out.empty() ? "none" : out;
}

std::string routing_text(int device, uint8_t code) {
  const char* label = routing_label(device, code);
  if (label) return label;
  return "code " + std::to_string(code) + " (no entry on the " + device_name(device) + ")";
}

std::string xo_type_text(int filter, uint8_t config) {
  if (config > 2) return "code " + std::to_string(config);
  return filter == 0 ? hp_type_labels[hp_index_from_code(config)] : lp_type_labels[config];
}

char channel_letter(unsigned ch) {
  return static_cast<char>('A' + (ch & 3));
}

std::string channel_letters(unsigned mask) {
  std::string out;
  for (unsigned ch = 0; ch < 4; ++ch)
    if (mask & (1u << ch)) out += std::string(out.empty() ? "" : ", ") + channel_letter(ch);
  return out;
}

std::string channel_label(const preset_t& p, unsigned ch) {
  ch &= 3;
  return std::string("Out ") + channel_letter(ch) + " \"" +
         display_name(p.channel[ch].name, CHANNEL_NAME_MAX) + "\"";
}

std::vector<value_difference_t> preset_differences(const preset_t& a, int device_a,
                                                   const preset_t& b, int device_b,
                                                   unsigned channels) {
  std::vector<value_difference_t> out;
  walker w(out);
  if (channels > 4) channels = 4;
  w.at(-1, "", "device");
  w.value("device", device_a, device_b, [](long d) { return std::string(device_name(d)); });
  w.at(-1, "", "name");
  w.name(a.name, b.name, sizeof a.name);
  for (unsigned n = 0; n < channels; ++n) {
    w.at(n, "", "mute");
    w.value("mute", (a.mute >> n) & 1, (b.mute >> n) & 1, on_off_text);
  }
  // Flags of channels not compared, and bits 4-7, as the byte they are in.
  const unsigned rest = 0xFFu << channels & 0xFF;
  if (channels == 4) {
    w.at(-1, "", "mute");
    w.value("mute flags", a.mute & rest, b.mute & rest, [](long v) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "0x%02lx", static_cast<unsigned long>(v));
      return std::string(buf);
    });
  }
  w.at(-1, "", "lock");
  w.value("lock", a.lock, b.lock, [](long v) { return lock_text(static_cast<uint8_t>(v)); });
  for (unsigned n = 0; n < channels; ++n)
    channel_walk(w, n, a.channel[n], device_a, b.channel[n], device_b);
  return out;
}

std::string difference_line(const value_difference_t& d, const preset_t& a) {
  std::string line;
  if (d.channel < 0) {
    line = "Preset";
  } else {
    line = channel_label(a, d.channel);
  }
  if (!d.part.empty()) line += "  " + d.part;
  line += "  " + d.field + "  ";
  if (d.is_name)
    line += "\"" + escape_controls(d.before) + "\" -> \"" + escape_controls(d.after) + "\"";
  else
    line += d.before + " -> " + d.after;
  return line;
}

// first_difference is the first entry of the same walk.
std::string first_difference(const preset_t& a, const preset_t& b) {
  const std::vector<value_difference_t> d = preset_differences(a, MV517, b, MV517);
  return d.empty() ? "" : d.front().scope;
}
