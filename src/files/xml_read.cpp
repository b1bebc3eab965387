// Preset file reader: a character tokenizer, a reference decoder and one
// handler per nesting level, each keeping a state byte for its level. The
// file is read in one pass; values are applied when their text ends.
#include <cstdlib>
#include <cstring>

#include "files/crc.h"
#include "files/xml.h"
#include "model/selection_word.h"

namespace {

// Level states.
enum : uint8_t {
  ST_NONE = 0,
  ST_UNKNOWN,
  // level 0
  ST_PRESET,
  ST_WIZARD,
  // level 1
  ST_AUTHOR,
  ST_NAME,
  ST_LOCK,
  ST_CHANNEL,
  // level 2 (NAME as above)
  ST_DELAY,
  ST_GAIN,
  ST_MUTE,
  ST_PHASE,
  ST_ROUTE,
  ST_GROUP_GAIN,
  ST_GROUP_MUTE,
  ST_XO,
  ST_PEQ,
  ST_LIMITER,
  // level 3 (GAIN as above)
  ST_FREQ,
  ST_Q,
  ST_TYPE,
  ST_AT,
  ST_RT,
  ST_THRESHOLD,
};

}  // namespace

uint8_t xml_preset_done = 0;

namespace {

uint8_t xml_stat[5];
uint8_t xml_stat_wiz[3];  // [1] loudspeaker (1 + index), [2] mode (1 + index)
uint8_t xml_channel, xml_xo, xml_peq, xml_freq, xml_q;
uint8_t xml_channel_done, xml_xo_done, xml_peq_done, xml_freq_done, xml_q_done;
char xml_unknown_tag_buf[40];
uint8_t xml_unknown_tag_cnt;
char ref_buf[10];
uint8_t ref_len;
preset_t* target;

// Reading is inside a wizard block handed to the PRESET handler.
bool in_wizard_block;
// In a preset file, the CHANNEL with ID "4" has ended: the rest of the
// PRESET content is skipped.
bool after_last_channel;
// The document has ended (</WIZARD>); nothing more is read.
bool finished;

void set_error(uint8_t code) {
  if (xml_error == 0) xml_error = code;
}

}  // namespace

// ---- Input ----

int xml_get_char() {
  int b = std::fgetc(fp);
  if (b == EOF) return -1;
  if (b < 0x80) return b;
  int extra;
  uint32_t cp;
  if ((b & 0xE0) == 0xC0) {
    extra = 1, cp = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2, cp = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3, cp = b & 0x07;
  } else {
    return -1;  // a byte that cannot start a character ends the input
  }
  for (int i = 0; i < extra; ++i) {
    const int c = std::fgetc(fp);
    if (c == EOF) return -1;
    cp = (cp << 6) | (static_cast<uint32_t>(c) & 0x3F);
  }
  return byte_read_from_file(cp);
}

// Reference decoder for element text. Returns the character to store, or
// 0 when the character is held in an open reference.
uint8_t xml_preproc(uint8_t c) {
  if (c == 0) {
    ref_len = 0;
    ref_buf[0] = '\0';
    return 0;
  }
  if (ref_len == 0 && c != '&') return c;
  if (ref_len >= 9) {
    set_error(XML_ERR_TOO_LONG);
    return 0;
  }
  ref_buf[ref_len++] = static_cast<char>(c);
  ref_buf[ref_len] = '\0';
  if (std::strcmp(ref_buf, "&lt;") == 0) {
    ref_len = 0;
    return '<';
  }
  if (std::strcmp(ref_buf, "&gt;") == 0) {
    ref_len = 0;
    return '>';
  }
  if (std::strcmp(ref_buf, "&amp;") == 0) {
    ref_len = 0;
    return '&';
  }
  if (ref_len >= 2 && ref_buf[0] == '&' && ref_buf[1] == '#' && c == ';') {
    unsigned long code = 0;
    if (ref_buf[2] == 'x') {
      for (int i = 3; i < ref_len; ++i) {
        const char d = ref_buf[i];
        int v;
        if (d >= '0' && d <= '9') {
          v = d - '0';
        } else if (d >= 'a' && d <= 'f') {
          v = d - 'a' + 10;
        } else if (d >= 'A' && d <= 'F') {
          v = d - 'A' + 10;
        } else {
          break;
        }
        code = code * 16 + v;
      }
    } else {
      for (int i = 2; i < ref_len && ref_buf[i] >= '0' && ref_buf[i] <= '9'; ++i) {
        code = code * 10 + (ref_buf[i] - '0');
      }
    }
    ref_len = 0;
    // A reference to U+0001..U+00FF is the byte of that value, as the
    // writer writes name bytes 0x86..0xFF; a reference to U+0000 (which
    // would end the text) is '?'.
    if (code == 0) return '?';
    return byte_read_from_file(static_cast<uint32_t>(code));
  }
  return 0;
}

