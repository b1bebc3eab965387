// The open document: which file the open preset belongs to, the device it
// is for, whether it was ever saved and whether the wizard made it. One
// record instead of facts spread over several globals; it keeps those
// globals (`filename`, `savename`, `new_preset`, `mv_selector`, `generated`)
// in step, so code that reads them still sees the same facts.
//
// What the editor remembers of a file beyond the preset (the measurements
// of its channels, stereo links) is keyed by the document's path and
// follows it to a new name on Save As through the hooks below.
#pragma once

#include <functional>
#include <string>

struct open_document_t {
  std::string path;        // the file Save writes; empty while the preset has none
  int device = 4;          // MV517 (4) or MV961 (2)
  bool is_new = true;      // never saved to a file nor opened from one
  bool generated = false;  // the wizard made it
};

const open_document_t& open_document();

// New (an empty preset of `device`) and the wizard's Apply (`generated`).
void document_started(int device, bool generated);
// Open read `path`, a file of `device`.
void document_opened(const std::string& path, int device);
// The preset was written to `path` (Save or Save As). When the path changed,
// every hook runs with the old path (empty for a new preset) and the new.
void document_saved(const std::string& path);

using document_path_hook = std::function<void(const std::string& from, const std::string& to)>;
void on_document_saved_as(document_path_hook hook);
