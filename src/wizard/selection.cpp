#include "wizard/selection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/xml.h"

// ---- Modes and speakers --------------------------------------------------------

namespace {

// Step Three layouts, by mode.
const wiz_layout_t layouts[WIZ_MODE_COUNT] = {
    {"Top", {0, 1, 2, 3, -1}, 4, true, true},
    {"Fullrange", {0, 1, 2, 3, 4}, 5, true, false},
    {"Bass", {5, 6, 7, -1, -1}, 3, false, false},
    {"Monitor", {1, 3, 4, -1, -1}, 3, true, false},
};

// Rows RS1..RS4, columns RX1..RX3.
const bool sat_pairs[4][3] = {
    {true, false, false},
    {true, false, true},
    {true, true, true},
    {true, true, true},
};

bool valid_mode(int mode) {
  return mode >= 0 && mode < WIZ_MODE_COUNT;
}

bool is_top(int speaker) {
  return speaker >= 0 && speaker < WIZ_TOP_COUNT;
}

bool is_bass(int speaker) {
  return speaker >= WIZ_FIRST_BASS && speaker < WIZ_SPEAKER_COUNT;
}

// Index of the single bit of `bits` among `first`.. (count bits), or -1
// when none or more than one is set.
int single_bit(uint16_t bits, uint16_t first, int count) {
  int found = -1;
  for (int i = 0; i < count; ++i) {
    if (bits & (first << i)) {
      if (found >= 0) return -1;
      found = i;
    }
  }
  return found;
}

}  // namespace

const char* mode_label(int mode) {
  return valid_mode(mode) ? wizard_modes[mode].label : "";
}

const char* mode_key(int mode) {
  return valid_mode(mode) ? wizard_modes[mode].key : "";
}

int mode_of(uint16_t sel) {
  for (int m = 0; m < WIZ_MODE_COUNT; ++m) {
    if (sel & wizard_modes[m].bit) return m;
  }
  return WIZ_NO_MODE;
}

wiz_layout_t wizard_layout(int mode) {
  if (!valid_mode(mode)) return wiz_layout_t{"", {-1, -1, -1, -1, -1}, 0, false, false};
  return layouts[mode];
}

bool speaker_offered(int mode, int speaker) {
  const wiz_layout_t l = wizard_layout(mode);
  for (int i = 0; i < l.count; ++i) {
    if (l.items[i] == speaker) return true;
  }
  return l.bass_frame && is_bass(speaker);
}

bool sat_pair_allowed(int top, int bass) {
  if (top < 0 || top > 3 || bass < 0 || bass > 2) return false;
  return sat_pairs[top][bass];
}

int top_of(uint16_t sel) {
  for (int s = 0; s < WIZ_TOP_COUNT; ++s) {
    if (sel & wizard_speakers[s].bit) return s;
  }
  return -1;
}

int bass_of(uint16_t sel) {
  for (int s = WIZ_FIRST_BASS; s < WIZ_SPEAKER_COUNT; ++s) {
    if (sel & wizard_speakers[s].bit) return s;
  }
  return -1;
}

int speaker_item(int speaker) {
  return (speaker >= 0 && speaker < WIZ_SPEAKER_COUNT) ? WIZ_ITEM_RS1 + speaker : -1;
}

int item_speaker(int item) {
  return (item >= WIZ_ITEM_RS1 && item <= WIZ_ITEM_RX1 + 2) ? item - WIZ_ITEM_RS1 : -1;
}

// ---- Pages and presses -------------------------------------------------------------

void wizard_start(wizard_state_t& st, uint16_t& sel) {
  sel &= 0x0001;
  st = wizard_state_t{};
  for (int m = 0; m < WIZ_MODE_COUNT; ++m) st.mode_sensitive[m] = true;
  st.factory = 0;
  st.show_sensitive = true;
  st.complete[WIZ_STEP_ONE] = true;
  st.complete[WIZ_STEP_FOUR] = true;
  st.layout_mode = WIZ_NO_MODE;
}

