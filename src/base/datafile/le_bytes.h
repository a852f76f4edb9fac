// Little-endian integers and floats in byte buffers, independent of the host's byte order.
#pragma once

#include <bit>
#include <cstdint>

namespace quarvel {

inline void put_le16(char* p, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  p[0] = static_cast<char>(u & 0xFF);
  p[1] = static_cast<char>(u >> 8);
}

inline void put_le32(char* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

inline int16_t get_le16(const char* p) {
  const auto u = static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | (static_cast<uint8_t>(p[1]) << 8));
  return static_cast<int16_t>(u);
}

inline int32_t get_le32(const char* p) {
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<uint8_t>(p[i]);
  return static_cast<int32_t>(u);
}

inline float get_le_float(const char* p) {
  return std::bit_cast<float>(static_cast<uint32_t>(get_le32(p)));
}

}  // namespace quarvel
