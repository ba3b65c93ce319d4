// Text blocks: the small fixed-size records ('SOTX') that name a raw text by number and
// by the last two characters of its tag. Group, staff and page names and expression
// texts are reached through them.
//
// The record is thirteen little-endian 16-bit words. The framework reads word 0 (the
// raw text number) and word 12 (the raw text type, the low half of the raw text's tag)
// and carries the others; a new block holds the host's defaults for them.
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCString;

class FCTextBlock : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F5458;  // 'SOTX'
  static constexpr int RECORD_SIZE = 26;

  // Raw text types: 'bl' for group, staff and page names (raw texts 'txbl'), 'xp' for
  // text expressions (raw texts 'txxp').
  static constexpr unsigned short TEXTTYPE_BLOCK = 0x626C;
  static constexpr unsigned short TEXTTYPE_EXPRESSION = 0x7870;

  // A new block: the defaults of a block the host makes (word 4 = 100, flag word 7 =
  // 0x1A08, all else 0), ready to be created at once (loaded size 26).
  FCTextBlock();

  const char* ClassName() const override { return "FCTextBlock"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCTextBlock; }
  uint32_t Tag() const override { return TAG; }
  // Copies the other block's record (the defaults when source is no text block) and
  // sets the loaded size to 26.
  void CloneMemoryFrom(__FCBaseData* source) override;
  // Deletes the raw text behind the block (its result is not used), then the block;
  // the result is that of the block's deletion.
  bool DeepDeleteData() override;

  // --- Record words --------------------------------------------------------------

  short GetRawTextNumber() const;
  void SetRawTextNumber(short number);
  unsigned short GetRawTextType() const;
  void SetRawTextType(unsigned short type);

  // The tag of the raw texts behind blocks of a type: 'tx' in the high half, combined
  // by bitwise OR with the type read as a signed 16-bit value.
  static uint32_t RawTextTagOfType(unsigned short type);
  // The tag of the raw text behind this block.
  uint32_t GetRawTextTag() const { return RawTextTagOfType(GetRawTextType()); }

  // --- The text behind the block ---------------------------------------------------

  // A new string, owned by the caller, with the text behind the block; empty when the
  // raw text cannot be loaded. Never null.
  FCString* CreateRawTextString() const;
  // Writes text over the existing raw text behind the block; the result of the save.
  // False for a null text.
  bool SaveRawTextString(FCString* text);

  // Stores text as a new raw text of the type and a new text block that names it.
  // Returns the new block's number, or 0 when either record could not be made; in
  // that case nothing is left behind (a raw text made for a block that the host then
  // refused is deleted again). A null text gives 0 without a host call.
  static unsigned short SaveNewTextAndBlock(FCString* text, unsigned short type = TEXTTYPE_BLOCK);

 private:
  uint8_t _record[RECORD_SIZE];
};