void wizard_build_step_three(wizard_state_t& st, uint16_t& sel) {
  st.step_three_built = true;
  st.complete[WIZ_STEP_THREE] = false;
  st.forward = false;
  st.forward_bass = false;
  for (int s = 0; s < WIZ_SPEAKER_COUNT; ++s) {
    st.speaker_active[s] = false;
    st.speaker_sensitive[s] = true;
  }
  for (int t = 0; t < WIZ_TOP_COUNT; ++t) {
    st.quantity[t] = 0;
    st.quantity_sensitive[t] = false;
  }
  sel &= SEL_RESERVED;
  st.layout_mode = WIZ_NO_MODE;
  for (int m = 0; m < WIZ_MODE_COUNT; ++m) {
    if (st.mode_active[m]) {
      st.layout_mode = m;
      sel |= wizard_modes[m].bit;
      break;
    }
  }
}

void wizard_speaker_bits(const wizard_state_t& st, uint16_t& sel) {
  sel &= 0x003F;
  if (!st.step_three_built) return;
  for (int t = 0; t < WIZ_TOP_COUNT; ++t) {
    if (st.speaker_active[t]) {
      sel |= wizard_speakers[t].bit;
      sel |= static_cast<uint16_t>(st.quantity[t] << SEL_QUANTITY_SHIFT);
      break;
    }
  }
  for (int b = WIZ_FIRST_BASS; b < WIZ_SPEAKER_COUNT; ++b) {
    if (st.speaker_active[b]) {
      sel |= wizard_speakers[b].bit;
      break;
    }
  }
}

void wizard_prepare(wizard_state_t& st, int page, uint16_t& sel) {
  switch (page) {
    case WIZ_STEP_TWO:
      // The factory selector and the toggles' sensitivity stay as they are.
      for (int m = 0; m < WIZ_MODE_COUNT; ++m) st.mode_active[m] = false;
      st.complete[WIZ_STEP_TWO] = false;
      break;
    case WIZ_STEP_THREE:
      wizard_build_step_three(st, sel);
      break;
    case WIZ_STEP_FOUR:
      wizard_speaker_bits(st, sel);
      break;
    default:
      break;
  }
}

void wizard_change_factory(wizard_state_t& st, int index, uint16_t& sel) {
  st.factory = index;
  if (index < 1) {
    for (int m = 0; m < WIZ_MODE_COUNT; ++m) st.mode_sensitive[m] = true;
    st.show_sensitive = true;
    st.complete[WIZ_STEP_TWO] = false;
  } else {
    sel &= 0x0001;
    for (int m = 0; m < WIZ_MODE_COUNT; ++m) {
      st.mode_active[m] = false;
      st.mode_sensitive[m] = false;
    }
    st.show_sensitive = false;
    st.complete[WIZ_STEP_TWO] = true;
  }
}

bool wizard_item_shown(const wizard_state_t& st, int item) {
  if (item >= WIZ_ITEM_SAT && item <= WIZ_ITEM_MONITOR) return true;
  const int s = item_speaker(item);
  return s >= 0 && st.step_three_built && speaker_offered(st.layout_mode, s);
}

