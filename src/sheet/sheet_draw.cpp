#include "sheet/sheet_draw.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "editor/draw_util.h"
#include "editor/overview_draw.h"
#include "response/plot_draw.h"

namespace {

// ---- Measures, points ----

constexpr double HEAD_HEIGHT = 26;  // the page head: title, rule, space
constexpr double FOOT_HEIGHT = 22;  // the page foot: space, rule, page number
constexpr double TITLE_SIZE = 9.5;
constexpr double FOOT_SIZE = 8;
constexpr double HEADING_SIZE = 11.5;
constexpr double HEADING_HEIGHT = 22;
constexpr double TEXT_SIZE = 8.5;
constexpr double TABLE_HEAD_SIZE = 8;
constexpr double NOTE_SIZE = 7;
constexpr double ROW_HEIGHT = 12.5;
constexpr double LABEL_WIDTH = 84;  // label column of the rows
constexpr double CAPTION_SIZE = 8.5;
constexpr double CAPTION_HEIGHT = 13;
constexpr double LEGEND_SIZE = 7.5;
constexpr double LEGEND_HEIGHT = 11.5;
constexpr double BLOCK_GAP = 7;     // after rows, a table, a picture
constexpr double SECTION_GAP = 12;  // between sections
constexpr double CELL_GAP = 8;      // between the columns of rows and tables
constexpr double CHAR_WIDTH = 5.2;  // a table column's room per character
constexpr double MIN_TEXT_SIZE = 4.5;

constexpr double LABEL_GREY = 0.35;
constexpr double DIM_GREY = 0.6;
constexpr double RULE_GREY = 0.6;
// Behind the diagrams: a light shade of the editor's page grey, so that
// their white blocks and light routing lines stand out as on the screen.
constexpr double OVERVIEW_GROUND = 0.86;

// The pictures in the editor's pixels: a plot as the Crossover and
// Parametric EQ pages show it (an 18-pixel spacer, the plot, the level strip
// at its right and the frequency strip below from the spacer on), the
// Overview's two diagrams side by side.
constexpr double PLOT_LEFT = 18;
constexpr double PLOT_PICTURE_WIDTH = PLOT_LEFT + PLOT_WIDTH + LEVEL_AXIS_WIDTH;
constexpr double PLOT_PICTURE_HEIGHT = PLOT_HEIGHT + FREQ_AXIS_HEIGHT;
constexpr double OVERVIEW_WIDTH = ROUTING_WIDTH + CHANNEL_FLOW_WIDTH;
constexpr double OVERVIEW_HEIGHT = ROUTING_HEIGHT;
static_assert(FREQ_AXIS_WIDTH <= PLOT_PICTURE_WIDTH, "the frequency strip fits");

// ---- Layout ----

// Where the sections go: the page's text area.
struct area_t {
  double x, top, width, bottom;
};

area_t content_area(const sheet_paper_t& paper) {
  return {SHEET_MARGIN, SHEET_MARGIN + HEAD_HEIGHT, std::max(paper.width - 2 * SHEET_MARGIN, 1.0),
          paper.height - SHEET_MARGIN - FOOT_HEIGHT};
}

int rows_per_column(const sheet_section_t& s) {
  const int columns = std::max(s.columns, 1);
  return (static_cast<int>(s.rows.size()) + columns - 1) / columns;
}

double picture_aspect(const sheet_picture_t& p) {
  return p.kind == sheet_picture_kind::overview ? OVERVIEW_HEIGHT / OVERVIEW_WIDTH
                                                : PLOT_PICTURE_HEIGHT / PLOT_PICTURE_WIDTH;
}

double picture_height(const sheet_picture_t& p, double width) {
  return CAPTION_HEIGHT + width * picture_aspect(p) +
         static_cast<double>(p.curves.size()) * LEGEND_HEIGHT + BLOCK_GAP;
}

double table_height(const sheet_table_t& t) {
  if (t.header.empty()) return 0;
  return (1.0 + static_cast<double>(t.rows.size()) + (t.note.empty() ? 0 : 1)) * ROW_HEIGHT +
         BLOCK_GAP;
}

// The height of a section drawn `width` wide, unscaled.
double section_height(const sheet_section_t& s, double width) {
  double h = HEADING_HEIGHT + table_height(s.table);
  if (!s.rows.empty()) h += rows_per_column(s) * ROW_HEIGHT + BLOCK_GAP;
  for (const sheet_picture_t& p : s.pictures) h += picture_height(p, width);
  return h;
}

struct placed_t {
  size_t section;
  double y;              // top on the page
  double picture_width;  // the section's pictures are drawn this wide
  double scale;          // 1, or less for a section that does not fit on a page
};

// Pictures narrower than this part of the text area make a section smaller
// as a whole instead.
constexpr double MIN_PICTURE_PART = 0.45;

std::vector<std::vector<placed_t>> lay_out(const sheet_t& sheet, const sheet_paper_t& paper) {
  const area_t a = content_area(paper);
  const double room = std::max(a.bottom - a.top, 1.0);
  std::vector<std::vector<placed_t>> pages(1);
  double y = a.top;
  for (size_t i = 0; i < sheet.sections.size(); ++i) {
    // The height grows with the pictures' width: a section taller than a
    // page first gets narrower pictures, its texts keeping their size.
    const sheet_section_t& s = sheet.sections[i];
    const double fixed = section_height(s, 0);
    const double per_width = (section_height(s, a.width) - fixed) / a.width;
    double width = a.width;
    if (fixed + per_width * width > room && per_width > 0)
      width = std::max((room - fixed) / per_width, a.width * MIN_PICTURE_PART);
    const double h = fixed + per_width * width;
    const double scale = std::min(1.0, room / h);
    if (!pages.back().empty() && y + h * scale > a.bottom) {
      pages.emplace_back();
      y = a.top;
    }
    pages.back().push_back({i, y, std::min(width, a.width), scale});
    y += h * scale + SECTION_GAP;
  }
  return pages;
}

// ---- Texts ----

enum class align_t { left, right };

// Byte offsets of the characters of a UTF-8 text.
std::vector<size_t> char_starts(const std::string& s) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
  return starts;
}

