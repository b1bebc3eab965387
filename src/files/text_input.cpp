#include "files/text_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Opens `path` for reading without blocking (a FIFO without a writer would
// otherwise wait for one) and checks that it is a regular file of at most
// `max_bytes`. Returns the descriptor, or -1 with `reason` set.
int open_regular(const std::string& path, size_t max_bytes, std::string& reason) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    reason = std::strerror(errno);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = "not a regular file";
    ::close(fd);
    return -1;
  }
  if (static_cast<unsigned long long>(st.st_size) > max_bytes) {
    reason = "larger than " + byte_limit_text(max_bytes);
    ::close(fd);
    return -1;
  }
  // Reads of a regular file never block; the flag only mattered for open.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

std::string byte_limit_text(size_t bytes) {
  if (bytes >= (size_t{1} << 20) && bytes % (size_t{1} << 20) == 0)
    return std::to_string(bytes >> 20) + " MiB";
  if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

text_input_t read_text_descriptor(int fd, size_t max_bytes) {
  text_input_t r;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      r.reason = std::strerror(errno);
      r.text.clear();
      return r;
    }
    if (r.text.size() + static_cast<size_t>(n) > max_bytes) {
      r.reason = "larger than " + byte_limit_text(max_bytes);
      r.text.clear();
      r.text.shrink_to_fit();
      return r;
    }
    r.text.append(buf, static_cast<size_t>(n));
  }
  r.ok = true;
  return r;
}

text_input_t read_text_file(const std::string& path, size_t max_bytes) {
  text_input_t r;
  const int fd = open_regular(path, max_bytes, r.reason);
  if (fd < 0) return r;
  r = read_text_descriptor(fd, max_bytes);
  ::close(fd);
  return r;
}

int open_input_descriptor(const std::string& path, bool& regular, std::string& reason) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    reason = std::strerror(S_ISDIR(st.st_mode) ? EISDIR : errno);
    ::close(fd);
    return -1;
  }
  regular = S_ISREG(st.st_mode);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

text_input_t read_text_stream_or_file(const std::string& path, size_t max_bytes) {
  text_input_t r;
  bool regular = false;
  const int fd = open_input_descriptor(path, regular, r.reason);
  if (fd < 0) return r;
  struct stat st {};
  if (regular && fstat(fd, &st) == 0 && static_cast<unsigned long long>(st.st_size) > max_bytes) {
    r.reason = "larger than " + byte_limit_text(max_bytes);
  } else {
    r = read_text_descriptor(fd, max_bytes);
  }
  ::close(fd);
  return r;
}

bool readable_regular_file(const std::string& path, size_t max_bytes, std::string& reason) {
  const int fd = open_regular(path, max_bytes, reason);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string file_name_of(const std::string& path) {
  const size_t end = path.find_last_not_of('/');
  if (end == std::string::npos) return path.empty() ? "" : "/";
  const size_t slash = path.rfind('/', end);
  return path.substr(slash == std::string::npos ? 0 : slash + 1,
                     end - (slash == std::string::npos ? 0 : slash + 1) + 1);
}
