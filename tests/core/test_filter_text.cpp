// Reading parametric filter text into a channel's bands, its refusals, and
// writing the bands back as text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "model/filter_text.h"
#include "support/comma_locale.h"
#include "support/utf8_check.h"
#include "test_util.h"

namespace {

// The six bands as "freq/q/gain/type" in stored units.
std::string bands_text(const peq_t (&bands)[6]) {
  std::string out;
  for (const peq_t& p : bands)
    out += std::to_string(p.freq) + "/" + std::to_string(p.q) + "/" + std::to_string(p.gain) + "/" +
           std::to_string(p.type) + " ";
  return out;
}

// The measured file uses every accepted form: padding, comments, blank
// lines, a preamp, PK/PEQ/LSC/HS in either case, kHz, BW in octaves, units
// glued to numbers, an OFF filter and a 0 dB filter left out. The shelf goes
// to band 1 although it is the second line; peaking filters fill bands 2-5 in
// order; off bands keep frequency and Q.
TEST(FilterText, EveryAcceptedFormGoesToItsBand) {
  channel_t ch = preset_def.channel[1];
  ch.gain = -35;
  ch.peq[0].gain = 50;  // an active band before the import is switched off
  const filter_import_t r = import_filter_text(read_file(data_file("filters_measured.txt")), ch);
  ASSERT_TRUE(r.ok) << r.message();
  // BW 1 octave is Q sqrt(2) = 1.414, stored as 1.4; 2.04 dB as 2.0 dB.
  EXPECT_EQ(bands_text(r.bands),
            "80/7/40/1 125/20/-30/0 1200/14/20/0 40/125/-120/0 5000/7/0/0 8000/7/-15/1 ");
  EXPECT_EQ(r.band_mask, 0b101111u);
  EXPECT_TRUE(r.has_preamp && r.preamp_db == -4.5 && !r.level_set);
  EXPECT_EQ(r.message(),
            "5 filters taken into bands 1, 2, 3, 4, 6; the other bands are off\n"
            "line 2: preamp -4.5 dB not applied (the channel level stays -3.5 dB)\n"
            "line 6: gain 2.04 dB stored as 2.0 dB\n"
            "line 6: BW 1 oct (Q 1.414) stored as Q 1.4\n"
            "line 7: the filter is switched off: left out\n"
            "line 8: a peaking filter of 0.0 dB changes nothing: left out\n");
  channel_t applied = ch;
  EXPECT_TRUE(apply_filter_import(applied, r));
  EXPECT_EQ(applied.gain, -35);
  // Applied to the level when asked for.
  const filter_import_t with =
      import_filter_text("Preamp: -4.5 dB\nFilter: ON PK Fc 99.5 Hz Gain 1 dB Q 1\n", ch, true);
  ASSERT_TRUE(with.ok) << with.message();
  EXPECT_TRUE(with.level_set && with.gain == -80);
  EXPECT_EQ(with.bands[0].freq, 100);
  EXPECT_TRUE(apply_filter_import(applied, with));
  EXPECT_EQ(applied.gain, -80);
}

// Each refusal names the line and the reason, and nothing is taken.
TEST(FilterText, RefusalsNameTheLineAndChangeNothing) {
  const std::string pk = "Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 1\n";
  // clang-format off
  const struct { std::string text; int line; const char* reason; } cases[] = {
      {pk + "Filter 2: ON HP Fc 80 Hz Q 0.7", 2, "the device has no HP filter"},
      {"Filter 1: ON NO Fc 80 Hz", 1, "the device has no NO filter"},
      {"Filter 1: ON LS 12dB Fc 80 Hz Gain 3 dB", 1, "the device has no 12 dB shelf"},
      {"Filter 1: ON PK Fc 34.4 Hz Gain 1 dB Q 1", 1, "frequency 34.4 Hz is outside"},
      {"Filter 1: ON PK Fc 100 Hz Gain 12.06 dB Q 1", 1, "gain 12.06 dB is outside"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3 dB Q 0.64", 1, "Q 0.64 is outside"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3 dB BW Oct 3", 1, "BW 3 oct (Q 0.404) is outside"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3 dB", 1, "Q or BW is missing"},
      {"Filter 1: ON PK Fc 100 Hz Fc 200 Hz Gain 3 dB Q 1", 1, "Fc is given twice"},
      {"Filter 1: ON PK Fc abc Hz Gain 3 dB Q 1", 1, "Fc: \"abc\" is not a number"},
      {"Filter 1: ON PK Fc 100dB Gain 3 dB Q 1", 1, "Fc: \"100dB\" is not a number in HZ"},
      {"Filter 1: ON PK Fc nan Gain 3 dB Q 1", 1, "\"nan\" is not a number"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3 dB Q 1 Slope 2", 1, "\"Slope\" cannot be read"},
      {"\n\nRoom EQ V5.20", 3, "cannot be read"},
      {pk + pk + pk + pk + pk + pk + pk, 7, "a 7th filter: the channel has 6 EQ bands"},
      {"Filter: ON LS Fc 80 Hz Gain 3 dB\nFilter: ON LSC Fc 90 Hz Gain 3 dB", 2, "a second low shelf"},
      {"Filter: ON HS Fc 8 kHz Gain 3 dB\n" + pk + "Filter: ON HSC Fc 9 kHz Gain 3 dB", 3, "a second high shelf"},
      {"Preamp: -3 dB\n" + pk + "Preamp: -1 dB", 3, "a second Preamp line"},
      {"# nothing here\n\nFilter 1: OFF PK Fc 100 Hz Gain 3 dB Q 1\n", 0, "no filter that is switched on"},
      {std::string("Filter 1: ON PK Fc 100 Hz Gain 3 dB Q 1\0", 40), 1, "NUL byte"},
  };
  // clang-format on
  const channel_t ch = preset_def.channel[0];
  for (const auto& c : cases) {
    const filter_import_t r = import_filter_text(c.text, ch);
    EXPECT_FALSE(r.ok) << c.text;
    EXPECT_EQ(r.line, c.line) << c.text;
    EXPECT_NE(r.reason.find(c.reason), std::string::npos) << c.text << " -> " << r.reason;
    EXPECT_NE(r.message().find("nothing was changed"), std::string::npos);
    channel_t after = ch;
    EXPECT_FALSE(apply_filter_import(after, r));
    EXPECT_EQ(std::memcmp(&after, &ch, sizeof ch), 0) << c.text;
  }
  // A preamp applied to the level must leave it within -99.0..+6.0 dB.
  channel_t loud = ch;
  loud.gain = 50;
  EXPECT_EQ(import_filter_text("Preamp: 1.5 dB\n" + pk, loud, true).line, 1);
  EXPECT_TRUE(import_filter_text("Preamp: 1.5 dB\n" + pk, loud, false).ok);
  // The refused line is quoted in the message.
  EXPECT_EQ(import_filter_text("Filter 1: ON LP Fc 80 Hz", ch).message(),
            "line 1: \"Filter 1: ON LP Fc 80 Hz\": the device has no LP filter (it takes PK, "
            "PEQ, LS, LSC, HS and HSC); nothing was changed");
  // Briefly and escaped: one line of valid UTF-8 whatever the text holds.
  const std::string long_token = "Filter 1: ON PK Fc " + std::string(200, '9') + "x Hz";
  const struct {
    std::string text, message;
  } quoted[] = {
      {"\xf0\x9f", "line 1: \"\\xf0\\x9f\": cannot be read"},
      {"Filter 1: \x1b[2J PK",
       "line 1: \"Filter 1: \\x1b[2J PK\": ON or OFF expected, \"\\x1b[2J\" found"},
      {long_token, "line 1: \"" + long_token.substr(0, 60) + "...\": Fc: \"" +
                       std::string(60, '9') + "...\" is not a number"},
  };
  for (const auto& c : quoted) {
    const std::string m = import_filter_text(c.text, ch).message();
    EXPECT_EQ(m.find(c.message), 0u) << m;
    EXPECT_TRUE(is_valid_utf8(m) && m.size() < 250 && m.find('\n') == std::string::npos) << m;
  }
}

// Peaking filters fill the free bands in line order around the shelves
// unless every filter's number names a band it can take.
TEST(FilterText, BandPlacement) {
  const auto pk = [](int n, int hz) {
    return "Filter " + std::to_string(n) + ": ON PK Fc " + std::to_string(hz) +
           " Hz Gain 1 dB Q 1\n";
  };
  const std::string hs = "Filter 9: ON HS Fc 9000 Hz Gain 2 dB\n";
  // clang-format off
  const struct { std::string text; unsigned mask; int first_freq; } cases[] = {
      {pk(1, 100) + pk(2, 200), 0b000011, 100},         // numbered as bands 1, 2
      {pk(2, 200) + pk(5, 500), 0b010010, 35},          // numbered: bands 2 and 5 keep their place
      {pk(2, 200) + pk(2, 300), 0b000011, 200},         // a number twice: in order
      {hs + pk(1, 100), 0b100001, 100},                 // HS numbered 9: in order, HS to band 6
      {pk(1, 100) + "Filter 2: ON LSC Fc 60 Hz Gain 2 dB\n", 0b000011, 60},  // LS as 2: in order
      {pk(0, 100) + pk(1, 200) + pk(2, 300) + pk(3, 400) + pk(4, 500) + hs, 0b111111, 100},
  };
  // clang-format on
  channel_t ch = preset_def.channel[0];
  ch.peq[0].freq = 35;
  for (const auto& c : cases) {
    const filter_import_t r = import_filter_text(c.text, ch);
    ASSERT_TRUE(r.ok) << c.text << r.message();
    EXPECT_EQ(r.band_mask, c.mask) << c.text;
    EXPECT_EQ(r.bands[0].freq, c.first_freq) << c.text;
    for (int b = 0; b < 6; ++b)
      EXPECT_EQ(peq_active(r.bands[b]), ((c.mask >> b) & 1) != 0) << c.text;
  }
}

// What export writes, import reads back to the same bands: random channels,
// with shelves, extreme values and gaps between bands.
TEST(FilterText, ExportReadsBackToTheSameBands) {
  std::mt19937 rng(99);
  for (int n = 0; n < 300; ++n) {
    channel_t ch = preset_def.channel[0];
    for (int b = 0; b < 6; ++b) {
      const unsigned freq = n % 7 == 0 ? (b % 2 ? 35 : 12000) : 35 + rng() % 11966;
      const unsigned q = 7 + rng() % 119;
      const int gain = rng() % 3 == 0 ? 0 : static_cast<int>(rng() % 241) - 120;
      ch.peq[b] = {uint16_t(freq), uint8_t(q), int8_t(gain),
                   uint8_t((b == 0 || b == 5) && rng() % 2)};
    }
    const std::string text = export_filter_text(ch, "channel under test");
    const filter_import_t r = import_filter_text(text, ch);
    if (std::none_of(std::begin(ch.peq), std::end(ch.peq), peq_active)) {
      EXPECT_FALSE(r.ok);  // nothing on: nothing to take
      continue;
    }
    ASSERT_TRUE(r.ok) << text << r.message();
    EXPECT_EQ(r.message().find("stored as"), std::string::npos) << text;  // nothing rounded
    EXPECT_EQ(bands_text(r.bands), bands_text(ch.peq)) << text;
  }
}

}  // namespace

// A German desktop's locale reads "63.4" as 63 with strtod: the filter text
// is read with a decimal point whatever the locale.
TEST(FilterText, DecimalPointInACommaLocale) {
  comma_locale de;
  REQUIRE_COMMA_LOCALE(de);
  const filter_import_t r =
      import_filter_text("Filter 1: ON PK Fc 63.4 Hz Gain -3.5 dB Q 2.5\n", preset_def.channel[0]);
  ASSERT_TRUE(r.ok) << r.message();
  EXPECT_EQ(r.bands[0].freq, 63);
  EXPECT_EQ(r.bands[0].gain, -35);
  EXPECT_EQ(r.bands[0].q, 25);
  EXPECT_NE(r.message().find("frequency 63.4 Hz stored as 63 Hz"), std::string::npos)
      << r.message();
  channel_t ch = preset_def.channel[0];
  ASSERT_TRUE(apply_filter_import(ch, r));
  EXPECT_EQ(export_filter_text(ch), "Filter 1: ON PK Fc 63 Hz Gain -3.5 dB Q 2.50\n");
}
