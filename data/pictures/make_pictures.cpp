// Draws the application pictures with cairo and writes them as PNG files:
//   icon.png             80 x 80   window icon of the main and editor windows
//   banner.png           510 x 510 picture in the middle of the main window
//   wizard_icon.png      80 x 80   window icon of the preset wizard
//   mv517_front.png      620 x 185 the MV517's front panel (wizard, Step One)
//   mode_sat.png         75 x 140  a top on a pole over a bass (Step Two)
//   mode_fullrange.png   90 x 120  a full-range cabinet
//   mode_bassarray.png   140 x 80  three basses, the middle one turned round
//   mode_monitor.png     140 x 90  a floor wedge
// and the MV517's rear panel, 600 x 150, as ../MV517_rear.jpg beside the
// folder (the picture of the selection summary). Cairo writes PNG; the JPEG
// is converted from it with ImageMagick's `convert`, run without a shell.
//
// With a second folder, also the application icon at 16 ... 256 pixels
// square as SIZE.png there (the desktop's icon theme).
//
// Build and run (the pictures are committed; run this after changing it):
//   cmake --build build --target make_pictures &&
//   ./build/make_pictures data/pictures packaging/icons
#include <cairo.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// ---- Loudspeakers ---------------------------------------------------------------

constexpr rgb kSilver{0.78, 0.80, 0.83};

void circle(cairo_t* cr, double cx, double cy, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
}

// A black cabinet with rounded edges, lit from above.
void cabinet(cairo_t* cr, double x, double y, double w, double h, double r) {
  rounded_rect(cr, x, y, w, h, r);
  vertical_gradient(cr, y, y + h, {0.22, 0.22, 0.23}, {0.07, 0.07, 0.075});
  cairo_fill_preserve(cr);
  set(cr, {0.01, 0.01, 0.01});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  rounded_rect(cr, x + 1.5, y + 1.5, w - 3, h - 3, r > 1.5 ? r - 1 : 0.5);
  set(cr, {1, 1, 1}, 0.07);
  cairo_stroke(cr);
}

// A cone driver of radius r: frame with screws, rubber surround, paper cone
// and dust cap, lit from the upper left. `sy` squeezes it vertically (a
// baffle seen at an angle).
void driver(cairo_t* cr, double cx, double cy, double r, double sy = 1.0) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, 1.0, sy);
  // Frame.
  circle(cr, 0, 0, r * 1.06);
  set(cr, {0.03, 0.03, 0.03});
  cairo_fill(cr);
  if (r > 12) {
    for (int i = 0; i < 8; ++i) {
      const double a = i * kPi / 4 + kPi / 8;
      circle(cr, r * 0.99 * std::cos(a), r * 0.99 * std::sin(a), r * 0.035 + 0.4);
      set(cr, {0.45, 0.46, 0.48});
      cairo_fill(cr);
    }
  }
  // Surround: a rolled rubber ring.
  cairo_pattern_t* s = cairo_pattern_create_radial(-r * 0.1, -r * 0.1, r * 0.70, 0, 0, r * 0.95);
  cairo_pattern_add_color_stop_rgb(s, 0.0, 0.05, 0.05, 0.05);
  cairo_pattern_add_color_stop_rgb(s, 0.5, 0.24, 0.24, 0.25);
  cairo_pattern_add_color_stop_rgb(s, 1.0, 0.04, 0.04, 0.04);
  circle(cr, 0, 0, r * 0.93);
  cairo_set_source(cr, s);
  cairo_fill(cr);
  cairo_pattern_destroy(s);
  // Cone.
  cairo_pattern_t* c = cairo_pattern_create_radial(-r * 0.25, -r * 0.3, r * 0.05, 0, 0, r * 0.8);
  cairo_pattern_add_color_stop_rgb(c, 0.0, 0.30, 0.30, 0.31);
  cairo_pattern_add_color_stop_rgb(c, 0.6, 0.13, 0.13, 0.14);
  cairo_pattern_add_color_stop_rgb(c, 1.0, 0.06, 0.06, 0.065);
  circle(cr, 0, 0, r * 0.78);
  cairo_set_source(cr, c);
  cairo_fill(cr);
  cairo_pattern_destroy(c);
  // Dust cap.
  cairo_pattern_t* d = cairo_pattern_create_radial(-r * 0.1, -r * 0.12, 0, 0, 0, r * 0.3);
  cairo_pattern_add_color_stop_rgb(d, 0.0, 0.48, 0.48, 0.50);
  cairo_pattern_add_color_stop_rgb(d, 1.0, 0.08, 0.08, 0.09);
  circle(cr, 0, 0, r * 0.28);
  cairo_set_source(cr, d);
  cairo_fill(cr);
  cairo_restore(cr);
}

