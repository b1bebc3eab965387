#include "model/filter_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "model/editing.h"
#include "model/text_format.h"

namespace {

std::string trim(const std::string& s) {
  return std::string(trim_blanks(s));
}

std::vector<std::string> tokens(const std::string& s) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    const size_t start = i;
    while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i > start) out.push_back(s.substr(start, i - start));
  }
  return out;
}

// A number as the text gave it (up to 6 significant digits, no trailing
// zeros), for messages.
std::string as_given(double v) {
  return format_general(v, 6);
}

// A number token, possibly with a unit glued to it ("125Hz", "-3dB"): the
// value and the unit in upper case; nullopt when the token does not start
// with a finite number.
struct number_t {
  double value;
  std::string unit;
};
std::optional<number_t> parse_number(const std::string& token) {
  const std::optional<decimal_prefix_t> n = read_decimal_prefix(token);
  if (!n) return std::nullopt;
  return number_t{n->value, upper_ascii(token.substr(n->length))};
}

enum class kind_t { peak, low_shelf, high_shelf };

// One filter line, read.
struct filter_line_t {
  int line;
  int number;  // N of "Filter N:", 0 when the line has none
  kind_t kind;
  double hz;
  double db;
  bool has_q = false;
  double q = 0.0;
  bool from_bw = false;
  double bw = 0.0;
};

// The reading of one line: a filter, a preamp, nothing (comment, blank,
// filter off) or a refusal.
struct line_result_t {
  enum { none, filter, preamp_line, refused } what = none;
  filter_line_t f{};
  double preamp = 0.0;
  std::string reason;
  std::string note;  // for a line left out
};

line_result_t refuse(std::string reason) {
  line_result_t r;
  r.what = line_result_t::refused;
  r.reason = std::move(reason);
  return r;
}

// Reads the value after a keyword: a number and, in the next token or glued
// to it, one of `units` (upper case; the first is the default, "" for a
// plain number).
std::optional<std::string> read_value(const std::vector<std::string>& t, size_t& i,
                                      const std::vector<std::string>& units, double& value,
                                      std::string& unit) {
  if (i >= t.size()) return "a number is missing";
  const std::string& token = t[i];
  const std::optional<number_t> n = parse_number(token);
  if (!n) return quoted_excerpt(token) + " is not a number";
  ++i;
  value = n->value;
  unit = n->unit;
  if (unit.empty() && i < t.size() && !units.front().empty()) {
    for (const std::string& u : units) {
      if (upper_ascii(t[i]) == u) {
        unit = u;
        ++i;
        break;
      }
    }
  }
  if (unit.empty()) unit = units.front();
  for (const std::string& u : units)
    if (unit == u) return std::nullopt;
  return quoted_excerpt(token) + " is not a number" +
         (units.front().empty() ? "" : " in " + units.front());
}

