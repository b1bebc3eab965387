// The preset record, its code tables, the default preset and the unit
// conversions between what the user sees and what the device stores.
//
// Everything in the record is kept in the amplifier's own integer encoding:
// tenths of a decibel, whole hertz, Q times ten, centimetres, tens of ms.
// Conversions happen only at the edges, through the functions below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct xo_t {
  uint8_t config;    // crossover type code (see the xo_* helpers)
  uint16_t freq[2];  // corner frequency in Hz; slot 1 for type 2, else slot 0
  uint8_t q[2];      // Q times ten, same slot rule
};

struct peq_t {
  uint16_t freq;  // Hz
  uint8_t q;      // Q times ten
  int8_t gain;    // 0.1 dB
  uint8_t type;   // 0 peaking (or off when gain is 0), 1 shelf
};

struct dynamics_t {
  uint8_t attack;    // ms
  uint8_t release;   // units of 10 ms
  int8_t threshold;  // whole dB, 0 means the limiter is inactive
  int8_t boost;      // whole dB ("Gain")
};

struct channel_t {
  char name[10];        // NUL-terminated, at most 9 bytes
  uint8_t routing;      // index into the device's routing list
  int16_t gain;         // 0.1 dB
  uint8_t groups;       // level group in bits 0-3, mute group in bits 4-7
  uint8_t phase;        // 0 = 0 degrees, 1 = 180 degrees
  xo_t xo[2];           // [0] high-pass, [1] low-pass
  peq_t peq[6];         // "Filter 1" .. "Filter 6"
  dynamics_t dynamics;  // limiter
  uint16_t delay;       // centimetres
};

struct preset_t {
  char name[13];         // NUL-terminated, at most 12 bytes
  channel_t channel[4];  // outputs A to D
  uint8_t mute;          // bit n: channel n muted
  uint8_t lock;          // lock flags, bit 7 marks a factory preset
};

// Field sizes of the record's texts, terminator excluded.
constexpr size_t PRESET_NAME_MAX = 12;
constexpr size_t CHANNEL_NAME_MAX = 9;

// Devices, given by their channel count.
constexpr int MV517 = 4;
constexpr int MV961 = 2;

// The preset being edited, the default preset and the device state.
extern preset_t preset;
extern const preset_t preset_def;
extern int new_preset;        // 1 while the open preset was never saved
extern int8_t mv_selector;    // device of the open editor / last read file
extern unsigned int mv_type;  // channel count of the open editor
extern uint16_t tree_select;  // the wizard's selection word

// Copies the whole default preset into *p.
void Create_Default_Preset(preset_t* p);

// Name of a device selector ("MV517" for 4, "MV961" otherwise).
const char* device_name(int selector);

// ---- Routing codes -------------------------------------------------------

// Number of routing entries of a device (11 for the MV517, 4 for the MV961).
int routing_count(int device);
// Label of routing code `code` on `device`; nullptr when the device has none.
const char* routing_label(int device, unsigned code);

// ---- Input modes ----------------------------------------------------------
//
// The device's input selector, set on the device and not stored in a preset:
// it decides which inputs the routing codes connect.

// 4 on the MV517, 2 on the MV961.
int input_mode_count(int device);
// "Inputs Analog", "Input 1 Digital", ...; nullptr for a mode the device lacks.
const char* input_mode_label(int device, int mode);

// ---- Level and mute groups ---------------------------------------------

extern const char* const level_group_labels[3];  // "independent", "Gr 1", "Gr 2"
extern const char* const mute_group_labels[5];   // "independent", "Gr 1 strong", ...

// Level group combo index of a `groups` byte (low nibble); unknown codes
// are "independent".
int level_group_index(uint8_t groups);
// Low nibble for a level group combo index.
uint8_t level_group_code(int index);
// Mute group combo index of a `groups` byte (high nibble 0x00, 0x20, 0x30,
// 0x40, 0x50 give 0..4; any other nibble is "independent").
int mute_group_index(uint8_t groups);
// High nibble (as 0x00..0x50) for a mute group combo index.
uint8_t mute_group_code(int index);

// ---- Crossover types ------------------------------------------------------

extern const char* const hp_type_labels[3];  // combo order of the high-pass
extern const char* const lp_type_labels[3];  // combo order of the low-pass

// High-pass combo index i means code (i + 1) mod 3; code c shows as (c + 2) mod 3.
uint8_t hp_code_from_index(int index);
int hp_index_from_code(uint8_t code);
// Type code of "Linkwitz-Riley 4.": it keeps its frequency and Q in slot 1
// and is computed as two sections.
constexpr uint8_t XO_LINKWITZ_RILEY = 2;
// Frequency and Q slot a crossover type uses (1 for Linkwitz-Riley, else 0).
int xo_slot(uint8_t config);
// Sections after the first that a crossover type is computed with: 1 for
// Linkwitz-Riley (two sections in series), else 0.
int xo_order(uint8_t config);
// Q times ten that a type fixes: 12 for the high-pass "Q 1.2", else 7.
uint8_t xo_fixed_q(int filter, uint8_t config);

