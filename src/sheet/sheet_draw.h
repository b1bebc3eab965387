// The preset sheet on paper: its sections laid out on pages and drawn with
// cairo, texts as text and plots and diagrams as vector drawings, so that a
// PDF of it can be searched and copied. The editor's Print command draws the
// pages of its print operation with draw_sheet_page, `qpx sheet` writes them
// with write_sheet_pdf.
//
// Every page has the preset's name in its head and "Page N of M" at its
// foot. Sections follow one another and are never split: one that does not
// fit on the rest of a page starts the next, and one taller than a whole page
// is drawn smaller. Units are points (1/72 inch) from the page's top left
// corner.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "response/plot_content.h"
#include "sheet/preset_sheet.h"

struct sheet_paper_t {
  double width;
  double height;
};
constexpr sheet_paper_t SHEET_A4{595.2756, 841.8898};  // 210 x 297 mm
constexpr sheet_paper_t SHEET_LETTER{612.0, 792.0};    // 8.5 x 11 in

// Blank edge of every page, points.
constexpr double SHEET_MARGIN = 36.0;

int sheet_page_count(const sheet_t& sheet, const sheet_paper_t& paper);

// What draw_sheet_page put where, in page coordinates: each text with the
// box its ink may fill (the font's ascent to descent over its advance), each
// picture with its rectangle.
struct sheet_box_t {
  std::string text;  // empty for a picture
  double x, y, width, height;
};

// Draws page `page` (0-based) of the sheet on paper of this size; a page
// beyond the last draws nothing. `boxes`, when given, receives what was drawn.
void draw_sheet_page(cairo_t* cr, const sheet_t& sheet, int page, const sheet_paper_t& paper,
                     std::vector<sheet_box_t>* boxes = nullptr);

// Writes every page as a PDF document through `write`; returns cairo's
// status (CAIRO_STATUS_SUCCESS, or why it failed).
cairo_status_t write_sheet_pdf(const sheet_t& sheet, const sheet_paper_t& paper,
                               cairo_write_func_t write, void* closure);

// The extra curves of a composed plot (plot_content.h) as the sheet's plots
// take them, with their legend lines.
std::vector<sheet_curve_t> sheet_curves_of(const plot_content_t& content);

// The measured loudspeakers and predicted outputs of the channels that have
// a measurement in `sources`, on both plots of their sections, as the
// editor's plots show them (level view).
void add_measured_curves(sheet_input_t& in, const plot_sources_t& sources);
