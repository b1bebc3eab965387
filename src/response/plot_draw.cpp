#include "response/plot_draw.h"

#include <algorithm>
#include <cmath>

#include "editor/overview_draw.h"
#include "model/editing.h"

double dashed[2] = {4.0, 1.0};
int len = 2;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Grid columns: 40..100 Hz in steps of 10, 200..1000 Hz in steps of 100,
// 2..11 kHz in steps of 1000.
constexpr double kGridColumns[] = {23.5,  53.5,  79.5,  100.5, 118.5, 134.5, 148.5, 243.5, 298.5,
                                   337.5, 368.5, 393.5, 414.5, 433.5, 449.5, 464.5, 558.5, 614.5,
                                   654.5, 684.5, 709.5, 730.5, 749.5, 765.5, 779.5, 792.5};
// Grid rows: +8, +4, -4, -8 dB; in the phase view +180, +90, -90 and -180
// degrees.
constexpr double kGridRows[] = {36.5, 68.5, 132.5, 165.5};
constexpr double kPhaseGridRows[] = {6.5, 54.5, 150.5, 198.5};

void frame_rectangle(cairo_t* cr) {
  cairo_rectangle(cr, 0.5, 0.5, 811.5, 204.0);
}

// Background, 0 dB line and grid; leaves the context ready for the curve
// (default antialiasing, no dash, line width 3, yellow).
void draw_plot_ground(cairo_t* cr, plot_view_mode mode) {
  cairo_set_line_width(cr, 2.0);
  cairo_pattern_t* bg = make_linear_pattern(plot_background_gradient);
  cairo_set_source(cr, bg);
  frame_rectangle(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(bg);

  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_move_to(cr, 0.5, 102.0);
  cairo_line_to(cr, 811.5, 102.0);
  cairo_stroke(cr);

  cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_dash(cr, dashed, len, 1.0);
  cairo_set_line_width(cr, 0.5);
  for (double x : kGridColumns) {
    cairo_move_to(cr, x, 0.5);
    cairo_line_to(cr, x, 204.5);
  }
  for (double y : mode == plot_view_mode::phase ? kPhaseGridRows : kGridRows) {
    cairo_move_to(cr, 0.5, y);
    cairo_line_to(cr, 811.5, y);
  }
  cairo_stroke(cr);

  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_line_width(cr, 3.0);
  cairo_set_source_rgb(cr, 1, 1, 0);
}

void draw_plot_frame(cairo_t* cr) {
  cairo_set_line_width(cr, 2.0);
  cairo_set_source_rgb(cr, 1, 1, 1);
  frame_rectangle(cr);
  cairo_stroke(cr);
}

// Starts a picture on a context that may have been used before: the state
// a fresh context has, for everything the plots rely on.
void begin(cairo_t* cr) {
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_set_font_face(cr, nullptr);
  cairo_set_font_size(cr, 10.0);
}

void handle_circle(cairo_t* cr, double x, double y) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, 6.0, 0, 2 * kPi);
}

void draw_xo_handle(cairo_t* cr, int16_t stored_column, uint8_t config, const char* label) {
  const int column = clamp_xo_handle_column(stored_column);
  const int row = xo_handle_row(config);
  cairo_set_source_rgb(cr, 1, 0.7, 0);
  handle_circle(cr, column, row);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  handle_circle(cr, column, row);
  cairo_stroke(cr);
  // The letters centred on the handle, inside its circle.
  cairo_set_font_size(cr, xo_handle_label_size(cr, label));
  cairo_text_extents_t e;
  cairo_text_extents(cr, label, &e);
  cairo_move_to(cr, column - e.x_bearing - e.width / 2, row + 3);
  cairo_show_text(cr, label);
  cairo_stroke(cr);
}

