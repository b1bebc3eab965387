#include "editor/overview_draw.h"

#include <algorithm>
#include <initializer_list>

#include "model/editing.h"

// ---- Gradients ----------------------------------------------------------------

const LinearGradient plot_background_gradient = {
    100, 0, 100, 210, 3, {{0.1, 0, 0, 0, 1}, {0.5, 0, 0, 1, 1}, {0.9, 0, 0, 0, 1}}};

const LinearGradient router_gradient = {
    50.5, 220.5, 390.5, 220.5, 2, {{0.2, 0.8, 0.8, 0.8, 1}, {0.8, 0.3, 0.3, 0.3, 1}, {}}};

cairo_pattern_t* make_linear_pattern(const LinearGradient& g) {
  cairo_pattern_t* p = cairo_pattern_create_linear(g.x0, g.y0, g.x1, g.y1);
  for (int i = 0; i < g.n_stops && i < 3; ++i) {
    const GradientStop& s = g.stops[i];
    cairo_pattern_add_color_stop_rgba(p, s.offset, s.r, s.g, s.b, s.a);
  }
  return p;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r, g, b;
};

constexpr Rgb kWhite = {1, 1, 1};
constexpr Rgb kPaleYellow = {1, 1, 0.9};
constexpr Rgb kOutputBlue = {0.35, 0.6, 1.0};
constexpr Rgb kOrange = {1, 0.8, 0.6};
constexpr Rgb kDigitalBlue = {0.5, 0.9, 1};

// Fills the current path with a linear gradient from (x0, y0) to (x1, y1).
void fill_gradient(cairo_t* cr, double x0, double y0, double x1, double y1,
                   std::initializer_list<GradientStop> stops, bool preserve) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  for (const GradientStop& s : stops)
    cairo_pattern_add_color_stop_rgba(p, s.offset, s.r, s.g, s.b, s.a);
  cairo_set_source(cr, p);
  if (preserve)
    cairo_fill_preserve(cr);
  else
    cairo_fill(cr);
  cairo_pattern_destroy(p);
}

GradientStop stop(double offset, Rgb c, double a = 1.0) {
  return {offset, c.r, c.g, c.b, a};
}

// Shows text at the current point. cairo refuses invalid UTF-8 by putting
// the whole context into an error state, which would end the drawing; such
// bytes are shown as '?' instead.
void show_text(cairo_t* cr, const std::string& text) {
  cairo_show_text(cr, valid_utf8(text).c_str());
}

void text_at(cairo_t* cr, double x, double y, const std::string& text) {
  cairo_move_to(cr, x, y);
  show_text(cr, text);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
}

void select_sans(cairo_t* cr, cairo_font_weight_t weight, double size) {
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, weight);
  cairo_set_font_size(cr, size);
}

// How far a text's ink reaches from its start point at `size`.
double text_reach(cairo_t* cr, const DiagramText& t, double size) {
  select_sans(cr, t.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, valid_utf8(t.text).c_str(), &e);
  return e.x_bearing + e.width;
}

void draw_text(cairo_t* cr, const DiagramText& t) {
  const double size = fitted_size(cr, t);
  select_sans(cr, t.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL, size);
  cairo_set_source_rgba(cr, 0, 0, 0, t.alpha);
  text_at(cr, t.x, t.y, t.text);
  cairo_new_path(cr);  // no line from the end of the text to the next shape
}

bool bit(int mask, int ch) {
  return (static_cast<unsigned>(mask) >> ch) & 1u;
}

// ---- Channel signal-flow diagram -----------------------------------------------

enum class Block { delay, level, xo, eq, dyn };

struct BlockLayout {
  Block block;
  const char* title;
  double left, width, gradient_width;
  int mask;  // index into aktiv, -1 = always opaque
  uint8_t lock_bit;
  double title_x, value_x;
};

