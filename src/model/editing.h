// What the editing operations decide, as plain functions over the record.
//
// The GTK handlers (change_preset.cpp, plots.cpp) read their widgets, call
// one of the functions below and write the results back into the widgets
// that depend on them. Nothing here touches a widget or draws: curve
// computations are returned as a description (which curves, which order)
// for the caller to run.
//
// The pure functions take every input as an argument. The store_* and
// init_* wrappers at the end read and write the globals (`preset`, `aktiv`,
// the value texts, `gain_temp`, the handle positions) for the handlers.
#pragma once

#include <cstdint>
#include <optional>

#include "model/preset.h"

// ---- Editor state shared by the editing operations, plots and overview ----

// Activity masks of the overview diagram, bit n = channel n:
// [0] limiter threshold not 0, [1] some EQ band not "OFF", [2] unused,
// [3] delay not 0, [4] the complement of the mute byte (channel not muted).
constexpr int AKTIV_DYN = 0;
constexpr int AKTIV_PEQ = 1;
constexpr int AKTIV_DELAY = 3;
constexpr int AKTIV_UNMUTED = 4;
extern int aktiv[5];

// Per-channel texts of the overview diagram (sizes include the NUL).
constexpr int LEVEL_TEXT_SIZE = 9;   // "%5.1lf dB": "-99.0 dB"
constexpr int DYN_TEXT_SIZE = 7;     // "%3i dB":    "-24 dB"
constexpr int DELAY_TEXT_SIZE = 11;  // "%6.2lf m":  "400.00 m", "1164.82 ms"
extern char level_values[4][LEVEL_TEXT_SIZE];
extern char dyn_values[4][DYN_TEXT_SIZE];
extern char delay_values[4][DELAY_TEXT_SIZE];

// Each channel's level in dB as the level operation last saw it; the step
// applied to linked channels is measured against it.
extern double gain_temp[4];
// Index of the input-mode combo box (not stored in the preset).
extern int in_mode;
// Delay unit the Delay tab shows (a delay_unit_t value: 0 m, 1 ms, 2 ft).
extern int unit;

// Plot handle positions: crossover columns [0 high-pass / 1 low-pass][ch],
// EQ columns and rows [ch][band].
extern int16_t x[2][4];
extern int16_t x_peq[4][6];
extern int16_t y_peq[4][6];
// Crossover filter touched last (0 high-pass, 1 low-pass), EQ band chosen
// by the last press, and the number of bands found off at that press.
extern int xo_select;
extern int peq_select;
extern int count_off;

// ---- Spin buttons --------------------------------------------------------

// A spin button's value as a whole number, as the toolkit reads it: the
// nearest integer, halves toward +infinity.
int spin_whole(double value);

// A spin button keeps the full value it was set to and prints it rounded to
// its digits; when it re-reads its text (focus leaving, Enter, an arrow
// press) it would take the rounded value. Given the text and the value held,
// returns the value held when the text is still the one it prints for it
// (the user did not edit it), so that re-reading loses nothing; nullopt when
// the text was edited and must be parsed as usual.
std::optional<double> spin_kept_value(const char* text, double current, int digits);

// ---- Value texts ---------------------------------------------------------

// `level_values` text of a stored gain (0.1 dB): "%5.1lf" of gain / 10.0,
// then " dB", with a decimal point in every locale (as all value texts).
void format_level_value(char (&out)[LEVEL_TEXT_SIZE], int gain);
// `dyn_values` text of a threshold in whole dB: "%3i", then " dB".
void format_dyn_value(char (&out)[DYN_TEXT_SIZE], int threshold);
// `delay_values` text of a value shown in `u`: "%6.2lf", then " m", " ms"
// or " ft".
void format_delay_value(char (&out)[DELAY_TEXT_SIZE], double shown, delay_unit_t u);

// ---- Activity masks --------------------------------------------------------