// An extra curve: one path through the columns that have a value, broken
// where one has none and, in the phase view, where the phase wraps (a step
// of more than half a turn). Levels below the floor are drawn at the floor.
void draw_extra_curve(cairo_t* cr, const plot_curve_t& curve, plot_view_mode mode) {
  if (!curve.values) return;
  const bool phase = mode == plot_view_mode::phase;
  const double* v = curve.values;
  cairo_save(cr);
  cairo_set_line_width(cr, curve.width);
  cairo_set_source_rgb(cr, curve.colour.r, curve.colour.g, curve.colour.b);
  if (curve.dashed) {
    const double dash[2] = {6.0, 4.0};
    cairo_set_dash(cr, dash, 2, 0.0);
  }
  bool drawing = false;
  for (int i = 0; i < EQ_TABLE_SIZE; ++i) {
    if (std::isnan(v[i])) {
      drawing = false;
      continue;
    }
    const double row = phase ? phase_row(v[i])
                             : level_row(v[i] > EXTRA_CURVE_FLOOR_DB ? v[i] : EXTRA_CURVE_FLOOR_DB);
    if (drawing && !(phase && std::fabs(v[i] - v[i - 1]) > 180.0))
      cairo_line_to(cr, i, row);
    else
      cairo_move_to(cr, i, row);
    drawing = true;
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

// The phase view's own curve: yellow, 3 pixels wide, like the level curves.
void draw_phase_curve(cairo_t* cr, const double* phase) {
  if (!phase) return;
  draw_extra_curve(cr, {phase, {1.0, 1.0, 0.0}, 3.0, false}, plot_view_mode::phase);
}

void draw_extras(cairo_t* cr, const std::vector<plot_curve_t>& extra, plot_view_mode mode) {
  for (const plot_curve_t& curve : extra) draw_extra_curve(cr, curve, mode);
}

// The plot has the keyboard: a dotted line inside its frame.
void draw_focus_line(cairo_t* cr) {
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  const double dots[2] = {1.0, 2.0};
  cairo_set_dash(cr, dots, 2, 0.0);
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
  cairo_rectangle(cr, 3.5, 3.5, PLOT_WIDTH - 7.0, PLOT_HEIGHT - 7.0);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// ---- The cached ground ----
//
// The ground is the same on every plot, so it is drawn once into a surface
// like the target (an X pixmap for a window, an image for an image) and
// painted from there. Painting it gives the pixels drawing it gives: inside
// the plot the ground is opaque, so each pixel is copied as drawn, and the
// pixels along the edge that the background covers only partly (and that
// would therefore show what was there before) lie under the frame, which is
// stroked opaque over them at the end.

struct GroundCache {
  cairo_surface_type_t type;
  cairo_device_t* device;
  int width, height;
  plot_view_mode mode;
  cairo_surface_t* surface;
};
GroundCache ground_cache[8];
int ground_cache_count = 0;

// Only a context that maps user space to whole device pixels (any whole
// translation, no scale) may paint the cached pixels.
bool whole_pixel_transform(cairo_t* cr) {
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  double sx = 1, sy = 1;
  cairo_surface_get_device_scale(cairo_get_target(cr), &sx, &sy);
  return m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0 && m.x0 == std::floor(m.x0) &&
         m.y0 == std::floor(m.y0) && sx == 1 && sy == 1;
}

// The ground surface for the target of `cr`, drawn on first use; null when
// none can be made.
cairo_surface_t* cached_ground(cairo_t* cr, plot_view_mode mode) {
  cairo_surface_t* target = cairo_get_target(cr);
  const cairo_surface_type_t type = cairo_surface_get_type(target);
  cairo_device_t* device = cairo_surface_get_device(target);
  for (int i = 0; i < ground_cache_count; ++i) {
    const GroundCache& g = ground_cache[i];
    if (g.type == type && g.device == device && g.width == PLOT_WIDTH && g.height == PLOT_HEIGHT &&
        g.mode == mode)
      return g.surface;
  }
  if (ground_cache_count == 8) return nullptr;
  cairo_surface_t* s =
      cairo_surface_create_similar(target, CAIRO_CONTENT_COLOR_ALPHA, PLOT_WIDTH, PLOT_HEIGHT);
  cairo_t* g = cairo_create(s);
  begin(g);
  draw_plot_ground(g, mode);
  cairo_restore(g);
  const bool ok = cairo_status(g) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(g);
  if (!ok || cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  ground_cache[ground_cache_count++] = {type, device, PLOT_WIDTH, PLOT_HEIGHT, mode, s};
  return s;
}

// The ground, cached or drawn; leaves the context ready for the curve as
// draw_plot_ground does.
void plot_ground(cairo_t* cr, PlotGround how, plot_view_mode mode) {
  cairo_surface_t* cached =
      how == PlotGround::cached && whole_pixel_transform(cr) ? cached_ground(cr, mode) : nullptr;
  if (!cached) {
    draw_plot_ground(cr, mode);
    return;
  }
  cairo_set_source_surface(cr, cached, 0, 0);
  cairo_paint(cr);
  cairo_set_line_width(cr, 3.0);
  cairo_set_source_rgb(cr, 1, 1, 0);
}

// ---- The selected handle ----

// A white ring around the handle centred at (x, y), clear of its outline.
void draw_selection_ring(cairo_t* cr, double x, double y) {
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_set_line_width(cr, 2.0);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, 9.5, 0, 2 * kPi);
  cairo_stroke(cr);
}

}  // namespace

double xo_handle_label_size(cairo_t* cr, const char* label) {
  cairo_save(cr);
  double size = 8.0;
  for (;; size -= 0.25) {
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, label, &e);
    if (e.width <= XO_HANDLE_LABEL_ROOM || size <= 4) break;
  }
  cairo_restore(cr);
  return size;
}

// Whole columns and rows: the handle stays inside the plot's frame.
int16_t clamp_xo_handle_column(int16_t column) {
  return std::clamp<int16_t>(column, 6, 750);
}

int16_t clamp_peq_handle_column(int16_t column) {
  return std::clamp<int16_t>(column, 6, 805);
}

int16_t clamp_peq_handle_row(int16_t row) {
  return std::clamp<int16_t>(row, 5, 198);
}

int xo_handle_row(uint8_t config) {
  switch (config) {
    case 0:
      return 90;
    case 2:
      return 151;
    default:
      return 127;
  }
}

void draw_xo_plot(cairo_t* cr, const XoPlotView& v, PlotGround ground) {
  begin(cr);
  plot_ground(cr, ground, v.mode);

  if (v.mode == plot_view_mode::phase) {
    draw_phase_curve(cr, v.phase);
  } else if (v.hp) {
    // High-pass, with the low-pass in series when it is on: the decibels add.
    const bool lp_on = v.lp_config != 0 && v.lp != nullptr;
    const auto level = [&](int i) { return v.hp[i] + (lp_on ? v.lp[i] : 0.0); };
    cairo_move_to(cr, 0, level_row(level(0)));
    for (int i = 4; i < XO_TABLE_SIZE; i += XO_TABLE_STEP)
      cairo_line_to(cr, i, level_row(level(i)));
    cairo_stroke(cr);
  }
  draw_extras(cr, v.extra, v.mode);

  cairo_set_line_width(cr, 1.0);
  draw_xo_handle(cr, v.hp_column, v.hp_config, "HP");
  if (v.lp_config != 0) draw_xo_handle(cr, v.lp_column, v.lp_config, "LP");
  if (v.focused && (v.selected == 0 || (v.selected == 1 && v.lp_config != 0)))
    draw_selection_ring(cr, clamp_xo_handle_column(v.selected ? v.lp_column : v.hp_column),
                        xo_handle_row(v.selected ? v.lp_config : v.hp_config));
  if (v.focused) draw_focus_line(cr);

  draw_plot_frame(cr);
  cairo_restore(cr);
}

void draw_eq_plot(cairo_t* cr, const EqPlotView& v, PlotGround ground) {
  begin(cr);
  plot_ground(cr, ground, v.mode);

  if (v.mode == plot_view_mode::phase) {
    draw_phase_curve(cr, v.phase);
  } else if (v.sum) {
    // One short segment per column.
    for (int i = 1; i < EQ_TABLE_SIZE; ++i) {
      cairo_move_to(cr, i - 1, level_row(v.sum[i - 1]));
      cairo_line_to(cr, i, level_row(v.sum[i]));
    }
    cairo_stroke(cr);
  }
  draw_extras(cr, v.extra, v.mode);

  for (int b = 0; b < 6; ++b) {
    if (!v.band_on[b]) continue;
    const int column = clamp_peq_handle_column(v.column[b]);
    const int row = clamp_peq_handle_row(v.row[b]);
    cairo_set_source_rgb(cr, 1, 0.7, 0);
    handle_circle(cr, column + 0.5, row);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1.0);
    handle_circle(cr, column + 0.5, row);
    cairo_stroke(cr);
    // The numbers of bands 1 and 4 start half a pixel further left.
    const double dx = (b == 0 || b == 3) ? 3.0 : 2.5;
    const char number[2] = {static_cast<char>('1' + b), '\0'};
    cairo_move_to(cr, column - dx, row + 4);
    cairo_show_text(cr, number);
    cairo_stroke(cr);
  }
  if (v.focused && v.selected >= 0 && v.selected < 6 && v.band_on[v.selected])
    draw_selection_ring(cr, clamp_peq_handle_column(v.column[v.selected]) + 0.5,
                        clamp_peq_handle_row(v.row[v.selected]));
  if (v.focused) draw_focus_line(cr);

  draw_plot_frame(cr);
  cairo_restore(cr);
}

