#include "model/preset_assign.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "model/editing.h"
#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

// A refusal of the assignment being applied: its reason.
struct refusal {
  std::string reason;
};

// `s` in lower case without blanks, for comparing names of choices
// ("Gr 1 strong" and "gr1strong").
std::string squeezed(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '\t') out += c;
  return lower_ascii(out);
}

// A number with an optional unit after it ("-2.5", "-2.5dB", "990 Hz"): the
// unit is one of `units` (compared in lower case, the first is taken when
// none is written; "" allows a plain number only where it comes first).
struct quantity_t {
  double value;
  std::string unit;  // as listed in `units`
};
quantity_t read_quantity(std::string_view text, const std::vector<std::string>& units,
                         const char* what) {
  text = trim_blanks(text);
  const std::optional<decimal_prefix_t> n = read_decimal_prefix(text);
  if (!n) {
    if (looks_like_decimal_comma(text))
      throw refusal{quoted_excerpt(text) + ": use a decimal point"};
    throw refusal{quoted_excerpt(text) + " is not " + what};
  }
  const std::string unit = lower_ascii(std::string(trim_blanks(text.substr(n->length))));
  if (unit.empty()) {
    if (units.front().empty()) return {n->value, ""};
    throw refusal{quoted_excerpt(text) + " needs a unit (" + units.front() + ")"};
  }
  for (const std::string& u : units)
    if (!u.empty() && lower_ascii(u) == unit) return {n->value, u};
  std::string listed;
  for (const std::string& u : units)
    if (!u.empty()) listed += (listed.empty() ? "" : ", ") + u;
  if (looks_like_decimal_comma(text)) throw refusal{quoted_excerpt(text) + ": use a decimal point"};
  throw refusal{quoted_excerpt(text) + " is not " + what + " in " + listed};
}

// A whole number a spin button takes from `v` (halves up), inside `range`.
int whole_in(double v, value_range_t range, const std::string& shown, const char* unit) {
  if (!(std::fabs(v) < 1e6) || !range.contains(spin_whole(v)))
    throw refusal{shown + " " + unit + " is outside " + std::to_string(range.lo) + " to " +
                  std::to_string(range.hi) + " " + unit};
  return spin_whole(v);
}

// A value in tenths (dB) inside `range` after rounding to 0.1.
int tenths_in(double v, value_range_t range, const std::string& shown, const char* what) {
  if (!(std::fabs(v) < 1e6) || !range.contains(db_to_tenths(v)))
    throw refusal{shown + " dB is outside " + what + format_fixed(range.lo / 10.0, 1) + " to " +
                  (range.hi > 0 ? "+" : "") + format_fixed(range.hi / 10.0, 1) + " dB"};
  return db_to_tenths(v);
}

// The index of the entry of `names` that holds `text` (blanks and case
// ignored; each entry lists one choice's names, the first as messages show
// it); a refusal lists the choices.
int choice(std::string_view text, const std::vector<std::vector<std::string>>& names,
           const char* what) {
  const std::string key = squeezed(text);
  std::string listed;
  for (size_t i = 0; i < names.size(); ++i) {
    for (const std::string& n : names[i])
      if (squeezed(n) == key) return static_cast<int>(i);
    if (!names[i].empty()) listed += (listed.empty() ? "" : ", ") + names[i].front();
  }
  throw refusal{quoted_excerpt(text) + " is not " + what + " (" + listed + ")"};
}

// The value after '=', without one pair of double quotes around it.
std::string unquoted(std::string_view v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return std::string(v);
}

void store_name(char* field, size_t max_len, const std::string& text) {
  const name_fit_t fit = check_name(text, max_len);
  if (!fit.representable) throw refusal{quoted_excerpt(text) + " holds a character a name cannot"};
  if (!fit.fits_field)
    throw refusal{quoted_excerpt(text) + " has " + std::to_string(fit.length) +
                  " characters, at most " + std::to_string(max_len)};
  if (!fit.fits_written)
    throw refusal{quoted_excerpt(text) + " takes " + std::to_string(fit.written_length) +
                  " bytes in the file, at most " + std::to_string(XML_TEXT_MAX)};
  set_record_text(field, max_len + 1, text);
}