constexpr BlockLayout kBlocks[5] = {
    {Block::delay, "DELAY", 0.5, 60, 50, AKTIV_DELAY, LOCK_DELAY, 7.5, 9.5},
    {Block::level, "LEVEL", 90.5, 60, 60, AKTIV_UNMUTED, LOCK_MUTE_LEVEL, 98.5, 100.5},
    {Block::xo, "XO", 180.5, 50, 50, -1, LOCK_XO, 194.5, 190.5},
    {Block::eq, "EQ", 260.5, 60, 60, AKTIV_PEQ, LOCK_PEQ, 279.5, 0},
    {Block::dyn, "DYN", 350.5, 50, 50, AKTIV_DYN, LOCK_DYN, 359.5, 359.5},
};

constexpr double kFaded = 0.2;

void draw_block(cairo_t* cr, const BlockLayout& b, double Y, double alpha, bool locked) {
  cairo_rectangle(cr, b.left, Y, b.width, 40);
  fill_gradient(cr, b.left, Y, b.left + b.gradient_width, Y + 40,
                {stop(0.1, kWhite, alpha), stop(0.5, kPaleYellow, alpha), stop(0.9, kWhite, alpha)},
                false);
  cairo_rectangle(cr, b.left, Y, b.width, 40);
  if (locked)
    cairo_set_source_rgba(cr, 1, 0, 0, alpha);
  else
    cairo_set_source_rgba(cr, 0, 0, 0, alpha);
  cairo_stroke(cr);
}

double block_alpha(const ChannelFlowView& v, const BlockLayout& b, int ch) {
  return (b.mask < 0 || bit(v.aktiv[b.mask], ch)) ? 1.0 : kFaded;
}

// The texts of channel ch's row: each block's title and value (none for
// EQ), the output letter and the channel name.
void flow_row_texts(const ChannelFlowView& v, int ch, std::vector<DiagramText>& out) {
  const ChannelFlowRow& row = v.row[ch];
  const double Y = 100.5 + 70 * ch;
  const bool muted = !bit(v.aktiv[AKTIV_UNMUTED], ch);
  double level_alpha = 1.0;
  for (const BlockLayout& b : kBlocks) {
    const double alpha = block_alpha(v, b, ch);
    // The outline is 2 pixels wide on the block's edge.
    const double left = b.left + 1, right = b.left + b.width - 1;
    out.push_back({b.title, b.title_x, Y + 18, left, right, 14, true, alpha});
    std::string value;
    double value_x = b.value_x;
    switch (b.block) {
      case Block::delay:
        value = row.delay_text;
        break;
      case Block::level:
        level_alpha = alpha;
        if (muted) {
          value = "mute";
          value_x = 108.5;
        } else {
          value = row.level_text;
        }
        break;
      case Block::xo:
        value = row.lp_config == 0 ? "  HP  " : "HP/LP";
        break;
      case Block::eq:
        continue;
      case Block::dyn:
        value = row.dyn_text;
        break;
    }
    out.push_back({value, value_x, Y + 35, left, right, 9, true, alpha});
  }
  const char letter[2] = {static_cast<char>('A' + ch), '\0'};
  out.push_back({letter, 496.5, Y + 26, 481.5, 524.5, 16, true, level_alpha});
  out.push_back({row.name, 540.5, Y + 24, 540.5, CHANNEL_FLOW_WIDTH, 12, true, level_alpha});
}

