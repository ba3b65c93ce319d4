// The notation records the host computes with: measure number regions in both layouts,
// text expression definitions, expressions, staff lists and categories (notationmodel.h;
// the rules are in docs/host-notation.md).
#include "host/store/notationmodel.h"

#include <algorithm>
#include <cstring>

#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"

namespace fxthost {

namespace {

// --- The two region layouts ---------------------------------------------------------

// Where the fields lie is in bridge/measurenumberlayout.h, shared with the framework;
// what follows is how the host converts between the layouts.
namespace somn = fxt::somn;

// The score block's offsets of the fonts, start, multiple and multi-measure rest.
constexpr size_t kFontOffsets[3] = {somn::kScoreBlock + somn::kStartFont,
                                    somn::kScoreBlock + somn::kMultipleFont,
                                    somn::kScoreBlock + somn::kMultiMeasureFont};
// Byte runs the two layouts hold alike: older offset, newer offset, length.
struct Run {
  size_t older, newer, length;
};
constexpr Run kRuns[] = {
    {somn::kOlderStartFont, somn::kScoreBlock + somn::kStartFont, somn::kFontBytes},
    {somn::kOlderStartMeasure, somn::kStartMeasure, 2},
    {somn::kOlderEndMeasure, somn::kEndMeasure, 2},
    {somn::kOlderStartCharacter, somn::kStartCharacter, 2},
    {somn::kOlderBase, somn::kBase, 2},
    {somn::kOlderStartNumber, somn::kStartNumber, 2},
    {somn::kOlderPosition, somn::kScoreBlock + somn::kStartPosition, 2},
    {somn::kOlderPrefix, somn::kPrefix, somn::kAffixBytes},
    {somn::kOlderSuffix, somn::kSuffix, somn::kAffixBytes},
    {somn::kOlderEnclosure, somn::kScoreBlock + somn::kStartEnclosure, somn::kEnclosureBytes},
    {somn::kOlderRegionId, somn::kRegionId, 2},
};
// Block flags: the newer block bit and the older flag bit.
struct FlagPair {
  uint16_t newer, older;
};
constexpr FlagPair kBlockFlagPairs[] = {{somn::kShowOnSystemStart, somn::kOlderShowOnSystemStart},
                                        {somn::kShowMultiples, somn::kOlderShowMultiples},
                                        {somn::kHideFirstNumber, somn::kOlderHideFirstNumber},
                                        {somn::kShowOnTopStaff, somn::kOlderShowOnTopStaff},
                                        {somn::kShowOnBottomStaff, somn::kOlderShowOnBottomStaff}};
constexpr size_t kAffixSize = somn::kAffixBytes;

RecordStore::Bytes Padded(const void* data, int32_t size, size_t length) {
  RecordStore::Bytes bytes(length, 0);
  if (data && size > 0)
    std::memcpy(bytes.data(), data, std::min(static_cast<size_t>(size), length));
  return bytes;
}

std::u16string Affix(const RecordStore::Bytes& record, size_t offset) {
  const char* bytes = reinterpret_cast<const char*>(record.data() + offset);
  const void* nul = std::memchr(bytes, 0, kAffixSize);
  return Cp1252ToUtf16(
      bytes, nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes) : kAffixSize);
}

void PutAffix(RecordStore::Bytes* record, size_t offset, const std::u16string& text) {
  std::string narrow = Utf16ToCp1252(text);
  if (narrow.size() > kAffixSize - 1) narrow.resize(kAffixSize - 1);
  std::memcpy(record->data() + offset, narrow.data(), narrow.size());
}

// --- Definitions ----------------------------------------------------------------------

constexpr size_t kTextBlockWord = 0;
constexpr size_t kRehearsalStyle = 2;
constexpr size_t kDefinitionFlags = 10;
constexpr size_t kCategoryWord = 26;
constexpr uint16_t kHasEnclosure = 0x0800;
constexpr uint16_t kCategoryBits = 0x3FFF;
constexpr uint16_t kCategoryPosition = 0x4000;
constexpr uint16_t kCategoryFont = 0x8000;

// --- Expressions ----------------------------------------------------------------------

constexpr size_t kExpressionPositionLow = 2;
constexpr size_t kExpressionStaff = 8;
constexpr size_t kExpressionFlags = 10;
constexpr size_t kExpressionStaffList = 14;
constexpr size_t kExpressionPositionHigh = 16;
constexpr uint16_t kShapeExpression = 0x2000;

}  // namespace

