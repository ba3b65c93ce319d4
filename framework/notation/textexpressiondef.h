// Text expression definitions ('SODT'): the reusable definitions that text expressions
// placed in the score refer to by number, with the records that hang off them.
//
// The record varies in size: a fixed part of 34 bytes and a description text.
//   0   text block number (unsigned): the block names a raw text 'txxp'
//   2   rehearsal-mark style (signed): 1 to 6 make rehearsal marks, anything else none
//   10  flag word: 0x0800 the definition has an enclosure ('otDe' under its number)
//   12, 14, 16, 24  values taken over from a category
//   26  category word: bits 0-13 the category, 0x4000 use the category's positioning,
//       0x8000 use the category's font
//   30, 32  values taken over from a category
//   34  the description and its terminator: 8-bit text and a NUL below host version
//       0x11000000, UTF-16 and a 0 unit from it on
// All other bytes are carried unchanged. The fixed part and an empty description make
// the minimum size: 36 bytes below host version 0x11000000, 38 from it on.
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCCategoryDef;
class FCEnclosure;
class FCString;

class FCTextExpressionDef : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F4454;  // 'SODT'
  // Raw texts of expression texts.
  static constexpr uint32_t TEXT_TAG = 0x74787870;  // 'txxp'
  // From this host version on, descriptions are UTF-16 and records take this version.
  static constexpr uint32_t UNICODE_HOST = 0x11000000;
  static constexpr uint32_t OLD_RECORD_VERSION = 0x0F000000;
  // Where the description begins.
  static constexpr int DESCRIPTION_OFFSET = 34;
  static constexpr int MIN_SIZE = 36;          // below host version 0x11000000
  static constexpr int MIN_SIZE_UNICODE = 38;  // from it on

  enum REHEARSALMARKSTYLES : int {
    REHMARK_NONE = 0,
    // A, B, ... Z, AA, BB, ...
    REHMARK_LETTERS = 1,
    // A, B, ... Z, A1, B1, ...
    REHMARK_LETTERS_NUMBERS = 2,
    // a, b, ... z, aa, bb, ...
    REHMARK_LOWERCASE_LETTERS = 3,
    // a, b, ... z, a1, b1, ...
    REHMARK_LOWERCASE_LETTERS_NUMBERS = 4,
    // 1, 2, 3, ...
    REHMARK_NUMBERS = 5,
    // the measure number the document shows for the number
    REHMARK_MEASURENUMBER = 6
  };

  // A zeroed record of the minimum size, held at that size, so that a new definition
  // can be created at once.
  FCTextExpressionDef();
  // Releases the data block.
  ~FCTextExpressionDef() override;

  const char* ClassName() const override { return "FCTextExpressionDef"; }
  // 0x0F000000 below host version 0x11000000, 0x11000000 from it on.
  uint32_t EnigmaVersion() const override;
  // The size the host reports for the record, raised to the minimum; 0 when the host
  // cannot report it.
  int DataSizeLoad() const override;
  // The loaded size, or the minimum size when the description is empty.
  int DataSizeSave() const override;
  // A zeroed heap block for DataSizeLoad() bytes, the loaded size set to that count; no
  // block when the count is 0.
  void* Allocate() override;
  void Deallocate() override;
  bool IsDynamicSize() const override { return true; }
  __FCBaseData* CreateObject() const override { return new FCTextExpressionDef; }
  uint32_t Tag() const override { return TAG; }
  // A heap copy of the source's record (loaded size as the source's).
  void CloneMemoryFrom(__FCBaseData* source) override;
  // The definition with the next number: a walk ends at the first missing number.
  bool LoadNext() override;
  // Saves the definition under itemno with its own new copy of the text (a new raw text
  // and text block) and of the enclosure. False when any part cannot be made; then
  // nothing this call made is left in the document and the object is as it was.
  bool DeepSaveAs(unsigned short itemno) override;

  // The minimum record size for the running host version.
  static int MinimumSize();

  // --- Record fields -------------------------------------------------------------

  unsigned short GetTextID() const;
  void SetTextID(unsigned short block);
  short GetRehearsalMarkStyle() const;
  void SetRehearsalMarkStyle(short style);
  bool GetUseEnclosure() const;
  void SetUseEnclosure(bool state);
  // Bits 0-13 of the category word.
  int GetCategoryID() const;
  bool GetUseCategoryFont() const;
  bool GetUseCategoryPos() const;
  // Set or clear bit 0x8000 (0x4000) of the category word; nothing below host version
  // 0x11000000.
  void SetCategoryFontUse(bool use);
  void SetCategoryPosUse(bool use);
  // Takes over the category's number (its low 14 bits) and its six values and sets
  // both category uses. False, with nothing changed, for a null category or one whose
  // number is 0 or less.
  bool AssignToCategory(FCCategoryDef* category);

  // Replaces the description (the block is rebuilt at the size the text needs).
  void SetDescription(FCString* description);
  void GetDescription(FCString* description) const;

  // --- Records that hang off the definition ----------------------------------------

  // A new string, owned by the caller: the text behind the definition's text block
  // (empty when the block or its raw text cannot be loaded).
  FCString* CreateTextString() const;
  // Writes text over the definition's existing text. False, with nothing written, for
  // a null text or when the text block cannot be loaded.
  bool SaveTextString(FCString* text);
  // Stores text as a new raw text behind a new text block and points the definition at
  // the block (the record itself is not saved). False, with nothing left behind, when
  // either record cannot be made.
  bool SaveNewTextBlock(FCString* text);
  // A new enclosure, owned by the caller, loaded from the record under the definition's
  // number; null, without a host call, when the definition has no enclosure, and null
  // when it does not load.
  FCEnclosure* CreateEnclosure() const;

  // Sets text to the rehearsal mark for number (from 1) in the definition's style.
  // False, with text unchanged, for a style outside 1 to 6, a number below 1 or a null
  // text.
  bool MakeRehearsalMark(int number, FCString* text) const;

 private:
  const uint8_t* _Bytes() const;
  uint16_t _GetU16(int offset) const;
  void _SetU16(int offset, uint16_t value);
  void _SetCategoryBit(uint16_t bit, bool state);
  // A zeroed heap block that holds at least the larger minimum size, so that the fixed
  // part and the first description unit can always be read and a record of the minimum
  // size always be written.
  uint8_t* _NewBlock(int32_t size);
  // Removes the copy DeepSaveAs made: the text block and its raw text, and the
  // enclosure under itemno (put back as it was when there was one).
  void _UndoCopy(unsigned short textblock, unsigned short itemno, FCEnclosure* previous);

  // Bytes allocated for the current block (0: none).
  int32_t _blockbytes = 0;
};
