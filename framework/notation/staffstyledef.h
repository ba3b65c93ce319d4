// Staff style definitions ('SOST', 132 bytes, one record per item number from 1): a
// set of staff settings laid out as the staff record. The framework reads the number
// of the text block that holds the style's full name (offset 30) and carries every
// other byte.
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCString;

class FCStaffStyleDef : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F5354;  // 'SOST'
  static constexpr int RECORD_SIZE = 132;

  // The record zeroed; no data block until the first load.
  FCStaffStyleDef();

  const char* ClassName() const override { return "FCStaffStyleDef"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCStaffStyleDef; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source style's record (zeros when source is none) and sets the loaded
  // size to 132.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // Number of the text block with the style's full name.
  unsigned short GetFullNameID() const;
  void SetFullNameID(unsigned short block);
  // A new string, owned by the caller, with the text behind the full name block;
  // empty when nothing can be read.
  FCString* CreateFullNameString() const;

 private:
  uint8_t _record[RECORD_SIZE];
};
