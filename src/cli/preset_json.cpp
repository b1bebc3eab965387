#include "cli/preset_json.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <utility>

#include "model/text_format.h"

namespace qpx {

// ---- Record to JSON -----------------------------------------------------------

namespace {

json xo_to_json(const xo_t& xo) {
  json j;
  j["config"] = int{xo.config};
  j["freq"] = json::array({int{xo.freq[0]}, int{xo.freq[1]}});
  j["q"] = json::array({int{xo.q[0]}, int{xo.q[1]}});
  return j;
}

json peq_to_json(const peq_t& band) {
  json j;
  j["freq"] = int{band.freq};
  j["q"] = int{band.q};
  j["gain"] = int{band.gain};
  j["type"] = int{band.type};
  return j;
}

json channel_to_json(const channel_t& c) {
  json j;
  j["name"] = record_to_utf8(c.name, CHANNEL_NAME_MAX);
  j["routing"] = int{c.routing};
  j["gain"] = int{c.gain};
  j["groups"] = int{c.groups};
  j["phase"] = int{c.phase};
  j["delay"] = int{c.delay};
  j["xo"] = json::array({xo_to_json(c.xo[0]), xo_to_json(c.xo[1])});
  json peq = json::array();
  for (const peq_t& band : c.peq) peq.push_back(peq_to_json(band));
  j["peq"] = peq;
  json dyn;
  dyn["attack"] = int{c.dynamics.attack};
  dyn["release"] = int{c.dynamics.release};
  dyn["threshold"] = int{c.dynamics.threshold};
  dyn["boost"] = int{c.dynamics.boost};
  j["dynamics"] = dyn;
  return j;
}

}  // namespace

json preset_to_json(const preset_t& p, int device) {
  json j;
  j["device"] = device_name(device);
  j["name"] = record_to_utf8(p.name, PRESET_NAME_MAX);
  j["mute"] = int{p.mute};
  j["lock"] = int{p.lock};
  json channels = json::array();
  for (const channel_t& c : p.channel) channels.push_back(channel_to_json(c));
  j["channels"] = channels;
  return j;
}

// ---- Parsing ------------------------------------------------------------------

namespace {

bool plain_key(const std::string& key) {
  if (key.empty()) return false;
  for (char c : key) {
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

std::string member_path(const std::string& parent, const std::string& key) {
  if (!plain_key(key)) return parent + "[" + quoted_excerpt(key) + "]";
  return parent.empty() ? key : parent + "." + key;
}

std::string index_path(const std::string& parent, size_t i) {
  return parent + "[" + std::to_string(i) + "]";
}

// Follows the parser through the text and knows the JSON path of the value
// it reads, so that a refusal can name it. It builds nothing: the text is
// parsed again into a value once it is known to be good.
class path_tracker : public nlohmann::json_sax<json> {
 public:
  std::string problem;

  bool null() override { return value(); }
  bool boolean(bool) override { return value(); }
  bool number_integer(number_integer_t) override { return value(); }
  bool number_unsigned(number_unsigned_t) override { return value(); }
  bool number_float(number_float_t, const string_t&) override { return value(); }
  bool string(string_t&) override { return value(); }
  bool binary(binary_t&) override { return value(); }
  bool start_object(std::size_t) override {
    frames_.push_back({false, 0, "", false});
    return true;
  }
  bool key(string_t& k) override {
    frames_.back().key = k;
    frames_.back().has_key = true;
    return true;
  }
  bool end_object() override {
    frames_.pop_back();
    return value();
  }
  bool start_array(std::size_t) override {
    frames_.push_back({true, 0, "", false});
    return true;
  }
  bool end_array() override {
    frames_.pop_back();
    return value();
  }
  bool parse_error(std::size_t, const std::string& last_token,
                   const nlohmann::detail::exception& ex) override {
    const std::string where = path();
    if (ex.id == 406)  // a number beyond what a double holds: 1e400
      problem = (where.empty() ? "JSON" : where) + ": " + text_excerpt(last_token) +
                " is not a number a preset can hold (it is out of range)";
    else
      problem = std::string("not valid JSON") + (where.empty() ? "" : " in " + where) + " (" +
                reason_of(ex.what()) + "; last read: " + quoted_excerpt(last_token) + ")";
    return false;
  }

 private:
  struct frame_t {
    bool array;
    size_t index;
    std::string key;
    bool has_key;
  };

  bool value() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    return true;
  }

  std::string path() const {
    std::string out;
    for (const frame_t& f : frames_) {
      if (f.array)
        out = index_path(out, f.index);
      else if (f.has_key)
        out = member_path(out, f.key);
    }
    return out;
  }

  // "parse error at line 1, column 9: syntax error while parsing value -
  // invalid literal" out of the library's message, without its number and
  // its own quote of the text.
  static std::string reason_of(const std::string& what) {
    std::string r = what;
    const size_t tag = r.find("] ");
    if (tag != std::string::npos) r.erase(0, tag + 2);
    const size_t last = r.find("; last read");
    if (last != std::string::npos) r.erase(last);
    return text_excerpt(r, 2 * EXCERPT_CHARS);
  }

  std::vector<frame_t> frames_;
};

}  // namespace

std::optional<std::string> parse_json(const std::string& text, json& out) {
  path_tracker tracker;
  if (!json::sax_parse(text, &tracker))
    return tracker.problem.empty() ? std::string("not valid JSON") : tracker.problem;
  out = json::parse(text, nullptr, false);
  if (out.is_discarded()) return std::string("not valid JSON");
  return std::nullopt;
}

// ---- JSON to record -----------------------------------------------------------

namespace {

std::string range_text(long lo, long hi) {
  return std::to_string(lo) + ".." + std::to_string(hi);
}

// Short description of a JSON value for messages: its type and, for
// scalars, the value itself.
std::string describe(const json& v) {
  std::string text = v.type_name();
  if (v.is_primitive() && !v.is_null()) {
    // A dumped string stays in its quotes, cut to a short excerpt.
    const std::string value = v.dump();
    text += " " +
            (v.is_string() ? quoted_excerpt(v.get_ref<const std::string&>()) : text_excerpt(value));
  }
  return text;
}

class json_reader {
 public:
  std::vector<std::string> errors;