// A rectangular constant-directivity horn: flared walls around the throat.
void horn(cairo_t* cr, double x, double y, double w, double h) {
  rounded_rect(cr, x, y, w, h, h * 0.12);
  set(cr, {0.02, 0.02, 0.02});
  cairo_fill(cr);
  const double tx = x + w / 2, ty = y + h / 2, tw = w * 0.10, th = h * 0.16;
  const double ix = x + 1.5, iy = y + 1.5, iw = w - 3, ih = h - 3;
  struct wall {
    double ax, ay, bx, by, cx, cy, dx, dy, shade;
  };
  const wall walls[4] = {
      {ix, iy, ix + iw, iy, tx + tw, ty - th, tx - tw, ty - th, 0.24},            // top
      {ix, iy + ih, ix + iw, iy + ih, tx + tw, ty + th, tx - tw, ty + th, 0.10},  // bottom
      {ix, iy, ix, iy + ih, tx - tw, ty + th, tx - tw, ty - th, 0.17},            // left
      {ix + iw, iy, ix + iw, iy + ih, tx + tw, ty + th, tx + tw, ty - th, 0.13},  // right
  };
  for (const wall& wl : walls) {
    cairo_move_to(cr, wl.ax, wl.ay);
    cairo_line_to(cr, wl.bx, wl.by);
    cairo_line_to(cr, wl.cx, wl.cy);
    cairo_line_to(cr, wl.dx, wl.dy);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear((wl.ax + wl.bx) / 2, (wl.ay + wl.by) / 2,
                                                     (wl.cx + wl.dx) / 2, (wl.cy + wl.dy) / 2);
    cairo_pattern_add_color_stop_rgb(p, 0, wl.shade, wl.shade, wl.shade + 0.01);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.03, 0.03);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  cairo_rectangle(cr, tx - tw, ty - th, 2 * tw, 2 * th);
  set(cr, {0, 0, 0});
  cairo_fill(cr);
}

