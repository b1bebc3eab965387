// Filter text into a channel's bands, its refusals, and the bands as text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "model/editing.h"
#include "model/filter_text.h"
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

// Every accepted form (see the file); the shelf to band 1 although second,
// peaking filters in order; off bands keep frequency and Q.
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
            "Filter 2 (low shelf) -> band 1, Filter 1 -> band 2, Filter 3 -> band 3, "
            "Filter 7 -> band 4, Filter 6 (high shelf) -> band 6\n"
            "line 2: preamp -4.5 dB not applied (the channel level stays -3.5 dB)\n"
            "line 6: gain 2.04 dB stored as 2.0 dB\n"
            "line 6: BW 1 oct (Q 1.414) stored as Q 1.4\n"
            "line 7: the filter is switched off: left out\n"
            "line 8: a peaking filter of 0.0 dB changes nothing: left out\n");
  preset_t applied = preset_def;
  applied.channel[1] = ch;
  EXPECT_TRUE(apply_filter_import(applied, MV517, 1, r));
  EXPECT_EQ(applied.channel[1].gain, -35);
  EXPECT_EQ(bands_text(applied.channel[1].peq), bands_text(r.bands));
}

// A program's export: header lines skipped and counted, empty slots no
// filters, the low shelf numbered 6 to band 1, as the report says.
TEST(FilterText, AProgramsExportWithItsHeader) {
  const filter_import_t r =
      import_filter_text(read_file(data_file("filters_rew.txt")), preset_def.channel[1]);
  ASSERT_TRUE(r.ok) << r.message();
  EXPECT_EQ(bands_text(r.bands),
            "90/7/30/1 63/40/-50/0 120/20/-30/0 415/15/25/0 1250/30/-15/0 3020/25/10/0 ");
  EXPECT_EQ(r.message(),
            "6 filters taken into bands 1, 2, 3, 4, 5, 6; the other bands are off\n"
            "Filter 6 (low shelf) -> band 1, Filters 1-5 -> bands 2-6\n"
            "line 10: frequency 63.4 Hz stored as 63 Hz\n"
            "6 lines hold no filter (lines 1, 3-4, 6, 8-9): skipped\n");
}

// The preamp applied is a level change: the level group follows, each
// member within its range, as for a level typed by hand.
TEST(FilterText, PreampMovesTheLevelGroup) {
  preset_t p = preset_def;
  for (int ch : {0, 1, 3}) p.channel[ch].groups = groups_with_level_group(0, 1);  // Gr 1
  p.channel[0].gain = -35, p.channel[1].gain = -10, p.channel[2].gain = 20,
  p.channel[3].gain = -985;
  const std::string text = "Preamp: -4.5 dB\nFilter: ON PK Fc 99.5 Hz Gain 1 dB Q 1\n";
  const filter_import_t r = import_filter_text(text, p.channel[1], true);
  ASSERT_TRUE(r.ok) << r.message();
  EXPECT_TRUE(r.level_set && r.gain == -55);
  preset_t grouped = p;
  ASSERT_TRUE(apply_filter_import(grouped, MV517, 1, r));
  EXPECT_EQ(grouped.channel[0].gain, -80);   // -3.5 - 4.5
  EXPECT_EQ(grouped.channel[1].gain, -55);   // -1.0 - 4.5
  EXPECT_EQ(grouped.channel[2].gain, 20);    // not in the group
  EXPECT_EQ(grouped.channel[3].gain, -990);  // clamped to -99.0 on its own
  EXPECT_EQ(grouped.channel[1].peq[0].freq, 100);
  // The same rule as a level typed into the field.
  preset_t typed = p;
  change_level(typed, MV517, 1, -5.5);
  for (int ch = 0; ch < 4; ++ch) EXPECT_EQ(typed.channel[ch].gain, grouped.channel[ch].gain) << ch;
  // An MV961 has no channel D to move; channel C of a two-channel file stays.
  preset_t small = p;
  ASSERT_TRUE(apply_filter_import(small, MV961, 1, r));
  EXPECT_EQ(small.channel[0].gain, -80);
  EXPECT_EQ(small.channel[3].gain, -985);
  EXPECT_FALSE(apply_filter_import(small, MV961, 2, r));
}