  void problem(const std::string& path, const std::string& what) {
    errors.push_back(path + ": " + what);
  }

  // An integer inside lo..hi; stores it only when it is.
  template <class T>
  void integer(const json& v, const std::string& path, value_range_t range, T& target) {
    const long lo = range.lo, hi = range.hi;
    if (!v.is_number_integer()) {
      problem(path, "expected an integer in " + range_text(lo, hi) + ", got " + describe(v));
      return;
    }
    bool inside;
    long value = 0;
    if (v.is_number_unsigned()) {
      const auto u = v.get<uint64_t>();
      inside = u <= static_cast<uint64_t>(hi) && static_cast<int64_t>(u) >= lo;
      if (inside) value = static_cast<long>(u);
    } else {
      const auto s = v.get<int64_t>();
      inside = s >= lo && s <= hi;
      if (inside) value = static_cast<long>(s);
    }
    if (!inside) {
      problem(path,
              text_excerpt(v.dump()) + " is out of range (allowed " + range_text(lo, hi) + ")");
      return;
    }
    target = static_cast<T>(value);
  }

  // A name that the record field holds as typed and the file writer can
  // write so that the file passes its own check.
  void name(const json& v, const std::string& path, char* field, size_t max_len) {
    if (!v.is_string()) {
      problem(path, "expected a string of at most " + std::to_string(max_len) +
                        " characters, got " + describe(v));
      return;
    }
    const auto& text = v.get_ref<const std::string&>();
    const name_fit_t fit = check_name(text, max_len);
    if (!fit.representable) {
      problem(path, "character " + first_unrepresentable(text) +
                        " cannot be stored in a name (allowed U+0020..U+007E, U+0086..U+00FF "
                        "and the arrows U+2190..U+2195)");
      return;
    }
    if (!fit.fits_field) {
      problem(path, quoted_excerpt(text) + " has " + std::to_string(fit.length) +
                        " characters, at most " + std::to_string(max_len) + " allowed");
      return;
    }
    if (!fit.fits_written) {
      problem(path, "takes " + std::to_string(fit.written_length) + " bytes in the file, at most " +
                        std::to_string(XML_TEXT_MAX) + " allowed");
      return;
    }
    set_record_text(field, max_len + 1, text);
  }

  // An object whose keys are handled by `members` (key -> handler); other
  // keys are reported as unknown.
  using handler_t = std::function<void(const json&, const std::string&)>;
  void object(const json& v, const std::string& path,
              std::initializer_list<std::pair<const char*, handler_t>> members) {
    if (!v.is_object()) {
      problem(path.empty() ? "JSON" : path, "expected an object, got " + describe(v));
      return;
    }
    for (const auto& item : v.items()) {
      const std::string& key = item.key();
      const std::string child = member_path(path, key);
      const handler_t* handler = nullptr;
      for (const auto& m : members) {
        if (key == m.first) handler = &m.second;
      }
      if (handler) {
        (*handler)(item.value(), child);
      } else {
        std::string allowed;
        for (const auto& m : members) allowed += std::string(allowed.empty() ? "" : ", ") + m.first;
        problem(child, "unknown key (allowed: " + allowed + ")");
      }
    }
  }

  // An array of exactly n entries; calls `each` with every entry.
  void array(const json& v, const std::string& path, size_t n, const char* what,
             const std::function<void(const json&, const std::string&, size_t)>& each) {
    if (!v.is_array() || v.size() != n) {
      const std::string got =
          v.is_array() ? "an array of " + std::to_string(v.size()) : describe(v);
      problem(path, "expected an array of " + std::to_string(n) + " " + what + ", got " + got);
      return;
    }
    for (size_t i = 0; i < n; ++i) each(v[i], index_path(path, i), i);
  }

