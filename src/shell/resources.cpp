// Loads the pictures that the build compiled in (data/pictures).
#include "shell/resources.h"

#include <gio/gio.h>

#include "shell/app.h"

extern "C" {
GResource* qbn_pictures_get_resource(void);
void qbn_pictures_register_resource(void);
}

const char* const ICON_RESOURCE = "/org/qbn/preset-editor/icon.png";
const char* const BANNER_RESOURCE = "/org/qbn/preset-editor/banner.png";

namespace {

GdkPixbuf* load_picture(const char* path) {
  static bool registered = false;
  if (!registered) {
    qbn_pictures_register_resource();
    registered = true;
  }
  GError* error = nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_resource(path, &error);
  if (!pixbuf) {
    // Compiled-in data cannot be missing; a failing image loader can only
    // come from a broken installation of the toolkit.
    g_warning("cannot load picture %s: %s", path, error ? error->message : "unknown error");
    g_clear_error(&error);
  }
  return pixbuf;
}

}  // namespace

GdkPixbuf* app_icon() {
  return load_picture(ICON_RESOURCE);
}

GdkPixbuf* app_banner() {
  return load_picture(BANNER_RESOURCE);
}