// ---- Crossover ----

const std::vector<std::vector<std::string>> HP_TYPES = {
    {"BW2", "Butterworth 2.", "Butterworth", "butterworth2"},
    {"LR4", "Linkwitz-Riley 4.", "Linkwitz-Riley", "linkwitzriley4"},
    {"Q1.2", "Q 1.2"}};
const std::vector<std::vector<std::string>> LP_TYPES = {
    {"off"},
    {"BW2", "Butterworth 2.", "Butterworth", "butterworth2"},
    {"LR4", "Linkwitz-Riley 4.", "Linkwitz-Riley", "linkwitzriley4"}};

// The frequency a crossover filter's field shows.
int xo_shown_hz(const xo_t& xo) {
  return xo.freq[xo_slot(xo.config)];
}

void set_xo_type(channel_t& c, int filter, int index) {
  int hp = hp_index_from_code(c.xo[0].config), lp = c.xo[1].config <= 2 ? c.xo[1].config : 0;
  (filter == 0 ? hp : lp) = index;
  apply_xo_type(c, hp, lp);
}

void set_xo_freq(channel_t& c, int filter, const std::string& text) {
  if (filter == 1 && c.xo[1].config == 0)
    throw refusal{"the low-pass is off: give its type with the frequency (lp=BW2,2500Hz)"};
  const quantity_t q = read_quantity(text, {"", "Hz", "kHz"}, "a frequency");
  const double hz = q.unit == "kHz" ? q.value * 1000.0 : q.value;
  const int whole = whole_in(hz, editor_range::xo_freq, format_general(hz, 6), "Hz");
  int hz_of[2] = {xo_shown_hz(c.xo[0]), xo_shown_hz(c.xo[1])};
  hz_of[filter] = whole;
  int16_t column[2];
  apply_xo_freq(c, hz_of[0], hz_of[1], filter, column);
}

// "LR4,100Hz", "off", "BW2": a type and optionally a frequency.
void set_xo(channel_t& c, int filter, std::string_view value) {
  const size_t comma = value.find(',');
  const int index = choice(value.substr(0, comma), filter == 0 ? HP_TYPES : LP_TYPES,
                           filter == 0 ? "a high-pass type" : "a low-pass type");
  set_xo_type(c, filter, index);
  if (comma != std::string_view::npos) {
    if (filter == 1 && index == 0) throw refusal{"an OFF low-pass takes no frequency"};
    set_xo_freq(c, filter, std::string(value.substr(comma + 1)));
  }
}

// ---- EQ bands ----

// Entries of a band's type selector: OFF, PEQ, and the shelf of bands 1 and 6.
int band_type_index(int band, std::string_view text) {
  std::vector<std::vector<std::string>> names = {{"OFF"}, {"PEQ", "PK"}};
  if (band == 0) names.push_back({"LS", "Low Shelf", "shelf"});
  if (band == 5) names.push_back({"HS", "High-Shelf", "High Shelf", "shelf"});
  const std::string key = squeezed(text);
  if (band != 0 && band != 5 &&
      (key == "ls" || key == "hs" || key == "shelf" || key == "lowshelf" || key == "high-shelf" ||
       key == "highshelf"))
    throw refusal{"band " + std::to_string(band + 1) +
                  " cannot be a shelf (band 1 is the low shelf, band 6 the high shelf)"};
  return choice(text, names, "a type of this band");
}

