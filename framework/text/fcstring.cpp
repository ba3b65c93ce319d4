// FCString's storage, 8-bit conversion, search and replace, numbers, paths and resources;
// the inline-tag operations are in fcstring_tags.cpp. Contract: fcstring.h; the code page
// and the bound on Replace: docs/framework-behaviour.md.
#include "framework/text/fcstring.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

HINSTANCE FCString::_ResInstance = nullptr;

namespace {

inline int ByteLength(const char* text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

// 8-bit text is the host's: it converts to and from code units through the host's 8-bit
// code page (the system's; Windows-1252 on the POSIX build), never byte for unit.
std::vector<unsigned short> WidenBytes(const char* text, int count) {
  std::vector<unsigned short> units;
  if (!text || count <= 0) return units;
  const int needed = MultiByteToWideChar(CP_ACP, 0, text, count, nullptr, 0);
  if (needed <= 0) return units;
  units.resize(static_cast<size_t>(needed));
  const int made =
      MultiByteToWideChar(CP_ACP, 0, text, count, reinterpret_cast<LPWSTR>(units.data()), needed);
  units.resize(made > 0 ? static_cast<size_t>(made) : 0);
  return units;
}

std::vector<unsigned short> WidenAll(const char* text) {
  return WidenBytes(text, ByteLength(text));
}

// A character the code page cannot hold becomes '?' (no look-alike stands in for it).
int NarrowInto(const unsigned short* units, int count, char* bytes, int room) {
  const LPCWSTR wide = reinterpret_cast<LPCWSTR>(units);
  const int made =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, count, bytes, room, nullptr, nullptr);
  // A code page that takes no flags (a UTF-8 system code page) converts without it.
  return made > 0 ? made
                  : WideCharToMultiByte(CP_ACP, 0, wide, count, bytes, room, nullptr, nullptr);
}

std::string NarrowUnits(const unsigned short* units, int count) {
  std::string bytes;
  if (!units || count <= 0) return bytes;
  const int needed = NarrowInto(units, count, nullptr, 0);
  if (needed <= 0) return bytes;
  bytes.resize(static_cast<size_t>(needed));
  const int made = NarrowInto(units, count, &bytes[0], needed);
  bytes.resize(made > 0 ? static_cast<size_t>(made) : 0);
  return bytes;
}

const int kResourceBufferSize = 500;
const char kResourceError[] = "Resource String Error";

}  // namespace

// --- Construction ------------------------------------------------------------------

FCString::FCString() { SetCString(""); }

FCString::FCString(const char* text) { SetCString(text); }

FCString::FCString(const FCString& other) : __FCBase(other) { SetString(&other); }

FCString& FCString::operator=(const FCString& other) {
  if (this != &other) {
    __FCBase::operator=(other);
    SetString(&other);
  }
  return *this;
}

FCString::~FCString() {
  _ReleaseStorage();
  delete[] _cstring;
}

void FCString::_ReleaseStorage() {
  delete[] _units;
  _units = nullptr;
  _capacity = 0;
  _length = 0;
}

// --- Storage -----------------------------------------------------------------------

void FCString::_ExpandStorageIfNecessary(int needed) {
  if (needed < 0 || _capacity > needed) return;
  // The smallest multiple of 10 above needed.
  const int newCapacity = (needed + 10) / 10 * 10;
  unsigned short* units = new unsigned short[newCapacity];
  if (_units) {
    if (_length > 0) std::memcpy(units, _units, sizeof(unsigned short) * _length);
    delete[] _units;
  }
  _units = units;
  _capacity = newCapacity;
}

void FCString::SetLength(int length) {
  if (length >= 0 && length <= _length) _length = length;
}

// --- Conversion --------------------------------------------------------------------

char* FCString::GetCString() {
  delete[] _cstring;
  const std::string bytes = NarrowUnits(_units, _length);
  _cstring = new char[bytes.size() + 1];
  std::memcpy(_cstring, bytes.c_str(), bytes.size() + 1);
  return _cstring;
}

