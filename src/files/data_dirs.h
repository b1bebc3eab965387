// Where the program's data files ("wizards.xml", "MV517_rear.jpg") are
// found: the working directory first, then the installed data folder beside
// the executable (../share/qbn-preset-editor), then the build tree's data
// folder (data/ beside the executable). Both are found from the
// executable's own place, so an installed copy moved to another prefix
// still finds its data and no build path is kept in a binary.
#pragma once

#include <string>
#include <vector>

// The data folders after the working directory, in lookup order.
std::vector<std::string> data_dirs();

struct data_lookup_t {
  std::string path;                // the file to use; empty when none exists
  std::vector<std::string> tried;  // the places looked at, in order
};
// Looks for `name` in the working directory, then in each of `dirs`. A
// folder of that name is no file; a file that cannot be read is still the
// one found, so the user hears why it cannot be read.
data_lookup_t find_data_file(const std::string& name, const std::vector<std::string>& dirs);
