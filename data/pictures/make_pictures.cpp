// Draws the application pictures with cairo and writes them as PNG files:
//   icon.png    80 x 80   window icon of the main, editor and wizard windows
//   banner.png  510 x 510 picture in the middle of the main window
//
// Build and run (the PNG files are committed; run this after changing it):
//   cmake --build build --target make_pictures && ./build/make_pictures data/pictures
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct rgb {
  double r, g, b;
};
constexpr rgb kBlue{0.16, 0.52, 0.96};
constexpr rgb kCyan{0.36, 0.82, 1.0};
constexpr rgb kPanelTop{0.17, 0.18, 0.20};
constexpr rgb kPanelBottom{0.07, 0.08, 0.09};

void set(cairo_t* cr, rgb c, double a = 1.0) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, a);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void vertical_gradient(cairo_t* cr, double y0, double y1, rgb top, rgb bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

// A loudspeaker-system response in dB over log frequency (0..1): a
// high-pass, a presence lift, a low-pass.
double response_db(double t) {
  const double f = 20.0 * std::pow(1000.0, t);  // 20 Hz .. 20 kHz
  const double hp = 1.0 / std::sqrt(1.0 + std::pow(45.0 / f, 8.0));
  const double lp = 1.0 / std::sqrt(1.0 + std::pow(f / 14000.0, 4.0));
  const double peak = 3.0 * std::exp(-std::pow(std::log10(f / 2500.0) / 0.18, 2.0));
  return 20.0 * std::log10(hp * lp) + peak;
}

// A two-way split: the low branch of a 24 dB crossover at 1.2 kHz.
double crossover_low_db(double t) {
  const double f = 20.0 * std::pow(1000.0, t);
  const double hp = 1.0 / std::sqrt(1.0 + std::pow(45.0 / f, 8.0));
  const double lp = 1.0 / (1.0 + std::pow(f / 1200.0, 4.0));
  return 20.0 * std::log10(hp * lp);
}

// Traces a curve through the box (x, y, w, h); `db_top` at y, 3 dB per `px_per_3db`.
void trace(cairo_t* cr, double (*curve)(double), double x, double y, double w, double h,
           double db_top, double px_per_db) {
  cairo_new_path(cr);
  for (int i = 0; i <= static_cast<int>(w); ++i) {
    const double t = i / w;
    double py = y + (db_top - curve(t)) * px_per_db;
    if (py > y + h) py = y + h;
    if (i == 0)
      cairo_move_to(cr, x + i, py);
    else
      cairo_line_to(cr, x + i, py);
  }
}

// A line with a soft glow around it.
void glow_stroke(cairo_t* cr, rgb c, double width) {
  for (int k = 4; k >= 1; --k) {
    set(cr, c, 0.07);
    cairo_set_line_width(cr, width + 2.5 * k);
    cairo_stroke_preserve(cr);
  }
  set(cr, c);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void text(cairo_t* cr, const char* s, double x, double y, double size, bool bold, rgb c,
          double a = 1.0, bool centered = false) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  if (centered) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    x -= e.width / 2 + e.x_bearing;
  }
  set(cr, c, a);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, s);
}

