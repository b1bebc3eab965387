// A measurement read from its text, on the plot grid, predicted and scaled.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "measure/measurement.h"
#include "model/preset.h"

namespace {

constexpr double PI = 3.14159265358979323846;

// Linear over log frequency, only within the rows (column c at
// 10^(1.53 + c * 4.08 / 1289.04) Hz).
TEST(MeasurementGrid, InterpolatesOverLogFrequencyWithinTheFile) {
  measurement_t m;
  m.hz = {100, 1000, 10000};
  m.db = {80, 90, 70};
  m.phase_deg = {170, -170, 10};  // -170 is +20 from 170: unwrapped 190
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(m, *g);
  ASSERT_TRUE(g->has_phase);
  int first = -1, last = -1;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    if (!g->has[c]) continue;
    if (first < 0) first = c;
    last = c;
    const double f = column_to_freq(c);
    ASSERT_GE(f, 100.0);
    ASSERT_LE(f, 10000.0);
    // Hand-computed: linear in log10 f between the rows.
    const double x = std::log10(f);
    const double db = x <= 3 ? 80 + (x - 2) * 10 : 90 - (x - 3) * 20;
    const double phase = x <= 3 ? 170 + (x - 2) * 20 : 190 + (x - 3) * 180;
    ASSERT_NEAR(g->db[c], db, 1e-9) << c;
    ASSERT_NEAR(g->phase_deg[c], phase, 1e-9) << c;
  }
  // 100 Hz: first column at or above it is column 149 (99.9 Hz is 148);
  // 10 kHz: the last one at or below it.
  EXPECT_EQ(first, 149);
  EXPECT_LT(column_to_freq(first - 1), 100.0);
  EXPECT_LE(column_to_freq(last), 10000.0);
  EXPECT_GT(column_to_freq(last + 1), 10000.0);
  // Without a phase column: levels only.
  m.phase_deg.clear();
  measurement_on_grid(m, *g);
  EXPECT_FALSE(g->has_phase);
  EXPECT_EQ(g->phase_deg[first], 0.0);
}

// Each step between rows is the smaller turn: a falling phase keeps falling.
TEST(MeasurementGrid, PhaseUnwrapsTheSmallerTurn) {
  measurement_t m;
  m.hz = {100, 200, 400, 800};
  m.db = {0, 0, 0, 0};
  m.phase_deg = {-100, 160, 60, -60};  // steps -100 (not +260), -100 and -120 (not +240)
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(m, *g);
  const int c = freq_to_column(400.0) + 1;  // just above 400 Hz
  const double x = std::log10(column_to_freq(c));
  const double want = -300 + (x - std::log10(400.0)) / std::log10(2.0) * -120;
  EXPECT_NEAR(g->phase_deg[c], want, 1e-9);
}

// Phases are shown in (-180, 180]: -180 itself is 180.
TEST(MeasurementGrid, WrapsPhaseIntoOneTurn) {
  const struct {
    double in, out;
  } cases[] = {{0, 0},          {180, 180},       {-180, 180},     {190, -170},
               {-190, 170},     {540, 180},       {-540, 180},     {720.5, 0.5},
               {-359.75, 0.25}, {1e7, 280 - 360}, {-179.5, -179.5}};
  for (const auto& c : cases) EXPECT_NEAR(wrap_phase_deg(c.in), c.out, 1e-9) << c.in;
}

// 0 dB at 0 degrees gives the channel's output; polarity adds 180, delay -360 f t.
TEST(Prediction, MultipliesTheChannelsOutput) {
  channel_t ch = preset_def.channel[0];
  ch.xo[0].config = 2;
  ch.xo[0].freq[1] = 80;
  ch.xo[1].config = 1;
  ch.xo[1].freq[0] = 2500;
  ch.peq[2] = {1000, 20, -45, 0};
  measurement_t flat;
  flat.hz = {20, 20000};
  flat.db = {0, 0};
  flat.phase_deg = {0, 0};
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(flat, *g);
  auto r = std::make_unique<channel_response_t>();
  channel_response(ch, *r);
  auto p = std::make_unique<prediction_t>();
  predict_output(ch, *g, *p);
  for (int c = 0; c < EQ_TABLE_SIZE; ++c) {
    ASSERT_TRUE(p->has[c]);
    ASSERT_NEAR(p->db[c], response_db(r->total[c]), 1e-9) << c;
    ASSERT_NEAR(p->phase_deg[c], response_phase_deg(r->total[c]), 1e-9) << c;
  }
  channel_t inverted = ch;
  inverted.phase = 1;
  inverted.delay = 100;  // 1 m: 2.912 ms
  auto q = std::make_unique<prediction_t>();
  predict_output(inverted, *g, *q);
  for (int c = 0; c < EQ_TABLE_SIZE; c += 5) {
    const double f = column_to_freq(c);
    const double want = p->phase_deg[c] + 180 - 360 * f * (1.0 / 343.4);
    ASSERT_NEAR(std::remainder(q->phase_deg[c] - want, 360.0), 0.0, 1e-6) << c;
    ASSERT_NEAR(q->db[c], p->db[c], 1e-9);
  }
  // A measured level and phase multiply on: +6 dB at 90 degrees.
  measurement_t loud = flat;
  loud.db = {6, 6};
  loud.phase_deg = {90, 90};
  measurement_on_grid(loud, *g);
  predict_output(ch, *g, *q);
  const int c = 400;
  EXPECT_NEAR(q->db[c], p->db[c] + 6, 1e-9);
  EXPECT_NEAR(std::remainder(q->phase_deg[c] - p->phase_deg[c] - 90, 360.0), 0, 1e-9);
  EXPECT_NEAR(std::abs(measured_complex(*g, c)), std::pow(10.0, 0.3), 1e-12);
  EXPECT_NEAR(std::arg(measured_complex(*g, c)), PI / 2, 1e-12);
}

// The shift puts the mean over the pass band (else 200 Hz-5 kHz, else all) on 0 dB.
TEST(MeasurementScale, MeanOverThePassBand) {
  measurement_t m;
  m.hz = {20, 100, 1000, 20000};
  m.db = {80, 100, 100, 100};
  auto g = std::make_unique<grid_measurement_t>();
  measurement_on_grid(m, *g);
  channel_t ch = preset_def.channel[0];
  ch.xo[0] = {0, {100, 100}, {12, 7}};
  ch.xo[1] = {1, {1000, 1000}, {7, 7}};
  EXPECT_NEAR(measurement_plot_offset_db(ch, *g), -100.0, 1e-9);
  EXPECT_EQ(channel_pass_band(ch).lo_hz, 100);
  EXPECT_EQ(channel_pass_band(ch).hi_hz, 1000);
  // A band that is empty (the high-pass above the low-pass) is unclear.
  ch.xo[0].freq[0] = 3000;
  EXPECT_NEAR(measurement_plot_offset_db(ch, *g), -100.0, 1e-9);
  // A measurement that only covers 20-60 Hz: every column it has.
  m.hz = {20, 60};
  m.db = {90, 94};
  measurement_on_grid(m, *g);
  double sum = 0;
  int n = 0;
  for (int c = 0; c < EQ_TABLE_SIZE; ++c)
    if (g->has[c]) sum += g->db[c], ++n;
  ASSERT_GT(n, 0);
  EXPECT_NEAR(measurement_plot_offset_db(ch, *g), -sum / n, 1e-9);
  // The low-pass off: up to the plot's last column.
  ch.xo[1].config = 0;
  EXPECT_NEAR(channel_pass_band(ch).hi_hz, column_to_freq(EQ_TABLE_SIZE - 1), 1e-9);
}

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
