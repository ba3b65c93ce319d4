// The preference record kind and its reads and writes of the host's side records
// (prefsdata.h). The side records and what they hold: docs/preferences.md.
#include "framework/core/prefsdata.h"

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"

namespace {

// The first item number of every preference side record.
constexpr uint16_t PREFS_SIDE_ITEM = 0xFFFE;
constexpr int32_t PREFS_SIDE_SIZE = 12;

void MakeSideKey(uint8_t (&key)[__FCBaseData::DATAKEY_SIZE], short inci) {
  for (uint8_t& byte : key) byte = 0;
  fxt::PutU16(key, 0, PREFS_SIDE_ITEM);
  fxt::PutS16(key, 2, inci);
}

}  // namespace

bool __FCPrefsBase::LoadFirst() { return Load(1); }

bool __FCPrefsBase::Load(short prefsno) {
  _SetKeyFirst(static_cast<uint16_t>(prefsno));
  return LoadDataBlock();
}

uint32_t __FCPrefsBase::_PrefsInciTag(char c1, char c2) {
  return 0x6F740000u | (static_cast<uint32_t>(static_cast<uint8_t>(c1)) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(c2));
}

bool __FCPrefsBase::_LoadPrefsInci(char c1, char c2, short* buffer, short inci) {
  uint8_t key[DATAKEY_SIZE];
  MakeSideKey(key, inci);
  int32_t size = PREFS_SIDE_SIZE;
  int32_t result = FX_LoadEData(static_cast<int32_t>(_PrefsInciTag(c1, c2)), key, buffer, &size,
                                static_cast<int32_t>(DEFAULT_RECORD_VERSION));
  return _HostSucceeded(result);
}

bool __FCPrefsBase::_SavePrefsInci(char c1, char c2, short* buffer, short inci) {
  uint8_t key[DATAKEY_SIZE];
  MakeSideKey(key, inci);
  int32_t result = FX_SaveEData(static_cast<int32_t>(_PrefsInciTag(c1, c2)), key, buffer,
                                PREFS_SIDE_SIZE, static_cast<int32_t>(DEFAULT_RECORD_VERSION));
  return _HostSucceeded(result);
}
