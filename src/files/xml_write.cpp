// Preset file writer: fixed layout, every byte through Fwrite_crc so the
// CRC is known when the last element is written.
//
// The file is built in a temporary file beside the target and renamed over
// it only once complete and verified, so a failed save never destroys the
// file the user had.
#include <dirent.h>
#include <fcntl.h>
#include <libgen.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "files/crc.h"
#include "files/xml.h"

namespace {

void note_errno(uint8_t code) {
  if (xml_error == 0 || xml_error == XML_ERR_SHORT_WRITE) xml_error = code;
  if (xml_errno == 0) xml_errno = errno;
}

}  // namespace

void Fwrite_crc(const char* s) {
  const size_t len = std::strlen(s);
  if (!fp) {
    // Nothing is ever written to a file that is not open.
    if (xml_error == 0) xml_error = XML_ERR_SHORT_WRITE;
    return;
  }
  if (std::fwrite(s, 1, len, fp) != len) note_errno(XML_ERR_SHORT_WRITE);
  crc_word = crc16_string(crc_word, s);
}

void Fwrite_P_crc(const char* s) {
  char buffer[64];
  const size_t len = std::strlen(s);
  for (size_t done = 0; done < len;) {
    size_t n = len - done;
    if (n > sizeof buffer - 1) n = sizeof buffer - 1;
    std::memcpy(buffer, s + done, n);
    buffer[n] = '\0';
    Fwrite_crc(buffer);
    done += n;
  }
}

void xml_write_indent() {
  for (int i = 0; i < xml_indent; ++i) Fwrite_P_crc("\t");
}

void xml_write_tag(const char* tag_text, const char* attributes, bool content) {
  const bool end_tag = attributes == nullptr;
  if (end_tag) --xml_indent;
  if (!end_tag || content) xml_write_indent();
  if (!end_tag) ++xml_indent;
  Fwrite_P_crc("<");
  if (end_tag) Fwrite_P_crc("/");
  Fwrite_P_crc(tag_text);
  if (!end_tag && attributes[0] != '\0') {
    Fwrite_P_crc(" ");
    Fwrite_crc(attributes);
  }
  Fwrite_P_crc(">");
  if (end_tag || content) Fwrite_P_crc("\n");
}

void format_fixed(int32_t value, int8_t decimals, char* out, size_t out_size) {
  const long long v = value;
  const bool negative = v < 0;
  const unsigned long long magnitude =
      negative ? static_cast<unsigned long long>(-v) : static_cast<unsigned long long>(v);
  if (decimals > 0) {
    unsigned long long scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    std::snprintf(out, out_size, "%s%llu.%0*llu", negative ? "-" : "", magnitude / scale,
                  static_cast<int>(decimals), magnitude % scale);
  } else {
    int n = std::snprintf(out, out_size, "%lld", v);
    for (int i = 0; i < -decimals && n + 1 < static_cast<int>(out_size); ++i) out[n++] = '0';
    if (n < static_cast<int>(out_size)) out[n] = '\0';
  }
}

void xml_put_int(int32_t value, int8_t decimals) {
  char text[48];
  format_fixed(value, decimals, text, sizeof text);
  Fwrite_crc(text);
}

void xml_write_numref(uint16_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "&#x%x;", code);
  Fwrite_crc(text);
}

void xml_put_string(const char* string) {
  char one[2] = {0, 0};
  for (const char* p = string; *p != '\0'; ++p) {
    const auto b = static_cast<uint8_t>(*p);
    if (b == '<') {
      Fwrite_P_crc("&lt;");
    } else if (b == '>') {
      Fwrite_P_crc("&gt;");
    } else if (b == '&') {
      Fwrite_P_crc("&amp;");
    } else if (b < 0x80) {
      one[0] = static_cast<char>(b);
      Fwrite_crc(one);
    } else {
      // Bytes 0x80-0x85 are the arrows, the others their own code point.
      xml_write_numref(static_cast<uint16_t>(code_point_of_byte(b)));
    }
  }
}

namespace {

void simple_int(const char* tag, const char* attributes, int32_t value, int8_t decimals) {
  xml_write_tag(tag, attributes, false);
  xml_put_int(value, decimals);
  xml_write_tag(tag, nullptr, false);
}

void simple_text(const char* tag, const char* text) {
  xml_write_tag(tag, "", false);
  xml_put_string(text);
  xml_write_tag(tag, nullptr, false);
}

}  // namespace

