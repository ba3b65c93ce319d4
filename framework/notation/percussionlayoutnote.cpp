// FCPercussionLayoutNote: note type and staff position of an 'SODi' record
// (percussionlayoutnote.h). Why the record stays inside the object: docs/definitions.md.
#include "framework/notation/percussionlayoutnote.h"

#include <cstring>

#include "bridge/recordbytes.h"

namespace {

constexpr size_t kNoteType = 0;
constexpr size_t kStaffPosition = 2;

}  // namespace

FCPercussionLayoutNote::FCPercussionLayoutNote() { std::memset(_record, 0, sizeof(_record)); }

void FCPercussionLayoutNote::CloneMemoryFrom(__FCBaseData* source) {
  const FCPercussionLayoutNote* other = dynamic_cast<const FCPercussionLayoutNote*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

unsigned short FCPercussionLayoutNote::GetNoteType() const {
  return fxt::GetU16(_record, kNoteType);
}
void FCPercussionLayoutNote::SetNoteType(unsigned short type) {
  fxt::PutU16(_record, kNoteType, type);
}
short FCPercussionLayoutNote::GetStaffPosition() const {
  return fxt::GetS16(_record, kStaffPosition);
}
void FCPercussionLayoutNote::SetStaffPosition(short position) {
  fxt::PutS16(_record, kStaffPosition, position);
}
