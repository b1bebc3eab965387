// The Overview diagrams (channel signal flow, input routing) and the
// hit-testing of presses on them.
#include <gtest/gtest.h>

#include <string>

#include "draw_test_util.h"
#include "editor/overview_draw.h"

namespace {

// Every function active, nothing locked, nothing muted.
ChannelFlowView all_active(int channels = 4) {
  ChannelFlowView v;
  v.channels = channels;
  for (int& m : v.aktiv) m = 0xF;
  for (int ch = 0; ch < 4; ++ch) {
    v.row[ch] = {"  1.00 m", "  0.0 dB", "-12 dB", std::string("Out ") + char('A' + ch), 0, {}};
    for (bool& on : v.row[ch].eq_band_on) on = true;
  }
  return v;
}

constexpr int top(int ch) {
  return 100 + 70 * ch;
}  // pixel row of Y = 100.5 + 70 ch
// Left outline column and lock bit of DELAY, LEVEL, XO, EQ, DYN.
constexpr int kLeft[5] = {0, 90, 180, 260, 350};
constexpr uint8_t kLock[5] = {0x01, 0x20, 0x04, 0x02, 0x08};
const int kFaded = to255(0.2);

TEST(ChannelFlow, LockBitOutlinesItsBlockRedInEveryRow) {
  for (int b = 0; b < 5; ++b) {
    ChannelFlowView v = all_active();
    v.lock = kLock[b];
    Canvas c(CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
    draw_channel_flow(c.cr(), v);
    ASSERT_EQ(c.status(), CAIRO_STATUS_SUCCESS);
    for (int ch = 0; ch < 4; ++ch)
      for (int other = 0; other < 5; ++other)
        EXPECT_TRUE(near(c.at(kLeft[other], top(ch) + 10), other == b ? 255 : 0, 0, 0))
            << "lock " << int(v.lock) << ", block " << other << ", row " << ch;
  }
}

TEST(ChannelFlow, InactiveBlocksAndMutedOutputsAreFaded) {
  // Channel B: no delay, no EQ, no limiter, muted. XO never fades.
  ChannelFlowView v = all_active();
  for (int m : {0, 1, 3, 4}) v.aktiv[m] &= ~0x2;
  Canvas c(CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
  draw_channel_flow(c.cr(), v);
  for (int b = 0; b < 5; ++b) {  // inside each fill, clear of the texts
    EXPECT_EQ(c.at(kLeft[b] + 4, top(0) + 3).a, 255) << b;
    EXPECT_NEAR(c.at(kLeft[b] + 4, top(1) + 3).a, b == 2 ? 255 : kFaded, 2) << b;
  }
  // Output box and channel name fade with the LEVEL block.
  EXPECT_EQ(c.at(483, top(0) + 11).a, 255);
  EXPECT_NEAR(c.at(483, top(1) + 11).a, kFaded, 2);
  int name_alpha[2] = {0, 0};
  for (int ch = 0; ch < 2; ++ch)
    for (int y = top(ch) + 12; y < top(ch) + 25; ++y)
      for (int x = 540; x < 600; ++x) name_alpha[ch] = std::max(name_alpha[ch], c.at(x, y).a);
  EXPECT_EQ(name_alpha[0], 255);
  EXPECT_TRUE(name_alpha[1] > 0 && name_alpha[1] <= kFaded + 1) << name_alpha[1];
}

TEST(ChannelFlow, EqDotsShowTheBandsThatAreOn) {
  ChannelFlowView v = all_active();
  for (int b = 0; b < 6; ++b) v.row[0].eq_band_on[b] = b == 1;
  for (bool& on : v.row[1].eq_band_on) on = false;
  v.aktiv[1] = 0x1;  // channel B has no band on
  Canvas c(CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
  draw_channel_flow(c.cr(), v);
  const int grey = to255(0.9);
  for (int b = 0; b < 6; ++b) {
    const Pixel a = c.at(268 + 9 * b, top(0) + 33);  // dot centre (268.5 + 9 b, Y + 33)
    EXPECT_TRUE(b == 1 ? near(a, 0, 255, 0) : near(a, grey, grey, grey)) << b << " " << a;
    EXPECT_LT(c.at(268 + 9 * b, top(1) + 33).a, 128) << b;  // faded grey over faded fill
  }
}

TEST(ChannelFlow, ConnectorsAmplifierHeadingAndRowCount) {
  ChannelFlowView v = all_active();
  v.aktiv[4] = 0;  // muting does not fade the connectors or the amplifier
  Canvas c(CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
  draw_channel_flow(c.cr(), v);
  for (int ch = 0; ch < 4; ++ch) {
    for (int x : {75, 165, 245, 335, 415, 465})
      EXPECT_TRUE(near(c.at(x, top(ch) + 20), 0, 0, 0)) << x;
    // The amplifier is filled without antialiasing: untouched or opaque black.
    int black = 0, clear = 0;
    for (int y = top(ch) + 8; y <= top(ch) + 33; ++y)
      for (int x = 431; x < 450; ++x) {
        const Pixel p = c.at(x, y);
        ASSERT_TRUE(p.a == 0 || near(p, 0, 0, 0, 255, 0)) << x << ", " << y << " " << p;
        (p.a ? black : clear)++;
      }
    EXPECT_TRUE(black && clear);
  }
  EXPECT_TRUE(near(c.at(500, 30), 0, 0, 0));  // "Outputs" underline

  Canvas two(CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
  draw_channel_flow(two.cr(), all_active(2));
  EXPECT_EQ(two.at(4, top(1) + 3).a, 255);
  for (int x : {4, 94, 184, 264, 354, 483}) EXPECT_EQ(two.at(x, top(2) + 11).a, 0) << x;
}

TEST(ChannelFlow, InvalidUtf8InANameDoesNotStopTheDrawing) {
  ChannelFlowView v = all_active();
  v.row[0].name = "Bad\x80name";
  Canvas c(CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
  draw_channel_flow(c.cr(), v);
  EXPECT_EQ(c.status(), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(c.at(4, top(3) + 3).a, 255);
}

TEST(ChannelFlowHit, BlocksOpenTheirPagesInsideOpenIntervals) {
  using P = EditorPage;
  struct Case {
    double x, y;
    bool hit;
    EditorPage page;
    int sub;
  };
  const Case cases[] = {
      {30, 120, true, P::delay, -1},
      {60.9, 99.1, true, P::delay, -1},
      {0, 120, false, {}, -1},
      {61, 120, false, {}, -1},
      {30, 99, false, {}, -1},
      {30, 141, false, {}, -1},
      {120, 190, true, P::channel_setup, -1},
      {89, 190, false, {}, -1},
      {200, 260, true, P::crossover, 2},
      {231, 260, false, {}, -1},
      {300, 330, true, P::parametric_eq, 3},
      {259, 330, false, {}, -1},
      {375, 120, true, P::limiter, -1},
      {401, 120, false, {}, -1},
      {70, 120, false, {}, -1},
      {440, 120, false, {}, -1},
      {500, 120, false, {}, -1},
      {30, 155, false, {}, -1},
  };
  for (const Case& k : cases) {
    const ChannelFlowHit h = channel_flow_hit(4, k.x, k.y);
    EXPECT_EQ(h.hit, k.hit) << k.x << ", " << k.y;
    if (h.hit && k.hit) {
      EXPECT_TRUE(h.page == k.page && h.channel_page == k.sub) << k.x << ", " << k.y;
    }
  }
  EXPECT_TRUE(channel_flow_hit(2, 200, 190).hit);  // MV961: rows C and D do not exist
  EXPECT_FALSE(channel_flow_hit(2, 200, 260).hit);
  EXPECT_FALSE(channel_flow_hit(2, 200, 330).hit);
}

// ---- Input routing ----------------------------------------------------------

constexpr double kOut[4] = {120.5, 190.5, 260.5, 330.5};
constexpr double kA = 120.5, kB = 190.5, kC = 260.5, kD = 330.5;
constexpr double kD1L = 105.5, kD1R = 135.5, kD2L = 175.5, kD2R = 205.5;
constexpr Pixel kOrange = {255, 204, 153, 255};

enum class Line { none, orange, blue };

// Colour of the line from an output row to an input point where it crosses
// x = 220.5, half way, against the grey router.
Line line_at_middle(const Canvas& c, double out_y, double in_y) {
  const int y = static_cast<int>((out_y + in_y) / 2);
  int best = 25;
  Line kind = Line::none;
  for (int py = y - 1; py <= y + 1; ++py) {
    const Pixel p = c.at(220, py);
    if (p.r - p.b > best) best = p.r - p.b, kind = Line::orange;
    if (p.b - p.r > best) best = p.b - p.r, kind = Line::blue;
  }
  return kind;
}

RoutingView routing_view(int device, int mode) {
  RoutingView v;
  v.device = device;
  v.in_mode = mode;
  for (uint8_t& r : v.routing) r = 255;  // no lines
  return v;
}

TEST(Routing, RouterFillAndLockOutline) {
  for (uint8_t lock : {0x00, 0x10, 0xEF}) {
    RoutingView v = routing_view(4, 0);
    v.lock = lock;
    Canvas c(ROUTING_WIDTH, ROUTING_HEIGHT);
    draw_routing(c.cr(), v);
    ASSERT_EQ(c.status(), CAIRO_STATUS_SUCCESS);
    const int red = lock & 0x10 ? 255 : 0;
    EXPECT_TRUE(near(c.at(150, 300), red, 0, 0) && near(c.at(200, 390), red, 0, 0)) << int(lock);
    const double t = (200.5 - 50.5) / 340.0;  // grey 0.8 at 0.2, 0.3 at 0.8
    const int grey = to255(0.8 - (t - 0.2) / 0.6 * 0.5);
    EXPECT_TRUE(near(c.at(200, 60), grey, grey, grey)) << c.at(200, 60);
  }
}

TEST(Routing, Mv517Lines) {
  RoutingView all = routing_view(4, 0);
  for (uint8_t& r : all.routing) r = 10;  // every output from A, B, C and D
  Canvas c(ROUTING_WIDTH, ROUTING_HEIGHT);
  draw_routing(c.cr(), all);
  for (double out : kOut)
    for (double in : {kA, kB, kC, kD}) EXPECT_EQ(line_at_middle(c, out, in), Line::orange);
  EXPECT_TRUE(near(c.at(220, 120), kOrange.r, kOrange.g, kOrange.b)) << c.at(220, 120);

  RoutingView digital = routing_view(4, 3);
  digital.routing[1] = 9;  // "B+C+D/d2L+C+D"
  Canvas d(ROUTING_WIDTH, ROUTING_HEIGHT);
  draw_routing(d.cr(), digital);
  EXPECT_EQ(line_at_middle(d, kOut[1], kD2L), Line::blue);
  EXPECT_EQ(line_at_middle(d, kOut[1], kC), Line::orange);
  EXPECT_EQ(line_at_middle(d, kOut[1], kD), Line::orange);
  for (double in : {kD1L, kD2R}) EXPECT_EQ(line_at_middle(d, kOut[1], in), Line::none);
  EXPECT_EQ(line_at_middle(d, kOut[0], kA), Line::none);

  RoutingView mode2 = routing_view(4, 2);  // d2 replaces B: "A+B" reaches A only
  mode2.routing[0] = 6;
  Canvas m(ROUTING_WIDTH, ROUTING_HEIGHT);
  draw_routing(m.cr(), mode2);
  EXPECT_TRUE(near(m.at(220, 120), kOrange.r, kOrange.g, kOrange.b));
  for (double in : {kD2L, kD2R, kB}) EXPECT_EQ(line_at_middle(m, kOut[0], in), Line::none);
}

TEST(Routing, Mv961Lines) {
  for (int mode : {0, 1}) {
    RoutingView v = routing_view(2, mode);
    v.routing[0] = 2;  // "B always"
    v.routing[1] = 3;  // "A+B/d1(L+R)"
    Canvas c(ROUTING_WIDTH, ROUTING_HEIGHT);
    draw_routing(c.cr(), v);
    EXPECT_EQ(line_at_middle(c, kOut[0], kB), Line::orange) << mode;
    EXPECT_EQ(line_at_middle(c, kOut[1], mode ? kD1L : kA), mode ? Line::blue : Line::orange);
    EXPECT_EQ(line_at_middle(c, kOut[1], mode ? kD1R : kB), mode ? Line::blue : Line::orange);
  }
  RoutingView v = routing_view(2, 3);  // modes 2 and 3: no lines
  v.routing[0] = 0;
  v.routing[1] = 3;
  Canvas c(ROUTING_WIDTH, ROUTING_HEIGHT);
  draw_routing(c.cr(), v);
  for (double in : {kD1L, kD1R, kA, kB})
    EXPECT_TRUE(line_at_middle(c, kOut[0], in) == Line::none &&
                line_at_middle(c, kOut[1], in) == Line::none)
        << in;
}

TEST(Routing, InputsFollowDeviceAndMode) {
  struct Case {
    int device, mode;
    bool d1, d2;
    int rows;
  };
  // The "Digi" badge of a pair, read in its blue part; the "Ana" badge of
  // a row, read in its orange part.
  const auto digi = [](const Canvas& c, double yc) {
    const Pixel p = c.at(110, int(yc - 28));
    return p.b - p.r > 40;
  };
  const auto ana = [](const Canvas& c, double y) {
    const Pixel p = c.at(110, int(y - 10));
    return p.r - p.b > 40;
  };
  for (const Case& k :
       {Case{4, 0, false, false, 4}, Case{4, 1, true, false, 4}, Case{4, 2, false, true, 4},
        Case{4, 3, true, true, 4}, Case{2, 0, false, false, 2}, Case{2, 2, true, false, 2}}) {
    Canvas c(ROUTING_WIDTH, ROUTING_HEIGHT);
    draw_routing(c.cr(), routing_view(k.device, k.mode));
    const std::string where = std::to_string(k.device) + "/" + std::to_string(k.mode);
    EXPECT_TRUE(digi(c, kA) == k.d1 && ana(c, kA) == !k.d1) << where;
    EXPECT_TRUE(digi(c, kB) == k.d2 && ana(c, kB) == !k.d2) << where;
    for (int row = 2; row < 4; ++row) {
      EXPECT_EQ(ana(c, kOut[row]), row < k.rows) << where << " row " << row;
      EXPECT_EQ(c.at(310, int(kOut[row])).a, row < k.rows ? 255 : 0) << where;  // output stub
    }
  }
}

TEST(Routing, CodeOutsideTheListDrawsOnlyBracketAndStub) {
  for (int device : {4, 2}) {
    RoutingView v = routing_view(device, 0);
    v.routing[0] = device == 4 ? 11 : 4;
    Canvas c(ROUTING_WIDTH, ROUTING_HEIGHT);
    draw_routing(c.cr(), v);
    for (double in : {kA, kB, kC, kD}) EXPECT_EQ(line_at_middle(c, kOut[0], in), Line::none);
    EXPECT_TRUE(near(c.at(285, 110), 0, 0, 0) && near(c.at(310, 120), 0, 0, 0));
  }
}

TEST(RoutingHit, StrictlyInsideInputsAndRouter) {
  EXPECT_TRUE(routing_hit(40, 51));
  EXPECT_TRUE(routing_hit(290.9, 390.9));
  EXPECT_FALSE(routing_hit(39, 100));
  EXPECT_FALSE(routing_hit(200, 391));
  EXPECT_FALSE(routing_hit(291, 200));
  EXPECT_FALSE(routing_hit(100, 50));
}

}  // namespace