// Bits of the channels below `channels` whose limiter threshold is not 0.
int limiter_mask(const preset_t& p, unsigned channels);
// Bits of the channels below `channels` whose delay is not 0.
int delay_mask(const preset_t& p, unsigned channels);
// Bits of the channels below `channels` with at least one band not "OFF".
int peq_mask(const preset_t& p, unsigned channels);
// `mask` with bit ch set when `on`, else cleared.
int with_channel_bit(int mask, unsigned ch, bool on);
// The unmuted mask: the mute byte zero-extended and inverted bit by bit
// (the upper 24 bits are set).
int unmuted_mask(uint8_t mute);

// What the editor build computes for the overview: the texts and activity
// bits of the channels below `ch_max` (delay text in metres), and the
// unmuted mask. Channels at or above `ch_max` keep their texts and bits,
// and aktiv[2] is left as it is. The EQ bit is taken from the record, which
// is what the band type selectors are built from.
struct overview_values_t {
  int aktiv[5];
  char level_values[4][LEVEL_TEXT_SIZE];
  char dyn_values[4][DYN_TEXT_SIZE];
  char delay_values[4][DELAY_TEXT_SIZE];
};
void compute_overview_values(const preset_t& p, unsigned ch_max, overview_values_t& io);

// ---- Level and mute linking ------------------------------------------------

// Range of the level spin buttons, dB.
constexpr double LEVEL_MIN_DB = editor_range::gain.lo / 10.0;
constexpr double LEVEL_MAX_DB = editor_range::gain.hi / 10.0;

// Outcome of a level change on channel `ch`.
struct level_link_t {
  double shown[4];  // every channel's spin button value afterwards
  bool moved[4];    // the linked channels whose spin button is set
  int16_t gain[4];  // stored gain of the channels below the count
};
// `shown` holds the spin button values, shown[ch] already the new value.
// The step shown[ch] - gain_temp[ch] is added to every other channel below
// `channels` in the same level group (not "independent"), each clamped to
// -99.0..+6.0 dB on its own. Unknown level-group nibbles count as
// "independent". Only channel ch and the linked channels get a new `gain`;
// the others keep theirs. The new `gain_temp` of those channels is their
// stored gain in dB, which their spin buttons then show.
level_link_t link_levels(const preset_t& p, unsigned channels, unsigned ch, const double shown[4],
                         const double gain_temp_in[4]);

// Stores a level change found by link_levels into the record: channel ch
// and the linked channels below `channels` get their new gain.
level_link_t apply_level_change(preset_t& p, unsigned channels, unsigned ch, const double shown[4],
                                const double before[4]);

// A level of `db` (inside -99.0..+6.0 dB) set for channel `ch` as the editor
// takes one typed into its level field: the channel stores it to 0.1 dB and
// its level group follows by the same step, each linked channel clamped to
// its range on its own. The fields of the other channels show their stored
// levels (clamped to the field's range), the step is measured from the
// channel's stored level. Used by the filter import's preamp and `qpx set`.
level_link_t change_level(preset_t& p, unsigned channels, unsigned ch, double db);

// Whether channel `other` follows a mute toggle on channel `ch`, given
// their `groups` bytes: a strong member pulls the strong and weak members of
// its group, a weak member only the weak ones; unknown nibbles are
// "independent" and pull nothing.
bool mute_follows(uint8_t groups_ch, uint8_t groups_other);
// Mute byte after button ch was set to `state`: channel ch and its
// followers below `channels` take the state (one step, no cascade);
// channels at or above `channels` keep their bits.
uint8_t mute_after_toggle(const preset_t& p, unsigned channels, unsigned ch, bool state);

// `groups` with the mute group (high nibble) of combo index `index`.
uint8_t groups_with_mute_group(uint8_t groups, int index);
// `groups` with the level group (low nibble) of combo index `index`.
uint8_t groups_with_level_group(uint8_t groups, int index);

// ---- Crossover -------------------------------------------------------------

constexpr int XO_FREQ_MIN = editor_range::xo_freq.lo;
constexpr int XO_FREQ_MAX = editor_range::xo_freq.hi;

// Curves a crossover change asks for: Calc_HighPass(ch, hp_order) when `hp`,
// Calc_LowPass(ch, lp_order) when `lp`.
struct xo_recalc_t {
  bool hp;
  uint16_t hp_order;
  bool lp;
  uint16_t lp_order;
};

