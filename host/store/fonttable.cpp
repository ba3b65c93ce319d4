// The document's font table and its conversions to and from 8-bit font names
// (fonttable.h).
#include "host/store/fonttable.h"

namespace fxthost {

FontTable DefaultFontTable() {
  return {
      {0, "Times New Roman"}, {1, "Arial"},  {2, "Courier New"}, {3, "Maestro"},
      {4, "Finale Maestro"},  {5, "Symbol"}, {6, "Helvetica"},   {7, "Georgia"},
  };
}

const std::string* FontNameOf(const FontTable& fonts, int number) {
  auto found = fonts.find(number);
  return found == fonts.end() ? nullptr : &found->second;
}

namespace {

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

int FontNumberOf(const FontTable& fonts, const std::string& name) {
  for (const auto& entry : fonts)
    if (entry.second == name) return entry.first;
  for (const auto& entry : fonts)
    if (SameIgnoringAsciiCase(entry.second, name)) return entry.first;
  return -1;
}

}  // namespace fxthost
