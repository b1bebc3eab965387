// Copying settings from one output channel to others: a section of a
// channel (the settings of one editor page) or the whole channel.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/preset.h"

enum class channel_section {
  crossover,  // high-pass and low-pass: types, both frequency and Q slots
  eq,         // the six bands with their types
  limiter,    // attack, release, threshold, gain
  delay,      // the delay
  whole,      // everything but the name and the routing
};

// What a section is called in menus and messages: "crossover", "EQ",
// "limiter", "delay", "whole channel".
const char* section_label(channel_section s);
// The section of a command-line name ("xo", "eq", "limiter", "delay",
// "all"); nullopt for any other text.
std::optional<channel_section> parse_section(const std::string& name);

// Copies section `s` of channel `from` into channel `to` of `p`. A whole
// channel is the level, the level and mute groups, the polarity, the mute
// flag, the crossover, the EQ, the limiter and the delay; the name and the
// routing stay. Nothing happens when `from` is `to`.
void copy_channel_section(preset_t& p, unsigned from, unsigned to, channel_section s);

// One copy step as the editor and `qpx copy-channel` make it: section `s` of
// channel `from` into every channel whose bit is set in `targets` (bit n =
// channel n), below `channels`, except `from` itself. Returns the mask of
// the channels whose stored values changed (their pages, curves and
// diagrams need refreshing); 0 when nothing changed.
unsigned copy_to_channels(preset_t& p, unsigned channels, unsigned from, unsigned targets,
                          channel_section s);

// What one copy step did, as `qpx copy-channel` prints it and the editor's
// status bar shows it: "copied the EQ of B to A, D", followed by
// " (D already had them)" naming the targets that held those values already
// (`changed`: the mask copy_to_channels returned).
std::string copy_report(unsigned from, unsigned targets, unsigned changed, channel_section s);

// What the editor's undo calls a copy step that changed the channels in
// `changed`: "copy of the EQ of A to B, C" ("Undo copy of the EQ of A to
// B, C").
std::string copy_step_name(unsigned from, unsigned changed, channel_section s);

// A channel a menu of channel `from` offers: another open channel, or "All
// channels" (every other open channel at once). `targets` is its bit mask
// (bit n = channel n), as copy_to_channels takes it.
struct channel_choice_t {
  std::string label;  // Out B "Top R", or All channels
  unsigned targets;
  int channel;  // the one channel offered, -1 for All channels
};
// What the "Copy ... to" and "Show sum with" menus of channel `from` offer
// on a device with `channels` outputs: each other channel in order, labelled
// as the comparison names it, then, `with_all`, "All channels". Nothing
// for a channel the device lacks.
std::vector<channel_choice_t> channel_choices(const preset_t& p, unsigned channels, unsigned from,
                                              bool with_all);

// The legend lines of the EQ plot's extra curves (total_curve and
// sum_curves of calc_filters.h), for the status bar and `qpx plot`:
//   Total: Out A "Top L" (crossover x EQ)
//   Sum: Out A "Top L" + Out C "Sub" (level, polarity and delay included)
// A sum of two channels fed from different inputs (their routing differs,
// as Top L and Top R in a stereo routing) adds "; different inputs: shown as
// if one" inside the brackets: the signals are not the same.
std::string total_legend(const preset_t& p, unsigned ch);
std::string sum_legend(const preset_t& p, unsigned ch, unsigned with);
// The sum of the outputs predicted for two channels' measured loudspeakers:
//   Sum: Out A "Top L" + Out C "Sub" (measured; level, polarity and delay included)
std::string measured_sum_legend(const preset_t& p, unsigned ch, unsigned with);
// The legend line of another preset's curve of channel ch, drawn for
// comparison (`what` it shows: "crossover", "EQ", "total phase"):
//   Compared: Out A "Top L" of v2.qpx (EQ)
// or, when that preset's device lacks the channel:
//   Compared: small.qpx (MV961) has no channel C
std::string compare_legend(const std::string& file_name, const preset_t& other, int other_device,
                           unsigned ch, const char* what);
