// Reading a measurement text (see measurement.h): one pass over the lines,
// no copy of them, the rows straight into the result.
#include <charconv>
#include <cmath>
#include <system_error>

#include "files/text_input.h"
#include "measure/measurement.h"
#include "model/text_format.h"

namespace {

// Largest level and phase a row may give; beyond them a value is taken for
// damaged data (a level of 1e300 dB has no magnitude a double can hold).
constexpr double LEVEL_LIMIT_DB = 1000.0;
constexpr double PHASE_LIMIT_DEG = 1e7;

bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == ';';
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The lines of a text one at a time, as split_lines cuts them: at LF, a CR
// before the LF dropped, a byte order mark at the start dropped.
class line_walk {
 public:
  explicit line_walk(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
  }
  bool next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// The field at the start of `rest` (up to the next separator), and `rest`
// moved past it and the separators after it.
std::string_view take_field(std::string_view& rest) {
  size_t end = 0;
  while (end < rest.size() && !is_separator(rest[end])) ++end;
  const std::string_view field = rest.substr(0, end);
  while (end < rest.size() && is_separator(rest[end])) ++end;
  rest.remove_prefix(end);
  return field;
}

bool equals_ignoring_case(std::string_view a, std::string_view lower) {
  if (a.size() != lower.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

// "nan", "inf", "infinity" in any case, with an optional sign.
bool names_non_finite(std::string_view field) {
  if (!field.empty() && (field[0] == '+' || field[0] == '-')) field.remove_prefix(1);
  return equals_ignoring_case(field, "nan") || equals_ignoring_case(field, "inf") ||
         equals_ignoring_case(field, "infinity");
}

// Whether a field begins like a number (a sign, then a digit or a point and
// a digit), or names a value that is no finite number: what makes a line a
// data line.
bool starts_like_number(std::string_view field) {
  size_t i = 0;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
  if (i < field.size() && is_digit(field[i])) return true;
  if (i + 1 < field.size() && field[i] == '.' && is_digit(field[i + 1])) return true;
  return names_non_finite(field);
}

// Whether a line writes its numbers with a decimal comma: split at the
// separators other than the comma, it has more than one cell, and a cell
// is a number with one comma and no point in it ("20,5;85,3", "20,5 85").
// A line separated by commas alone ("20,85.3") is read with commas as
// separators; which reading such a line of integers means cannot be told.
std::string_view decimal_comma_cell(std::string_view line) {
  std::string_view found;
  int cells = 0;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ';')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ';') ++i;
    if (i == start) break;
    ++cells;
    const std::string_view cell = line.substr(start, i - start);
    if (found.empty() && looks_like_decimal_comma(cell) && cell.find(',') == cell.rfind(',') &&
        cell.find('.') == std::string_view::npos)
      found = cell;
  }
  return cells > 1 ? found : std::string_view{};
}

// A field as a number; `reason` says why it is none.
bool field_value(std::string_view field, double& value, std::string& reason) {
  if (const std::optional<double> v = parse_decimal(field)) {
    value = *v;
    return true;
  }
  if (names_non_finite(field)) {
    reason = quoted_excerpt(field) + " is not a finite number";
    return false;
  }
  // A number too large (or too small) for a double: parse_decimal refuses
  // it, and from_chars tells it apart from text that is no number.
  std::string_view digits = field;
  if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
  double ignored = 0.0;
  const std::from_chars_result r =
      std::from_chars(digits.data(), digits.data() + digits.size(), ignored);
  if (r.ec == std::errc::result_out_of_range && r.ptr == digits.data() + digits.size())
    reason = quoted_excerpt(field) + " is out of range";
  else
    reason = quoted_excerpt(field) + " is not a number";
  return false;
}

std::string limit_text(double limit) {
  return format_general(-limit, 10) + ".." + format_general(limit, 10);
}

}  // namespace

