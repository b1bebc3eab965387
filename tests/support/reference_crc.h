// CRC-16/MODBUS computed bit by bit, independent of the module under test,
// continued from `crc` (0xFFFF to start).
#pragma once

#include <cstdint>
#include <string>

inline uint16_t reference_crc(const std::string& bytes, uint16_t crc = 0xFFFF) {
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  return crc;
}
