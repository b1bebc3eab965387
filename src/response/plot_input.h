// Keyboard, wheel and pointer on the response plots, as plain rules: what a
// key press does, which handle Tab selects, where a handle moved by plot
// columns lands, what a wheel notch changes, and the status bar's readout
// texts. The GTK handlers (plots.cpp) translate their events into these
// calls and apply the results through the filters' spin buttons.
//
// Handles are numbered as the plots draw them: the EQ plot's bands 0..5,
// the crossover plot's high-pass 0 and low-pass 1.
#pragma once

#include <cstdint>
#include <string>

#include "model/preset.h"

// ---- Keys ------------------------------------------------------------------

enum class plot_key_action {
  ignore,           // not the plot's key: let the window have it
  swallow,          // the plot's key, doing nothing here (arrows with Ctrl or Alt)
  select_next,      // Tab
  select_previous,  // Shift+Tab
  move_columns,     // Left / Right: `steps` plot columns
  step_gain,        // Up / Down: `steps` tenths of a dB
  step_q,           // "+" / "-": `steps` tenths of Q
};

struct plot_key_t {
  plot_key_action action;
  int steps;
};

// What a key press on a focused plot does. `keysym` is the X keysym of the
// key as it reads without Shift ("Tab" for Shift+Tab; on a layout where "+"
// needs Shift, the "=" key is the "+" key); Shift multiplies a step by ten
// and turns Tab backwards. With Control or Alt held only the arrows stay the
// plot's (and do nothing), so that the window's accelerators and focus keys
// keep working.
plot_key_t plot_key(unsigned keysym, bool shift, bool control_or_alt);

// The handle Tab selects after `current` (-1: none yet), forwards or
// backwards, among `count` handles of which those marked `active` can be
// selected; it wraps around. -1 when no handle is active.
int next_handle(int current, const bool active[], int count, bool forward);

// ---- Steps -----------------------------------------------------------------

// The whole hertz a filter at `hz` moves to when its handle moves by
// `columns` plot columns (negative: to the left), within lo..hi. It lands on
// the lowest whole hertz of the target column going right and on the highest
// going left; where a column holds no whole hertz (below about 140 Hz) it
// goes on to the next one that does, so every step moves the handle. Within
// the range it always moves at least one column.
int frequency_moved_by_columns(int hz, int columns, int lo, int hi);

// A stored EQ gain (0.1 dB) changed by `tenths`, within -12.0..+12.0 dB.
int gain_stepped(int gain, int tenths);

// A stored Q (Q x 10) changed by `tenths`, within 0.7..12.5.
int q_stepped(int q, int tenths);

// What a step stores: the spin button it sets and the value it gives it,
// in the spin button's unit (Hz, dB, Q). Setting a spin button to the value
// it holds (a step at the end of a range) stores nothing.
enum class plot_step_field { none, frequency, gain, q };
struct plot_step_t {
  plot_step_field field;
  double value;
};

// A step of EQ band `p`: a column step moves its frequency within the EQ
// range (35..12000 Hz), a gain step its gain, a Q step its Q, but only on a
// peaking band (type 0): a shelf has no Q to change.
plot_step_t peq_step(const peq_t& p, const plot_key_t& key);

// A step of crossover filter `f`: only a column step does something, from
// the frequency its type uses, within the crossover range (35..8000 Hz).
plot_step_t xo_step(const xo_t& f, const plot_key_t& key);

// ---- Wheel -----------------------------------------------------------------

constexpr double WHEEL_REACH = 10.0;  // pixels from a handle's centre

// The band a wheel notch at (px, py) changes: among the bands marked
// `peaking` (on, not a shelf), the one whose handle, drawn at
// (column + 0.5, row), is nearest and at most WHEEL_REACH away; the lower
// band on a tie; -1 when none is in reach.
int wheel_band(const int16_t column[6], const int16_t row[6], const bool peaking[6], double px,
               double py);

// What a notch does to that band, as the key with the same effect: its Q
// by 0.1 (up: higher), or with Shift its gain by 0.1 dB (up: louder).
plot_key_t wheel_step(bool up, bool shift);

// ---- Readout ---------------------------------------------------------------

// A frequency to three significant digits: "33.9 Hz", "250 Hz", "1.25 kHz",
// "12.5 kHz".
std::string readout_frequency(double hz);

// A level in tenths of a dB: "+3.5 dB", "0.0 dB", "-12.0 dB".
std::string readout_level(int tenths);

// What lies under the pointer at plot pixel (px, py), by the plot's mapping:
// the column's frequency and the row's level to 0.1 dB, "1.25 kHz   +3.5 dB".
std::string pointer_readout(int px, int py);

// The same in the phase view, where a row stands for degrees: the column's
// frequency and the row's phase to the degree, "1.25 kHz   +45°".
std::string phase_pointer_readout(int px, int py);

// The stored values of EQ band `band` (0..5): "Filter 3: 990 Hz, +7.5 dB, Q 0.7".
std::string peq_readout(int band, const peq_t& p);

// The stored values of crossover filter `filter` (0 high-pass, 1 low-pass):
// the frequency its type uses and the type, "High-Pass: 120 Hz, Linkwitz-Riley 4.".
std::string xo_readout(int filter, const xo_t& f);
