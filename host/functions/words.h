// Reading a host function's raw argument words.
#pragma once

#include <cstdint>

namespace fxthost {

inline int32_t S32(uint64_t word) { return static_cast<int32_t>(static_cast<uint32_t>(word)); }
inline uint32_t U32(uint64_t word) { return static_cast<uint32_t>(word); }
inline int16_t S16(uint64_t word) { return static_cast<int16_t>(static_cast<uint16_t>(word)); }
inline uint16_t U16(uint64_t word) { return static_cast<uint16_t>(word); }
template <typename T>
T* Ptr(uint64_t word) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(word));
}

}  // namespace fxthost
