// Editing a preset by assignments in the user's units, as `qpx set` takes
// them: "B.level=-2.5", "B.eq3=PEQ,990Hz,Q2.5,-3.5dB", "C.delay=1.2m",
// "preset.lock=xo,peq". Each is stored by the editor's own rules (editing.h):
// the rounding and truncation of its fields, their ranges, the level group
// following a level, the mute group a mute, the crossover's fixed Q.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/preset.h"

// Applies `assignments` in order to `p`, a preset of `device` (MV517 or
// MV961). All or nothing: the first that cannot be taken is named with the
// reason ("B.level=-200: -200 dB is outside -99.0 to +6.0 dB") and `p` is
// left as it was; nullopt when every one was stored.
std::optional<std::string> apply_assignments(preset_t& p, int device,
                                             const std::vector<std::string>& assignments);

// Every key with the values it takes, one line each, for help texts.
std::string assignment_keys_help();
