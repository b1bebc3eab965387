#include "files/crc.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/text_input.h"

FILE* fpoint = nullptr;

namespace {
// Bytes crc_get_char has read from the open file: a file that grows while it
// is read ends at the size limit all the same.
size_t fpoint_bytes = 0;
}  // namespace

const size_t PRESET_FILE_MAX_BYTES = TEXT_INPUT_MAX_BYTES;

FILE* open_regular_file(const char* f_name, std::string* reason) {
  const auto refuse = [reason](int fd, int err, const std::string& why) -> FILE* {
    if (fd >= 0) ::close(fd);
    if (reason) *reason = why;
    errno = err;
    return nullptr;
  };
  // Without O_NONBLOCK, opening a FIFO waits for a writer.
  const int fd = ::open(f_name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return refuse(-1, errno, std::strerror(errno));
  struct stat st {};
  if (fstat(fd, &st) != 0) return refuse(fd, errno, std::strerror(errno));
  // A folder opens, but reads as nothing: it is no file to read.
  if (S_ISDIR(st.st_mode)) return refuse(fd, EISDIR, std::strerror(EISDIR));
  // A device (/dev/zero) or a pipe may never end.
  if (!S_ISREG(st.st_mode)) return refuse(fd, ENODEV, "not a regular file");
  if (static_cast<unsigned long long>(st.st_size) > PRESET_FILE_MAX_BYTES)
    return refuse(fd, EFBIG, "larger than " + byte_limit_text(PRESET_FILE_MAX_BYTES));
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* f = fdopen(fd, "rb");
  if (!f) return refuse(fd, errno, std::strerror(errno));
  return f;
}
uint8_t crc_file_error = 0;

uint16_t crc16_update(uint16_t crc, uint8_t byte) {
  crc ^= byte;
  for (int i = 0; i < 8; ++i) {
    if (crc & 1) {
      crc = static_cast<uint16_t>((crc >> 1) ^ 0xA001);
    } else {
      crc = static_cast<uint16_t>(crc >> 1);
    }
  }
  return crc;
}

uint16_t crc16_string(uint16_t crc_start, const char* crc_data_p) {
  uint16_t crc = crc_start;
  for (const char* p = crc_data_p; *p != '\0'; ++p) {
    crc = crc16_update(crc, static_cast<uint8_t>(*p));
  }
  return crc;
}

namespace {

bool open_fpoint(const char* f_name, bool* opened) {
  fpoint = open_regular_file(f_name);
  fpoint_bytes = 0;
  crc_file_error = fpoint ? 0 : 1;
  if (opened) *opened = fpoint != nullptr;
  return fpoint != nullptr;
}

void close_fpoint() {
  if (fpoint) std::fclose(fpoint);
  fpoint = nullptr;
}

}  // namespace

int crc_get_char(uint8_t* c) {
  if (!fpoint || fpoint_bytes > PRESET_FILE_MAX_BYTES) return 0;
  ++fpoint_bytes;
  const int ch = std::fgetc(fpoint);
  if (ch == EOF) return 0;
  *c = static_cast<uint8_t>(ch);
  return 1;
}

uint16_t crc16_file(const char* f_name, bool* opened) {
  if (!open_fpoint(f_name, opened)) return 0;
  uint16_t crc = 0xFFFF;
  uint8_t c;
  while (crc_get_char(&c)) crc = crc16_update(crc, c);
  close_fpoint();
  return crc;
}

uint16_t crc_seek(const char* f_name, bool* opened) {
  if (!open_fpoint(f_name, opened)) return 0;

  char text[64];
  char tag[64];
  std::memset(text, 0, sizeof text);
  std::memset(tag, 0, sizeof tag);
  bool in_tag = false;
  int index = 0;
  bool in_checksum = false;
  // The scan stops at the first problem the reader would also stop at: 6
  // for '>' in text or '<' in a tag, 4 for a run of more than 63
  // characters. The code itself is dropped: the prediction is then made from
  // the checksum text collected before the stop (usually none), which a
  // damaged file's CRC does not match, so the caller sees a mismatch.
  int scan_error = 0;
  int previous = -1;

  uint8_t raw;
  while (scan_error == 0 && crc_get_char(&raw)) {
    const int before = previous;
    previous = raw;
    if (raw == '\n' && before == '\r') continue;
    const uint8_t c = raw == '\r' ? '\n' : raw;

    if (!in_tag) {
      if (c == '>') {
        scan_error = 6;
      } else if (c == '<') {
        if (in_checksum) text[index] = '\0';
        in_tag = true;
        index = 0;
      } else if (index > 62) {
        scan_error = 4;
      } else {
        if (in_checksum) text[index] = static_cast<char>(c);
        ++index;
      }
    } else {
      if (c == '<') {
        scan_error = 6;
      } else if (c == '>') {
        tag[index] = '\0';
        const bool closing = tag[0] == '/';
        if (std::strcmp(closing ? tag + 1 : tag, "!--") == 0) in_checksum = !closing;
        in_tag = false;
        index = 0;
      } else if (index > 62) {
        scan_error = 4;
      } else {
        tag[index++] = static_cast<char>(c);
      }
    }
  }
  close_fpoint();

  // A scan that stops inside the checksum text keeps what it collected.
  if (in_checksum && !in_tag) text[index] = '\0';
  text[63] = '\0';
  const std::string line = std::string("<!-->") + text + "</!-->\n";
  const auto stored = static_cast<uint16_t>(std::strtol(text, nullptr, 16) & 0xFFFF);
  return crc16_string(stored, line.c_str());
}