// ---- Tags ----

// -1 for a matching end tag, the name's length for a matching start tag,
// 0 otherwise.
int cmp_tag(const char* tag_buf, const char* ref_txt) {
  const bool end = tag_buf[0] == '/';
  const char* name = end ? tag_buf + 1 : tag_buf;
  const size_t len = std::strlen(ref_txt);
  if (std::strncmp(name, ref_txt, len) != 0) return 0;
  if (name[len] != '\0' && name[len] != ' ') return 0;
  return end ? -1 : static_cast<int>(len);
}

// Reads one attribute from tag[pos]; returns the position after it, or 0
// when there is none (or on an error).
int read_attribute(const char* tag, int pos, char* att_name, char* att_val) {
  att_name[0] = '\0';
  att_val[0] = '\0';
  while (tag[pos] == ' ') ++pos;
  if (tag[pos] == '\0') return 0;
  int n = 0;
  while (tag[pos] != '\0' && tag[pos] != '=' && tag[pos] != ' ') {
    if (n == 9) {
      set_error(XML_ERR_ATT_NAME);
      att_name[0] = '\0';
      return 0;
    }
    att_name[n++] = tag[pos++];
  }
  att_name[n] = '\0';
  while (tag[pos] != '\0' && tag[pos] != '=') ++pos;
  if (tag[pos] != '=') {
    set_error(XML_ERR_ATT_EQUALS);
    att_name[0] = '\0';
    return 0;
  }
  while (tag[pos] != '\0' && tag[pos] != '"') ++pos;
  if (tag[pos] != '"') {
    set_error(XML_ERR_ATT_QUOTE);
    att_name[0] = '\0';
    return 0;
  }
  ++pos;
  int v = 0;
  while (tag[pos] != '\0' && tag[pos] != '"') {
    if (v == 9) {
      set_error(XML_ERR_ATT_VALUE);
      att_name[0] = '\0';
      att_val[0] = '\0';
      return 0;
    }
    att_val[v++] = tag[pos++];
  }
  att_val[v] = '\0';
  if (tag[pos] == '"') ++pos;
  return pos;
}

