// Typed access to little-endian record fields at byte offsets.
//
// The host's records are byte blocks laid out for 32-bit little-endian Windows. Every
// read and write of a field goes through these helpers, so that the layout is the same
// on every build (64-bit, 32-bit, big- or little-endian) and nothing depends on the
// compiler's packing of a struct. Header-only: the host uses it too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fxt {

inline uint8_t GetU8(const void* record, size_t offset) {
  return static_cast<const uint8_t*>(record)[offset];
}

inline uint16_t GetU16(const void* record, size_t offset) {
  const uint8_t* p = static_cast<const uint8_t*>(record) + offset;
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline int16_t GetS16(const void* record, size_t offset) {
  return static_cast<int16_t>(GetU16(record, offset));
}

inline uint32_t GetU32(const void* record, size_t offset) {
  const uint8_t* p = static_cast<const uint8_t*>(record) + offset;
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline int32_t GetS32(const void* record, size_t offset) {
  return static_cast<int32_t>(GetU32(record, offset));
}

inline void PutU8(void* record, size_t offset, uint8_t value) {
  static_cast<uint8_t*>(record)[offset] = value;
}

inline void PutU16(void* record, size_t offset, uint16_t value) {
  uint8_t* p = static_cast<uint8_t*>(record) + offset;
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

inline void PutS16(void* record, size_t offset, int16_t value) {
  PutU16(record, offset, static_cast<uint16_t>(value));
}

inline void PutU32(void* record, size_t offset, uint32_t value) {
  uint8_t* p = static_cast<uint8_t*>(record) + offset;
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
  p[3] = static_cast<uint8_t>(value >> 24);
}

inline void PutS32(void* record, size_t offset, int32_t value) {
  PutU32(record, offset, static_cast<uint32_t>(value));
}

// A four-character record tag, most significant byte first: MakeTag('S', 'O', 'S', 'S').
constexpr uint32_t MakeTag(char a, char b, char c, char d) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(d));
}

}  // namespace fxt
