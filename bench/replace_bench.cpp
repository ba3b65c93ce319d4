// Times FCString::Replace on texts of 32,000 code units: the everyday kinds (a few
// accidentals in a long text, every unit replaced, a replacement longer than what it
// replaces) and a cascade in which each replacement forms the next occurrence.
//
//   replace_bench [case]      one case by name, or every case
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "framework/text/fcstring.h"

namespace {

struct Case {
  const char* name;
  std::string text;
  const char* find;
  const char* replacement;
};

std::string Repeat(const std::string& piece, size_t length) {
  std::string text;
  while (text.size() < length) text += piece;
  text.resize(length);
  return text;
}

constexpr size_t kLength = 32000;

}  // namespace

int main(int argc, char** argv) {
  const Case cases[] = {
      {"accidentals", Repeat("Clarinet in B^flat() and E^flat() ", kLength), "^flat()", "b"},
      {"every-unit", std::string(kLength, 'a'), "a", "b"},
      {"growing", std::string(kLength, 'a'), "a", "bc"},
      {"shrinking", std::string(kLength, 'a'), "aa", "a"},
      {"cascade", Repeat("a", kLength - 1) + "b", "ab", "bbaa"},
  };
  const char* only = argc > 1 ? argv[1] : nullptr;
  std::printf("%-12s %10s %10s %8s\n", "case", "length", "seconds", "result");
  for (const Case& c : cases) {
    if (only && std::strcmp(only, c.name) != 0) continue;
    FCString text(c.text.c_str());
    const auto start = std::chrono::steady_clock::now();
    const bool result = text.Replace(c.find, c.replacement);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-12s %10d %10.4f %8s\n", c.name, text.GetLength(), seconds,
                result ? "true" : "false");
  }
  return 0;
}
