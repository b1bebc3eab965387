#include "model/preset.h"

#include <cmath>
#include <cstring>

preset_t preset;
int new_preset = 0;
int8_t mv_selector = MV517;
unsigned int mv_type = MV517;
uint16_t tree_select = 0x0001;

namespace {

constexpr channel_t default_channel(const char (&name)[10], uint8_t routing) {
  channel_t c{};
  for (int i = 0; i < 10; ++i) c.name[i] = name[i];
  c.routing = routing;
  c.gain = 0;
  c.groups = 0;
  c.phase = 0;
  c.xo[0] = xo_t{1, {35, 35}, {12, 7}};
  c.xo[1] = xo_t{0, {120, 120}, {7, 7}};
  const uint16_t freqs[6] = {50, 100, 500, 1000, 5000, 10000};
  for (int b = 0; b < 6; ++b) c.peq[b] = peq_t{freqs[b], 7, 0, 0};
  c.dynamics = dynamics_t{1, 10, 0, 0};
  c.delay = 0;
  return c;
}

constexpr preset_t make_default() {
  preset_t p{};
  const char name[13] = "Preset";
  for (int i = 0; i < 13; ++i) p.name[i] = name[i];
  p.channel[0] = default_channel("Out A    ", 0);
  p.channel[1] = default_channel("Out B    ", 1);
  p.channel[2] = default_channel("Out C    ", 2);
  p.channel[3] = default_channel("Out D    ", 3);
  p.mute = 0;
  p.lock = 0;
  return p;
}

const char* const routing_mv517[11] = {"A/d1(L)",    "B/d2(L)",       "C/d1(R)",      "D/d2(R)",
                                       "C always",   "D always",      "A+B/d1(L+R)",  "C+D/d2(L+R)",
                                       "C+D always", "B+C+D/d2L+C+D", "A+B+C+D/d1+d2"};
const char* const routing_mv961[4] = {"A/d1(L)", "B/d1(R)", "B always", "A+B/d1(L+R)"};

const char* const peq_labels_first[3] = {"OFF", "PEQ", "Low Shelf"};
const char* const peq_labels_middle[2] = {"OFF", "PEQ"};
const char* const peq_labels_last[3] = {"OFF", "PEQ", "High-Shelf"};

}  // namespace

const preset_t preset_def = make_default();

void Create_Default_Preset(preset_t* p) {
  *p = preset_def;
}

const char* device_name(int selector) {
  return selector == MV517 ? "MV517" : "MV961";
}

int routing_count(int device) {
  return device == MV961 ? 4 : 11;
}

const char* routing_label(int device, unsigned code) {
  if (code >= static_cast<unsigned>(routing_count(device))) return nullptr;
  return device == MV961 ? routing_mv961[code] : routing_mv517[code];
}

int input_mode_count(int device) {
  return device == MV961 ? 2 : 4;
}

const char* input_mode_label(int device, int mode) {
  static const char* const mv517_modes[4] = {"Inputs Analog", "Input 1 Digital", "Input 2 Digital",
                                             "Inputs Digital"};
  static const char* const mv961_modes[2] = {"Inputs Analog", "Inputs Digital"};
  if (mode < 0 || mode >= input_mode_count(device)) return nullptr;
  return device == MV961 ? mv961_modes[mode] : mv517_modes[mode];
}

const char* const level_group_labels[3] = {"independent", "Gr 1", "Gr 2"};
const char* const mute_group_labels[5] = {"independent", "Gr 1 strong", "Gr 1 weak", "Gr 2 strong",
                                          "Gr 2 weak"};

int level_group_index(uint8_t groups) {
  const int code = groups & 0x0F;
  return code <= 2 ? code : 0;
}

uint8_t level_group_code(int index) {
  return (index >= 0 && index <= 2) ? static_cast<uint8_t>(index) : 0;
}

int mute_group_index(uint8_t groups) {
  switch (groups & 0xF0) {
    case 0x20:
      return 1;
    case 0x30:
      return 2;
    case 0x40:
      return 3;
    case 0x50:
      return 4;
    default:
      return 0;
  }
}

uint8_t mute_group_code(int index) {
  static const uint8_t codes[5] = {0x00, 0x20, 0x30, 0x40, 0x50};
  return (index >= 0 && index <= 4) ? codes[index] : 0;
}