void draw_flow_row(cairo_t* cr, const ChannelFlowView& v, int ch) {
  const double Y = 100.5 + 70 * ch;
  double eq_alpha = 1.0;
  double level_alpha = 1.0;
  for (const BlockLayout& b : kBlocks) {
    const double alpha = block_alpha(v, b, ch);
    if (b.block == Block::eq) eq_alpha = alpha;
    if (b.block == Block::level) level_alpha = alpha;
    draw_block(cr, b, Y, alpha, (v.lock & b.lock_bit) != 0);
  }

  // One dot per EQ band: green when the band is on.
  for (int i = 0; i < 6; ++i) {
    const double cx = 268.5 + 9 * i;
    cairo_new_path(cr);  // no line from the end of the last text to the dot
    cairo_arc(cr, cx, Y + 33, 3, 0, 2 * kPi);
    if (v.row[ch].eq_band_on[i])
      cairo_set_source_rgba(cr, 0, 1, 0, 1);
    else
      cairo_set_source_rgba(cr, 0.9, 0.9, 0.9, eq_alpha);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, eq_alpha);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2);
  }

  // Connectors between the blocks, the amplifier and the output box.
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  static const double kConnectors[6][2] = {{60.5, 90.5},   {150.5, 180.5}, {230.5, 260.5},
                                           {320.5, 350.5}, {400.5, 430.5}, {450.5, 480.5}};
  for (const auto& c : kConnectors) line(cr, c[0], Y + 20, c[1], Y + 20);
  cairo_stroke(cr);

  // Amplifier triangle, hard-edged.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_move_to(cr, 430.5, Y + 8);
  cairo_line_to(cr, 452.5, Y + 20.5);
  cairo_line_to(cr, 430.5, Y + 33);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);

  // Output box; faded with the LEVEL block.
  cairo_rectangle(cr, 480.5, Y + 8, 45, 25);
  fill_gradient(cr, 480.5, 138 + 70 * ch, 500, 158 + 70 * ch,
                {stop(0.1, kWhite, level_alpha), stop(0.5, kOutputBlue, level_alpha),
                 stop(0.9, kWhite, level_alpha)},
                false);
  cairo_set_source_rgba(cr, 0, 0, 0, level_alpha);
  cairo_rectangle(cr, 480.5, Y + 8, 45, 25);
  cairo_stroke(cr);

  std::vector<DiagramText> texts;
  flow_row_texts(v, ch, texts);
  for (const DiagramText& t : texts) draw_text(cr, t);
}

// A chain of two links, one above the other, between the output boxes of a
// linked pair (first row `first`): the links are 8 x 18 with round ends and
// hook into each other by 7 pixels.
void draw_link_chain(cairo_t* cr, int first) {
  const double cx = LINK_CHAIN_BOX[0] + 6.5;
  const double top = LINK_CHAIN_BOX[1] + 3 + 70 * first;
  cairo_set_source_rgba(cr, 0.1, 0.3, 0.7, 1);
  cairo_set_line_width(cr, 2);
  for (const double y : {top, top + 11}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, y + 4, 4, kPi, 2 * kPi);
    cairo_arc(cr, cx, y + 14, 4, 0, kPi);
    cairo_close_path(cr);
  }
  cairo_stroke(cr);
}

// ---- Input routing diagram -----------------------------------------------------

constexpr double kRowY[4] = {120.5, 190.5, 260.5, 330.5};

// Line from the input box to the router, closed by a small bracket at the
// router's edge.
void draw_input_connection(cairo_t* cr, double y) {
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  line(cr, 85.5, y, 155.5, y);
  line(cr, 155.5, y - 5, 155.5, y + 5);
  line(cr, 155.5, y - 5, 157.5, y - 5);
  line(cr, 155.5, y + 5, 157.5, y + 5);
  cairo_stroke(cr);
}

void outline_black(cairo_t* cr) {
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_stroke(cr);
}

void draw_badge(cairo_t* cr, double top, double gx0, double gy0, double gx1, double gy1, Rgb c) {
  cairo_rectangle(cr, 107.5, top, 25, 25);
  fill_gradient(cr, gx0, gy0, gx1, gy1, {stop(0.5, c, 0.7), stop(0.9, kWhite)}, true);
  outline_black(cr);
}

// A badge's text inside its 25-pixel box.
DiagramText badge_text(const char* text, double x, double y) {
  return {text, x, y, 108.5, 131.5, 10, false, 1};
}

// A text inside a 45-pixel input box (inner edges 41.5 and 84.5), kept three
// pixels clear of its border.
DiagramText input_text(std::string text, double x, double y) {
  return {std::move(text), x, y, 44.5, 81.5, 16, true, 1};
}

void draw_analog_input(cairo_t* cr, int row) {
  const double y = kRowY[row];
  cairo_rectangle(cr, 40.5, y - 12, 45, 25);
  fill_gradient(cr, 40, y + 17.5, 60, y + 37.5,
                {stop(0.1, kWhite), stop(0.5, kOrange), stop(0.9, kWhite)}, true);
  outline_black(cr);
  draw_badge(cr, y - 32, 106.5, y, 126.5, y - 10, kOrange);
  draw_input_connection(cr, y);
}

