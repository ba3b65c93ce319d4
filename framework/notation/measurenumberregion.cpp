// FCMeasureNumberRegion and FCMeasureNumberRegions: a region's fields, flags, fonts,
// enclosures and shown numbers in either layout. Contract: measurenumberregion.h; the bytes:
// bridge/measurenumberlayout.h; the host's rules: docs/host-notation.md.
#include "framework/notation/measurenumberregion.h"

#include <cstring>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"
#include "framework/text/fontinfo.h"

namespace {

namespace somn = fxt::somn;

// Fields outside the blocks, by layout.
enum Field : int {
  kStartMeasure,
  kEndMeasure,
  kStartChar,
  kBase,
  kStartNumber,
  kPrefix,
  kSuffix,
  kRegionFlags,
  kRegionId,
  kFieldCount
};
constexpr int kNewOffsets[kFieldCount] = {
    somn::kStartMeasure, somn::kEndMeasure,  somn::kStartCharacter,
    somn::kBase,         somn::kStartNumber, somn::kPrefix,
    somn::kSuffix,       somn::kRegionFlags, somn::kRegionId};
constexpr int kOldOffsets[kFieldCount] = {
    somn::kOlderStartMeasure, somn::kOlderEndMeasure,  somn::kOlderStartCharacter,
    somn::kOlderBase,         somn::kOlderStartNumber, somn::kOlderPrefix,
    somn::kOlderSuffix,       somn::kOlderFlags,       somn::kOlderRegionId};

// A block's fonts, by FontSlot.
constexpr int kFontOffsets[] = {somn::kStartFont, somn::kMultipleFont, somn::kMultiMeasureFont};

}  // namespace

// Block flags, each with its bit in the newer block word and in the older flag word
// (0: the older layout has no such flag).
enum FCMeasureNumberRegion::BlockFlag : int {
  kShowOnSystemStart,
  kShowMultiples,
  kHideFirstNumber,
  kShowMultiMeasureRange,
  kShowOnTopStaff,
  kShowOnBottomStaff
};

enum FCMeasureNumberRegion::FontSlot : int { kStartFont, kMultipleFont, kMultiMeasureFont };

namespace {

struct FlagBits {
  unsigned short newer;
  unsigned short older;
};
constexpr FlagBits kBlockFlagBits[] = {
    {somn::kShowOnSystemStart, somn::kOlderShowOnSystemStart},
    {somn::kShowMultiples, somn::kOlderShowMultiples},
    {somn::kHideFirstNumber, somn::kOlderHideFirstNumber},
    {somn::kShowMultiMeasureRange, 0},
    {somn::kShowOnTopStaff, somn::kOlderShowOnTopStaff},
    {somn::kShowOnBottomStaff, somn::kOlderShowOnBottomStaff},
};

}  // namespace

FCMeasureNumberRegion::FCMeasureNumberRegion() {
  std::memset(_record, 0, sizeof(_record));
  _SetDataBlock(_record);
  _SetLoadedSize(DataSizeLoad());
}

bool FCMeasureNumberRegion::_IsNewLayout() const {
  return GetFinaleFrameworkVersion() >= NEW_LAYOUT_HOST;
}

uint32_t FCMeasureNumberRegion::EnigmaVersion() const {
  return _IsNewLayout() ? RECORD_VERSION : OLD_RECORD_VERSION;
}

int FCMeasureNumberRegion::DataSizeLoad() const {
  return _IsNewLayout() ? RECORD_SIZE : OLD_RECORD_SIZE;
}

void FCMeasureNumberRegion::CloneMemoryFrom(__FCBaseData* source) {
  const FCMeasureNumberRegion* other = dynamic_cast<const FCMeasureNumberRegion*>(source);
  const size_t size = static_cast<size_t>(DataSizeLoad());
  if (!other)
    std::memset(_record, 0, size);
  else if (other != this)
    std::memcpy(_record, other->_record, size);
  _SetDataBlock(_record);
  _SetLoadedSize(DataSizeLoad());
}

// --- Words --------------------------------------------------------------------------

