// Factories for the recurring widgets of the editor, the wizard and the
// About dialog: fixed sizes, colours, number formats and the fixed entry
// lists of the selector boxes. Each returns a new widget that is not shown
// yet; the caller packs it and connects its signals.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>

// Colours, as 16-bit RGB triples applied to a widget's normal state.
struct rgb16_t {
  uint16_t r, g, b;
};
constexpr rgb16_t COLOR_LABEL_BLUE{3000, 20000, 40000};
constexpr rgb16_t COLOR_NOTE_RED{55000, 0, 0};
constexpr rgb16_t COLOR_FADER{20000, 20000, 20000};
constexpr rgb16_t COLOR_ENTRY_BASE{65500, 65500, 64000};

GdkColor gdk_color_of(rgb16_t c);

// button_type 1: push button, 2: toggle button; any other type makes no
// button (nullptr). Size request width x height (-1: natural).
GtkWidget* make_button(const char* text, int width, int height, int button_type);

// A spin button over min..max moving by `step`, showing `komma` digits after
// the decimal point, taking at most `positions` typed characters; its width
// is `width` with the fraction chopped (-1: natural).
GtkWidget* make_spinbutton(double min, double max, double step, int positions, int komma,
                           double default_value, double width);

// Fixed entries appended after text1..text3 by `ident` of make_combobox.
enum combo_ident_t {
  COMBO_PLAIN = 0,          // none
  COMBO_ROUTING_MV517 = 1,  // "D/d2(R)" .. "A+B+C+D/d1+d2"
  COMBO_ROUTING_MV961 = 2,  // "A+B/d1(L+R)"
  COMBO_INPUT_MV517 = 3,    // "Inputs Digital"
  COMBO_MUTE_MV517 = 4,     // "Gr 2 strong", "Gr 2 weak"
};

// A text selector with the entries text1, text2, text3 (when not null) and
// the fixed entries of `ident`; width `size` (-1: natural). No entry is
// active: the entry index is what the editing operations store, so the order
// is part of the preset encoding.
GtkWidget* make_combobox(const char* text1, const char* text2, const char* text3, int size,
                         int ident);

// The channel gain fader: inverted vertical scale without a value display,
// marks at 0, -10, ..., -90 dB on both sides, continuous updates. Its page
// size is `step`, so its top value is max - step.
GtkWidget* make_vscale(double min, double max, double step, double default_value, double width,
                       double height);

// A left-aligned single-line entry taking at most max_length characters,
// on the cream base colour, `width` pixels wide or wider where its font needs
// more to show max_length "W".
GtkWidget* make_entry(int max_length, int width);

// Bit 0 of click_motion adds button presses to the event mask, bit 1 button
// motion.
GtkWidget* make_drawing_area(int width, int height, int click_motion);

// Label styles of make_label_with_markup.
enum label_ident_t {
  LABEL_BOLD = 0,        // "<b>%s</b>"
  LABEL_LARGE = 1,       // x-large bold
  LABEL_LARGE_BLUE = 2,  // x-large bold, blue
  LABEL_NOTE_RED = 3,    // small bold, red
  LABEL_BOLD_BLUE = 4,   // bold, blue (any other ident)
};

// A label showing `text` (escaped for markup) in the style of `ident`.
GtkWidget* make_label_with_markup(const char* text, int ident);

// The editor window's look: the font size its widget widths were drawn for
// (DejaVu Sans 9 px, whatever the screen's resolution) and slimmer combo box
// and button frames, so that every entry, value and caption fits the width
// its widget is given. Applies to the window and everything in it.
// Menus shown from the window's controls (combo box lists, right-click
// menus and their submenus) take the same style.
extern const char* const EDITOR_FONT;
void apply_editor_style(GtkWidget* window);
// A menu popped up without a control it belongs to (the channel menus) in
// the editor's style.
void style_editor_popup(GtkWidget* menu);
