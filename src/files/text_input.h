// Reading a text input whole, within bounds: every text the programs take in
// (filter text, measurements, target curves, JSON, standard input) comes
// through here. Only a regular file is read (a FIFO, a device such as
// /dev/zero or a folder is refused at once, without blocking), at most
// TEXT_INPUT_MAX_BYTES, and memory stays proportional to what is read.
#pragma once

#include <cstddef>
#include <string>

// Largest text input: 16 MiB.
constexpr size_t TEXT_INPUT_MAX_BYTES = size_t{16} << 20;

struct text_input_t {
  bool ok = false;
  std::string text;    // the whole input when ok
  std::string reason;  // why it was not read: the system's reason, "not a
                       // regular file", "larger than 16 MiB"
};

// "16 MiB", "1 MiB", "512 KiB", "100 bytes": a byte limit for messages.
std::string byte_limit_text(size_t bytes);

// Reads the regular file `path` whole. Refused with a reason: a file that
// cannot be opened (the system's reason), that is not a regular file
// ("not a regular file", also a folder), or that holds more than
// `max_bytes` ("larger than 16 MiB").
text_input_t read_text_file(const std::string& path, size_t max_bytes = TEXT_INPUT_MAX_BYTES);

// Reads the open descriptor `fd` (standard input: a pipe, a terminal or a
// file) to its end, refusing it as soon as more than `max_bytes` arrived.
text_input_t read_text_descriptor(int fd, size_t max_bytes = TEXT_INPUT_MAX_BYTES);

// Reads `path` whole as a command-line tool takes its input: a regular file
// as read_text_file does, and a pipe, FIFO or device (a process substitution
// such as <(...) names one) as a stream, refused as soon as more than
// `max_bytes` arrived (/dev/zero is refused after 16 MiB, never read on).
// Opening never blocks: a FIFO without a writer reads as empty. A folder is
// refused with the system's reason.
text_input_t read_text_stream_or_file(const std::string& path,
                                      size_t max_bytes = TEXT_INPUT_MAX_BYTES);

// Opens `path` for reading without blocking. Returns the descriptor (in
// blocking mode again) and whether it is a regular file, or -1 with the
// system's reason (a folder: "Is a directory").
int open_input_descriptor(const std::string& path, bool& regular, std::string& reason);

// Whether `path` names a regular file of at most `max_bytes` that can be
// opened for reading; `reason` says why not. Opens without blocking (a FIFO
// with no writer does not hang) and closes again.
bool readable_regular_file(const std::string& path, size_t max_bytes, std::string& reason);

// The last part of a path, for messages and legends ("top.txt" of
// "/home/u/top.txt"; trailing slashes are not a part).
std::string file_name_of(const std::string& path);