line_result_t read_filter(const std::string& rest) {
  const std::vector<std::string> t = tokens(rest);
  if (t.empty()) return refuse("ON or OFF and a filter type are missing");
  const std::string state = upper_ascii(t[0]);
  if (state != "ON" && state != "OFF") return refuse("ON or OFF expected, " + quoted_excerpt(t[0]) + " found");
  if (state == "OFF") {
    line_result_t r;
    r.note = "the filter is switched off: left out";
    return r;
  }
  if (t.size() < 2) return refuse("the filter type is missing");
  const std::string type = upper_ascii(t[1]);
  line_result_t r;
  r.what = line_result_t::filter;
  filter_line_t& f = r.f;
  if (type == "PK" || type == "PEQ") {
    f.kind = kind_t::peak;
  } else if (type == "LS" || type == "LSC") {
    f.kind = kind_t::low_shelf;
  } else if (type == "HS" || type == "HSC") {
    f.kind = kind_t::high_shelf;
  } else {
    static const char* const lacks[] = {"LP", "HP",  "LPQ", "HPQ",   "BP",  "NO",
                                        "AP", "LP1", "HP1", "MODAL", "NONE"};
    for (const char* l : lacks)
      if (type == l)
        return refuse("the device has no " + t[1] +
                      " filter (it takes PK, PEQ, LS, LSC, HS and HSC)");
    return refuse("unknown filter type " + quoted_excerpt(t[1]));
  }
  size_t i = 2;
  // A shelf's slope may follow its type ("LS 6dB"): the device's shelves
  // are first-order, 6 dB per octave.
  if (f.kind != kind_t::peak && i < t.size()) {
    if (const std::optional<number_t> slope = parse_number(t[i])) {
      std::string unit = slope->unit;
      ++i;
      if (unit.empty() && i < t.size() && upper_ascii(t[i]) == "DB") unit = "DB", ++i;
      if (unit != "DB") return refuse("a shelf slope is given in dB");
      if (slope->value != 6.0)
        return refuse("the device has no " + as_given(slope->value) +
                      " dB shelf (its shelves are 6 dB per octave)");
    }
  }
  bool has_fc = false, has_gain = false;
  while (i < t.size()) {
    const std::string& key_token = t[i++];
    const std::string key = upper_ascii(key_token);
    std::string unit;
    std::optional<std::string> problem;
    if (key == "FC") {
      if (has_fc) return refuse("Fc is given twice");
      problem = read_value(t, i, {"HZ", "KHZ"}, f.hz, unit);
      if (unit == "KHZ") f.hz *= 1000.0;
      has_fc = true;
    } else if (key == "GAIN") {
      if (has_gain) return refuse("Gain is given twice");
      problem = read_value(t, i, {"DB"}, f.db, unit);
      has_gain = true;
    } else if (key == "Q") {
      if (f.has_q) return refuse("Q or BW is given twice");
      problem = read_value(t, i, {""}, f.q, unit);
      f.has_q = true;
    } else if (key == "BW") {
      if (f.has_q) return refuse("Q or BW is given twice");
      if (i < t.size() && upper_ascii(t[i]) == "OCT") ++i;
      problem = read_value(t, i, {"OCT"}, f.bw, unit);
      if (!problem && !(f.bw > 0.0 && f.bw <= 10.0))
        problem = "BW " + as_given(f.bw) + " oct is not a bandwidth a band can have";
      f.has_q = f.from_bw = true;
      if (!problem) f.q = std::sqrt(std::pow(2.0, f.bw)) / (std::pow(2.0, f.bw) - 1.0);
    } else {
      return refuse(quoted_excerpt(key_token) + " cannot be read (expected Fc, Gain, Q or BW)");
    }
    if (problem) return refuse(key_token + ": " + *problem);
  }
  if (!has_fc) return refuse("Fc is missing");
  if (!has_gain) return refuse("Gain is missing");
  if (f.kind == kind_t::peak && !f.has_q) return refuse("Q or BW is missing");
  return r;
}

line_result_t read_line(const std::string& raw) {
  const std::string line = trim(raw);
  if (line.empty() || line[0] == '#') return {};
  const size_t colon = line.find(':');
  if (colon == std::string::npos)
    return refuse("cannot be read (expected \"Filter N: ...\", \"Preamp: ... dB\" or a # comment)");
  const std::string head = upper_ascii(trim(line.substr(0, colon)));
  const std::string rest = line.substr(colon + 1);
  if (head == "PREAMP") {
    const std::vector<std::string> t = tokens(rest);
    size_t i = 0;
    line_result_t r;
    std::string unit;
    if (const std::optional<std::string> problem = read_value(t, i, {"DB"}, r.preamp, unit))
      return refuse("Preamp: " + *problem);
    if (i != t.size()) return refuse("Preamp: " + quoted_excerpt(t[i]) + " cannot be read");
    r.what = line_result_t::preamp_line;
    return r;
  }
  if (head.compare(0, 6, "FILTER") == 0) {
    const std::string number = trim(head.substr(6));
    bool digits = true;
    for (char c : number) digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (digits) {
      line_result_t r = read_filter(rest);
      r.f.number = number.empty() || number.size() > 2 ? 0 : std::stoi(number);
      return r;
    }
  }
  return refuse("cannot be read (expected \"Filter N: ...\", \"Preamp: ... dB\" or a # comment)");
}

