// FCStaffListElement: one staff of a staff list, under the tag of its kind (stafflist.h).
// The four kinds on the host's side: docs/host-notation.md.
#include "framework/notation/stafflist.h"

#include <cstring>

#include "bridge/recordbytes.h"

FCStaffListElement::FCStaffListElement() { std::memset(_record, 0, sizeof(_record)); }

uint32_t FCStaffListElement::Tag() const { return GetCustomTag() != 0 ? GetCustomTag() : TAG; }

void FCStaffListElement::CloneMemoryFrom(__FCBaseData* source) {
  const FCStaffListElement* other = dynamic_cast<const FCStaffListElement*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

short FCStaffListElement::GetStaff() const { return fxt::GetS16(_record, 0); }

void FCStaffListElement::SetStaff(short staff) {
  fxt::PutS16(_record, 0, staff);
  _SetDataBlock(_record);
  _SetLoadedSize(RECORD_SIZE);
}

uint32_t FCStaffListElement::TagOfMode(int mode) {
  switch (mode) {
    case STAFFLIST_OTDC_SMALL:
      return 0x6F746463;  // 'otdc'
    case STAFFLIST_OTIO:
      return 0x6F74494F;  // 'otIO'
    case STAFFLIST_OTIO_SMALL:
      return 0x6F74696F;  // 'otio'
    default:
      return 0;  // the default tag, 'otDC'
  }
}
