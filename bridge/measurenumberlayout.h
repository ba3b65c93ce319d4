// The measure number region record ('SOMN') byte by byte: its two layouts, where each
// field lies, how long it is and which bits its flag words use. The framework
// (FCMeasureNumberRegion) and the emulated host both read and write the record through
// these values, so that the two sides share one layout. Header-only, like recordbytes.h.
//
// Words are little-endian 16-bit. A font is three words (number, size, effects); an
// enclosure is 12 bytes, carried whole; a prefix or suffix is 8-bit text with its
// terminator in 24 bytes. Bytes between the fields named here are carried unchanged.
//
// The newer layout (196 bytes) holds two blocks of display settings, the score's and
// the parts', then the range, the numbering and the region flags. The older layout (88
// bytes) holds one set of display settings, whose flags share one word with the region
// flags. A record version below kFirstNewerVersion selects the older layout.
#pragma once

#include <cstdint>

#include "bridge/recordbytes.h"

namespace fxt {
namespace somn {

constexpr uint32_t kTag = MakeTag('S', 'O', 'M', 'N');

// --- Record versions -----------------------------------------------------------------

// Callers of this record version and later read and write the newer layout.
constexpr uint32_t kFirstNewerVersion = 0x0F000000;
// The record versions the framework passes with each layout.
constexpr uint32_t kOlderVersion = 0x0A000000;
constexpr uint32_t kNewerVersion = 0x0F000200;

// --- Parts of both layouts -------------------------------------------------------------

constexpr int kFontNumberWord = 0;
constexpr int kFontSizeWord = 2;
constexpr int kFontEffectsWord = 4;
constexpr int kFontBytes = 6;
constexpr int kEnclosureBytes = 12;
// A prefix or suffix field, terminator included.
constexpr int kAffixBytes = 24;

// --- Newer layout ----------------------------------------------------------------------

constexpr int kNewerSize = 196;
constexpr int kBlockBytes = 66;
constexpr int kScoreBlock = 0;
constexpr int kPartsBlock = 66;

// Offsets within a block.
constexpr int kStartFont = 0;
constexpr int kMultipleFont = 6;
constexpr int kMultiMeasureFont = 12;
constexpr int kStartEnclosure = 18;
constexpr int kMultipleEnclosure = 30;
constexpr int kStartPosition = 44;
constexpr int kMultiplePosition = 48;
constexpr int kBlockFlags = 62;

// Offsets in the record, after the two blocks.
constexpr int kStartMeasure = 132;
constexpr int kEndMeasure = 134;  // the end measure plus 1
constexpr int kStartCharacter = 136;
constexpr int kBase = 138;
constexpr int kStartNumber = 140;  // the start number minus 1
constexpr int kPrefix = 142;
constexpr int kSuffix = 166;
constexpr int kRegionFlags = 190;
constexpr int kRegionId = 192;

// --- Older layout ----------------------------------------------------------------------

constexpr int kOlderSize = 88;
constexpr int kOlderStartFont = 0;
constexpr int kOlderStartMeasure = 6;
constexpr int kOlderEndMeasure = 8;  // the end measure plus 1
constexpr int kOlderStartCharacter = 12;
constexpr int kOlderBase = 14;
constexpr int kOlderStartNumber = 16;  // the start number minus 1
// The one vertical position, which stands for the start and the multiple position.
constexpr int kOlderPosition = 20;
constexpr int kOlderPrefix = 22;
constexpr int kOlderSuffix = 46;
constexpr int kOlderEnclosure = 70;
// The region flags and the display flags in one word.
constexpr int kOlderFlags = 82;
constexpr int kOlderRegionId = 86;

// --- Region flags ------------------------------------------------------------------------

// The newer layout's word at kRegionFlags; the last three are the same bits in the
// older layout's word at kOlderFlags.
constexpr uint16_t kUseScoreForParts = 0x0002;  // the parts show the score block's settings
constexpr uint16_t kDoubleUp = 0x0020;
constexpr uint16_t kNoZero = 0x0040;
constexpr uint16_t kCountFromOne = 0x0080;
constexpr uint16_t kSharedRegionFlags = kDoubleUp | kNoZero | kCountFromOne;

// --- Display flags -----------------------------------------------------------------------

// A block's word at kBlockFlags in the newer layout.
constexpr uint16_t kShowOnSystemStart = 0x0040;
constexpr uint16_t kShowMultiples = 0x0080;
constexpr uint16_t kHideFirstNumber = 0x0100;
constexpr uint16_t kShowMultiMeasureRange = 0x0200;
constexpr uint16_t kShowOnTopStaff = 0x2000;
constexpr uint16_t kShowOnBottomStaff = 0x4000;

// The same settings in the older layout's word at kOlderFlags, which has no bit for the
// multi-measure-rest range.
constexpr uint16_t kOlderShowOnBottomStaff = 0x0004;
constexpr uint16_t kOlderShowOnTopStaff = 0x0008;
constexpr uint16_t kOlderHideFirstNumber = 0x1000;
constexpr uint16_t kOlderShowMultiples = 0x4000;
constexpr uint16_t kOlderShowOnSystemStart = 0x8000;

// --- Checks ------------------------------------------------------------------------------

static_assert(kOlderVersion < kFirstNewerVersion && kNewerVersion >= kFirstNewerVersion,
              "each layout's record version selects that layout");

static_assert(kMultipleFont == kStartFont + kFontBytes &&
                  kMultiMeasureFont == kMultipleFont + kFontBytes &&
                  kStartEnclosure == kMultiMeasureFont + kFontBytes,
              "a block opens with its three fonts, one after the other");
static_assert(kMultipleEnclosure == kStartEnclosure + kEnclosureBytes &&
                  kMultipleEnclosure + kEnclosureBytes <= kStartPosition,
              "the two enclosures follow the fonts");
static_assert(kStartPosition + 2 <= kMultiplePosition && kMultiplePosition + 2 <= kBlockFlags &&
                  kBlockFlags + 2 <= kBlockBytes,
              "the positions and the flag word follow, within the block");
static_assert(kPartsBlock == kScoreBlock + kBlockBytes &&
                  kStartMeasure == kPartsBlock + kBlockBytes,
              "the score block and the parts block precede the range");
static_assert(kEndMeasure == kStartMeasure + 2 && kStartCharacter == kEndMeasure + 2 &&
                  kBase == kStartCharacter + 2 && kStartNumber == kBase + 2 &&
                  kPrefix == kStartNumber + 2,
              "the range and the numbering are consecutive words");
static_assert(kSuffix == kPrefix + kAffixBytes && kRegionFlags == kSuffix + kAffixBytes &&
                  kRegionId == kRegionFlags + 2 && kRegionId + 4 == kNewerSize,
              "prefix, suffix, region flags and region ID; the newer layout ends two bytes on");

static_assert(kOlderStartMeasure == kOlderStartFont + kFontBytes &&
                  kOlderEndMeasure == kOlderStartMeasure + 2 &&
                  kOlderEndMeasure + 2 <= kOlderStartCharacter,
              "the older layout opens with its font and the range");
static_assert(kOlderBase == kOlderStartCharacter + 2 && kOlderStartNumber == kOlderBase + 2 &&
                  kOlderStartNumber + 2 <= kOlderPosition && kOlderPrefix == kOlderPosition + 2,
              "then the numbering and the position");
static_assert(kOlderSuffix == kOlderPrefix + kAffixBytes &&
                  kOlderEnclosure == kOlderSuffix + kAffixBytes &&
                  kOlderFlags == kOlderEnclosure + kEnclosureBytes &&
                  kOlderFlags + 2 <= kOlderRegionId && kOlderRegionId + 2 == kOlderSize,
              "then prefix, suffix, enclosure and flags; the older layout ends with its ID");

static_assert(((kOlderShowOnBottomStaff | kOlderShowOnTopStaff | kOlderHideFirstNumber |
                kOlderShowMultiples | kOlderShowOnSystemStart) &
               kSharedRegionFlags) == 0,
              "the older flag word keeps display and region flags in different bits");

}  // namespace somn
}  // namespace fxt