// A reflex port: a dark slot with a lit lower lip.
void port(cairo_t* cr, double x, double y, double w, double h) {
  rounded_rect(cr, x, y, w, h, std::min(w, h) / 2);
  set(cr, {0, 0, 0});
  cairo_fill(cr);
  cairo_move_to(cr, x + h / 2, y + h - 0.5);
  cairo_line_to(cr, x + w - h / 2, y + h - 0.5);
  set(cr, {1, 1, 1}, 0.12);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

// A small silver maker badge.
void badge(cairo_t* cr, double x, double y, double size) {
  text(cr, "QBN", x, y, size, true, kSilver, 0.9);
}

// A soft shadow on the floor under a box.
void floor_shadow(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.45);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
  cairo_set_source(cr, p);
  circle(cr, 0, 0, 1);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

// SAT: a 12-inch top on a distance pole over an 18-inch bass.
void draw_mode_sat(cairo_t* cr, double, double) {
  floor_shadow(cr, 37.5, 137, 36, 3);
  // Bass.
  cabinet(cr, 2, 80, 71, 57, 3);
  driver(cr, 37.5, 106, 22);
  port(cr, 6, 129, 10, 5);
  port(cr, 59, 129, 10, 5);
  badge(cr, 6, 88, 5);
  // Pole with its socket.
  cairo_rectangle(cr, 31.5, 78, 12, 3);
  set(cr, {0.12, 0.12, 0.13});
  cairo_fill(cr);
  cairo_pattern_t* pole = cairo_pattern_create_linear(35, 0, 40, 0);
  cairo_pattern_add_color_stop_rgb(pole, 0, 0.35, 0.36, 0.38);
  cairo_pattern_add_color_stop_rgb(pole, 0.4, 0.85, 0.86, 0.88);
  cairo_pattern_add_color_stop_rgb(pole, 1, 0.30, 0.31, 0.33);
  cairo_rectangle(cr, 35, 49, 5, 29);
  cairo_set_source(cr, pole);
  cairo_fill(cr);
  cairo_pattern_destroy(pole);
  // Top.
  cabinet(cr, 14, 2, 47, 48, 3);
  horn(cr, 18, 5, 39, 13);
  driver(cr, 37.5, 34, 13);
}

// Fullrange: a two-way cabinet, 15-inch woofer under a wide horn.
void draw_mode_fullrange(cairo_t* cr, double, double) {
  floor_shadow(cr, 45, 117, 42, 3);
  cabinet(cr, 8, 2, 74, 114, 4);
  horn(cr, 13, 7, 64, 27);
  badge(cr, 13, 42, 6);
  driver(cr, 45, 73, 29);
  port(cr, 13, 106, 22, 5);
  port(cr, 55, 106, 22, 5);
}

// The back of a bass cabinet: handle cups and the connector plate.
void cabinet_back(cairo_t* cr, double x, double y, double w, double h) {
  cabinet(cr, x, y, w, h, 3);
  for (double hy : {y + 10.0, y + h - 16.0}) {
    rounded_rect(cr, x + w / 2 - 9, hy, 18, 6, 3);
    set(cr, {0.02, 0.02, 0.02});
    cairo_fill(cr);
    cairo_move_to(cr, x + w / 2 - 6, hy + 3);
    cairo_line_to(cr, x + w / 2 + 6, hy + 3);
    set(cr, kSilver, 0.7);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
  rounded_rect(cr, x + w / 2 - 10, y + h / 2 - 14, 20, 28, 2);
  set(cr, {0.55, 0.56, 0.58});
  cairo_fill(cr);
  for (double cy : {y + h / 2 - 7, y + h / 2 + 7}) {
    circle(cr, x + w / 2, cy, 5);
    set(cr, {0.05, 0.05, 0.05});
    cairo_fill(cr);
    circle(cr, x + w / 2, cy, 2.2);
    set(cr, {0.25, 0.25, 0.27});
    cairo_fill(cr);
  }
}

// Bass-Array: three basses side by side, the middle one facing backwards
// (a cardioid array).
void draw_mode_bassarray(cairo_t* cr, double, double) {
  floor_shadow(cr, 70, 77, 68, 3);
  for (int i = 0; i < 3; ++i) {
    const double x = 2 + i * 46.0;
    if (i == 1) {
      cabinet_back(cr, x, 3, 44, 73);
      continue;
    }
    cabinet(cr, x, 3, 44, 73, 3);
    driver(cr, x + 22, 33, 18);
    port(cr, x + 5, 63, 34, 6);
    badge(cr, x + 4, 10, 4.5);
  }
}

// Monitor: a floor wedge seen from the front: the sloping baffle with a
// coaxial driver, the low front face, the side.
void draw_mode_monitor(cairo_t* cr, double, double) {
  floor_shadow(cr, 70, 86, 68, 3.5);
  // Side face, visible on the right.
  cairo_move_to(cr, 133, 87);
  cairo_line_to(cr, 133, 73);
  cairo_line_to(cr, 121, 12);
  cairo_line_to(cr, 127, 13);
  cairo_line_to(cr, 138, 74);
  cairo_line_to(cr, 138, 87);
  cairo_close_path(cr);
  set(cr, {0.05, 0.05, 0.055});
  cairo_fill(cr);
  // Front face.
  cairo_rectangle(cr, 7, 73, 126, 14);
  vertical_gradient(cr, 73, 87, {0.10, 0.10, 0.105}, {0.05, 0.05, 0.05});
  cairo_fill(cr);
  rounded_rect(cr, 58, 77, 24, 5, 2.5);  // handle recess
  set(cr, {0, 0, 0});
  cairo_fill(cr);
  // Baffle, sloping away: narrower at the top.
  cairo_move_to(cr, 7, 73);
  cairo_line_to(cr, 133, 73);
  cairo_line_to(cr, 121, 12);
  cairo_line_to(cr, 19, 12);
  cairo_close_path(cr);
  vertical_gradient(cr, 12, 73, {0.27, 0.27, 0.28}, {0.14, 0.14, 0.15});
  cairo_fill_preserve(cr);
  set(cr, {0.01, 0.01, 0.01});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Coaxial driver: the woofer with the horn in its centre.
  driver(cr, 70, 43, 26, 0.82);
  cairo_save(cr);
  cairo_translate(cr, 70, 43);
  cairo_scale(cr, 1, 0.82);
  cairo_pattern_t* h = cairo_pattern_create_radial(0, 0, 1, 0, 0, 8);
  cairo_pattern_add_color_stop_rgb(h, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgb(h, 1, 0.32, 0.32, 0.34);
  circle(cr, 0, 0, 8);
  cairo_set_source(cr, h);
  cairo_fill(cr);
  cairo_pattern_destroy(h);
  cairo_restore(cr);
  badge(cr, 24, 22, 5.5);
  // Light on the front edge of the baffle.
  cairo_move_to(cr, 8, 72.5);
  cairo_line_to(cr, 132, 72.5);
  set(cr, {1, 1, 1}, 0.15);
  cairo_stroke(cr);
}

// ---- The MV517 -----------------------------------------------------------------

// Deterministic noise for metal and powder-coat textures.
struct lcg {
  uint32_t state;
  double next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  }
};

// Fine horizontal brushing over a box.
void brushed(cairo_t* cr, double x, double y, double w, double h, uint32_t start) {
  lcg rng{start};
  cairo_set_line_width(cr, 1);
  for (double by = y + 0.5; by < y + h; by += 1) {
    const double a = 0.015 + 0.03 * rng.next();
    set(cr, rng.next() < 0.5 ? rgb{1, 1, 1} : rgb{0, 0, 0}, a);
    cairo_move_to(cr, x, by);
    cairo_line_to(cr, x + w, by);
    cairo_stroke(cr);
  }
}

// A 19-inch rack ear with two slotted holes.
void rack_ear(cairo_t* cr, double x, double w, double h, bool left) {
  rounded_rect(cr, x, 0.5, w, h - 1, 2);
  vertical_gradient(cr, 0, h, {0.20, 0.20, 0.22}, {0.11, 0.11, 0.12});
  cairo_fill(cr);
  brushed(cr, x, 1, w, h - 2, left ? 11 : 12);
  for (double sy : {22.0, h - 28.0}) {
    rounded_rect(cr, x + w / 2 - 6.5, sy, 13, 6, 3);
    set(cr, {0, 0, 0});
    cairo_fill(cr);
  }
}

// A chrome front handle from y0 to y1, held by two blocks.
void handle(cairo_t* cr, double x, double y0, double y1) {
  for (double by : {y0, y1 - 16}) {
    rounded_rect(cr, x - 2, by, 18, 16, 2);
    set(cr, {0.08, 0.08, 0.09});
    cairo_fill(cr);
    screw(cr, x + 7, by + 8, 3);
  }
  rounded_rect(cr, x + 2, y0 + 6, 10, y1 - y0 - 12, 5);
  cairo_pattern_t* p = cairo_pattern_create_linear(x + 2, 0, x + 12, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.35, 0.36, 0.38);
  cairo_pattern_add_color_stop_rgb(p, 0.35, 0.92, 0.93, 0.95);
  cairo_pattern_add_color_stop_rgb(p, 0.7, 0.55, 0.56, 0.58);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.22, 0.23, 0.25);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// A small push button with its caption below.
void panel_button(cairo_t* cr, double x, double y, const char* caption) {
  rounded_rect(cr, x, y + 1.5, 28, 13, 3);
  set(cr, {0, 0, 0}, 0.6);
  cairo_fill(cr);
  rounded_rect(cr, x, y, 28, 13, 3);
  vertical_gradient(cr, y, y + 13, {0.33, 0.34, 0.36}, {0.16, 0.16, 0.17});
  cairo_fill(cr);
  text(cr, caption, x + 14, y + 23, 6.5, true, {0.72, 0.74, 0.78}, 1, true);
}

// An LED of radius r, lit or dark.
void led(cairo_t* cr, double cx, double cy, double r, rgb c, bool lit) {
  if (lit) {
    cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r * 2.6);
    cairo_pattern_add_color_stop_rgba(g, 0, c.r, c.g, c.b, 0.55);
    cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, g);
    circle(cr, cx, cy, r * 2.6);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  circle(cr, cx, cy, r);
  set(cr, c, lit ? 1.0 : 0.22);
  cairo_fill(cr);
  circle(cr, cx - r * 0.3, cy - r * 0.3, r * 0.35);
  set(cr, {1, 1, 1}, lit ? 0.7 : 0.15);
  cairo_fill(cr);
}

// The front panel: a 3U amplifier/controller with handles, vents, the
// display with its keys and encoder, and a meter strip per output.
void draw_mv517_front(cairo_t* cr, double w, double h) {
  rack_ear(cr, 0, 28, h, true);
  rack_ear(cr, w - 28, 28, h, false);
  // Front plate, with its shadow on the ears.
  rounded_rect(cr, 24, 0, w - 48, h, 3);
  set(cr, {0, 0, 0}, 0.5);
  cairo_fill(cr);
  rounded_rect(cr, 27, 0.5, w - 54, h - 1, 3);
  vertical_gradient(cr, 0, h, {0.25, 0.26, 0.28}, {0.12, 0.12, 0.13});
  cairo_fill(cr);
  brushed(cr, 27, 1, w - 54, h - 2, 7);
  rounded_rect(cr, 27, 0.5, w - 54, h - 1, 3);
  set(cr, {0.45, 0.47, 0.50});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  handle(cr, 34, 10, h - 10);
  handle(cr, w - 50, 10, h - 10);

  // Maker, model, description.
  text(cr, "QBN", 66, 46, 30, true, {0.95, 0.96, 0.98});
  text(cr, "MV517", 142, 46, 19, true, kCyan);
  text(cr, "4-CHANNEL DSP LOUDSPEAKER CONTROLLER", 67, 62, 7.2, false, {0.66, 0.69, 0.74});
  cairo_rectangle(cr, 66, 69, 172, 1.5);
  set(cr, kBlue, 0.9);
  cairo_fill(cr);
  // Air intake: rows of slots.
  for (int i = 0; i < 10; ++i) {
    const double sy = 80 + i * 9;
    rounded_rect(cr, 66, sy, 172, 5, 2.5);
    set(cr, {0.01, 0.01, 0.01});
    cairo_fill(cr);
    cairo_move_to(cr, 68, sy + 5.5);
    cairo_line_to(cr, 236, sy + 5.5);
    set(cr, {1, 1, 1}, 0.08);
    cairo_stroke(cr);
  }

  // Display: a backlit graphic LCD showing the preset.
  rounded_rect(cr, 256, 22, 150, 64, 4);
  set(cr, {0.02, 0.02, 0.03});
  cairo_fill(cr);
  rounded_rect(cr, 261, 27, 140, 54, 2);
  vertical_gradient(cr, 27, 81, {0.07, 0.20, 0.42}, {0.03, 0.10, 0.25});
  cairo_fill(cr);
  cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 10);
  set(cr, {0.80, 0.92, 1.0});
  cairo_move_to(cr, 267, 42);
  cairo_show_text(cr, "P01 Preset");
  cairo_set_font_size(cr, 8);
  set(cr, {0.60, 0.80, 1.0});
  cairo_move_to(cr, 267, 55);
  cairo_show_text(cr, "IN: ANALOG");
  cairo_move_to(cr, 267, 67);
  cairo_show_text(cr, "A B C D  ON");
  cairo_rectangle(cr, 267, 72, 128, 1);
  set(cr, {0.60, 0.80, 1.0}, 0.5);
  cairo_fill(cr);
  // Glass reflection.
  cairo_move_to(cr, 261, 27);
  cairo_line_to(cr, 340, 27);
  cairo_line_to(cr, 300, 81);
  cairo_line_to(cr, 261, 81);
  cairo_close_path(cr);
  set(cr, {1, 1, 1}, 0.05);
  cairo_fill(cr);
  // Keys and the encoder.
  const char* keys[4] = {"MENU", "ESC", "EDIT", "ENTER"};
  for (int i = 0; i < 4; ++i) panel_button(cr, 256 + i * 40.7, 98, keys[i]);
  knob(cr, 290, 150, 18, -0.9);
  text(cr, "SELECT", 290, 177, 6.5, true, {0.72, 0.74, 0.78}, 1, true);
  // USB port and the power switch.
  rounded_rect(cr, 326, 142, 16, 9, 1.5);
  set(cr, {0.75, 0.76, 0.78});
  cairo_fill(cr);
  cairo_rectangle(cr, 329, 145, 10, 3);
  set(cr, {0.05, 0.05, 0.06});
  cairo_fill(cr);
  text(cr, "USB", 334, 163, 6.5, true, {0.72, 0.74, 0.78}, 1, true);
  rounded_rect(cr, 362, 134, 36, 26, 3);
  set(cr, {0.02, 0.02, 0.02});
  cairo_fill(cr);
  rounded_rect(cr, 365, 137, 30, 20, 2);
  vertical_gradient(cr, 137, 157, {0.35, 0.36, 0.38}, {0.12, 0.12, 0.13});
  cairo_fill(cr);
  cairo_move_to(cr, 380, 140);
  cairo_line_to(cr, 380, 147);
  set(cr, {0.92, 0.93, 0.95});
  cairo_set_line_width(cr, 1.6);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1);
  led(cr, 405, 147, 2.2, kCyan, true);
  text(cr, "POWER", 380, 171, 6.5, true, {0.72, 0.74, 0.78}, 1, true);

  // Output meters A..D: eight LEDs each, clip on top, limiter below it.
  rounded_rect(cr, 420, 20, 134, 146, 4);
  set(cr, {0.05, 0.05, 0.06}, 0.85);
  cairo_fill(cr);
  text(cr, "OUTPUT", 487, 33, 7, true, {0.72, 0.74, 0.78}, 1, true);
  const char* rows[3] = {"CLIP", "LIM", "SIG"};
  for (int r = 0; r < 3; ++r) text(cr, rows[r], 426, 46 + r * 30.0, 5.5, false, {0.55, 0.58, 0.62});
  const int levels[4] = {6, 5, 8, 4};
  const char* names[4] = {"A", "B", "C", "D"};
  for (int c = 0; c < 4; ++c) {
    const double cx = 453 + c * 27;
    for (int s = 0; s < 8; ++s) {
      const double cy = 44 + s * 11;
      const rgb col = s == 0 ? rgb{1.0, 0.22, 0.18} : s == 1 ? rgb{1.0, 0.78, 0.18} : kCyan;
      led(cr, cx, cy, 2.8, col, 8 - s <= levels[c]);
    }
    // Mute key with its LED and the channel letter.
    rounded_rect(cr, cx - 9, 134, 18, 11, 2.5);
    vertical_gradient(cr, 134, 145, {0.33, 0.34, 0.36}, {0.16, 0.16, 0.17});
    cairo_fill(cr);
    led(cr, cx, 139.5, 1.6, {1.0, 0.25, 0.2}, false);
    text(cr, names[c], cx, 159, 9, true, {0.90, 0.92, 0.95}, 1, true);
  }
}

