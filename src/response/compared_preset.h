// Another preset for comparison in the open editor: "Compare with file..."
// in the plots' menus reads a second preset file as Open reads it (with its
// refusals and warnings; nothing of the open preset changes), and every
// plot draws that preset's same channel dashed in COMPARE_CURVE_RGB with
// the file's name in the legend (plot_content.h); "Stop comparing" removes
// it. A new editor compares nothing.
#pragma once

#include <string>

#include "response/plot_content.h"

// The preset compared, for the plots (no preset: nothing is compared).
plot_compare_t compared_preset();

// Reads the preset file `path` and compares it; a refused file is reported
// and nothing changes (what was compared before stays). Returns whether it
// is compared now.
bool compare_with_file(const std::string& path);
// "Compare with file...": a file chooser for preset files, then
// compare_with_file.
void choose_compare_file();
// "Stop comparing": no preset is compared any more.
void stop_comparing();

// A new editor: nothing compared.
void forget_compared_preset();