// Dark screen with a grid and the response curves.
void response_screen(cairo_t* cr, double x, double y, double w, double h, bool grid_labels) {
  rounded_rect(cr, x, y, w, h, 6);
  vertical_gradient(cr, y, y + h, {0.02, 0.05, 0.11}, {0.01, 0.02, 0.05});
  cairo_fill_preserve(cr);
  set(cr, {0.30, 0.34, 0.40});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  cairo_save(cr);
  rounded_rect(cr, x + 1, y + 1, w - 2, h - 2, 5);
  cairo_clip(cr);
  // Decade lines (100 Hz, 1 kHz, 10 kHz) and 6 dB rows.
  cairo_set_line_width(cr, 1);
  for (int d = 1; d <= 3; ++d) {
    for (int m = 1; m <= 9; ++m) {
      const double t = (std::log10(m * std::pow(10.0, d)) - std::log10(20.0)) / 3.0;
      if (t <= 0 || t >= 1) continue;
      const double gx = std::floor(x + t * w) + 0.5;
      set(cr, kBlue, m == 1 ? 0.35 : 0.12);
      cairo_move_to(cr, gx, y);
      cairo_line_to(cr, gx, y + h);
      cairo_stroke(cr);
    }
  }
  const double px_per_db = h / 36.0;
  for (int db = 6; db >= -30; db -= 6) {
    const double gy = std::floor(y + (6 - db) * px_per_db) + 0.5;
    set(cr, kBlue, db == 0 ? 0.40 : 0.14);
    cairo_move_to(cr, x, gy);
    cairo_line_to(cr, x + w, gy);
    cairo_stroke(cr);
  }
  // Filled area under the main response.
  trace(cr, response_db, x, y, w, h, 6, px_per_db);
  cairo_line_to(cr, x + w, y + h);
  cairo_line_to(cr, x, y + h);
  cairo_close_path(cr);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgba(fill, 0, kBlue.r, kBlue.g, kBlue.b, 0.45);
  cairo_pattern_add_color_stop_rgba(fill, 1, kBlue.r, kBlue.g, kBlue.b, 0.0);
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);

  trace(cr, crossover_low_db, x, y, w, h, 6, px_per_db);
  cairo_set_dash(cr, nullptr, 0, 0);
  glow_stroke(cr, {0.95, 0.62, 0.18}, 1.4);
  trace(cr, response_db, x, y, w, h, 6, px_per_db);
  glow_stroke(cr, kCyan, 2.0);

  // EQ handle on the presence peak.
  const double ht = (std::log10(2500.0) - std::log10(20.0)) / 3.0;
  const double hx = x + ht * w, hy = y + (6 - response_db(ht)) * px_per_db;
  cairo_arc(cr, hx, hy, 4.5, 0, 2 * kPi);
  set(cr, {1, 1, 1});
  cairo_fill_preserve(cr);
  set(cr, kBlue);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  cairo_restore(cr);

  if (grid_labels) {
    const char* labels[] = {"100", "1k", "10k"};
    for (int d = 1; d <= 3; ++d) {
      const double t = (d - std::log10(20.0) + 1.0) / 3.0;
      text(cr, labels[d - 1], x + t * w + 3, y + h - 5, 9, false, {0.55, 0.65, 0.80});
    }
  }
}

void screw(cairo_t* cr, double cx, double cy, double r) {
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, 0, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.75, 0.76, 0.78);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.30, 0.31, 0.33);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  set(cr, {0.15, 0.15, 0.16});
  cairo_set_line_width(cr, 1.2);
  cairo_move_to(cr, cx - r * 0.6, cy);
  cairo_line_to(cr, cx + r * 0.6, cy);
  cairo_stroke(cr);
}

void knob(cairo_t* cr, double cx, double cy, double r, double angle) {
  cairo_arc(cr, cx, cy + 1.5, r, 0, 2 * kPi);
  set(cr, {0, 0, 0}, 0.5);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_pattern_t* p = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.36, 0.37, 0.40);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.10, 0.10, 0.11);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_set_line_width(cr, 1.6);
  set(cr, kCyan);
  cairo_move_to(cr, cx + 0.35 * r * std::cos(angle), cy + 0.35 * r * std::sin(angle));
  cairo_line_to(cr, cx + 0.85 * r * std::cos(angle), cy + 0.85 * r * std::sin(angle));
  cairo_stroke(cr);
}

