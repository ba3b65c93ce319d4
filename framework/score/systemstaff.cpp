// FCSystemStaff: the staff number of an 'SOIu' staff-list record (systemstaff.h). How the
// host keeps the lists: docs/host-texts-staves.md, "Staff lists".
#include "framework/score/systemstaff.h"

#include <cstring>

#include "bridge/recordbytes.h"

namespace {

constexpr size_t kStaffWord = 0;

}  // namespace

FCSystemStaff::FCSystemStaff() { std::memset(_record, 0, sizeof(_record)); }

void FCSystemStaff::CloneMemoryFrom(__FCBaseData* source) {
  const FCSystemStaff* other = dynamic_cast<const FCSystemStaff*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

short FCSystemStaff::GetStaff() const { return fxt::GetS16(_record, kStaffWord); }
void FCSystemStaff::SetStaff(short staff) { fxt::PutS16(_record, kStaffWord, staff); }