const char* const hp_type_labels[3] = {"Butterworth 2.", "Linkwitz-Riley 4.", "Q 1.2"};
const char* const lp_type_labels[3] = {"OFF", "Butterworth 2.", "Linkwitz-Riley 4."};

uint8_t hp_code_from_index(int index) {
  return static_cast<uint8_t>(((index % 3) + 4) % 3);
}
int hp_index_from_code(uint8_t code) {
  return (code + 2) % 3;
}

namespace {

bool linkwitz_riley(uint8_t config) {
  return config == XO_LINKWITZ_RILEY;
}

}  // namespace

int xo_slot(uint8_t config) {
  return linkwitz_riley(config) ? 1 : 0;
}

int xo_order(uint8_t config) {
  return linkwitz_riley(config) ? 1 : 0;
}

uint8_t xo_fixed_q(int filter, uint8_t config) {
  return (filter == 0 && config == 0) ? 12 : 7;
}

void xo_apply_build_q(channel_t& ch, int filter) {
  xo_t& xo = ch.xo[filter];
  if (filter == 0) {
    xo.q[0] = xo_fixed_q(0, xo.config);
  } else if (xo.config == 1 || xo.config == 2) {
    xo.q[1] = 7;
  }
}

void channel_apply_build_q(channel_t& ch) {
  xo_apply_build_q(ch, 0);
  xo_apply_build_q(ch, 1);
}

void apply_build_q(preset_t& p, int channels) {
  for (int n = 0; n < channels && n < 4; ++n) channel_apply_build_q(p.channel[n]);
}

int peq_type_count(int band) {
  return (band == 0 || band == 5) ? 3 : 2;
}

const char* peq_type_label(int band, int index) {
  if (index < 0 || index >= peq_type_count(band)) return nullptr;
  if (band == 0) return peq_labels_first[index];
  if (band == 5) return peq_labels_last[index];
  return peq_labels_middle[index];
}

int peq_type_index(const peq_t& band) {
  if (band.type != 0) return 2;
  return band.gain != 0 ? 1 : 0;
}

bool peq_active(const peq_t& band) {
  return peq_type_index(band) != 0;
}

const lock_flag_t lock_flags[6] = {
    {LOCK_DELAY, "delay"},
    {LOCK_PEQ, "parametric EQ"},
    {LOCK_XO, "crossover"},
    {LOCK_DYN, "limiter"},
    {LOCK_ROUTING, "routing & polarity"},
    {LOCK_MUTE_LEVEL, "mute/level link"},
};

int db_to_tenths(double db) {
  return static_cast<int>(std::lround(db * 10.0));
}

int q_to_stored(double q) {
  return static_cast<int>(q * 10.0 + 0.5);
}

int release_to_stored(double ms) {
  return static_cast<int>(std::trunc(ms / 10.0));
}

int delay_to_cm(double value, delay_unit_t unit) {
  double cm = 0.0;
  switch (unit) {
    case DELAY_M:
      cm = value * 100.0;
      break;
    case DELAY_MS:
      cm = value / 10.0 * SPEED_OF_SOUND;
      break;
    case DELAY_FT:
      cm = value * FOOT * 100.0;
      break;
  }
  // Allow for representation error before truncating toward zero.
  const double eps = 1e-6;
  const double t = cm >= 0 ? std::floor(cm + eps) : std::ceil(cm - eps);
  return static_cast<int>(t);
}

double cm_to_delay(int cm, delay_unit_t unit) {
  switch (unit) {
    case DELAY_M:
      return cm / 100.0;
    case DELAY_MS:
      return cm / SPEED_OF_SOUND * 10.0;
    case DELAY_FT:
      return cm / 100.0 / FOOT;
  }
  return 0.0;
}

double shown_value(shown_field field, long stored, delay_unit_t unit) {
  switch (field) {
    case shown_field::level:
    case shown_field::peq_gain:
    case shown_field::peq_q:
      return stored / 10.0;
    case shown_field::release:
      return stored * 10.0;
    case shown_field::delay:
      return cm_to_delay(static_cast<int>(stored), unit);
    case shown_field::frequency:
    case shown_field::attack:
    case shown_field::threshold:
    case shown_field::boost:
      break;
  }
  return static_cast<double>(stored);
}

double delay_step(delay_unit_t unit) {
  return cm_to_delay(1, unit);
}

// ---- Record text <-> UTF-8 ----