// The type of band `b` and its gain in dB as the editor's selector and gain
// field would take them: the other bands keep what their selectors show.
void set_band_type(channel_t& c, int b, int index, double gain_db) {
  int type_index[6];
  double shown_db[6];
  for (int k = 0; k < 6; ++k) {
    type_index[k] = std::min(peq_type_index(c.peq[k]), peq_type_count(k) - 1);
    shown_db[k] = c.peq[k].gain / 10.0;
  }
  type_index[b] = index;
  shown_db[b] = gain_db;
  int16_t row[6];
  apply_peq_types(c, type_index, shown_db, b, row);
}

double band_gain(std::string_view text, bool plain = false) {
  const quantity_t q = read_quantity(
      text, plain ? std::vector<std::string>{"", "dB"} : std::vector<std::string>{"dB"}, "a gain");
  tenths_in(q.value, editor_range::peq_gain, format_general(q.value, 6), "the band's ");
  return q.value;
}

int band_freq(std::string_view text, bool plain = false) {
  const quantity_t q = read_quantity(
      text,
      plain ? std::vector<std::string>{"", "Hz", "kHz"} : std::vector<std::string>{"Hz", "kHz"},
      "a frequency");
  const double hz = q.unit == "kHz" ? q.value * 1000.0 : q.value;
  return whole_in(hz, editor_range::peq_freq, format_general(hz, 6), "Hz");
}

double band_q(std::string_view text) {
  text = trim_blanks(text);
  if (!text.empty() && (text[0] == 'Q' || text[0] == 'q')) text.remove_prefix(1);
  const quantity_t q = read_quantity(text, {""}, "a Q");
  if (!(q.value > 0 && q.value < 1e6) || !editor_range::peq_q.contains(q_to_stored(q.value)))
    throw refusal{"Q " + format_general(q.value, 6) + " is outside " +
                  format_fixed(editor_range::peq_q.lo / 10.0, 1) + " to " +
                  format_fixed(editor_range::peq_q.hi / 10.0, 1)};
  return q.value;
}

// A gain that makes a PEQ band: 0.0 dB would store a band that is off.
void require_peq_gain(int index, double gain_db) {
  if (index == 1 && db_to_tenths(gain_db) == 0)
    throw refusal{"a PEQ band of 0.0 dB is a band that is off: give a gain"};
}

// "PEQ,990Hz,Q2.5,-3.5dB", "off", "LS,80Hz,3dB": the type first, then any
// of frequency (Hz, kHz), Q (Q2.5) and gain (dB) in any order.
void set_band(channel_t& c, int b, std::string_view value) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t comma = value.find(',', start);
    parts.push_back(trim_blanks(value.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  const int index = band_type_index(b, parts[0]);
  if (index == 0 && parts.size() > 1) throw refusal{"an OFF band takes no values"};
  std::optional<int> hz;
  std::optional<double> q, gain;
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::string p = lower_ascii(std::string(parts[i]));
    const auto ends_with = [&p](const char* u) {
      const size_t n = std::char_traits<char>::length(u);
      return p.size() > n && p.compare(p.size() - n, n, u) == 0;
    };
    if (!p.empty() && p[0] == 'q' && !q)
      q = band_q(parts[i]);
    else if (ends_with("db") && !gain)
      gain = band_gain(parts[i]);
    else if (ends_with("hz") && !hz)
      hz = band_freq(parts[i]);
    else
      throw refusal{quoted_excerpt(parts[i]) +
                    " is not a value of a band given once (990Hz, Q2.5, -3.5dB)"};
  }
  const bool was_on = peq_active(c.peq[b]);
  if (index != 0 && !gain && !was_on)
    throw refusal{"the band is off: give its gain (PEQ,990Hz,Q2.5,-3.5dB)"};
  const double gain_db = gain ? *gain : c.peq[b].gain / 10.0;
  require_peq_gain(index, gain_db);
  set_band_type(c, b, index, gain_db);
  int16_t column;
  if (hz) apply_peq_freq(c, b, *hz, column);
  if (q) apply_peq_q(c, b, *q);
}

