// Preset file writer: fixed layout, every byte through Fwrite_crc so the
// CRC is known when the last element is written.
//
// The file is built in a temporary file beside the target and renamed over
// it only once complete and verified, so a failed save never destroys the
// file the user had.
#include <fcntl.h>
#include <libgen.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
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
void close_fp(bool sync) {
  if (!fp) return;
  if (std::fflush(fp) != 0) note_errno(XML_ERR_SHORT_WRITE);
  if (sync && fsync(fileno(fp)) != 0) note_errno(XML_ERR_SHORT_WRITE);
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
  close_fp(false);
  return xml_error;
}

std::string resolve_target(const char* f_name) {
  struct stat st;
  if (lstat(f_name, &st) == 0 && S_ISLNK(st.st_mode)) {
    // Replace the file a link points to, not the link.
    char* real = realpath(f_name, nullptr);
    if (real) {
      std::string resolved = real;
      std::free(real);
      return resolved;
    }
  }
  return f_name;
}

std::string dir_of(const std::string& path) {
  std::string copy = path;
  return dirname(copy.data());
}

std::string base_of(const std::string& path) {
  std::string copy = path;
  return basename(copy.data());
}

void sync_dir(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

}  // namespace

uint8_t xml_write(const char* f_name, const preset_t* preset_p, int8_t selector) {
  xml_error = 0;
  xml_errno = 0;
  crc_word = 0xFFFF;
  xml_indent = 0;
  fp = nullptr;

  const std::string target = resolve_target(f_name);
  struct stat st;
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return write_in_place(target, preset_p, selector);

  const std::string dir = dir_of(target);
  std::string temp = dir + "/." + base_of(target) + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    note_errno(XML_ERR_CREATE);
    return xml_error;
  }
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(fd, mode);

  auto fail = [&]() {
    if (fp) {
      std::fclose(fp);
      fp = nullptr;
    }
    unlink(temp.c_str());
    return xml_error;
  };

  fp = fdopen(fd, "wb");
  if (!fp) {
    close(fd);
    note_errno(XML_ERR_CREATE);
    return fail();
  }
  write_body(preset_p, selector);
  close_fp(false);
  if (xml_error != 0) return fail();

  // Confirm that what reached the disk has the CRC that was written.
  bool opened = false;
  const uint16_t on_disk = crc16_file(temp.c_str(), &opened);
  if (!opened) {
    note_errno(XML_ERR_CREATE);
    return fail();
  }
  if (on_disk != crc_word) {
    xml_error = XML_ERR_CHECKSUM;
    return fail();
  }

  fp = std::fopen(temp.c_str(), "ab");
  if (!fp) {
    note_errno(XML_ERR_CREATE);
    return fail();
  }
  write_checksum_line();
  close_fp(true);
  if (xml_error != 0) return fail();

  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    note_errno(XML_ERR_CREATE);
    return fail();
  }
  sync_dir(dir);
  return 0;
}