// ---- The rear panel ------------------------------------------------------------

// A female XLR input: round shell, latch, three contacts.
void xlr_female(cairo_t* cr, double cx, double cy, double r) {
  circle(cr, cx, cy, r + 3);
  set(cr, {0.60, 0.61, 0.63});
  cairo_fill(cr);
  circle(cr, cx, cy, r);
  set(cr, {0.06, 0.06, 0.07});
  cairo_fill(cr);
  rounded_rect(cr, cx - 3, cy - r - 5, 6, 5, 1);
  set(cr, {0.25, 0.25, 0.27});
  cairo_fill(cr);
  const double pins[3][2] = {{-0.45, -0.15}, {0.45, -0.15}, {0, 0.45}};
  for (const auto& p : pins) {
    circle(cr, cx + p[0] * r, cy + p[1] * r, r * 0.16);
    set(cr, {0.75, 0.66, 0.30});
    cairo_fill(cr);
  }
}

// A male XLR output: metal ring around three pins.
void xlr_male(cairo_t* cr, double cx, double cy, double r) {
  circle(cr, cx, cy, r + 3);
  set(cr, {0.60, 0.61, 0.63});
  cairo_fill(cr);
  circle(cr, cx, cy, r);
  set(cr, {0.15, 0.15, 0.16});
  cairo_fill(cr);
  circle(cr, cx, cy, r * 0.78);
  set(cr, {0.04, 0.04, 0.05});
  cairo_fill(cr);
  const double pins[3][2] = {{-0.4, -0.15}, {0.4, -0.15}, {0, 0.4}};
  for (const auto& p : pins) {
    circle(cr, cx + p[0] * r, cy + p[1] * r, r * 0.11);
    set(cr, {0.88, 0.78, 0.40});
    cairo_fill(cr);
  }
}

