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

// Newer layout: the score block, the range and numbering, the region flags.
constexpr size_t kBlockSize = 66;
constexpr size_t kFontOffsets[3] = {0, 6, 12};
constexpr size_t kStartPosition = 44;
constexpr size_t kMultiplePosition = 48;
constexpr size_t kBlockFlags = 62;
constexpr size_t kStartMeasure = 132;
constexpr size_t kEndMeasure = 134;
constexpr size_t kStartCharacter = 136;
constexpr size_t kBase = 138;
constexpr size_t kStartNumber = 140;
constexpr size_t kPrefix = 142;
constexpr size_t kSuffix = 166;
constexpr size_t kAffixSize = 24;
constexpr size_t kRegionFlags = 190;
constexpr size_t kRegionId = 192;
constexpr size_t kOlderFlags = 82;
static_assert(2 * kBlockSize == kStartMeasure, "the score and parts blocks precede the range");

constexpr uint16_t kUseScoreForParts = 0x0002;
constexpr uint16_t kDoubleUp = 0x0020;
constexpr uint16_t kCountFromOne = 0x0080;
// The region flags both layouts keep in the same bits (double up, no zero, count from
// one).
constexpr uint16_t kSharedRegionFlags = 0x00E0;

// Byte runs the two layouts hold alike: older offset, newer offset, length.
struct Run {
  size_t older, newer, length;
};
constexpr Run kRuns[] = {
    {0, 0, 6},  // start font
    {6, kStartMeasure, 2},
    {8, kEndMeasure, 2},  // range
    {12, kStartCharacter, 2},
    {14, kBase, 2},  // numbering
    {16, kStartNumber, 2},
    {20, kStartPosition, 2},
    {22, kPrefix, kAffixSize},
    {46, kSuffix, kAffixSize},
    {70, 18, 12},  // the start enclosure
    {86, kRegionId, 2},
};
// Block flags: the newer block bit and the older flag bit.
struct FlagPair {
  uint16_t newer, older;
};
constexpr FlagPair kBlockFlagPairs[] = {
    {0x0040, 0x8000}, {0x0080, 0x4000}, {0x0100, 0x1000}, {0x2000, 0x0008}, {0x4000, 0x0004}};

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
  RecordStore::Bytes record(kRegionRecordSize, 0);
  uint8_t* bytes = record.data();
  for (int i = 0; i < 3; ++i) {
    fxt::PutS16(bytes, kFontOffsets[i], region.fonts[i].font);
    fxt::PutS16(bytes, kFontOffsets[i] + 2, region.fonts[i].size);
    fxt::PutU16(bytes, kFontOffsets[i] + 4, region.fonts[i].effects);
  }
  fxt::PutS16(bytes, kStartMeasure, region.startMeasure);
  fxt::PutS16(bytes, kEndMeasure, static_cast<int16_t>(region.endMeasure + 1));
  fxt::PutU16(bytes, kStartCharacter, region.startCharacter);
  fxt::PutS16(bytes, kBase, region.base);
  fxt::PutS16(bytes, kStartNumber, static_cast<int16_t>(region.startNumber - 1));
  PutAffix(&record, kPrefix, region.prefix);
  PutAffix(&record, kSuffix, region.suffix);
  uint16_t flags = 0;
  if (region.countFromOne) flags |= kCountFromOne;
  if (region.doubleUp) flags |= kDoubleUp;
  fxt::PutU16(bytes, kRegionFlags, flags);
  fxt::PutS16(bytes, kRegionId, region.regionId);
  return record;
}

NumberRegion ReadRegion(uint16_t id, const RecordStore::Bytes& stored) {
  const RecordStore::Bytes record =
      Padded(stored.data(), static_cast<int32_t>(stored.size()), kRegionRecordSize);
  const uint8_t* bytes = record.data();
  NumberRegion region;
  region.id = id;
  for (int i = 0; i < 3; ++i) {
    region.fonts[i].font = fxt::GetS16(bytes, kFontOffsets[i]);
    region.fonts[i].size = fxt::GetS16(bytes, kFontOffsets[i] + 2);
    region.fonts[i].effects = fxt::GetU16(bytes, kFontOffsets[i] + 4);
  }
  region.startMeasure = fxt::GetS16(bytes, kStartMeasure);
  region.endMeasure = static_cast<int16_t>(fxt::GetS16(bytes, kEndMeasure) - 1);
  region.startCharacter = fxt::GetU16(bytes, kStartCharacter);
  region.base = fxt::GetS16(bytes, kBase);
  region.startNumber = static_cast<int16_t>(fxt::GetS16(bytes, kStartNumber) + 1);
  region.prefix = Affix(record, kPrefix);
  region.suffix = Affix(record, kSuffix);
  const uint16_t flags = fxt::GetU16(bytes, kRegionFlags);
  region.countFromOne = (flags & kCountFromOne) != 0;
  region.doubleUp = (flags & kDoubleUp) != 0;
  region.regionId = fxt::GetS16(bytes, kRegionId);
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
      Padded(stored.data(), static_cast<int32_t>(stored.size()), kRegionRecordSize);
  RecordStore::Bytes older(kOlderRegionRecordSize, 0);
  for (const Run& run : kRuns)
    std::memcpy(older.data() + run.older, newer.data() + run.newer, run.length);
  uint16_t flags = fxt::GetU16(newer.data(), kRegionFlags) & kSharedRegionFlags;
  const uint16_t block = fxt::GetU16(newer.data(), kBlockFlags);
  for (const FlagPair& pair : kBlockFlagPairs)
    if (block & pair.newer) flags |= pair.older;
  fxt::PutU16(older.data(), kOlderFlags, flags);
  return older;
}

RecordStore::Bytes NewerRegionLayout(const void* older, int32_t size,
                                     const RecordStore::Bytes* stored) {
  const RecordStore::Bytes from = Padded(older, size, kOlderRegionRecordSize);
  RecordStore::Bytes newer;
  if (stored) {
    newer = Padded(stored->data(), static_cast<int32_t>(stored->size()), kRegionRecordSize);
  } else {
    // A region the older layout makes: the parts follow the score.
    newer.assign(kRegionRecordSize, 0);
    fxt::PutU16(newer.data(), kRegionFlags, kUseScoreForParts);
  }
  for (const Run& run : kRuns)
    std::memcpy(newer.data() + run.newer, from.data() + run.older, run.length);
  // The older layout's one position stands for both of the score's.
  std::memcpy(newer.data() + kMultiplePosition, from.data() + 20, 2);
  const uint16_t olderFlags = fxt::GetU16(from.data(), kOlderFlags);
  uint16_t region = fxt::GetU16(newer.data(), kRegionFlags);
  region =
      static_cast<uint16_t>((region & ~kSharedRegionFlags) | (olderFlags & kSharedRegionFlags));
  fxt::PutU16(newer.data(), kRegionFlags, region);
  uint16_t block = fxt::GetU16(newer.data(), kBlockFlags);
  for (const FlagPair& pair : kBlockFlagPairs) {
    block = static_cast<uint16_t>(block & ~pair.newer);
    if (olderFlags & pair.older) block |= pair.newer;
  }
  fxt::PutU16(newer.data(), kBlockFlags, block);
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
