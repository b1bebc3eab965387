// Reading a preset file for the user, as Open and every `qpx` command do:
// open it (a folder is no file), check its checksum, read it, and say what
// came of it. A read is whole only when the reader reached </PRESET>.
#pragma once

#include <cstdint>
#include <string>

#include "model/preset.h"

enum class read_outcome {
  whole,        // the preset was read to its end
  stopped,      // reading stopped at a problem (code 1-6, 16-19)
  incomplete,   // read without a problem, but </PRESET> was never reached
  checksum,     // the checksum line does not match: nothing was read
  cannot_open,  // the file cannot be opened: nothing was read
};

struct preset_file_read_t {
  read_outcome outcome = read_outcome::cannot_open;
  uint8_t code = 0;    // 0, the code reading stopped at, 7 or 8
  std::string reason;  // cannot_open: the system's reason
  preset_t preset{};   // the default preset plus what was read
  int device = MV517;  // the device the file names; MV517 when it names none

  bool whole() const { return outcome == read_outcome::whole; }
  // Something was read (whole, stopped or incomplete): the preset can be
  // shown, with a warning unless whole.
  bool readable() const {
    return outcome != read_outcome::checksum && outcome != read_outcome::cannot_open;
  }
  // What went wrong, for messages: "checksum mismatch", "cannot open
  // (reason)", "reading stopped early (code N: meaning)", "holds no
  // complete preset"; empty when whole.
  std::string problem() const;
};

// "code N: meaning" of a file-module result code.
std::string code_text(uint8_t code);

// Reads `path`; `use_checksum` false reads a file whose checksum fails.
// Only a regular file of at most 16 MiB is read (open_regular_file): a
// FIFO, a device or a folder cannot be opened, and nothing waits or spins.
// Leaves `mv_selector` as it was: the device is in the result.
preset_file_read_t read_preset_file(const std::string& path, bool use_checksum = true);
