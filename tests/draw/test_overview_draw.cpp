// The Overview diagrams and their hit-testing (the router's lock outline and
// the MV961 rows are checked in the pictures of tests/cli/plot_overview.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "draw_test_util.h"
#include "editor/overview_draw.h"

namespace {

// Every function active, nothing locked, nothing muted.
ChannelFlowView all_active() {
  ChannelFlowView v;
  v.channels = 4;
  for (int& m : v.aktiv) m = 0xF;
  for (int ch = 0; ch < 4; ++ch) {
    v.row[ch] = {"  1.00 m", "  0.0 dB", "-12 dB", std::string("Out ") + char('A' + ch), 0, {}};
    for (bool& on : v.row[ch].eq_band_on) on = true;
  }
  return v;
}

constexpr int kTop[4] = {100, 170, 240, 310};  // pixel rows of Y = 100.5 + 70 ch
// Left outline column and lock bit of DELAY, LEVEL, XO, EQ, DYN.
constexpr int kLeft[5] = {0, 90, 180, 260, 350};
constexpr uint8_t kLock[5] = {0x01, 0x20, 0x04, 0x02, 0x08};
const int kFaded = to255(0.2);

TEST(ChannelFlow, LockBitOutlinesItsBlockRedInEveryRow) {
  for (int b = 0; b < 5; ++b) {
    ChannelFlowView v = all_active();
    v.lock = kLock[b];
    const auto c = render(draw_channel_flow, v, CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
    for (int ch = 0; ch < 4; ++ch)
      for (int other = 0; other < 5; ++other)
        EXPECT_TRUE(near(c->at(kLeft[other], kTop[ch] + 10), other == b ? 255 : 0, 0, 0))
            << "lock " << int(v.lock) << ", block " << other << ", row " << ch;
  }
}

// Channel B without delay, EQ and limiter, muted: its blocks fade, not the
// crossover, connectors and hard-edged amplifier; EQ dots for bands on.
TEST(ChannelFlow, InactiveBlocksMutedOutputsAndEqDots) {
  ChannelFlowView v = all_active();
  for (int m : {0, 1, 3, 4}) v.aktiv[m] &= ~0x2;
  for (int b = 0; b < 6; ++b) v.row[0].eq_band_on[b] = b == 1;
  v.row[1].name = "Bad\x80name";  // invalid UTF-8 does not stop the drawing
  const auto c = render(draw_channel_flow, v, CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
  EXPECT_EQ(c->status(), CAIRO_STATUS_SUCCESS);
  for (int b = 0; b < 5; ++b) {  // inside each fill, clear of the texts
    EXPECT_EQ(c->at(kLeft[b] + 4, kTop[0] + 3).a, 255) << b;
    EXPECT_NEAR(c->at(kLeft[b] + 4, kTop[1] + 3).a, b == 2 ? 255 : kFaded, 2) << b;
  }
  // The output box and the channel name fade with the LEVEL block.
  EXPECT_TRUE(c->at(483, kTop[0] + 11).a == 255 &&
              std::abs(c->at(483, kTop[1] + 11).a - kFaded) <= 2);
  int name_alpha[2] = {0, 0};  // the most opaque pixel of each name
  for (int y = 12; y < 25; ++y)
    for (int x = 540; x < 600; ++x)
      for (int ch : {0, 1}) name_alpha[ch] = std::max(name_alpha[ch], c->at(x, kTop[ch] + y).a);
  EXPECT_TRUE(name_alpha[0] == 255 && name_alpha[1] > 0 && name_alpha[1] <= kFaded + 1);
  for (int x : {75, 165, 245, 335, 415, 465})
    EXPECT_TRUE(near(c->at(x, kTop[1] + 20), 0, 0, 0)) << x;
  int black = 0;
  for (int y = kTop[1] + 8; y <= kTop[1] + 33; ++y)
    for (int x = 431; x < 450; ++x) {
      const Pixel p = c->at(x, y);
      ASSERT_TRUE(p.a == 0 || near(p, 0, 0, 0, 255, 0)) << x << ", " << y << " " << p;
      black += p.a != 0;
    }
  EXPECT_TRUE(black > 0 && black < 19 * 26 && c->at(448, kTop[1] + 20).a == 255);  // to 452.5
  const int grey = to255(0.9);  // EQ dots: centre 268.5 + 9 b, Y + 33
  for (int b = 0; b < 6; ++b) {
    const Pixel a = c->at(268 + 9 * b, kTop[0] + 33);
    EXPECT_TRUE(b == 1 ? near(a, 0, 255, 0) : near(a, grey, grey, grey)) << b << " " << a;
  }
}

// A linked pair's chain inside its box, every other pixel as unlinked; the
// MV961 has no C+D.
TEST(ChannelFlow, ChainBetweenTheOutputBoxesOfLinkedPairs) {
  for (const int channels : {4, 2}) {
    ChannelFlowView v = all_active();
    v.channels = channels;
    const auto plain = render(draw_channel_flow, v, CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
    v.links = 3;
    const auto c = render(draw_channel_flow, v, CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT);
    int changed[2] = {0, 0};
    for (int y = 0; y < CHANNEL_FLOW_HEIGHT; ++y)
      for (int x = 0; x < CHANNEL_FLOW_WIDTH; ++x) {
        const Pixel a = c->at(x, y), b = plain->at(x, y);
        if (near(a, b.r, b.g, b.b, b.a, 0)) continue;
        const int pair = y < LINK_CHAIN_BOX[1] + 70 ? 0 : 1, top = LINK_CHAIN_BOX[1] + 140 * pair;
        ASSERT_TRUE(x >= LINK_CHAIN_BOX[0] && x < LINK_CHAIN_BOX[0] + LINK_CHAIN_BOX[2] &&
                    y >= top && y < top + LINK_CHAIN_BOX[3])
            << x << ", " << y;
        changed[pair]++;
      }
    EXPECT_TRUE(changed[0] > 40 && (channels == 4 ? changed[1] > 40 : changed[1] == 0));
    EXPECT_TRUE(near(c->at(499, 150), 26, 77, 179, 255, 40)) << c->at(499, 150);
  }
}

// A block opens its page (on the row's channel); the amplifier and rows an
// MV961 lacks open nothing.
TEST(ChannelFlowHit, BlocksOpenTheirPagesOnTheirChannel) {
  // clang-format off
  const struct { int channels; double x, y; editor_tab_t page; int sub; } cases[] = {
      {4, 200, 260, TAB_CROSSOVER, 2}, {4, 300, 330, TAB_PARAMETRIC_EQ, 3},
      {2, 200, 190, TAB_CROSSOVER, 1}, {4, 60.9, 99.1, TAB_DELAY, -1}};
  // clang-format on
  for (const auto& k : cases) {
    const ChannelFlowHit h = channel_flow_hit(k.channels, k.x, k.y);
    EXPECT_TRUE(h.hit && h.page == k.page && h.channel_page == k.sub) << k.x << ", " << k.y;
  }
  EXPECT_FALSE(channel_flow_hit(4, 440, 120).hit || channel_flow_hit(4, 30, 155).hit ||
               channel_flow_hit(2, 200, 260).hit);
}

constexpr double kOut[4] = {120.5, 190.5, 260.5, 330.5};
constexpr double kA = 120.5, kB = 190.5, kC = 260.5, kD = 330.5;
constexpr double kD1L = 105.5, kD1R = 135.5, kD2L = 175.5, kD2R = 205.5;

enum class Line { none, orange, blue };

// The line from an output row to an input where it crosses x = 220.5: the
// strongest hue of three pixels.
Line line_at_middle(const Canvas& c, double out_y, double in_y) {
  int hue = 0;  // blue minus red
  for (int dy = -1; dy <= 1; ++dy) {
    const Pixel p = c.at(220, static_cast<int>((out_y + in_y) / 2) + dy);
    if (std::abs(p.b - p.r) > std::abs(hue)) hue = p.b - p.r;
  }
  return hue > 25 ? Line::blue : hue < -25 ? Line::orange : Line::none;
}

// The routing diagram with the given codes (255: no lines).
std::unique_ptr<Canvas> routing(int device, int mode,
                                std::array<uint8_t, 4> codes = {255, 255, 255, 255}) {
  const RoutingView v{device, mode, {codes[0], codes[1], codes[2], codes[3]}};
  return render(draw_routing, v, ROUTING_WIDTH, ROUTING_HEIGHT);
}

// Orange lines from analogue inputs, blue from digital ones; none for inputs
// the mode replaces or codes the device lacks; inputs and rows by device and mode.
TEST(Routing, LinesAndInputsByDeviceModeAndCode) {
  const auto all = routing(4, 0, {10, 10, 10, 10});  // every output from A, B, C and D
  for (double out : kOut)
    for (double in : {kA, kB, kC, kD}) EXPECT_EQ(line_at_middle(*all, out, in), Line::orange);
  const Line O = Line::orange, B = Line::blue, N = Line::none;
  // clang-format off
  const struct { int device, mode, out; uint8_t code; double in; Line line; } cases[] = {
      {4, 3, 1, 9, kD2L, B}, {4, 3, 1, 9, kC, O}, {4, 3, 1, 9, kD1L, N}, {4, 3, 1, 9, kD2R, N},
      {4, 2, 0, 6, kA, O}, {4, 2, 0, 6, kB, N}, {4, 2, 0, 6, kD2L, N}, {4, 2, 0, 6, kD2R, N},
      {2, 0, 0, 2, kB, O}, {2, 0, 1, 3, kB, O}, {2, 1, 1, 3, kD1R, B}, {2, 1, 0, 2, kB, O},
      {2, 3, 0, 0, kA, N}, {2, 3, 0, 0, kD1L, N}, {2, 3, 1, 3, kB, N}, {2, 3, 1, 3, kD1R, N},
      {2, 0, 1, 1, kB, O}, {2, 0, 1, 1, kA, N}, {2, 1, 1, 1, kD1R, B}, {2, 1, 1, 1, kB, N},
      {4, 0, 0, 11, kA, N}, {4, 0, 0, 11, kD, N}, {2, 0, 0, 4, kA, N}, {2, 0, 0, 4, kB, N}};
  // clang-format on
  for (const auto& k : cases) {
    std::array<uint8_t, 4> codes = {255, 255, 255, 255};
    codes[k.out] = k.code;
    const auto c = routing(k.device, k.mode, codes);
    EXPECT_EQ(line_at_middle(*c, kOut[k.out], k.in), k.line) << &k - cases;
    EXPECT_TRUE(k.code != 11 || (near(c->at(285, 110), 0, 0, 0) && near(c->at(310, 120), 0, 0, 0)));
  }
  // The "Digi" or "Ana" badges (blue, orange) and the output stubs of the rows.
  // clang-format off
  const struct { int device, mode; bool d1, d2; int rows; } inputs[] = {
      {4, 0, false, false, 4}, {4, 2, false, true, 4}, {4, 3, true, true, 4},
      {2, 2, true, false, 2}};
  // clang-format on
  for (const auto& k : inputs) {
    const auto c = routing(k.device, k.mode);
    const auto hue = [&](double y) { return c->at(110, int(y)).b - c->at(110, int(y)).r; };
    const auto digi = [&](double y) { return hue(y - 28) > 40; };
    const auto ana = [&](double y) { return hue(y - 10) < -40; };
    EXPECT_TRUE(digi(kA) == k.d1 && ana(kA) == !k.d1 && digi(kB) == k.d2 && ana(kB) == !k.d2)
        << k.device << "/" << k.mode;
    for (int row = 2; row < 4; ++row)  // the "Ana" badge and the output stub
      EXPECT_TRUE(ana(kOut[row]) == (row < k.rows) &&
                  (c->at(310, int(kOut[row])).a == 255) == (row < k.rows))
          << k.device << "/" << k.mode << " row " << row;
    // Digital labels keep clear of their box's right border (x 85.5).
    for (int pair = 0; pair < 2; ++pair) {
      if (!(pair == 0 ? k.d1 : k.d2)) continue;
      const int yc = pair == 0 ? 120 : 190;
      for (int y : {yc - 22, yc - 14, yc + 8, yc + 16})
        for (int x = 81; x <= 83; ++x) {
          const auto p = c->at(x, y);
          EXPECT_GT(p.r + p.g + p.b, 3 * 128)
              << k.device << "/" << k.mode << " at " << x << "," << y;
        }
    }
  }
}

}  // namespace