measurement_read_t parse_measurement(std::string_view text) {
  measurement_read_t r;
  measurement_t& m = r.data;
  const auto refuse = [&r](int line, std::string reason) {
    r = measurement_read_t{};
    r.line = line;
    r.reason = std::move(reason);
    return r;
  };

  int number = 0;                // of the current line
  int first_data = 0;            // line of the first data row
  int columns = 0;               // values the first data row has: 2, or 3 with a phase
  std::string_view previous_hz;  // the frequency of the row before, as written
  line_walk lines(text);
  std::string_view line;
  std::string reason;
  while (lines.next(line)) {
    ++number;
    std::string_view rest = line;
    while (!rest.empty() && is_separator(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) continue;  // blank (or separators only): anywhere
    std::string_view probe = rest;
    if (!starts_like_number(take_field(probe))) {
      if (first_data == 0) continue;  // a header or comment before the data
      return refuse(number, "text after the data started: " + quoted_excerpt(trim_blanks(rest)));
    }
    if (const std::string_view cell = decimal_comma_cell(rest); !cell.empty())
      return refuse(number, quoted_excerpt(cell) +
                                " has a decimal comma: the decimal separator must be a point");

    double values[3] = {};
    std::string_view texts[3];
    int count = 0;
    while (count < 3 && !rest.empty()) {
      texts[count] = take_field(rest);
      if (!field_value(texts[count], values[count], reason)) return refuse(number, reason);
      ++count;
    }
    if (first_data == 0) {
      if (count < 2)
        return refuse(number,
                      "only one value: a data line holds a frequency in Hz, a level in dB "
                      "and optionally a phase in degrees");
      first_data = number;
      columns = count;
    } else if (count != columns) {
      const std::string first = "the first data line (line " + std::to_string(first_data) + ")";
      if (count < columns)
        return refuse(number, std::to_string(count) + " values where " + first + " has " +
                                  std::to_string(columns));
      return refuse(number, "a phase value where " + first + " has none");
    }

    if (!(values[0] > 0.0))
      return refuse(number, "frequency " + text_excerpt(texts[0]) + " is not positive");
    if (!m.hz.empty() && !(values[0] > m.hz.back()))
      return refuse(number, "frequency " + text_excerpt(texts[0]) +
                                " is not above the line before (" + text_excerpt(previous_hz) +
                                ")");
    if (!(std::abs(values[1]) <= LEVEL_LIMIT_DB))
      return refuse(number, "level " + text_excerpt(texts[1]) + " dB is outside " +
                                limit_text(LEVEL_LIMIT_DB) + " dB");
    if (columns == 3 && !(std::abs(values[2]) <= PHASE_LIMIT_DEG))
      return refuse(number, "phase " + text_excerpt(texts[2]) + " degrees is outside " +
                                limit_text(PHASE_LIMIT_DEG) + " degrees");
    m.hz.push_back(values[0]);
    m.db.push_back(values[1]);
    if (columns == 3) m.phase_deg.push_back(values[2]);
    previous_hz = texts[0];
  }
  if (m.hz.empty())
    return refuse(0, "no data lines (frequency in Hz, level in dB, optionally phase in degrees)");
  if (m.hz.size() == 1)
    return refuse(0, "only one data line (line " + std::to_string(first_data) +
                         "): a measurement needs at least two");
  r.ok = true;
  return r;
}

measurement_read_t read_measurement_file(const std::string& path) {
  const text_input_t in = read_text_file(path);
  if (!in.ok) {
    measurement_read_t r;
    r.reason = "cannot be read (" + in.reason + ")";
    return r;
  }
  return parse_measurement(in.text);
}

std::string measurement_read_t::message(const std::string& file) const {
  std::string m = escaped_text(file) + ": ";
  if (ok)
    return m + std::to_string(data.hz.size()) + " rows from " + format_general(data.hz.front(), 6) +
           " to " + format_general(data.hz.back(), 6) + " Hz, " +
           (data.has_phase() ? "level and phase" : "level only, no phase");
  if (line > 0) m += "line " + std::to_string(line) + ": ";
  return m + reason;
}
