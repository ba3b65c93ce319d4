// Shared helpers of the notation suites: the host version the framework believes in,
// and strings read back as plain text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "bridge/finalepdk.h"
#include "framework/text/fcstring.h"

namespace notation_testing {

// Sets the running host version for the life of the object.
class HostVersion {
 public:
  explicit HostVersion(uint32_t version) : _saved(RunningFinaleVersion) {
    RunningFinaleVersion = version;
  }
  ~HostVersion() { RunningFinaleVersion = _saved; }
  HostVersion(const HostVersion&) = delete;
  HostVersion& operator=(const HostVersion&) = delete;

 private:
  uint32_t _saved;
};

// The code units of a string as text (units above 0x7F as '?').
inline std::string Text(const FCString& text) {
  std::string out;
  for (int i = 0; i < text.GetLength(); ++i) {
    const unsigned short unit = text.GetItemAt(i);
    out += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  return out;
}

// The same for a string the caller owned; null reads as "(null)".
inline std::string Take(FCString* text) {
  std::unique_ptr<FCString> owned(text);
  return owned ? Text(*owned) : "(null)";
}

// The two layouts and encodings the notation records know.
constexpr uint32_t kOlderHost = 0x0E000000;
constexpr uint32_t kCurrentHost = 0x11000000;

}  // namespace notation_testing
