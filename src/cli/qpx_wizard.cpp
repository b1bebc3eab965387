// qpx wizard: the preset wizard's generation from the command line. The
// choices are played through the wizard's own page rules, so a selection
// the assistant would not let the user make is refused here too; the file
// written is the one the editor saves after that wizard run and Save As.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/qpx_commands.h"
#include "cli/qpx_common.h"
#include "files/xml.h"
#include "model/text_format.h"
#include "wizard/selection.h"

namespace {

const char* const COMMAND = "wizard";

struct wizard_options {
  std::string mode;
  std::string top;
  std::string bass;
  std::string quantity;
  int factory = 0;
  std::string name = "Preset";
  bool lock = false;
  std::string wizard_file;
  std::string out;
  std::string summary;
};

std::optional<int> parse_mode(const std::string& text) {
  for (int m = 0; m < WIZ_MODE_COUNT; ++m) {
    if (upper_ascii(text) == mode_key(m)) return m;
  }
  return std::nullopt;
}

// "RS1".."RS5" or "RX1".."RX3" (either case, "RS 1" too) to a speaker index
// of the given kind.
std::optional<int> parse_speaker(const std::string& text, bool top) {
  std::string key;
  for (char c : upper_ascii(text)) {
    if (c != ' ') key += c;
  }
  for (int s = 0; s < WIZ_SPEAKER_COUNT; ++s) {
    if (wizard_speakers[s].top == top && key == wizard_speakers[s].key) return s;
  }
  return std::nullopt;
}

std::optional<int> parse_quantity(const std::string& text) {
  const std::string u = upper_ascii(text);
  if (u == "1X") return 0;
  if (u == "2X") return 1;
  return std::nullopt;
}

// "RS1, RS2 or RS4": the speakers of one kind that `mode` offers, or that
// go with `partner` in SAT mode when a partner is given.
std::string speaker_list(int mode, bool top, int partner = -1) {
  std::string items[WIZ_SPEAKER_COUNT];
  int count = 0;
  for (int s = 0; s < WIZ_SPEAKER_COUNT; ++s) {
    if (wizard_speakers[s].top != top || !speaker_offered(mode, s)) continue;
    if (partner >= 0) {
      const int t = top ? s : partner;
      const int b = top ? partner : s;
      if (!sat_pair_allowed(t, b - WIZ_FIRST_BASS)) continue;
    }
    items[count++] = wizard_speakers[s].key;
  }
  std::string list;
  for (int i = 0; i < count; ++i) {
    if (i > 0) list += i + 1 == count ? " or " : ", ";
    list += items[i];
  }
  return list;
}

std::string sat_pairs_text() {
  std::string list;
  for (int t = 0; t < 4; ++t) {
    for (int b = 0; b < WIZ_BASS_COUNT; ++b) {
      if (!sat_pair_allowed(t, b)) continue;
      if (!list.empty()) list += ", ";
      list += std::string(wizard_speakers[t].key) + "+" + wizard_speakers[WIZ_FIRST_BASS + b].key;
    }
  }
  return list;
}

[[noreturn]] void refuse(const std::string& message) {
  qpx::fail(COMMAND, message, qpx::EXIT_USAGE);
}

// What a mode needs on Step Three, for the refusal of an incomplete choice.
std::string mode_needs(int mode) {
  const std::string name = lower_ascii(mode_key(mode));
  if (mode == WIZ_SAT) {
    return "sat mode needs a top (--top " + speaker_list(mode, true) + ") and a bass (--bass " +
           speaker_list(mode, false) + "); allowed pairs: " + sat_pairs_text();
  }
  if (mode == WIZ_BASSARRAY) return name + " mode needs --bass " + speaker_list(mode, false);
  return name + " mode needs --top " + speaker_list(mode, true);
}

// Plays the mode path through the wizard's pages; refuses what they refuse.
uint16_t run_mode_path(const wizard_options& o, wizard_state_t& st, uint16_t sel) {
  const int mode = *parse_mode(o.mode);
  const std::string name = lower_ascii(mode_key(mode));
  wizard_press(st, WIZ_ITEM_SAT + mode, WIZ_PRESS_SINGLE, sel);
  wizard_prepare(st, wizard_forward_page(WIZ_STEP_TWO, st.factory), sel);

  std::optional<int> top, bass;
  if (!o.top.empty()) {
    top = parse_speaker(o.top, true);
    if (!speaker_offered(mode, *top)) {
      const std::string offered = speaker_list(mode, true);
      refuse(offered.empty()
                 ? name + " mode takes no top; choose --bass " + speaker_list(mode, false)
                 : wizard_speakers[*top].key + std::string(" is not offered in ") + name +
                       " mode; choose --top " + offered);
    }
    wizard_press(st, speaker_item(*top), WIZ_PRESS_SINGLE, sel);
  }
  if (!o.bass.empty()) {
    bass = parse_speaker(o.bass, false);
    if (!speaker_offered(mode, *bass)) {
      refuse(name + " mode takes no bass; choose --top " + speaker_list(mode, true));
    }
    if (!st.speaker_sensitive[*bass]) {
      if (!top) refuse(mode_needs(mode));
      refuse(std::string(wizard_speakers[*top].key) + " and " + wizard_speakers[*bass].key +
             " do not go together in sat mode; " + wizard_speakers[*top].key + " goes with " +
             speaker_list(mode, false, *top) + " (allowed pairs: " + sat_pairs_text() + ")");
    }
    wizard_press(st, speaker_item(*bass), WIZ_PRESS_SINGLE, sel);
  }
  if (!o.quantity.empty()) {
    const int q = *parse_quantity(o.quantity);
    if (!top) {
      // Without a top there is no quantity selector; "1x" is what the
      // wizard's result says anyway.
      if (q != 0) refuse("--quantity 2x needs a top: the quantity is chosen per top loudspeaker");
    } else {
      wizard_set_quantity(st, *top, q);
    }
  }
  if (!st.complete[WIZ_STEP_THREE]) refuse(mode_needs(mode));
  wizard_prepare(st, wizard_forward_page(WIZ_STEP_THREE, st.factory), sel);
  return sel;
}

void run(const wizard_options& o) {
  const bool by_mode = !o.mode.empty();
  if (by_mode == (o.factory != 0)) {
    refuse("choose either --mode sat|fullrange|bassarray|monitor or --factory 1|2");
  }
  if (!by_mode) {
    if (!o.top.empty() || !o.bass.empty() || !o.quantity.empty()) {
      refuse("--factory takes no --top, --bass or --quantity; the factory preset is complete");
    }
    if (!o.summary.empty()) {
      refuse("--summary describes a mode and loudspeakers; it is not offered with --factory");
    }
  }
  const name_fit_t fit = check_name(o.name, PRESET_NAME_MAX);
  if (!fit.representable) refuse("--name holds characters a preset name cannot store");
  if (!fit.fits_field) refuse("--name takes at most 12 characters");
  if (!fit.fits_written) refuse("--name is too long for the preset file");

  wizard_state_t st;
  uint16_t sel = 0x0001;
  wizard_start(st, sel);
  wizard_prepare(st, WIZ_STEP_TWO, sel);
  if (by_mode) {
    sel = run_mode_path(o, st, sel);
  } else {
    wizard_change_factory(st, o.factory, sel);
    wizard_prepare(st, wizard_forward_page(WIZ_STEP_TWO, st.factory), sel);
  }

  std::string file = o.wizard_file;
  if (by_mode && file.empty()) {
    const wizard_file_lookup_t found = find_wizard_file();
    if (found.path.empty()) {
      std::string places;
      for (const std::string& p : found.tried) places += (places.empty() ? "" : ", ") + p;
      qpx::fail(COMMAND, std::string(WIZARD_FILE_NAME) + " not found (looked for " + places + ")");
    }
    file = found.path;
  }
  const wizard_result_t r = wizard_generate(sel, st.factory, file, o.name, o.lock, 0);
  if (!r.ok()) qpx::fail(COMMAND, r.problem());

  // The editor's build fixes every crossover Q by its type before the save.
  preset_t p = r.preset;
  apply_build_q(p, MV517);
  // Nothing is written when the summary could not be: its folder is
  // checked before the preset is saved.
  if (!o.summary.empty()) {
    const size_t slash = o.summary.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : o.summary.substr(0, slash + 1);
    if (access(folder.c_str(), W_OK | X_OK) != 0)
      qpx::fail(COMMAND, "cannot write " + o.summary + ": " + std::strerror(errno));
  }
  qpx::write_preset_or_fail(COMMAND, o.out, p, MV517);
  if (!o.summary.empty()) {
    const summary_write_t w = write_selection_html(o.summary, sel);
    if (!w.ok) qpx::fail(COMMAND, w.message);
    // The page shows the rear panel from a picture beside it.
    const data_lookup_t found = find_data_file(REAR_PICTURE_NAME, data_dirs());
    std::string picture;
    if (!found.path.empty()) picture = qpx::read_input(COMMAND, found.path);
    if (found.path.empty() || !provide_rear_picture(o.summary, picture))
      std::cerr << "qpx " << COMMAND << ": warning: " << REAR_PICTURE_NAME
                << " could not be put beside " << o.summary << "; the page shows no picture\n";
  }
}

}  // namespace