void analog_input_texts(int row, std::vector<DiagramText>& out) {
  const double y = kRowY[row];
  out.push_back(input_text(std::string(1, static_cast<char>('A' + row)), 56.5, y + 6));
  out.push_back(badge_text("Ana", 110.5, y - 16.5));
}

// Digital pair d1 (pair 1, in the place of row 0) or d2 (pair 2, row 1).
void draw_digital_pair(cairo_t* cr, int pair) {
  const double yc = kRowY[pair - 1];
  const double tops[2] = {yc - 27, yc + 3};
  for (int side = 0; side < 2; ++side) {
    const double top = tops[side];
    cairo_rectangle(cr, 40.5, top, 45, 25);
    fill_gradient(cr, 40, top + 24.5, 60, top + 44.5,
                  {stop(0.1, kWhite), stop(0.5, kDigitalBlue), stop(0.9, kWhite)}, true);
    outline_black(cr);
  }
  draw_input_connection(cr, yc - 15);
  draw_input_connection(cr, yc + 15);
  draw_badge(cr, yc - 47, 106.5, yc - 15, 126.5, yc - 25, kDigitalBlue);
}

void digital_pair_texts(int pair, std::vector<DiagramText>& out) {
  const double yc = kRowY[pair - 1];
  const double label_y[2] = {yc - 9, yc + 21};
  const char* labels[2][2] = {{"d1 L", "d1 R"}, {"d2 L", "d2 R"}};
  for (int side = 0; side < 2; ++side)
    out.push_back(input_text(labels[pair - 1][side], 44.5, label_y[side]));
  out.push_back(badge_text("Digi", 109.5, yc - 31.5));
}

// Which input rows the routing diagram shows: the MV961 has rows A and B,
// its digital modes all show pair d1.
struct InputRows {
  int rows;
  bool d1, d2;
};

InputRows input_rows(const RoutingView& v) {
  const bool mv961 = v.device == MV961;
  int mode = v.in_mode;
  if (mv961 && mode >= 1 && mode <= 3) mode = 1;
  return {mv961 ? 2 : 4, mode == 1 || mode == 3, !mv961 && (mode == 2 || mode == 3)};
}

void input_point(RoutingInput in, double& x, double& y) {
  static const double kY[8] = {120.5, 190.5, 260.5, 330.5, 105.5, 135.5, 175.5, 205.5};
  x = 155.5;
  y = kY[static_cast<int>(in)];
}

using In = RoutingInput;

// Targets of a routing code (outer index) in an input mode (inner index).
struct TargetList {
  int count;
  In in[4];
};

constexpr TargetList kMv517[11][4] = {
    /* 0 A/d1(L) */ {{1, {In::A}}, {1, {In::d1_left}}, {1, {In::A}}, {1, {In::d1_left}}},
    /* 1 B/d2(L) */ {{1, {In::B}}, {1, {In::B}}, {1, {In::d2_left}}, {1, {In::d2_left}}},
    /* 2 C/d1(R) */ {{1, {In::C}}, {1, {In::d1_right}}, {1, {In::C}}, {1, {In::d1_right}}},
    /* 3 D/d2(R) */ {{1, {In::D}}, {1, {In::D}}, {1, {In::d2_right}}, {1, {In::d2_right}}},
    /* 4 C always */ {{1, {In::C}}, {1, {In::C}}, {1, {In::C}}, {1, {In::C}}},
    /* 5 D always */ {{1, {In::D}}, {1, {In::D}}, {1, {In::D}}, {1, {In::D}}},
    /* 6 A+B/d1(L+R) */
    {{2, {In::A, In::B}},
     {2, {In::d1_left, In::d1_right}},
     {1, {In::A}},
     {2, {In::d1_left, In::d1_right}}},
    /* 7 C+D/d2(L+R) */
    {{2, {In::C, In::D}},
     {2, {In::C, In::D}},
     {2, {In::d2_left, In::d2_right}},
     {2, {In::d2_left, In::d2_right}}},
    /* 8 C+D always */
    {{2, {In::C, In::D}}, {2, {In::C, In::D}}, {2, {In::C, In::D}}, {2, {In::C, In::D}}},
    /* 9 B+C+D/d2L+C+D */
    {{3, {In::B, In::C, In::D}},
     {3, {In::B, In::C, In::D}},
     {3, {In::d2_left, In::C, In::D}},
     {3, {In::d2_left, In::C, In::D}}},
    /* 10 A+B+C+D/d1+d2 */
    {{4, {In::A, In::B, In::C, In::D}},
     {3, {In::B, In::C, In::D}},
     {3, {In::A, In::C, In::D}},
     {4, {In::d1_left, In::d1_right, In::d2_left, In::d2_right}}},
};

