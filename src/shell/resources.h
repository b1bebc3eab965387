// The pictures compiled into the application: the icon, the banner and the
// pictures of the preset wizard.
#pragma once

#include <gtk/gtk.h>

// Resource paths of the pictures.
extern const char* const ICON_RESOURCE;    // 80 x 80
extern const char* const BANNER_RESOURCE;  // 510 x 510

// The 510 x 510 banner of the main window (a new reference).
GdkPixbuf* app_banner();

// Pictures of the preset wizard.
extern const char* const WIZARD_ICON_RESOURCE;     // 80 x 80
extern const char* const MV517_FRONT_RESOURCE;     // 620 x 185
extern const char* const MODE_SAT_RESOURCE;        // 75 x 140
extern const char* const MODE_FULLRANGE_RESOURCE;  // 90 x 120
extern const char* const MODE_BASSARRAY_RESOURCE;  // 140 x 80
extern const char* const MODE_MONITOR_RESOURCE;    // 140 x 90
extern const char* const MV517_REAR_RESOURCE;      // 600 x 150 JPEG

// A compiled-in picture (a new reference; nullptr only when the toolkit's
// image loaders are broken).
GdkPixbuf* load_picture(const char* resource);
// The bytes of a compiled-in file (a new reference), or nullptr.
GBytes* picture_bytes(const char* resource);
