// The Overview diagrams (channel signal flow, input routing) and the
// hit-testing of presses on them.
#include <gtest/gtest.h>

#include <array>
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
std::unique_ptr<Canvas> flow(const ChannelFlowView& v) {
  return render(draw_channel_flow, v, CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
}

constexpr int top(int ch) {  // pixel row of Y = 100.5 + 70 ch
  return 100 + 70 * ch;
}
// Left outline column and lock bit of DELAY, LEVEL, XO, EQ, DYN.
constexpr int kLeft[5] = {0, 90, 180, 260, 350};
constexpr uint8_t kLock[5] = {0x01, 0x20, 0x04, 0x02, 0x08};
const int kFaded = to255(0.2);

TEST(ChannelFlow, LockBitOutlinesItsBlockRedInEveryRow) {
  for (int b = 0; b < 5; ++b) {
    ChannelFlowView v = all_active();
    v.lock = kLock[b];
    const auto c = flow(v);
    ASSERT_EQ(c->status(), CAIRO_STATUS_SUCCESS);
    for (int ch = 0; ch < 4; ++ch)
      for (int other = 0; other < 5; ++other)
        EXPECT_TRUE(near(c->at(kLeft[other], top(ch) + 10), other == b ? 255 : 0, 0, 0))
            << "lock " << int(v.lock) << ", block " << other << ", row " << ch;
  }
}

TEST(ChannelFlow, InactiveBlocksMutedOutputsAndEqDots) {
  // Channel B: no delay, no EQ, no limiter, muted. XO never fades.
  ChannelFlowView v = all_active();
  for (int m : {0, 1, 3, 4}) v.aktiv[m] &= ~0x2;
  for (int b = 0; b < 6; ++b) v.row[0].eq_band_on[b] = b == 1;
  const auto c = flow(v);
  for (int b = 0; b < 5; ++b) {  // inside each fill, clear of the texts
    EXPECT_EQ(c->at(kLeft[b] + 4, top(0) + 3).a, 255) << b;
    EXPECT_NEAR(c->at(kLeft[b] + 4, top(1) + 3).a, b == 2 ? 255 : kFaded, 2) << b;
  }
  // Output box and channel name fade with the LEVEL block.
  EXPECT_EQ(c->at(483, top(0) + 11).a, 255);
  EXPECT_NEAR(c->at(483, top(1) + 11).a, kFaded, 2);
  int name_alpha[2] = {0, 0};
  for (int ch = 0; ch < 2; ++ch)
    for (int y = top(ch) + 12; y < top(ch) + 25; ++y)
      for (int x = 540; x < 600; ++x) name_alpha[ch] = std::max(name_alpha[ch], c->at(x, y).a);
  EXPECT_EQ(name_alpha[0], 255);
  EXPECT_TRUE(name_alpha[1] > 0 && name_alpha[1] <= kFaded + 1) << name_alpha[1];
  // EQ dots (centre 268.5 + 9 b, Y + 33): green for a band that is on.
  const int grey = to255(0.9);
  for (int b = 0; b < 6; ++b) {
    const Pixel a = c->at(268 + 9 * b, top(0) + 33);
    EXPECT_TRUE(b == 1 ? near(a, 0, 255, 0) : near(a, grey, grey, grey)) << b << " " << a;
  }
}

TEST(ChannelFlow, ConnectorsAmplifierAndRowCount) {
  ChannelFlowView v = all_active();
  v.aktiv[4] = 0;                 // muting does not fade the connectors or the amplifier
  v.row[0].name = "Bad\x80name";  // invalid UTF-8 does not stop the drawing
  const auto c = flow(v);
  EXPECT_EQ(c->status(), CAIRO_STATUS_SUCCESS);
  for (int x : {75, 165, 245, 335, 415, 465})
    EXPECT_TRUE(near(c->at(x, top(3) + 20), 0, 0, 0)) << x;
  // The amplifier is filled without antialiasing: untouched or opaque black.
  int black = 0;
  for (int y = top(3) + 8; y <= top(3) + 33; ++y)
    for (int x = 431; x < 450; ++x) {
      const Pixel p = c->at(x, y);
      ASSERT_TRUE(p.a == 0 || near(p, 0, 0, 0, 255, 0)) << x << ", " << y << " " << p;
      black += p.a != 0;
    }
  EXPECT_TRUE(black > 0 && black < 19 * 26);
  const auto two = flow(all_active(2));
  EXPECT_EQ(two->at(4, top(1) + 3).a, 255);
  for (int x : {4, 94, 184, 264, 354, 483}) EXPECT_EQ(two->at(x, top(2) + 11).a, 0) << x;
}

TEST(ChannelFlowHit, BlocksOpenTheirPagesInsideOpenIntervals) {
  const struct {
    double x, y;
    bool hit;
    editor_tab_t page;
    int sub;
  } cases[] = {
      {30, 120, true, TAB_DELAY, -1},      {60.9, 99.1, true, TAB_DELAY, -1},
      {0, 120, false, TAB_OVERVIEW, -1},  // the edges open nothing
      {61, 120, false, TAB_OVERVIEW, -1},  {30, 99, false, TAB_OVERVIEW, -1},
      {30, 141, false, TAB_OVERVIEW, -1},  {120, 190, true, TAB_CHANNEL_SETUP, -1},
      {200, 260, true, TAB_CROSSOVER, 2},  {300, 330, true, TAB_PARAMETRIC_EQ, 3},
      {375, 120, true, TAB_LIMITER, -1},   {401, 120, false, TAB_OVERVIEW, -1},
      {440, 120, false, TAB_OVERVIEW, -1},  // amplifier
      {30, 155, false, TAB_OVERVIEW, -1},   // between rows
  };
  for (const auto& k : cases) {
    const ChannelFlowHit h = channel_flow_hit(4, k.x, k.y);
    EXPECT_EQ(h.hit, k.hit) << k.x << ", " << k.y;
    EXPECT_TRUE(!k.hit || (h.page == k.page && h.channel_page == k.sub)) << k.x << ", " << k.y;
  }
  EXPECT_TRUE(channel_flow_hit(2, 200, 190).hit);  // MV961: rows C and D do not exist
  EXPECT_FALSE(channel_flow_hit(2, 200, 260).hit);
}

TEST(RoutingHit, StrictlyInsideInputsAndRouter) {
  EXPECT_TRUE(routing_hit(40, 51));
  EXPECT_TRUE(routing_hit(290.9, 390.9));
  EXPECT_FALSE(routing_hit(39, 100));
  EXPECT_FALSE(routing_hit(200, 391));
  EXPECT_FALSE(routing_hit(291, 200));
}

// ---- Input routing ----------------------------------------------------------

constexpr double kOut[4] = {120.5, 190.5, 260.5, 330.5};
constexpr double kA = 120.5, kB = 190.5, kC = 260.5, kD = 330.5;
constexpr double kD1L = 105.5, kD1R = 135.5, kD2L = 175.5, kD2R = 205.5;

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

// The routing diagram with the given codes (255: no lines).
std::unique_ptr<Canvas> routing(int device, int mode,
                                std::array<uint8_t, 4> codes = {255, 255, 255, 255},
                                uint8_t lock = 0) {
  RoutingView v;
  v.device = device;
  v.in_mode = mode;
  v.lock = lock;
  std::copy(codes.begin(), codes.end(), v.routing);
  return render(draw_routing, v, ROUTING_WIDTH, ROUTING_HEIGHT);
}

TEST(Routing, RouterFillAndLockOutline) {
  for (uint8_t lock : {0x00, 0x10, 0xEF}) {
    const auto c = routing(4, 0, {255, 255, 255, 255}, lock);
    ASSERT_EQ(c->status(), CAIRO_STATUS_SUCCESS);
    const int red = lock & 0x10 ? 255 : 0;
    EXPECT_TRUE(near(c->at(150, 300), red, 0, 0) && near(c->at(200, 390), red, 0, 0)) << int(lock);
    const double t = (200.5 - 50.5) / 340.0;  // grey 0.8 at 0.2, 0.3 at 0.8
    const int grey = to255(0.8 - (t - 0.2) / 0.6 * 0.5);
    EXPECT_TRUE(near(c->at(200, 60), grey, grey, grey)) << c->at(200, 60);
  }
}

TEST(Routing, LinesByDeviceModeAndCode) {
  const auto all = routing(4, 0, {10, 10, 10, 10});  // every output from A, B, C and D
  for (double out : kOut)
    for (double in : {kA, kB, kC, kD}) EXPECT_EQ(line_at_middle(*all, out, in), Line::orange);
  EXPECT_TRUE(near(all->at(220, 120), 255, 204, 153)) << all->at(220, 120);

  const auto digital = routing(4, 3, {255, 9, 255, 255});  // "B+C+D/d2L+C+D"
  EXPECT_EQ(line_at_middle(*digital, kOut[1], kD2L), Line::blue);
  EXPECT_EQ(line_at_middle(*digital, kOut[1], kC), Line::orange);
  for (double in : {kD1L, kD2R}) EXPECT_EQ(line_at_middle(*digital, kOut[1], in), Line::none);

  const auto mode2 = routing(4, 2, {6, 255, 255, 255});  // d2 replaces B: "A+B" reaches A only
  EXPECT_TRUE(near(mode2->at(220, 120), 255, 204, 153));
  for (double in : {kD2L, kD2R, kB}) EXPECT_EQ(line_at_middle(*mode2, kOut[0], in), Line::none);

  for (int mode : {0, 1}) {  // MV961: "B always", "A+B/d1(L+R)"
    const auto c = routing(2, mode, {2, 3, 255, 255});
    EXPECT_EQ(line_at_middle(*c, kOut[0], kB), Line::orange) << mode;
    EXPECT_EQ(line_at_middle(*c, kOut[1], mode ? kD1R : kB), mode ? Line::blue : Line::orange);
  }
  // No lines: MV961 modes 2 and 3, and codes outside the device's list
  // (only the bracket and the stub are drawn).
  const auto none961 = routing(2, 3, {0, 3, 255, 255});
  for (double in : {kD1L, kD1R, kA, kB})
    EXPECT_TRUE(line_at_middle(*none961, kOut[0], in) == Line::none &&
                line_at_middle(*none961, kOut[1], in) == Line::none)
        << in;
  for (auto [device, code] : {std::pair{4, 11}, {2, 4}}) {
    const auto c = routing(device, 0, {uint8_t(code), 255, 255, 255});
    for (double in : {kA, kB, kC, kD}) EXPECT_EQ(line_at_middle(*c, kOut[0], in), Line::none);
    EXPECT_TRUE(near(c->at(285, 110), 0, 0, 0) && near(c->at(310, 120), 0, 0, 0));
  }
}

// The "Digi" badge of a pair, read in its blue part, or the "Ana" badge of
// a row, read in its orange part; the output stubs of the rows that exist.
TEST(Routing, InputsFollowDeviceAndMode) {
  const struct {
    int device, mode;
    bool d1, d2;
    int rows;
  } cases[] = {{4, 0, false, false, 4},
               {4, 2, false, true, 4},
               {4, 3, true, true, 4},
               {2, 2, true, false, 2}};
  for (const auto& k : cases) {
    SCOPED_TRACE(::testing::Message() << k.device << "/" << k.mode);
    const auto c = routing(k.device, k.mode);
    const auto digi = [&](double y) {
      const Pixel p = c->at(110, int(y - 28));
      return p.b - p.r > 40;
    };
    const auto ana = [&](double y) {
      const Pixel p = c->at(110, int(y - 10));
      return p.r - p.b > 40;
    };
    EXPECT_TRUE(digi(kA) == k.d1 && ana(kA) == !k.d1);
    EXPECT_TRUE(digi(kB) == k.d2 && ana(kB) == !k.d2);
    for (int row = 2; row < 4; ++row) {
      EXPECT_EQ(ana(kOut[row]), row < k.rows) << "row " << row;
      EXPECT_EQ(c->at(310, int(kOut[row])).a, row < k.rows ? 255 : 0) << "stub " << row;
    }
  }
}

}  // namespace