void xml_write_xo(const xo_t* xo, int index) {
  xml_write_tag("XO", index == 0 ? "ID=\"HP\"" : "ID=\"LP\"", true);
  simple_int("FREQ", "ID=\"1\"", xo->freq[0], 0);
  simple_int("Q", "ID=\"1\"", xo->q[0], 1);
  simple_int("FREQ", "ID=\"2\"", xo->freq[1], 0);
  simple_int("Q", "ID=\"2\"", xo->q[1], 1);
  simple_int("TYPE", "", xo->config, 0);
  xml_write_tag("XO", nullptr, true);
}

void xml_write_peq(const peq_t* peq, int band) {
  char attributes[24];
  std::snprintf(attributes, sizeof attributes, "ID=\"%d\"", band + 1);
  xml_write_tag("PEQ", attributes, true);
  simple_int("FREQ", "", peq->freq, 0);
  simple_int("GAIN", "", peq->gain, 1);
  simple_int("Q", "", peq->q, 1);
  simple_int("TYPE", "", peq->type, 0);
  xml_write_tag("PEQ", nullptr, true);
}

void xml_write_limiter(const dynamics_t* dyn) {
  xml_write_tag("LIMITER", "", true);
  simple_int("AT", "", dyn->attack, 0);
  simple_int("RT", "", dyn->release, -1);
  simple_int("THRESHOLD", "", dyn->threshold, 0);
  simple_int("GAIN", "", dyn->boost, 0);
  xml_write_tag("LIMITER", nullptr, true);
}

void xml_write_channel(const preset_t* preset_p, int n) {
  const channel_t& ch = preset_p->channel[n];
  char attributes[24];
  std::snprintf(attributes, sizeof attributes, "ID=\"%d\"", n + 1);
  xml_write_tag("CHANNEL", attributes, true);

  char name[sizeof ch.name + 1];
  std::memcpy(name, ch.name, sizeof ch.name);
  name[sizeof ch.name] = '\0';
  simple_text("NAME", name);
  simple_int("DELAY", "", ch.delay, 2);
  simple_int("GAIN", "", ch.gain, 1);
  simple_int("MUTE", "", (preset_p->mute >> n) & 1, 0);
  simple_int("PHASE", "", ch.phase, 0);
  simple_int("ROUTE", "", ch.routing, 0);
  simple_int("GROUP", "ID=\"GAIN\"", ch.groups & 0x0F, 0);
  simple_int("GROUP", "ID=\"MUTE\"", (ch.groups >> 4) & 0x0F, 0);
  xml_write_xo(&ch.xo[0], 0);
  xml_write_xo(&ch.xo[1], 1);
  for (int b = 0; b < 6; ++b) xml_write_peq(&ch.peq[b], b);
  xml_write_limiter(&ch.dynamics);
  xml_write_tag("CHANNEL", nullptr, true);
}

void xml_write_preset(const preset_t* preset_p, int8_t selector) {
  const bool mv517 = selector == MV517;
  xml_write_tag("PRESET",
                mv517 ? "DEVICE=\"MV517\" VERSION=\"1\"" : "DEVICE=\"MV961\" VERSION=\"1\"", true);
  xml_write_tag("AUTHOR", "", false);
  Fwrite_P_crc(mv517 ? "MV517" : "MV961");
  xml_write_tag("AUTHOR", nullptr, false);

  char name[sizeof preset_p->name + 1];
  std::memcpy(name, preset_p->name, sizeof preset_p->name);
  name[sizeof preset_p->name] = '\0';
  simple_text("NAME", name);
  simple_int("LOCK", "", preset_p->lock, 0);
  const int channels = mv517 ? 4 : 2;
  for (int n = 0; n < channels; ++n) xml_write_channel(preset_p, n);
  xml_write_tag("PRESET", nullptr, true);
}

