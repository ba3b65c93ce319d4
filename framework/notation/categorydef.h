// Category definitions ('otCg', 12 bytes): the font and the positioning that the text
// expression definitions of a category may follow. The category's number is the item
// number of its record (1 and up; 0 and numbers from 0x8000 are no category).
//
// Record: six signed 16-bit words, little-endian:
//   0 font number, 2 font size, 4 font effects,
//   6, 8, 10 positioning values (carried for the definitions, not interpreted here)
// FCTextExpressionDef::AssignToCategory copies the six words into the definition.
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCCategoryDef : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x6F744367;  // 'otCg'
  static constexpr int RECORD_SIZE = 12;
  static constexpr int VALUE_COUNT = 6;
  // The words by index.
  enum VALUES : int {
    VALUE_FONT = 0,
    VALUE_FONTSIZE = 1,
    VALUE_FONTEFFECTS = 2,
    VALUE_POSITION1 = 3,
    VALUE_POSITION2 = 4,
    VALUE_POSITION3 = 5
  };

  // The record zeroed and held at full size, so that a new category can be created at
  // once.
  FCCategoryDef();

  const char* ClassName() const override { return "FCCategoryDef"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCCategoryDef; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source category's record (zeros when source is no category), full size.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // The word at index 0 to 5; 0 (and nothing written) for any other index.
  short GetValue(int index) const;
  void SetValue(int index, short value);

 private:
  uint8_t _record[RECORD_SIZE];
};
