// Rendering into an image surface and reading pixels back.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <ostream>

// A colour read back, unpremultiplied, 0..255 per channel.
struct Pixel {
  int r, g, b, a;
};
inline std::ostream& operator<<(std::ostream& os, Pixel p) {
  return os << "rgba(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

inline bool near(Pixel p, int r, int g, int b, int a = 255, int tol = 2) {
  return std::abs(p.r - r) <= tol && std::abs(p.g - g) <= tol && std::abs(p.b - b) <= tol &&
         std::abs(p.a - a) <= tol;
}

inline int to255(double c) {
  return static_cast<int>(c * 255 + 0.5);
}

// A transparent ARGB32 surface of the picture's size with its context.
class Canvas {
 public:
  Canvas(int width, int height)
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
        cr_(cairo_create(surface_)) {}
  ~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  Canvas(const Canvas&) = delete;
  cairo_t* cr() { return cr_; }
  cairo_status_t status() const { return cairo_status(cr_); }

  Pixel at(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    const uint32_t v = reinterpret_cast<const uint32_t*>(row)[x];
    const int a = v >> 24;
    const auto un = [a](int c) { return a == 0 ? 0 : (c * 255 + a / 2) / a; };
    return {un((v >> 16) & 0xFF), un((v >> 8) & 0xFF), un(v & 0xFF), a};
  }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// The picture `draw` makes of `view` on a transparent canvas of w x h.
template <class View>
std::unique_ptr<Canvas> render(void (*draw)(cairo_t*, const View&), const View& view, int w,
                               int h) {
  auto c = std::make_unique<Canvas>(w, h);
  draw(c->cr(), view);
  return c;
}
