// The host's knowledge of the notation records it computes with: measure number regions
// (stored in the newer layout, served in either), text expression definitions (stored
// with a UTF-16 description, served in the caller's encoding), expressions placed in
// measures, staff lists and category definitions.
//
// This is the one place where the host reads and writes those layouts: the record
// functions (host/functions/notationcodecs.cpp), the document file and what `fxthost show`
// prints all go through it. The rules are in docs/host-notation.md.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bridge/measurenumberlayout.h"
#include "bridge/recordbytes.h"
#include "host/store/document.h"

namespace fxthost {

constexpr uint32_t kMeasureNumberRegionTag = fxt::somn::kTag;
constexpr uint32_t kTextExpressionDefTag = fxt::MakeTag('S', 'O', 'D', 'T');
constexpr uint32_t kExpressionTag = fxt::MakeTag('S', 'O', 'D', 'Y');
constexpr uint32_t kEnclosureTag = fxt::MakeTag('o', 't', 'D', 'e');
constexpr uint32_t kCategoryTag = fxt::MakeTag('o', 't', 'C', 'g');
constexpr uint32_t kExpressionTextTag = fxt::MakeTag('t', 'x', 'x', 'p');
// Raw text type of the blocks behind expression texts ('xp').
constexpr uint16_t kExpressionTextType = 0x7870;

// The four kinds of staff list, by tag; the first is the kind an expression's list is
// read as unless a plug-in asks for another.
constexpr uint32_t kStaffListTags[4] = {
    fxt::MakeTag('o', 't', 'D', 'C'), fxt::MakeTag('o', 't', 'd', 'c'),
    fxt::MakeTag('o', 't', 'I', 'O'), fxt::MakeTag('o', 't', 'i', 'o')};

// --- Measure number regions --------------------------------------------------------

// Callers of this record version and later use the newer layout.
constexpr uint32_t kNewerRegionVersion = fxt::somn::kFirstNewerVersion;

struct RegionFont {
  int16_t font = 0;
  int16_t size = 0;
  uint16_t effects = 0;
  friend bool operator==(const RegionFont& a, const RegionFont& b) {
    return a.font == b.font && a.size == b.size && a.effects == b.effects;
  }
};

// What a user says about a region: its range and numbering and the score's fonts.
struct NumberRegion {
  uint16_t id = 0;  // the record's item number
  int16_t startMeasure = 1;
  int16_t endMeasure = 1;
  int16_t startNumber = 1;
  int16_t base = 10;
  uint16_t startCharacter = '0';
  std::u16string prefix;
  std::u16string suffix;
  bool countFromOne = true;
  bool doubleUp = false;
  int16_t regionId = 0;
  RegionFont fonts[3];  // start, multiple, multi-measure rest (score block)
};

// The region as a stored record (newer layout); every byte it does not name is zero.
RecordStore::Bytes RegionRecord(const NumberRegion& region);
// The region a stored record says (the record's further settings are not part of it).
NumberRegion ReadRegion(uint16_t id, const RecordStore::Bytes& stored);
// The document's regions in key order.
std::vector<NumberRegion> MeasureNumberRegionsOf(const Document& document);
// Prefix, number and suffix as the region shows the measure; nothing when the region
// does not contain the measure or its base is below 2.
std::optional<std::u16string> ShownMeasureNumber(const NumberRegion& region, int measure);

// The layout conversions: a stored record as a caller of the older layout sees it, and
// a caller's older record merged into the stored one (null: there is none yet).
RecordStore::Bytes OlderRegionLayout(const RecordStore::Bytes& stored);
RecordStore::Bytes NewerRegionLayout(const void* older, int32_t size,
                                     const RecordStore::Bytes* stored);

// --- Text expression definitions ----------------------------------------------------

// The fixed part of a definition record; the description follows it.
constexpr int kDefinitionFixedSize = 34;
// Callers of this record version and later send and receive UTF-16 descriptions.
constexpr uint32_t kUnicodeDefinitionVersion = 0x11000000;

// The smallest record a caller of the version may send: the fixed part and an empty
// description (36 bytes for 8-bit, 38 for UTF-16).
int32_t MinimumDefinitionSize(uint32_t version);
// The stored form: the fixed part (missing bytes zero) and the description as UTF-16
// units with a 0 unit.
RecordStore::Bytes StoredDefinition(const RecordStore::Bytes& fixed,
                                    const std::u16string& description);
std::u16string DefinitionDescription(const RecordStore::Bytes& stored);

struct TextExpressionDef {
  uint16_t id = 0;
  uint16_t textBlock = 0;
  std::optional<std::string> text;  // the raw text (inline tags included), when readable
  std::u16string description;
  int16_t rehearsalStyle = 0;
  uint16_t category = 0;  // 0 to 0x3FFF
  bool useCategoryFont = false;
  bool useCategoryPosition = false;
  bool enclosure = false;
};

// The definition as a stored record, naming the text block given; other bytes zero.
RecordStore::Bytes DefinitionRecord(const TextExpressionDef& definition);
TextExpressionDef ReadDefinition(const Document& document, uint16_t id,
                                 const RecordStore::Bytes& stored);
std::vector<TextExpressionDef> TextExpressionDefsOf(const Document& document);

// --- Expressions -----------------------------------------------------------------

constexpr int kExpressionRecordSize = 24;

struct PlacedExpression {
  uint16_t measure = 0;
  uint16_t inci = 0;
  uint16_t definition = 0;
  int16_t staff = 0;
  bool shape = false;
  uint16_t staffList = 0;
  int32_t position = 0;
};

RecordStore::Bytes ExpressionRecord(const PlacedExpression& expression);
PlacedExpression ReadExpression(const DataKey& key, const RecordStore::Bytes& stored);
std::vector<PlacedExpression> PlacedExpressionsOf(const Document& document);

// The staves of a staff list of one kind (its gapless run from inci 0).
std::vector<int16_t> ReadStaffList(const Document& document, uint32_t tag, uint16_t list);

}  // namespace fxthost