void add_wizard_command(CLI::App& app) {
  auto opt = std::make_shared<wizard_options>();
  CLI::App* cmd = app.add_subcommand(
      "wizard", "Generate an MV517 preset as the preset wizard does, and save it.");
  cmd->add_option("--mode", opt->mode, "Operating mode: sat, fullrange, bassarray or monitor")
      ->type_name("MODE")
      ->check([](const std::string& v) {
        return parse_mode(v) ? std::string() : "expected sat, fullrange, bassarray or monitor";
      });
  cmd->add_option("--top", opt->top, "Top loudspeaker RS1..RS5 (sat, fullrange, monitor)")
      ->type_name("RSn")
      ->check([](const std::string& v) {
        return parse_speaker(v, true) ? std::string() : "expected RS1, RS2, RS3, RS4 or RS5";
      });
  cmd->add_option("--bass", opt->bass, "Bass loudspeaker RX1..RX3 (sat, bassarray)")
      ->type_name("RXn")
      ->check([](const std::string& v) {
        return parse_speaker(v, false) ? std::string() : "expected RX1, RX2 or RX3";
      });
  cmd->add_option("--quantity", opt->quantity, "Tops per channel: 1x (default) or 2x")
      ->type_name("Q")
      ->check([](const std::string& v) {
        return parse_quantity(v) ? std::string() : "expected 1x or 2x";
      });
  cmd->add_option("--factory", opt->factory, "Built-in factory preset 1 or 2 instead of a mode")
      ->type_name("N")
      ->check(CLI::Range(1, 2));
  cmd->add_option("--name", opt->name, "Preset name, at most 12 characters (default Preset)")
      ->type_name("NAME");
  cmd->add_flag("--lock", opt->lock, "Lock the preset (sets the six lock flags)");
  cmd->add_option("--wizard-file", opt->wizard_file,
                  "Factory file to read instead of wizards.xml (looked for in the working "
                  "directory, then in the installed data folder)")
      ->type_name("PATH");
  cmd->add_option("-o,--output", opt->out, "Preset file to write")->type_name("FILE")->required();
  cmd->add_option("--summary", opt->summary, "Also write the selection summary (HTML) here")
      ->type_name("FILE");
  cmd->footer("SAT pairs: " + sat_pairs_text() +
              ".\nFullrange offers RS1..RS5, Monitor RS2, RS4, RS5, Bass-Array RX1..RX3.\n"
              "Exit code 0 on success, 1 when the factory file is missing or damaged or a file\n"
              "cannot be written, 2 for a selection the wizard does not offer.\n");
  cmd->callback([opt] { run(*opt); });
}