// A frequency change: both filters store their spin button's whole-hertz
// value in both slots and get their handle column; `select` (0 high-pass,
// 1 low-pass) is the spin button that changed and picks the curve (none for
// a low-pass that is off).
xo_recalc_t apply_xo_freq(channel_t& ch, int hp_hz, int lp_hz, int select, int16_t column[2]);

// A type change from the two combo indices: configs, the Q slots that the
// types fix (high-pass by its type's slot, both low-pass slots 7), the
// high-pass curve always, the low-pass curve unless it is off. The low-pass
// frequency spin button is sensitive exactly when `lp` is set.
xo_recalc_t apply_xo_type(channel_t& ch, int hp_index, int lp_index);

// ---- EQ bands --------------------------------------------------------------

constexpr int PEQ_FREQ_MIN = editor_range::peq_freq.lo;
constexpr int PEQ_FREQ_MAX = editor_range::peq_freq.hi;
constexpr double PEQ_GAIN_MIN_DB = editor_range::peq_gain.lo / 10.0;
constexpr double PEQ_GAIN_MAX_DB = editor_range::peq_gain.hi / 10.0;
constexpr double PEQ_Q_MIN = editor_range::peq_q.lo / 10.0;
constexpr double PEQ_Q_MAX = editor_range::peq_q.hi / 10.0;

// Curves an EQ change asks for, in this order: Calc_LowShelf(ch) when
// `lowshelf`, Calc_HighShelf(ch) when `highshelf`, then Calc_Peq(ch, band).
struct peq_recalc_t {
  bool lowshelf;
  bool highshelf;
  int band;
};
// The curves for a change of `band`: the shelves follow the record (band 0
// or 5 with type 1).
peq_recalc_t peq_recalc(const channel_t& ch, int band);

// Row of a stored band gain (0.1 dB): trunc(102 - 8 x gain / 10).
int16_t peq_gain_row(int gain);

// Band frequency from the spin button's whole-hertz value; its column.
peq_recalc_t apply_peq_freq(channel_t& ch, int band, int hz, int16_t& column);
// Band Q from the spin button (Q x 10 + 0.5, truncated).
peq_recalc_t apply_peq_q(channel_t& ch, int band, double q);
// Band gain from the spin button unless the band's combo box is at "OFF"
// (index 0), where the stored gain stays 0; the row of the stored gain.
peq_recalc_t apply_peq_gain(channel_t& ch, int band, int type_index, double shown_db, int16_t& row);

// A type change: all six bands are re-read. Type 1 for combo index 2, else
// 0; an "OFF" band stores gain 0 and keeps its row, any other stores its
// gain spin button's value and gets the row of it. `band` is the band whose
// combo box changed. Its spin buttons are sensitive exactly when a band's
// index is not 0.
struct peq_type_result_t {
  peq_recalc_t recalc;
  bool any_on;  // the channel's bit of aktiv[1]
};
peq_type_result_t apply_peq_types(channel_t& ch, const int type_index[6], const double shown_db[6],
                                  int band, int16_t row[6]);

// ---- Limiter ---------------------------------------------------------------

// Ranges of the limiter's spin buttons, in the units they show.
constexpr int ATTACK_MIN_MS = editor_range::attack.lo;
constexpr int ATTACK_MAX_MS = editor_range::attack.hi;
constexpr int RELEASE_STEP_MS = 10;
constexpr int RELEASE_MIN_MS = editor_range::release.lo * RELEASE_STEP_MS;
constexpr int RELEASE_MAX_MS = editor_range::release.hi * RELEASE_STEP_MS;
constexpr int THRESHOLD_MIN_DB = editor_range::threshold.lo;
constexpr int THRESHOLD_MAX_DB = editor_range::threshold.hi;
constexpr int LIMITER_GAIN_MIN_DB = editor_range::boost.lo;
constexpr int LIMITER_GAIN_MAX_DB = editor_range::boost.hi;

// Release in units of 10 ms of the spin button's whole milliseconds.
uint8_t release_from_ms(int ms);

// ---- Delay -----------------------------------------------------------------

