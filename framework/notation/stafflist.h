// Staff lists: the further staves on which an expression is shown. A list is the
// records of one item number (the list's number), incis 0, 1, 2, ... each holding one
// staff number (signed 16-bit, 2 bytes).
//
// Four kinds of list are kept under four tags; a collection reads a kind by carrying
// its tag as the custom tag, which every element it makes takes over.
#pragma once

#include <cstdint>

#include "framework/core/collectiondata.h"
#include "framework/core/otherdata.h"

class FCStaffListElement : public __FCInciOther {
 public:
  static constexpr uint32_t TAG = 0x6F744443;  // 'otDC', also the kind of mode 1
  static constexpr int RECORD_SIZE = 2;

  // Which kind of staff list is read, named by the tag of its records. 0 reads none;
  // any other value outside 1 to 4 reads as 1.
  enum STAFFLIST_MODES : int {
    STAFFLIST_NONE = 0,
    STAFFLIST_OTDC = 1,        // 'otDC'
    STAFFLIST_OTDC_SMALL = 2,  // 'otdc'
    STAFFLIST_OTIO = 3,        // 'otIO'
    STAFFLIST_OTIO_SMALL = 4   // 'otio'
  };

  // The record zeroed; no data block until the first load or SetStaff.
  FCStaffListElement();

  const char* ClassName() const override { return "FCStaffListElement"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCStaffListElement; }
  // The custom tag when set, else 'otDC'.
  uint32_t Tag() const override;
  // Copies the source element's staff (0 when source is no element), full size.
  void CloneMemoryFrom(__FCBaseData* source) override;

  short GetStaff() const;
  // Sets the staff; the staff is the whole record, so the element then holds a record
  // and can be saved or appended at once.
  void SetStaff(short staff);

  // The custom tag a collection carries to read the kind of a mode: 0 (the default tag)
  // for modes outside 2 to 4.
  static uint32_t TagOfMode(int mode);

 private:
  uint8_t _record[RECORD_SIZE];
};

// The entries of one staff list (incis under the list's number), each an
// FCStaffListElement the collection owns.
class FCStaffListElements : public FCCollectionOf<__FCCollectionInciOther, FCStaffListElement> {
 public:
  const char* ClassName() const override { return "FCStaffListElements"; }
  __FCBaseData* CreateElement() override { return new FCStaffListElement; }
};