short FCMeasureNumberRegion::_GetWord(int offset) const {
  return fxt::GetS16(_record, static_cast<size_t>(offset));
}

void FCMeasureNumberRegion::_SetWord(int offset, short value) {
  fxt::PutS16(_record, static_cast<size_t>(offset), value);
}

void FCMeasureNumberRegion::_SetBits(int offset, unsigned short bits, bool state) {
  unsigned short word = static_cast<unsigned short>(_GetWord(offset));
  __FCBase::Set16BitFlag(&word, bits, state);
  _SetWord(offset, static_cast<short>(word));
}

int FCMeasureNumberRegion::_Offset(int field) const {
  return _IsNewLayout() ? kNewOffsets[field] : kOldOffsets[field];
}

int FCMeasureNumberRegion::_BlockStart(bool parts) const {
  return parts ? somn::kPartsBlock : somn::kScoreBlock;
}

short FCMeasureNumberRegion::GetStartMeasure() const { return _GetWord(_Offset(kStartMeasure)); }
void FCMeasureNumberRegion::SetStartMeasure(short measure) {
  _SetWord(_Offset(kStartMeasure), measure);
}
short FCMeasureNumberRegion::GetEndMeasure() const {
  return static_cast<short>(_GetWord(_Offset(kEndMeasure)) - 1);
}
void FCMeasureNumberRegion::SetEndMeasure(short measure) {
  _SetWord(_Offset(kEndMeasure), static_cast<short>(measure + 1));
}
short FCMeasureNumberRegion::GetStartNumber() const {
  return static_cast<short>(_GetWord(_Offset(kStartNumber)) + 1);
}
void FCMeasureNumberRegion::SetStartNumber(short number) {
  _SetWord(_Offset(kStartNumber), static_cast<short>(number - 1));
}
short FCMeasureNumberRegion::GetID() const { return _GetWord(_Offset(kRegionId)); }
void FCMeasureNumberRegion::SetID(short id) { _SetWord(_Offset(kRegionId), id); }
short FCMeasureNumberRegion::GetBase() const { return _GetWord(_Offset(kBase)); }
void FCMeasureNumberRegion::SetBase(short base) { _SetWord(_Offset(kBase), base); }
short FCMeasureNumberRegion::GetStartChar() const { return _GetWord(_Offset(kStartChar)); }
void FCMeasureNumberRegion::SetStartChar(short character) {
  _SetWord(_Offset(kStartChar), character);
}

// --- Flags --------------------------------------------------------------------------

bool FCMeasureNumberRegion::GetCountFromOne() const {
  return (_GetWord(_Offset(kRegionFlags)) & somn::kCountFromOne) != 0;
}
void FCMeasureNumberRegion::SetCountFromOne(bool state) {
  _SetBits(_Offset(kRegionFlags), somn::kCountFromOne, state);
}
bool FCMeasureNumberRegion::GetDoubleUp() const {
  return (_GetWord(_Offset(kRegionFlags)) & somn::kDoubleUp) != 0;
}
void FCMeasureNumberRegion::SetDoubleUp(bool state) {
  _SetBits(_Offset(kRegionFlags), somn::kDoubleUp, state);
}
bool FCMeasureNumberRegion::GetNoZero() const {
  return (_GetWord(_Offset(kRegionFlags)) & somn::kNoZero) != 0;
}
void FCMeasureNumberRegion::SetNoZero(bool state) {
  _SetBits(_Offset(kRegionFlags), somn::kNoZero, state);
}
bool FCMeasureNumberRegion::GetUseScoreInfoForParts() const {
  if (!_IsNewLayout()) return true;
  return (_GetWord(_Offset(kRegionFlags)) & somn::kUseScoreForParts) != 0;
}
void FCMeasureNumberRegion::SetUseScoreInfoForParts(bool state) {
  if (_IsNewLayout()) _SetBits(_Offset(kRegionFlags), somn::kUseScoreForParts, state);
}