namespace {

// In SAT mode a choice in one row makes the other row's toggles sensitive
// exactly for the pairs of the pairing table; taking it back makes those it
// had ruled out sensitive again. RS 5 has no pairs and changes nothing.
void sat_top_sensitivity(wizard_state_t& st, int top, bool selected) {
  if (top > 3) return;
  for (int b = 0; b < WIZ_BASS_COUNT; ++b) {
    bool& sensitive = st.speaker_sensitive[WIZ_FIRST_BASS + b];
    if (selected)
      sensitive = sat_pair_allowed(top, b);
    else if (!sat_pair_allowed(top, b))
      sensitive = true;
  }
}

void sat_bass_sensitivity(wizard_state_t& st, int bass, bool selected) {
  for (int t = 0; t < 4; ++t) {
    bool& sensitive = st.speaker_sensitive[t];
    if (selected)
      sensitive = sat_pair_allowed(t, bass);
    else if (!sat_pair_allowed(t, bass))
      sensitive = true;
  }
}

void press_mode(wizard_state_t& st, int mode) {
  if (st.mode_active[mode]) {
    st.mode_active[mode] = false;
    st.complete[WIZ_STEP_TWO] = false;
    return;
  }
  for (int m = 0; m < WIZ_MODE_COUNT; ++m) st.mode_active[m] = m == mode;
  st.complete[WIZ_STEP_TWO] = true;
}

void press_top(wizard_state_t& st, int top) {
  const bool sat = st.layout_mode == WIZ_SAT;
  const bool counts = top <= 3;  // RS 5 never sets or clears `forward`
  if (st.speaker_active[top]) {
    st.speaker_active[top] = false;
    st.quantity_sensitive[top] = false;
    if (counts) st.forward = false;
    st.complete[WIZ_STEP_THREE] = false;
  } else {
    for (int t = 0; t < WIZ_TOP_COUNT; ++t) {
      st.speaker_active[t] = t == top;
      st.quantity_sensitive[t] = t == top;
    }
    if (counts) st.forward = true;
    if (!sat || st.forward_bass) st.complete[WIZ_STEP_THREE] = true;
  }
  if (sat) sat_top_sensitivity(st, top, st.speaker_active[top]);
}

void press_bass(wizard_state_t& st, int speaker) {
  const bool sat = st.layout_mode == WIZ_SAT;
  if (st.speaker_active[speaker]) {
    st.speaker_active[speaker] = false;
    st.forward_bass = false;
    st.complete[WIZ_STEP_THREE] = false;
  } else {
    for (int b = WIZ_FIRST_BASS; b < WIZ_SPEAKER_COUNT; ++b) st.speaker_active[b] = b == speaker;
    st.forward_bass = true;
    if (!sat || st.forward) st.complete[WIZ_STEP_THREE] = true;
  }
  if (sat) sat_bass_sensitivity(st, speaker - WIZ_FIRST_BASS, st.speaker_active[speaker]);
}

}  // namespace

int wizard_press(wizard_state_t& st, int item, wiz_press_kind_t kind, uint16_t& sel) {
  if (item >= WIZ_ITEM_SAT && item <= WIZ_ITEM_MONITOR) {
    const int mode = item - WIZ_ITEM_SAT;
    if (!st.mode_sensitive[mode]) return -1;
    if (kind == WIZ_PRESS_SINGLE) {
      press_mode(st, mode);
      return -1;
    }
    st.mode_active[mode] = true;
    return WIZ_STEP_THREE;
  }
  const int s = item_speaker(item);
  if (s < 0 || !wizard_item_shown(st, item) || !st.speaker_sensitive[s]) return -1;
  if (kind == WIZ_PRESS_SINGLE) {
    if (is_top(s)) {
      press_top(st, s);
    } else {
      press_bass(st, s);
    }
    return -1;
  }
  // The double press follows two single presses, which toggled the
  // loudspeaker twice. In SAT mode that is all, except for RS 5.
  if (st.layout_mode == WIZ_SAT && s != 4) return -1;
  st.speaker_active[s] = true;
  wizard_speaker_bits(st, sel);
  return WIZ_STEP_FOUR;
}

bool wizard_set_quantity(wizard_state_t& st, int top, int index) {
  if (!is_top(top) || index < 0 || index > 1) return false;
  if (!wizard_item_shown(st, speaker_item(top)) || !st.quantity_sensitive[top]) return false;
  st.quantity[top] = index;
  return true;
}

int wizard_forward_page(int current_page, int factory_index) {
  switch (current_page) {
    case WIZ_STEP_ONE:
      return WIZ_STEP_TWO;
    case WIZ_STEP_TWO:
      return factory_index < 1 ? WIZ_STEP_THREE : WIZ_STEP_FOUR;
    case WIZ_STEP_THREE:
      return WIZ_STEP_FOUR;
    default:
      return -1;
  }
}

// ---- Every selection ----------------------------------------------------------------

