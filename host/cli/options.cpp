// The numbers of fxthost run's options: whole numbers and ranges as the user writes them
// (options.h).
#include "host/cli/options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace fxthost {

// A whole number within [low, high] written in decimal, or with hex in hexadecimal
// (with or without "0x").
bool ParseNumber(const std::string& text, int64_t low, int64_t high, int64_t* value, bool hex) {
  const bool prefixed =
      hex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = prefixed ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 12) return false;
  for (size_t i = 0; i < digits.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(digits[i]);
    const bool ok = hex ? std::isxdigit(c) != 0
                        : (c >= '0' && c <= '9') || (i == 0 && c == '-' && digits.size() > 1);
    if (!ok) return false;
  }
  errno = 0;
  const long long number = std::strtoll(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno != 0 || number < low || number > high) return false;
  *value = number;
  return true;
}

// "A-B" or "A": whole numbers, the first may be negative. Numbers too large for the
// digits allowed come out as one past the limit, so that they read as out of range.
bool ParseRange(const std::string& text, int64_t* first, int64_t* last) {
  constexpr int64_t kLimit = 999999999999;
  auto number = [&](const std::string& part, int64_t* value) {
    size_t digits = part.size() > 1 && part[0] == '-' ? 1 : 0;
    if (digits == part.size()) return false;
    for (size_t i = digits; i < part.size(); ++i)
      if (part[i] < '0' || part[i] > '9') return false;
    if (ParseNumber(part, -kLimit, kLimit, value)) return true;
    *value = part[0] == '-' ? -kLimit - 1 : kLimit + 1;
    return true;
  };
  const size_t dash = text.find('-', 1);
  if (dash == std::string::npos) {
    if (!number(text, first)) return false;
    *last = *first;
    return true;
  }
  return number(text.substr(0, dash), first) && number(text.substr(dash + 1), last);
}

}  // namespace fxthost
