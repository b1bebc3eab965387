// Reading measurement texts: the forms measurement programs write, every
// refusal with its line and reason (the locale: test_locale.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "measure/measurement.h"

namespace {

using rows_t = std::vector<std::vector<double>>;

// The rows read, one {hz, db[, phase]} each.
rows_t rows_of(const measurement_t& m) {
  rows_t out;
  for (size_t i = 0; i < m.hz.size(); ++i) {
    out.push_back({m.hz[i], m.db[i]});
    if (m.has_phase()) out.back().push_back(m.phase_deg[i]);
  }
  return out;
}

TEST(MeasurementRead, AcceptedForms) {
  const rows_t two = {{20, 85}, {40, 86.5}};
  const rows_t three = {{20, 85, -10}, {40, 86.5, 170}};
  // clang-format off
  const struct { const char* what; std::string text; rows_t rows; } cases[] = {
      {"spaces", "20 85\n40 86.5\n", two},
      {"tabs and a phase", "20\t85\t-10\n40\t86.5\t170\n", three},
      {"comma and space", "20, 85, -10\n40, 86.5, 170\n", three},
      {"semicolons", "20;85;-10\n40;86.5;170\n", three},
      {"mixed runs", "20 ,;\t 85 ;; -10\n40\t\t86.5,,,170\n", three},
      {"separators at both ends", "  ;20 85 -10;\n\t,40 86.5 170 , \n", three},
      {"CR LF, BOM, no last line end", "\xEF\xBB\xBF" "20 85\r\n40 86.5", two},
      {"headers, comments and blanks before", "Freq(Hz) SPL(dB)\n* note: 3 dB\n\n# x\n"
                                             "-- cut --\n. end\nInformation 2\n20 85\n40 86.5\n", two},
      {"blank lines between and after", "20 85\n\n  \n,;\n40 86.5\n\n\r\n", two},
      {"columns after the third", "20 85 -10 0.99 text\n40 86.5 170 nan\n", three},
      {"number forms", "+2e1 8.5E+1 -1e1\n40. 86.5 +170\n", three},
      {"a point first", ".5 85\n0.75 86.5\n", {{0.5, 85}, {0.75, 86.5}}},
      {"the limits", "1e-3 -1000 -1e7\n1e9 1000 1e7\n", {{1e-3, -1000, -1e7}, {1e9, 1000, 1e7}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    const measurement_read_t r = parse_measurement(c.text);
    ASSERT_TRUE(r.ok) << c.what << ": " << r.message("m.txt");
    EXPECT_EQ(rows_of(r.data), c.rows) << c.what;
  }
}

TEST(MeasurementRead, RefusalsNameLineAndReason) {
  // clang-format off
  const struct { std::string text; int line; std::string reason; } cases[] = {
      {"", 0, "no data lines (frequency in Hz, level in dB, optionally phase in degrees)"},
      {"Freq dB\n* only a header\n", 0, "no data lines"},
      {"* x\n20 85\n\n", 0, "only one data line (line 2): a measurement needs at least two"},
      {"20\n40 85\n", 1, "only one value: a data line holds a frequency in Hz, a level in dB"},
      {"20 85\n0 86\n", 2, "frequency 0 is not positive"},
      {"-20 85\n40 86\n", 1, "frequency -20 is not positive"},
      {"20 85\n25.0 86\n25 87\n", 3, "frequency 25 is not above the line before (25.0)"},
      {"20 85\n40 86\n30 87\n", 3, "frequency 30 is not above the line before (40)"},
      {"20 85\n40 nan\n", 2, "\"nan\" is not a finite number"},
      {"20 85 -INF\n40 86 0\n", 1, "\"-INF\" is not a finite number"},
      {"Infinity 85\n40 86\n", 1, "\"Infinity\" is not a finite number"},
      {"20 1e400\n40 86\n", 1, "\"1e400\" is out of range"},
      {"20 85\n40 1001\n", 2, "level 1001 dB is outside -1000..1000 dB"},
      {"20 85 -1.5e7\n40 86 0\n", 1, "phase -1.5e7 degrees is outside -10000000..10000000 degrees"},
      {"20Hz 85dB\n40Hz 86dB\n", 1, "\"20Hz\" is not a number"},
      {"3 dB smoothing\n20 85\n40 86\n", 1, "\"dB\" is not a number"},
      {"20 85\n40 0x56\n", 2, "\"0x56\" is not a number"},
      {"20 85\n40 86\n* end of data\n", 3, "text after the data started: \"* end of data\""},
      {"20 85\nFreq dB\n40 86\n", 2, "text after the data started: \"Freq dB\""},
      {"20,5;85,3\n40,5;86,1\n", 1,
       "\"20,5\" has a decimal comma: the decimal separator must be a point"},
      {"20;85\n40;86,1\n", 2, "\"86,1\" has a decimal comma: the decimal separator must be a point"},
      {"20,5 85,3\n40 86\n", 1, "\"20,5\" has a decimal comma"},
      {"20 85 -10\n40 86\n", 2, "2 values where the first data line (line 1) has 3"},
      {"* x\n20 85\n40 86 -10\n", 3, "a phase value where the first data line (line 2) has none"},
      {"20 85\r\r\n40 86\n", 1, "\"85\\x0d\" is not a number"},
      {"20 85\n40 \xff\xfe\n", 2, "\"\\xff\\xfe\" is not a number"},
      {"20 " + std::string(100, '9') + "x\n", 1, "\"" + std::string(60, '9') + "...\" is not a number"},
  };
  // clang-format on
  for (const auto& c : cases) {
    const measurement_read_t r = parse_measurement(c.text);
    ASSERT_FALSE(r.ok) << c.text;
    EXPECT_EQ(r.line, c.line) << c.text;
    EXPECT_EQ(r.reason.find(c.reason), 0u) << c.text << "\n  got: " << r.reason;
    EXPECT_TRUE(r.data.hz.empty() && r.data.db.empty() && r.data.phase_deg.empty()) << c.text;
  }
}

TEST(MeasurementRead, MessagesNameTheFile) {
  const measurement_read_t bad = parse_measurement("20 85\n40 86\n30 87\n");
  EXPECT_EQ(bad.message("room.txt"),
            "room.txt: line 3: frequency 30 is not above the line before (40)");
  EXPECT_EQ(
      parse_measurement("").message("a\nb.txt"),
      "a\\x0ab.txt: no data lines (frequency in Hz, level in dB, optionally phase in degrees)");
}

}  // namespace