std::vector<wizard_selection_t> wizard_offered_selections() {
  std::vector<wizard_selection_t> out;
  auto add = [&out](int mode, int top, int bass, int quantity) {
    uint16_t word = static_cast<uint16_t>(0x0001 | wizard_modes[mode].bit);
    if (top >= 0)
      word |= static_cast<uint16_t>(wizard_speakers[top].bit | (quantity << SEL_QUANTITY_SHIFT));
    if (bass >= 0) word |= wizard_speakers[bass].bit;
    out.push_back(wizard_selection_t{mode, top, bass, quantity, word});
  };
  for (int mode = 0; mode < WIZ_MODE_COUNT; ++mode) {
    const wiz_layout_t l = layouts[mode];
    for (int i = 0; i < l.count; ++i) {
      const int s = l.items[i];
      if (is_bass(s)) {
        add(mode, -1, s, 0);
        continue;
      }
      for (int quantity = 0; quantity < 2; ++quantity) {
        if (!l.bass_frame) {
          add(mode, s, -1, quantity);
          continue;
        }
        for (int b = 0; b < WIZ_BASS_COUNT; ++b) {
          if (sat_pair_allowed(s, b)) add(mode, s, WIZ_FIRST_BASS + b, quantity);
        }
      }
    }
  }
  return out;
}

bool wizard_selection_offered(uint16_t sel) {
  const uint16_t relevant = 0x7FFC;
  for (const wizard_selection_t& s : wizard_offered_selections()) {
    if ((s.word & relevant) == (sel & relevant)) return true;
  }
  return false;
}

// ---- Built-in templates -------------------------------------------------------------

namespace {

constexpr channel_t template_channel(const char (&name)[10], uint8_t routing, bool bass) {
  channel_t c{};
  for (int i = 0; i < 10; ++i) c.name[i] = name[i];
  c.routing = routing;
  if (bass) {
    c.xo[0] = xo_t{0, {35, 35}, {12, 7}};
    c.xo[1] = xo_t{2, {110, 110}, {7, 7}};
  } else {
    c.xo[0] = xo_t{2, {110, 110}, {7, 7}};
    c.xo[1] = xo_t{0, {120, 120}, {7, 7}};
  }
  for (int b = 0; b < 6; ++b) c.peq[b] = peq_t{1000, 7, 0, 0};
  if (bass) c.peq[0] = peq_t{80, 12, 30, 0};
  if (!bass) c.peq[5] = peq_t{10000, 12, 15, 0};
  c.dynamics = dynamics_t{1, 10, 0, 0};
  return c;
}

constexpr preset_t make_template() {
  preset_t p{};
  const char name[13] = "Preset      ";
  for (int i = 0; i < 13; ++i) p.name[i] = name[i];
  p.channel[0] = template_channel("Bass     ", 6, true);
  p.channel[1] = template_channel("Bass     ", 6, true);
  p.channel[2] = template_channel("Top L    ", 0, false);
  p.channel[3] = template_channel("Top R    ", 2, false);
  return p;
}

}  // namespace

const preset_t preset_factory[2] = {make_template(), make_template()};

// ---- Generation -----------------------------------------------------------------------

wizard_file_lookup_t find_wizard_file() {
  return find_data_file(WIZARD_FILE_NAME, data_dirs());
}

int wizard_input_entry(int wizard_input) {
  return wizard_input == 1 ? 3 : 0;
}

namespace {

// Reads `file` for one loudspeaker alone: a block that is missing (or
// empty) leaves the default preset.
bool block_present(const std::string& file, uint16_t mode, int speaker) {
  preset_t alone = preset_def;
  tree_select = static_cast<uint16_t>(mode | wizard_speakers[speaker].bit);
  xml_read(file.c_str(), &alone, 1);
  return !presets_equal(alone, preset_def);
}

// Whether the file holds the end tag of its root: a copy cut short ends
// the read at the end of the input without a code.
bool ends_complete(const std::string& file) {
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return false;
  const std::string end_tag = "</WIZARD>";
  std::string window;
  char buf[4096];
  bool found = false;
  size_t n;
  while (!found && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    window.append(buf, n);
    found = window.find(end_tag) != std::string::npos;
    if (window.size() > end_tag.size()) window.erase(0, window.size() - end_tag.size());
  }
  std::fclose(f);
  return found;
}

}  // namespace

std::string wizard_result_t::problem() const {
  if (error == XML_ERR_OPEN) {
    return file + ": cannot open (" + (reason.empty() ? "unknown reason" : reason) + ")";
  }
  if (error != 0) {
    return file + ": reading stopped early (code " + std::to_string(error) + ": " +
           xml_error_text(error) + ")";
  }
  if (!missing.empty()) {
    std::string list;
    for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
    return file + ": holds no preset for " + list;
  }
  if (cut_short) return file + ": the file is cut short (no </WIZARD> end tag)";
  return "";
}