 private:
  static std::string first_unrepresentable(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
      const uint32_t cp = next_utf8(text, i);
      if (cp == UTF8_INVALID) return "?";
      if (!byte_of_typed(cp)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
        return buf;
      }
    }
    return "?";
  }
};

void read_xo(json_reader& r, const json& v, const std::string& path, xo_t& xo) {
  r.object(
      v, path,
      {{"config", [&](const json& x,
                      const std::string& p) { r.integer(x, p, file_range::xo_type, xo.config); }},
       {"freq",
        [&](const json& x, const std::string& p) {
          r.array(x, p, 2, "frequencies", [&](const json& e, const std::string& ep, size_t i) {
            r.integer(e, ep, file_range::xo_freq, xo.freq[i]);
          });
        }},
       {"q", [&](const json& x, const std::string& p) {
          r.array(x, p, 2, "Q values", [&](const json& e, const std::string& ep, size_t i) {
            r.integer(e, ep, file_range::xo_q, xo.q[i]);
          });
        }}});
}

void read_peq(json_reader& r, const json& v, const std::string& path, peq_t& band) {
  r.object(
      v, path,
      {{"freq", [&](const json& x,
                    const std::string& p) { r.integer(x, p, file_range::peq_freq, band.freq); }},
       {"q",
        [&](const json& x, const std::string& p) { r.integer(x, p, file_range::peq_q, band.q); }},
       {"gain", [&](const json& x,
                    const std::string& p) { r.integer(x, p, file_range::peq_gain, band.gain); }},
       {"type", [&](const json& x, const std::string& p) {
          r.integer(x, p, file_range::peq_type, band.type);
        }}});
}

void read_dynamics(json_reader& r, const json& v, const std::string& path, dynamics_t& d) {
  r.object(
      v, path,
      {{"attack", [&](const json& x,
                      const std::string& p) { r.integer(x, p, file_range::attack, d.attack); }},
       {"release", [&](const json& x,
                       const std::string& p) { r.integer(x, p, file_range::release, d.release); }},
       {"threshold",
        [&](const json& x, const std::string& p) {
          r.integer(x, p, file_range::threshold, d.threshold);
        }},
       {"boost", [&](const json& x, const std::string& p) {
          r.integer(x, p, file_range::boost, d.boost);
        }}});
}

void read_channel(json_reader& r, const json& v, const std::string& path, channel_t& c) {
  r.object(
      v, path,
      {{"name",
        [&](const json& x, const std::string& p) { r.name(x, p, c.name, CHANNEL_NAME_MAX); }},
       {"routing", [&](const json& x,
                       const std::string& p) { r.integer(x, p, file_range::routing, c.routing); }},
       {"gain",
        [&](const json& x, const std::string& p) { r.integer(x, p, file_range::gain, c.gain); }},
       {"groups", [&](const json& x,
                      const std::string& p) { r.integer(x, p, file_range::groups, c.groups); }},
       {"phase",
        [&](const json& x, const std::string& p) { r.integer(x, p, file_range::phase, c.phase); }},
       {"delay",
        [&](const json& x, const std::string& p) { r.integer(x, p, file_range::delay, c.delay); }},
       {"xo",
        [&](const json& x, const std::string& p) {
          r.array(
              x, p, 2, "crossover objects",
              [&](const json& e, const std::string& ep, size_t i) { read_xo(r, e, ep, c.xo[i]); });
        }},
       {"peq",
        [&](const json& x, const std::string& p) {
          r.array(x, p, 6, "EQ band objects", [&](const json& e, const std::string& ep, size_t i) {
            read_peq(r, e, ep, c.peq[i]);
          });
        }},
       {"dynamics",
        [&](const json& x, const std::string& p) { read_dynamics(r, x, p, c.dynamics); }}});
}

}  // namespace

std::vector<std::string> preset_from_json(const json& j, preset_t* p, int* device) {
  Create_Default_Preset(p);
  *device = MV517;
  json_reader r;
  r.object(
      j, "",
      {{"device",
        [&](const json& x, const std::string& path) {
          if (x.is_string() && x.get_ref<const std::string&>() == "MV517") {
            *device = MV517;
          } else if (x.is_string() && x.get_ref<const std::string&>() == "MV961") {
            *device = MV961;
          } else {
            r.problem(path, "expected \"MV517\" or \"MV961\", got " + describe(x));
          }
        }},
       {"name",
        [&](const json& x, const std::string& path) { r.name(x, path, p->name, PRESET_NAME_MAX); }},
       {"mute", [&](const json& x,
                    const std::string& path) { r.integer(x, path, file_range::mute, p->mute); }},
       {"lock", [&](const json& x,
                    const std::string& path) { r.integer(x, path, file_range::lock, p->lock); }},
       {"channels", [&](const json& x, const std::string& path) {
          r.array(x, path, 4, "channel objects",
                  [&](const json& e, const std::string& ep, size_t i) {
                    read_channel(r, e, ep, p->channel[i]);
                  });
        }}});
  return r.errors;
}

}  // namespace qpx