// The stored band of a filter line, or a refusal; notes for what was
// rounded.
std::optional<std::string> store_filter(const filter_line_t& f, peq_t& band,
                                        std::vector<std::string>& notes) {
  const std::string at = "line " + std::to_string(f.line) + ": ";
  if (!(f.hz > PEQ_FREQ_MIN - 1.0 && f.hz < PEQ_FREQ_MAX + 1.0) ||
      spin_whole(f.hz) < PEQ_FREQ_MIN || spin_whole(f.hz) > PEQ_FREQ_MAX)
    return "frequency " + as_given(f.hz) + " Hz is outside the band's 35 to 12000 Hz";
  const int hz = spin_whole(f.hz);
  if (hz != f.hz)
    notes.push_back(at + "frequency " + as_given(f.hz) + " Hz stored as " + std::to_string(hz) +
                    " Hz");
  if (!(std::fabs(f.db) < 13.0) || std::abs(db_to_tenths(f.db)) > 120)
    return "gain " + as_given(f.db) + " dB is outside the band's -12.0 to +12.0 dB";
  const int gain = db_to_tenths(f.db);
  if (std::fabs(gain / 10.0 - f.db) > 1e-9)
    notes.push_back(at + "gain " + as_given(f.db) + " dB stored as " +
                    format_fixed(gain / 10.0, 1) + " dB");
  band.freq = static_cast<uint16_t>(hz);
  band.gain = static_cast<int8_t>(gain);
  if (f.kind != kind_t::peak) {
    band.type = 1;
    if (f.has_q)
      notes.push_back(at + (f.from_bw ? "BW" : "Q") + " not used: the device's shelves " +
                      "are first-order");
    return std::nullopt;
  }
  const std::string given = f.from_bw
                                ? "BW " + as_given(f.bw) + " oct (Q " + format_fixed(f.q, 3) + ")"
                                : "Q " + as_given(f.q);
  if (!(f.q > 0.0 && f.q < 13.0) || q_to_stored(f.q) < 7 || q_to_stored(f.q) > 125)
    return given + " is outside the band's Q 0.7 to 12.5";
  const int q = q_to_stored(f.q);
  if (std::fabs(q / 10.0 - f.q) > 1e-9)
    notes.push_back(at + given + " stored as Q " + format_fixed(q / 10.0, 1));
  band.q = static_cast<uint8_t>(q);
  band.type = 0;
  return std::nullopt;
}

}  // namespace

filter_import_t import_filter_text(const std::string& text, const channel_t& ch,
                                   bool apply_preamp) {
  filter_import_t r;
  const auto refused = [&r](int line, const std::string& line_text, std::string reason) {
    r.ok = false;
    r.line = line;
    r.line_text = line_text;
    r.reason = std::move(reason);
    r.notes.clear();
    r.band_mask = 0;
    return r;
  };

  std::vector<filter_line_t> filters;
  std::vector<std::string> lines;
  int preamp_line = 0;
  int lows = 0, highs = 0;
  size_t start = 0;
  // A byte order mark at the start belongs to no line.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  for (size_t n = 0; n < lines.size(); ++n) {
    const int number = static_cast<int>(n + 1);
    const std::string& line = lines[n];
    if (line.find('\0') != std::string::npos)
      return refused(number, "", "the text holds a NUL byte; it is not a filter text");
    line_result_t lr = read_line(line);
    const std::string at = "line " + std::to_string(number) + ": ";
    switch (lr.what) {
      case line_result_t::refused:
        return refused(number, line, lr.reason);
      case line_result_t::none:
        if (!lr.note.empty()) r.notes.push_back(at + lr.note);
        break;
      case line_result_t::preamp_line:
        if (preamp_line) return refused(number, line, "a second Preamp line");
        preamp_line = number;
        r.has_preamp = true;
        r.preamp_db = lr.preamp;
        break;
      case line_result_t::filter: {
        lr.f.line = number;
        // A peaking band of 0 dB is a band switched off.
        if (lr.f.kind == kind_t::peak && std::fabs(lr.f.db) < 13.0 && db_to_tenths(lr.f.db) == 0) {
          r.notes.push_back(at + "a peaking filter of 0.0 dB changes nothing: left out");
          break;
        }
        if (lr.f.kind == kind_t::low_shelf && ++lows > 1)
          return refused(number, line, "a second low shelf (only band 1 can be a low shelf)");
        if (lr.f.kind == kind_t::high_shelf && ++highs > 1)
          return refused(number, line, "a second high shelf (only band 6 can be a high shelf)");
        if (filters.size() == 6)
          return refused(number, line, "a 7th filter: the channel has 6 EQ bands");
        filters.push_back(lr.f);
        break;
      }
    }
  }
  if (filters.empty()) return refused(0, "", "the text holds no filter that is switched on");

  // Every band off (gain 0, peaking), keeping its frequency and Q; then the
  // shelves in their bands and the peaking filters in the free bands in
  // order.
  for (int b = 0; b < 6; ++b) {
    r.bands[b] = ch.peq[b];
    r.bands[b].gain = 0;
    r.bands[b].type = 0;
  }
  // Filters numbered 1 to 6 that fit their bands as numbered (what
  // export_filter_text writes) keep their bands.
  unsigned numbered = 0;
  for (const filter_line_t& f : filters) {
    const bool fits = f.number >= 1 && f.number <= 6 &&
                      (f.kind != kind_t::low_shelf || f.number == 1) &&
                      (f.kind != kind_t::high_shelf || f.number == 6);
    if (!fits || (numbered & (1u << (f.number - 1)))) {
      numbered = 0;
      break;
    }
    numbered |= 1u << (f.number - 1);
  }
  int next = lows ? 1 : 0;
  for (const filter_line_t& f : filters) {
    int b;
    if (numbered)
      b = f.number - 1;
    else if (f.kind == kind_t::low_shelf)
      b = 0;
    else if (f.kind == kind_t::high_shelf)
      b = 5;
    else
      b = next++;
    if (const std::optional<std::string> problem = store_filter(f, r.bands[b], r.notes))
      return refused(f.line, lines[f.line - 1], *problem);
    r.band_mask |= 1u << b;
  }

  if (r.has_preamp) {
    const std::string at = "line " + std::to_string(preamp_line) + ": ";
    const double level = ch.gain / 10.0 + r.preamp_db;
    if (apply_preamp) {
      if (!(std::fabs(r.preamp_db) < 200.0) || db_to_tenths(level) < -990 ||
          db_to_tenths(level) > 60)
        return refused(preamp_line, lines[preamp_line - 1],
                       "the level with the preamp, " + format_fixed(level, 1) +
                           " dB, is outside -99.0 to +6.0 dB");
      r.level_set = true;
      r.gain = static_cast<int16_t>(db_to_tenths(level));
      r.notes.push_back(at + "preamp " + as_given(r.preamp_db) + " dB applied: level " +
                        format_fixed(r.gain / 10.0, 1) + " dB");
    } else {
      r.notes.push_back(at + "preamp " + as_given(r.preamp_db) +
                        " dB not applied (the channel level stays " +
                        format_fixed(ch.gain / 10.0, 1) + " dB)");
    }
  }
  // Notes in the order of their lines.
  std::stable_sort(r.notes.begin(), r.notes.end(), [](const std::string& a, const std::string& b) {
    return std::atoi(a.c_str() + 5) < std::atoi(b.c_str() + 5);  // after "line "
  });
  r.ok = true;
  return r;
}

