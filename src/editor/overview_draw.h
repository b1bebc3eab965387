// The two diagrams of the editor's Overview page (also shown read-only on the
// System page), drawn with cairo from plain data, and the hit-testing that
// decides which notebook page a press on them opens.
//
//   draw_channel_flow: one signal-flow strip per output channel
//                      (DELAY -> LEVEL -> XO -> EQ -> DYN -> amplifier ->
//                      output box), 630 x 395 pixels.
//   draw_routing:      the inputs, the router box and the routing lines of
//                      every output channel, 320 x 395 pixels.
//
// Also here: the linear gradients that the editor prepares once per build
// (the plot background and the router fill), as data plus a function that
// turns them into cairo patterns.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editor/editor_tabs.h"
#include "model/preset.h"

// ---- Gradients ----------------------------------------------------------------

struct GradientStop {
  double offset;
  double r, g, b, a;
};

struct LinearGradient {
  double x0, y0, x1, y1;
  int n_stops;
  GradientStop stops[3];
};

// Background of the frequency-response plots: black, blue, black from top
// to bottom.
extern const LinearGradient plot_background_gradient;
// Fill of the router box: light grey to dark grey from left to right.
extern const LinearGradient router_gradient;

// A new cairo linear pattern with the gradient's points and stops; the
// caller owns it (cairo_pattern_destroy).
cairo_pattern_t* make_linear_pattern(const LinearGradient& g);

// ---- Texts ----------------------------------------------------------------------

// A text of a diagram: where its baseline starts, the font it is meant to
// have and the horizontal room of the box it stands in. Drawn at its size,
// or smaller when it would leave the box.
struct DiagramText {
  std::string text;
  double x = 0, y = 0;         // start of the baseline
  double left = 0, right = 0;  // the box's inner edges
  double size = 10;            // font size it is meant to have
  bool bold = true;
  double alpha = 1;  // black at this opacity
};

// The font size a text is drawn in: its own, or the largest that keeps it
// inside its box from x on (the text's own font, as cairo measures it).
double fitted_size(cairo_t* cr, const DiagramText& t);

// ---- Channel signal-flow diagram -----------------------------------------------

constexpr int CHANNEL_FLOW_WIDTH = 630;
constexpr int CHANNEL_FLOW_HEIGHT = 395;

struct ChannelFlowRow {
  std::string delay_text;   // delay with its unit, e.g. "  0.00 m"
  std::string level_text;   // gain, e.g. "  0.0 dB"
  std::string dyn_text;     // limiter threshold, e.g. "-24 dB"
  std::string name;         // channel name, UTF-8 (invalid bytes are shown as '?')
  uint8_t lp_config = 0;    // config of the channel's low-pass; 0 = off
  bool eq_band_on[6] = {};  // band type selector is not at "OFF"
};

struct ChannelFlowView {
  int channels = 4;   // 4 (MV517) or 2 (MV961); rows drawn and clickable
  int aktiv[5] = {};  // activity masks, bit n = channel n:
                      //   [0] limiter, [1] EQ, [3] delay, [4] not muted
  uint8_t lock = 0;   // the preset's lock byte
  ChannelFlowRow row[4];
};

void draw_channel_flow(cairo_t* cr, const ChannelFlowView& v);
// The signal-flow view of a preset on a device (2 or 4 channels), from the
// texts and masks the editor computes when it is built (delays in metres).
ChannelFlowView channel_flow_view_of(const preset_t& p, int device);
// Every text the signal-flow diagram draws, in drawing order.
std::vector<DiagramText> channel_flow_texts(const ChannelFlowView& v);

// What a press on the signal-flow diagram opens: nothing (`hit` false) or
// the notebook page of the block; for XO and EQ also the channel's sub-page
// (`channel_page`, else -1). Each block is an open interval: a press on its
// edge opens nothing.
struct ChannelFlowHit {
  bool hit = false;
  editor_tab_t page = TAB_OVERVIEW;
  int channel_page = -1;
};

ChannelFlowHit channel_flow_hit(int channels, double x, double y);

// ---- Input routing diagram -----------------------------------------------------

constexpr int ROUTING_WIDTH = 320;
constexpr int ROUTING_HEIGHT = 395;

struct RoutingView {
  int device = 4;           // 2 (MV961); any other value draws the MV517
  int in_mode = 0;          // the editor's input-mode selector index; an unknown
                            // mode shows the analog inputs and no routing lines
  uint8_t routing[4] = {};  // routing code of each output channel
  uint8_t lock = 0;         // the preset's lock byte; 0x10 is the routing lock
};

void draw_routing(cairo_t* cr, const RoutingView& v);
// Every text the routing diagram draws.
std::vector<DiagramText> routing_texts(const RoutingView& v);

// The routing view of a preset on a device in an input mode.
RoutingView routing_view_of(const preset_t& p, int device, int in_mode);

// A connection point on the router's input side.
enum class RoutingInput : int { A, B, C, D, d1_left, d1_right, d2_left, d2_right };

inline bool is_digital(RoutingInput in) {
  return in >= RoutingInput::d1_left;
}

// The inputs an output channel with routing code `routing` is drawn connected
// to, for a device and input mode. Empty for a code outside the device's
// list, for an unknown mode, and for the MV961 in modes 2 and 3.
struct RoutingTargets {
  int count = 0;
  RoutingInput input[4] = {};
};

RoutingTargets routing_targets(int device, int in_mode, unsigned routing);

// Whether a press at (x, y) on the routing diagram opens the Channel Setup page.
bool routing_hit(double x, double y);