// `s` without characters from its middle, with "…" in their place, `keep`
// characters in all.
std::string elided(const std::string& s, size_t keep) {
  const std::vector<size_t> starts = char_starts(s);
  if (keep >= starts.size()) return s;
  const size_t head = (keep + 1) / 2, tail = keep / 2;
  return s.substr(0, starts[head]) + "\xE2\x80\xA6" + s.substr(starts[starts.size() - tail]);
}

class page_painter {
 public:
  page_painter(cairo_t* cr, std::vector<sheet_box_t>* boxes) : cr_(cr), boxes_(boxes) {
    cairo_get_matrix(cr, &page_to_device_);
  }

  // A text with its baseline starting at (x, baseline) (ending there when
  // right-aligned), at `size` or smaller so that it keeps within
  // `max_width`; what even the smallest size cannot hold loses characters
  // from its middle.
  void text(std::string s, double x, double baseline, double max_width, double size,
            bool bold = false, double grey = 0, bool italic = false,
            align_t align = align_t::left) {
    if (s.empty()) return;
    cairo_save(cr_);
    cairo_select_font_face(cr_, "sans-serif",
                           italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    double width = advance(s, size);
    // The advance grows with the size, but not exactly in proportion where
    // metrics are hinted: shrink, then step down until it fits.
    if (width > max_width) {
      size = std::max(MIN_TEXT_SIZE, std::floor(size * max_width / width * 10) / 10);
      while ((width = advance(s, size)) > max_width && size > MIN_TEXT_SIZE)
        size = std::max(MIN_TEXT_SIZE, size - 0.1);
    }
    for (size_t keep = char_starts(s).size(); width > max_width && keep > 1; --keep) {
      s = elided(s, keep - 1);
      width = advance(s, size);
    }
    const double left = align == align_t::right ? x - width : x;
    cairo_set_source_rgb(cr_, grey, grey, grey);
    cairo_move_to(cr_, left, baseline);
    cairo_show_text(cr_, s.c_str());
    cairo_new_path(cr_);
    cairo_font_extents_t fe;
    cairo_font_extents(cr_, &fe);
    record(s, left, baseline - fe.ascent, width, fe.ascent + fe.descent);
    cairo_restore(cr_);
  }

  void rule(double x0, double x1, double y, double width = 0.5) {
    cairo_save(cr_);
    cairo_set_source_rgb(cr_, RULE_GREY, RULE_GREY, RULE_GREY);
    cairo_set_line_width(cr_, width);
    cairo_move_to(cr_, x0, y);
    cairo_line_to(cr_, x1, y);
    cairo_stroke(cr_);
    cairo_restore(cr_);
  }

  // Notes a box given in the current user space.
  void record(const std::string& text, double x, double y, double w, double h) {
    if (!boxes_) return;
    double xs[2] = {x, x + w}, ys[2] = {y, y + h};
    cairo_matrix_t device_to_page = page_to_device_;
    cairo_matrix_invert(&device_to_page);
    double lo_x = 1e300, lo_y = 1e300, hi_x = -1e300, hi_y = -1e300;
    for (double cx : xs) {
      for (double cy : ys) {
        double px = cx, py = cy;
        cairo_user_to_device(cr_, &px, &py);
        cairo_matrix_transform_point(&device_to_page, &px, &py);
        lo_x = std::min(lo_x, px), hi_x = std::max(hi_x, px);
        lo_y = std::min(lo_y, py), hi_y = std::max(hi_y, py);
      }
    }
    boxes_->push_back({text, lo_x, lo_y, hi_x - lo_x, hi_y - lo_y});
  }

  cairo_t* cr() const { return cr_; }

 private:
  double advance(const std::string& s, double size) {
    cairo_set_font_size(cr_, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr_, s.c_str(), &e);
    return e.x_advance;
  }

  cairo_t* cr_;
  std::vector<sheet_box_t>* boxes_;
  cairo_matrix_t page_to_device_;
};

// ---- Pictures ----

void set_rgb(cairo_t* cr, uint32_t rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
}

plot_rgb_t plot_rgb(uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

// A plot picture `width` wide at (x, y), as the editor's page shows it.
void draw_plot_picture(cairo_t* cr, const sheet_t& sheet, const sheet_picture_t& p, double x,
                       double y, double width) {
  const int ch = std::clamp(p.channel, 0, 3);
  const channel_t& channel = sheet.preset.channel[ch];
  auto curves = std::make_unique<channel_curves_t>();
  channel_curves(channel, *curves);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  const double s = width / PLOT_PICTURE_WIDTH;
  cairo_scale(cr, s, s);
  // The extra curves as the plots draw them: a value for every column, none
  // (NaN) beyond the curve's own.
  std::vector<std::vector<double>> values;
  std::vector<plot_curve_t> extra;
  for (const sheet_curve_t& curve : p.curves) {
    values.emplace_back(curve.db);
    values.back().resize(EQ_TABLE_SIZE, std::nan(""));
    for (double& v : values.back())
      if (!std::isfinite(v)) v = std::nan("");
  }
  for (size_t i = 0; i < p.curves.size(); ++i)
    extra.push_back(
        {values[i].data(), plot_rgb(p.curves[i].rgb), p.curves[i].width, p.curves[i].dashed});
  draw_in_area(cr, PLOT_LEFT, 0, PLOT_WIDTH, PLOT_HEIGHT, [&](cairo_t* c) {
    if (p.kind == sheet_picture_kind::xo_plot) {
      XoPlotView v = xo_plot_view_of(channel, *curves);
      v.extra = extra;
      draw_xo_plot(c, v, PlotGround::drawn);
    } else {
      EqPlotView v = eq_plot_view_of(channel, *curves);
      v.extra = extra;
      draw_eq_plot(c, v, PlotGround::drawn);
    }
  });
  draw_in_area(cr, PLOT_LEFT + PLOT_WIDTH, 0, LEVEL_AXIS_WIDTH, LEVEL_AXIS_HEIGHT,
               [](cairo_t* c) { draw_axis_strip(c, AxisStrip::level); });
  draw_in_area(cr, 0, PLOT_HEIGHT, FREQ_AXIS_WIDTH, FREQ_AXIS_HEIGHT,
               [](cairo_t* c) { draw_axis_strip(c, AxisStrip::frequency); });
  cairo_restore(cr);
}

// The routing and signal-flow diagrams side by side, `width` wide at (x, y).
void draw_overview_picture(cairo_t* cr, const sheet_t& sheet, double x, double y, double width) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  const double s = width / OVERVIEW_WIDTH;
  cairo_scale(cr, s, s);
  cairo_set_source_rgb(cr, OVERVIEW_GROUND, OVERVIEW_GROUND, OVERVIEW_GROUND);
  cairo_rectangle(cr, 0, 0, OVERVIEW_WIDTH, OVERVIEW_HEIGHT);
  cairo_fill(cr);
  draw_in_area(cr, 0, 0, ROUTING_WIDTH, ROUTING_HEIGHT, [&](cairo_t* c) {
    draw_routing(c, routing_view_of(sheet.preset, sheet.device, sheet.input_mode));
  });
  draw_in_area(cr, ROUTING_WIDTH, 0, CHANNEL_FLOW_WIDTH, CHANNEL_FLOW_HEIGHT, [&](cairo_t* c) {
    draw_channel_flow(c, channel_flow_view_of(sheet.preset, sheet.device));
  });
  cairo_restore(cr);
}

// A legend line under a plot: a sample of the curve on the plot's dark
// ground, then its text.
void draw_legend(page_painter& pp, const sheet_curve_t& c, double x, double y, double width) {
  cairo_t* cr = pp.cr();
  static const double dash[2] = {3.0, 2.0};
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0, 0, 0.3);
  cairo_rectangle(cr, x, y + 1.5, 24, 8);
  cairo_fill(cr);
  set_rgb(cr, c.rgb);
  cairo_set_line_width(cr, 1.5);
  cairo_set_dash(cr, c.dashed ? dash : nullptr, c.dashed ? 2 : 0, 0);
  cairo_move_to(cr, x + 2, y + 5.5);
  cairo_line_to(cr, x + 22, y + 5.5);
  cairo_stroke(cr);
  cairo_restore(cr);
  pp.text(c.legend, x + 30, y + 8.5, width - 30, LEGEND_SIZE);
}