wizard_result_t wizard_generate(uint16_t sel, int factory_index, const std::string& wizard_file,
                                const std::string& name, bool lock, int wizard_input) {
  wizard_result_t r;
  r.preset = preset_def;
  r.input_mode = wizard_input_entry(wizard_input);
  if ((sel & 0x003E) == 0) {
    r.from_template = true;
    r.preset = preset_factory[factory_index == 2 ? 1 : 0];
  } else {
    r.file = wizard_file;
    if (wizard_file.empty()) {
      // The lookup found no factory file.
      r.file = WIZARD_FILE_NAME;
      r.error = XML_ERR_OPEN;
      r.reason = "not found in the working directory or the data directory";
      if (lock) r.preset.lock |= LOCK_EDITING;
      set_record_text(r.preset.name, sizeof r.preset.name, name);
      return r;
    }
    const uint16_t saved = tree_select;
    tree_select = sel;
    errno = 0;
    const uint8_t result = xml_read(wizard_file.c_str(), &r.preset, 1);
    const int open_errno = errno;
    if (result != 0) {
      r.error = result;
      if (result == XML_ERR_OPEN) r.reason = std::strerror(open_errno ? open_errno : ENOENT);
    } else {
      r.error = xml_error;
    }
    if (r.error == 0) {
      r.cut_short = !ends_complete(wizard_file);
      // A file without the block of a chosen loudspeaker reads without
      // complaint and leaves its channels at the defaults.
      const uint16_t mode = sel & SEL_MODES;
      const int speakers[2] = {top_of(sel), bass_of(sel)};
      for (int s : speakers) {
        if (s >= 0 && !block_present(wizard_file, mode, s)) {
          r.missing.push_back(std::string(wizard_speakers[s].key) + "/" + mode_key(mode_of(sel)));
        }
      }
    }
    tree_select = saved;
  }
  if (lock) r.preset.lock |= LOCK_EDITING;
  set_record_text(r.preset.name, sizeof r.preset.name, name);
  return r;
}

// ---- Selection summary -------------------------------------------------------------------

namespace {

// Text of the speakers cell, or nothing for a value outside the 31 that
// the wizard can produce.
bool speakers_text(uint16_t sel, std::string& text) {
  const uint16_t v = sel & (SEL_SPEAKERS | SEL_QUANTITY_2X);
  const int top = single_bit(v & SEL_TOPS, SEL_RS1, WIZ_TOP_COUNT);
  const int bass = single_bit(v & SEL_BASSES, SEL_RX1, WIZ_BASS_COUNT);
  const bool two_x = v & SEL_QUANTITY_2X;
  const bool any_top = v & SEL_TOPS, any_bass = v & SEL_BASSES;
  const std::string qty = two_x ? " (2x per Channel)" : "";
  if (top >= 0 && !any_bass) {
    text = std::string(wizard_speakers[top].key) + qty;
    return true;
  }
  if (bass >= 0 && !any_top && !two_x) {
    text = wizard_speakers[WIZ_FIRST_BASS + bass].key;
    return true;
  }
  if (top >= 0 && bass >= 0 && sat_pair_allowed(top, bass)) {
    text = std::string(wizard_speakers[top].key) + qty + ", " +
           wizard_speakers[WIZ_FIRST_BASS + bass].key + " ";
    return true;
  }
  return false;
}

// Names under the outputs A..D, or false for no cells.
bool output_names(uint16_t sel, const char* names[4]) {
  const uint16_t v = sel & SEL_SPEAKERS;
  const int top = single_bit(v & SEL_TOPS, SEL_RS1, WIZ_TOP_COUNT);
  const int bass = single_bit(v & SEL_BASSES, SEL_RX1, WIZ_BASS_COUNT);
  const bool any_top = v & SEL_TOPS, any_bass = v & SEL_BASSES;
  if ((sel & SEL_SAT) && top >= 0 && bass >= 0 && sat_pair_allowed(top, bass)) {
    const char* t = wizard_speakers[top].key;
    const char* b = wizard_speakers[WIZ_FIRST_BASS + bass].key;
    names[0] = b, names[1] = b, names[2] = t, names[3] = t;
    return true;
  }
  const char* alone = nullptr;
  if (top >= 0 && !any_bass) alone = wizard_speakers[top].key;
  if (bass >= 0 && !any_top) alone = wizard_speakers[WIZ_FIRST_BASS + bass].key;
  if (!alone) return false;
  for (int i = 0; i < 4; ++i) names[i] = alone;
  return true;
}

}  // namespace

