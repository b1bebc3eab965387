#include "model/filter_text.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "model/editing.h"
#include "model/preset_diff.h"
#include "model/text_format.h"

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

std::vector<std::string_view> tokens(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && is_blank(s[i])) ++i;
    const size_t start = i;
    while (i < s.size() && !is_blank(s[i])) ++i;
    if (i > start) out.push_back(s.substr(start, i - start));
  }
  return out;
}

// Whether `s` starts with `word`, letters in either case.
bool starts_with_word(std::string_view s, std::string_view word) {
  return s.size() >= word.size() && upper_ascii(std::string(s.substr(0, word.size()))) == word;
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
std::optional<number_t> parse_number(std::string_view token) {
  const std::optional<decimal_prefix_t> n = read_decimal_prefix(token);
  if (!n) return std::nullopt;
  return number_t{n->value, upper_ascii(std::string(token.substr(n->length)))};
}

// A unit as messages write it.
std::string unit_shown(const std::string& upper) {
  if (upper == "HZ") return "Hz";
  if (upper == "KHZ") return "kHz";
  if (upper == "DB") return "dB";
  if (upper == "OCT") return "oct";
  return upper;
}

enum class kind_t { peak, low_shelf, high_shelf };

const char* kind_name(kind_t k) {
  return k == kind_t::low_shelf ? "low shelf" : k == kind_t::high_shelf ? "high shelf" : "peaking";
}

// One filter line, read.
struct filter_line_t {
  int line;
  std::string_view text;  // the line, for a refusal found after reading
  int number;             // N of "Filter N:", 0 when the line has none
  kind_t kind;
  double hz;
  double db;
  bool has_q = false;
  double q = 0.0;
  bool from_bw = false;
  double bw = 0.0;
};

// The reading of one line: a filter, a preamp, nothing (comment, blank,
// empty slot, filter off), a line that is no filter line, or a refusal.
struct line_result_t {
  enum { none, filter, preamp_line, skipped, refused } what = none;
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

// Why `token` is no number in `unit` (empty for a plain number).
std::string not_a_number(std::string_view token, const std::string& unit) {
  if (looks_like_decimal_comma(token)) return quoted_excerpt(token) + ": use a decimal point";
  return quoted_excerpt(token) + " is not a number" + (unit.empty() ? "" : " in " + unit);
}

// Reads the value after a keyword: a number and, in the next token or glued
// to it, one of `units` (upper case; the first is the default, "" for a
// plain number).
std::optional<std::string> read_value(const std::vector<std::string_view>& t, size_t& i,
                                      const std::vector<std::string>& units, double& value,
                                      std::string& unit) {
  if (i >= t.size()) return std::string("a number is missing");
  const std::string_view token = t[i];
  const std::optional<number_t> n = parse_number(token);
  if (!n) return not_a_number(token, unit_shown(units.front()));
  ++i;
  value = n->value;
  unit = n->unit;
  if (unit.empty() && i < t.size() && !units.front().empty()) {
    for (const std::string& u : units) {
      if (upper_ascii(std::string(t[i])) == u) {
        unit = u;
        ++i;
        break;
      }
    }
  }
  if (unit.empty()) unit = units.front();
  for (const std::string& u : units)
    if (unit == u) return std::nullopt;
  return not_a_number(token, unit_shown(units.front()));
}

// A shelf's Q (or bandwidth) that a first-order shelf can stand for: about
// 0.5 (two coinciding real poles) to 0.71 (Butterworth).
constexpr double SHELF_Q_MIN = 0.49;
constexpr double SHELF_Q_MAX = 0.72;

line_result_t read_filter(std::string_view rest) {
  const std::vector<std::string_view> t = tokens(rest);
  if (t.empty()) return refuse("ON or OFF and a filter type are missing");
  const std::string state = upper_ascii(std::string(t[0]));
  if (state != "ON" && state != "OFF")
    return refuse("ON or OFF expected, " + quoted_excerpt(t[0]) + " found");
  // "Filter 3: ON None": a slot the program left empty.
  if (t.size() == 2 && upper_ascii(std::string(t[1])) == "NONE") return {};
  if (state == "OFF") {
    line_result_t r;
    r.note = "the filter is switched off: left out";
    return r;
  }
  if (t.size() < 2) return refuse("the filter type is missing");
  const std::string type = upper_ascii(std::string(t[1]));
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
    static const char* const lacks[] = {"LP",  "HP",    "LPQ",  "HPQ", "BP",  "NO",  "AP",  "LP1",
                                        "HP1", "MODAL", "NONE", "LPF", "HPF", "BPF", "LS1", "HS1"};
    for (const char* l : lacks)
      if (type == l)
        return refuse("the device has no " + text_excerpt(t[1]) +
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
      if (unit.empty() && i < t.size() && upper_ascii(std::string(t[i])) == "DB") unit = "DB", ++i;
      if (unit != "DB") return refuse("a shelf slope is given in dB");
      if (slope->value != 6.0)
        return refuse("the device has no " + as_given(slope->value) +
                      " dB shelf (its shelves are first-order, 6 dB per octave)");
    }
  }
  bool has_fc = false, has_gain = false;
  while (i < t.size()) {
    const std::string_view key_token = t[i++];
    const std::string key = upper_ascii(std::string(key_token));
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
      if (i < t.size() && upper_ascii(std::string(t[i])) == "OCT") ++i;
      problem = read_value(t, i, {"OCT"}, f.bw, unit);
      if (!problem && !(f.bw > 0.0 && f.bw <= 10.0))
        problem = "BW " + as_given(f.bw) + " oct is not a bandwidth a band can have";
      f.has_q = f.from_bw = true;
      if (!problem) f.q = std::sqrt(std::pow(2.0, f.bw)) / (std::pow(2.0, f.bw) - 1.0);
    } else {
      return refuse(quoted_excerpt(key_token) + " cannot be read (expected Fc, Gain, Q or BW)");
    }
    if (problem) return refuse(text_excerpt(key_token) + ": " + *problem);
  }
  if (!has_fc) return refuse("Fc is missing");
  if (!has_gain) return refuse("Gain is missing");
  if (f.kind == kind_t::peak && !f.has_q) return refuse("Q or BW is missing");
  if (f.kind != kind_t::peak && f.has_q && !(f.q >= SHELF_Q_MIN && f.q <= SHELF_Q_MAX))
    return refuse((f.from_bw ? "BW " + as_given(f.bw) + " oct (Q " + format_fixed(f.q, 3) + ")"
                             : "Q " + as_given(f.q)) +
                  " makes a second-order shelf; the device's shelves are first-order (a " +
                  "shelf's Q about 0.5 to 0.71)");
  return r;
}