XoPlotView xo_plot_view_of(const channel_t& ch, const channel_curves_t& c) {
  XoPlotView v;
  v.hp = c.hp;
  v.lp = c.lp;
  v.hp_config = ch.xo[0].config;
  v.lp_config = ch.xo[1].config;
  v.hp_column = freq_to_column(ch.xo[0].freq[xo_slot(ch.xo[0].config)]);
  v.lp_column = freq_to_column(ch.xo[1].freq[xo_slot(ch.xo[1].config)]);
  return v;
}

EqPlotView eq_plot_view_of(const channel_t& ch, const channel_curves_t& c) {
  EqPlotView v;
  v.sum = c.sum;
  for (int b = 0; b < 6; ++b) {
    v.band_on[b] = peq_active(ch.peq[b]);
    v.column[b] = freq_to_column(ch.peq[b].freq);
    v.row[b] = peq_gain_row(ch.peq[b].gain);
  }
  return v;
}

void draw_xo_plot(cairo_t* cr, const XoPlotView& v) {
  draw_xo_plot(cr, v, PlotGround::cached);
}

void draw_eq_plot(cairo_t* cr, const EqPlotView& v) {
  draw_eq_plot(cr, v, PlotGround::cached);
}

void draw_axis_strip(cairo_t* cr, AxisStrip strip, plot_view_mode mode) {
  struct Label {
    const char* text;
    double x, y;
  };
  static const Label kFrequency[] = {
      {"50Hz", 58.5, 9.5},   {"100Hz", 150.5, 9.5}, {"200Hz", 246.5, 9.5}, {"300Hz", 302.5, 9.5},
      {"500Hz", 371.5, 9.5}, {"1kHz", 469.5, 9.5},  {"2kHz", 563.5, 9.5},  {"3kHz", 619.5, 9.5},
      {"5kHz", 691.5, 9.5},  {"10kHz", 782.5, 9.5},
  };
  static const Label kLevel[] = {{"-12dB", 2.5, 200.0}, {"0dB", 12.0, 105.0}, {"+12dB", 2.0, 10.0}};
  static const Label kPhase[] = {
      {"-180\u00b0", 1.0, 200.0}, {"0\u00b0", 12.0, 105.0}, {"+180\u00b0", 1.0, 10.0}};

  begin(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_font_size(cr, 10.0);
  const auto show = [&](const Label* labels, int count) {
    for (int i = 0; i < count; ++i) {
      cairo_move_to(cr, labels[i].x, labels[i].y);
      cairo_show_text(cr, labels[i].text);
    }
  };
  if (strip == AxisStrip::frequency)
    show(kFrequency, 10);
  else if (strip == AxisStrip::level)
    show(mode == plot_view_mode::phase ? kPhase : kLevel, 3);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void draw_plot_legend(cairo_t* cr, const std::vector<plot_legend_entry_t>& legend, double x,
                      double y) {
  for (const plot_legend_entry_t& e : legend) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_set_source_rgb(cr, 0, 0, 0.3);
    cairo_rectangle(cr, 0, 0, 28, 12);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, e.colour.r, e.colour.g, e.colour.b);
    cairo_set_line_width(cr, 2.0);
    if (e.dashed) {
      const double dash[2] = {6.0, 4.0};
      cairo_set_dash(cr, dash, 2, 0.0);
    }
    cairo_move_to(cr, 3, 6);
    cairo_line_to(cr, 25, 6);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_font_size(cr, 11.0);
    cairo_move_to(cr, 36, 10);
    cairo_show_text(cr, e.text.c_str());
    cairo_restore(cr);
    y += PLOT_LEGEND_LINE_HEIGHT;
  }
}