// A four-pole speaker connector in its square housing with four screws.
void speaker_socket(cairo_t* cr, double cx, double cy) {
  rounded_rect(cr, cx - 19, cy - 19, 38, 38, 4);
  set(cr, {0.04, 0.04, 0.05});
  cairo_fill(cr);
  for (int i = 0; i < 4; ++i) {
    const double sx = cx + (i % 2 ? 14 : -14), sy = cy + (i / 2 ? 14 : -14);
    circle(cr, sx, sy, 2);
    set(cr, {0.55, 0.56, 0.58});
    cairo_fill(cr);
  }
  circle(cr, cx, cy, 13.5);
  set(cr, {0.62, 0.63, 0.66});
  cairo_fill(cr);
  circle(cr, cx, cy, 11);
  set(cr, {0.02, 0.02, 0.02});
  cairo_fill(cr);
  // Keyed insert with the contact slots.
  circle(cr, cx, cy, 6.5);
  set(cr, {0.16, 0.16, 0.17});
  cairo_fill(cr);
  for (int k = 0; k < 4; ++k) {
    const double a = k * kPi / 2 + kPi / 4;
    cairo_save(cr);
    cairo_translate(cr, cx + 8.6 * std::cos(a), cy + 8.6 * std::sin(a));
    cairo_rotate(cr, a + kPi / 2);
    cairo_rectangle(cr, -2.4, -0.9, 4.8, 1.8);
    set(cr, {0.70, 0.62, 0.30});
    cairo_fill(cr);
    cairo_restore(cr);
  }
  rounded_rect(cr, cx - 2.5, cy - 13.5, 5, 4, 1);  // latch
  set(cr, {0.85, 0.86, 0.88});
  cairo_fill(cr);
}

