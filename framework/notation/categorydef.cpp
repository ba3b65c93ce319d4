// FCCategoryDef: the six words of an 'otCg' category record (categorydef.h). How a text
// expression definition takes them over: docs/host-notation.md.
#include "framework/notation/categorydef.h"

#include <cstring>

#include "bridge/recordbytes.h"

FCCategoryDef::FCCategoryDef() {
  std::memset(_record, 0, sizeof(_record));
  _SetDataBlock(_record);
  _SetLoadedSize(RECORD_SIZE);
}

void FCCategoryDef::CloneMemoryFrom(__FCBaseData* source) {
  const FCCategoryDef* other = dynamic_cast<const FCCategoryDef*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

short FCCategoryDef::GetValue(int index) const {
  if (index < 0 || index >= VALUE_COUNT) return 0;
  return fxt::GetS16(_record, static_cast<size_t>(index) * 2);
}

void FCCategoryDef::SetValue(int index, short value) {
  if (index < 0 || index >= VALUE_COUNT) return;
  fxt::PutS16(_record, static_cast<size_t>(index) * 2, value);
}