const char* const EXPECTED_LINE =
    "cannot be read (expected \"Filter N: ...\", \"Preamp: ... dB\" or a # comment)";

// Reads one line. A line that starts with "Filter" and a number or colon,
// or with the word "Preamp", is read as such and refused when it cannot be;
// any other line is no filter line and skipped.
line_result_t read_line(std::string_view raw) {
  const std::string_view line = trim_blanks(raw);
  if (line.empty() || line[0] == '#') return {};
  line_result_t skip;
  skip.what = line_result_t::skipped;
  if (starts_with_word(line, "FILTER")) {
    std::string_view rest = line.substr(6);
    size_t i = 0;
    while (i < rest.size() && is_blank(rest[i])) ++i;
    size_t digits = 0;
    while (i + digits < rest.size() && is_digit(rest[i + digits])) ++digits;
    if (digits == 0 && (i == rest.size() || rest[i] != ':')) return skip;  // "Filter Settings"
    const std::string_view number = rest.substr(i, digits);
    i += digits;
    while (i < rest.size() && is_blank(rest[i])) ++i;
    if (i == rest.size() || rest[i] != ':') return refuse(EXPECTED_LINE);
    line_result_t r = read_filter(rest.substr(i + 1));
    r.f.number = number.empty() || number.size() > 2 ? 0 : std::stoi(std::string(number));
    return r;
  }
  if (starts_with_word(line, "PREAMP") &&
      (line.size() == 6 || line[6] == ':' || is_blank(line[6]))) {
    const std::string_view after = trim_blanks(line.substr(6));
    if (after.empty() || after[0] != ':') return refuse(EXPECTED_LINE);
    const std::vector<std::string_view> t = tokens(after.substr(1));
    size_t i = 0;
    line_result_t r;
    std::string unit;
    if (const std::optional<std::string> problem = read_value(t, i, {"DB"}, r.preamp, unit))
      return refuse("Preamp: " + *problem);
    if (i != t.size()) return refuse("Preamp: " + quoted_excerpt(t[i]) + " cannot be read");
    r.what = line_result_t::preamp_line;
    return r;
  }
  return skip;
}

