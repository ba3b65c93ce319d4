// FCChord, FCMidiExpression and FCIndependentCellDetail: the fields of these cell records
// that the framework reads and writes (celldetails.h). The records: docs/host-notation.md.
#include "framework/notation/celldetails.h"

#include <cstring>

#include "bridge/recordbytes.h"

namespace {

constexpr size_t kChordPosition = 20;
constexpr size_t kMidiPosition = 0;
constexpr size_t kCellKey = 0;
constexpr size_t kCellFlags = 8;
constexpr unsigned short kHasKey = 0x0800;

}  // namespace

// --- FCChord -----------------------------------------------------------------------

FCChord::FCChord() {
  std::memset(_record, 0, sizeof(_record));
  _SetDataBlock(_record);
  _SetLoadedSize(RECORD_SIZE);
}

void FCChord::CloneMemoryFrom(__FCBaseData* source) {
  const FCChord* other = dynamic_cast<const FCChord*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

int FCChord::GetMeasurePos() const { return fxt::GetS32(_record, kChordPosition); }
void FCChord::SetMeasurePos(int position) { fxt::PutS32(_record, kChordPosition, position); }

// --- FCMidiExpression --------------------------------------------------------------

FCMidiExpression::FCMidiExpression() {
  std::memset(_record, 0, sizeof(_record));
  _SetDataBlock(_record);
}

void FCMidiExpression::CloneMemoryFrom(__FCBaseData* source) {
  const FCMidiExpression* other = dynamic_cast<const FCMidiExpression*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

int FCMidiExpression::GetMeasurePos() const { return fxt::GetS32(_record, kMidiPosition); }
void FCMidiExpression::SetMeasurePos(int position) {
  fxt::PutS32(_record, kMidiPosition, position);
}

// --- FCIndependentCellDetail ------------------------------------------------------

FCIndependentCellDetail::FCIndependentCellDetail() {
  std::memset(_record, 0, sizeof(_record));
  _SetDataBlock(_record);
}

void FCIndependentCellDetail::CloneMemoryFrom(__FCBaseData* source) {
  const FCIndependentCellDetail* other = dynamic_cast<const FCIndependentCellDetail*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

short FCIndependentCellDetail::GetKeySignatureValue() const {
  return fxt::GetS16(_record, kCellKey);
}
void FCIndependentCellDetail::SetKeySignatureValue(short key) {
  fxt::PutS16(_record, kCellKey, key);
}
bool FCIndependentCellDetail::GetHasKeySignature() const {
  return (fxt::GetU16(_record, kCellFlags) & kHasKey) != 0;
}
void FCIndependentCellDetail::SetHasKeySignature(bool state) {
  unsigned short flags = fxt::GetU16(_record, kCellFlags);
  __FCBase::Set16BitFlag(&flags, kHasKey, state);
  fxt::PutU16(_record, kCellFlags, flags);
}