// ---- Sections ----

double draw_rows(page_painter& pp, const sheet_section_t& s, double y, double width) {
  if (s.rows.empty()) return y;
  const int per_column = rows_per_column(s);
  const double column_width = width / std::max(s.columns, 1);
  const double label_width = std::min(LABEL_WIDTH, column_width * 0.4);
  for (size_t i = 0; i < s.rows.size(); ++i) {
    const double x = static_cast<double>(i / per_column) * column_width;
    const double baseline = y + static_cast<double>(i % per_column) * ROW_HEIGHT + 9;
    pp.text(s.rows[i].label, x, baseline, label_width - CELL_GAP, TEXT_SIZE, false, LABEL_GREY);
    pp.text(s.rows[i].value, x + label_width, baseline, column_width - label_width - CELL_GAP,
            TEXT_SIZE);
  }
  return y + per_column * ROW_HEIGHT + BLOCK_GAP;
}

// A table's columns share its width by the characters they hold.
std::vector<double> column_widths(const sheet_table_t& t, double width) {
  std::vector<double> chars;
  double total = 0;
  for (size_t c = 0; c < t.header.size(); ++c) {
    chars.push_back(std::max(c < t.widths.size() ? t.widths[c] : 0, 1));
    total += chars.back();
  }
  const double table_width = std::min(width, total * CHAR_WIDTH);
  std::vector<double> widths;
  for (double n : chars) widths.push_back(table_width * n / total);
  return widths;
}

