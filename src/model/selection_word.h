// The wizard's selection word `tree_select`: which operating mode, which
// loudspeakers and how many tops per channel. The assistant sets it, the
// file reader picks the factory blocks it names, and the summary page
// describes it, all through the tables below.
#pragma once

#include <cstdint>

constexpr uint16_t SEL_RESERVED = 0x0003;  // bits 0-1: nothing reads them
constexpr uint16_t SEL_SAT = 0x0004;
constexpr uint16_t SEL_FULLRANGE = 0x0008;
constexpr uint16_t SEL_BASSARRAY = 0x0010;
constexpr uint16_t SEL_MONITOR = 0x0020;
constexpr uint16_t SEL_MODES = 0x003C;
constexpr uint16_t SEL_RS1 = 0x0040;  // RS2..RS5 follow at the next bits
constexpr uint16_t SEL_RX1 = 0x0800;  // RX2, RX3 follow at the next bits
constexpr uint16_t SEL_TOPS = 0x07C0;
constexpr uint16_t SEL_BASSES = 0x3800;
constexpr uint16_t SEL_SPEAKERS = 0x3FC0;
constexpr uint16_t SEL_QUANTITY_2X = 0x4000;  // quantity selector index << 14
constexpr int SEL_QUANTITY_SHIFT = 14;

// Operating modes in the order of their toggles on Step Two.
enum wiz_mode_t {
  WIZ_NO_MODE = -1,
  WIZ_SAT = 0,
  WIZ_FULLRANGE = 1,
  WIZ_BASSARRAY = 2,
  WIZ_MONITOR = 3
};
constexpr int WIZ_MODE_COUNT = 4;

struct mode_info_t {
  const char* label;  // caption on Step Two, "Bass-Array"
  const char* key;    // element in "wizards.xml" and word in the summary, "BASSARRAY"
  uint16_t bit;
};
extern const mode_info_t wizard_modes[WIZ_MODE_COUNT];

// Speakers are numbered 0..7: RS1..RS5 (tops 0..4), RX1..RX3 (basses 5..7).
constexpr int WIZ_SPEAKER_COUNT = 8;
constexpr int WIZ_TOP_COUNT = 5;
constexpr int WIZ_BASS_COUNT = 3;
constexpr int WIZ_FIRST_BASS = 5;

struct speaker_info_t {
  const char* label;  // toggle caption, "RS 1"
  const char* key;    // element in "wizards.xml" and name in the summary, "RS1"
  uint16_t bit;
  bool top;  // a top (with a quantity selector) or a bass
};
extern const speaker_info_t wizard_speakers[WIZ_SPEAKER_COUNT];
