// The data-record wrappers: record-version correction, the special loads, and the
// preference translation, in front of the host's record functions. They are declared in
// bridge/finalepdk.h (rows of bridge/hostfunctions.def); the translation's rules are in
// bridge/prefmap.h and docs/preferences.md.
#include <cstring>

#include "bridge/finalepdk.h"
#include "bridge/hostcall.h"
#include "bridge/prefmap.h"
#include "bridge/recordbytes.h"

namespace {

using fxt::MakeTag;

constexpr uint32_t TAG_SOMS = MakeTag('S', 'O', 'M', 'S');
constexpr uint32_t TAG_SOSS = MakeTag('S', 'O', 'S', 'S');
constexpr uint32_t TAG_SOSS_ALT = 0x4F025353;
constexpr uint32_t TAG_SOIS = MakeTag('S', 'O', 'I', 'S');
constexpr uint32_t TAG_SDGF = MakeTag('S', 'D', 'G', 'F');
constexpr uint32_t TAG_SOTX = MakeTag('S', 'O', 'T', 'X');
constexpr uint32_t TAG_OTDO = MakeTag('o', 't', 'D', 'O');

// Records that the host may report as not loaded although it has filled the buffer.
constexpr uint32_t TAG_FILLED_4F04 = 0x4F044958;
constexpr uint32_t TAG_SOFI = MakeTag('S', 'O', 'f', 'I');
// A record that the host may fail to load while its companion record exists.
constexpr uint32_t TAG_SOSD = MakeTag('S', 'O', 'S', 'D');
constexpr uint32_t TAG_OTSD = MakeTag('o', 't', 'S', 'D');

// When a row of the version table applies to the version the caller claims.
enum class When { Always, AtMost, Above };

struct VersionRow {
  uint32_t tag;
  uint32_t otherTag;  // a second tag with the same layouts, or 0
  int32_t size;
  When when;
  uint32_t bound;
  uint32_t newVersion;
  const char* warning;  // shown before the correction, or null
};

const char* const kWarnGfhold =
    "Warning to plug-in developer: EDTGfhold2004 used with wrong version parameter";
const char* const kWarnTextBlock =
    "Warning to plug-in developer: EDTTextBlock2004 used with wrong version parameter";
const char* const kWarnShapeExpr =
    "Warning to plug-in developer: EDTShapeExpression2004 used with wrong version parameter";

// Record layouts whose size tells which version the buffer really holds.
const VersionRow kVersionTable[] = {
    {TAG_SOMS, 0, 26, When::AtMost, 0x09FFFFFF, 0x0A000000, nullptr},
    {TAG_SOMS, 0, 24, When::Always, 0, 0x09000000, nullptr},
    {TAG_SOSS, TAG_SOSS_ALT, 28, When::AtMost, 0x09FFFFFF, 0x0A000000, nullptr},
    {TAG_SOSS, TAG_SOSS_ALT, 24, When::AtMost, 0x05FFFFFF, 0x06000000, nullptr},
    {TAG_SOSS, TAG_SOSS_ALT, 22, When::Always, 0, 0x05000000, nullptr},
    {TAG_SOIS, 0, 66, When::Always, 0, 0x05000000, nullptr},
    {TAG_SOIS, 0, 102, When::Always, 0, 0x08000000, nullptr},
    {TAG_SDGF, 0, 12, When::Above, 0x08000000, 0x08000000, nullptr},
    {TAG_SDGF, 0, 10, When::AtMost, 0x08FFFFFF, 0x09000000, kWarnGfhold},
    {TAG_SOTX, 0, 48, When::Above, 0x08000000, 0x08000000, nullptr},
    {TAG_SOTX, 0, 26, When::AtMost, 0x08FFFFFF, 0x09000000, kWarnTextBlock},
    {TAG_OTDO, 0, 12, When::Above, 0x08000000, 0x08000000, nullptr},
    {TAG_OTDO, 0, 34, When::AtMost, 0x08FFFFFF, 0x09000000, kWarnShapeExpr},
};

bool RowApplies(const VersionRow& row, uint32_t tag, int32_t size, uint32_t version) {
  if (row.size != size || (tag != row.tag && (row.otherTag == 0 || tag != row.otherTag)))
    return false;
  switch (row.when) {
    case When::Always:
      return true;
    case When::AtMost:
      return version <= row.bound;
    case When::Above:
      return version > row.bound;
  }
  return false;
}

int32_t LowWord(int32_t result) {
  return static_cast<int32_t>(static_cast<int16_t>(result & 0xFFFF));
}

int32_t* SizePointer(FXArg size) { return reinterpret_cast<int32_t*>(size.value); }

void* BufferPointer(FXArg buffer) { return reinterpret_cast<void*>(buffer.value); }

// The bytes of the buffer that may be cleared and inspected: the caller's count, capped.
size_t ClearableBytes(const int32_t* size, size_t cap) {
  if (!size || *size <= 0) return 0;
  return static_cast<size_t>(*size) < cap ? static_cast<size_t>(*size) : cap;
}

bool AnyNonZero(const void* buffer, size_t count) {
  const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
  for (size_t i = 0; i < count; ++i)
    if (bytes[i] != 0) return true;
  return false;
}

// A load that the host may report as failed after writing the record: clear the part of
// the buffer that is checked, call, and count the load as done when anything arrived.
// Returns -1 when the host reported success (the caller goes on), else the result.
int32_t LoadFilledRecord(int32_t tag, FXArg key, FXArg buffer, FXArg size, int32_t version,
                         size_t checked) {
  void* bytes = BufferPointer(buffer);
  size_t count = ClearableBytes(SizePointer(size), checked);
  std::memset(bytes, 0, count);
  int32_t result = fxt_host::FX_LoadEData(tag, key, buffer, size, version);
  if ((result & 0xFFFF) != 0) return -1;
  return AnyNonZero(bytes, count) ? 1 : 0;
}

}  // namespace