void FCString::GetUnicodeString(unsigned short* destination) const {
  if (!destination) return;
  if (_length > 0) std::memcpy(destination, _units, sizeof(unsigned short) * _length);
  destination[_length] = 0;
}

void FCString::SetCString(const char* text) {
  if (!text || !*text) {
    _ReleaseStorage();
    return;
  }
  _length = 0;
  Append(text);
}

void FCString::SetUnicodeString(const unsigned short* text) {
  if (!text || !*text) {
    _ReleaseStorage();
    return;
  }
  int count = 0;
  while (text[count]) ++count;
  _length = 0;
  _ExpandStorageIfNecessary(count);
  std::memcpy(_units, text, sizeof(unsigned short) * count);
  _length = count;
}

void FCString::SetString(const FCString* other) {
  if (!other || other == this) return;
  _length = 0;
  for (int i = 0; i < other->_length; ++i) Append(other->_units[i]);
}

bool FCString::MakeFullFilePath(const FinPathSpec2012* path) {
  if (!path) return false;
  // Read at most the array; a path without a terminator is cut at its end.
  const int maxUnits = static_cast<int>(sizeof(path->path) / sizeof(path->path[0]));
  int count = 0;
  while (count < maxUnits && path->path[count]) ++count;
  if (count == 0) {
    _ReleaseStorage();
    return true;
  }
  _length = 0;
  _ExpandStorageIfNecessary(count);
  std::memcpy(_units, path->path, sizeof(unsigned short) * count);
  _length = count;
  return true;
}

// --- Appending and editing ---------------------------------------------------------

void FCString::Append(const char* text) {
  const std::vector<unsigned short> units = WidenAll(text);
  const int count = static_cast<int>(units.size());
  if (count == 0) return;
  _ExpandStorageIfNecessary(_length + count);
  std::memcpy(_units + _length, units.data(), sizeof(unsigned short) * units.size());
  _length += count;
}

void FCString::Append(const FCString* other) {
  if (!other) return;
  // Taken before growing, so that appending a string to itself copies what it held.
  const int count = other->_length;
  if (count == 0) return;
  _ExpandStorageIfNecessary(_length + count);
  // After a reallocation other->_units is this string's new array when other is this.
  std::memmove(_units + _length, other->_units, sizeof(unsigned short) * count);
  _length += count;
}

void FCString::Append(unsigned short unit) {
  _ExpandStorageIfNecessary(_length + 1);
  _units[_length++] = unit;
}

void FCString::AppendInteger(int value) {
  char digits[16];
  std::snprintf(digits, sizeof(digits), "%d", value);
  Append(digits);
}

void FCString::SetInteger(int value) {
  _length = 0;
  AppendInteger(value);
}

void FCString::Insert(const char* text, int position) {
  if (position < 0 || position > _length) return;
  const std::vector<unsigned short> units = WidenAll(text);
  const int count = static_cast<int>(units.size());
  if (count == 0) return;
  const int tail = _length - position;
  _ExpandStorageIfNecessary(_length + count);
  if (tail > 0)
    std::memmove(_units + position + count, _units + position, sizeof(unsigned short) * tail);
  std::memcpy(_units + position, units.data(), sizeof(unsigned short) * units.size());
  _length += count;
}

int FCString::_Find(const unsigned short* units, int count, int from) const {
  if (count == 0) return from <= _length ? from : -1;
  for (int i = from; i + count <= _length; ++i) {
    if (std::memcmp(_units + i, units, sizeof(unsigned short) * count) == 0) return i;
  }
  return -1;
}