namespace {

void xml_parse_unknown(const char* tag, int level) {
  if (tag[0] == '?') return;
  const bool end = tag[0] == '/';
  const char* name = end ? tag + 1 : tag;
  if (xml_unknown_tag_cnt == 0) {
    if (end) {
      set_error(XML_ERR_END_TAG);
      return;
    }
    int n = 0;
    while (name[n] != '\0' && name[n] != ' ' && n < 39) {
      xml_unknown_tag_buf[n] = name[n];
      ++n;
    }
    xml_unknown_tag_buf[n] = '\0';
    xml_unknown_tag_cnt = 1;
    xml_stat[level] = ST_UNKNOWN;
    return;
  }
  const size_t len = std::strlen(xml_unknown_tag_buf);
  if (std::strncmp(name, xml_unknown_tag_buf, len) != 0) return;
  if (name[len] != '\0' && name[len] != ' ') return;
  if (!end) {
    if (xml_unknown_tag_cnt < 255) ++xml_unknown_tag_cnt;
    return;
  }
  if (--xml_unknown_tag_cnt == 0) {
    xml_unknown_tag_buf[0] = '\0';
    xml_stat[level] = ST_NONE;
  }
}

// Tag inside a value element open at `level - 1`: its end tag closes it,
// anything else is unknown at `level`.
void xml_parse_simple_element(const char* tag, int level, const char* name) {
  if (xml_stat[level] == ST_UNKNOWN) {
    xml_parse_unknown(tag, level);
  } else if (xml_stat[level] == ST_NONE && cmp_tag(tag, name) == -1) {
    xml_stat[level - 1] = ST_NONE;
  } else {
    xml_parse_unknown(tag, level);
  }
}

// Reads the attributes of a recognised start tag; for each ID attribute
// calls accept(value), which returns true when the ID is acceptable and
// then sets the level's state. A second acceptable ID is error 3.
template <typename Accept>
void read_ids(const char* tag, int name_len, int level, Accept accept) {
  char att_name[10];
  char att_val[10];
  int pos = name_len;
  while ((pos = read_attribute(tag, pos, att_name, att_val)) != 0) {
    if (std::strcmp(att_name, "ID") != 0) continue;
    if (xml_stat[level] != ST_NONE) {
      if (accept(att_val, true)) {
        set_error(XML_ERR_SECOND_ID);
        return;
      }
      continue;
    }
    accept(att_val, false);
  }
}

const char* state_name(uint8_t st) {
  switch (st) {
    case ST_AUTHOR:
      return "AUTHOR";
    case ST_NAME:
      return "NAME";
    case ST_LOCK:
      return "LOCK";
    case ST_DELAY:
      return "DELAY";
    case ST_GAIN:
      return "GAIN";
    case ST_MUTE:
      return "MUTE";
    case ST_PHASE:
      return "PHASE";
    case ST_ROUTE:
      return "ROUTE";
    case ST_GROUP_GAIN:
    case ST_GROUP_MUTE:
      return "GROUP";
    case ST_FREQ:
      return "FREQ";
    case ST_Q:
      return "Q";
    case ST_TYPE:
      return "TYPE";
    case ST_AT:
      return "AT";
    case ST_RT:
      return "RT";
    case ST_THRESHOLD:
      return "THRESHOLD";
    default:
      return "";
  }
}

void xml_parse_xo_freq(const char* tag) {
  if (xml_stat[4] == ST_NONE && cmp_tag(tag, "FREQ") == -1) {
    xml_stat[3] = ST_NONE;
    xml_freq_done |= static_cast<uint8_t>(1u << xml_freq);
  } else {
    xml_parse_unknown(tag, 4);
  }
}

void xml_parse_xo_q(const char* tag) {
  if (xml_stat[4] == ST_NONE && cmp_tag(tag, "Q") == -1) {
    xml_stat[3] = ST_NONE;
    xml_q_done |= static_cast<uint8_t>(1u << xml_q);
  } else {
    xml_parse_unknown(tag, 4);
  }
}

int id_number(const char* value) {
  return std::atoi(value);
}

void xml_parse_xo(const char* tag) {
  switch (xml_stat[3]) {
    case ST_NONE: {
      if (cmp_tag(tag, "XO") == -1) {
        xml_stat[2] = ST_NONE;
        xml_xo_done |= static_cast<uint8_t>(1u << xml_xo);
        return;
      }
      int len;
      if ((len = cmp_tag(tag, "FREQ")) > 0) {
        read_ids(tag, len, 3, [](const char* v, bool probe) {
          const int id = id_number(v);
          if (id < 1 || id > 2 || (xml_freq_done & (1u << (id - 1)))) return false;
          if (!probe) xml_stat[3] = ST_FREQ, xml_freq = static_cast<uint8_t>(id - 1);
          return true;
        });
      } else if ((len = cmp_tag(tag, "Q")) > 0) {
        read_ids(tag, len, 3, [](const char* v, bool probe) {
          const int id = id_number(v);
          if (id < 1 || id > 2 || (xml_q_done & (1u << (id - 1)))) return false;
          if (!probe) xml_stat[3] = ST_Q, xml_q = static_cast<uint8_t>(id - 1);
          return true;
        });
      } else if (cmp_tag(tag, "TYPE") > 0) {
        xml_stat[3] = ST_TYPE;
      }
      if (xml_error == 0 && xml_stat[3] == ST_NONE) xml_parse_unknown(tag, 3);
      return;
    }
    case ST_FREQ:
      xml_parse_xo_freq(tag);
      return;
    case ST_Q:
      xml_parse_xo_q(tag);
      return;
    case ST_TYPE:
      xml_parse_simple_element(tag, 4, "TYPE");
      return;
    case ST_UNKNOWN:
      xml_parse_unknown(tag, 3);
      return;
    default:
      set_error(XML_ERR_STATE);
      return;
  }
}

// PEQ and LIMITER: containers of value elements only.
void parse_value_container(const char* tag, const char* own, const char* const* names,
                           const uint8_t* states, int count, uint8_t* done_set, uint8_t done_bit) {
  const uint8_t st = xml_stat[3];
  if (st == ST_NONE) {
    if (cmp_tag(tag, own) == -1) {
      xml_stat[2] = ST_NONE;
      if (done_set) *done_set |= done_bit;
      return;
    }
    for (int i = 0; i < count; ++i) {
      if (cmp_tag(tag, names[i]) > 0) {
        xml_stat[3] = states[i];
        return;
      }
    }
    xml_parse_unknown(tag, 3);
  } else if (st == ST_UNKNOWN) {
    xml_parse_unknown(tag, 3);
  } else {
    xml_parse_simple_element(tag, 4, state_name(st));
  }
}

void xml_parse_peq(const char* tag) {
  static const char* const names[] = {"FREQ", "Q", "GAIN", "TYPE"};
  static const uint8_t states[] = {ST_FREQ, ST_Q, ST_GAIN, ST_TYPE};
  parse_value_container(tag, "PEQ", names, states, 4, &xml_peq_done,
                        static_cast<uint8_t>(1u << xml_peq));
}

void xml_parse_limiter(const char* tag) {
  static const char* const names[] = {"AT", "RT", "THRESHOLD", "GAIN"};
  static const uint8_t states[] = {ST_AT, ST_RT, ST_THRESHOLD, ST_GAIN};
  parse_value_container(tag, "LIMITER", names, states, 4, nullptr, 0);
}

void end_of_channel() {
  xml_stat[1] = ST_NONE;
  xml_channel_done |= static_cast<uint8_t>(1u << xml_channel);
  if (xml_channel != 3) return;
  if (in_wizard_block) {
    // The block is finished: back to the loudspeaker level.
    xml_stat[0] = ST_WIZARD;
    xml_stat_wiz[2] = 0;
    xml_channel_done = 0;
    xml_channel = 0;
    in_wizard_block = false;
  } else {
    after_last_channel = true;
  }
}

void xml_parse_channel(const char* tag) {
  const uint8_t st = xml_stat[2];
  switch (st) {
    case ST_NONE: {
      if (cmp_tag(tag, "CHANNEL") == -1) {
        end_of_channel();
        return;
      }
      static const char* const names[] = {"NAME",  "DELAY", "GAIN",   "MUTE",
                                          "PHASE", "ROUTE", "LIMITER"};
      static const uint8_t states[] = {ST_NAME,  ST_DELAY, ST_GAIN,   ST_MUTE,
                                       ST_PHASE, ST_ROUTE, ST_LIMITER};
      for (int i = 0; i < 7; ++i) {
        if (cmp_tag(tag, names[i]) > 0) {
          xml_stat[2] = states[i];
          return;
        }
      }
      int len;
      if ((len = cmp_tag(tag, "GROUP")) > 0) {
        read_ids(tag, len, 2, [](const char* v, bool probe) {
          uint8_t s;
          if (std::strcmp(v, "GAIN") == 0) {
            s = ST_GROUP_GAIN;
          } else if (std::strcmp(v, "MUTE") == 0) {
            s = ST_GROUP_MUTE;
          } else {
            return false;
          }
          if (!probe) xml_stat[2] = s;
          return true;
        });
      } else if ((len = cmp_tag(tag, "PEQ")) > 0) {
        read_ids(tag, len, 2, [](const char* v, bool probe) {
          const int id = id_number(v);
          if (id < 1 || id > 6 || (xml_peq_done & (1u << (id - 1)))) return false;
          if (!probe) xml_stat[2] = ST_PEQ, xml_peq = static_cast<uint8_t>(id - 1);
          return true;
        });
      } else if ((len = cmp_tag(tag, "XO")) > 0) {
        read_ids(tag, len, 2, [](const char* v, bool probe) {
          int index;
          if (std::strcmp(v, "HP") == 0) {
            index = 0;
          } else if (std::strcmp(v, "LP") == 0) {
            index = 1;
          } else {
            return false;
          }
          if (xml_xo_done & (1u << index)) return false;
          if (!probe) {
            xml_stat[2] = ST_XO;
            xml_xo = static_cast<uint8_t>(index);
            xml_freq_done = 0;
            xml_q_done = 0;
          }
          return true;
        });
      }
      if (xml_error == 0 && xml_stat[2] == ST_NONE) xml_parse_unknown(tag, 2);
      return;
    }
    case ST_XO:
      xml_parse_xo(tag);
      return;
    case ST_PEQ:
      xml_parse_peq(tag);
      return;
    case ST_LIMITER:
      xml_parse_limiter(tag);
      return;
    case ST_UNKNOWN:
      xml_parse_unknown(tag, 2);
      return;
    default:
      xml_parse_simple_element(tag, 3, state_name(st));
      return;
  }
}

void xml_parse_preset(const char* tag) {
  const uint8_t st = xml_stat[1];
  switch (st) {
    case ST_NONE: {
      if (cmp_tag(tag, "PRESET") == -1) {
        xml_stat[0] = ST_NONE;
        xml_preset_done = 1;
        return;
      }
      if (!after_last_channel) {
        if (cmp_tag(tag, "AUTHOR") > 0) {
          xml_stat[1] = ST_AUTHOR;
          return;
        }
        if (cmp_tag(tag, "NAME") > 0) {
          xml_stat[1] = ST_NAME;
          return;
        }
        if (cmp_tag(tag, "LOCK") > 0) {
          xml_stat[1] = ST_LOCK;
          return;
        }
        int len;
        if ((len = cmp_tag(tag, "CHANNEL")) > 0) {
          read_ids(tag, len, 1, [](const char* v, bool probe) {
            const int id = id_number(v);
            if (id < 1 || id > 4 || (xml_channel_done & (1u << (id - 1)))) return false;
            if (!probe) {
              xml_stat[1] = ST_CHANNEL;
              xml_channel = static_cast<uint8_t>(id - 1);
              xml_xo_done = 0;
              xml_peq_done = 0;
            }
            return true;
          });
          if (xml_error != 0 || xml_stat[1] != ST_NONE) return;
        }
      }
      xml_parse_unknown(tag, 1);
      return;
    }
    case ST_CHANNEL:
      xml_parse_channel(tag);
      return;
    case ST_UNKNOWN:
      xml_parse_unknown(tag, 1);
      return;
    default:
      xml_parse_simple_element(tag, 2, state_name(st));
      return;
  }
}

// PRESET start tag: DEVICE "MV517" or "MV961" counts 1, VERSION 1 counts
// 16; only a count of exactly 17 is accepted.
bool accept_preset(const char* tag, int name_len) {
  char att_name[10];
  char att_val[10];
  int count = 0;
  int pos = name_len;
  while ((pos = read_attribute(tag, pos, att_name, att_val)) != 0) {
    if (std::strcmp(att_name, "DEVICE") == 0) {
      if (std::strcmp(att_val, "MV517") == 0) {
        ++count;
        mv_selector = MV517;
      } else if (std::strcmp(att_val, "MV961") == 0) {
        ++count;
        mv_selector = MV961;
      }
    } else if (std::strcmp(att_name, "VERSION") == 0 && std::atoi(att_val) == 1) {
      count += 16;
    }
  }
  return xml_error == 0 && count == 17;
}

void xml_parse_rs(const char* tag) {
  const uint8_t mode = xml_stat_wiz[2];
  if (mode == 0) {
    for (int i = 0; i < WIZ_MODE_COUNT; ++i) {
      if (cmp_tag(tag, wizard_modes[i].key) > 0) {
        xml_stat_wiz[2] = static_cast<uint8_t>(i + 1);
        return;
      }
    }
    return;
  }
  const mode_info_t& m = wizard_modes[mode - 1];
  if (tree_select & m.bit) {
    xml_stat[0] = ST_PRESET;
    in_wizard_block = true;
    after_last_channel = false;
    xml_parse_preset(tag);
  } else {
    xml_stat_wiz[2] = 0;
  }
  // Reached at the block's end tag only when the block held no element.
  if (cmp_tag(tag, m.key) == -1) {
    xml_stat_wiz[2] = 0;
    if (mode - 1 == WIZ_SAT || mode - 1 == WIZ_FULLRANGE) {
      xml_stat[0] = ST_NONE;
      in_wizard_block = false;
    }
  }
}

void xml_parse_wizard(const char* tag) {
  const uint8_t speaker = xml_stat_wiz[1];
  if (speaker == 0) {
    for (int i = 0; i < WIZ_SPEAKER_COUNT; ++i) {
      if (cmp_tag(tag, wizard_speakers[i].key) > 0) {
        xml_stat_wiz[1] = static_cast<uint8_t>(i + 1);
        return;
      }
    }
    if (cmp_tag(tag, "WIZARD") == -1) {
      xml_stat[0] = ST_NONE;
      finished = true;
      return;
    }
    xml_parse_unknown(tag, 0);
    return;
  }
  const speaker_info_t& s = wizard_speakers[speaker - 1];
  if (tree_select & s.bit) xml_parse_rs(tag);
  if (cmp_tag(tag, s.key) == -1) xml_stat_wiz[1] = 0;
}

void xml_parse_root(const char* tag) {
  switch (xml_stat[0]) {
    case ST_NONE: {
      int len;
      if (!xml_preset_done && (len = cmp_tag(tag, "PRESET")) > 0) {
        if (accept_preset(tag, len)) {
          xml_stat[0] = ST_PRESET;
          xml_channel_done = 0;
          after_last_channel = false;
          in_wizard_block = false;
          return;
        }
        if (xml_error != 0) return;
      }
      if (cmp_tag(tag, "WIZARD") > 0) {
        xml_stat[0] = ST_WIZARD;
        return;
      }
      xml_parse_unknown(tag, 0);
      return;
    }
    case ST_PRESET:
      xml_parse_preset(tag);
      return;
    case ST_WIZARD:
      mv_selector = MV517;
      xml_parse_wizard(tag);
      return;
    case ST_UNKNOWN:
      xml_parse_unknown(tag, 0);
      return;
    default:
      set_error(XML_ERR_STATE);
      return;
  }
}

// ---- Values ----

void store_text(char* field, size_t size, const char* text) {
  size_t n = std::strlen(text);
  if (n > size - 1) n = size - 1;
  std::memcpy(field, text, n);
  field[n] = '\0';
}

// Stores the value of `text` when it lies in the field's range; a value
// outside it leaves the field as it was.
template <typename T>
void store_int(T& field, const char* text, int8_t decimals, value_range_t range) {
  const int32_t v = xml_get_int(text, decimals);
  if (range.contains(v)) field = static_cast<T>(v);
}

void xml_proc_val_limiter(const char* text) {
  dynamics_t& d = target->channel[xml_channel].dynamics;
  switch (xml_stat[3]) {
    case ST_AT:
      store_int(d.attack, text, 0, file_range::attack);
      break;
    case ST_RT:
      store_int(d.release, text, -1, file_range::release);
      break;
    case ST_THRESHOLD:
      store_int(d.threshold, text, 0, file_range::threshold);
      break;
    case ST_GAIN:
      store_int(d.boost, text, 0, file_range::boost);
      break;
    default:
      break;
  }
}

void xml_proc_val_peq(const char* text) {
  peq_t& p = target->channel[xml_channel].peq[xml_peq];
  switch (xml_stat[3]) {
    case ST_FREQ:
      store_int(p.freq, text, 0, file_range::peq_freq);
      break;
    case ST_GAIN:
      store_int(p.gain, text, 1, file_range::peq_gain);
      break;
    case ST_Q:
      store_int(p.q, text, 1, file_range::peq_q);
      break;
    case ST_TYPE:
      store_int(p.type, text, 0, file_range::peq_type);
      break;
    default:
      break;
  }
}

void xml_proc_val_xo(const char* text) {
  xo_t& x = target->channel[xml_channel].xo[xml_xo];
  switch (xml_stat[3]) {
    case ST_FREQ:
      store_int(x.freq[xml_freq], text, 0, file_range::xo_freq);
      break;
    case ST_Q:
      store_int(x.q[xml_q], text, 1, file_range::xo_q);
      break;
    case ST_TYPE:
      store_int(x.config, text, 0, file_range::xo_type);
      break;
    default:
      break;
  }
}

void xml_proc_val_channel(const char* text) {
  channel_t& c = target->channel[xml_channel];
  const uint8_t st = xml_stat[2];
  if (st == ST_XO || st == ST_PEQ || st == ST_LIMITER) {
    if (xml_stat[3] == ST_NONE || xml_stat[3] == ST_UNKNOWN || xml_stat[4] != ST_NONE) return;
    if (st == ST_XO) xml_proc_val_xo(text);
    if (st == ST_PEQ) xml_proc_val_peq(text);
    if (st == ST_LIMITER) xml_proc_val_limiter(text);
    return;
  }
  if (xml_stat[3] != ST_NONE) return;
  switch (st) {
    case ST_NAME:
      store_text(c.name, sizeof c.name, text);
      break;
    case ST_DELAY:
      store_int(c.delay, text, 2, file_range::delay);
      break;
    case ST_GAIN:
      store_int(c.gain, text, 1, file_range::gain);
      break;
    case ST_MUTE:
      if (xml_get_int(text, 0) == 1) target->mute |= static_cast<uint8_t>(1u << xml_channel);
      break;
    case ST_PHASE:
      store_int(c.phase, text, 0, file_range::phase);
      break;
    case ST_ROUTE:
      store_int(c.routing, text, 0, file_range::routing);
      break;
    case ST_GROUP_GAIN: {
      const int32_t v = xml_get_int(text, 0);
      if (file_range::group.contains(v)) c.groups = static_cast<uint8_t>((c.groups & 0xF0) | v);
      break;
    }
    case ST_GROUP_MUTE: {
      const int32_t v = xml_get_int(text, 0);
      if (file_range::group.contains(v))
        c.groups = static_cast<uint8_t>((c.groups & 0x0F) | (v << 4));
      break;
    }
    default:
      break;
  }
}

void xml_proc_val_preset(const char* text) {
  const uint8_t st = xml_stat[1];
  if (st == ST_CHANNEL) {
    xml_proc_val_channel(text);
    return;
  }
  if (xml_stat[2] != ST_NONE) return;
  if (st == ST_NAME) store_text(target->name, sizeof target->name, text);
  if (st == ST_LOCK) store_int(target->lock, text, 0, file_range::lock);
}

void xml_proc_val_root(const char* text) {
  if (xml_stat[0] == ST_PRESET) xml_proc_val_preset(text);
}

// ---- Tokenizer ----

void tokenize() {
  enum { TEXT, TAG, COMMENT } state = TEXT;
  char tag_buf[64];
  char text_buf[64];
  int index = 0;
  int dashes = 0;
  int previous = -1;
  text_buf[0] = '\0';
  tag_buf[0] = '\0';

  while (xml_error == 0 && !finished) {
    int c = xml_get_char();
    if (c < 0) break;
    const int before = previous;
    previous = c;
    if (c == '\n' && before == '\r') continue;
    if (c == '\r') c = '\n';

    switch (state) {
      case TEXT:
        if (c == '<') {
          text_buf[index] = '\0';
          xml_proc_val_root(text_buf);
          state = TAG;
          index = 0;
        } else if (c == '>') {
          set_error(XML_ERR_SYNTAX);
        } else if (index >= 63) {
          set_error(XML_ERR_TOO_LONG);
        } else {
          const uint8_t r = xml_preproc(static_cast<uint8_t>(c));
          if (r != 0) text_buf[index++] = static_cast<char>(r);
        }
        break;
      case TAG:
        if (c == '>') {
          tag_buf[index] = '\0';
          xml_parse_root(tag_buf);
          xml_preproc(0);
          state = TEXT;
          index = 0;
        } else if (c == '<') {
          set_error(XML_ERR_SYNTAX);
        } else if (index >= 63) {
          set_error(XML_ERR_TOO_LONG);
        } else {
          tag_buf[index++] = static_cast<char>(c);
          tag_buf[index] = '\0';
          if (std::strcmp(tag_buf, "!--") == 0) {
            state = COMMENT;
            dashes = 0;
          }
        }
        break;
      case COMMENT:
        if (dashes >= 2) {
          if (c == '>') {
            xml_preproc(0);
            state = TEXT;
            index = 0;
          } else {
            set_error(XML_ERR_SYNTAX);
          }
        } else if (c == '-') {
          ++dashes;
        } else {
          dashes = 0;
        }
        break;
    }
  }
}

void reset_state() {
  xml_error = 0;
  std::memset(xml_stat, 0, sizeof xml_stat);
  std::memset(xml_stat_wiz, 0, sizeof xml_stat_wiz);
  xml_channel = xml_xo = xml_peq = xml_freq = xml_q = 0;
  xml_channel_done = xml_xo_done = xml_peq_done = xml_freq_done = xml_q_done = 0;
  xml_unknown_tag_buf[0] = '\0';
  xml_unknown_tag_cnt = 0;
  ref_len = 0;
  ref_buf[0] = '\0';
  in_wizard_block = false;
  after_last_channel = false;
  finished = false;
}

}  // namespace

