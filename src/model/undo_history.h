// The editor's undo history: a bounded list of steps, each the record before
// and after one user action with a name for it ("EQ band 3 of Out B"), the
// position between the steps undone and those still done, and the record
// last saved or opened, against which the open preset counts as unsaved.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "model/preset.h"

// What a change from `before` to `after` is called in "Undo <what>": the
// changed field or part and the channels it changed ("level of Out A, B",
// "EQ band 3 of Out B", "crossover of Out C", "preset name"); empty when
// no stored value differs.
std::string change_name(const preset_t& before, const preset_t& after);

class undo_history {
 public:
  static constexpr size_t DEFAULT_LIMIT = 1000;
  explicit undo_history(size_t limit = DEFAULT_LIMIT);

  // Forgets every step; `opened` is the record as opened, the saved state.
  void start(const preset_t& opened);

  // One user action changed the record from `before` to `after`: a new step
  // after the current position (the steps that could be redone are gone),
  // the oldest dropped beyond the limit. Editing the same name again right
  // after its step (typing) extends that step. A step `named` by the action
  // that made it ("copy of the EQ of A to B") keeps that name; otherwise it
  // is called what changed (change_name). Returns false, recording nothing,
  // when no stored value differs.
  bool record(const preset_t& before, const preset_t& after, const std::string& named = "");

  bool can_undo() const { return position_ > 0; }
  bool can_redo() const { return position_ < steps_.size(); }
  size_t undo_count() const { return position_; }
  size_t redo_count() const { return steps_.size() - position_; }
  // The name of the step that undo or redo would take back or do again;
  // empty when there is none.
  std::string undo_name() const;
  std::string redo_name() const;

  // Steps back or forward; returns the record to restore, or null when there
  // is nothing to undo or redo.
  const preset_t* undo();
  const preset_t* redo();

  // The record `current` was saved: it is the saved state from now on.
  void saved(const preset_t& current);
  // Whether `current` differs in a stored value from the saved state.
  bool unsaved(const preset_t& current) const;

 private:
  struct step_t {
    preset_t before;
    preset_t after;
    std::string name;
    bool typing;  // only names changed
  };
  std::deque<step_t> steps_;
  size_t position_ = 0;  // steps_[0, position_) are done
  size_t limit_;
  preset_t saved_{};
  bool may_extend_ = false;  // the last step was the last thing that happened
};