// One value of a band: eq3.freq, eq3.q, eq3.gain, eq3.type.
void set_band_value(channel_t& c, int b, const std::string& field, std::string_view value) {
  const int index = std::min(peq_type_index(c.peq[b]), peq_type_count(b) - 1);
  if (field == "type") {
    set_band(c, b, value);
  } else if (field == "gain") {
    if (index == 0) throw refusal{"the band is off: give its type with the gain (PEQ,-3.5dB)"};
    const double db = band_gain(value, true);
    require_peq_gain(index, db);
    int16_t row;
    apply_peq_gain(c, b, index, db, row);
  } else if (field == "freq") {
    if (index == 0) throw refusal{"the band is off: give its type with the frequency"};
    int16_t column;
    apply_peq_freq(c, b, band_freq(value, true), column);
  } else if (field == "q") {
    if (index == 0) throw refusal{"the band is off: give its type with the Q"};
    apply_peq_q(c, b, band_q(value));
  } else {
    throw refusal{"a band has type, freq, q and gain"};
  }
}

// ---- Limiter and delay ----

void set_limiter(channel_t& c, const std::string& field, std::string_view value) {
  dynamics_t& d = c.dynamics;
  if (field == "threshold") {
    const quantity_t q = read_quantity(value, {"", "dB"}, "a threshold");
    d.threshold = static_cast<int8_t>(
        whole_in(q.value, editor_range::threshold, format_general(q.value, 6), "dB"));
  } else if (field == "attack") {
    const quantity_t q = read_quantity(value, {"", "ms"}, "an attack time");
    d.attack = static_cast<uint8_t>(
        whole_in(q.value, editor_range::attack, format_general(q.value, 6), "ms"));
  } else if (field == "release") {
    const quantity_t q = read_quantity(value, {"", "ms"}, "a release time");
    const value_range_t ms{RELEASE_MIN_MS, RELEASE_MAX_MS};
    d.release = release_from_ms(whole_in(q.value, ms, format_general(q.value, 6), "ms"));
  } else if (field == "gain") {
    const quantity_t q = read_quantity(value, {"", "dB"}, "a gain");
    d.boost = static_cast<int8_t>(
        whole_in(q.value, editor_range::boost, format_general(q.value, 6), "dB"));
  } else {
    throw refusal{"the limiter has threshold, attack, release and gain"};
  }
}

void set_delay(preset_t& p, int device, int ch, std::string_view value) {
  const quantity_t q = read_quantity(value, {"m", "ms", "ft", "cm"}, "a delay");
  if (q.unit == "cm") {
    if (q.value != std::floor(q.value)) throw refusal{"a delay in cm is a whole number"};
    p.channel[ch].delay = static_cast<uint16_t>(
        whole_in(q.value, editor_range::delay, format_general(q.value, 6), "cm"));
    return;
  }
  const delay_unit_t u = q.unit == "m" ? DELAY_M : q.unit == "ms" ? DELAY_MS : DELAY_FT;
  const double max = delay_unit_info(u).max;
  if (!(q.value >= 0.0 && q.value <= max))
    throw refusal{format_general(q.value, 6) + " " + q.unit + " is outside 0 to " +
                  format_general(max, 6) + " " + q.unit};
  double shown[4] = {0, 0, 0, 0};
  shown[ch] = q.value;
  char texts[4][DELAY_TEXT_SIZE];
  apply_delay_edit(p, static_cast<unsigned>(device), ch, shown, u, texts);
}

// ---- Channels and the preset ----

const std::vector<std::vector<std::string>> LOCKS = {
    {"routing"},        {"xo", "crossover"}, {"peq", "eq"},
    {"limiter", "dyn"}, {"delay"},           {"links", "mute/level link", "mute-level"}};
const uint8_t LOCK_BITS[6] = {LOCK_ROUTING, LOCK_XO,    LOCK_PEQ,
                              LOCK_DYN,     LOCK_DELAY, LOCK_MUTE_LEVEL};

