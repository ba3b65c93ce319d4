// Replace on arbitrary texts: the input is split at its first two NUL bytes into the
// text, the search text and the replacement (8-bit text, through the code page). Replace
// must end; when it answers false the text is as it was; when it answers true no
// occurrence is left (unless the replacement itself holds the search text), and for a
// short text the result is the one that searching the whole text again after every
// replacement gives.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/text/fcstring.h"

namespace {

using Units = std::u16string;

Units UnitsOf(const FCString& s) {
  Units units;
  for (int i = 0; i < s.GetLength(); ++i) units.push_back(s.GetItemAt(i));
  return units;
}

void Fail(const char* what) {
  std::fprintf(stderr, "Replace: %s\n", what);
  std::abort();
}

// The plain reading of Replace: after each replacement, search the whole text again (or,
// when the replacement holds find, from after the inserted text). Gives up (false) after
// a number of passes.
bool ReferenceReplace(Units* text, const Units& find, const Units& replacement) {
  const bool holds = replacement.find(find) != Units::npos;
  size_t from = 0;
  for (int pass = 0; pass < 2000; ++pass) {
    const size_t at = text->find(find, holds ? from : 0);
    if (at == Units::npos) return true;
    text->replace(at, find.size(), replacement);
    from = at + replacement.size();
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t first = input.find('\0');
  if (first == std::string::npos) return 0;
  size_t second = input.find('\0', first + 1);
  if (second == std::string::npos) return 0;
  std::string text = input.substr(0, first);
  std::string find = input.substr(first + 1, second - first - 1);
  std::string replacement = input.substr(second + 1);
  if (replacement.find('\0') != std::string::npos) return 0;

  FCString subject(text.c_str());
  const Units before = UnitsOf(subject);
  const Units findUnits = UnitsOf(FCString(find.c_str()));
  const Units replacementUnits = UnitsOf(FCString(replacement.c_str()));
  const bool replaced = subject.Replace(find.c_str(), replacement.c_str());
  const Units after = UnitsOf(subject);
  if (!replaced) {
    if (after != before) Fail("answered false but changed the text");
    return 0;
  }
  if (findUnits.empty()) Fail("answered true for an empty search text");
  const bool holds = replacementUnits.find(findUnits) != Units::npos;
  if (!holds && after.find(findUnits) != Units::npos) Fail("answered true, occurrence left");
  if (before.size() <= 256) {
    Units expected = before;
    if (ReferenceReplace(&expected, findUnits, replacementUnits) && expected != after)
      Fail("result differs from searching again after every replacement");
  }
  return 0;
}
