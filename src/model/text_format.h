// Numbers and texts in the text formats the programs read and write (filter
// text, measurements, targets, CSV, reports), the same in every locale: the
// editor runs in the user's locale, where strtod and printf take and write a
// decimal comma ("2,5"), but every file and text format here uses a decimal
// point. Also how a message quotes what it refuses: briefly, escaped, whole
// characters only.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ---- Reading numbers -------------------------------------------------------

// A decimal number at the start of a text and how many bytes it takes.
struct decimal_prefix_t {
  double value;
  size_t length;
};

// Reads a decimal number at the start of `text`: an optional sign, digits
// with at most one decimal point (at least one digit), an optional exponent
// (e or E, optional sign, digits). Never a hexadecimal number, "inf" or
// "nan", and never a decimal comma. nullopt when the text does not start
// with such a number or when its value is not finite (1e400).
std::optional<decimal_prefix_t> read_decimal_prefix(std::string_view text);

// The whole of `text` as one decimal number (read_decimal_prefix), or nullopt.
std::optional<double> parse_decimal(std::string_view text);

// Whether `text` starts like a number written with a decimal comma: digits,
// a comma, digits ("20,5"), so that a refusal can say "use a decimal point".
bool looks_like_decimal_comma(std::string_view text);

// ---- Writing numbers -------------------------------------------------------

// `v` with `decimals` digits after the point, as printf's "%.*f" writes it in
// the C locale ("-3.5", "0.0", "1250.00").
std::string format_fixed(double v, int decimals);

// `v` with at most `significant` significant digits and no trailing zeros,
// as printf's "%.*g" writes it in the C locale ("125", "2.5", "1e+06").
std::string format_general(double v, int significant);

// ---- Texts -----------------------------------------------------------------

// ASCII letters in upper (lower) case; other bytes as they are.
std::string upper_ascii(std::string s);
std::string lower_ascii(std::string s);

// `s` without the blanks (space, tab, CR, FF, VT) at both ends.
std::string_view trim_blanks(std::string_view s);

// The lines of a text: split at LF, a CR before the LF dropped, a UTF-8 byte
// order mark at the very start dropped; a last line without LF is a line, an
// empty text has none. The views point into `text`.
std::vector<std::string_view> split_lines(std::string_view text);

// ---- Quoting in messages ---------------------------------------------------

// Longest excerpt a message quotes, in characters.
constexpr size_t EXCERPT_CHARS = 60;

// `text` as a message shows it on one line: every byte of a valid UTF-8
// character stays, control characters (below 0x20, 0x7F and the C1 controls
// U+0080-U+009F) and bytes that are not valid UTF-8 are written escaped
// ("\x1b", "\xff"), and a backslash as "\\". Valid UTF-8 whatever the input.
std::string escaped_text(std::string_view text);

// At most `max_chars` characters of `text` (counted in the escaped form, cut
// only between whole characters and escapes), escaped as escaped_text does,
// with "..." after it when the text was longer.
std::string text_excerpt(std::string_view text, size_t max_chars = EXCERPT_CHARS);

// The end of `text` as text_excerpt shows its start: at most `max_chars`
// characters, escaped, with "..." before them when the text was longer. For
// file paths, whose end names the file.
std::string tail_excerpt(std::string_view text, size_t max_chars = EXCERPT_CHARS);

// text_excerpt in double quotes: the form messages quote what they refuse in
// ("\"63.4x\"").
std::string quoted_excerpt(std::string_view text, size_t max_chars = EXCERPT_CHARS);

// A message made by a library from the user's input (command-line usage
// errors), bounded as every message is: each line escaped, each word longer
// than EXCERPT_CHARS cut to an excerpt, each line at most
// MESSAGE_LINE_CHARS characters and at most MESSAGE_LINES lines.
constexpr size_t MESSAGE_LINE_CHARS = 300;
constexpr size_t MESSAGE_LINES = 12;
std::string bounded_message(std::string_view text);
