// Parametric filters as text, one filter a line, in the form that
// equaliser programs read and measurement programs write:
//
//   Preamp: -4.5 dB
//   Filter 1: ON PK Fc 125 Hz Gain -3.0 dB Q 2.00
//   Filter 2: ON LS 6dB Fc 80 Hz Gain 4.0 dB
//   Filter 3: ON PEQ Fc 1.2 kHz Gain 2 dB BW Oct 0.5
//
// before which a measurement program writes lines of its own (its name, a
// date, notes), skipped here.
//
// Taking such a text into a channel's six EQ bands is one step that either
// succeeds whole or changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/preset.h"

// The outcome of reading a filter text for a channel.
struct filter_import_t {
  bool ok = false;

  // A refusal: the 1-based line (0 when it concerns the whole text), the
  // line as it was read and why it cannot be taken.
  int line = 0;
  std::string line_text;
  std::string reason;

  // A success: the channel's six bands as they are to be stored (filters in
  // their bands, every other band switched off, keeping its frequency and
  // Q), the bands that took a filter (bit b = band b), one note per value
  // that was rounded or left out, and the preamp line's value.
  peq_t bands[6] = {};
  unsigned band_mask = 0;
  std::vector<std::string> notes;
  bool has_preamp = false;
  double preamp_db = 0.0;
  bool level_set = false;  // the preamp is applied to the channel level...
  int16_t gain = 0;        // ...which becomes this (0.1 dB)
  // Which filter went to which band, when that is not Filter N to band N:
  // "Filter 6 (low shelf) -> band 1, Filters 1-5 -> bands 2-6"; else empty.
  std::string placement;

  // What the user is told: the refusal, or what was taken, rounded and
  // left out, one sentence a line.
  std::string message() const;
};

// Reads `text` for channel `ch`. Peaking filters (PK, PEQ) go to the bands
// in the order of the lines; a low shelf (LS, LSC, "LS 6dB") only to band 1
// and a high shelf (HS, HSC, "HS 6dB") only to band 6; the rest of the six
// bands are switched off. When every filter's "Filter N" names a band it can
// take (N 1 to 6, no band twice, a low shelf as 1, a high shelf as 6), each
// goes to band N, so that the text export_filter_text writes comes back to
// the same bands.
//
// Lines that are plainly not filter lines (a program's header such as "Room
// EQ V5.30", "Dated: ...", "Notes: ..."; anything that starts neither with
// "Filter" and a number or colon nor with "Preamp:") are skipped with a
// note; blank lines and # comments quietly. "Filter 3: ON None" is an empty
// slot.
//
// Refused, naming the line: a filter line that cannot be read (a number
// with a decimal comma: "use a decimal point"), a type the device lacks
// (LP, HP, BP, NO, AP, ...), a shelf that is not first-order (LS 12dB, a Q
// outside about 0.5 to 0.71), a value outside the band's range (after
// rounding to the device's steps: whole hertz, 0.1 dB, Q 0.1), more filters
// than bands, a second shelf of a kind, a second preamp, and a text with no
// filter that is on. Filters switched OFF and peaking filters of 0 dB (a
// band at 0 dB is off) are left out with a note. The preamp is reported;
// with `apply_preamp` it is added to the channel level (refused when the
// level would leave -99.0..+6.0 dB).
filter_import_t import_filter_text(const std::string& text, const channel_t& ch,
                                   bool apply_preamp = false);

// Stores a successful import into channel `ch` of `p` (of a device with
// `channels` outputs): the six bands and, when the preamp was applied, the
// level, as a level change of that channel: its level group follows as for
// a level typed by hand (change_level). A refusal changes nothing (returns
// false).
bool apply_filter_import(preset_t& p, unsigned channels, unsigned ch, const filter_import_t& r);

// What the editor's undo calls an import into channel `ch`: "filter import
// into Out A".
std::string filter_import_step_name(unsigned ch);

// The channel's bands that are on, one "Filter N: ON ..." line each (N the
// band, 1 to 6; a shelf as the first-order "LS 6dB" or "HS 6dB"), that
// import_filter_text reads back to the same values; after a "# title" line
// when `title` is not empty.
std::string export_filter_text(const channel_t& ch, const std::string& title = "");