namespace {

void write_body(const preset_t* preset_p, int8_t selector) {
  xml_indent = 0;
  xml_write_tag("?xml version=\"1.0\" encoding=\"utf-8\"?", "", true);
  xml_indent = 0;
  xml_write_tag("?xml-stylesheet type=\"text/xsl\" href=\"MV517.xsl\"?", "", true);
  xml_indent = 0;
  xml_write_preset(preset_p, selector);
}

void write_checksum_line() {
  const uint16_t crc = crc_word;
  char hex[8];
  std::snprintf(hex, sizeof hex, "%x", crc);
  xml_indent = 0;
  xml_write_tag("!--", "", false);
  Fwrite_crc(hex);
  xml_write_tag("!--", nullptr, false);
}

// Flushes and closes fp; a failure there is a short write.
void close_fp() {
  if (!fp) return;
  if (std::fflush(fp) != 0) note_errno(XML_ERR_SHORT_WRITE);
  if (std::fclose(fp) != 0) note_errno(XML_ERR_SHORT_WRITE);
  fp = nullptr;
}

// Targets that are not regular files (devices, pipes) cannot be replaced
// by a rename; they are written in place, without the read-back check.
uint8_t write_in_place(const std::string& target, const preset_t* preset_p, int8_t selector) {
  fp = std::fopen(target.c_str(), "wb");
  if (!fp) {
    note_errno(XML_ERR_CREATE);
    return xml_error;
  }
  write_body(preset_p, selector);
  if (xml_error == 0) write_checksum_line();
  close_fp();
  return xml_error;
}

std::string dir_of(const std::string& path) {
  std::string copy = path;
  return dirname(copy.data());
}

std::string base_of(const std::string& path) {
  std::string copy = path;
  return basename(copy.data());
}

// Follows symbolic links from `path` to the name of the file they lead to,
// which need not exist yet (a dangling link names the file to create).
// False with errno ELOOP for a loop or a chain too long to follow.
bool follow_links(const std::string& path, std::string& out) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      out = current;
      return true;
    }
    std::string link(PATH_MAX, '\0');
    const ssize_t n = readlink(current.c_str(), link.data(), link.size());
    if (n < 0) return false;
    link.resize(static_cast<size_t>(n));
    current = link[0] == '/' ? link : dir_of(current) + "/" + link;
  }
  errno = ELOOP;
  return false;
}

void sync_dir(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

constexpr size_t NAME_LIMIT = NAME_MAX;  // bytes of one file name
constexpr size_t SUFFIX_LENGTH = 6;      // the random part of a temporary name

// Temporary files of a target are named "." + target name + "." + six
// random letters and digits. A target name too long for that (the file
// system takes 255 bytes) is cut at a character boundary and followed by a
// hash of the whole name, so that each target keeps a pattern of its own.
std::string temp_prefix(const std::string& base) {
  if (1 + base.size() + 1 + SUFFIX_LENGTH <= NAME_LIMIT) return "." + base + ".";
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : base) hash = (hash ^ c) * 16777619u;
  char tag[16];
  std::snprintf(tag, sizeof tag, "~%08x", hash);
  size_t keep = NAME_LIMIT - (1 + std::strlen(tag) + 1 + SUFFIX_LENGTH);
  while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) --keep;
  return "." + base.substr(0, keep) + tag + ".";
}

bool is_suffix_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string random_suffix() {
  static const char chars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  // Started once from the system's entropy: two programs saving into one
  // folder at the same moment draw different names.
  static std::mt19937 draw{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof chars - 2);
  std::string s;
  for (size_t i = 0; i < SUFFIX_LENGTH; ++i) s += chars[pick(draw)];
  return s;
}

// Removes what saves of this target that were killed left behind: regular
// files of the user named by the target's temporary pattern. Nothing else.
void remove_leftovers(const std::string& dir, const std::string& prefix) {
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  while (const dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() != prefix.size() + SUFFIX_LENGTH || name.compare(0, prefix.size(), prefix) != 0)
      continue;
    bool pattern = true;
    for (size_t i = prefix.size(); i < name.size(); ++i)
      pattern = pattern && is_suffix_char(name[i]);
    struct stat st;
    const std::string path = dir + "/" + name;
    if (pattern && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid())
      unlink(path.c_str());
  }
  closedir(d);
}

// The file a save is written into: where the file system allows it, an
// unnamed file in the target's folder (a save killed half-way leaves
// nothing behind), which gets a temporary name only once it is complete;
// otherwise a file with the temporary name from the start.
struct temp_file {
  int fd = -1;
  bool unnamed = false;
  std::string path;  // its name (empty while unnamed)

  bool open_in(const std::string& dir, const std::string& prefix) {
#ifdef O_TMPFILE
    if (access("/proc/self/fd", X_OK) == 0) {
      fd = open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
      if (fd >= 0) {
        unnamed = true;
        return true;
      }
      // Folders on file systems without unnamed files fall back to a name.
      if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    }
#endif
    path = dir + "/" + prefix + "XXXXXX";
    fd = mkstemp(path.data());
    if (fd < 0) path.clear();
    return fd >= 0;
  }