void set_lock(preset_t& p, std::string_view value) {
  uint8_t bits = 0;
  const std::string all = squeezed(value);
  if (all == "all") {
    bits = LOCK_EDITING;
  } else if (all != "none") {
    for (size_t start = 0;;) {
      const size_t comma = value.find(',', start);
      bits |= LOCK_BITS[choice(trim_blanks(value.substr(start, comma - start)), LOCKS,
                               "a lock (or none, all)")];
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
  }
  // The factory mark and the bit the editor does not show stay.
  p.lock = static_cast<uint8_t>((p.lock & ~LOCK_EDITING) | bits);
}

std::vector<std::vector<std::string>> labels_of(const char* const* labels, int count) {
  std::vector<std::vector<std::string>> out;
  for (int i = 0; i < count; ++i) out.push_back({labels[i]});
  return out;
}

void set_channel(preset_t& p, int device, int ch, const std::string& key, std::string_view value) {
  channel_t& c = p.channel[ch];
  const unsigned channels = static_cast<unsigned>(device);
  const size_t dot = key.find('.');
  const std::string head = key.substr(0, dot);
  const std::string field = dot == std::string::npos ? "" : key.substr(dot + 1);
  if (head == "name" && field.empty()) {
    store_name(c.name, CHANNEL_NAME_MAX, unquoted(value));
  } else if (head == "level" && field.empty()) {
    const quantity_t q = read_quantity(value, {"", "dB"}, "a level");
    tenths_in(q.value, editor_range::gain, format_general(q.value, 6), "");
    change_level(p, channels, static_cast<unsigned>(ch), q.value);
  } else if (head == "mute" && field.empty()) {
    const bool on = choice(value, {{"off", "0", "no"}, {"on", "1", "yes"}}, "on or off") == 1;
    p.mute = mute_after_toggle(p, channels, static_cast<unsigned>(ch), on);
  } else if (head == "polarity" && field.empty()) {
    c.phase = static_cast<uint8_t>(
        choice(value, {{"normal", "0", "0°"}, {"inverted", "180", "180°"}}, "a polarity"));
  } else if (head == "routing" && field.empty()) {
    std::vector<std::vector<std::string>> names;
    for (int i = 0; i <= editor_range::routing(device).hi; ++i)
      names.push_back({routing_label(device, static_cast<unsigned>(i))});
    c.routing = static_cast<uint8_t>(choice(value, names, "a routing of this device"));
  } else if (head == "level_group" && field.empty()) {
    const int n = static_cast<int>(editor_range::level_group(device).hi) + 1;
    c.groups = groups_with_level_group(
        c.groups, choice(value, labels_of(level_group_labels, n), "a level group of this device"));
  } else if (head == "mute_group" && field.empty()) {
    c.groups = groups_with_mute_group(
        c.groups, choice(value, labels_of(mute_group_labels, 5), "a mute group"));
  } else if ((head == "hp" || head == "lp") && field.empty()) {
    set_xo(c, head == "lp", value);
  } else if ((head == "hp" || head == "lp") && (field == "type" || field == "freq")) {
    const int filter = head == "lp";
    if (field == "type")
      set_xo_type(c, filter,
                  choice(value, filter ? LP_TYPES : HP_TYPES,
                         filter ? "a low-pass type" : "a high-pass type"));
    else
      set_xo_freq(c, filter, std::string(value));
  } else if (head.size() == 3 && head.compare(0, 2, "eq") == 0 && head[2] >= '1' &&
             head[2] <= '6') {
    const int band = head[2] - '1';
    if (field.empty())
      set_band(c, band, value);
    else
      set_band_value(c, band, field, value);
  } else if (head == "limiter" && !field.empty()) {
    set_limiter(c, field, value);
  } else if (head == "delay" && field.empty()) {
    set_delay(p, device, ch, value);
  } else {
    throw refusal{"unknown key " + quoted_excerpt(key) + " (see the list of keys)"};
  }
}

void apply_one(preset_t& p, int device, const std::string& assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos) throw refusal{"KEY=VALUE expected"};
  const std::string key =
      lower_ascii(std::string(trim_blanks(std::string_view(assignment).substr(0, eq))));
  const std::string_view value = trim_blanks(std::string_view(assignment).substr(eq + 1));
  if (key == "preset.name") {
    store_name(p.name, PRESET_NAME_MAX, unquoted(value));
    return;
  }
  if (key == "preset.lock") {
    set_lock(p, value);
    return;
  }
  const size_t dot = key.find('.');
  if (dot != 1 || key[0] < 'a' || key[0] > 'z')
    throw refusal{"unknown key " + quoted_excerpt(key) +
                  " (keys start with a channel letter or \"preset.\")"};
  const int ch = key[0] - 'a';
  if (ch >= device)
    throw refusal{std::string("an ") + device_name(device) + " has channels A " +
                  (device == 2 ? "and " : "to ") +
                  channel_letter(static_cast<unsigned>(device - 1))};
  set_channel(p, device, ch, key.substr(2), value);
}

}  // namespace

