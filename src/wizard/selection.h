// The preset wizard without its windows: the selection word and the page
// rules that change it, the loudspeaker catalogue with the SAT pairing
// table, the generation of a preset from a selection (built-in template or
// the factory file "wizards.xml"), and the HTML summary of a selection.
//
// The assistant keeps its page model in a wizard_state_t and calls these
// functions from its handlers with the global `tree_select`; it then copies
// the state into its widgets (active, sensitive, page complete). The same
// functions drive `qpx wizard`, so both refuse the same choices.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/data_dirs.h"
#include "model/preset.h"
#include "model/selection_word.h"

// Caption on Step Two ("SAT", "Fullrange", "Bass-Array", "Monitor").
const char* mode_label(int mode);
// Element name in "wizards.xml" and word in the summary ("SAT",
// "FULLRANGE", "BASSARRAY", "MONITOR").
const char* mode_key(int mode);
// The mode whose bit is set in `sel` (the first in toggle order), or
// WIZ_NO_MODE.
int mode_of(uint16_t sel);

// ---- The loudspeaker catalogue --------------------------------------------
//
// Whether a mode offers a speaker (its toggle is in that mode's layout).
bool speaker_offered(int mode, int speaker);
// The SAT pairing table: top 0..3 (RS1..RS4) with bass 0..2 (RX1..RX3).
// False for anything outside the table (RS5 has no SAT pairs).
bool sat_pair_allowed(int top, int bass);
// Speaker index of the first top / bass bit set in `sel`, or -1.
int top_of(uint16_t sel);
int bass_of(uint16_t sel);

// Layout of Step Three for a mode: the caption of the first frame and its
// toggles, whether the quantity selectors stand below them, and whether the
// "Bass" frame with RX 1..RX 3 is shown under it.
struct wiz_layout_t {
  const char* caption;  // "Top", "Fullrange", "Bass", "Monitor"
  int items[5];         // speaker indices, left to right
  int count;
  bool quantity;
  bool bass_frame;
};
wiz_layout_t wizard_layout(int mode);

// ---- Pages and presses -------------------------------------------------------

// Page indices of the assistant.
enum wiz_page_t { WIZ_STEP_ONE = 0, WIZ_STEP_TWO = 1, WIZ_STEP_THREE = 2, WIZ_STEP_FOUR = 3 };

// Item numbers of the twelve toggles, as the press handler receives them.
enum wiz_item_t {
  WIZ_ITEM_SAT = 1,
  WIZ_ITEM_FULLRANGE = 2,
  WIZ_ITEM_BASSARRAY = 3,
  WIZ_ITEM_MONITOR = 4,
  WIZ_ITEM_RS1 = 5,  // RS2..RS5 are 6..9
  WIZ_ITEM_RX1 = 10  // RX2, RX3 are 11, 12
};
// Toggle item of a speaker index and back (-1 when out of range).
int speaker_item(int speaker);
int item_speaker(int item);

enum wiz_press_kind_t { WIZ_PRESS_SINGLE, WIZ_PRESS_DOUBLE };

// What the assistant's pages show: the state of every toggle, selector and
// page that the selection rules read or write.
struct wizard_state_t {
  // Step Two
  bool mode_active[WIZ_MODE_COUNT];
  bool mode_sensitive[WIZ_MODE_COUNT];
  int factory;          // factory selector: 0 "None", 1 "FPreset 1", 2 "FPreset 2"
  bool show_sensitive;  // the "Show Selection" button on Step Four
  bool complete[4];     // page complete flags, by page index
  // Step Three, as last built
  bool step_three_built;  // built since the wizard started
  int layout_mode;        // the mode it was built for, or WIZ_NO_MODE
  bool speaker_active[WIZ_SPEAKER_COUNT];
  bool speaker_sensitive[WIZ_SPEAKER_COUNT];
  int quantity[WIZ_TOP_COUNT];  // selector index per top: 0 "1x", 1 "2x"
  bool quantity_sensitive[WIZ_TOP_COUNT];
  bool forward;       // a top (RS 1..RS 4) is selected
  bool forward_bass;  // a bass is selected
};

// Start of the wizard: keeps only bit 0 of the selection word and resets
// every page (Steps One and Four complete, nothing chosen, the factory
// selector at "None").
void wizard_start(wizard_state_t& st, uint16_t& sel);

// The prepare handler: run before `page` is shown. Step Two clears the mode
// choice and marks itself incomplete; Step Three is built afresh for the
// active mode; Step Four computes the loudspeaker bits.
void wizard_prepare(wizard_state_t& st, int page, uint16_t& sel);

// Builds Step Three: nothing selected, every toggle sensitive, every
// quantity selector at "1x" and insensitive; the selection word keeps bits
// 0-1 and gets the bit of the first active mode toggle.
void wizard_build_step_three(wizard_state_t& st, uint16_t& sel);

// Entry to Step Four: the selection word keeps bits 0-5 and gets the first
// active top's bit with its quantity and the first active bass's bit.
// Without a Step Three built since the start no speaker bit is set.
void wizard_speaker_bits(const wizard_state_t& st, uint16_t& sel);

// The factory selector changed to `index` (0 "None", 1, 2).
void wizard_change_factory(wizard_state_t& st, int index, uint16_t& sel);

