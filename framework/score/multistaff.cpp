// FCMultiStaffInstrument: the three staves of an 'otMG' record (multistaff.h). The host's
// side: docs/host-texts-staves.md.
#include "framework/score/multistaff.h"

#include <cstring>

#include "bridge/recordbytes.h"

namespace {

constexpr size_t kFirstStaff = 0;
constexpr size_t kSecondStaff = 2;
constexpr size_t kThirdStaff = 4;

}  // namespace

FCMultiStaffInstrument::FCMultiStaffInstrument() { std::memset(_record, 0, sizeof(_record)); }

void FCMultiStaffInstrument::CloneMemoryFrom(__FCBaseData* source) {
  const FCMultiStaffInstrument* other = dynamic_cast<const FCMultiStaffInstrument*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

bool FCMultiStaffInstrument::LoadFirst() {
  if (Load(1)) return true;
  // Step from before the first instrument number to whichever instrument comes first.
  _SetKeyFirst(0);
  _SetKeySecond(0);
  return LoadNext();
}

short FCMultiStaffInstrument::GetFirstStaff() const { return fxt::GetS16(_record, kFirstStaff); }
short FCMultiStaffInstrument::GetSecondStaff() const { return fxt::GetS16(_record, kSecondStaff); }
short FCMultiStaffInstrument::GetThirdStaff() const { return fxt::GetS16(_record, kThirdStaff); }
void FCMultiStaffInstrument::SetFirstStaff(short staff) {
  fxt::PutS16(_record, kFirstStaff, staff);
}
void FCMultiStaffInstrument::SetSecondStaff(short staff) {
  fxt::PutS16(_record, kSecondStaff, staff);
}
void FCMultiStaffInstrument::SetThirdStaff(short staff) {
  fxt::PutS16(_record, kThirdStaff, staff);
}