double draw_table(page_painter& pp, const sheet_table_t& t, double y, double width) {
  if (t.header.empty()) return y;
  const std::vector<double> widths = column_widths(t, width);
  double table_width = 0;
  for (double w : widths) table_width += w;
  const auto row_cells = [&](double baseline, auto cell) {
    double x = 0;
    for (size_t c = 0; c < widths.size(); ++c) {
      cell(c, x, baseline, widths[c] - CELL_GAP);
      x += widths[c];
    }
  };
  row_cells(y + 9, [&](size_t c, double x, double baseline, double room) {
    pp.text(t.header[c], x, baseline, room, TABLE_HEAD_SIZE, true);
  });
  pp.rule(0, table_width, y + ROW_HEIGHT - 0.5);
  y += ROW_HEIGHT;
  for (const auto& row : t.rows) {
    row_cells(y + 9, [&](size_t c, double x, double baseline, double room) {
      if (c < row.size())
        pp.text(row[c].text, x, baseline, room, TEXT_SIZE, false, row[c].dim ? DIM_GREY : 0);
    });
    y += ROW_HEIGHT;
  }
  if (!t.note.empty()) {
    pp.text(t.note, 0, y + 9, width, NOTE_SIZE, false, LABEL_GREY, true);
    y += ROW_HEIGHT;
  }
  return y + BLOCK_GAP;
}