bool FCString::Replace(const char* find, const char* replacement) {
  // An empty find would match everywhere forever; nothing to do.
  if (!find || !*find || !replacement) return false;

  const std::vector<unsigned short> findUnits = WidenAll(find);
  const std::vector<unsigned short> replacementUnits = WidenAll(replacement);
  const size_t findLength = findUnits.size();
  const size_t replacementLength = replacementUnits.size();
  if (_Find(findUnits.data(), static_cast<int>(findLength), 0) < 0) return false;

  // When the replacement holds find, searching the new text from the start would find
  // the inserted copy again and never end, so the search resumes after the insertion.
  bool replacementHoldsFind = false;
  for (size_t i = 0; i + findLength <= replacementLength && !replacementHoldsFind; ++i)
    replacementHoldsFind = std::equal(findUnits.begin(), findUnits.end(),
                                      replacementUnits.begin() + static_cast<long>(i));

  // One pass over the text does what searching the whole text again after every
  // replacement does. The units are moved one by one from pending (the text still to
  // read, last unit first) to done, which never holds an occurrence: the first
  // occurrence of the whole text is thus the first that done ends in. It is taken off
  // done, and the replacement goes back in front of pending, where it is read again
  // together with the units around it, so that an occurrence a replacement forms with
  // its surroundings is found as a new search would find it. With a replacement that
  // holds find it goes onto done instead, and matches must begin after it.
  std::vector<unsigned short> pending(_units, _units + _length);
  std::reverse(pending.begin(), pending.end());
  std::vector<unsigned short> done;
  done.reserve(static_cast<size_t>(_length));
  size_t matchesFrom = 0;

  // Some pairs (find "ab", replacement "bbaa") form the next occurrence with every
  // replacement, and the text grows for ever. Moving a unit is the unit of work; one
  // pass without such cascades moves each unit of the text and of each replacement
  // once, at most (length + 1) * (replacement length + 1) units. Past twice that and a
  // margin for short cascades that end, Replace stops and leaves the text as it was.
  const int64_t kMargin = 1 << 16;
  const int64_t kMostUnits = INT32_MAX / 2;
  const int64_t workLimit =
      std::min<int64_t>(kMostUnits, 2 * (static_cast<int64_t>(_length) + 1) *
                                            (static_cast<int64_t>(replacementLength) + 1) +
                                        kMargin);
  int64_t work = 0;
  while (!pending.empty()) {
    if (++work > workLimit) return false;
    done.push_back(pending.back());
    pending.pop_back();
    if (done.size() < matchesFrom + findLength || done.back() != findUnits.back() ||
        !std::equal(findUnits.begin(), findUnits.end(), done.end() - static_cast<long>(findLength)))
      continue;
    done.resize(done.size() - findLength);
    if (replacementHoldsFind) {
      work += static_cast<int64_t>(replacementLength);
      done.insert(done.end(), replacementUnits.begin(), replacementUnits.end());
      matchesFrom = done.size();
    } else {
      pending.insert(pending.end(), replacementUnits.rbegin(), replacementUnits.rend());
    }
  }

  _length = 0;
  _ExpandStorageIfNecessary(static_cast<int>(done.size()));
  if (!done.empty()) std::memcpy(_units, done.data(), sizeof(unsigned short) * done.size());
  _length = static_cast<int>(done.size());
  return true;
}

void FCString::SetItemAt(int index, unsigned short unit) {
  if (index < 0 || index >= _length) return;
  _units[index] = unit;
}

bool FCString::DeleteCharacterAt(int index) { return DeleteCharactersAt(index, 1); }

bool FCString::DeleteCharactersAt(int start, int count) {
  if (start < 0 || start >= _length || count < 1 || count > _length - start) return false;
  const int tail = _length - start - count;
  if (tail > 0) std::memmove(_units + start, _units + start + count, sizeof(unsigned short) * tail);
  _length -= count;
  return true;
}

void FCString::TrimWhitespace() {
  static const char kTrimmed[] = " \r\n\t";
  while (_length > 0 && IsCharacter(_length - 1, kTrimmed)) --_length;
  int leading = 0;
  while (leading < _length && IsCharacter(leading, kTrimmed)) ++leading;
  if (leading > 0) DeleteCharactersAt(0, leading);
}