bool FCMeasureNumberRegion::_GetBlockFlag(BlockFlag flag, bool parts) const {
  if (!_IsNewLayout()) {
    const unsigned short bit = kBlockFlagBits[flag].older;
    return bit != 0 && (_GetWord(_Offset(kRegionFlags)) & bit) != 0;
  }
  return (_GetWord(_BlockStart(parts) + somn::kBlockFlags) & kBlockFlagBits[flag].newer) != 0;
}

void FCMeasureNumberRegion::_SetBlockFlag(BlockFlag flag, bool state, bool parts) {
  if (!_IsNewLayout()) {
    const unsigned short bit = kBlockFlagBits[flag].older;
    if (bit != 0) _SetBits(_Offset(kRegionFlags), bit, state);
    return;
  }
  _SetBits(_BlockStart(parts) + somn::kBlockFlags, kBlockFlagBits[flag].newer, state);
}

bool FCMeasureNumberRegion::GetShowOnTopStaff(bool parts) const {
  return _GetBlockFlag(kShowOnTopStaff, parts);
}
void FCMeasureNumberRegion::SetShowOnTopStaff(bool state, bool parts) {
  _SetBlockFlag(kShowOnTopStaff, state, parts);
}
bool FCMeasureNumberRegion::GetShowOnBottomStaff(bool parts) const {
  return _GetBlockFlag(kShowOnBottomStaff, parts);
}
void FCMeasureNumberRegion::SetShowOnBottomStaff(bool state, bool parts) {
  _SetBlockFlag(kShowOnBottomStaff, state, parts);
}
bool FCMeasureNumberRegion::GetShowOnSystemStart(bool parts) const {
  return _GetBlockFlag(kShowOnSystemStart, parts);
}
void FCMeasureNumberRegion::SetShowOnSystemStart(bool state, bool parts) {
  _SetBlockFlag(kShowOnSystemStart, state, parts);
}
bool FCMeasureNumberRegion::GetHideFirstNumber(bool parts) const {
  return _GetBlockFlag(kHideFirstNumber, parts);
}
void FCMeasureNumberRegion::SetHideFirstNumber(bool state, bool parts) {
  _SetBlockFlag(kHideFirstNumber, state, parts);
}
bool FCMeasureNumberRegion::GetShowMultiples(bool parts) const {
  return _GetBlockFlag(kShowMultiples, parts);
}
void FCMeasureNumberRegion::SetShowMultiples(bool state, bool parts) {
  _SetBlockFlag(kShowMultiples, state, parts);
}
bool FCMeasureNumberRegion::GetShowMultiMeasureRange(bool parts) const {
  return _GetBlockFlag(kShowMultiMeasureRange, parts);
}
void FCMeasureNumberRegion::SetShowMultiMeasureRange(bool state, bool parts) {
  _SetBlockFlag(kShowMultiMeasureRange, state, parts);
}

// --- Positions ----------------------------------------------------------------------

short FCMeasureNumberRegion::GetStartVerticalPosition(bool parts) const {
  return _GetWord(_IsNewLayout() ? _BlockStart(parts) + somn::kStartPosition
                                 : somn::kOlderPosition);
}
void FCMeasureNumberRegion::SetStartVerticalPosition(short position, bool parts) {
  _SetWord(_IsNewLayout() ? _BlockStart(parts) + somn::kStartPosition : somn::kOlderPosition,
           position);
}
short FCMeasureNumberRegion::GetMultipleVerticalPosition(bool parts) const {
  return _GetWord(_IsNewLayout() ? _BlockStart(parts) + somn::kMultiplePosition
                                 : somn::kOlderPosition);
}
void FCMeasureNumberRegion::SetMultipleVerticalPosition(short position, bool parts) {
  _SetWord(_IsNewLayout() ? _BlockStart(parts) + somn::kMultiplePosition : somn::kOlderPosition,
           position);
}

// --- Fonts --------------------------------------------------------------------------

int FCMeasureNumberRegion::_FontOffset(FontSlot font, bool parts) const {
  if (_IsNewLayout()) return _BlockStart(parts) + kFontOffsets[font];
  return font == kStartFont ? somn::kOlderStartFont : -1;
}