// A fan behind a wire guard.
void fan(cairo_t* cr, double cx, double cy, double r) {
  circle(cr, cx, cy, r);
  set(cr, {0.02, 0.02, 0.02});
  cairo_fill(cr);
  for (int b = 0; b < 7; ++b) {  // blades
    const double a = b * 2 * kPi / 7;
    cairo_move_to(cr, cx + 0.3 * r * std::cos(a), cy + 0.3 * r * std::sin(a));
    cairo_curve_to(cr, cx + 0.7 * r * std::cos(a + 0.2), cy + 0.7 * r * std::sin(a + 0.2),
                   cx + 0.9 * r * std::cos(a + 0.5), cy + 0.9 * r * std::sin(a + 0.5),
                   cx + 0.92 * r * std::cos(a + 0.7), cy + 0.92 * r * std::sin(a + 0.7));
    cairo_line_to(cr, cx + 0.3 * r * std::cos(a + 0.6), cy + 0.3 * r * std::sin(a + 0.6));
    cairo_close_path(cr);
    set(cr, {0.13, 0.13, 0.14});
    cairo_fill(cr);
  }
  circle(cr, cx, cy, 0.3 * r);
  set(cr, {0.09, 0.09, 0.10});
  cairo_fill(cr);
  set(cr, {0.70, 0.71, 0.74});
  cairo_set_line_width(cr, 1.1);
  for (double rr = r * 0.25; rr <= r; rr += r * 0.25) {
    circle(cr, cx, cy, rr);
    cairo_stroke(cr);
  }
  for (int s = 0; s < 4; ++s) {
    const double a = s * kPi / 2 + kPi / 4;
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    cairo_stroke(cr);
  }
}

void label(cairo_t* cr, const char* s, double x, double y, double size, bool bold = true) {
  text(cr, s, x, y, size, bold, {0.90, 0.91, 0.93}, 1, true);
}