// A press on toggle `item`. A single press toggles it with the radio-like
// row rules and, in SAT mode, the sensitivities of the pairing table; a
// double press (which follows two single presses) makes it active and asks
// for a page. Presses on a toggle that is not shown or insensitive do
// nothing, as the toolkit delivers none. Result: the page to show (Step
// Three for a mode, Step Four for a loudspeaker outside SAT mode), or -1.
int wizard_press(wizard_state_t& st, int item, wiz_press_kind_t kind, uint16_t& sel);

// The quantity selector of top `top` (0..4) set to `index` (0 "1x", 1
// "2x"). False, and nothing changes, when that selector is insensitive.
bool wizard_set_quantity(wizard_state_t& st, int top, int index);

// Whether toggle `item` is in the layout of the Step Three last built (the
// mode toggles are always shown).
bool wizard_item_shown(const wizard_state_t& st, int item);

// The assistant's forward-page function: 0 -> 1; 1 -> 2 with the factory
// selector at "None", else 3; 2 -> 3; any other page -> -1.
int wizard_forward_page(int current_page, int factory_index);

// ---- Every selection the wizard can produce ----------------------------------

struct wizard_selection_t {
  int mode;       // WIZ_SAT..WIZ_MONITOR
  int top;        // speaker index 0..4, or -1
  int bass;       // speaker index 5..7, or -1
  int quantity;   // 0 "1x", 1 "2x" (always 0 without a top)
  uint16_t word;  // the selection word at Apply (bit 0 set, as after a start)
};
// The 37 selections a mode path can end in: SAT 9 pairs x 2 quantities,
// Fullrange 5 tops x 2, Monitor 3 tops x 2, Bass-Array 3 basses.
std::vector<wizard_selection_t> wizard_offered_selections();
// Whether a selection word is one of them (bits 0-1 and 15 ignored).
bool wizard_selection_offered(uint16_t sel);

// ---- Generation ------------------------------------------------------------------

// The two built-in templates of "FPreset 1" and "FPreset 2" (identical).
extern const preset_t preset_factory[2];

// File name of the factory file, looked up relative to the working
// directory first.
constexpr const char* WIZARD_FILE_NAME = "wizards.xml";

// Where "wizards.xml" is: the working directory first, then the data
// folders (files/data_dirs.h).
using wizard_file_lookup_t = data_lookup_t;
wizard_file_lookup_t find_wizard_file();

// Input-mode entry of the MV517 editor for the wizard's input selector:
// 0 "Analog" -> 0 "Inputs Analog", 1 "Digital" -> 3 "Inputs Digital".
int wizard_input_entry(int wizard_input);

struct wizard_result_t {
  preset_t preset;     // the generated preset
  int input_mode = 0;  // the editor's input selector entry to apply
  bool from_template = false;
  std::string file;                  // the factory file read ("" for a template)
  uint8_t error = 0;                 // 0, 8 (cannot open) or the code reading stopped at
  std::string reason;                // why the file could not be opened (error 8)
  std::vector<std::string> missing;  // blocks the file lacks, as "RS3/SAT"
  bool cut_short = false;            // the file ends before </WIZARD>
  bool ok() const { return error == 0 && missing.empty() && !cut_short; }
  // One line for the user: "FILE: what went wrong"; empty when ok().
  std::string problem() const;
};

// What Apply generates. With no mode bit in `sel` (the factory path) the
// template of `factory_index` (1 or 2; anything else takes the first) is
// copied; otherwise `wizard_file` is read in wizard use with the blocks the
// selection names (tree_select is set to `sel` for the read and restored);
// an empty `wizard_file` (the lookup found none) gives error 8.
// Then the lock bits 0-5 are set when `lock`, and `name` (UTF-8) replaces
// the name, cut to the field. The preset is left as the reader or the
// template gives it: the editor's build adjusts the crossover Q values.
// Besides the reader's codes, a file that reads cleanly is checked for what
// the reader passes over in silence: a chosen loudspeaker without a block
// for the mode (its channels would keep the defaults) and a file cut short
// before its "</WIZARD>" end tag (a block may be applied only in part).
wizard_result_t wizard_generate(uint16_t sel, int factory_index, const std::string& wizard_file,
                                const std::string& name, bool lock, int wizard_input);

// ---- Selection summary ---------------------------------------------------------

constexpr const char* SELECTION_FILE_NAME = "Selection.html";
// Name of the rear-panel picture the summary shows, beside it.
constexpr const char* REAR_PICTURE_NAME = "MV517_rear.jpg";

// Puts the rear-panel picture (`picture`, its bytes) beside the summary at
// `summary_path` unless a file of that name is there already (the user's).
// False when it was missing and could not be written.
bool provide_rear_picture(const std::string& summary_path, const std::string& picture);

// The HTML page that summarises `sel`: line breaks CR LF, no line break
// after the final "</html>".
std::string selection_html(uint16_t sel);

struct summary_write_t {
  bool ok = false;
  int error = 0;        // errno of the failure
  std::string message;  // "cannot write PATH: reason" on failure
};
// Writes the summary to `path` through a temporary file beside it that
// replaces the target only when complete: a failure leaves no partial page.
summary_write_t write_selection_html(const std::string& path, uint16_t sel);
