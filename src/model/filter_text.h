// Parametric filters as text, one filter a line, in the form that
// equaliser programs read and measurement programs write:
//
//   Preamp: -4.5 dB
//   Filter 1: ON PK Fc 125 Hz Gain -3.0 dB Q 2.00
//   Filter 2: ON LSC Fc 80 Hz Gain 4.0 dB
//   Filter 3: ON PEQ Fc 1.2 kHz Gain 2 dB BW Oct 0.5
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

  // What the user is told: the refusal, or what was taken, rounded and
  // left out, one sentence a line.
  std::string message() const;
};

// Reads `text` for channel `ch`. Peaking filters (PK, PEQ) go to the bands
// in the order of the lines; a low shelf (LS, LSC) only to band 1 and a high
// shelf (HS, HSC) only to band 6; the rest of the six bands are switched
// off. When every filter's "Filter N" names a band it can take (N 1 to 6,
// no band twice, a low shelf as 1, a high shelf as 6), each goes to band N,
// so that the text export_filter_text writes comes back to the same bands. Refused, naming the
// line: a line that cannot be read, a type the device lacks (LP, HP, BP, NO, AP, ...), a value
// outside the band's range (after rounding to the device's steps: whole hertz, 0.1 dB, Q 0.1), more
// filters than bands, a second shelf of a kind, a second preamp, and a text
// with no filter that is on. Filters switched OFF and peaking filters of 0 dB
// (a band at 0 dB is off) are left out with a note. The preamp is reported;
// with `apply_preamp` it is added to the channel level (refused when the
// level would leave -99.0..+6.0 dB).
filter_import_t import_filter_text(const std::string& text, const channel_t& ch,
                                   bool apply_preamp = false);

// Stores a successful import into the channel: the six bands and, when the
// preamp was applied, the level. A refusal changes nothing (returns false).
bool apply_filter_import(channel_t& ch, const filter_import_t& r);

// The channel's bands that are on, one "Filter N: ON ..." line each (N the
// band, 1 to 6), that import_filter_text reads back to the same values;
// after a "# title" line when `title` is not empty.
std::string export_filter_text(const channel_t& ch, const std::string& title = "");