// A 1U controller front panel with rack ears, display, meters and knobs.
void rack_unit(cairo_t* cr, double x, double y, double w, double h, const char* model,
               int channels) {
  // Shadow.
  rounded_rect(cr, x + 2, y + 5, w, h, 4);
  set(cr, {0, 0, 0}, 0.45);
  cairo_fill(cr);
  // Body with brushed-metal shading.
  rounded_rect(cr, x, y, w, h, 4);
  vertical_gradient(cr, y, y + h, {0.24, 0.25, 0.27}, {0.10, 0.10, 0.11});
  cairo_fill_preserve(cr);
  set(cr, {0.42, 0.44, 0.47});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_save(cr);
  rounded_rect(cr, x, y, w, h, 4);
  cairo_clip(cr);
  for (double by = y + 1.5; by < y + h; by += 2) {
    set(cr, {1, 1, 1}, 0.018);
    cairo_move_to(cr, x, by);
    cairo_line_to(cr, x + w, by);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  // Rack ears.
  const double ear = 22;
  for (double ex : {x + ear, x + w - ear}) {
    set(cr, {0, 0, 0}, 0.5);
    cairo_move_to(cr, std::floor(ex) + 0.5, y + 3);
    cairo_line_to(cr, std::floor(ex) + 0.5, y + h - 3);
    cairo_stroke(cr);
  }
  for (double sx : {x + ear / 2, x + w - ear / 2}) {
    screw(cr, sx, y + h * 0.25, 4.2);
    screw(cr, sx, y + h * 0.75, 4.2);
  }
  // Blue accent strip along the top edge.
  cairo_rectangle(cr, x + ear + 4, y + 4, w - 2 * ear - 8, 2.5);
  set(cr, kBlue);
  cairo_fill(cr);

  // Brand and model.
  const double ix = x + ear + 12;
  text(cr, "QBN", ix, y + h * 0.52, h * 0.26, true, {0.93, 0.94, 0.96});
  text(cr, model, ix, y + h * 0.80, h * 0.14, true, kCyan);

  // Display window with a small response trace.
  const double dx = x + w * 0.30, dw = w * 0.25, dy = y + h * 0.24, dh = h * 0.56;
  response_screen(cr, dx, dy, dw, dh, false);

  // One level meter per output channel (A..D).
  const char* chans[] = {"A", "B", "C", "D"};
  const int levels[] = {9, 7, 10, 6};
  const double mx0 = x + w * 0.59, seg_h = dh / 12.0;
  for (int c = 0; c < channels; ++c) {
    const double mx = mx0 + c * 13;
    for (int s = 0; s < 11; ++s) {
      const double sy = dy + dh - (s + 1) * seg_h;
      rgb col = s >= 9 ? rgb{0.95, 0.30, 0.20} : s >= 7 ? rgb{0.95, 0.75, 0.20} : kCyan;
      set(cr, col, s < levels[c] ? 0.95 : 0.12);
      cairo_rectangle(cr, mx, sy + 0.8, 8, seg_h - 1.6);
      cairo_fill(cr);
    }
    text(cr, chans[c], mx + 4, dy + dh + h * 0.12, h * 0.10, true, {0.70, 0.72, 0.76}, 1, true);
  }
  // Knobs.
  const double kx0 = x + w * 0.77;
  for (int k = 0; k < 3; ++k) knob(cr, kx0 + k * w * 0.06, y + h * 0.50, h * 0.17, -2.2 + k * 0.9);
  // Power LED.
  const double lx = x + w - ear - 12, ly = y + h * 0.50;
  cairo_pattern_t* led = cairo_pattern_create_radial(lx, ly, 0, lx, ly, 7);
  cairo_pattern_add_color_stop_rgba(led, 0, kCyan.r, kCyan.g, kCyan.b, 1);
  cairo_pattern_add_color_stop_rgba(led, 0.35, kBlue.r, kBlue.g, kBlue.b, 0.9);
  cairo_pattern_add_color_stop_rgba(led, 1, kBlue.r, kBlue.g, kBlue.b, 0);
  cairo_set_source(cr, led);
  cairo_arc(cr, lx, ly, 7, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(led);
}

void draw_banner(cairo_t* cr, double size) {
  // Card.
  rounded_rect(cr, 6, 8, size - 12, size - 12, 22);
  set(cr, {0, 0, 0}, 0.35);
  cairo_fill(cr);
  rounded_rect(cr, 4, 4, size - 12, size - 12, 22);
  vertical_gradient(cr, 4, size - 8, kPanelTop, kPanelBottom);
  cairo_fill_preserve(cr);
  set(cr, {0.33, 0.35, 0.39});
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);

  // Wordmark.
  const double cx = (size - 8) / 2;
  text(cr, "QBN", cx, 112, 78, true, {0.95, 0.96, 0.98}, 1, true);
  cairo_rectangle(cr, cx - 95, 128, 190, 4);
  cairo_pattern_t* bar = cairo_pattern_create_linear(cx - 95, 0, cx + 95, 0);
  cairo_pattern_add_color_stop_rgba(bar, 0, kBlue.r, kBlue.g, kBlue.b, 0);
  cairo_pattern_add_color_stop_rgba(bar, 0.5, kCyan.r, kCyan.g, kCyan.b, 1);
  cairo_pattern_add_color_stop_rgba(bar, 1, kBlue.r, kBlue.g, kBlue.b, 0);
  cairo_set_source(cr, bar);
  cairo_fill(cr);
  cairo_pattern_destroy(bar);
  text(cr, "Preset Editor & Wizard", cx, 162, 22, false, {0.80, 0.84, 0.90}, 1, true);

  // Response display.
  response_screen(cr, 36, 186, size - 80, 150, true);

  // The two controllers.
  rack_unit(cr, 24, 356, size - 56, 52, "MV517", 4);
  rack_unit(cr, 24, 418, size - 56, 52, "MV961", 2);

  text(cr, "Loudspeaker Controller Presets", cx, 492, 12.5, false, {0.55, 0.60, 0.68}, 1, true);
}

void draw_icon(cairo_t* cr, double size) {
  rounded_rect(cr, 3, 4, size - 6, size - 6, 14);
  set(cr, {0, 0, 0}, 0.35);
  cairo_fill(cr);
  rounded_rect(cr, 2, 2, size - 6, size - 6, 14);
  vertical_gradient(cr, 2, size - 4, {0.22, 0.24, 0.27}, {0.06, 0.07, 0.08});
  cairo_fill_preserve(cr);
  set(cr, {0.40, 0.43, 0.48});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  // Response screen in the upper half.
  const double sx = 9, sy = 9, sw = size - 24, sh = 34;
  rounded_rect(cr, sx, sy, sw, sh, 4);
  vertical_gradient(cr, sy, sy + sh, {0.02, 0.06, 0.14}, {0.01, 0.02, 0.05});
  cairo_fill(cr);
  cairo_save(cr);
  rounded_rect(cr, sx, sy, sw, sh, 4);
  cairo_clip(cr);
  const double px_per_db = sh / 30.0;
  trace(cr, response_db, sx, sy, sw, sh, 5, px_per_db);
  cairo_line_to(cr, sx + sw, sy + sh);
  cairo_line_to(cr, sx, sy + sh);
  cairo_close_path(cr);
  set(cr, kBlue, 0.35);
  cairo_fill(cr);
  trace(cr, response_db, sx, sy, sw, sh, 5, px_per_db);
  glow_stroke(cr, kCyan, 2.2);
  cairo_restore(cr);

  // Wordmark with the blue accent.
  text(cr, "QBN", (size - 4) / 2, 65, 21, true, {0.96, 0.97, 0.99}, 1, true);
  cairo_rectangle(cr, 14, 69, size - 32, 2.5);
  set(cr, kBlue);
  cairo_fill(cr);
}

bool write_png(const std::string& path, int size, void (*draw)(cairo_t*, double)) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(s);
  draw(cr, size);
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  const bool ok = write_png(dir + "/icon.png", 80, draw_icon) &&
                  write_png(dir + "/banner.png", 510, draw_banner);
  return ok ? 0 : 1;
}
