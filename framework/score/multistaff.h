// Multi-staff instruments ('otMG', 12 bytes): up to three staves that form one
// instrument. The record holds three staff numbers (signed 16-bit, offsets 0, 2 and 4),
// not in score order, and six bytes the framework carries. A staff number of 0 (or one
// without a slot in the global staff list) means no staff in that place.
#pragma once

#include <cstdint>

#include "framework/core/collectiondata.h"
#include "framework/core/otherdata.h"

class FCMultiStaffInstrument : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x6F744D47;  // 'otMG'
  static constexpr int RECORD_SIZE = 12;

  // The record zeroed (its bytes mean nothing until a load, but they are never left
  // undefined); no data block until the first load.
  FCMultiStaffInstrument();

  const char* ClassName() const override { return "FCMultiStaffInstrument"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCMultiStaffInstrument; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source instrument's record (zeros when source is no instrument) and
  // sets the loaded size to 12.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // Instrument 1; when the document has no instrument 1 (its numbers need not begin
  // there), the first instrument in the host's order. Either way LoadNext() walks on
  // from the one loaded.
  bool LoadFirst() override;

  short GetFirstStaff() const;
  short GetSecondStaff() const;
  short GetThirdStaff() const;
  void SetFirstStaff(short staff);
  void SetSecondStaff(short staff);
  void SetThirdStaff(short staff);

 private:
  uint8_t _record[RECORD_SIZE];
};

// Every multi-staff instrument of the document, each an FCMultiStaffInstrument the
// collection owns.
class FCMultiStaffInstruments
    : public FCCollectionOf<__FCCollectionNoInciOther, FCMultiStaffInstrument> {
 public:
  const char* ClassName() const override { return "FCMultiStaffInstruments"; }
  __FCBaseData* CreateElement() override { return new FCMultiStaffInstrument; }
};
