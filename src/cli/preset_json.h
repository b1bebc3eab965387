// The preset record as JSON: one key per record field, values are the
// stored integers, texts are UTF-8.
//
//   {"device": "MV517", "name": "Preset", "mute": 0, "lock": 0,
//    "channels": [{"name": "Out A    ", "routing": 0, "gain": 0, "groups": 0,
//                  "phase": 0, "delay": 0,
//                  "xo": [{"config": 1, "freq": [35, 35], "q": [12, 7]}, {...}],
//                  "peq": [{"freq": 50, "q": 7, "gain": 0, "type": 0}, ... 6],
//                  "dynamics": {"attack": 1, "release": 10, "threshold": 0,
//                               "boost": 0}}, ... 4]}
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "model/preset.h"

namespace qpx {

using json = nlohmann::ordered_json;

// The whole record (all four channels) with its device.
json preset_to_json(const preset_t& p, int device);

// Parses `text` as JSON into `out`. On failure returns the reason, starting
// with the JSON path where it arose when there is one ("mute: 1e400 is not
// a number a preset can hold"), else where the text stops being JSON ("not
// valid JSON at line 1, column 9: ..."); what it quotes is a short, escaped
// excerpt.
std::optional<std::string> parse_json(const std::string& text, json& out);

// Builds a preset from JSON. Keys left out keep the default preset's
// values (and the device MV517). Every value must be an integer inside the
// range the file reader accepts, names must fit their field and the file's
// text limit. Returns one message per problem, each starting with the JSON
// path ("channels[1].peq[3].gain: ..."); when it is not empty, *p and
// *device are unspecified.
std::vector<std::string> preset_from_json(const json& j, preset_t* p, int* device);

}  // namespace qpx