// Each refusal names the line and the reason, and nothing is taken.
TEST(FilterText, RefusalsNameTheLineAndChangeNothing) {
  const std::string pk = "Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 1\n";
  // clang-format off
  const struct { std::string text; int line; const char* reason; } cases[] = {
      {pk + "Filter 2: ON HP Fc 80 Hz Q 0.7", 2, "the device has no HP filter"},
      {"Filter 1: ON NO Fc 80 Hz", 1, "the device has no NO filter"},
      {"Filter 1: ON LS 12dB Fc 80 Hz Gain 3 dB", 1, "the device has no 12 dB shelf (its shelves are first-order"},
      {"Filter 6: ON HS 12 dB Fc 8 kHz Gain 3 dB", 1, "the device has no 12 dB shelf"},
      {"Filter 1: ON LSC Fc 80 Hz Gain 3 dB Q 2", 1, "Q 2 makes a second-order shelf; the device's shelves are first-order"},
      {"Filter 6: ON HSC Fc 8 kHz Gain 3 dB Q 0.3", 1, "Q 0.3 makes a second-order shelf"},
      {"Filter 1: ON PK Fc 63,4 Hz Gain 3 dB Q 1", 1, "Fc: \"63,4\": use a decimal point"},
      {"Preamp: -4,5 dB\n" + pk, 1, "Preamp: \"-4,5\": use a decimal point"},
      {"Filter 1 ON PK Fc 100 Hz Gain 3 dB Q 1", 1, "cannot be read (expected \"Filter N: ...\""},
      {"Filter 1: ON PK Fc 34.4 Hz Gain 1 dB Q 1", 1, "frequency 34.4 Hz is outside"},
      {"Filter 1: ON PK Fc 100 Hz Gain 12.06 dB Q 1", 1, "gain 12.06 dB is outside"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3 dB Q 0.64", 1, "Q 0.64 is outside"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3 dB BW Oct 3", 1, "BW 3 oct (Q 0.404) is outside"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3 dB", 1, "Q or BW is missing"},
      {"Filter 1: ON PK Fc 100 Hz Fc 200 Hz Gain 3 dB Q 1", 1, "Fc is given twice"},
      {"Filter 1: ON PK Fc abc Hz Gain 3 dB Q 1", 1, "Fc: \"abc\" is not a number"},
      {"Filter 1: ON PK Fc 100dB Gain 3 dB Q 1", 1, "Fc: \"100dB\" is not a number in Hz"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3Hz Q 1", 1, "Gain: \"3Hz\" is not a number in dB"},
      {"Filter 1: ON PK Fc nan Gain 3 dB Q 1", 1, "\"nan\" is not a number"},
      {"Filter 1: ON PK Fc 100 Hz Gain 3 dB Q 1 Slope 2", 1, "\"Slope\" cannot be read"},
      {"\n\nRoom EQ V5.20\nFilter 1: ON None", 0, "no filter that is switched on; 1 line holds no filter (line 3)"},
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
    preset_t after = preset_def;
    EXPECT_FALSE(apply_filter_import(after, MV517, 0, r));
    EXPECT_EQ(std::memcmp(&after, &preset_def, sizeof after), 0) << c.text;
  }
  // A preamp applied to the level must leave it within -99.0..+6.0 dB.
  channel_t loud = ch;
  loud.gain = 50;
  EXPECT_EQ(import_filter_text("Preamp: 1.5 dB\n" + pk, loud, true).line, 1);
  EXPECT_TRUE(import_filter_text("Preamp: 1.5 dB\n" + pk, loud, false).ok);
  // The refused line is quoted in the message: a long one cut after 60
  // characters, control characters and bytes that are not UTF-8 escaped.
  EXPECT_EQ(import_filter_text("Filter 1: ON LP Fc 80 Hz", ch).message(),
            "line 1: \"Filter 1: ON LP Fc 80 Hz\": the device has no LP filter (it takes PK, "
            "PEQ, LS, LSC, HS and HSC); nothing was changed");
  const std::string token(10 << 20, '7');
  const std::string message =
      import_filter_text("Filter 1: ON PK Fc 1" + token + "x\x1b\xff Hz", ch).message();
  EXPECT_LT(message.size(), 300u) << message.substr(0, 300);
  EXPECT_EQ(import_filter_text("Filter 1: ON PK\x1b[2J Fc 1 Hz\xff", ch).message(),
            "line 1: \"Filter 1: ON PK\\x1b[2J Fc 1 Hz\\xff\": unknown filter type "
            "\"PK\\x1b[2J\"; nothing was changed");
}

// Peaking filters fill the free bands in line order unless every number
// names a band it can take, reported unless Filter N went to band N; the
// first-order shelf in each form programs write it.
TEST(FilterText, BandPlacement) {
  const auto pk = [](int n, int hz) {
    return "Filter " + std::to_string(n) + ": ON PK Fc " + std::to_string(hz) +
           " Hz Gain 1 dB Q 1\n";
  };
  const std::string hs = "Filter 9: ON HS Fc 9000 Hz Gain 2 dB\n",
                    q_not_used = "line 1: Q not used";
  // clang-format off
  const struct { std::string text; unsigned mask, shelves; int first_freq; const char* placement; std::string note; } cases[] = {
      {pk(1, 100) + pk(2, 200), 0b000011, 0, 100, "", ""},  // numbered as bands 1, 2
      {pk(2, 200) + pk(5, 500), 0b010010, 0, 35, "", ""},   // numbered: bands 2 and 5 keep their place
      {pk(2, 200) + pk(2, 300), 0b000011, 0, 200, "Filter 2 -> band 1, Filter 2 -> band 2", ""},
      {hs + pk(1, 100), 0b100001, 0b100000, 100, "Filter 1 -> band 1, Filter 9 (high shelf) -> band 6", ""},
      {pk(1, 100) + "Filter 2: ON LSC Fc 60 Hz Gain 2 dB\n", 0b000011, 1, 60,
       "Filter 2 (low shelf) -> band 1, Filter 1 -> band 2", ""},
      {pk(0, 100) + pk(1, 200) + pk(2, 300) + pk(3, 400) + pk(4, 500) + hs, 0b111111, 0b100000, 100,
       "line 1 -> band 1, Filters 1-4 -> bands 2-5, Filter 9 (high shelf) -> band 6", ""},
      {pk(3, 300) + pk(2, 200) + pk(2, 200), 0b000111, 0, 300, "Filter 3 -> band 1, Filter 2 -> band 2, Filter 2 -> band 3", ""},
      {"Filter: ON PK Fc 70 Hz Gain 1 dB Q 1\nFilter: ON PK Fc 80 Hz Gain 1 dB Q 1\n", 0b000011, 0, 70, "lines 1-2 -> bands 1-2", ""},
      {"Filter 1: ON LS 6dB Fc 80 Hz Gain 3 dB", 1, 1, 80, "", ""},
      {"Filter 1: ON LS 6 dB Fc 80 Hz Gain 3 dB", 1, 1, 80, "", ""},
      {"Filter 6: ON HS 6dB Fc 8000 Hz Gain -2 dB", 0b100000, 0b100000, 35, "", ""},
      {"Filter 1: ON LSC Fc 80 Hz Gain 3 dB Q 0.71", 1, 1, 80, "", q_not_used},
      {"Filter 6: ON HSC Fc 8 kHz Gain -2 dB Q 0.5", 0b100000, 0b100000, 35, "", q_not_used},
      {"Filter 6: ON HSC 6dB Fc 8 kHz Gain -2 dB Q 0.707", 0b100000, 0b100000, 35, "", q_not_used},
  };
  // clang-format on
  channel_t ch = preset_def.channel[0];
  ch.peq[0].freq = 35;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const filter_import_t r = import_filter_text(c.text, ch);
    ASSERT_TRUE(r.ok) << r.message();
    EXPECT_EQ(r.band_mask, c.mask);
    EXPECT_EQ(r.bands[0].freq, c.first_freq);
    EXPECT_EQ(r.placement, c.placement);
    EXPECT_EQ(r.notes.empty() ? "" : r.notes[0].substr(0, 18), c.note);
    for (int b = 0; b < 6; ++b) {
      EXPECT_EQ(peq_active(r.bands[b]), ((c.mask >> b) & 1) != 0) << b;
      EXPECT_EQ(r.bands[b].type, (c.shelves >> b) & 1) << b;
    }
  }
}

// What export writes, import reads back to the same bands.
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
