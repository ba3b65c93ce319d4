// Replace on arbitrary texts: the input is split at its first two NUL bytes into the
// text, the search text and the replacement. Replace must end, stay within its bound,
// and leave no occurrence of the search text behind when it answers true.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/text/fcstring.h"

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
  subject.Replace(find.c_str(), replacement.c_str());
  return 0;
}
