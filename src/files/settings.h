// What the editor remembers beyond preset files, in one GLib key file in the
// user's configuration folder ($XDG_CONFIG_HOME/qbn-preset-editor/
// settings.ini): per preset file (its absolute path), the measurement file
// of each channel and the stereo-linked channel pairs. The device format
// cannot hold these, so they live here. The file is written atomically; a
// damaged or unreadable one is ignored (nothing is remembered from it) and
// the problem is kept for one status-bar line, never a dialog.
#pragma once

#include <string>

struct file_settings_t {
  std::string measurement[4];  // a channel's measurement file (absolute), empty for none
  unsigned links = 0;          // linked pairs: bit 0 A+B, bit 1 C+D

  bool empty() const {
    for (const std::string& m : measurement)
      if (!m.empty()) return false;
    return links == 0;
  }
};

// The key file's path.
std::string settings_file_path();

// What is remembered for the preset file `path`; nothing for an empty path.
file_settings_t settings_of_file(const std::string& path);

// Remembers `s` for the preset file `path` (nothing for an empty path; an
// empty `s` forgets the file). Returns false when the key file cannot be
// written; settings_problem() says why.
bool remember_settings_of_file(const std::string& path, const file_settings_t& s);

// Why the key file could not be read or written the last time (empty when
// it could), e.g. "settings.ini is damaged (line 3 ...): ignored".
std::string settings_problem();
