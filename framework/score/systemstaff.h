// Staff lists: the system-staff records ('SOIu', 24 bytes). The entries of one
// instrument list, inci 0, 1, 2, ..., are that list's staves in order; list 0 is the
// document's global staff order. The framework reads the staff number at offset 0 and
// carries the other 22 bytes.
#pragma once

#include <cstdint>

#include "framework/core/collectiondata.h"
#include "framework/core/otherdata.h"

class FCSystemStaff : public __FCInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F4975;  // 'SOIu'
  static constexpr int RECORD_SIZE = 24;

  // The record zeroed (its bytes mean nothing until a load, but they are never left
  // undefined); no data block until the first load.
  FCSystemStaff();

  const char* ClassName() const override { return "FCSystemStaff"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCSystemStaff; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source entry's record (zeros when source is no entry) and sets the
  // loaded size to 24.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // The staff number of the entry.
  short GetStaff() const;
  void SetStaff(short staff);
  // The instrument list (first item number) and the position in it (the inci: the
  // slot minus 1) of the record last loaded or created.
  unsigned short GetInstrumentList() const { return _GetKeyFirst(); }
  short GetInci() const { return static_cast<short>(_GetKeySecond()); }

 private:
  uint8_t _record[RECORD_SIZE];
};

// The staves of one instrument list in their order (incis under the list's number), each
// an FCSystemStaff the collection owns.
class FCSystemStaves : public FCCollectionOf<__FCCollectionInciOther, FCSystemStaff> {
 public:
  const char* ClassName() const override { return "FCSystemStaves"; }
  __FCBaseData* CreateElement() override { return new FCSystemStaff; }

  // The instrument list of the score order: list 0, the staves top to bottom as the
  // score shows them. FCStaves::LoadAll goes by staff number instead, so a staff
  // numbered 24 but shown 19th comes last there.
  static constexpr unsigned short SCORE_ORDER_LIST = 0;

  // Replaces the contents with the staves in score order, top to bottom: the same as
  // LoadAllForItem(SCORE_ORDER_LIST). GetStaff() of each element is the staff number
  // (FCStaff::Load takes it).
  void LoadScoreOrder() { LoadAllForItem(SCORE_ORDER_LIST); }
};
