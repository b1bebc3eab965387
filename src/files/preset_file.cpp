#include "files/preset_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "files/crc.h"
#include "files/xml.h"

std::string code_text(uint8_t code) {
  return "code " + std::to_string(code) + ": " + xml_error_text(code);
}

std::string preset_file_read_t::problem() const {
  switch (outcome) {
    case read_outcome::whole:
      return "";
    case read_outcome::stopped:
      return "reading stopped early (" + code_text(code) + ")";
    case read_outcome::incomplete:
      return "holds no complete preset";
    case read_outcome::checksum:
      return "checksum mismatch";
    case read_outcome::cannot_open:
      return "cannot open (" + reason + ")";
  }
  return "";
}

preset_file_read_t read_preset_file(const std::string& path, bool use_checksum) {
  preset_file_read_t r;
  r.preset = preset_def;
  // Opened once first for the reason: the reader only says 8. What is not
  // a regular file of at most 16 MiB is refused here, before the checksum
  // loop could wait on a FIFO or read /dev/zero for ever.
  FILE* f = open_regular_file(path.c_str(), &r.reason);
  if (!f) {
    r.code = XML_ERR_OPEN;
    return r;
  }
  std::fclose(f);

  const int8_t selector_before = mv_selector;
  // The reader sets the selector only from an accepted PRESET tag.
  mv_selector = MV517;
  errno = 0;
  const uint8_t result = xml_read(path.c_str(), &r.preset, use_checksum ? 0 : 1);
  const int read_errno = errno;
  r.device = mv_selector == MV961 ? MV961 : MV517;
  mv_selector = selector_before;

  if (result == XML_ERR_CHECKSUM) {
    r.outcome = read_outcome::checksum;
    r.code = result;
  } else if (result == XML_ERR_OPEN) {
    // The file went away (or lost its permissions) since it was opened.
    r.outcome = read_outcome::cannot_open;
    r.code = result;
    r.reason = read_errno ? std::strerror(read_errno) : "the file could not be read";
  } else if (xml_error != XML_OK) {
    r.outcome = read_outcome::stopped;
    r.code = xml_error;
  } else if (!xml_preset_done) {
    r.outcome = read_outcome::incomplete;
  } else {
    r.outcome = read_outcome::whole;
  }
  return r;
}
