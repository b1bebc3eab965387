#include "model/undo_history.h"

#include <algorithm>
#include <vector>

#include "model/preset_diff.h"

namespace {

bool starts_with(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

// What a difference is about: its part ("EQ band 3", "limiter") or field
// ("level", "delay"); the preset's own name and lock flags by their names.
std::string subject_of(const value_difference_t& d) {
  if (d.channel < 0)
    return d.field == "name" ? "preset name" : d.field == "lock" ? "lock flags" : d.field;
  return d.part.empty() ? d.field : d.part;
}

// One name for the subjects of a change: the subject itself when there is
// one, else the section they share.
std::string joint_subject(const std::vector<std::string>& subjects) {
  if (subjects.size() == 1) return subjects.front();
  const auto all = [&](auto pred) { return std::all_of(subjects.begin(), subjects.end(), pred); };
  if (all([](const std::string& s) { return starts_with(s, "EQ band "); })) return "EQ";
  if (all([](const std::string& s) { return s == "high-pass" || s == "low-pass"; }))
    return "crossover";
  if (all([](const std::string& s) { return s == "level group" || s == "mute group"; }))
    return "groups";
  return "settings";
}

std::string name_of(const std::vector<value_difference_t>& diffs) {
  std::vector<std::string> subjects;
  unsigned channels = 0;
  bool whole_preset = false;
  for (const value_difference_t& d : diffs) {
    const std::string s = subject_of(d);
    if (std::find(subjects.begin(), subjects.end(), s) == subjects.end()) subjects.push_back(s);
    if (d.channel < 0)
      whole_preset = true;
    else
      channels |= 1u << d.channel;
  }
  if (subjects.empty()) return "";
  if (channels == 0) return joint_subject(subjects);
  if (whole_preset) return "settings of the preset";
  return joint_subject(subjects) + " of Out " + channel_letters(channels);
}

}  // namespace

std::string change_name(const preset_t& before, const preset_t& after) {
  return name_of(preset_differences(before, MV517, after, MV517));
}

undo_history::undo_history(size_t limit) : limit_(std::max<size_t>(limit, 1)) {}

void undo_history::start(const preset_t& opened) {
  steps_.clear();
  position_ = 0;
  saved_ = opened;
  may_extend_ = false;
}

bool undo_history::record(const preset_t& before, const preset_t& after, const std::string& named) {
  const std::vector<value_difference_t> diffs = preset_differences(before, MV517, after, MV517);
  if (diffs.empty()) return false;
  const bool typing =
      named.empty() && std::all_of(diffs.begin(), diffs.end(),
                                   [](const value_difference_t& d) { return d.is_name; });
  const std::string name = named.empty() ? name_of(diffs) : named;
  if (typing && may_extend_ && can_undo() && !can_redo() && steps_.back().typing &&
      steps_.back().name == name) {
    steps_.back().after = after;
    return true;
  }
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_), steps_.end());
  steps_.push_back({before, after, name, typing});
  if (steps_.size() > limit_) steps_.pop_front();
  position_ = steps_.size();
  may_extend_ = true;
  return true;
}

std::string undo_history::undo_name() const {
  return can_undo() ? steps_[position_ - 1].name : "";
}

std::string undo_history::redo_name() const {
  return can_redo() ? steps_[position_].name : "";
}

const preset_t* undo_history::undo() {
  may_extend_ = false;
  if (!can_undo()) return nullptr;
  return &steps_[--position_].before;
}

const preset_t* undo_history::redo() {
  may_extend_ = false;
  if (!can_redo()) return nullptr;
  return &steps_[position_++].after;
}

void undo_history::saved(const preset_t& current) {
  saved_ = current;
  may_extend_ = false;
}

bool undo_history::unsaved(const preset_t& current) const {
  return !presets_equal(saved_, current);
}