std::string selection_html(uint16_t sel) {
  std::string h;
  h += "<html>\n";
  h += "<HEAD><TITLE>Q.B.N Preset-Wizard Selection</TITLE></HEAD>\n";
  h += "<BODY>\n";
  h += "<table>\n<tr><td width=\"20\"></td>\n<td>\n";
  h += "<H1>Q.B.N Preset-Wizard</H1>\n<br><br>";
  h += "Your Selection:<br><br>\n";
  h += "<table border=\"0\">\n";
  h += "<tr>\n<td>Mode:</td>\n";
  switch (sel & SEL_MODES) {
    case SEL_SAT:
    case SEL_FULLRANGE:
    case SEL_BASSARRAY:
    case SEL_MONITOR:
      h += std::string("<td>") + mode_key(mode_of(sel)) + "</td>\n</tr>\n";
      break;
    default:
      break;
  }
  h += "<tr><td>Speakers:</td>";
  std::string speakers;
  if (speakers_text(sel, speakers)) h += "<td>" + speakers + "</td>\n</tr>\n";
  h += "</table><br>\n";
  h += "<img SRC=\"MV517_rear.jpg\" height=150 width=600><br>\n";
  h += "<table border=\"0\" width=\"600\" height=\"20\">\n<tr>\n<td width=\"360\"></td>\n";
  const char* names[4];
  if (output_names(sel, names)) {
    for (int i = 0; i < 4; ++i) {
      h += (i % 2 == 0) ? "<td width=\"60\">" : "<td>";
      h += std::string("<FONT SIZE=\"2\"><b><p align=\"center\">") + names[i] +
           "</p></b></FONT></td>\n";
    }
  }
  if (sel & SEL_QUANTITY_2X) {
    const char* mark = "<td><p align=\"center\">(2x)</p></td>\n";
    h += "</tr>\n<td></td>\n";
    const int empty = (sel & SEL_SAT) ? 2 : 0;
    for (int i = 0; i < empty; ++i) h += "<td></td>\n";
    for (int i = empty; i < 4; ++i) h += mark;
  }
  h += "</tr>\n</table>\n";
  h += "</td>\n</tr>\n</table>\n";
  h += "</BODY>\n";
  h += "</html>";

  std::string out;
  out.reserve(h.size() + 64);
  for (char c : h) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

summary_write_t write_selection_html(const std::string& path, uint16_t sel) {
  summary_write_t r;
  const std::string page = selection_html(sel);
  auto failed = [&r, &path](int err) {
    r.ok = false;
    r.error = err;
    r.message = "cannot write " + path + ": " + std::strerror(err);
    return r;
  };
  // A temporary file beside the target, created with the usual permissions
  // (0666 less the umask), replaces the target only when complete.
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno != EEXIST) return failed(errno);
  }
  if (fd < 0) return failed(EEXIST);
  size_t done = 0;
  while (done < page.size()) {
    const ssize_t n = write(fd, page.data() + done, page.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : EIO;
      close(fd);
      std::remove(temp.c_str());
      return failed(err);
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) {
    const int err = errno;
    std::remove(temp.c_str());
    return failed(err);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    std::remove(temp.c_str());
    return failed(err);
  }
  r.ok = true;
  return r;
}

bool provide_rear_picture(const std::string& summary_path, const std::string& picture) {
  const size_t slash = summary_path.rfind('/');
  const std::string path =
      (slash == std::string::npos ? "" : summary_path.substr(0, slash + 1)) + REAR_PICTURE_NAME;
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0) return true;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(picture.data(), 1, picture.size(), f) == picture.size();
  if (std::fclose(f) != 0 || !written) {
    std::remove(path.c_str());
    return false;
  }
  return true;
}