// The Delay tab's presentation of a unit: label next to the spin buttons,
// the spin range's top (all three mean 400 m, to two decimals) and the
// suffix of the value texts.
struct delay_unit_info_t {
  const char* label;
  double max;
  const char* suffix;
};
const delay_unit_info_t& delay_unit_info(delay_unit_t u);

// `value` clamped to the spin range of `u`, as the spin button holds it.
double delay_spin_clamp(double value, delay_unit_t u);

// The value a delay field shows for `cm` stored: the centimetres in `u`,
// clamped to the unit's range (400 m shows as 1164.82 ms).
double delay_shown(int cm, delay_unit_t u);

// Centimetres a delay shown in `u` stores: truncated (delay_to_cm) and
// limited to the record's 0..40000.
int delay_cm_of_shown(double shown, delay_unit_t u);

// A delay edit: channel `edited` (-1: none) stores the delay its spin button
// shows in `u`; every channel below `channels` gets the text of its stored
// value in `u`. The other channels keep their stored delays: storing a value shown
// in another unit again could move it by the one-centimetre truncation
// (400 m shows as the clamped 1164.82 ms, which stores 39999 cm). Returns
// the new aktiv[3].
int apply_delay_edit(preset_t& p, unsigned channels, int edited, const double shown[],
                     delay_unit_t u, char (*texts)[DELAY_TEXT_SIZE]);

// ---- Press and drag on the plots -------------------------------------------

// The crossover filter a press at column px moves: the high-pass when the
// low-pass is off, else the one with the strictly nearer handle column,
// the low-pass on a tie.
int xo_press_choice(int16_t hp_column, int16_t lp_column, int16_t px, bool lp_off);

// The EQ band a press at column px moves (peq_select) and the number of
// bands that are off (count_off). Only horizontal distance counts; ties keep
// the lower band; off bands are never chosen. With all six off, count_off is
// 6 and nothing moves (see peq_press_moves).
struct peq_press_t {
  int band;
  int count_off;
};
peq_press_t peq_press_choice(const int16_t column[6], const bool off[6], int16_t px);
bool peq_press_moves(int count_off);

// Where a press or drag at (px, py) puts a filter: the frequency (and gain)
// the pointer asks for, what the spin button keeps of it (clamped, whole
// hertz; gain to 0.1 dB) and the handle position of the stored value.
struct xo_target_t {
  double requested_hz;
  int hz;
  int16_t column;
};
xo_target_t xo_pointer_target(int16_t px);

struct peq_target_t {
  double requested_hz;
  int hz;
  int16_t column;
  double requested_db;
  int gain;  // 0.1 dB
  int16_t row;
};
peq_target_t peq_pointer_target(int16_t px, int16_t py);

// ---- Wrappers over the globals ---------------------------------------------
//
// They use `preset`, `mv_type` and the globals above; each does what the
// pure function of the same rule computes and stores it.

// The overview texts and masks for an editor of `ch_max` channels.
void init_overview_values(unsigned ch_max);
// Level change on channel ch (gains, gain_temp, level_values).
level_link_t store_level_change(unsigned ch, const double shown[4]);
// Mute toggle on channel ch (mute byte, aktiv[4]); returns the mute byte.
uint8_t store_mute_toggle(unsigned ch, bool state);
// Crossover frequency / type of channel ch (x and xo_select for the former).
xo_recalc_t store_xo_freq(unsigned ch, int hp_hz, int lp_hz, int select);
xo_recalc_t store_xo_type(unsigned ch, int hp_index, int lp_index);
// EQ changes of channel ch (x_peq, y_peq, aktiv[1]).
peq_recalc_t store_peq_freq(unsigned ch, int band, int hz);
peq_recalc_t store_peq_q(unsigned ch, int band, double q);
peq_recalc_t store_peq_gain(unsigned ch, int band, int type_index, double shown_db);
peq_recalc_t store_peq_types(unsigned ch, const int type_index[6], const double shown_db[6],
                             int band);
// Limiter threshold of channel ch (dyn_values, aktiv[0]).
void store_limiter_threshold(unsigned ch, int threshold);
// A delay edit of the open editor (delay_values, aktiv[3]); see
// apply_delay_edit.
void store_delay_edit(int edited, const double shown[], delay_unit_t u);