// Writes the Q that the editor fixes for crossover `filter` (0 high-pass,
// 1 low-pass) of channel `ch` when it builds the Crossover tab: the slot
// with the filter's own index gets the type's value (high-pass: 12 for
// code 0, else 7; low-pass: 7 unless it is off). So a new preset is saved
// with the high-pass Q at 0.7 in slot 0.
void xo_apply_build_q(channel_t& ch, int filter);
// Both filters of a channel, as the editor shows them.
void channel_apply_build_q(channel_t& ch);
// The form in which the editor saves a preset: both filters of every
// channel of the device (`channels` 4 or 2).
void apply_build_q(preset_t& p, int channels);

// ---- EQ bands -------------------------------------------------------------

// Number of entries of a band's type selector (3 for bands 0 and 5, else 2)
// and their labels.
int peq_type_count(int band);
const char* peq_type_label(int band, int index);
// Selector entry of a band: 2 shelf, 1 "PEQ" (type 0, gain not 0), 0 "OFF".
int peq_type_index(const peq_t& band);
// A band is active unless it is off.
bool peq_active(const peq_t& band);

// ---- Lock flags -------------------------------------------------------------

constexpr uint8_t LOCK_DELAY = 0x01;
constexpr uint8_t LOCK_PEQ = 0x02;
constexpr uint8_t LOCK_XO = 0x04;
constexpr uint8_t LOCK_DYN = 0x08;
constexpr uint8_t LOCK_ROUTING = 0x10;
constexpr uint8_t LOCK_MUTE_LEVEL = 0x20;
constexpr uint8_t LOCK_FACTORY = 0x80;
// Bits 0-5: every lock the editor offers (the wizard's "Lock" sets them all).
constexpr uint8_t LOCK_EDITING = 0x3F;

struct lock_flag_t {
  uint8_t mask;
  const char* name;  // short English name for summaries
};
extern const lock_flag_t lock_flags[6];

// ---- Value ranges -------------------------------------------------------------
//
// The stored values a preset file may hold, in the record's units: the
// reader keeps the default where a file's value lies outside its field's
// range, and `qpx import` refuses such a value.

struct value_range_t {
  long lo, hi;
  constexpr bool contains(long v) const { return v >= lo && v <= hi; }
};

namespace file_range {
constexpr value_range_t delay{0, 40000};      // cm
constexpr value_range_t gain{-999, 60};       // 0.1 dB
constexpr value_range_t phase{0, 1};          //
constexpr value_range_t routing{0, 60};       // any code, also one the device lacks
constexpr value_range_t group{0, 15};         // each nibble of `groups`
constexpr value_range_t groups{0, 255};       // the whole `groups` byte
constexpr value_range_t mute{0, 15};          // the mute byte, one bit per channel
constexpr value_range_t lock{0, 255};         //
constexpr value_range_t xo_freq{35, 8000};    // Hz
constexpr value_range_t xo_q{7, 12};          // Q x 10
constexpr value_range_t xo_type{0, 2};        //
constexpr value_range_t peq_freq{35, 12000};  // Hz
constexpr value_range_t peq_gain{-120, 120};  // 0.1 dB
constexpr value_range_t peq_q{7, 125};        // Q x 10
constexpr value_range_t peq_type{0, 1};       //
constexpr value_range_t attack{0, 255};       // ms
constexpr value_range_t release{0, 255};      // 10 ms
constexpr value_range_t threshold{-99, 0};    // dB
constexpr value_range_t boost{-99, 0};        // dB
}  // namespace file_range

// The values the editor's widgets can show, in the record's units (the
// widgets' own ranges come from here). A file may hold values the reader
// accepts beyond them: the editor keeps such a value until its field is
// edited, and editor_findings (editor_findings.h) lists them.
namespace editor_range {
constexpr value_range_t gain{-990, 60};       // 0.1 dB: -99.0..+6.0 dB
constexpr value_range_t attack{0, 127};       // ms
constexpr value_range_t release{0, 127};      // 10 ms: 0..1270 ms
constexpr value_range_t threshold{-24, 0};    // dB
constexpr value_range_t boost{-99, 0};        // dB
constexpr value_range_t delay{0, 40000};      // cm
constexpr value_range_t xo_freq{35, 8000};    // Hz
constexpr value_range_t peq_freq{35, 12000};  // Hz
constexpr value_range_t peq_gain{-120, 120};  // 0.1 dB
constexpr value_range_t peq_q{7, 125};        // Q x 10
// Routing codes and level-group nibbles of a device's selectors.
constexpr value_range_t routing(int device) {
  return {0, device == MV961 ? 3 : 10};
}
constexpr value_range_t level_group(int device) {
  return {0, device == MV961 ? 1 : 2};
}
}  // namespace editor_range

// ---- Unit conversions ------------------------------------------------------

// dB to tenths, to the nearest integer with halves away from zero
// (channel level and EQ gain).
int db_to_tenths(double db);
// Q to Q times ten: Q x 10 + 0.5, truncated.
int q_to_stored(double q);
// Release in ms to units of 10 ms, truncated toward zero.
int release_to_stored(double ms);

