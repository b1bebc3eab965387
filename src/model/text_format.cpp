#include "model/text_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <system_error>

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The number of digits at `text[i]` onwards.
size_t digits_at(std::string_view text, size_t i) {
  size_t n = 0;
  while (i + n < text.size() && is_digit(text[i + n])) ++n;
  return n;
}

// Formats with std::to_chars, which never consults the locale.
std::string to_chars_text(double v, std::chars_format format, int precision) {
  char buf[400];  // a fixed double can have 309 digits before its point
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, format, precision);
  if (r.ec != std::errc()) return std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf");
  return std::string(buf, r.ptr);
}

// Length of the valid UTF-8 character at `text[i]`, 0 when the bytes there
// are not one (overlong forms, surrogates and values above U+10FFFF included).
size_t utf8_char_length(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  if (b0 < 0x80) return 1;
  size_t n;
  uint32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
    cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + n > text.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// The shown form of the character or byte at `text[i]`; `used` its bytes.
std::string shown_unit(std::string_view text, size_t i, size_t& used) {
  const size_t n = utf8_char_length(text, i);
  const auto b0 = static_cast<unsigned char>(text[i]);
  const bool c1_control = n == 2 && b0 == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
  const bool control = n == 1 && (b0 < 0x20 || b0 == 0x7F);
  if (n == 0 || control || c1_control) {
    used = 1;
    if (c1_control) used = 2;
    std::string out;
    char hex[8];
    for (size_t k = 0; k < used; ++k) {
      std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(text[i + k]));
      out += hex;
    }
    return out;
  }
  used = n;
  if (n == 1 && b0 == '\\') return "\\\\";
  return std::string(text.substr(i, n));
}

}  // namespace

// ---- Reading numbers -------------------------------------------------------

std::optional<decimal_prefix_t> read_decimal_prefix(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t whole = digits_at(text, i);
  i += whole;
  size_t fraction = 0;
  if (i < text.size() && text[i] == '.') {
    fraction = digits_at(text, i + 1);
    if (whole + fraction > 0) i += 1 + fraction;
  }
  if (whole + fraction == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t k = i + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
    const size_t exponent = digits_at(text, k);
    if (exponent > 0) i = k + exponent;
  }
  // from_chars takes no leading '+'.
  const size_t skip = text[0] == '+' ? 1 : 0;
  double v = 0.0;
  const std::from_chars_result r =
      std::from_chars(text.data() + skip, text.data() + i, v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != text.data() + i || !std::isfinite(v)) return std::nullopt;
  return decimal_prefix_t{v, i};
}

std::optional<double> parse_decimal(std::string_view text) {
  const std::optional<decimal_prefix_t> n = read_decimal_prefix(text);
  if (!n || n->length != text.size()) return std::nullopt;
  return n->value;
}

bool looks_like_decimal_comma(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t whole = digits_at(text, i);
  i += whole;
  return whole > 0 && i < text.size() && text[i] == ',' && digits_at(text, i + 1) > 0;
}

// ---- Writing numbers -------------------------------------------------------

std::string format_fixed(double v, int decimals) {
  return to_chars_text(v, std::chars_format::fixed, decimals);
}

std::string format_general(double v, int significant) {
  return to_chars_text(v, std::chars_format::general, significant);
}

// ---- Texts -----------------------------------------------------------------

std::string upper_ascii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string lower_ascii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string_view trim_blanks(std::string_view s) {
  const char* blanks = " \t\r\f\v";
  const size_t a = s.find_first_not_of(blanks);
  if (a == std::string_view::npos) return {};
  return s.substr(a, s.find_last_not_of(blanks) - a + 1);
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// ---- Quoting in messages ---------------------------------------------------

std::string escaped_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t used = 0;
  for (size_t i = 0; i < text.size(); i += used) out += shown_unit(text, i, used);
  return out;
}

std::string text_excerpt(std::string_view text, size_t max_chars) {
  std::string out;
  size_t chars = 0, used = 0, i = 0;
  for (; i < text.size(); i += used) {
    const std::string unit = shown_unit(text, i, used);
    // An escape counts as the characters it shows.
    const size_t width = unit[0] == '\\' ? unit.size() : 1;
    if (chars + width > max_chars) break;
    out += unit;
    chars += width;
  }
  if (i < text.size()) out += "...";
  return out;
}

std::string tail_excerpt(std::string_view text, size_t max_chars) {
  // The last max_chars characters lie within 4 x max_chars bytes (a
  // character has at most four); start there, at the start of a character.
  size_t start = text.size() > 4 * max_chars ? text.size() - 4 * max_chars : 0;
  for (int k = 0; k < 3 && start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80;
       ++k)
    --start;
  std::vector<std::string> units;
  size_t used = 0;
  for (size_t i = start; i < text.size(); i += used) units.push_back(shown_unit(text, i, used));
  std::string out;
  size_t chars = 0, k = units.size();
  for (; k > 0; --k) {
    const std::string& unit = units[k - 1];
    const size_t width = unit[0] == '\\' ? unit.size() : 1;
    if (chars + width > max_chars) break;
    chars += width;
  }
  if (k > 0 || start > 0) out = "...";
  for (size_t j = k; j < units.size(); ++j) out += units[j];
  return out;
}

std::string quoted_excerpt(std::string_view text, size_t max_chars) {
  return "\"" + text_excerpt(text, max_chars) + "\"";
}

std::string bounded_message(std::string_view text) {
  // Characters of escaped (valid UTF-8) text: its bytes that start one.
  const auto chars_of = [](const std::string& t) {
    size_t n = 0;
    for (unsigned char c : t) n += (c & 0xC0) != 0x80;
    return n;
  };
  std::string out;
  size_t lines = 0;
  for (std::string_view line : split_lines(text)) {
    if (lines++ == MESSAGE_LINES) {
      out += "...\n";
      break;
    }
    size_t chars = 0, start = 0;
    while (start <= line.size()) {
      size_t end = line.find(' ', start);
      if (end == std::string_view::npos) end = line.size();
      const std::string word =
          (start > 0 ? " " : "") + text_excerpt(line.substr(start, end - start));
      chars += chars_of(word);
      if (chars > MESSAGE_LINE_CHARS) {
        out += " ...";
        break;
      }
      out += word;
      start = end + 1;
    }
    out += '\n';
  }
  return out;
}
