// A set of 16-bit ids with a constant-time test, for walks that must end when the host
// names an id a second time.
#pragma once

#include <cstdint>
#include <vector>

namespace fxt {

class SeenIds {
 public:
  SeenIds() : _seen(0x10000, false) {}
  // True the first time an id is offered (ids are taken as 16-bit).
  bool First(int32_t id) {
    const size_t index = static_cast<uint16_t>(id);
    if (_seen[index]) return false;
    _seen[index] = true;
    return true;
  }

 private:
  std::vector<bool> _seen;
};

}  // namespace fxt
