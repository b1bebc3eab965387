// The pictures compiled into the application (icon and banner).
#pragma once

#include <gtk/gtk.h>

// Resource paths of the pictures.
extern const char* const ICON_RESOURCE;    // 80 x 80
extern const char* const BANNER_RESOURCE;  // 510 x 510

// The 510 x 510 banner of the main window (a new reference).
GdkPixbuf* app_banner();