// --- Measure number regions ----------------------------------------------------------

RecordStore::Bytes RegionRecord(const NumberRegion& region) {
  RecordStore::Bytes record(somn::kNewerSize, 0);
  uint8_t* bytes = record.data();
  for (int i = 0; i < 3; ++i) {
    fxt::PutS16(bytes, kFontOffsets[i] + somn::kFontNumberWord, region.fonts[i].font);
    fxt::PutS16(bytes, kFontOffsets[i] + somn::kFontSizeWord, region.fonts[i].size);
    fxt::PutU16(bytes, kFontOffsets[i] + somn::kFontEffectsWord, region.fonts[i].effects);
  }
  fxt::PutS16(bytes, somn::kStartMeasure, region.startMeasure);
  fxt::PutS16(bytes, somn::kEndMeasure, static_cast<int16_t>(region.endMeasure + 1));
  fxt::PutU16(bytes, somn::kStartCharacter, region.startCharacter);
  fxt::PutS16(bytes, somn::kBase, region.base);
  fxt::PutS16(bytes, somn::kStartNumber, static_cast<int16_t>(region.startNumber - 1));
  PutAffix(&record, somn::kPrefix, region.prefix);
  PutAffix(&record, somn::kSuffix, region.suffix);
  uint16_t flags = 0;
  if (region.countFromOne) flags |= somn::kCountFromOne;
  if (region.doubleUp) flags |= somn::kDoubleUp;
  fxt::PutU16(bytes, somn::kRegionFlags, flags);
  fxt::PutS16(bytes, somn::kRegionId, region.regionId);
  return record;
}

NumberRegion ReadRegion(uint16_t id, const RecordStore::Bytes& stored) {
  const RecordStore::Bytes record =
      Padded(stored.data(), static_cast<int32_t>(stored.size()), somn::kNewerSize);
  const uint8_t* bytes = record.data();
  NumberRegion region;
  region.id = id;
  for (int i = 0; i < 3; ++i) {
    region.fonts[i].font = fxt::GetS16(bytes, kFontOffsets[i] + somn::kFontNumberWord);
    region.fonts[i].size = fxt::GetS16(bytes, kFontOffsets[i] + somn::kFontSizeWord);
    region.fonts[i].effects = fxt::GetU16(bytes, kFontOffsets[i] + somn::kFontEffectsWord);
  }
  region.startMeasure = fxt::GetS16(bytes, somn::kStartMeasure);
  region.endMeasure = static_cast<int16_t>(fxt::GetS16(bytes, somn::kEndMeasure) - 1);
  region.startCharacter = fxt::GetU16(bytes, somn::kStartCharacter);
  region.base = fxt::GetS16(bytes, somn::kBase);
  region.startNumber = static_cast<int16_t>(fxt::GetS16(bytes, somn::kStartNumber) + 1);
  region.prefix = Affix(record, somn::kPrefix);
  region.suffix = Affix(record, somn::kSuffix);
  const uint16_t flags = fxt::GetU16(bytes, somn::kRegionFlags);
  region.countFromOne = (flags & somn::kCountFromOne) != 0;
  region.doubleUp = (flags & somn::kDoubleUp) != 0;
  region.regionId = fxt::GetS16(bytes, somn::kRegionId);
  return region;
}

std::vector<NumberRegion> MeasureNumberRegionsOf(const Document& document) {
  std::vector<NumberRegion> regions;
  document.records.ForEach(kMeasureNumberRegionTag,
                           [&](const DataKey& key, const RecordStore::Bytes& bytes) {
                             if (key.second == 0 && key.third == 0 && key.extra == 0)
                               regions.push_back(ReadRegion(key.first, bytes));
                           });
  return regions;
}

std::optional<std::u16string> ShownMeasureNumber(const NumberRegion& region, int measure) {
  if (measure < region.startMeasure || measure > region.endMeasure || region.base < 2)
    return std::nullopt;
  int32_t value = measure - region.startMeasure + region.startNumber;
  if (!region.countFromOne) --value;
  const bool minus = value < 0;
  if (minus) value = -value;
  std::u16string digits;
  if (region.doubleUp) {
    digits.assign(static_cast<size_t>(value / region.base + 1),
                  static_cast<char16_t>(region.startCharacter + value % region.base));
  } else {
    for (int32_t rest = value;; rest /= region.base) {
      digits.insert(digits.begin(),
                    static_cast<char16_t>(region.startCharacter + rest % region.base));
      if (rest < region.base) break;
    }
  }
  return region.prefix + (minus ? u"-" : u"") + digits + region.suffix;
}

