// fxthost run's options as the command line gives them, and the numbers they hold
// (docs/fxthost.md, "Commands").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fxthost {

struct RunOptions {
  std::string document;
  std::string plugin;
  std::string staves, slots, list, measures, startPosition, endPosition;
  std::string answer, hostVersion, output, report, item;
  std::string svg;                // the picture of the groups before and after the command
  std::vector<std::string> open;  // further documents: FILE or FILE=OUT
};

// A whole number within [low, high] written in decimal, or with hex in hexadecimal
// (with or without "0x").
bool ParseNumber(const std::string& text, int64_t low, int64_t high, int64_t* value,
                 bool hex = false);
// "A-B" or "A": whole numbers, the first may be negative. Numbers too large for the
// digits allowed come out as one past the limit, so that they read as out of range.
bool ParseRange(const std::string& text, int64_t* first, int64_t* last);

}  // namespace fxthost
