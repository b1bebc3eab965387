// Values a preset holds that the editor's widgets cannot show: the reader
// accepts wider ranges (file_range) than the editor offers (editor_range).
// Open warns about them, `qpx check --strict` reports them and `qpx import`
// refuses them unless told to accept what the file reader accepts.
#pragma once

#include <string>
#include <vector>

#include "model/preset.h"

enum class editor_field {
  level,
  routing,
  level_group,
  mute_group,
  peq_type,
  attack,
  release,
  threshold
};

struct editor_finding_t {
  int channel = 0;  // 0..3
  editor_field field = editor_field::level;
  int band = -1;                  // EQ band 0..5 for peq_type, else -1
  long stored = 0;                // the stored value (a group: the nibble's value in `groups`)
  std::string what;               // "limiter threshold"
  std::string value_text;         // the value in the user's unit: "-30 dB"
  std::string range_text;         // what the editor shows, same unit: "-24..0"
  std::string stored_range_text;  // the same in stored units: "-24..0"
};

// The findings of the channels of `device` (4 or 2 channels), in channel
// order, fields in the order of the editor's tabs.
std::vector<editor_finding_t> editor_findings(const preset_t& p, int device);

// "Out C limiter threshold -30 dB (editor -24..0)".
std::string finding_text(const editor_finding_t& f);
// "1 value outside the editor's ranges: ..." / "3 values ...: a, b, c";
// empty when there are none.
std::string findings_summary(const std::vector<editor_finding_t>& findings);