std::optional<std::string> apply_assignments(preset_t& p, int device,
                                             const std::vector<std::string>& assignments) {
  preset_t work = p;
  for (const std::string& a : assignments) {
    try {
      apply_one(work, device == MV961 ? MV961 : MV517, a);
    } catch (const refusal& r) {
      return text_excerpt(a) + ": " + r.reason;
    }
  }
  p = work;
  return std::nullopt;
}

std::string assignment_keys_help() {
  return "  preset.name=TEXT            at most 12 characters\n"
         "  preset.lock=LOCK,...        routing, xo, peq, limiter, delay, links; none; all\n"
         "  X.name=TEXT                 at most 9 characters (X: a channel letter)\n"
         "  X.level=DB                  -99.0 to +6.0 dB, 0.1 dB; its level group follows\n"
         "  X.mute=on|off               its mute group follows\n"
         "  X.polarity=normal|inverted  (also 0, 180)\n"
         "  X.routing=LABEL             as the routing selector shows it (A/d1(L), ...)\n"
         "  X.level_group=GROUP         independent, Gr 1, Gr 2 (MV961: independent, Gr 1)\n"
         "  X.mute_group=GROUP          independent, Gr 1 strong, Gr 1 weak, Gr 2 strong,\n"
         "                              Gr 2 weak\n"
         "  X.hp=TYPE[,FREQ]            BW2, LR4 or Q1.2; 35 to 8000 Hz (100Hz, 1.2kHz)\n"
         "  X.lp=TYPE[,FREQ]            off, BW2 or LR4; 35 to 8000 Hz\n"
         "  X.hp.type=TYPE, X.hp.freq=FREQ, X.lp.type=TYPE, X.lp.freq=FREQ\n"
         "  X.eqN=TYPE[,FREQ][,QN][,GAIN]  band N (1-6): OFF, PEQ, LS (band 1), HS (band 6);\n"
         "                              35 to 12000 Hz, Q0.7 to Q12.5, -12.0 to +12.0 dB\n"
         "  X.eqN.type=TYPE, X.eqN.freq=FREQ, X.eqN.q=Q, X.eqN.gain=DB\n"
         "  X.limiter.threshold=DB      -24 to 0 dB, whole dB\n"
         "  X.limiter.attack=MS         0 to 127 ms\n"
         "  X.limiter.release=MS        0 to 1270 ms, stored in steps of 10 ms\n"
         "  X.limiter.gain=DB           -99 to 0 dB\n"
         "  X.delay=DELAY               with a unit: m (0 to 400), ms (0 to 1164.82),\n"
         "                              ft (0 to 1312.34) or cm (0 to 40000); truncated to cm\n";
}
