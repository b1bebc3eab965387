// CRC-16/MODBUS over strings and files, and the scan that predicts a preset
// file's CRC from its checksum line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// The handle crc16_file and crc_seek read through (closed before they return).
extern FILE* fpoint;

// Set by crc16_file and crc_seek: 0 when the file was read, 1 when it could
// not be opened (the result is then 0 and means nothing).
extern uint8_t crc_file_error;

// Opens a preset file for reading: only a regular file of at most
// PRESET_FILE_MAX_BYTES. Opening never blocks (a FIFO without a writer is
// refused at once). On failure returns null with errno set and, when
// `reason` is given, the reason for messages: the system's reason (a folder:
// "Is a directory", errno EISDIR), "not a regular file" (a FIFO, a device
// such as /dev/zero, a socket; errno ENODEV) or "larger than 16 MiB" (EFBIG).
FILE* open_regular_file(const char* f_name, std::string* reason = nullptr);

// Largest preset file read: 16 MiB (a preset file has a few kilobytes).
extern const size_t PRESET_FILE_MAX_BYTES;

// One CRC step (reflected polynomial 0xA001, no final XOR).
uint16_t crc16_update(uint16_t crc, uint8_t byte);
// CRC continued from crc_start over a NUL-terminated string.
uint16_t crc16_string(uint16_t crc_start, const char* crc_data_p);
// CRC (initial 0xFFFF) over every byte of a file. When the file cannot be
// opened nothing is read, `*opened` (if given) becomes false and
// crc_file_error 1.
uint16_t crc16_file(const char* f_name, bool* opened = nullptr);
// The CRC the whole file has if its checksum line is right. Same failure
// reporting as crc16_file.
uint16_t crc_seek(const char* f_name, bool* opened = nullptr);
// Next byte of the file crc_seek has open: 1 if read, 0 at the end (or when
// no file is open).
int crc_get_char(uint8_t* c);
inline int crc_get_char(char* c) {
  return crc_get_char(reinterpret_cast<uint8_t*>(c));
}