// --- Reading and testing -----------------------------------------------------------

unsigned short FCString::GetItemAt(int index) const {
  if (index < 0 || index >= _length) return 0;
  return _units[index];
}

bool FCString::IsCharacter(int index, unsigned short unit) const {
  return index >= 0 && index < _length && _units[index] == unit;
}

bool FCString::IsCharacter(int index, const char* set) const {
  if (index < 0 || index >= _length || !set || !*set) return false;
  const int unit = _units[index];
  for (const char* p = set; *p; ++p) {
    // A byte from 0x80 up is negative here and never equals a code unit.
    if (static_cast<int>(static_cast<signed char>(*p)) == unit) return true;
  }
  return false;
}

bool FCString::IsWhitespace(int index) const {
  if (index < 0 || index >= _length) return false;
  // The classification functions take only unsigned char values (or EOF).
  const unsigned short unit = _units[index];
  return unit <= 0xFF && std::isspace(unit) != 0;
}

bool FCString::IsDigit(int index) const {
  if (index < 0 || index >= _length) return false;
  return _units[index] >= '0' && _units[index] <= '9';
}

bool FCString::IsAllDigits() const {
  for (int i = 0; i < _length; ++i) {
    if (!IsDigit(i)) return false;
  }
  return true;
}

int FCString::GetInteger(int start) const {
  if (start < 0 || _length < start) return 0;
  const std::string bytes = _Narrowed(start, _length - start);
  // atoi's conversion, but saturating instead of undefined when out of range.
  const long long value = std::strtoll(bytes.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

float FCString::GetFloat(int start) const {
  if (start < 0 || _length < start) return 0.0f;
  const double value = std::atof(_Narrowed(start, _length - start).c_str());
  // Out of single-precision range becomes an infinity, as the hardware would round it,
  // rather than an undefined conversion.
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

bool FCString::Contains(const FCString* what, int* position) const {
  if (!what) return false;
  const int found = _Find(what->_units, what->_length, 0);
  if (found < 0) return false;
  if (position) *position = found;
  return true;
}

std::string FCString::_Narrowed(int start, int count) const {
  // The narrowed text ends at the first 0 unit, as a C string does.
  int end = start;
  while (end < start + count && end < _length && _units[end] != 0) ++end;
  return NarrowUnits(_units + start, end - start);
}

bool FCString::StartsWith(const char* prefix) const {
  if (!prefix) return false;
  const size_t count = std::strlen(prefix);
  // A prefix of n bytes is narrowed from at most n units.
  const std::string narrowed = _Narrowed(0, static_cast<int>(count));
  return narrowed.size() >= count && narrowed.compare(0, count, prefix) == 0;
}

bool FCString::EndsWith(const char* suffix) const {
  if (!suffix) return false;
  const size_t count = std::strlen(suffix);
  const std::string narrowed = _Narrowed(0, _length);
  return narrowed.size() >= count && narrowed.compare(narrowed.size() - count, count, suffix) == 0;
}

bool FCString::IsEqual(const char* text) const {
  if (!text) return false;
  return _Narrowed(0, _length) == text;
}

bool FCString::IsEqual(const FCString* other) const {
  if (!other) return false;
  return _Narrowed(0, _length) == other->_Narrowed(0, other->_length);
}

// --- Resources ---------------------------------------------------------------------

bool FCString::LoadResource(int id, const char* moduleFileName) {
  if (moduleFileName) _ResInstance = GetModuleHandleA(moduleFileName);

  char buffer[kResourceBufferSize];
  buffer[0] = '\0';
  const int loaded = LoadStringA(_ResInstance, static_cast<UINT>(id), buffer, kResourceBufferSize);
  buffer[kResourceBufferSize - 1] = '\0';
  if (loaded <= 0) std::snprintf(buffer, sizeof(buffer), "%s", kResourceError);
  SetCString(buffer);
  return loaded > 0;
}
