// Measure number regions ('SOMN'): how the measures of a stretch of the score are
// numbered on the page: which measures, from which number, in which digits or letters,
// with which prefix, suffix, fonts, enclosures, positions and visibility.
//
// The record has two layouts, chosen by the running host version at the moment of each
// call: the older one (88 bytes, record version 0x0A000000) below host version
// 0x0F000000, the newer one (196 bytes, record version 0x0F000200) from it on. The newer
// layout keeps one block of display settings for the score and one for the parts. Where
// each field lies in either layout, and which bits the flag words use, is set down once
// in bridge/measurenumberlayout.h, for the framework and the emulated host alike.
//
// Accessors with a `parts` argument choose the parts block (true) or the score block
// (false) in the newer layout and ignore it in the older one, which has one block.
#pragma once

#include <cstdint>

#include "bridge/measurenumberlayout.h"
#include "framework/core/collectiondata.h"
#include "framework/core/otherdata.h"
#include "framework/notation/enclosure.h"

class FCFontInfo;
class FCString;

class FCMeasureNumberRegion : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = fxt::somn::kTag;  // 'SOMN'
  static constexpr int RECORD_SIZE = fxt::somn::kNewerSize;
  static constexpr int OLD_RECORD_SIZE = fxt::somn::kOlderSize;
  // From this host version on, the newer layout.
  static constexpr uint32_t NEW_LAYOUT_HOST = 0x0F000000;
  static constexpr uint32_t RECORD_VERSION = fxt::somn::kNewerVersion;
  static constexpr uint32_t OLD_RECORD_VERSION = fxt::somn::kOlderVersion;
  // Bytes of a prefix or suffix field, terminator included.
  static constexpr int AFFIX_SIZE = fxt::somn::kAffixBytes;

  enum NUMBERINGSTYLE : int {
    // Decimal digits from '0', counting from one, no double-up, zero shown.
    NUMBERING_DIGITS = 0
  };

  // The record cleared and held at the size of the running layout, so that a new
  // region can be created at once.
  FCMeasureNumberRegion();

  const char* ClassName() const override { return "FCMeasureNumberRegion"; }
  // 0x0A000000 in the older layout, 0x0F000200 in the newer.
  uint32_t EnigmaVersion() const override;
  // 88 in the older layout, 196 in the newer.
  int DataSizeLoad() const override;
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCMeasureNumberRegion; }
  uint32_t Tag() const override { return TAG; }
  // Copies DataSizeLoad() bytes of the source region's record (zeros when source is no
  // region) and sets the loaded size to DataSizeLoad().
  void CloneMemoryFrom(__FCBaseData* source) override;

  // --- Range and numbering ----------------------------------------------------------

  short GetStartMeasure() const;
  void SetStartMeasure(short measure);
  // Stored as the measure plus 1.
  short GetEndMeasure() const;
  void SetEndMeasure(short measure);
  // Stored as the number minus 1.
  short GetStartNumber() const;
  void SetStartNumber(short number);
  short GetID() const;
  void SetID(short id);
  short GetBase() const;
  void SetBase(short base);
  // The code unit of the digit 0 (or of the first letter).
  short GetStartChar() const;
  void SetStartChar(short character);

  bool GetCountFromOne() const;
  void SetCountFromOne(bool state);
  bool GetDoubleUp() const;
  void SetDoubleUp(bool state);
  bool GetNoZero() const;
  void SetNoZero(bool state);
  // Newer layout only: the older layout answers true and ignores the setter.
  bool GetUseScoreInfoForParts() const;
  void SetUseScoreInfoForParts(bool state);

  // --- Display settings of a block ----------------------------------------------------

  bool GetShowOnTopStaff(bool parts) const;
  void SetShowOnTopStaff(bool state, bool parts);
  bool GetShowOnBottomStaff(bool parts) const;
  void SetShowOnBottomStaff(bool state, bool parts);
  bool GetShowOnSystemStart(bool parts) const;
  void SetShowOnSystemStart(bool state, bool parts);
  bool GetHideFirstNumber(bool parts) const;
  void SetHideFirstNumber(bool state, bool parts);
  bool GetShowMultiples(bool parts) const;
  void SetShowMultiples(bool state, bool parts);
  // Newer layout only: the older layout has no such flag, answers false and ignores
  // the setter.
  bool GetShowMultiMeasureRange(bool parts) const;
  void SetShowMultiMeasureRange(bool state, bool parts);

  // The older layout has one position, which both setters write and both getters read.
  short GetStartVerticalPosition(bool parts) const;
  void SetStartVerticalPosition(short position, bool parts);
  short GetMultipleVerticalPosition(bool parts) const;
  void SetMultipleVerticalPosition(short position, bool parts);

  // Fonts are stored as the font number of the name, the size and the effects; reading
  // names the font by its number. False, with nothing changed, for a null font and, for
  // the multiple and multi-measure-rest fonts, in the older layout.
  bool GetStartFontInfo(FCFontInfo* font, bool parts) const;
  bool SetStartFontInfo(FCFontInfo* font, bool parts);
  bool GetMultipleFontInfo(FCFontInfo* font, bool parts) const;
  bool SetMultipleFontInfo(FCFontInfo* font, bool parts);
  bool GetMultiMeasureFontInfo(FCFontInfo* font, bool parts) const;
  bool SetMultiMeasureFontInfo(FCFontInfo* font, bool parts);

  // The enclosures inside the record: the start and the multiple enclosure of a block
  // (the older layout has one, which both give). The region owns them; they read and
  // write the region's bytes and stay valid as long as the region.
  FCEnclosure* GetEnclosure(bool parts);
  FCEnclosure* GetMultipleEnclosure(bool parts);

  // Prefix and suffix: 8-bit text of at most 23 bytes. Reading stops at the terminator
  // or at the field's end; writing cuts a longer text. Null strings are ignored.
  void GetPrefix(FCString* text) const;
  void SetPrefix(FCString* text);
  void GetSuffix(FCString* text) const;
  void SetSuffix(FCString* text);

  // --- Computed ------------------------------------------------------------------------

  // Whether start measure <= measure <= end measure.
  bool ContainsMeasure(short measure) const;
  // Style NUMBERING_DIGITS: base 10, start character '0', count from one, no-zero and
  // double-up clear. Other styles change nothing.
  void SetNumberingStyle(NUMBERINGSTYLE style);
  // Sets text to the number the region shows for the measure (without prefix and
  // suffix). False, with text unchanged, when the region does not contain the measure,
  // when its base is below 2 (no such numbering can be written), or for a null text.
  // A value below zero is written with a leading minus sign.
  bool GetDisplayedNumber(short measure, FCString* text) const;
  // Prefix, displayed number and suffix as a new string owned by the caller; null when
  // the number cannot be shown.
  FCString* CreateDisplayedString(short measure) const;
  // Newer layout only: copies the source's score block over this score block (score
  // set), and over this parts block the source's score block when the source's parts
  // use the score's settings, else its parts block (parts set). The region flags are
  // not copied.
  void CloneFormattingFrom(FCMeasureNumberRegion* source, bool score, bool parts);

 private:
  enum BlockFlag : int;
  enum FontSlot : int;

  bool _IsNewLayout() const;
  short _GetWord(int offset) const;
  void _SetWord(int offset, short value);
  void _SetBits(int offset, unsigned short bits, bool state);
  // Offset of a field of the running layout (see the .cpp's tables).
  int _Offset(int field) const;
  int _BlockStart(bool parts) const;
  bool _GetBlockFlag(BlockFlag flag, bool parts) const;
  void _SetBlockFlag(BlockFlag flag, bool state, bool parts);
  // The offset of a font in the running layout, or -1 when the layout has none.
  int _FontOffset(FontSlot font, bool parts) const;
  bool _GetFont(FontSlot font, FCFontInfo* info, bool parts) const;
  bool _SetFont(FontSlot font, FCFontInfo* info, bool parts);
  FCEnclosure* _Enclosure(int index, int blockOffset, bool parts);
  void _GetAffix(int field, FCString* text) const;
  void _SetAffix(int field, FCString* text);

  uint8_t _record[RECORD_SIZE];
  // Score start, parts start, score multiple, parts multiple.
  FCEnclosure _enclosures[4];
};

// All measure number regions of the document, in the host's order.
class FCMeasureNumberRegions
    : public FCCollectionOf<__FCCollectionNoInciOther, FCMeasureNumberRegion> {
 public:
  const char* ClassName() const override { return "FCMeasureNumberRegions"; }
  __FCBaseData* CreateElement() override { return new FCMeasureNumberRegion; }

  // Sets text to what the first region (in collection order) that contains the measure
  // shows for it and returns that region's index. When no region contains it, or the
  // region cannot show it, text is the measure in decimal and the result is -1.
  int CalcMeasureNumber(int measure, FCString* text);
};