double draw_picture(page_painter& pp, const sheet_t& sheet, const sheet_picture_t& p, double y,
                    double width) {
  pp.text(p.caption, 0, y + 10, width, CAPTION_SIZE, true);
  y += CAPTION_HEIGHT;
  const double height = width * picture_aspect(p);
  if (p.kind == sheet_picture_kind::overview)
    draw_overview_picture(pp.cr(), sheet, 0, y, width);
  else
    draw_plot_picture(pp.cr(), sheet, p, 0, y, width);
  pp.record("", 0, y, width, height);
  y += height;
  for (const sheet_curve_t& c : p.curves) {
    draw_legend(pp, c, 0, y, width);
    y += LEGEND_HEIGHT;
  }
  return y + BLOCK_GAP;
}

void draw_section(page_painter& pp, const sheet_t& sheet, const sheet_section_t& s, double width,
                  double picture_width) {
  pp.text(s.heading, 0, 14, width, HEADING_SIZE, true);
  pp.rule(0, width, 18.5);
  double y = draw_rows(pp, s, HEADING_HEIGHT, width);
  y = draw_table(pp, s.table, y, width);
  for (const sheet_picture_t& p : s.pictures) y = draw_picture(pp, sheet, p, y, picture_width);
}

}  // namespace

int sheet_page_count(const sheet_t& sheet, const sheet_paper_t& paper) {
  return static_cast<int>(lay_out(sheet, paper).size());
}

void draw_sheet_page(cairo_t* cr, const sheet_t& sheet, int page, const sheet_paper_t& paper,
                     std::vector<sheet_box_t>* boxes) {
  const std::vector<std::vector<placed_t>> pages = lay_out(sheet, paper);
  if (page < 0 || page >= static_cast<int>(pages.size())) return;
  cairo_save(cr);
  page_painter pp(cr, boxes);
  const area_t a = content_area(paper);
  const double right = a.x + a.width;

  // Head: the preset's name, what the sheet is; foot: the page number.
  const double head_baseline = SHEET_MARGIN + 10;
  pp.text(sheet.title, a.x, head_baseline, a.width * 0.6, TITLE_SIZE, true);
  pp.text(std::string(device_name(sheet.device)) + " preset sheet", right, head_baseline,
          a.width * 0.35, FOOT_SIZE, false, LABEL_GREY, false, align_t::right);
  pp.rule(a.x, right, SHEET_MARGIN + 15);
  pp.rule(a.x, right, paper.height - SHEET_MARGIN - 12);
  pp.text("Page " + std::to_string(page + 1) + " of " + std::to_string(pages.size()), right,
          paper.height - SHEET_MARGIN - 2, a.width, FOOT_SIZE, false, 0, false, align_t::right);

  for (const placed_t& placed : pages[page]) {
    cairo_save(cr);
    cairo_translate(cr, a.x, placed.y);
    cairo_scale(cr, placed.scale, placed.scale);
    draw_section(pp, sheet, sheet.sections[placed.section], a.width, placed.picture_width);
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

cairo_status_t write_sheet_pdf(const sheet_t& sheet, const sheet_paper_t& paper,
                               cairo_write_func_t write, void* closure) {
  cairo_surface_t* surface =
      cairo_pdf_surface_create_for_stream(write, closure, paper.width, paper.height);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE,
                                 ("Preset sheet: " + sheet.title).c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "QBN Preset Editor");
  cairo_t* cr = cairo_create(surface);
  const int pages = sheet_page_count(sheet, paper);
  for (int page = 0; page < pages; ++page) {
    draw_sheet_page(cr, sheet, page, paper);
    cairo_show_page(cr);
  }
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  return status;
}

std::vector<sheet_curve_t> sheet_curves_of(const plot_content_t& content) {
  std::vector<sheet_curve_t> out;
  const auto rgb = [](plot_rgb_t c) {
    const auto byte = [](double v) { return static_cast<uint32_t>(std::lround(v * 255)); };
    return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
  };
  for (size_t i = 0; i < content.extra.size() && i < content.legend.size(); ++i) {
    const plot_curve_t& c = content.extra[i];
    out.push_back({content.legend[i].text, std::vector<double>(c.values, c.values + EQ_TABLE_SIZE),
                   rgb(c.colour), c.dashed, c.width});
  }
  return out;
}

void add_measured_curves(sheet_input_t& in, const plot_sources_t& sources) {
  for (int ch = 0; ch < 4; ++ch) {
    if (!sources.measurement[ch].grid) continue;
    plot_content_t content;
    for (const bool eq : {false, true}) {
      plot_choice_t choice;
      choice.eq = eq;
      compose_plot(ch, choice, sources, content);
      (eq ? in.curves[ch].eq : in.curves[ch].xo) = sheet_curves_of(content);
    }
  }
}
