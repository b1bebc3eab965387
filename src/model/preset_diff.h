// Comparing two presets value by value, and the texts in which the values
// are shown to the user (`qpx show`, `qpx diff`, the preset sheet). Numbers
// are written with a decimal point in every locale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/preset.h"

// ---- Value texts -------------------------------------------------------------

// A record text for a terminal or a message: control characters (C0, DEL and
// the C1 range that bytes 0x86-0x9F stand for) are shown as \xNN, so a name
// read from a file cannot send escape sequences; the rest as UTF-8.
std::string display_text(const char* bytes, size_t max_len);
// A name as texts made for people show it (menus, legends, reports,
// headings): display_text without the blanks that pad it at the end (the
// default names are "Out A    "); the record keeps them.
std::string display_name(const char* bytes, size_t max_len);
// The lock flags by name ("delay, crossover", "factory preset", "none").
std::string lock_text(uint8_t lock);
// The routing label of a code on a device, or "code N (no entry on the MV961)".
std::string routing_text(int device, uint8_t code);
// The type label of crossover `filter` (0 high-pass, 1 low-pass) by code.
std::string xo_type_text(int filter, uint8_t config);
// The type label of EQ band `band` (0-5), "Shelf (not allowed on this band)"
// for a shelf on a middle band.
std::string band_type_text(int band, const peq_t& p);

// Stored values in the user's units.
std::string tenths_db_text(long tenths);  // level, EQ gain: "-3.5 dB"
std::string whole_db_text(long db);       // limiter threshold and gain: "-6 dB"
std::string hz_text(long hz);             // "3150 Hz"
std::string q_text(long q_x10);           // "2.0"
std::string ms_text(long ms);             // limiter attack: "5 ms"
std::string release_text(long stored);    // units of 10 ms: "250 ms"
std::string polarity_text(long phase);    // "0°", "180°", else "code N"
std::string on_off_text(long v);          // mute: "on", "off"
// A delay of `cm` centimetres in a unit, to two decimals: "1.15 m",
// "3.35 ms", "3.77 ft".
std::string delay_text(long cm, delay_unit_t unit);
// The level and mute group of a `groups` byte on a device; group 2 exists on
// the MV517 only, so an MV961's group 2 adds " (not on the MV961)".
std::string level_group_text(uint8_t groups, int device);
std::string mute_group_text(uint8_t groups, int device);
// A channel's name without the blanks after it, as display_text shows it.
std::string channel_name_text(const channel_t& ch);

// The letter of channel `ch` ('A' for 0) and the letters of the channels in
// `mask` (bit n = channel n) as messages list them: "A, C, D".
char channel_letter(unsigned ch);
std::string channel_letters(unsigned mask);

// A channel as messages name it: its letter and its name without the
// padding at its end, Out B "Top R", Out A "Out A".
std::string channel_label(const preset_t& p, unsigned ch);

// ---- Differences ---------------------------------------------------------------

// One stored value that differs between two presets.
struct value_difference_t {
  int channel = -1;    // 0..3, or -1 for a value of the whole preset
  std::string part;    // "high-pass", "low-pass", "EQ band 3", "limiter" or ""
  std::string field;   // "frequency", "level", "name", ...
  std::string before;  // the value in the user's units (a name as UTF-8)
  std::string after;
  long stored_before = 0;  // the stored integers (0 for a name)
  long stored_after = 0;
  bool is_name = false;  // before and after are names
  std::string scope;     // what first_difference reports: "name", "mute",
                         // "channel 2 EQ band 3", ...
};

// Every stored value in which `b` differs from `a`, in the record's order:
// the device, the preset's name, the mute flags (one per channel), the lock
// flags, then channel by channel its name, routing, level, groups, polarity,
// crossover filters, EQ bands, limiter and delay. Channels and mute flags at
// or above `channels` are compared as a whole only when `channels` is 4.
// Routing labels follow each side's device. Bytes after a text's terminator
// do not count. Values whose texts read the same (an unknown group code)
// show their stored numbers too.
std::vector<value_difference_t> preset_differences(const preset_t& a, int device_a,
                                                   const preset_t& b, int device_b,
                                                   unsigned channels = 4);

// One line of a comparison, with the channel's letter and its name in `a`:
//   Out B "Top R"  EQ band 3  frequency  3150 Hz -> 990 Hz
//   Preset  name  "Live" -> "Show"
std::string difference_line(const value_difference_t& d, const preset_t& a);
