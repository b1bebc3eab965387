// Stereo links between the two channels of a pair (A+B, and C+D on the
// MV517): while a pair is linked, every change of one channel's crossover,
// EQ, limiter, delay or polarity is made on the other as well. Names,
// routing, level, level and mute groups and mute stay per channel (the
// level has its own groups). The link itself is not part of the record.
#pragma once

#include <string>

#include "model/preset.h"

// Links as a mask: bit 0 the pair A+B, bit 1 the pair C+D.
constexpr unsigned LINK_PAIR_COUNT = 2;
constexpr unsigned LINK_AB = 1u;
constexpr unsigned LINK_CD = 2u;

// The channels of pair `pair` (0: A and B, 1: C and D).
constexpr unsigned link_first(unsigned pair) {
  return 2 * pair;
}
constexpr unsigned link_second(unsigned pair) {
  return 2 * pair + 1;
}
// The mask of both channels of a pair (bit n: channel n).
constexpr unsigned link_channels(unsigned pair) {
  return 3u << (2 * pair);
}

// The pairs a device has: A+B on both, C+D only on the MV517 (the MV961
// has no channels C and D to link).
unsigned link_pairs_of_device(int device);
// `links` without the pairs the device lacks.
unsigned links_for_device(unsigned links, int device);
// "A+B", "C+D".
std::string link_pair_name(unsigned pair);

// Whether two channels hold the same crossover (types, both frequency and
// Q slots), EQ bands, limiter, delay and polarity.
bool linked_sections_equal(const channel_t& a, const channel_t& b);
// Where they differ, as the question before linking says it:
// "crossover, EQ and delay"; empty when they agree.
std::string linked_differences(const channel_t& a, const channel_t& b);
// The linked sections of `from` into `to`; the rest of `to` stays.
void copy_linked_sections(const channel_t& from, channel_t& to);
// The pairs of a device whose two channels already agree in every linked
// section.
unsigned equal_pairs(const preset_t& p, int device);

// Makes an edit of pair `pair` (`before` the record before it, `after`
// after it) on both channels. The linked sections are compared part by part
// (each crossover filter, each EQ band, the limiter, the delay, the
// polarity): a part that changed on one channel is copied to the other.
// When both channels changed a part and it now differs between them, the
// first channel of the pair (A, C) gives it to the second. Returns the
// channels `after` changed in (bit n: channel n).
unsigned follow_link(const preset_t& before, preset_t& after, unsigned pair);
// follow_link for every pair whose bit is set in `links`.
unsigned follow_links(const preset_t& before, preset_t& after, unsigned links);
