// FCStaffStyleDef: the full name of an 'SOST' staff style (staffstyledef.h). A name block
// that does not load: docs/definitions.md, "Staff style definitions".
#include "framework/notation/staffstyledef.h"

#include <cstring>

#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"
#include "framework/text/textblock.h"

namespace {

constexpr size_t kFullNameWord = 30;

}  // namespace

FCStaffStyleDef::FCStaffStyleDef() { std::memset(_record, 0, sizeof(_record)); }

void FCStaffStyleDef::CloneMemoryFrom(__FCBaseData* source) {
  const FCStaffStyleDef* other = dynamic_cast<const FCStaffStyleDef*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

unsigned short FCStaffStyleDef::GetFullNameID() const {
  return fxt::GetU16(_record, kFullNameWord);
}
void FCStaffStyleDef::SetFullNameID(unsigned short block) {
  fxt::PutU16(_record, kFullNameWord, block);
}

FCString* FCStaffStyleDef::CreateFullNameString() const {
  FCTextBlock block;
  // A block that does not load names no text.
  if (!block.Load(GetFullNameID())) return new FCString();
  return block.CreateRawTextString();
}