void HandleEnigmaVersion(uint32_t& tag, int32_t size, uint32_t& version) {
  if (size == 0) return;
  for (const VersionRow& row : kVersionTable) {
    if (!RowApplies(row, tag, size, version)) continue;
    if (row.warning)
      FX_AlertMessage(0, 0, 0, row.warning, static_cast<int32_t>(FINALE_INTERFACE_VERSION));
    version = row.newVersion;
    return;
  }
}

int32_t FX_LoadEData(int32_t tag, FXArg key, FXArg buffer, FXArg size, int32_t version) {
  uint32_t utag = static_cast<uint32_t>(tag);
  uint32_t corrected = static_cast<uint32_t>(version);
  int32_t* sizePointer = SizePointer(size);
  HandleEnigmaVersion(utag, sizePointer ? *sizePointer : 0, corrected);
  const int32_t hostVersion = static_cast<int32_t>(corrected);

  if (utag == TAG_FILLED_4F04 && buffer.value != 0) {
    int32_t result = LoadFilledRecord(tag, key, buffer, size, hostVersion, 48);
    if (result >= 0) return result;
  } else if (utag == TAG_SOFI && buffer.value != 0) {
    int32_t result = LoadFilledRecord(tag, key, buffer, size, hostVersion, 108);
    if (result >= 0) return result;
  } else if (utag == TAG_SOSD) {
    int32_t result = fxt_host::FX_LoadEData(tag, key, buffer, size, hostVersion);
    if ((result & 0xFFFF) == 0) {
      // The host has no such record; it counts as present, cleared, when the companion
      // record under the same first item number exists.
      if (key.value == 0) return 0;
      uint8_t companionKey[8];
      std::memcpy(companionKey, reinterpret_cast<const void*>(key.value), sizeof companionKey);
      fxt::PutU16(companionKey, 2, 0);
      uint8_t scratch[12] = {};
      int32_t scratchSize = 12;
      if ((FX_LoadEData(static_cast<int32_t>(TAG_OTSD), companionKey, scratch, &scratchSize,
                        static_cast<int32_t>(FINALE_INTERFACE_VERSION)) &
           0xFFFF) == 0)
        return 0;
      if (buffer.value == 0) {
        if (sizePointer) *sizePointer = 66;
      } else {
        std::memset(BufferPointer(buffer), 0, ClearableBytes(sizePointer, 66));
      }
      return 1;
    }
  }

  // Preference tags are served by the translation to the records that hold them.
  int32_t served = 0;
  if (CurrentPreferenceLoadServer()(utag, reinterpret_cast<void*>(key.value), BufferPointer(buffer),
                                    sizePointer, &served))
    return served;

  return LowWord(fxt_host::FX_LoadEData(tag, key, buffer, size, hostVersion));
}

int32_t FX_SaveEData(int32_t tag, FXArg key, FXArg buffer, int32_t size, int32_t version) {
  uint32_t utag = static_cast<uint32_t>(tag);
  uint32_t corrected = static_cast<uint32_t>(version);
  HandleEnigmaVersion(utag, size, corrected);
  const int32_t hostVersion = static_cast<int32_t>(corrected);

  // A save that claims a layout of 0x07FFFFFF or older goes to the host untranslated.
  if (static_cast<uint32_t>(version) > 0x07FFFFFF) {
    int32_t served = 0;
    if (CurrentPreferenceSaveServer()(utag, reinterpret_cast<void*>(key.value),
                                      BufferPointer(buffer), size, &served))
      return served;
  }
  return LowWord(fxt_host::FX_SaveEData(tag, key, buffer, size, hostVersion));
}

int32_t FX_CreateEData(int32_t tag, FXArg key, FXArg buffer, int32_t size, int32_t version) {
  uint32_t utag = static_cast<uint32_t>(tag);
  uint32_t corrected = static_cast<uint32_t>(version);
  HandleEnigmaVersion(utag, size, corrected);
  return LowWord(fxt_host::FX_CreateEData(tag, key, buffer, size, static_cast<int32_t>(corrected)));
}

int32_t FX_DeleteEData(int32_t tag, FXArg key, int32_t version) {
  return LowWord(fxt_host::FX_DeleteEData(tag, key, version));
}

int32_t FX_PreviousEData(int32_t tag, FXArg key, FXArg buffer, int32_t size, int32_t version) {
  uint32_t utag = static_cast<uint32_t>(tag);
  uint32_t corrected = static_cast<uint32_t>(version);
  HandleEnigmaVersion(utag, size, corrected);
  return LowWord(
      fxt_host::FX_PreviousEData(tag, key, buffer, size, static_cast<int32_t>(corrected)));
}

int32_t FX_NextEData(int32_t tag, FXArg key, FXArg buffer, int32_t size, int32_t version) {
  uint32_t utag = static_cast<uint32_t>(tag);
  uint32_t corrected = static_cast<uint32_t>(version);
  HandleEnigmaVersion(utag, size, corrected);
  return LowWord(fxt_host::FX_NextEData(tag, key, buffer, size, static_cast<int32_t>(corrected)));
}
