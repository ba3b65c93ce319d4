// The multimeasure rest, music spacing and part scope preferences, with the settings they
// keep in side records (documentprefs.h). Which words hold what: docs/preferences.md.
#include "framework/score/documentprefs.h"

#include <cstring>

#include "bridge/recordbytes.h"

namespace {

// A side record as _LoadPrefsInci and _SavePrefsInci take it: six 16-bit words.
struct SideRecord {
  short words[6] = {};

  short Get(int word) const { return fxt::GetS16(words, static_cast<size_t>(2 * word)); }
  void Set(int word, short value) { fxt::PutS16(words, static_cast<size_t>(2 * word), value); }
};

// Where the settings live: the two tag characters, the inci and the words.
constexpr char kRestSide[] = "83";
constexpr short kRestInci = 0;
constexpr int kRestFlagWord = 4;

constexpr char kSpacingSide[] = "94";
constexpr char kSpacingOtherSide[] = "41";
constexpr short kSpacingInci = 2;
constexpr int kFirstValueWord = 2;
constexpr int kSecondValueWord = 4;
constexpr int kThirdValueWord = 2;
constexpr int kFourthValueWord = 3;

constexpr char kScopeSide[] = "PG";
constexpr short kScopeInci = 0;
constexpr int kScopeWord = 0;

}  // namespace

// --- FCMultiMeasureRestPrefs ------------------------------------------------------------

FCMultiMeasureRestPrefs::FCMultiMeasureRestPrefs() { std::memset(_record, 0, sizeof(_record)); }

void FCMultiMeasureRestPrefs::CloneMemoryFrom(__FCBaseData* source) {
  const FCMultiMeasureRestPrefs* other = dynamic_cast<const FCMultiMeasureRestPrefs*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
  _extraflag = other ? other->_extraflag : false;
}

bool FCMultiMeasureRestPrefs::Load(short number) {
  if (!__FCPrefsBase::Load(number)) return false;
  SideRecord side;
  if (!_LoadPrefsInci(kRestSide[0], kRestSide[1], side.words, kRestInci)) return false;
  _extraflag = side.Get(kRestFlagWord) != 0;
  return true;
}

bool FCMultiMeasureRestPrefs::Save() {
  if (!__FCBaseData::Save()) return false;
  SideRecord side;
  if (!_LoadPrefsInci(kRestSide[0], kRestSide[1], side.words, kRestInci)) return false;
  side.Set(kRestFlagWord, _extraflag ? 1 : 0);
  return _SavePrefsInci(kRestSide[0], kRestSide[1], side.words, kRestInci);
}

// --- FCMusicSpacingPrefs ----------------------------------------------------------------

FCMusicSpacingPrefs::FCMusicSpacingPrefs() { std::memset(_record, 0, sizeof(_record)); }

void FCMusicSpacingPrefs::CloneMemoryFrom(__FCBaseData* source) {
  const FCMusicSpacingPrefs* other = dynamic_cast<const FCMusicSpacingPrefs*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
  _extravalue1 = other ? other->_extravalue1 : 0;
  _extravalue2 = other ? other->_extravalue2 : 0;
  _extravalue3 = other ? other->_extravalue3 : 0;
  _extravalue4 = other ? other->_extravalue4 : 0;
}

bool FCMusicSpacingPrefs::Load(short number) {
  if (!__FCPrefsBase::Load(number)) return false;
  SideRecord side;
  const bool first = _LoadPrefsInci(kSpacingSide[0], kSpacingSide[1], side.words, kSpacingInci);
  if (first) {
    _extravalue1 = side.Get(kFirstValueWord);
    _extravalue2 = side.Get(kSecondValueWord);
  }
  SideRecord other;
  const bool second =
      _LoadPrefsInci(kSpacingOtherSide[0], kSpacingOtherSide[1], other.words, kSpacingInci);
  if (second) {
    _extravalue3 = other.Get(kThirdValueWord);
    _extravalue4 = other.Get(kFourthValueWord);
  }
  return first && second;
}

bool FCMusicSpacingPrefs::Save() {
  if (!__FCBaseData::Save()) return false;
  SideRecord side;
  bool first = _LoadPrefsInci(kSpacingSide[0], kSpacingSide[1], side.words, kSpacingInci);
  if (first) {
    side.Set(kFirstValueWord, _extravalue1);
    side.Set(kSecondValueWord, static_cast<short>(_extravalue2 & 0xFFFF));
    first = _SavePrefsInci(kSpacingSide[0], kSpacingSide[1], side.words, kSpacingInci);
  }
  SideRecord other;
  bool second =
      _LoadPrefsInci(kSpacingOtherSide[0], kSpacingOtherSide[1], other.words, kSpacingInci);
  if (second) {
    other.Set(kThirdValueWord, _extravalue3);
    other.Set(kFourthValueWord, _extravalue4);
    second = _SavePrefsInci(kSpacingOtherSide[0], kSpacingOtherSide[1], other.words, kSpacingInci);
  }
  return first && second;
}

// --- FCPartScopePrefs -------------------------------------------------------------------

FCPartScopePrefs::FCPartScopePrefs() { std::memset(_record, 0, sizeof(_record)); }

void FCPartScopePrefs::CloneMemoryFrom(__FCBaseData* source) {
  const FCPartScopePrefs* other = dynamic_cast<const FCPartScopePrefs*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
  _scopeflag = other ? other->_scopeflag : false;
}

bool FCPartScopePrefs::Load(short) {
  SideRecord side;
  if (!_LoadPrefsInci(kScopeSide[0], kScopeSide[1], side.words, kScopeInci)) return false;
  _scopeflag = side.Get(kScopeWord) == 0;
  return true;
}

bool FCPartScopePrefs::Save() {
  SideRecord side;
  if (!_LoadPrefsInci(kScopeSide[0], kScopeSide[1], side.words, kScopeInci)) return false;
  side.Set(kScopeWord, _scopeflag ? 0 : 1);
  // A write the host refuses is reported, so that a caller never takes a lost setting
  // for a saved one.
  return _SavePrefsInci(kScopeSide[0], kScopeSide[1], side.words, kScopeInci);
}