RecordStore::Bytes OlderRegionLayout(const RecordStore::Bytes& stored) {
  const RecordStore::Bytes newer =
      Padded(stored.data(), static_cast<int32_t>(stored.size()), somn::kNewerSize);
  RecordStore::Bytes older(somn::kOlderSize, 0);
  for (const Run& run : kRuns)
    std::memcpy(older.data() + run.older, newer.data() + run.newer, run.length);
  uint16_t flags = fxt::GetU16(newer.data(), somn::kRegionFlags) & somn::kSharedRegionFlags;
  const uint16_t block = fxt::GetU16(newer.data(), somn::kScoreBlock + somn::kBlockFlags);
  for (const FlagPair& pair : kBlockFlagPairs)
    if (block & pair.newer) flags |= pair.older;
  fxt::PutU16(older.data(), somn::kOlderFlags, flags);
  return older;
}

RecordStore::Bytes NewerRegionLayout(const void* older, int32_t size,
                                     const RecordStore::Bytes* stored) {
  const RecordStore::Bytes from = Padded(older, size, somn::kOlderSize);
  RecordStore::Bytes newer;
  if (stored) {
    newer = Padded(stored->data(), static_cast<int32_t>(stored->size()), somn::kNewerSize);
  } else {
    // A region the older layout makes: the parts follow the score.
    newer.assign(somn::kNewerSize, 0);
    fxt::PutU16(newer.data(), somn::kRegionFlags, somn::kUseScoreForParts);
  }
  for (const Run& run : kRuns)
    std::memcpy(newer.data() + run.newer, from.data() + run.older, run.length);
  // The older layout's one position stands for both of the score's.
  std::memcpy(newer.data() + somn::kScoreBlock + somn::kMultiplePosition,
              from.data() + somn::kOlderPosition, 2);
  const uint16_t olderFlags = fxt::GetU16(from.data(), somn::kOlderFlags);
  uint16_t region = fxt::GetU16(newer.data(), somn::kRegionFlags);
  region = static_cast<uint16_t>((region & ~somn::kSharedRegionFlags) |
                                 (olderFlags & somn::kSharedRegionFlags));
  fxt::PutU16(newer.data(), somn::kRegionFlags, region);
  uint16_t block = fxt::GetU16(newer.data(), somn::kScoreBlock + somn::kBlockFlags);
  for (const FlagPair& pair : kBlockFlagPairs) {
    block = static_cast<uint16_t>(block & ~pair.newer);
    if (olderFlags & pair.older) block |= pair.newer;
  }
  fxt::PutU16(newer.data(), somn::kScoreBlock + somn::kBlockFlags, block);
  return newer;
}

// --- Text expression definitions ----------------------------------------------------

int32_t MinimumDefinitionSize(uint32_t version) {
  return kDefinitionFixedSize + (version >= kUnicodeDefinitionVersion ? 4 : 2);
}

RecordStore::Bytes StoredDefinition(const RecordStore::Bytes& fixed,
                                    const std::u16string& description) {
  RecordStore::Bytes stored =
      Padded(fixed.data(), static_cast<int32_t>(fixed.size()), kDefinitionFixedSize);
  const RecordStore::Bytes text = StoredText(description);
  stored.insert(stored.end(), text.begin(), text.end());
  return stored;
}

std::u16string DefinitionDescription(const RecordStore::Bytes& stored) {
  if (stored.size() <= static_cast<size_t>(kDefinitionFixedSize)) return std::u16string();
  return TextOfStored(RecordStore::Bytes(stored.begin() + kDefinitionFixedSize, stored.end()));
}

RecordStore::Bytes DefinitionRecord(const TextExpressionDef& definition) {
  RecordStore::Bytes fixed(kDefinitionFixedSize, 0);
  fxt::PutU16(fixed.data(), kTextBlockWord, definition.textBlock);
  fxt::PutS16(fixed.data(), kRehearsalStyle, definition.rehearsalStyle);
  fxt::PutU16(fixed.data(), kDefinitionFlags, definition.enclosure ? kHasEnclosure : 0);
  uint16_t category = definition.category & kCategoryBits;
  if (definition.useCategoryFont) category |= kCategoryFont;
  if (definition.useCategoryPosition) category |= kCategoryPosition;
  fxt::PutU16(fixed.data(), kCategoryWord, category);
  return StoredDefinition(fixed, definition.description);
}

