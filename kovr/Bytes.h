#pragma once
// Little-endian, unaligned field access for on-card structures.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace kovr {

inline uint32_t Get32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t Get64(const unsigned char* p) {
  return static_cast<uint64_t>(Get32(p)) | static_cast<uint64_t>(Get32(p + 4)) << 32;
}
inline void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void Put64(unsigned char* p, uint64_t v) {
  Put32(p, static_cast<uint32_t>(v));
  Put32(p + 4, static_cast<uint32_t>(v >> 32));
}

// The text of a fixed field up to its first NUL; false when the field holds no NUL
// (an unterminated name from a card is never used).
inline bool GetName(const unsigned char* p, size_t fieldSize, std::string& out) {
  const void* nul = std::memchr(p, 0, fieldSize);
  if (!nul) return false;
  out.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(static_cast<const unsigned char*>(nul) - p));
  return true;
}

uint32_t Crc32(const unsigned char* data, size_t size);

}  // namespace kovr
