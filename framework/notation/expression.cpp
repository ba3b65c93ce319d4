// FCExpression and FCExpressions: the 'SODY' record's definition, staff, staff list, shape
// flag and position, and placing an expression in a cell (expression.h). The host's side:
// docs/host-notation.md, "Expressions and staff lists".
#include "framework/notation/expression.h"

#include <cstring>

#include "bridge/recordbytes.h"
#include "framework/notation/textexpressiondef.h"
#include "framework/score/cell.h"
#include "framework/score/measure.h"

namespace {

constexpr size_t kDefinition = 0;
constexpr size_t kPositionLow = 2;
constexpr size_t kStaff = 8;
constexpr size_t kFlags = 10;
constexpr size_t kStaffList = 14;
constexpr size_t kPositionHigh = 16;

constexpr unsigned short kShape = 0x2000;

// Incis of one measure run from 0 to 0x7FFF at most.
constexpr int kLastInci = 0x7FFF;

}  // namespace

FCExpression::FCExpression() {
  std::memset(_record, 0, sizeof(_record));
  _SetDataBlock(_record);
  _SetLoadedSize(RECORD_SIZE);
}

void FCExpression::CloneMemoryFrom(__FCBaseData* source) {
  const FCExpression* other = dynamic_cast<const FCExpression*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

unsigned short FCExpression::GetDefinitionID() const { return fxt::GetU16(_record, kDefinition); }
void FCExpression::SetDefinitionID(unsigned short definition) {
  fxt::PutU16(_record, kDefinition, definition);
}
short FCExpression::GetStaff() const { return fxt::GetS16(_record, kStaff); }
void FCExpression::SetStaff(short staff) { fxt::PutS16(_record, kStaff, staff); }
unsigned short FCExpression::GetStaffListID() const { return fxt::GetU16(_record, kStaffList); }
void FCExpression::SetStaffListID(unsigned short list) { fxt::PutU16(_record, kStaffList, list); }
bool FCExpression::IsShape() const { return (fxt::GetU16(_record, kFlags) & kShape) != 0; }
void FCExpression::_SetShapeFlag(bool state) {
  unsigned short flags = fxt::GetU16(_record, kFlags);
  __FCBase::Set16BitFlag(&flags, kShape, state);
  fxt::PutU16(_record, kFlags, flags);
}

int FCExpression::GetMeasurePos() const {
  return static_cast<int>(static_cast<int64_t>(fxt::GetS16(_record, kPositionHigh)) * 65536 +
                          fxt::GetS16(_record, kPositionLow));
}

void FCExpression::SetMeasurePos(int position) {
  const int16_t low = static_cast<int16_t>(static_cast<uint32_t>(position) & 0xFFFF);
  const int64_t high = (static_cast<int64_t>(position) - low) / 65536;
  fxt::PutS16(_record, kPositionLow, low);
  fxt::PutS16(_record, kPositionHigh, static_cast<int16_t>(high));
}

FCTextExpressionDef* FCExpression::CreateTextExpressionDef() const {
  if (IsShape()) return nullptr;
  FCTextExpressionDef* definition = new FCTextExpressionDef;
  definition->Load(GetDefinitionID());
  return definition;
}

bool FCExpression::AssignTextExpressionDef(FCTextExpressionDef* definition) {
  if (!definition || definition->GetItemNo() == 0) return false;
  SetDefinitionID(definition->GetItemNo());
  _SetShapeFlag(false);
  return true;
}

bool FCExpression::SaveNewToCell(FCCell* cell) {
  if (!cell || !cell->_FitsHost()) return false;
  const unsigned short measureNumber = static_cast<unsigned short>(cell->GetMeasure());
  FCMeasure measure;
  if (!measure.Load(measureNumber)) return false;
  const bool wasMarked = (measure._GetMeFlags() & MEASURE_HAS_EXPRESSION) != 0;
  measure._SetMeFlag(MEASURE_HAS_EXPRESSION, true);
  measure.Save();
  SetStaff(static_cast<short>(cell->GetStaff()));
  SetStaffListID(0);
  if (SaveNew(measureNumber)) return true;
  // The measure would otherwise claim an expression it does not have.
  if (!wasMarked) {
    measure._SetMeFlag(MEASURE_HAS_EXPRESSION, false);
    measure.Save();
  }
  return false;
}

bool FCExpression::IsVisibleOnStaff(short staff, FCStaffListElement::STAFFLIST_MODES mode) const {
  if (staff == GetStaff()) return true;
  if (GetStaffListID() == 0 || mode == FCStaffListElement::STAFFLIST_NONE) return false;
  FCStaffListElements list;
  list.SetCustomTag(FCStaffListElement::TagOfMode(mode));
  list.LoadAllForItem(GetStaffListID());
  for (int i = 0; i < list.GetCount(); ++i) {
    const FCStaffListElement* element = dynamic_cast<FCStaffListElement*>(list.GetItemAt(i));
    if (element && element->GetStaff() == staff) return true;
  }
  return false;
}

void FCExpressions::LoadAllInCell(FCCell* cell, FCStaffListElement::STAFFLIST_MODES mode) {
  _ClearElements();
  if (!cell || !cell->_FitsHost()) return;
  __FCBaseData* made = _CreateTemplate();
  FCExpression* expression = dynamic_cast<FCExpression*>(made);
  if (!expression) {
    delete made;
    return;
  }
  const unsigned short measure = static_cast<unsigned short>(cell->GetMeasure());
  const short staff = static_cast<short>(cell->GetStaff());
  for (int inci = 0; inci <= kLastInci; ++inci) {
    if (!expression->Load(measure, static_cast<short>(inci))) break;
    if (expression->IsVisibleOnStaff(staff, mode) && !_AppendClone(expression)) break;
  }
  delete expression;
}
