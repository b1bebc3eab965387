// The preset sheet on paper: pages per device and paper, every text inside
// the text area and clear of the others (also overlong), head and foot; an
// extra curve over its plot with its legend.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "draw_test_util.h"
#include "files/preset_file.h"
#include "response/plot_draw.h"
#include "sheet/sheet_draw.h"

namespace {

constexpr sheet_paper_t A4_LANDSCAPE{SHEET_A4.height, SHEET_A4.width};
constexpr sheet_paper_t A5{419.5276, 595.2756};

sheet_input_t live_input(int device) {
  sheet_input_t in;
  in.preset = read_preset_file(std::string(QBN_TEST_DATA) + "/live_mv517.qpx").preset;
  in.device = device;
  in.file_name = "live_mv517.qpx";
  in.date = "2025-03-01";
  return in;
}

// Overlong texts, every lock flag, a routing the MV961 lacks, long legends.
sheet_input_t overlong_input(int device) {
  sheet_input_t in = live_input(device);
  in.file_name = std::string(300, 'x') + ".qpx";
  in.file_note = "reading stopped early (code 6: a character that does not belong there)";
  in.preset.lock = 0xFF;
  in.preset.channel[1].routing = 9;
  const std::string legend(200, 'L');
  for (auto& c : in.curves) {
    c.xo = {{legend, {0.0}, 0xFF0000, false}, {legend, {1.0}, 0x00FF00, true}};
    c.eq = c.xo;
  }
  return in;
}

std::vector<sheet_box_t> page_boxes(const sheet_t& sheet, int page, const sheet_paper_t& paper) {
  Canvas canvas(static_cast<int>(paper.width) + 1, static_cast<int>(paper.height) + 1);
  std::vector<sheet_box_t> boxes;
  draw_sheet_page(canvas.cr(), sheet, page, paper, &boxes);
  EXPECT_EQ(canvas.status(), CAIRO_STATUS_SUCCESS);
  return boxes;
}

bool overlap(const sheet_box_t& a, const sheet_box_t& b) {
  constexpr double e = 0.01;
  return a.x + a.width > b.x + e && b.x + b.width > a.x + e && a.y + a.height > b.y + e &&
         b.y + b.height > a.y + e;
}

TEST(SheetDraw, EveryTextFitsClearOfTheOthersOnEveryPaper) {
  const struct {
    int device;
    sheet_paper_t paper;
    int pages;
  } cases[] = {{MV517, SHEET_A4, 5},     {MV517, SHEET_LETTER, 5}, {MV961, SHEET_A4, 3},
               {MV961, SHEET_LETTER, 3}, {MV517, A4_LANDSCAPE, 6}, {MV517, A5, 5}};
  for (const auto& c : cases) {
    for (const bool overlong : {false, true}) {
      const sheet_t sheet = build_sheet(overlong ? overlong_input(c.device) : live_input(c.device));
      const int pages = sheet_page_count(sheet, c.paper);
      const std::string at = std::to_string(c.device) + " channels on " +
                             std::to_string(c.paper.width) + " x " +
                             std::to_string(c.paper.height) + (overlong ? ", overlong" : "");
      if (!overlong) {
        EXPECT_EQ(pages, c.pages) << at;
      }
      EXPECT_TRUE(page_boxes(sheet, pages, c.paper).empty()) << at;  // no page after the last
      for (int page = 0; page < pages; ++page) {
        const std::vector<sheet_box_t> boxes = page_boxes(sheet, page, c.paper);
        const std::string on = at + ", page " + std::to_string(page + 1);
        std::vector<std::string> texts;
        for (size_t i = 0; i < boxes.size(); ++i) {
          const sheet_box_t& b = boxes[i];
          texts.push_back(b.text);
          EXPECT_TRUE(b.x >= SHEET_MARGIN - 0.01 && b.y >= SHEET_MARGIN - 0.01 &&
                      b.x + b.width <= c.paper.width - SHEET_MARGIN + 0.01 &&
                      b.y + b.height <= c.paper.height - SHEET_MARGIN + 0.01)
              << on << ": [" << b.text << "] at " << b.x << ", " << b.y << " size " << b.width
              << " x " << b.height;
          for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(overlap(b, boxes[j]))
                << on << ": [" << b.text << "] overlaps [" << boxes[j].text << "]";
        }
        EXPECT_EQ(texts.front(), "Live <A&B>") << on;
        EXPECT_EQ(std::count(texts.begin(), texts.end(),
                             "Page " + std::to_string(page + 1) + " of " + std::to_string(pages)),
                  1)
            << on;
      }
    }
  }
}

TEST(SheetDraw, AnExtraCurveRunsOverItsPlotWithItsLegend) {
  sheet_input_t in = live_input(MV517);
  in.curves[3].eq.push_back(
      {"Measured at FOH", std::vector<double>(PLOT_WIDTH, 6.0), 0xFF0000, false});
  const sheet_t sheet = build_sheet(in);
  constexpr double scale = 3;  // device pixels per point
  Canvas canvas(static_cast<int>(SHEET_A4.width * scale),
                static_cast<int>(SHEET_A4.height * scale));
  cairo_scale(canvas.cr(), scale, scale);
  std::vector<sheet_box_t> boxes;
  draw_sheet_page(canvas.cr(), sheet, 4, SHEET_A4, &boxes);  // channel D

  std::vector<sheet_box_t> plots;
  for (const sheet_box_t& b : boxes)
    if (b.text.empty()) plots.push_back(b);
  ASSERT_EQ(plots.size(), 2u);
  // +6 dB lies at row 54 of the plot, which starts 18 pixels into the
  // picture; column 400 is clear of the grid.
  const auto at = [&](const sheet_box_t& plot) {
    const double s = plot.width / (18 + PLOT_WIDTH + LEVEL_AXIS_WIDTH);
    return canvas.at(static_cast<int>((plot.x + (18 + 400.5) * s) * scale),
                     static_cast<int>((plot.y + 54 * s) * scale));
  };
  EXPECT_TRUE(near(at(plots[1]), 255, 0, 0, 255, 10)) << at(plots[1]);
  EXPECT_FALSE(near(at(plots[0]), 255, 0, 0, 255, 60)) << at(plots[0]);
  const auto legend = std::find_if(
      boxes.begin(), boxes.end(), [](const sheet_box_t& b) { return b.text == "Measured at FOH"; });
  ASSERT_NE(legend, boxes.end());
  EXPECT_GE(legend->y, plots[1].y + plots[1].height);
}

}  // namespace