TextExpressionDef ReadDefinition(const Document& document, uint16_t id,
                                 const RecordStore::Bytes& stored) {
  const RecordStore::Bytes fixed =
      Padded(stored.data(), static_cast<int32_t>(stored.size()), kDefinitionFixedSize);
  TextExpressionDef definition;
  definition.id = id;
  definition.textBlock = fxt::GetU16(fixed.data(), kTextBlockWord);
  std::string text;
  if (definition.textBlock != 0 && ReadTextBlock(document, definition.textBlock, &text))
    definition.text = text;
  definition.description = DefinitionDescription(stored);
  definition.rehearsalStyle = fxt::GetS16(fixed.data(), kRehearsalStyle);
  definition.enclosure = (fxt::GetU16(fixed.data(), kDefinitionFlags) & kHasEnclosure) != 0;
  const uint16_t category = fxt::GetU16(fixed.data(), kCategoryWord);
  definition.category = category & kCategoryBits;
  definition.useCategoryFont = (category & kCategoryFont) != 0;
  definition.useCategoryPosition = (category & kCategoryPosition) != 0;
  return definition;
}

std::vector<TextExpressionDef> TextExpressionDefsOf(const Document& document) {
  std::vector<TextExpressionDef> definitions;
  document.records.ForEach(kTextExpressionDefTag,
                           [&](const DataKey& key, const RecordStore::Bytes& bytes) {
                             if (key.second == 0 && key.third == 0 && key.extra == 0)
                               definitions.push_back(ReadDefinition(document, key.first, bytes));
                           });
  return definitions;
}

// --- Expressions -----------------------------------------------------------------------

RecordStore::Bytes ExpressionRecord(const PlacedExpression& expression) {
  RecordStore::Bytes record(kExpressionRecordSize, 0);
  uint8_t* bytes = record.data();
  fxt::PutU16(bytes, 0, expression.definition);
  const int16_t low = static_cast<int16_t>(static_cast<uint32_t>(expression.position) & 0xFFFF);
  fxt::PutS16(bytes, kExpressionPositionLow, low);
  fxt::PutS16(bytes, kExpressionPositionHigh,
              static_cast<int16_t>((static_cast<int64_t>(expression.position) - low) / 65536));
  fxt::PutS16(bytes, kExpressionStaff, expression.staff);
  fxt::PutU16(bytes, kExpressionFlags, expression.shape ? kShapeExpression : 0);
  fxt::PutU16(bytes, kExpressionStaffList, expression.staffList);
  return record;
}

PlacedExpression ReadExpression(const DataKey& key, const RecordStore::Bytes& stored) {
  const RecordStore::Bytes record =
      Padded(stored.data(), static_cast<int32_t>(stored.size()), kExpressionRecordSize);
  const uint8_t* bytes = record.data();
  PlacedExpression expression;
  expression.measure = key.first;
  expression.inci = key.second;
  expression.definition = fxt::GetU16(bytes, 0);
  expression.position = static_cast<int32_t>(
      static_cast<int64_t>(fxt::GetS16(bytes, kExpressionPositionHigh)) * 65536 +
      fxt::GetS16(bytes, kExpressionPositionLow));
  expression.staff = fxt::GetS16(bytes, kExpressionStaff);
  expression.shape = (fxt::GetU16(bytes, kExpressionFlags) & kShapeExpression) != 0;
  expression.staffList = fxt::GetU16(bytes, kExpressionStaffList);
  return expression;
}

std::vector<PlacedExpression> PlacedExpressionsOf(const Document& document) {
  std::vector<PlacedExpression> expressions;
  document.records.ForEach(kExpressionTag,
                           [&](const DataKey& key, const RecordStore::Bytes& bytes) {
                             if (key.third == 0 && key.extra == 0)
                               expressions.push_back(ReadExpression(key, bytes));
                           });
  return expressions;
}

std::vector<int16_t> ReadStaffList(const Document& document, uint32_t tag, uint16_t list) {
  std::vector<int16_t> staves;
  for (uint16_t inci = 0; inci <= 0x7FFF; ++inci) {
    const RecordStore::Bytes* record = document.records.Find(tag, DataKey::Of(list, inci));
    if (!record || record->size() < 2) break;
    staves.push_back(fxt::GetS16(record->data(), 0));
  }
  return staves;
}

}  // namespace fxthost