// Reads a number as the device firmware does: the result holds `decimals`
// digits after the point (decimals 2 turns "1.5" into 150), further digits
// are dropped, missing ones are zeros. Decimals -1 drops the last digit
// before the point ("120" gives 12: release times are written in ms and
// stored in tens of ms).
int32_t xml_get_int(const char* s, int8_t decimals) {
  enum { START, SIGN, INTEGER, POINT, FRACTION, BLANK, DONE } state = START;
  // Sentinel for "no point seen" and "no digit seen": larger than any index
  // of a text the tokenizer hands over (63 characters at most), so that
  // "i > point + decimals" stays false until a point is found.
  const long none = 100000;
  long point = none;
  long first = none;
  bool negative = false;
  int64_t result = 0;
  long i = 0;
  auto clamp = [&]() {
    if (result > 2147483647) result = 2147483647;
  };
  for (; s[i] != '\0'; ++i) {
    const char c = s[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (state == INTEGER) point = i - 1;
      if (state != START) state = BLANK;
    } else if ((c == '+' || c == '-') && state == START) {
      if (c == '-') negative = true;
      state = SIGN;
    } else if (c >= '0' && c <= '9') {
      if (state == POINT) {
        state = FRACTION;
      } else if (state == START || state == SIGN) {
        state = INTEGER;
        first = i;
      }
    } else if (c == '.' && (state == START || state == SIGN || state == INTEGER)) {
      point = i;
      state = POINT;
    } else {
      set_error(XML_ERR_SYNTAX);
      return 0;
    }

    if (decimals >= 0) {
      // Digits beyond the wanted decimals end the number (state DONE adds
      // nothing more). A blank after the integer digits stands where the
      // point would, and it and each blank within the wanted decimals
      // multiply by ten without adding a digit ("1 " with 1 decimal is 10).
      if (i > point + decimals) state = DONE;
      if (state == INTEGER || state == FRACTION || state == BLANK) {
        result *= 10;
        if (state != BLANK) result += c - '0';
        clamp();
      }
    } else if (state == INTEGER && i - 1 >= first) {
      // Decimals -1: each digit is added when the next one arrives, so the
      // last digit before the end, a point or a blank is never added.
      result = result * 10 + (s[i - 1] - '0');
      clamp();
    }
  }
  if (decimals > 0) {
    // Missing decimals are zeros: a number without a point has its point
    // after its last character.
    if (point == none) point = i - 1;
    while (i <= point + decimals) {
      result *= 10;
      clamp();
      ++i;
    }
  }
  return static_cast<int32_t>(negative ? -result : result);
}

uint8_t xml_read(const char* f_name, preset_t* preset_p, uint8_t use) {
  reset_state();
  if (use != 1) {
    bool opened_a = false;
    bool opened_b = false;
    const uint16_t whole = crc16_file(f_name, &opened_a);
    const uint16_t predicted = opened_a ? crc_seek(f_name, &opened_b) : 0;
    if (!opened_a || !opened_b) {
      xml_error = XML_ERR_OPEN;
      return XML_ERR_OPEN;
    }
    if (whole != predicted) {
      xml_error = XML_ERR_CHECKSUM;
      return XML_ERR_CHECKSUM;
    }
  }
  fp = open_regular_file(f_name);
  if (!fp) {
    xml_error = XML_ERR_OPEN;
    return XML_ERR_OPEN;
  }
  xml_preset_done = 0;
  Create_Default_Preset(preset_p);
  target = preset_p;
  xml_preproc(0);
  tokenize();
  std::fclose(fp);
  fp = nullptr;
  target = nullptr;
  return 0;
}