constexpr TargetList kMv961[4][2] = {
    /* 0 A/d1(L) */ {{1, {In::A}}, {1, {In::d1_left}}},
    /* 1 B/d1(R) */ {{1, {In::B}}, {1, {In::d1_right}}},
    /* 2 B always */ {{1, {In::B}}, {1, {In::B}}},
    /* 3 A+B/d1(L+R) */ {{2, {In::A, In::B}}, {2, {In::d1_left, In::d1_right}}},
};

bool is_mv961(int device) {
  return device == MV961;
}

DiagramText outputs_heading() {
  return {"Outputs", 480.5, 26.5, 480.5, CHANNEL_FLOW_WIDTH, 12, true, 1};
}

}  // namespace

// ---- Texts ----------------------------------------------------------------------

double fitted_size(cairo_t* cr, const DiagramText& t) {
  const double room = t.right - t.x;
  cairo_save(cr);
  const double reach = text_reach(cr, t, t.size);
  double size = t.size;
  if (reach > room && room > 0) {
    // Glyph metrics are hinted: start from the proportional size and go
    // down in quarter steps until the text fits.
    size = t.size * room / reach;
    while (size > 1 && text_reach(cr, t, size) > room) size -= 0.25;
  }
  cairo_restore(cr);
  return size;
}

std::vector<DiagramText> channel_flow_texts(const ChannelFlowView& v) {
  std::vector<DiagramText> out;
  for (int ch = 0; ch < std::clamp(v.channels, 0, 4); ++ch) flow_row_texts(v, ch, out);
  out.push_back(outputs_heading());
  return out;
}

std::vector<DiagramText> routing_texts(const RoutingView& v) {
  std::vector<DiagramText> out = {{"Router", 200.5, 21.5, 200.5, ROUTING_WIDTH, 12, true, 1},
                                  {"Inputs", 46.5, 21.5, 46.5, 150.5, 12, true, 1}};
  const InputRows in = input_rows(v);
  for (int row = 0; row < in.rows; ++row) {
    if (row == 0 && in.d1)
      digital_pair_texts(1, out);
    else if (row == 1 && in.d2)
      digital_pair_texts(2, out);
    else
      analog_input_texts(row, out);
  }
  return out;
}

// ---- Channel signal-flow diagram -----------------------------------------------

void draw_channel_flow(cairo_t* cr, const ChannelFlowView& v) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_line_width(cr, 2);

  const int n = std::clamp(v.channels, 0, 4);
  for (int ch = 0; ch < n; ++ch) draw_flow_row(cr, v, ch);
  for (int first = 0; first + 1 < n; first += 2)
    if (v.links & (1u << (first / 2))) draw_link_chain(cr, first);

  // Heading of the output column.
  draw_text(cr, outputs_heading());
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  line(cr, 480.5, 30.5, 525.5, 30.5);
  cairo_stroke(cr);
  cairo_restore(cr);
}

ChannelFlowHit channel_flow_hit(int channels, double x, double y) {
  struct Range {
    double lo, hi;
    editor_tab_t page;
    bool sub_page;
  };
  static const Range kRanges[5] = {
      {0, 61, TAB_DELAY, false},       {89, 151, TAB_CHANNEL_SETUP, false},
      {179, 231, TAB_CROSSOVER, true}, {259, 321, TAB_PARAMETRIC_EQ, true},
      {350, 401, TAB_LIMITER, false},
  };
  const int n = std::clamp(channels, 0, 4);
  for (int ch = 0; ch < n; ++ch) {
    if (!(99 + 70 * ch < y && y < 141 + 70 * ch)) continue;
    for (const Range& r : kRanges) {
      if (r.lo < x && x < r.hi) return {true, r.page, r.sub_page ? ch : -1};
    }
  }
  return {};
}