// The rear panel. The outputs A..D stand at x = 394, 454, 514, 574: the
// centres of the four cells in which the selection summary prints the
// loudspeaker models below the picture (a 600-pixel table: 360 pixels
// empty, then cells of 60 pixels and of the remaining width, 2 pixels of
// cell spacing, as browsers lay it out).
void draw_mv517_rear(cairo_t* cr, double w, double h) {
  // Powder-coated steel.
  cairo_rectangle(cr, 0, 0, w, h);
  vertical_gradient(cr, 0, h, {0.19, 0.19, 0.20}, {0.12, 0.12, 0.13});
  cairo_fill(cr);
  lcg rng{99};
  for (int i = 0; i < 9000; ++i) {
    const double x = rng.next() * w, y = rng.next() * h;
    set(cr, rng.next() < 0.5 ? rgb{1, 1, 1} : rgb{0, 0, 0}, 0.05);
    cairo_rectangle(cr, x, y, 1, 1);
    cairo_fill(cr);
  }
  // Chassis edges and corner screws.
  cairo_rectangle(cr, 0, 0, w, 4);
  set(cr, {0.08, 0.08, 0.09});
  cairo_fill(cr);
  cairo_rectangle(cr, 0, h - 4, w, 4);
  cairo_fill(cr);
  for (double sx : {8.0, w - 8}) {
    screw(cr, sx, 12, 3.2);
    screw(cr, sx, h - 12, 3.2);
  }

  // Mains: inlet with fuse drawer.
  label(cr, "MAINS", 50, 20, 8);
  rounded_rect(cr, 24, 34, 52, 40, 3);
  set(cr, {0.03, 0.03, 0.03});
  cairo_fill(cr);
  cairo_move_to(cr, 31, 42);
  cairo_line_to(cr, 69, 42);
  cairo_line_to(cr, 69, 60);
  cairo_line_to(cr, 62, 67);
  cairo_line_to(cr, 38, 67);
  cairo_line_to(cr, 31, 60);
  cairo_close_path(cr);
  set(cr, {0.20, 0.20, 0.21});
  cairo_fill(cr);
  for (double px : {40.0, 50.0, 60.0}) {
    cairo_rectangle(cr, px - 1.5, px == 50.0 ? 46 : 52, 3, 8);
    set(cr, {0.72, 0.73, 0.75});
    cairo_fill(cr);
  }
  rounded_rect(cr, 30, 80, 40, 12, 2);
  set(cr, {0.05, 0.05, 0.05});
  cairo_fill(cr);
  label(cr, "FUSE T6.3A", 50, 105, 6, false);
  label(cr, "100-240V~ 50/60Hz", 50, 116, 6, false);
  label(cr, "1200 W", 50, 127, 6, false);

  // Fans.
  fan(cr, 128, 66, 32);
  fan(cr, 202, 66, 32);
  label(cr, "AIR OUTLET - DO NOT COVER", 165, 118, 6.5);

  // Inputs: female XLR in, male XLR link, remote port.
  label(cr, "INPUTS", 281, 20, 8);
  label(cr, "1 / d1", 262, 40, 6.5);
  label(cr, "2 / d2", 300, 40, 6.5);
  xlr_female(cr, 262, 60, 11);
  xlr_female(cr, 300, 60, 11);
  label(cr, "LINK", 281, 89, 6.5);
  xlr_male(cr, 262, 108, 11);
  xlr_male(cr, 300, 108, 11);
  label(cr, "ANALOG / AES-EBU", 281, 137, 6, false);
  label(cr, "REMOTE", 338, 40, 6.5);
  cairo_move_to(cr, 327, 52);
  cairo_line_to(cr, 349, 52);
  cairo_line_to(cr, 346, 64);
  cairo_line_to(cr, 330, 64);
  cairo_close_path(cr);
  set(cr, {0.62, 0.63, 0.66});
  cairo_fill(cr);
  for (int p = 0; p < 5; ++p) {
    circle(cr, 331 + p * 3.5, 56, 0.9);
    set(cr, {0.05, 0.05, 0.05});
    cairo_fill(cr);
  }
  for (int p = 0; p < 4; ++p) {
    circle(cr, 333 + p * 3.5, 60, 0.9);
    cairo_fill(cr);
  }

  // Outputs A..D.
  cairo_rectangle(cr, 362, 12, 236, 1);
  set(cr, {0.90, 0.91, 0.93}, 0.6);
  cairo_fill(cr);
  label(cr, "OUTPUTS", 484, 27, 8);
  const double xs[4] = {394, 454, 514, 574};
  const char* names[4] = {"A", "B", "C", "D"};
  for (int i = 0; i < 4; ++i) {
    label(cr, names[i], xs[i], 46, 11);
    speaker_socket(cr, xs[i], 75);
    label(cr, "1+ 1-", xs[i], 106, 6, false);
  }
  // Warning strip.
  rounded_rect(cr, 366, 116, 228, 20, 2);
  set(cr, {0.85, 0.86, 0.88});
  cairo_fill(cr);
  cairo_move_to(cr, 376, 132);
  cairo_line_to(cr, 384, 119);
  cairo_line_to(cr, 392, 132);
  cairo_close_path(cr);
  set(cr, {0.95, 0.75, 0.10});
  cairo_fill(cr);
  text(cr, "!", 382.5, 130.5, 9, true, {0, 0, 0});
  text(cr, "HAZARDOUS LIVE - 2 OHM MIN. PER CHANNEL", 490, 129.5, 6.8, true, {0.08, 0.08, 0.09}, 1,
       true);
}

// ---- The wizard icon -----------------------------------------------------------

// A star with five points.
void star(cairo_t* cr, double cx, double cy, double r) {
  for (int i = 0; i < 10; ++i) {
    const double a = -kPi / 2 + i * kPi / 5;
    const double rr = i % 2 ? r * 0.42 : r;
    if (i == 0)
      cairo_move_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    else
      cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
  }
  cairo_close_path(cr);
}

