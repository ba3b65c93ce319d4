// The 8-bit code page on POSIX: Windows-1252, converted as Windows converts it. The
// conversions' rules are at their declarations in platform/fxwin.h.
#include <cstddef>

#include "platform/fxwin.h"

namespace {

constexpr UINT kWindows1252 = 1252;

// Bytes 0x80-0x9F; the five the code page leaves undefined map to themselves.
constexpr WCHAR kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                             0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                             0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool Supported(UINT codePage) { return codePage == CP_ACP || codePage == kWindows1252; }

WCHAR ToWide(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<WCHAR>(byte);
}

// The byte of a character, or -1 when the code page has none.
int ToByte(WCHAR unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == unit) return 0x80 + i;
  return -1;
}

bool IsHighSurrogate(WCHAR unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(WCHAR unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

extern "C" {

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int count, LPWSTR wide, int wideCount) {
  if (!Supported(codePage) || !text || count < -1 || wideCount < 0) return 0;
  size_t length = 0;
  if (count == -1) {
    while (text[length]) ++length;
    ++length;  // the terminator is converted too
  } else {
    length = static_cast<size_t>(count);
  }
  if (wideCount == 0) return static_cast<int>(length);
  if (!wide || length > static_cast<size_t>(wideCount)) return 0;
  for (size_t i = 0; i < length; ++i) wide[i] = ToWide(static_cast<unsigned char>(text[i]));
  return static_cast<int>(length);
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int count, LPSTR text, int textCount,
                        LPCSTR defaultChar, LPBOOL usedDefault) {
  if (!Supported(codePage) || !wide || count < -1 || textCount < 0) return 0;
  size_t length = 0;
  if (count == -1) {
    while (wide[length]) ++length;
    ++length;
  } else {
    length = static_cast<size_t>(count);
  }
  const char fallback = defaultChar && *defaultChar ? *defaultChar : '?';
  bool defaulted = false;
  size_t written = 0;
  for (size_t i = 0; i < length; ++i) {
    int byte = ToByte(wide[i]);
    if (byte < 0) {
      byte = static_cast<unsigned char>(fallback);
      defaulted = true;
      // A surrogate pair is one character.
      if (IsHighSurrogate(wide[i]) && i + 1 < length && IsLowSurrogate(wide[i + 1])) ++i;
    }
    if (textCount != 0) {
      if (!text || written >= static_cast<size_t>(textCount)) return 0;
      text[written] = static_cast<char>(byte);
    }
    ++written;
  }
  if (usedDefault) *usedDefault = defaulted ? 1 : 0;
  return static_cast<int>(written);
}

}  // extern "C"
