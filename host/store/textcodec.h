// Text encodings the host converts between: UTF-8 (document files, host-side code),
// UTF-16 (how raw texts are stored, and what callers of record version 0x11000000 and
// later load and save) and the 8-bit Windows-1252 code page (what older callers use).
#pragma once

#include <cstddef>
#include <string>

namespace fxthost {

// UTF-8 to UTF-16. Malformed sequences (stray continuation bytes, overlong forms,
// surrogates, values past U+10FFFF, cut-off sequences) become U+FFFD, one per bad byte.
std::u16string Utf8ToUtf16(const std::string& utf8);
// UTF-16 to UTF-8. A surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& utf16);

// Windows-1252 to UTF-16. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows does, so every
// byte converts and converts back unchanged.
std::u16string Cp1252ToUtf16(const char* bytes, size_t count);
// UTF-16 to Windows-1252. A character the code page cannot hold becomes one '?'; a
// surrogate pair (one character) becomes one '?' as well.
std::string Utf16ToCp1252(const std::u16string& utf16);

}  // namespace fxthost