// The wizard: a loudspeaker and a magic wand with sparks.
void draw_wizard_icon(cairo_t* cr, double size, double) {
  rounded_rect(cr, 3, 4, size - 6, size - 6, 14);
  set(cr, {0, 0, 0}, 0.35);
  cairo_fill(cr);
  rounded_rect(cr, 2, 2, size - 6, size - 6, 14);
  vertical_gradient(cr, 2, size - 4, {0.16, 0.27, 0.45}, {0.05, 0.09, 0.18});
  cairo_fill_preserve(cr);
  set(cr, {0.40, 0.52, 0.72});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  cabinet(cr, 12, 12, 34, 56, 3);
  horn(cr, 16, 15, 26, 10);
  driver(cr, 29, 46, 13);

  // Wand from lower right to upper middle.
  cairo_save(cr);
  cairo_translate(cr, 64, 62);
  cairo_rotate(cr, -2.2);
  rounded_rect(cr, 0, -2.6, 40, 5.2, 2.6);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, -2.6, 0, 2.6);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.30, 0.30, 0.32);
  cairo_pattern_add_color_stop_rgb(p, 0.5, 0.05, 0.05, 0.06);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.0, 0.0, 0.0);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  rounded_rect(cr, 31, -2.8, 9, 5.6, 2.6);
  set(cr, {0.97, 0.97, 0.97});
  cairo_fill(cr);
  cairo_restore(cr);
  // Tip at (64 + 40 cos(-2.2), 62 + 40 sin(-2.2)).
  const double tx = 64 + 40 * std::cos(-2.2), ty = 62 + 40 * std::sin(-2.2);
  cairo_pattern_t* g = cairo_pattern_create_radial(tx, ty, 0, tx, ty, 14);
  cairo_pattern_add_color_stop_rgba(g, 0, 1.0, 0.86, 0.35, 0.8);
  cairo_pattern_add_color_stop_rgba(g, 1, 1.0, 0.86, 0.35, 0);
  cairo_set_source(cr, g);
  circle(cr, tx, ty, 14);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  star(cr, tx, ty, 8);
  set(cr, {1.0, 0.88, 0.30});
  cairo_fill_preserve(cr);
  set(cr, {0.75, 0.50, 0.05});
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  star(cr, 64, 14, 4);
  set(cr, {1.0, 0.93, 0.55});
  cairo_fill(cr);
  star(cr, 69, 36, 3);
  cairo_fill(cr);
}

// ---- Output ---------------------------------------------------------------------

using draw_fn = void (*)(cairo_t*, double, double);

bool write_png(const std::string& path, int width, int height, draw_fn draw) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(s);
  draw(cr, width, height);
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return ok;
}

// The icon as drawn for 80 pixels, scaled to `size`.
void draw_icon_scaled(cairo_t* cr, double size, double) {
  cairo_scale(cr, size / 80.0, size / 80.0);
  draw_icon(cr, 80);
}

void draw_icon_2(cairo_t* cr, double size, double) {
  draw_icon(cr, size);
}
void draw_banner_2(cairo_t* cr, double size, double) {
  draw_banner(cr, size);
}

// Runs a program with its arguments (no shell) and waits for it.
bool run(const char* const argv[]) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    execvp(argv[0], const_cast<char* const*>(argv));
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The rear panel as a baseline JPEG: drawn to a PNG, converted, PNG removed.
bool write_rear_jpeg(const std::string& path) {
  const std::string png = path + ".png";
  if (!write_png(png, 600, 150, draw_mv517_rear)) return false;
  const char* const argv[] = {"convert",    png.c_str(), "-strip",     "-quality", "92",
                              "-interlace", "none",      path.c_str(), nullptr};
  const bool ok = run(argv);
  std::remove(png.c_str());
  if (!ok) std::fprintf(stderr, "cannot convert to %s (is ImageMagick installed?)\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  const struct {
    const char* name;
    int width, height;
    draw_fn draw;
  } pictures[] = {
      {"icon.png", 80, 80, draw_icon_2},
      {"banner.png", 510, 510, draw_banner_2},
      {"wizard_icon.png", 80, 80, draw_wizard_icon},
      {"mv517_front.png", 620, 185, draw_mv517_front},
      {"mode_sat.png", 75, 140, draw_mode_sat},
      {"mode_fullrange.png", 90, 120, draw_mode_fullrange},
      {"mode_bassarray.png", 140, 80, draw_mode_bassarray},
      {"mode_monitor.png", 140, 90, draw_mode_monitor},
  };
  for (const auto& p : pictures)
    if (!write_png(dir + "/" + p.name, p.width, p.height, p.draw)) return 1;
  // The application icon for the desktop's menus, at the sizes of the
  // hicolor theme, into packaging/icons.
  if (argc > 2)
    for (int size : {16, 32, 48, 64, 128, 256})
      if (!write_png(std::string(argv[2]) + "/" + std::to_string(size) + ".png", size, size,
                     draw_icon_scaled))
        return 1;
  return write_rear_jpeg(dir + "/../MV517_rear.jpg") ? 0 : 1;
}