  // Gives an unnamed file its temporary name.
  bool name_it(const std::string& dir, const std::string& prefix) {
    if (!unnamed) return true;
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = dir + "/" + prefix + random_suffix();
      if (linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        path = candidate;
        unnamed = false;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  void discard() {
    if (fd >= 0) close(fd);
    fd = -1;
    if (!path.empty()) unlink(path.c_str());
    path.clear();
  }
};

// A stream over a copy of `fd`, writing at its current offset.
FILE* stream_on(int fd) {
  const int copy = dup(fd);
  if (copy < 0) return nullptr;
  FILE* f = fdopen(copy, "wb");
  if (!f) close(copy);
  return f;
}

// CRC of every byte in the file behind `fd`, read from its start.
bool crc_of_descriptor(int fd, uint16_t& crc) {
  crc = 0xFFFF;
  unsigned char buf[4096];
  off_t at = 0;
  for (;;) {
    const ssize_t n = pread(fd, buf, sizeof buf, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    for (ssize_t i = 0; i < n; ++i) crc = crc16_update(crc, buf[i]);
    at += n;
  }
}

}  // namespace

std::optional<uint16_t> written_checksum(const preset_t& p, int8_t selector) {
  FILE* const saved_fp = fp;
  const uint16_t saved_crc = crc_word;
  const uint8_t saved_indent = xml_indent, saved_error = xml_error;
  const int saved_errno = xml_errno;

  char* bytes = nullptr;
  size_t size = 0;
  fp = open_memstream(&bytes, &size);
  std::optional<uint16_t> crc;
  if (fp) {
    crc_word = 0xFFFF;
    xml_error = 0;
    write_body(&p, selector);
    if (std::fclose(fp) == 0 && xml_error == 0) crc = crc_word;
  }
  std::free(bytes);

  fp = saved_fp;
  crc_word = saved_crc;
  xml_indent = saved_indent;
  xml_error = saved_error;
  xml_errno = saved_errno;
  return crc;
}

uint8_t xml_write(const char* f_name, const preset_t* preset_p, int8_t selector) {
  xml_error = 0;
  xml_errno = 0;
  crc_word = 0xFFFF;
  xml_indent = 0;
  fp = nullptr;

  // Saving to a link writes the file it names (created when missing).
  std::string target;
  if (!follow_links(f_name, target)) {
    note_errno(XML_ERR_CREATE);
    return xml_error;
  }
  struct stat st;
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return write_in_place(target, preset_p, selector);

  const std::string dir = dir_of(target);
  const std::string prefix = temp_prefix(base_of(target));
  temp_file temp;
  if (!temp.open_in(dir, prefix)) {
    note_errno(XML_ERR_CREATE);
    return xml_error;
  }
  auto fail = [&]() {
    if (fp) {
      std::fclose(fp);
      fp = nullptr;
    }
    temp.discard();
    return xml_error;
  };

  // The body, then a check that what reached the file has the CRC that was
  // written, then the checksum line, all through the descriptor opened
  // above: reopening the file by name could fail on its permissions.
  fp = stream_on(temp.fd);
  if (!fp) {
    note_errno(XML_ERR_CREATE);
    return fail();
  }
  write_body(preset_p, selector);
  close_fp();
  if (xml_error != 0) return fail();
  uint16_t on_disk = 0;
  if (!crc_of_descriptor(temp.fd, on_disk)) {
    note_errno(XML_ERR_CREATE);
    return fail();
  }
  if (on_disk != crc_word) {
    xml_error = XML_ERR_CHECKSUM;
    return fail();
  }
  fp = stream_on(temp.fd);
  if (!fp) {
    note_errno(XML_ERR_CREATE);
    return fail();
  }
  write_checksum_line();
  close_fp();
  if (xml_error == 0 && fsync(temp.fd) != 0) note_errno(XML_ERR_SHORT_WRITE);
  if (xml_error != 0) return fail();

  // The final mode comes last: the old file's, or 0666 less the umask.
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(temp.fd, mode);

  if (!temp.name_it(dir, prefix) || std::rename(temp.path.c_str(), target.c_str()) != 0) {
    note_errno(XML_ERR_CREATE);
    return fail();
  }
  close(temp.fd);
  sync_dir(dir);
  remove_leftovers(dir, prefix);
  return 0;
}
