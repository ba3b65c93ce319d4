// Every inline-tag operation of the framework string on arbitrary texts. The first byte
// chooses how the rest becomes code units: even, one unit per byte (the tag characters
// are all ASCII, so mutations reach them quickly); odd, two bytes per unit
// (little-endian), so that every unit can occur. The properties are those of
// tests/support/tag_properties.h.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/functions/host.h"
#include "tests/support/tag_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // ^font(Font<n>) asks the host for a font's name.
  static fxthost::Host host;
  static const bool ready = (host.NewDocument(), true);
  (void)ready;
  if (size == 0) return 0;
  fxt_testing::Units units;
  if (data[0] % 2 == 0) {
    for (size_t i = 1; i < size; ++i) units.push_back(data[i]);
  } else {
    for (size_t i = 1; i + 1 < size; i += 2)
      units.push_back(static_cast<unsigned short>(data[i] | (data[i + 1] << 8)));
  }
  const std::string broken = fxt_testing::FirstBrokenTagProperty(units);
  if (!broken.empty()) {
    std::fprintf(stderr, "inline tags: %s\n", broken.c_str());
    std::abort();
  }
  host.ClearCalls();
  return 0;
}