uint32_t code_point_of_byte(uint8_t b) {
  return is_arrow_byte(b) ? ARROW_CODE_POINT_FIRST + (b - ARROW_BYTE_FIRST) : b;
}

namespace {

bool is_arrow(uint32_t cp) {
  return cp >= ARROW_CODE_POINT_FIRST &&
         cp <= ARROW_CODE_POINT_FIRST + (ARROW_BYTE_LAST - ARROW_BYTE_FIRST);
}

uint8_t arrow_byte(uint32_t cp) {
  return static_cast<uint8_t>(ARROW_BYTE_FIRST + (cp - ARROW_CODE_POINT_FIRST));
}

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

uint8_t byte_read_from_file(uint32_t cp) {
  if (is_arrow(cp)) return arrow_byte(cp);
  return cp <= 0xFF ? static_cast<uint8_t>(cp) : '?';
}

uint8_t byte_of_typed(uint32_t cp) {
  if (is_arrow(cp)) return arrow_byte(cp);
  // Control characters have no place in a name: a carriage return would
  // even read back as a line feed.
  if (cp < 0x20 || cp == 0x7F) return 0;
  if (cp <= 0xFF && !is_arrow_byte(static_cast<uint8_t>(cp))) return static_cast<uint8_t>(cp);
  return 0;
}

uint32_t next_utf8(const std::string& s, size_t& i) {
  const auto b0 = static_cast<uint8_t>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra;
  uint32_t cp;
  uint32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++i;
    return UTF8_INVALID;
  }
  if (i + static_cast<size_t>(extra) >= s.size()) {  // sequence cut short
    ++i;
    return UTF8_INVALID;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<uint8_t>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return UTF8_INVALID;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return UTF8_INVALID;
  }
  i += extra + 1;
  return cp;
}

std::string valid_utf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t start = i;
    if (next_utf8(text, i) == UTF8_INVALID)
      out += '?';
    else
      out.append(text, start, i - start);
  }
  return out;
}

std::string record_to_utf8(const char* bytes, size_t max_len) {
  std::string out;
  for (size_t i = 0; i < max_len && bytes[i] != '\0'; ++i)
    append_utf8(out, code_point_of_byte(static_cast<uint8_t>(bytes[i])));
  return out;
}

std::string utf8_to_record(const std::string& utf8, size_t max_len) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size() && out.size() < max_len) {
    const uint8_t b = byte_of_typed(next_utf8(utf8, i));
    out += b ? static_cast<char>(b) : '?';
  }
  return out;
}

void set_record_text(char* field, size_t field_size, const std::string& utf8) {
  if (field_size == 0) return;
  const std::string bytes = utf8_to_record(utf8, field_size - 1);
  std::memcpy(field, bytes.data(), bytes.size());
  field[bytes.size()] = '\0';
}

size_t written_text_length(const std::string& record_bytes) {
  size_t n = 0;
  for (char ch : record_bytes) {
    const auto b = static_cast<uint8_t>(ch);
    if (b == '<' || b == '>') {
      n += 4;  // &lt; &gt;
    } else if (b == '&') {
      n += 5;  // &amp;
    } else if (is_arrow_byte(b)) {
      n += 8;  // &#x2190;
    } else if (b > ARROW_BYTE_LAST) {
      n += 6;  // &#xe4;
    } else {
      n += 1;
    }
  }
  return n;
}

std::string name_refusal(const std::string& utf8, size_t max_len) {
  const name_fit_t fit = check_name(utf8, max_len);
  if (!fit.representable) return "a character that cannot be stored in a name";
  if (!fit.fits_field)
    return "the name is full: at most " + std::to_string(max_len) + " characters";
  if (!fit.fits_written)
    return "the name is full: at most " + std::to_string(XML_TEXT_MAX) +
           " bytes in the preset file";
  return "";
}

name_fit_t check_name(const std::string& utf8, size_t max_len) {
  name_fit_t fit{true, true, true, 0, 0};
  std::string bytes;
  size_t i = 0;
  while (i < utf8.size()) {
    const uint8_t b = byte_of_typed(next_utf8(utf8, i));
    if (!b) fit.representable = false;
    bytes += b ? static_cast<char>(b) : '?';
  }
  fit.length = bytes.size();
  fit.fits_field = fit.length <= max_len;
  fit.written_length = written_text_length(bytes);
  fit.fits_written = fit.written_length <= XML_TEXT_MAX;
  return fit;
}