bool FCMeasureNumberRegion::_GetFont(FontSlot font, FCFontInfo* info, bool parts) const {
  const int offset = _FontOffset(font, parts);
  if (!info || offset < 0) return false;
  info->SetNameByID(_GetWord(offset));
  info->SetSize(_GetWord(offset + somn::kFontSizeWord));
  info->SetEffects(static_cast<unsigned short>(_GetWord(offset + somn::kFontEffectsWord)));
  return true;
}

bool FCMeasureNumberRegion::_SetFont(FontSlot font, FCFontInfo* info, bool parts) {
  const int offset = _FontOffset(font, parts);
  if (!info || offset < 0) return false;
  _SetWord(offset, info->GetNameByID());
  _SetWord(offset + somn::kFontSizeWord, info->GetSize());
  _SetWord(offset + somn::kFontEffectsWord, static_cast<short>(info->GetEffects()));
  return true;
}

bool FCMeasureNumberRegion::GetStartFontInfo(FCFontInfo* font, bool parts) const {
  return _GetFont(kStartFont, font, parts);
}
bool FCMeasureNumberRegion::SetStartFontInfo(FCFontInfo* font, bool parts) {
  return _SetFont(kStartFont, font, parts);
}
bool FCMeasureNumberRegion::GetMultipleFontInfo(FCFontInfo* font, bool parts) const {
  return _GetFont(kMultipleFont, font, parts);
}
bool FCMeasureNumberRegion::SetMultipleFontInfo(FCFontInfo* font, bool parts) {
  return _SetFont(kMultipleFont, font, parts);
}
bool FCMeasureNumberRegion::GetMultiMeasureFontInfo(FCFontInfo* font, bool parts) const {
  return _GetFont(kMultiMeasureFont, font, parts);
}
bool FCMeasureNumberRegion::SetMultiMeasureFontInfo(FCFontInfo* font, bool parts) {
  return _SetFont(kMultiMeasureFont, font, parts);
}

// --- Enclosures ---------------------------------------------------------------------

FCEnclosure* FCMeasureNumberRegion::_Enclosure(int index, int blockOffset, bool parts) {
  FCEnclosure* enclosure = &_enclosures[index + (parts ? 1 : 0)];
  const int offset = _IsNewLayout() ? _BlockStart(parts) + blockOffset : somn::kOlderEnclosure;
  enclosure->_EmbedIn(_record + offset);
  return enclosure;
}

FCEnclosure* FCMeasureNumberRegion::GetEnclosure(bool parts) {
  return _Enclosure(0, somn::kStartEnclosure, parts);
}

FCEnclosure* FCMeasureNumberRegion::GetMultipleEnclosure(bool parts) {
  return _Enclosure(2, somn::kMultipleEnclosure, parts);
}

// --- Prefix and suffix --------------------------------------------------------------

void FCMeasureNumberRegion::_GetAffix(int field, FCString* text) const {
  if (!text) return;
  char narrow[AFFIX_SIZE + 1];
  std::memcpy(narrow, _record + _Offset(field), AFFIX_SIZE);
  narrow[AFFIX_SIZE] = '\0';
  text->SetCString(narrow);
}

void FCMeasureNumberRegion::_SetAffix(int field, FCString* text) {
  if (!text) return;
  const char* narrow = text->GetCString();
  uint8_t* destination = _record + _Offset(field);
  std::memset(destination, 0, AFFIX_SIZE);
  const size_t length = narrow ? std::strlen(narrow) : 0;
  std::memcpy(destination, narrow, length < AFFIX_SIZE ? length : AFFIX_SIZE - 1);
}

void FCMeasureNumberRegion::GetPrefix(FCString* text) const { _GetAffix(kPrefix, text); }
void FCMeasureNumberRegion::SetPrefix(FCString* text) { _SetAffix(kPrefix, text); }
void FCMeasureNumberRegion::GetSuffix(FCString* text) const { _GetAffix(kSuffix, text); }
void FCMeasureNumberRegion::SetSuffix(FCString* text) { _SetAffix(kSuffix, text); }

