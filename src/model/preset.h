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
// Frequency and Q slot a crossover type uses (1 for Linkwitz-Riley, else 0).
int xo_slot(uint8_t config);
// Q times ten that a type fixes: 12 for the high-pass "Q 1.2", else 7.
uint8_t xo_fixed_q(int filter, uint8_t config);

// Writes the Q that the editor fixes for crossover `filter` (0 high-pass,
// 1 low-pass) of channel `ch` when it builds the Crossover tab: the slot
// with the filter's own index gets the type's value (high-pass: 12 for
// code 0, else 7; low-pass: 7 unless it is off). So a new preset is saved
// with the high-pass Q at 0.7 in slot 0.
void xo_apply_build_q(channel_t& ch, int filter);

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

struct lock_flag_t {
  uint8_t mask;
  const char* name;  // short English name for summaries
};
extern const lock_flag_t lock_flags[6];

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

// ---- Record text <-> UTF-8 -------------------------------------------------
//
// Record texts are bytes: 0x01-0x7F are ASCII, 0x80-0x85 stand for the
// arrows U+2190-U+2195, 0x86-0xFF for the code point of the same value.

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

// Bytes a record text takes in a preset file (escapes and references).
size_t written_text_length(const std::string& record_bytes);