// The stored band of a filter line, or a refusal; notes for what was
// rounded.
std::optional<std::string> store_filter(const filter_line_t& f, peq_t& band,
                                        std::vector<std::string>& notes) {
  const std::string at = "line " + std::to_string(f.line) + ": ";
  if (!(f.hz > PEQ_FREQ_MIN - 1.0 && f.hz < PEQ_FREQ_MAX + 1.0) ||
      spin_whole(f.hz) < PEQ_FREQ_MIN || spin_whole(f.hz) > PEQ_FREQ_MAX)
    return "frequency " + as_given(f.hz) + " Hz is outside the band's " +
           std::to_string(PEQ_FREQ_MIN) + " to " + std::to_string(PEQ_FREQ_MAX) + " Hz";
  const int hz = spin_whole(f.hz);
  if (hz != f.hz)
    notes.push_back(at + "frequency " + as_given(f.hz) + " Hz stored as " + std::to_string(hz) +
                    " Hz");
  if (!(std::fabs(f.db) < PEQ_GAIN_MAX_DB + 1.0) ||
      !editor_range::peq_gain.contains(db_to_tenths(f.db)))
    return "gain " + as_given(f.db) + " dB is outside the band's " +
           format_fixed(PEQ_GAIN_MIN_DB, 1) + " to +" + format_fixed(PEQ_GAIN_MAX_DB, 1) + " dB";
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
  if (!(f.q > 0.0 && f.q < PEQ_Q_MAX + 1.0) || !editor_range::peq_q.contains(q_to_stored(f.q)))
    return given + " is outside the band's Q " + format_fixed(PEQ_Q_MIN, 1) + " to " +
           format_fixed(PEQ_Q_MAX, 1);
  const int q = q_to_stored(f.q);
  if (std::fabs(q / 10.0 - f.q) > 1e-9)
    notes.push_back(at + given + " stored as Q " + format_fixed(q / 10.0, 1));
  band.q = static_cast<uint8_t>(q);
  band.type = 0;
  return std::nullopt;
}

// Line numbers in ascending runs of consecutive lines.
struct line_runs_t {
  std::vector<std::pair<int, int>> runs;
  size_t count = 0;

  void add(int line) {
    if (!runs.empty() && runs.back().second + 1 == line)
      runs.back().second = line;
    else
      runs.emplace_back(line, line);
    ++count;
  }
  // "2 lines hold no filter (lines 1, 3)".
  std::string phrase() const {
    const bool one = count == 1;
    return std::to_string(count) + (one ? " line holds" : " lines hold") + " no filter (line" +
           (one ? " " : "s ") + text() + ")";
  }
  // "1-3, 7, 9-12": at most `most` runs, then "...".
  std::string text(size_t most = 4) const {
    std::string out;
    for (size_t i = 0; i < runs.size(); ++i) {
      if (i == most) return out + ", ...";
      out += (out.empty() ? "" : ", ") + std::to_string(runs[i].first) +
             (runs[i].second > runs[i].first ? "-" + std::to_string(runs[i].second) : "");
    }
    return out;
  }
};

// Which filter went to which band, in band order, runs of peaking filters
// numbered in a row taken together; empty when every filter went to the
// band its number names.
std::string placement_text(const filter_line_t* const (&in_band)[6]) {
  bool identity = true;
  for (int b = 0; b < 6; ++b)
    if (in_band[b] && in_band[b]->number != b + 1) identity = false;
  if (identity) return "";
  // A filter by its number, or by its line when it has none.
  const auto id = [](const filter_line_t& f) { return f.number ? f.number : f.line; };
  std::string out;
  for (int b = 0; b < 6;) {
    if (!in_band[b]) {
      ++b;
      continue;
    }
    const filter_line_t& first = *in_band[b];
    int e = b;
    while (first.kind == kind_t::peak && e + 1 < 6 && in_band[e + 1] &&
           in_band[e + 1]->kind == kind_t::peak &&
           (in_band[e + 1]->number != 0) == (first.number != 0) &&
           id(*in_band[e + 1]) == id(*in_band[e]) + 1)
      ++e;
    const char* what = first.number ? "Filter" : "line";
    std::string item =
        e > b ? std::string(what) + "s " + std::to_string(id(first)) + "-" +
                    std::to_string(id(*in_band[e])) + " -> bands " + std::to_string(b + 1) + "-" +
                    std::to_string(e + 1)
              : std::string(what) + " " + std::to_string(id(first)) +
                    (first.kind == kind_t::peak ? ""
                                                : std::string(" (") + kind_name(first.kind) + ")") +
                    " -> band " + std::to_string(b + 1);
    out += (out.empty() ? "" : ", ") + item;
    b = e + 1;
  }
  return out;
}

}  // namespace