// ---- Input routing diagram -----------------------------------------------------

RoutingTargets routing_targets(int device, int in_mode, unsigned routing) {
  RoutingTargets t;
  const TargetList* list = nullptr;
  if (is_mv961(device)) {
    if (in_mode >= 0 && in_mode < 2 && routing < 4) list = &kMv961[routing][in_mode];
  } else {
    if (in_mode >= 0 && in_mode < 4 && routing < 11) list = &kMv517[routing][in_mode];
  }
  if (list) {
    t.count = list->count;
    std::copy(list->in, list->in + list->count, t.input);
  }
  return t;
}

void draw_routing(cairo_t* cr, const RoutingView& v) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 2);

  // Router box.
  cairo_rectangle(cr, 150.5, 50.5, 140, 340);
  cairo_pattern_t* fill = make_linear_pattern(router_gradient);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  if (v.lock & LOCK_ROUTING)
    cairo_set_source_rgba(cr, 1, 0, 0, 1);
  else
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_stroke(cr);

  // Title underlines.
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  line(cr, 200.5, 25.5, 237.5, 25.5);
  line(cr, 46.5, 25.5, 80.5, 25.5);
  cairo_stroke(cr);

  const InputRows in = input_rows(v);
  const int rows = in.rows;
  for (int row = 0; row < rows; ++row) {
    if (row == 0 && in.d1)
      draw_digital_pair(cr, 1);
    else if (row == 1 && in.d2)
      draw_digital_pair(cr, 2);
    else
      draw_analog_input(cr, row);
  }
  for (const DiagramText& t : routing_texts(v)) draw_text(cr, t);

  // Routing lines in their colours, each on a dark outline that sets it off
  // from the light part of the router.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  for (int k = 0; k < rows; ++k) {
    const RoutingTargets t = routing_targets(v.device, v.in_mode, v.routing[k]);
    for (int i = 0; i < t.count; ++i) {
      const Rgb c = is_digital(t.input[i]) ? kDigitalBlue : kOrange;
      double x, y;
      input_point(t.input[i], x, y);
      line(cr, 285.5, kRowY[k], x, y);
      cairo_set_source_rgba(cr, 0.2, 0.2, 0.2, 1);
      cairo_set_line_width(cr, 3);
      cairo_stroke_preserve(cr);
      cairo_set_source_rgba(cr, c.r, c.g, c.b, 1);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
  }

  // Output brackets and stubs.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 2);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  for (int k = 0; k < rows; ++k) {
    const double y = kRowY[k];
    cairo_move_to(cr, 283.5, y - 17);
    cairo_line_to(cr, 285.5, y - 17);
    cairo_line_to(cr, 285.5, y + 17);
    cairo_line_to(cr, 283.5, y + 17);
    line(cr, 285.5, y, 320.5, y);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

bool routing_hit(double x, double y) {
  return 39 < x && x < 291 && 50 < y && y < 391;
}

RoutingView routing_view_of(const preset_t& p, int device, int in_mode) {
  RoutingView v;
  v.device = device;
  v.in_mode = in_mode;
  for (int n = 0; n < 4; ++n) v.routing[n] = p.channel[n].routing;
  v.lock = p.lock;
  return v;
}

ChannelFlowView channel_flow_view_of(const preset_t& p, int device) {
  overview_values_t values{};
  compute_overview_values(p, static_cast<unsigned>(device), values);
  ChannelFlowView v;
  v.channels = device;
  for (int i = 0; i < 5; ++i) v.aktiv[i] = values.aktiv[i];
  v.lock = p.lock;
  for (int n = 0; n < device && n < 4; ++n) {
    const channel_t& c = p.channel[n];
    ChannelFlowRow& row = v.row[n];
    row.delay_text = values.delay_values[n];
    row.level_text = values.level_values[n];
    row.dyn_text = values.dyn_values[n];
    row.name = record_to_utf8(c.name, CHANNEL_NAME_MAX);
    row.lp_config = c.xo[1].config;
    for (int b = 0; b < 6; ++b) row.eq_band_on[b] = peq_active(c.peq[b]);
  }
  return v;
}