enum delay_unit_t { DELAY_M = 0, DELAY_MS = 1, DELAY_FT = 2 };

constexpr double SPEED_OF_SOUND = 343.4;  // m/s
constexpr double FOOT = 0.3048;           // m

// Shown delay value in the given unit to centimetres, truncated toward
// zero. A product within 1e-6 of the next whole centimetre counts as that
// centimetre, so that a value that is a whole number of centimetres in
// decimal (1.15 m) is not lost to binary floating point (1.1499999...).
int delay_to_cm(double value, delay_unit_t unit);
// Centimetres to the value shown in a unit.
double cm_to_delay(int cm, delay_unit_t unit);

// The value a field shows for a stored value, in the field's unit: the
// widget is set to it after every store, so that its text (the value in
// the widget's digits) is what the record holds. Delays in `unit`.
enum class shown_field {
  level,
  peq_gain,
  peq_q,
  frequency,
  attack,
  release,
  threshold,
  boost,
  delay
};
double shown_value(shown_field field, long stored, delay_unit_t unit = DELAY_M);
// One centimetre in a delay unit: the step of the delay fields, so that an
// arrow press moves to the next value the record can hold.
double delay_step(delay_unit_t unit);

// ---- Record text <-> UTF-8 -------------------------------------------------
//
// Record texts are bytes: 0x01-0x7F are ASCII, 0x80-0x85 stand for the
// arrows U+2190-U+2195, 0x86-0xFF for the code point of the same value.
// Every conversion between record bytes and characters (widgets, JSON,
// HTML, the preset file's references) goes through the functions below.

constexpr uint8_t ARROW_BYTE_FIRST = 0x80;
constexpr uint8_t ARROW_BYTE_LAST = 0x85;
constexpr uint32_t ARROW_CODE_POINT_FIRST = 0x2190;

inline bool is_arrow_byte(uint8_t b) {
  return b >= ARROW_BYTE_FIRST && b <= ARROW_BYTE_LAST;
}
// The character a record byte stands for.
uint32_t code_point_of_byte(uint8_t b);
// The record byte a character read from a preset file becomes: the arrows
// give 0x80-0x85, U+0000-U+00FF the byte of that value, anything else '?'.
uint8_t byte_read_from_file(uint32_t cp);
// The record byte a typed character is stored as, or 0 when it has none:
// U+0080-U+0085 would read back as arrows, and the control characters
// U+0000-U+001F and U+007F do not belong in a name.
uint8_t byte_of_typed(uint32_t cp);

// Decodes the UTF-8 character at s[i] and advances i past it; an invalid
// or cut sequence gives UTF8_INVALID and advances i by one byte.
constexpr uint32_t UTF8_INVALID = 0xFFFFFFFF;
uint32_t next_utf8(const std::string& s, size_t& i);
// `text` with every byte that is not part of valid UTF-8 replaced by '?'.
std::string valid_utf8(const std::string& text);

// Converts at most `max_len` bytes of a record text (stopping at NUL).
std::string record_to_utf8(const char* bytes, size_t max_len);
// Converts UTF-8 to record bytes; characters without a byte (and invalid
// UTF-8) become '?'. The result is cut to `max_len` bytes.
std::string utf8_to_record(const std::string& utf8, size_t max_len);
// Stores UTF-8 text into a record field of `field_size` bytes (terminator
// included), cut to fit.
void set_record_text(char* field, size_t field_size, const std::string& utf8);

// Longest text run the file format allows between two tags.
constexpr size_t XML_TEXT_MAX = 63;

// Whether a UTF-8 name can be stored as typed in a field of `max_len` bytes
// and written to a preset file that passes its own checksum check.
struct name_fit_t {
  bool representable;     // every character has a record byte
  bool fits_field;        // at most max_len characters
  bool fits_written;      // written form (with references) <= XML_TEXT_MAX bytes
  size_t length;          // characters
  size_t written_length;  // bytes in the file
  bool ok() const { return representable && fits_field && fits_written; }
};
name_fit_t check_name(const std::string& utf8, size_t max_len);
// Why a name field of `max_len` characters refuses `utf8`, for its status
// line: "the name is full: at most 9 characters", "the name is full: at most
// 63 bytes in the preset file", "a character that cannot be stored in a
// name"; empty when the name fits.
std::string name_refusal(const std::string& utf8, size_t max_len);

// Bytes a record text takes in a preset file (escapes and references).
size_t written_text_length(const std::string& record_bytes);

// ---- Comparing records -------------------------------------------------------

// The first field in which two records differ, as "channel 2 EQ band 3" or
// "name"; empty when they hold the same values (bytes after a text's
// terminator do not count). It is the first entry of the full list of
// differences, preset_differences (model/preset_diff.h).
std::string first_difference(const preset_t& a, const preset_t& b);
inline bool presets_equal(const preset_t& a, const preset_t& b) {
  return first_difference(a, b).empty();
}