bool apply_filter_import(channel_t& ch, const filter_import_t& r) {
  if (!r.ok) return false;
  for (int b = 0; b < 6; ++b) ch.peq[b] = r.bands[b];
  if (r.level_set) ch.gain = r.gain;
  return true;
}

std::string filter_import_t::message() const {
  if (!ok) {
    std::string m = line > 0 ? "line " + std::to_string(line) + ": " : "";
    if (!line_text.empty()) m += quoted_excerpt(line_text) + ": ";
    return m + reason + "; nothing was changed";
  }
  std::string bands_text;
  int count = 0;
  for (int b = 0; b < 6; ++b) {
    if (!(band_mask & (1u << b))) continue;
    bands_text += (count++ ? ", " : "") + std::to_string(b + 1);
  }
  std::string m = std::to_string(count) + (count == 1 ? " filter" : " filters") + " taken into " +
                  (count == 1 ? "band " : "bands ") + bands_text + "; the other bands are off";
  if (notes.empty()) return m + "\n";
  m += "\n";
  for (const std::string& n : notes) m += n + "\n";
  return m;
}

std::string export_filter_text(const channel_t& ch, const std::string& title) {
  std::string out;
  if (!title.empty()) out += "# " + title + "\n";
  for (int b = 0; b < 6; ++b) {
    const peq_t& p = ch.peq[b];
    const int index = peq_type_index(p);
    // Off bands, and a shelf type on a band that cannot be a shelf (it
    // contributes nothing to the response), are not written.
    if (index == 0 || !peq_type_label(b, index)) continue;
    out += "Filter " + std::to_string(b + 1) + ": ON ";
    if (p.type == 1)
      out += b == 0 ? "LSC" : "HSC";
    else
      out += "PK";
    out += " Fc " + std::to_string(p.freq) + " Hz Gain " + format_fixed(p.gain / 10.0, 1) + " dB";
    if (p.type != 1) out += " Q " + format_fixed(p.q / 10.0, 2);
    out += "\n";
  }
  return out;
}