filter_import_t import_filter_text(const std::string& text, const channel_t& ch,
                                   bool apply_preamp) {
  filter_import_t r;
  const auto refused = [&r](int line, std::string_view line_text, std::string reason) {
    r.ok = false;
    r.line = line;
    r.line_text = std::string(line_text.substr(0, 4 * EXCERPT_CHARS + 4));
    r.reason = std::move(reason);
    r.notes.clear();
    r.band_mask = 0;
    r.placement.clear();
    return r;
  };

  // The lines are walked in place: only the filter lines (at most six are
  // taken) and the line numbers skipped are kept, whatever the text's size.
  std::vector<filter_line_t> filters;
  line_runs_t skipped;
  int preamp_line = 0;
  std::string_view preamp_text;
  int lows = 0, highs = 0;
  std::string_view rest = text;
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);  // a byte order mark
  for (int number = 1; !rest.empty(); ++number) {
    const size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\0') != std::string_view::npos)
      return refused(number, "", "the text holds a NUL byte; it is not a filter text");
    line_result_t lr = read_line(line);
    const std::string at = "line " + std::to_string(number) + ": ";
    switch (lr.what) {
      case line_result_t::refused:
        return refused(number, line, lr.reason);
      case line_result_t::skipped:
        skipped.add(number);
        break;
      case line_result_t::none:
        if (!lr.note.empty()) r.notes.push_back(at + lr.note);
        break;
      case line_result_t::preamp_line:
        if (preamp_line) return refused(number, line, "a second Preamp line");
        preamp_line = number;
        preamp_text = line;
        r.has_preamp = true;
        r.preamp_db = lr.preamp;
        break;
      case line_result_t::filter: {
        lr.f.line = number;
        lr.f.text = line;
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
  if (filters.empty())
    return refused(0, "",
                   "the text holds no filter that is switched on" +
                       (skipped.count == 0 ? std::string() : "; " + skipped.phrase()));

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
  const filter_line_t* in_band[6] = {};
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
      return refused(f.line, f.text, *problem);
    r.band_mask |= 1u << b;
    in_band[b] = &f;
  }
  r.placement = placement_text(in_band);

  if (r.has_preamp) {
    const std::string at = "line " + std::to_string(preamp_line) + ": ";
    const double level = ch.gain / 10.0 + r.preamp_db;
    if (apply_preamp) {
      if (!(std::fabs(r.preamp_db) < 200.0) || !editor_range::gain.contains(db_to_tenths(level)))
        return refused(preamp_line, preamp_text,
                       "the level with the preamp, " + format_fixed(level, 1) + " dB, is outside " +
                           format_fixed(LEVEL_MIN_DB, 1) + " to +" + format_fixed(LEVEL_MAX_DB, 1) +
                           " dB");
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
    const auto line_of = [](const std::string& s) {
      const std::optional<decimal_prefix_t> n = read_decimal_prefix(std::string_view(s).substr(5));
      return n ? n->value : 0.0;  // after "line "
    };
    return line_of(a) < line_of(b);
  });
  if (skipped.count > 0) r.notes.push_back(skipped.phrase() + ": skipped");
  r.ok = true;
  return r;
}

bool apply_filter_import(preset_t& p, unsigned channels, unsigned ch, const filter_import_t& r) {
  if (!r.ok || ch >= std::min(channels, 4u)) return false;
  for (int b = 0; b < 6; ++b) p.channel[ch].peq[b] = r.bands[b];
  if (r.level_set) change_level(p, channels, ch, r.gain / 10.0);
  return true;
}

std::string filter_import_step_name(unsigned ch) {
  return std::string("filter import into Out ") + channel_letter(ch);
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
                  (count == 1 ? "band " : "bands ") + bands_text + "; the other bands are off\n";
  if (!placement.empty()) m += placement + "\n";
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
    // The device's shelves are first-order: the slope says so, for programs
    // that would take a bare shelf as a second-order one.
    if (p.type == 1)
      out += b == 0 ? "LS 6dB" : "HS 6dB";
    else
      out += "PK";
    out += " Fc " + std::to_string(p.freq) + " Hz Gain " + format_fixed(p.gain / 10.0, 1) + " dB";
    if (p.type != 1) out += " Q " + format_fixed(p.q / 10.0, 2);
    out += "\n";
  }
  return out;
}
