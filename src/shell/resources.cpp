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
const char* const WIZARD_ICON_RESOURCE = "/org/qbn/preset-editor/wizard_icon.png";
const char* const MV517_FRONT_RESOURCE = "/org/qbn/preset-editor/mv517_front.png";
const char* const MODE_SAT_RESOURCE = "/org/qbn/preset-editor/mode_sat.png";
const char* const MODE_FULLRANGE_RESOURCE = "/org/qbn/preset-editor/mode_fullrange.png";
const char* const MODE_BASSARRAY_RESOURCE = "/org/qbn/preset-editor/mode_bassarray.png";
const char* const MODE_MONITOR_RESOURCE = "/org/qbn/preset-editor/mode_monitor.png";
const char* const MV517_REAR_RESOURCE = "/org/qbn/preset-editor/MV517_rear.jpg";

namespace {

void register_pictures() {
  static bool registered = false;
  if (!registered) {
    qbn_pictures_register_resource();
    registered = true;
  }
}

}  // namespace

GBytes* picture_bytes(const char* path) {
  register_pictures();
  return g_resources_lookup_data(path, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
}

GdkPixbuf* load_picture(const char* path) {
  register_pictures();
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

GdkPixbuf* app_icon() {
  return load_picture(ICON_RESOURCE);
}

GdkPixbuf* app_banner() {
  return load_picture(BANNER_RESOURCE);
}