// --- Computed -----------------------------------------------------------------------

bool FCMeasureNumberRegion::ContainsMeasure(short measure) const {
  return GetStartMeasure() <= measure && measure <= GetEndMeasure();
}

void FCMeasureNumberRegion::SetNumberingStyle(NUMBERINGSTYLE style) {
  if (style != NUMBERING_DIGITS) return;
  SetBase(10);
  SetStartChar('0');
  SetCountFromOne(true);
  SetNoZero(false);
  SetDoubleUp(false);
}

bool FCMeasureNumberRegion::GetDisplayedNumber(short measure, FCString* text) const {
  if (!text || !ContainsMeasure(measure)) return false;
  // A base of 0 would divide by zero and a base of 1 never reach zero.
  const int base = GetBase();
  if (base < 2) return false;
  int value = measure - GetStartMeasure() + GetStartNumber();
  if (!GetCountFromOne()) value -= 1;
  // Below zero the characters would fall below the start character; the number is
  // written from its magnitude, after a minus sign.
  const bool negative = value < 0;
  const int magnitude = negative ? -value : value;
  const unsigned short start = static_cast<unsigned short>(GetStartChar());
  text->SetCString(negative ? "-" : "");
  if (GetDoubleUp()) {
    // One character, repeated once for every full round of the base.
    std::vector<unsigned short> units(static_cast<size_t>(magnitude / base + 1),
                                      static_cast<unsigned short>(start + magnitude % base));
    units.push_back(0);
    FCString repeated;
    repeated.SetUnicodeString(units.data());
    text->Append(&repeated);
    return true;
  }
  // The magnitude stays below 2^17 (three 16-bit numbers add up to it) and the base is
  // at least 2, so 17 digits suffice.
  unsigned short digits[17];
  int count = 0;
  int rest = magnitude;
  do {
    digits[count++] = static_cast<unsigned short>(start + rest % base);
    rest /= base;
  } while (rest > 0 && count < 17);
  while (count > 0) text->Append(digits[--count]);
  return true;
}

FCString* FCMeasureNumberRegion::CreateDisplayedString(short measure) const {
  FCString number;
  if (!GetDisplayedNumber(measure, &number)) return nullptr;
  FCString* text = new FCString();
  _GetAffix(kPrefix, text);
  text->Append(&number);
  FCString suffix;
  _GetAffix(kSuffix, &suffix);
  text->Append(&suffix);
  return text;
}

void FCMeasureNumberRegion::CloneFormattingFrom(FCMeasureNumberRegion* source, bool score,
                                                bool parts) {
  if (!source || !_IsNewLayout()) return;
  // Both blocks are read before anything is written: the source may be this region.
  uint8_t scoreBlock[somn::kBlockBytes];
  uint8_t partsBlock[somn::kBlockBytes];
  std::memcpy(scoreBlock, source->_record + somn::kScoreBlock, somn::kBlockBytes);
  std::memcpy(
      partsBlock,
      source->_record + (source->GetUseScoreInfoForParts() ? somn::kScoreBlock : somn::kPartsBlock),
      somn::kBlockBytes);
  if (score) std::memcpy(_record + somn::kScoreBlock, scoreBlock, somn::kBlockBytes);
  if (parts) std::memcpy(_record + somn::kPartsBlock, partsBlock, somn::kBlockBytes);
}

// --- FCMeasureNumberRegions ------------------------------------------------------------

int FCMeasureNumberRegions::CalcMeasureNumber(int measure, FCString* text) {
  if (!text) return -1;
  const bool fits = measure >= -32768 && measure <= 32767;
  for (int i = 0; fits && i < GetCount(); ++i) {
    const FCMeasureNumberRegion* region = dynamic_cast<FCMeasureNumberRegion*>(GetItemAt(i));
    if (!region || !region->ContainsMeasure(static_cast<short>(measure))) continue;
    if (region->GetDisplayedNumber(static_cast<short>(measure), text)) return i;
    break;
  }
  text->SetInteger(measure);
  return -1;
}
